#include "browser/ThumbGridLayout.h"

#include <algorithm>

int ThumbGridLayout::Update(CSize client, CSize cell, int count)
{
    if (client.cx <= 0 || client.cy <= 0)
        return 0;
    int mask = 0;
    if (client != m_client) {
        m_client = client;
        mask |= ChangedClient;
    }
    m_cell = cell;
    if (!HasCells())
        return mask;
    const int w = cell.cx, h = cell.cy;
    count = std::max(count, 0);
    m_columns = std::max<int>(1, client.cx / w);
    m_rows = std::max(1, (count - 1 + m_columns) / m_columns);
    // In 64 bits: a large folder of tall cells passes the range of an int.
    const long long totalHeight = static_cast<long long>(m_rows) * h;
    const CSize total(m_columns * w, static_cast<int>(std::min<long long>(totalHeight, 0x7FFFFFFF)));
    m_scale = std::max(1.0, static_cast<double>(totalHeight) / UnitRange);
    if (total != m_total) {
        m_total = total;
        mask |= ChangedTotal;
    }
    const int visibleColumns = std::max<int>(client.cx / w, 1);
    const int visibleRows = std::max<int>(client.cy / h, 1);
    m_needs = (visibleColumns < m_columns ? NeedHorizontal : 0) | (visibleRows < m_rows ? NeedVertical : 0);
    const CSize page(w * visibleColumns, h * visibleRows);
    if (page != m_page) {
        m_page = page;
        mask |= ChangedPage;
    }
    return mask;
}

int ThumbGridLayout::GetMaxPosition() const
{
    return std::max<int>(0, m_total.cy - m_client.cy);
}

int ThumbGridLayout::ClampPosition(int position) const
{
    return std::max(0, std::min(position, GetMaxPosition()));
}

CPoint ThumbGridLayout::GetCellOrigin(int index) const
{
    if (!HasCells() || index < 0)
        return CPoint(0, 0);
    return CPoint((index % m_columns) * m_cell.cx, (index / m_columns) * m_cell.cy);
}

int ThumbGridLayout::GetFirstIndexAt(int position) const
{
    return HasCells() ? m_columns * (std::max(position, 0) / m_cell.cy) : 0;
}

int ThumbGridLayout::IndexAt(CPoint point, int count) const
{
    if (!HasCells() || point.x < 0 || point.y < 0)
        return -1;
    const int column = point.x / m_cell.cx;
    if (column >= m_columns)
        return -1;
    const long long index = static_cast<long long>(point.y / m_cell.cy) * m_columns + column;
    return index < count ? static_cast<int>(index) : -1;
}
