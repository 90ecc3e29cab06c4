// A control bar hosting a rebar control, one bar per band (menu bar, tool bars, any child). It
// adds a sizing edge on its inner side, a context menu that shows, hides and locks the bands,
// the chevron and child-size plumbing of its bars, and the band state kept in the profile.
#pragma once

#include "framework/Framework.h"

// Messages from the rebar to the bar of a band.
#define WM_REBAR_CHILDSIZE (WM_USER + 102)     // wParam band RECT*, lParam child RECT* (rebar client)
#define WM_REBAR_CHEVRONPUSHED (WM_USER + 103) // wParam chevron RECT* (screen), lParam the application value
#define WM_REBAR_CONTEXTMENU (WM_USER + 104)   // wParam the CMenu* being built

// The lock command of the context menu.
#define ID_REBAR_LOCK 57859

// A band record of the longest layout the kit passes (the chevron fields follow the XP ones);
// cbSize says how much of it the control may use.
struct VyxBandInfo : REBARBANDINFOW
{
    RECT rcChevronLocation;
    UINT uChevronState;
};

struct BARINFO
{
    UINT nID;
    WCHAR szName[260];
    BOOL bFixed;   // its menu entry is greyed: the user cannot hide it
    BOOL bGripper; // shows a gripper while the rebar is not locked
};

class CSizableReBar : public CControlBar
{
    DECLARE_DYNAMIC(CSizableReBar)
public:
    CSizableReBar();
    ~CSizableReBar() override;

    // The cbSize every class talking to the rebar passes: 80 below common controls 6.1, else 100.
    static UINT PASCAL GetBandInfoSize();
    // Sets a band's minimum child size and ideal width (RBBIM_CHILDSIZE | RBBIM_IDEALSIZE) in the
    // rebar hWndReBar; with bSizeNew, a band never sized yet takes its ideal width too.
    static void PASCAL SetBandSizes(HWND hWndReBar, UINT cbSize, UINT nBandID, UINT cxMinChild, UINT cyMinChild,
                                    UINT cxIdeal, BOOL bSizeNew);
    // An empty record of cbSize bytes asking for fMask.
    static VyxBandInfo PASCAL MakeBandInfo(UINT cbSize, UINT fMask);

    BOOL Create(CWnd* pParentWnd, UINT nID, DWORD dwStyle);
    BOOL AddBar(CWnd* pBar, LPCWSTR pszText = nullptr, CBitmap* pbmp = nullptr,
                DWORD dwStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP, LPCWSTR lpszName = nullptr, BOOL bFixed = FALSE,
                BOOL bGripper = TRUE);
    BOOL AddBar(CWnd* pBar, COLORREF clrFore, COLORREF clrBack, LPCWSTR pszText = nullptr,
                DWORD dwStyle = RBBS_GRIPPERALWAYS, LPCWSTR lpszName = nullptr, BOOL bFixed = FALSE,
                BOOL bGripper = TRUE);
    BOOL SetBackground(CBitmap* pBitmap);
    void SetMenuOptions(BOOL bShowBandList, BOOL bAskBar);
    // The previous lock state.
    BOOL SetLocked(BOOL bLocked);
    BOOL IsLocked() const { return m_bLocked; }
    CReBarCtrl& GetReBarCtrl() { return m_wndReBar; }
    // Band order, widths, styles and the lock ("Version", "Locked", "BandStateInfo").
    void LoadState(LPCWSTR lpszProfileName);
    void SaveState(LPCWSTR lpszProfileName);
    int GetBarCount() const { return static_cast<int>(m_aBars.GetSize()); }
    // The bar's band alone in its row: it starts one, and the band after it starts the next.
    void GiveBandARow(CWnd* pBar);
    // The width the bar's band takes to show its whole bar (its ideal width and borders); 0 when
    // the bar has no band here.
    int GetFullBandWidth(CWnd* pBar);
    const BARINFO& GetBarInfo(int nIndex) const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    BOOL InsertBand(CWnd* pBar, REBARBANDINFOW& info, LPCWSTR lpszName, BOOL bFixed, BOOL bGripper);
    // The band style with or without a gripper, by the lock and the record.
    DWORD GripperStyle(DWORD dwStyle, BOOL bGripper) const;
    void ApplyLock(BOOL bLocked);
    // The edge strip of the docking side, in window coordinates of a window of that size.
    CRect EdgeRect(const CRect& window) const;
    int EdgeHitCode() const;
    void RecalcParentLayout();
    void ShowBarWindow(HWND hWndBar, BOOL bShow);

    UINT m_cbBandInfo;
    CReBarCtrl m_wndReBar;
    int m_nHitCode;
    int m_cxStart;
    int m_cyStart;
    int m_xLast;
    int m_yLast;
    BOOL m_bSizing;
    int m_cxEdge;
    int m_cyEdge;
    HBITMAP m_hbmBack;
    BOOL m_bShowBandList;
    BOOL m_bAskBar;
    BOOL m_bLocked;
    CArray<BARINFO, BARINFO&> m_aBars;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcPaint();
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg LRESULT OnRecalcParent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    DECLARE_MESSAGE_MAP()
};
