#include "DocViewTestApp.h"

CString g_docViewLog;
int g_docViewObjects = 0;

namespace {

void Log(LPCWSTR text)
{
    g_docViewLog += text;
    g_docViewLog += L";";
}

} // namespace

// ---------------------------------------------------------------- document and template

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
ON_COMMAND_EX(ID_FWTEST_CMD_SHARED, OnShared)
ON_COMMAND(ID_FWTEST_CMD_DOC, OnDocCommand)
END_MESSAGE_MAP()

CTestDoc::CTestDoc()
{
    ++g_docViewObjects;
    Log(L"doc");
}

CTestDoc::~CTestDoc()
{
    --g_docViewObjects;
    Log(L"doc gone");
}

BOOL CTestDoc::OnNewDocument()
{
    Log(L"new");
    return CDocument::OnNewDocument();
}

BOOL CTestDoc::OnOpenDocument(LPCWSTR lpszPathName)
{
    Log(L"open");
    return CDocument::OnOpenDocument(lpszPathName);
}

BOOL CTestDoc::OnShared(UINT)
{
    Log(L"doc cmd");
    return FALSE; // the next target hears it too
}

void CTestDoc::OnDocCommand()
{
    Log(L"doc only");
}

BEGIN_MESSAGE_MAP(CTestTemplate, CSingleDocTemplate)
ON_COMMAND_EX(ID_FWTEST_CMD_SHARED, OnShared)
END_MESSAGE_MAP()

CTestTemplate::CTestTemplate()
    : CSingleDocTemplate(IDR_FWTEST_DOCFRAME, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestMainFrame),
                         RUNTIME_CLASS(CTestTreeView))
{
}

BOOL CTestTemplate::OnShared(UINT)
{
    Log(L"template cmd");
    return FALSE;
}

// ---------------------------------------------------------------- views

IMPLEMENT_DYNCREATE(CTestTreeView, CTreeView)

BEGIN_MESSAGE_MAP(CTestTreeView, CTreeView)
ON_WM_CREATE()
ON_COMMAND_EX(ID_FWTEST_CMD_SHARED, OnShared)
ON_NOTIFY_REFLECT(TVN_ITEMEXPANDEDW, OnItemExpanded)
END_MESSAGE_MAP()

CTestTreeView::CTestTreeView()
{
    ++g_docViewObjects;
}

CTestTreeView::~CTestTreeView()
{
    --g_docViewObjects;
}

int CTestTreeView::OnCreate(LPCREATESTRUCT lpcs)
{
    Log(L"tree");
    return CTreeView::OnCreate(lpcs);
}

void CTestTreeView::OnInitialUpdate()
{
    Log(L"init tree");
    CTreeCtrl& tree = GetTreeCtrl();
    tree.ModifyStyle(0, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);
    m_hRoot = tree.InsertItem(L"ルート");
    tree.InsertItem(L"写真", m_hRoot);
    tree.InsertItem(L"文書", m_hRoot);
    CTreeView::OnInitialUpdate();
}

void CTestTreeView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    m_update = {pSender, lHint, pHint, m_update.count + 1};
}

BOOL CTestTreeView::OnShared(UINT)
{
    Log(L"tree cmd");
    return FALSE;
}

void CTestTreeView::OnItemExpanded(NMHDR*, LRESULT* pResult)
{
    ++m_expanded;
    *pResult = 0;
}

IMPLEMENT_DYNCREATE(CTestListView, CListView)

BEGIN_MESSAGE_MAP(CTestListView, CListView)
ON_WM_CREATE()
ON_COMMAND_EX(ID_FWTEST_CMD_SHARED, OnShared)
ON_COMMAND(ID_FWTEST_CMD_VIEW, OnViewCommand)
END_MESSAGE_MAP()

CTestListView::CTestListView()
{
    ++g_docViewObjects;
}

CTestListView::~CTestListView()
{
    --g_docViewObjects;
}

int CTestListView::OnCreate(LPCREATESTRUCT lpcs)
{
    Log(L"list");
    return CListView::OnCreate(lpcs);
}

void CTestListView::OnInitialUpdate()
{
    Log(L"init list");
    CListCtrl& list = GetListCtrl();
    list.ModifyStyle(LVS_TYPEMASK, LVS_REPORT);
    list.InsertColumn(0, L"名前", LVCFMT_LEFT, 120);
    list.InsertColumn(1, L"大きさ", LVCFMT_RIGHT, 80);
    int item = list.InsertItem(0, L"写真.jpg");
    list.SetItemText(item, 1, L"12 KB");
    CListView::OnInitialUpdate();
}

void CTestListView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    m_update = {pSender, lHint, pHint, m_update.count + 1};
}

BOOL CTestListView::OnShared(UINT)
{
    Log(L"list cmd");
    return FALSE;
}

