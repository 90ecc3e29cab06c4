#include "fileops/CMyPrintDialog.h"

#include "catalogue/CKWDoc.h"
#include "fileops/CPrintOutDialog.h"
#include "foundation/CurrentDirectoryScope.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "res/resource.h"

namespace {

const wchar_t kPrint[] = L"Print";

// The printer name combo box of the system's set-up form, or of its print form.
int PrinterComboId(DWORD flags)
{
    return (flags & PD_PRINTSETUP) ? IDC_PRINT_PRINTER_NAME : 1139;
}

} // namespace

BEGIN_MESSAGE_MAP(CMyPrintDialog, CPrintDialog)
ON_BN_CLICKED(IDC_PRINT_DEFINITION_BROWSE, OnBrowse)
ON_CBN_SELCHANGE(IDC_PRINT_DEFINITION, OnDefinitionChosen)
END_MESSAGE_MAP()

CMyPrintDialog::CMyPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
    : CPrintDialog(bPrintSetupOnly, dwFlags, pParentWnd)
{
    if (bPrintSetupOnly) {
        m_pd.Flags |= PD_ENABLESETUPTEMPLATE;
        m_pd.lpSetupTemplateName = MAKEINTRESOURCEW(IDD_PRINT_SETUP_OPTIONS);
    } else {
        m_pd.Flags |= PD_ENABLEPRINTTEMPLATE;
        m_pd.lpPrintTemplateName = MAKEINTRESOURCEW(IDD_PRINT_OPTIONS);
    }
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 9999;
    m_pd.nFromPage = 1;
    m_pd.nToPage = 9999;
    m_pd.nCopies = 1;
}

void CMyPrintDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

BOOL CMyPrintDialog::OnInitDialog()
{
    CPrintDialog::OnInitDialog();
    m_definitions.SubclassDlgItem(IDC_PRINT_DEFINITION, this);
    m_bandHeight = CPrintOutDialog::LoadBandHeight();
    SetDlgItemInt(IDC_PRINT_BAND_HEIGHT, m_bandHeight);

    m_definitions.AddString(L"");
    m_definitionHistory.Load();
    m_definitionHistory.FillComboBox(m_definitions);
    const int chosen = m_definitions.GetCount() > 1 ? 1 : 0;
    m_definitions.SetCurSel(chosen);
    m_definitions.GetLBText(chosen, m_definitionFile);

    // The last printer chosen, with its details shown as if the user had picked it.
    CString name;
    GetAppIniString(name, kPrint, L"name", L"");
    const int printerCombo = PrinterComboId(m_pd.Flags);
    CWnd* printers = GetDlgItem(printerCombo);
    if (printers && !name.IsEmpty()) {
        int index = static_cast<int>(printers->SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                           reinterpret_cast<LPARAM>(name.GetString())));
        if (index >= 0) {
            printers->SendMessage(CB_SETCURSEL, index);
            PostMessage(WM_COMMAND, MAKEWPARAM(printerCombo, CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(printers->GetSafeHwnd()));
        }
    }
    return TRUE;
}

void CMyPrintDialog::OnDefinitionChosen()
{
    int index = m_definitions.GetCurSel();
    if (index >= 0)
        m_definitions.GetLBText(index, m_definitionFile);
}

void CMyPrintDialog::OnBrowse()
{
    CString folder;
    GetPathPart(folder, m_definitionFile, PartFolder);
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, L"印刷定義ﾌｧｲﾙ (*.dps)|*.dps||",
                       this);
    dialog.m_ofn.lpstrInitialDir = folder.IsEmpty() ? nullptr : folder.GetString();
    CString programFolder;
    GetModuleFolder(programFolder);
    INT_PTR answer = IDCANCEL;
    {
        CurrentDirectoryScope directory(programFolder);
        answer = dialog.DoModal();
    }
    if (answer != IDOK)
        return;
    m_definitionFile = dialog.GetPathName();
    int index = m_definitions.FindStringExact(-1, m_definitionFile);
    if (index < 0)
        index = m_definitions.InsertString(0, m_definitionFile);
    m_definitions.SetCurSel(index);
}

void CMyPrintDialog::OnOK()
{
    m_definitions.GetWindowText(m_definitionFile);
    // The chosen file first, then the others; the empty entry and the same file in another case go.
    m_definitionHistory.RemoveAll();
    if (!m_definitionFile.IsEmpty())
        m_definitionHistory.Add(m_definitionFile);
    for (int i = 0; i < m_definitions.GetCount(); ++i) {
        CString entry;
        m_definitions.GetLBText(i, entry);
        if (!entry.IsEmpty() && entry.CompareNoCase(m_definitionFile) != 0)
            m_definitionHistory.Add(entry);
    }
    m_definitionHistory.Save();

    CString printer;
    GetDlgItemText(PrinterComboId(m_pd.Flags), printer);
    WriteAppIniString(kPrint, L"name", printer);

    CString rows;
    GetDlgItemText(IDC_PRINT_BAND_HEIGHT, rows);
    m_bandHeight = CPrintOutDialog::BandHeightOrDefault(_wtoi(rows));
    WriteAppIniInt(kPrint, L"Raster", m_bandHeight);
    CPrintDialog::OnOK();
}
