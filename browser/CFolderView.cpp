#include "browser/CFolderView.h"

#include "browser/CMainFrame.h"
#include "browser/FolderCommands.h"
#include "browser/FolderList.h"
#include "browser/FrameMessages.h"
#include "browser/ShellImageList.h"
#include "browser/SubFolderProbe.h"
#include "browser/VyxDropFormats.h"
#include "catalogue/ArchiveMember.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/VyxFile.h"
#include "controls/CShellContextMenu.h"
#include "fileops/ProgressDlg.h"
#include "fileops/VFileMdDlg.h"
#include "fileops/VFileRnDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/FormatMessageText.h"
#include "foundation/ShellShortcut.h"
#include "foundation/VyxFileFind.h"
#include "foundation/VyxFileStatus.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxUtility.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"

#include <imm.h>

#include <algorithm>
#include <memory>

namespace {

const wchar_t kSection[] = L"FolderView";
const DWORD kMsgCopyHere = 0x40000002;
const DWORD kMsgMoveHere = 0x40000003;
const DWORD kMsgCancel = 0x40000004;
const DWORD kMsgOpenWith = 0x40000005;
const DWORD kMsgRenameFailed = 0x40000006;
const DWORD kMsgConfirmDelete = 0x40000007;
// The shell's attribute word of an item without shell data: a file-system folder.
const ULONG kDefaultAttributes = 0x40400177;
const ULONG kFileSystemBit = 0x40000000;

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
ON_COMMAND(ID_FOLDER_OPEN_ASSOCIATED, OnOpenAssociated)
ON_UPDATE_COMMAND_UI(ID_FOLDER_OPEN_ASSOCIATED, OnUpdateOpenAssociated)
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

void CFolderView::ReadSettings()
{
    m_nSortKind = GetAppIniInt(kSection, L"Sort", 0);
    m_nSortDirection = GetAppIniInt(kSection, L"SortDirection", 0);
    m_bLearnQuick = GetAppIniInt(kSection, L"LearnQuick", 1);
    m_nArcSortKind = GetAppIniInt(kSection, L"ArcFileSort", 0);
    m_nArcSortDirection = GetAppIniInt(kSection, L"ArcFileSortDirection", 0);
    CString kept;
    GetAppIniString(kept, kSection, L"LeaveExtend", L"zip lzh cab");
    m_keptExtensions = VyxStringArray(kept, L' ');
}

void CFolderView::WriteSettings()
{
    WriteAppIniInt(kSection, L"Sort", m_nSortKind);
    WriteAppIniInt(kSection, L"SortDirection", m_nSortDirection);
    WriteAppIniInt(kSection, L"LearnQuick", m_bLearnQuick);
    WriteAppIniInt(kSection, L"ArcFileSort", m_nArcSortKind);
    WriteAppIniInt(kSection, L"ArcFileSortDirection", m_nArcSortDirection);
    CString kept;
    for (int i = 0; i < m_keptExtensions.GetCount(); ++i)
        kept += (i ? L" " : L"") + CString(m_keptExtensions[i].GetText());
    WriteAppIniString(kSection, L"LeaveExtend", kept);
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
    tree.SetImageList(CImageList::FromHandle(GetShellImageList(TRUE)), TVSIL_NORMAL);
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
    CString previous = CKWDoc::SwapCurrentDirectory(folder);
    m_hSelected = m_hTarget = m_hDragged = m_hWalkNext = m_hWalkRoot = nullptr;
    m_probe.reset();
    CFolderTreeView::OnDestroy();
    if (!previous.IsEmpty())
        ::SetCurrentDirectoryW(previous);
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

void CFolderView::RebuildRoot()
{
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
    CString path = lpszPath ? lpszPath : L"";
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

    HTREEITEM item = FindItemByPath(path, nullptr, nullptr);
    if (!item)
        return FALSE;
    m_nExpandByCode = 2;
    GetTreeCtrl().Expand(item, TVE_EXPAND);
    m_nExpandByCode = 0;
    if (GetTreeCtrl().GetSelectedItem() == item)
        OnSelectItem(item);
    else
        GetTreeCtrl().SelectItem(item);
    return TRUE;
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
    tree.SelectDropTarget(hItem);
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
        if (!PathExists(copy, 0)) {
            CString work;
            GetPathPart(work, copy, 3);
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
    GetTreeCtrl().SelectDropTarget(hItem);
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
                tree.SelectDropTarget(current);
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
            BOOL keptExact = FALSE;
            HTREEITEM kept = FindItemByPath(m_strCurrentPath, nullptr, &keptExact);
            if (item && exact)
                RefreshItem(item, keptExact ? kept : nullptr);
        }
        break;
    case HintNextFolder:
        SelectNeighbourFolder(reinterpret_cast<INT_PTR>(pHint) == 1);
        break;
    case HintDriveChosen: {
        int drive = static_cast<int>(reinterpret_cast<INT_PTR>(pHint));
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

// ---------------------------------------------------------------- dragging a folder

void CFolderView::OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    auto* notify = reinterpret_cast<NMTREEVIEWW*>(pNMHDR);
    StartDrag(notify->itemNew.hItem, notify->ptDrag);
}

void CFolderView::OnLButtonDown(UINT nFlags, CPoint point)
{
    // The left button pressed while the right one is held asks for the shell's menu.
    if (m_bTracking && (nFlags & MK_RBUTTON)) {
        m_bShellMenu = TRUE;
        return;
    }
    m_nButtonState |= 2;
    CFolderTreeView::OnLButtonDown(nFlags, point);
}

void CFolderView::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_nButtonState &= ~2;
    CFolderTreeView::OnLButtonUp(nFlags, point);
}

void CFolderView::OnRButtonDown(UINT nFlags, CPoint point)
{
    m_nButtonState |= 4;
    UINT flags = 0;
    HTREEITEM item = GetTreeCtrl().HitTest(point, &flags);
    if (item && (flags & TVHT_ONITEM)) {
        SetCapture();
        m_bTracking = TRUE;
        m_bShellMenu = FALSE;
        m_hDragged = item;
        GetTreeCtrl().SelectDropTarget(item);
        m_pressTime = static_cast<LONGLONG>(time(nullptr));
        return;
    }
    CFolderTreeView::OnRButtonDown(nFlags, point);
}

void CFolderView::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bTracking && (nFlags & MK_RBUTTON)) {
        UINT flags = 0;
        HTREEITEM over = GetTreeCtrl().HitTest(point, &flags);
        if ((over && over != m_hDragged) || static_cast<LONGLONG>(time(nullptr)) != m_pressTime) {
            m_bTracking = FALSE;
            ReleaseCapture();
            StartDrag(m_hDragged, point);
            return;
        }
    }
    CFolderTreeView::OnMouseMove(nFlags, point);
}

