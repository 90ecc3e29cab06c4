#include "framework/CString.h"
#include "framework/ModuleState.h"

int AFXAPI AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp)
{
    (void)nIDHelp;
    // Without an icon of its own a prompt gets the one that fits its buttons.
    if ((nType & MB_ICONMASK) == 0) {
        UINT buttons = nType & MB_TYPEMASK;
        if (buttons == MB_OK || buttons == MB_OKCANCEL)
            nType |= MB_ICONEXCLAMATION;
        else if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
            nType |= MB_ICONQUESTION;
    }
    HWND owner = GetActiveWindow();
    if (owner)
        owner = GetLastActivePopup(owner);
    return MessageBoxW(owner, lpszText ? lpszText : L"", AfxGetAppName(), nType);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
