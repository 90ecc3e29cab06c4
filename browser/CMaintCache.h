// Cache maintenance: the locations of the cache index under the cache folder as a tree with check
// boxes, the records of the selected location's cache file with a preview of each stored
// thumbnail, and two operations on the checked locations: optimise (drop the records of files
// that are gone, and the whole cache of a location that is gone) and delete (drop the cache).
// Caches kept inside the folders themselves are not touched.
#pragma once

#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxCacheIndex.h"
#include "controls/CResizableDialog.h"

#include <memory>
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
    const VyxCacheIndex& GetIndex() const { return m_index; }

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
    Row* GetRow(int row);
    // The walk of both operations over one item's children: true when it removed an item.
    bool Walk(HTREEITEM parent, bool deleting);
    bool OptimiseLocation(const CString& folder, const CString& member);
    // Takes an item without children out of the tree (false when it has children).
    bool RemoveLeaf(HTREEITEM item);
    void SortBelow(HTREEITEM item);

    VyxCacheIndex m_index;
    VyxCacheFolder m_folder;
    CTreeCtrl m_tree;
    CListCtrl m_list;
    CImageList m_treeImages;
    CImageList m_listImages;
    HTREEITEM m_localRoot = nullptr;
    HTREEITEM m_unknownRoot = nullptr;
    HTREEITEM m_selected = nullptr;
    std::vector<std::unique_ptr<Row>> m_rows;
};
