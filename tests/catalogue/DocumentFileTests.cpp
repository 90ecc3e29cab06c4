#include "DocumentTestUtil.h"

#include "catalogue/VyxNoteFile.h"
#include "catalogue/VyxNoteStore.h"
#include "common/ImportPatch.h"
#include "common/TwinFiles.h"
#include "fileops/OutputTestUtil.h"

#include <algorithm>
#include <functional>

using namespace doctest;

namespace {

using Texts = std::vector<std::wstring>;

// Where the shell puts deleted entries: Wine's recycle bin is the XDG trash the test wrapper
// keeps in its scratch folder.
std::wstring TrashedPath(const std::wstring& name)
{
    wchar_t unixPath[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"XDG_DATA_HOME", unixPath, MAX_PATH))
        return L"";
    std::wstring path = std::wstring(L"Z:") + unixPath + L"/Trash/files/" + name;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// A document listing the folder with the named entries selected.
void OpenAndSelect(DocumentScope& scope, std::initializer_list<const wchar_t*> names)
{
    scope.Open();
    for (const wchar_t* name : names) {
        int index = scope.IndexOf(name);
        ASSERT_NE(-1, index) << name;
        scope.Document().SetItemSelection(index, true);
    }
}

CString NoteOf(const ScratchFolder& folder, const wchar_t* name)
{
    VyxNoteStore notes;
    notes.SetLocation(folder.Path().c_str(), L"");
    return notes.ReadNote((folder / name).c_str());
}

// Answers the next dialog of the process (a message box or the shell's question) with a button.
struct Answer
{
    explicit Answer(int button)
        : helper([this, button] {
              HWND dialog = WaitForWindow([](HWND window) {
                  wchar_t className[16] = {};
                  GetClassNameW(window, className, 16);
                  return wcscmp(className, L"#32770") == 0;
              });
              if (dialog) {
                  HWND label = GetDlgItem(dialog, 0xFFFF); // a message box's text
                  text = TextOf(label ? label : dialog);
                  PostMessageW(dialog, WM_COMMAND, button, 0);
              }
          })
    {
    }
    CString text;
    HelperThread helper;
};

// The path form that reaches a name ending in a dot or a blank as it stands.
std::wstring Exact(const std::wstring& path)
{
    return L"\\\\?\\" + path;
}

// "dup.jpg" and "dup.jpg." side by side, each with its own bytes.
void PutDottedPair(const ScratchFolder& folder)
{
    PutFile(folder, L"dup.jpg", "plain");
    ASSERT_TRUE(ScratchFolder::WriteFile(Exact(folder / L"dup.jpg."), "dotted"));
}

// A move that answers success and changes nothing, as the platform does for some names.
BOOL WINAPI IdleMoveFile(LPCWSTR, LPCWSTR)
{
    return TRUE;
}

} // namespace

TEST(DocumentDeletion, TheShellMovesFilesAndFoldersToTheRecycleBinAndTheirItemsGo)
{
    DocumentScope scope;
    PutFile(scope.folder, L"trashed.jpg", "data");
    PutFile(scope.folder, L"kept.jpg", "data");
    std::wstring folder = PutFolder(scope.folder, L"album");
    PutFile(scope.folder, L"album\\inside.jpg", "data");
    OpenAndSelect(scope, {L"trashed.jpg", L"album"});
    scope.Document().GetItem(scope.IndexOf(L"trashed.jpg"))->SetNote(L"a note");
    scope.view.heard.clear();

    scope.Document().ShellDeleteSelected(true);

    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"trashed.jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(folder));
    EXPECT_TRUE(ScratchFolder::Exists(TrashedPath(L"trashed.jpg")));
    EXPECT_TRUE(ScratchFolder::Exists(TrashedPath(L"album") + L"\\inside.jpg"));
    EXPECT_EQ((Texts{L"kept.jpg"}), scope.Names());
    EXPECT_TRUE(NoteOf(scope.folder, L"trashed.jpg").IsEmpty());
    EXPECT_FALSE(scope.Document().IsUpdating());
    ASSERT_EQ(3u, scope.view.heard.size());
    EXPECT_EQ(L"21 " + scope.folder.Path(), scope.view.heard[2]); // a folder went
}

TEST(DocumentDeletion, NothingIsDeletedWhenTheUserSaysNo)
{
    DocumentScope scope;
    PutFile(scope.folder, L"answered.jpg", "data");
    OpenAndSelect(scope, {L"answered.jpg"});
    {
        Answer no(IDNO);
        scope.Document().ShellDeleteSelected(false);
    }
    EXPECT_TRUE(ScratchFolder::Exists(scope.folder / L"answered.jpg"));
    {
        Answer no(IDNO);
        scope.Document().DeleteSelectedFiles(false);
        EXPECT_EQ(0, no.text.Find(L"選択データを削除してもよろしいですか？"));
    }
    EXPECT_TRUE(ScratchFolder::Exists(scope.folder / L"answered.jpg"));
    EXPECT_EQ(1, scope.Document().GetItemCount());
    {
        Answer yes(IDYES);
        scope.Document().ShellDeleteSelected(false);
    }
    EXPECT_TRUE(ScratchFolder::Exists(TrashedPath(L"answered.jpg")));
    EXPECT_EQ(0, scope.Document().GetItemCount());
}