void CFolderView::OnRButtonUp(UINT nFlags, CPoint point)
{
    m_nButtonState &= ~4;
    if (m_bTracking) {
        m_bTracking = FALSE;
        ReleaseCapture();
        ClearDropHighlight();
    }
    CFolderTreeView::OnRButtonUp(nFlags, point);
}

void CFolderView::StartDrag(HTREEITEM hItem, CPoint point)
{
    CString path = GetItemPath(hItem);
    if (path.IsEmpty())
        return;
    CString parentPath = GetItemPath(GetTreeCtrl().GetParentItem(hItem));
    HGLOBAL files = VyxDropFormats::MakeFileList({path}, point);
    HGLOBAL folder = VyxDropFormats::MakeFolderBlock(parentPath);
    if (!files || !folder) {
        if (files)
            ::GlobalFree(files);
        if (folder)
            ::GlobalFree(folder);
        return;
    }
    auto* source = new COleDataSource;
    source->CacheGlobalData(CF_HDROP, files);
    source->CacheGlobalData(VyxDropFormats::DropFolderFormat(), folder);
    CMainFrame* frame = GetMainFrame();
    if (frame)
        frame->SetWatchMode(2);
    DROPEFFECT effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    source->ExternalRelease();
    if (frame)
        frame->SetWatchMode(0);
    ClearDropHighlight();
    if (effect != DROPEFFECT_NONE) {
        if (CKWDoc* doc = GetDocument())
            doc->UpdateAllViews(nullptr, HintFolderChanged, reinterpret_cast<CObject*>(parentPath.GetBuffer()));
        parentPath.ReleaseBuffer();
    }
}

