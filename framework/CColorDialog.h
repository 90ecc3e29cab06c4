// The colour dialog. m_cc.lpCustColors points at the sixteen custom colours (by default one
// array shared by every colour dialog of the program); the dialog changes them in place.
#pragma once

#include "framework/CCommonDialog.h"

class CColorDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CColorDialog)
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);

    CHOOSECOLORW m_cc;

    INT_PTR DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }
    // Only while the dialog is open.
    void SetCurrentColor(COLORREF clr);
    static COLORREF* PASCAL GetSavedCustomColors();
};
