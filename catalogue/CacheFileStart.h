// A location's first thumbnail cache file, made on a thread of its own as soon as the location has
// a new record: a file holding the header alone, put in place whole. The records made afterwards
// are added to its end as they are made, so that leaving the location or closing the program has
// only the last few left to add. Finding the file's name and making it may read a large folder
// whole under this platform (each look for a name the folder does not hold does), which the window
// never waits for.
#pragma once

#include "foundation/FileStamp.h"

#include <atomic>
#include <thread>

class CacheFileStart
{
public:
    // Started at once, for the location (folder path, archive file name) under this cache root.
    CacheFileStart(const CString& folder, const CString& archiveFileName, const CString& cacheRoot);
    // Waits for the thread.
    ~CacheFileStart();
    CacheFileStart(const CacheFileStart&) = delete;
    CacheFileStart& operator=(const CacheFileStart&) = delete;

    bool IsDone() const { return m_done.load(std::memory_order_acquire); }
    void Wait();
    // Once done: Made, the file was made (its path and stamp); Found, a file stood there already
    // (another writer's, whose records the location's writer is to take in); Failed, nothing made.
    enum Outcome { Failed, Made, Found };
    Outcome GetOutcome() const { return m_outcome; }
    const CString& GetPath() const { return m_path; }
    const FileStamp& GetStamp() const { return m_stamp; }

private:
    void Run(const CString& folder, const CString& archiveFileName, const CString& cacheRoot);

    // Written by the thread only, read once it is done.
    Outcome m_outcome = Failed;
    CString m_path;
    FileStamp m_stamp;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};
