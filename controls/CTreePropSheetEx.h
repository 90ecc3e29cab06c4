// The tree property sheet made resizable: a sizing frame, the page tree and the page frame in a
// two-pane splitter, and a layout hook that keeps tree, frame, page and buttons in place within
// a minimum and maximum size. The options sheet derives from it.
#pragma once

#include "controls/CTreePropSheetBase.h"
#include "controls/CTreePropSheetSplitter.h"

namespace TreePropSheet {

class CResizableSheetHook;

class CTreePropSheetEx : public CTreePropSheetBase
{
    DECLARE_DYNCREATE(CTreePropSheetEx)
public:
    CTreePropSheetEx();
    explicit CTreePropSheetEx(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CTreePropSheetEx(LPCWSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CTreePropSheetEx() override;

    // ---- refused (FALSE) once the window exists
    BOOL SetIsResizable(BOOL bResizable);
    BOOL SetPaneMinimumSizes(int nTreeMinimum, int nFrameMinimum);
    BOOL SetPaneMinimumSize(int nMinimum);
    BOOL SetSplitterWidth(int nWidth);
    // ---- applied at once when the window exists
    void SetMinSize(const CSize& size);
    void SetMaxSize(const CSize& size);
    void SetSplitterDraggable(BOOL bDraggable);
    void SetTreeFollowsSize(BOOL bFollows);
    void SetLiveSplitterDrag(BOOL bLive);
    // 0: the default menu, then again unless on the tree or frame; 1: only that second part; 2: none.
    void SetContextMenuMode(int nMode) { m_nContextMenuMode = nMode; }

    BOOL IsResizable() const { return m_bResizable; }
    BOOL IsSplitterDraggable() const { return m_bSplitterDraggable; }
    BOOL IsTreeFollowsSize() const { return m_bTreeFollowsSize; }
    BOOL IsLiveSplitterDrag() const { return m_bLiveSplitterDrag; }
    int GetContextMenuMode() const { return m_nContextMenuMode; }
    CSize GetMinSize() const { return m_sizeMin; }
    CSize GetMaxSize() const { return m_sizeMax; }
    int GetSplitterWidth() const { return m_nSplitterWidth; }
    int GetTreeMinimumSize() const { return m_nTreeMinimum; }
    int GetFrameMinimumSize() const { return m_nFrameMinimum; }
    // -1 when the two minimums differ.
    int GetPaneMinimumSize() const { return m_nTreeMinimum == m_nFrameMinimum ? m_nTreeMinimum : -1; }

    virtual CTreePropSheetSplitter* CreateSplitter();
    virtual CTreePropSheetSplitter* GetSplitter() { return m_pSplitter; }
    virtual const CTreePropSheetSplitter* GetSplitter() const { return m_pSplitter; }
    // Owned by the sheet from here on.
    virtual CResizableSheetHook* CreateResizableHook();
    virtual CResizableSheetHook* GetResizableHook() { return m_pResizeHook; }

    BOOL SetTreeWidth(int nWidth) override;
    BOOL OnInitDialog() override;

protected:
    void CommonConstruct();
    void ApplyMinSize();
    void ApplyMaxSize();

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);

    BOOL m_bResizable = TRUE;
    BOOL m_bSplitterDraggable = TRUE;
    BOOL m_bTreeFollowsSize = FALSE;
    BOOL m_bLiveSplitterDrag = TRUE;
    CResizableSheetHook* m_pResizeHook = nullptr;
    CTreePropSheetSplitter* m_pSplitter = nullptr;
    int m_nContextMenuMode = 1;
    CSize m_sizeMin{-1, -1};
    CSize m_sizeMax{-1, -1};
    int m_nSplitterWidth = 5;
    int m_nTreeMinimum = 148;
    int m_nFrameMinimum = 148;

    DECLARE_MESSAGE_MAP()
};

} // namespace TreePropSheet
