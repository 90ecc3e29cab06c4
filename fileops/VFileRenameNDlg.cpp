#include "fileops/VFileRenameNDlg.h"

#include "catalogue/FolderList.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/VyxFile.h"
#include "fileops/CRegExpGroupDialog.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxUtility.h"
#include "foundation/WindowPlacement.h"
#include "res/resource.h"

#include <algorithm>

namespace {

const wchar_t kSection[] = L"Filer";
const wchar_t kPlacement[] = L"FileRenameN";

// The leading integer of a text (blanks, a sign, digits), held well inside 64 bits so that the
// numbers of the following rows cannot overflow.
long long LeadingInteger(const CString& text)
{
    const wchar_t* p = text;
    while (*p == L' ' || *p == L'\t')
        ++p;
    bool negative = *p == L'-';
    if (*p == L'-' || *p == L'+')
        ++p;
    long long value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p)
        value = std::min(value * 10 + (*p - L'0'), 1000000000000000LL);
    return negative ? -value : value;
}

struct SortOrder
{
    int column;
    int step; // 1 ascending, 2 descending, 0 the first order
};

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM data)
{
    const auto* a = reinterpret_cast<const RenameRow*>(first);
    const auto* b = reinterpret_cast<const RenameRow*>(second);
    const auto* order = reinterpret_cast<const SortOrder*>(data);
    if (order->step == 0)
        return a->initialPosition - b->initialPosition;
    int result = order->column == 0 ? a->newName.CompareNoCase(b->newName)
                                    : a->item->GetFileName().CompareNoCase(b->item->GetFileName());
    return order->step == 2 ? -result : result;
}

} // namespace

BEGIN_MESSAGE_MAP(VFileRenameNDlg, CResizableDialog)
ON_WM_DESTROY()
ON_WM_PAINT()
ON_BN_CLICKED(IDC_RENAMEN_UPDATE, OnUpdateNames)
ON_BN_CLICKED(IDC_RENAMEN_COMMON, OnCommon)
ON_BN_CLICKED(IDC_RENAMEN_UP, OnMoveUp)
ON_BN_CLICKED(IDC_RENAMEN_DOWN, OnMoveDown)
ON_BN_CLICKED(IDC_RENAMEN_PREVIEW, OnPreviewClicked)
ON_COMMAND(VFileRenameNDlg::FormatMenuFirst, OnEditGroups)
ON_NOTIFY(LVN_GETDISPINFOW, IDC_RENAMEN_LIST, OnGetDispInfo)
ON_NOTIFY(LVN_COLUMNCLICK, IDC_RENAMEN_LIST, OnColumnClick)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_RENAMEN_LIST, OnItemChanged)
ON_NOTIFY(LVN_ENDLABELEDITW, IDC_RENAMEN_LIST, OnEndLabelEdit)
ON_MESSAGE(WMU_ITEMMOVED, OnItemMoved)
END_MESSAGE_MAP()

VFileRenameNDlg::VFileRenameNDlg(CWnd* parent) : CResizableDialog(IDD, parent) {}

VFileRenameNDlg::~VFileRenameNDlg() = default;

void VFileRenameNDlg::AddFile(VyxFile* item, const wchar_t* name)
{
    if (!item)
        return;
    auto row = std::make_unique<RenameRow>();
    row->item = item;
    row->newName = name ? CString(name) : item->GetFileName();
    row->initialPosition = GetRowCount();
    m_rows.push_back(std::move(row));
}

int VFileRenameNDlg::RenameFiles(CKWDoc& document, CStringArray& failures)
{
    int renamed = 0;
    for (const auto& row : m_rows) {
        const CString current = row->item->GetFileName();
        if (!RenameTemplate::HasLostItsTitle(row->newName, current) && document.RenameItem(row->item, row->newName)) {
            ++renamed;
            document.AnnounceItemChanged(row->item);
            continue;
        }
        CString line;
        line.Format(L"%s -> %s :failed rename", static_cast<LPCWSTR>(current), static_cast<LPCWSTR>(row->newName));
        failures.Add(line);
    }
    return renamed;
}

