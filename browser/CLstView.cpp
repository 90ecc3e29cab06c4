#include "browser/CLstView.h"

#include "browser/CKWView.h"
#include "browser/CMainFrame.h"
#include "browser/DeferredRepaint.h"
#include "catalogue/FrameMessages.h"
#include "browser/ShellImageList.h"
#include "browser/VyxOleDataSource.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/VyxFile.h"
#include "foundation/VyxFieldParser.h"
#include "foundation/VyxIni.h"
#include "res/resource.h"

#include <imm.h>

#include <algorithm>
#include <numeric>

namespace {

const wchar_t kSection[] = L"LstView";
// Read when the view opens and again before every rebuild.
const CKWDocSettings::IntKey kAutoColumnSizeMin{kSection, L"AutoColumnSizeMin", 100};
const wchar_t kDefaultEnable[] = L"1,1,1,1,1,1,1,1,1,1";
const wchar_t kDefaultColumn[] = L"150,60,100,180,120,100,100,90,60,70,100";
const wchar_t kDefaultIndex[] = L"0,1,2,3,4,5,6,7,8,9";
const int kDefaultWidth = 50;
// Tool ids of the sub-item tips: a mark, the row and the column.
const UINT_PTR kTipMark = 0x40000000;

// A numeric field of a comma list; false when it is missing or not a number.
bool ReadField(const CString& text, int index, long long* value)
{
    return GetFieldInt64(value, text, index, L',') > 0;
}

CString ReadSetting(const wchar_t* key, const wchar_t* defaultValue)
{
    CString value;
    GetAppIniString(value, kSection, key, defaultValue);
    return value;
}

// Holds the view's echo guard for a scope.
class EchoScope
{
public:
    explicit EchoScope(int& echo) : m_echo(echo) { ++echo; }
    ~EchoScope() { --m_echo; }

private:
    int& m_echo;
};

} // namespace

IMPLEMENT_DYNCREATE(CLstView, CListView)

BEGIN_MESSAGE_MAP(CLstView, CListView)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_SIZE()
ON_WM_CONTEXTMENU()
ON_NOTIFY_REFLECT(NM_CLICK, OnClick)
ON_NOTIFY_REFLECT(NM_DBLCLK, OnDoubleClick)
ON_NOTIFY_REFLECT(NM_RETURN, OnReturn)
ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
ON_NOTIFY_REFLECT(LVN_ODSTATECHANGED, OnRangeChanged)
ON_NOTIFY_REFLECT(LVN_ODFINDITEMW, OnFindItem)
ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
ON_NOTIFY_REFLECT(LVN_BEGINDRAG, OnBeginDrag)
ON_NOTIFY_REFLECT(LVN_BEGINRDRAG, OnBeginDrag)
ON_NOTIFY_REFLECT(LVN_GETDISPINFOW, OnGetDispInfo)
ON_COMMAND(ID_PICTURE_SHOW, OnViewPicture)
ON_COMMAND(ID_SORT_AGAIN, OnResort)
ON_COMMAND(ID_OPEN_ASSOCIATED, OnOpenByAssociation)
ON_COMMAND(ID_REFRESH_FOLDER, OnRefresh)
ON_COMMAND_RANGE(ID_LIST_LARGE_ICONS, ID_LIST_DETAILS, OnListStyle)
ON_UPDATE_COMMAND_UI_RANGE(ID_LIST_LARGE_ICONS, ID_LIST_DETAILS, OnUpdateListStyle)
END_MESSAGE_MAP()

CLstView::CLstView()
{
    std::fill(std::begin(m_keyColumns), std::end(m_keyColumns), -1);
    std::fill(std::begin(m_columnKeys), std::end(m_columnKeys), -1);
}

CLstView::~CLstView() {}

CKWDoc* CLstView::GetDocument() const
{
    return DYNAMIC_DOWNCAST(CKWDoc, m_pDocument);
}

CMainFrame* CLstView::GetMainFrame() const
{
    return DYNAMIC_DOWNCAST(CMainFrame, GetParentFrame());
}

VyxFile* CLstView::GetRowItem(int row) const
{
    CKWDoc* doc = GetDocument();
    if (!doc || !m_hWnd || row < 0 || row >= GetListCtrl().GetItemCount())
        return nullptr;
    return doc->GetItem(row);
}

