#include "browser/CFolderTreeView.h"

#include "catalogue/VyxFile.h"
#include "foundation/ComScope.h"
#include "foundation/VyxFileStatus.h"
#include "foundation/VyxPath.h"

namespace {

const wchar_t kControlPanel[] = L"{21EC2020-3AEA-1069-A2DD-08002B30309D}";
const ULONG kQueryAll = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER; // 0xE0000000
const UINT kNormalIcon = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_PIDL;
const UINT kOpenIcon = kNormalIcon | SHGFI_OPENICON;

class TaskAllocator
{
public:
    TaskAllocator()
    {
        if (FAILED(SHGetMalloc(&m_malloc)))
            m_malloc = nullptr;
    }
    ~TaskAllocator()
    {
        if (m_malloc)
            m_malloc->Release();
    }
    LPMALLOC operator->() const { return m_malloc; }
    LPMALLOC Get() const { return m_malloc; }

private:
    LPMALLOC m_malloc = nullptr;
};

CString PathOfList(LPCITEMIDLIST list)
{
    wchar_t path[MAX_PATH] = {};
    if (!list || !SHGetPathFromIDListW(list, path))
        return CString();
    return path;
}

bool IsShareRoot(const CString& path)
{
    if (path.Left(2) != L"\\\\")
        return false;
    CString drive;
    GetPathPart(drive, path, PartDrive);
    CString bare;
    RemovePathSeparator(bare, path);
    return bare.CompareNoCase(drive) == 0;
}

} // namespace

CFolderTreeView* CFolderTreeView::s_pSortTree = nullptr;

IMPLEMENT_DYNCREATE(CFolderTreeView, CTreeView)

BEGIN_MESSAGE_MAP(CFolderTreeView, CTreeView)
ON_NOTIFY_REFLECT(TVN_DELETEITEMW, OnDeleteItem)
ON_NOTIFY_REFLECT(TVN_ITEMEXPANDINGW, OnItemExpanding)
END_MESSAGE_MAP()

CFolderTreeView::CFolderTreeView() {}

CFolderTreeView::~CFolderTreeView() {}

BOOL CFolderTreeView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
    return CTreeView::PreCreateWindow(cs);
}

FolderTreeItem* CFolderTreeView::GetRecord(HTREEITEM hItem) const
{
    if (!hItem || hItem == TVI_ROOT)
        return nullptr;
    return reinterpret_cast<FolderTreeItem*>(GetTreeCtrl().GetItemData(hItem));
}

void CFolderTreeView::ReleaseRecord(FolderTreeItem* record)
{
    if (!record)
        return;
    if (ShellItemData* shell = record->shell) {
        if (shell->parentFolder)
            shell->parentFolder->Release();
        CoTaskMemFree(shell->identifier);
        CoTaskMemFree(shell->fullList);
        CoTaskMemFree(shell);
    }
    delete record->file;
    delete record;
}

void CFolderTreeView::OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* notify = reinterpret_cast<NMTREEVIEWW*>(pNMHDR);
    ReleaseRecord(reinterpret_cast<FolderTreeItem*>(notify->itemOld.lParam));
    *pResult = 0;
}

void CFolderTreeView::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* notify = reinterpret_cast<NMTREEVIEWW*>(pNMHDR);
    *pResult = 0;
    HTREEITEM hItem = notify->itemNew.hItem;
    if ((notify->action & TVE_EXPAND) && !GetTreeCtrl().GetChildItem(hItem))
        PopulateShellItem(hItem);
}

