// The process-wide thumbnail and note cache: the cache folders in memory, the index that finds
// their files, and the last location known to have no cache file.
#pragma once

#include "catalogue/CVirtualFolder.h"
#include "catalogue/VyxCacheIndex.h"

class VyxCacheFolder;
class VyxFilexDraw;

class VyxCacheList : public CPtrList
{
public:
    VyxCacheList();
    ~VyxCacheList() override;

    // 0 restored; non-zero not.
    int LoadFromCache(VyxFilexDraw* item);
    // The store's result (VyxCacheFolder::StoreFromItem).
    int StoreToCache(VyxFilexDraw* item);
    // Deletes the item's record when its cache folder is in memory.
    void RemoveFromCache(VyxFilexDraw* item);
    // 1 when the last folder reached was written or needed no writing, 0 otherwise.
    int Flush();
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

    VyxCacheIndex m_index;
    CVirtualFolder m_missing;
};

extern VyxCacheList theCacheList;
