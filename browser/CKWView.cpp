#include "browser/CKWView.h"

#include "browser/CMainFrame.h"
#include "browser/VyxOleDataSource.h"
#include "catalogue/CKWDoc.h"

IMPLEMENT_DYNCREATE(CKWView, CView)

BEGIN_MESSAGE_MAP(CKWView, CView)
ON_WM_CREATE()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

int CKWView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_dropTarget.Register(this);
    return 0;
}

void CKWView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    CKWDoc* doc = DYNAMIC_DOWNCAST(CKWDoc, GetDocument());
    pDC->FillSolidRect(&client, doc ? doc->GetBackColor() : ::GetSysColor(COLOR_WINDOW));
}

void CKWView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParentFrame());
    if (lHint == HintIdleStep && frame)
        frame->SetWorkFlag(WorkVisibleThumbs | WorkAllThumbs, FALSE);
    else if (lHint == HintListRebuilt && frame)
        frame->OnNewFolder();
    else if (lHint != HintIdleStep)
        CView::OnUpdate(pSender, lHint, pHint);
}

// A press with items selected may become a drag of them (the drop source decides once the
// pointer moves on or the button stays down).
void CKWView::OnLButtonDown(UINT nFlags, CPoint point)
{
    CKWDoc* doc = DYNAMIC_DOWNCAST(CKWDoc, GetDocument());
    if (doc && doc->GetSelectedCount(TRUE) > 0)
        VyxOleDataSource::StartViewDrag(doc, point);
    else
        CView::OnLButtonDown(nFlags, point);
}

CString CKWView::DropFolder() const
{
    CKWDoc* doc = DYNAMIC_DOWNCAST(CKWDoc, GetDocument());
    return doc ? doc->GetFolderPath() : CString();
}

DROPEFFECT CKWView::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint)
{
    return m_drop.ViewDragEnter(DYNAMIC_DOWNCAST(CKWDoc, GetDocument()), pDataObject, dwKeyState, DropFolder());
}

DROPEFFECT CKWView::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint)
{
    return VyxDropTarget::ViewDragOver(DYNAMIC_DOWNCAST(CKWDoc, GetDocument()), pDataObject, dwKeyState, DropFolder());
}

void CKWView::OnDragLeave()
{
    m_drop.Leave();
}

DROPEFFECT CKWView::OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList, CPoint point)
{
    return m_drop.ViewDropEx(this, pDataObject, dropDefault, dropList, point, DropFolder());
}
