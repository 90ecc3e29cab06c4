#include "browser/CFolderView.h"

#include "browser/CMainFrame.h"
#include "browser/DeferredRepaint.h"
#include "browser/ShellImageList.h"
#include "browser/SubFolderProbe.h"
#include "catalogue/ArchiveMember.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/VyxFile.h"
#include "foundation/CurrentDirectoryScope.h"
#include "foundation/SettingsTable.h"
#include "foundation/ShellShortcut.h"
#include "foundation/VyxFileStatus.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxUtility.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"

#include <algorithm>
#include <memory>

#include <imm.h>

namespace {

const wchar_t kSection[] = L"FolderView";

CString Upper(CString text)
{
    text.MakeUpper();
    return text;
}

CString WithoutSeparator(const CString& path)
{
    CString bare;
    RemovePathSeparator(bare, path);
    return bare;
}

CString DriveRoot(int drive)
{
    CString root;
    MakeDriveRoot(root, drive);
    return root;
}

// The two texts hint objects carry as paths.
const wchar_t* HintText(CObject* pHint)
{
    return reinterpret_cast<const wchar_t*>(pHint);
}

CString ParsingNameOf(int csidl)
{
    CString name;
    GetSpecialFolderDisplayName(name, csidl, SHGDN_FORPARSING);
    return name;
}

bool IsDotName(const wchar_t* name)
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

} // namespace

IMPLEMENT_DYNCREATE(CFolderView, CFolderTreeView)

BEGIN_MESSAGE_MAP(CFolderView, CFolderTreeView)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_NOTIFY_REFLECT(TVN_DELETEITEMW, OnFolderDeleteItem)
ON_NOTIFY_REFLECT(TVN_SELCHANGEDW, OnSelChanged)
ON_NOTIFY_REFLECT(TVN_ITEMEXPANDINGW, OnFolderExpanding)
ON_NOTIFY_REFLECT(TVN_BEGINDRAGW, OnBeginDrag)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_CONTEXTMENU()
ON_NOTIFY_REFLECT(TVN_BEGINLABELEDITW, OnBeginLabelEdit)
ON_NOTIFY_REFLECT(TVN_ENDLABELEDITW, OnEndLabelEdit)
ON_COMMAND(ID_OPEN_ASSOCIATED, OnOpenAssociated)
ON_UPDATE_COMMAND_UI(ID_OPEN_ASSOCIATED, OnUpdateOpenAssociated)
ON_COMMAND(ID_REFRESH_FOLDER, OnRefreshTree)
ON_COMMAND(ID_FOLDER_CREATE, OnCreateFolder)
ON_UPDATE_COMMAND_UI(ID_FOLDER_CREATE, OnUpdateFolderCommand)
ON_COMMAND(ID_FOLDER_RENAME, OnRenameFolder)
ON_COMMAND(ID_FOLDER_DELETE, OnDeleteFolder)
ON_COMMAND(ID_CURRENT_FOLDER_DELETE, OnDeleteFolder)
ON_UPDATE_COMMAND_UI(ID_FOLDER_RENAME, OnUpdateFolderCommand)
ON_UPDATE_COMMAND_UI(ID_FOLDER_DELETE, OnUpdateFolderCommand)
ON_UPDATE_COMMAND_UI(ID_CURRENT_FOLDER_DELETE, OnUpdateFolderCommand)
ON_UPDATE_COMMAND_UI(ID_QUICK_ACCESS_ADD, OnUpdateFolderCommand)
ON_COMMAND(ID_QUICK_ACCESS_ADD, OnQuickAccessAdd)
ON_COMMAND_RANGE(ID_QUICK_ACCESS_FIRST, ID_QUICK_ACCESS_LAST, OnQuickAccess)
ON_COMMAND_RANGE(ID_FOLDER_SORT_NAME, ID_FOLDER_SORT_DESCENDING, OnFolderSort)
ON_COMMAND_RANGE(ID_FOLDER_SORT_NEWEST, ID_FOLDER_SORT_DICTIONARY, OnFolderSort)
ON_UPDATE_COMMAND_UI_RANGE(ID_FOLDER_SORT_NAME, ID_FOLDER_SORT_DESCENDING, OnUpdateFolderSort)
ON_UPDATE_COMMAND_UI_RANGE(ID_FOLDER_SORT_NEWEST, ID_FOLDER_SORT_DICTIONARY, OnUpdateFolderSort)
ON_COMMAND_RANGE(ID_ARCHIVE_SORT_NEWEST, ID_ARCHIVE_SORT_NAME, OnArchiveSort)
ON_UPDATE_COMMAND_UI_RANGE(ID_ARCHIVE_SORT_NEWEST, ID_ARCHIVE_SORT_NAME, OnUpdateArchiveSort)
END_MESSAGE_MAP()

CFolderView::CFolderView()
{
    m_bEditLabel = GetAppIniInt(kSection, L"EditLabel", 0) != 0;
}

CFolderView::~CFolderView() {}

CKWDoc* CFolderView::GetDocument() const
{
    return DYNAMIC_DOWNCAST(CKWDoc, m_pDocument);
}

CMainFrame* CFolderView::GetMainFrame() const
{
    return DYNAMIC_DOWNCAST(CMainFrame, GetParentFrame());
}

BOOL CFolderView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= TVS_SHOWSELALWAYS | WS_TABSTOP;
    if (m_bEditLabel)
        cs.style |= TVS_EDITLABELS;
    return CFolderTreeView::PreCreateWindow(cs);
}

BOOL CFolderView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return CFolderTreeView::PreTranslateMessage(pMsg);
    // While a label is edited, every key belongs to the edit box (Enter and Esc included).
    if (GetTreeCtrl().GetEditControl()) {
        ::TranslateMessage(pMsg);
        ::DispatchMessage(pMsg);
        return TRUE;
    }
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_hWnd) {
        switch (pMsg->wParam) {
        case VK_DELETE:
            DeleteFolderItem(m_hSelected);
            return TRUE;
        case VK_F2:
            m_hTarget = nullptr;
            OnRenameFolder();
            return TRUE;
        case VK_TAB:
            if (CKWDoc* doc = GetDocument())
                doc->ActivateView(this);
            break;
        default:
            break;
        }
    }
    return CFolderTreeView::PreTranslateMessage(pMsg);
}

