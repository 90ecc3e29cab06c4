// The splitter window of the main frame, drawn flat: thin bars, a one-pixel border, and panes
// with a sunken edge laid one pixel outwards so that their edge lies under the bar.
#pragma once

#include "framework/Framework.h"

class CFlatSplitterWnd : public CSplitterWnd
{
    DECLARE_DYNAMIC(CFlatSplitterWnd)
public:
    CFlatSplitterWnd();

    void RecalcLayout() override;
    void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) override;

    // Sizes along one axis: each row or column its ideal size (0 below its minimum), the last
    // what remains; one that cannot have its minimum gets 0 and its space goes to the one before.
    static void PASCAL LayoutRowCol(CRowColInfo* pInfo, int nCount, int nSize, int nGap);
};
