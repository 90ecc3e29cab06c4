#include "browser/VPluginDlg.h"

#include "browser/CSpiInfoDlg.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxFieldParser.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxStringArray.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"

namespace {

const wchar_t kSection[] = L"SPI";
const UINT kListIds[3] = {IDC_PLUGIN_IMAGELIST, IDC_PLUGIN_ARCLIST, IDC_PLUGIN_CHILDLIST};

int ListOfId(UINT id)
{
    for (int i = 0; i < 3; ++i)
        if (kListIds[i] == id)
            return i;
    return -1;
}

} // namespace

BEGIN_MESSAGE_MAP(VPluginDlg, CDialog)
ON_WM_DESTROY()
ON_NOTIFY_RANGE(LVN_ITEMCHANGED, IDC_PLUGIN_IMAGELIST, IDC_PLUGIN_ARCLIST, OnItemChanged)
ON_NOTIFY_RANGE(NM_CLICK, IDC_PLUGIN_IMAGELIST, IDC_PLUGIN_ARCLIST, OnListClick)
ON_NOTIFY_RANGE(NM_RCLICK, IDC_PLUGIN_IMAGELIST, IDC_PLUGIN_ARCLIST, OnListRightClick)
ON_NOTIFY_RANGE(NM_DBLCLK, IDC_PLUGIN_IMAGELIST, IDC_PLUGIN_ARCLIST, OnListDoubleClick)
ON_NOTIFY_RANGE(LVN_COLUMNCLICK, IDC_PLUGIN_IMAGELIST, IDC_PLUGIN_ARCLIST, OnColumnClick)
ON_BN_CLICKED(IDC_PLUGIN_IMAGEUSE, OnImageUse)
ON_BN_CLICKED(IDC_PLUGIN_ARCUSE, OnArchiveUse)
ON_BN_CLICKED(IDC_PLUGIN_IMAGESETUP, OnImageSetup)
ON_BN_CLICKED(IDC_PLUGIN_ARCSETUP, OnArchiveSetup)
ON_BN_CLICKED(IDC_PLUGIN_IMAGEINFO, OnImageInfo)
ON_BN_CLICKED(IDC_PLUGIN_ARCINFO, OnArchiveInfo)
ON_BN_CLICKED(IDC_PLUGIN_ADD, OnAdd)
ON_BN_CLICKED(IDC_PLUGIN_REMOVE, OnRemove)
ON_BN_CLICKED(IDC_PLUGIN_USEALL, OnUseAll)
ON_EN_KILLFOCUS(IDC_PLUGIN_PRIORITY, OnKillFocusPriority)
ON_CBN_SELCHANGE(IDC_PLUGIN_SET, OnSelChangeSet)
ON_CBN_KILLFOCUS(IDC_PLUGIN_SET, OnKillFocusSet)
ON_BN_CLICKED(IDC_PLUGIN_SETDELETE, OnDeleteSet)
END_MESSAGE_MAP()

VPluginDlg::VPluginDlg() : CDialog(IDD) {}

VPluginDlg::~VPluginDlg() = default;

void VPluginDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < 3; ++i)
        DDX_Control(pDX, kListIds[i], m_lists[i]);
    DDX_Control(pDX, IDC_PLUGIN_SET, m_sets);
    DDX_Control(pDX, IDC_PLUGIN_PRIORITY, m_priority);
}

BOOL VPluginDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetUpList(ImageList, L"SPIColumn", L"20,85,360,100", 360);
    SetUpList(ArchiveList, L"ARCSPIColumn", L"20,85,270,100", 270);
    m_lists[ChildList].SetExtendedStyle(m_lists[ChildList].GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    m_lists[ChildList].InsertColumn(0, L"名前");
    m_lists[ChildList].SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
    FillList(SPImapIndex::KindImage);
    FillList(SPImapIndex::KindArchive);

    CString list;
    GetAppIniString(list, kSection, L"SPISetList", L"");
    const VyxStringArray names(list, L',');
    for (int i = 0; i < names.GetCount(); ++i)
        if (*names[i])
            m_sets.AddString(names[i]);
    m_sets.SetWindowText(m_strSetName);
    m_setBeforeChange = m_strSetName;
    for (UINT id : {IDC_PLUGIN_IMAGEUSE, IDC_PLUGIN_IMAGESETUP, IDC_PLUGIN_IMAGEINFO, IDC_PLUGIN_ARCUSE,
                    IDC_PLUGIN_ARCSETUP, IDC_PLUGIN_ARCINFO, IDC_PLUGIN_ADD, IDC_PLUGIN_REMOVE})
        GetDlgItem(id)->EnableWindow(FALSE);
    return TRUE;
}