// ---------------------------------------------------------------- life

namespace {

// The pane's keys of section "FolderView" that it reads when made and writes when it goes.
struct FolderViewSettings
{
    int Sort = 0;
    int SortDirection = 0;
    int LearnQuick = 1;
    int ArcFileSort = 0;
    int ArcFileSortDirection = 0;
    CString LeaveExtend = L"zip lzh cab"; // extensions separated by spaces

    template <class Visitor> static void VisitKeys(Visitor& v)
    {
        using S = FolderViewSettings;
        v.ProfileInt(kSection, L"Sort", &S::Sort);
        v.ProfileInt(kSection, L"SortDirection", &S::SortDirection);
        v.ProfileInt(kSection, L"LearnQuick", &S::LearnQuick);
        v.ProfileInt(kSection, L"ArcFileSort", &S::ArcFileSort);
        v.ProfileInt(kSection, L"ArcFileSortDirection", &S::ArcFileSortDirection);
        v.String(kSection, L"LeaveExtend", &S::LeaveExtend);
    }
};

} // namespace

void CFolderView::ReadSettings()
{
    FolderViewSettings settings;
    SettingsTable::Read(settings);
    m_nSortKind = settings.Sort;
    m_nSortDirection = settings.SortDirection;
    m_bLearnQuick = settings.LearnQuick;
    m_nArcSortKind = settings.ArcFileSort;
    m_nArcSortDirection = settings.ArcFileSortDirection;
    m_keptExtensions = VyxStringArray(settings.LeaveExtend, L' ');
}

void CFolderView::WriteSettings()
{
    FolderViewSettings settings;
    settings.Sort = m_nSortKind;
    settings.SortDirection = m_nSortDirection;
    settings.LearnQuick = m_bLearnQuick;
    settings.ArcFileSort = m_nArcSortKind;
    settings.ArcFileSortDirection = m_nArcSortDirection;
    settings.LeaveExtend.Empty();
    for (int i = 0; i < m_keptExtensions.GetCount(); ++i)
        settings.LeaveExtend += (i ? L" " : L"") + CString(m_keptExtensions[i].GetText());
    SettingsTable::Write(settings);
    CRect window;
    GetWindowRect(&window);
    CString text;
    text.Format(L"%d,%d,%d,%d", window.left, window.top, window.Width(), window.Height());
    WriteAppIniString(kSection, L"Window", text);
}

int CFolderView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFolderTreeView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_dropTarget.Register(this);
    ReadSettings();
    CTreeCtrl& tree = GetTreeCtrl();
    if (CKWDoc* doc = GetDocument()) {
        tree.SetBkColor(doc->GetBackColor());
        tree.SetTextColor(doc->GetTextColor());
    }
    ::ImmAssociateContext(m_hWnd, nullptr);
    return 0;
}

void CFolderView::OnDestroy()
{
    WriteSettings();
    WriteAppIniString(L"KWDoc", L"LastPath", GetItemPath(m_hSelected));
    // The items go with the window: no folder of theirs may stay the current directory.
    CString folder;
    GetModuleFolder(folder);
    CurrentDirectoryScope directory(folder);
    m_hSelected = m_hTarget = m_hDragged = m_hWalkNext = m_hWalkRoot = nullptr;
    m_probe.reset();
    CFolderTreeView::OnDestroy();
}

void CFolderView::OnInitialUpdate()
{
    CFolderTreeView::OnInitialUpdate();
}

void CFolderView::SuspendRedraw()
{
    if (m_nRedrawSuspensions++ == 0)
        SetRedraw(FALSE);
}

void CFolderView::ResumeRedraw()
{
    if (m_nRedrawSuspensions > 0 && --m_nRedrawSuspensions == 0) {
        SetRedraw(TRUE);
        Invalidate();
    }
}

// ---------------------------------------------------------------- root and landmarks

// The shell's icons come with the first items, not with the window, so that the shell can build
// its lists while the program starts.
void CFolderView::AttachShellImageList()
{
    CTreeCtrl& tree = GetTreeCtrl();
    if (!tree.GetImageList(TVSIL_NORMAL))
        tree.SetImageList(CImageList::FromHandle(GetShellImageList(TRUE)), TVSIL_NORMAL);
}

void CFolderView::RebuildRoot()
{
    AttachShellImageList();
    SuspendRedraw();
    m_hTarget = m_hDragged = m_hSelected = nullptr;
    m_strCurrentPath.Empty();
    m_bSuppressSelection = TRUE;
    switch (m_nRootMode) {
    case RootDesktopChildren:
        ShowSpecialFolder(CSIDL_DESKTOP);
        break;
    case RootDrives:
        ShowSpecialFolder(CSIDL_DRIVES);
        break;
    case RootDesktop:
        ShowDesktopRoot();
        break;
    default: {
        GetTreeCtrl().DeleteAllItems();
        int drive = m_nRootMode;
        if (m_nRootMode == RootCurrentDrive || m_nRootMode < 0 || m_nRootMode > 25) {
            CKWDoc* doc = GetDocument();
            drive = doc ? GetDriveIndex(doc->GetLocationPath()) : -1;
            if (drive < 0)
                drive = 2;
        }
        InsertFolderItem(TVI_ROOT, DriveRoot(drive), 1);
        break;
    }
    }
    m_bSuppressSelection = FALSE;
    ResumeRedraw();
    FindLandmarks();
    HTREEITEM first = GetTreeCtrl().GetRootItem();
    if (first && m_nRootMode != RootDrives) {
        m_nExpandByCode = 2;
        GetTreeCtrl().Expand(first, TVE_EXPAND);
        m_nExpandByCode = 0;
    }
    StartWalk(first);
}

