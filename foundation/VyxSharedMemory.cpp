#include "foundation/VyxSharedMemory.h"

VyxSharedMemory::VyxSharedMemory(const wchar_t* name, DWORD size)
{
    if (name)
        Create(name, size);
}

VyxSharedMemory::~VyxSharedMemory()
{
    Release();
}

void VyxSharedMemory::Release()
{
    if (m_view)
        UnmapViewOfFile(m_view);
    if (m_mapping)
        CloseHandle(m_mapping);
    delete m_mutex;
    m_view = nullptr;
    m_mapping = nullptr;
    m_mutex = nullptr;
    m_size = 0;
}

bool VyxSharedMemory::Create(const wchar_t* name, DWORD size)
{
    Release();
    if (!name || size == 0)
        return false;
    CString mappingName;
    mappingName.Format(L"%s_%08X", name, GetCurrentProcessId());
    m_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, mappingName);
    m_view = m_mapping ? MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, size) : nullptr;
    if (m_view) {
        try {
            m_mutex = new CMutex(FALSE, mappingName + L"_Mutex");
        } catch (CException* e) {
            e->Delete();
        }
    }
    if (!m_view || !m_mutex) {
        Release();
        return false;
    }
    m_size = size;
    return true;
}

bool VyxSharedMemory::Lock()
{
    return m_mutex && m_mutex->Lock(INFINITE);
}

void VyxSharedMemory::Unlock()
{
    if (m_mutex)
        m_mutex->Unlock();
}
