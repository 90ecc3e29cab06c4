// The file-operation engine when a job is cut short: what a crash at any file would leave on disk
// (the notes of moved files, no cut file under a real name), the temporaries a crashed job left
// and the next one removes, notes kept in a section other names share, and the messages that say
// which file failed and why.
#include "TransferTestUtil.h"
#include "catalogue/VyxNoteFile.h"
#include "fileops/FileCopy.h"
#include "common/TwinFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Policy = VyxFileTransfer;

bool IsTemporaryName(const CString& name)
{
    return name.GetLength() == 21 && name[0] == L'$' && wcsspn(name.GetString() + 1, L"0123456789ABCDEF") == 16 &&
           name.Right(4) == L".tmp";
}

// ---------------------------------------------------------------- a copy cut short

// A process that runs until the object goes.
class RunningProcess
{
public:
    RunningProcess()
    {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        wchar_t command[] = L"cmd.exe /c exit";
        if (CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                           &m_info))
            m_running = true;
    }
    ~RunningProcess()
    {
        if (!m_running)
            return;
        TerminateProcess(m_info.hProcess, 0);
        WaitForSingleObject(m_info.hProcess, 10000);
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
    }
    DWORD Id() const { return m_running ? m_info.dwProcessId : 0; }

private:
    PROCESS_INFORMATION m_info = {};
    bool m_running = false;
};

TEST(TransferCrash, ACopyCutShortLeavesNoPartOfAFileUnderItsNameAndTheNextJobClearsWhatACrashLeft)
{
    for (bool replacing : {false, true}) {
        SCOPED_TRACE(replacing ? "replacing a file" : "to a free name");
        TransferScene scene;
        CString source = scene.File(scene.src, L"big.jpg", 300000, 1);
        if (replacing)
            scene.File(scene.dst, L"big.jpg", 50, 2);
        auto job = scene.Job(0, Policy::SameOverwrite);
        job->SetCopyBufferSize(0);
        job->Add(source);
        // Half way through the copy, as a crash would find the folder.
        std::vector<CString> midway;
        std::string underTheName;
        unsigned long long written = 0;
        CopyTarget::SetWriteFunction([&](HANDLE file, const void* data, DWORD size, DWORD* done) {
            if (written > 0 && midway.empty()) {
                midway = FolderEntries(scene.dst);
                underTheName = ReadBytes(scene.dst + L"\\big.jpg");
            }
            written += size;
            return WriteFile(file, data, size, done, nullptr);
        });
        EXPECT_EQ(1, job->Run());
        CopyTarget::SetWriteFunction(nullptr);
        ASSERT_EQ(replacing ? 2u : 1u, midway.size());
        EXPECT_EQ(replacing ? PatternBytes(50, 2) : std::string(), underTheName);
        EXPECT_TRUE(IsTemporaryName(midway[0])) << CStringA(midway[0]);
        EXPECT_EQ(PatternBytes(300000, 1), ReadBytes(scene.dst + L"\\big.jpg"));
        EXPECT_EQ(std::vector<CString>{L"big.jpg"}, FolderEntries(scene.dst));
    }

    // What crashed jobs left: temporary folders with a cut copy or an extracted member in them, by
    // a process that no longer runs, or by one whose id this process now has. Those of another
    // process running, and every other name (a file of that form too), are not the job's to remove.
    TransferScene scene;
    RunningProcess running;
    ASSERT_NE(0u, running.Id());
    CString alive, earlier;
    alive.Format(L"$%08lX00000001.tmp", static_cast<unsigned long>(running.Id()));
    earlier.Format(L"$%08lX00000001.tmp", static_cast<unsigned long>(GetCurrentProcessId()));
    const CString dead = L"$0FFFFFF000000001.tmp";
    for (LPCWSTR name : {dead.GetString(), earlier.GetString(), alive.GetString()})
        scene.File(scene.Folder(scene.dst, name), L"$0FFFFFF000000009.tmp", 10, 3);
    SetFileAttributesW(scene.dst + L"\\" + dead + L"\\$0FFFFFF000000009.tmp", FILE_ATTRIBUTE_READONLY);
    for (LPCWSTR name : {L"$0FFFFFF000000002.tmp", L"$0FFFFFF0", L"$0FFFFFF0.tmp", L"$0FFFFFF0000000zz.tmp"})
        scene.File(scene.dst, name, 10, 4);
    CString pics = scene.Folder(scene.src, L"Pics");
    scene.File(pics, L"p.jpg");
    scene.File(scene.Folder(scene.Folder(scene.dst, L"Pics"), dead), L"member.jpg", 10, 5);

    auto job = scene.Job(0, Policy::SameOverwrite);
    job->Add(scene.File(scene.src, L"next.jpg"));
    job->Add(pics);
    EXPECT_EQ(3, job->Run());
    std::vector<CString> kept = {
        alive,      L"$0FFFFFF000000002.tmp", L"$0FFFFFF0", L"$0FFFFFF0.tmp", L"$0FFFFFF0000000zz.tmp", L"Pics",
        L"next.jpg"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, FolderEntries(scene.dst));
    EXPECT_EQ(std::vector<CString>{L"p.jpg"}, FolderEntries(scene.dst + L"\\Pics"));
}