void CFolderView::FindLandmarks()
{
    m_landmarkRoot = m_landmarkDocuments = m_landmarkDrives = m_landmarkNetwork = nullptr;
    if (m_nRootMode != RootDesktopChildren && m_nRootMode != RootDrives && m_nRootMode != RootDesktop)
        return;
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM start = tree.GetRootItem();
    if (m_nRootMode != RootDrives) {
        m_landmarkRoot = start;
        if (m_nRootMode == RootDesktop && start) {
            EnsureChildren(start);
            start = tree.GetChildItem(start);
        }
    }
    CString documents = ParsingNameOf(CSIDL_PERSONAL);
    CString drives = ParsingNameOf(CSIDL_DRIVES);
    CString network = ParsingNameOf(CSIDL_NETWORK);
    for (HTREEITEM item = start; item; item = tree.GetNextSiblingItem(item)) {
        CString name = GetItemDisplayName(item, SHGDN_FORPARSING);
        if (name.IsEmpty())
            continue;
        if (!documents.IsEmpty() && name == documents)
            m_landmarkDocuments = item;
        else if (!drives.IsEmpty() && name == drives)
            m_landmarkDrives = item;
        else if (!network.IsEmpty() && name == network)
            m_landmarkNetwork = item;
    }
}

HTREEITEM CFolderView::InsertFolderItem(HTREEITEM hParent, LPCWSTR lpszName, int nChildren, int nKind)
{
    CString parentPath = hParent && hParent != TVI_ROOT ? GetItemPath(hParent) : CString();
    CString path;
    if (parentPath.IsEmpty())
        path = lpszName;
    else
        MakePath(path, nullptr, parentPath, lpszName, nullptr);
    AttachShellImageList();
    auto* record = new FolderTreeItem;
    record->kind = nKind;
    TVINSERTSTRUCTW insert = {};
    insert.hParent = hParent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<LPWSTR>(lpszName);
    BOOL plainFolder = nKind == FolderTreeFolder && hParent && hParent != TVI_ROOT;
    insert.item.iImage = GetShellIconIndex(path, FALSE, plainFolder);
    insert.item.iSelectedImage = GetShellIconIndex(path, TRUE, plainFolder);
    insert.item.cChildren = nChildren;
    insert.item.lParam = reinterpret_cast<LPARAM>(record);
    HTREEITEM item = GetTreeCtrl().InsertItem(&insert);
    if (!item) {
        delete record;
        return nullptr;
    }
    record->item = item;
    return item;
}

// ---------------------------------------------------------------- paths

CString CFolderView::GetItemPath(HTREEITEM hItem) const
{
    FolderTreeItem* record = GetRecord(hItem);
    if (!record)
        return CString();
    if (record->kind == FolderTreeArchiveMember) {
        CString parent = GetItemPath(GetTreeCtrl().GetParentItem(hItem));
        return CVirtualFolderList::JoinPath(parent, GetTreeCtrl().GetItemText(hItem));
    }
    return CFolderTreeView::GetItemPath(hItem);
}

BOOL CFolderView::IsNotArchiveMember(HTREEITEM hItem) const
{
    FolderTreeItem* record = GetRecord(hItem ? hItem : m_hSelected);
    return record && record->kind != FolderTreeArchiveMember;
}

void CFolderView::EnsureChildren(HTREEITEM hItem)
{
    if (!hItem || GetTreeCtrl().GetChildItem(hItem))
        return;
    FolderTreeItem* record = GetRecord(hItem);
    if (record && record->kind == FolderTreeFolder)
        ExpandItem(hItem);
}

HTREEITEM CFolderView::WalkPrefix(HTREEITEM hStart, const CString& target, BOOL* pExact)
{
    CTreeCtrl& tree = GetTreeCtrl();
    for (HTREEITEM item = hStart; item; item = tree.GetNextSiblingItem(item)) {
        CString path = Upper(WithoutSeparator(GetItemPath(item)));
        if (path.IsEmpty() || target.Left(path.GetLength()) != path)
            continue;
        if (target.GetLength() == path.GetLength()) {
            *pExact = TRUE;
            return item;
        }
        wchar_t next = target[path.GetLength()];
        if (next != L'\\' && next != L'/' && path.Right(1) != L"\\")
            continue;
        EnsureChildren(item);
        HTREEITEM found = WalkPrefix(tree.GetChildItem(item), target, pExact);
        if (found)
            return found;
        *pExact = FALSE;
        return item;
    }
    return nullptr;
}

HTREEITEM CFolderView::WalkNetwork(HTREEITEM hStart, const CString& target)
{
    CTreeCtrl& tree = GetTreeCtrl();
    EnsureChildren(hStart);
    for (HTREEITEM item = tree.GetChildItem(hStart); item; item = tree.GetNextSiblingItem(item)) {
        CString name = GetItemDisplayName(item, SHGDN_FORPARSING);
        if (name.IsEmpty())
            name = GetItemPath(item);
        name = Upper(WithoutSeparator(name));
        if (name.Left(2) == L"\\\\") {
            if (name == target)
                return item;
            if (target.Left(name.GetLength()) == name) {
                if (HTREEITEM found = WalkNetwork(item, target))
                    return found;
            }
            continue;
        }
        // A network group: searched through.
        if (HTREEITEM found = WalkNetwork(item, target))
            return found;
    }
    return nullptr;
}