int CLstView::GetRowArrayIndex(int row) const
{
    CKWDoc* doc = GetDocument();
    return GetRowItem(row) ? doc->GetItemIndexAt(row) : -1;
}

int CLstView::GetColumnKey(int column) const
{
    return column >= 0 && column < m_shownColumns ? m_columnKeys[column] : -1;
}

int CLstView::GetKeyColumn(int key) const
{
    return key >= 0 && key < LstSortKeys::KeyCount ? m_keyColumns[key] : -1;
}

// ---------------------------------------------------------------- creation and settings

BOOL CLstView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style &= ~(LVS_TYPEMASK | LVS_SMALLICON);
    // Rows are asked of the document: the control's own rows cost a kilobyte apiece and are freed
    // in a time that grows with the square of their number.
    cs.style |= LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_OWNERDATA | WS_TABSTOP;
    return CListView::PreCreateWindow(cs);
}

void CLstView::ReadSettings()
{
    m_nameNumberSort = GetAppIniInt(kSection, L"NameNumberSort", 0) != 0;
    m_infoTemplate = SettingKeys::InfoColumnTemplete.Read();
    m_autoColumnSize = SettingKeys::AutoColumnSize.Read() != 0;
    m_nameMaxSize = SettingKeys::NameMaxSize.Read();
    m_autoColumnSizeMin = kAutoColumnSizeMin.Read();
}

void CLstView::BuildColumns()
{
    CListCtrl& list = GetListCtrl();
    const CString enable = ReadSetting(L"Enable", kDefaultEnable);
    const CString stored = ReadSetting(L"Column", L"");
    const CString widths = stored.IsEmpty() ? CString(kDefaultColumn) : stored;
    const CString order = ReadSetting(L"Index", kDefaultIndex);
    m_shownColumns = 0;
    for (int key = 0; key < LstSortKeys::KeyCount; ++key) {
        long long on = 0;
        m_enabled[key] = ReadField(enable, key, &on) && on >= 1;
        m_keyColumns[key] = -1;
        if (!m_enabled[key])
            continue;
        long long width = 0;
        if (!ReadField(widths, m_shownColumns, &width) || width <= 0 || width > 0x7FFF)
            width = kDefaultWidth;
        // The first widths, of the program's choosing, show each header whole with its sort mark;
        // widths the user left are kept as they are.
        if (stored.IsEmpty())
            width = std::max<long long>(width, HeaderWidth(key));
        if (list.InsertColumn(m_shownColumns, LstSortKeys::GetHeader(key, 0), LstSortKeys::GetFormat(key),
                              static_cast<int>(width)) < 0)
            continue;
        m_columnKeys[m_shownColumns] = key;
        m_keyColumns[key] = m_shownColumns++;
    }
    // A header drag order is taken only when it names every shown column once.
    std::vector<int> positions(m_shownColumns);
    for (int i = 0; i < m_shownColumns; ++i) {
        long long position = i;
        positions[i] = ReadField(order, i, &position) ? static_cast<int>(position) : i;
    }
    std::vector<int> sorted = positions;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> identity(m_shownColumns);
    std::iota(identity.begin(), identity.end(), 0);
    if (m_shownColumns > 0 && sorted == identity)
        list.SetColumnOrderArray(m_shownColumns, positions.data());
}

int CLstView::HeaderWidth(int key) const
{
    CListCtrl& list = GetListCtrl();
    // The header keeps three edges of room on either side of its text.
    int widest = 0;
    for (int direction = 0; direction < LstSortKeys::GetVariantCount(key); ++direction)
        widest = std::max(widest, list.GetStringWidth(LstSortKeys::GetHeader(key, direction)));
    return widest + 6 * ::GetSystemMetrics(SM_CXEDGE) + 2;
}

int CLstView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CListView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CListCtrl& list = GetListCtrl();
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT |
                          LVS_EX_ONECLICKACTIVATE);
    ReadSettings();
    BuildColumns();
    ApplyColours();
    const CString history = ReadSetting(L"SortHistory", L"");
    m_history.clear();
    long long value = 0;
    for (int i = 0; ReadField(history, i, &value); ++i)
        m_history.push_back(static_cast<DWORD>(value));
    m_dropTarget.Register(this);
    ::ImmAssociateContext(m_hWnd, nullptr);
    EnableToolTips(TRUE);
    return 0;
}

