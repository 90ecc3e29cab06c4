// The folder pane of the main frame: a tree of one root at a time (a drive's folders or a part of
// the shell namespace) with archive files shown as folders and archives inside a browsed archive
// as items of their own. Selecting an item opens its location in the document; the pane follows
// the document's hints, finds the item of any path, remembers the last path of each drive and a
// history of visited folders, and is a drag source and a drop target for files.
#pragma once

#include "browser/CFolderTreeView.h"
#include "browser/VyxDropTarget.h"
#include "foundation/VyxStringArray.h"

#include <memory>
#include <vector>

class CKWDoc;
class CMainFrame;

class SubFolderProbe;

class CFolderView : public CFolderTreeView
{
    DECLARE_DYNCREATE(CFolderView)
public:
    // Root modes: 0..25 the folders of drive A..Z, and these.
    enum { RootUnchosen = -1, RootDesktopChildren = 26, RootDrives = 27, RootDesktop = 28, RootCurrentDrive = 29 };

    CFolderView();
    ~CFolderView() override;

    CKWDoc* GetDocument() const;

    BOOL GoToPath(LPCWSTR lpszPath, BOOL bExpand);
    // The item of the path, else of its deepest shown ancestor (*pExact FALSE), else null.
    HTREEITEM FindItemByPath(LPCWSTR lpszPath, HTREEITEM hStart, BOOL* pExact);
    // By kind: a folder's by the tree's rule; an archive's parent path and label; an archive
    // member's as a location inside its archive ("container/inner").
    CString GetItemPath(HTREEITEM hItem) const;
    // Selects the path's item without opening it again (an ancestor found instead is opened).
    void SelectLocation(LPCWSTR lpszPath);
    // Reads the item's subtree again, keeping opened folders open.
    void RefreshItem(HTREEITEM hItem, HTREEITEM hKeep);
    void GoToHistory(int nIndex);
    // The item (null: the selected one) exists and is not an archive member.
    BOOL IsNotArchiveMember(HTREEITEM hItem) const;

    const VyxStringArray& GetVisitedFolders() const { return m_visited; }
    int GetHistoryPosition() const { return m_nHistoryPos; }
    int GetRootMode() const { return m_nRootMode; }
    HTREEITEM GetSelectedFolderItem() const { return m_hSelected; }
    const CString& GetCurrentPath() const { return m_strCurrentPath; }
    // The path the last GoToPath could not reach, told in the status bar; empty when it went there.
    const CString& GetMissingPath() const { return m_strMissingPath; }
    CString GetDrivePath(int nDrive) const { return nDrive >= 0 && nDrive < 26 ? m_drivePaths[nDrive] : CString(); }
    // One step of the walk that refines expand buttons; TRUE while items remain.
    BOOL IdleWalkStep();

    // The order of names: kind 0 the array's own ascending order, 1 by the time of the given kind
    // (0 creation, 1 last access, 2 last write).
    static void SortNamesByTime(LPCWSTR lpszFolder, VyxStringArray& names, int nKind, int nTimeKind);

    // ---- commands (of the pane's menu, the main menu and the keys)
    // The item a command acts on: the one under the pointer when it began, else the selected one.
    HTREEITEM GetCommandItem() const { return TargetOrSelected(); }
    void SetCommandItem(HTREEITEM hItem) { m_hTarget = hItem; }
    // The pane's menu for the item: "open" at the top, the quick-access folders at the end.
    BOOL BuildContextMenu(HTREEITEM hItem, CMenu& menu);
    // A folder's new name in its folder (not a drive root, a file-system folder): the cache index
    // and the document's location follow it. FALSE when nothing was renamed; bReport shows
    // message 0x40000006 when the move failed.
    BOOL RenameFolderItem(HTREEITEM hItem, LPCWSTR lpszNewName, BOOL bReport);
    // Deletes the item's folder as the settings say (recycle bin, or the question and the whole
    // tree); the tree and the document move on when it went. TRUE when it is gone.
    BOOL DeleteFolderItem(HTREEITEM hItem);
    static BOOL IsDriveRootPath(const CString& path) { return path.GetLength() <= 3; }

    // Settings of "FolderView".
    BOOL m_bLearnQuick = TRUE;
    int m_nArcSortKind = 0;
    int m_nArcSortDirection = 0;
    BOOL m_bEditLabel = FALSE;
    VyxStringArray m_keptExtensions;

