// The print dialog, or its printer set-up form. A derived class with a custom template
// (PD_ENABLESETUPTEMPLATE or PD_ENABLEPRINTTEMPLATE) has its OnInitDialog, DoDataExchange and
// OnOK run inside the system's dialog. The dialog owns m_pd.hDevMode and m_pd.hDevNames and frees
// them when it goes (set them to null to keep them); printer DCs are the caller's to delete.
#pragma once

#include "framework/CCommonDialog.h"

class CPrintDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                          PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr);
    ~CPrintDialog() override;

    PRINTDLGW m_pd;

    // IDOK or IDCANCEL. With no printer the system warns the user and the answer is IDCANCEL
    // (Wine leaves CommDlgExtendedError at 0 then).
    INT_PTR DoModal() override;
    // The default printer's settings, without showing anything; FALSE when there is none.
    BOOL GetDefaults();
    // A DC for the chosen printer (also kept in m_pd.hDC); null when none was chosen.
    HDC CreatePrinterDC();
    HDC GetPrinterDC() const { return m_pd.hDC; }

    CString GetDeviceName() const;
    CString GetDriverName() const;
    CString GetPortName() const;
    LPDEVMODEW GetDevMode() const;
    int GetCopies() const;
    BOOL PrintCollate() const { return (m_pd.Flags & PD_COLLATE) != 0; }
    BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
    BOOL PrintAll() const { return !PrintRange() && !PrintSelection(); }
    BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    int GetFromPage() const { return PrintRange() ? m_pd.nFromPage : -1; }
    int GetToPage() const { return PrintRange() ? m_pd.nToPage : -1; }

private:
    CString DevNamesField(WORD DEVNAMES::*offset) const;
};
