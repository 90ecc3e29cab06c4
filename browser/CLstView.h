// The file list view, the document's second view: one row per item with up to ten information
// columns. A click on a header sorts the rows; the sort is kept as a history of keys, replayed
// after every reload, and the row order becomes the document's view order, which the thumbnail
// view follows. Selection and cursor are kept in step with the document both ways.
// The control holds no row of its own: row n is the document's item n, asked for when drawn, so
// that a folder of any size is listed, left and closed at once.
#pragma once

#include "browser/LstSortKeys.h"
#include "browser/TextWidthCache.h"
#include "browser/VAppCall.h"
#include "browser/VyxDropTarget.h"

#include <memory>
#include <vector>

class CKWDoc;
class CMainFrame;
class VyxFile;

class CLstView : public CListView
{
    DECLARE_DYNCREATE(CLstView)
public:
    CLstView();
    ~CLstView() override;

    CKWDoc* GetDocument() const;

    // ---- sorting
    // Sorts the rows by a key: request 0 the scan order, above 0 that direction, below 0 (a
    // header click) the next direction; the order goes to the document with hint 0.
    void SortBy(int key, int request);
    // The current key and direction again.
    void Resort();
    int GetSortKey() const { return m_sortKey; }
    int GetSortDirection() const { return m_sortDirection; }
    const std::vector<DWORD>& GetSortHistory() const { return m_history; }
    // Names compared with their numbers by value ("LstView"/"NameNumberSort").
    bool IsNameNumberSort() const { return m_nameNumberSort; }
    void SetNameNumberSort(bool on) { m_nameNumberSort = on; }

    // ---- columns
    int GetShownColumnCount() const { return m_shownColumns; }
    // The key of a column of the control, -1 for none.
    int GetColumnKey(int column) const;
    // The column of a key, -1 when it is not shown.
    int GetKeyColumn(int key) const;
    // The column chooser's action: shows a hidden key's column at the end, or removes it.
    void ToggleColumn(int key);
    int GetNameWidth() const { return m_nameWidth; }

    // The item of a row, null for none.
    VyxFile* GetRowItem(int row) const;
    int GetRowArrayIndex(int row) const;

    // The drag of the selected items from this view; the drop effect the target chose.
    DROPEFFECT StartDrag(UINT nFlags, CPoint point);

    // Drops go into the folder row under the pointer, else into the document's folder.
    DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    void OnDragLeave() override;
    DROPEFFECT OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                        CPoint point) override;
    CString DropFolderAt(CPoint clientPoint) const;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFOW* pTI) const override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnDoubleClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnReturn(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnRangeChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnFindItem(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnViewPicture();
    afx_msg void OnResort();
    afx_msg void OnOpenByAssociation();
    afx_msg void OnRefresh();
    afx_msg void OnListStyle(UINT nID);
    afx_msg void OnUpdateListStyle(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    CMainFrame* GetMainFrame() const;
    void ReadSettings();
    void WriteSettings();
    void BuildColumns();
    // Wide enough for the widest header of the key's column.
    int HeaderWidth(int key) const;
    void ResetHeaders();
    void ShowSortHeader();
    void Fill();
    void AttachShellImageLists();
    // Sorts the rows (no announcement): the key, direction and history as a request gives them.
    void ApplySort(int key, int request);
    // The rows' new order (old row of each new row) given to the document; selection, cursor
    // and icons follow their items.
    void PushOrder(const std::vector<int>& order);
    // The selected state of the rows from first to last taken by the document.
    void TakeSelection(int first, int last);
    void MeasureName(const VyxFile* item);
    void ApplyNameWidth();
    void RefreshRow(int row);
    void SetRowState(int row, UINT state, UINT mask);
    void ScrollRowToTop(int row);
    // The next row from start (wrapping when asked) whose first column is the text, or begins
    // with it when partial.
    int FindRow(const CString& text, int start, bool wrap, bool partial) const;
    void ApplyColours();
    void ShowColumnChooser(CPoint screenPoint);
    void ShowRowMenu(CPoint screenPoint);
    int FocusedRow() const;

    // Column state: per key whether it is shown, and the two maps.
    bool m_enabled[LstSortKeys::KeyCount] = {};
    int m_shownColumns = 0;
    int m_columnKeys[LstSortKeys::KeyCount] = {};
    int m_keyColumns[LstSortKeys::KeyCount] = {};

    int m_sortKey = 0;
    int m_sortDirection = 0;
    std::vector<DWORD> m_history;

    bool m_nameNumberSort = false;
    bool m_autoColumnSize = true;
    int m_nameMaxSize = 30;
    int m_autoColumnSizeMin = 100;
    int m_nameWidth = 100;
    CString m_infoTemplate;

    // Set while the view changes row states itself: their notifications are not the user's.
    int m_echo = 0;
    // Per row, the system icon index of its item, -1 until asked.
    std::vector<int> m_icons;
    std::unique_ptr<CClientDC> m_measureDC;
    // Names measured in the list's font, a few hundred characters asked of the system in all.
    TextWidthCache m_nameWidths;
    CString m_tipText;
    VAppCall m_appCall;
    COleDropTarget m_dropTarget;
    VyxDropTarget m_drop;
};
