// A window: the C++ object bound to a Windows handle. All framework windows share one window
// procedure; messages go WindowProc -> OnWndMsg (the message map, WM_COMMAND/WM_NOTIFY routed
// through OnCommand/OnNotify with reflection to the sending control first) -> DefWindowProc.
#pragma once

#include "framework/CCmdTarget.h"
#include "framework/CRect.h"
#include "framework/CString.h"
#include "framework/MessageMapWm.h"
#include "framework/ThreadState.h"

// winuser.h makes GetNextWindow a two-argument alias of GetWindow; here it is CWnd's member.
#ifdef GetNextWindow
#undef GetNextWindow
#endif

class CDC;
class CMenu;
class CFont;
class CRgn;
class CScrollBar;
class CListBox;
class CDataExchange;
class CFrameWnd;
class COleDropTarget;
struct CCreateContext;

// Passed with WM_SIZEPARENT: the rectangle still free (each bar takes its part), the deferred
// moves, and the total size the bars asked for.
struct AFX_SIZEPARENTPARAMS
{
    HDWP hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};

// CWnd::m_nFlags
#define WF_TOOLTIPS 0x0001
#define WF_TEMPHIDE 0x0002
#define WF_STAYDISABLED 0x0004
#define WF_MODALLOOP 0x0008
#define WF_CONTINUEMODAL 0x0010
#define WF_OLECTLCONTAINER 0x0100
#define WF_TRACKINGTOOLTIPS 0x0400
#define WF_STAYACTIVE 0x0020
#define WF_NOPOPMSG 0x0040
#define WF_MODALDISABLE 0x0080
#define WF_KEEPMINIACTIVE 0x0200

// RunModalLoop flags
#define MLF_NOIDLEMSG 0x0001
#define MLF_NOKICKIDLE 0x0002
#define MLF_SHOWONIDLE 0x0004

// Command ids from here up are commands (menus, accelerators); below, control ids.
#define IS_COMMAND_ID(nID) ((nID) >= 0x8000)

class CWnd : public CCmdTarget
{
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd;
    // Insert-after values for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    // Null-safe: callers commonly ask a pointer that may be null.
    HWND GetSafeHwnd() const { return AfxIsNullObject(this) ? nullptr : m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }
    BOOL operator==(const CWnd& wnd) const { return wnd.m_hWnd == m_hWnd; }
    BOOL operator!=(const CWnd& wnd) const { return wnd.m_hWnd != m_hWnd; }

    // ---- handle maps (per thread)
    // The object of a handle: the permanent one, else a temporary wrapper deleted at idle time.
    static CWnd* PASCAL FromHandle(HWND hWnd);
    // Only an object the program attached; never makes a wrapper.
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    static void PASCAL DeleteTempMap();
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    static void AFXAPI DeleteTempWnd(CWnd* pWnd);

    // ---- creation and destruction
    virtual BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x, int y,
                          int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Called once the object owns its handle, whether created or subclassed.
    virtual void PreSubclassWindow();

    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    virtual WNDPROC* GetSuperWndProcAddr();

