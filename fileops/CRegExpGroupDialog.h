// The editor of the named regular-expression groups: a group chosen or named in the combo box,
// its expressions in a list (edited in place, dragged into order, deleted from a context menu,
// new ones typed into the placeholder row that always ends the list), each with the text a sample
// is left with after it.
#pragma once

#include "controls/CCJFlatComboBox.h"
#include "controls/CResizableDialog.h"
#include "fileops/CRenameListCtrl.h"
#include "fileops/RegExpGroupFile.h"

class VyxFile;

class CRegExpGroupDialog : public CResizableDialog
{
public:
    enum { IDD = 283 };

    explicit CRegExpGroupDialog(CWnd* parent = nullptr);

    // Set by the opener: the item and text the results are shown for (no item, no results) and
    // the group to show first.
    const VyxFile* m_sampleItem = nullptr;
    CString m_sampleText;
    CString m_groupName;
    RegExpGroupFile m_groups;

    static const wchar_t* GetPlaceholderText();

    // The list filled from the group's section (then the placeholder), and written back to it.
    void LoadGroup(const wchar_t* name);
    void SaveGroup(const wchar_t* name);
    // The expressions in list order, the placeholder left out.
    void GetPatterns(CStringArray& patterns) const;
    // The sample's text after each row, the sequence number taken as 1.
    void UpdateResults();
    // An ordinary row; the placeholder stays.
    void DeleteRow(int row);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnDestroy();
    afx_msg void OnSelChangeName();
    afx_msg void OnEditChangeName();
    afx_msg void OnDeleteGroup();
    afx_msg void OnRightClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnItemMoved(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    bool IsPlaceholder(int row) const;
    void AppendPlaceholder();
    // The combo box entry whose text is the name, compared exactly; -1 when none.
    int FindName(const CString& name) const;

    CRenameListCtrl m_list;
    CCJFlatComboBox m_names;
    // The group the list shows, under the name the edit field holds: the selection change
    // notification comes before the edit field takes the new entry.
    CString m_shownName;
};
