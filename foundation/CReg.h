// Keys of the application's own registry tree, HKEY_CURRENT_USER "Software\<registry key>\<profile
// name>": deleting a sub-tree and walking the sub-keys of a key, with two independent walks.
#pragma once

#include "framework/Framework.h"

class CReg
{
public:
    CReg();
    virtual ~CReg();

    // Deletes application key\name with everything under it; returns true.
    bool DeleteKeyTree(const wchar_t* name);

    // Walk over the sub-keys of application key\path: the first call starts it, each call gives
    // the next name (true) until none is left or the key cannot be opened (false).
    bool EnumFirstSubKey(const wchar_t* path, wchar_t* name, DWORD size);
    bool EnumNextSubKey(wchar_t* name, DWORD size);
    bool EnumFirstSubKey2(const wchar_t* path, wchar_t* name, DWORD size);
    bool EnumNextSubKey2(wchar_t* name, DWORD size);

    const CString& GetCompanyKey() const { return m_companyKey; }
    const CString& GetApplicationKey() const { return m_applicationKey; }

private:
    struct Walk
    {
        CString path;
        DWORD index = 0;
    };
    bool Start(Walk& walk, const wchar_t* path, wchar_t* name, DWORD size);
    bool Next(Walk& walk, wchar_t* name, DWORD size);

    CString m_companyKey;
    CString m_applicationKey;
    Walk m_first;
    Walk m_second;
};