// ---------------------------------------------------------------- dropping on the pane

void CFolderView::ClearDropHighlight()
{
    GetTreeCtrl().SelectDropTarget(m_hSelected);
}

HTREEITEM CFolderView::TargetOrSelected() const
{
    return m_hTarget ? m_hTarget : m_hSelected;
}

DROPEFFECT CFolderView::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    m_hTarget = nullptr;
    m_drop.Enter(dwKeyState);
    return OnDragOver(pDataObject, dwKeyState, point);
}

DROPEFFECT CFolderView::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    if (!VyxDropFormats::HasFileList(pDataObject))
        return DROPEFFECT_NONE;
    CTreeCtrl& tree = GetTreeCtrl();
    UINT flags = 0;
    HTREEITEM item = tree.HitTest(point, &flags);
    FolderTreeItem* record = GetRecord(item);
    if (!record || record->kind != FolderTreeFolder)
        return DROPEFFECT_NONE;
    CRect client;
    GetClientRect(&client);
    int height = std::max(1, static_cast<int>(tree.GetItemHeight()));
    if (point.y < client.top + height / 2) {
        if (HTREEITEM previous = tree.GetPrevVisibleItem(tree.GetFirstVisibleItem()))
            tree.EnsureVisible(previous);
    } else if (point.y > client.bottom - height) {
        HTREEITEM last = tree.GetFirstVisibleItem();
        for (UINT i = 0; last && i < tree.GetVisibleCount(); ++i)
            last = tree.GetNextVisibleItem(last);
        if (last)
            tree.EnsureVisible(last);
    }
    if ((flags & TVHT_ONITEMBUTTON) && !(tree.GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED)) {
        m_nExpandByCode = 2;
        tree.Expand(item, TVE_EXPAND);
        m_nExpandByCode = 0;
    }
    if (flags & (TVHT_ONITEMLABEL | TVHT_ONITEMRIGHT)) {
        tree.SelectDropTarget(item);
        m_hTarget = item;
    }
    return VyxDropTarget::EffectForKeys(dwKeyState, GetDocument());
}

void CFolderView::OnDragLeave()
{
    m_drop.Leave();
    ClearDropHighlight();
}

DROPEFFECT CFolderView::OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList, CPoint point)
{
    DROPEFFECT effect = m_drop.ChooseEffect(this, point, dropDefault, dropList);
    OnDragLeave();
    if (effect == DROPEFFECT_NONE)
        return DROPEFFECT_NONE;
    return OnDrop(pDataObject, effect, point) ? effect : DROPEFFECT_NONE;
}

BOOL CFolderView::OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint)
{
    HTREEITEM destination = TargetOrSelected();
    FolderTreeItem* record = GetRecord(destination);
    if (!pDataObject || !record || record->kind != FolderTreeFolder)
        return FALSE;
    CString path = GetItemPath(destination);
    if (path.IsEmpty())
        return FALSE;
    // The program's own drag runs at once and succeeds when something went; another program's
    // is posted.
    LRESULT count = 0;
    BOOL handed = VyxDropTarget::Drop(pDataObject, dropEffect, path, &count);
    return handed && (count > 0 || !VyxDropFormats::HasDropFolder(pDataObject));
}

// ---------------------------------------------------------------- commands