void CTestListView::OnViewCommand()
{
    Log(L"list view cmd");
}

IMPLEMENT_DYNCREATE(CTestScrollView, CScrollView)

BEGIN_MESSAGE_MAP(CTestScrollView, CScrollView)
ON_WM_CREATE()
ON_COMMAND_EX(ID_FWTEST_CMD_SHARED, OnShared)
ON_COMMAND(ID_FWTEST_CMD_VIEW, OnViewCommand)
END_MESSAGE_MAP()

CTestScrollView::CTestScrollView()
{
    ++g_docViewObjects;
}

CTestScrollView::~CTestScrollView()
{
    --g_docViewObjects;
}

int CTestScrollView::OnCreate(LPCREATESTRUCT lpcs)
{
    Log(L"scroll");
    return CScrollView::OnCreate(lpcs);
}

void CTestScrollView::OnInitialUpdate()
{
    Log(L"init scroll");
    SetScrollSizes(MM_TEXT, CSize(2000, 1500), CSize(400, 300), CSize(20, 15));
    CScrollView::OnInitialUpdate();
}

void CTestScrollView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    m_update = {pSender, lHint, pHint, m_update.count + 1};
    Invalidate();
}

void CTestScrollView::OnDraw(CDC* pDC)
{
    m_originAtDraw = pDC->GetViewportOrg();
    // A checkerboard of 100-pixel squares in document coordinates.
    for (int y = 0; y < 1500; y += 100)
        for (int x = 0; x < 2000; x += 100)
            pDC->FillSolidRect(x, y, 100, 100, ((x + y) / 100) % 2 ? RGB(40, 90, 160) : RGB(230, 230, 240));
}

BOOL CTestScrollView::OnPreparePrinting(CPrintInfo* pInfo)
{
    pInfo->SetMaxPage(3);
    return TRUE;
}

void CTestScrollView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    m_lastPagePrinted = pInfo->m_nCurPage;
    // A black band across the top of every page.
    pDC->FillSolidRect(0, 0, pInfo->m_rectDraw.Width(), pInfo->m_rectDraw.Height() / 4, RGB(0, 0, 0));
}

BOOL CTestScrollView::OnShared(UINT)
{
    Log(L"scroll cmd");
    return FALSE;
}

void CTestScrollView::OnViewCommand()
{
    Log(L"scroll view cmd");
}

// ---------------------------------------------------------------- the rebar bar

BEGIN_MESSAGE_MAP(CTestReBar, CControlBar)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CTestReBar::Create(CWnd* pParentWnd)
{
    m_dwStyle = CBRS_ALIGN_TOP;
    LPCWSTR className = AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE));
    return CWnd::Create(className, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), pParentWnd,
                        AFX_IDW_REBAR);
}

int CTestReBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CControlBar::OnCreate(lpcs) == -1)
        return -1;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_BANDBORDERS | RBS_VARHEIGHT |
                  CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_TOP;
    return m_wndReBar.Create(style, CRect(0, 0, 0, 0), this, 1) ? 0 : -1;
}

BOOL CTestReBar::AddBar(CControlBar* pBar)
{
    CSize size = pBar->CalcFixedLayout(FALSE, TRUE);
    REBARBANDINFOW band = {};
    band.cbSize = 80; // the Windows XP record, as the program uses it
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE;
    band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
    band.hwndChild = pBar->m_hWnd;
    band.cxMinChild = size.cx;
    band.cyMinChild = size.cy;
    band.cx = size.cx + 20;
    band.wID = static_cast<UINT>(pBar->GetDlgCtrlID());
    return m_wndReBar.InsertBand(static_cast<UINT>(-1), &band);
}

CSize CTestReBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    int height = static_cast<int>(m_wndReBar.GetBarHeight());
    return CSize(bStretch && bHorz ? 32767 : 0, height);
}

void CTestReBar::OnSize(UINT, int cx, int cy)
{
    if (m_wndReBar.m_hWnd)
        m_wndReBar.MoveWindow(0, 0, cx, cy);
}

// ---------------------------------------------------------------- frames

