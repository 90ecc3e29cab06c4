// Flicker-free painting: built on the stack over a target DC, it collects the drawing of an area
// in an off-screen bitmap and copies it to the target in one blit when it goes. Over a printer
// it draws straight onto the page instead.
#pragma once

#include "framework/Framework.h"

class VyxMemDC : public CDC
{
public:
    // A null area means the target's clip box.
    explicit VyxMemDC(CDC* pDC, const RECT* pRect = nullptr);
    ~VyxMemDC() override;
    VyxMemDC(const VyxMemDC&) = delete;
    VyxMemDC& operator=(const VyxMemDC&) = delete;

    BOOL IsMemDC() const { return m_bMemDC; }
    const CRect& GetArea() const { return m_rect; }

    BOOL PtVisible(int x, int y) const override;
    BOOL RectVisible(LPCRECT lpRect) const override;
    BOOL TextOut(int x, int y, LPCWSTR lpszString, int nCount) override;
    BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCWSTR lpszString, UINT nCount,
                    LPINT lpDxWidths) override;
    CSize TabbedTextOut(int x, int y, LPCWSTR lpszString, int nCount, int nTabPositions, LPINT lpnTabStopPositions,
                        int nTabOrigin) override;
    int DrawText(LPCWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) override;
    int DrawTextEx(LPWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat, LPDRAWTEXTPARAMS lpDTParams) override;
    BOOL GrayString(CBrush* pBrush, BOOL(CALLBACK* lpfnOutput)(HDC, LPARAM, int), LPARAM lpData, int nCount, int x,
                    int y, int nWidth, int nHeight) override;
    int Escape(int nEscape, int nCount, LPCSTR lpszInData, LPVOID lpOutData) override;
    using CDC::DrawText;
    using CDC::DrawTextEx;
    using CDC::ExtTextOut;
    using CDC::PtVisible;
    using CDC::TabbedTextOut;
    using CDC::TextOut;

private:
    CBitmap m_bitmap;
    CBitmap* m_oldBitmap = nullptr;
    CDC* m_pDC;
    CRect m_rect;
    BOOL m_bMemDC;
};
