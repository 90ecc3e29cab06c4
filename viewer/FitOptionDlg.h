// The display-mode dialog of a picture window: five pages in a tabbed sheet that edit the
// window's view settings record in place, each change written at once. OK and Cancel only close
// it; the window shows its file again after OK.
#pragma once

#include "controls/CXPropertySheet.h"

struct OneViewSettings;

class FitOptionDlg : public CDialog
{
public:
    explicit FitOptionDlg(CWnd* pParent = nullptr);
    ~FitOptionDlg() override;

    CXPropertySheet& GetSheet() { return m_sheet; }

    // Set by the caller before the dialog runs.
    OneViewSettings* m_pSettings = nullptr;

protected:
    BOOL OnInitDialog() override;

    CXPropertySheet m_sheet;
};