void CLstView::WriteSettings()
{
    CListCtrl& list = GetListCtrl();
    CRect window;
    GetWindowRect(&window);
    CString text;
    text.Format(L"%d,%d,%d,%d", window.left, window.top, window.Width(), window.Height());
    WriteAppIniString(kSection, L"Window", text);
    // Widths can be read in report style only.
    list.SetView(LV_VIEW_DETAILS);
    CString widths, order, enable;
    std::vector<int> positions(std::max(m_shownColumns, 1));
    if (m_shownColumns > 0)
        list.GetColumnOrderArray(positions.data(), m_shownColumns);
    for (int i = 0; i < m_shownColumns; ++i) {
        text.Format(L"%d,", list.GetColumnWidth(i));
        widths += text;
        text.Format(L"%d,", positions[i]);
        order += text;
    }
    for (bool on : m_enabled)
        enable += on ? L"1," : L"0,";
    WriteAppIniString(kSection, L"Column", widths);
    WriteAppIniString(kSection, L"Index", order);
    WriteAppIniString(kSection, L"Enable", enable);
}

void CLstView::OnDestroy()
{
    WriteSettings();
    GetListCtrl().DeleteAllItems();
    m_icons.clear();
    CString history, text;
    for (DWORD entry : m_history) {
        text.Format(L"%lu,", static_cast<unsigned long>(entry));
        history += text;
    }
    WriteAppIniString(kSection, L"SortHistory", history);
    WriteAppIniInt(kSection, L"NameNumberSort", m_nameNumberSort ? 1 : 0);
    m_nameWidths.SetDC(nullptr);
    m_measureDC.reset();
    CListView::OnDestroy();
}

void CLstView::OnSize(UINT nType, int cx, int cy)
{
    // Scrolled sideways, the control moves its header and its rows by the scroll when its width
    // changes and leaves parts of both, and of its scroll bar, as they were: it is drawn anew whole.
    const bool sideways = GetScrollPos(SB_HORZ) > 0;
    CListView::OnSize(nType, cx, cy);
    if (sideways || GetScrollPos(SB_HORZ) > 0)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CLstView::OnInitialUpdate()
{
    CListView::OnInitialUpdate();
    m_measureDC = std::make_unique<CClientDC>(this);
    if (CFont* font = GetFont())
        m_measureDC->SelectObject(font);
    m_nameWidths.SetDC(m_measureDC.get());
}

void CLstView::ApplyColours()
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    CListCtrl& list = GetListCtrl();
    list.SetBkColor(doc->GetBackColor());
    list.SetTextColor(doc->GetTextColor());
    list.SetTextBkColor(doc->GetBackColor());
}

// ---------------------------------------------------------------- rows

void CLstView::MeasureName(const VyxFile* item)
{
    if (!item || !m_measureDC)
        return;
    // The text of "$(FileName)", without parsing the template for every row.
    const CString& name = item->GetFileName();
    const int width = m_nameWidths.Width(name);
    const int length = name.GetLength();
    const int cap = length > 0 ? m_nameMaxSize * width / length : 0;
    if (m_nameWidth < width + 32)
        m_nameWidth = std::min(cap, width) + 32;
}

void CLstView::ApplyNameWidth()
{
    const int column = GetKeyColumn(LstSortKeys::KeyName);
    if (m_autoColumnSize && column >= 0)
        GetListCtrl().SetColumnWidth(column, m_nameWidth);
}

// Asked for with the first rows, not with the window: the shell builds its lists while the
// program starts, and the list is empty until a folder is listed.
void CLstView::AttachShellImageLists()
{
    CListCtrl& list = GetListCtrl();
    if (list.GetImageList(LVSIL_SMALL))
        return;
    list.SetImageList(CImageList::FromHandle(GetShellImageList(FALSE)), LVSIL_NORMAL);
    list.SetImageList(CImageList::FromHandle(GetShellImageList(TRUE)), LVSIL_SMALL);
}

void CLstView::Fill()
{
    CKWDoc* doc = GetDocument();
    CListCtrl& list = GetListCtrl();
    ReadSettings();
    EchoScope echo(m_echo);
    list.DeleteAllItems();
    m_nameWidth = m_autoColumnSizeMin;
    const int count = doc ? doc->GetItemCount() : 0;
    m_icons.assign(static_cast<size_t>(count), -1);
    AttachShellImageLists();
    list.SetItemCountEx(count, LVSICF_NOSCROLL);
    for (int i = 0; i < count; ++i) {
        VyxFile* item = doc->GetItem(i);
        if (item && item->TestFlags(VyxFilexDraw::FlagSelected))
            list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
        MeasureName(item);
    }
    ApplyNameWidth();
}

