// The folder pane of the main frame: a tree of one root at a time (a drive's folders or a part of
// the shell namespace) with archive files shown as folders and archives inside a browsed archive
// as items of their own. Selecting an item opens its location in the document; the pane follows
// the document's hints, finds the item of any path, remembers the last path of each drive and a
// history of visited folders, and is a drag source and a drop target for files.
#pragma once

#include "browser/CFolderTreeView.h"
#include "browser/VyxDropTarget.h"
#include "foundation/VyxStringArray.h"

#include <vector>

class CKWDoc;
class CMainFrame;

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
    CString GetDrivePath(int nDrive) const { return nDrive >= 0 && nDrive < 26 ? m_drivePaths[nDrive] : CString(); }
    // One step of the walk that refines expand buttons; TRUE while items remain.
    BOOL IdleWalkStep();

    // The order of names: kind 0 the array's own ascending order, 1 by the time of the given kind
    // (0 creation, 1 last access, 2 last write).
    static void SortNamesByTime(LPCWSTR lpszFolder, VyxStringArray& names, int nKind, int nTimeKind);

    // Settings of "FolderView".
    BOOL m_bLearnQuick = TRUE;
    int m_nArcSortKind = 0;
    int m_nArcSortDirection = 0;
    BOOL m_bEditLabel = FALSE;
    VyxStringArray m_keptExtensions;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
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
    void FindLandmarks();
    HTREEITEM InsertFolderItem(HTREEITEM hParent, LPCWSTR lpszName, int nChildren, int nKind = FolderTreeFolder);
    HTREEITEM WalkPrefix(HTREEITEM hStart, const CString& target, BOOL* pExact);
    HTREEITEM WalkNetwork(HTREEITEM hStart, const CString& target);
    void EnsureChildren(HTREEITEM hItem);
    void DeleteChildren(HTREEITEM hItem);
    void ExpandItem(HTREEITEM hItem);
    void FillFolderItems(HTREEITEM hItem);
    void AddArchiveItems(HTREEITEM hItem);
    CString ArchivePatterns() const;
    int HasSubFolders(HTREEITEM hItem);
    void UpdateChildrenButton(HTREEITEM hItem, BOOL bForced);
    void SetChildCount(HTREEITEM hItem, int nCount);
    void ShowArchivesInArchive(HTREEITEM hItem);
    void OnSelectItem(HTREEITEM hItem);
    void AddVisited(const CString& path);
    void SelectSilently(HTREEITEM hItem);
    void RecordSubtree(HTREEITEM hItem, std::vector<SubList>& out);
    void RestoreSubtree(HTREEITEM hItem, const std::vector<SubList>& recorded);
    void StartWalk(HTREEITEM hRoot);
    void SelectNeighbourFolder(BOOL bNext);
    void StartDrag(HTREEITEM hItem, CPoint point);
    void ClearDropHighlight();
    HTREEITEM TargetOrSelected() const;

    LONGLONG m_pressTime = 0;
    BOOL m_bHiddenFolder = FALSE;
    int m_nRootMode = RootUnchosen;
    CString m_strEditName;
    COleDropTarget m_dropTarget;
    HTREEITEM m_hTarget = nullptr;
    HTREEITEM m_hDragged = nullptr;
    HTREEITEM m_hSelected = nullptr;
    CString m_strCurrentPath;
    BOOL m_bTracking = FALSE;
    VyxDropTarget m_drop;
    int m_nRedrawSuspensions = 0;
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
};
