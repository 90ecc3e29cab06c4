#include "fileops/CEditExtName.h"

void CEditExtName::AppendExtension()
{
    CString text;
    GetWindowText(text);
    if (m_extension.IsEmpty() || text.Find(L'.') >= 0)
        return;
    int start = 0, end = 0;
    GetSel(start, end);
    SetWindowText(text + m_extension);
    SetSel(start, end);
    SendMessage(EM_SCROLLCARET);
    m_autoExtension = TRUE;
}

BOOL CEditExtName::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_hWnd) {
        if (pMsg->wParam == VK_DELETE) {
            CString text;
            GetWindowText(text);
            int start = 0, end = 0;
            GetSel(start, end);
            CString rest = text.Mid(start);
            // The caret stands before the extension: all of it after the dot goes, and the key
            // itself then takes the dot.
            if (rest.Left(1) == L"." && rest.Find(L'.', 1) < 0) {
                SetWindowText(text.Left(start + 1));
                SetSel(start, end);
                SendMessage(EM_SCROLLCARET);
                m_autoExtension = FALSE;
            }
        } else if (pMsg->wParam == VK_INSERT) {
            AppendExtension();
        }
    }
    return CEditEx::PreTranslateMessage(pMsg);
}