void VPluginDlg::SetUpList(int list, const wchar_t* widthKey, const wchar_t* defaultWidths, int infoMinimum)
{
    static const wchar_t* const headers[ColumnCount] = {L"/", L"名前", L"情報", L"対応拡張子", L"優先度"};
    const int minimums[ColumnCount] = {20, 85, infoMinimum, 100, 80};
    CListCtrl& control = m_lists[list];
    control.SetExtendedStyle(control.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    CString widths;
    GetAppIniString(widths, kSection, widthKey, defaultWidths);
    for (int i = 0; i < ColumnCount; ++i) {
        int width = 0;
        GetFieldInt(&width, widths, i, L',');
        control.InsertColumn(i, headers[i], i == 4 ? LVCFMT_RIGHT : LVCFMT_LEFT, std::max(width, minimums[i]));
    }
}

// ---------------------------------------------------------------- rows

VPluginDlg::Row* VPluginDlg::GetRow(int list, int row) const
{
    if (row < 0 || row >= m_lists[list].GetItemCount())
        return nullptr;
    return reinterpret_cast<Row*>(m_lists[list].GetItemData(row));
}

bool VPluginDlg::GetRowUse(int list, int row) const
{
    const Row* r = GetRow(list, row);
    return r && r->use;
}

int VPluginDlg::GetFocused(int list) const
{
    return m_lists[list].GetNextItem(-1, LVNI_FOCUSED);
}

VPluginDlg::Row* VPluginDlg::FocusedArchive() const
{
    return GetRow(ArchiveList, GetFocused(ArchiveList));
}

int VPluginDlg::AddRow(int list, std::unique_ptr<Row> row)
{
    CListCtrl& control = m_lists[list];
    const int index = control.GetItemCount();
    const Row& r = *row;
    const int item = control.InsertItem(LVIF_TEXT | LVIF_PARAM, index, list == ChildList ? r.name.GetString() : L"", 0,
                                        0, 0, reinterpret_cast<LPARAM>(row.get()));
    if (list != ChildList) {
        CString priority;
        priority.Format(L"%d", r.priority);
        control.SetItemText(item, 1, r.name);
        control.SetItemText(item, 2, r.info);
        control.SetItemText(item, 3, r.patterns);
        control.SetItemText(item, 4, priority);
        control.SetCheck(item, r.use);
    }
    m_rows[list].push_back(std::move(row));
    return item;
}

void VPluginDlg::EmptyList(int list)
{
    m_filling = true;
    m_lists[list].DeleteAllItems();
    m_filling = false;
    m_rows[list].clear();
}

void VPluginDlg::FillList(int kind)
{
    const int list = kind == SPImapIndex::KindArchive ? ArchiveList : ImageList;
    EmptyList(list);
    m_filling = true;
    for (int i = 0; i < theSPImapIndex.GetPluginCount(kind); ++i) {
        VyxSPI* plugin = theSPImapIndex.GetPluginAt(i, kind);
        if (!plugin)
            continue;
        auto row = std::make_unique<Row>();
        row->name = plugin->GetFileName();
        row->name.MakeUpper();
        row->use = (plugin->GetFlags() & VyxSPI::FlagEnabled) != 0;
        row->id = plugin->GetId();
        row->kind = kind;
        row->info = plugin->GetInfoString(1);
        row->patterns = plugin->GetFilePatterns();
        row->priority = plugin->GetOrder();
        row->useAll = kind == SPImapIndex::KindArchive && (plugin->GetFlags() & VyxSPI::FlagAllImagePlugins) != 0;
        AddRow(list, std::move(row));
    }
    m_filling = false;
    m_lists[list].SortItems(&VPluginDlg::CompareRows, reinterpret_cast<DWORD_PTR>(&m_sort[list]));
}

void VPluginDlg::FillChildren(const Row* archive)
{
    EmptyList(ChildList);
    if (!archive)
        return;
    m_filling = true;
    for (int i = 0;; ++i) {
        VyxSPI* child = theSPImapIndex.GetArchiveChildAt(archive->id, i);
        if (!child)
            break;
        auto row = std::make_unique<Row>();
        row->name = child->GetFileName();
        row->name.MakeUpper();
        row->use = child->IsEnabled();
        row->id = child->GetId();
        row->priority = child->GetOrder();
        AddRow(ChildList, std::move(row));
    }
    m_filling = false;
    m_lists[ChildList].SortItems(&VPluginDlg::CompareRows, reinterpret_cast<DWORD_PTR>(&m_sort[ChildList]));
    m_lists[ChildList].EnableWindow(!archive->useAll);
}

void VPluginDlg::RefillPluginLists()
{
    EmptyList(ChildList);
    FillList(SPImapIndex::KindImage);
    FillList(SPImapIndex::KindArchive);
}

int CALLBACK VPluginDlg::CompareRows(LPARAM left, LPARAM right, LPARAM sort)
{
    const Row& a = *reinterpret_cast<const Row*>(left);
    const Row& b = *reinterpret_cast<const Row*>(right);
    const SortState& state = *reinterpret_cast<const SortState*>(sort);
    int order = 0;
    switch (state.column) {
    case 0:
        order = static_cast<int>(a.use) - static_cast<int>(b.use);
        break;
    case 2:
        order = a.info.CompareNoCase(b.info);
        break;
    case 3:
        order = a.patterns.CompareNoCase(b.patterns);
        break;
    case 4:
        order = a.priority < b.priority ? -1 : a.priority > b.priority ? 1 : 0;
        break;
    default:
        order = a.name.CompareNoCase(b.name);
        break;
    }
    return state.descending ? -order : order;
}

void VPluginDlg::SortList(int list, int column)
{
    SortState& state = m_sort[list];
    if (list == ChildList)
        column = 1;
    if (column == state.column) {
        state.descending = !state.descending;
    } else {
        state.column = column;
        state.descending = 0;
    }
    m_lists[list].SortItems(&VPluginDlg::CompareRows, reinterpret_cast<DWORD_PTR>(&state));
}

void VPluginDlg::OnColumnClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const int list = ListOfId(nID);
    if (list >= 0)
        SortList(list, reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem);
}

