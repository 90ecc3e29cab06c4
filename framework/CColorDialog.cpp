#include "framework/CColorDialog.h"

IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)

COLORREF* PASCAL CColorDialog::GetSavedCustomColors()
{
    static COLORREF colors[16] = {
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    };
    return colors;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd), m_cc()
{
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = dwFlags | CC_ENABLEHOOK | CC_RGBINIT;
    m_cc.rgbResult = clrInit;
    m_cc.lpfnHook = reinterpret_cast<LPCCHOOKPROC>(&AfxCommDlgProc);
}

INT_PTR CColorDialog::DoModal()
{
    m_cc.Flags |= CC_ENABLEHOOK;
    m_cc.lpfnHook = reinterpret_cast<LPCCHOOKPROC>(&AfxCommDlgProc);
    m_cc.hwndOwner = PreModal();
    HookCommonDialog();
    BOOL chosen = ::ChooseColorW(&m_cc);
    UnhookCommonDialog();
    PostModal();
    return chosen ? IDOK : IDCANCEL;
}

void CColorDialog::SetCurrentColor(COLORREF clr)
{
    static const UINT setRgb = ::RegisterWindowMessageW(SETRGBSTRINGW);
    if (m_hWnd)
        SendMessage(setRgb, 0, static_cast<LPARAM>(clr));
}
