#include "controls/VyxPreviewViewEx.h"
#include "controls/CPreviewToolBar.h"
#include "controls/CSizableReBar.h"
#include "controls/VyxFrameWndBase.h"

IMPLEMENT_DYNCREATE(VyxPreviewViewEx, CPreviewView)

BEGIN_MESSAGE_MAP(VyxPreviewViewEx, CPreviewView)
ON_WM_DESTROY()
ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnPreviewCloseEx)
ON_COMMAND(AFX_ID_PREVIEW_PRINT, OnPreviewPrintEx)
ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NUMPAGE, OnUpdateNumPage)
END_MESSAGE_MAP()

namespace {

const int kOnePageImage = 4;
const int kTwoPagesImage = 3;

CSizableReBar* FindReBar(CWnd* frame)
{
    for (CWnd* child = frame->GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        if (auto* rebar = DYNAMIC_DOWNCAST(CSizableReBar, CWnd::FromHandlePermanent(child->m_hWnd)))
            return rebar;
    }
    return nullptr;
}

} // namespace

VyxPreviewViewEx::VyxPreviewViewEx()
    : m_pReBar(nullptr), m_bReBarCreated(FALSE), m_bReBarLocked(FALSE), m_pPreviewBar(nullptr)
{
}

VyxPreviewViewEx::~VyxPreviewViewEx()
{
    ReleaseReBar();
}

BOOL VyxPreviewViewEx::SetPrintView(CView* pPrintView)
{
    if (!CPreviewView::SetPrintView(pPrintView))
        return FALSE;
    CFrameWnd* frame = GetParentFrame();
    if (!frame || m_pPreviewBar)
        return TRUE;
    m_pReBar = FindReBar(frame);
    if (!m_pReBar) {
        m_pReBar = new CSizableReBar;
        if (!m_pReBar->Create(frame, VYX_IDW_FRAME_REBAR, VYX_FRAME_REBAR_STYLE)) {
            delete m_pReBar;
            m_pReBar = nullptr;
            return TRUE; // the preview goes on without its bar
        }
        m_bReBarCreated = TRUE;
    }
    // The preview's band stays put: the rebar is locked and offers no menu meanwhile.
    m_bReBarLocked = m_pReBar->SetLocked(TRUE);
    m_pReBar->SetMenuOptions(FALSE, FALSE);
    m_pPreviewBar = new CPreviewToolBar;
    if (!m_pPreviewBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_PREVIEW_BAR) ||
        !m_pReBar->AddBar(m_pPreviewBar, nullptr, nullptr, RBBS_BREAK | RBBS_FIXEDBMP, nullptr, TRUE, FALSE)) {
        if (m_pPreviewBar->m_hWnd)
            m_pPreviewBar->DestroyWindow();
        delete m_pPreviewBar;
        m_pPreviewBar = nullptr;
        return TRUE;
    }
    m_pPreviewBar->UpdateBand();
    return TRUE;
}

void VyxPreviewViewEx::ReleaseReBar()
{
    if (!m_pReBar)
        return;
    CSizableReBar* rebar = m_pReBar;
    m_pReBar = nullptr;
    if (rebar->m_hWnd) {
        rebar->SetLocked(m_bReBarLocked);
        rebar->SetMenuOptions(TRUE, TRUE);
        if (m_pPreviewBar && m_pPreviewBar->m_hWnd) {
            int band = rebar->GetReBarCtrl().IDToIndex(static_cast<UINT>(m_pPreviewBar->GetDlgCtrlID()));
            if (band >= 0)
                rebar->GetReBarCtrl().DeleteBand(static_cast<UINT>(band));
        }
    }
    if (m_pPreviewBar) {
        if (m_pPreviewBar->m_hWnd)
            m_pPreviewBar->DestroyWindow();
        delete m_pPreviewBar;
        m_pPreviewBar = nullptr;
    }
    if (m_bReBarCreated) {
        if (rebar->m_hWnd)
            rebar->DestroyWindow();
        delete rebar;
        m_bReBarCreated = FALSE;
    }
}

void VyxPreviewViewEx::OnDestroy()
{
    // Also when the frame closes the preview without the close command.
    ReleaseReBar();
    CPreviewView::OnDestroy();
}

void VyxPreviewViewEx::OnPreviewCloseEx()
{
    ReleaseReBar();
    OnPreviewClose(); // the view is gone afterwards
}

void VyxPreviewViewEx::OnPreviewPrintEx()
{
    CWinThread* thread = AfxGetThread();
    CWnd* mainWnd = thread ? thread->m_pMainWnd : nullptr;
    HWND hMain = mainWnd ? mainWnd->m_hWnd : nullptr;
    OnPreviewCloseEx();
    if (hMain && ::IsWindow(hMain))
        ::SendMessageW(hMain, WM_COMMAND, ID_FILE_PRINT, 0);
}

void VyxPreviewViewEx::OnUpdateNumPage(CCmdUI* pCmdUI)
{
    const UINT shown = m_nZoomState == ZOOM_OUT ? m_nPages : 1;
    if (m_pPreviewBar && m_pPreviewBar->m_hWnd) {
        CToolBarCtrl& ctrl = m_pPreviewBar->GetToolBarCtrl();
        const int image = shown == 1 ? kOnePageImage : kTwoPagesImage;
        if (ctrl.GetBitmap(AFX_ID_PREVIEW_NUMPAGE) != image)
            ctrl.ChangeBitmap(AFX_ID_PREVIEW_NUMPAGE, image);
    }
    const UINT pages = m_pPreviewInfo ? m_pPreviewInfo->GetMaxPage() : 1;
    pCmdUI->Enable(m_nZoomState == ZOOM_OUT && m_nMaxPages != 1 && (pages > 1 || m_nPages > 1));
}
