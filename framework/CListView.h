// A view that is a list-view control.
#pragma once

#include "framework/CCtrlView.h"
#include "framework/CListCtrl.h"

class CListView : public CCtrlView
{
    DECLARE_DYNCREATE(CListView)
public:
    CListView();
    ~CListView() override;

    // The same window, as the control.
    CListCtrl& GetListCtrl() const;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    // Image lists the control shares (LVS_SHAREIMAGELISTS) are taken back before it goes, so
    // they are not destroyed with it.
    void RemoveImageList(int nImageList);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    afx_msg void OnNcDestroy();

    mutable CListCtrl m_wndCtrl;

    DECLARE_MESSAGE_MAP()
};
