// The popup behind a tool bar's chevron: the buttons that do not fit on the bar, in a small window
// that behaves like a menu (it follows the mouse and the arrow keys, closes on a click elsewhere)
// and sends the chosen command to the bar.
#pragma once

#include "framework/Framework.h"

class CToolBarEx;

// Ends the popup's modal loop.
#define WM_TOOLBARPOPUP_CLOSE (WM_USER + 101)

class CToolBarPopup : public CWnd
{
    DECLARE_DYNAMIC(CToolBarPopup)
public:
    explicit CToolBarPopup(CToolBarEx* pToolBar);
    ~CToolBarPopup() override;

    // Creates, places and shows the popup and runs it until it closes; FALSE when there was
    // nothing to show.
    BOOL ShowPopup(UINT nFlags, int x, int y, const RECT* pExclude);
    // Where a popup of that size goes, by the rules of TrackPopupMenuEx: nFlags comes back with
    // the direction of animation that the choice implies.
    static CRect PASCAL CalcPosition(CSize size, UINT& nFlags, int x, int y, const RECT* pExclude,
                                     const RECT& rcDesktop);

    // A mouse press that closed a menu-like window goes on to the window under the point: to its
    // client area, or to its non-client part by its hit test.
    static void PASCAL RepostButtonPress(UINT nMsg, UINT nFlags, POINT ptScreen);
    // The popup that is open, or null.
    static CToolBarPopup* PASCAL GetOpenPopup();
    CToolBarCtrl& GetInnerBar() { return m_tbCtrl; }

protected:
    BOOL CreatePopup();
    BOOL FillInnerBar();
    void Close();
    // The hot button moved by one, round the ends, over buttons that cannot be hot.
    void MoveHotItem(int nStep);
    BOOL IsInnerBar(HWND hWnd) const { return m_tbCtrl.m_hWnd && hWnd == m_tbCtrl.m_hWnd; }
    void DrawFlatBorder(CDC* pDC);
    LRESULT OnFlatCustomDraw(NMTBCUSTOMDRAW* pDraw);
    void DrawHighlightedItem(NMTBCUSTOMDRAW* pDraw, COLORREF crHighlight);
    static LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);

    CToolBarEx* m_pToolBar;
    CToolBarCtrl m_tbCtrl;
    BOOL m_bOverTbCtrl;
    BOOL m_bTextLabels;
    BOOL m_bFlatMenuStyle;

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnNcPaint();
    afx_msg LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnClosePopup(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
