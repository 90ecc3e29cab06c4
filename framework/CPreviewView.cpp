#include "framework/CPreviewView.h"
#include "framework/AfxRes.h"
#include "framework/AfxTexts.h"
#include "framework/CCmdUI.h"
#include "framework/CDC.h"
#include "framework/CDialogBar.h"
#include "framework/CDocument.h"
#include "framework/CFrameWnd.h"
#include "framework/CPrintInfo.h"
#include "framework/CWinApp.h"
#include "framework/ModuleState.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CPreviewView, CScrollView)

BEGIN_MESSAGE_MAP(CPreviewView, CScrollView)
ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnPreviewClose)
ON_COMMAND(AFX_ID_PREVIEW_NUMPAGE, OnNumPageChange)
ON_COMMAND(AFX_ID_PREVIEW_NEXT, OnNextPage)
ON_COMMAND(AFX_ID_PREVIEW_PREV, OnPrevPage)
ON_COMMAND(AFX_ID_PREVIEW_PRINT, OnPreviewPrint)
ON_COMMAND(AFX_ID_PREVIEW_ZOOMIN, OnZoomIn)
ON_COMMAND(AFX_ID_PREVIEW_ZOOMOUT, OnZoomOut)
ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NUMPAGE, OnUpdateNumPageChange)
ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NEXT, OnUpdateNextPage)
ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_PREV, OnUpdatePrevPage)
ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_ZOOMIN, OnUpdateZoomIn)
ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_ZOOMOUT, OnUpdateZoomOut)
ON_WM_LBUTTONDOWN()
ON_WM_SIZE()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

const int kMargin = 8; // around and between the pages, in pixels

} // namespace

BOOL CALLBACK AfxPreviewCloseProc(CFrameWnd* pFrameWnd)
{
    if (auto* preview = DYNAMIC_DOWNCAST(CPreviewView, pFrameWnd->GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE)))
        preview->OnPreviewClose();
    return TRUE;
}

CPreviewView::CPreviewView()
    : m_sizePrinterPPI(300, 300), m_sizePage(2480, 3508), m_pPreviewState(nullptr), m_pToolBar(nullptr),
      m_pOrigView(nullptr), m_pPrintView(nullptr), m_pPreviewInfo(nullptr), m_nZoomOutPages(1), m_nZoomState(ZOOM_OUT),
      m_nMaxPages(2), m_nCurrentPage(1), m_nPages(1), m_hPrinterIC(nullptr)
{
}

CPreviewView::~CPreviewView()
{
    delete m_pPreviewInfo;
    delete m_pPreviewState;
    if (m_hPrinterIC)
        ::DeleteDC(m_hPrinterIC);
}

BOOL CPreviewView::SetPrintView(CView* pPrintView)
{
    m_pPrintView = pPrintView;
    m_pPreviewInfo = new CPrintInfo;
    m_pPreviewInfo->m_bPreview = TRUE;
    m_pPreviewInfo->m_strPageDesc = afxTextPreviewPageDesc;
    if (CWinApp* app = AfxGetApp())
        m_pPreviewInfo->m_nNumPreviewPages = app->m_nNumPreviewPages;
    if (!m_pPrintView->OnPreparePrinting(m_pPreviewInfo))
        return FALSE;
    // The default printer's page, when there is a printer.
    PRINTDLGW pd = {};
    pd.lStructSize = sizeof(pd);
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNIC;
    if (::PrintDlgW(&pd) && pd.hDC) {
        m_hPrinterIC = pd.hDC;
        m_sizePrinterPPI = CSize(::GetDeviceCaps(m_hPrinterIC, LOGPIXELSX), ::GetDeviceCaps(m_hPrinterIC, LOGPIXELSY));
        m_sizePage = CSize(::GetDeviceCaps(m_hPrinterIC, HORZRES), ::GetDeviceCaps(m_hPrinterIC, VERTRES));
    }
    if (pd.hDevMode)
        ::GlobalFree(pd.hDevMode);
    if (pd.hDevNames)
        ::GlobalFree(pd.hDevNames);
    CDC attrib;
    attrib.m_hDC = attrib.m_hAttribDC = m_hPrinterIC ? m_hPrinterIC : ::GetDC(nullptr);
    attrib.m_bPrinting = TRUE;
    m_pPrintView->OnBeginPrinting(&attrib, m_pPreviewInfo);
    if (!m_hPrinterIC)
        ::ReleaseDC(nullptr, attrib.m_hDC);
    attrib.m_hDC = attrib.m_hAttribDC = nullptr;

    m_nPages = m_pPreviewInfo->m_nNumPreviewPages;
    if (m_nPages == 0)
        m_nPages = 1;
    m_nPages = std::min(m_nPages, m_nMaxPages);
    m_nZoomOutPages = m_nPages;
    SetScrollSizes(MM_TEXT, CSize(1, 1));
    SetCurrentPage(m_pPreviewInfo->m_nCurPage, TRUE);
    return TRUE;
}

