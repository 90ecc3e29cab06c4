#include "catalogue/CacheFileWriter.h"

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
    m_files.push_back(File{std::unique_ptr<VyxCacheFolder>(folder), fileName});
}

void CacheFileWriter::Start()
{
    if (m_thread.joinable())
        return;
    // The folders are the thread's alone until the event is set.
    m_thread = std::thread([this] {
        for (File& file : m_files) {
            if (m_watch.stop)
                break;
            if (file.folder->SaveIfModified(file.name, &m_watch) != 1)
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
}

long CacheFileWriter::GetWritten() const
{
    return m_watch.written.load(std::memory_order_relaxed);
}