HTREEITEM CFolderView::FindItemByPath(LPCWSTR lpszPath, HTREEITEM hStart, BOOL* pExact)
{
    BOOL exact = FALSE;
    if (pExact)
        *pExact = FALSE;
    if (!lpszPath)
        return nullptr;
    CString target = lpszPath;
    if (target.Right(1) == L":")
        target += L"\\";
    target = Upper(WithoutSeparator(target));
    if (target.IsEmpty())
        return nullptr;
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM found = nullptr;
    if (hStart) {
        found = WalkPrefix(hStart, target, &exact);
    } else if (target.Left(2) == L"\\\\") {
        if (m_landmarkNetwork) {
            HTREEITEM walkStart = m_landmarkNetwork;
            CString places;
            GetSpecialFolderPath(places, CSIDL_NETHOOD);
            places = Upper(WithoutSeparator(places));
            EnsureChildren(m_landmarkNetwork);
            for (HTREEITEM child = tree.GetChildItem(m_landmarkNetwork); child && !found;
                 child = tree.GetNextSiblingItem(child)) {
                CString childPath = Upper(GetItemPath(child));
                if (places.IsEmpty() || childPath.Left(places.GetLength()) != places)
                    continue;
                CString linkTarget;
                ResolveShortcutUnc(linkTarget, childPath + L"\\target.lnk");
                linkTarget = Upper(WithoutSeparator(linkTarget));
                if (linkTarget.IsEmpty())
                    continue;
                if (linkTarget == target)
                    found = child;
                else if (target.Left(linkTarget.GetLength() + 1) == linkTarget + L"\\")
                    walkStart = child;
            }
            if (!found)
                found = WalkNetwork(walkStart, target);
            exact = found != nullptr;
        }
    } else {
        if (m_landmarkDocuments)
            found = WalkPrefix(m_landmarkDocuments, target, &exact);
        if (!found && m_landmarkRoot)
            found = WalkPrefix(m_landmarkRoot, target, &exact);
        if (!found) {
            HTREEITEM start = tree.GetRootItem();
            if (m_landmarkDrives) {
                EnsureChildren(m_landmarkDrives);
                start = tree.GetChildItem(m_landmarkDrives);
            }
            found = WalkPrefix(start, target, &exact);
        }
    }
    if (pExact)
        *pExact = exact;
    return found;
}

BOOL CFolderView::GoToPath(LPCWSTR lpszPath, BOOL bExpand)
{
    (void)bExpand;
    // Expanding and selecting move the tree's scroll bars many times; they are drawn once.
    DeferredRepaint hold(m_hWnd, DeferredRepaint::SettleOffScreen);
    CString path = lpszPath ? lpszPath : L"";
    m_strMissingPath.Empty();
    // The container part of a location inside an archive is made absolute; the inner part stays.
    int slash = path.Find(L'/');
    CString container = slash >= 0 ? path.Left(slash) : path;
    CString inner = slash >= 0 ? path.Mid(slash + 1) : CString();
    if (!container.IsEmpty()) {
        CString full;
        GetFullPath(full, container);
        if (!full.IsEmpty())
            container = full;
    }
    path = CVirtualFolderList::JoinPath(container, inner);

    int drive = GetDriveIndex(path);
    if (drive >= 0) {
        UINT type = ::GetDriveTypeW(DriveRoot(drive));
        if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) {
            CString programFolder;
            GetModuleFolder(programFolder);
            drive = GetDriveIndex(programFolder);
            path = DriveRoot(drive);
        }
    }

    CKWDoc* doc = GetDocument();
    if (m_nRootMode == RootUnchosen) {
        m_nRootMode = doc ? doc->TreeRoot : RootCurrentDrive;
        if (m_nRootMode == RootCurrentDrive && drive >= 0)
            m_nRootMode = drive;
        RebuildRoot();
    }
    if (drive < 0) {
        if (path.Left(2) != L"\\\\")
            return FALSE;
        if (m_nRootMode != RootDesktopChildren && m_nRootMode != RootDesktop) {
            m_nRootMode = RootDesktop;
            if (doc)
                doc->TreeRoot = RootDesktop;
            RebuildRoot();
        }
    } else if ((m_nRootMode >= 0 && m_nRootMode <= 25 && m_nRootMode != drive) || m_nRootMode == RootCurrentDrive) {
        m_nRootMode = drive;
        RebuildRoot();
    }

    BOOL exact = FALSE;
    HTREEITEM item = FindItemByPath(path, nullptr, &exact);
    if (item && !exact && RefreshAncestor(item))
        item = FindItemByPath(path, nullptr, &exact);
    if (!item) {
        TellNotFound(path);
        return FALSE;
    }
    m_nExpandByCode = 2;
    GetTreeCtrl().Expand(item, TVE_EXPAND);
    m_nExpandByCode = 0;
    if (GetTreeCtrl().GetSelectedItem() == item)
        OnSelectItem(item);
    else
        GetTreeCtrl().SelectItem(item);
    if (!exact)
        TellNotFound(path);
    return TRUE;
}

BOOL CFolderView::RefreshAncestor(HTREEITEM hAncestor)
{
    // A folder made after its parent was read is not among the parent's children yet.
    FolderTreeItem* record = GetRecord(hAncestor);
    if (!record || record->kind != FolderTreeFolder)
        return FALSE;
    BOOL keptExact = FALSE;
    HTREEITEM kept = FindItemByPath(m_strCurrentPath, nullptr, &keptExact);
    RefreshItem(hAncestor, keptExact ? kept : nullptr);
    return TRUE;
}

void CFolderView::TellNotFound(const CString& path)
{
    m_strMissingPath = path;
    CMainFrame* frame = GetMainFrame();
    if (!frame)
        return;
    // Every paint of the grid empties this pane: the listing the pane opened is drawn first.
    if (CView* thumbs = frame->GetThumbPane())
        thumbs->UpdateWindow();
    CString text;
    text.Format(L"見つかりません: %s", static_cast<LPCWSTR>(path));
    frame->SendMessage(WMU_STATUSTEXT, CMyStatusBar::PaneProgress, reinterpret_cast<LPARAM>(text.GetString()));
}

// ---------------------------------------------------------------- selecting and opening

void CFolderView::OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    if (m_bSuppressSelection)
        return;
    auto* notify = reinterpret_cast<NMTREEVIEWW*>(pNMHDR);
    OnSelectItem(notify->itemNew.hItem);
}