void CLstView::RefreshRow(int row)
{
    VyxFile* item = GetRowItem(row);
    if (!item)
        return;
    m_icons[static_cast<size_t>(row)] = -1;
    GetListCtrl().RedrawItems(row, row);
    MeasureName(item);
}

void CLstView::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(pNMHDR);
    *pResult = 0;
    const int row = info->item.iItem;
    VyxFile* item = GetRowItem(row);
    if (!item)
        return;
    if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
        const CString text = LstSortKeys::GetText(*item, GetColumnKey(info->item.iSubItem), m_infoTemplate);
        lstrcpynW(info->item.pszText, text, info->item.cchTextMax);
    }
    if ((info->item.mask & LVIF_IMAGE) && static_cast<size_t>(row) < m_icons.size()) {
        int& icon = m_icons[static_cast<size_t>(row)];
        if (icon == -1) {
            SHFILEINFOW shell = {};
            const DWORD attributes = item->IsFolder() ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
            if (::SHGetFileInfoW(item->GetPath(), attributes, &shell, sizeof(shell),
                                 SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
                icon = shell.iIcon;
        }
        info->item.iImage = icon;
    }
}

void CLstView::SetRowState(int row, UINT state, UINT mask)
{
    EchoScope echo(m_echo);
    GetListCtrl().SetItemState(row, state, mask);
}

int CLstView::FocusedRow() const
{
    return GetListCtrl().GetNextItem(-1, LVNI_FOCUSED);
}

void CLstView::ScrollRowToTop(int row)
{
    CListCtrl& list = GetListCtrl();
    if (row < 0 || row >= list.GetItemCount())
        return;
    const int top = list.GetTopIndex();
    CRect first, target;
    if (!list.GetItemRect(top, &first, LVIR_BOUNDS) || !list.GetItemRect(row, &target, LVIR_BOUNDS))
        return;
    list.Scroll(CSize(0, target.top - first.top));
}

// ---------------------------------------------------------------- sorting

void CLstView::ResetHeaders()
{
    CListCtrl& list = GetListCtrl();
    for (int column = 0; column < m_shownColumns; ++column) {
        LVCOLUMNW header = {};
        header.mask = LVCF_TEXT;
        header.pszText = const_cast<wchar_t*>(LstSortKeys::GetHeader(m_columnKeys[column], 0));
        list.SetColumn(column, &header);
    }
}

void CLstView::ShowSortHeader()
{
    ResetHeaders();
    const int column = GetKeyColumn(m_sortKey);
    if (column < 0 || m_sortDirection < 1)
        return;
    LVCOLUMNW header = {};
    header.mask = LVCF_TEXT;
    header.pszText = const_cast<wchar_t*>(LstSortKeys::GetHeader(m_sortKey, m_sortDirection));
    GetListCtrl().SetColumn(column, &header);
}

void CLstView::ApplySort(int key, int request)
{
    if (key < 0 || key >= LstSortKeys::KeyCount)
        return;
    if (key != m_sortKey) {
        m_sortDirection = 0;
        m_sortKey = key;
    }
    m_sortDirection = LstSortKeys::NextDirection(key, m_sortDirection, request);
    ShowSortHeader();
    LstSortKeys::AddToHistory(m_history, key, m_sortDirection, m_shownColumns);

    CKWDoc* doc = GetDocument();
    const int count = doc ? std::min(GetListCtrl().GetItemCount(), doc->GetItemCount()) : 0;
    std::vector<LstSortKeys::Row> rows(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        rows[i].item = doc->GetItem(i);
        rows[i].arrayIndex = doc->GetItemIndexAt(i);
        LstSortKeys::PrepareRow(rows[i], key, m_infoTemplate);
    }
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    // Stable: rows equal in this key keep the order of the sorts before, which the history's
    // replay relies on.
    const int direction = m_sortDirection;
    const bool numberSort = m_nameNumberSort;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return LstSortKeys::Compare(rows[a], rows[b], key, direction, numberSort) < 0;
    });
    PushOrder(order);
}

