// Plug-in settings: the live state of the image and archive plug-ins of the plug-in host, edited
// in place (which are in use, their priority, which image plug-ins an archive plug-in uses for its
// members) and kept in named plug-in sets. Closed by "閉じる"; the caller reads the set name back.
#pragma once

#include "framework/Framework.h"

#include <memory>
#include <vector>

class VyxSPI;

class VPluginDlg : public CDialog
{
public:
    enum { IDD = 151, ColumnCount = 5 };
    // The lists of the dialog.
    enum { ImageList = 0, ArchiveList = 1, ChildList = 2 };

    VPluginDlg();
    ~VPluginDlg() override;

    CString m_strSetName;

    CListCtrl& GetList(int list) { return m_lists[list]; }
    bool GetRowUse(int list, int row) const;
    // Sorts a list by a column (the child list by name only); the same column again turns the
    // direction round.
    void SortList(int list, int column);
    // The priority editor over a row's priority cell, and its end (what leaving it does).
    void EditPriority(int list, int row);
    void EndPriorityEdit();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    afx_msg void OnDestroy();
    afx_msg void OnItemChanged(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnListClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnListRightClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnListDoubleClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnColumnClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnImageUse();
    afx_msg void OnArchiveUse();
    afx_msg void OnImageSetup();
    afx_msg void OnArchiveSetup();
    afx_msg void OnImageInfo();
    afx_msg void OnArchiveInfo();
    afx_msg void OnAdd();
    afx_msg void OnRemove();
    afx_msg void OnUseAll();
    afx_msg void OnKillFocusPriority();
    afx_msg void OnSelChangeSet();
    afx_msg void OnKillFocusSet();
    afx_msg void OnDeleteSet();
    DECLARE_MESSAGE_MAP()

private:
    struct Row
    {
        CString name;
        bool use = false;
        int id = -1;
        int kind = 0;
        CString info;
        CString patterns;
        int priority = 0;
        bool useAll = false;
    };
    struct SortState
    {
        int column = 1;
        int descending = 0;
    };

    void SetUpList(int list, const wchar_t* widthKey, const wchar_t* defaultWidths, int infoMinimum);
    void FillList(int kind);
    void FillChildren(const Row* archive);
    void EmptyList(int list);
    int AddRow(int list, std::unique_ptr<Row> row);
    Row* GetRow(int list, int row) const;
    int GetFocused(int list) const;
    // The archive row the child list belongs to; null when none is focused.
    Row* FocusedArchive() const;
    void ToggleUse(int list);
    void ShowSetup(int list);
    void ShowInfo(int list);
    // The row's use flag into the plug-in's flags (archive rows: the use-all flag and order too).
    void StoreRow(const Row& row);
    void SetUseAll(Row& archive, bool useAll);
    void EnableAddRemove(bool add, bool remove);
    void RefillPluginLists();
    void SaveColumns(int list, const wchar_t* key);
    static int CALLBACK CompareRows(LPARAM left, LPARAM right, LPARAM sort);

    CListCtrl m_lists[3];
    CComboBox m_sets;
    CEdit m_priority;
    std::vector<std::unique_ptr<Row>> m_rows[3];
    SortState m_sort[3];
    bool m_filling = false;
    int m_editList = -1;
    int m_editRow = -1;
    CString m_setBeforeChange;
};
