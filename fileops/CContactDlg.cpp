#include "fileops/CContactDlg.h"

#include "fileops/VCOJpg.h"
#include "foundation/FormatMessageText.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CContactDlg, CDialog)
ON_BN_CLICKED(IDC_CONTACT_FOLDER_BROWSE, OnBrowseFolder)
END_MESSAGE_MAP()

CContactDlg::CContactDlg(CWnd* parent) : CDialog(IDD_CONTACT, parent) {}

BOOL CContactDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_folders.SubclassDlgItem(IDC_CONTACT_FOLDER, this);
    m_fileNames.SubclassDlgItem(IDC_CONTACT_FILE_NAME, this);
    m_fileTypes.SubclassDlgItem(IDC_CONTACT_FILE_TYPE, this);
    m_columnsEdit.SubclassDlgItem(IDC_CONTACT_COLUMNS, this);
    m_rowsEdit.SubclassDlgItem(IDC_CONTACT_ROWS, this);

    m_folderHistory.LoadIntoComboBox(m_folders, m_folder);
    m_fileNameHistory.Load();
    if (m_fileNameHistory.IsEmpty())
        m_fileNameHistory.Add(L"sheet");
    m_fileNameHistory.FillComboBox(m_fileNames);
    if (m_fileName.IsEmpty())
        m_fileName = m_fileNameHistory[0];
    m_fileNames.SetWindowText(m_fileName);

    ContactSheetChoices& choices = *this;
    SettingsTable::Read(choices);
    m_fileType = m_fileType == FileTypeJpeg ? FileTypeJpeg : FileTypeBmp;
    SetDlgItemInt(IDC_CONTACT_COLUMNS, m_columns);
    SetDlgItemInt(IDC_CONTACT_ROWS, m_rows);
    m_fileTypes.AddString(L"BMP ﾌｧｲﾙ形式");
    m_fileTypes.AddString(L"JPEG ﾌｧｲﾙ形式");
    m_fileTypes.SetCurSel(m_fileType);

    // The page host covers the frame; its one page stays whichever type is chosen.
    ModifyStyle(0, WS_CLIPCHILDREN);
    CRect frame;
    CWnd* marker = GetDlgItem(IDC_CONTACT_PAGE_FRAME);
    marker->GetWindowRect(&frame);
    ScreenToClient(&frame);
    // The frame only marks the place: left showing, it would hide the host beneath it.
    marker->ShowWindow(SW_HIDE);
    m_pages.Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP, frame, this, 0);
    m_jpegPage = new VCOJpg;
    m_jpegPage->m_quality = m_jpegQuality;
    if (!m_pages.AddPage(m_jpegPage))
        m_jpegPage = nullptr; // the sheet has deleted it
    else
        m_pages.SetCurSel(0);
    return TRUE;
}

void CContactDlg::OnBrowseFolder()
{
    FolderList::BrowseIntoComboBox(m_folders, FormatMessageLine(MsgChooseDestination));
}

void CContactDlg::OnOK()
{
    if (!m_folderHistory.TakeFromComboBox(m_folders, m_folder) ||
        !m_fileNameHistory.TakeFromComboBox(m_fileNames, m_fileName))
        return;
    CString text;
    m_columnsEdit.GetWindowText(text);
    m_columns = _wtoi(text);
    m_rowsEdit.GetWindowText(text);
    m_rows = _wtoi(text);
    m_fileType = m_fileTypes.GetCurSel() == FileTypeJpeg ? FileTypeJpeg : FileTypeBmp;
    if (m_jpegPage) {
        m_jpegPage->OnOK();
        m_jpegQuality = m_jpegPage->m_quality;
    }
    SettingsTable::Write(static_cast<const ContactSheetChoices&>(*this));

    CString extension;
    if (GetPathPart(extension, m_fileName, PartExt).IsEmpty())
        m_fileName += m_fileType == FileTypeJpeg ? L".jpg" : L".bmp";
    CString full;
    if (GetFullPath(full, m_folder).IsEmpty())
        return;
    m_folder = full;
    MakePath(m_outputPath, nullptr, m_folder, m_fileName, nullptr);
    EndDialog(IDOK);
}
