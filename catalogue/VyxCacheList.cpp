#include "catalogue/VyxCacheList.h"

#include "catalogue/CacheFileWriter.h"
#include "catalogue/CacheFolderReader.h"
#include "catalogue/RetiredItems.h"
#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxFilexDraw.h"
#include "foundation/VyxUtility.h"

#include <algorithm>

VyxCacheList theCacheList;

namespace {

// No location is ever this text: a folder path holds no control characters.
const wchar_t kNoLocation[] = L"\x01";
// How long a lookup waits for a cache file it starts reading in the background: a small file is
// read by then and its thumbnails show at once.
const DWORD kFirstReadWait = 40;

} // namespace

VyxCacheList::VyxCacheList()
{
    ForgetMissingLocation();
}

VyxCacheList::~VyxCacheList()
{
    // The files being written are finished: each is put in place whole or not at all.
    for (auto& writer : m_writing) {
        writer->Wait(INFINITE);
        for (VyxCacheFolder* folder : writer->TakeFolders()) {
            folder->KeepSettings();
            delete folder;
        }
    }
    m_writing.clear();
    // At the end of the process the settings file may be gone already: the folders leave it be.
    if (m_reading) {
        m_reading->Stop();
        m_reading->Wait(INFINITE);
        std::unique_ptr<VyxCacheFolder> read(m_reading->Take());
        if (read)
            read->KeepSettings();
        m_reading.reset();
    }
    for (POSITION position = GetHeadPosition(); position;) {
        VyxCacheFolder* folder = GetFolderAt(position);
        GetNext(position);
        folder->KeepSettings();
        delete folder;
    }
    RemoveAll();
}

void VyxCacheList::ForgetMissingLocation()
{
    m_missing.SetPath(kNoLocation);
}

CString VyxCacheList::JoinLocation(const CString& folder, const CString& archiveFileName)
{
    return archiveFileName.IsEmpty() ? folder : folder + L"/" + archiveFileName;
}

VyxCacheFolder* VyxCacheList::FindFolder(const wchar_t* folder, const wchar_t* archiveFileName) const
{
    for (POSITION position = GetHeadPosition(); position;) {
        VyxCacheFolder* candidate = GetFolderAt(position);
        GetNext(position);
        if (CompareLengthFirstNoCase(candidate->GetFolderPath(), folder) == 0 &&
            CompareLengthFirstNoCase(candidate->GetArchiveFileName(), archiveFileName) == 0)
            return candidate;
    }
    return nullptr;
}

VyxCacheFolder* VyxCacheList::AdoptRead()
{
    VyxCacheFolder* read = m_reading ? m_reading->Take() : nullptr;
    if (!read)
        return nullptr;
    m_reading.reset();
    Join(read);
    return read;
}

void VyxCacheList::Join(VyxCacheFolder* cache)
{
    AddTail(cache);
    if (m_aheadKeys.empty() ||
        m_aheadLocation.CompareNoCase(JoinLocation(cache->GetFolderPath(), cache->GetArchiveFileName())) != 0)
        return;
    cache->ReadAhead(m_aheadKeys);
    m_aheadKeys.clear();
    m_aheadLocation.Empty();
}

void VyxCacheList::FinishReading()
{
    if (m_reading && m_reading->Wait(INFINITE))
        AdoptRead();
}

bool VyxCacheList::WaitForReading(DWORD ms)
{
    if (m_reading) {
        if (m_reading->WaitAnswering(ms))
            AdoptRead();
        return !m_reading;
    }
    // A look-up may wait for a location's file being written: the writers are looked at again
    // after a while, or at once when the user does something.
    RetireWritten();
    if (!m_writing.empty()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_INPUT | QS_SENDMESSAGE);
        RetireWritten();
    }
    return true;
}

void VyxCacheList::ReadAhead(const std::vector<VyxFilexDraw*>& items)
{
    struct Location
    {
        CString folder, archive, joined;
        std::vector<VyxCacheFolder::Key> keys;
    };
    // The items of each location, in the order they come.
    std::vector<Location> locations;
    for (VyxFilexDraw* item : items) {
        if (!item)
            continue;
        CString folder = item->GetResolvedFolder();
        const CString joined = JoinLocation(folder, item->GetArchiveFileName());
        auto at = std::find_if(locations.begin(), locations.end(),
                               [&joined](const Location& known) { return known.joined.CompareNoCase(joined) == 0; });
        if (at == locations.end())
            at = locations.insert(locations.end(), Location{folder, item->GetArchiveFileName(), joined, {}});
        at->keys.push_back({item->GetFileName(), item->GetPath()});
    }
    for (Location& location : locations) {
        if (VyxCacheFolder* cache = FindFolder(location.folder, location.archive)) {
            cache->ReadAhead(location.keys);
            if (m_aheadLocation.CompareNoCase(location.joined) == 0) {
                m_aheadKeys.clear();
                m_aheadLocation.Empty();
            }
        } else if (!m_missing.IsPath(location.joined)) {
            m_aheadLocation = location.joined;
            m_aheadKeys = std::move(location.keys);
        }
    }
}

