// The tool bar's customise dialog, caught as the system creates it: it draws the two button lists
// itself (icon, caption, drop-down arrow, separators) and carries the option pane below them.
#pragma once

#include "controls/COptionsDialog.h"

class CToolBarEx;

class CCustomizeDialog : public CWnd
{
    DECLARE_DYNAMIC(CCustomizeDialog)
public:
    explicit CCustomizeDialog(CToolBarEx* pToolBar);
    ~CCustomizeDialog() override;

    // bFromBar: the bar has changed already (a reset), only the box follows.
    void SetTextOption(int nTextOption, BOOL bFromBar);
    void SetIconOption(int nIconOption, BOOL bFromBar);
    COptionsDialog& GetOptionsDialog() { return m_dlgOptions; }

    // A list entry's data as (image, index in the bar's table, -1 for a separator): the packed
    // form (image in the low word, table index in the high word) or a pointer to the control's own
    // button record (the form Wine gives). FALSE when it is neither.
    static BOOL PASCAL DecodeItemData(const CToolBarEx* pToolBar, DWORD_PTR dwData, int& nImage, int& nTableIndex);

    // The ids of the available and the current buttons' lists.
    enum { IDC_AVAILABLE_LIST = 201, IDC_CURRENT_LIST = 203 };

protected:
    void PostNcDestroy() override;
    void UpdateListHeights();
    CSize GetIconSize() const;
    void DrawListItem(LPDRAWITEMSTRUCT lpDrawItemStruct, int nImage, int nTableIndex);

    afx_msg LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    COptionsDialog m_dlgOptions;
    CToolBarEx* m_pToolBar;

    DECLARE_MESSAGE_MAP()
};