BOOL CFolderTreeView::InsertShellItem(HTREEITEM& hPrev, HTREEITEM hParent, LPSHELLFOLDER lpsf, LPCITEMIDLIST lpi,
                                      LPCITEMIDLIST lpifqParent, ULONG ulAttrs)
{
    TaskAllocator allocator;
    if (!allocator.Get())
        return TRUE;
    TVITEMW tvi = {};
    tvi.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    if (ulAttrs & SFGAO_HASSUBFOLDER) {
        tvi.mask |= TVIF_CHILDREN;
        tvi.cChildren = 1;
    }
    auto* shell = static_cast<ShellItemData*>(allocator->Alloc(sizeof(ShellItemData)));
    if (!shell)
        return TRUE;
    memset(shell, 0, sizeof(*shell));
    LPSHELLFOLDER desktop = nullptr;
    LPSHELLFOLDER nameFolder = lpsf;
    if (!nameFolder) {
        SHGetDesktopFolder(&desktop);
        nameFolder = desktop;
    }
    wchar_t parsing[MAX_PATH] = {};
    wchar_t label[MAX_PATH] = {};
    bool readable = nameFolder && GetName(nameFolder, lpi, SHGDN_FORPARSING, parsing);
    BOOL result = TRUE;
    if (readable && wcsstr(parsing, kControlPanel)) {
        allocator->Free(shell);
    } else if (lpsf && !GetName(lpsf, lpi, SHGDN_INFOLDER, label)) {
        allocator->Free(shell);
        result = FALSE;
    } else {
        if (!lpsf)
            lstrcpynW(label, parsing, MAX_PATH);
        shell->fullList = ConcatPidls(lpifqParent, lpi);
        GetNormalAndSelectedIcons(shell->fullList, &tvi);
        shell->identifier = CopyItemId(allocator.Get(), lpi);
        shell->parentFolder = lpsf;
        if (lpsf)
            lpsf->AddRef();
        shell->attributes = ulAttrs;
        auto* record = new FolderTreeItem;
        record->shell = shell;
        record->kind = FolderTreeFolder;
        tvi.pszText = label;
        tvi.lParam = reinterpret_cast<LPARAM>(record);
        TVINSERTSTRUCTW insert = {};
        insert.hParent = hParent;
        insert.hInsertAfter = hPrev ? hPrev : TVI_FIRST;
        insert.item = tvi;
        HTREEITEM hItem = GetTreeCtrl().InsertItem(&insert);
        if (hItem) {
            record->item = hItem;
            hPrev = hItem;
        } else {
            ReleaseRecord(record);
        }
    }
    if (desktop)
        desktop->Release();
    return result;
}

void CFolderTreeView::FillFromShellFolder(LPSHELLFOLDER lpsf, LPCITEMIDLIST lpifq, HTREEITEM hParent)
{
    if (!lpsf)
        return;
    LPENUMIDLIST enumerator = nullptr;
    if (lpsf->EnumObjects(GetSafeHwnd(), m_dwEnumFlags, &enumerator) != S_OK || !enumerator)
        return;
    HTREEITEM hPrev = nullptr;
    LPITEMIDLIST child = nullptr;
    ULONG fetched = 0;
    while (enumerator->Next(1, &child, &fetched) == S_OK && fetched == 1) {
        ULONG attributes = kQueryAll;
        LPCITEMIDLIST children[1] = {child};
        lpsf->GetAttributesOf(1, children, &attributes);
        bool qualifies = (attributes & SFGAO_FOLDER) && (attributes & (SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER));
        if (qualifies) {
            // An archive or other file the shell shows as a folder is left out: only drives and
            // real directories, or virtual folders without a path.
            LPITEMIDLIST full = ConcatPidls(lpifq, child);
            CString path = PathOfList(full);
            CoTaskMemFree(full);
            if (!path.IsEmpty()) {
                CString bare;
                RemovePathSeparator(bare, path);
                qualifies = bare.Right(1) == L":" || PathExists(bare, FILE_ATTRIBUTE_DIRECTORY);
            }
        }
        bool inserted = !qualifies || InsertShellItem(hPrev, hParent, lpsf, child, lpifq, attributes);
        CoTaskMemFree(child);
        child = nullptr;
        if (!inserted)
            break;
    }
    enumerator->Release();
}

BOOL CFolderTreeView::PopulateShellItem(HTREEITEM hItem)
{
    FolderTreeItem* record = GetRecord(hItem);
    ShellItemData* shell = record ? record->shell : nullptr;
    if (!shell || !shell->parentFolder || !shell->identifier || !shell->fullList)
        return FALSE;
    ComScope com;
    LPSHELLFOLDER folder = nullptr;
    if (SUCCEEDED(shell->parentFolder->BindToObject(shell->identifier, nullptr, IID_IShellFolder,
                                                    reinterpret_cast<void**>(&folder))) &&
        folder) {
        FillFromShellFolder(folder, shell->fullList, hItem);
        folder->Release();
    } else {
        FillFromShellFolder(shell->parentFolder, shell->fullList, hItem);
    }
    SortChildren(hItem, FALSE);
    return TRUE;
}

CString CFolderTreeView::GetItemPath(HTREEITEM hItem) const
{
    FolderTreeItem* record = GetRecord(hItem);
    if (!record)
        return CString();
    if (ShellItemData* shell = record->shell) {
        ComScope com;
        return IsFileSystemItem(*shell) ? PathOfList(shell->fullList) : CString();
    }
    HTREEITEM hParent = GetTreeCtrl().GetParentItem(hItem);
    CString parentPath = hParent ? GetItemPath(hParent) : CString();
    CString path;
    MakePath(path, nullptr, parentPath, GetTreeCtrl().GetItemText(hItem), nullptr);
    return path;
}

