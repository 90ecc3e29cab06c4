#include "framework/CView.h"
#include "framework/AfxRes.h"
#include "framework/CDC.h"
#include "framework/CDocument.h"
#include "framework/CFrameWnd.h"
#include "framework/CPaintDC.h"
#include "framework/CDialogBar.h"
#include "framework/CPreviewView.h"
#include "framework/CPrintInfo.h"
#include "framework/CSplitterWnd.h"
#include "framework/CStdControls.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_MOUSEACTIVATE()
ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::CView() : m_pDocument(nullptr) {}

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    // A view's border is a sunken client edge.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~WS_BORDER;
    }
    return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    auto* context = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (context && context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    if (CFrameWnd* frame = GetParentFrame()) {
        if (frame->GetActiveView() == this)
            frame->SetActiveView(nullptr);
    }
    Default();
}

void CView::PostNcDestroy()
{
    delete this;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

CSplitterWnd* CView::GetParentSplitter(const CWnd* pWnd, BOOL bAnyState) const
{
    (void)bAnyState;
    CWnd* parent = pWnd ? pWnd->GetParent() : nullptr;
    return DYNAMIC_DOWNCAST(CSplitterWnd, parent);
}

CScrollBar* CView::GetScrollBarCtrl(int nBar) const
{
    DWORD style = GetStyle();
    if ((nBar == SB_HORZ && (style & WS_HSCROLL)) || (nBar == SB_VERT && (style & WS_VSCROLL)))
        return nullptr; // a scroll bar of its own
    CSplitterWnd* splitter = GetParentSplitter(this, TRUE);
    UINT id = static_cast<UINT>(::GetDlgCtrlID(m_hWnd));
    if (!splitter || id < AFX_IDW_PANE_FIRST || id > AFX_IDW_PANE_LAST)
        return nullptr;
    UINT bar = nBar == SB_HORZ ? AFX_IDW_HSCROLL_FIRST + (id - AFX_IDW_PANE_FIRST) % 16
                               : AFX_IDW_VSCROLL_FIRST + (id - AFX_IDW_PANE_FIRST) / 16;
    HWND hWndBar = ::GetDlgItem(splitter->m_hWnd, static_cast<int>(bar));
    return hWndBar ? static_cast<CScrollBar*>(CWnd::FromHandle(hWndBar)) : nullptr;
}

// ---------------------------------------------------------------- drawing and updates

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

void CView::OnPrepareDC(CDC*, CPrintInfo*) {}

BOOL CView::IsSelected(const CObject*) const
{
    return FALSE;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView*, CView*)
{
    // The active view of the active frame has the focus.
    if (bActivate) {
        CWnd* top = GetTopLevelParent();
        HWND active = ::GetActiveWindow();
        if (top && (active == top->m_hWnd || ::GetLastActivePopup(top->m_hWnd) == active))
            SetFocus();
    }
}

void CView::OnActivateFrame(UINT, CFrameWnd*) {}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int result = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
        return result;
    // A click makes this the frame's active view (or gives it the focus back).
    if (CFrameWnd* frame = GetParentFrame()) {
        HWND focus = ::GetFocus();
        if (frame->GetActiveView() == this && m_hWnd != focus && !::IsChild(m_hWnd, focus))
            OnActivateView(TRUE, this, this);
        else
            frame->SetActiveView(this);
    }
    return result;
}

// ---------------------------------------------------------------- printing

BOOL CView::OnPreparePrinting(CPrintInfo*)
{
    return TRUE;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    (void)pInfo;
    OnDraw(pDC);
}

void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

// ---------------------------------------------------------------- print preview

BOOL CView::DoPrintPreview(UINT nIDResource, CView* pPrintView, CRuntimeClass* pPreviewViewClass,
                           CPrintPreviewState* pState)
{
    CFrameWnd* frame = GetTopLevelFrame();
    if (!frame || !pPrintView || !pPreviewViewClass || !pState)
        return FALSE;
    CObject* object = pPreviewViewClass->CreateObject();
    auto* preview = DYNAMIC_DOWNCAST(CPreviewView, object);
    if (!preview) {
        delete object;
        return FALSE;
    }
    preview->m_pOrigView = this;
    frame->OnSetPreviewMode(TRUE, pState);
    // The preview's own bar, when a template is named.
    if (nIDResource != 0) {
        preview->m_pToolBar = new CDialogBar;
        if (!preview->m_pToolBar->Create(frame, nIDResource, CBRS_TOP, AFX_IDW_PREVIEW_BAR)) {
            frame->OnSetPreviewMode(FALSE, pState);
            delete preview->m_pToolBar;
            delete preview;
            return FALSE;
        }
        preview->m_pToolBar->m_bAutoDelete = TRUE;
    }
    CCreateContext context;
    context.m_pCurrentFrame = frame;
    context.m_pCurrentDoc = GetDocument();
    context.m_pLastView = this;
    // The preview takes the main pane; the view it replaces hides as AFX_IDW_PANE_SAVE.
    if (!preview->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), frame,
                         AFX_IDW_PANE_FIRST, &context)) {
        frame->OnSetPreviewMode(FALSE, pState);
        if (preview->m_pToolBar)
            preview->m_pToolBar->DestroyWindow();
        return FALSE; // the view deleted itself
    }
    // The preview view shows the document but is not one of its views.
    if (CDocument* document = preview->GetDocument())
        document->RemoveView(preview);
    preview->m_pPreviewState = pState; // the preview owns it from here
    pState->pViewActiveOld = frame->GetActiveView();
    frame->m_lpfnCloseProc = &AfxPreviewCloseProc;
    if (CView* active = frame->GetActiveView())
        active->OnActivateView(FALSE, active, active);
    if (!preview->SetPrintView(pPrintView)) {
        preview->OnPreviewClose();
        return TRUE; // the preview ended at once, as if closed
    }
    frame->SetActiveView(preview);
    if (preview->m_pToolBar)
        preview->m_pToolBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    frame->RecalcLayout();
    frame->UpdateWindow();
    return TRUE;
}

void CView::OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT, CPreviewView* pView)
{
    if (pView->m_pPrintView)
        pView->m_pPrintView->OnEndPrinting(pDC, pInfo);
    CFrameWnd* frame = GetTopLevelFrame();
    CPrintPreviewState* state = pView->m_pPreviewState;
    if (frame && state) {
        frame->OnSetPreviewMode(FALSE, state);
        frame->SetActiveView(state->pViewActiveOld);
        if (frame != GetParentFrame())
            OnActivateView(TRUE, this, this);
    }
    pView->DestroyWindow(); // the preview view deletes itself and the state
    if (frame) {
        frame->RecalcLayout();
        frame->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
        frame->UpdateWindow();
    }
}

void CView::OnFilePrintPreview()
{
    auto* state = new CPrintPreviewState;
    if (!DoPrintPreview(0, this, RUNTIME_CLASS(CPreviewView), state))
        delete state;
}

// ---------------------------------------------------------------- drop target

DROPEFFECT CView::OnDragEnter(COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT CView::OnDragOver(COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

void CView::OnDragLeave() {}

BOOL CView::OnDrop(COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}

DROPEFFECT CView::OnDropEx(COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint)
{
    return static_cast<DROPEFFECT>(-1); // not handled here: the drop goes to OnDrop
}

DROPEFFECT CView::OnDragScroll(DWORD, CPoint)
{
    return DROPEFFECT_NONE; // no scrolling: the drag goes on to OnDragOver
}
