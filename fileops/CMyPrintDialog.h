// The printer set-up dialog with the choice of a print definition file and the band height in
// which pictures are printed. Its own controls live in the system's dialog (templates 1538 and
// 1539); the caller reads the definition file after OK and makes the printer's device context.
#pragma once

#include "catalogue/FolderList.h"
#include "framework/Framework.h"

class CMyPrintDialog : public CPrintDialog
{
public:
    explicit CMyPrintDialog(BOOL bPrintSetupOnly,
                            DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                            PD_NOSELECTION,
                            CWnd* pParentWnd = nullptr);

    CString m_definitionFile;
    int m_bandHeight = 500;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnBrowse();
    afx_msg void OnDefinitionChosen();

    CComboBox m_definitions;
    FolderList m_definitionHistory{FolderListPrintFile};

    DECLARE_MESSAGE_MAP()
};