void CFolderView::OnSelectItem(HTREEITEM hItem)
{
    FolderTreeItem* record = GetRecord(hItem);
    if (!record)
        return;
    CTreeCtrl& tree = GetTreeCtrl();
    HighlightDropItem(hItem);
    m_hSelected = m_hTarget = hItem;
    m_strCurrentPath = GetItemPath(hItem);
    CKWDoc* doc = GetDocument();

    CVirtualFolder location(m_strCurrentPath, m_strCurrentPath, record->kind);
    if (record->kind == FolderTreeArchiveMember && record->file && doc) {
        // The member archive is read from a copy on disk, registered with the document.
        CVirtualFolderList& folders = doc->GetVirtualFolders();
        CString container = GetItemPath(tree.GetParentItem(hItem));
        CString copy;
        if (CVirtualFolder* known = folders.FindPath(m_strCurrentPath)) {
            copy = known->GetRealPath();
        } else {
            const CString& archive = record->file->GetArchivePath();
            CString work;
            if (CVirtualFolder* registered = folders.FindPath(archive)) {
                work = registered->GetRealPath();
            } else {
                CString temp;
                GetTempFolder(temp);
                MakeTempName(work, temp);
                EnsureFolderExists(work, true);
                folders.AddPath(archive, work);
            }
            MakePath(copy, nullptr, work, record->file->GetFileName(), nullptr);
            folders.Add(container, tree.GetItemText(hItem), copy);
        }
        if (!PathExists(copy, kFileNotFolder)) {
            CString work;
            GetPathPart(work, copy, PartFolder);
            record->file->ExtractTo(work);
        }
        location = CVirtualFolder(container, tree.GetItemText(hItem), copy);
    }
    if (m_strCurrentPath.IsEmpty())
        return;
    UpdateChildrenButton(hItem, TRUE);
    int drive = GetDriveIndex(m_strCurrentPath);
    if (drive >= 0)
        m_drivePaths[drive] = m_strCurrentPath;
    AddVisited(m_strCurrentPath);
    if (doc)
        doc->OpenFolder(location, this);
    ShowArchivesInArchive(hItem);
}

void CFolderView::AddVisited(const CString& path)
{
    if (m_bHistoryNavigation)
        return;
    ++m_nHistoryPos;
    while (m_visited.GetCount() > m_nHistoryPos && m_nHistoryPos >= 0)
        m_visited.RemoveAt(m_visited.GetCount() - 1);
    for (int i = m_visited.GetCount() - 1; i >= 0; --i) {
        if (path == m_visited[i].GetText()) {
            m_visited.RemoveAt(i);
            --m_nHistoryPos;
        }
    }
    if (m_nHistoryPos < 0)
        m_nHistoryPos = 0;
    m_visited.Add(VyxString(static_cast<LPCWSTR>(path)));
    m_nHistoryPos = m_visited.GetCount() - 1;
}

void CFolderView::GoToHistory(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_visited.GetCount())
        return;
    m_nHistoryPos = nIndex;
    m_bHistoryNavigation = TRUE;
    CString path = m_visited[nIndex].GetText();
    GoToPath(path, FALSE);
    m_bHistoryNavigation = FALSE;
}

void CFolderView::SelectSilently(HTREEITEM hItem)
{
    m_bSuppressSelection = TRUE;
    HighlightDropItem(hItem);
    GetTreeCtrl().SelectItem(hItem);
    m_bSuppressSelection = FALSE;
    m_hSelected = hItem;
    m_strCurrentPath = GetItemPath(hItem);
}

void CFolderView::SelectLocation(LPCWSTR lpszPath)
{
    BOOL exact = FALSE;
    HTREEITEM item = FindItemByPath(lpszPath, nullptr, &exact);
    if (!item)
        return;
    if (exact)
        SelectSilently(item);
    else if (GetTreeCtrl().GetSelectedItem() == item)
        OnSelectItem(item);
    else
        GetTreeCtrl().SelectItem(item);
}

// ---------------------------------------------------------------- children

void CFolderView::OnFolderExpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* notify = reinterpret_cast<NMTREEVIEWW*>(pNMHDR);
    *pResult = 0;
    HTREEITEM item = notify->itemNew.hItem;
    FolderTreeItem* record = GetRecord(item);
    if (!record || record->kind != FolderTreeFolder)
        return;
    CTreeCtrl& tree = GetTreeCtrl();
    UINT action = notify->action & ~TVE_EXPANDPARTIAL;
    bool expanded = (tree.GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    if (action == TVE_TOGGLE)
        action = expanded ? TVE_COLLAPSE : TVE_EXPAND;
    if (action == TVE_EXPAND) {
        if (!expanded && !tree.GetChildItem(item))
            ExpandItem(item);
        if (m_nExpandByCode)
            return;
        CKWDoc* doc = GetDocument();
        if (doc && doc->GetLocationPath().CompareNoCase(m_strCurrentPath) != 0) {
            BOOL exact = FALSE;
            HTREEITEM current = FindItemByPath(doc->GetLocationPath(), tree.GetChildItem(item), &exact);
            if (current && exact) {
                m_bSuppressSelection = TRUE;
                HighlightDropItem(current);
                tree.SelectItem(current);
                m_bSuppressSelection = FALSE;
                m_hSelected = current;
                m_strCurrentPath = GetItemPath(current);
            }
        }
        StartWalk(item);
    } else if (action & TVE_COLLAPSE) {
        // Collapsed items forget their children; they are read again at the next expansion.
        DeleteChildren(item);
        SetChildCount(item, 1);
    }
}

void CFolderView::DeleteChildren(HTREEITEM hItem)
{
    CTreeCtrl& tree = GetTreeCtrl();
    BOOL suppressed = m_bSuppressSelection;
    m_bSuppressSelection = TRUE;
    for (HTREEITEM child = tree.GetChildItem(hItem); child;) {
        HTREEITEM next = tree.GetNextSiblingItem(child);
        tree.DeleteItem(child);
        child = next;
    }
    m_bSuppressSelection = suppressed;
}

