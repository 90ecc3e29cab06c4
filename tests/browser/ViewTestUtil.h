// Helpers of the thumbnail and list view tests: small JPEG pictures, the frame's two views, and the
// grid painted with its idle work done.
#pragma once

#include "common/FrameTestUtil.h"
#include "browser/CLstView.h"
#include "catalogue/VyxFile.h"
#include "image/DibCore.h"
#include "image/codecs/SaveDib.h"

// The program's own JPEG reader, built beside the program rather than among the test plug-ins.
inline HostedPlugins OwnJpegPlugin()
{
    return HostedPlugins({{L"..\\..\\bin\\vyx_jpeg", L"vyx_jpeg"}});
}

// A JPEG picture of one colour.
inline CString PutJpeg(const FrameworkScratchFolder& folder, LPCWSTR name, int width, int height, COLORREF colour)
{
    HGLOBAL dib = CreateDib(width, height, 24);
    BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
    BYTE* bits = DibBits(block);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = bits + y * DibRowSize(block) + x * 3;
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    GlobalUnlock(dib);
    CString path = folder / name;
    SaveDibAsJpeg(path, dib, 90, 0, 0);
    GlobalFree(dib);
    return path;
}

// The program's scratch folder without the files FrameProgram puts there.
inline void EmptyProgramFolder(FrameProgram& p)
{
    DeleteFileW(p.m_folder / L"a.jpg");
    DeleteFileW(p.m_folder / L"b.jpg");
    RemoveDirectoryW(p.m_folder / L"sub");
}

inline CKWView* ThumbView(FrameProgram& p)
{
    return p.Frame() ? DYNAMIC_DOWNCAST(CKWView, p.Frame()->GetThumbPane()) : nullptr;
}

inline CLstView* ListView(FrameProgram& p)
{
    return p.Frame() ? DYNAMIC_DOWNCAST(CLstView, p.Frame()->GetListPane()) : nullptr;
}

// The screen point at the middle of the picture of the grid's cell at the view index.
inline CPoint CellPictureOnScreen(CKWView& grid, CKWDoc& doc, int index)
{
    CPoint cell = grid.GetLayout().GetCellOrigin(index) - grid.GetScrollOffset() +
                  doc.GetItem(index)->GetCellRect().CenterPoint();
    grid.ClientToScreen(&cell);
    return cell;
}

// The grid painted as the window shows it, then the idle steps until no work is left.
inline int PaintAndIdle(FrameProgram& p)
{
    CKWView* view = ThumbView(p);
    view->Invalidate(FALSE);
    view->UpdateWindow();
    return p.RunIdle();
}

// The view index range of the cells the grid shows now.
inline std::pair<int, int> ShownItems(CKWView& view, int count)
{
    const ThumbGridLayout& layout = view.GetLayout();
    const int height = layout.GetCell().cy;
    const int endRow = (view.GetPosition() + layout.GetClient().cy + height - 1) / height;
    return {layout.GetFirstIndexAt(view.GetPosition()), std::min(count, endRow * layout.GetColumns())};
}
