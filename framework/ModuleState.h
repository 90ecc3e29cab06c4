// Module-wide state: the application object, the instance and resource handles and the
// message box every framework text goes through.
#pragma once

#include "framework/FrameworkBase.h"

class CWinApp;

struct AFX_MODULE_STATE
{
    CWinApp* m_pCurrentWinApp = nullptr;
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    LPCWSTR m_lpszCurrentAppName = nullptr;
};

AFX_MODULE_STATE* AFXAPI AfxGetModuleState();

CWinApp* AFXAPI AfxGetApp();
LPCWSTR AFXAPI AfxGetAppName();
// Until an application sets them, both handles are the module the framework is linked into.
HINSTANCE AFXAPI AfxGetInstanceHandle();
HINSTANCE AFXAPI AfxGetResourceHandle();
void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource);
// The module holding the resource: the resource handle first, then the instance.
HINSTANCE AFXAPI AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType);

int AFXAPI AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));
