#include "controls/CTreePropSheetResizableLibHook.h"

#include "controls/CTreePropSheetEx.h"

namespace TreePropSheet {

CTreePropSheetResizableLibHook::CTreePropSheetResizableLibHook(CTreePropSheetEx* pSheet)
    : CResizableSheetHook(pSheet), m_pTreeSheet(pSheet)
{
}

void CTreePropSheetResizableLibHook::InitLayout()
{
    if (!m_pTreeSheet->IsTreeViewMode()) {
        CResizableSheetHook::InitLayout();
        return;
    }
    CWnd* tree = m_pTreeSheet->GetPageTreeControl();
    CWnd* frame = m_pTreeSheet->GetFrameControl() ? m_pTreeSheet->GetFrameControl()->GetWnd() : nullptr;
    if (tree)
        tree->ModifyStyle(0, WS_CLIPSIBLINGS);
    if (frame)
        frame->ModifyStyle(0, WS_CLIPSIBLINGS);
    if (CWnd* splitter = m_pTreeSheet->GetSplitter())
        AddAnchor(splitter->GetSafeHwnd(), TOP_LEFT, BOTTOM_RIGHT);
    if (frame) {
        if (HWND page = CurrentPage()) {
            CRect pageRect = ChildInSheet(page), frameRect = ChildInSheet(frame->m_hWnd);
            m_rectPageInsets.SetRect(pageRect.left - frameRect.left, pageRect.top - frameRect.top,
                                     frameRect.right - pageRect.right, frameRect.bottom - pageRect.bottom);
        }
    }
    AddCallbackItem(1);
    AddCallbackItem(2);
    MeasurePageMargins();
    AnchorStandardButtons();
}

BOOL CTreePropSheetResizableLibHook::ArrangeCallbackItem(LayoutInfo& layout)
{
    if (!m_pTreeSheet->IsTreeViewMode()) {
        if (layout.nCallbackID == 1 && !(m_pSheet->m_psh.dwFlags & PSH_WIZARD) &&
            (m_pSheet->m_psh.dwFlags & PSH_WIZARD97)) {
            // A wizard of the newer kind counts as a wizard too: the page keeps its margins.
            HWND page = CurrentPage();
            if (!page)
                return FALSE;
            layout.hWnd = page;
            layout.sizeTypeTL = TOP_LEFT;
            layout.sizeTypeBR = BOTTOM_RIGHT;
            layout.sizeMarginTL = CSize(m_rectPageMargins.left, m_rectPageMargins.top);
            layout.sizeMarginBR = CSize(m_rectPageMargins.right, m_rectPageMargins.bottom);
            return TRUE;
        }
        return CResizableSheetHook::ArrangeCallbackItem(layout);
    }
    if (layout.nCallbackID != 1 && layout.nCallbackID != 2)
        return CResizableSheetHook::ArrangeCallbackItem(layout);
    CPropPageFrame* frame = m_pTreeSheet->GetFrameControl();
    if (!frame || !frame->GetWnd())
        return FALSE;
    CRect frameRect = ChildInSheet(frame->GetWnd()->m_hWnd);
    if (layout.nCallbackID == 1) {
        CTabCtrl* tab = m_pTreeSheet->GetTabControl();
        if (!tab)
            return FALSE;
        layout.hWnd = tab->m_hWnd;
        PlaceAt(layout, frameRect);
        tab->MoveWindow(&frameRect, FALSE);
        return TRUE;
    }
    HWND page = CurrentPage();
    if (!page)
        return FALSE;
    CRect pageRect(frameRect.left + m_rectPageInsets.left, frameRect.top + m_rectPageInsets.top,
                   frameRect.right - m_rectPageInsets.right, frameRect.bottom - m_rectPageInsets.bottom);
    layout.hWnd = page;
    PlaceAt(layout, pageRect);
    // With repainting: the splitter has already redrawn the frame pane, so what a growing page
    // now covers (the buttons' old place after a large step) must be painted by the page itself.
    ::MoveWindow(page, pageRect.left, pageRect.top, pageRect.Width(), pageRect.Height(), TRUE);
    return TRUE;
}

} // namespace TreePropSheet
