#include "foundation/CReg.h"

CReg::CReg()
{
    CWinApp* app = AfxGetApp();
    m_companyKey = L"Software\\";
    if (app && app->m_pszRegistryKey)
        m_companyKey += app->m_pszRegistryKey;
    m_applicationKey = m_companyKey + L"\\";
    if (app && app->m_pszProfileName)
        m_applicationKey += app->m_pszProfileName;
}

CReg::~CReg() {}

bool CReg::DeleteKeyTree(const wchar_t* name)
{
    CWinApp* app = AfxGetApp();
    if (app && name)
        app->DelRegTree(HKEY_CURRENT_USER, m_applicationKey + L"\\" + name);
    return true;
}

bool CReg::Next(Walk& walk, wchar_t* name, DWORD size)
{
    if (!name || size == 0)
        return false;
    HKEY key;
    if (RegOpenKeyW(HKEY_CURRENT_USER, walk.path, &key) != ERROR_SUCCESS)
        return false;
    LONG result = RegEnumKeyW(key, walk.index++, name, size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool CReg::Start(Walk& walk, const wchar_t* path, wchar_t* name, DWORD size)
{
    walk.path = m_applicationKey + L"\\" + (path ? path : L"");
    walk.index = 0;
    return Next(walk, name, size);
}

bool CReg::EnumFirstSubKey(const wchar_t* path, wchar_t* name, DWORD size)
{
    return Start(m_first, path, name, size);
}

bool CReg::EnumNextSubKey(wchar_t* name, DWORD size)
{
    return Next(m_first, name, size);
}

bool CReg::EnumFirstSubKey2(const wchar_t* path, wchar_t* name, DWORD size)
{
    return Start(m_second, path, name, size);
}

bool CReg::EnumNextSubKey2(wchar_t* name, DWORD size)
{
    return Next(m_second, name, size);
}
