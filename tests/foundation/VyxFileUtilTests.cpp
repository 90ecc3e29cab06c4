#include "foundation/VyxFileUtil.h"
#include "foundation/TwinNameGuard.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"

#include "common/ImportPatch.h"
#include "common/LinkFixture.h"
#include "common/ScratchFolder.h"
#include "common/TwinFiles.h"
#include "common/WindowTestUtil.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace {

TEST(VyxFileUtil, EnsureFolderExistsCreatesTheWholeChain)
{
    ScratchFolder scratch;
    std::wstring deep = scratch / L"a\\b\\c";
    EXPECT_TRUE(EnsureFolderExists(deep.c_str(), true));
    EXPECT_TRUE(PathExists(deep.c_str(), FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(EnsureFolderExists((deep + L"\\").c_str(), true)); // existing, with a separator
    EXPECT_TRUE(EnsureFolderExists(L"C:\\", true));
    EXPECT_TRUE(EnsureFolderExists(L"C:", true));
}

TEST(VyxFileUtil, EnsureFolderExistsUnderAFileEndsWithFalse)
{
    ScratchFolder scratch;
    std::wstring file = scratch / L"file";
    ASSERT_TRUE(ScratchFolder::WriteFile(file, "x"));
    EXPECT_FALSE(EnsureFolderExists((file + L"\\sub\\deeper").c_str(), true));
    EXPECT_FALSE(EnsureFolderExists(file.c_str(), true));
    EXPECT_FALSE(EnsureFolderExists(L"", true));
}

int g_currentDirectoryChanges = 0;
BOOL WINAPI CountingSetCurrentDirectory(LPCWSTR)
{
    ++g_currentDirectoryChanges;
    return FALSE;
}

TEST(VyxFileUtil, EnsureFolderExistsDoesNotTouchTheCurrentDirectory)
{
    ScratchFolder scratch;
    g_currentDirectoryChanges = 0;
    ImportPatch patch("kernel32.dll", "SetCurrentDirectoryW", reinterpret_cast<void*>(&CountingSetCurrentDirectory));
    ASSERT_TRUE(patch);
    EXPECT_TRUE(EnsureFolderExists((scratch / L"x\\y").c_str(), true));
    EXPECT_TRUE(EnsureFolderExists(L"C:\\", true));
    EXPECT_TRUE(EnsureFolderExists(L"C:", true));
    EXPECT_EQ(0, g_currentDirectoryChanges);
}

// A lasting ERROR_DIRECTORY, which the file system cannot be made to give; after many calls it
// gives in, so an endless retry ends (and shows as a success).
int g_createCalls = 0;
BOOL WINAPI FailingCreateDirectory(LPCWSTR, LPSECURITY_ATTRIBUTES)
{
    if (++g_createCalls > 1000)
        return TRUE;
    SetLastError(ERROR_DIRECTORY);
    return FALSE;
}

TEST(VyxFileUtil, EnsureFolderExistsGivesUpOnALastingDirectoryError)
{
    ScratchFolder scratch;
    g_createCalls = 0;
    ImportPatch patch("kernel32.dll", "CreateDirectoryW", reinterpret_cast<void*>(&FailingCreateDirectory));
    ASSERT_TRUE(patch);
    EXPECT_FALSE(EnsureFolderExists((scratch / L"never").c_str(), true));
    EXPECT_LT(g_createCalls, 20);
}

struct DialogSearch
{
    const std::function<bool(HWND)>& ready;
    HWND found;
};

BOOL CALLBACK MatchReadyDialog(HWND hWnd, LPARAM param)
{
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(hWnd, &process);
    wchar_t className[16] = {};
    GetClassNameW(hWnd, className, 16);
    if (process != GetCurrentProcessId() || wcscmp(className, L"#32770") != 0 || !IsWindowVisible(hWnd) ||
        (search->ready && !search->ready(hWnd)))
        return TRUE;
    search->found = hWnd;
    return FALSE;
}

// The first visible dialog box of this process for which ready() holds (any, without ready).
// Every top-level window is looked at: another program's dialog, or a hidden one of ours, must
// not hide the one a test waits for.
HWND FindReadyDialog(const std::function<bool(HWND)>& ready)
{
    DialogSearch search = {ready, nullptr};
    EnumWindows(&MatchReadyDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Answers the first dialog box of this process (a message box, the folder picker) with the given
// button once the box is ready (visible, and whatever the test asks of it holds). Waits for that
// state, never for a fixed time: a loaded machine sets a dialog up slowly. One that never gets
// ready is cancelled after a minute.
class DialogAnswer
{
public:
    explicit DialogAnswer(int button, std::function<bool(HWND)> ready = nullptr)
        : m_thread([this, button, ready] {
              DWORD start = GetTickCount();
              while (!m_stop && GetTickCount() - start < 60000) {
                  if (HWND box = FindReadyDialog(ready)) {
                      wchar_t text[512] = {};
                      GetDlgItemTextW(box, 0xFFFF, text, 512); // the message box's text control
                      m_shown = text;
                      PostMessageW(box, WM_COMMAND, button, 0);
                      return;
                  }
                  Sleep(20);
              }
              // Never ready: close it anyway, so the test fails instead of hanging.
              if (HWND box = m_stop ? nullptr : FindReadyDialog(nullptr))
                  PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
          })
    {
    }
    ~DialogAnswer() { Join(); }
    // The text the box showed; waits for the answer to be given.
    const std::wstring& Shown()
    {
        Join();
        return m_shown;
    }

private:
    void Join()
    {
        if (!m_thread.joinable())
            return;
        m_stop = true;
        m_thread.join();
    }

    std::wstring m_shown;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

TEST(VyxFileUtil, EnsureFolderExistsAsksAndNoCreatesNothing)
{
    ScratchFolder scratch;
    std::wstring folder = scratch / L"asked";
    {
        DialogAnswer answer(IDNO);
        EXPECT_FALSE(EnsureFolderExists(folder.c_str(), false));
        EXPECT_EQ(Joined((folder + L" \nフォルダが存在しません．新しく作成しますか？").c_str()),
                  Joined(answer.Shown().c_str()));
    }
    EXPECT_FALSE(ScratchFolder::Exists(folder));
    {
        DialogAnswer answer(IDYES);
        EXPECT_TRUE(EnsureFolderExists(folder.c_str(), false));
    }
    EXPECT_TRUE(PathExists(folder.c_str(), FILE_ATTRIBUTE_DIRECTORY));
}

// Wine's folder picker walks its tree to the initial folder comparing each folder's entry with
// the one parsed from the path, access time included (in two-second steps). Parsing the path reads
// the folder that holds the new one, and the first read after a change moves that folder's access
// time (relatime, the usual mount option): when that crosses a step the walk stops short and the
// picker never reaches the folder. Read once beforehand, the entry no longer moves.
void SettleAccessTime(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    while (FindNextFileW(find, &data)) {
    }
    FindClose(find);
}

TEST(VyxFileUtil, FolderPickerStartsAtTheInitialFolder)
{
    ScratchFolder scratch;
    const size_t separator = scratch.Path().find_last_of(L'\\');
    std::wstring name = scratch.Path().substr(separator + 1);
    SettleAccessTime(scratch.Path().substr(0, separator));
    CString chosen;
    {
        DialogAnswer answer(IDOK, [&](HWND box) { return TreeSelects(box, name); });
        BrowseForFolder(chosen, nullptr, L"フォルダの選択", scratch.Path().c_str());
    }
    EXPECT_EQ(0, chosen.CompareNoCase(scratch.Path().c_str())) << static_cast<const wchar_t*>(chosen);
    {
        DialogAnswer answer(IDCANCEL);
        BrowseForFolder(chosen, nullptr, L"フォルダの選択", scratch.Path().c_str());
    }
    EXPECT_STREQ(L"", chosen);
}

// A folder of the host's own file system (the run's scratch folder there, which the test wrapper
// names in XDG_DATA_HOME), as the drive that holds the whole host file system (Z:) shows it: the
// folders above it are read by every other program, and their entries change all the time.
std::wstring HostFolder(const wchar_t* name)
{
    wchar_t unix[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"XDG_DATA_HOME", unix, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || unix[0] != L'/')
        return {};
    std::wstring folder = L"Z:" + std::wstring(unix) + L"/" + name;
    for (wchar_t& c : folder)
        c = c == L'/' ? L'\\' : c;
    return folder;
}

// A folder just made (the entry of the folder holding it not yet settled), on the host's drive and
// on the system drive: the picker opens at it each time, and OK gives it back.
TEST(VyxFileUtil, FolderPickerStartsAtTheInitialFolderOnEveryDrive)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        ScratchFolder scratch;
        const std::wstring onHost = HostFolder((L"picked" + std::to_wstring(attempt)).c_str()),
                           onSystem = scratch / (L"picked" + std::to_wstring(attempt));
        ASSERT_FALSE(onHost.empty()) << "no scratch folder on the host's drive";
        ASSERT_TRUE(CreateDirectoryW(onHost.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(onSystem.c_str(), nullptr));
        const std::wstring name = L"picked" + std::to_wstring(attempt);
        for (const std::wstring& start : {onHost, onSystem}) {
            CString chosen;
            {
                DialogAnswer answer(IDOK, [&](HWND box) { return TreeSelects(box, name); });
                BrowseForFolder(chosen, nullptr, L"フォルダの選択", start.c_str());
            }
            EXPECT_EQ(0, chosen.CompareNoCase(start.c_str()))
                << "opened at " << CStringA(chosen).GetString() << " for " << CStringA(start.c_str()).GetString();
        }
        RemoveDirectoryW(onHost.c_str());
    }
}

TEST(VyxFileUtil, DeleteFileForcedTreatsMissingAsDeletedAndDeletesReadOnly)
{
    ScratchFolder scratch;
    DWORD error = 0;
    EXPECT_TRUE(DeleteFileForced((scratch / L"missing").c_str(), &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), error);
    std::wstring readOnly = scratch / L"ro.txt";
    ASSERT_TRUE(ScratchFolder::WriteFile(readOnly, "x"));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DeleteFileForced(readOnly.c_str()));
    EXPECT_FALSE(ScratchFolder::Exists(readOnly));
    error = 0;
    EXPECT_FALSE(DeleteFileForced((scratch / L"nofolder\\x").c_str(), &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), error);
}

TEST(VyxFileUtil, DeleteFilesDeletesMatchingFilesOnly)
{
    ScratchFolder scratch;
    for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.png"})
        ASSERT_TRUE(ScratchFolder::WriteFile(scratch / name, "x"));
    ASSERT_TRUE(CreateDirectoryW((scratch / L"d.jpg").c_str(), nullptr));
    EXPECT_TRUE(DeleteFiles((scratch / L"*.jpg").c_str()));
    EXPECT_FALSE(ScratchFolder::Exists(scratch / L"a.jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(scratch / L"b.jpg"));
    EXPECT_TRUE(ScratchFolder::Exists(scratch / L"c.png"));
    EXPECT_TRUE(ScratchFolder::Exists(scratch / L"d.jpg"));
    EXPECT_TRUE(DeleteFiles((scratch / L"*.none").c_str()));
    // A file in use is reported and stays.
    std::wstring busy = scratch / L"busy.tmp";
    ASSERT_TRUE(ScratchFolder::WriteFile(busy, "x"));
    HANDLE open = CreateFileW(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    DWORD error = 0;
    EXPECT_FALSE(DeleteFiles((scratch / L"*.tmp").c_str(), &error));
    EXPECT_NE(0u, error);
    CloseHandle(open);
    EXPECT_TRUE(ScratchFolder::Exists(busy));
}

TEST(VyxFileUtil, RenameEntryChangesTheLetterCaseOnDisk)
{
    ScratchFolder scratch;
    ASSERT_TRUE(ScratchFolder::WriteFile(scratch / L"photo.jpg", "file"));
    ASSERT_TRUE(CreateDirectoryW((scratch / L"album").c_str(), nullptr));
    EXPECT_TRUE(RenameEntry((scratch / L"photo.jpg").c_str(), (scratch / L"Photo.JPG").c_str()));
    EXPECT_EQ(L"Photo.JPG", ScratchFolder::NameOnDisk(scratch / L"photo.jpg"));
    EXPECT_EQ("file", ScratchFolder::ReadFile(scratch / L"Photo.JPG"));
    EXPECT_TRUE(RenameEntry((scratch / L"album").c_str(), (scratch / L"ALBUM").c_str()));
    EXPECT_EQ(L"ALBUM", ScratchFolder::NameOnDisk(scratch / L"album"));
    // Nothing else is left in the folder.
    EXPECT_EQ(L"", ScratchFolder::NameOnDisk(scratch / L"$*"));
}

TEST(VyxFileUtil, RenameEntryReachesANameEndingInADotAndRefusesATakenName)
{
    ScratchFolder scratch;
    ASSERT_TRUE(ScratchFolder::WriteFile(scratch / L"dup.jpg", "plain"));
    ASSERT_TRUE(ScratchFolder::WriteFile(L"\\\\?\\" + (scratch / L"dup.jpg."), "dotted"));
    EXPECT_TRUE(RenameEntry((scratch / L"dup.jpg.").c_str(), (scratch / L"other.jpg").c_str()));
    EXPECT_EQ("dotted", ScratchFolder::ReadFile(scratch / L"other.jpg"));
    EXPECT_EQ("plain", ScratchFolder::ReadFile(scratch / L"dup.jpg"));
    // A taken name is refused and both files stay as they were.
    EXPECT_FALSE(RenameEntry((scratch / L"other.jpg").c_str(), (scratch / L"dup.jpg").c_str()));
    EXPECT_EQ("dotted", ScratchFolder::ReadFile(scratch / L"other.jpg"));
    EXPECT_EQ("plain", ScratchFolder::ReadFile(scratch / L"dup.jpg"));
}

TEST(VyxFileUtil, TwinNamesDifferingOnlyInCaseAreEachLookedUpDeletedAndRenamedAsThemselves)
{
    ScratchFolder scratch;
    ASSERT_TRUE(ScratchFolder::WriteFile(scratch / L"Case.jpg", "upper"));
    ASSERT_TRUE(twinfiles::PutTwin(scratch.Path(), L"case.jpg", "lower"));
    const std::wstring upper = scratch / L"Case.jpg", lower = scratch / L"case.jpg";
    EXPECT_EQ(NameLookup::Exact, LookUpExactName(upper.c_str()));
    EXPECT_EQ(NameLookup::Exact, LookUpExactName(lower.c_str()));
    // A change of case onto the twin's spelling, or onto a third one, would close the way back.
    EXPECT_FALSE(RenameEntry(lower.c_str(), upper.c_str()));
    EXPECT_FALSE(RenameEntry(lower.c_str(), (scratch / L"CASE.jpg").c_str()));
    EXPECT_EQ((std::set<std::wstring>{L"Case.jpg", L"case.jpg"}), scratch.Names());
    // Renamed, the twin still answering to the old name does not make it a failure.
    EXPECT_TRUE(RenameEntry(lower.c_str(), (scratch / L"other.jpg").c_str()));
    EXPECT_EQ("lower", ScratchFolder::ReadFile(scratch / L"other.jpg"));
    CString other;
    EXPECT_EQ(NameLookup::OtherCase, LookUpExactName(lower.c_str(), &other));
    EXPECT_EQ(CString(L"Case.jpg"), other);
    EXPECT_EQ(NameLookup::Missing, LookUpExactName((scratch / L"none.jpg").c_str()));
    // Gone, the name never reaches the twin: the delete is refused.
    EXPECT_FALSE(DeleteFiles(lower.c_str()));
    EXPECT_EQ("upper", ScratchFolder::ReadFile(upper));
    EXPECT_EQ((std::set<std::wstring>{L"Case.jpg", L"other.jpg"}), scratch.Names());
}

TEST(VyxFileUtil, EveryPrimitiveRefusesANameThatNowLeadsToAFileSpelledOtherwiseNamingBoth)
{
    const WORD kForGood = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    const struct
    {
        const char* primitive;
        std::function<bool(const std::wstring& gone, const std::wstring& free)> run;
        bool target; // the refused name is where a file was to go
    } primitives[] = {
        {"DeleteFileForced",
         [](const std::wstring& gone, const std::wstring&) { return DeleteFileForced(gone.c_str()); }, false},
        {"DeleteFiles", [](const std::wstring& gone, const std::wstring&) { return DeleteFiles(gone.c_str()); }, false},
        {"ShellDeleteFile",
         [&](const std::wstring& gone, const std::wstring&) {
             return ShellDeleteFile(gone.c_str(), nullptr, kForGood);
         },
         false},
        {"RenameEntry",
         [](const std::wstring& gone, const std::wstring& free) { return RenameEntry(gone.c_str(), free.c_str()); },
         false},
        {"MoveEntryReplacing from it",
         [](const std::wstring& gone, const std::wstring& free) {
             return MoveEntryReplacing(gone.c_str(), free.c_str());
         },
         false},
        {"MoveEntryReplacing onto it",
         [](const std::wstring& gone, const std::wstring& free) {
             return ScratchFolder::WriteFile(free, "moved") && MoveEntryReplacing(free.c_str(), gone.c_str());
         },
         true},
    };
    for (const auto& primitive : primitives) {
        SCOPED_TRACE(primitive.primitive);
        ScratchFolder scratch;
        ASSERT_TRUE(ScratchFolder::WriteFile(scratch / L"Case.jpg", "upper"));
        const std::wstring gone = scratch / L"case.jpg", free = scratch / L"free.jpg";
        SetLastError(0);
        EXPECT_FALSE(primitive.run(gone, free));
        EXPECT_EQ(TwinNameGuard::kRefused, GetLastError());
        const CString told = GetLastErrorText();
        EXPECT_NE(-1, told.Find(L"「case.jpg」")) << CStringA(told).GetString();
        EXPECT_NE(-1, told.Find(L"「Case.jpg」"));
        EXPECT_NE(-1, told.Find(primitive.target ? L"という名前では置けません" : L"はもうありません"));
        EXPECT_EQ("upper", ScratchFolder::ReadFile(scratch / L"Case.jpg"));
        EXPECT_TRUE(twinfiles::Lists(scratch.Path(), L"Case.jpg"));
    }
}

TEST(VyxFileUtil, DeletingANameEndingInADotOrABlankDeletesThatFileOnly)
{
    ScratchFolder scratch;
    ASSERT_TRUE(ScratchFolder::WriteFile(scratch / L"dup.jpg", "plain"));
    ASSERT_TRUE(ScratchFolder::WriteFile(L"\\\\?\\" + (scratch / L"dup.jpg."), "dotted"));
    ASSERT_TRUE(ScratchFolder::WriteFile(L"\\\\?\\" + (scratch / L"dup.jpg "), "blank"));
    EXPECT_TRUE(DeleteFiles((scratch / L"dup.jpg.").c_str()));
    EXPECT_TRUE(DeleteFileForced((scratch / L"dup.jpg ").c_str()));
    EXPECT_EQ("plain", ScratchFolder::ReadFile(scratch / L"dup.jpg"));
    // Gone, the name still never reaches the other file.
    EXPECT_TRUE(DeleteFiles((scratch / L"dup.jpg.").c_str()));
    EXPECT_TRUE(DeleteFiles((scratch / L"dup.jpg ").c_str()));
    EXPECT_FALSE(PathExists((scratch / L"dup.jpg.").c_str(), static_cast<DWORD>(-1)));
    EXPECT_EQ("plain", ScratchFolder::ReadFile(scratch / L"dup.jpg"));
    EXPECT_EQ(L"dup.jpg", ScratchFolder::NameOnDisk(scratch / L"dup*"));
}

TEST(VyxFileUtil, DeleteFolderTreeRemovesEverything)
{
    ScratchFolder scratch;
    std::wstring tree = scratch / L"tree";
    ASSERT_TRUE(EnsureFolderExists((tree + L"\\x\\y").c_str(), true));
    ASSERT_TRUE(ScratchFolder::WriteFile(tree + L"\\1.txt", "1"));
    ASSERT_TRUE(ScratchFolder::WriteFile(tree + L"\\x\\y\\2.txt", "2"));
    SetFileAttributesW((tree + L"\\x\\y\\2.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DeleteFolderTree(tree.c_str()));
    EXPECT_FALSE(ScratchFolder::Exists(tree));
    EXPECT_FALSE(DeleteFolderTree((scratch / L"missing").c_str()));
}

TEST(VyxFileUtil, DeleteFolderTreeNeverEntersNorRemovesWhatALinkedFolderNames)
{
    // A tree holding a host link made by the run's fixture: the test means nothing without one.
    std::wstring tree = FixtureLinkTree(L"foundation");
    ASSERT_FALSE(tree.empty()) << "no host link: run through ctest, whose fixture makes it";
    ASSERT_TRUE(ScratchFolder::Exists(tree + L"\\link\\keep.txt"));
    ASSERT_TRUE(EnsureFolderExists((tree + L"\\x").c_str(), true));
    ASSERT_TRUE(ScratchFolder::WriteFile(tree + L"\\x\\1.txt", "1"));
    // An empty folder behind a link is not removed either (Wine's RemoveDirectoryW on a host link
    // removes the folder it names when that is empty).
    std::wstring emptyTree = FixtureLinkTree(L"foundation_empty");
    ASSERT_FALSE(emptyTree.empty());
    std::wstring emptyTarget = LinkFixtureRoot() + L"\\empty";
    ASSERT_TRUE(ScratchFolder::Exists(emptyTarget));

    bool deleted = DeleteFolderTree(tree.c_str());
    EXPECT_TRUE(ScratchFolder::Exists(FixtureKeptFile()));
    DeleteFolderTree((emptyTree + L"\\link").c_str());
    EXPECT_TRUE(ScratchFolder::Exists(emptyTarget));
    if (deleted) {
        EXPECT_FALSE(ScratchFolder::Exists(tree));
    } else {
        // Where the system cannot remove the link alone, it stays and the deletion says so.
        EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_SUPPORTED), GetLastError());
        EXPECT_TRUE(IsLinkedFolderThere(tree + L"\\link"));
    }
}

TEST(VyxFileUtil, ShellDeleteMovesFilesAndListsToTheRecycleBin)
{
    ScratchFolder scratch;
    std::wstring file = scratch / L"trash me.txt";
    ASSERT_TRUE(ScratchFolder::WriteFile(file, "x"));
    EXPECT_TRUE(ShellDeleteFile(file.c_str(), nullptr, FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT));
    EXPECT_FALSE(ScratchFolder::Exists(file));
    EXPECT_FALSE(
        ShellDeleteFile((scratch / L"missing").c_str(), nullptr, FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI));
    // A list of paths in a shared block: every one goes.
    CSharedFile list(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, 4096);
    for (const wchar_t* name : {L"one.txt", L"two.txt"}) {
        std::wstring path = scratch / name;
        ASSERT_TRUE(ScratchFolder::WriteFile(path, "x"));
        list.Write(path.c_str(), static_cast<UINT>((path.size() + 1) * sizeof(wchar_t)));
    }
    wchar_t end = 0;
    list.Write(&end, sizeof(end));
    EXPECT_TRUE(ShellDeleteFileList(list, nullptr, FOF_NOCONFIRMATION | FOF_SILENT));
    EXPECT_FALSE(ScratchFolder::Exists(scratch / L"one.txt"));
    EXPECT_FALSE(ScratchFolder::Exists(scratch / L"two.txt"));
}

} // namespace