// ---------------------------------------------------------------- the plug-ins' state

void VPluginDlg::StoreRow(const Row& row)
{
    VyxSPI* plugin = theSPImapIndex.GetPluginById(row.id, row.kind);
    if (!plugin)
        return;
    int flags = row.use ? plugin->GetFlags() | VyxSPI::FlagEnabled : plugin->GetFlags() & ~VyxSPI::FlagEnabled;
    if (row.kind == SPImapIndex::KindArchive) {
        flags = row.useAll ? flags | VyxSPI::FlagAllImagePlugins : flags & ~VyxSPI::FlagAllImagePlugins;
        plugin->SetOrder(row.priority);
    }
    plugin->SetFlags(flags);
}

void VPluginDlg::EnableAddRemove(bool add, bool remove)
{
    GetDlgItem(IDC_PLUGIN_ADD)->EnableWindow(add);
    GetDlgItem(IDC_PLUGIN_REMOVE)->EnableWindow(remove);
}

void VPluginDlg::OnItemChanged(UINT nID, NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const int list = ListOfId(nID);
    if (m_filling || list < 0)
        return;
    const auto* change = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    const bool newState = (change->uChanged & LVIF_STATE) != 0;
    if (list == ChildList) {
        EnableAddRemove(false, true);
        return;
    }
    Row* row = GetRow(list, change->iItem);
    VyxSPI* plugin = row ? theSPImapIndex.GetPluginById(row->id, row->kind) : nullptr;
    if (list == ArchiveList && (!newState || !plugin)) {
        EnableAddRemove(false, false);
        return;
    }
    if (newState && row && plugin) {
        row->use = m_lists[list].GetCheck(change->iItem) != FALSE;
        m_lists[list].Update(change->iItem);
        StoreRow(*row);
        const bool image = list == ImageList;
        GetDlgItem(image ? IDC_PLUGIN_IMAGEUSE : IDC_PLUGIN_ARCUSE)->EnableWindow(TRUE);
        GetDlgItem(image ? IDC_PLUGIN_IMAGEINFO : IDC_PLUGIN_ARCINFO)->EnableWindow(TRUE);
        GetDlgItem(image ? IDC_PLUGIN_IMAGESETUP : IDC_PLUGIN_ARCSETUP)->EnableWindow(plugin->HasConfigurationDlg());
        if (!image) {
            CheckDlgButton(IDC_PLUGIN_USEALL, row->useAll);
            FillChildren(row);
        }
    }
    if (list == ImageList)
        EnableAddRemove(true, false);
    else
        EnableAddRemove(false, false);
}

void VPluginDlg::ToggleUse(int list)
{
    CListCtrl& control = m_lists[list];
    for (int item = control.GetNextItem(-1, LVNI_SELECTED); item >= 0;
         item = control.GetNextItem(item, LVNI_SELECTED)) {
        Row* row = GetRow(list, item);
        if (!row)
            continue;
        row->use = !row->use;
        m_filling = true;
        control.SetCheck(item, row->use);
        m_filling = false;
        StoreRow(*row);
    }
}

