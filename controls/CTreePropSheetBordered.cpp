#include "controls/CTreePropSheetBordered.h"

#include "controls/CPropPageFrameBordered.h"

namespace TreePropSheet {

IMPLEMENT_DYNCREATE(CTreePropSheetBordered, CTreePropSheetEx)

CTreePropSheetBordered::CTreePropSheetBordered() = default;

CTreePropSheetBordered::CTreePropSheetBordered(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CTreePropSheetEx(nIDCaption, pParentWnd, iSelectPage)
{
}

CTreePropSheetBordered::CTreePropSheetBordered(LPCWSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CTreePropSheetEx(pszCaption, pParentWnd, iSelectPage)
{
}

CPropPageFrame* CTreePropSheetBordered::CreatePageFrame()
{
    return new CPropPageFrameBordered;
}

} // namespace TreePropSheet
