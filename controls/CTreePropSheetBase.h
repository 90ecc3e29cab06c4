// A property sheet whose row of tabs becomes, in tree view mode, a tree of pages on the left and
// a page frame on the right over which the current page lies. A page's caption is a path whose
// levels "::" separates; nodes no page names are plain parents. Selecting a node activates its
// page; a node without a page shows the frame's empty-page message. Out of tree view mode it is
// a plain property sheet whose tabs show the pages' icons.
#pragma once

#include "controls/CPropPageFrame.h"

#include "framework/Framework.h"

namespace TreePropSheet {

class CTreePropSheetBase : public CPropertySheet
{
    DECLARE_DYNAMIC(CTreePropSheetBase)
public:
    CTreePropSheetBase();
    explicit CTreePropSheetBase(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CTreePropSheetBase(LPCWSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CTreePropSheetBase() override;

    // ---- settings; those that shape the window are refused (FALSE) once it exists
    BOOL SetTreeViewMode(BOOL bTreeViewMode = TRUE, BOOL bPageCaption = FALSE, BOOL bTreeImages = FALSE);
    BOOL IsTreeViewMode() const { return m_bTreeViewMode; }
    void SetAutoExpandTree(BOOL bAutoExpand = TRUE) { m_bAutoExpandTree = bAutoExpand; }
    BOOL IsAutoExpandTree() const { return m_bAutoExpandTree; }
    void SetSkipEmptyPages(BOOL bSkipEmptyPages = TRUE) { m_bSkipEmptyPages = bSkipEmptyPages; }
    BOOL IsSkipEmptyPages() const { return m_bSkipEmptyPages; }
    // The empty-page message; "%s" stands for the selected node's text.
    void SetEmptyPageText(LPCWSTR lpszEmptyPageText) { m_strEmptyPageMessage = lpszEmptyPageText; }
    CString GetEmptyPageText() const { return m_strEmptyPageMessage; }
    // The previous DrawText flags; only while the frame exists.
    DWORD SetEmptyPageTextFormat(DWORD dwFormat);
    // Exactly two images: index 0 for nodes without a page, 1 for pages without an icon.
    BOOL SetTreeDefaultImages(UINT nBitmapID, int cx, COLORREF crMask);
    BOOL SetTreeDefaultImages(CImageList* pImages);

    // ---- icons of any page (its record takes the icon); FALSE when no icon could be had
    static BOOL SetPageIcon(CPropertyPage* pPage, HICON hIcon);
    static BOOL SetPageIcon(CPropertyPage* pPage, UINT nIconResource);
    static BOOL SetPageIcon(CPropertyPage* pPage, CImageList& images, int nImage);
    static BOOL DestroyPageIcon(CPropertyPage* pPage);

    CTreeCtrl* GetPageTreeControl() const { return m_pwndPageTree; }
    // Null unless in tree view mode.
    CPropPageFrame* GetFrameControl() const { return m_pFrame; }
    int GetTreeWidth() const;
    int GetRefillCount() const { return m_nRefillingPageTreeContent; }

    virtual BOOL SetTreeWidth(int nWidth);
    // The format with the node's text in place of "%s" (only that: the text is never a format).
    virtual CString GenerateEmptyPageMessage(LPCWSTR lpszEmptyPageMessage, LPCWSTR lpszCaption);
    virtual CTreeCtrl* CreatePageTreeObject();
    virtual CPropPageFrame* CreatePageFrame();

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The node a caption path ends at under hParent, made as needed.
    HTREEITEM CreatePageTreeItem(LPCWSTR lpszPath, HTREEITEM hParent = TVI_ROOT);
    // The name of the first level of a path and the rest after its separator.
    static void SplitPageTreePath(const CString& path, CString& name, CString& rest);
    // The node of page nPage, or null.
    HTREEITEM GetPageTreeItem(int nPage, HTREEITEM hRoot = TVI_ROOT);

protected:
    void RefillPageTree();
    BOOL SelectCurrentPageTreeItem();
    void UpdateCaption();
    void ActivateNextPage();
    void ActivatePreviousPage();
    void StepPage(BOOL bForward);
    // Node order of the tree: a node, its children, then its next sibling.
    HTREEITEM GetNextNode(HTREEITEM hItem) const;
    HTREEITEM GetPrevNode(HTREEITEM hItem) const;
    HTREEITEM GetLastDescendant(HTREEITEM hItem) const;
    HTREEITEM GetFirstPageNodeAfter(HTREEITEM hItem) const;
    BOOL HasPage(HTREEITEM hItem) const;
    BOOL IsDefaultImages() const;
    void SetTabIcons();
    void ExpandAll(HTREEITEM hItem);

    // Every page that provides a white background is told whether to paint it (visual styles on).
    void UpdatePageBackgrounds();

    afx_msg void OnDestroy();
    afx_msg LRESULT OnThemeChanged();
    afx_msg LRESULT OnAddPage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRemovePage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetCurSel(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetCurSelId(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIsDialogMessage(WPARAM wParam, LPARAM lParam);
    afx_msg void OnPageTreeSelChanging(NMHDR* pNotifyStruct, LRESULT* pResult);
    afx_msg void OnPageTreeSelChanged(NMHDR* pNotifyStruct, LRESULT* pResult);

    BOOL m_bTreeViewMode = FALSE;
    CTreeCtrl* m_pwndPageTree = nullptr;
    CPropPageFrame* m_pFrame = nullptr;
    BOOL m_bPageCaption = FALSE;
    BOOL m_bTreeImages = FALSE;
    CImageList m_Images;
    CImageList m_DefaultImages;
    CString m_strEmptyPageMessage;
    int m_nRefillingPageTreeContent = 0;
    int m_nPageTreeWidth = 150;
    int m_nSeparatorWidth = 5;
    BOOL m_bSkipEmptyPages = FALSE;
    BOOL m_bAutoExpandTree = FALSE;

    DECLARE_MESSAGE_MAP()

private:
    LRESULT RefillAfter(LRESULT result);

    HIMAGELIST m_hTabIcons = nullptr; // the icon list given to the tab control, destroyed with the sheet
};

} // namespace TreePropSheet
