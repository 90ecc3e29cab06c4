#include "fileops/CHtmlDlg.h"

#include "catalogue/CKWDoc.h"
#include "foundation/CurrentDirectoryScope.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "res/resource.h"

#include <commctrl.h>

namespace {

void SetNumber(CWnd* dialog, int editId, int spinId, int value, int upper)
{
    dialog->SendDlgItemMessage(spinId, UDM_SETRANGE32, 0, upper);
    dialog->SetDlgItemInt(editId, value);
}

// The box's text taken into its history and the value; an empty box is told by what it should
// hold, and the focus goes into it.
bool TakeRequired(CDialog& dialog, FolderList& history, CComboBox& box, CString& value, const wchar_t* what)
{
    if (history.TakeFromComboBox(box, value))
        return true;
    ShowMessageBox(CString(what) + L"を指定してください。", MB_OK | MB_ICONEXCLAMATION);
    dialog.GotoDlgCtrl(&box);
    return false;
}

int LeadingInteger(CWnd* dialog, int editId)
{
    CString text;
    dialog->GetDlgItemText(editId, text);
    return _wtoi(text);
}

} // namespace

BEGIN_MESSAGE_MAP(CHtmlDlg, CDialog)
ON_BN_CLICKED(IDC_HTML_FOLDER_BROWSE, OnBrowseFolder)
ON_BN_CLICKED(IDC_HTML_DEFINITION_BROWSE, OnBrowseDefinition)
ON_BN_CLICKED(IDC_HTML_TABLE, OnLayoutOrLinkChanged)
ON_BN_CLICKED(IDC_HTML_LINK_PICTURE, OnLayoutOrLinkChanged)
ON_BN_CLICKED(IDC_HTML_LINK_JPEG, OnLayoutOrLinkChanged)
ON_BN_CLICKED(IDC_HTML_LINK_PNG, OnLayoutOrLinkChanged)
END_MESSAGE_MAP()

CHtmlDlg::CHtmlDlg(CWnd* parent) : CDialog(IDD_HTML, parent) {}

BOOL CHtmlDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_folders.SubclassDlgItem(IDC_HTML_FOLDER, this);
    m_fileNames.SubclassDlgItem(IDC_HTML_FILE_NAME, this);
    m_definitions.SubclassDlgItem(IDC_HTML_DEFINITION, this);
    m_thumbnailFolders.SubclassDlgItem(IDC_HTML_THUMBS_FOLDER, this);
    m_folderHistory.LoadIntoComboBox(m_folders, m_folder);
    m_fileNameHistory.LoadIntoComboBox(m_fileNames, m_fileName);
    if (m_fileName.IsEmpty()) {
        m_fileName = L"catalog.htm";
        m_fileNames.SetWindowText(m_fileName);
    }
    m_definitionHistory.LoadIntoComboBox(m_definitions, m_definitionFile);
    m_thumbnailFolderHistory.LoadIntoComboBox(m_thumbnailFolders, m_thumbnailFolder);

    HtmlCatalogChoices& choices = *this;
    SettingsTable::Read(choices);
    m_reducePng = m_reducePng == 8 ? 8 : 0;

    SetNumber(this, IDC_HTML_PAGE_COUNT, IDC_HTML_PAGE_COUNT_SPIN, m_pageCount, 100);
    SetNumber(this, IDC_HTML_COLUMNS, IDC_HTML_COLUMNS_SPIN, m_columns, 40);
    SetNumber(this, IDC_HTML_ROWS, IDC_HTML_ROWS_SPIN, m_rows, 40);
    SetNumber(this, IDC_HTML_QUALITY, IDC_HTML_QUALITY_SPIN, m_jpegQuality, 100);
    CheckDlgButton(IDC_HTML_TABLE, m_table ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_HTML_PROGRESSIVE, m_progressive ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_HTML_QUANT_PNG, m_reducePng ? BST_CHECKED : BST_UNCHECKED);
    int linkMode = m_linkMode >= 0 && m_linkMode <= 2 ? m_linkMode : 0;
    CheckRadioButton(IDC_HTML_LINK_PICTURE, IDC_HTML_LINK_PNG, IDC_HTML_LINK_PICTURE + linkMode);
    ApplyEnablingRules();
    return TRUE;
}

