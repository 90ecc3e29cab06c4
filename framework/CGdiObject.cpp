#include "framework/CGdiObject.h"
#include "framework/CDC.h"
#include "framework/CHandleMap.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

namespace {

CHandleMap<CGdiObject, HGDIOBJ>* GdiMap()
{
    return AfxHandleMap<CGdiObject, HGDIOBJ>(
        afxGdiObjectMap,
        [](HGDIOBJ handle) {
            auto* object = new CGdiObject;
            object->m_hObject = handle;
            return object;
        },
        [](CGdiObject* object) { object->m_hObject = nullptr; });
}

template <class T> HRGN RegionOf(const T* region)
{
    return static_cast<HRGN>(region ? region->GetSafeHandle() : nullptr);
}

} // namespace

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject)
{
    return GdiMap()->FromHandle(hObject);
}

void PASCAL CGdiObject::DeleteTempMap()
{
    GdiMap()->DeleteTemp();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (hObject && m_hObject && m_hObject != hObject)
        DeleteObject(); // a second Create on the same object replaces the first handle
    return GdiMap()->Attach(this, m_hObject, hObject);
}

HGDIOBJ CGdiObject::Detach()
{
    return GdiMap()->Detach(m_hObject);
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const
{
    return ::GetObjectW(m_hObject, nCount, lpObject);
}

BOOL CGdiObject::CreateStockObject(int nIndex)
{
    return AttachNew(::GetStockObject(nIndex));
}

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor)
{
    if (!CreatePen(nPenStyle, nWidth, crColor))
        AfxThrowResourceException();
}

CPen::CPen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount, const DWORD* lpStyle)
{
    if (!CreatePen(nPenStyle, nWidth, pLogBrush, nStyleCount, lpStyle))
        AfxThrowResourceException();
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    return AttachNew(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount, const DWORD* lpStyle)
{
    return AttachNew(::ExtCreatePen(nPenStyle, nWidth, pLogBrush, nStyleCount, lpStyle));
}

BOOL CPen::CreatePenIndirect(LPLOGPEN lpLogPen)
{
    return AttachNew(::CreatePenIndirect(lpLogPen));
}

CBrush::CBrush(COLORREF crColor)
{
    if (!CreateSolidBrush(crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(int nIndex, COLORREF crColor)
{
    if (!CreateHatchBrush(nIndex, crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(CBitmap* pBitmap)
{
    if (!CreatePatternBrush(pBitmap))
        AfxThrowResourceException();
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    return AttachNew(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor)
{
    return AttachNew(::CreateHatchBrush(nIndex, crColor));
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush)
{
    return AttachNew(::CreateBrushIndirect(lpLogBrush));
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    return pBitmap ? AttachNew(::CreatePatternBrush(*pBitmap)) : FALSE;
}

BOOL CBrush::CreateDIBPatternBrush(const void* lpPackedDIB, UINT nUsage)
{
    return AttachNew(::CreateDIBPatternBrushPt(lpPackedDIB, nUsage));
}

BOOL CBrush::CreateSysColorBrush(int nIndex)
{
    return AttachNew(::GetSysColorBrush(nIndex));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* lpLogFont)
{
    return AttachNew(::CreateFontIndirectW(lpLogFont));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCWSTR lpszFacename)
{
    return AttachNew(::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                   nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC)
{
    LOGFONTW logFont = {};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = nPointSize;
    if (lpszFaceName)
        lstrcpynW(logFont.lfFaceName, lpszFaceName, LF_FACESIZE);
    return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTW* lpLogFont, CDC* pDC)
{
    // The height is in tenths of a point: convert to device pixels, then to logical units.
    HDC dc = pDC ? (pDC->m_hAttribDC ? pDC->m_hAttribDC : pDC->m_hDC) : ::GetDC(nullptr);
    LOGFONTW logFont = *lpLogFont;
    POINT height = {0, ::MulDiv(::GetDeviceCaps(dc, LOGPIXELSY), lpLogFont->lfHeight, 720)};
    POINT origin = {0, 0};
    ::DPtoLP(dc, &height, 1);
    ::DPtoLP(dc, &origin, 1);
    logFont.lfHeight = -abs(height.y - origin.y);
    if (!pDC)
        ::ReleaseDC(nullptr, dc);
    return CreateFontIndirect(&logFont);
}

BOOL CBitmap::LoadBitmap(LPCWSTR lpszResourceName)
{
    return AttachNew(::LoadBitmapW(AfxFindResourceHandle(lpszResourceName, MAKEINTRESOURCEW(2)), lpszResourceName));
}

BOOL CBitmap::LoadOEMBitmap(UINT nIDBitmap)
{
    return AttachNew(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(nIDBitmap)));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return AttachNew(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap)
{
    return AttachNew(::CreateBitmapIndirect(lpBitmap));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return pDC ? AttachNew(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight)) : FALSE;
}

BOOL CBitmap::CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return pDC ? AttachNew(::CreateDiscardableBitmap(pDC->m_hDC, nWidth, nHeight)) : FALSE;
}

CSize CBitmap::SetBitmapDimension(int nWidth, int nHeight)
{
    SIZE old = {};
    ::SetBitmapDimensionEx(*this, nWidth, nHeight, &old);
    return old;
}

CSize CBitmap::GetBitmapDimension() const
{
    SIZE size = {};
    ::GetBitmapDimensionEx(*this, &size);
    return size;
}

BOOL CPalette::CreatePalette(LPLOGPALETTE lpLogPalette)
{
    return AttachNew(::CreatePalette(lpLogPalette));
}

BOOL CPalette::CreateHalftonePalette(CDC* pDC)
{
    return pDC ? AttachNew(::CreateHalftonePalette(pDC->m_hDC)) : FALSE;
}

void CPalette::AnimatePalette(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors)
{
    ::AnimatePalette(*this, nStartIndex, nNumEntries, lpPaletteColors);
}

UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const
{
    return ::GetPaletteEntries(*this, nStartIndex, nNumEntries, lpPaletteColors);
}

UINT CPalette::SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors)
{
    return ::SetPaletteEntries(*this, nStartIndex, nNumEntries, lpPaletteColors);
}

int CPalette::GetEntryCount()
{
    WORD count = 0;
    GetObject(sizeof(count), &count);
    return count;
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    return AttachNew(::CreateRectRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect)
{
    return AttachNew(::CreateRectRgnIndirect(lpRect));
}

BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2)
{
    return AttachNew(::CreateEllipticRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect)
{
    return AttachNew(::CreateEllipticRgnIndirect(lpRect));
}

BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode)
{
    return AttachNew(::CreatePolygonRgn(lpPoints, nCount, nMode));
}

BOOL CRgn::CreatePolyPolygonRgn(const POINT* lpPoints, const INT* lpPolyCounts, int nCount, int nPolyFillMode)
{
    return AttachNew(::CreatePolyPolygonRgn(lpPoints, lpPolyCounts, nCount, nPolyFillMode));
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return AttachNew(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}

BOOL CRgn::CreateFromData(const XFORM* lpXForm, int nCount, const RGNDATA* pRgnData)
{
    return AttachNew(::ExtCreateRegion(lpXForm, nCount, pRgnData));
}

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
{
    return ::CombineRgn(*this, RegionOf(pRgn1), RegionOf(pRgn2), nCombineMode);
}