void CLstView::PushOrder(const std::vector<int>& order)
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    CListCtrl& list = GetListCtrl();
    const int count = static_cast<int>(order.size());
    std::vector<int> arrayIndexes(order.size());
    std::vector<bool> wasSelected(order.size());
    for (int i = 0; i < count; ++i) {
        arrayIndexes[i] = doc->GetItemIndexAt(i);
        const VyxFile* item = doc->GetItem(i);
        wasSelected[i] = item && item->TestFlags(VyxFilexDraw::FlagSelected);
    }
    doc->SetUpdating(true);
    for (int i = 0; i < count; ++i)
        doc->SetOrderAt(i, arrayIndexes[static_cast<size_t>(order[i])]);
    doc->SetUpdating(false);

    // The rows keep their places and show other items: their states follow the items, row by
    // row where they change (the control's call for all rows goes through every one).
    EchoScope echo(m_echo);
    const int focused = FocusedRow();
    std::vector<int> icons(m_icons.size(), -1);
    for (int i = 0; i < count; ++i) {
        const int from = order[i];
        if (static_cast<size_t>(from) < m_icons.size() && static_cast<size_t>(i) < icons.size())
            icons[i] = m_icons[static_cast<size_t>(from)];
        const bool selected = wasSelected[static_cast<size_t>(from)];
        if (selected != wasSelected[static_cast<size_t>(i)])
            list.SetItemState(i, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
        if (from == focused && i != focused)
            list.SetItemState(i, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    m_icons.swap(icons);
    list.Invalidate(FALSE);
}

void CLstView::SortBy(int key, int request)
{
    ApplySort(key, request);
    if (CKWDoc* doc = GetDocument())
        doc->UpdateAllViews(this, HintRedraw, nullptr);
}

void CLstView::Resort()
{
    SortBy(m_sortKey, m_sortDirection);
}

void CLstView::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    const int key = GetColumnKey(info->iSubItem);
    if (key >= 0)
        SortBy(key, -1);
    *pResult = 0;
}

// ---------------------------------------------------------------- columns

void CLstView::ToggleColumn(int key)
{
    if (key < 0 || key >= LstSortKeys::KeyCount)
        return;
    CListCtrl& list = GetListCtrl();
    if (!m_enabled[key]) {
        if (list.InsertColumn(m_shownColumns, LstSortKeys::GetHeader(key, 0), LstSortKeys::GetFormat(key),
                              kDefaultWidth) < 0)
            return;
        m_enabled[key] = true;
        m_columnKeys[m_shownColumns] = key;
        m_keyColumns[key] = m_shownColumns++;
        return;
    }
    const int column = m_keyColumns[key];
    m_enabled[key] = false;
    if (column < 0 || !list.DeleteColumn(column))
        return;
    for (int i = column; i + 1 < m_shownColumns; ++i)
        m_columnKeys[i] = m_columnKeys[i + 1];
    m_columnKeys[--m_shownColumns] = -1;
    std::fill(std::begin(m_keyColumns), std::end(m_keyColumns), -1);
    for (int i = 0; i < m_shownColumns; ++i)
        m_keyColumns[m_columnKeys[i]] = i;
}

// ---------------------------------------------------------------- notifications

void CLstView::OnClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR);
    CKWDoc* doc = GetDocument();
    if (doc && info->iItem >= 0)
        doc->SetCursorIndex(info->iItem, this);
    *pResult = 0;
}

void CLstView::OnDoubleClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR);
    CKWDoc* doc = GetDocument();
    if (doc && info->iItem >= 0)
        doc->UpdateAllViews(this, HintItemActivated, HintValue(info->iItem));
    *pResult = 0;
}

void CLstView::OnReturn(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}

void CLstView::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    auto* info = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    CKWDoc* doc = GetDocument();
    if (m_echo || !doc || !(info->uChanged & LVIF_STATE))
        return;
    const bool wasSelected = (info->uOldState & LVIS_SELECTED) != 0;
    const bool selected = (info->uNewState & LVIS_SELECTED) != 0;
    // Row -1: every row changed at once.
    if (info->iItem < 0) {
        if (wasSelected != selected)
            TakeSelection(0, GetListCtrl().GetItemCount() - 1);
        return;
    }
    if (wasSelected != selected)
        doc->SelectItem(info->iItem, selected, this);
    if ((info->uNewState & LVIS_FOCUSED) && !(info->uOldState & LVIS_FOCUSED))
        doc->SetCursorIndex(info->iItem, this);
}