// The note of a section as the location's note file on disk holds it, whatever a running job
// keeps pending; empty when the file or the section is not there.
CString NoteOnDisk(const TransferScene& scene, const CString& folder, const wchar_t* section)
{
    VyxCacheIndex index(scene.root);
    CString path, note;
    VyxNoteFile file;
    if (index.FindNoteFile(path, folder, nullptr) && file.Load(path) == VyxNoteFile::Loaded)
        file.Find(section, L"Note", note);
    return note;
}

// ---------------------------------------------------------------- a move cut short

const int kMoved = 8;
const size_t kMovedSize = 20000;

CString Numbered(const wchar_t* format, int i)
{
    CString text;
    text.Format(format, i);
    return text;
}

// What a crash at this moment would leave: a file whose source has gone has its note in the
// target's note file, one still at its source has it there, and a file under its real name at the
// target is whole (the moved one, or the one it replaces). The indexes of the files gone.
std::vector<int> CheckWhatACrashWouldLeave(const TransferScene& scene, const CString& target)
{
    std::vector<int> gone;
    for (int i = 0; i < kMoved; ++i) {
        const CString name = Numbered(L"m%d.jpg", i), there = target + L"\\" + name;
        if (Exists(there)) {
            const std::string bytes = ReadBytes(there);
            EXPECT_TRUE(bytes == PatternBytes(kMovedSize, i + 1) || bytes == PatternBytes(10, 100 + i)) << i;
        }
        if (Exists(scene.src + L"\\" + name)) {
            EXPECT_EQ(Numbered(L"メモ%d", i), NoteOnDisk(scene, scene.src, name)) << i;
        } else {
            EXPECT_EQ(Numbered(L"メモ%d", i), NoteOnDisk(scene, target, name)) << i;
            gone.push_back(i);
        }
    }
    return gone;
}

