#include "fileops/CMatrixStatic.h"

#include "foundation/VyxIni.h"

#include <commctrl.h>

BEGIN_MESSAGE_MAP(CMatrixStatic, CStatic)
ON_WM_PAINT()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CMatrixStatic::CMatrixStatic()
    : m_off(static_cast<COLORREF>(GetAppIniInt(L"Filer", L"colOffCopyFile", 6766615))),
      m_on(static_cast<COLORREF>(GetAppIniInt(L"Filer", L"colOnCopyFile", 16751466))),
      m_back(static_cast<COLORREF>(GetAppIniInt(L"Filer", L"colBackCopyFile", 0)))
{
}

CMatrixStatic::~CMatrixStatic()
{
    m_cells.Release();
    m_chars.Release();
}

void CMatrixStatic::OnDestroy()
{
    WriteAppIniInt(L"Filer", L"colOnCopyFile", static_cast<int>(m_on));
    WriteAppIniInt(L"Filer", L"colOffCopyFile", static_cast<int>(m_off));
    WriteAppIniInt(L"Filer", L"colBackCopyFile", static_cast<int>(m_back));
    CStatic::OnDestroy();
}

void CMatrixStatic::SetGrid(int columns, int rows)
{
    CRect client;
    if (GetSafeHwnd())
        GetClientRect(&client);
    if (m_columns <= 0)
        m_columns = columns >= 0 ? columns : client.Width() / kCellWidth;
    if (m_rows <= 0)
        m_rows = rows >= 0 ? rows : client.Height() / kCellHeight;
    m_columns = std::max(m_columns, 1);
    m_rows = std::max(m_rows, 1);
    if (GetSafeHwnd())
        SetWindowPos(nullptr, 0, 0, m_columns * kCellWidth + 4, m_rows * kCellHeight + 4,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_surface.Recreate(nullptr, m_columns * kCellWidth, m_rows * kCellHeight, 24, 0);
    m_surface.Fill(nullptr, m_back);
    m_shown.assign(static_cast<size_t>(m_columns) * m_rows, kNothingShown);
    for (int row = 0; row < m_rows; ++row)
        for (int column = 0; column < m_columns; ++column)
            CopyCell(m_cells, m_cellBitmapId, 0, 0, column, row, 0);
    InvalidateChanged();
}

void CMatrixStatic::InvalidateChanged()
{
    if (GetTickCount() - m_lastPaint >= m_paintInterval)
        PaintChanged();
}

void CMatrixStatic::PaintChanged()
{
    if (!m_changed.IsRectEmpty() && GetSafeHwnd())
        InvalidateRect(m_changed + CPoint(2, 2), FALSE);
    m_changed.SetRectEmpty();
    m_lastPaint = GetTickCount();
}

void CMatrixStatic::CopyCell(CellSource& from, UINT id, int sourceColumn, int sourceRow, int column, int row,
                             int picture)
{
    if (!m_surface.IsCreated() || column < 0 || column >= m_columns || row < 0 || row >= m_rows)
        return;
    // A cell that already shows the picture is left alone: a panel redrawn for every block of a
    // copy changes only a few of its cells.
    int& shown = m_shown[static_cast<size_t>(row) * m_columns + column];
    if (shown == picture)
        return;
    if (!from.dc) {
        // Black is the background, whatever colour the panel's background is.
        COLORMAP map = {RGB(0, 0, 0), m_back};
        from.bitmap = ::CreateMappedBitmap(AfxGetResourceHandle(), static_cast<INT_PTR>(id), 0, &map, 1);
        if (!from.bitmap)
            return;
        from.dc = ::CreateCompatibleDC(m_surface.GetMemDC()->GetSafeHdc());
        from.previous = ::SelectObject(from.dc, from.bitmap);
    }
    ::BitBlt(m_surface.GetMemDC()->GetSafeHdc(), column * kCellWidth, row * kCellHeight, kCellWidth, kCellHeight,
             from.dc, sourceColumn * kCellWidth, sourceRow * kCellHeight, SRCCOPY);
    shown = picture;
    CRect cell(column * kCellWidth, row * kCellHeight, (column + 1) * kCellWidth, (row + 1) * kCellHeight);
    if (m_changed.IsRectEmpty())
        m_changed = cell;
    else
        m_changed.UnionRect(&m_changed, &cell);
}

void CMatrixStatic::CellSource::Release()
{
    if (dc) {
        ::SelectObject(dc, previous);
        ::DeleteDC(dc);
    }
    if (bitmap)
        ::DeleteObject(bitmap);
    dc = nullptr;
    bitmap = nullptr;
}

void CMatrixStatic::SetCell(int column, int row, int state)
{
    CopyCell(m_cells, m_cellBitmapId, state >= 0 ? state : -state, state >= 0 ? 0 : 1, column, row, state);
    InvalidateChanged();
}

void CMatrixStatic::DrawText(int column, int row, LPCWSTR text, int alignment)
{
    CString shown(text ? text : L"");
    int length = shown.GetLength();
    int start = column;
    if (alignment == AlignLeft)
        start = 0;
    else if (alignment == AlignRight)
        start = m_columns - length;
    else if (alignment == AlignCentre)
        start = (m_columns - length) / 2;
    for (int i = 0; i < length; ++i) {
        unsigned code = shown[i];
        // No picture for other characters: a blank.
        unsigned index = code >= 32 && code <= 127 ? code - 32 : 0;
        CopyCell(m_chars, m_charBitmapId, index % 32, index / 32, start + i, row,
                 kCharacterPictures + static_cast<int>(index));
    }
    InvalidateChanged();
}

void CMatrixStatic::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, m_back);
    m_surface.Draw(&dc, 2, 2);
}
