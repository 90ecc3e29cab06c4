// A frame window: the top-level (or MDI child) window that holds control bars around a client
// area of views. It lays the bars out (RecalcLayout through WM_SIZEPARENT), keeps the active view
// and routes commands view -> document -> frame -> application, updates menus and bars through
// CCmdUI, shows menu prompts on its status bar, and deletes itself when its window goes.
#pragma once

#include "framework/CWnd.h"
#include "framework/CList.h"
#include "framework/CCreateContext.h"

class CView;
class CDocument;
class CControlBar;
struct CPrintPreviewState;

// Frame styles (in the window style word, removed before the window is made).
#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS 0x00002000L

class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)
public:
    static const CRect rectDefault;
    CFrameWnd();
    ~CFrameWnd() override;

    virtual BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCWSTR lpszMenuName = nullptr,
                        DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    // Menu, accelerators, icon and title (the first "\n" field of the string) of resource
    // nIDResource; the view through pContext.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    // The view class of pContext as child nID; null on failure.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = 0xE900 /* AFX_IDW_PANE_FIRST */);

    // ---- views and documents
    virtual CDocument* GetActiveDocument();
    CView* GetActiveView() const { return m_pViewActive; }
    // Tells the old and new views (OnActivateView) when bNotify; the new view gets the focus.
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CFrameWnd* GetActiveFrame() { return this; }
    BOOL IsFrameWnd() const override { return TRUE; }
    // Views first get WM_INITIALUPDATE, then the frame shows (the main frame as the program was
    // asked to show) and its title follows the document.
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);

    // ---- layout
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // The layout happens at the next idle time.
    void DelayRecalcLayout(BOOL bNotify = TRUE);
    CRect m_rectBorder; // space kept free around the view area

    // ---- title and menu
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void UpdateFrameTitleForDocument(LPCWSTR lpszDocName);
    void SetTitle(LPCWSTR lpszTitle) { m_strTitle = lpszTitle; }
    CString GetTitle() const { return m_strTitle; }
    virtual void OnUpdateFrameMenu(HMENU hMenuAlt);
    virtual void DelayUpdateFrameMenu(HMENU hMenuAlt);
    void DelayUpdateFrameTitle() { m_nIdleFlags |= idleTitle; }
    // The document's accelerators, else the frame's.
    virtual HACCEL GetDefaultAccelerator();

    // ---- control bars and the message bar
    CControlBar* GetControlBar(UINT nID);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    // The prompt of a command: its string resource up to the first "\n" (the idle text for
    // AFX_IDS_IDLEMESSAGE when the program has no such string).
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    void SetMessageText(LPCWSTR lpszText);
    void SetMessageText(UINT nID);
    // The status bar (child AFX_IDW_STATUS_BAR), or null.
    virtual CWnd* GetMessageBar();

    // ---- modal state: the frame and its pop-ups disabled while another window is modal
    virtual void BeginModalState();
    virtual void EndModalState();
    BOOL InModalState() const { return m_cModalStack != 0; }

    // ---- print preview
    virtual void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };

    BOOL m_bAutoMenuEnable; // commands without handlers are disabled in menus
    int m_nWindow;          // the frame's number for its document (":n"), -1 for the only one
    HMENU m_hMenuDefault;   // the frame's own menu
    HACCEL m_hAccelTable;   // the frame's own accelerators
    UINT m_nIDHelp;         // the resource id the frame was loaded from
    UINT m_nIdleFlags;      // IdleFlags
    CPtrList m_listControlBars;
    int m_nShowDelay;      // a show command waiting for idle time, -1 for none
    UINT m_nIDTracking;    // the menu prompt to show
    UINT m_nIDLastMessage; // the prompt shown last
    CView* m_pViewActive;
    BOOL(CALLBACK* m_lpfnCloseProc)(CFrameWnd* pFrameWnd); // set during print preview
    HMENU m_hMenuAlt;
    CString m_strTitle;
    BOOL m_bInRecalcLayout;
    UINT m_cModalStack;
    HWND* m_phWndDisable;       // windows BeginModalState disabled, null-terminated
    CFrameWnd* m_pNextFrameWnd; // the thread's frames (idle updates reach each)

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
    // Rebuilds the caption: "document - application" (or the other way with FWS_PREFIXTITLE).
    void UpdateFrameTitle(BOOL bAddToTitle, LPCWSTR lpszDocName);
    LPCWSTR GetIconWndClass(DWORD dwDefaultStyle, UINT nIDResource);
    void BringToTop(int nCmdShow);
    int OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext);

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg void OnInitMenuPopup(CMenu* pMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg void OnEnterIdle(UINT nWhy, CWnd* pWho);
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnEndSession(BOOL bEnding);
    afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnActivateTopLevel(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnBarCheck(UINT nID);
    afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    afx_msg void OnUpdateKeyIndicator(CCmdUI* pCmdUI);
    afx_msg BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);

    friend class CWinThread;
    friend class CView;
    DECLARE_MESSAGE_MAP()
};

// What a frame keeps while it shows a print preview, to put itself back afterwards.
struct CPrintPreviewState
{
    UINT nIDMainPane = 0xE900; // the pane id the preview view takes
    HMENU hMenu = nullptr;     // the frame's menu before the preview
    DWORD dwStates = 0;        // which of the first 32 control bars were visible
    CView* pViewActiveOld = nullptr;
    BOOL(CALLBACK* lpfnCloseProc)(CFrameWnd* pFrameWnd) = nullptr;
    HACCEL hAccelTable = nullptr;
};
