#include "controls/CPropPageFrame.h"

namespace TreePropSheet {

void CPropPageFrame::SafeInvalidateRect(const CRect& rect)
{
    CWnd* wnd = GetWnd();
    if (wnd && ::IsWindow(wnd->GetSafeHwnd()))
        wnd->InvalidateRect(&rect, TRUE);
}

void CPropPageFrame::ShowCaption(BOOL bEnable)
{
    m_bShowCaption = bEnable;
    SafeInvalidateRect(CalcCaptionArea());
}

void CPropPageFrame::SetCaptionHeight(int nCaptionHeight)
{
    m_nCaptionHeight = nCaptionHeight;
    SafeInvalidateRect(CalcCaptionArea());
}

void CPropPageFrame::SetCaption(LPCWSTR lpszCaption, HICON hIcon)
{
    m_strCaption = lpszCaption ? lpszCaption : L"";
    m_hCaptionIcon = hIcon;
    SafeInvalidateRect(CalcCaptionArea());
}

CString CPropPageFrame::GetCaption(HICON* pIcon) const
{
    if (pIcon)
        *pIcon = m_hCaptionIcon;
    return m_strCaption;
}

void CPropPageFrame::SetMsgText(LPCWSTR lpszMsg)
{
    m_strMsg = lpszMsg ? lpszMsg : L"";
    SafeInvalidateRect(CalcMsgArea());
}

void CPropPageFrame::SetMsgFormat(DWORD dwFormat)
{
    m_dwMsgFormat = dwFormat;
    SafeInvalidateRect(CalcMsgArea());
}

void CPropPageFrame::Draw(CDC* pDc)
{
    if (m_bShowCaption)
        DrawCaption(pDc, CalcCaptionArea(), m_strCaption, m_hCaptionIcon);
    DrawMsg(pDc, CalcMsgArea(), m_strMsg, m_dwMsgFormat);
}

CRect CPropPageFrame::CalcMsgArea()
{
    CRect rect;
    CWnd* wnd = GetWnd();
    if (wnd && ::IsWindow(wnd->GetSafeHwnd()))
        wnd->GetClientRect(&rect);
    if (m_bShowCaption)
        rect.top += m_nCaptionHeight;
    return rect;
}

void CPropPageFrame::DrawMsg(CDC* pDc, CRect rect, LPCWSTR lpszMsg, DWORD dwFormat)
{
    CGdiObject* oldFont = pDc->SelectStockObject(DEFAULT_GUI_FONT);
    int oldMode = pDc->SetBkMode(TRANSPARENT);
    pDc->DrawText(lpszMsg, -1, &rect, dwFormat);
    pDc->SetBkMode(oldMode);
    if (oldFont)
        pDc->SelectObject(oldFont->GetSafeHandle());
}

CRect CPropPageFrame::CalcCaptionArea()
{
    CRect rect;
    CWnd* wnd = GetWnd();
    if (wnd && ::IsWindow(wnd->GetSafeHwnd()))
        wnd->GetClientRect(&rect);
    rect.bottom = m_bShowCaption ? rect.top + m_nCaptionHeight : rect.top;
    return rect;
}

void CPropPageFrame::DrawCaption(CDC* /*pDc*/, CRect /*rect*/, LPCWSTR /*lpszCaption*/, HICON /*hIcon*/) {}

} // namespace TreePropSheet
