#include "browser/CMaintCache.h"

#include "catalogue/CalcFitRect.h"
#include "catalogue/VyxCacheThumbs.h"
#include "catalogue/VyxFile.h"
#include "controls/ProgressDlg.h"
#include "foundation/NumberFormat.h"
#include "foundation/VyxFieldParser.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "image/DibCore.h"
#include "image/DibPaint.h"
#include "res/resource.h"

#include <map>
#include <string>

namespace {

const wchar_t kSection[] = L"MaintenanceCache";
const wchar_t kLocalRoot[] = L"ローカルドライブ";
const wchar_t kUnknownRoot[] = L"不明";
const COLORREF kMask = RGB(255, 0, 255);
const DWORD kProgressInterval = 200;

struct Column
{
    const wchar_t* header;
    int format;
};

const Column kColumns[CMaintCache::ColumnCount] = {
    {L"名前", LVCFMT_LEFT},   {L"拡張子", LVCFMT_LEFT}, {L"長さ", LVCFMT_RIGHT},      {L"更新日付", LVCFMT_LEFT},
    {L"元画素", LVCFMT_LEFT}, {L"書庫", LVCFMT_LEFT},   {L"縮小サイズ", LVCFMT_LEFT}, {L"SPI", LVCFMT_LEFT},
};

CString JoinPath(const CString& folder, const CString& name)
{
    if (name.IsEmpty())
        return folder;
    if (folder.IsEmpty())
        return name;
    return folder.Right(1) == L"\\" ? folder + name : folder + L"\\" + name;
}

// The extension of a name without its dot; empty when it has none.
CString ExtensionOf(const CString& name)
{
    int dot = name.ReverseFind(L'.');
    int separator = std::max(name.ReverseFind(L'\\'), name.ReverseFind(L'/'));
    return dot > separator ? name.Mid(dot + 1) : CString();
}

} // namespace

BEGIN_MESSAGE_MAP(CMaintCache, CResizableDialog)
ON_WM_DESTROY()
ON_NOTIFY(TVN_SELCHANGEDW, IDC_MAINT_TREE, OnTreeSelChanged)
ON_NOTIFY(NM_CLICK, IDC_MAINT_TREE, OnTreeClick)
ON_NOTIFY(NM_CLICK, IDC_MAINT_LIST, OnListClick)
ON_NOTIFY(LVN_GETDISPINFOW, IDC_MAINT_LIST, OnListGetDispInfo)
ON_BN_CLICKED(IDC_MAINT_OPTIMIZE, OnOptimise)
ON_BN_CLICKED(IDC_MAINT_DELETE, OnDelete)
END_MESSAGE_MAP()

CMaintCache::CMaintCache(const wchar_t* cacheFolder) : CResizableDialog(IDD)
{
    m_index.SetCacheFolder(cacheFolder);
    m_folder.KeepSettings();
    m_work.KeepSettings();
}

CMaintCache::~CMaintCache() = default;

void CMaintCache::DoDataExchange(CDataExchange* pDX)
{
    CResizableDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MAINT_TREE, m_tree);
    DDX_Control(pDX, IDC_MAINT_LIST, m_list);
}

BOOL CMaintCache::OnInitDialog()
{
    CResizableDialog::OnInitDialog();
    m_treeImages.Create(IDB_MAINT_TREE, 16, 1, kMask);
    m_listImages.Create(IDB_MAINT_LIST, 16, 1, kMask);
    m_tree.SetImageList(&m_treeImages, TVSIL_NORMAL);
    m_list.SetImageList(&m_listImages, LVSIL_NORMAL);
    m_list.SetImageList(&m_listImages, LVSIL_SMALL);
    m_index.BuildDriveKeys();
    BuildTree();
    SetUpColumns();
    SetForegroundWindow();
    AddAnchor(IDC_MAINT_TREE, TOP_LEFT, CSize(20, 100));
    AddAnchor(IDC_MAINT_PATH, CSize(20, 0), TOP_RIGHT);
    AddAnchor(IDC_MAINT_LIST, CSize(20, 0), BOTTOM_RIGHT);
    AddAnchor(IDC_MAINT_PREVIEW, CSize(20, 100), CSize(50, 100));
    AddAnchor(IDC_MAINT_HELP, CSize(50, 100), BOTTOM_RIGHT);
    for (int id : {IDC_MAINT_OPTIMIZE, IDC_MAINT_DELETE, IDOK})
        AddAnchor(static_cast<UINT>(id), BOTTOM_RIGHT);
    return TRUE;
}

// ---------------------------------------------------------------- the tree

