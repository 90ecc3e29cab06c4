#include "browser/CLstView.h"

IMPLEMENT_DYNCREATE(CLstView, CListView)

void CLstView::SortBy(int key, int request)
{
    m_sortKey = key;
    m_sortDirection = request < 0 ? 0 : request;
}
