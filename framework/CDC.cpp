#include "framework/CDC.h"
#include "framework/CHandleMap.h"

IMPLEMENT_DYNCREATE(CDC, CObject)

namespace {

CHandleMap<CDC, HDC>* DCMap()
{
    return AfxHandleMap<CDC, HDC>(
        afxDCMap,
        [](HDC handle) {
            auto* dc = new CDC;
            dc->m_hDC = dc->m_hAttribDC = handle;
            return dc;
        },
        [](CDC* dc) { dc->m_hDC = dc->m_hAttribDC = nullptr; });
}

// A state change goes to the output handle, then to the attribute handle, whose answer (the old
// state) is returned.
template <class Result, class Change> Result ForBoth(HDC output, HDC attributes, Result result, Change change)
{
    if (output != attributes)
        result = change(output);
    if (attributes)
        result = change(attributes);
    return result;
}

} // namespace

CDC::~CDC()
{
    if (m_hDC)
        ::DeleteDC(Detach());
}

CDC* PASCAL CDC::FromHandle(HDC hDC)
{
    return DCMap()->FromHandle(hDC);
}

void PASCAL CDC::DeleteTempMap()
{
    DCMap()->DeleteTemp();
}

BOOL CDC::Attach(HDC hDC)
{
    if (!DCMap()->Attach(this, m_hDC, hDC))
        return FALSE;
    SetAttribDC(hDC);
    return TRUE;
}

HDC CDC::Detach()
{
    ReleaseAttribDC();
    return DCMap()->Detach(m_hDC);
}

void CDC::SetAttribDC(HDC hDC)
{
    m_hAttribDC = hDC;
}

void CDC::SetOutputDC(HDC hDC)
{
    m_hDC = hDC;
}

void CDC::ReleaseAttribDC()
{
    m_hAttribDC = nullptr;
}

void CDC::ReleaseOutputDC()
{
    m_hDC = nullptr;
}

BOOL CDC::CreateDC(LPCWSTR lpszDriverName, LPCWSTR lpszDeviceName, LPCWSTR lpszOutput, const void* lpInitData)
{
    return Attach(::CreateDCW(lpszDriverName, lpszDeviceName, lpszOutput, static_cast<const DEVMODEW*>(lpInitData)));
}

BOOL CDC::CreateIC(LPCWSTR lpszDriverName, LPCWSTR lpszDeviceName, LPCWSTR lpszOutput, const void* lpInitData)
{
    return Attach(::CreateICW(lpszDriverName, lpszDeviceName, lpszOutput, static_cast<const DEVMODEW*>(lpInitData)));
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr));
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

int CDC::SaveDC()
{
    int saved = 0;
    if (m_hAttribDC)
        saved = ::SaveDC(m_hAttribDC);
    if (m_hDC != m_hAttribDC && ::SaveDC(m_hDC) != 0)
        saved = -1; // the two handles' levels differ: restore the latest of each
    return saved;
}

BOOL CDC::RestoreDC(int nSavedDC)
{
    BOOL ok = TRUE;
    if (m_hDC != m_hAttribDC)
        ok = ::RestoreDC(m_hDC, nSavedDC);
    if (m_hAttribDC)
        ok = ::RestoreDC(m_hAttribDC, nSavedDC) && ok;
    return ok;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    return ForBoth(m_hDC, m_hAttribDC, HGDIOBJ(), [hObject](HDC dc) { return ::SelectObject(dc, hObject); });
}

CPen* CDC::SelectObject(CPen* pPen)
{
    return static_cast<CPen*>(CGdiObject::FromHandle(SelectObject(pPen->GetSafeHandle())));
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    return static_cast<CBrush*>(CGdiObject::FromHandle(SelectObject(pBrush->GetSafeHandle())));
}

CFont* CDC::SelectObject(CFont* pFont)
{
    return static_cast<CFont*>(CGdiObject::FromHandle(SelectObject(pFont->GetSafeHandle())));
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    return static_cast<CBitmap*>(CGdiObject::FromHandle(SelectObject(pBitmap->GetSafeHandle())));
}

int CDC::SelectObject(CRgn* pRgn)
{
    // A region is copied into the clip region: the answer is its kind, not an old object.
    return static_cast<int>(reinterpret_cast<INT_PTR>(SelectObject(pRgn->GetSafeHandle())));
}