TEST(DocumentDeletion, DeletingForGoodRemovesFilesButNeverFolders)
{
    DocumentScope scope;
    PutFile(scope.folder, L"forgood.jpg", "data");
    PutFile(scope.folder, L"b.jpg", "data");
    std::wstring folder = PutFolder(scope.folder, L"album");
    OpenAndSelect(scope, {L"forgood.jpg", L"album"});
    {
        Answer yes(IDYES);
        scope.Document().DeleteSelectedFiles(false);
    }
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"forgood.jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(TrashedPath(L"forgood.jpg")));
    EXPECT_TRUE(ScratchFolder::Exists(folder));
    Texts names = scope.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ((Texts{L"album", L"b.jpg"}), names);
    EXPECT_FALSE(scope.Document().IsUpdating());
}

TEST(DocumentDeletion, AFileThatCannotBeDeletedKeepsItsItemAndNote)
{
    DocumentScope scope;
    PutFile(scope.folder, L"locked.jpg", "data");
    PutFile(scope.folder, L"free.jpg", "data");
    OpenAndSelect(scope, {L"locked.jpg", L"free.jpg"});
    scope.Document().GetItem(scope.IndexOf(L"locked.jpg"))->SetNote(L"still here");
    HANDLE lock =
        CreateFileW((scope.folder / L"locked.jpg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);

    scope.Document().DeleteSelectedFiles(true);
    CloseHandle(lock);

    EXPECT_TRUE(ScratchFolder::Exists(scope.folder / L"locked.jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"free.jpg"));
    EXPECT_EQ((Texts{L"locked.jpg"}), scope.Names());
    EXPECT_EQ(CString(L"still here"), NoteOf(scope.folder, L"locked.jpg"));
}

TEST(DocumentDeletion, ArchiveMembersAreNeverTouched)
{
    StandardPlugins plugins;
    DocumentScope scope;
    std::wstring archive = PutFile(scope.folder, L"box.tarc", MakeTestArchive(0, {{"", "one.tpic", "x", 0, 1}}));
    scope.Open(CVirtualFolder(archive.c_str(), archive.c_str(), 2));
    ASSERT_EQ(1, scope.Document().GetItemCount());
    scope.Document().SetAllSelection(true);
    scope.Document().ShellDeleteSelected(true);
    scope.Document().DeleteSelectedFiles(true);
    EXPECT_TRUE(ScratchFolder::Exists(archive));
    EXPECT_EQ(1, scope.Document().GetItemCount());
    EXPECT_FALSE(scope.Document().RenameItem(scope.Document().GetItem(0), L"two.tpic"));
}

TEST(DocumentRenaming, TheFileIsRenamedAndItsNoteGoesWithIt)
{
    DocumentScope scope;
    PutFile(scope.folder, L"old.jpg", "data");
    scope.Open();
    VyxFile* item = scope.Document().GetItem(0);
    item->SetNote(L"注釈");

    EXPECT_TRUE(scope.Document().RenameItem(item, L"新しい.jpg"));

    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"old.jpg"));
    EXPECT_TRUE(ScratchFolder::Exists(scope.folder / L"新しい.jpg"));
    EXPECT_EQ(CString(L"新しい.jpg"), item->GetFileName());
    EXPECT_EQ(CString((scope.folder / L"新しい.jpg").c_str()), item->GetPath());
    EXPECT_EQ(CString(L"注釈"), NoteOf(scope.folder, L"新しい.jpg"));
    EXPECT_TRUE(NoteOf(scope.folder, L"old.jpg").IsEmpty());
}

TEST(DocumentRenaming, ANoteThatCannotFollowTheFileRefusesTheRenameAndALetterCaseChangeKeepsIt)
{
    DocumentScope scope;
    PutFile(scope.folder, L"old.jpg", "data");
    PutFile(scope.folder, L"a{1}.jpg", "other");
    scope.Open();
    VyxFile* item = scope.Document().GetItem(scope.IndexOf(L"old.jpg"));
    ASSERT_NE(nullptr, item);
    ASSERT_EQ(VyxNoteStore::NoteWritten, item->SetNote(L"注釈"));

    // "a[1].jpg" files its note where "a{1}.jpg" does.
    EXPECT_FALSE(scope.Document().RenameItem(item, L"a[1].jpg"));
    EXPECT_TRUE(ScratchFolder::Exists(scope.folder / L"old.jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"a[1].jpg"));
    EXPECT_EQ(CString(L"注釈"), NoteOf(scope.folder, L"old.jpg"));

    EXPECT_TRUE(scope.Document().RenameItem(item, L"OLD.jpg"));
    EXPECT_EQ(CString(L"注釈"), NoteOf(scope.folder, L"OLD.jpg"));
    EXPECT_EQ(CString(L"注釈"), item->GetNote());
}

TEST(DocumentRenaming, ARenameWhoseNoteCannotBeWrittenIsRefusedAndChangesNothing)
{
    DocumentScope scope;
    PutFile(scope.folder, L"old.jpg", "data");
    scope.Open();
    VyxFile* item = scope.Document().GetItem(scope.IndexOf(L"old.jpg"));
    ASSERT_EQ(VyxNoteStore::NoteWritten, item->SetNote(L"注釈"));
    const std::wstring noteFile = scope.folder / L"_NOTE_.KWI";
    auto unchanged = [&] {
        EXPECT_EQ("data", ScratchFolder::ReadFile(scope.folder / L"old.jpg"));
        EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"new.jpg"));
        EXPECT_EQ(CString(L"old.jpg"), item->GetFileName());
        EXPECT_EQ(CString((scope.folder / L"old.jpg").c_str()), item->GetPath());
        EXPECT_EQ(CString(L"注釈"), item->GetNote());
        EXPECT_EQ(CString(L"注釈"), NoteOf(scope.folder, L"old.jpg"));
    };
    SetFileAttributesW(noteFile.c_str(), FILE_ATTRIBUTE_READONLY);
    CString reason;
    EXPECT_FALSE(scope.Document().RenameItem(item, L"new.jpg", &reason));
    SetFileAttributesW(noteFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    unchanged();
    // The user is told which note file refused.
    EXPECT_NE(-1, reason.Find(noteFile.c_str())) << CStringA(reason);
    {
        // Held open by another program, the note file cannot be replaced.
        HANDLE held = CreateFileW(noteFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        EXPECT_FALSE(scope.Document().RenameItem(item, L"new.jpg"));
        CloseHandle(held);
    }
    unchanged();
    // A file later given the old item's new name finds no note of it.
    PutFile(scope.folder, L"new.jpg", "another");
    EXPECT_TRUE(NoteOf(scope.folder, L"new.jpg").IsEmpty());
    DeleteFileW((scope.folder / L"new.jpg").c_str());
    EXPECT_TRUE(scope.Document().RenameItem(item, L"new.jpg"));
    EXPECT_EQ(CString(L"注釈"), NoteOf(scope.folder, L"new.jpg"));
    EXPECT_TRUE(NoteOf(scope.folder, L"old.jpg").IsEmpty());
}

namespace {

// The note of a name as the folder's note file on disk holds it.
CString NoteOnDisk(const ScratchFolder& folder, const wchar_t* name)
{
    VyxNoteFile file;
    CString note;
    if (file.Load((folder / L"_NOTE_.KWI").c_str()) == VyxNoteFile::Loaded)
        file.Find(name, L"Note", note);
    return note;
}

// What the disk holds at the moment a file is renamed: what a crash there would leave.
struct RenameMoment
{
    const ScratchFolder* folder = nullptr;
    CString noteAtOld, noteAtNew;
    int renames = 0;
};
RenameMoment* s_moment = nullptr;
decltype(&MoveFileW) s_moveFile = nullptr;

BOOL WINAPI WatchedMoveFile(LPCWSTR from, LPCWSTR to)
{
    if (s_moment && wcsstr(from, L"old.jpg") && wcsstr(to, L"new.jpg")) {
        ++s_moment->renames;
        s_moment->noteAtOld = NoteOnDisk(*s_moment->folder, L"old.jpg");
        s_moment->noteAtNew = NoteOnDisk(*s_moment->folder, L"new.jpg");
    }
    return s_moveFile(from, to);
}

} // namespace

// A crash can come at any moment of a rename: when the file takes its new name, its note is
// there already (under both names at worst, never only behind).
TEST(DocumentRenaming, WhenTheFileTakesItsNewNameItsNoteIsAlreadyThere)
{
    DocumentScope scope;
    PutFile(scope.folder, L"old.jpg", "data");
    scope.Open();
    VyxFile* item = scope.Document().GetItem(scope.IndexOf(L"old.jpg"));
    ASSERT_EQ(VyxNoteStore::NoteWritten, item->SetNote(L"注釈"));
    RenameMoment moment;
    moment.folder = &scope.folder;
    {
        ImportPatch patch("kernel32.dll", "MoveFileW", reinterpret_cast<void*>(&WatchedMoveFile));
        ASSERT_TRUE(patch);
        s_moveFile = reinterpret_cast<decltype(&MoveFileW)>(patch.Original());
        s_moment = &moment;
        EXPECT_TRUE(scope.Document().RenameItem(item, L"new.jpg"));
        s_moment = nullptr;
    }
    ASSERT_EQ(1, moment.renames);
    EXPECT_EQ(CString(L"注釈"), moment.noteAtNew);
    EXPECT_EQ(CString(L"注釈"), moment.noteAtOld);
    EXPECT_EQ(CString(L"注釈"), NoteOnDisk(scope.folder, L"new.jpg"));
    EXPECT_TRUE(NoteOnDisk(scope.folder, L"old.jpg").IsEmpty());
}

// The note written under the new name and the file renamed, the old name's note cannot be
// cleared: the rename is undone, the file and its note at the old name, nothing at the new one.
TEST(DocumentRenaming, ARenameWhoseOldNoteCannotBeClearedIsUndone)
{
    DocumentScope scope;
    PutFile(scope.folder, L"old.jpg", "data");
    scope.Open();
    VyxFile* item = scope.Document().GetItem(scope.IndexOf(L"old.jpg"));
    ASSERT_EQ(VyxNoteStore::NoteWritten, item->SetNote(L"注釈"));
    static int writes = 0;
    writes = 0;
    // Only the second note write fails: its new note file never takes the old one's place.
    VyxNoteFile::s_beforePutInPlace = [](const wchar_t* scratch) {
        if (++writes == 2)
            DeleteFileW(scratch);
    };
    CString reason;
    EXPECT_FALSE(scope.Document().RenameItem(item, L"new.jpg", &reason));
    VyxNoteFile::s_beforePutInPlace = nullptr;
    EXPECT_EQ(3, writes);
    EXPECT_EQ("data", ScratchFolder::ReadFile(scope.folder / L"old.jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"new.jpg"));
    EXPECT_EQ(CString(L"old.jpg"), item->GetFileName());
    EXPECT_EQ(CString(L"注釈"), NoteOnDisk(scope.folder, L"old.jpg"));
    EXPECT_TRUE(NoteOnDisk(scope.folder, L"new.jpg").IsEmpty());
    EXPECT_EQ(CString(L"注釈"), item->GetNote());
    EXPECT_NE(-1, reason.Find((scope.folder / L"_NOTE_.KWI").c_str())) << CStringA(reason);
}

// Another instance wrote both comments after this one's rows read theirs: each goes with its file.
TEST(DocumentRenaming, ARenameCarriesTheNoteAsItStandsNotAsTheRowFirstReadIt)
{
    DocumentScope scope;
    PutFile(scope.folder, L"s0001.jpg", "one");
    PutFile(scope.folder, L"s0006.jpg", "six");
    scope.Open();
    VyxFile* one = scope.Document().GetItem(scope.IndexOf(L"s0001.jpg"));
    VyxFile* six = scope.Document().GetItem(scope.IndexOf(L"s0006.jpg"));
    ASSERT_EQ(VyxNoteStore::NoteWritten, one->SetNote(L"old one"));
    ASSERT_TRUE(six->GetNote().IsEmpty());
    VyxNoteStore other;
    other.SetLocation(scope.folder.Path().c_str(), L"");
    ASSERT_EQ(VyxNoteStore::NoteWritten, other.WriteNote((scope.folder / L"s0001.jpg").c_str(), L"NEW from C one"));
    ASSERT_EQ(VyxNoteStore::NoteWritten, other.WriteNote((scope.folder / L"s0006.jpg").c_str(), L"NEW from C six"));

    EXPECT_TRUE(scope.Document().RenameItem(one, L"s0001x.jpg"));
    EXPECT_TRUE(scope.Document().RenameItem(six, L"s0006x.jpg"));
    EXPECT_EQ(CString(L"NEW from C one"), NoteOnDisk(scope.folder, L"s0001x.jpg"));
    EXPECT_EQ(CString(L"NEW from C six"), NoteOnDisk(scope.folder, L"s0006x.jpg"));
    EXPECT_TRUE(NoteOnDisk(scope.folder, L"s0001.jpg").IsEmpty());
    EXPECT_TRUE(NoteOnDisk(scope.folder, L"s0006.jpg").IsEmpty());
    EXPECT_EQ(CString(L"NEW from C one"), one->GetNote());
    EXPECT_EQ(CString(L"NEW from C six"), six->GetNote());
}

// A name another file has, spelled alike or in another letter case: nothing is written, and
// both files keep their own notes, also when the name was taken after the document looked.
TEST(DocumentRenaming, ARenameOntoANameAnotherFileHasWritesNothingAndBothFilesKeepTheirNotes)
{
    DocumentScope scope;
    PutFile(scope.folder, L"a.jpg", "a");
    PutFile(scope.folder, L"b.jpg", "b");
    scope.Open();
    VyxFile* a = scope.Document().GetItem(scope.IndexOf(L"a.jpg"));
    ASSERT_EQ(VyxNoteStore::NoteWritten, a->SetNote(L"note of a"));
    ASSERT_EQ(VyxNoteStore::NoteWritten, scope.Document().GetItem(scope.IndexOf(L"b.jpg"))->SetNote(L"note of b"));
    const unsigned writes = VyxNoteStore::GetFileWriteCount();
    for (const wchar_t* name : {L"b.jpg", L"B.JPG"}) {
        CString reason;
        EXPECT_FALSE(scope.Document().RenameItem(a, name, &reason)) << name;
        EXPECT_FALSE(reason.IsEmpty());
    }
    int renames = 0;
    EXPECT_EQ(VyxNoteStore::NoteNameTaken, a->RenameWithNote(L"b.jpg", [&](bool) { return ++renames, false; }));
    EXPECT_EQ(0, renames);
    EXPECT_EQ(writes, VyxNoteStore::GetFileWriteCount());
    EXPECT_EQ("a", ScratchFolder::ReadFile(scope.folder / L"a.jpg"));
    EXPECT_EQ("b", ScratchFolder::ReadFile(scope.folder / L"b.jpg"));
    EXPECT_EQ(CString(L"note of a"), NoteOnDisk(scope.folder, L"a.jpg"));
    EXPECT_EQ(CString(L"note of b"), NoteOnDisk(scope.folder, L"b.jpg"));
}

TEST(DocumentRenaming, ItsOwnNameAndAMissingFileAreRefusedAndChangeNothing)
{
    DocumentScope scope;
    PutFile(scope.folder, L"same.jpg", "data");
    PutFile(scope.folder, L"gone.jpg", "data");
    scope.Open();
    VyxFile* same = scope.Document().GetItem(scope.IndexOf(L"same.jpg"));
    same->SetNote(L"kept");
    EXPECT_FALSE(scope.Document().RenameItem(same, L"same.jpg"));
    EXPECT_EQ(CString(L"kept"), NoteOf(scope.folder, L"same.jpg"));
    DeleteFileW((scope.folder / L"gone.jpg").c_str());
    EXPECT_FALSE(scope.Document().RenameItem(scope.Document().GetItem(scope.IndexOf(L"gone.jpg")), L"back.jpg"));
    EXPECT_FALSE(scope.Document().RenameItem(nullptr, L"x.jpg"));
}

TEST(DocumentRenaming, NamesThatWouldLeaveTheFolderOrCannotNameAFileAreRefused)
{
    DocumentScope scope;
    PutFile(scope.folder, L"a.jpg", "data");
    PutFolder(scope.folder, L"sub");
    scope.Open();
    VyxFile* item = scope.Document().GetItem(scope.IndexOf(L"a.jpg"));
    for (const wchar_t* name : {L"sub\\a.jpg", L"..\\a.jpg", L"sub/a.jpg", L"C:a.jpg", L"a*.jpg", L"a?.jpg", L"a\".jpg",
                                L"a<.jpg", L"a>.jpg", L"a|.jpg", L"", L".", L".."}) {
        EXPECT_FALSE(scope.Document().RenameItem(item, name)) << std::wstring(name);
        EXPECT_TRUE(ScratchFolder::Exists(scope.folder / L"a.jpg")) << std::wstring(name);
    }
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"sub\\a.jpg"));
    EXPECT_EQ(CString((scope.folder / L"a.jpg").c_str()), item->GetPath());
}

TEST(DocumentRenaming, NamesTheSystemWouldChangeOrThatDoNotFitAreRefusedNeverCut)
{
    DocumentScope scope;
    PutFile(scope.folder, L"a.jpg", "data");
    scope.Open();
    VyxFile* item = scope.Document().GetItem(scope.IndexOf(L"a.jpg"));
    item->SetNote(L"kept");
    // The system drops trailing dots and blanks, and no name holds a control character.
    for (const wchar_t* name : {L"b.", L"b ", L"a\tb.jpg", L"a\nb.jpg"}) {
        EXPECT_FALSE(scope.Document().RenameItem(item, name)) << std::wstring(name);
        EXPECT_EQ(CString(L"a.jpg"), item->GetFileName());
    }
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"b"));
    // A path of MAX_PATH characters or more is refused; one character less is renamed.
    const int room = MAX_PATH - 1 - static_cast<int>(scope.folder.Path().size()) - 1;
    EXPECT_FALSE(scope.Document().RenameItem(item, CString(L'x', room + 1)));
    EXPECT_FALSE(scope.Document().RenameItem(item, CString(L'y', 256)));
    EXPECT_EQ(CString(L"kept"), NoteOf(scope.folder, L"a.jpg"));
    EXPECT_TRUE(scope.Document().RenameItem(item, CString(L'x', room)));
    EXPECT_EQ(CString(L'x', room), item->GetFileName());
    EXPECT_EQ(MAX_PATH - 1, item->GetPath().GetLength());
}

TEST(DocumentRenaming, TheCurrentDirectoryIsSwappedAndHandedBack)
{
    DocumentScope scope;
    CString before = CurrentDirectoryScope::Swap(scope.folder.Path().c_str());
    CString during = CurrentDirectoryScope::Swap(before);
    EXPECT_EQ(0, during.CompareNoCase(scope.folder.Path().c_str()));
    EXPECT_EQ(before, CurrentDirectoryScope::Swap(nullptr));
}

TEST(DocumentRenaming, ARenameIsCheckedOnDiskAndACaseOnlyChangeIsMade)
{
    DocumentScope scope;
    PutFile(scope.folder, L"photo.jpg", "data");
    scope.Open();
    VyxFile* item = scope.Document().GetItem(scope.IndexOf(L"photo.jpg"));
    item->SetNote(L"kept");
    {
        // The platform answers done and changes nothing: the rename failed.
        ImportPatch patch("kernel32.dll", "MoveFileW", reinterpret_cast<void*>(&IdleMoveFile));
        ASSERT_TRUE(patch);
        EXPECT_FALSE(scope.Document().RenameItem(item, L"other.jpg"));
        EXPECT_FALSE(scope.Document().RenameItem(item, L"PHOTO.jpg"));
    }
    EXPECT_EQ(CString(L"photo.jpg"), item->GetFileName());
    EXPECT_EQ(L"photo.jpg", ScratchFolder::NameOnDisk(scope.folder / L"photo.jpg"));
    EXPECT_EQ(CString(L"kept"), NoteOf(scope.folder, L"photo.jpg"));

    EXPECT_TRUE(scope.Document().RenameItem(item, L"Photo.JPG"));
    EXPECT_EQ(L"Photo.JPG", ScratchFolder::NameOnDisk(scope.folder / L"photo.jpg"));
    EXPECT_EQ(CString(L"Photo.JPG"), item->GetFileName());
    EXPECT_EQ(CString(L"kept"), NoteOf(scope.folder, L"Photo.JPG"));
    // Nothing of the way through a temporary name is left.
    scope.Open();
    EXPECT_EQ((Texts{L"Photo.JPG"}), scope.Names());
}

TEST(DocumentTrailingDots, DeletingANameEndingInADotDeletesThatFileOnly)
{
    DocumentScope scope;
    PutDottedPair(scope.folder);
    OpenAndSelect(scope, {L"dup.jpg."});
    scope.Document().DeleteSelectedFiles(true);
    EXPECT_FALSE(ScratchFolder::Exists(Exact(scope.folder / L"dup.jpg.")));
    EXPECT_EQ("plain", ScratchFolder::ReadFile(scope.folder / L"dup.jpg"));
    EXPECT_EQ((Texts{L"dup.jpg"}), scope.Names());

    // Through the shell into the recycle bin, a name ending in a blank too.
    ASSERT_TRUE(ScratchFolder::WriteFile(Exact(scope.folder / L"dup.jpg."), "dotted"));
    ASSERT_TRUE(ScratchFolder::WriteFile(Exact(scope.folder / L"dup.jpg "), "blank"));
    OpenAndSelect(scope, {L"dup.jpg.", L"dup.jpg "});
    scope.Document().ShellDeleteSelected(true);
    EXPECT_FALSE(ScratchFolder::Exists(Exact(scope.folder / L"dup.jpg.")));
    EXPECT_FALSE(ScratchFolder::Exists(Exact(scope.folder / L"dup.jpg ")));
    EXPECT_EQ("plain", ScratchFolder::ReadFile(scope.folder / L"dup.jpg"));
    EXPECT_EQ("dotted", ScratchFolder::ReadFile(Exact(TrashedPath(L"dup.jpg."))));
    EXPECT_EQ((Texts{L"dup.jpg"}), scope.Names());
}

TEST(DocumentTrailingDots, RenamingANameEndingInADotRenamesThatFileWithItsNote)
{
    DocumentScope scope;
    PutDottedPair(scope.folder);
    scope.Open();
    VyxFile* dotted = scope.Document().GetItem(scope.IndexOf(L"dup.jpg."));
    ASSERT_NE(nullptr, dotted);
    dotted->SetNote(L"the dotted one");
    scope.Document().GetItem(scope.IndexOf(L"dup.jpg"))->SetNote(L"the plain one");

    EXPECT_TRUE(scope.Document().RenameItem(dotted, L"renamed.jpg"));

    EXPECT_EQ("dotted", ScratchFolder::ReadFile(scope.folder / L"renamed.jpg"));
    EXPECT_EQ("plain", ScratchFolder::ReadFile(scope.folder / L"dup.jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(Exact(scope.folder / L"dup.jpg.")));
    EXPECT_EQ(CString(L"the dotted one"), NoteOf(scope.folder, L"renamed.jpg"));
    EXPECT_EQ(CString(L"the plain one"), NoteOf(scope.folder, L"dup.jpg"));
}

TEST(DocumentTrailingDots, NotesAndThumbnailsOfANameEndingInADotAreItsOwn)
{
    outputtest::OwnPlugins plugins;
    DocumentScope scope;
    outputtest::PutPicture(scope.folder / L"dup.jpg", 16, 12, RGB(255, 0, 0));
    outputtest::PutPicture(Exact(scope.folder / L"dup.jpg."), 24, 8, RGB(0, 0, 255));
    scope.Open();
    VyxFile* plain = scope.Document().GetItem(scope.IndexOf(L"dup.jpg"));
    VyxFile* dotted = scope.Document().GetItem(scope.IndexOf(L"dup.jpg."));
    ASSERT_NE(nullptr, dotted);
    dotted->SetNote(L"dotted note");
    EXPECT_EQ(CString(L"dotted note"), NoteOf(scope.folder, L"dup.jpg."));
    EXPECT_TRUE(NoteOf(scope.folder, L"dup.jpg").IsEmpty());
    EXPECT_TRUE(plain->GetNote().IsEmpty());

    HGLOBAL thumbnail = dotted->CreateThumbnail(SIZE{48, 48});
    ASSERT_NE(nullptr, thumbnail);
    EXPECT_EQ(24, dotted->GetWidth());
    EXPECT_EQ(8, dotted->GetHeight());
    // A fresh item of the path reads the file's own facts too.
    VyxFile fresh((scope.folder / L"dup.jpg.").c_str());
    EXPECT_EQ(dotted->GetFileSize(), fresh.GetFileSize());
    EXPECT_NE(plain->GetFileSize(), fresh.GetFileSize());
}

// ---------------------------------------------------------------- names differing only in case

namespace {

// "Case.jpg" with a note and its twin "case.jpg", listed by the document.
void PutTwins(DocumentScope& scope)
{
    PutFile(scope.folder, L"Case.jpg", "upper");
    VyxNoteStore notes;
    notes.SetLocation(scope.folder.Path().c_str(), L"");
    ASSERT_EQ(VyxNoteStore::NoteWritten, notes.WriteNote((scope.folder / L"Case.jpg").c_str(), L"the upper one"));
    ASSERT_TRUE(twinfiles::PutTwin(scope.folder.Path(), L"case.jpg", "lower"));
    scope.Open();
    ASSERT_EQ(2, scope.Document().GetItemCount());
}

// The row of "case.jpg" left behind: its file deleted by another program.
void LeaveTheLowerRowStale(DocumentScope& scope)
{
    ASSERT_TRUE(DeleteFileW((scope.folder / L"case.jpg").c_str()));
    ASSERT_FALSE(twinfiles::Lists(scope.folder.Path(), L"case.jpg"));
    ASSERT_TRUE(twinfiles::Lists(scope.folder.Path(), L"Case.jpg"));
}

} // namespace

TEST(DocumentTwinNames, DeletingOneTwinTakesItsRowAndLeavesTheOtherFileWithItsNote)
{
    DocumentScope scope;
    PutTwins(scope);
    scope.Document().SetItemSelection(scope.IndexOf(L"case.jpg"), true);
    scope.Document().ShellDeleteSelected(true);
    EXPECT_EQ("lower", ScratchFolder::ReadFile(TrashedPath(L"case.jpg")));
    EXPECT_EQ("upper", ScratchFolder::ReadFile(scope.folder / L"Case.jpg"));
    EXPECT_EQ((Texts{L"Case.jpg"}), scope.Names());
    EXPECT_EQ(CString(L"the upper one"), NoteOf(scope.folder, L"Case.jpg"));
}

TEST(DocumentTwinNames, ARowWhoseNameNowLeadsToItsTwinIsRefusedNamingBothAndTheTwinIsNeverTouched)
{
    const struct
    {
        const char* operation;
        std::function<CString(CKWDoc&, VyxFile*)> run;
        bool rowGoes;
    } operations[] = {
        {"to the recycle bin",
         [](CKWDoc& doc, VyxFile*) {
             Answer told(IDOK);
             doc.ShellDeleteSelected(false);
             return told.text;
         },
         true},
        {"for good",
         [](CKWDoc& doc, VyxFile*) {
             Answer told(IDOK);
             doc.DeleteSelectedFiles(true);
             return told.text;
         },
         true},
        {"renamed",
         [](CKWDoc& doc, VyxFile* item) {
             CString reason;
             EXPECT_FALSE(doc.RenameItem(item, L"renamed.jpg", &reason));
             return reason;
         },
         false},
    };
    for (const auto& operation : operations) {
        SCOPED_TRACE(operation.operation);
        DocumentScope scope;
        PutTwins(scope);
        const int stale = scope.IndexOf(L"case.jpg");
        scope.Document().SetItemSelection(stale, true);
        LeaveTheLowerRowStale(scope);
        const CString told = Joined(operation.run(scope.Document(), scope.Document().GetItem(stale)));
        EXPECT_NE(-1, told.Find(L"「case.jpg」")) << CStringA(told).GetString();
        EXPECT_NE(-1, told.Find(L"「Case.jpg」"));
        EXPECT_EQ("upper", ScratchFolder::ReadFile(scope.folder / L"Case.jpg"));
        // The recycle bin may hold an earlier "case.jpg": only this spelling counts.
        EXPECT_FALSE(twinfiles::Lists(TrashedPath(L"."), L"Case.jpg"));
        EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"renamed.jpg"));
        EXPECT_EQ(CString(L"the upper one"), NoteOf(scope.folder, L"Case.jpg"));
        if (operation.rowGoes) {
            EXPECT_EQ((Texts{L"Case.jpg"}), scope.Names());
        }
    }
}

TEST(DocumentTwinNames, ARefreshKeepsTheRowOfTheTwinThatIsThere)
{
    DocumentScope scope;
    PutTwins(scope);
    // The row of the name that goes stands first, where a look-up without regard to case lands.
    VyxFileArray& items = scope.Document().GetItemArray();
    if (scope.IndexOf(L"case.jpg") == 1) {
        const int first = items.GetOrderEntry(0);
        scope.Document().SetOrderAt(0, items.GetOrderEntry(1));
        scope.Document().SetOrderAt(1, first);
    }
    ASSERT_EQ(0, scope.IndexOf(L"case.jpg"));
    LeaveTheLowerRowStale(scope);
    scope.Document().Refresh(false);
    EXPECT_EQ((Texts{L"Case.jpg"}), scope.Names());
    EXPECT_EQ(CString((scope.folder / L"Case.jpg").c_str()), scope.Document().GetItem(0)->GetPath());
}

TEST(DocumentTwinNames, ACaseOnlyRenameByAnotherProgramShowsItsNewSpellingAfterARefreshAndTheRowCanBeRenamed)
{
    DocumentScope scope;
    PutFile(scope.folder, L"photo.jpg", "data");
    scope.Open();
    // Another program's way through a name of its own.
    ASSERT_TRUE(MoveFileW((scope.folder / L"photo.jpg").c_str(), (scope.folder / L"moving.tmp").c_str()));
    ASSERT_TRUE(MoveFileW((scope.folder / L"moving.tmp").c_str(), (scope.folder / L"Photo.jpg").c_str()));
    ASSERT_TRUE(twinfiles::Lists(scope.folder.Path(), L"Photo.jpg"));
    scope.Document().Refresh(false);
    EXPECT_EQ((Texts{L"Photo.jpg"}), scope.Names());
    CString reason;
    EXPECT_TRUE(scope.Document().RenameItem(scope.Document().GetItem(0), L"renamed.jpg", &reason))
        << CStringA(reason).GetString();
    EXPECT_EQ("data", ScratchFolder::ReadFile(scope.folder / L"renamed.jpg"));
    EXPECT_EQ((Texts{L"renamed.jpg"}), scope.Names());
}

TEST(DocumentTwinNames, RefusalsOfLongNamesAreToldAsFarAsOneBoxInTheWorkAreaShowsThemWhole)
{
    DocumentScope scope;
    const std::wstring folder = scope.folder.Path();
    // Names as long as the folder leaves room for, of the widest letter, each "Wn…" beside a twin
    // "wn…" whose row is left stale.
    const size_t length = std::min<size_t>(255, MAX_PATH - 1 - folder.size() - 1);
    const int kTwins = 6;
    std::vector<std::wstring> stale;
    for (int i = 0; i < kTwins; ++i) {
        std::wstring upper = L"W" + std::to_wstring(i) + std::wstring(length - 6, L'W') + L".jpg";
        PutFile(scope.folder, upper.c_str(), "upper");
        upper[0] = L'w';
        ASSERT_TRUE(twinfiles::PutTwin(folder, upper, "lower"));
        stale.push_back(upper);
    }
    scope.Open();
    ASSERT_EQ(2 * kTwins, scope.Document().GetItemCount());
    for (const std::wstring& name : stale) {
        scope.Document().SetItemSelection(scope.IndexOf(name), true);
        ASSERT_TRUE(DeleteFileW((scope.folder / name).c_str()));
    }

    const SeenMessageBox box = LookAtMessageBox([&] { scope.Document().ShellDeleteSelected(false); });
    ASSERT_TRUE(box.seen);
    EXPECT_TRUE(box.whole) << "box " << box.rect.left << "," << box.rect.top << " - " << box.rect.right << ","
                           << box.rect.bottom;
    // The first refusals whole, each naming both files, and how many more there are.
    const CString told = Joined(box.text);
    const int shown = static_cast<int>(std::count_if(stale.begin(), stale.end(), [&](const std::wstring& name) {
        return told.Find((L"「" + name + L"」はもうありません").c_str()) != -1;
    }));
    EXPECT_GE(shown, 1);
    CString more;
    more.Format(L"ほかに %d 件", kTwins - shown);
    EXPECT_EQ(told.GetLength() - more.GetLength(), told.Find(more)) << CStringA(told).GetString();
    EXPECT_EQ(-1, told.Find(L"…"));
    EXPECT_EQ(kTwins, scope.Document().GetItemCount());
}
