// The list-edit dialog: the user edits seven of the history lists directly (add, delete, move,
// rename in place); OK saves them all, Cancel none.
#pragma once

#include "catalogue/FolderList.h"
#include "controls/CButtonGrp.h"
#include "controls/CCJFlatComboBox.h"
#include "controls/CCJListCtrl.h"

class FolderListDlg : public CDialog
{
public:
    enum { IDD = 195, EditedLists = 7 };

    explicit FolderListDlg(CWnd* pParent = nullptr);
    ~FolderListDlg() override;

    // Shows list nIndex (0..6) after taking the one on show back from the control.
    void ShowList(int nIndex);
    int GetShownList() const { return m_nList; }
    const FolderList& GetList(int nIndex) const { return m_lists[nIndex]; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    afx_msg void OnSelChangeList();
    afx_msg void OnAdd();
    afx_msg void OnDelete();
    afx_msg void OnMoveTop();
    afx_msg void OnMoveUp();
    afx_msg void OnMoveDown();
    afx_msg void OnMoveBottom();
    afx_msg void OnDoubleClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void TakeBackShownList();
    void SelectRow(int nRow);
    void MoveRow(int nFrom, int nTo);
    int SelectionMark() const;

    CCJFlatComboBox m_choice;
    CCJListCtrl m_list;
    CButtonGrp m_buttons;
    FolderList m_lists[16];
    int m_nList = 0;
    HACCEL m_hAccel = nullptr;
};
