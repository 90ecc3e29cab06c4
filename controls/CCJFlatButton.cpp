#include "controls/CCJFlatButton.h"

namespace {

const UINT_PTR kHoverTimer = 1;

} // namespace

BOOL CCJFlatButton::m_bRaised = FALSE;

BEGIN_MESSAGE_MAP(CCJFlatButton, CButton)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_TIMER()
ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CCJFlatButton::CCJFlatButton()
{
    ReadColours();
}

void CCJFlatButton::ReadColours()
{
    m_clrBtnHilite = ::GetSysColor(COLOR_BTNHILIGHT);
    m_clrBtnShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_clrBtnDkShadow = ::GetSysColor(COLOR_3DDKSHADOW);
    m_clrBtnFace = ::GetSysColor(COLOR_BTNFACE);
    m_clrGrayText = ::GetSysColor(COLOR_GRAYTEXT);
    m_clrBtnText = ::GetSysColor(COLOR_BTNTEXT);
}

void CCJFlatButton::SetButtonIcon(HICON hIcon, int cx, int cy)
{
    m_cxIcon = cx;
    m_cyIcon = cy;
    SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hIcon));
}

void CCJFlatButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    // Drawn on the button's own window DC, as the hover step draws.
    CDC* dc = GetDC();
    if (!dc)
        return;
    m_nState = lpDIS->itemState;
    m_rcItem = lpDIS->rcItem;
    CRect rect = m_rcItem;
    dc->FillSolidRect(&rect, m_clrBtnFace);
    const BOOL pressed = (m_nState & ODS_SELECTED) != 0;
    if (m_bFlatLook) {
        if (pressed)
            dc->Draw3dRect(&rect, m_clrBtnShadow, m_clrBtnHilite);
        else
            dc->Draw3dRect(&rect, m_clrBtnFace, m_clrBtnFace);
    } else {
        CRect inner = rect;
        inner.DeflateRect(1, 1);
        if (pressed) {
            dc->Draw3dRect(&rect, m_clrBtnDkShadow, m_clrBtnHilite);
            dc->Draw3dRect(&inner, m_clrBtnShadow, m_clrBtnFace);
        } else {
            dc->Draw3dRect(&rect, m_clrBtnHilite, m_clrBtnDkShadow);
            dc->Draw3dRect(&inner, m_clrBtnFace, m_clrBtnShadow);
        }
    }
    dc->SetBkMode(TRANSPARENT);
    PaintContent(dc);
    ReleaseDC(dc);
}

void CCJFlatButton::PaintContent(CDC* pDC)
{
    HICON icon = reinterpret_cast<HICON>(SendMessage(BM_GETIMAGE, IMAGE_ICON));
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP));
    CRect client;
    GetClientRect(&client);
    if (icon) {
        CRect rect(CPoint((client.Width() - m_cxIcon) / 2, (client.Height() - m_cyIcon) / 2),
                   CSize(m_cxIcon, m_cyIcon));
        if (m_nState & ODS_SELECTED)
            rect.OffsetRect(1, 1);
        m_rcItem = rect;
        ::DrawIconEx(pDC->GetSafeHdc(), rect.left, rect.top, icon, m_cxIcon, m_cyIcon, 0, nullptr, DI_NORMAL);
        return;
    }
    if (bitmap)
        return;
    pDC->SetTextColor((m_nState & ODS_DISABLED) ? m_clrGrayText : m_clrBtnText);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    CFont font;
    font.CreateFontIndirect(&metrics.lfMessageFont);
    CFont* old = pDC->SelectObject(&font);
    CString text;
    GetWindowText(text);
    pDC->DrawText(text, &m_rcItem, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SelectObject(old);
}

void CCJFlatButton::OnMouseMove(UINT nFlags, CPoint point)
{
    SetTimer(kHoverTimer, 10, nullptr);
    CButton::OnMouseMove(nFlags, point);
}

void CCJFlatButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_bLBtnDown = TRUE;
    CButton::OnLButtonDown(nFlags, point);
}

void CCJFlatButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_bLBtnDown = FALSE;
    CButton::OnLButtonUp(nFlags, point);
}

void CCJFlatButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHoverTimer) {
        CButton::OnTimer(nIDEvent);
        return;
    }
    CPoint cursor;
    ::GetCursorPos(&cursor);
    CRect window;
    GetWindowRect(&window);
    if (!m_bLBtnDown && window.PtInRect(cursor)) {
        if (m_bFlatLook && !m_bRaised) {
            CClientDC dc(this);
            CRect client;
            GetClientRect(&client);
            dc.FillSolidRect(&client, m_clrBtnFace);
            dc.SetBkMode(TRANSPARENT);
            PaintContent(&dc);
            dc.Draw3dRect(&client, m_clrBtnHilite, m_clrBtnShadow);
            m_bRaised = TRUE;
        }
        CButton::OnTimer(nIDEvent);
        return;
    }
    KillTimer(kHoverTimer);
    if (m_bRaised)
        Invalidate();
    m_bRaised = FALSE;
}

void CCJFlatButton::OnSysColorChange()
{
    CButton::OnSysColorChange();
    ReadColours();
}
