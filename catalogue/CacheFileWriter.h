// The thumbnail cache files of the folders handed over, written one after another on a thread of
// their own, so that the window goes on answering while a large one is written (a location left,
// the program's close). Where a file lies may be found there too: under this platform each look
// for a name a large folder does not hold reads the whole folder. Each file is written beside the old one and put in its place whole; stopped, the file
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
    // Takes the folder over; its file is found (and its index entry made) through an index on
    // this cache root once started. A folder without records has its file and entry deleted.
    // keep: the folder is handed back once written (TakeFolders), for its location is still shown.
    void AddFindingFile(VyxCacheFolder* folder, const CString& cacheRoot, bool keep = false);
    // No folder of this writer, or of one it waits for, is handed back any more.
    void DropKeeps();
    // Writers started earlier: this one's thread waits for them first, and they end with it.
    void After(std::unique_ptr<CacheFileWriter> earlier);
    // True when a folder of the location (folder path, archive file name) is this writer's.
    bool Holds(const CString& folder, const CString& archiveFileName) const;
    // Waits up to ms for the writer, this one or one it waits for, that holds the location to
    // have written its files (the later writers are not waited for); true once it has, or when
    // none holds it.
    bool WaitFor(const CString& folder, const CString& archiveFileName, DWORD ms);
    // Once the writing has ended: the folders, the caller's to delete; those added to be kept go
    // to kept instead, when it is given.
    std::vector<VyxCacheFolder*> TakeFolders(std::vector<VyxCacheFolder*>* kept = nullptr);
    bool IsEmpty() const { return m_files.empty() && m_earlier.empty(); }
    void Start();
    // Waits up to ms for every file to be written; true once they are (or the writing stopped).
    bool Wait(DWORD ms);
    void Stop();
    // The records written so far, and those of every file.
    long GetWritten() const;
    long GetTotal() const { return m_total; }
    // The files that could not be written (their old files stay).
    int GetFailures() const;
    // A test's seam: every writer made from now on calls it between two records (null: none).
    static void SetBetweenRecordsForTests(std::function<void(const VyxCacheFolder::WriteWatch&)> hook);

private:
    struct File
    {
        std::unique_ptr<VyxCacheFolder> folder;
        CString name;
        // Set: the name is found on the writing thread, through an index on this root.
        bool findFile = false;
        CString cacheRoot;
        CString location, archive;
        bool keep = false;
    };
    bool Write(File& file);

    std::vector<File> m_files;
    std::vector<std::unique_ptr<CacheFileWriter>> m_earlier;
    long m_total = 0;
    // Read by the waiting thread only once the writing thread has ended.
    int m_failures = 0;
    VyxCacheFolder::WriteWatch m_watch;
    HANDLE m_done;
    std::thread m_thread;
};
