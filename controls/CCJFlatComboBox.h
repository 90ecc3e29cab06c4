// A combo box drawn flat: thin frame lines that rise under the mouse (found by polling the
// cursor) or with the focus, and keys that stay with the box instead of reaching the dialog.
#pragma once

#include "framework/Framework.h"

class CCJFlatComboBox : public CComboBox
{
public:
    CCJFlatComboBox() = default;

    // nState 0 normal, 1 raised, 2 pressed.
    void PaintFrame(int nState, COLORREF clrTopLeft, COLORREF clrBottomRight);
    BOOL IsHot() const { return m_bHot; }
    // Tab, and Escape while the list is closed, go on to the dialog (which moves on or closes)
    // instead of staying with the box.
    void SetDialogKeys(BOOL bDialogKeys) { m_bDialogKeys = bDialogKeys; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPaint();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

    BOOL m_bLBtnDown = FALSE;
    BOOL m_bHot = FALSE;
    BOOL m_bDialogKeys = FALSE;
};
