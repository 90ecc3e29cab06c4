// The file-operation engine when a job is cut short: no cut file under a real name, and the
// temporaries a crashed job left, which the next one removes.
#include "TransferTestUtil.h"
#include "catalogue/VyxNoteFile.h"
#include "fileops/FileCopy.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Policy = VyxFileTransfer;

bool IsTemporaryName(const CString& name)
{
    if (name.GetLength() != 21 || name[0] != L'$' || name.Right(4).CompareNoCase(L".tmp") != 0)
        return false;
    for (int i = 1; i < 17; ++i)
        if (!iswxdigit(name[i]))
            return false;
    return true;
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

} // namespace