void CFolderView::SendFromRoot(CWnd* pWnd, UINT nID)
{
    // The folder a command changes must not be the current directory meanwhile.
    CString previous = CKWDoc::SwapCurrentDirectory(L"C:\\");
    pWnd->SendMessage(WM_COMMAND, nID);
    if (!previous.IsEmpty() && PathExists(previous, FILE_ATTRIBUTE_DIRECTORY))
        ::SetCurrentDirectoryW(previous);
}

BOOL CFolderView::BuildContextMenu(HTREEITEM hItem, CMenu& menu)
{
    if (!hItem || !menu.LoadMenu(IDR_FOLDER_MENU))
        return FALSE;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return FALSE;
    CString shortPath;
    AbbreviateMiddle(shortPath, GetItemPath(hItem), 60, 28, 28);
    CString open = FormatMessageLine(kMsgOpenWith, shortPath);
    popup->InsertMenu(0, MF_BYPOSITION | MF_SEPARATOR);
    popup->InsertMenu(0, MF_BYPOSITION | MF_STRING, ID_FOLDER_OPEN_ASSOCIATED, open);
    FolderList quick(FolderListQuickAccess);
    quick.Load();
    for (INT_PTR i = 0; i < quick.GetSize() && ID_QUICK_ACCESS_FIRST + i <= ID_QUICK_ACCESS_LAST; ++i) {
        AbbreviateMiddle(shortPath, quick[i], 60, 28, 28);
        popup->AppendMenu(MF_STRING, ID_QUICK_ACCESS_FIRST + static_cast<UINT>(i), shortPath);
    }
    return TRUE;
}

void CFolderView::OnContextMenu(CWnd*, CPoint point)
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM item = nullptr;
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: at the selected item's label.
        CRect label;
        item = m_hSelected;
        if (!item || !tree.GetItemRect(item, &label, TRUE))
            return;
        point = label.TopLeft();
        ClientToScreen(&point);
    } else {
        CPoint client = point;
        ScreenToClient(&client);
        UINT flags = 0;
        item = tree.HitTest(client, &flags);
        if (!(flags & TVHT_ONITEM))
            item = nullptr;
        if (!item)
            item = m_hSelected;
    }
    FolderTreeItem* record = GetRecord(item);
    if (!record)
        return;
    if (::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_SHIFT) < 0)
        m_bShellMenu = TRUE;
    const bool shell = m_bShellMenu && record->kind == FolderTreeFolder;
    m_bShellMenu = FALSE;
    m_hTarget = item;
    if (shell) {
        ShowShellMenu(item, point);
    } else {
        CMenu menu;
        if (!BuildContextMenu(item, menu))
            return;
        // The menu's rules are the pane's: it is the view whose commands the frame asks.
        CFrameWnd* frame = GetParentFrame();
        if (frame && frame->GetActiveView() != this)
            frame->SetActiveView(this);
        CWnd* owner = GetTopLevelParent();
        UINT chosen = menu.GetSubMenu(0)->TrackPopupMenu(TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, point.x,
                                                         point.y, owner ? owner : this);
        if (chosen) {
            SendFromRoot(this, chosen);
        } else if (CKWDoc* doc = GetDocument()) {
            SelectLocation(doc->GetLocationPath());
        }
    }
    m_hTarget = nullptr;
}

void CFolderView::ShowShellMenu(HTREEITEM hItem, CPoint screen)
{
    CString path = GetItemPath(hItem);
    CKWDoc* doc = GetDocument();
    if (doc && doc->IsFolderLocation())
        AppendPathSeparator(path, path);
    CShellContextMenu menu;
    menu.SetObject(path);
    UINT chosen = menu.ShowContextMenu(this, screen);
    if (chosen) {
        if (CWnd* parent = GetParent())
            SendFromRoot(parent, chosen);
        return;
    }
    // A shell verb may have changed the folder that holds the item.
    CString parentPath = GetItemPath(GetTreeCtrl().GetParentItem(hItem));
    if (doc)
        doc->UpdateAllViews(nullptr, HintFolderChanged, reinterpret_cast<CObject*>(parentPath.GetBuffer()));
    parentPath.ReleaseBuffer();
}