void CMaintCache::BuildTree()
{
    m_tree.DeleteAllItems();
    m_selected = nullptr;
    m_entries.clear();
    m_locations.clear();
    m_localRoot = m_tree.InsertItem(TVIF_TEXT, kLocalRoot, 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST);
    m_unknownRoot = m_tree.InsertItem(kUnknownRoot, 2, 2, TVI_ROOT, TVI_LAST);

    const CString& indexFile = m_index.GetIndexFileName();
    // Every "key=file" entry in one read.
    std::vector<wchar_t> entries;
    if (VyxIni(indexFile).GetWholeSection(VyxCacheIndex::GetSectionName(VyxCacheIndex::KindThumbs), entries)) {
        const size_t length = entries.size();
        const VyxCacheIndex::SharedNames shared = VyxCacheIndex::FindSharedNames(entries);
        CProgDlg progress;
        progress.Create(this);
        // The children of each item by text while the tree is built: a location's parts are
        // looked up once each, however many siblings they have.
        std::map<HTREEITEM, std::map<std::wstring, HTREEITEM>> children;
        DWORD shownAt = GetTickCount() - kProgressInterval;
        for (const wchar_t* entry = entries.data(); *entry; entry += wcslen(entry) + 1) {
            if (progress.m_cancel)
                break;
            const wchar_t* equals = wcschr(entry, L'=');
            const CString key = equals ? CString(entry, static_cast<int>(equals - entry)) : CString(entry);
            if (key.CompareNoCase(L"CacheSeqNo") == 0)
                continue;
            CString upper = key;
            upper.MakeUpper();
            // A file an earlier key names is that key's: this one has none to show or delete.
            const CString file = equals ? CString(equals + 1) : CString();
            m_entries[upper.GetString()] = VyxCacheIndex::OwnsName(shared, key, file) ? file : CString();
            CString member;
            const CString folder = m_index.ParseKey(key, member);
            const CString full = JoinPath(folder, member);
            HTREEITEM parent = full.Left(2) == L"\\\\" ? m_unknownRoot : m_localRoot;
            CString drive;
            GetPathPart(drive, full, PartDrive);
            CStringArray parts;
            parts.Add(drive);
            for (int start = drive.GetLength() + 1; start <= full.GetLength();) {
                int end = full.Find(L'\\', start);
                if (end < 0)
                    end = full.GetLength();
                parts.Add(full.Mid(start, end - start));
                start = end + 1;
            }
            for (INT_PTR i = 0; i < parts.GetSize(); ++i) {
                const bool last = i + 1 == parts.GetSize();
                std::wstring text(parts[i].GetString());
                auto& siblings = children[parent];
                auto found = siblings.find(text);
                if (found == siblings.end()) {
                    TVINSERTSTRUCTW insert = {};
                    insert.hParent = parent;
                    insert.hInsertAfter = TVI_LAST;
                    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
                    insert.item.pszText = const_cast<LPWSTR>(text.c_str());
                    insert.item.iImage = 0;
                    insert.item.iSelectedImage = 1;
                    insert.item.cChildren = last ? 0 : 1;
                    insert.item.lParam = last && !member.IsEmpty() && parts[i] == member ? 1 : 0;
                    found = siblings.emplace(text, m_tree.InsertItem(&insert)).first;
                }
                parent = found->second;
            }
            Location& location = m_locations[parent];
            location.keys.push_back(key);
            location.folder = folder;
            location.member = member;
            // Shown (and the dialog's messages pumped) a few times a second: each showing repaints.
            if (GetTickCount() - shownAt >= kProgressInterval) {
                shownAt = GetTickCount();
                progress.SetText(key);
                progress.SetPos(static_cast<int>(static_cast<long long>(entry - entries.data()) * 100 / length));
            }
        }
        progress.DestroyWindow();
    }
    SortBelow(m_localRoot);
    SortBelow(m_unknownRoot);
    m_tree.Expand(m_localRoot, TVE_EXPAND);
    m_tree.Expand(m_unknownRoot, TVE_EXPAND);
}

bool CMaintCache::FindCacheFile(HTREEITEM item, CString& file, bool mustExist) const
{
    auto location = m_locations.find(item);
    if (location == m_locations.end())
        return false;
    for (const CString& key : location->second.keys) {
        CString upper = key;
        upper.MakeUpper();
        auto entry = m_entries.find(upper.GetString());
        if (entry == m_entries.end() || entry->second.IsEmpty())
            continue;
        file = m_index.GetCentralFilePath(VyxCacheIndex::KindThumbs, entry->second);
        if (!file.IsEmpty() && (!mustExist || PathExists(file, kFileNotFolder)))
            return true;
    }
    return false;
}

