#include "browser/CLstView.h"

#include "browser/VyxOleDataSource.h"
#include "catalogue/CKWDoc.h"

IMPLEMENT_DYNCREATE(CLstView, CListView)

BEGIN_MESSAGE_MAP(CLstView, CListView)
ON_WM_CREATE()
ON_NOTIFY_REFLECT(LVN_BEGINDRAG, OnBeginDrag)
ON_NOTIFY_REFLECT(LVN_BEGINRDRAG, OnBeginDrag)
END_MESSAGE_MAP()

int CLstView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CListView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_dropTarget.Register(this);
    return 0;
}

void CLstView::OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    auto* notify = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    VyxOleDataSource::StartViewDrag(DYNAMIC_DOWNCAST(CKWDoc, GetDocument()), notify->ptAction);
}

CString CLstView::DropFolder() const
{
    CKWDoc* doc = DYNAMIC_DOWNCAST(CKWDoc, GetDocument());
    return doc ? doc->GetFolderPath() : CString();
}

DROPEFFECT CLstView::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint)
{
    return m_drop.ViewDragEnter(DYNAMIC_DOWNCAST(CKWDoc, GetDocument()), pDataObject, dwKeyState, DropFolder());
}

DROPEFFECT CLstView::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint)
{
    return VyxDropTarget::ViewDragOver(DYNAMIC_DOWNCAST(CKWDoc, GetDocument()), pDataObject, dwKeyState, DropFolder());
}

void CLstView::OnDragLeave()
{
    m_drop.Leave();
}

DROPEFFECT CLstView::OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList, CPoint point)
{
    return m_drop.ViewDropEx(this, pDataObject, dropDefault, dropList, point, DropFolder());
}
