// The popup palette of the colour picker: 40 named colour cells in rows of eight, an optional
// default entry above them and an optional entry below that opens the system colour dialog, whose
// sixteen custom colours are kept in the registry. It holds the mouse capture while open, tells
// its picker every change of the hot cell and, once its window exists, deletes itself when the
// window goes; a popup whose Create fails is its creator's to delete.
#pragma once

#include "framework/Framework.h"

class CColourPopupXP : public CWnd
{
public:
    CColourPopupXP();

    // The cell indices besides 0..39.
    enum { CellNone = -1, CellCustom = -2, CellDefault = -3 };

    BOOL Create(CPoint p, COLORREF crColour, CWnd* pParentWnd, LPCWSTR szDefaultText = nullptr,
                LPCWSTR szCustomText = nullptr, LPCWSTR szRegSection = nullptr);

    int GetHotCell() const { return m_nCurrentSel; }
    int GetChosenCell() const { return m_nChosenColourSel; }
    COLORREF GetCurrentColour() const { return m_crColour; }
    BOOL GetCellRect(int nIndex, LPRECT rect) const;
    const CRect& GetGridRect() const { return m_BoxesRect; }
    // The cell a client point lies in (CellNone outside every cell).
    int CellAt(CPoint point) const;
    CToolTipCtrl& GetToolTip() { return m_ToolTip; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PostNcDestroy() override;

    void Layout();
    void ChangeSelection(int nIndex);
    void EndSelection(UINT nMessage);
    void PaintCell(CDC* pDC, int nIndex);
    void PaintSeparator(CDC* pDC, CRect rect, UINT nEdge, UINT nFlags);
    int Row(int nIndex) const { return nIndex / m_nNumColumns; }
    int Column(int nIndex) const { return nIndex % m_nNumColumns; }
    int NextCell(UINT nKey) const;

    afx_msg void OnPaint();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    afx_msg BOOL OnQueryNewPalette();
    afx_msg void OnPaletteChanged(CWnd* pFocusWnd);
    DECLARE_MESSAGE_MAP()

    int m_nNumColumns = 8;
    int m_nNumRows = 0;
    int m_nBoxSize = 18;
    int m_nMargin;
    int m_nCurrentSel = CellNone;
    int m_nChosenColourSel = CellNone;
    int m_nNumColours = 40;
    CString m_strDefaultText;
    CString m_strCustomText;
    CRect m_CustomTextRect;
    CRect m_DefaultTextRect;
    CRect m_WindowRect;
    CRect m_BoxesRect;
    CFont m_Font;
    CPalette m_Palette;
    COLORREF m_crInitialColour = CLR_DEFAULT;
    COLORREF m_crColour = CLR_DEFAULT;
    CToolTipCtrl m_ToolTip;
    CWnd* m_pParent = nullptr;
    BOOL m_bChildWindowVisible = FALSE;
    BOOL m_bIsXP = FALSE;
    BOOL m_bFlatMenus = FALSE;
    COLORREF m_clrBackground;
    COLORREF m_clrHiLightBorder;
    COLORREF m_clrHiLight;
    COLORREF m_clrHiLightText;
    COLORREF m_clrText;
    COLORREF m_clrLoLight;
    CString m_strRegSection;
    BOOL m_bOwnsItself = FALSE;
};
