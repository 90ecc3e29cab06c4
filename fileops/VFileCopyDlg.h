// The copy dialog (and the base of VFileMoveDlg, its twin for moves): the destination folder with its
// history, the quick-access folders on a menu button and a folder browser, and an option tree with
// the two choices a job takes: which files to transfer and how to treat files of the same name.
#pragma once

#include "controls/CMenuButtonCtrl.h"
#include "controls/CResizableDialog.h"
#include "controls/CTreeOptionsCtrl.h"

class VFileCopyDlg : public CResizableDialog
{
public:
    explicit VFileCopyDlg(CWnd* parent = nullptr);

    // 1 for "既存ファイル", else 0.
    int GetExistingOnly() const { return m_targetFiles == 1 ? 1 : 0; }
    // The engine's same-name code for the choice.
    int GetSameNameMode() const { return SameNameModeOf(m_sameName); }
    static int SameNameModeOf(int choice);

    // Moves the text to the top of the combo box's list (an entry that differs only in case goes)
    // and makes it the combo's text.
    static void PutFirst(CComboBox& combo, const CString& text);
    // Selects the entry of that text (ignoring case), or makes the text the combo's own.
    static void SelectOrSetText(CComboBox& combo, const CString& text);
    // Saves the combo's entries as a history list, no more than the list keeps.
    static void SaveHistory(const CComboBox& combo, int kind);

    // After IDOK: a destination that is not there is offered for creation, as the job would offer
    // it. Declined (or not made): the history is as it was before the dialog, and false.
    bool MakeDestination();

    // In: the document's folder (the current directory when empty). Out: the destination, full.
    CString m_initialFolder;
    CString m_destination;
    int m_targetFiles = 0;
    int m_sameName = 0;

protected:
    VFileCopyDlg(UINT templateId, LPCWSTR browseTitle, LPCWSTR section, CWnd* parent);
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnDestroy();
    afx_msg void OnBrowse();
    afx_msg void OnQuickFolder(UINT id);
    DECLARE_MESSAGE_MAP()

private:
    void FillOptions();

    CTreeOptionsCtrl m_options;
    CMenuButtonCtrl m_menuButton;
    CComboBox m_folderCombo;
    CMenu m_quickMenu;
    CStringArray m_quickFolders;
    CStringArray m_historyBefore;
    HTREEITEM m_targetGroup = nullptr;
    HTREEITEM m_sameNameGroup = nullptr;
    CString m_browseTitle;
    CString m_section;
};
