// A view that is a tree-view control.
#pragma once

#include "framework/CCtrlView.h"
#include "framework/CTreeCtrl.h"

class CTreeView : public CCtrlView
{
    DECLARE_DYNCREATE(CTreeView)
public:
    CTreeView();
    ~CTreeView() override;

    // The same window, as the control.
    CTreeCtrl& GetTreeCtrl() const;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    mutable CTreeCtrl m_wndCtrl;
};
