// A remembered list of what the user typed or chose before (folders, file names, filter
// patterns, rename formats), bound by its kind to a section and a numbered key pattern of the
// settings file and to a maximum number of entries read back.
#pragma once

#include "framework/Framework.h"

class CListCtrl;

enum FolderListKind {
    FolderListNone = -1,
    FolderListQuickAccess = 0,
    FolderListFilerFolder = 1,
    FolderListFilter = 2,
    FolderListThumbLayout = 3,
    FolderListPrintFile = 4,
    FolderListReplaceFormat = 5,
    FolderListRenameFormat = 6,
    FolderListCatalogFolder = 7,
    FolderListCatalogFileName = 8,
    FolderListHtmlFolder = 9,
    FolderListHtmlFileName = 10,
    FolderListHtmlFile = 11,
    FolderListHtmlThumbsFolder = 12,
    FolderListSizeBegin = 13,
    FolderListSizeEnd = 14,
    FolderListReportFile = 15,
    FolderListEmpty = 16,
    FolderListKindCount = 17
};

class FolderList : public CStringArray
{
public:
    FolderList() = default;
    explicit FolderList(int kind) : m_kind(kind) {}

    int GetKind() const { return m_kind; }
    // Binds the list to another kind and empties it.
    void SetKind(int kind);

    void Load() { LoadKind(m_kind, *this); }
    void Save() const { SaveKind(m_kind, *this); }
    static void LoadKind(int kind, CStringArray& list);
    static void SaveKind(int kind, const CStringArray& list);
    // 0 for a kind outside the table.
    static int GetLimit(int kind);
    static const wchar_t* GetSection(int kind);
    static const wchar_t* GetKeyPattern(int kind);

    void FillComboBox(CComboBox& combo) const;
    // The text put at the top of the combo box's list, an equal entry removed first; the edit
    // field shows it. Nothing for an empty text.
    static void MoveToTop(CComboBox& combo, const CString& text);
    // Appends; the caller empties the list first to replace it.
    void ReadComboBox(const CComboBox& combo);
    // The combo box's entries become the list, which is saved.
    void SaveComboBox(const CComboBox& combo);
    // Loads the list into the combo box; an empty value takes the first entry. The edit field
    // shows the value.
    void LoadIntoComboBox(CComboBox& combo, CString& value);
    // The edit field's text: moved to the top of the list, which is saved. False when it is empty.
    bool TakeFromComboBox(CComboBox& combo, CString& value);
    // Selects the entry that is exactly the text (case counts), else puts the text in the edit field.
    static void ShowInComboBox(CComboBox& combo, const CString& text);
    // The folder browser titled so, starting at the combo box's text; a chosen folder is shown in
    // the combo box. False when nothing was chosen.
    static bool BrowseIntoComboBox(CComboBox& combo, const wchar_t* title);
    void FillListCtrl(CListCtrl& list) const;
    void ReadListCtrl(const CListCtrl& list);

private:
    static void LoadLayouts(CStringArray& list);
    static void SaveLayouts(const CStringArray& list);

    int m_kind = FolderListNone;
};