void CFolderView::OnFolderDeleteItem(NMHDR* pNMHDR, LRESULT* pResult)
{
    // Handles the pane keeps must not outlive their items.
    HTREEITEM item = reinterpret_cast<NMTREEVIEWW*>(pNMHDR)->itemOld.hItem;
    for (HTREEITEM* kept : {&m_hSelected, &m_hTarget, &m_hDragged, &m_hWalkNext, &m_hWalkRoot, &m_hWalkFirstTop,
                            &m_landmarkRoot, &m_landmarkDocuments, &m_landmarkDrives, &m_landmarkNetwork})
        if (*kept == item)
            *kept = nullptr;
    if (m_probe)
        m_probe->Forget(reinterpret_cast<UINT_PTR>(item));
    OnDeleteItem(pNMHDR, pResult);
}

void CFolderView::ExpandItem(HTREEITEM hItem)
{
    CWaitCursor wait;
    SuspendRedraw();
    CTreeCtrl& tree = GetTreeCtrl();
    DeleteChildren(hItem);
    FillFolderItems(hItem);
    CKWDoc* doc = GetDocument();
    if (doc && doc->CheckSubFolder == 0) {
        for (HTREEITEM child = tree.GetChildItem(hItem); child; child = tree.GetNextSiblingItem(child)) {
            FolderTreeItem* record = GetRecord(child);
            if (record && record->kind == FolderTreeFolder && GetChildCount(child) == 0)
                SetChildCount(child, HasSubFolders(child));
        }
    }
    if (!doc || doc->ArcTree)
        AddArchiveItems(hItem);
    ResumeRedraw();
}

void CFolderView::FillFolderItems(HTREEITEM hItem)
{
    FolderTreeItem* record = GetRecord(hItem);
    if (record && record->shell) {
        PopulateShellItem(hItem);
        return;
    }
    CString folder = GetItemPath(hItem);
    if (folder.IsEmpty())
        return;
    CKWDoc* doc = GetDocument();
    bool hidden = doc && doc->HiddenFolder;
    int childCount = doc && doc->CheckSubFolder == 2 ? 1 : 0;
    CString pattern;
    MakePath(pattern, nullptr, folder, L"*.*", nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotName(data.cFileName))
            continue;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) && !hidden)
            continue;
        CString path;
        MakePath(path, nullptr, folder, data.cFileName, nullptr);
        VyxFileStatus status;
        if (status.GetStatus(path) && status.IsDirectory())
            InsertFolderItem(hItem, data.cFileName, childCount);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    SortChildren(hItem, FALSE);
}

CString CFolderView::ArchivePatterns() const
{
    return theSPImapIndex.GetPatternList(1);
}

void CFolderView::AddArchiveItems(HTREEITEM hItem)
{
    CString patterns = ArchivePatterns();
    if (patterns.IsEmpty())
        return;
    CString folder = GetItemPath(hItem);
    if (folder.IsEmpty())
        return;
    std::unique_ptr<wchar_t[]> specs = SplitListToMultiString(patterns);
    CKWDoc* doc = GetDocument();
    bool hidden = doc && doc->HiddenFolder;
    VyxStringArray names;
    CString pattern;
    MakePath(pattern, nullptr, folder, L"*.*", nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(pattern, &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) && !hidden)
                continue;
            if (specs && MatchFileSpecs(data.cFileName, specs.get()))
                names.Add(VyxString(data.cFileName));
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    SortNamesByTime(folder, names, m_nArcSortKind, 2);
    int count = names.GetCount();
    for (int i = 0; i < count; ++i) {
        int at = m_nArcSortDirection > 0 ? count - 1 - i : i;
        InsertFolderItem(hItem, names[at].GetText(), 0, FolderTreeArchive);
    }
}

void CFolderView::SortNamesByTime(LPCWSTR lpszFolder, VyxStringArray& names, int nKind, int nTimeKind)
{
    if (nKind == 0) {
        names.Sort();
        return;
    }
    if (nKind != 1)
        return;
    struct Named
    {
        VyxString name;
        FILETIME time;
    };
    std::vector<Named> entries;
    for (int i = 0; i < names.GetCount(); ++i) {
        Named entry{names[i], {0, 0}};
        CString path;
        MakePath(path, nullptr, lpszFolder, names[i].GetText(), nullptr);
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW(path, &data);
        // A name whose time cannot be read counts as the oldest.
        if (find != INVALID_HANDLE_VALUE) {
            entry.time = nTimeKind == 0   ? data.ftCreationTime
                         : nTimeKind == 1 ? data.ftLastAccessTime
                                          : data.ftLastWriteTime;
            ::FindClose(find);
        }
        entries.push_back(entry);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Named& a, const Named& b) { return ::CompareFileTime(&a.time, &b.time) < 0; });
    names.RemoveAll();
    for (const Named& entry : entries)
        names.Add(entry.name);
}

int CFolderView::HasSubFolders(HTREEITEM hItem)
{
    int shell = ShellHasSubFolders(hItem);
    if (shell >= 0)
        return shell;
    CString folder = GetItemPath(hItem);
    if (folder.IsEmpty())
        return 0;
    CKWDoc* doc = GetDocument();
    bool hidden = doc && doc->HiddenFolder;
    bool arcTree = !doc || doc->ArcTree;
    CString patterns = arcTree ? ArchivePatterns() : CString();
    std::unique_ptr<wchar_t[]> specs;
    if (!patterns.IsEmpty())
        specs = SplitListToMultiString(patterns);
    return SubFolderProbe::Answer(folder, hidden, specs.get());
}

void CFolderView::SetChildCount(HTREEITEM hItem, int nCount)
{
    TVITEMW item = {};
    item.mask = TVIF_CHILDREN;
    item.hItem = hItem;
    item.cChildren = nCount;
    GetTreeCtrl().SetItem(&item);
}