void CFolderView::OnOpenAssociated()
{
    CString path = GetItemPath(TargetOrSelected());
    if (!path.IsEmpty())
        ::ShellExecuteW(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWDEFAULT);
}

void CFolderView::OnUpdateOpenAssociated(CCmdUI* pCmdUI)
{
    FolderTreeItem* record = GetRecord(m_hSelected);
    pCmdUI->Enable(record && record->kind != FolderTreeArchiveMember);
}

void CFolderView::OnUpdateFolderCommand(CCmdUI* pCmdUI)
{
    FolderTreeItem* record = GetRecord(TargetOrSelected());
    if (pCmdUI->m_nID == ID_FOLDER_CREATE)
        pCmdUI->Enable(record && record->kind == FolderTreeFolder);
    else
        pCmdUI->Enable(record && record->kind != FolderTreeArchiveMember);
}

void CFolderView::OnRefreshTree()
{
    RefreshItem(GetTreeCtrl().GetRootItem(), m_hSelected);
}

void CFolderView::OnCreateFolder()
{
    HTREEITEM item = TargetOrSelected();
    FolderTreeItem* record = GetRecord(item);
    CString folder = GetItemPath(item);
    if (!record || record->kind != FolderTreeFolder || folder.IsEmpty())
        return;
    VFileMdDlg prompt(this);
    prompt.m_folder = folder;
    if (prompt.DoModal() != IDOK)
        return;
    if (!FolderCommands::CreateFolder(prompt.m_folder, prompt.m_name))
        return;
    if (CKWDoc* doc = GetDocument())
        doc->UpdateAllViews(nullptr, HintFolderChanged, reinterpret_cast<CObject*>(folder.GetBuffer()));
    folder.ReleaseBuffer();
}

void CFolderView::OnRenameFolder()
{
    HTREEITEM item = TargetOrSelected();
    const CString path = GetItemPath(item);
    if (!GetRecord(item) || IsDriveRootPath(path) || !(GetItemAttributes(item, kDefaultAttributes) & kFileSystemBit))
        return;
    CString name;
    GetPathPart(name, path, 12);
    VFileRnDlg prompt(this);
    prompt.m_folder = name;
    if (prompt.DoModal() == IDOK)
        RenameFolderItem(item, prompt.m_name, TRUE);
}

void CFolderView::FollowMovedLocation(const CString& oldPath, const CString& newPath)
{
    CKWDoc* doc = GetDocument();
    CString moved = doc ? FolderCommands::MovedLocation(doc->GetLocationPath(), oldPath, newPath) : CString();
    if (moved.IsEmpty())
        return;
    // Sent by no view: the pane goes there too, and the document opens it.
    doc->UpdateAllViews(nullptr, HintGoToPath, reinterpret_cast<CObject*>(moved.GetBuffer()));
    moved.ReleaseBuffer();
}

