// A picture window: a top-level frame that shows one file of the document in a picture view, with
// its own menu, tool bar, status bar and accelerators. It follows the document: it shows the file
// at a document index, and becomes locked when that file is no longer in the document's list.
#pragma once

#include "controls/VyxFrameWndEx.h"
#include "foundation/VyxSharedMemory.h"
#include "script/VyxVariantArray.h"
#include "viewer/COneToolBar.h"
#include "viewer/COneView.h"
#include "viewer/OneViewSettings.h"

class CKWDoc;

// The colour-adjustment dialog's result: wParam a packed DIB that becomes the window's.
#define WMU_CONTRASTRESULT 0x7F4

class COneWnd : public VyxFrameWndEx
{
    DECLARE_DYNCREATE(COneWnd)
public:
    COneWnd();
    ~COneWnd() override;

    // nIndex < 0: the current index. The document's item shown, or null when there is none.
    VyxFile* ShowPicture(int nIndex);
    // Looks the shown file up in the document again; the locked flag.
    BOOL Relocate();
    int GetFitSize() const { return m_settings.FitSize; }
    void UpdateTitle(const VyxFile* item);
    void FitWindowToPicture(int width, int height, BOOL bRepaint);
    // With "FitSize" 1 the window takes the size of the view's picture. A hidden window's bars
    // keep one row whatever its width, so a window is fitted again once it shows.
    void FollowPicture();
    BOOL DestroyWindow() override;

    // The window text: "**locked** title", or "title (index + 1/count)", then " [page + 1/pages]"
    // when the file has more than one page.
    static CString FormatWindowText(const CString& title, BOOL bLocked, int nIndex, int nCount, int nPage, int nPages);
    // The zoom steps of a "ZoomSteps" text ({1} when it has none) and the index of the 100 % step.
    static void ParseZoomSteps(const wchar_t* text, VyxVariantArray& steps, int& nHundredStep);
    // The last activation state (WA_...) of any picture window.
    static UINT GetActivateState() { return s_nActivateState; }

    COneView* GetView() const { return m_pView; }
    int GetIndex() const { return m_nIndex; }
    BOOL IsLocked() const { return m_bLocked; }
    BOOL IsSynchronized() const { return m_bSynchronized; }
    OneViewSettings& GetSettings() { return m_settings; }
    CStatusBar& GetStatusBar() { return m_wndStatusBar; }

    CWnd* m_pOwner = nullptr;
    CKWDoc* m_pDocument = nullptr;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnDestroy();
    afx_msg void OnCloseAll();
    afx_msg void OnViewMenuBar();
    afx_msg void OnSynchronize();
    afx_msg void OnUpdateSynchronize(CCmdUI* pCmdUI);
    afx_msg LRESULT OnPictureWndBroadcast(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSlideshowEnded(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnContrastResult(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    friend class COneWndList;
    // A window destroyed without the override still leaves the list.
    void LeaveList();
    BOOL IsOwnerWindow() const;
    static BOOL IsBroadcastCommand(UINT nID);

    CString m_strTitleFormat;
    BOOL m_bTopMost;
    BOOL m_bSynchronized = FALSE;
    BOOL m_bLocked = FALSE;
    int m_nIndex = -1;
    CString m_strTitle;
    OneViewSettings m_settings;
    int m_nAngle = 0;
    VyxVariantArray m_zoomSteps;
    int m_nHundredStep = 0;
    VyxSharedMemory m_block;
    COneToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;
    COneView* m_pView = nullptr; // deletes itself with its window
    // Set by PostNcDestroy, so a window whose creation failed is deleted exactly once.
    bool* m_pDeleted = nullptr;

    static UINT s_nActivateState;
};
