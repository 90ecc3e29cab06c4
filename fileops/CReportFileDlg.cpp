#include "fileops/CReportFileDlg.h"

#include "catalogue/FolderList.h"
#include "fileops/ReportFileWriter.h"
#include "foundation/VyxIni.h"
#include "foundation/WindowPlacement.h"
#include "res/resource.h"

namespace {

const wchar_t kSection[] = L"ReportFile";

struct MacroEntry
{
    const wchar_t* label;
    const wchar_t* macro;
};

const MacroEntry kMacros[] = {
    {L"パス", L"$(Path)"},          {L"フォルダ", L"$(Dir)"}, {L"名前", L"$(FileName)"}, {L"長さ", L"$(Length)"},
    {L"サイズ", L"$(Size)"},        {L"日付", L"$(Date)"},    {L"時刻", L"$(Time)"},     {L"幅", L"$(Width)"},
    {L"高さ", L"$(Height)"},        {L"色", L"$(Color)"},     {L"情報", L"$(Info)"},     {L"コメント", L"$(Comment)"},
    {L"書庫名", L"$(ArcFileName)"},
};

} // namespace

BEGIN_MESSAGE_MAP(CReportFileDlg, CResizableDialog)
ON_BN_CLICKED(IDC_REPORT_FILE_BROWSE, OnBrowse)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CReportFileDlg::CReportFileDlg(CWnd* parent) : CResizableDialog(IDD, parent) {}

CString CReportFileDlg::DefaultTemplate()
{
    CString text;
    text.Format(L"%s\\t%s\\t%s\\t%sx%s %sbit\\t%s\\t%s", L"$(FileName)", L"$(Size)", L"$(DateTime)", L"$(Width)",
                L"$(Height)", L"$(Color)", L"$(Info)", L"$(Note)");
    return text;
}

void CReportFileDlg::DoDataExchange(CDataExchange* pDX)
{
    CResizableDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_REPORT_FILE_TEMPLATE, m_template);
    DDX_Text(pDX, IDC_REPORT_FILE_NAME, m_fileName);
    DDV_MaxChars(pDX, m_fileName, 256);
}

BOOL CReportFileDlg::OnInitDialog()
{
    GetAppIniString(m_fileName, kSection, L"ReportFile", L"report.txt");
    CResizableDialog::OnInitDialog();
    FolderList templates(FolderListReportFile);
    templates.Load();
    templates.FillComboBox(m_template);
    if (m_template.GetCount() == 0)
        m_template.AddString(DefaultTemplate());
    m_template.SetCurSel(0);
    m_template.CreateButton();
    m_template.ResetMenu(MenuFirst);
    for (const MacroEntry& entry : kMacros)
        m_template.AddMenuItem(entry.label, entry.macro);
    AddAnchor(IDC_REPORT_FILE_NAME, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDC_REPORT_FILE_BROWSE, TOP_RIGHT);
    AddAnchor(IDC_REPORT_FILE_TEMPLATE, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDOK, TOP_RIGHT);
    AddAnchor(IDCANCEL, TOP_RIGHT);
    RestoreWindowPlacement(m_hWnd, kSection);
    return TRUE;
}

void CReportFileDlg::OnBrowse()
{
    CString current;
    GetDlgItemText(IDC_REPORT_FILE_NAME, current);
    CFileDialog browse(FALSE, nullptr, current, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, L"TEXT形式(*.txt)|*.txt||",
                       this);
    browse.m_ofn.lpstrTitle = L"レポートファイルの作成";
    if (browse.DoModal() == IDOK)
        SetDlgItemText(IDC_REPORT_FILE_NAME, browse.GetPathName());
}

void CReportFileDlg::OnOK()
{
    CString text;
    m_template.GetWindowText(text);
    FolderList::MoveToTop(m_template, text);
    FolderList templates(FolderListReportFile);
    templates.ReadComboBox(m_template);
    templates.Save();
    m_lineTemplate = ReportFileWriter::Unescape(text);
    if (!UpdateData(TRUE))
        return;
    WriteAppIniString(kSection, L"ReportFile", m_fileName);
    EndDialog(IDOK);
}

void CReportFileDlg::OnDestroy()
{
    SaveWindowPlacement(m_hWnd, kSection);
    CResizableDialog::OnDestroy();
}