int VyxCacheList::LoadFromCache(VyxFilexDraw* item, bool inBackground)
{
    if (!item)
        return -1;
    CString folder = item->GetResolvedFolder();
    const CString& archive = item->GetArchiveFileName();
    // The file written when the location was left is read once it is whole; in the background
    // the window does not wait for it (a large folder's takes seconds): the look-up is asked again.
    if (inBackground && IsWritingOf(folder, archive))
        return StillReading;
    FinishWritingOf(folder, archive);
    if (m_reading && m_reading->Wait(inBackground ? 0 : INFINITE))
        AdoptRead();
    if (VyxCacheFolder* cache = FindFolder(folder, archive)) {
        ForgetMissingLocation();
        return cache->RestoreToItem(*item);
    }
    // One file is read at a time: the others wait their turn.
    if (m_reading)
        return StillReading;
    CString location = JoinLocation(folder, archive);
    if (m_missing.IsPath(location))
        return -1;
    CString path;
    if (!m_index.FindThumbsFile(path, folder, archive, true)) {
        m_missing.SetPath(location);
        return -1;
    }
    VyxCacheFolder* cache = new VyxCacheFolder(folder, archive);
    if (inBackground) {
        m_reading.reset(new CacheFolderReader(cache, path));
        if (!m_reading->Wait(kFirstReadWait))
            return StillReading;
        cache = AdoptRead();
    } else {
        cache->Load(path);
        Join(cache);
    }
    return cache->RestoreToItem(*item);
}

int VyxCacheList::StoreToCache(VyxFilexDraw* item)
{
    if (!item)
        return 0;
    FinishReading();
    CString folder = item->GetResolvedFolder();
    const CString& archive = item->GetArchiveFileName();
    FinishWritingOf(folder, archive);
    // The location has a cache from now on: once written, its file must be looked for again.
    const bool hadNone = m_missing.IsPath(JoinLocation(folder, archive));
    if (hadNone)
        ForgetMissingLocation();
    VyxCacheFolder* cache = FindFolder(folder, archive);
    if (!cache) {
        cache = new VyxCacheFolder(folder, archive);
        // The file may hold the thumbnails of items not drawn yet: they stay in it. A location
        // just found without one is not looked at again here (a large folder is read whole for a
        // missing name): a file another instance wrote since is taken in when this one is written.
        CString path;
        if (hadNone)
            cache->SetFileUnread(true);
        else if (m_index.FindThumbsFile(path, folder, archive))
            cache->Load(path);
        AddTail(cache);
    }
    return cache->StoreFromItem(*item);
}

void VyxCacheList::RemoveFromCache(VyxFilexDraw* item)
{
    if (!item)
        return;
    FinishReading();
    CString folder = item->GetResolvedFolder();
    // A folder written ahead is back in the list once its writer is done.
    FinishWritingOf(folder, item->GetArchiveFileName());
    if (VyxCacheFolder* cache = FindFolder(folder, item->GetArchiveFileName()))
        cache->RemoveItem(*item);
}

bool VyxCacheList::GetFileToWrite(const VyxCacheFolder& cache, CString& path)
{
    const CString& folder = cache.GetFolderPath();
    switch (cache.FateOfFile(m_index.GetCacheFolder())) {
    case VyxCacheFolder::FileLeft:
        return false;
    case VyxCacheFolder::FileDeleted:
        m_index.DeleteThumbsFile(folder, cache.GetArchiveFileName());
        return false;
    case VyxCacheFolder::FileWritten:
        break;
    }
    path = m_index.GetThumbsFileName(folder, cache.GetArchiveFileName());
    return true;
}

int VyxCacheList::Flush()
{
    FinishReading();
    FinishWriting();
    int result = 0;
    for (POSITION position = GetHeadPosition(); position;) {
        VyxCacheFolder* cache = GetFolderAt(position);
        GetNext(position);
        CString path;
        if (GetFileToWrite(*cache, path))
            result = cache->SaveIfModified(path);
    }
    return result;
}

std::unique_ptr<CacheFileWriter> VyxCacheList::TakeFoldersToWrite()
{
    FinishReading();
    std::unique_ptr<CacheFileWriter> writer(new CacheFileWriter);
    for (POSITION position = GetHeadPosition(); position;) {
        const POSITION at = position;
        VyxCacheFolder* cache = GetFolderAt(position);
        GetNext(position);
        // Where its file lies is found by the writer: the look may read a large folder whole.
        if (cache->GetCount() == 0 || cache->IsModified()) {
            writer->AddFindingFile(cache, GetCacheFolder());
            RemoveAt(at);
        }
    }
    return writer;
}

