#include "framework/ModuleState.h"

AFX_MODULE_STATE* AFXAPI AfxGetModuleState()
{
    static AFX_MODULE_STATE s_state;
    return &s_state;
}

CWinApp* AFXAPI AfxGetApp()
{
    return AfxGetModuleState()->m_pCurrentWinApp;
}

LPCWSTR AFXAPI AfxGetAppName()
{
    LPCWSTR name = AfxGetModuleState()->m_lpszCurrentAppName;
    return name ? name : L"";
}

HINSTANCE AFXAPI AfxGetInstanceHandle()
{
    HINSTANCE instance = AfxGetModuleState()->m_hCurrentInstanceHandle;
    return instance ? instance : reinterpret_cast<HINSTANCE>(&__ImageBase);
}

HINSTANCE AFXAPI AfxGetResourceHandle()
{
    HINSTANCE resources = AfxGetModuleState()->m_hCurrentResourceHandle;
    return resources ? resources : AfxGetInstanceHandle();
}

void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource)
{
    AfxGetModuleState()->m_hCurrentResourceHandle = hInstResource;
}

HINSTANCE AFXAPI AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType)
{
    HINSTANCE resources = AfxGetResourceHandle();
    if (FindResourceW(resources, lpszName, lpszType))
        return resources;
    HINSTANCE instance = AfxGetInstanceHandle();
    if (instance != resources && FindResourceW(instance, lpszName, lpszType))
        return instance;
    return resources;
}
