// The resizable tree property sheet with the bordered page frame.
#pragma once

#include "controls/CTreePropSheetEx.h"

namespace TreePropSheet {

class CTreePropSheetBordered : public CTreePropSheetEx
{
    DECLARE_DYNCREATE(CTreePropSheetBordered)
public:
    CTreePropSheetBordered();
    explicit CTreePropSheetBordered(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CTreePropSheetBordered(LPCWSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    CPropPageFrame* CreatePageFrame() override;
};

} // namespace TreePropSheet
