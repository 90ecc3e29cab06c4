#include "TestApp.h"

CTestApp theTestApp;

BOOL CTestApp::InitInstance()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString profile;
    profile.Format(L"%svyx_tests_%lu.ini", temp, GetCurrentProcessId());
    DeleteFileW(profile);
    free(const_cast<LPWSTR>(m_pszProfileName));
    m_pszProfileName = _wcsdup(profile);
    return TRUE;
}

int CTestApp::ExitInstance()
{
    if (m_pszProfileName)
        DeleteFileW(m_pszProfileName);
    return CWinApp::ExitInstance();
}
