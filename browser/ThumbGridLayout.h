// The geometry of the thumbnail grid: columns and rows of equal cells for a client area, the page,
// which scroll bars are needed, and the factor between pixels and scroll-bar units that lets a
// grid taller than the scroll bar's range still scroll to its last row.
#pragma once

#include "framework/Framework.h"

class ThumbGridLayout
{
public:
    enum { ChangedClient = 1, ChangedTotal = 2, ChangedPage = 4 };
    enum { NeedHorizontal = 1, NeedVertical = 2 };
    // Past this many pixels the scroll bar counts in units of several pixels.
    static constexpr double UnitRange = 30000.0;

    // Lays count cells of the given size out in the client area; the change mask, 0 for an
    // empty client area (nothing is laid out then).
    int Update(CSize client, CSize cell, int count);

    CSize GetClient() const { return m_client; }
    CSize GetCell() const { return m_cell; }
    int GetColumns() const { return m_columns; }
    int GetRows() const { return m_rows; }
    CSize GetTotal() const { return m_total; }
    CSize GetPage() const { return m_page; }
    int GetScrollNeeds() const { return m_needs; }
    bool NeedsVertical() const { return (m_needs & NeedVertical) != 0; }
    double GetScale() const { return m_scale; }
    bool HasCells() const { return m_cell.cx > 0 && m_cell.cy > 0; }

    int ToUnits(int pixels) const { return static_cast<int>(pixels / m_scale); }
    int ToPixels(int units) const { return static_cast<int>(units * m_scale); }
    // The largest vertical position in pixels (0 when everything fits).
    int GetMaxPosition() const;
    int ClampPosition(int position) const;

    // The cell of a view index, in view pixels.
    CPoint GetCellOrigin(int index) const;
    // The first index of the row holding the vertical position; 0 without cells.
    int GetFirstIndexAt(int position) const;
    // The view index whose cell holds the point of the view, -1 for none (past the columns or
    // the count).
    int IndexAt(CPoint point, int count) const;

private:
    CSize m_client{0, 0};
    CSize m_cell{0, 0};
    int m_columns = 1;
    int m_rows = 1;
    CSize m_total{640, 400};
    CSize m_page{0, 0};
    int m_needs = 0;
    double m_scale = 1.0;
};
