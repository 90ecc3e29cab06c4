// A static control drawn as a dot-matrix panel: a grid of 11 x 15 cells, each a picture taken
// from a cell bitmap (bar states) or a character bitmap (codes 32 to 127), kept on an off-screen
// surface and copied to the control when it paints.
#pragma once

#include "framework/Framework.h"
#include "image/DibSection.h"

class CMatrixStatic : public CStatic
{
public:
    enum { AlignLeft = 1, AlignRight = 2, AlignCentre = 3 };

    CMatrixStatic();
    ~CMatrixStatic() override;

    // The cell bitmap's resource (302 unless changed); set before SetGrid.
    void SetCellBitmap(UINT id) { m_cellBitmapId = id; }
    // -1 for as many as fit the window; sizes already set stay. Resizes the control to the grid,
    // fills the surface with the background and draws state 0 into every cell.
    void SetGrid(int columns, int rows);
    // State s >= 0: column s of the cell bitmap's first row; -s: column s of its second row.
    void SetCell(int column, int row, int state);
    // Alignment 1 starts at column 0, 2 ends at the last column, 3 centres, any other value
    // starts at the given column. Characters outside 32..127 show as blanks.
    void DrawText(int column, int row, LPCWSTR text, int alignment);
    int GetColumns() const { return m_columns; }
    int GetRows() const { return m_rows; }
    // The surface, for drawing the panel elsewhere (and for reading it back).
    CDibSection& GetSurface() { return m_surface; }

    static const int kCellWidth = 11;
    static const int kCellHeight = 15;
    // Fill steps of one bar cell.
    static const int kFillSteps = 5;

protected:
    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    // One of the bitmaps, loaded on first use with black mapped to the background, in a device
    // context of its own so that cells are copied straight from it.
    struct CellSource
    {
        HBITMAP bitmap = nullptr;
        HDC dc = nullptr;
        HGDIOBJ previous = nullptr;
        void Release();
    };
    void CopyCell(CellSource& from, UINT id, int sourceColumn, int sourceRow, int column, int row);

    UINT m_cellBitmapId = 302;
    UINT m_charBitmapId = 304;
    COLORREF m_off;
    COLORREF m_on;
    COLORREF m_back;
    int m_rows = 0;
    int m_columns = 0;
    CDibSection m_surface;
    CellSource m_cells;
    CellSource m_chars;
};
