// The file-operation engine when a job is cut short: what a crash at any file would leave on disk
// (the notes of moved files, no cut file under a real name), the temporaries a crashed job left
// and the next one removes, notes kept in a section other names share, and the messages that say
// which file failed and why.
#include "../image/TestArchiveFile.h"
#include "TestArchivePlugin.h"
#include "TransferTestUtil.h"
#include "catalogue/VyxNoteFile.h"
#include "fileops/FileCopy.h"
#include "common/ChildTest.h"
#include "common/ImportPatch.h"
#include "common/LinkFixture.h"
#include "common/OwnedProcess.h"
#include "common/TwinFiles.h"
#include "foundation/TempMarker.h"
#include "foundation/TwinNameGuard.h"

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

// A process that lives, suspended, until the object goes.
class RunningProcess
{
public:
    RunningProcess() { m_process.Start(L"cmd.exe /c exit", nullptr, CREATE_SUSPENDED); }
    DWORD Id() const { return m_process.Id(); }
    FILETIME Started() const
    {
        FILETIME started = {0, 0};
        if (m_process)
            TempMarker::StartOf(m_process.Handle(), started);
        return started;
    }

private:
    OwnedProcess m_process;
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

    // What crashed jobs left: temporary folders, marked as the program's, with a cut copy or an
    // extracted member in them, by a process that no longer runs, or by an earlier one whose id
    // this process now has. Those of another process running, and every other name (a file of
    // that form too), are not the job's to remove.
    TransferScene scene;
    RunningProcess running;
    ASSERT_NE(0u, running.Id());
    CString alive, earlier;
    alive.Format(L"$%08lX00000001.tmp", static_cast<unsigned long>(running.Id()));
    earlier.Format(L"$%08lX00000001.tmp", static_cast<unsigned long>(GetCurrentProcessId()));
    const CString dead = L"$0FFFFFF000000001.tmp";
    const FILETIME longAgo = {1, 1};
    const std::string deadMark = TempMarker::MakeFor(0x0FFFFFF0, longAgo);
    const std::pair<CString, std::string> marked[] = {{dead, deadMark},
                                                      {earlier, TempMarker::MakeFor(GetCurrentProcessId(), longAgo)},
                                                      {alive, TempMarker::MakeFor(running.Id(), running.Started())}};
    for (const auto& folder : marked) {
        const CString made = scene.Folder(scene.dst, folder.first);
        ASSERT_TRUE(CopyTarget::WriteMark(made, folder.second));
        scene.File(made, L"$0FFFFFF000000009.tmp", 10, 3);
    }
    SetFileAttributesW(scene.dst + L"\\" + dead + L"\\$0FFFFFF000000009.tmp", FILE_ATTRIBUTE_READONLY);
    for (LPCWSTR name : {L"$0FFFFFF000000002.tmp", L"$0FFFFFF0", L"$0FFFFFF0.tmp", L"$0FFFFFF0000000zz.tmp"})
        scene.File(scene.dst, name, 10, 4);
    CString pics = scene.Folder(scene.src, L"Pics");
    scene.File(pics, L"p.jpg");
    const CString member = scene.Folder(scene.Folder(scene.dst, L"Pics"), dead);
    ASSERT_TRUE(CopyTarget::WriteMark(member, deadMark));
    ASSERT_TRUE(CopyTarget::ClaimName(member, L"member.jpg"));
    scene.File(member, L"member.jpg", 10, 5);

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

decltype(&MoveFileExW) s_extractionMove = nullptr;

// The process stops once an extracted member is whole in the job's temporary folder, before it is
// put in place: a crash ends it there.
BOOL WINAPI HeldBeforeTheMemberIsInPlace(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    const size_t length = wcslen(to);
    if (length > 10 && _wcsicmp(to + length - 10, L"\\inner.jpg") == 0) {
        ChildTest::Signal(L"extracted");
        // Ended by the parent long before.
        Sleep(120000);
    }
    return s_extractionMove(from, to, flags);
}

// Run by the test below in a second process: an archive's member extracted into a folder.
TEST(TransferCrash, DISABLED_ExtractsAMemberAndIsEndedBeforeItIsInPlace)
{
    if (!ChildTest::IsChild())
        return;
    TestArchivePlugin plugin;
    std::vector<VyxFile*> members = plugin.Members(ChildTest::Setting(L"VYX_ARCHIVE").c_str());
    ASSERT_EQ(1u, members.size());
    ImportPatch moves("kernel32.dll", "MoveFileExW", reinterpret_cast<void*>(&HeldBeforeTheMemberIsInPlace));
    ASSERT_TRUE(moves);
    s_extractionMove = reinterpret_cast<decltype(&MoveFileExW)>(moves.Original());
    ScriptedTransfer job;
    job.SetSameNameMode(Policy::SameOverwrite);
    job.AddItem(members[0], 1);
    job.Run(ChildTest::Setting(L"VYX_TARGET").c_str());
}

TEST(TransferCrash, AnExtractionEndedByACrashLeavesNothingTheNextJobDoesNotClear)
{
    TransferScene scene;
    const CString archive = scene.src + L"\\box.tarc";
    ASSERT_TRUE(
        WriteBytes(archive, plugintest::MakeTestArchive(0, {{"", "inner.jpg", "member bytes", 0, 1100000000}})));
    {
        ChildTest crashed("TransferCrash.DISABLED_ExtractsAMemberAndIsEndedBeforeItIsInPlace",
                          {{L"VYX_ARCHIVE", archive.GetString()}, {L"VYX_TARGET", scene.dst.GetString()}},
                          {L"extracted"});
        ASSERT_TRUE(crashed.Started());
        ASSERT_TRUE(crashed.WaitFor(L"extracted", 60000));
        crashed.Kill();
        ASSERT_NE(static_cast<DWORD>(STILL_ACTIVE), crashed.Wait(30000));
    }
    // The crash left the job's temporary folder with the member whole in it.
    const std::vector<CString> left = FolderEntries(scene.dst);
    ASSERT_EQ(1u, left.size());
    EXPECT_TRUE(IsTemporaryName(left[0])) << CStringA(left[0]).GetString();
    EXPECT_EQ("member bytes", ReadBytes(scene.dst + L"\\" + left[0] + L"\\inner.jpg"));

    auto job = scene.Job(0, Policy::SameOverwrite);
    job->Add(scene.File(scene.src, L"next.jpg"));
    EXPECT_EQ(1, job->Run());
    EXPECT_EQ(std::vector<CString>{L"next.jpg"}, FolderEntries(scene.dst));
}

// The clean-up of what crashed jobs left takes only what the program can show it made: a folder
// of the temporary form that lacks the program's mark inside is a user's, and inside a marked one
// only the files the program named go.
TEST(TransferCrash, TheCleanUpOfTemporariesRemovesOnlyFoldersItMarkedAndOnlyTheFilesItNamed)
{
    for (int move : {0, 1}) {
        SCOPED_TRACE(move ? "move" : "copy");
        TransferScene scene;
        const CString users = scene.Folder(scene.dst, L"$0000000100000000.tmp");
        for (LPCWSTR name : {L"IMG_0001.jpg", L"IMG_0002.jpg", L"$0FFFFFF000000003.tmp"})
            scene.File(users, name, 300, 7);
        // Marked, but by another program's hand: a mark that is not the program's own.
        const CString lookAlike = scene.Folder(scene.dst, L"$0FFFFFF000000004.tmp");
        ASSERT_TRUE(ScratchFolder::WriteFile((lookAlike + L"\\$owner.mark").GetString(), std::string(32, 'x')));
        scene.File(lookAlike, L"$0FFFFFF000000005.tmp", 10, 8);
        // The program's own, left by a crash, which a user later put a file into.
        const FILETIME longAgo = {1, 1};
        const CString left = scene.Folder(scene.dst, L"$0FFFFFF000000006.tmp");
        ASSERT_TRUE(CopyTarget::WriteMark(left, TempMarker::MakeFor(0x0FFFFFF0, longAgo)));
        ASSERT_TRUE(CopyTarget::ClaimName(left, L"member.jpg"));
        scene.File(left, L"member.jpg", 10, 9);
        scene.File(left, L"$0FFFFFF000000007.tmp", 10, 9);
        scene.File(left, L"mine.jpg", 10, 9);

        auto job = scene.Job(move, Policy::SameAsk);
        job->Add(scene.File(scene.src, L"photo.jpg", 2000, 3));
        EXPECT_EQ(1, job->Run());
        EXPECT_EQ(PatternBytes(2000, 3), ReadBytes(scene.dst + L"\\photo.jpg"));
        EXPECT_EQ((std::vector<CString>{L"$0FFFFFF000000003.tmp", L"IMG_0001.jpg", L"IMG_0002.jpg"}),
                  FolderEntries(users));
        EXPECT_EQ(PatternBytes(300, 7), ReadBytes(users + L"\\IMG_0001.jpg"));
        EXPECT_EQ((std::vector<CString>{L"$0FFFFFF000000005.tmp", L"$owner.mark"}), FolderEntries(lookAlike));
        EXPECT_EQ((std::vector<CString>{L"$owner.mark", L"mine.jpg"}), FolderEntries(left));
        EXPECT_EQ(PatternBytes(10, 9), ReadBytes(left + L"\\mine.jpg"));
    }
}

// The clean-up of a copy's target folder meets host links of the program's temporary names: a
// folder link named like a temporary folder, whose folder elsewhere holds a dead writer's mark and
// a copy's name, and a file link of a copy's name in a temporary folder a crash left (Wine shows
// it as the file it leads to). Nothing is entered, made writable or deleted through a link.
TEST(TransferCrash, TheCleanUpOfTemporariesLeavesLinksAndWhatTheyLeadTo)
{
    const std::wstring copies = FixtureTemporaryLinks(L"copies", L"$0FFFFFF000000001.tmp");
    ASSERT_FALSE(copies.empty()) << "no host link: run through ctest, whose fixture makes it";
    ASSERT_TRUE(IsLinkedFolderThere(copies + L"\\$0FFFFFF000000001.tmp"));
    const std::string deadMark = TempMarker::MakeFor(0x0FFFFFF0, FILETIME{1, 1});
    const std::wstring folder = FixtureMarked(L"folder"), left = copies + L"\\$0FFFFFF000000002.tmp";
    for (const std::wstring& marked : {folder, left}) {
        DeleteFileW((marked + L"\\$owner.mark").c_str());
        ASSERT_TRUE(CopyTarget::WriteMark(marked.c_str(), deadMark));
    }
    ASSERT_TRUE(ScratchFolder::WriteFile(folder + L"\\$0FFFFFF000000009.tmp", "elsewhere"));
    const std::wstring copy = FixtureMarked(L"copy.tmp");
    SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(ScratchFolder::WriteFile(copy, "a copy elsewhere"));
    ASSERT_TRUE(SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(0, CopyTarget::RemoveLeftovers(copies.c_str()));
    EXPECT_TRUE(IsLinkedFolderThere(copies + L"\\$0FFFFFF000000001.tmp"));
    EXPECT_EQ("elsewhere", ScratchFolder::ReadFile(folder + L"\\$0FFFFFF000000009.tmp"));
    EXPECT_EQ(deadMark, ScratchFolder::ReadFile(folder + L"\\$owner.mark"));
    EXPECT_EQ("a copy elsewhere", ScratchFolder::ReadFile(copy));
    EXPECT_NE(0u, GetFileAttributesW(copy.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ("a copy elsewhere", ScratchFolder::ReadFile(left + L"\\$0FFFFFF000000003.tmp"));
    SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
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

// A move of kMoved noted files of `size` bytes, with notes central and in the folders, onto another
// drive and on one drive: `run` gets the scene, the job, its target and whether it is on another drive.
template <typename Run> void ForEachMoveOfNotedFiles(size_t size, Run run)
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
                CString source = scene.File(scene.src, Numbered(L"m%d.jpg", i), size, i + 1);
                scene.SetNote(source, Numbered(L"メモ%d", i));
                job->Add(source);
            }
            run(scene, job, target, acrossDrives);
        }
}

TEST(TransferCrash, AMoveCutShortAtAnyFileNeverLeavesTheNoteOfAMovedFileOnlyBehind)
{
    ForEachMoveOfNotedFiles(kMovedSize, [](TransferScene& scene, std::unique_ptr<ScriptedTransfer>& job,
                                           const CString& target, bool acrossDrives) {
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
    });
}

// What a crash would leave at each removal of a moved file's source, seen right after it.
struct RemovalWatch
{
    const TransferScene* scene = nullptr;
    CString target;
    int removals = 0;
    std::vector<int> noteMissing;
};
RemovalWatch* s_removals = nullptr;
decltype(&DeleteFileW) s_deleteFile = nullptr;
decltype(&MoveFileExW) s_moveFileEx = nullptr;

void SourceRemoved(LPCWSTR source)
{
    const wchar_t* name = wcsstr(source, L"\\src\\m");
    if (!s_removals || !name)
        return;
    const int i = _wtoi(name + 6);
    ++s_removals->removals;
    if (NoteOnDisk(*s_removals->scene, s_removals->target, Numbered(L"m%d.jpg", i)) != Numbered(L"メモ%d", i))
        s_removals->noteMissing.push_back(i);
}

BOOL WINAPI WatchedDelete(LPCWSTR path)
{
    const BOOL done = s_deleteFile(path);
    if (done)
        SourceRemoved(path);
    return done;
}

BOOL WINAPI WatchedMove(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    const BOOL done = s_moveFileEx(from, to, flags);
    if (done)
        SourceRemoved(from);
    return done;
}

TEST(TransferCrash, AtEveryRemovalOfAMovedSourceItsNoteIsAlreadyInTheTarget)
{
    ForEachMoveOfNotedFiles(
        1000, [](TransferScene& scene, std::unique_ptr<ScriptedTransfer>& job, const CString& target, bool) {
            RemovalWatch watch;
            watch.scene = &scene;
            watch.target = target;
            {
                ImportPatch deletes("kernel32.dll", "DeleteFileW", reinterpret_cast<void*>(&WatchedDelete));
                ImportPatch moves("kernel32.dll", "MoveFileExW", reinterpret_cast<void*>(&WatchedMove));
                ASSERT_TRUE(deletes);
                ASSERT_TRUE(moves);
                s_deleteFile = reinterpret_cast<decltype(&DeleteFileW)>(deletes.Original());
                s_moveFileEx = reinterpret_cast<decltype(&MoveFileExW)>(moves.Original());
                s_removals = &watch;
                EXPECT_EQ(kMoved, job->Run(watch.target));
                s_removals = nullptr;
            }
            EXPECT_EQ(kMoved, watch.removals);
            EXPECT_EQ(std::vector<int>(), watch.noteMissing);
        });
}

// The note file at the target holds a moved file's note before its source's is cleared: read back
// from the disk, not taken on trust (another writer may have put its own file in place meanwhile).
BOOL WINAPI NoteFileNotPutInPlace(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    const size_t length = wcslen(to);
    if (length > 11 && _wcsicmp(to + length - 11, L"\\_NOTE_.KWI") == 0 && wcsstr(to, L"\\dst\\")) {
        DeleteFileW(from);
        return TRUE;
    }
    return s_moveFileEx(from, to, flags);
}

TEST(TransferNotesReadBack, AMovedFilesNoteLeavesItsSourceOnlyOnceReadBackFromTheTarget)
{
    TransferScene scene;
    auto job = scene.Job(1, Policy::SameAsk);
    for (int i = 0; i < 3; ++i) {
        CString source = scene.File(scene.src, Numbered(L"m%d.jpg", i), 100, i + 1);
        scene.SetNote(source, Numbered(L"メモ%d", i));
        job->Add(source);
    }
    {
        ImportPatch moves("kernel32.dll", "MoveFileExW", reinterpret_cast<void*>(&NoteFileNotPutInPlace));
        ASSERT_TRUE(moves);
        s_moveFileEx = reinterpret_cast<decltype(&MoveFileExW)>(moves.Original());
        EXPECT_EQ(3, job->Run());
    }
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(Exists(scene.dst + L"\\" + Numbered(L"m%d.jpg", i)));
        EXPECT_EQ(CString(), NoteOnDisk(scene, scene.dst, Numbered(L"m%d.jpg", i)));
        EXPECT_EQ(Numbered(L"メモ%d", i), NoteOnDisk(scene, scene.src, Numbered(L"m%d.jpg", i)));
    }
    // The user is told which files' notes did not arrive.
    ASSERT_EQ(1u, job->messages.size());
    EXPECT_NE(-1, job->messages[0].Find(scene.dst + L"\\m0.jpg")) << CStringA(job->messages[0]);
}

// ---------------------------------------------------------------- another instance

const int kEachMoves = 150;

// Run by the test below in a second process: a move of its own into the same folder.
TEST(TransferOtherProcess, DISABLED_MovesItsFilesIntoTheFolder)
{
    if (!ChildTest::IsChild())
        return;
    const CString source = ChildTest::Setting(L"VYX_MOVE_SOURCE").c_str();
    ScriptedTransfer job;
    job.SetMoveMode(1);
    job.SetSameNameMode(Policy::SameAsk);
    job.SetSettleInterval(5, 600000);
    for (int i = 0; i < kEachMoves; ++i)
        job.Add(source + Numbered(L"\\b%d.jpg", i));
    ChildTest::Signal(L"ready");
    EXPECT_EQ(kEachMoves, job.Run(ChildTest::Setting(L"VYX_MOVE_TARGET").c_str()));
    EXPECT_EQ(std::vector<CString>(), job.messages);
}

// Two instances of the program moving files with notes into one folder at once: every note
// arrives, and each source's note file loses only the notes that did.
TEST(TransferOtherProcess, TwoInstancesMovingFilesWithNotesIntoOneFolderKeepEveryNote)
{
    TransferScene scene;
    const CString second = scene.Folder(scene.src, L"second");
    auto job = scene.Job(1, Policy::SameAsk);
    job->SetSettleInterval(5, 600000);
    for (int i = 0; i < kEachMoves; ++i) {
        CString mine = scene.File(scene.src, Numbered(L"a%d.jpg", i), 100, 1);
        scene.SetNote(mine, Numbered(L"メモa%d", i));
        job->Add(mine);
        scene.SetNote(scene.File(second, Numbered(L"b%d.jpg", i), 100, 2), Numbered(L"メモb%d", i));
    }
    ChildTest other("TransferOtherProcess.DISABLED_MovesItsFilesIntoTheFolder",
                    {{L"VYX_MOVE_SOURCE", second.GetString()}, {L"VYX_MOVE_TARGET", scene.dst.GetString()}},
                    {L"ready"});
    ASSERT_TRUE(other.Started());
    ASSERT_TRUE(other.WaitFor(L"ready", 60000));
    EXPECT_EQ(kEachMoves, job->Run());
    const DWORD ended = other.Wait(120000);
    ASSERT_NE(static_cast<DWORD>(STILL_ACTIVE), ended);
    EXPECT_EQ(0u, ended);
    int arrived = 0, left = 0;
    for (int i = 0; i < kEachMoves; ++i)
        for (const wchar_t* kind : {L"a", L"b"}) {
            const CString name = CString(kind) + Numbered(L"%d.jpg", i);
            arrived += NoteOnDisk(scene, scene.dst, name) == CString(L"メモ") + kind + Numbered(L"%d", i) ? 1 : 0;
            left += Exists((kind[0] == L'a' ? scene.src : second) + L"\\" + name) ? 1 : 0;
        }
    EXPECT_EQ(2 * kEachMoves, arrived);
    EXPECT_EQ(0, left);
    EXPECT_EQ(std::vector<CString>(), job->messages);
    EXPECT_FALSE(Exists(scene.src + L"\\_NOTE_.KWI"));
    EXPECT_FALSE(Exists(second + L"\\_NOTE_.KWI"));
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

TEST(TransferTwinNames, ACopyFromANameThatLeadsToAFileSpelledOtherwiseReadsNothingOfIt)
{
    TransferScene scene;
    const CString upper = scene.File(scene.src, L"Case.jpg", 100, 1);
    EXPECT_EQ(kCopyFailed, CopyFileSized(scene.src + L"\\case.jpg", scene.dst + L"\\case.jpg", 0, nullptr, 0));
    EXPECT_EQ(TwinNameGuard::kRefused, GetLastError());
    EXPECT_TRUE(FolderEntries(scene.dst).empty());
    EXPECT_TRUE(PatternBytes(100, 1) == ReadBytes(upper));
}

TEST(TransferTwinNames, ACopyOrMoveOntoANameThatLeadsToAFileSpelledOtherwiseIsRefusedNamingBothAndTouchesNeither)
{
    const struct
    {
        const char* how;
        int mode;
        int answer; // of the same-name question, when asked
    } ways[] = {
        {"overwrite chosen in the question", Policy::SameAsk, Policy::SameOverwrite},
        {"newer chosen in the question", Policy::SameAsk, Policy::SameNewer},
        {"overwrite every file", Policy::SameOverwrite, -1},
    };
    for (const auto& way : ways) {
        for (int move : {1, 0}) {
            SCOPED_TRACE(std::string(way.how) + (move ? ", move" : ", copy"));
            TransferScene scene;
            // "p.jpg" at the destination is another photo than "P.jpg", and older.
            const CString lower = scene.File(scene.dst, L"p.jpg", 100, 1);
            scene.SetNote(lower, L"小文字のメモ");
            SetFileTimes(lower, 1000000000LL);
            const CString upper = scene.File(scene.src, L"P.jpg", 200, 2);
            scene.SetNote(upper, L"大文字のメモ");
            auto job = scene.Job(move, way.mode);
            if (way.answer >= 0)
                job->onSameName = Answer(way.answer);
            job->Add(upper);
            EXPECT_EQ(0, job->Run());
            EXPECT_EQ(way.answer >= 0 ? 1 : 0, job->sameNameQuestions);
            ASSERT_EQ(1u, job->messages.size());
            EXPECT_NE(-1, job->messages[0].Find(L"「P.jpg」")) << CStringA(job->messages[0]);
            EXPECT_NE(-1, job->messages[0].Find(L"「p.jpg」"));
            EXPECT_EQ((std::vector<CString>{L"_NOTE_.KWI", L"p.jpg"}), FolderEntries(scene.dst));
            EXPECT_TRUE(PatternBytes(100, 1) == ReadBytes(lower));
            EXPECT_EQ(CString(L"小文字のメモ"), NoteOnDisk(scene, scene.dst, L"p.jpg"));
            EXPECT_TRUE(PatternBytes(200, 2) == ReadBytes(upper));
            EXPECT_EQ(CString(L"大文字のメモ"), NoteOnDisk(scene, scene.src, L"P.jpg"));
        }
    }
    // Numbered, it goes under a name of its own.
    TransferScene scene;
    const CString lower = scene.File(scene.dst, L"p.jpg", 100, 1);
    const CString upper = scene.File(scene.src, L"P.jpg", 200, 2);
    auto job = scene.Job(1);
    job->onSameName = Answer(Policy::SameSerial);
    job->Add(upper);
    EXPECT_EQ(1, job->Run());
    EXPECT_TRUE(job->messages.empty());
    EXPECT_TRUE(PatternBytes(100, 1) == ReadBytes(lower));
    EXPECT_TRUE(PatternBytes(200, 2) == ReadBytes(scene.dst + L"\\P-2.jpg"));
}

TEST(TransferTwinNames, ACopyOrMoveIntoAFolderSpelledLikeTheSourceFolderButForLetterCaseIsMadeOrRefusedSayingWhy)
{
    for (bool noted : {false, true}) {
        for (int move : {0, 1}) {
            for (bool folderItem : {false, true}) {
                SCOPED_TRACE(std::string(noted ? "noted, " : "") + (move ? "move" : "copy") +
                             (folderItem ? " of a folder" : " of a file"));
                TransferScene scene;
                const CString upper = scene.Folder(scene.src, L"A");
                ASSERT_TRUE(twinfiles::PutTwinFolder(scene.src.GetString(), L"a"));
                const CString lower = scene.src + L"\\a";
                const CString from = folderItem ? scene.Folder(upper, L"sub") : upper;
                const CString file = scene.File(from, L"u0001.jpg", 300, 3);
                const CString own = scene.File(lower, L"w.jpg", 10, 4);
                if (noted) {
                    scene.SetNote(file, L"Aのメモ");
                    scene.SetNote(own, L"aのメモ");
                }
                auto job = scene.Job(move);
                job->Add(folderItem ? from : file);
                const int done = job->Run(lower);
                const CString into = folderItem ? lower + L"\\sub" : lower;
                if (!noted) {
                    // Nothing of the notes to mix up: it is made.
                    EXPECT_EQ(folderItem ? 2 : 1, done);
                    EXPECT_TRUE(job->messages.empty());
                    EXPECT_TRUE(PatternBytes(300, 3) == ReadBytes(into + L"\\u0001.jpg"));
                    EXPECT_EQ(!move, Exists(file));
                    continue;
                }
                // The notes of the two folders would be taken for one another: it is refused, naming
                // both folders and saying why, and nothing moves.
                EXPECT_EQ(0, done);
                ASSERT_EQ(1u, job->messages.size());
                EXPECT_NE(-1, job->messages[0].Find(from)) << CStringA(job->messages[0]);
                EXPECT_NE(-1, job->messages[0].Find(folderItem ? into : lower));
                EXPECT_NE(-1, job->messages[0].Find(L"大文字と小文字"));
                EXPECT_FALSE(Exists(into + L"\\u0001.jpg"));
                EXPECT_TRUE(PatternBytes(300, 3) == ReadBytes(file));
                EXPECT_EQ(CString(L"Aのメモ"), NoteOnDisk(scene, from, L"u0001.jpg"));
                EXPECT_EQ(CString(L"aのメモ"), NoteOnDisk(scene, lower, L"w.jpg"));
            }
        }
    }
}
