#include "fileops/VFileCopyDlg.h"

#include "catalogue/FolderList.h"
#include "controls/TreeOptionsDDX.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/ShellShortcut.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxUtility.h"
#include "foundation/WindowPlacement.h"
#include "res/resource.h"

#include <cwchar>

namespace {

const COLORREF kTreeBackground = RGB(255, 255, 224);
const int kGroupImage = 10;

} // namespace

BEGIN_MESSAGE_MAP(VFileCopyDlg, CResizableDialog)
ON_WM_DESTROY()
ON_BN_CLICKED(IDC_FILECOPY_BROWSE, OnBrowse)
ON_COMMAND_RANGE(ID_QUICK_FOLDER_FIRST, ID_QUICK_FOLDER_LAST, OnQuickFolder)
END_MESSAGE_MAP()

VFileCopyDlg::VFileCopyDlg(CWnd* parent) : VFileCopyDlg(IDD_FILE_COPY, L"複写先の選択", L"FileCopy", parent) {}

VFileCopyDlg::VFileCopyDlg(UINT templateId, LPCWSTR browseTitle, LPCWSTR section, CWnd* parent)
    : CResizableDialog(templateId, parent), m_browseTitle(browseTitle), m_section(section)
{
}

int VFileCopyDlg::SameNameModeOf(int choice)
{
    switch (choice) {
    case 1:
        return VyxFileTransfer::SameNewer;
    case 2:
        return VyxFileTransfer::SameOverwrite;
    case 3:
        return VyxFileTransfer::SameIgnore;
    case 4:
        return VyxFileTransfer::SameSerial;
    case 5:
        return VyxFileTransfer::SameLarger;
    default:
        return VyxFileTransfer::SameAsk;
    }
}

void VFileCopyDlg::PutFirst(CComboBox& combo, const CString& text)
{
    for (int i = combo.GetCount() - 1; i >= 0; --i) {
        CString entry;
        combo.GetLBText(i, entry);
        if (entry.CompareNoCase(text) == 0)
            combo.DeleteString(i);
    }
    combo.InsertString(0, text);
    combo.SetCurSel(0);
}

void VFileCopyDlg::SelectOrSetText(CComboBox& combo, const CString& text)
{
    int found = combo.FindStringExact(-1, text);
    if (found >= 0)
        combo.SetCurSel(found);
    else
        combo.SetWindowText(text);
}

void VFileCopyDlg::SaveHistory(const CComboBox& combo, int kind)
{
    FolderList list(kind);
    list.ReadComboBox(combo);
    if (list.GetCount() > FolderList::GetLimit(kind))
        list.SetSize(FolderList::GetLimit(kind));
    list.Save();
}

void VFileCopyDlg::DoDataExchange(CDataExchange* pDX)
{
    CResizableDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FILECOPY_OPTIONS, m_options);
    DDX_Control(pDX, IDC_FILECOPY_QUICK, m_menuButton);
    DDX_Control(pDX, IDC_FILECOPY_FOLDER, m_folderCombo);
    if (m_targetGroup && m_sameNameGroup) {
        DDX_TreeRadio(pDX, IDC_FILECOPY_OPTIONS, m_targetGroup, m_targetFiles);
        DDX_TreeRadio(pDX, IDC_FILECOPY_OPTIONS, m_sameNameGroup, m_sameName);
    }
}

void VFileCopyDlg::FillOptions()
{
    m_options.DeleteAllItems();
    m_options.SetBkColor(kTreeBackground);
    m_targetGroup = m_options.InsertGroup(L"対象ファイル", kGroupImage);
    for (LPCWSTR entry : {L"全ファイル", L"既存ファイル"})
        m_options.InsertRadioButton(entry, m_targetGroup, FALSE);
    m_sameNameGroup = m_options.InsertGroup(L"同名ファイルの処理（以降全て）", kGroupImage);
    for (LPCWSTR entry : {L"問い合わせ", L"新しい日付", L"上書き", L"無視", L"自動連番", L"大きなサイズ"})
        m_options.InsertRadioButton(entry, m_sameNameGroup, FALSE);
    m_options.Expand(m_targetGroup, TVE_EXPAND);
    m_options.Expand(m_sameNameGroup, TVE_EXPAND);
    m_options.EnsureVisible(m_targetGroup);
}

