// Makes a property sheet that is not its own class resizable: it sits on the sheet window as a
// subclassing hook and drives the layout engine, the size grip, the tracking limits and the
// placement state on the sheet's behalf. The current page is a callback item laid over the tab
// control's display area (or kept at its margins in a wizard).
#pragma once

#include "controls/CHookWnd.h"
#include "controls/CResizableGrip.h"
#include "controls/CResizableLayout.h"
#include "controls/CResizableMinMax.h"
#include "controls/CResizableState.h"

namespace TreePropSheet {

class CResizableSheetHook : public CHookWnd,
                            public CResizableLayout,
                            public CResizableGrip,
                            public CResizableMinMax,
                            public CResizableState
{
public:
    explicit CResizableSheetHook(CPropertySheet* pSheet);
    ~CResizableSheetHook() override;

    // Hooks the sheet, gives a popup sheet its grip, makes the current size the minimum and
    // lays out the sheet's controls.
    BOOL InstallHook();
    // Restores the placement (and with bWithPage the active page) now and saves them on destroy.
    void EnableSaveRestore(LPCWSTR pszSection, BOOL bRectOnly = FALSE, BOOL bWithPage = FALSE);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void InitLayout();

    CPropertySheet* GetSheet() const { return m_pSheet; }

protected:
    BOOL ArrangeCallbackItem(LayoutInfo& layout) override;
    CWnd* GetLayoutWnd() const override { return m_pSheet; }
    BOOL IsWizardSheet(BOOL bAcceptWizard97) const;
    HWND CurrentPage() const;
    // A child's rectangle in the sheet's client coordinates.
    CRect ChildInSheet(HWND hWnd) const;
    void AnchorStandardButtons();
    void MeasurePageMargins();
    // Anchors and margins that place a callback item's window exactly at rect.
    void PlaceAt(LayoutInfo& layout, const CRect& rect);

    CPropertySheet* m_pSheet;
    DWORD m_dwGripTempState = 1;
    BOOL m_bEnableSaveRestore = FALSE;
    BOOL m_bRectOnly = FALSE;
    BOOL m_bSavePage = FALSE;
    CRect m_rectPageMargins; // page edges minus client edges
    CString m_sSection;
};

} // namespace TreePropSheet
