#include "fileops/CRenameListCtrl.h"

#include "foundation/VyxFieldParser.h"
#include "foundation/VyxIni.h"

namespace {

const wchar_t kSection[] = L"Filer";

} // namespace

BEGIN_MESSAGE_MAP(CRenameListCtrl, CVyxListCtrlEx)
ON_NOTIFY_REFLECT_EX(LVN_BEGINLABELEDITW, OnBeginLabelEdit)
END_MESSAGE_MAP()

void CRenameListCtrl::InsertStoredColumns(const wchar_t* key, const wchar_t* first, const wchar_t* second, int fallback)
{
    CString widths;
    GetAppIniString(widths, kSection, key, L"150,150");
    const wchar_t* titles[] = {first, second};
    for (int column = 0; column < 2; ++column) {
        int width = 150;
        GetFieldInt(&width, widths, column, L',');
        InsertColumn(column, titles[column], LVCFMT_LEFT, width < 1 ? fallback : width);
    }
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
}

void CRenameListCtrl::StoreColumnWidths(const wchar_t* key) const
{
    CString widths;
    widths.Format(L"%d,%d,", GetColumnWidth(0), GetColumnWidth(1));
    WriteAppIniString(kSection, key, widths);
}

BOOL CRenameListCtrl::OnBeginLabelEdit(NMHDR*, LRESULT* pResult)
{
    CEdit* edit = GetEditControl();
    m_labelEdit = edit ? edit->GetSafeHwnd() : nullptr;
    *pResult = FALSE;
    // The parent hears of it too.
    return FALSE;
}

CString CRenameListCtrl::GetEndedLabelText(const NMLVDISPINFOW* info) const
{
    if (info->item.pszText)
        return info->item.pszText;
    // Ended with Esc: the box is still there while the notification is sent.
    CString text;
    if (m_labelEdit && ::IsWindow(m_labelEdit))
        CWnd::FromHandle(m_labelEdit)->GetWindowText(text);
    else
        text = GetItemText(info->item.iItem, 0);
    return text;
}