void CLstView::OnRangeChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    auto* info = reinterpret_cast<NMLVODSTATECHANGE*>(pNMHDR);
    if (!m_echo && ((info->uOldState ^ info->uNewState) & LVIS_SELECTED))
        TakeSelection(info->iFrom, info->iTo);
}

void CLstView::TakeSelection(int first, int last)
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    CListCtrl& list = GetListCtrl();
    last = std::min(last, std::min(list.GetItemCount(), doc->GetItemCount()) - 1);
    for (int row = std::max(first, 0); row <= last; ++row) {
        const VyxFile* item = doc->GetItem(row);
        const bool selected = list.GetItemState(row, LVIS_SELECTED) != 0;
        if (item && item->TestFlags(VyxFilexDraw::FlagSelected) != selected)
            doc->SelectItem(row, selected, this);
    }
}

void CLstView::OnFindItem(NMHDR* pNMHDR, LRESULT* pResult)
{
    // Letters typed in the list go to the next row whose first column begins with them.
    auto* info = reinterpret_cast<NMLVFINDITEMW*>(pNMHDR);
    *pResult = -1;
    if ((info->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && info->lvfi.psz)
        *pResult = FindRow(info->lvfi.psz, info->iStart, (info->lvfi.flags & LVFI_WRAP) != 0,
                           (info->lvfi.flags & LVFI_PARTIAL) != 0);
}

int CLstView::FindRow(const CString& text, int start, bool wrap, bool partial) const
{
    const int count = GetListCtrl().GetItemCount();
    const int length = text.GetLength();
    if (length == 0 || count == 0)
        return -1;
    const int key = GetColumnKey(0);
    start = std::max(0, std::min(start, count));
    for (int step = 0; step < count; ++step) {
        const int row = start + step;
        if (row >= count && !wrap)
            break;
        VyxFile* item = GetRowItem(row % count);
        if (!item)
            continue;
        const CString shown = LstSortKeys::GetText(*item, key, m_infoTemplate);
        const int compared = partial ? std::min(length, shown.GetLength()) : shown.GetLength();
        if (::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, shown, compared, text, length) == CSTR_EQUAL)
            return row % count;
    }
    return -1;
}

void CLstView::OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    const UINT flags = pNMHDR->code == LVN_BEGINRDRAG ? MK_RBUTTON : MK_LBUTTON;
    StartDrag(flags, info->ptAction);
    *pResult = 0;
}

DROPEFFECT CLstView::StartDrag(UINT, CPoint point)
{
    return VyxOleDataSource::StartViewDrag(GetDocument(), point);
}

CString CLstView::DropFolderAt(CPoint clientPoint) const
{
    LVHITTESTINFO hit = {};
    hit.pt = clientPoint;
    const int row = GetListCtrl().HitTest(&hit);
    return VyxDropTarget::TargetFolder(GetDocument(), row >= 0 ? GetRowItem(row) : nullptr);
}

DROPEFFECT CLstView::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    return m_drop.ViewDragEnter(GetDocument(), pDataObject, dwKeyState, DropFolderAt(point));
}

DROPEFFECT CLstView::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    return VyxDropTarget::ViewDragOver(GetDocument(), pDataObject, dwKeyState, DropFolderAt(point));
}

void CLstView::OnDragLeave()
{
    m_drop.Leave();
}

DROPEFFECT CLstView::OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList, CPoint point)
{
    return m_drop.ViewDropEx(this, pDataObject, dropDefault, dropList, point, DropFolderAt(point));
}

INT_PTR CLstView::OnToolHitTest(CPoint point, TOOLINFOW* pTI) const
{
    CListCtrl& list = GetListCtrl();
    LVHITTESTINFO hit = {};
    hit.pt = point;
    const int row = list.SubItemHitTest(&hit) >= 0 ? hit.iItem : -1;
    if (row < 0)
        return -1;
    // The first column's bounds are the whole row: the columns are tried from the last.
    for (int column = m_shownColumns - 1; column >= 0; --column) {
        CRect rect;
        if (!list.GetSubItemRect(row, column, LVIR_BOUNDS, rect) || !rect.PtInRect(point))
            continue;
        const INT_PTR id = static_cast<INT_PTR>(kTipMark | (static_cast<UINT_PTR>(row) << 4) | column);
        if (pTI) {
            pTI->hwnd = m_hWnd;
            pTI->uId = static_cast<UINT_PTR>(id);
            pTI->rect = rect;
            pTI->lpszText = LPSTR_TEXTCALLBACKW;
        }
        return id;
    }
    return -1;
}