BOOL CFolderView::RenameFolderItem(HTREEITEM hItem, LPCWSTR lpszNewName, BOOL bReport)
{
    const CString oldPath = GetItemPath(hItem);
    if (!GetRecord(hItem) || IsDriveRootPath(oldPath) || !lpszNewName || !*lpszNewName)
        return FALSE;
    CString folder, newPath;
    GetPathPart(folder, oldPath, 3);
    MakePath(newPath, nullptr, folder, lpszNewName, nullptr);
    if (newPath == oldPath)
        return FALSE;
    // A name with a separator would move the folder elsewhere, one the system changes would
    // leave the item naming nothing.
    if (!IsPlainFileName(lpszNewName) || !FolderCommands::MoveFolder(GetMainFrame(), GetDocument(), oldPath, newPath)) {
        if (bReport)
            AfxMessageBox(FormatMessageText(kMsgRenameFailed, oldPath), MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    UpdateRenamedItem(hItem, lpszNewName);
    GetTreeCtrl().SetItemText(hItem, lpszNewName);
    FollowMovedLocation(oldPath, newPath);
    return TRUE;
}

void CFolderView::OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMTVDISPINFOW*>(pNMHDR);
    HTREEITEM item = info->item.hItem;
    CString path = GetItemPath(item);
    const bool allowed =
        (GetItemAttributes(item, kDefaultAttributes) & 0xC0000000) == kFileSystemBit && !IsDriveRootPath(path);
    m_strEditName = allowed ? path : CString();
    *pResult = allowed ? 0 : 1;
}

void CFolderView::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMTVDISPINFOW*>(pNMHDR);
    *pResult = 0;
    CEdit* edit = GetTreeCtrl().GetEditControl();
    const bool modified = edit && edit->GetModify();
    if (!modified || !info->item.pszText || !*info->item.pszText || IsDriveRootPath(m_strEditName) ||
        GetItemPath(info->item.hItem) != m_strEditName)
        return;
    // A failed move leaves the old label; the rename sets the new one itself.
    RenameFolderItem(info->item.hItem, info->item.pszText, TRUE);
}

BOOL CFolderView::DeleteFolderItem(HTREEITEM hItem)
{
    FolderTreeItem* record = GetRecord(hItem);
    const CString path = GetItemPath(hItem);
    if (!record || record->kind == FolderTreeArchiveMember || IsDriveRootPath(path))
        return FALSE;
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM parent = tree.GetParentItem(hItem);
    HTREEITEM next = tree.GetNextSiblingItem(hItem);
    HTREEITEM previous = tree.GetPrevSiblingItem(hItem);
    CString directory = CKWDoc::SwapCurrentDirectory(L"C:\\");
    CMainFrame* frame = GetMainFrame();
    if (frame)
        frame->SetWatchMode(2);
    CKWDoc* doc = GetDocument();
    if (doc && !doc->TrashCan) {
        if (AfxMessageBox(FormatMessageText(kMsgConfirmDelete, path), MB_YESNO | MB_ICONQUESTION) == IDYES) {
            CString pattern;
            MakePath(pattern, nullptr, path, L"*.*", nullptr);
            VyxFileFind counter;
            int count = counter.CountTree(pattern, L"*.*", -1);
            VCopyFileDlg progress(this);
            const bool shown = progress.Create(this) != FALSE;
            if (shown) {
                progress.SetRange(0, count + 1);
                progress.SetWindowText(L"deleting folder...");
            }
            if (!FolderCommands::RemoveFolderTree(path, shown ? &progress : nullptr))
                AfxMessageBox(GetLastErrorText(), MB_OK | MB_ICONSTOP);
            if (shown)
                progress.DestroyWindow();
        }
    } else {
        ShellDeleteFile(path, m_hWnd, FOF_ALLOWUNDO);
    }
    const bool gone = !PathExists(path, 0xFFFFFFFF);
    if (gone) {
        // The document never stays on a folder that went: also when it showed one inside it.
        bool holdsSelection = false;
        for (HTREEITEM at = m_hSelected; at && !holdsSelection; at = tree.GetParentItem(at))
            holdsSelection = at == hItem;
        m_bSuppressSelection = TRUE;
        tree.DeleteItem(hItem);
        m_bSuppressSelection = FALSE;
        if (holdsSelection) {
            HTREEITEM chosen = next ? next : previous ? previous : parent;
            if (chosen == parent && parent)
                SetChildCount(parent, 0);
            if (chosen && tree.GetSelectedItem() == chosen)
                OnSelectItem(chosen);
            else if (chosen)
                tree.SelectItem(chosen);
        }
    }
    if (frame)
        frame->SetWatchMode(0);
    if (!directory.IsEmpty() && PathExists(directory, FILE_ATTRIBUTE_DIRECTORY))
        ::SetCurrentDirectoryW(directory);
    return gone;
}

