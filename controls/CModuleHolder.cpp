#include "controls/CModuleHolder.h"

#include <shlwapi.h>

CModuleHolder::CModuleHolder(LPCWSTR lpszName, BOOL bFree)
{
    Load(lpszName, bFree);
}

CModuleHolder::~CModuleHolder()
{
    Release();
}

BOOL CModuleHolder::Load(LPCWSTR lpszName, BOOL bFree)
{
    Release();
    if (!lpszName)
        return FALSE;
    if (bFree) {
        m_hModule = ::LoadLibraryW(lpszName);
        m_bFree = m_hModule != nullptr;
    } else {
        m_hModule = ::GetModuleHandleW(lpszName);
        if (!m_hModule)
            m_hModule = ::LoadLibraryW(lpszName);
        m_bFree = FALSE;
    }
    return m_hModule != nullptr;
}

void CModuleHolder::Release()
{
    if (m_hModule && m_bFree)
        ::FreeLibrary(m_hModule);
    m_hModule = nullptr;
    m_bFree = FALSE;
}

FARPROC CModuleHolder::GetProc(LPCSTR lpszEntry) const
{
    return m_hModule ? ::GetProcAddress(m_hModule, lpszEntry) : nullptr;
}

DWORD CModuleHolder::GetVersion() const
{
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProc("DllGetVersion")));
    if (!getVersion)
        return 0;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof(info);
    if (FAILED(getVersion(&info)))
        return 0;
    return (info.dwMajorVersion << 16) | info.dwMinorVersion;
}
