// The thumbnail cache files of the folders handed over, written one after another on a thread of
// their own, so that the window goes on answering while a large one is written (the program's
// close). Each file is written beside the old one and put in its place whole; stopped, the file
// being written is given up and the old one stays as it was, and the rest are left unwritten.
#pragma once

#include "catalogue/VyxCacheFolder.h"

#include <functional>
#include <memory>
#include <thread>
#include <vector>

class CacheFileWriter
{
public:
    CacheFileWriter();
    // Stops the writing and waits for it; the folders go (their settings written back).
    ~CacheFileWriter();
    CacheFileWriter(const CacheFileWriter&) = delete;
    CacheFileWriter& operator=(const CacheFileWriter&) = delete;

    // Takes the folder over, to be written to the file once started.
    void Add(VyxCacheFolder* folder, const CString& fileName);
    bool IsEmpty() const { return m_files.empty(); }
    void Start();
    // Waits up to ms for every file to be written; true once they are (or the writing stopped).
    bool Wait(DWORD ms);
    void Stop();
    // The records written so far, and those of every file.
    long GetWritten() const;
    long GetTotal() const { return m_total; }
    // The files that could not be written (their old files stay).
    int GetFailures() const { return m_failures; }
    // A test's seam: every writer made from now on calls it between two records (null: none).
    static void SetBetweenRecordsForTests(std::function<void(const VyxCacheFolder::WriteWatch&)> hook);

private:
    struct File
    {
        std::unique_ptr<VyxCacheFolder> folder;
        CString name;
    };

    std::vector<File> m_files;
    long m_total = 0;
    // Read by the waiting thread only once the writing thread has ended.
    int m_failures = 0;
    VyxCacheFolder::WriteWatch m_watch;
    HANDLE m_done;
    std::thread m_thread;
};
