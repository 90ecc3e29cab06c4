#include "fileops/CRegExpGroupDialog.h"

#include "catalogue/VyxFile.h"
#include "fileops/RenameTemplate.h"
#include "foundation/MessageBoxes.h"
#include "res/resource.h"

namespace {

const wchar_t kPlaceholder[] = L"...ここに新しい正規表現を入力します";
const DWORD_PTR kPlaceholderFlag = 1;
const UINT kDeleteCommand = 1;

} // namespace

BEGIN_MESSAGE_MAP(CRegExpGroupDialog, CResizableDialog)
ON_WM_DESTROY()
ON_CBN_SELCHANGE(IDC_REGEXP_GROUP_NAME, OnSelChangeName)
ON_CBN_EDITCHANGE(IDC_REGEXP_GROUP_NAME, OnEditChangeName)
ON_BN_CLICKED(IDC_REGEXP_GROUP_DELETE, OnDeleteGroup)
ON_NOTIFY(NM_RCLICK, IDC_REGEXP_GROUP_LIST, OnRightClick)
ON_NOTIFY(LVN_ENDLABELEDITW, IDC_REGEXP_GROUP_LIST, OnEndLabelEdit)
ON_MESSAGE(WMU_ITEMMOVED, OnItemMoved)
END_MESSAGE_MAP()

CRegExpGroupDialog::CRegExpGroupDialog(CWnd* parent) : CResizableDialog(IDD, parent) {}

const wchar_t* CRegExpGroupDialog::GetPlaceholderText()
{
    return kPlaceholder;
}

void CRegExpGroupDialog::DoDataExchange(CDataExchange* pDX)
{
    CResizableDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_REGEXP_GROUP_LIST, m_list);
    DDX_Control(pDX, IDC_REGEXP_GROUP_NAME, m_names);
}

BOOL CRegExpGroupDialog::OnInitDialog()
{
    CResizableDialog::OnInitDialog();
    // The dialog opens in the name box: Escape and Tab must still reach the dialog from there.
    m_names.SetDialogKeys(TRUE);
    m_list.InsertStoredColumns(L"RegExpGroupColumn", L"正規表現 一覧", L"Result", 150);
    m_list.SetNotifyMessage(WMU_ITEMMOVED);

    m_names.AddString(L"");
    CStringArray names;
    m_groups.GetGroupNames(names);
    for (INT_PTR i = 0; i < names.GetSize(); ++i)
        m_names.AddString(names[i]);
    int shown = m_groupName.IsEmpty() ? 0 : FindName(m_groupName);
    m_names.SetCurSel(shown < 0 ? 0 : shown);
    m_names.GetLBText(shown < 0 ? 0 : shown, m_shownName);
    LoadGroup(m_shownName);
    UpdateResults();

    AddAnchor(IDC_REGEXP_GROUP_NAME, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDC_REGEXP_GROUP_DELETE, TOP_RIGHT);
    AddAnchor(IDOK, TOP_RIGHT);
    AddAnchor(IDC_REGEXP_GROUP_LIST, TOP_LEFT, BOTTOM_RIGHT);
    return TRUE;
}

int CRegExpGroupDialog::FindName(const CString& name) const
{
    for (int i = 0; i < m_names.GetCount(); ++i) {
        CString entry;
        m_names.GetLBText(i, entry);
        if (entry == name)
            return i;
    }
    return -1;
}

bool CRegExpGroupDialog::IsPlaceholder(int row) const
{
    return (m_list.GetItemData(row) & kPlaceholderFlag) != 0;
}

void CRegExpGroupDialog::AppendPlaceholder()
{
    int row = m_list.InsertItem(m_list.GetItemCount(), kPlaceholder);
    m_list.SetItemData(row, kPlaceholderFlag);
}

void CRegExpGroupDialog::LoadGroup(const wchar_t* name)
{
    m_list.DeleteAllItems();
    CStringArray patterns;
    if (name && *name)
        m_groups.ReadGroup(name, patterns);
    for (INT_PTR i = 0; i < patterns.GetSize(); ++i)
        m_list.InsertItem(static_cast<int>(i), patterns[i]);
    AppendPlaceholder();
}