void VPluginDlg::OnImageUse()
{
    ToggleUse(ImageList);
}

void VPluginDlg::OnArchiveUse()
{
    ToggleUse(ArchiveList);
}

void VPluginDlg::ShowSetup(int list)
{
    if (const Row* row = GetRow(list, GetFocused(list)))
        theSPImapIndex.ShowConfigurationDlg(row->id, m_hWnd, 1, row->kind);
}

void VPluginDlg::OnImageSetup()
{
    ShowSetup(ImageList);
}

void VPluginDlg::OnArchiveSetup()
{
    ShowSetup(ArchiveList);
}

void VPluginDlg::ShowInfo(int list)
{
    const Row* row = GetRow(list, GetFocused(list));
    if (!row)
        return;
    CSpiInfoDlg dialog(this);
    dialog.SetPlugin(row->name, row->kind);
    dialog.DoModal();
}

void VPluginDlg::OnImageInfo()
{
    ShowInfo(ImageList);
}

void VPluginDlg::OnArchiveInfo()
{
    ShowInfo(ArchiveList);
}

void VPluginDlg::OnListRightClick(UINT nID, NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    const int list = ListOfId(nID);
    if (list == ImageList || list == ArchiveList)
        ShowInfo(list);
}

void VPluginDlg::OnListClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const int list = ListOfId(nID);
    const auto* click = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR);
    if ((list == ImageList || list == ArchiveList) && click->iItem >= 0 && click->iSubItem == 4)
        EditPriority(list, click->iItem);
}

void VPluginDlg::OnListDoubleClick(UINT nID, NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    const int list = ListOfId(nID);
    if (list == ImageList) {
        Row* archive = FocusedArchive();
        const Row* image = GetRow(ImageList, GetFocused(ImageList));
        if (!archive || !image)
            return;
        if (archive->useAll)
            SetUseAll(*archive, false);
        if (theSPImapIndex.AddArchiveChild(archive->id, image->id) > 0)
            FillChildren(archive);
    } else if (list == ChildList) {
        Row* archive = FocusedArchive();
        const int item = GetFocused(ChildList);
        const Row* child = GetRow(ChildList, item);
        if (!archive || archive->useAll || !child)
            return;
        theSPImapIndex.RemoveArchiveChild(archive->id, child->name);
        m_lists[ChildList].DeleteItem(item);
    }
}

// ---------------------------------------------------------------- the priority editor

void VPluginDlg::EditPriority(int list, int row)
{
    CRect cell;
    if (!m_lists[list].GetSubItemRect(row, 4, LVIR_BOUNDS, cell))
        return;
    m_lists[list].MapWindowPoints(this, &cell);
    // Over the image list the editor sits inside the grid lines; over the archive list on the cell.
    if (list == ImageList) {
        cell.OffsetRect(2, 1);
        cell.DeflateRect(1, 1);
    }
    m_editList = list;
    m_editRow = row;
    m_priority.SetWindowText(m_lists[list].GetItemText(row, 4));
    m_priority.SetWindowPos(&CWnd::wndTop, cell.left, cell.top, cell.Width(), cell.Height(), SWP_SHOWWINDOW);
    m_priority.SetSel(0, -1);
    m_priority.SetFocus();
}

void VPluginDlg::EndPriorityEdit()
{
    if (m_editList < 0)
        return;
    const int list = m_editList, item = m_editRow;
    m_editList = m_editRow = -1;
    CString text;
    m_priority.GetWindowText(text);
    m_priority.ShowWindow(SW_HIDE);
    Row* row = GetRow(list, item);
    if (!row)
        return;
    row->priority = _wtoi(text);
    m_lists[list].SetItemText(item, 4, text);
    if (VyxSPI* plugin = theSPImapIndex.GetPluginById(row->id, row->kind))
        plugin->SetOrder(row->priority);
}

void VPluginDlg::OnKillFocusPriority()
{
    EndPriorityEdit();
}

// ---------------------------------------------------------------- an archive plug-in's image plug-ins

void VPluginDlg::SetUseAll(Row& archive, bool useAll)
{
    archive.useAll = useAll;
    StoreRow(archive);
    CheckDlgButton(IDC_PLUGIN_USEALL, useAll);
    if (useAll) {
        theSPImapIndex.ClearArchiveChildren(archive.id);
        EmptyList(ChildList);
    }
    m_lists[ChildList].EnableWindow(!useAll);
}

