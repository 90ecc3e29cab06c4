#include "framework/CTreeView.h"

IMPLEMENT_DYNCREATE(CTreeView, CCtrlView)

CTreeView::CTreeView() : CCtrlView(WC_TREEVIEWW, WS_CHILD | WS_VISIBLE | WS_BORDER) {}

CTreeView::~CTreeView()
{
    m_wndCtrl.m_hWnd = nullptr;
}

CTreeCtrl& CTreeView::GetTreeCtrl() const
{
    m_wndCtrl.m_hWnd = m_hWnd;
    return m_wndCtrl;
}

BOOL CTreeView::PreCreateWindow(CREATESTRUCT& cs)
{
    ::InitCommonControls();
    return CCtrlView::PreCreateWindow(cs);
}
