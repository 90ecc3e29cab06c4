// A location's thumbnail cache file read on a thread of its own, so that reading a large one
// never holds the window: the folder it fills is handed over once the whole file is read. Given
// up (or destroyed) before that, the thread stops at the next record and the folder goes.
#pragma once

#include "framework/Framework.h"

#include <atomic>
#include <memory>
#include <thread>

class VyxCacheFolder;

class CacheFolderReader
{
public:
    // Takes the folder over and starts reading the file into it.
    CacheFolderReader(VyxCacheFolder* folder, const CString& fileName);
    ~CacheFolderReader();
    CacheFolderReader(const CacheFolderReader&) = delete;
    CacheFolderReader& operator=(const CacheFolderReader&) = delete;

    // Waits up to ms (INFINITE: until the end) for the file to be read; true once it is.
    bool Wait(DWORD ms);
    // As Wait, woken early by the user's input and by messages other threads send.
    bool WaitAnswering(DWORD ms);
    // The folder, read, and the caller's from now on; null before the reading ended.
    VyxCacheFolder* Take();
    // The thread stops at the next record; the folder then holds the records read so far.
    void Stop() { m_stop = true; }

private:
    std::unique_ptr<VyxCacheFolder> m_folder;
    CString m_fileName;
    HANDLE m_done;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    bool m_joined = false;
};
