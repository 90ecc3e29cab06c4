// A tree view of folders: items of the shell namespace (with the rules for which children show),
// reading a folder's children when its item opens, an item's path, and the order of children.
// The folder pane derives from it and adds items of its own.
#pragma once

#include "browser/CShellPidl.h"
#include "browser/FolderTreeItem.h"

#include <unordered_map>

class CFolderTreeView : public CTreeView, public CShellPidl
{
    DECLARE_DYNCREATE(CFolderTreeView)
public:
    CFolderTreeView();
    ~CFolderTreeView() override;

    // Enumeration flags of the shell: folders, and hidden items too.
    enum { EnumFolders = SHCONTF_FOLDERS, EnumFoldersAndHidden = SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN };
    enum SortKind { SortByName = 0, SortByDate = 1 };

    BOOL InsertShellItem(HTREEITEM& hPrev, HTREEITEM hParent, LPSHELLFOLDER lpsf, LPCITEMIDLIST lpi,
                         LPCITEMIDLIST lpifqParent, ULONG ulAttrs);
    void FillFromShellFolder(LPSHELLFOLDER lpsf, LPCITEMIDLIST lpifq, HTREEITEM hParent);
    BOOL PopulateShellItem(HTREEITEM hItem);
    CString GetItemPath(HTREEITEM hItem) const;
    ULONG GetItemAttributes(HTREEITEM hItem, ULONG ulDefault) const;
    CString GetItemDisplayName(HTREEITEM hItem, DWORD dwFlags) const;
    void GetNormalAndSelectedIcons(LPCITEMIDLIST lpifq, LPTVITEMW lptvitem) const;
    int ShellHasSubFolders(HTREEITEM hItem) const;
    void ShowSpecialFolder(int nFolder);
    void ShowDesktopRoot();
    // TVI_ROOT for the whole tree.
    void SortChildren(HTREEITEM hItem, BOOL bRecursive);
    BOOL UpdateRenamedItem(HTREEITEM hItem, LPCWSTR lpszNewName);

    FolderTreeItem* GetRecord(HTREEITEM hItem) const;
    // The order of two records as the children are sorted (kind and direction of this tree).
    int CompareRecords(const FolderTreeItem* a, const FolderTreeItem* b) const;

    int m_nSortKind = SortByName;
    int m_nSortDirection = 0;
    DWORD m_dwEnumFlags = EnumFoldersAndHidden;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    afx_msg void OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    // An item's path and write time as the comparison needs them: asking the shell and the disk
    // at every comparison made a sort of 1,000 folders take seconds, so during a sort each is
    // taken once per item.
    struct SortKey
    {
        CString path;
        long long writeTime = 0;
        bool hasPath = false;
        bool hasTime = false;
    };
    const CString& SortPathOf(const FolderTreeItem* record) const;
    long long SortTimeOf(const FolderTreeItem* record) const;
    CString PathAmongSiblings(const FolderTreeItem* record) const;
    static bool IsFileSystemItem(const ShellItemData& shell);

    // The record inserted with an item; freed by the deletion notification.
    static void ReleaseRecord(FolderTreeItem* record);
    static int CALLBACK CompareProc(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);
    static CFolderTreeView* s_pSortTree;

private:
    mutable std::unordered_map<const FolderTreeItem*, SortKey> m_sortKeys;
    // The path of each parent folder met during a sort (empty: its children take whole paths).
    mutable std::unordered_map<LPSHELLFOLDER, CString> m_sortFolderPaths;
    bool m_bSorting = false;
};
