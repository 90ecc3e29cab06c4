// Completion for an edit or combo box it is attached to by subclassing: while the user types, a
// list window shows the matching entries of a word list (filled by the owner, or read from the
// folder a typed path names) and the arrow and page keys put them into the control.
#pragma once

#include "controls/CACListWnd.h"

class CACEdit : public CWnd
{
public:
    // Mode flags.
    enum {
        ModeWholeText = 0x1,
        ModeWord = 0x2,
        ModePath = 0x4,
        ModeFolderNames = 0x8,
        ModeShowAllOnArrow = 0x10,
        ModeContains = 0x20,
        ModeNoFolders = 0x10000,
        ModeNoFiles = 0x20000
    };

    CACEdit();

    void Init();
    void SetMode(DWORD dwMode);
    DWORD GetMode() const { return m_iMode; }
    void AddWord(LPCWSTR lpszWord);
    // The words of a null-ended array replace the word list, sorted.
    void SetWords(LPCWSTR const* ppszWords);
    void RemoveAllWords();
    void SetFolder(LPCWSTR lpszFolder);

    // Combo-box pass-throughs: nothing, or -1, unless the control is a combo box.
    int AddString(LPCWSTR lpszString);
    int FindString(int nStartAfter, LPCWSTR lpszString) const;
    int GetCurSel() const;
    int GetLBText(int nIndex, LPWSTR lpszText) const;
    void GetLBText(int nIndex, CString& rString) const;
    void ResetContent();
    int SelectString(int nStartAfter, LPCWSTR lpszString);
    int SetDroppedWidth(UINT nWidth);
    void ShowDropDown(BOOL bShowIt = TRUE);
    int CharFromPos(CPoint point) const;

    // Enter with the list open takes the list's chosen row and closes the list, then goes on to
    // the owner (which acts on the text) instead of stopping at the list.
    void SetEnterGoesOn(BOOL bGoesOn) { m_bEnterGoesOn = bGoesOn; }

    // 1 edit, 2 combo box, -1 before Init.
    int GetKind() const { return m_iType; }
    // Set while the control has the keyboard focus.
    BOOL HasFocus() const { return m_bFocus; }
    CACListWnd& GetList() { return m_Liste; }
    BOOL IsListVisible() const;
    // TRUE when the key was handled; bFromList: the text comes from the list's selection.
    BOOL HandleKey(UINT nChar, BOOL bFromList);
    // The drive and folder of a path ("C:\dir\" of "C:\dir\name.ext"); FALSE when its folder,
    // name or extension is longer than 255 characters.
    static BOOL SplitFolder(LPCWSTR lpszPath, CString& rFolder);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void ReadFolder(LPCWSTR lpszPath);
    int WordStart(int nIndex) const;
    int WordEnd(int nIndex) const;
    int CaretIndex() const;
    HWND EditWindow() const;
    void NotifyParent(WPARAM wParam);
    void MakeList();
    void ShowMatches(LPCWSTR lpszText);

    afx_msg void OnTextChanged();
    afx_msg void OnCloseList();
    afx_msg BOOL OnGainFocus();
    afx_msg BOOL OnLoseFocus();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg LRESULT OnAutoComplete(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CACListWnd m_Liste;
    CString m_EditText;
    CString m_SeparationStr;
    CString m_LastDirectory;
    DWORD m_iMode = ModeWholeText;
    BOOL m_CursorMode = FALSE;
    int m_iType = -1;
    BOOL m_bFocus = FALSE;
    BOOL m_bEnterGoesOn = FALSE;
};
