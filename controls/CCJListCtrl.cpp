#include "controls/CCJListCtrl.h"

#include "foundation/VyxIni.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

BEGIN_MESSAGE_MAP(CCJListCtrl, CListCtrl)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_NOTIFY_EX(HDN_ITEMCLICKA, 0, OnHeaderClick)
ON_NOTIFY_EX(HDN_ITEMCLICKW, 0, OnHeaderClick)
END_MESSAGE_MAP()

BOOL CCJListCtrl::AttachHeader()
{
    if (m_flatHeader.GetSafeHwnd())
        return TRUE;
    HWND header = ::GetDlgItem(m_hWnd, 0);
    return header && m_flatHeader.SubclassWindow(header);
}

void CCJListCtrl::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    if (!AttachHeader())
        return;
    m_flatHeader.EnableFlat(FALSE);
    SetWidthsKey(L"Settings", L"Control");
}

int CCJListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CListCtrl::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!AttachHeader())
        return -1;
    // A list made in code looks as one from a dialog template does.
    m_flatHeader.EnableFlat(FALSE);
    SetWidthsKey(L"Settings", L"Control");
    return 0;
}

void CCJListCtrl::SetWidthsKey(LPCWSTR lpszSection, LPCWSTR lpszKey)
{
    m_strSection = lpszSection;
    m_strKey = lpszKey;
    m_bSaveColumnWidths = TRUE;
}

BOOL CCJListCtrl::InsertColumns(int nCount, const UINT* pTitleIds, const int* pWidths)
{
    for (int i = 0; i < nCount; ++i) {
        CString title;
        title.LoadString(pTitleIds[i]);
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = pWidths[i];
        column.pszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(title));
        column.iSubItem = i;
        SendMessage(LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    if (m_bSaveColumnWidths)
        RestoreColumnWidths();
    return TRUE;
}

int CCJListCtrl::GetStoredColumnWidth(int nColumn)
{
    CString stored = GetAppIniString(m_strSection, m_strKey, L"");
    CString part;
    if (!AfxExtractSubString(part, stored, nColumn, L','))
        return 0;
    return _wtoi(part);
}

void CCJListCtrl::RestoreColumnWidths()
{
    const int count = m_flatHeader.GetSafeHwnd() ? m_flatHeader.GetItemCount() : 0;
    for (int i = 0; i < count; ++i)
        RestoreColumnWidth(i);
}

void CCJListCtrl::RestoreColumnWidth(int nColumn)
{
    int width = GetStoredColumnWidth(nColumn);
    if (width >= MinColumnWidth)
        SendMessage(LVM_SETCOLUMNWIDTH, nColumn, MAKELPARAM(width, 0));
    else
        FitColumn(nColumn);
}

void CCJListCtrl::FitColumn(int nColumn)
{
    SendMessage(WM_SETREDRAW, FALSE);
    SendMessage(LVM_SETCOLUMNWIDTH, nColumn, MAKELPARAM(LVSCW_AUTOSIZE, 0));
    int content = static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, nColumn));
    SendMessage(LVM_SETCOLUMNWIDTH, nColumn, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
    int header = static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, nColumn));
    // The fitted width is kept within MinColumnWidth..MinColumnWidth, as the control was designed.
    int width = std::min(std::max(std::max(content, header), MinColumnWidth), MinColumnWidth);
    SendMessage(LVM_SETCOLUMNWIDTH, nColumn, MAKELPARAM(width, 0));
    SendMessage(WM_SETREDRAW, TRUE);
}

void CCJListCtrl::SaveColumnWidths()
{
    CString widths;
    const int count = m_flatHeader.GetSafeHwnd() ? m_flatHeader.GetItemCount() : 0;
    for (int i = 0; i < count; ++i) {
        CString one;
        one.Format(L"%d,", static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, i)));
        widths += one;
    }
    WriteAppIniString(m_strSection, m_strKey, widths);
}

void CCJListCtrl::OnDestroy()
{
    if (m_bSaveColumnWidths)
        SaveColumnWidths();
    CListCtrl::OnDestroy();
}

BOOL CCJListCtrl::OnHeaderClick(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHEADERW*>(pNMHDR);
    if (header->iButton != 0)
        return FALSE;
    if (header->iItem == m_nSortColumn)
        m_bAscending = !m_bAscending;
    else
        m_bAscending = TRUE;
    m_nSortColumn = header->iItem;
    SortByText(m_nSortColumn, m_bAscending, 0, -1);
    m_flatHeader.SetSortMark(m_nSortColumn, m_bAscending);
    *pResult = 0;
    return TRUE;
}

void CCJListCtrl::AddExtendedStyle(DWORD dwNewStyle)
{
    DWORD style = static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
    SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style | dwNewStyle);
}

void CCJListCtrl::SwapRows(int nRow1, int nRow2)
{
    const int columns = m_flatHeader.GetSafeHwnd() ? m_flatHeader.GetItemCount() : 1;
    std::vector<CString> first, second;
    for (int c = 0; c < columns; ++c) {
        first.push_back(GetItemText(nRow1, c));
        second.push_back(GetItemText(nRow2, c));
    }
    LVITEMW item1 = {}, item2 = {};
    for (auto [item, row] : {std::pair<LVITEMW*, int>{&item1, nRow1}, {&item2, nRow2}}) {
        item->mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        item->iItem = row;
        item->stateMask = 0xFF0F;
        SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item));
    }
    for (int c = 0; c < columns; ++c) {
        SetItemText(nRow1, c, second[c]);
        SetItemText(nRow2, c, first[c]);
    }
    item1.iItem = nRow2;
    item2.iItem = nRow1;
    SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item1));
    SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item2));
}

BOOL CCJListCtrl::SortByText(int nColumn, BOOL bAscending, int nLow, int nHigh)
{
    const int columns = m_flatHeader.GetSafeHwnd() ? m_flatHeader.GetItemCount() : 0;
    if (nColumn >= columns)
        return FALSE;
    if (nHigh == -1)
        nHigh = GetItemCount() - 1;
    if (nLow >= nHigh)
        return FALSE;
    const CString pivot = GetItemText((nLow + nHigh) / 2, nColumn);
    // Code unit by code unit, as the control was designed: no locale.
    auto before = [](const CString& a, const CString& b) { return wcscmp(a, b) < 0; };
    int lo = nLow, hi = nHigh;
    while (lo <= hi) {
        if (bAscending) {
            while (lo < nHigh && before(GetItemText(lo, nColumn), pivot))
                ++lo;
            while (hi > nLow && before(pivot, GetItemText(hi, nColumn)))
                --hi;
        } else {
            while (lo < nHigh && before(pivot, GetItemText(lo, nColumn)))
                ++lo;
            while (hi > nLow && before(GetItemText(hi, nColumn), pivot))
                --hi;
        }
        if (lo <= hi) {
            if (GetItemText(lo, nColumn) != GetItemText(hi, nColumn))
                SwapRows(lo, hi);
            ++lo;
            --hi;
        }
    }
    if (nLow < hi)
        SortByText(nColumn, bAscending, nLow, hi);
    if (lo < nHigh)
        SortByText(nColumn, bAscending, lo, nHigh);
    return TRUE;
}
