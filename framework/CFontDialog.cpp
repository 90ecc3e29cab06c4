#include "framework/CFontDialog.h"
#include "framework/CDC.h"

IMPLEMENT_DYNAMIC(CFontDialog, CCommonDialog)

CFontDialog::CFontDialog(LPLOGFONTW lplfInitial, DWORD dwFlags, CDC* pdcPrinter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_cf(), m_lf()
{
    m_cf.lStructSize = sizeof(m_cf);
    m_cf.lpLogFont = &m_lf;
    m_cf.Flags = dwFlags | CF_ENABLEHOOK;
    m_cf.lpfnHook = reinterpret_cast<LPCFHOOKPROC>(&AfxCommDlgProc);
    if (lplfInitial) {
        m_lf = *lplfInitial;
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
    if (pdcPrinter) {
        m_cf.hDC = pdcPrinter->m_hAttribDC;
        m_cf.Flags |= CF_PRINTERFONTS;
    }
}

INT_PTR CFontDialog::DoModal()
{
    m_cf.Flags |= CF_ENABLEHOOK;
    m_cf.lpfnHook = reinterpret_cast<LPCFHOOKPROC>(&AfxCommDlgProc);
    m_cf.lpLogFont = &m_lf;
    m_cf.hwndOwner = PreModal();
    HookCommonDialog();
    BOOL chosen = ::ChooseFontW(&m_cf);
    UnhookCommonDialog();
    PostModal();
    return chosen ? IDOK : IDCANCEL;
}

void CFontDialog::GetCurrentFont(LPLOGFONTW lplf)
{
    if (m_hWnd)
        SendMessage(WM_CHOOSEFONT_GETLOGFONT, 0, reinterpret_cast<LPARAM>(lplf));
    else
        *lplf = m_lf;
}
