// The resizable hook of the tree property sheet: in tree view mode the splitter with the tree and
// the frame follows the sheet's size, and the tab control and the current page are kept over the
// frame, the page at fixed insets inside it.
#pragma once

#include "controls/CResizableSheetHook.h"

namespace TreePropSheet {

class CTreePropSheetEx;

class CTreePropSheetResizableLibHook : public CResizableSheetHook
{
public:
    explicit CTreePropSheetResizableLibHook(CTreePropSheetEx* pSheet);

    void InitLayout() override;

    // Page edge minus frame edge (left, top), frame edge minus page edge (right, bottom).
    const CRect& GetPageInsets() const { return m_rectPageInsets; }

protected:
    BOOL ArrangeCallbackItem(LayoutInfo& layout) override;

    CTreePropSheetEx* m_pTreeSheet;
    CRect m_rectPageInsets;
};

} // namespace TreePropSheet