// ---------------------------------------------------------------- pages and zoom

double CPreviewView::ZoomScale() const
{
    // Zoomed in: the page at its real size on the screen; the middle: halfway from zoomed out.
    HDC screen = ::GetDC(nullptr);
    double actual = static_cast<double>(::GetDeviceCaps(screen, LOGPIXELSX)) / m_sizePrinterPPI.cx;
    ::ReleaseDC(nullptr, screen);
    CRect client;
    GetClientRect(&client);
    double fitted = std::min(static_cast<double>(client.Width() - 2 * kMargin) / m_sizePage.cx,
                             static_cast<double>(client.Height() - 2 * kMargin) / m_sizePage.cy);
    fitted = std::max(fitted, 0.01);
    return m_nZoomState == ZOOM_IN ? actual : (actual + fitted) / 2;
}

CRect CPreviewView::GetPageRect(UINT nIndex) const
{
    CRect client;
    GetClientRect(&client);
    if (m_nZoomState != ZOOM_OUT) {
        double scale = ZoomScale();
        CSize size(static_cast<int>(m_sizePage.cx * scale), static_cast<int>(m_sizePage.cy * scale));
        CPoint origin(kMargin, kMargin);
        // Centred while it is smaller than the window.
        if (size.cx + 2 * kMargin < client.Width())
            origin.x = (client.Width() - size.cx) / 2;
        origin -= GetDeviceScrollPosition();
        return CRect(origin, size);
    }
    // Zoomed out: the pages side by side, as large as fits.
    UINT pages = std::max(m_nPages, 1U);
    double scale = std::min(static_cast<double>(client.Width() - static_cast<int>(pages + 1) * kMargin) /
                                (static_cast<double>(m_sizePage.cx) * pages),
                            static_cast<double>(client.Height() - 2 * kMargin) / m_sizePage.cy);
    scale = std::max(scale, 0.01);
    CSize size(static_cast<int>(m_sizePage.cx * scale), static_cast<int>(m_sizePage.cy * scale));
    int total = static_cast<int>(pages) * size.cx + static_cast<int>(pages - 1) * kMargin;
    int left = (client.Width() - total) / 2 + static_cast<int>(nIndex) * (size.cx + kMargin);
    int top = (client.Height() - size.cy) / 2;
    return CRect(CPoint(left, top), size);
}

void CPreviewView::UpdateScrollSizes()
{
    if (m_nZoomState == ZOOM_OUT) {
        SetScrollSizes(MM_TEXT, CSize(1, 1));
        return;
    }
    double scale = ZoomScale();
    CSize total(static_cast<int>(m_sizePage.cx * scale) + 2 * kMargin,
                static_cast<int>(m_sizePage.cy * scale) + 2 * kMargin);
    CRect client;
    GetClientRect(&client);
    SetScrollSizes(MM_TEXT, total, CSize(client.Width(), client.Height()), CSize(total.cx / 20, total.cy / 20));
}

void CPreviewView::SetZoomState(UINT nNewState, UINT nPage, CPoint point)
{
    if (nNewState > ZOOM_IN)
        nNewState = ZOOM_IN;
    UINT oldState = m_nZoomState;
    m_nZoomState = nNewState;
    if (m_nZoomState == ZOOM_OUT) {
        m_nPages = m_nZoomOutPages;
    } else {
        m_nPages = 1;
        m_nCurrentPage = nPage;
    }
    UpdateScrollSizes();
    // Zooming in keeps the clicked point under the mouse as far as it can.
    if (m_nZoomState != ZOOM_OUT && oldState != m_nZoomState)
        CenterOnPoint(point);
    SetCurrentPage(m_nCurrentPage, TRUE);
}