BOOL VFileCopyDlg::OnInitDialog()
{
    CResizableDialog::OnInitDialog();
    FolderList history(FolderListFilerFolder);
    history.Load();
    m_historyBefore.Copy(history);
    history.FillComboBox(m_folderCombo);
    m_folderCombo.SetCurSel(0);
    m_folderCombo.GetWindowText(m_destination);
    if (m_initialFolder.IsEmpty()) {
        wchar_t current[520] = {};
        DWORD length = GetCurrentDirectoryW(520, current);
        if (length > 0 && length < 520)
            m_initialFolder = current;
    }
    CString where;
    where.Format(L"現在の位置： %s", m_initialFolder.GetString());
    SetDlgItemText(IDC_FILECOPY_CURRENT, where);

    FolderList quick(FolderListQuickAccess);
    quick.Load();
    m_quickMenu.CreatePopupMenu();
    const int limit = ID_QUICK_FOLDER_LAST - ID_QUICK_FOLDER_FIRST + 1;
    for (int i = 0; i < quick.GetCount() && i < limit; ++i) {
        m_quickFolders.Add(quick[i]);
        m_quickMenu.AppendMenu(MF_STRING, ID_QUICK_FOLDER_FIRST + i, MenuItemText(quick[i]));
    }
    m_menuButton.AttachMenu(&m_quickMenu);

    FillOptions();
    UpdateData(FALSE);

    AddAnchor(IDC_FILECOPY_CURRENT, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDC_FILECOPY_FOLDER, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDC_FILECOPY_BROWSE, TOP_RIGHT);
    AddAnchor(IDC_FILECOPY_QUICK, TOP_RIGHT);
    AddAnchor(IDC_FILECOPY_OPTIONS, TOP_LEFT, BOTTOM_RIGHT);
    AddAnchor(IDOK, BOTTOM_RIGHT);
    AddAnchor(IDCANCEL, BOTTOM_RIGHT);
    RestoreWindowPlacement(m_hWnd, m_section);
    return TRUE;
}

void VFileCopyDlg::OnDestroy()
{
    SaveWindowPlacement(m_hWnd, m_section);
    m_menuButton.AttachMenu(nullptr);
    CResizableDialog::OnDestroy();
}

void VFileCopyDlg::OnQuickFolder(UINT id)
{
    INT_PTR index = static_cast<INT_PTR>(id - ID_QUICK_FOLDER_FIRST);
    if (index < 0 || index >= m_quickFolders.GetCount())
        return;
    m_destination = m_quickFolders[index];
    SelectOrSetText(m_folderCombo, m_destination);
}

void VFileCopyDlg::OnBrowse()
{
    CString start;
    if (IsKeyDown(VK_SHIFT))
        start = m_initialFolder;
    else
        m_folderCombo.GetWindowText(start);
    CString chosen;
    BrowseForFolder(chosen, m_hWnd, m_browseTitle, start);
    if (chosen.IsEmpty())
        return;
    m_destination = chosen;
    SelectOrSetText(m_folderCombo, chosen);
}

void VFileCopyDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    CString text;
    m_folderCombo.GetWindowText(text);
    PutFirst(m_folderCombo, text);
    SaveHistory(m_folderCombo, FolderListFilerFolder);
    wchar_t full[520] = {};
    if (text.IsEmpty() || !_wfullpath(full, text, 520))
        return;
    m_destination = full;
    EndDialog(IDOK);
}

bool VFileCopyDlg::MakeDestination()
{
    if (EnsureFolderExists(m_destination, false))
        return true;
    // A destination the user would not have made is none the user went to.
    FolderList::SaveKind(FolderListFilerFolder, m_historyBefore);
    return false;
}
