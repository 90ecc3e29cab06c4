// The file list view. Only a plain list view stands here yet, until the file list is built; its
// sort members keep what they are given and sort nothing.
#pragma once

#include "framework/Framework.h"

class CLstView : public CListView
{
    DECLARE_DYNCREATE(CLstView)
public:
    // ---- sorting: key 0 name, 1 extension, 2 size, 3 date, 4 pixels, 5 archive name; direction
    // 0 the scan's order, else the code of that key's direction
    void SortBy(int key, int request);
    void Resort() { SortBy(m_sortKey, m_sortDirection); }
    int GetSortKey() const { return m_sortKey; }
    int GetSortDirection() const { return m_sortDirection; }
    // Names compared with their numbers by value ("LstView"/"NameNumberSort").
    bool IsNameNumberSort() const { return m_nameNumberSort; }
    void SetNameNumberSort(bool on) { m_nameNumberSort = on; }

private:
    int m_sortKey = 0;
    int m_sortDirection = 0;
    bool m_nameNumberSort = false;
};
