#include "controls/CPreviewToolBar.h"
#include "res/resource.h"

#include <iterator>

IMPLEMENT_DYNAMIC(CPreviewToolBar, CToolBarEx)

void CPreviewToolBar::Init()
{
    const UINT none = static_cast<UINT>(-1);
    SetBitmaps(IDB_PREVIEW_TOOLBAR, IDB_PREVIEW_TOOLBAR_HOT, none, none, none, none, 0, RGB(255, 0, 255));
    TBBUTTONEX buttons[] = {
        {{0, AFX_ID_PREVIEW_PRINT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, TRUE},
        {{1, AFX_ID_PREVIEW_PREV, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, TRUE},
        {{2, AFX_ID_PREVIEW_NEXT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, TRUE},
        {{4, AFX_ID_PREVIEW_NUMPAGE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, TRUE},
        {{5, AFX_ID_PREVIEW_ZOOMIN, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, TRUE},
        {{6, AFX_ID_PREVIEW_ZOOMOUT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, TRUE},
        {{I_IMAGENONE, AFX_ID_PREVIEW_CLOSE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, TRUE},
    };
    SetButtons(static_cast<int>(std::size(buttons)), buttons, 1);
}

BOOL CPreviewToolBar::HasButtonText(UINT nID) const
{
    return nID == AFX_ID_PREVIEW_CLOSE || nID == AFX_ID_PREVIEW_PRINT;
}

BOOL CPreviewToolBar::IsTextOptionAvailable(int nTextOption) const
{
    return nTextOption == 1;
}

BOOL CPreviewToolBar::IsIconOptionAvailable(int nIconOption) const
{
    return nIconOption == 0;
}
