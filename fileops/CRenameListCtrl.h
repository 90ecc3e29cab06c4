// The list of the batch rename and the group editor: rows reordered by dragging, two columns
// whose widths are kept in the settings, and labels edited in place whose text is still read when
// the edit ends with Esc.
#pragma once

#include "controls/CVyxListCtrlEx.h"

class CRenameListCtrl : public CVyxListCtrlEx
{
public:
    // Two columns, their widths read from "Filer"/key ("%d," fields, "150,150" when none; a width
    // below 1 gives fallback); full-row selection and grid lines.
    void InsertStoredColumns(const wchar_t* key, const wchar_t* first, const wchar_t* second, int fallback);
    void StoreColumnWidths(const wchar_t* key) const;
    // The text an in-place edit ended with: the notification's, else what the box held.
    CString GetEndedLabelText(const NMLVDISPINFOW* info) const;

protected:
    afx_msg BOOL OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    HWND m_labelEdit = nullptr;
};
