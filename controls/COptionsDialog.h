// The option pane appended to the tool bar's customise dialog: the text-label option and the
// icon option, each listing only what the bar allows.
#pragma once

#include "framework/Framework.h"

class CCustomizeDialog;
class CToolBarEx;

class COptionsDialog : public CDialog
{
public:
    COptionsDialog(CToolBarEx* pToolBar, CCustomizeDialog* pCustomizeDialog);

    // The box's entry whose value is nOption is selected (none when it lists no such value).
    void SelectTextOption(int nOption);
    void SelectIconOption(int nOption);
    CComboBox& GetTextBox() { return m_cbTextOptions; }
    CComboBox& GetIconBox() { return m_cbIconOptions; }

    int m_nTextOption;
    int m_nIconOption;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}
    void OnCancel() override {}
    static void SelectByData(CComboBox& box, int nValue);

    afx_msg void OnTextOptionChange();
    afx_msg void OnIconOptionChange();

    CComboBox m_cbTextOptions;
    CComboBox m_cbIconOptions;
    CToolBarEx* m_pToolBar;
    CCustomizeDialog* m_pCustomizeDialog;

    DECLARE_MESSAGE_MAP()
};
