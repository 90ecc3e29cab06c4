// A window whose owner-drawn menus show the application's command images: the items that
// PrepareMenuImages marked are measured and drawn here, greyed ones as a silhouette.
#pragma once

#include "framework/Framework.h"

// The measuring and drawing of a menu item's image; FALSE when the item is not the images' to
// handle (images disabled, not a menu item).
BOOL BmpMenuMeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
BOOL BmpMenuDrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

template <class T> class CBmpMenuOwnerWnd : public T
{
public:
    CBmpMenuOwnerWnd() = default;

protected:
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
    {
        if (!BmpMenuMeasureItem(lpMeasureItemStruct))
            T::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
    }
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
    {
        if (!BmpMenuDrawItem(lpDrawItemStruct))
            T::OnDrawItem(nIDCtl, lpDrawItemStruct);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_TEMPLATE_MESSAGE_MAP(CBmpMenuOwnerWnd, T, T)
ON_WM_MEASUREITEM()
ON_WM_DRAWITEM()
END_MESSAGE_MAP()
