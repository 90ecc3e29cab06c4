// The print-preview tool bar: print, previous and next page, one or two pages, zoom in and out
// and close; only close and print carry their text.
#pragma once

#include "controls/CToolBarEx.h"

class CPreviewToolBar : public CToolBarEx
{
    DECLARE_DYNAMIC(CPreviewToolBar)
public:
    CPreviewToolBar() = default;

    void Init() override;
    BOOL HasButtonText(UINT nID) const override;
    BOOL IsTextOptionAvailable(int nTextOption) const override;
    BOOL IsIconOptionAvailable(int nIconOption) const override;
};
