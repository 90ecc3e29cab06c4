#include "framework/CWinApp.h"
#include "framework/ModuleState.h"

int AFXAPI AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp)
{
    if (CWinApp* app = AfxGetApp())
        return app->DoMessageBox(lpszText, nType, nIDHelp);
    // No application object (a plug-in module): a plain box over the active window.
    HWND owner = GetActiveWindow();
    return MessageBoxW(owner ? GetLastActivePopup(owner) : nullptr, lpszText ? lpszText : L"", L"", nType);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
