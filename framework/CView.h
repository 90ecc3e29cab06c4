// A view: a child window of a frame that shows a document. It draws through OnDraw with a device
// context prepared by OnPrepareDC, hears the document's changes in OnUpdate, routes commands to
// its document, and deletes itself when its window goes.
#pragma once

#include "framework/CWnd.h"
#include "framework/COleDataObject.h"

class CDocument;
class CFrameWnd;
class CPrintInfo;
class CSplitterWnd;
struct CCreateContext;

class CView : public CWnd
{
    DECLARE_DYNAMIC(CView)
protected:
    CView();

public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // Child views of a splitter answer their splitter; others null.
    CSplitterWnd* GetParentSplitter(const CWnd* pWnd, BOOL bAnyState) const;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // A pane of a splitter with shared scroll bars uses its row's and column's bars.
    CScrollBar* GetScrollBarCtrl(int nBar) const override;
    // The view first, then its document.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // ---- drawing and updates
    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    virtual BOOL IsSelected(const CObject* pDocItem) const;
    virtual void OnInitialUpdate();
    // The base invalidates the whole view.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnActivateFrame(UINT nState, CFrameWnd* pFrameWnd);

    // ---- printing (print preview)
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, class CPreviewView* pView);
    // Replaces this view's frame's main pane by a preview view of class pPreviewViewClass showing
    // pPrintView's pages, with the dialog bar nIDResource as its tool bar (0: none). The preview
    // owns pState once it starts.
    BOOL DoPrintPreview(UINT nIDResource, CView* pPrintView, CRuntimeClass* pPreviewViewClass,
                        struct CPrintPreviewState* pState);
    // ID_FILE_PRINT_PREVIEW for a view's map: this view's pages in a preview.
    afx_msg void OnFilePrintPreview();

    // ---- OLE drop target: a registered drop target calls these (the defaults refuse the drop;
    // OnDropEx answering -1 sends the drop to OnDrop).
    virtual DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual void OnDragLeave();
    virtual BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    virtual DROPEFFECT OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList, CPoint point);
    virtual DROPEFFECT OnDragScroll(DWORD dwKeyState, CPoint point);

    CDocument* m_pDocument;

protected:
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

    friend class CDocument;
    friend class CFrameWnd;
    DECLARE_MESSAGE_MAP()
};