void CMaintCache::DeleteCache(HTREEITEM item)
{
    auto location = m_locations.find(item);
    if (location == m_locations.end())
        return;
    for (const CString& key : location->second.keys) {
        CString upper = key;
        upper.MakeUpper();
        auto entry = m_entries.find(upper.GetString());
        if (entry != m_entries.end()) {
            const CString file = m_index.GetCentralFilePath(VyxCacheIndex::KindThumbs, entry->second);
            if (!file.IsEmpty() && PathExists(file, kFileNotFolder))
                DeleteFileW(file);
            m_entries.erase(entry);
        }
        m_removedKeys.push_back(key);
    }
    m_locations.erase(location);
}

// The deepest children first, then each item's own.
void CMaintCache::SortBelow(HTREEITEM item)
{
    for (HTREEITEM child = m_tree.GetChildItem(item); child; child = m_tree.GetNextSiblingItem(child))
        SortBelow(child);
    m_tree.SortChildren(item);
}

CString CMaintCache::GetItemPath(HTREEITEM item, CString& member) const
{
    member.Empty();
    CString path;
    for (; item && item != m_localRoot && item != m_unknownRoot; item = m_tree.GetParentItem(item)) {
        const CString text = m_tree.GetItemText(item);
        if (m_tree.GetItemData(item))
            member = text;
        else
            path = path.IsEmpty() ? text : text + L"\\" + path;
    }
    return path;
}

void CMaintCache::OnCheckClicked(HTREEITEM item, bool ctrl)
{
    if (!item || ctrl)
        return;
    const BOOL checked = !m_tree.GetCheck(item);
    std::vector<HTREEITEM> pending{m_tree.GetChildItem(item)};
    while (!pending.empty()) {
        HTREEITEM child = pending.back();
        pending.pop_back();
        if (!child)
            continue;
        m_tree.SetCheck(child, checked);
        pending.push_back(m_tree.GetNextSiblingItem(child));
        pending.push_back(m_tree.GetChildItem(child));
    }
}

void CMaintCache::OnTreeClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    const DWORD pos = GetMessagePos();
    CPoint point(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
    m_tree.ScreenToClient(&point);
    UINT flags = 0;
    HTREEITEM item = m_tree.HitTest(point, &flags);
    if (item && (flags & TVHT_ONITEMSTATEICON))
        OnCheckClicked(item, (GetKeyState(VK_CONTROL) & 0x8000) != 0);
}

void CMaintCache::OnTreeSelChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    FillList(reinterpret_cast<NMTREEVIEWW*>(pNMHDR)->itemNew.hItem);
}

// ---------------------------------------------------------------- the list

void CMaintCache::SetUpColumns()
{
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT |
                            LVS_EX_HEADERDRAGDROP | LVS_EX_ONECLICKACTIVATE | LVS_EX_FLATSB);
    CString widths, order;
    GetAppIniString(widths, kSection, L"Column", L"150,60,70,120,90,80,100,90,100");
    GetAppIniString(order, kSection, L"Index", L"0,1,2,3,4,5,6,7,8");
    int orderArray[ColumnCount];
    for (int i = 0; i < ColumnCount; ++i) {
        int width = 0;
        if (!GetFieldInt(&width, widths, i, L',') || width < 0)
            width = 50;
        m_list.InsertColumn(i, kColumns[i].header, kColumns[i].format, width);
        int position = i;
        if (!GetFieldInt(&position, order, i, L',') || position < 0 || position >= ColumnCount)
            position = i;
        orderArray[i] = position;
    }
    // An order that names a column twice would hide another: it is not taken.
    bool valid = true;
    for (int i = 0; i < ColumnCount && valid; ++i)
        for (int j = i + 1; j < ColumnCount; ++j)
            valid = valid && orderArray[i] != orderArray[j];
    if (valid)
        m_list.SetColumnOrderArray(ColumnCount, orderArray);
}

void CMaintCache::SaveColumns()
{
    int order[ColumnCount];
    if (!m_list.GetColumnOrderArray(order, ColumnCount))
        return;
    CString widths, positions;
    for (int i = 0; i < ColumnCount; ++i) {
        CString width, position;
        width.Format(i ? L",%d" : L"%d", m_list.GetColumnWidth(i));
        position.Format(i ? L",%d" : L"%d", order[i]);
        widths += width;
        positions += position;
    }
    WriteAppIniString(kSection, L"Column", widths);
    WriteAppIniString(kSection, L"Index", positions);
}

