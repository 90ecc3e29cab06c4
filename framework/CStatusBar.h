// The status bar: a status-window common control as a bar. Its panes come from indicator ids
// (the width of each from its string's text), the first pane shows the frame's prompts (the bar's
// window text is pane 0), owner-drawn panes draw through DrawItem, and panes update through
// CCmdUI at idle time.
#pragma once

#include "framework/CControlBar.h"

// Pane styles
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS SBT_NOBORDERS
#define SBPS_POPOUT SBT_POPOUT
#define SBPS_OWNERDRAW SBT_OWNERDRAW
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000

class CStatusBar : public CControlBar
{
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();
    ~CStatusBar() override;

    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                        UINT nID = 0xE801 /* AFX_IDW_STATUS_BAR */);
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                          UINT nID = 0xE801 /* AFX_IDW_STATUS_BAR */);
    // One pane per id; a non-zero id's string gives its text and width (FALSE when a string is
    // missing); ID_SEPARATOR makes a stretching pane without borders.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    void GetPaneText(int nIndex, CString& rString) const;
    CString GetPaneText(int nIndex) const;
    BOOL SetPaneText(int nIndex, LPCWSTR lpszNewText, BOOL bUpdate = TRUE);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);

    // Owner-drawn panes: the control asks its parent, which reflects the message here.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

    struct AFX_STATUSPANE
    {
        UINT nID;
        UINT nStyle;
        int cxText; // the text area's width
        CString strText;
    };

protected:
    AFX_STATUSPANE* PanePtr(int nIndex) const;
    // Sends the panes' right edges (the stretching panes share what is left) and texts.
    void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetMinHeight(WPARAM wParam, LPARAM lParam);

    int m_nMinHeight;
    AFX_STATUSPANE* m_pPanes;

    DECLARE_MESSAGE_MAP()
};
