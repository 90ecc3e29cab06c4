// A static control drawn as a dot-matrix panel: a grid of 11 x 15 cells, each a picture taken
// from a cell bitmap (bar states) or a character bitmap (codes 32 to 127), kept on an off-screen
// surface and copied to the control when it paints.
#pragma once

#include "framework/Framework.h"
#include "image/DibSection.h"

#include <vector>

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
    // Changed cells reach the screen at most this often (0: at once); PaintChanged shows the rest.
    void SetPaintInterval(DWORD milliseconds) { m_paintInterval = milliseconds; }
    void PaintChanged();
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
    // picture: what the cell shows from now on (a bar state, or kCharacterPictures + the index).
    void CopyCell(CellSource& from, UINT id, int sourceColumn, int sourceRow, int column, int row, int picture);
    // Asks the window to paint the cells changed since the last time, in one rectangle, unless
    // it painted within the interval.
    void InvalidateChanged();
    static constexpr int kCharacterPictures = 1000;
    static constexpr int kNothingShown = -1000;

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
    std::vector<int> m_shown;
    CRect m_changed;
    DWORD m_paintInterval = 0;
    DWORD m_lastPaint = 0;
};