    // The pane's keys (Delete, F2, Tab); while a label is edited, every key goes to its edit box.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    void OnDragLeave() override;
    BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override;
    DROPEFFECT OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                        CPoint point) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnFolderDeleteItem(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnFolderExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnOpenAssociated();
    afx_msg void OnUpdateOpenAssociated(CCmdUI* pCmdUI);
    afx_msg void OnRefreshTree();
    afx_msg void OnCreateFolder();
    afx_msg void OnRenameFolder();
    afx_msg void OnDeleteFolder();
    afx_msg void OnUpdateFolderCommand(CCmdUI* pCmdUI);
    afx_msg void OnQuickAccessAdd();
    afx_msg void OnQuickAccess(UINT nID);
    afx_msg void OnFolderSort(UINT nID);
    afx_msg void OnUpdateFolderSort(CCmdUI* pCmdUI);
    afx_msg void OnArchiveSort(UINT nID);
    afx_msg void OnUpdateArchiveSort(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    struct SubList
    {
        CString label;
        std::vector<SubList> children;
    };

    CMainFrame* GetMainFrame() const;
    void ReadSettings();
    void WriteSettings();
    void SuspendRedraw();
    void ResumeRedraw();
    void RebuildRoot();
    void AttachShellImageList();
    void FindLandmarks();
    HTREEITEM InsertFolderItem(HTREEITEM hParent, LPCWSTR lpszName, int nChildren, int nKind = FolderTreeFolder);
    HTREEITEM WalkPrefix(HTREEITEM hStart, const CString& target, BOOL* pExact);
    HTREEITEM WalkNetwork(HTREEITEM hStart, const CString& target);
    void EnsureChildren(HTREEITEM hItem);
    void DeleteChildren(HTREEITEM hItem);
    void ExpandItem(HTREEITEM hItem);
    // Reads a folder item's children again (the deepest shown ancestor of a path not found);
    // FALSE for other kinds, which are left alone.
    BOOL RefreshAncestor(HTREEITEM hAncestor);
    // The status bar says that the path is not in the tree.
    void TellNotFound(const CString& path);
    void FillFolderItems(HTREEITEM hItem);
    void AddArchiveItems(HTREEITEM hItem);
    CString ArchivePatterns() const;
    int HasSubFolders(HTREEITEM hItem);
    void UpdateChildrenButton(HTREEITEM hItem, BOOL bForced);
    // The idle walk's recheck (not forced) of a folder without shell data, answered off this thread.
    void ProbeChildrenButton(HTREEITEM hItem);
    void TakeProbeAnswers();
    void SetChildCount(HTREEITEM hItem, int nCount);
    int GetChildCount(HTREEITEM hItem) const;
    void ShowArchivesInArchive(HTREEITEM hItem);
    void OnSelectItem(HTREEITEM hItem);
    void AddVisited(const CString& path);
    void SelectSilently(HTREEITEM hItem);
    void RecordSubtree(HTREEITEM hItem, std::vector<SubList>& out);
    void RestoreSubtree(HTREEITEM hItem, const std::vector<SubList>& recorded);
    void StartWalk(HTREEITEM hRoot);
    void SelectNeighbourFolder(BOOL bNext);
    void StartDrag(HTREEITEM hItem, CPoint point);
    // The item drawn as the drop target (the selected item's look when no drag is on).
    void HighlightDropItem(HTREEITEM hItem);
    void ClearDropHighlight();
    HTREEITEM TargetOrSelected() const;
    void ShowShellMenu(HTREEITEM hItem, CPoint screen);
    // Sends the command to the window with "C:\" as the current directory meanwhile.
    void SendFromRoot(CWnd* pWnd, UINT nID);
    // After a rename or a deletion: the document leaves a location that is gone.
    void FollowMovedLocation(const CString& oldPath, const CString& newPath);

    LONGLONG m_pressTime = 0;
    BOOL m_bHiddenFolder = FALSE;
    int m_nRootMode = RootUnchosen;
    CString m_strEditName;
    COleDropTarget m_dropTarget;
    HTREEITEM m_hTarget = nullptr;
    HTREEITEM m_hDragged = nullptr;
    HTREEITEM m_hSelected = nullptr;
    CString m_strCurrentPath;
    CString m_strMissingPath;
    BOOL m_bTracking = FALSE;
    VyxDropTarget m_drop;
    int m_nRedrawSuspensions = 0;
    std::unique_ptr<SubFolderProbe> m_probe; // made on first use, ended with the window
    HTREEITEM m_landmarkRoot = nullptr;
    HTREEITEM m_landmarkDocuments = nullptr;
    HTREEITEM m_landmarkDrives = nullptr;
    HTREEITEM m_landmarkNetwork = nullptr;
    int m_nButtonState = 0;
    CString m_drivePaths[26];
    int m_nExpandByCode = 0;
    BOOL m_bSuppressSelection = FALSE;
    HTREEITEM m_hWalkRoot = nullptr;
    HTREEITEM m_hWalkNext = nullptr;
    HTREEITEM m_hWalkFirstTop = nullptr;
    VyxStringArray m_visited;
    int m_nHistoryPos = -1;
    BOOL m_bHistoryNavigation = FALSE;
    BOOL m_bShellMenu = FALSE;
};
