#include "catalogue/CacheFileWriter.h"

#include "catalogue/VyxCacheIndex.h"

#include <utility>

namespace {

std::function<void(const VyxCacheFolder::WriteWatch&)> s_betweenRecords;

} // namespace

CacheFileWriter::CacheFileWriter() : m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    m_watch.betweenRecords = s_betweenRecords;
}

void CacheFileWriter::SetBetweenRecordsForTests(std::function<void(const VyxCacheFolder::WriteWatch&)> hook)
{
    s_betweenRecords = std::move(hook);
}

CacheFileWriter::~CacheFileWriter()
{
    Stop();
    if (m_thread.joinable())
        m_thread.join();
    if (m_done)
        CloseHandle(m_done);
}

void CacheFileWriter::Add(VyxCacheFolder* folder, const CString& fileName)
{
    m_total += static_cast<long>(folder->GetCount());
    m_files.push_back(File{std::unique_ptr<VyxCacheFolder>(folder), fileName, false, CString(),
                           folder->GetFolderPath(), folder->GetArchiveFileName()});
}

void CacheFileWriter::AddFindingFile(VyxCacheFolder* folder, const CString& cacheRoot, bool keep)
{
    m_total += static_cast<long>(folder->GetCount());
    m_files.push_back(File{std::unique_ptr<VyxCacheFolder>(folder), CString(), true, cacheRoot,
                           folder->GetFolderPath(), folder->GetArchiveFileName(), keep});
}

void CacheFileWriter::DropKeeps()
{
    // The thread never reads the flag: it is the owner's alone.
    for (File& file : m_files)
        file.keep = false;
    for (auto& earlier : m_earlier)
        earlier->DropKeeps();
}

void CacheFileWriter::After(std::unique_ptr<CacheFileWriter> earlier)
{
    if (!earlier)
        return;
    m_total += earlier->GetTotal();
    m_earlier.push_back(std::move(earlier));
}

bool CacheFileWriter::Holds(const CString& folder, const CString& archiveFileName) const
{
    for (const File& file : m_files)
        if (file.location.CompareNoCase(folder) == 0 && file.archive.CompareNoCase(archiveFileName) == 0)
            return true;
    for (const auto& earlier : m_earlier)
        if (earlier->Holds(folder, archiveFileName))
            return true;
    return false;
}

bool CacheFileWriter::WaitFor(const CString& folder, const CString& archiveFileName, DWORD ms)
{
    // This writer's own file of the location is the newest: its end follows every earlier one's.
    for (const File& file : m_files)
        if (file.location.CompareNoCase(folder) == 0 && file.archive.CompareNoCase(archiveFileName) == 0)
            // Only its end is waited for: its thread is joined by its owner.
            return !m_done || WaitForSingleObject(m_done, ms) == WAIT_OBJECT_0;
    // Several earlier ones may hold it (left, entered and left again).
    for (auto& earlier : m_earlier)
        if (!earlier->WaitFor(folder, archiveFileName, ms))
            return false;
    return true;
}

std::vector<VyxCacheFolder*> CacheFileWriter::TakeFolders(std::vector<VyxCacheFolder*>* kept)
{
    std::vector<VyxCacheFolder*> folders;
    if (!Wait(0))
        return folders;
    for (File& file : m_files)
        if (file.folder)
            (file.keep && kept ? *kept : folders).push_back(file.folder.release());
    m_files.clear();
    for (auto& earlier : m_earlier) {
        std::vector<VyxCacheFolder*> more = earlier->TakeFolders(kept);
        folders.insert(folders.end(), more.begin(), more.end());
    }
    return folders;
}

bool CacheFileWriter::Write(File& file)
{
    if (file.findFile) {
        VyxCacheIndex index(file.cacheRoot);
        switch (file.folder->FateOfFile(file.cacheRoot)) {
        case VyxCacheFolder::FileLeft:
            return true;
        case VyxCacheFolder::FileDeleted:
            index.DeleteThumbsFile(file.location, file.archive);
            return true;
        case VyxCacheFolder::FileWritten:
            break;
        }
        file.name = index.GetThumbsFileName(file.location, file.archive);
    }
    return file.folder->SaveIfModified(file.name, &m_watch) == 1;
}

void CacheFileWriter::Start()
{
    if (m_thread.joinable())
        return;
    // The folders are the thread's alone until the event is set.
    m_thread = std::thread([this] {
        for (auto& earlier : m_earlier) {
            earlier->Start();
            earlier->Wait(INFINITE);
        }
        for (File& file : m_files) {
            if (m_watch.stop)
                break;
            if (!Write(file))
                ++m_failures;
        }
        SetEvent(m_done);
    });
}

bool CacheFileWriter::Wait(DWORD ms)
{
    if (!m_thread.joinable())
        return true;
    if (m_done && WaitForSingleObject(m_done, ms) != WAIT_OBJECT_0)
        return false;
    m_thread.join();
    return true;
}

void CacheFileWriter::Stop()
{
    m_watch.stop = true;
    for (auto& earlier : m_earlier)
        earlier->Stop();
}

long CacheFileWriter::GetWritten() const
{
    long written = m_watch.written.load(std::memory_order_relaxed);
    for (const auto& earlier : m_earlier)
        written += earlier->GetWritten();
    return written;
}

int CacheFileWriter::GetFailures() const
{
    int failures = m_failures;
    for (const auto& earlier : m_earlier)
        failures += earlier->GetFailures();
    return failures;
}
