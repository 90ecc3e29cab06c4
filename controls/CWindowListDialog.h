// The "Windows" dialog of an MDI frame: the child windows with their icons and titles, to be
// activated, closed, minimised, cascaded or tiled a selection at a time.
#pragma once

#include "framework/Framework.h"

class CWindowListDialog : public CDialog
{
public:
    CWindowListDialog(CWnd* pMDIClient, CWnd* pParent);

    CListCtrl& GetList() { return m_wndList; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // All items again: every MDI child of the client, the active one selected.
    void FillList();
    // The children of the selected (or unselected) items.
    void CollectChildren(BOOL bSelected, CPtrArray& children);
    // Selected iconic children restored, unselected others minimised: what cascade and tile see.
    void PrepareArrange();

    afx_msg void OnActivate();
    afx_msg void OnCloseWindows();
    afx_msg void OnCascade();
    afx_msg void OnTileHorizontally();
    afx_msg void OnTileVertically();
    afx_msg void OnMinimize();
    afx_msg void OnDoubleClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam);

    CButton m_btnMinimize;
    CButton m_btnTileVert;
    CButton m_btnTileHorz;
    CButton m_btnCascade;
    CButton m_btnClose;
    CButton m_btnActivate;
    CListCtrl m_wndList;
    CWnd* m_pMDIClient;
    CImageList m_imlSmall;

    DECLARE_MESSAGE_MAP()
};
