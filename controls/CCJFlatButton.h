// An icon button with a flat look: no border at rest, a raised one-pixel border while the mouse
// is over it (found by polling the cursor) and a sunken one while pressed.
#pragma once

#include "framework/Framework.h"

class CCJFlatButton : public CButton
{
public:
    CCJFlatButton();

    // The button must be owner-drawn (BS_OWNERDRAW); the icon stays the caller's.
    void SetButtonIcon(HICON hIcon, int cx, int cy);
    void SetFlat(BOOL bFlat) { m_bFlatLook = bFlat; }
    // Whether some flat button of the process is drawn raised.
    static BOOL IsAnyButtonRaised() { return m_bRaised; }
    const CRect& GetContentRect() const { return m_rcItem; }

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

protected:
    void PaintContent(CDC* pDC);
    void ReadColours();

    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSysColorChange();
    DECLARE_MESSAGE_MAP()

    UINT m_nState = 0;
    CRect m_rcItem;
    BOOL m_bLBtnDown = FALSE;
    BOOL m_bFlatLook = TRUE;
    int m_cxIcon = 0;
    int m_cyIcon = 0;
    COLORREF m_clrBtnHilite = 0;
    COLORREF m_clrBtnShadow = 0;
    COLORREF m_clrBtnDkShadow = 0;
    COLORREF m_clrBtnFace = 0;
    COLORREF m_clrGrayText = 0;
    COLORREF m_clrBtnText = 0;
    static BOOL m_bRaised;
};