CGdiObject* CDC::SelectStockObject(int nIndex)
{
    return CGdiObject::FromHandle(SelectObject(::GetStockObject(nIndex)));
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    auto palette = static_cast<HPALETTE>(pPalette->GetSafeHandle());
    HPALETTE old = ::SelectPalette(m_hDC, palette, bForceBackground);
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        ::SelectPalette(m_hAttribDC, palette, bForceBackground);
    return CPalette::FromHandle(old);
}

CPen* CDC::GetCurrentPen() const
{
    return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN)));
}

CBrush* CDC::GetCurrentBrush() const
{
    return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
}

CFont* CDC::GetCurrentFont() const
{
    return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
}

CBitmap* CDC::GetCurrentBitmap() const
{
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}

CPalette* CDC::GetCurrentPalette() const
{
    return CPalette::FromHandle(static_cast<HPALETTE>(::GetCurrentObject(m_hDC, OBJ_PAL)));
}

COLORREF CDC::SetBkColor(COLORREF value)
{
    return ForBoth(m_hDC, m_hAttribDC, static_cast<COLORREF>(CLR_INVALID),
                   [value](HDC dc) { return ::SetBkColor(dc, value); });
}

COLORREF CDC::SetTextColor(COLORREF value)
{
    return ForBoth(m_hDC, m_hAttribDC, static_cast<COLORREF>(CLR_INVALID),
                   [value](HDC dc) { return ::SetTextColor(dc, value); });
}

int CDC::SetBkMode(int value)
{
    return ForBoth(m_hDC, m_hAttribDC, static_cast<int>(0), [value](HDC dc) { return ::SetBkMode(dc, value); });
}

int CDC::SetStretchBltMode(int value)
{
    return ForBoth(m_hDC, m_hAttribDC, static_cast<int>(0),
                   [value](HDC dc) { return ::SetStretchBltMode(dc, value); });
}

int CDC::SetPolyFillMode(int value)
{
    return ForBoth(m_hDC, m_hAttribDC, static_cast<int>(0), [value](HDC dc) { return ::SetPolyFillMode(dc, value); });
}

int CDC::SetROP2(int value)
{
    return ForBoth(m_hDC, m_hAttribDC, static_cast<int>(0), [value](HDC dc) { return ::SetROP2(dc, value); });
}

UINT CDC::SetTextAlign(UINT value)
{
    return ForBoth(m_hDC, m_hAttribDC, static_cast<UINT>(GDI_ERROR),
                   [value](HDC dc) { return ::SetTextAlign(dc, value); });
}

int CDC::SetTextCharacterExtra(int value)
{
    return ForBoth(m_hDC, m_hAttribDC, static_cast<int>(0x80000000),
                   [value](HDC dc) { return ::SetTextCharacterExtra(dc, value); });
}

int CDC::SetMapMode(int value)
{
    return ForBoth(m_hDC, m_hAttribDC, 0, [value](HDC dc) { return ::SetMapMode(dc, value); });
}

CPoint CDC::GetViewportOrg() const
{
    POINT point = {};
    ::GetViewportOrgEx(m_hAttribDC, &point);
    return point;
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    return ForBoth(m_hDC, m_hAttribDC, CPoint(), [=](HDC dc) {
        POINT old = {};
        ::SetViewportOrgEx(dc, x, y, &old);
        return CPoint(old);
    });
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight)
{
    return ForBoth(m_hDC, m_hAttribDC, CPoint(), [=](HDC dc) {
        POINT old = {};
        ::OffsetViewportOrgEx(dc, nWidth, nHeight, &old);
        return CPoint(old);
    });
}

CSize CDC::GetViewportExt() const
{
    SIZE size = {};
    ::GetViewportExtEx(m_hAttribDC, &size);
    return size;
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    return ForBoth(m_hDC, m_hAttribDC, CSize(), [=](HDC dc) {
        SIZE old = {};
        ::SetViewportExtEx(dc, cx, cy, &old);
        return CSize(old);
    });
}

