#include "controls/VyxMemDC.h"

VyxMemDC::VyxMemDC(CDC* pDC, const RECT* pRect) : m_pDC(pDC), m_bMemDC(!pDC->IsPrinting())
{
    if (pRect)
        m_rect = *pRect;
    else
        pDC->GetClipBox(&m_rect);

    if (m_bMemDC) {
        CreateCompatibleDC(pDC);
        // The bitmap is sized in device units; a mapping that flips an axis gives a reversed rectangle.
        pDC->LPtoDP(&m_rect);
        m_rect.NormalizeRect();
        m_bitmap.CreateCompatibleBitmap(pDC, m_rect.Width(), m_rect.Height());
        m_oldBitmap = SelectObject(&m_bitmap);
        SetMapMode(pDC->GetMapMode());
        SetWindowExt(pDC->GetWindowExt());
        SetViewportExt(pDC->GetViewportExt());
        pDC->DPtoLP(&m_rect);
        SetWindowOrg(m_rect.left, m_rect.top);
    } else {
        m_bPrinting = pDC->m_bPrinting;
        m_hDC = pDC->m_hDC;
        m_hAttribDC = pDC->m_hAttribDC;
    }
    FillSolidRect(&m_rect, ::GetBkColor(pDC->m_hAttribDC));
}

VyxMemDC::~VyxMemDC()
{
    if (m_bMemDC) {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top, SRCCOPY);
        ::SelectObject(m_hDC, m_oldBitmap->GetSafeHandle());
    } else {
        // The target owns these handles.
        m_hDC = nullptr;
        m_hAttribDC = nullptr;
    }
}

BOOL VyxMemDC::PtVisible(int x, int y) const
{
    return ::PtVisible(m_hDC, x, y);
}

BOOL VyxMemDC::RectVisible(LPCRECT lpRect) const
{
    return ::RectVisible(m_hDC, lpRect);
}

BOOL VyxMemDC::TextOut(int x, int y, LPCWSTR lpszString, int nCount)
{
    return ::TextOutW(m_hDC, x, y, lpszString, nCount);
}

BOOL VyxMemDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCWSTR lpszString, UINT nCount,
                          LPINT lpDxWidths)
{
    return ::ExtTextOutW(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
}

CSize VyxMemDC::TabbedTextOut(int x, int y, LPCWSTR lpszString, int nCount, int nTabPositions,
                              LPINT lpnTabStopPositions, int nTabOrigin)
{
    LONG extent = ::TabbedTextOutW(m_hDC, x, y, lpszString, nCount, nTabPositions, lpnTabStopPositions, nTabOrigin);
    return CSize(LOWORD(extent), HIWORD(extent));
}

int VyxMemDC::DrawText(LPCWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
{
    return ::DrawTextW(m_hDC, lpszString, nCount, lpRect, nFormat);
}

int VyxMemDC::DrawTextEx(LPWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat, LPDRAWTEXTPARAMS lpDTParams)
{
    return ::DrawTextExW(m_hDC, lpszString, nCount, lpRect, nFormat, lpDTParams);
}

BOOL VyxMemDC::GrayString(CBrush* pBrush, BOOL(CALLBACK* lpfnOutput)(HDC, LPARAM, int), LPARAM lpData, int nCount,
                          int x, int y, int nWidth, int nHeight)
{
    return ::GrayStringW(m_hDC, static_cast<HBRUSH>(pBrush->GetSafeHandle()), lpfnOutput, lpData, nCount, x, y, nWidth,
                         nHeight);
}

int VyxMemDC::Escape(int nEscape, int nCount, LPCSTR lpszInData, LPVOID lpOutData)
{
    return ::Escape(m_hDC, nEscape, nCount, lpszInData, lpOutData);
}
