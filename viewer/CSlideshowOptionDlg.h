// The slideshow's options: fitting and resampling, the SPACE key's command, enlarging and
// shrinking, the turn direction, repeat, the wait between pictures, the position bar and the
// information text with its template. The slideshow fills the options record, runs the dialog and
// takes the record back on OK; the dialog keeps no settings of its own.
#pragma once

#include "controls/CCJFlatComboBox.h"
#include "controls/CMenuButtonCtrl.h"
#include "framework/Framework.h"
#include "viewer/SlideShowSettings.h"

class CSlideshowOptionDlg : public CDialog, public SlideShowOptions
{
public:
    explicit CSlideshowOptionDlg(CWnd* pParent = nullptr);
    ~CSlideshowOptionDlg() override;

    // The member value each combo box item stands for. A value past the last item is one the
    // list knows but offers no item for: such a member leaves its box without a selection.
    static const int FitSizeValues[6];
    static const int ScaleModeValues[3];

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnCheckClicked(UINT nID);
    afx_msg void OnMacroKillFocus();
    afx_msg void OnMacroItem(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    int* CheckMember(UINT nID);

    CCJFlatComboBox m_fitCombo;
    CCJFlatComboBox m_scaleCombo;
    CCJFlatComboBox m_spaceCombo;
    CMenuButtonCtrl m_macroButton;
    CMenu m_macroMenu;
};
