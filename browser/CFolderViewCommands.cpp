// The folder tree's commands: its context menu, creating, renaming and deleting folders, quick
// access, and the sort orders of folders and archives.
#include "browser/CFolderView.h"

#include "browser/CMainFrame.h"
#include "browser/FolderCommands.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/FolderList.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/WatchModeScope.h"
#include "controls/CShellContextMenu.h"
#include "controls/ProgressDlg.h"
#include "fileops/VFileMdDlg.h"
#include "fileops/VFileRnDlg.h"
#include "foundation/CurrentDirectoryScope.h"
#include "foundation/FormatMessageText.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxFileFind.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxUtility.h"
#include "res/resource.h"

#include <algorithm>
#include <memory>

#include <imm.h>

namespace {

// The shell's attribute word of an item without shell data: a file-system folder.
const ULONG kDefaultAttributes = 0x40400177;
const ULONG kFileSystemBit = 0x40000000;

} // namespace

// ---------------------------------------------------------------- commands

void CFolderView::SendFromRoot(CWnd* pWnd, UINT nID)
{
    // The folder a command changes must not be the current directory meanwhile.
    CurrentDirectoryScope directory(L"C:\\");
    pWnd->SendMessage(WM_COMMAND, nID);
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
    CString open = FormatMessageLine(MsgOpenWith, MenuItemText(shortPath));
    popup->InsertMenu(0, MF_BYPOSITION | MF_SEPARATOR);
    popup->InsertMenu(0, MF_BYPOSITION | MF_STRING, ID_OPEN_ASSOCIATED, open);
    FolderList quick(FolderListQuickAccess);
    quick.Load();
    for (INT_PTR i = 0; i < quick.GetSize() && ID_QUICK_ACCESS_FIRST + i <= ID_QUICK_ACCESS_LAST; ++i) {
        AbbreviateMiddle(shortPath, quick[i], 60, 28, 28);
        popup->AppendMenu(MF_STRING, ID_QUICK_ACCESS_FIRST + static_cast<UINT>(i), MenuItemText(shortPath));
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
    GetPathPart(name, path, PartFileName);
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
    GetPathPart(folder, oldPath, PartFolder);
    MakePath(newPath, nullptr, folder, lpszNewName, nullptr);
    if (newPath == oldPath)
        return FALSE;
    // A name with a separator would move the folder elsewhere, one the system changes would
    // leave the item naming nothing.
    if (!IsPlainFileName(lpszNewName) || !FolderCommands::MoveFolder(GetMainFrame(), GetDocument(), oldPath, newPath)) {
        if (bReport)
            ShowMessageBox(FormatMessageText(MsgFolderRenameFailed, oldPath), MB_OK | MB_ICONSTOP);
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
    // A directory that went is not taken back: setting it fails, and "C:\" stays current.
    CurrentDirectoryScope directory(L"C:\\");
    WatchModeScope watch(GetMainFrame());
    CKWDoc* doc = GetDocument();
    if (doc && !doc->TrashCan) {
        if (ShowMessageBox(FormatMessageText(MsgConfirmFolderDelete, path), MB_YESNO | MB_ICONQUESTION) == IDYES) {
            // A folder just left may still have its cache file written inside it.
            theCacheList.FinishWriting();
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
                ShowMessageBox(GetLastErrorText(), MB_OK | MB_ICONSTOP);
            if (shown)
                progress.DestroyWindow();
        }
    } else {
        theCacheList.FinishWriting();
        ShellDeleteFile(path, m_hWnd, FOF_ALLOWUNDO);
    }
    const bool gone = !PathExists(path, kAnyAttribute);
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