void CMaintCache::EmptyList()
{
    m_list.DeleteAllItems();
    m_rows.clear();
}

void CMaintCache::ShowPath(const CString& path)
{
    SetDlgItemText(IDC_MAINT_PATH, L" " + path);
}

void CMaintCache::ShowWorkingPath(const CString& path)
{
    if (GetTickCount() - m_pathShownAt < kProgressInterval)
        return;
    m_pathShownAt = GetTickCount();
    ShowPath(path);
}

void CMaintCache::FillList(HTREEITEM item)
{
    EmptyList();
    m_folder.RemoveAll();
    CString member;
    const CString folder = GetItemPath(item, member);
    if (folder.IsEmpty() && member.IsEmpty()) {
        ShowPath(CString());
    } else {
        CString file;
        if (FindCacheFile(item, file) && m_folder.Load(file) == 0) {
            for (INT_PTR i = 0; i < m_folder.GetCount(); ++i) {
                const VyxCacheThumbs* record = m_folder.GetAt(i);
                auto row = std::make_unique<Row>();
                row->record = record;
                row->name = record->m_fileName;
                row->extension = ExtensionOf(record->m_fileName);
                row->path = folder.IsEmpty() ? CString()
                                             : JoinPath(folder, record->m_memberPath.IsEmpty() ? record->m_fileName
                                                                                               : record->m_memberPath);
                row->plugin = record->m_loaderName;
                if (!record->m_memberPath.IsEmpty())
                    row->plugin += L"/" + record->m_archiveLoaderName;
                row->plugin.MakeUpper();
                m_rows.push_back(std::move(row));
                m_list.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, static_cast<int>(i), LPSTR_TEXTCALLBACKW, 0, 0,
                                  I_IMAGECALLBACK, static_cast<LPARAM>(i));
            }
        }
        m_selected = item;
        ShowPath(JoinPath(folder, member));
    }
    ShowPreview(-1);
}

CMaintCache::Row* CMaintCache::GetRow(int row)
{
    if (row < 0 || row >= m_list.GetItemCount())
        return nullptr;
    const size_t index = static_cast<size_t>(m_list.GetItemData(row));
    return index < m_rows.size() ? m_rows[index].get() : nullptr;
}

int CMaintCache::GetRowState(int row)
{
    Row* r = GetRow(row);
    if (!r)
        return StateUnknown;
    if (r->state == StateUnknown)
        r->state = r->path.IsEmpty() ? StateNoFolder : PathExists(r->path, kFileNotFolder) ? StateExists : StateMissing;
    return r->state;
}

CString CMaintCache::GetRowText(int row, int column)
{
    const Row* r = GetRow(row);
    if (!r)
        return CString();
    const VyxCacheThumbs& record = *r->record;
    CString text;
    switch (column) {
    case 0:
        return r->name;
    case 1:
        return r->extension;
    case 2:
        return FormatInt64Grouped(text, static_cast<long long>(record.m_fileSize));
    case 3:
        return CTime(record.m_fileTime).Format(L"%Y/%m/%d %H:%M:%S");
    case 4:
        text.Format(L"%ux%u %ubpp", static_cast<unsigned>(record.m_width), static_cast<unsigned>(record.m_height),
                    static_cast<unsigned>(record.m_bitCount));
        return text;
    case 5:
        return record.m_memberPath;
    case 6:
        text.Format(L"%dx%d", static_cast<int>(record.m_boxSize.cx), static_cast<int>(record.m_boxSize.cy));
        return text;
    case 7:
        return r->plugin;
    default:
        return text;
    }
}

void CMaintCache::OnListGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(pNMHDR)->item;
    if (item.mask & LVIF_TEXT) {
        const CString text = GetRowText(item.iItem, item.iSubItem);
        lstrcpynW(item.pszText, text, item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = GetRowState(item.iItem);
}

void CMaintCache::OnListClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    ShowPreview(reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem);
}

CRect CMaintCache::GetPreviewRect() const
{
    CRect rect;
    if (CWnd* frame = GetDlgItem(IDC_MAINT_PREVIEW)) {
        frame->GetWindowRect(&rect);
        ScreenToClient(&rect);
        rect.DeflateRect(2, 2);
    }
    return rect;
}

