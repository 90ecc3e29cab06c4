#include "DibTestUtil.h"

#include "image/DibPaint.h"

#include "framework/Framework.h"

#include <gtest/gtest.h>

using namespace dibtest;

namespace {

COLORREF Marker(LONG x, LONG y)
{
    return RGB(20 + x * 30, 40 + y * 50, 200 - x * 10 - y);
}

// A memory DC drawing into a 24-bit top-down DIB section, cleared to white.
class Canvas
{
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_dc.CreateCompatibleDC(nullptr);
        m_old = SelectObject(m_dc.GetSafeHdc(), m_bitmap);
        std::memset(m_bits, 0xFF, Row() * height);
    }
    ~Canvas()
    {
        SelectObject(m_dc.GetSafeHdc(), m_old);
        m_dc.DeleteDC();
        DeleteObject(m_bitmap);
    }
    CDC* dc() { return &m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    COLORREF At(int x, int y)
    {
        GdiFlush();
        const BYTE* p = m_bits + y * Row() + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
    std::vector<BYTE> Pixels()
    {
        GdiFlush();
        return std::vector<BYTE>(m_bits, m_bits + Row() * m_height);
    }

private:
    size_t Row() const { return (static_cast<size_t>(m_width) * 3 + 3) & ~3u; }
    int m_width, m_height;
    BYTE* m_bits = nullptr;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    CDC m_dc;
};

} // namespace

TEST(DibPaint, ScreenDepthIsAskedOfTheDisplay)
{
    EXPECT_GE(GetScreenBitDepth(), 16);
}

TEST(DibPaint, PaintAtPlacesThePictureAtItsOwnSize)
{
    Dib dib(Make24(3, 2, Marker));
    Canvas canvas(16, 16);
    PaintDibAt(canvas.dc(), 5, 7, dib);
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 3; ++x)
            EXPECT_EQ(Marker(x, y), canvas.At(5 + x, 7 + y));
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(4, 7));
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(5, 9));
}

TEST(DibPaint, PaintStretchesIntoTheRectangle)
{
    Dib dib(Make24(3, 2, Marker));
    Canvas canvas(16, 16);
    PaintDib(canvas.dc(), RECT{0, 0, 6, 4}, dib);
    EXPECT_EQ(Marker(0, 0), canvas.At(1, 1));
    EXPECT_EQ(Marker(2, 1), canvas.At(5, 3));
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(6, 0));
}

TEST(DibPaint, SourceRectanglesCountRowsFromTheBottom)
{
    Dib dib(Make24(3, 2, Marker));
    Canvas canvas(8, 8);
    PaintDibRect(canvas.dc(), 0, 0, 3, 1, 0, 0, 3, 1, dib);
    for (LONG x = 0; x < 3; ++x)
        EXPECT_EQ(Marker(x, 1), canvas.At(x, 0));
}

TEST(DibPaint, BandedAndInterlacedPaintingMatchOnePass)
{
    Dib dib(Make24(10, 30, Marker));
    Canvas whole(24, 64), banded(24, 64), single(24, 64);
    PaintDibBanded(whole.dc(), 0, 2, 2, 22, 62, dib);
    PaintDibBanded(banded.dc(), 7, 2, 2, 22, 62, dib);
    PaintDibBanded(single.dc(), 60, 2, 2, 22, 62, dib);
    EXPECT_EQ(whole.Pixels(), banded.Pixels());
    EXPECT_EQ(whole.Pixels(), single.Pixels());
    EXPECT_EQ(Marker(0, 0), whole.At(2, 2));

    Canvas once(16, 40), passes(16, 40);
    PaintDibAt(once.dc(), 1, 3, dib);
    PaintDibInterlaced(passes.dc(), 1, 3, dib, 4);
    EXPECT_EQ(once.Pixels(), passes.Pixels());
}