void CFolderView::OnDeleteFolder()
{
    DeleteFolderItem(TargetOrSelected());
}

void CFolderView::OnQuickAccessAdd()
{
    CString path = GetItemPath(TargetOrSelected());
    if (path.IsEmpty())
        return;
    FolderList quick(FolderListQuickAccess);
    quick.Load();
    for (INT_PTR i = 0; i < quick.GetSize(); ++i)
        if (quick[i] == path)
            return;
    quick.InsertAt(0, path);
    quick.Save();
}

void CFolderView::OnQuickAccess(UINT nID)
{
    FolderList quick(FolderListQuickAccess);
    quick.Load();
    const INT_PTR index = nID - ID_QUICK_ACCESS_FIRST;
    if (index >= quick.GetSize())
        return;
    const CString path = quick[index];
    GoToPath(path, FALSE);
    if (m_bLearnQuick) {
        quick.RemoveAt(index);
        quick.InsertAt(0, path);
        quick.Save();
    }
}

void CFolderView::OnFolderSort(UINT nID)
{
    switch (nID) {
    case ID_FOLDER_SORT_NAME:
        m_nSortKind = SortByName;
        break;
    case ID_FOLDER_SORT_DATE:
        m_nSortKind = SortByDate;
        break;
    case ID_FOLDER_SORT_ASCENDING:
        m_nSortDirection = 0;
        break;
    case ID_FOLDER_SORT_DESCENDING:
        m_nSortDirection = 1;
        break;
    case ID_FOLDER_SORT_NEWEST:
        m_nSortKind = SortByDate;
        m_nSortDirection = 1;
        break;
    case ID_FOLDER_SORT_DICTIONARY:
        m_nSortKind = SortByName;
        m_nSortDirection = 0;
        break;
    default:
        return;
    }
    SortChildren(TVI_ROOT, TRUE);
}

void CFolderView::OnUpdateFolderSort(CCmdUI* pCmdUI)
{
    switch (pCmdUI->m_nID) {
    case ID_FOLDER_SORT_NAME:
        pCmdUI->SetCheck(m_nSortKind == SortByName);
        break;
    case ID_FOLDER_SORT_DATE:
        pCmdUI->SetCheck(m_nSortKind == SortByDate);
        break;
    case ID_FOLDER_SORT_ASCENDING:
        pCmdUI->SetCheck(m_nSortDirection == 0);
        break;
    case ID_FOLDER_SORT_DESCENDING:
        pCmdUI->SetCheck(m_nSortDirection != 0);
        break;
    case ID_FOLDER_SORT_NEWEST:
        pCmdUI->SetCheck(m_nSortKind == SortByDate && m_nSortDirection != 0);
        break;
    case ID_FOLDER_SORT_DICTIONARY:
        pCmdUI->SetCheck(m_nSortKind == SortByName && m_nSortDirection == 0);
        break;
    default:
        break;
    }
}

void CFolderView::OnArchiveSort(UINT nID)
{
    m_nArcSortKind = nID == ID_ARCHIVE_SORT_NAME ? 0 : 1;
    m_nArcSortDirection = nID == ID_ARCHIVE_SORT_NEWEST ? 1 : 0;
    // Read again, the archive items come in the new order.
    RefreshItem(GetTreeCtrl().GetRootItem(), m_hSelected);
}

void CFolderView::OnUpdateArchiveSort(CCmdUI* pCmdUI)
{
    const int kind = pCmdUI->m_nID == ID_ARCHIVE_SORT_NAME ? 0 : 1;
    const int direction = pCmdUI->m_nID == ID_ARCHIVE_SORT_NEWEST ? 1 : 0;
    pCmdUI->SetCheck(m_nArcSortKind == kind && m_nArcSortDirection == direction);
}