void VFileRenameNDlg::DoDataExchange(CDataExchange* pDX)
{
    CResizableDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RENAMEN_PREVIEW, m_preview);
    DDX_Control(pDX, IDC_RENAMEN_FORMAT, m_format);
    DDX_Control(pDX, IDC_RENAMEN_TARGET, m_target);
    DDX_Control(pDX, IDC_RENAMEN_LIST, m_list);
    DDX_Control(pDX, IDC_RENAMEN_SPIN, m_spin);
}

BOOL VFileRenameNDlg::OnInitDialog()
{
    CResizableDialog::OnInitDialog();
    m_spin.SetRange32(0, 10000);
    FolderList targets(FolderListReplaceFormat);
    targets.Load();
    targets.FillComboBox(m_target);
    if (m_target.GetCount() > 0)
        m_target.SetCurSel(0);
    FolderList formats(FolderListRenameFormat);
    formats.Load();
    formats.FillComboBox(m_format);
    if (m_format.GetCount() > 0)
        m_format.SetCurSel(0);
    m_firstNumber = GetAppIniInt(kSection, L"RenameFirst#", 1);
    SetDlgItemInt(IDC_RENAMEN_FIRST, static_cast<UINT>(m_firstNumber), TRUE);
    m_previewFlag = GetAppIniInt(kSection, L"Preview", 1);

    m_list.InsertStoredColumns(L"RenameColumn", L"変更後の名前", L"現在の名前", 50);
    m_list.SetNotifyMessage(WMU_ITEMMOVED);
    // Thousands of rows go in without a repaint each.
    m_list.SetRedraw(FALSE);
    m_list.SetItemCount(GetRowCount());
    for (int i = 0; i < GetRowCount(); ++i) {
        m_rows[static_cast<size_t>(i)]->initialPosition = i;
        InsertRow(i, m_rows[static_cast<size_t>(i)].get());
    }
    m_list.SetRedraw(TRUE);
    m_preview.SetCheck(m_previewFlag ? BST_CHECKED : BST_UNCHECKED);
    UpdateNames();

    m_target.CreateButton();
    m_target.ResetMenu(TargetMenuFirst);
    // The title is the name without its extension.
    m_target.AddMenuItem(L"ファイルタイトル", L"$(Name)");
    m_target.AddMenuItem(L"拡張子", L"$(Ext)");
    m_format.CreateButton();
    BuildFormatMenu();

    AddAnchor(IDC_RENAMEN_BOX, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDC_RENAMEN_TARGET, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDC_RENAMEN_FORMAT, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDC_RENAMEN_UPDATE, TOP_RIGHT);
    AddAnchor(IDC_RENAMEN_COMMON, TOP_RIGHT);
    AddAnchor(IDC_RENAMEN_LIST, TOP_LEFT, BOTTOM_RIGHT);
    AddAnchor(IDOK, TOP_RIGHT);
    AddAnchor(IDCANCEL, TOP_RIGHT);
    AddAnchor(IDC_RENAMEN_PICTURE, TOP_RIGHT);
    AddAnchor(IDC_RENAMEN_PREVIEW, TOP_RIGHT);
    AddAnchor(IDC_RENAMEN_UP, BOTTOM_RIGHT);
    AddAnchor(IDC_RENAMEN_DOWN, BOTTOM_RIGHT);
    RestoreWindowPlacement(m_hWnd, kPlacement);
    // The computation gave the list the focus.
    return FALSE;
}

void VFileRenameNDlg::BuildFormatMenu()
{
    m_format.ResetMenu(FormatMenuFirst);
    // No value: the command comes back to this dialog.
    m_format.AddMenuItem(L">>>正規表現グループ編集", L"");
    m_format.AddMenuItem(nullptr, nullptr);
    CStringArray names;
    m_groups.GetGroupNames(names);
    for (INT_PTR i = 0; i < names.GetSize(); ++i)
        m_format.AddMenuItem(names[i], L"\\$" + names[i]);
}

RenameRow* VFileRenameNDlg::RowAt(int index) const
{
    return reinterpret_cast<RenameRow*>(m_list.GetItemData(index));
}

void VFileRenameNDlg::InsertRow(int index, RenameRow* row)
{
    m_list.InsertItem(LVIF_TEXT | LVIF_PARAM, index, LPSTR_TEXTCALLBACKW, 0, 0, 0, reinterpret_cast<LPARAM>(row));
}

int VFileRenameNDlg::SelectedIndex() const
{
    return m_list.GetNextItem(-1, LVNI_SELECTED);
}

