#include "catalogue/CacheFolderReader.h"

#include "catalogue/VyxCacheFolder.h"

CacheFolderReader::CacheFolderReader(VyxCacheFolder* folder, const CString& fileName)
    : m_folder(folder), m_fileName(fileName), m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    // The folder is the thread's alone until the event is set.
    VyxCacheFolder* reading = m_folder.get();
    m_thread = std::thread([this, reading] {
        reading->Load(m_fileName, &m_stop);
        reading->PrepareLookups();
        SetEvent(m_done);
    });
}

CacheFolderReader::~CacheFolderReader()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_done)
        CloseHandle(m_done);
}

bool CacheFolderReader::Wait(DWORD ms)
{
    if (m_joined)
        return true;
    if (m_done && WaitForSingleObject(m_done, ms) != WAIT_OBJECT_0)
        return false;
    m_thread.join();
    m_joined = true;
    return true;
}

bool CacheFolderReader::WaitAnswering(DWORD ms)
{
    if (m_joined || !m_done)
        return Wait(0);
    // Posted messages may lie unread while idle steps run: they would end every wait at once.
    MsgWaitForMultipleObjects(1, &m_done, FALSE, ms, QS_INPUT | QS_SENDMESSAGE);
    return Wait(0);
}

VyxCacheFolder* CacheFolderReader::Take()
{
    return Wait(0) ? m_folder.release() : nullptr;
}