void CHtmlDlg::ApplyEnablingRules()
{
    const bool table = IsDlgButtonChecked(IDC_HTML_TABLE) == BST_CHECKED;
    for (int id : {IDC_HTML_PAGE_COUNT, IDC_HTML_PAGE_COUNT_SPIN})
        GetDlgItem(id)->EnableWindow(!table);
    for (int id : {IDC_HTML_COLUMNS, IDC_HTML_COLUMNS_SPIN, IDC_HTML_ROWS, IDC_HTML_ROWS_SPIN})
        GetDlgItem(id)->EnableWindow(table);
    const bool jpeg = IsDlgButtonChecked(IDC_HTML_LINK_JPEG) == BST_CHECKED;
    const bool png = IsDlgButtonChecked(IDC_HTML_LINK_PNG) == BST_CHECKED;
    for (int id : {IDC_HTML_QUALITY, IDC_HTML_QUALITY_SPIN, IDC_HTML_PROGRESSIVE})
        GetDlgItem(id)->EnableWindow(jpeg);
    GetDlgItem(IDC_HTML_THUMBS_FOLDER)->EnableWindow(jpeg || png);
    GetDlgItem(IDC_HTML_QUANT_PNG)->EnableWindow(png);
}

void CHtmlDlg::OnLayoutOrLinkChanged()
{
    ApplyEnablingRules();
}

void CHtmlDlg::OnBrowseFolder()
{
    FolderList::BrowseIntoComboBox(m_folders, L"保存先を選択してください");
}

void CHtmlDlg::OnBrowseDefinition()
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, L"Vesko HTML files(*.kwm)|*.kwm|all files(*.*)|*.*||",
                       this);
    dialog.m_ofn.lpstrTitle = L"HTML定義ファイルの選択";
    CString programFolder;
    GetModuleFolder(programFolder);
    dialog.m_ofn.lpstrInitialDir = programFolder;
    // The dialog may move the current directory, which the catalog command has set.
    CurrentDirectoryScope directory;
    if (dialog.DoModal() == IDOK)
        m_definitions.SetWindowText(dialog.GetPathName());
}

void CHtmlDlg::OnOK()
{
    // The first empty one of the three keeps the dialog open.
    if (!TakeRequired(*this, m_folderHistory, m_folders, m_folder, L"保存先フォルダ") ||
        !TakeRequired(*this, m_fileNameHistory, m_fileNames, m_fileName, L"名前書式") ||
        !TakeRequired(*this, m_definitionHistory, m_definitions, m_definitionFile, L"HTML形式定義ファイル"))
        return;
    if (!m_thumbnailFolderHistory.TakeFromComboBox(m_thumbnailFolders, m_thumbnailFolder)) {
        m_thumbnailFolders.SetWindowText(L".");
        m_thumbnailFolderHistory.TakeFromComboBox(m_thumbnailFolders, m_thumbnailFolder);
    }

    m_pageCount = LeadingInteger(this, IDC_HTML_PAGE_COUNT);
    m_columns = LeadingInteger(this, IDC_HTML_COLUMNS);
    m_rows = LeadingInteger(this, IDC_HTML_ROWS);
    m_jpegQuality = LeadingInteger(this, IDC_HTML_QUALITY);
    m_linkMode = IsDlgButtonChecked(IDC_HTML_LINK_PNG) ? 2 : IsDlgButtonChecked(IDC_HTML_LINK_JPEG) ? 1 : 0;
    m_progressive = IsDlgButtonChecked(IDC_HTML_PROGRESSIVE) == BST_CHECKED;
    m_table = IsDlgButtonChecked(IDC_HTML_TABLE) == BST_CHECKED;
    m_reducePng = IsDlgButtonChecked(IDC_HTML_QUANT_PNG) == BST_CHECKED ? 8 : 0;
    SettingsTable::Write(static_cast<const HtmlCatalogChoices&>(*this));

    CString extension;
    if (GetPathPart(extension, m_fileName, PartExt).IsEmpty())
        m_fileName += L".html";
    CString full;
    if (GetFullPath(full, m_folder).IsEmpty())
        return;
    m_folder = full;
    EndDialog(IDOK);
}