void VFileRenameNDlg::UpdateNames()
{
    m_list.SetFocus();
    m_target.GetWindowText(m_targetText);
    m_format.GetWindowText(m_formatText);
    CString first;
    GetDlgItemText(IDC_RENAMEN_FIRST, first);
    m_firstNumber = LeadingInteger(first);
    m_template.Prepare(m_targetText, m_formatText, m_groups);
    long long number = m_firstNumber;
    for (int i = 0; i < m_list.GetItemCount(); ++i, ++number) {
        RenameRow* row = RowAt(i);
        // Nothing left before the extension (an empty format, or one this file gives nothing
        // for) is no name: the row keeps the one it has.
        const CString name = m_template.MakeName(*row->item, number);
        const CString current = row->item->GetFileName();
        row->newName = RenameTemplate::HasLostItsTitle(name, current) ? current : name;
    }
    m_list.Invalidate();
}

void VFileRenameNDlg::OnUpdateNames()
{
    UpdateNames();
}

void VFileRenameNDlg::OnCommon()
{
    const int count = m_list.GetItemCount();
    if (count < 2)
        return;
    CString common = RowAt(0)->item->GetFileName();
    for (int i = 1; i < count; ++i) {
        int length = CommonPrefixLengthNoCase(common, RowAt(i)->item->GetFileName());
        if (length == 0)
            return;
        common = common.Left(length);
    }
    m_target.SetWindowText(common);
}

void VFileRenameNDlg::SwapRows(int first, int second)
{
    const UINT mask = LVIS_SELECTED | LVIS_FOCUSED;
    m_previewSuspended = true;
    RenameRow* firstRow = RowAt(first);
    UINT firstState = m_list.GetItemState(first, mask);
    UINT secondState = m_list.GetItemState(second, mask);
    m_list.SetItemData(first, reinterpret_cast<DWORD_PTR>(RowAt(second)));
    m_list.SetItemData(second, reinterpret_cast<DWORD_PTR>(firstRow));
    m_list.SetItemState(first, secondState, mask);
    m_list.SetItemState(second, firstState, mask);
    m_list.RedrawItems(std::min(first, second), std::max(first, second));
    m_list.EnsureVisible(second, FALSE);
    m_previewSuspended = false;
}

void VFileRenameNDlg::OnMoveUp()
{
    int selected = SelectedIndex();
    if (selected > 0)
        SwapRows(selected, selected - 1);
}

void VFileRenameNDlg::OnMoveDown()
{
    int selected = SelectedIndex();
    if (selected >= 0 && selected < m_list.GetItemCount() - 1)
        SwapRows(selected, selected + 1);
}

LRESULT VFileRenameNDlg::OnItemMoved(WPARAM wParam, LPARAM lParam)
{
    const int from = static_cast<int>(wParam), to = static_cast<int>(lParam);
    const int count = m_list.GetItemCount();
    if (from < 0 || from >= count || to < 0 || to > count || from == to)
        return 0;
    m_previewSuspended = true;
    InsertRow(to, RowAt(from));
    m_list.DeleteItem(from >= to ? from + 1 : from);
    m_previewSuspended = false;
    return 0;
}

void VFileRenameNDlg::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(pNMHDR);
    *pResult = 0;
    const auto* row = reinterpret_cast<const RenameRow*>(info->item.lParam);
    if (!row || !(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0)
        return;
    const CString& text = info->item.iSubItem == 0 ? row->newName : row->item->GetFileName();
    lstrcpynW(info->item.pszText, text, info->item.cchTextMax);
}

void VFileRenameNDlg::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    int column = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem;
    if (column != m_sortColumn) {
        m_sortColumn = column;
        m_sortStep = 0;
    }
    m_sortStep = (m_sortStep + 1) % 3;
    SortOrder order = {column, m_sortStep};
    m_list.SortItems(CompareRows, reinterpret_cast<DWORD_PTR>(&order));
}

void VFileRenameNDlg::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const auto* change = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) &&
        !m_previewSuspended)
        InvalidatePreview();
}

void VFileRenameNDlg::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(pNMHDR);
    *pResult = FALSE;
    RenameRow* row = RowAt(info->item.iItem);
    if (!row)
        return;
    // What the box holds becomes the name, also when the edit was left with Esc.
    row->newName = m_list.GetEndedLabelText(info);
    m_list.RedrawItems(info->item.iItem, info->item.iItem);
}

