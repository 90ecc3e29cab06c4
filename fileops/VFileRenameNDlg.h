// The batch rename: every file of a list gets a new name computed from a target text (which part
// of the name is replaced) and a replacement format, shown beside its current name. The rows can
// be reordered, sorted and edited before "実行"; the caller then renames the files in the order
// shown.
#pragma once

#include "controls/CComboBoxButtonCtrl.h"
#include "controls/CResizableDialog.h"
#include "fileops/CRenameListCtrl.h"
#include "fileops/RegExpGroupFile.h"
#include "fileops/RenameRow.h"
#include "fileops/RenameTemplate.h"

#include <memory>
#include <vector>

class CKWDoc;

class VFileRenameNDlg : public CResizableDialog
{
public:
    enum { IDD = 194, TargetMenuFirst = 1024, FormatMenuFirst = 3000 };

    explicit VFileRenameNDlg(CWnd* parent = nullptr);
    ~VFileRenameNDlg() override;

    // Before the dialog runs: a row for the item, to be named as given (its own name when null).
    void AddFile(VyxFile* item, const wchar_t* name = nullptr);
    // After OK, in the order the list showed; before it, as added.
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    const RenameRow& GetRow(int index) const { return *m_rows[static_cast<size_t>(index)]; }

    // Renames every row's file, in order, through the document; a row that fails (or whose
    // computed name lost its whole title) adds "%s -> %s :failed rename" to failures and the
    // rest go on. Each success is announced as a changed item. The number renamed.
    int RenameFiles(CKWDoc& document, CStringArray& failures);

    // The named groups the format may use.
    RegExpGroupFile m_groups;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg void OnUpdateNames();
    afx_msg void OnCommon();
    afx_msg void OnMoveUp();
    afx_msg void OnMoveDown();
    afx_msg void OnPreviewClicked();
    afx_msg void OnEditGroups();
    afx_msg void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnItemMoved(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // Computes every row's new name from the controls (button "更新" and on opening).
    void UpdateNames();
    // Whether "実行" would rename some file: a row whose new name differs from its current one
    // and keeps something before its extension.
    bool AnyRowChanges() const;
    // Whether the target, the format or the first number shown differs from what the last
    // computation read.
    bool ControlsChangedSinceUpdate() const;
    void BuildFormatMenu();
    RenameRow* RowAt(int index) const;
    void InsertRow(int index, RenameRow* row);
    int SelectedIndex() const;
    void SwapRows(int first, int second);
    CRect PreviewRect() const;
    void InvalidatePreview();

    CButton m_preview;
    CComboBoxButtonCtrl m_format;
    CComboBoxButtonCtrl m_target;
    CRenameListCtrl m_list;
    CSpinButtonCtrl m_spin;
    // As the last computation read them.
    long long m_firstNumber = 1;
    CString m_formatText;
    CString m_targetText;
    std::vector<std::unique_ptr<RenameRow>> m_rows;
    int m_sortColumn = 65535;
    int m_sortStep = 65535;
    int m_previewFlag = 1;
    // Moves select and deselect rows on their way: the preview waits for the end.
    bool m_previewSuspended = false;
    RenameTemplate m_template;
};
