// A library loaded by name, freed with the holder when it was asked to be, with its entries and
// its DllGetVersion version.
#pragma once

#include "framework/Framework.h"

class CModuleHolder
{
public:
    CModuleHolder() = default;
    CModuleHolder(LPCWSTR lpszName, BOOL bFree);
    ~CModuleHolder();
    CModuleHolder(const CModuleHolder&) = delete;
    CModuleHolder& operator=(const CModuleHolder&) = delete;

    // An already loaded module is only looked up (and never freed); FALSE when it cannot be had.
    BOOL Load(LPCWSTR lpszName, BOOL bFree);
    void Release();
    HMODULE GetHandle() const { return m_hModule; }
    FARPROC GetProc(LPCSTR lpszEntry) const;
    // Major x 65536 + minor, 0 when the module has no DllGetVersion or it fails.
    DWORD GetVersion() const;

private:
    HMODULE m_hModule = nullptr;
    BOOL m_bFree = FALSE;
};