TEST(TransferCrash, AMoveCutShortAtAnyFileNeverLeavesTheNoteOfAMovedFileOnlyBehind)
{
    for (bool central : {false, true})
        for (bool acrossDrives : {true, false}) {
            SCOPED_TRACE(testing::Message() << (acrossDrives ? "across drives" : "on one drive")
                                            << (central ? ", central notes" : ", notes in the folders"));
            TransferScene scene(central);
            SecondDriveFolder other;
            ASSERT_FALSE(other.Path().IsEmpty());
            const CString target = acrossDrives ? other.Path() : scene.dst;
            auto job = scene.Job(1, Policy::SameAsk);
            job->SetSettleInterval(3, 600000);
            for (int i = 0; i < kMoved; ++i) {
                CString source = scene.File(scene.src, Numbered(L"m%d.jpg", i), kMovedSize, i + 1);
                scene.SetNote(source, Numbered(L"メモ%d", i));
                job->Add(source);
            }
            // Every moment a new file starts stands for a crash there; the sixth file ends the
            // job (a full disk across drives, a cancelled question on one drive).
            std::vector<std::vector<int>> goneAt;
            const int stopAt = 5;
            unsigned long long written = 0;
            CopyTarget::SetWriteFunction([&](HANDLE file, const void* data, DWORD size, DWORD* done) {
                if (written % kMovedSize == 0) {
                    goneAt.push_back(CheckWhatACrashWouldLeave(scene, target));
                    if (goneAt.size() == stopAt + 1) {
                        SetLastError(ERROR_DISK_FULL);
                        return FALSE;
                    }
                }
                written += size;
                return WriteFile(file, data, size, done, nullptr);
            });
            job->onMessage = [](const CString&, UINT) { return IDABORT; };
            if (!acrossDrives) {
                // On one drive nothing is copied: the same-name question of each file is the moment.
                for (int i = 0; i < kMoved; ++i)
                    scene.File(scene.dst, Numbered(L"m%d.jpg", i), 10, 100 + i);
                job->onSameName = [&](VSameFileDlg& dialog) {
                    goneAt.push_back(CheckWhatACrashWouldLeave(scene, target));
                    return goneAt.size() == stopAt + 1 ? IDCANCEL : Answer(Policy::SameOverwrite)(dialog);
                };
            }
            EXPECT_EQ(stopAt, job->Run(target));
            CopyTarget::SetWriteFunction(nullptr);
            ASSERT_EQ(size_t(stopAt + 1), goneAt.size());
            // The sources go a few files at a time, not only at the end of the job.
            EXPECT_EQ((std::vector<int>{0, 1, 2}), goneAt[4]);
            EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), CheckWhatACrashWouldLeave(scene, target));
            for (int i = 0; i < kMoved; ++i) {
                SCOPED_TRACE(i);
                EXPECT_EQ(i < stopAt ? CString() : Numbered(L"メモ%d", i),
                          NoteOnDisk(scene, scene.src, Numbered(L"m%d.jpg", i)));
                EXPECT_EQ(i < stopAt ? Numbered(L"メモ%d", i) : CString(),
                          NoteOnDisk(scene, target, Numbered(L"m%d.jpg", i)));
            }
            for (const CString& name : FolderEntries(target))
                EXPECT_FALSE(IsTemporaryName(name)) << CStringA(name);
        }
}

// ---------------------------------------------------------------- notes in a shared section

TEST(TransferSharedNotes, AFileWhoseNoteSectionOtherNamesShareCarriesACopyAndTheUserIsToldWhichNames)
{
    for (bool central : {false, true})
        for (int move : {0, 1}) {
            SCOPED_TRACE(testing::Message()
                         << (move ? "move" : "copy") << (central ? ", central notes" : ", notes in the folders"));
            TransferScene scene(central);
            CString shared = scene.File(scene.src, L"a[1].jpg");
            scene.SetNote(shared, L"共有のメモ");
            // Came after the note: "a[1].jpg" and "a{1}.jpg" now file their notes in one section.
            scene.File(scene.src, L"a{1}.jpg");
            ASSERT_EQ(CString(), scene.Note(shared));
            auto job = scene.Job(move, Policy::SameAsk);
            job->Add(shared);
            EXPECT_EQ(1, job->Run());
            EXPECT_EQ(CString(L"共有のメモ"), scene.Note(scene.dst + L"\\a[1].jpg"));
            EXPECT_EQ(CString(L"共有のメモ"), NoteOnDisk(scene, scene.src, L"a{1}.jpg"));
            ASSERT_EQ(1u, job->messages.size());
            EXPECT_NE(-1, job->messages[0].Find(shared));
            EXPECT_NE(-1, job->messages[0].Find(L"a{1}.jpg"));
        }
}

