// The print preview: a view that takes the frame's main pane while it shows the pages of another
// view (one or two side by side, or one zoomed), with the preview commands for its tool bar.
#pragma once

#include "framework/CScrollView.h"

struct CPrintInfo;
struct CPrintPreviewState;
class CDialogBar;

class CPreviewView : public CScrollView
{
    DECLARE_DYNCREATE(CPreviewView)
public:
    CPreviewView();
    ~CPreviewView() override;

    // The view whose pages are shown; FALSE when it declines to print (OnPreparePrinting).
    virtual BOOL SetPrintView(CView* pPrintView);
    enum { ZOOM_OUT, ZOOM_MIDDLE, ZOOM_IN };
    void SetZoomState(UINT nNewState, UINT nPage, CPoint point);
    // The first page shown (kept within the document's pages).
    void SetCurrentPage(UINT nPage, BOOL bClearRatios);
    // The page under point (client coordinates): TRUE with nPage set.
    BOOL FindPageRect(CPoint& point, UINT& nPage);
    // Shows the page numbers on the frame's status bar.
    virtual void OnDisplayPageNumber(UINT nPage, UINT nPagesDisplayed);
    void OnDraw(CDC* pDC) override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;

    // The screen rectangle of the nth page shown (0 or 1).
    CRect GetPageRect(UINT nIndex) const;
    // Printer pixels per inch and the page size in them (an A4 page at 300 dpi without a printer).
    CSize m_sizePrinterPPI;
    CSize m_sizePage;

    CPrintPreviewState* m_pPreviewState; // owned: deleted with the view
    CDialogBar* m_pToolBar;              // the preview's dialog bar, or null
    CView* m_pOrigView;                  // the view the preview replaced
    CView* m_pPrintView;                 // the view that prints the pages
    CPrintInfo* m_pPreviewInfo;
    UINT m_nZoomOutPages;
    UINT m_nZoomState;
    UINT m_nMaxPages; // pages shown at once at most
    UINT m_nCurrentPage;
    UINT m_nPages; // pages shown now

    afx_msg void OnPreviewClose();
    afx_msg void OnPreviewPrint();

protected:
    // Draws the page as the print view prints it, scaled into rectScreen.
    void RenderPage(CDC* pDC, UINT nPage, const CRect& rectScreen);
    double ZoomScale() const;
    void UpdateScrollSizes();

    afx_msg void OnNumPageChange();
    afx_msg void OnNextPage();
    afx_msg void OnPrevPage();
    afx_msg void OnZoomIn();
    afx_msg void OnZoomOut();
    afx_msg void OnUpdateNumPageChange(CCmdUI* pCmdUI);
    afx_msg void OnUpdateNextPage(CCmdUI* pCmdUI);
    afx_msg void OnUpdatePrevPage(CCmdUI* pCmdUI);
    afx_msg void OnUpdateZoomIn(CCmdUI* pCmdUI);
    afx_msg void OnUpdateZoomOut(CCmdUI* pCmdUI);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);

    HDC m_hPrinterIC;

    friend class CView;
    DECLARE_MESSAGE_MAP()
};

// The frame's close procedure while a preview shows: closing the frame closes the preview.
BOOL CALLBACK AfxPreviewCloseProc(CFrameWnd* pFrameWnd);
