#include "framework/CListView.h"

IMPLEMENT_DYNCREATE(CListView, CCtrlView)

BEGIN_MESSAGE_MAP(CListView, CCtrlView)
ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CListView::CListView() : CCtrlView(WC_LISTVIEWW, WS_CHILD | WS_VISIBLE | WS_BORDER) {}

CListView::~CListView()
{
    m_wndCtrl.m_hWnd = nullptr;
}

CListCtrl& CListView::GetListCtrl() const
{
    m_wndCtrl.m_hWnd = m_hWnd;
    return m_wndCtrl;
}

BOOL CListView::PreCreateWindow(CREATESTRUCT& cs)
{
    ::InitCommonControls();
    return CCtrlView::PreCreateWindow(cs);
}

void CListView::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CListView::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CCtrlView::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    return TRUE;
}

void CListView::RemoveImageList(int nImageList)
{
    if ((GetStyle() & LVS_SHAREIMAGELISTS) && ::SendMessageW(m_hWnd, LVM_GETIMAGELIST, nImageList, 0))
        ::SendMessageW(m_hWnd, LVM_SETIMAGELIST, nImageList, 0);
}

void CListView::OnNcDestroy()
{
    RemoveImageList(LVSIL_NORMAL);
    RemoveImageList(LVSIL_SMALL);
    RemoveImageList(LVSIL_STATE);
    CCtrlView::OnNcDestroy();
}