void CRegExpGroupDialog::GetPatterns(CStringArray& patterns) const
{
    patterns.RemoveAll();
    for (int row = 0; row < m_list.GetItemCount(); ++row)
        if (!IsPlaceholder(row))
            patterns.Add(m_list.GetItemText(row, 0));
}

void CRegExpGroupDialog::SaveGroup(const wchar_t* name)
{
    CStringArray patterns;
    GetPatterns(patterns);
    m_groups.WriteGroup(name, patterns);
}

void CRegExpGroupDialog::UpdateResults()
{
    CString text = m_sampleText;
    VyxRegExp matcher;
    for (int row = 0; row < m_list.GetItemCount(); ++row) {
        if (!m_sampleItem || IsPlaceholder(row)) {
            m_list.SetItemText(row, 1, L"");
            continue;
        }
        CString pattern = RenameTemplate::ExpandPattern(m_list.GetItemText(row, 0), *m_sampleItem, 1);
        if (matcher.Execute(pattern, text) > 0)
            text = matcher.GetMatch(0);
        m_list.SetItemText(row, 1, text);
    }
}

void CRegExpGroupDialog::DeleteRow(int row)
{
    if (row < 0 || row >= m_list.GetItemCount() || IsPlaceholder(row))
        return;
    m_list.DeleteItem(row);
    UpdateResults();
}

void CRegExpGroupDialog::OnSelChangeName()
{
    int selected = m_names.GetCurSel();
    if (selected < 0)
        return;
    CString next;
    m_names.GetLBText(selected, next);
    if (!m_shownName.IsEmpty()) {
        SaveGroup(m_shownName);
        if (FindName(m_shownName) < 0)
            m_names.AddString(m_shownName);
    }
    m_shownName = next;
    LoadGroup(m_shownName);
    UpdateResults();
}

void CRegExpGroupDialog::OnEditChangeName()
{
    m_names.GetWindowText(m_shownName);
}

void CRegExpGroupDialog::OnDeleteGroup()
{
    int selected = m_names.GetCurSel();
    if (selected < 0)
        return;
    CString name;
    m_names.GetLBText(selected, name);
    if (name.IsEmpty() || ShowMessageBox(IDS_REGEXP_GROUP_CONFIRM_DELETE, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    m_groups.DeleteGroup(name);
    m_names.DeleteString(selected);
    // The empty entry: nothing shown is saved again under the deleted name.
    m_names.SetCurSel(0);
    m_shownName.Empty();
    LoadGroup(nullptr);
    UpdateResults();
}

void CRegExpGroupDialog::OnRightClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    int row = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem;
    if (row < 0)
        return;
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    menu.AppendMenu(MF_STRING, kDeleteCommand, L"削除(&D)");
    CPoint point;
    ::GetCursorPos(&point);
    if (menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, point.x, point.y, this) ==
        static_cast<BOOL>(kDeleteCommand))
        DeleteRow(row);
}

void CRegExpGroupDialog::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(pNMHDR);
    *pResult = FALSE;
    const int row = info->item.iItem;
    if (row < 0 || row >= m_list.GetItemCount())
        return;
    const CString text = m_list.GetEndedLabelText(info);
    m_list.SetItemText(row, 0, text);
    if (IsPlaceholder(row) && text != kPlaceholder) {
        m_list.SetItemData(row, 0);
        AppendPlaceholder();
    }
    UpdateResults();
}

LRESULT CRegExpGroupDialog::OnItemMoved(WPARAM wParam, LPARAM lParam)
{
    // The placeholder stays last: it is not moved, and nothing goes after it.
    const int placeholder = m_list.GetItemCount() - 1;
    const int from = static_cast<int>(wParam);
    int to = static_cast<int>(lParam);
    if (from < 0 || from >= placeholder || to < 0 || to == from)
        return 0;
    to = std::min(to, placeholder);
    CString pattern = m_list.GetItemText(from, 0);
    m_list.InsertItem(to, pattern);
    m_list.DeleteItem(from >= to ? from + 1 : from);
    UpdateResults();
    return 0;
}

void CRegExpGroupDialog::OnOK()
{
    CString name;
    m_names.GetWindowText(name);
    if (!name.IsEmpty())
        SaveGroup(name);
    CResizableDialog::OnOK();
}

void CRegExpGroupDialog::OnDestroy()
{
    m_list.StoreColumnWidths(L"RegExpGroupColumn");
    CResizableDialog::OnDestroy();
}
