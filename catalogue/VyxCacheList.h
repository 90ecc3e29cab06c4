// The process-wide thumbnail and note cache: the cache folders in memory, the index that finds
// their files, and the last location known to have no cache file.
#pragma once

#include "catalogue/CVirtualFolder.h"
#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxCacheIndex.h"

#include <memory>
#include <vector>

class CacheFileWriter;
class CacheFolderReader;
class VyxFilexDraw;

class VyxCacheList : public CPtrList
{
public:
    // LoadFromCache's answer while the location's cache file is still being read.
    enum { StillReading = 1 };

    VyxCacheList();
    ~VyxCacheList() override;

    // 0 restored; non-zero not. In the background, a location's cache file is read on a thread
    // of its own (only a short while is waited for it), and StillReading tells the caller to ask
    // again later, as it does while the location's file is still being written; otherwise the
    // answer waits for the file.
    int LoadFromCache(VyxFilexDraw* item, bool inBackground = false);
    // A cache file is being read in the background.
    bool IsReading() const { return m_reading != nullptr; }
    // Waits up to ms for that reading to end, answering the user's input meanwhile; true when no
    // file is being read any more. With none being read, waits as long for the files being
    // written (a look-up of their location waits for them).
    bool WaitForReading(DWORD ms);
    // The cache images of these items (a screen of cells, in any order) read in one pass over
    // the file, in its order, before their look-ups restore them one by one from memory. For a
    // location whose cache file is not in memory yet, that is done once it has been read.
    void ReadAhead(const std::vector<VyxFilexDraw*>& items);
    // The store's result (VyxCacheFolder::StoreFromItem).
    int StoreToCache(VyxFilexDraw* item);
    // Deletes the item's record when its cache folder is in memory.
    void RemoveFromCache(VyxFilexDraw* item);
    // 1 when the last folder reached was written or needed no writing, 0 otherwise.
    int Flush();
    // Flush's work left to a writer of its own (not started): every folder that would be written
    // or whose file would be deleted leaves the list for it, and the writers WriteInBackground
    // started go with it (it waits for them). Null when nothing is to be done.
    std::unique_ptr<CacheFileWriter> TakeForWriting();
    // The writers WriteInBackground started, as one writer that waits for them (not started);
    // null when none runs.
    std::unique_ptr<CacheFileWriter> TakeRunningWriters();
    // Flush's work on a thread of its own, started now: the window does not wait for a large
    // folder's file. A location whose file is still being written is waited for when it is
    // looked up again.
    void WriteInBackground();
    // The item's location, while it stays shown, has the records its file lacks written on a
    // thread of their own once there are at least atLeast of them, so that a long pass over a
    // large folder leaves little for the leaving or the close to write; its folder joins the list
    // again once written. Nothing starts while a file is read or written. True when it started.
    bool WriteAheadInBackground(VyxFilexDraw* item, INT_PTR atLeast);
    // Waits for every file WriteInBackground is writing.
    void FinishWriting();
    bool IsWriting() const { return !m_writing.empty(); }
    // True while a writer that has not ended holds the location's file.
    bool IsWritingOf(const CString& folder, const CString& archiveFileName);
    void RemoveAllFolders();

    VyxCacheFolder* FindFolder(const wchar_t* folder, const wchar_t* archiveFileName) const;
    VyxCacheFolder* GetFolderAt(POSITION position) const { return static_cast<VyxCacheFolder*>(GetAt(position)); }
    VyxCacheIndex& GetIndex() { return m_index; }
    void SetCacheFolder(const wchar_t* cacheRoot) { m_index.SetCacheFolder(cacheRoot); }
    const CString& GetCacheFolder() const { return m_index.GetCacheFolder(); }

private:
    VyxCacheList(const VyxCacheList&) = delete;
    VyxCacheList& operator=(const VyxCacheList&) = delete;
    static CString JoinLocation(const CString& folder, const CString& archiveFileName);
    void ForgetMissingLocation();
    // The folder read in the background joins the list (null when there was none or it was
    // not read yet).
    VyxCacheFolder* AdoptRead();
    // Waits for a background reading to end and takes its folder into the list.
    void FinishReading();
    // Every folder that would be written or whose file would be deleted, taken from the list
    // into a writer that finds its file.
    std::unique_ptr<CacheFileWriter> TakeFoldersToWrite();
    // The writers WriteInBackground started become ones the writer waits for first.
    void FollowRunningWriters(CacheFileWriter& writer);
    // Waits for the writing of the location's file, if it is being written.
    void FinishWritingOf(const CString& folder, const CString& archiveFileName);
    // The folders of the writings that ended go to be deleted in the idle time.
    void RetireWritten();
    // A folder read from its file joins the list: the images asked ahead for it are read.
    void Join(VyxCacheFolder* cache);
    // Where the folder is written: false when it has no side file to write (it has no records,
    // or lies under the cache root itself), which is then deleted with its index entry.
    bool GetFileToWrite(const VyxCacheFolder& cache, CString& path);

    VyxCacheIndex m_index;
    CVirtualFolder m_missing;
    std::unique_ptr<CacheFolderReader> m_reading;
    std::vector<std::unique_ptr<CacheFileWriter>> m_writing;
    // The records asked ahead of a location whose cache file was not in memory then.
    CString m_aheadLocation;
    std::vector<VyxCacheFolder::Key> m_aheadKeys;
    // A write ahead failed: none is tried again until the folders are let go.
    bool m_writeAheadFailed = false;
};

extern VyxCacheList theCacheList;
