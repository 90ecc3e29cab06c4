#include "catalogue/CacheFileStart.h"

#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxCacheIndex.h"

CacheFileStart::CacheFileStart(const CString& folder, const CString& archiveFileName, const CString& cacheRoot)
{
    // The texts are copied for the thread: the caller's may go before it ends.
    m_thread = std::thread([this, folder = CString(folder), archive = CString(archiveFileName),
                            root = CString(cacheRoot)] { Run(folder, archive, root); });
}

CacheFileStart::~CacheFileStart()
{
    Wait();
}

void CacheFileStart::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void CacheFileStart::Run(const CString& folder, const CString& archiveFileName, const CString& cacheRoot)
{
    // Under the cache root itself a location keeps no file.
    if (cacheRoot.IsEmpty() || folder.Left(cacheRoot.GetLength()) != cacheRoot) {
        VyxCacheIndex index(cacheRoot);
        const CString path = index.GetThumbsFileName(folder, archiveFileName);
        if (!path.IsEmpty()) {
            if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
                m_outcome = Found;
            } else if (VyxCacheFolder::WriteHeaderOnly(path) && FileStamp::Read(path, m_stamp, true)) {
                m_path = path;
                m_outcome = Made;
            }
        }
    }
    m_done.store(true, std::memory_order_release);
}