BOOL CLstView::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->code == TTN_NEEDTEXTW && (header->idFrom & kTipMark)) {
        const int row = static_cast<int>((header->idFrom & ~kTipMark) >> 4);
        const int column = static_cast<int>(header->idFrom & 0xF);
        VyxFile* item = GetRowItem(row);
        m_tipText = item ? LstSortKeys::GetText(*item, GetColumnKey(column), m_infoTemplate) : CString();
        reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = const_cast<wchar_t*>(m_tipText.GetString());
        *pResult = 0;
        return TRUE;
    }
    return CListView::OnNotify(wParam, lParam, pResult);
}

BOOL CLstView::PreTranslateMessage(MSG* pMsg)
{
    CKWDoc* doc = GetDocument();
    if (doc && pMsg->hwnd == m_hWnd && pMsg->wParam == VK_TAB &&
        (pMsg->message == WM_KEYDOWN || pMsg->message == WM_CHAR)) {
        doc->ActivateView(this);
        return TRUE;
    }
    return CListView::PreTranslateMessage(pMsg);
}

// ---------------------------------------------------------------- context menus

void CLstView::OnContextMenu(CWnd*, CPoint point)
{
    CListCtrl& list = GetListCtrl();
    if (point.x == -1 && point.y == -1) {
        CRect rect;
        GetClientRect(&rect);
        const int mark = list.GetSelectionMark();
        if (mark >= 0)
            list.GetItemRect(mark, &rect, LVIR_BOUNDS);
        point = rect.TopLeft() + CPoint(5, 5);
        ClientToScreen(&point);
    }
    if ((GetStyle() & LVS_TYPEMASK) == LVS_REPORT) {
        if (CHeaderCtrl* header = list.GetHeaderCtrl()) {
            CRect rect;
            header->GetWindowRect(&rect);
            if (rect.PtInRect(point)) {
                ShowColumnChooser(point);
                return;
            }
        }
    }
    ShowRowMenu(point);
}

void CLstView::ShowColumnChooser(CPoint screenPoint)
{
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    for (int key = 0; key < LstSortKeys::KeyCount; ++key)
        menu.AppendMenu(MF_STRING | (m_enabled[key] ? MF_CHECKED : 0), key + 1, LstSortKeys::GetTitle(key));
    const UINT chosen = static_cast<UINT>(
        menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, this));
    if (chosen >= 1 && chosen <= LstSortKeys::KeyCount)
        ToggleColumn(static_cast<int>(chosen) - 1);
}

void CLstView::ShowRowMenu(CPoint screenPoint)
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_LIST_MENU))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    m_appCall.InsertApplicationsMenu(*popup, 0);
    if (GetListCtrl().GetSelectedCount() == 1) {
        if (VyxFile* item = GetRowItem(FocusedRow())) {
            CString text;
            text.Format(L"%s を開く", static_cast<LPCWSTR>(CKWView::MenuName(item->GetFileName())));
            popup->InsertMenu(0, MF_BYPOSITION | MF_STRING, ID_OPEN_ASSOCIATED, text);
            popup->InsertMenu(1, MF_BYPOSITION | MF_SEPARATOR);
        }
    }
    CFrameWnd* frame = GetParentFrame();
    const UINT command =
        static_cast<UINT>(popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPoint.x,
                                                screenPoint.y, frame ? static_cast<CWnd*>(frame) : this));
    if (command && frame)
        frame->SendMessage(WM_COMMAND, command);
}

// ---------------------------------------------------------------- commands

void CLstView::OnViewPicture()
{
    CKWDoc* doc = GetDocument();
    if (CMainFrame* frame = GetMainFrame())
        frame->OpenPictureWindow(doc ? doc->GetCursorIndex() : -1, PictureWindowAsSet);
}

void CLstView::OnResort()
{
    Resort();
}

void CLstView::OnOpenByAssociation()
{
    CKWView::OpenByAssociation(GetRowItem(FocusedRow()));
}

