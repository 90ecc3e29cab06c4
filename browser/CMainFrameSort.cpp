// The main frame's sort commands: the file list's sorts with their marks, and the folder tree's
// orders passed on to the folder pane.
#include "browser/CMainFrame.h"

#include "browser/CFolderView.h"
#include "browser/CLstView.h"
#include "foundation/VyxIni.h"
#include "res/resource.h"

#include <algorithm>

CLstView* CMainFrame::GetListView() const
{
    return DYNAMIC_DOWNCAST(CLstView, m_pListView);
}

void CMainFrame::OnSort(UINT nID)
{
    CLstView* list = GetListView();
    if (!list || !list->GetSafeHwnd())
        return;
    const int kind = list->GetSortKey();
    const int code = list->GetSortDirection();
    const int atLeastOne = std::max(code, 1);
    // A pixel sort keeps the current direction; the pair of a code is {2k + 1, 2k + 2}.
    const int parity = (atLeastOne - 1) % 2;
    const int pair = (atLeastOne - 1) / 2;
    switch (nID) {
    case ID_SORT_NONE:
        list->SortBy(0, 0);
        break;
    case ID_SORT_NAME:
    case ID_SORT_EXTENSION:
    case ID_SORT_SIZE:
    case ID_SORT_DATE:
        list->SortBy(static_cast<int>(nID - ID_SORT_NAME), atLeastOne);
        break;
    case ID_SORT_ARCHIVE:
        list->SortBy(5, atLeastOne);
        break;
    case ID_SORT_WIDTH:
    case ID_SORT_HEIGHT:
    case ID_SORT_COLOURS:
        list->SortBy(4, 1 + 2 * static_cast<int>(nID - ID_SORT_WIDTH) + parity);
        break;
    case ID_SORT_AREA:
        list->SortBy(4, 7 + parity);
        break;
    case ID_SORT_ASCENDING:
        list->SortBy(kind, 2 * pair + 1);
        break;
    case ID_SORT_DESCENDING:
        list->SortBy(kind, 2 * pair + 2);
        break;
    case ID_SORT_AGAIN:
        list->Resort();
        break;
    default:
        break;
    }
}

void CMainFrame::OnUpdateSort(CCmdUI* pCmdUI)
{
    CLstView* list = GetListView();
    if (!list || !list->GetSafeHwnd())
        return;
    const int kind = list->GetSortKey();
    const int code = list->GetSortDirection();
    BOOL checked = FALSE;
    switch (pCmdUI->m_nID) {
    case ID_SORT_NONE:
        checked = code <= 0;
        break;
    case ID_SORT_NAME:
    case ID_SORT_EXTENSION:
    case ID_SORT_SIZE:
    case ID_SORT_DATE:
        checked = kind == static_cast<int>(pCmdUI->m_nID - ID_SORT_NAME) && code != 0;
        break;
    case ID_SORT_ARCHIVE:
        checked = kind == 5 && code != 0;
        break;
    case ID_SORT_WIDTH:
    case ID_SORT_HEIGHT:
    case ID_SORT_COLOURS:
    case ID_SORT_AREA: {
        int first = pCmdUI->m_nID == ID_SORT_AREA ? 7 : 1 + 2 * static_cast<int>(pCmdUI->m_nID - ID_SORT_WIDTH);
        checked = kind == 4 && (code == first || code == first + 1);
        break;
    }
    case ID_SORT_ASCENDING:
        checked = code % 2 != 0;
        break;
    case ID_SORT_DESCENDING:
        checked = code % 2 == 0;
        break;
    default:
        break;
    }
    pCmdUI->SetCheck(checked);
}

void CMainFrame::OnSortNameNumbers()
{
    CLstView* list = GetListView();
    if (!list || !list->GetSafeHwnd())
        return;
    list->SetNameNumberSort(!list->IsNameNumberSort());
    WriteAppIniInt(L"LstView", L"NameNumberSort", list->IsNameNumberSort() ? 1 : 0);
    list->Resort();
}

void CMainFrame::OnUpdateSortNameNumbers(CCmdUI* pCmdUI)
{
    CLstView* list = GetListView();
    pCmdUI->SetCheck(list && list->IsNameNumberSort());
}

void CMainFrame::OnFolderSort(UINT nID)
{
    if (m_pFolderView && m_pFolderView->GetSafeHwnd())
        m_pFolderView->SendMessage(WM_COMMAND, nID);
}

void CMainFrame::OnUpdateFolderSort(CCmdUI* pCmdUI)
{
    if (!m_pFolderView || !m_pFolderView->GetSafeHwnd())
        return;
    const int kind = m_pFolderView->m_nSortKind;
    const int direction = m_pFolderView->m_nSortDirection;
    switch (pCmdUI->m_nID) {
    case ID_FOLDER_SORT_NAME:
        pCmdUI->SetCheck(kind == 0);
        break;
    case ID_FOLDER_SORT_DATE:
        pCmdUI->SetCheck(kind == 1);
        break;
    case ID_FOLDER_SORT_ASCENDING:
        pCmdUI->SetCheck(direction == 0);
        break;
    case ID_FOLDER_SORT_DESCENDING:
        pCmdUI->SetCheck(direction != 0);
        break;
    case ID_FOLDER_SORT_DICTIONARY:
        pCmdUI->SetCheck(kind == 0 && direction == 0);
        break;
    case ID_FOLDER_SORT_NEWEST:
        pCmdUI->SetCheck(kind == 1 && direction != 0);
        break;
    default:
        break;
    }
}
