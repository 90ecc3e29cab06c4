#include "controls/CResizableGrip.h"

CResizableGrip::CSizeGrip::CSizeGrip() : m_size(::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL)) {}

CResizableGrip::CSizeGrip::~CSizeGrip()
{
    DeleteTransparencyBitmaps();
}

BOOL CResizableGrip::CSizeGrip::PreCreateWindow(CREATESTRUCT& cs)
{
    m_size = CSize(::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL));
    cs.cx = m_size.cx;
    cs.cy = m_size.cy;
    return CScrollBar::PreCreateWindow(cs);
}

BOOL CResizableGrip::CSizeGrip::IsRTL() const
{
    return (GetExStyle() & WS_EX_LAYOUTRTL) != 0;
}

void CResizableGrip::CSizeGrip::ApplyTriangle()
{
    if (!m_hWnd)
        return;
    if (!m_bTriangular) {
        SetWindowRgn(m_hWnd, nullptr, IsWindowVisible());
        return;
    }
    POINT points[3] = {{0, m_size.cy}, {m_size.cx, m_size.cy}, {m_size.cx, 0}};
    HRGN region = ::CreatePolygonRgn(points, 3, WINDING);
    // The window owns the region from here on.
    if (region && !::SetWindowRgn(m_hWnd, region, IsWindowVisible()))
        ::DeleteObject(region);
}

void CResizableGrip::CSizeGrip::SetTriangularShape(BOOL bEnable)
{
    m_bTriangular = bEnable;
    ApplyTriangle();
}

void CResizableGrip::CSizeGrip::CreateTransparencyBitmaps()
{
    DeleteTransparencyBitmaps();
    CClientDC screen(nullptr);
    m_dcGrip.CreateCompatibleDC(&screen);
    m_bmGrip.CreateCompatibleBitmap(&screen, m_size.cx, m_size.cy);
    m_dcMask.CreateCompatibleDC(&screen);
    m_bmMask.CreateBitmap(m_size.cx, m_size.cy, 1, 1, nullptr);
}

void CResizableGrip::CSizeGrip::DeleteTransparencyBitmaps()
{
    m_dcGrip.DeleteDC();
    m_dcMask.DeleteDC();
    m_bmGrip.DeleteObject();
    m_bmMask.DeleteObject();
}

void CResizableGrip::CSizeGrip::SetTransparency(BOOL bActivate)
{
    if (bActivate)
        CreateTransparencyBitmaps();
    else
        DeleteTransparencyBitmaps();
    m_bTransparent = bActivate;
}

void CResizableGrip::CSizeGrip::PaintTransparent()
{
    CPaintDC dc(this);
    int cx = m_size.cx, cy = m_size.cy;
    HGDIOBJ oldGrip = ::SelectObject(m_dcGrip.m_hDC, m_bmGrip.GetSafeHandle());
    HGDIOBJ oldMask = ::SelectObject(m_dcMask.m_hDC, m_bmMask.GetSafeHandle());
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(m_dcGrip.m_hDC), 0);
    // Pixels of the corner colour stay unpainted: the mask is white there, the grip black.
    m_dcGrip.SetBkColor(m_dcGrip.GetPixel(0, 0));
    m_dcMask.BitBlt(0, 0, cx, cy, &m_dcGrip, 0, 0, SRCCOPY);
    m_dcGrip.BitBlt(0, 0, cx, cy, &m_dcMask, 0, 0, 0x00220326);
    dc.BitBlt(0, 0, cx, cy, &m_dcMask, 0, 0, SRCAND);
    dc.BitBlt(0, 0, cx, cy, &m_dcGrip, 0, 0, SRCPAINT);
    ::SelectObject(m_dcGrip.m_hDC, oldGrip);
    ::SelectObject(m_dcMask.m_hDC, oldMask);
}

LRESULT CResizableGrip::CSizeGrip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_NCHITTEST:
        return IsRTL() ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
    case WM_NCLBUTTONDOWN:
        // The sizing hit code belongs to the window the grip sits on: that one is sized.
        if (wParam == HTBOTTOMLEFT || wParam == HTBOTTOMRIGHT) {
            if (HWND parent = ::GetParent(m_hWnd))
                return ::SendMessageW(parent, message, wParam, lParam);
        }
        break;
    case WM_DESTROY:
        SetTransparency(FALSE);
        break;
    case WM_PAINT:
        if (m_bTransparent && m_dcGrip.m_hDC) {
            PaintTransparent();
            return 0;
        }
        break;
    case WM_SETTINGCHANGE: {
        LRESULT result = CScrollBar::WindowProc(message, wParam, lParam);
        CSize old = m_size;
        m_size = CSize(::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL));
        if (m_bTransparent)
            CreateTransparencyBitmaps();
        ApplyTriangle();
        // The bottom-right corner stays put.
        CRect rect;
        GetWindowRect(&rect);
        ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&rect), 2);
        SetWindowPos(nullptr, rect.left + old.cx - m_size.cx, rect.top + old.cy - m_size.cy, m_size.cx, m_size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return result;
    }
    }
    return CScrollBar::WindowProc(message, wParam, lParam);
}

BOOL CResizableGrip::CreateGrip(BOOL bVisible, BOOL bTriangular, BOOL bTransparent)
{
    CSize size(::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL));
    CRect rect(0, 0, size.cx, size.cy);
    BOOL created = m_wndGrip.Create(WS_CHILD | WS_CLIPSIBLINGS | SBS_SIZEGRIP, rect, GetLayoutWnd(), 0);
    if (created) {
        m_wndGrip.SetTriangularShape(bTriangular);
        m_wndGrip.SetTransparency(bTransparent);
        SetGripVisible(bVisible);
        UpdateGripPos();
    }
    return created;
}

void CResizableGrip::ShowGrip(DWORD* pStatus, DWORD dwMask)
{
    if ((*pStatus & dwMask) == 0) {
        ++m_nShowCount;
        *pStatus |= dwMask;
    }
}

void CResizableGrip::HideGrip(DWORD* pStatus, DWORD dwMask)
{
    if ((*pStatus & dwMask) != 0) {
        --m_nShowCount;
        *pStatus &= ~dwMask;
    }
}

void CResizableGrip::UpdateGripPos()
{
    if (!m_wndGrip.m_hWnd)
        return;
    CRect client;
    GetLayoutWnd()->GetClientRect(&client);
    UINT flags = SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | (IsGripVisible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    m_wndGrip.SetWindowPos(&CWnd::wndBottom, client.right - m_wndGrip.m_size.cx, client.bottom - m_wndGrip.m_size.cy, 0,
                           0, flags);
}

BOOL CResizableGrip::SetGripBkMode(int nBkMode)
{
    if (!::IsWindow(m_wndGrip.m_hWnd))
        return FALSE;
    if (nBkMode == TRANSPARENT)
        m_wndGrip.SetTransparency(TRUE);
    else if (nBkMode == OPAQUE)
        m_wndGrip.SetTransparency(FALSE);
    else
        return FALSE;
    return TRUE;
}

void CResizableGrip::SetGripShape(BOOL bTriangular)
{
    m_wndGrip.SetTriangularShape(bTriangular);
}