std::unique_ptr<CacheFileWriter> VyxCacheList::TakeForWriting()
{
    std::unique_ptr<CacheFileWriter> writer = TakeFoldersToWrite();
    FollowRunningWriters(*writer);
    if (writer->IsEmpty())
        writer.reset();
    return writer;
}

std::unique_ptr<CacheFileWriter> VyxCacheList::TakeRunningWriters()
{
    std::unique_ptr<CacheFileWriter> writer(new CacheFileWriter);
    FollowRunningWriters(*writer);
    if (writer->IsEmpty())
        writer.reset();
    return writer;
}

void VyxCacheList::FollowRunningWriters(CacheFileWriter& writer)
{
    // A folder written ahead goes with the later writer's: its records are all on disk by then.
    for (auto& earlier : m_writing) {
        earlier->DropKeeps();
        writer.After(std::move(earlier));
    }
    m_writing.clear();
}

void VyxCacheList::WriteInBackground()
{
    RetireWritten();
    std::unique_ptr<CacheFileWriter> writer = TakeFoldersToWrite();
    if (writer->IsEmpty())
        return;
    // One writer at a time: two would take the same free number of the cache root's index, and
    // each thread of a 32-bit process costs its stack.
    FollowRunningWriters(*writer);
    writer->Start();
    m_writing.push_back(std::move(writer));
}

bool VyxCacheList::WriteAheadInBackground(VyxFilexDraw* item, INT_PTR atLeast)
{
    if (!item || m_reading || m_writeAheadFailed)
        return false;
    RetireWritten();
    if (!m_writing.empty())
        return false;
    VyxCacheFolder* cache = FindFolder(item->GetResolvedFolder(), item->GetArchiveFileName());
    if (!cache || cache->GetUnwrittenCount() < std::max<INT_PTR>(atLeast, 1))
        return false;
    RemoveAt(Find(cache));
    std::unique_ptr<CacheFileWriter> writer(new CacheFileWriter);
    writer->AddFindingFile(cache, GetCacheFolder(), true);
    writer->Start();
    m_writing.push_back(std::move(writer));
    return true;
}

void VyxCacheList::FinishWriting()
{
    for (auto& writer : m_writing)
        writer->Wait(INFINITE);
    RetireWritten();
}

bool VyxCacheList::IsWritingOf(const CString& folder, const CString& archiveFileName)
{
    RetireWritten();
    // A writer that waits behind the location's own may still run once that one is done.
    for (auto& writer : m_writing)
        if (!writer->WaitFor(folder, archiveFileName, 0))
            return true;
    return false;
}

void VyxCacheList::FinishWritingOf(const CString& folder, const CString& archiveFileName)
{
    if (m_writing.empty())
        return;
    // The writers left later, which the location's waits behind, are not waited for.
    for (auto& writer : m_writing)
        writer->WaitFor(folder, archiveFileName, INFINITE);
    RetireWritten();
}

void VyxCacheList::RetireWritten()
{
    for (auto at = m_writing.begin(); at != m_writing.end();) {
        if (!(*at)->Wait(0)) {
            ++at;
            continue;
        }
        m_writeAheadFailed = m_writeAheadFailed || (*at)->GetFailures() > 0;
        std::vector<VyxCacheFolder*> kept;
        for (VyxCacheFolder* folder : (*at)->TakeFolders(&kept))
            RetiredItems::TakeCacheFolder(folder);
        // Written ahead: the location is still shown, and its records are looked up here again.
        for (VyxCacheFolder* folder : kept) {
            if (FindFolder(folder->GetFolderPath(), folder->GetArchiveFileName()))
                RetiredItems::TakeCacheFolder(folder);
            else
                Join(folder);
        }
        at = m_writing.erase(at);
    }
}

void VyxCacheList::RemoveAllFolders()
{
    // The location written ahead is no longer shown: its folder goes once written.
    for (auto& writer : m_writing)
        writer->DropKeeps();
    m_writeAheadFailed = false;
    RetireWritten();
    m_aheadKeys.clear();
    m_aheadLocation.Empty();
    // A file still being read is left unread: nothing of it was used.
    if (m_reading) {
        m_reading->Stop();
        m_reading.reset();
    }
    // Deleted in the idle time: a folder's cache of many records takes as long as its items.
    for (POSITION position = GetHeadPosition(); position;) {
        VyxCacheFolder* cache = GetFolderAt(position);
        GetNext(position);
        RetiredItems::TakeCacheFolder(cache);
    }
    RemoveAll();
}