HBITMAP MakeToolBitmap(int n)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16 * n, 15);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int i = 0; i < n; ++i) {
        RECT rect = {16 * i, 0, 16 * i + 16, 15};
        HBRUSH brush = CreateSolidBrush(RGB(40 * i, 80 + 30 * i, 200 - 30 * i));
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

IMPLEMENT_DYNCREATE(CTestMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CTestMainFrame, CFrameWnd)
ON_WM_CREATE()
ON_COMMAND_EX(ID_FWTEST_CMD_SHARED, OnShared)
ON_COMMAND(ID_FWTEST_CMD_FRAME, OnFrameCommand)
ON_UPDATE_COMMAND_UI(ID_FWTEST_CMD_CHECK, OnUpdateCheck)
END_MESSAGE_MAP()

CTestMainFrame::CTestMainFrame()
{
    ++g_docViewObjects;
}

CTestMainFrame::~CTestMainFrame()
{
    --g_docViewObjects;
    Log(L"frame gone");
}

int CTestMainFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    Log(L"frame");
    if (CFrameWnd::OnCreate(lpcs) == -1)
        return -1;
    if (!m_wndReBar.Create(this))
        return -1;
    // The tool bar lives in a band of the rebar.
    if (!m_wndToolBar.CreateEx(&m_wndReBar.m_wndReBar, TBSTYLE_FLAT,
                               WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_TOOLTIPS | CBRS_FLYBY))
        return -1;
    const UINT buttons[] = {ID_FWTEST_CMD_VIEW, ID_FWTEST_CMD_DOC, ID_SEPARATOR, ID_FWTEST_CMD_NONE,
                            ID_FWTEST_CMD_CHECK};
    m_wndToolBar.SetButtons(buttons, 5);
    m_wndToolBar.SetOwner(this); // prompts and commands go to the frame, not the band
    m_hToolBitmap = MakeToolBitmap(4);
    m_wndToolBar.SetBitmap(m_hToolBitmap);
    if (!m_wndReBar.AddBar(&m_wndToolBar))
        return -1;
    if (!m_wndDialogBar.Create(this, IDD_FWTEST_DIALOGBAR, CBRS_TOP, AFX_IDW_DIALOGBAR))
        return -1;
    if (!m_wndStatusBar.Create(this))
        return -1;
    const UINT indicators[] = {ID_SEPARATOR, ID_FWTEST_INDICATOR, ID_INDICATOR_CAPS};
    if (!m_wndStatusBar.SetIndicators(indicators, 3))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CTestMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    // Folder tree left; on the right the list above the scroll view.
    if (!m_wndOuter.CreateStatic(this, 1, 2))
        return FALSE;
    if (!m_wndOuter.CreateView(0, 0, RUNTIME_CLASS(CTestTreeView), CSize(150, 0), pContext))
        return FALSE;
    if (!m_wndInner.CreateStatic(&m_wndOuter, 2, 1, WS_CHILD | WS_VISIBLE, m_wndOuter.IdFromRowCol(0, 1)))
        return FALSE;
    if (!m_wndInner.CreateView(0, 0, RUNTIME_CLASS(CTestListView), CSize(0, 120), pContext) ||
        !m_wndInner.CreateView(1, 0, RUNTIME_CLASS(CTestScrollView), CSize(0, 0), pContext))
        return FALSE;
    m_pTree = static_cast<CTestTreeView*>(m_wndOuter.GetPane(0, 0));
    m_pList = static_cast<CTestListView*>(m_wndInner.GetPane(0, 0));
    m_pScroll = static_cast<CTestScrollView*>(m_wndInner.GetPane(1, 0));
    return TRUE;
}

BOOL CTestMainFrame::OnShared(UINT)
{
    Log(L"frame cmd");
    return FALSE;
}

void CTestMainFrame::OnFrameCommand()
{
    Log(L"frame only");
}

void CTestMainFrame::OnUpdateCheck(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(1);
}

IMPLEMENT_DYNCREATE(CTestPicFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CTestPicFrame, CFrameWnd)
ON_WM_CREATE()
ON_COMMAND(ID_FWTEST_CMD_PICTURE, OnPictureCommand)
END_MESSAGE_MAP()

CTestPicFrame::CTestPicFrame()
{
    ++g_docViewObjects;
}

CTestPicFrame::~CTestPicFrame()
{
    --g_docViewObjects;
}

int CTestPicFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CFrameWnd::OnCreate(lpcs) == -1 || !m_wndToolBar.Create(this))
        return -1;
    const UINT buttons[] = {ID_FWTEST_CMD_PICTURE, ID_FWTEST_CMD_NONE};
    m_wndToolBar.SetButtons(buttons, 2);
    m_wndToolBar.SetBitmap(MakeToolBitmap(2));
    return 0;
}

void CTestPicFrame::OnPictureCommand()
{
    Log(L"picture");
}

// ---------------------------------------------------------------- the program

DocViewProgram::DocViewProgram()
{
    g_docViewLog.Empty();
    m_document = static_cast<CTestDoc*>(m_template.OpenDocumentFile(m_folder.Path()));
    if (m_document)
        m_frame = static_cast<CTestMainFrame*>(AfxGetMainWnd());
    PumpPending();
}

DocViewProgram::~DocViewProgram()
{
    Close();
}

void DocViewProgram::Close()
{
    if (m_frame && IsWindow(m_frame->m_hWnd))
        m_frame->SendMessage(WM_CLOSE);
    m_frame = nullptr;
    m_document = nullptr;
    PumpPending();
    AfxDeleteTempMaps();
}
