// A dialog base that gives each child control a tooltip whose text is the string resource with
// the control's id. The messages of the dialog's modal loop are relayed to the tooltip.
#pragma once

#include "controls/COXToolTipCtrl.h"

class CToolTipDialog : public CDialog
{
    DECLARE_DYNAMIC(CToolTipDialog)
public:
    explicit CToolTipDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Taken by each dialog as it opens: FALSE opens dialogs without tips.
    static void SetShowToolTips(BOOL bShow) { s_bShowToolTips = bShow; }
    static BOOL GetShowToolTips() { return s_bShowToolTips; }

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    COXToolTipCtrl m_toolTip;

protected:
    afx_msg void OnDestroy();

    static BOOL s_bShowToolTips;

    DECLARE_MESSAGE_MAP()
};
