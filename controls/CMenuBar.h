// A frame's menu shown as a tool bar in a band of the sizable rebar: it can be moved, hidden and
// collapsed behind the chevron like any bar, and still works as a window menu (Alt and F10,
// mnemonics, arrow keys between the menus, the MDI child's icon and caption buttons).
#pragma once

#include "controls/CMenuBarButton.h"
#include "framework/Framework.h"

// Opens the popup of a button: wParam the index, lParam low word "select the first item", high
// word "a clipped button goes through the chevron".
#define WM_MENUBAR_OPENPOPUP (WM_USER + 100)

// The command ids of the menu bar's buttons: the MDI child's icon, then one per popup.
#define ID_MENUBAR_CHILDICON 65000
#define ID_MENUBAR_FIRSTPOPUP 65001
#define ID_MENUBAR_LAST 65100

class CMenuBar : public CToolBar
{
    DECLARE_DYNAMIC(CMenuBar)
public:
    CMenuBar();
    ~CMenuBar() override;

    BOOL SetMenu(HMENU hMenu);
    HMENU GetMenu() const { return m_hMenu; }
    // The font from the cached menu font, the button and band sizes from it.
    void UpdateFont();
    // Alt or F10 alone: key mode on the first menu, or the chevron when it is hidden there.
    BOOL HandleKeyMenu(UINT nID, LPARAM lParam);
    // A mnemonic typed while no menu is open; TRUE when a button takes it.
    BOOL OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    // Relays of the frame's menu messages while a popup of the bar is open.
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    void SetActive(BOOL bActive);

    BOOL IsKeyMode() const { return m_bKeyMode; }
    BOOL IsTracking() const { return m_bTracking; }
    int GetCurrentIndex() const { return m_nCurrentIndex; }
    HWND GetMDIChild() const { return m_hWndMDIChild; }
    const CMenuBarButton* GetMDIButton(int nIndex) const { return m_arrButtons[nIndex]; }

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFOW* pTI) const override;

protected:
    void EnterKeyMode(int nIndex);
    void LeaveKeyMode();
    void TrackPopups();
    // The popup (or the chevron) of a button, the item whose menu opens first.
    void PushChevron(int nIndex);
    void ShowChevronMenu(const RECT& rcChevron, int nIndex);
    BOOL IsClipped(int nIndex) const;
    int GetBandIndex() const;
    HWND GetReBarWindow() const;
    CFrameWnd* GetFrame() const;
    // A change of the hot button made by the user (mouse, arrows, mnemonic); FALSE refuses it.
    BOOL OnHotChange(int nNewIndex, BOOL bByMouse);
    int NextMenuButton(int nFrom, int nStep) const;
    void LayoutMDIButtons(const CRect& rcChild);
    void RepostButtonPress(UINT message, UINT nFlags, CPoint point);
    void OpenTheme();
    void CloseTheme();
    static LRESULT CALLBACK MenuFilterProc(int nCode, WPARAM wParam, LPARAM lParam);

    UINT m_cbBandInfo;
    CFont m_font;
    int m_xLastMouse;
    int m_yLastMouse;
    HWND m_hWndMDIChild;
    HWND m_hWndSavedFocus;
    HMENU m_hMenu;
    HMENU m_hMenuOpen;
    int m_nCurrentIndex;
    BOOL m_bKeyMode;
    BOOL m_bTracking;
    BOOL m_bInOwnPopup;
    BOOL m_bItemHasSubmenu;
    BOOL m_bEscaped;
    BOOL m_bTrackAgain;
    BOOL m_bSelectFirst;
    BOOL m_bMDIButtonTracking;
    BOOL m_bFrameActive;
    CTypedPtrArray<CPtrArray, CMenuBarButton*> m_arrButtons;
    HTHEME m_hTheme;
    // A chevron asked for while a popup was open: pushed once the popup has closed.
    int m_nPendingChevron;
    BOOL m_bChevronPending;
    int m_nPressedMDIButton;
    DWORD m_dwDrawTextFlags;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg LRESULT OnThemeChanged();
    afx_msg LRESULT OnOpenPopup(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnReBarChildSize(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnReBarChevronPushed(WPARAM wParam, LPARAM lParam);
    afx_msg void OnHotItemChange(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnDropDown(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnUpdateMenuButton(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()
};
