// The registered external applications: the dialog that edits them and the list the frame and
// the views load from the settings file ("AppCall") to build their menus and start a program on
// the selected files, once with all of them or once per file on a worker thread.
#pragma once

#include "controls/CMenuButtonCtrl.h"

struct AppRunJob;
class VyxFile;

class VAppCall : public CDialog
{
public:
    enum { IDD = 182, MaxEntries = 20, FirstCommand = 20000 };

    explicit VAppCall(CWnd* pParent = nullptr);
    ~VAppCall() override;

    // Reads entries 0, 1, ... until a title reads empty.
    void Load();
    // Writes the entries that have a title, numbered without gaps, and removes the keys of every
    // entry number up to the larger of the loaded and the present count.
    void Save();
    int GetCount() const { return static_cast<int>(m_titles.GetCount()); }
    // Appends an entry (the dialog's add does this with the fields' contents); false at the limit.
    bool AddEntry(LPCWSTR lpszTitle, LPCWSTR lpszCommand, LPCWSTR lpszArguments, LPCWSTR lpszFolder, BOOL bDup,
                  BOOL bWait);
    void RemoveEntry(int nIndex);
    // Moves an entry in all six arrays.
    void MoveEntry(int nFrom, int nTo);

    // The job of entry nIndex for the items (the selection in view order); null when nIndex is not
    // an entry. *pFolder receives the folder a single process starts in.
    AppRunJob* MakeJob(int nIndex, LPCWSTR lpszDisplayFolder, const VyxFile* const* items, int nCount,
                       CString* pFolder) const;
    // Starts entry nIndex on the items as the launcher does: on a worker thread with "Dup", else
    // one process, telling the user when it cannot start (owner of the message: pOwner).
    void Launch(int nIndex, LPCWSTR lpszDisplayFolder, const VyxFile* const* items, int nCount, CWnd* pOwner);

    static CString QuoteIfSpaced(const CString& text);
    // The views' submenu "アプリケーションで開く(&G)" of the entries' titles (commands from
    // FirstCommand, each with the applications' check image) and a separator, at that position of
    // the popup; nothing without entries. The entries are read first.
    void InsertApplicationsMenu(CMenu& popup, UINT position);
    // The state of an entry's command: unchecked while at most one item is selected, otherwise
    // checked when the entry starts once per file ("Dup"). Never disabled.
    void UpdateCommandUI(CCmdUI* pCmdUI, int nSelected) const;

    CStringArray m_titles;
    CStringArray m_commands;
    CStringArray m_arguments;
    CStringArray m_folders;
    CDWordArray m_dup;
    CDWordArray m_wait;
    int m_nLoaded = 0;
    int m_nCurrent = -1;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    afx_msg void OnSelChangeList();
    afx_msg void OnAdd();
    afx_msg void OnDelete();
    afx_msg void OnMoveTop();
    afx_msg void OnMoveUp();
    afx_msg void OnMoveDown();
    afx_msg void OnMoveBottom();
    afx_msg void OnBrowseCommand();
    afx_msg void OnArgumentMacro(UINT nID);
    afx_msg void OnFolderOfPicture();
    afx_msg void OnBrowseFolder();
    DECLARE_MESSAGE_MAP()

private:
    void ShowEntry(int nIndex);
    void StoreEntry(int nIndex);
    void RefreshListLine(int nIndex);
    void MoveSelected(int nTo);
    CString FieldText(int nID) const;

    CListBox m_list;
    CMenuButtonCtrl m_argumentButton;
    CMenuButtonCtrl m_folderButton;
    CMenu m_argumentMenu;
    CMenu m_folderMenu;
};