ULONG CFolderTreeView::GetItemAttributes(HTREEITEM hItem, ULONG ulDefault) const
{
    FolderTreeItem* record = GetRecord(hItem);
    return record && record->shell ? record->shell->attributes : ulDefault;
}

CString CFolderTreeView::GetItemDisplayName(HTREEITEM hItem, DWORD dwFlags) const
{
    FolderTreeItem* record = GetRecord(hItem);
    if (!record || !record->shell || !record->shell->parentFolder)
        return CString();
    wchar_t name[MAX_PATH] = {};
    ComScope com;
    if (!GetName(record->shell->parentFolder, record->shell->identifier, dwFlags, name))
        return CString();
    return name;
}

void CFolderTreeView::GetNormalAndSelectedIcons(LPCITEMIDLIST lpifq, LPTVITEMW lptvitem) const
{
    lptvitem->iImage = GetIconIndex(lpifq, kNormalIcon);
    lptvitem->iSelectedImage = GetIconIndex(lpifq, kOpenIcon);
}

int CFolderTreeView::ShellHasSubFolders(HTREEITEM hItem) const
{
    FolderTreeItem* record = GetRecord(hItem);
    if (!record || !record->shell)
        return -1;
    ShellItemData* shell = record->shell;
    ComScope com;
    CString path = GetItemPath(hItem);
    CString root;
    GetPathPart(root, path, PartDrive);
    if (!root.IsEmpty() && root.Right(1) != L"\\")
        root += L"\\";
    if (!root.IsEmpty() && ::GetDriveTypeW(root) == DRIVE_REMOTE) {
        // Asking a network folder's parent is unreliable: its children are listed instead.
        LPSHELLFOLDER folder = nullptr;
        if (!shell->parentFolder ||
            FAILED(shell->parentFolder->BindToObject(shell->identifier, nullptr, IID_IShellFolder,
                                                     reinterpret_cast<void**>(&folder))) ||
            !folder)
            return 1;
        LPENUMIDLIST enumerator = nullptr;
        if (folder->EnumObjects(nullptr, m_dwEnumFlags, &enumerator) != S_OK || !enumerator) {
            folder->Release();
            return 1;
        }
        int answer = 0;
        LPITEMIDLIST child = nullptr;
        ULONG fetched = 0;
        while (!answer && enumerator->Next(1, &child, &fetched) == S_OK && fetched == 1) {
            ULONG attributes = SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER;
            LPCITEMIDLIST ids[1] = {child};
            folder->GetAttributesOf(1, ids, &attributes);
            answer = (attributes & (SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER)) ? 1 : 0;
            CoTaskMemFree(child);
        }
        enumerator->Release();
        folder->Release();
        return answer;
    }
    if (!shell->parentFolder)
        return (shell->attributes & SFGAO_HASSUBFOLDER) ? 1 : 0;
    ULONG attributes = SFGAO_HASSUBFOLDER;
    LPCITEMIDLIST ids[1] = {shell->identifier};
    if (FAILED(shell->parentFolder->GetAttributesOf(1, ids, &attributes)))
        return 0;
    return (attributes & SFGAO_HASSUBFOLDER) ? 1 : 0;
}

void CFolderTreeView::ShowSpecialFolder(int nFolder)
{
    GetTreeCtrl().DeleteAllItems();
    ComScope com;
    LPSHELLFOLDER desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop)
        return;
    LPITEMIDLIST location = nullptr;
    LPSHELLFOLDER folder = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(GetSafeHwnd(), nFolder, &location)) && location) {
        if (location->mkid.cb == 0) {
            folder = desktop;
            folder->AddRef();
        } else if (FAILED(
                       desktop->BindToObject(location, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder)))) {
            folder = nullptr;
        }
    }
    if (folder) {
        FillFromShellFolder(folder, location, TVI_ROOT);
        folder->Release();
    } else {
        FillFromShellFolder(desktop, nullptr, TVI_ROOT);
    }
    CoTaskMemFree(location);
    desktop->Release();
}

void CFolderTreeView::ShowDesktopRoot()
{
    GetTreeCtrl().DeleteAllItems();
    ComScope com;
    LPSHELLFOLDER desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop)
        return;
    LPITEMIDLIST location = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(GetSafeHwnd(), CSIDL_DESKTOP, &location)) && location) {
        HTREEITEM hPrev = nullptr;
        InsertShellItem(hPrev, TVI_ROOT, desktop, location, nullptr, SFGAO_HASSUBFOLDER);
        CoTaskMemFree(location);
    } else {
        FillFromShellFolder(desktop, nullptr, TVI_ROOT);
    }
    desktop->Release();
}

