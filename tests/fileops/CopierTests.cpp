// The buffered copier in both forms (the plain loop and the reader thread with two buffers):
// the buffer rule, block boundaries, the progress calls, and that a failed or stopped copy leaves
// no partial file, harms no file already at the target and never touches the source.
#include "CopyTestUtil.h"
#include "common/SetUpParts.h"
#include "fileops/CThreadedCopier.h"
#include "fileops/CopyTarget.h"
#include "fileops/FileCopy.h"
#include "foundation/CurrentDirectoryScope.h"
#include "foundation/VyxFileStatus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <tuple>

namespace {

struct Call
{
    DWORD bytes, low, high;
};

std::vector<Call> g_calls;
DWORD g_stopAt = 0xFFFFFFFE; // the call number whose answer is "stop"

DWORD RecordCall(DWORD context, DWORD bytes, DWORD low, DWORD high)
{
    EXPECT_EQ(77u, context);
    g_calls.push_back({bytes, low, high});
    return g_calls.size() - 1 >= g_stopAt ? 1 : 0;
}

// Both forms behind one call; the threaded one keeps its copier from test to test as the engine
// keeps it from file to file.
class Copier : public testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_stopAt = 0xFFFFFFFE;
        if (GetParam()) {
            ASSERT_TRUE(m_copier.SetUp(8192));
        }
    }
    int Copy(const CString& source, const CString& target, bool withCallback = true)
    {
        CopyProgressCallback callback = withCallback ? RecordCall : nullptr;
        if (GetParam())
            return m_copier.CopyFileThreaded(source, target, callback, 77);
        return CopyFileBuffered(source, target, nullptr, 8192, callback, 77);
    }
    TestFolder m_folder;
    CThreadedCopier m_copier;
};

