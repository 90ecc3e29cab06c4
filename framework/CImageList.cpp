#include "framework/CImageList.h"
#include "framework/CHandleMap.h"
#include "framework/CWnd.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNCREATE(CImageList, CObject)

namespace {

CHandleMap<CImageList, HIMAGELIST>* ImageListMap()
{
    return AfxHandleMap<CImageList, HIMAGELIST>(
        afxImageListMap,
        [](HIMAGELIST handle) {
            auto* list = new CImageList;
            list->m_hImageList = handle;
            return list;
        },
        [](CImageList* list) { list->m_hImageList = nullptr; });
}

} // namespace

CImageList::~CImageList()
{
    DeleteImageList();
}

CImageList* PASCAL CImageList::FromHandle(HIMAGELIST hImageList)
{
    return ImageListMap()->FromHandle(hImageList);
}

CImageList* PASCAL CImageList::FromHandlePermanent(HIMAGELIST hImageList)
{
    return ImageListMap()->LookupPermanent(hImageList);
}

void PASCAL CImageList::DeleteTempMap()
{
    ImageListMap()->DeleteTemp();
}

BOOL CImageList::Attach(HIMAGELIST hImageList)
{
    if (hImageList && m_hImageList && m_hImageList != hImageList)
        DeleteImageList();
    return ImageListMap()->Attach(this, m_hImageList, hImageList);
}

HIMAGELIST CImageList::Detach()
{
    return ImageListMap()->Detach(m_hImageList);
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    return ImageList_Destroy(Detach());
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    return Create(MAKEINTRESOURCEW(nBitmapID), cx, nGrow, crMask);
}

BOOL CImageList::Create(LPCWSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask)
{
    HINSTANCE instance = AfxFindResourceHandle(lpszBitmapID, MAKEINTRESOURCEW(2));
    return Attach(ImageList_LoadImageW(instance, lpszBitmapID, cx, nGrow, crMask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

BOOL CImageList::Create(CImageList& imagelist1, int nImage1, CImageList& imagelist2, int nImage2, int dx, int dy)
{
    return Attach(ImageList_Merge(imagelist1.m_hImageList, nImage1, imagelist2.m_hImageList, nImage2, dx, dy));
}

BOOL CImageList::Create(CImageList* pImageList)
{
    return pImageList ? Attach(ImageList_Duplicate(pImageList->m_hImageList)) : FALSE;
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ImageList_Add(m_hImageList, *pbmImage, static_cast<HBITMAP>(pbmMask->GetSafeHandle()));
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
    return ImageList_AddMasked(m_hImageList, *pbmImage, crMask);
}

BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ImageList_Replace(m_hImageList, nImage, *pbmImage, static_cast<HBITMAP>(pbmMask->GetSafeHandle()));
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
{
    return ImageList_Draw(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, nStyle);
}

BOOL CImageList::DrawEx(CDC* pDC, int nImage, POINT pt, SIZE sz, COLORREF clrBk, COLORREF clrFg, UINT nStyle)
{
    return ImageList_DrawEx(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, sz.cx, sz.cy, clrBk, clrFg, nStyle);
}

BOOL CImageList::Copy(int iDst, int iSrc, UINT uFlags)
{
    return ImageList_Copy(m_hImageList, iDst, m_hImageList, iSrc, uFlags);
}

BOOL PASCAL CImageList::DragEnter(CWnd* pWndLock, CPoint point)
{
    return ImageList_DragEnter(pWndLock->GetSafeHwnd(), point.x, point.y);
}

BOOL PASCAL CImageList::DragLeave(CWnd* pWndLock)
{
    return ImageList_DragLeave(pWndLock->GetSafeHwnd());
}
