// Helpers of the file-operation tests: files with known bytes, the write seam that fails after a
// number of bytes, a source locked by another thread, and the small file system that the test
// script mounts where the machine allows it.
#pragma once

#include "common/ControlTestUtil.h"
#include "common/ScratchFolder.h"

#include "fileops/CopyTarget.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// A scratch folder with its paths as the program's strings.
class TestFolder
{
public:
    explicit TestFolder(const wchar_t* tag = L"copy") : m_folder(tag) {}
    CString Path() const { return m_folder.Path().c_str(); }
    CString operator/(LPCWSTR name) const { return Path() + L"\\" + name; }

private:
    ScratchFolder m_folder;
};

// size bytes that differ from block to block, so a block written twice or left out shows.
std::string PatternBytes(size_t size, unsigned seed = 1);
// Writes the bytes; false when the file cannot be written.
bool MakeFile(const CString& path, size_t size, unsigned seed = 1);
bool WriteBytes(const CString& path, const std::string& bytes);
std::string ReadBytes(const CString& path);
bool Exists(const CString& path);
// The names in a folder (not "." and ".."), sorted.
std::vector<CString> FolderEntries(const CString& folder);

// While it lives, every copy's writes fail once `limit` bytes are written (with the error given),
// or are cut short there (a write that reports fewer bytes than it was given) when `shortWrite`.
class FailingWrites
{
public:
    explicit FailingWrites(unsigned long long limit, DWORD error = ERROR_DISK_FULL, bool shortWrite = false);
    ~FailingWrites();
    unsigned long long Written() const { return m_written; }

private:
    unsigned long long m_limit;
    std::atomic<unsigned long long> m_written{0};
};

// A file held open by another thread until the object goes: without any sharing, or (share read)
// readable by others but not deletable.
class LockedFile
{
public:
    explicit LockedFile(const CString& path, DWORD share = 0);
    ~LockedFile();
    bool IsLocked() const { return m_locked; }

private:
    HANDLE m_release;
    std::thread m_thread;
    bool m_locked = false;
};

// Sets a file's (or folder's) times to that many seconds since 1970.
void SetFileTimes(const CString& path, long long seconds);
// The same file as Wine's Z: drive shows it (the host's path under the root).
CString HostAlias(const CString& path);

// A scratch folder on the second drive letter that the test script maps onto a folder of its own
// ("VYX_SECOND_DRIVE"), removed with what it holds; an empty path when there is no such drive.
class SecondDriveFolder
{
public:
    SecondDriveFolder();
    ~SecondDriveFolder();
    const CString& Path() const { return m_path; }
    CString operator/(LPCWSTR name) const { return m_path + L"\\" + name; }

private:
    CString m_path;
};

// The small fixed-size file system of the test script ("VYX_SMALL_DISK"), in the form Wine
// shows it; empty when the machine gave none (the test then skips that case).
CString SmallDiskFolder();