void CPreviewView::SetCurrentPage(UINT nPage, BOOL)
{
    UINT minPage = m_pPreviewInfo ? m_pPreviewInfo->GetMinPage() : 1;
    UINT maxPage = m_pPreviewInfo ? m_pPreviewInfo->GetMaxPage() : 1;
    UINT lastFirst = maxPage >= minPage + m_nPages - 1 ? maxPage - (m_nPages - 1) : minPage;
    m_nCurrentPage = std::max(minPage, std::min(nPage, lastFirst));
    OnDisplayPageNumber(m_nCurrentPage, m_nPages);
    Invalidate(TRUE);
}

BOOL CPreviewView::FindPageRect(CPoint& point, UINT& nPage)
{
    for (UINT i = 0; i < m_nPages; ++i) {
        CRect rect = GetPageRect(i);
        if (rect.PtInRect(point)) {
            nPage = m_nCurrentPage + i;
            point -= rect.TopLeft();
            return TRUE;
        }
    }
    return FALSE;
}

void CPreviewView::OnDisplayPageNumber(UINT nPage, UINT nPagesDisplayed)
{
    if (!m_pPreviewInfo)
        return;
    // "one page\ntwo pages" formats.
    CString format;
    AfxExtractSubString(format, m_pPreviewInfo->m_strPageDesc, nPagesDisplayed > 1 ? 1 : 0);
    CString text;
    if (nPagesDisplayed > 1)
        text.Format(format, nPage, nPage + nPagesDisplayed - 1);
    else
        text.Format(format, nPage);
    if (CFrameWnd* frame = GetParentFrame())
        frame->SetMessageText(text);
}

// ---------------------------------------------------------------- drawing

BOOL CPreviewView::OnEraseBkgnd(CDC*)
{
    return TRUE; // OnDraw covers everything
}

void CPreviewView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    int saved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetViewportOrg(0, 0);
    pDC->FillSolidRect(client, ::GetSysColor(COLOR_APPWORKSPACE));
    UINT maxPage = m_pPreviewInfo ? m_pPreviewInfo->GetMaxPage() : 0;
    for (UINT i = 0; i < m_nPages; ++i) {
        UINT page = m_nCurrentPage + i;
        if (page > maxPage)
            break;
        CRect rect = GetPageRect(i);
        CRect shadow = rect;
        shadow.OffsetRect(3, 3);
        pDC->FillSolidRect(shadow, ::GetSysColor(COLOR_3DDKSHADOW));
        pDC->FillSolidRect(rect, RGB(255, 255, 255));
        RenderPage(pDC, page, rect);
    }
    pDC->RestoreDC(saved);
}

void CPreviewView::RenderPage(CDC* pDC, UINT nPage, const CRect& rectScreen)
{
    if (!m_pPrintView || !m_pPreviewInfo)
        return;
    // The page is recorded as the print view prints it, in the printer's units, then played
    // back scaled: the view draws as it would on paper.
    HDC reference = m_hPrinterIC ? m_hPrinterIC : ::GetDC(nullptr);
    RECT frame = {0, 0, ::MulDiv(m_sizePage.cx, 2540, m_sizePrinterPPI.cx),
                  ::MulDiv(m_sizePage.cy, 2540, m_sizePrinterPPI.cy)};
    HDC recorder = ::CreateEnhMetaFileW(reference, nullptr, &frame, nullptr);
    if (!m_hPrinterIC)
        ::ReleaseDC(nullptr, reference);
    if (!recorder)
        return;
    CDC dc;
    dc.m_hDC = dc.m_hAttribDC = recorder;
    dc.m_bPrinting = TRUE;
    m_pPreviewInfo->m_nCurPage = nPage;
    m_pPreviewInfo->m_rectDraw.SetRect(0, 0, m_sizePage.cx, m_sizePage.cy);
    try {
        m_pPrintView->OnPrepareDC(&dc, m_pPreviewInfo);
        m_pPrintView->OnPrint(&dc, m_pPreviewInfo);
    } catch (...) {
        dc.m_hDC = dc.m_hAttribDC = nullptr;
        ::DeleteEnhMetaFile(::CloseEnhMetaFile(recorder));
        throw;
    }
    dc.m_hDC = dc.m_hAttribDC = nullptr;
    HENHMETAFILE page = ::CloseEnhMetaFile(recorder);
    if (page) {
        ::PlayEnhMetaFile(pDC->m_hDC, page, &rectScreen);
        ::DeleteEnhMetaFile(page);
    }
}