void VPluginDlg::OnUseAll()
{
    if (Row* archive = FocusedArchive())
        SetUseAll(*archive, !archive->useAll);
}

void VPluginDlg::OnAdd()
{
    Row* archive = FocusedArchive();
    if (!archive)
        return;
    if (archive->useAll)
        SetUseAll(*archive, false);
    CListCtrl& images = m_lists[ImageList];
    for (int item = images.GetNextItem(-1, LVNI_SELECTED); item >= 0; item = images.GetNextItem(item, LVNI_SELECTED)) {
        const Row* image = GetRow(ImageList, item);
        if (!image || theSPImapIndex.AddArchiveChild(archive->id, image->id) <= 0)
            continue;
        auto row = std::make_unique<Row>(*image);
        row->useAll = false;
        m_filling = true;
        AddRow(ChildList, std::move(row));
        m_filling = false;
    }
}

void VPluginDlg::OnRemove()
{
    Row* archive = FocusedArchive();
    if (!archive || archive->useAll)
        return;
    CListCtrl& children = m_lists[ChildList];
    for (int item = children.GetItemCount() - 1; item >= 0; --item) {
        if (!(children.GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED))
            continue;
        if (const Row* child = GetRow(ChildList, item))
            theSPImapIndex.RemoveArchiveChild(archive->id, child->name);
        children.DeleteItem(item);
    }
}

// ---------------------------------------------------------------- plug-in sets

void VPluginDlg::OnSelChangeSet()
{
    const int index = m_sets.GetCurSel();
    if (index < 0)
        return;
    CString chosen;
    m_sets.GetLBText(index, chosen);
    if (!m_setBeforeChange.IsEmpty())
        theSPImapIndex.SavePluginSet(m_setBeforeChange);
    m_setBeforeChange = chosen;
    if (!chosen.IsEmpty()) {
        theSPImapIndex.LoadPluginSet(chosen);
        RefillPluginLists();
    }
}

// A name typed and left becomes the first entry, and the state is saved under it.
void VPluginDlg::OnKillFocusSet()
{
    CString text;
    m_sets.GetWindowText(text);
    if (text.IsEmpty())
        return;
    const int existing = m_sets.FindStringExact(-1, text);
    if (existing >= 0)
        m_sets.DeleteString(existing);
    m_sets.InsertString(0, text);
    m_sets.SetCurSel(0);
    m_setBeforeChange = text;
    theSPImapIndex.SavePluginSet(text);
}

void VPluginDlg::OnDeleteSet()
{
    CString name;
    m_sets.GetWindowText(name);
    if (name.IsEmpty())
        return;
    CString question;
    question.Format(L"プラグインセット：[%s]を削除します。よろしいですか？", name.GetString());
    if (ShowMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    SPImapIndex::DeletePluginSet(name);
    const int index = m_sets.FindStringExact(-1, name);
    if (index >= 0)
        m_sets.DeleteString(index);
    m_sets.SetWindowText(L"");
    m_setBeforeChange.Empty();
    theSPImapIndex.LoadPluginSet(L"");
    RefillPluginLists();
}

// Enter never closes the dialog; in the priority editor it ends the edit.
BOOL VPluginDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        if (pMsg->hwnd == m_priority.GetSafeHwnd() && m_editList >= 0)
            m_lists[m_editList].SetFocus();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

// ---------------------------------------------------------------- closing

void VPluginDlg::SaveColumns(int list, const wchar_t* key)
{
    CString widths;
    for (int i = 0; i < ColumnCount; ++i) {
        CString width;
        width.Format(i ? L",%d" : L"%d", m_lists[list].GetColumnWidth(i));
        widths += width;
    }
    WriteAppIniString(kSection, key, widths);
}

void VPluginDlg::OnDestroy()
{
    EndPriorityEdit();
    SaveColumns(ImageList, L"SPIColumn");
    SaveColumns(ArchiveList, L"ARCSPIColumn");
    WriteAppIniInt(kSection, L"USESPIColumn", m_lists[ChildList].GetColumnWidth(0));
    for (int list = 0; list < 3; ++list)
        EmptyList(list);
    m_sets.GetWindowText(m_strSetName);
    CString names;
    for (int i = 0; i < m_sets.GetCount(); ++i) {
        CString name;
        m_sets.GetLBText(i, name);
        names += (i ? L"," : L"") + name;
    }
    WriteAppIniString(kSection, L"SPISetList", names);
    CDialog::OnDestroy();
}