void CFolderTreeView::SortChildren(HTREEITEM hItem, BOOL bRecursive)
{
    ComScope com;
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM parent = hItem ? hItem : TVI_ROOT;
    if (bRecursive) {
        HTREEITEM child = parent == TVI_ROOT ? tree.GetRootItem() : tree.GetChildItem(parent);
        for (; child; child = tree.GetNextSiblingItem(child))
            if (tree.GetChildItem(child))
                SortChildren(child, TRUE);
    }
    s_pSortTree = this;
    TVSORTCB sort = {};
    sort.hParent = parent;
    sort.lpfnCompare = &CompareProc;
    sort.lParam = MAKELPARAM(m_nSortKind, m_nSortDirection);
    m_sortKeys.clear();
    m_sortFolderPaths.clear();
    m_bSorting = true;
    tree.SendMessage(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    m_bSorting = false;
    m_sortKeys.clear();
    m_sortFolderPaths.clear();
}

bool CFolderTreeView::IsFileSystemItem(const ShellItemData& shell)
{
    // The bit counts as set when the folder cannot answer.
    ULONG attributes = SFGAO_FILESYSTEM;
    if (shell.parentFolder) {
        LPCITEMIDLIST ids[1] = {shell.identifier};
        if (FAILED(shell.parentFolder->GetAttributesOf(1, ids, &attributes)))
            attributes = SFGAO_FILESYSTEM;
    }
    return (attributes & SFGAO_FILESYSTEM) != 0;
}

const CString& CFolderTreeView::SortPathOf(const FolderTreeItem* record) const
{
    SortKey& key = m_sortKeys[record];
    if (!key.hasPath) {
        key.path = m_bSorting ? PathAmongSiblings(record) : GetItemPath(record->item);
        key.hasPath = true;
    }
    return key.path;
}

CString CFolderTreeView::PathAmongSiblings(const FolderTreeItem* record) const
{
    // Siblings share their parent folder: its path is taken once a sort, and a child's path is
    // that path joined with the child's own parsing name, which the shell gives at once where a
    // whole path costs about a millisecond under Wine. The desktop's children (whose folders lie
    // elsewhere), children of folders outside the file system and items outside it themselves
    // take the whole path.
    const ShellItemData* shell = record->shell;
    const UINT size = shell ? GetPidlSize(shell->fullList) : 0;
    const UINT last = shell && shell->identifier ? shell->identifier->mkid.cb : 0;
    if (!shell || !shell->parentFolder || last == 0 || size <= last)
        return GetItemPath(record->item);
    auto folder = m_sortFolderPaths.find(shell->parentFolder);
    if (folder == m_sortFolderPaths.end()) {
        CString path;
        // The full list without its last item, with its terminator.
        if (auto* parent = static_cast<LPITEMIDLIST>(CoTaskMemAlloc(size - last + sizeof(USHORT)))) {
            memcpy(parent, shell->fullList, size - last);
            memset(reinterpret_cast<BYTE*>(parent) + size - last, 0, sizeof(USHORT));
            path = PathOfList(parent);
            CoTaskMemFree(parent);
        }
        folder = m_sortFolderPaths.emplace(shell->parentFolder, path).first;
    }
    wchar_t name[MAX_PATH] = {};
    if (folder->second.IsEmpty() || !IsFileSystemItem(*shell) ||
        !GetName(shell->parentFolder, shell->identifier, SHGDN_FORPARSING | SHGDN_INFOLDER, name) || !name[0])
        return GetItemPath(record->item);
    CString path;
    MakePath(path, nullptr, folder->second, name, nullptr);
    return path;
}

long long CFolderTreeView::SortTimeOf(const FolderTreeItem* record) const
{
    SortKey& key = m_sortKeys[record];
    if (!key.hasTime) {
        // The time the file status reads, without a folder listing per item (which Wine makes
        // for every name looked up).
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        const CString& path = SortPathOf(record);
        key.writeTime = !path.IsEmpty() && GetFileAttributesExW(path, GetFileExInfoStandard, &data)
                            ? FileTimeToUnixTime(data.ftLastWriteTime)
                            : 0;
        key.hasTime = true;
    }
    return key.writeTime;
}

int CALLBACK CFolderTreeView::CompareProc(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort)
{
    try {
        // The pair (kind, direction) in lParamSort is the tree's own, which the comparison reads.
        (void)lParamSort;
        CFolderTreeView* tree = s_pSortTree;
        if (!tree)
            return 0;
        int result = tree->CompareRecords(reinterpret_cast<FolderTreeItem*>(lParam1),
                                          reinterpret_cast<FolderTreeItem*>(lParam2));
        return result;
    } catch (...) {
        return 0;
    }
}

int CFolderTreeView::CompareRecords(const FolderTreeItem* a, const FolderTreeItem* b) const
{
    if (a == b)
        return 0;
    if (!a)
        return 1;
    if (!b)
        return -1;
    if (a->kind == FolderTreeArchiveMember || b->kind == FolderTreeArchiveMember) {
        CString nameA = a->file ? a->file->GetFileName() : CString();
        CString nameB = b->file ? b->file->GetFileName() : CString();
        return nameA.CollateNoCase(nameB);
    }
    // Outside a sort nothing is kept from one comparison to the next.
    struct ForgetKeys
    {
        const CFolderTreeView& tree;
        ~ForgetKeys()
        {
            if (!tree.m_bSorting)
                tree.m_sortKeys.clear();
        }
    } forget{*this};
    int kind = m_nSortKind;
    bool ascending = m_nSortDirection == 0;
    if (kind == SortByDate) {
        const CString& pathA = SortPathOf(a);
        const CString& pathB = SortPathOf(b);
        if (pathA.GetLength() >= 4 && pathB.GetLength() >= 4 && !IsShareRoot(pathA) && !IsShareRoot(pathB)) {
            long long timeA = SortTimeOf(a);
            long long timeB = SortTimeOf(b);
            int order = timeA > timeB ? 1 : timeA < timeB ? -1 : 0;
            return ascending ? order : -order;
        }
        // Drive roots and share roots keep name order.
        kind = SortByName;
        ascending = true;
    }
    if (kind != SortByName)
        return 0;
    // The shell compares its own items; the paths are asked only for items it does not hold.
    if (a->shell && a->shell->parentFolder && b->shell && b->shell->parentFolder) {
        HRESULT hr = ascending ? a->shell->parentFolder->CompareIDs(0, a->shell->identifier, b->shell->identifier)
                               : b->shell->parentFolder->CompareIDs(0, b->shell->identifier, a->shell->identifier);
        return static_cast<short>(HRESULT_CODE(hr));
    }
    const CString& pathA = SortPathOf(a);
    const CString& pathB = SortPathOf(b);
    return ascending ? pathA.CollateNoCase(pathB) : pathB.CollateNoCase(pathA);
}

BOOL CFolderTreeView::UpdateRenamedItem(HTREEITEM hItem, LPCWSTR lpszNewName)
{
    FolderTreeItem* record = GetRecord(hItem);
    if (!record || !record->shell || !record->shell->parentFolder || !lpszNewName)
        return FALSE;
    FolderTreeItem* parentRecord = GetRecord(GetTreeCtrl().GetParentItem(hItem));
    if (!parentRecord || !parentRecord->shell)
        return FALSE;
    ComScope com;
    wchar_t parentName[MAX_PATH] = {};
    LPSHELLFOLDER desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop)
        return FALSE;
    LPSHELLFOLDER parentOfParent = parentRecord->shell->parentFolder ? parentRecord->shell->parentFolder : desktop;
    BOOL done = FALSE;
    if (GetName(parentOfParent, parentRecord->shell->identifier, SHGDN_FORPARSING, parentName)) {
        CString fullName = CString(parentName) + L"\\" + lpszNewName;
        LPITEMIDLIST fullList = nullptr;
        LPITEMIDLIST identifier = nullptr;
        CString name = lpszNewName;
        desktop->ParseDisplayName(nullptr, nullptr, fullName.GetBuffer(), nullptr, &fullList, nullptr);
        fullName.ReleaseBuffer();
        record->shell->parentFolder->ParseDisplayName(nullptr, nullptr, name.GetBuffer(), nullptr, &identifier,
                                                      nullptr);
        name.ReleaseBuffer();
        if (fullList && identifier) {
            CoTaskMemFree(record->shell->identifier);
            CoTaskMemFree(record->shell->fullList);
            record->shell->identifier = identifier;
            record->shell->fullList = fullList;
            done = TRUE;
        } else {
            CoTaskMemFree(fullList);
            CoTaskMemFree(identifier);
        }
    }
    desktop->Release();
    return done;
}