int CFolderView::GetChildCount(HTREEITEM hItem) const
{
    TVITEMW item = {};
    item.mask = TVIF_CHILDREN;
    item.hItem = hItem;
    GetTreeCtrl().GetItem(&item);
    return item.cChildren;
}

void CFolderView::UpdateChildrenButton(HTREEITEM hItem, BOOL bForced)
{
    FolderTreeItem* record = GetRecord(hItem);
    if (!record || record->kind != FolderTreeFolder)
        return;
    const int shown = GetChildCount(hItem);
    if (shown != 0 && !bForced)
        return;
    int count = HasSubFolders(hItem);
    if (count != shown)
        SetChildCount(hItem, count);
}

void CFolderView::ProbeChildrenButton(HTREEITEM hItem)
{
    CString folder = GetItemPath(hItem);
    if (GetChildCount(hItem) != 0 || folder.IsEmpty())
        return;
    if (!m_probe)
        m_probe.reset(new SubFolderProbe);
    CKWDoc* doc = GetDocument();
    m_probe->Ask(reinterpret_cast<UINT_PTR>(hItem), folder, doc && doc->HiddenFolder,
                 !doc || doc->ArcTree ? ArchivePatterns() : CString());
}

void CFolderView::TakeProbeAnswers()
{
    UINT_PTR key = 0;
    int answer = 0;
    while (m_probe && m_probe->Take(key, answer)) {
        HTREEITEM hItem = reinterpret_cast<HTREEITEM>(key);
        if (answer != 0 && GetChildCount(hItem) == 0)
            SetChildCount(hItem, answer);
    }
}

void CFolderView::ShowArchivesInArchive(HTREEITEM hItem)
{
    FolderTreeItem* record = GetRecord(hItem);
    CKWDoc* doc = GetDocument();
    if (!record || record->kind != FolderTreeArchive || !doc || !doc->ArchiveInArchive)
        return;
    CString patterns = ArchivePatterns();
    if (patterns.IsEmpty())
        return;
    std::unique_ptr<wchar_t[]> specs = SplitListToMultiString(patterns);
    CTreeCtrl& tree = GetTreeCtrl();
    DeleteChildren(hItem);
    int image = 0, selectedImage = 0;
    tree.GetItemImage(hItem, image, selectedImage);
    int inserted = 0;
    for (int i = 0; i < doc->GetItemCount(); ++i) {
        VyxFile* item = doc->GetItem(i);
        if (!item || !specs || !MatchFileSpecs(item->GetFileName(), specs.get()))
            continue;
        // Its copy goes into a work folder that is deleted with everything under it when the
        // document goes: a member whose name would lead out of that folder gets no node.
        if (!IsSafeMemberPath(item->GetPath()))
            continue;
        auto* childRecord = new FolderTreeItem;
        childRecord->kind = FolderTreeArchiveMember;
        childRecord->file = new VyxFile(*item);
        HTREEITEM child =
            tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, item->GetFileName(), image,
                            selectedImage, 0, 0, reinterpret_cast<LPARAM>(childRecord), hItem, TVI_LAST);
        if (!child) {
            delete childRecord->file;
            delete childRecord;
            continue;
        }
        childRecord->item = child;
        ++inserted;
    }
    SortChildren(hItem, FALSE);
    if (inserted)
        SetChildCount(hItem, 1);
}

// ---------------------------------------------------------------- idle walk

void CFolderView::StartWalk(HTREEITEM hRoot)
{
    m_hWalkRoot = hRoot;
    m_hWalkNext = hRoot;
    m_hWalkFirstTop = GetTreeCtrl().GetRootItem();
}

BOOL CFolderView::IdleWalkStep()
{
    CMainFrame* frame = GetMainFrame();
    if (frame)
        frame->SetWorkFlag(WorkFolderWalk, FALSE);
    CKWDoc* doc = GetDocument();
    if (!doc || doc->CheckSubFolder != 1)
        return FALSE;
    if (!m_hWalkNext) {
        // The walk is over; the answers still coming are its last work.
        TakeProbeAnswers();
        const bool coming = m_probe && m_probe->Wait();
        TakeProbeAnswers();
        if (!coming)
            return FALSE;
        if (frame)
            frame->SetWorkFlag(WorkFolderWalk, TRUE);
        return TRUE;
    }
    if (frame && (frame->GetWorkFlags() & WorkVisibleThumbs)) {
        // The thumbnails on show go first; the walk's work is still pending, so idle time goes on.
        frame->SetWorkFlag(WorkFolderWalk, TRUE);
        return TRUE;
    }
    TakeProbeAnswers();
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM item = m_hWalkNext;
    FolderTreeItem* record = GetRecord(item);
    if (record && record->kind == FolderTreeFolder) {
        if (record->shell)
            UpdateChildrenButton(item, FALSE);
        else
            ProbeChildrenButton(item);
    }
    HTREEITEM next = nullptr;
    HTREEITEM child = tree.GetChildItem(item);
    if (child && (tree.GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED))
        next = child;
    for (HTREEITEM at = item; !next && at && at != m_hWalkRoot; at = tree.GetParentItem(at))
        next = tree.GetNextSiblingItem(at);
    if (!next && item == m_hWalkRoot && child && (tree.GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED))
        next = child;
    if (!next && tree.GetRootItem() != m_hWalkFirstTop)
        StartWalk(tree.GetRootItem());
    else
        m_hWalkNext = next;
    if (frame)
        frame->SetWorkFlag(WorkFolderWalk, TRUE);
    return TRUE;
}

// ---------------------------------------------------------------- refresh

void CFolderView::RecordSubtree(HTREEITEM hItem, std::vector<SubList>& out)
{
    CTreeCtrl& tree = GetTreeCtrl();
    for (HTREEITEM child = tree.GetChildItem(hItem); child; child = tree.GetNextSiblingItem(child)) {
        SubList entry;
        entry.label = tree.GetItemText(child);
        RecordSubtree(child, entry.children);
        out.push_back(entry);
    }
}