CRect VFileRenameNDlg::PreviewRect() const
{
    CRect rect;
    if (CWnd* frame = GetDlgItem(IDC_RENAMEN_PICTURE)) {
        frame->GetWindowRect(&rect);
        ScreenToClient(&rect);
    }
    return rect;
}

void VFileRenameNDlg::InvalidatePreview()
{
    InvalidateRect(PreviewRect(), TRUE);
}

void VFileRenameNDlg::OnPreviewClicked()
{
    m_previewFlag = m_preview.GetCheck() == BST_CHECKED ? 1 : 0;
    InvalidatePreview();
}

void VFileRenameNDlg::OnPaint()
{
    CPaintDC dc(this);
    int selected = SelectedIndex();
    if (!m_previewFlag || selected < 0)
        return;
    // A copy drawn with the automatic scale mode and sharpening, past the thumbnail cache.
    VyxFile copy(*RowAt(selected)->item);
    copy.SetScaleMode(10);
    copy.SetUnsharp(TRUE);
    copy.SetAutoCache(FALSE);
    copy.SetCacheLookup(FALSE);
    copy.DrawPreview(&dc, PreviewRect(), true);
}

void VFileRenameNDlg::OnEditGroups()
{
    CRegExpGroupDialog groups(this);
    groups.m_groups = m_groups;
    int selected = SelectedIndex();
    if (selected >= 0) {
        CString target;
        m_target.GetWindowText(target);
        groups.m_sampleItem = RowAt(selected)->item;
        groups.m_sampleText = RenameTemplate::ExpandTarget(target, *groups.m_sampleItem);
    }
    CString format, group;
    m_format.GetWindowText(format);
    if (RenameTemplate::IsGroupReference(format, &group))
        groups.m_groupName = group;
    groups.DoModal();
    BuildFormatMenu();
}

bool VFileRenameNDlg::AnyRowChanges() const
{
    for (int i = 0; i < m_list.GetItemCount(); ++i) {
        const RenameRow* row = RowAt(i);
        const CString current = row->item->GetFileName();
        if (row->newName != current && !RenameTemplate::HasLostItsTitle(row->newName, current))
            return true;
    }
    return false;
}

bool VFileRenameNDlg::ControlsChangedSinceUpdate() const
{
    CString target, format, first;
    m_target.GetWindowText(target);
    m_format.GetWindowText(format);
    GetDlgItemText(IDC_RENAMEN_FIRST, first);
    return target != m_targetText || format != m_formatText || LeadingInteger(first) != m_firstNumber;
}

void VFileRenameNDlg::OnOK()
{
    // The names carried out are those of the texts shown: what was typed since the last
    // computation is computed first, and the list then shows what is done.
    if (ControlsChangedSinceUpdate())
        UpdateNames();
    if (!AnyRowChanges()) {
        ShowMessageBox(L"名前の変わるファイルがありません。一括置換書式を入れて［更新］を押し、"
                       L"「変更後の名前」を確かめてから実行してください。",
                       MB_OK | MB_ICONINFORMATION);
        GotoDlgCtrl(&m_format);
        return;
    }
    FolderList::MoveToTop(m_target, m_targetText);
    FolderList::MoveToTop(m_format, m_formatText);
    FolderList targets(FolderListReplaceFormat);
    targets.ReadComboBox(m_target);
    targets.Save();
    FolderList formats(FolderListRenameFormat);
    formats.ReadComboBox(m_format);
    formats.Save();
    WriteAppIniInt(kSection, L"RenameFirst#", static_cast<int>(m_firstNumber));
    WriteAppIniInt(kSection, L"Preview", m_previewFlag);

    // Every row stands in the list once: ownership is taken back in the list's order.
    for (auto& row : m_rows)
        row.release();
    m_rows.clear();
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        m_rows.emplace_back(RowAt(i));
    CResizableDialog::OnOK();
}

void VFileRenameNDlg::OnDestroy()
{
    m_list.StoreColumnWidths(L"RenameColumn");
    SaveWindowPlacement(m_hWnd, kPlacement);
    CResizableDialog::OnDestroy();
}
