// A report list whose rows the user reorders by dragging one onto another. The list moves no data:
// at the drop it tells its parent which row went to which (the message the parent chose), then
// selects the target row. A row held near the top or bottom edge scrolls the list.
#pragma once

#include "framework/Framework.h"

// The reorder message the program's dialogs choose (WM_USER + 8): wParam from, lParam to.
#define WMU_ITEMMOVED 0x808

class CVyxListCtrlEx : public CListCtrl
{
public:
    CVyxListCtrlEx() = default;

    // Sent to the parent at a drop with wParam the dragged row and lParam the target row; 0 none.
    void SetNotifyMessage(UINT nMessage) { m_nNotifyMessage = nMessage; }
    UINT GetNotifyMessage() const { return m_nNotifyMessage; }
    BOOL IsDragging() const { return m_bDragging; }
    int GetDropTarget() const { return m_nDropIndex; }

    // The drag image of a row (its small image and the text of its first column), owned by the
    // caller; null when no image list could be made.
    CImageList* CreateDragImage(int nItem, LPPOINT lpPoint = nullptr) override;

protected:
    void EndDragging(BOOL bCancelled);
    void UpdateTarget(CPoint point);
    BOOL InScrollZone(CPoint point, int* pDirection) const;

    afx_msg void OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

    int m_nImageWidth = 16;
    int m_nScrollZone = 16;
    int m_nDragIndex = -1;
    int m_nDropIndex = -1;
    BOOL m_bDragging = FALSE;
    UINT m_nNotifyMessage = 0;
};