void CFolderView::RestoreSubtree(HTREEITEM hItem, const std::vector<SubList>& recorded)
{
    CTreeCtrl& tree = GetTreeCtrl();
    ExpandItem(hItem);
    bool matched = false;
    for (HTREEITEM child = tree.GetChildItem(hItem); child; child = tree.GetNextSiblingItem(child)) {
        CString label = tree.GetItemText(child);
        for (const SubList& entry : recorded) {
            if (entry.label != label)
                continue;
            matched = true;
            if (!entry.children.empty())
                RestoreSubtree(child, entry.children);
            break;
        }
    }
    if (matched) {
        SetChildCount(hItem, 1);
        m_nExpandByCode = 2;
        tree.Expand(hItem, TVE_EXPAND);
        m_nExpandByCode = 0;
    } else {
        // None of the recorded folders is there any more: the button follows what was read.
        SetChildCount(hItem, tree.GetChildItem(hItem) ? 1 : 0);
    }
}

void CFolderView::RefreshItem(HTREEITEM hItem, HTREEITEM hKeep)
{
    if (!hItem)
        return;
    CTreeCtrl& tree = GetTreeCtrl();
    CString keptPath = hKeep ? GetItemPath(hKeep) : m_strCurrentPath;
    CRect keptRect(0, 0, 0, 0);
    bool keptShown = hKeep && tree.GetItemRect(hKeep, &keptRect, TRUE);
    SuspendRedraw();
    std::vector<SubList> recorded;
    RecordSubtree(hItem, recorded);
    m_bSuppressSelection = TRUE;
    if (!recorded.empty())
        RestoreSubtree(hItem, recorded);
    else
        UpdateChildrenButton(hItem, TRUE);
    m_bSuppressSelection = FALSE;
    ResumeRedraw();
    FindLandmarks();
    if (!keptPath.IsEmpty()) {
        BOOL exact = FALSE;
        HTREEITEM item = FindItemByPath(keptPath, nullptr, &exact);
        if (item && exact) {
            SelectSilently(item);
            CRect now;
            if (keptShown && tree.GetItemRect(item, &now, TRUE)) {
                int height = std::max(1, static_cast<int>(tree.GetItemHeight()));
                tree.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
                int lines = (now.top - keptRect.top) / height;
                for (int i = 0; i < std::abs(lines); ++i)
                    tree.SendMessage(WM_VSCROLL, lines > 0 ? SB_LINEDOWN : SB_LINEUP, 0);
            }
        }
    }
    StartWalk(hItem);
}

// ---------------------------------------------------------------- hints

void CFolderView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    if (pSender == this || lHint < HintListRebuilt || lHint > HintFolderChanged)
        return;
    CKWDoc* doc = GetDocument();
    switch (lHint) {
    case HintListRebuilt:
        if (pHint) {
            BOOL exact = FALSE;
            HTREEITEM item = FindItemByPath(HintText(pHint), nullptr, &exact);
            if (item && exact)
                ShowArchivesInArchive(item);
        }
        break;
    case HintIdleStep:
        IdleWalkStep();
        break;
    case HintGoToPath:
        GoToPath(pHint ? HintText(pHint) : L"", FALSE);
        break;
    case HintSettingsChanged:
        if (pHint)
            m_nRootMode = RootUnchosen;
        if (doc) {
            m_bHiddenFolder = doc->HiddenFolder;
            m_dwEnumFlags = m_bHiddenFolder ? EnumFoldersAndHidden : EnumFolders;
            GoToPath(doc->GetLocationPath(), FALSE);
        }
        break;
    case HintColoursChanged:
        if (doc) {
            GetTreeCtrl().SetBkColor(doc->GetBackColor());
            GetTreeCtrl().SetTextColor(doc->GetTextColor());
        }
        break;
    case HintRenamed:
    case HintFolderChanged:
        if (pHint) {
            BOOL exact = FALSE;
            HTREEITEM item = FindItemByPath(HintText(pHint), nullptr, &exact);
            if (item && exact) {
                BOOL keptExact = FALSE;
                HTREEITEM kept = FindItemByPath(m_strCurrentPath, nullptr, &keptExact);
                RefreshItem(item, keptExact ? kept : nullptr);
            } else if (item) {
                // A folder the pane does not show (made by a copy into it): its deepest shown
                // ancestor reads its children again.
                RefreshAncestor(item);
            }
        }
        break;
    case HintNextFolder:
        SelectNeighbourFolder(HintIndex(pHint) == 1);
        break;
    case HintDriveChosen: {
        int drive = HintIndex(pHint);
        if (drive >= 0 && drive < 26)
            GoToPath(m_drivePaths[drive].IsEmpty() ? DriveRoot(drive) : m_drivePaths[drive], FALSE);
        break;
    }
    default:
        break;
    }
}

void CFolderView::SelectNeighbourFolder(BOOL bNext)
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM selected = tree.GetSelectedItem();
    if (!selected)
        return;
    HTREEITEM target = nullptr;
    if (bNext) {
        if (tree.GetChildItem(selected) && (tree.GetItemState(selected, TVIS_EXPANDED) & TVIS_EXPANDED))
            target = tree.GetChildItem(selected);
        for (HTREEITEM at = selected; !target && at; at = tree.GetParentItem(at))
            target = tree.GetNextSiblingItem(at);
    } else {
        HTREEITEM previous = tree.GetPrevSiblingItem(selected);
        if (!previous) {
            target = tree.GetParentItem(selected);
        } else if (!tree.GetChildItem(previous)) {
            target = previous;
        } else {
            target = tree.GetChildItem(previous);
            while (HTREEITEM child = tree.GetChildItem(target))
                target = child;
            while (HTREEITEM sibling = tree.GetNextSiblingItem(target))
                target = sibling;
        }
    }
    if (target)
        tree.SelectItem(target);
}