    // ---- message handling
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers pMsg to PreTranslateMessage of its window and each parent up to hWndStop.
    static BOOL PASCAL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    BOOL PreTranslateInput(LPMSG lpMsg);
    BOOL IsDialogMessage(LPMSG lpMsg);
    // The message being handled on this thread (window, message, parameters).
    static const MSG* PASCAL GetCurrentMessage();
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE,
                                  BOOL bOnlyPerm = FALSE);
    static BOOL PASCAL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);
    BOOL SendChildNotifyLastMsg(LRESULT* pResult = nullptr);

    // ---- modal loop
    virtual int RunModalLoop(DWORD dwFlags = 0);
    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int nResult);

    // ---- data exchange and dialog initialisation
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // Fills list and combo boxes from the dialog-init resource (type 240) of that name; TRUE when
    // there is none.
    BOOL ExecuteDlgInit(LPCWSTR lpszResourceName);
    BOOL ExecuteDlgInit(LPVOID lpResource);
    // Updates every child control through pTarget's update handlers; push buttons without a
    // handler are disabled when bDisableIfNoHndler.
    void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    // ---- frames and layout
    // The nearest frame above (not this window itself); null when none.
    CFrameWnd* GetParentFrame() const;
    // The outermost frame of the parent chain (this window when it is a frame and has none).
    CFrameWnd* GetTopLevelFrame() const;
    // GetParentFrame, raising the invalid-argument exception when there is none.
    CFrameWnd* EnsureParentFrame() const;
    virtual BOOL IsFrameWnd() const;
    enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2, reposNoPosLeftOver = 0x8000 };
    // Lays out the children with ids nIDFirst..nIDLast (WM_SIZEPARENT, each taking its share of
    // the client area) and gives the rest to child nIDLeftOver. reposQuery only measures: the
    // rest goes to *lpRectParam. reposExtra keeps *lpRectParam's margins free around the rest.
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                        LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);

    // ---- tool tips for child windows and hit-tested areas (the thread's one tip window)
    BOOL EnableToolTips(BOOL bEnable = TRUE);
    // The tool under point (client coordinates): fills *pTI and returns its id, -1 for none. The
    // base answers the child window under the point.
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFOW* pTI) const;
    static void PASCAL CancelToolTips(BOOL bKeys = FALSE);
    // Run by the pre-translate walk: mouse messages over a window with tips enabled show them.
    void FilterToolTipMessage(MSG* pMsg);

    // ---- owner and hierarchy
    // The window a message box or modal dialog should be owned by; with pWndTop, also the
    // top-level window it disables (re-enable it afterwards).
    static CWnd* PASCAL GetSafeOwner(CWnd* pParent = nullptr, HWND* pWndTop = nullptr);
    static HWND PASCAL GetSafeOwner_(HWND hParent, HWND* pWndTop);
    CWnd* GetParent() const;
    CWnd* SetParent(CWnd* pWndNewParent);
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwnerWnd);
    CWnd* GetTopLevelParent() const;
    CWnd* GetTopLevelOwner() const;
    CWnd* GetParentOwner() const;
    CWnd* GetWindow(UINT nCmd) const;
    CWnd* GetTopWindow() const;
    CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const;
    CWnd* GetLastActivePopup() const;
    BOOL IsChild(const CWnd* pWnd) const;
    CWnd* GetDescendantWindow(int nID, BOOL bOnlyPerm = FALSE) const;
    CWnd* GetDlgItem(int nID) const;
    void GetDlgItem(int nID, HWND* phWnd) const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int nID);
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;
    CWnd* GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;
    CWnd* ChildWindowFromPoint(POINT point) const;
    CWnd* ChildWindowFromPoint(POINT point, UINT nFlags) const;
    static CWnd* PASCAL WindowFromPoint(POINT point);
    static CWnd* PASCAL GetDesktopWindow();
    static CWnd* PASCAL FindWindow(LPCWSTR lpszClassName, LPCWSTR lpszWindowName);

    // ---- styles
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    static BOOL PASCAL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    static BOOL PASCAL ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);

    // ---- messages
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL SendNotifyMessage(UINT message, WPARAM wParam, LPARAM lParam) const;
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // ---- text and fonts
    void SetWindowText(LPCWSTR lpszString);
    int GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int nID, LPCWSTR lpszString);
    int GetDlgItemText(int nID, LPWSTR lpStr, int nMaxCount) const;
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;
    UINT IsDlgButtonChecked(int nIDButton) const;
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HICON GetIcon(BOOL bBigIcon) const;

    // ---- geometry
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const;
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl);
    void BringWindowToTop();
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    enum AdjustType { adjustBorder = 0, adjustOutside = 1 };
    virtual void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = adjustBorder);
    // Centres on the owner (or parent, for a child), kept inside the work area.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    // ---- state, visibility and painting
    BOOL IsWindowVisible() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowEnabled() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindow() const;
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE);
    void SetRedraw(BOOL bRedraw = TRUE);
    BOOL LockWindowUpdate();
    void UnlockWindowUpdate();
    CDC* GetDC();
    CDC* GetWindowDC();
    CDC* GetDCEx(CRgn* prgnClip, DWORD flags);
    int ReleaseDC(CDC* pDC);
    BOOL FlashWindow(BOOL bInvert);
    void DragAcceptFiles(BOOL bAccept = TRUE);

    // ---- focus, activation and capture
    CWnd* SetFocus();
    static CWnd* PASCAL GetFocus();
    CWnd* SetActiveWindow();
    static CWnd* PASCAL GetActiveWindow();
    BOOL SetForegroundWindow();
    static CWnd* PASCAL GetForegroundWindow();
    CWnd* SetCapture();
    static CWnd* PASCAL GetCapture();

    // ---- timers
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void(CALLBACK* lpfnTimer)(HWND, UINT, UINT_PTR, DWORD));
    BOOL KillTimer(UINT_PTR nIDEvent);

    // ---- scrolling (a splitter's shared scroll bar takes over through GetScrollBarCtrl)
    virtual CScrollBar* GetScrollBarCtrl(int nBar) const;
    int GetScrollPos(int nBar) const;
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const;
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    int GetScrollLimit(int nBar);
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE);
    BOOL EnableScrollBar(int nSBFlags, UINT nArrowFlags = ESB_ENABLE_BOTH);
    void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr);
    int ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, CRgn* prgnUpdate, LPRECT lpRectUpdate,
                       UINT flags);

    // ---- menus
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* pMenu);
    void DrawMenuBar();
    CMenu* GetSystemMenu(BOOL bRevert) const;

    int MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption = nullptr, UINT nType = MB_OK);

    UINT m_nFlags;
    HWND m_hWndOwner; // set by SetOwner; otherwise the owner is the parent
    int m_nModalResult;
    COleDropTarget* m_pDropTarget; // registered by COleDropTarget::Register, revoked on destruction

