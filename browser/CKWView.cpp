#include "browser/CKWView.h"

#include "browser/CMainFrame.h"
#include "catalogue/CKWDoc.h"

IMPLEMENT_DYNCREATE(CKWView, CView)

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