void CMaintCache::ShowPreview(int row)
{
    const CRect rect = GetPreviewRect();
    if (rect.IsRectEmpty())
        return;
    CClientDC dc(this);
    dc.FillSolidRect(&rect, RGB(0, 0, 0));
    const Row* r = GetRow(row);
    HGLOBAL picture = r ? m_folder.DecodeImage(*r->record) : nullptr;
    if (!picture)
        return;
    VyxFile item;
    item.SetCellSize(r->record->m_cellSize);
    item.SetThumbFitSize(r->record->m_boxSize);
    item.SetScaleMode(10);
    item.SetUnsharp(TRUE);
    item.SetAutoCache(FALSE);
    item.SetCacheLookup(FALSE);
    RECT fit;
    CalcFitRect(fit, rect.left, rect.top, rect.right, rect.bottom, GetDibWidth(picture), GetDibHeight(picture), false,
                true, 0);
    HGLOBAL scaled = item.MakeThumbnail(fit.right - fit.left, fit.bottom - fit.top, picture);
    if (scaled) {
        PaintDib(&dc, fit, scaled);
        if (scaled != picture)
            GlobalFree(scaled);
    }
    GlobalFree(picture);
}

// ---------------------------------------------------------------- optimise and delete

bool CMaintCache::RemoveLeaf(HTREEITEM item)
{
    if (m_tree.GetChildItem(item))
        return false;
    if (item == m_selected)
        m_selected = nullptr;
    m_locations.erase(item);
    m_tree.DeleteItem(item);
    return true;
}

// A folder keeps the records of the files still there; a location inside an archive keeps its
// cache while the archive is there (its members cannot be looked at without opening it). True when
// the location's cache went (or there was none to open).
bool CMaintCache::OptimiseLocation(HTREEITEM item, const CString& folder, const CString& member, const CString& file)
{
    if (!member.IsEmpty()) {
        int slash = member.Find(L'/');
        const CString archive = JoinPath(folder, slash < 0 ? member : member.Left(slash));
        if (PathExists(archive, kFileNotFolder))
            return false;
        DeleteCache(item);
        return true;
    }
    VyxCacheFolder& cache = m_work;
    // A file that is not there is found out by opening it: one disk access less per location.
    const int loaded = cache.Load(file);
    if (loaded == 1)
        return true;
    if (loaded != 0)
        return false;
    for (INT_PTR i = 0; i < cache.GetCount();) {
        const VyxCacheThumbs* record = cache.GetAt(i);
        const CString target =
            JoinPath(folder, record->m_memberPath.IsEmpty() ? record->m_fileName : record->m_memberPath);
        if (PathExists(target, kFileNotFolder))
            ++i;
        else
            cache.RemoveAt(i);
    }
    cache.SaveIfModified(file);
    const bool empty = cache.GetCount() == 0;
    cache.RemoveAll();
    if (!empty)
        return false;
    DeleteCache(item);
    return true;
}

// Each child after its own children. A checked child is done even when its children went (the
// user asked for it; it would otherwise leave the tree with its cache kept); it leaves the tree
// when its cache or its children went and it has no children left.
bool CMaintCache::Walk(HTREEITEM parent, bool deleting)
{
    bool removed = false;
    for (HTREEITEM child = m_tree.GetChildItem(parent); child;) {
        const HTREEITEM next = m_tree.GetNextSiblingItem(child);
        const bool childrenRemoved = Walk(child, deleting);
        removed = removed || childrenRemoved;
        bool gone = false;
        if (m_tree.GetCheck(child)) {
            m_tree.SetCheck(child, FALSE);
            auto location = m_locations.find(child);
            CString file;
            if (location == m_locations.end() || !FindCacheFile(child, file, deleting)) {
                gone = true;
            } else {
                const CString folder = location->second.folder, member = location->second.member;
                ShowWorkingPath(folder);
                if (deleting) {
                    DeleteCache(child);
                    gone = true;
                } else {
                    gone = OptimiseLocation(child, folder, member, file);
                }
            }
        }
        if ((gone || childrenRemoved) && RemoveLeaf(child))
            removed = true;
        child = next;
    }
    return removed;
}

bool CMaintCache::RunWalks(bool deleting)
{
    m_pathShownAt = GetTickCount() - kProgressInterval;
    m_removedKeys.clear();
    const bool local = Walk(m_localRoot, deleting);
    const bool unknown = Walk(m_unknownRoot, deleting);
    m_index.RemoveEntries(VyxCacheIndex::KindThumbs, m_removedKeys);
    m_removedKeys.clear();
    return local || unknown;
}

bool CMaintCache::Optimise()
{
    return RunWalks(false);
}

bool CMaintCache::Delete()
{
    return RunWalks(true);
}

void CMaintCache::OnOptimise()
{
    Optimise();
}

void CMaintCache::OnDelete()
{
    Delete();
}

void CMaintCache::OnDestroy()
{
    SaveColumns();
    EmptyList();
    CResizableDialog::OnDestroy();
}