INSTANTIATE_TEST_SUITE_P(Forms, Copier, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Threaded" : "Plain"; });

TEST(CopyBuffer, SizeFollowsTheRequestBetweenEightKilobytesAndTwoMegabytes)
{
    EXPECT_EQ(8192u, GetCopyBufferSize(0));
    EXPECT_EQ(8192u, GetCopyBufferSize(5000));
    EXPECT_EQ(65536u, GetCopyBufferSize(65536));
    DWORD large = GetCopyBufferSize(100 * 1024 * 1024);
    EXPECT_LE(large, 2097152u);
    EXPECT_GE(large, 8192u);
}

TEST_P(Copier, BlocksAtEveryBoundaryArriveWholeWithTheirProgressCalls)
{
    for (size_t size :
         {size_t(0), size_t(1), size_t(8191), size_t(8192), size_t(8193), size_t(3 * 8192), size_t(100000)}) {
        SCOPED_TRACE(size);
        g_calls.clear();
        CString source = m_folder / L"source.bin", target = m_folder / L"target.bin";
        ASSERT_TRUE(MakeFile(source, size, static_cast<unsigned>(size)));
        ASSERT_EQ(0, Copy(source, target));
        EXPECT_EQ(PatternBytes(size, static_cast<unsigned>(size)), ReadBytes(target));
        ASSERT_GE(g_calls.size(), 2u);
        EXPECT_EQ(0u, g_calls.front().bytes);
        EXPECT_EQ(size, g_calls.front().low);
        EXPECT_EQ(kCopyEndCall, g_calls.back().bytes);
        EXPECT_EQ(0u, g_calls.back().low);
        unsigned long long sum = 0;
        for (size_t i = 1; i + 1 < g_calls.size(); ++i) {
            EXPECT_LE(g_calls[i].bytes, 8192u);
            EXPECT_EQ(size, g_calls[i].low);
            sum += g_calls[i].bytes;
        }
        EXPECT_EQ(size, sum);
        EXPECT_EQ((size + 8191) / 8192, g_calls.size() - 2);
    }
    // Only the two files: no temporary name is left behind.
    EXPECT_EQ((std::vector<CString>{L"source.bin", L"target.bin"}), FolderEntries(m_folder.Path()));
}

TEST_P(Copier, TheCopyTakesTheSourcesTimesAndAttributes)
{
    CString source = m_folder / L"old.txt", target = m_folder / L"copy.txt";
    ASSERT_TRUE(MakeFile(source, 0));
    VyxFileStatus wanted;
    ASSERT_TRUE(wanted.GetStatus(source));
    FILETIME old = {0x12345600, 0x01C00000};
    HANDLE handle = CreateFileW(source, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(handle, &old, &old, &old);
    CloseHandle(handle);
    SetFileAttributesW(source, FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(0, Copy(source, target, false));
    VyxFileStatus from, to;
    ASSERT_TRUE(from.GetStatus(source));
    ASSERT_TRUE(to.GetStatus(target));
    EXPECT_EQ(from.GetWriteTime(), to.GetWriteTime());
    EXPECT_EQ(0u, to.GetSize());
    EXPECT_TRUE(to.GetAttributes() & FILE_ATTRIBUTE_READONLY);
}

TEST_P(Copier, AStopAtTheStartLeavesNoTargetAndTheOldFileThereWhole)
{
    CString source = m_folder / L"big.bin", target = m_folder / L"kept.bin";
    ASSERT_TRUE(MakeFile(source, 5 * 8192, 3));
    ASSERT_TRUE(MakeFile(target, 100, 4));
    g_stopAt = 0;
    EXPECT_EQ(kCopyStopped, Copy(source, target));
    EXPECT_EQ(PatternBytes(100, 4), ReadBytes(target));
    EXPECT_EQ(PatternBytes(5 * 8192, 3), ReadBytes(source));
    // The start call, at most one block, the end call.
    EXPECT_LE(g_calls.size(), 3u);
    EXPECT_EQ(kCopyEndCall, g_calls.back().bytes);
    EXPECT_EQ((std::vector<CString>{L"big.bin", L"kept.bin"}), FolderEntries(m_folder.Path()));
}

TEST_P(Copier, AStopInTheMiddleLeavesNoReadInFlightForTheNextCopy)
{
    CString source = m_folder / L"big.bin", target = m_folder / L"t.bin";
    ASSERT_TRUE(MakeFile(source, 20 * 8192, 5));
    g_stopAt = 3;
    EXPECT_EQ(kCopyStopped, Copy(source, target));
    EXPECT_FALSE(Exists(target));
    g_stopAt = 0xFFFFFFFE;
    CString other = m_folder / L"other.bin";
    ASSERT_TRUE(MakeFile(other, 3 * 8192 + 17, 6));
    ASSERT_EQ(0, Copy(other, target));
    EXPECT_EQ(PatternBytes(3 * 8192 + 17, 6), ReadBytes(target));
}

TEST_P(Copier, AFileOfManyTurnsOfTheBufferRingArrivesWholeInOrder)
{
    // The reader runs ahead of the writer through every buffer of the ring, again and again; the
    // blocks must reach the target in their order, each once.
    const size_t ring = size_t(CThreadedCopier::kBufferCount) * 8192;
    for (size_t size : {ring, ring + 1, 9 * ring - 1, 9 * ring + 4321}) {
        SCOPED_TRACE(size);
        g_calls.clear();
        CString source = m_folder / L"long.bin", target = m_folder / L"long-copy.bin";
        ASSERT_TRUE(MakeFile(source, size, static_cast<unsigned>(size % 251)));
        ASSERT_EQ(0, Copy(source, target));
        EXPECT_EQ(PatternBytes(size, static_cast<unsigned>(size % 251)), ReadBytes(target));
        EXPECT_EQ((size + 8191) / 8192, g_calls.size() - 2);
    }
}

TEST_P(Copier, AFailureAfterTheRingHasFilledLeavesTheNextCopiesWhole)
{
    // The writer gives up while the reader is buffers ahead of it; what the reader had read and
    // was still allowed to read must not reach the next copies.
    const size_t ring = size_t(CThreadedCopier::kBufferCount) * 8192;
    CString source = m_folder / L"first.bin", target = m_folder / L"t.bin";
    ASSERT_TRUE(MakeFile(source, 6 * ring, 21));
    {
        FailingWrites full(3 * ring + 8192, ERROR_DISK_FULL);
        EXPECT_EQ(ERROR_DISK_FULL, Copy(source, target));
    }
    EXPECT_FALSE(Exists(target));
    g_stopAt = 7;
    EXPECT_EQ(kCopyStopped, Copy(source, target));
    EXPECT_FALSE(Exists(target));
    g_stopAt = 0xFFFFFFFE;
    for (unsigned seed : {22u, 23u}) {
        CString other = m_folder / L"other.bin";
        ASSERT_TRUE(MakeFile(other, 2 * ring + seed, seed));
        ASSERT_EQ(0, Copy(other, target));
        EXPECT_EQ(PatternBytes(2 * ring + seed, seed), ReadBytes(target));
    }
}

TEST_P(Copier, TheTargetIsDeletedOnlyWhenThisCallCreatedIt)
{
    // A missing or locked source: the file at the target is not this call's to delete.
    CString target = m_folder / L"existing.jpg";
    ASSERT_TRUE(MakeFile(target, 1000, 8));
    EXPECT_EQ(kCopyFailed, Copy(m_folder / L"missing.jpg", target));
    EXPECT_EQ(PatternBytes(1000, 8), ReadBytes(target));

    CString source = m_folder / L"locked.jpg";
    ASSERT_TRUE(MakeFile(source, 5000, 9));
    {
        LockedFile lock(source);
        ASSERT_TRUE(lock.IsLocked());
        EXPECT_EQ(kCopyFailed, Copy(source, target));
    }
    EXPECT_EQ(PatternBytes(1000, 8), ReadBytes(target));
    EXPECT_EQ(PatternBytes(5000, 9), ReadBytes(source));

    // A copy onto its own source through another spelling (the 8.3 name) must not lose it.
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(source, shortName, MAX_PATH), 0u);
    Copy(source, shortName);
    EXPECT_EQ(PatternBytes(5000, 9), ReadBytes(source));
}

TEST_P(Copier, AFullDiskFailsTheCopyAndKeepsTheOldTarget)
{
    CString source = m_folder / L"photo.jpg", target = m_folder / L"photo-copy.jpg";
    ASSERT_TRUE(MakeFile(source, 50000, 10));
    ASSERT_TRUE(MakeFile(target, 2000, 11));
    for (bool shortWrite : {false, true}) {
        SCOPED_TRACE(shortWrite);
        FailingWrites full(20000, ERROR_DISK_FULL, shortWrite);
        EXPECT_EQ(ERROR_DISK_FULL, Copy(source, target));
        EXPECT_EQ(20000u, full.Written());
    }
    EXPECT_EQ(PatternBytes(2000, 11), ReadBytes(target));
    EXPECT_EQ(PatternBytes(50000, 10), ReadBytes(source));
    EXPECT_EQ((std::vector<CString>{L"photo-copy.jpg", L"photo.jpg"}), FolderEntries(m_folder.Path()));
}

TEST_P(Copier, ARealFullFileSystemFailsTheCopyAndLeavesItsRoomFree)
{
    CString disk = SmallDiskFolder();
    VYX_NEEDS_SETUP_PART(!disk.IsEmpty(), "a small file system");
    TestFolder target;
    CString source = m_folder / L"huge.bin";
    ASSERT_TRUE(MakeFile(source, 3 * 1024 * 1024, 12));
    ULARGE_INTEGER before = {}, after = {};
    GetDiskFreeSpaceExW(disk, &before, nullptr, nullptr);
    int result = Copy(source, disk + L"\\huge.bin");
    EXPECT_NE(0, result);
    EXPECT_NE(kCopyStopped, result);
    GetDiskFreeSpaceExW(disk, &after, nullptr, nullptr);
    EXPECT_EQ(before.QuadPart, after.QuadPart);
    EXPECT_TRUE(FolderEntries(disk).empty());
}

TEST_P(Copier, AReadFailureFailsTheCopyInsteadOfWritingTheFailedCount)
{
    // A pipe whose writer goes away after one block: the next read fails (in the threaded form on
    // the reader thread, a source of unknown size being handed over like a large one).
    CString name;
    name.Format(L"\\\\.\\pipe\\vyx_copier_%lu_%d", GetCurrentProcessId(), GetParam() ? 1 : 0);
    HANDLE pipe = CreateNamedPipeW(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, pipe);
    std::thread writer([pipe] {
        ConnectNamedPipe(pipe, nullptr);
        std::string block = PatternBytes(3000, 13);
        DWORD written = 0;
        WriteFile(pipe, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
        FlushFileBuffers(pipe);
        DisconnectNamedPipe(pipe);
        CloseHandle(pipe);
    });
    CString target = m_folder / L"from-pipe.bin";
    int result = Copy(name, target);
    writer.join();
    // One block arrived, then the read failed.
    ASSERT_EQ(3u, g_calls.size());
    EXPECT_EQ(3000u, g_calls[1].bytes);
    EXPECT_NE(0, result);
    EXPECT_NE(kCopyFailed, result);
    EXPECT_FALSE(Exists(target));
    EXPECT_TRUE(FolderEntries(m_folder.Path()).empty());
}

TEST(CopyWrites, BuffersOfAMegabyteReachTheDiskInWritesOfAtMost64Kilobytes)
{
    // The host's kernel finds room for a file's cache in pieces as large as each write: on a
    // machine whose memory is broken up, megabyte writes cost three times as long.
    TestFolder folder;
    const size_t size = 3 * 1024 * 1024 + 5;
    const CString source = folder / L"film.avi";
    ASSERT_TRUE(MakeFile(source, size, 13));
    DWORD largest = 0;
    size_t total = 0;
    int calls = 0;
    CopyTarget::SetWriteFunction([&](HANDLE file, const void* data, DWORD bytes, DWORD* done) {
        largest = std::max(largest, bytes);
        total += bytes;
        ++calls;
        return ::WriteFile(file, data, bytes, done, nullptr);
    });
    CThreadedCopier copier;
    ASSERT_TRUE(copier.SetUp(1024 * 1024));
    ASSERT_EQ(1024u * 1024u, copier.GetBufferSize());
    for (bool threaded : {true, false}) {
        SCOPED_TRACE(threaded);
        largest = 0;
        total = 0;
        calls = 0;
        const CString target = folder / (threaded ? L"threaded.avi" : L"plain.avi");
        const int result = threaded ? copier.CopyFileThreaded(source, target, nullptr, 0)
                                    : CopyFileBuffered(source, target, nullptr, 1024 * 1024, nullptr, 0);
        EXPECT_EQ(0, result);
        EXPECT_EQ(size, total);
        EXPECT_LE(largest, 64u * 1024u);
        EXPECT_GE(calls, 49);
        EXPECT_EQ(PatternBytes(size, 13), ReadBytes(target));
    }
    CopyTarget::SetWriteFunction(nullptr);
}

TEST(CopyBatch, AFolderThatTakesNoTemporaryFolderFailsItsCopiesAndTheBatchEndTouchesNothingElse)
{
    // A job runs in its destination folder: what the batch removes at its end must be only its own.
    TestFolder folder;
    ASSERT_TRUE(MakeFile(folder / L"写真_1.2.jpg", 100, 3));
    CurrentDirectoryScope current(folder.Path());
    {
        CopyTarget::Batch batch;
        for (int attempt = 0; attempt < 2; ++attempt) {
            CopyTarget target;
            EXPECT_NE(0u, target.Create(folder / L"gone\\a.jpg"));
        }
    }
    EXPECT_EQ(std::vector<CString>{L"写真_1.2.jpg"}, FolderEntries(folder.Path()));
    EXPECT_EQ(PatternBytes(100, 3), ReadBytes(folder / L"写真_1.2.jpg"));
}

TEST(ThreadedCopier, WithoutItsBuffersEveryCopyFailsAtOnce)
{
    TestFolder folder;
    CString source = folder / L"a.bin";
    ASSERT_TRUE(MakeFile(source, 10));
    {
        CThreadedCopier idle; // destroyed without SetUp: nothing to stop
    }
    CThreadedCopier copier;
    EXPECT_EQ(kCopyFailed, copier.CopyFileThreaded(source, (folder / L"b.bin"), nullptr, 0));
    EXPECT_FALSE(Exists(folder / L"b.bin"));
    // The first set-up holds for the copier's life.
    ASSERT_TRUE(copier.SetUp(0));
    ASSERT_TRUE(copier.SetUp(1024 * 1024));
    EXPECT_EQ(8192u, copier.GetBufferSize());
}

TEST(FileOpErrorText, TextsOfTheCopyCodesAndOfTheCodeGivenNotTheLastError)
{
    EXPECT_EQ(CString(L"ファイル操作に失敗"), GetFileOpErrorText(-1));
    EXPECT_EQ(CString(L"自分自身に複写できません"), GetFileOpErrorText(-2));
    EXPECT_EQ(CString(L"ユーザにより中断されました"), GetFileOpErrorText(-3));
    wchar_t system[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_DISK_FULL,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), system, 512, nullptr);
    CString expected = system;
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(expected, GetFileOpErrorText(ERROR_DISK_FULL));
    EXPECT_FALSE(expected.IsEmpty());
}

} // namespace