TEST(DibPaint, PaintBitsAndPaintToHdc)
{
    Dib dib(Make24(4, 4, Marker));
    Canvas canvas(8, 8);
    BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
    PaintDibBits(canvas.dc(), 0, 0, 4, 4, dib, DibBits(block));
    GlobalUnlock(dib);
    EXPECT_EQ(Marker(3, 0), canvas.At(3, 0));
    Canvas other(8, 8);
    RECT dest = {2, 2, 6, 6}, src = {0, 0, 4, 4};
    EXPECT_TRUE(PaintDibToHdc(other.dc()->GetSafeHdc(), &dest, dib, &src, nullptr));
    EXPECT_EQ(Marker(1, 2), other.At(3, 4));
    RECT bigger = {0, 0, 8, 8};
    EXPECT_TRUE(PaintDibToHdc(other.dc()->GetSafeHdc(), &bigger, dib, &src, nullptr));
    EXPECT_EQ(Marker(3, 3), other.At(7, 7));
}

TEST(DibPaint, PaletteFromTheColorTableOrTheDefault)
{
    Dib indexed(MakeIndexed(4, 4, 8, {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)}, [](LONG, LONG) { return 0; }));
    CPalette palette;
    ASSERT_TRUE(CreateDibPalette(indexed, &palette));
    PALETTEENTRY entries[4] = {};
    EXPECT_EQ(3u, GetPaletteEntries(static_cast<HPALETTE>(palette.GetSafeHandle()), 0, 4, entries));
    EXPECT_EQ(4, entries[1].peRed);
    EXPECT_EQ(6, entries[1].peBlue);

    Dib rgb(Make24(2, 2, Marker));
    CPalette fallback;
    ASSERT_TRUE(CreateDibPalette(rgb, &fallback));
    EXPECT_EQ(GetStockObject(DEFAULT_PALETTE), fallback.GetSafeHandle());
    EXPECT_FALSE(CreateDibPalette(nullptr, &fallback));
}

TEST(DibPaint, BitmapsConvertToDibsAndBack)
{
    Dib dib(Make24(5, 3, Marker));
    Canvas canvas(5, 3);
    PaintDibAt(canvas.dc(), 0, 0, dib);
    Dib fromSection(BitmapToDib(canvas.bitmap(), BI_RGB, 24, nullptr));
    ASSERT_TRUE(fromSection.handle);
    EXPECT_EQ(5, Header(fromSection).biWidth);
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 5; ++x)
            EXPECT_EQ(Marker(x, y), Pixel24(fromSection, x, y));

    CDC screen;
    screen.Attach(GetDC(nullptr));
    CBitmap ddb;
    CPalette palette;
    ASSERT_TRUE(DibToDdb(&ddb, &palette, &screen, dib, 0, 0, 5, 3));
    BITMAP info;
    GetObjectW(static_cast<HBITMAP>(ddb.GetSafeHandle()), sizeof(info), &info);
    EXPECT_EQ(5, info.bmWidth);
    Dib back(DdbToDib(&ddb, nullptr, &screen));
    ASSERT_TRUE(back.handle);
    Dib back24(BitmapToDib(static_cast<HBITMAP>(ddb.GetSafeHandle()), BI_RGB, 24, nullptr));
    EXPECT_EQ(Marker(4, 2), Pixel24(back24, 4, 2));
    Dib onDc(BitmapToDibOnDc(screen.GetSafeHdc(), static_cast<HBITMAP>(ddb.GetSafeHandle()), BI_RGB));
    EXPECT_TRUE(onDc.handle);
    ReleaseDC(nullptr, screen.Detach());
}

TEST(DibPaint, MetafilePictureRecordsTheDib)
{
    Dib dib(Make24(40, 20, Marker));
    CDC screen;
    screen.Attach(GetDC(nullptr));
    Dib picture(DibToMetafilePict(dib, &screen));
    LONG width = 0, height = 0;
    GetDibLogicalSize(dib, &screen, &width, &height);
    ReleaseDC(nullptr, screen.Detach());
    ASSERT_TRUE(picture.handle);
    EXPECT_EQ(sizeof(METAFILEPICT), GlobalSize(picture));
    auto* pict = static_cast<METAFILEPICT*>(GlobalLock(picture));
    EXPECT_EQ(MM_ANISOTROPIC, pict->mm);
    EXPECT_GT(pict->xExt, 0);
    EXPECT_GT(pict->yExt, 0);
    EXPECT_EQ(width, pict->xExt);
    EXPECT_EQ(height, pict->yExt);
    EXPECT_GT(width, height);
    EXPECT_TRUE(pict->hMF);
    DeleteMetaFile(pict->hMF);
    GlobalUnlock(picture);
}
