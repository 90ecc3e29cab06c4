// Cache maintenance: the locations of the cache index under the cache folder as a tree with check
// boxes, the records of the selected location's cache file with a preview of each stored
// thumbnail, and two operations on the checked locations: optimise (drop the records of files
// that are gone, and the whole cache of a location that is gone) and delete (drop the cache).
// Only the central cache files the index names are touched, never those kept inside the folders
// themselves; the index is read once when the tree is built (every lookup in an ini file reads
// it through, and an index may hold tens of thousands of locations).
#pragma once

#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxCacheIndex.h"
#include "controls/CResizableDialog.h"

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

class VyxCacheThumbs;

class CMaintCache : public CResizableDialog
{
public:
    enum { IDD = 238, ColumnCount = 8 };
    // The image of a list row.
    enum { StateUnknown = -1, StateExists = 0, StateMissing = 1, StateNoFolder = 2 };

    explicit CMaintCache(const wchar_t* cacheFolder);
    ~CMaintCache() override;

    CTreeCtrl& GetTree() { return m_tree; }
    CListCtrl& GetList() { return m_list; }
    HTREEITEM GetLocalRoot() const { return m_localRoot; }
    HTREEITEM GetUnknownRoot() const { return m_unknownRoot; }
    HTREEITEM GetSelectedItem() const { return m_selected; }

    void BuildTree();
    // The location of a tree item: its folder, and the archive member when it stands for one.
    CString GetItemPath(HTREEITEM item, CString& member) const;
    // What a click on an item's check box does: without Ctrl every descendant takes the item's
    // new state.
    void OnCheckClicked(HTREEITEM item, bool ctrl);
    // The operations on the checked locations; each true when a tree item went.
    bool Optimise();
    bool Delete();
    // The cell texts of a list row (column as the list shows it).
    CString GetRowText(int row, int column);
    int GetRowState(int row);
    // Paints the row's stored thumbnail into the preview frame; -1 only clears the frame.
    void ShowPreview(int row);
    CRect GetPreviewRect() const;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnDestroy();
    afx_msg void OnTreeSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnTreeClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnListClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnListGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnOptimise();
    afx_msg void OnDelete();
    DECLARE_MESSAGE_MAP()

private:
    struct Row
    {
        const VyxCacheThumbs* record;
        int state = StateUnknown;
        CString name;
        CString extension;
        CString path;
        CString plugin;
    };

    void SetUpColumns();
    void SaveColumns();
    void EmptyList();
    void FillList(HTREEITEM item);
    void ShowPath(const CString& path);
    // The path being worked on, shown a few times a second (each showing repaints).
    void ShowWorkingPath(const CString& path);
    Row* GetRow(int row);
    // The walk of both operations over one item's children: true when it removed an item.
    bool Walk(HTREEITEM parent, bool deleting);
    // Both walks, then the index rewritten once without the caches that went.
    bool RunWalks(bool deleting);
    // The central cache file the index names for a tree item's location; false when it names none
    // (or, when it must exist, none that exists).
    bool FindCacheFile(HTREEITEM item, CString& file, bool mustExist = true) const;
    void DeleteCache(HTREEITEM item);
    bool OptimiseLocation(HTREEITEM item, const CString& folder, const CString& member, const CString& file);
    // Takes an item without children out of the tree (false when it has children).
    bool RemoveLeaf(HTREEITEM item);
    void SortBelow(HTREEITEM item);

    VyxCacheIndex m_index;
    VyxCacheFolder m_folder;
    // The cache file being optimised (one object for all: a cache folder reads its settings when
    // it is made).
    VyxCacheFolder m_work;
    CTreeCtrl m_tree;
    CListCtrl m_list;
    CImageList m_treeImages;
    CImageList m_listImages;
    HTREEITEM m_localRoot = nullptr;
    HTREEITEM m_unknownRoot = nullptr;
    HTREEITEM m_selected = nullptr;
    std::vector<std::unique_ptr<Row>> m_rows;
    // The index's entries by key (upper case: keys are compared without regard to case), and for
    // each tree item that stands for a location, its keys, folder and archive member.
    struct Location
    {
        std::vector<CString> keys;
        CString folder;
        CString member;
    };
    std::unordered_map<std::wstring, CString> m_entries;
    std::map<HTREEITEM, Location> m_locations;
    // The keys of the caches deleted by the operation under way, taken from the index at its end.
    std::vector<CString> m_removedKeys;
    DWORD m_pathShownAt = 0;
};