TEST(TransferSharedNotes, AFolderWithNamesSharingASectionKeepsTheNoteAtItsSourceAndSaysSo)
{
    for (int move : {0, 1}) {
        SCOPED_TRACE(move ? "move" : "copy");
        TransferScene scene;
        CString pics = scene.Folder(scene.src, L"Pics");
        scene.File(pics, L"a[1].jpg");
        scene.SetNote(pics + L"\\a[1].jpg", L"共有のメモ");
        scene.File(pics, L"a{1}.jpg");
        scene.File(pics, L"b.jpg");
        scene.SetNote(pics + L"\\b.jpg", L"普通のメモ");
        auto job = scene.Job(move, Policy::SameAsk);
        job->Add(pics);
        EXPECT_EQ(4, job->Run());
        const CString copied = scene.dst + L"\\Pics";
        EXPECT_EQ(CString(L"普通のメモ"), scene.Note(copied + L"\\b.jpg"));
        // Both names came along: at the target they share the section again, so no copy is
        // filed there, and the source folder stays for the note file that holds it.
        EXPECT_EQ(CString(), NoteOnDisk(scene, copied, L"a{1}.jpg"));
        EXPECT_EQ(CString(L"共有のメモ"), NoteOnDisk(scene, pics, L"a{1}.jpg"));
        EXPECT_EQ(move ? CString() : CString(L"普通のメモ"), NoteOnDisk(scene, pics, L"b.jpg"));
        const std::vector<CString> left = {L"_NOTE_.KWI"}, all = {L"_NOTE_.KWI", L"a[1].jpg", L"a{1}.jpg", L"b.jpg"};
        EXPECT_EQ(move ? left : all, FolderEntries(pics));
        EXPECT_EQ(1u, job->messages.size());
        const CString told = job->messages.empty() ? CString() : job->messages[0];
        EXPECT_NE(-1, told.Find(L"a[1].jpg"));
        EXPECT_NE(-1, told.Find(L"a{1}.jpg"));
    }
}

// ---------------------------------------------------------------- messages

CString SystemText(DWORD error)
{
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 512, nullptr);
    return text;
}

TEST(TransferMessages, AFileAnotherProgramHoldsOpenIsNamedWithTheSystemsReason)
{
    for (bool acrossDrives : {true, false}) {
        SCOPED_TRACE(acrossDrives ? "across drives" : "on one drive");
        TransferScene scene;
        SecondDriveFolder other;
        ASSERT_FALSE(other.Path().IsEmpty());
        CString source = scene.File(scene.src, L"開いたまま.jpg", 5000, 3);
        auto job = scene.Job(1, Policy::SameAsk);
        job->Add(source);
        {
            LockedFile lock(source);
            ASSERT_TRUE(lock.IsLocked());
            EXPECT_EQ(0, job->Run(acrossDrives ? other.Path() : scene.dst));
        }
        ASSERT_EQ(1u, job->messages.size());
        const CString& text = job->messages[0];
        EXPECT_EQ(0, text.Find(source + L"\r\n")) << CStringA(text);
        EXPECT_NE(-1, text.Find(SystemText(ERROR_SHARING_VIOLATION))) << CStringA(text);
        EXPECT_EQ(PatternBytes(5000, 3), ReadBytes(source));
    }
}

} // namespace

// ---------------------------------------------------------------- names differing only in case

TEST(TransferTwinNames, ACopyOrMoveOfANameWhoseFileIsGoneIsRefusedNamingBothAndNeverTakesItsTwin)
{
    for (int move : {0, 1}) {
        SCOPED_TRACE(move ? "move" : "copy");
        TransferScene scene;
        const CString upper = scene.File(scene.src, L"Case.jpg", 100, 1);
        ASSERT_TRUE(twinfiles::PutTwin(scene.src.GetString(), L"case.jpg", "lower"));
        // As the document listed it; then another program deleted it.
        VyxFile item(scene.src + L"\\case.jpg");
        ASSERT_TRUE(DeleteFileW(scene.src + L"\\case.jpg"));
        ASSERT_TRUE(twinfiles::Lists(scene.src.GetString(), L"Case.jpg"));
        auto job = scene.Job(move);
        job->AddItem(&item, 0);
        EXPECT_EQ(0, job->Run());
        ASSERT_EQ(1u, job->messages.size());
        EXPECT_NE(-1, job->messages[0].Find(L"「case.jpg」"));
        EXPECT_NE(-1, job->messages[0].Find(L"「Case.jpg」"));
        EXPECT_EQ(PatternBytes(100, 1), ReadBytes(upper));
        EXPECT_TRUE(FolderEntries(scene.dst).empty());
    }
}