protected:
    explicit CWnd(HWND hWnd);

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Passes the current message to DefWindowProc.
    LRESULT Default();
    void NotifyTopLevelActivation(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A notification the parent reflected back; TRUE when this control handled it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void PostNcDestroy();
    virtual void DoDataExchange(CDataExchange* pDX);

    // A modeless dialog window from a template (AfxDlgProc as its dialog procedure), attached to
    // this object; the base of CDialog and of form-like windows.
    BOOL CreateDlg(LPCWSTR lpszTemplateName, CWnd* pParentWnd);
    BOOL CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst);

    WNDPROC m_pfnSuper; // the procedure the window had before it was subclassed

    friend LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

    // ---- handlers of the ON_WM_* entries; each does what Windows would do without them
    afx_msg int OnCreate(LPCREATESTRUCT /*lpCreateStruct*/) { return (int)Default(); }
    afx_msg BOOL OnNcCreate(LPCREATESTRUCT /*lpCreateStruct*/) { return (BOOL)Default(); }
    afx_msg void OnDestroy() { Default(); }
    afx_msg void OnNcDestroy();
    afx_msg void OnClose() { Default(); }
    afx_msg void OnPaint() { Default(); }
    afx_msg void OnNcPaint() { Default(); }
    afx_msg BOOL OnEraseBkgnd(CDC* /*pDC*/) { return (BOOL)Default(); }
    afx_msg void OnIconEraseBkgnd(CDC* /*pDC*/) { Default(); }
    afx_msg void OnSize(UINT /*nType*/, int /*cx*/, int /*cy*/) { Default(); }
    afx_msg void OnMove(int /*x*/, int /*y*/) { Default(); }
    afx_msg void OnSizing(UINT /*fwSide*/, LPRECT /*pRect*/) { Default(); }
    afx_msg void OnMoving(UINT /*fwSide*/, LPRECT /*pRect*/) { Default(); }
    afx_msg void OnEnterSizeMove() { Default(); }
    afx_msg void OnExitSizeMove() { Default(); }
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* /*lpMMI*/) { Default(); }
    afx_msg void OnWindowPosChanging(WINDOWPOS* /*lpwndpos*/) { Default(); }
    afx_msg void OnWindowPosChanged(WINDOWPOS* /*lpwndpos*/) { Default(); }
    afx_msg void OnStyleChanging(int /*nStyleType*/, LPSTYLESTRUCT /*lpStyleStruct*/) { Default(); }
    afx_msg void OnStyleChanged(int /*nStyleType*/, LPSTYLESTRUCT /*lpStyleStruct*/) { Default(); }
    afx_msg void OnShowWindow(BOOL /*bShow*/, UINT /*nStatus*/) { Default(); }
    afx_msg void OnEnable(BOOL /*bEnable*/) { Default(); }
    afx_msg void OnActivate(UINT /*nState*/, CWnd* /*pWndOther*/, BOOL /*bMinimized*/) { Default(); }
    afx_msg void OnActivateApp(BOOL /*bActive*/, DWORD /*dwThreadID*/) { Default(); }
    afx_msg BOOL OnNcActivate(BOOL /*bActive*/) { return (BOOL)Default(); }
    afx_msg int OnMouseActivate(CWnd* /*pDesktopWnd*/, UINT /*nHitTest*/, UINT /*message*/) { return (int)Default(); }
    afx_msg void OnChildActivate() { Default(); }
    afx_msg void OnSetFocus(CWnd* /*pOldWnd*/) { Default(); }
    afx_msg void OnKillFocus(CWnd* /*pNewWnd*/) { Default(); }
    afx_msg void OnCaptureChanged(CWnd* /*pWnd*/) { Default(); }
    afx_msg void OnCancelMode() { Default(); }
    afx_msg BOOL OnSetCursor(CWnd* /*pWnd*/, UINT /*nHitTest*/, UINT /*message*/) { return (BOOL)Default(); }
    afx_msg LRESULT OnNcHitTest(CPoint /*point*/) { return (LRESULT)Default(); }
    afx_msg void OnNcCalcSize(BOOL /*bCalcValidRects*/, NCCALCSIZE_PARAMS* /*lpncsp*/) { Default(); }
    afx_msg void OnNcMouseMove(UINT /*nHitTest*/, CPoint /*point*/) { Default(); }
    afx_msg void OnNcLButtonDown(UINT /*nHitTest*/, CPoint /*point*/) { Default(); }
    afx_msg void OnNcLButtonUp(UINT /*nHitTest*/, CPoint /*point*/) { Default(); }
    afx_msg void OnNcLButtonDblClk(UINT /*nHitTest*/, CPoint /*point*/) { Default(); }
    afx_msg void OnNcRButtonDown(UINT /*nHitTest*/, CPoint /*point*/) { Default(); }
    afx_msg void OnNcRButtonUp(UINT /*nHitTest*/, CPoint /*point*/) { Default(); }
    afx_msg void OnNcRButtonDblClk(UINT /*nHitTest*/, CPoint /*point*/) { Default(); }
    afx_msg void OnNcMButtonDown(UINT /*nHitTest*/, CPoint /*point*/) { Default(); }
    afx_msg void OnNcMButtonUp(UINT /*nHitTest*/, CPoint /*point*/) { Default(); }
    afx_msg void OnNcMButtonDblClk(UINT /*nHitTest*/, CPoint /*point*/) { Default(); }
    afx_msg void OnNcMouseHover(UINT /*nHitTest*/, CPoint /*point*/) { Default(); }
    afx_msg void OnNcMouseLeave() { Default(); }
    afx_msg void OnMouseMove(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    afx_msg void OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    afx_msg void OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    afx_msg void OnLButtonDblClk(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    afx_msg void OnRButtonDown(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    afx_msg void OnRButtonUp(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    afx_msg void OnRButtonDblClk(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    afx_msg void OnMButtonDown(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    afx_msg void OnMButtonUp(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    afx_msg void OnMButtonDblClk(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    afx_msg void OnMouseHover(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    afx_msg void OnMouseLeave() { Default(); }
    afx_msg BOOL OnMouseWheel(UINT /*nFlags*/, short /*zDelta*/, CPoint /*pt*/) { return (BOOL)Default(); }
    afx_msg void OnXButtonDown(UINT /*nFlags*/, UINT /*nButton*/, CPoint /*point*/) { Default(); }
    afx_msg void OnXButtonUp(UINT /*nFlags*/, UINT /*nButton*/, CPoint /*point*/) { Default(); }
    afx_msg void OnXButtonDblClk(UINT /*nFlags*/, UINT /*nButton*/, CPoint /*point*/) { Default(); }
    afx_msg void OnKeyDown(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) { Default(); }
    afx_msg void OnKeyUp(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) { Default(); }
    afx_msg void OnChar(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) { Default(); }
    afx_msg void OnDeadChar(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) { Default(); }
    afx_msg void OnSysKeyDown(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) { Default(); }
    afx_msg void OnSysKeyUp(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) { Default(); }
    afx_msg void OnSysChar(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) { Default(); }
    afx_msg void OnSysDeadChar(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) { Default(); }
    afx_msg void OnTimer(UINT_PTR /*nIDEvent*/) { Default(); }
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnContextMenu(CWnd* /*pWnd*/, CPoint /*pos*/) { Default(); }
    afx_msg void OnSysCommand(UINT /*nID*/, LPARAM /*lParam*/) { Default(); }
    afx_msg void OnInitMenu(CMenu* /*pMenu*/) { Default(); }
    afx_msg void OnInitMenuPopup(CMenu* /*pPopupMenu*/, UINT /*nIndex*/, BOOL /*bSysMenu*/) { Default(); }
    afx_msg void OnMenuSelect(UINT /*nItemID*/, UINT /*nFlags*/, HMENU /*hSysMenu*/) { Default(); }
    afx_msg LRESULT OnMenuChar(UINT /*nChar*/, UINT /*nFlags*/, CMenu* /*pMenu*/) { return (LRESULT)Default(); }
    afx_msg void OnEnterMenuLoop(BOOL /*bIsTrackPopupMenu*/) { Default(); }
    afx_msg void OnExitMenuLoop(BOOL /*bIsTrackPopupMenu*/) { Default(); }
    afx_msg void OnEnterIdle(UINT /*nWhy*/, CWnd* /*pWho*/) { Default(); }
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg void OnDeleteItem(int nIDCtl, LPDELETEITEMSTRUCT lpDeleteItemStruct);
    afx_msg int OnCompareItem(int nIDCtl, LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    afx_msg int OnCharToItem(UINT nChar, CListBox* pListBox, UINT nIndex);
    afx_msg int OnVKeyToItem(UINT nKey, CListBox* pListBox, UINT nIndex);
    afx_msg void OnParentNotify(UINT message, LPARAM lParam);
    afx_msg UINT OnGetDlgCode() { return (UINT)Default(); }
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg void OnSysColorChange();
    afx_msg void OnFontChange() { Default(); }
    afx_msg void OnTimeChange() { Default(); }
    afx_msg void OnDevModeChange(LPTSTR /*lpDeviceName*/) { Default(); }
    afx_msg void OnPaletteChanged(CWnd* /*pFocusWnd*/) { Default(); }
    afx_msg void OnPaletteIsChanging(CWnd* /*pRealizeWnd*/) { Default(); }
    afx_msg BOOL OnQueryNewPalette() { return (BOOL)Default(); }
    afx_msg BOOL OnDeviceChange(UINT /*nEventType*/, DWORD_PTR /*dwData*/) { return (BOOL)Default(); }
    afx_msg LRESULT OnThemeChanged() { return (LRESULT)Default(); }
    afx_msg BOOL OnCopyData(CWnd* /*pWnd*/, COPYDATASTRUCT* /*pCopyDataStruct*/) { return (BOOL)Default(); }
    afx_msg void OnDropFiles(HDROP /*hDropInfo*/) { Default(); }
    afx_msg BOOL OnHelpInfo(HELPINFO* /*pHelpInfo*/) { return (BOOL)Default(); }
    afx_msg BOOL OnQueryEndSession() { return (BOOL)Default(); }
    afx_msg void OnEndSession(BOOL /*bEnding*/) { Default(); }
    afx_msg HCURSOR OnQueryDragIcon() { return (HCURSOR)Default(); }
    afx_msg void OnAppCommand(CWnd* /*pWnd*/, UINT /*nCmd*/, UINT /*nDevice*/, UINT /*nKey*/) { Default(); }

    DECLARE_MESSAGE_MAP()
};

// Moves hWnd to lpRect (its parent's client coordinates), deferred through lpLayout->hDWP when
// there is one; nothing when it is there already.
void AFXAPI AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect);

// The window procedure of every framework window.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
WNDPROC AFXAPI AfxGetAfxWndProc();
// Dispatches one message to pWnd with the thread's current message set, catching exceptions.
LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
// Handles the exception being caught (call only inside a catch block) the way the common window
// procedure does, for callbacks of the framework and the program (dialog procedures, hooks,
// timers): a CException is reported through the thread's ProcessWndProcException, anything else
// is logged. Returns the neutral result for pMsg.
LRESULT AFXAPI AfxProcessDispatchException(const MSG* pMsg);
// Window creation: the next window created on this thread is attached to pWnd.
void AFXAPI AfxHookWindowCreate(CWnd* pWnd);
// FALSE when no window was attached to the pending object.
BOOL AFXAPI AfxUnhookWindowCreate();

// A dialog template from the resources (the resource handle first, then the instance); null when
// there is none. *phInst receives the module it came from.
LPCDLGTEMPLATE AFXAPI AfxLoadDialogTemplate(LPCWSTR lpszTemplateName, HINSTANCE* phInst);
// A window class with the given look and the default window procedure; the generated name is
// valid until the next call on this thread.
LPCWSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                                   HICON hIcon = nullptr);
BOOL AFXAPI AfxRegisterClass(WNDCLASSW* lpWndClass);
CWnd* AFXAPI AfxGetMainWnd();
// One message through the current thread's pump; FALSE on WM_QUIT.
BOOL AFXAPI AfxPumpMessage();
// FALSE for messages that should not restart idle processing (repeated mouse moves, paints, timers).
BOOL AFXAPI AfxIsIdleMessage(MSG* pMsg);
void AFXAPI AfxPostQuitMessage(int nExitCode);
