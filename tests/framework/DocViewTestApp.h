// A small document/view program for the tests: a document, a main frame with a rebar holding a
// tool bar, a dialog bar and a status bar around two nested static splitters (tree, list and
// scroll view), and a second top-level frame with its own tool bar. Everything it does is logged.
#pragma once

#include "common/WindowTestUtil.h"

#include "FrameworkTestRes.h"

// What the program's objects did, in order ("doc;frame;...").
extern CString g_docViewLog;
// Live objects of the program's classes (each constructor counts up, each destructor down).
extern int g_docViewObjects;

class CTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CTestDoc)
public:
    CTestDoc();
    ~CTestDoc() override;
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCWSTR lpszPathName) override;

protected:
    afx_msg BOOL OnShared(UINT nID);
    afx_msg void OnDocCommand();
    DECLARE_MESSAGE_MAP()
};

class CTestTemplate : public CSingleDocTemplate
{
public:
    CTestTemplate();

protected:
    afx_msg BOOL OnShared(UINT nID);
    DECLARE_MESSAGE_MAP()
};

// What a view heard through OnUpdate.
struct UpdateRecord
{
    CView* sender = nullptr;
    LPARAM hint = -1;
    CObject* object = nullptr;
    int count = 0;
};

class CTestTreeView : public CTreeView
{
    DECLARE_DYNCREATE(CTestTreeView)
public:
    CTestTreeView();
    ~CTestTreeView() override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    UpdateRecord m_update;
    HTREEITEM m_hRoot = nullptr;
    int m_expanded = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg BOOL OnShared(UINT nID);
    afx_msg void OnItemExpanded(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()
};

class CTestListView : public CListView
{
    DECLARE_DYNCREATE(CTestListView)
public:
    CTestListView();
    ~CTestListView() override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    UpdateRecord m_update;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg BOOL OnShared(UINT nID);
    afx_msg void OnViewCommand();
    DECLARE_MESSAGE_MAP()
};

class CTestScrollView : public CScrollView
{
    DECLARE_DYNCREATE(CTestScrollView)
public:
    CTestScrollView();
    ~CTestScrollView() override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(CDC* pDC) override;
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    UpdateRecord m_update;
    CPoint m_originAtDraw;
    UINT m_lastPagePrinted = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg BOOL OnShared(UINT nID);
    afx_msg void OnViewCommand();
    DECLARE_MESSAGE_MAP()
};

// A control bar holding a rebar control whose bands hold other bars.
class CTestReBar : public CControlBar
{
public:
    BOOL Create(CWnd* pParentWnd);
    BOOL AddBar(CControlBar* pBar);
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    CReBarCtrl m_wndReBar;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

class CTestMainFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CTestMainFrame)
public:
    CTestMainFrame();
    ~CTestMainFrame() override;

    CTestReBar m_wndReBar;
    CToolBar m_wndToolBar;
    CDialogBar m_wndDialogBar;
    CStatusBar m_wndStatusBar;
    CSplitterWnd m_wndOuter;
    CSplitterWnd m_wndInner;
    CTestTreeView* m_pTree = nullptr;
    CTestListView* m_pList = nullptr;
    CTestScrollView* m_pScroll = nullptr;
    HBITMAP m_hToolBitmap = nullptr; // the tool bar's images, owned by the tool bar

protected:
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg BOOL OnShared(UINT nID);
    afx_msg void OnFrameCommand();
    afx_msg void OnUpdateCheck(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};

// A top-level frame outside the main window's tree (as the picture windows are).
class CTestPicFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CTestPicFrame)
public:
    CTestPicFrame();
    ~CTestPicFrame() override;
    CToolBar m_wndToolBar;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnPictureCommand();
    DECLARE_MESSAGE_MAP()
};

// A bitmap strip of n 16x15 images, each a different grey.
HBITMAP MakeToolBitmap(int n);

// The running program: the template opens a document on a scratch folder, which makes the main
// frame; the destructor closes everything.
class DocViewProgram
{
public:
    DocViewProgram();
    ~DocViewProgram();
    DocViewProgram(const DocViewProgram&) = delete;
    DocViewProgram& operator=(const DocViewProgram&) = delete;

    CTestMainFrame* Frame() const { return m_frame; }
    CTestDoc* Document() const { return m_document; }
    // Closes the main frame (and with it the document).
    void Close();

    FrameworkScratchFolder m_folder;
    CTestTemplate m_template;

private:
    CTestMainFrame* m_frame = nullptr;
    CTestDoc* m_document = nullptr;
};