void CPreviewView::OnSize(UINT nType, int cx, int cy)
{
    CScrollView::OnSize(nType, cx, cy);
    if (m_nZoomState != ZOOM_OUT)
        UpdateScrollSizes();
    Invalidate(TRUE);
}

void CPreviewView::OnActivateView(BOOL bActivate, CView*, CView*)
{
    if (bActivate)
        SetFocus();
}

// ---------------------------------------------------------------- commands

void CPreviewView::OnPreviewClose()
{
    if (m_pToolBar) {
        m_pToolBar->DestroyWindow();
        m_pToolBar = nullptr;
    }
    if (m_pPreviewInfo)
        m_pPreviewInfo->m_nCurPage = m_nCurrentPage;
    CDC dc;
    dc.m_hDC = dc.m_hAttribDC = m_hPrinterIC;
    dc.m_bPrinting = TRUE;
    CView* original = m_pOrigView;
    original->OnEndPrintPreview(&dc, m_pPreviewInfo, CPoint(0, 0), this); // destroys this view
    dc.m_hDC = dc.m_hAttribDC = nullptr;
}

void CPreviewView::OnPreviewPrint()
{
    CWinThread* thread = AfxGetThread();
    OnPreviewClose();
    // Printing is the program's command; the preview only hands over.
    if (thread && thread->m_pMainWnd)
        thread->m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT);
}

void CPreviewView::OnNumPageChange()
{
    if (m_nZoomState != ZOOM_OUT)
        return;
    m_nPages = m_nPages == 1 ? std::min(2U, m_nMaxPages) : 1;
    m_nZoomOutPages = m_nPages;
    SetCurrentPage(m_nCurrentPage, TRUE);
}

void CPreviewView::OnNextPage()
{
    SetCurrentPage(m_nCurrentPage + 1, TRUE);
}

void CPreviewView::OnPrevPage()
{
    if (m_nCurrentPage > 1)
        SetCurrentPage(m_nCurrentPage - 1, TRUE);
}

void CPreviewView::OnZoomIn()
{
    if (m_nZoomState == ZOOM_IN)
        return;
    CRect client;
    GetClientRect(&client);
    SetZoomState(m_nZoomState + 1, m_nCurrentPage, client.CenterPoint());
}

void CPreviewView::OnZoomOut()
{
    if (m_nZoomState == ZOOM_OUT)
        return;
    CRect client;
    GetClientRect(&client);
    SetZoomState(m_nZoomState - 1, m_nCurrentPage, client.CenterPoint());
}

void CPreviewView::OnUpdateNumPageChange(CCmdUI* pCmdUI)
{
    UINT pages = m_nZoomState == ZOOM_OUT ? m_nPages : m_nZoomOutPages;
    // The button offers the other layout.
    pCmdUI->SetText(pages == 1 ? afxTextTwoPages : afxTextOnePage);
    pCmdUI->Enable(m_nZoomState == ZOOM_OUT && m_nMaxPages != 1 && (m_pPreviewInfo->GetMaxPage() > 1 || m_nPages > 1));
}

void CPreviewView::OnUpdateNextPage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nCurrentPage + m_nPages - 1 < m_pPreviewInfo->GetMaxPage());
}

void CPreviewView::OnUpdatePrevPage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nCurrentPage > m_pPreviewInfo->GetMinPage());
}

void CPreviewView::OnUpdateZoomIn(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nZoomState != ZOOM_IN);
}

void CPreviewView::OnUpdateZoomOut(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nZoomState != ZOOM_OUT);
}

void CPreviewView::OnLButtonDown(UINT, CPoint point)
{
    // A click on a page zooms in on it; at the closest zoom it zooms all the way out.
    CPoint inPage = point;
    UINT page = m_nCurrentPage;
    if (m_nZoomState == ZOOM_OUT && !FindPageRect(inPage, page))
        return;
    SetZoomState(m_nZoomState == ZOOM_IN ? static_cast<UINT>(ZOOM_OUT) : m_nZoomState + 1, page, point);
}
