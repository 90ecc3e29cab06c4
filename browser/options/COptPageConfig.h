// The environment page of the options sheet: per-folder settings, view synchronisation and the
// views' text and background colours, each typed as hexadecimal or chosen in a colour picker.
#pragma once

#include "browser/options/COptPageBoot.h"
#include "controls/CColourPickerXP.h"

class COptPageConfig : public COptPage
{
public:
    explicit COptPageConfig(COptPageBoot::OPTIONSDATA* pData);

protected:
    void PrepareControls() override;
    void LoadMembers() override;

    afx_msg void OnChangeTextColour();
    afx_msg void OnChangeBackColour();
    afx_msg LRESULT OnColourChosen(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The typed text into the field and the picker.
    void TakeTypedColour(UINT editId, COLORREF& field, CColourPickerXP& picker);
    // The field into its edit as "%06X", without that counting as typing.
    void ShowColour(UINT editId, COLORREF colour);

    COptPageBoot::OPTIONSDATA* m_pData;
    CColourPickerXP m_textPicker;
    CColourPickerXP m_backPicker;
};