CSize CDC::ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom)
{
    return ForBoth(m_hDC, m_hAttribDC, CSize(), [=](HDC dc) {
        SIZE old = {};
        ::ScaleViewportExtEx(dc, xNum, xDenom, yNum, yDenom, &old);
        return CSize(old);
    });
}

CPoint CDC::GetWindowOrg() const
{
    POINT point = {};
    ::GetWindowOrgEx(m_hAttribDC, &point);
    return point;
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    return ForBoth(m_hDC, m_hAttribDC, CPoint(), [=](HDC dc) {
        POINT old = {};
        ::SetWindowOrgEx(dc, x, y, &old);
        return CPoint(old);
    });
}

CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight)
{
    return ForBoth(m_hDC, m_hAttribDC, CPoint(), [=](HDC dc) {
        POINT old = {};
        ::OffsetWindowOrgEx(dc, nWidth, nHeight, &old);
        return CPoint(old);
    });
}

CSize CDC::GetWindowExt() const
{
    SIZE size = {};
    ::GetWindowExtEx(m_hAttribDC, &size);
    return size;
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    return ForBoth(m_hDC, m_hAttribDC, CSize(), [=](HDC dc) {
        SIZE old = {};
        ::SetWindowExtEx(dc, cx, cy, &old);
        return CSize(old);
    });
}

CSize CDC::ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
    return ForBoth(m_hDC, m_hAttribDC, CSize(), [=](HDC dc) {
        SIZE old = {};
        ::ScaleWindowExtEx(dc, xNum, xDenom, yNum, yDenom, &old);
        return CSize(old);
    });
}

void CDC::DPtoLP(LPSIZE lpSize) const
{
    POINT points[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
    ::DPtoLP(m_hAttribDC, points, 2);
    lpSize->cx = points[1].x - points[0].x;
    lpSize->cy = points[1].y - points[0].y;
}

void CDC::LPtoDP(LPSIZE lpSize) const
{
    POINT points[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
    ::LPtoDP(m_hAttribDC, points, 2);
    lpSize->cx = points[1].x - points[0].x;
    lpSize->cy = points[1].y - points[0].y;
}

int CDC::SelectClipRgn(CRgn* pRgn)
{
    auto region = static_cast<HRGN>(pRgn->GetSafeHandle());
    return ForBoth(m_hDC, m_hAttribDC, ERROR, [=](HDC dc) { return ::SelectClipRgn(dc, region); });
}

int CDC::SelectClipRgn(CRgn* pRgn, int nMode)
{
    auto region = static_cast<HRGN>(pRgn->GetSafeHandle());
    return ForBoth(m_hDC, m_hAttribDC, ERROR, [=](HDC dc) { return ::ExtSelectClipRgn(dc, region, nMode); });
}

int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2)
{
    return ForBoth(m_hDC, m_hAttribDC, ERROR, [=](HDC dc) { return ::ExcludeClipRect(dc, x1, y1, x2, y2); });
}

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2)
{
    return ForBoth(m_hDC, m_hAttribDC, ERROR, [=](HDC dc) { return ::IntersectClipRect(dc, x1, y1, x2, y2); });
}

int CDC::OffsetClipRgn(int x, int y)
{
    return ForBoth(m_hDC, m_hAttribDC, ERROR, [=](HDC dc) { return ::OffsetClipRgn(dc, x, y); });
}

CPoint CDC::GetCurrentPosition() const
{
    POINT point = {};
    ::GetCurrentPositionEx(m_hAttribDC, &point);
    return point;
}

CPoint CDC::MoveTo(int x, int y)
{
    return ForBoth(m_hDC, m_hAttribDC, CPoint(), [=](HDC dc) {
        POINT old = {};
        ::MoveToEx(dc, x, y, &old);
        return CPoint(old);
    });
}

BOOL CDC::LineTo(int x, int y)
{
    // The attribute handle follows the pen so that GetCurrentPosition stays right.
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        ::MoveToEx(m_hAttribDC, x, y, nullptr);
    return ::LineTo(m_hDC, x, y);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    ::SetBkColor(m_hDC, clr);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT rect = {x, y, x + cx, y + cy};
    FillSolidRect(&rect, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
               clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush)
{
    return ::DrawStateW(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hBitmap), 0, pt.x, pt.y, size.cx, size.cy,
                        nFlags | DST_BITMAP);
}

BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush)
{
    return DrawState(pt, size, static_cast<HBITMAP>(pBitmap->GetSafeHandle()), nFlags,
                     static_cast<HBRUSH>(pBrush->GetSafeHandle()));
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush)
{
    return ::DrawStateW(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, pt.x, pt.y, size.cx, size.cy,
                        nFlags | DST_ICON);
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCWSTR lpszText, UINT nFlags, BOOL bPrefixText, int nTextLen, HBRUSH hBrush)
{
    return ::DrawStateW(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(lpszText), static_cast<WPARAM>(nTextLen), pt.x,
                        pt.y, size.cx, size.cy, nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop)
{
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc, nSrcWidth, nSrcHeight, dwRop);
}

BOOL CDC::TextOut(int x, int y, LPCWSTR lpszString, int nCount)
{
    return ::TextOutW(m_hDC, x, y, lpszString, nCount);
}

BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCWSTR lpszString, UINT nCount, LPINT lpDxWidths)
{
    return ::ExtTextOutW(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
}

CSize CDC::TabbedTextOut(int x, int y, LPCWSTR lpszString, int nCount, int nTabPositions, LPINT lpnTabStopPositions,
                         int nTabOrigin)
{
    LONG extent = ::TabbedTextOutW(m_hDC, x, y, lpszString, nCount, nTabPositions, lpnTabStopPositions, nTabOrigin);
    return CSize(LOWORD(extent), HIWORD(extent));
}

int CDC::DrawText(LPCWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
{
    return ::DrawTextW(m_hDC, lpszString, nCount, lpRect, nFormat);
}

int CDC::DrawTextEx(LPWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat, LPDRAWTEXTPARAMS lpDTParams)
{
    return ::DrawTextExW(m_hDC, lpszString, nCount, lpRect, nFormat, lpDTParams);
}

int CDC::DrawTextEx(const CString& str, LPRECT lpRect, UINT nFormat, LPDRAWTEXTPARAMS lpDTParams)
{
    // DT_MODIFYSTRING may write into the text: work on a copy.
    CString copy = str;
    int length = copy.GetLength();
    int result = DrawTextEx(copy.GetBuffer(length + 4), length, lpRect, nFormat, lpDTParams);
    copy.ReleaseBuffer();
    return result;
}

BOOL CDC::GrayString(CBrush* pBrush, BOOL(CALLBACK* lpfnOutput)(HDC, LPARAM, int), LPARAM lpData, int nCount, int x,
                     int y, int nWidth, int nHeight)
{
    return ::GrayStringW(m_hDC, static_cast<HBRUSH>(pBrush->GetSafeHandle()), lpfnOutput, lpData, nCount, x, y, nWidth,
                         nHeight);
}

CSize CDC::GetTextExtent(LPCWSTR lpszString, int nCount) const
{
    SIZE size = {};
    ::GetTextExtentPoint32W(m_hAttribDC, lpszString, nCount, &size);
    return size;
}

CSize CDC::GetOutputTextExtent(LPCWSTR lpszString, int nCount) const
{
    SIZE size = {};
    ::GetTextExtentPoint32W(m_hDC, lpszString, nCount, &size);
    return size;
}

CSize CDC::GetTabbedTextExtent(LPCWSTR lpszString, int nCount, int nTabPositions, LPINT lpnTabStopPositions) const
{
    DWORD extent = ::GetTabbedTextExtentW(m_hAttribDC, lpszString, nCount, nTabPositions, lpnTabStopPositions);
    return CSize(LOWORD(extent), HIWORD(extent));
}

int CDC::GetTextFace(CString& rString) const
{
    int n = ::GetTextFaceW(m_hAttribDC, LF_FACESIZE, rString.GetBuffer(LF_FACESIZE));
    rString.ReleaseBuffer();
    return n;
}

int CDC::Escape(int nEscape, int nCount, LPCSTR lpszInData, LPVOID lpOutData)
{
    return ::Escape(m_hDC, nEscape, nCount, lpszInData, lpOutData);
}

int CDC::StartDoc(LPCWSTR lpszDocName)
{
    DOCINFOW info = {};
    info.cbSize = sizeof(info);
    info.lpszDocName = lpszDocName;
    return StartDoc(&info);
}