void CLstView::OnRefresh()
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    doc->ResetCantDrawFlags();
    doc->Refresh(true);
}

void CLstView::OnListStyle(UINT nID)
{
    static const DWORD kViews[] = {LV_VIEW_ICON, LV_VIEW_SMALLICON, LV_VIEW_LIST, LV_VIEW_DETAILS};
    CListCtrl& list = GetListCtrl();
    list.SetView(static_cast<int>(kViews[nID - ID_LIST_LARGE_ICONS]));
    // The control leaves the old layout on screen until its rows scroll: all of it is drawn anew.
    list.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CLstView::OnUpdateListStyle(CCmdUI* pCmdUI)
{
    static const DWORD kStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    pCmdUI->SetCheck((GetStyle() & LVS_TYPEMASK) == kStyles[pCmdUI->m_nID - ID_LIST_LARGE_ICONS]);
}

// ---------------------------------------------------------------- hints

void CLstView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    if (pSender == this || !m_hWnd)
        return;
    CKWDoc* doc = GetDocument();
    CListCtrl& list = GetListCtrl();
    switch (lHint) {
    case HintListRebuilding: {
        // Emptying and refilling move the list's scroll bars many times; they are drawn once.
        DeferredRepaint hold(m_hWnd);
        list.DeleteAllItems();
        m_icons.clear();
        m_autoColumnSizeMin = kAutoColumnSizeMin.Read();
        ResetHeaders();
        break;
    }
    case HintListRebuilt: {
        DeferredRepaint hold(m_hWnd, DeferredRepaint::SettleOffScreen);
        Fill();
        // Oldest first, each a whole sort: the newest key ends up deciding.
        const std::vector<DWORD> history = m_history;
        for (auto entry = history.rbegin(); entry != history.rend(); ++entry)
            ApplySort(LOWORD(*entry), HIWORD(*entry));
        if (!m_history.empty()) {
            m_sortKey = LOWORD(m_history.front());
            m_sortDirection = HIWORD(m_history.front());
            ShowSortHeader();
        }
        break;
    }
    case HintSelection:
        if (pHint) {
            const int row = HintPair(pHint)[1];
            SetRowState(row, HintPair(pHint)[0] ? LVIS_SELECTED : 0, LVIS_SELECTED);
            list.RedrawItems(row, row);
        }
        break;
    case HintScrolled:
        ScrollRowToTop(HintIndex(pHint));
        break;
    case HintItemChanged:
        RefreshRow(HintIndex(pHint));
        break;
    case HintItemAdded: {
        const int row = HintIndex(pHint);
        if (row < list.GetItemCount()) {
            RefreshRow(row);
        } else if (doc && doc->GetItem(list.GetItemCount())) {
            AttachShellImageLists();
            EchoScope echo(m_echo);
            const int count = list.GetItemCount() + 1;
            if (list.SetItemCountEx(count, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL)) {
                m_icons.resize(static_cast<size_t>(count), -1);
                MeasureName(doc->GetItem(count - 1));
            }
        }
        ApplyNameWidth();
        UpdateWindow();
        break;
    }
    case HintCursorMoved: {
        if (!pHint)
            break;
        const int row = HintPair(pHint)[1];
        if (HintPair(pHint)[0] == 0) {
            // No old cursor (-1) is no row, not every row: the control would go through them all.
            const int old = row >= 0 ? row : FocusedRow();
            if (old >= 0)
                SetRowState(old, 0, LVIS_FOCUSED);
            break;
        }
        const int focused = FocusedRow();
        if (focused >= 0 && focused != row)
            SetRowState(focused, 0, LVIS_FOCUSED);
        SetRowState(row, LVIS_FOCUSED, LVIS_FOCUSED);
        if (doc && doc->Synchronous) {
            const int top = list.GetTopIndex();
            if (row < top || row >= top + list.GetCountPerPage())
                list.EnsureVisible(row, FALSE);
        }
        break;
    }
    case HintColoursChanged:
        ApplyColours();
        list.Invalidate();
        break;
    case HintItemRemoved: {
        const int row = HintIndex(pHint);
        EchoScope echo(m_echo);
        if (row >= 0 && row < list.GetItemCount() && list.DeleteItem(row) && static_cast<size_t>(row) < m_icons.size())
            m_icons.erase(m_icons.begin() + row);
        break;
    }
    default:
        break;
    }
}
