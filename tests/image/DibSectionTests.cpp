#include "DibTestUtil.h"

#include "image/DibDepth.h"
#include "image/DibSection.h"
#include "res/resource.h"

#include <gtest/gtest.h>

using namespace dibtest;

namespace {

// Pixel (x, y), y from the top, of a 24-bit surface.
COLORREF SurfacePixel(CDibSection& surface, LONG x, LONG y)
{
    ::GdiFlush();
    CSize size = surface.GetSize();
    const BYTE* bits = static_cast<const BYTE*>(surface.GetBits());
    DWORD row = ((size.cx * 24 + 31) / 32) * 4;
    const BYTE* p = bits + (size.cy - 1 - y) * row + x * 3;
    return RGB(p[2], p[1], p[0]);
}

const RGBQUAD* SurfaceTable(CDibSection& surface)
{
    return reinterpret_cast<const RGBQUAD*>(surface.m_header + sizeof(BITMAPINFOHEADER));
}

int MaskBit(CDibSection& mask, LONG x, LONG y)
{
    ::GdiFlush();
    CSize size = mask.GetSize();
    const BYTE* bits = static_cast<const BYTE*>(mask.GetBits());
    DWORD row = ((size.cx + 31) / 32) * 4;
    return (bits[(size.cy - 1 - y) * row + x / 8] >> (7 - x % 8)) & 1;
}

} // namespace

TEST(DibSection, CreateRefusesEmptySizeAndRefillsTheSameSurface)
{
    CDibSection surface;
    EXPECT_EQ(0, surface.Create(nullptr, 0, 0, 24, RGB(1, 2, 3)));
    EXPECT_FALSE(surface.IsCreated());
    EXPECT_FALSE(surface.Fill(nullptr, RGB(1, 2, 3)));
    ASSERT_EQ(1, surface.Create(nullptr, 6, 4, 24, RGB(10, 20, 30)));
    EXPECT_EQ(RGB(10, 20, 30), SurfacePixel(surface, 5, 3));
    HBITMAP first = surface.m_bitmap;
    // Same size and depth: the bitmap stays and is filled, with black too.
    ASSERT_EQ(1, surface.Create(nullptr, 6, 4, 24, 0));
    EXPECT_EQ(first, surface.m_bitmap);
    EXPECT_EQ(RGB(0, 0, 0), SurfacePixel(surface, 0, 0));
    ASSERT_EQ(1, surface.Create24(nullptr, 7, 4, RGB(200, 100, 50)));
    EXPECT_EQ(CSize(7, 4), surface.GetSize());
    EXPECT_EQ(RGB(200, 100, 50), SurfacePixel(surface, 6, 0));
    EXPECT_EQ(1, surface.Destroy());
    EXPECT_FALSE(surface.IsCreated());
    EXPECT_FALSE(surface.HasBitmap());
}

TEST(DibSection, PaletteSurfacesGetAGreyRamp)
{
    struct Case
    {
        int bits;
        int step;
    };
    for (Case c : {Case{1, 255}, Case{4, 17}, Case{8, 1}}) {
        CDibSection surface;
        ASSERT_EQ(1, surface.Create(nullptr, 3, 3, c.bits, 0));
        const RGBQUAD* table = SurfaceTable(surface);
        int n = 1 << c.bits;
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(std::min(i * c.step, 255), table[i].rgbGreen) << c.bits << ":" << i;
    }
}

TEST(DibSection, PackedDibOfATrueColourSurfaceIsItsPixels)
{
    CDibSection surface;
    ASSERT_EQ(1, surface.Create24(nullptr, 5, 3, RGB(9, 8, 7)));
    Dib source(Make24(3, 2, [](LONG x, LONG y) { return RGB(x * 80, y * 100, 33); }));
    surface.PutDib(source, 1, 1);
    Dib packed(surface.ToPackedDib());
    ASSERT_TRUE(packed);
    BITMAPINFOHEADER h = Header(packed);
    EXPECT_EQ(24, h.biBitCount);
    EXPECT_EQ(sizeof(BITMAPINFOHEADER) + h.biSizeImage, GlobalSize(packed));
    EXPECT_EQ(0, std::memcmp(Bits(packed), surface.GetBits(), h.biSizeImage));
    Unlock(packed);
    EXPECT_EQ(RGB(9, 8, 7), Pixel24(packed, 0, 0));
    EXPECT_EQ(RGB(160, 100, 33), Pixel24(packed, 3, 2));

    // 32 bits go through the device context.
    CDibSection wide;
    ASSERT_EQ(1, wide.Create(nullptr, 4, 2, 32, RGB(1, 200, 3)));
    Dib fromWide(wide.ToPackedDib());
    ASSERT_TRUE(fromWide);
    HGLOBAL as24 = MakeDib24(fromWide);
    EXPECT_EQ(RGB(1, 200, 3), Pixel24(as24, 3, 1));
    if (as24 != fromWide.handle)
        GlobalFree(as24);
}

TEST(DibSection, DrawingCopiesAndStretchesTheSurface)
{
    CDibSection source, target;
    ASSERT_EQ(1, source.Create24(nullptr, 2, 2, RGB(250, 0, 0)));
    ASSERT_EQ(1, target.Create24(nullptr, 8, 8, RGB(0, 0, 250)));
    EXPECT_FALSE(source.Draw(nullptr, 0, 0));
    EXPECT_TRUE(source.Draw(target.GetMemDC(), 3, 3));
    EXPECT_EQ(RGB(250, 0, 0), SurfacePixel(target, 4, 4));
    EXPECT_EQ(RGB(0, 0, 250), SurfacePixel(target, 5, 5));
    EXPECT_TRUE(source.StretchDraw(target.GetMemDC(), 0, 0, 8, 2));
    EXPECT_EQ(RGB(250, 0, 0), SurfacePixel(target, 7, 1));
    EXPECT_TRUE(source.DrawRect(target.GetMemDC(), 6, 6, 7, 7, 1, 1));
    EXPECT_EQ(RGB(250, 0, 0), SurfacePixel(target, 6, 6));
}

TEST(DibSection, MaskLeavesOutEveryIndexHoldingTheColour)
{
    // Entries 1 and 3 both hold the key colour.
    const COLORREF key = RGB(255, 0, 255);
    Dib dib(MakeIndexed(9, 3, 4, {RGB(0, 0, 0), key, RGB(9, 9, 9), key}, [](LONG x, LONG) { return x % 4; }));
    CDibSection mask;
    ASSERT_EQ(1, mask.MakeMask(dib, key));
    EXPECT_EQ(CSize(9, 3), mask.GetSize());
    for (LONG x = 0; x < 9; ++x)
        EXPECT_EQ(x % 4 == 1 || x % 4 == 3 ? 0 : 1, MaskBit(mask, x, 1)) << x;
    // A negative colour names one index.
    ASSERT_EQ(1, mask.MakeMask(dib, static_cast<COLORREF>(-3)));
    for (LONG x = 0; x < 9; ++x)
        EXPECT_EQ(x % 4 == 2 ? 0 : 1, MaskBit(mask, x, 2)) << x;
    // Above 8 bits nothing is masked out: all transparent.
    Dib rgb(Make24(4, 2, [](LONG, LONG) { return RGB(1, 1, 1); }));
    ASSERT_EQ(1, mask.MakeMask(rgb, RGB(1, 1, 1)));
    EXPECT_EQ(0, MaskBit(mask, 3, 1));
}

TEST(DibSection, TransparentPaintSetsAndRestoresTheTargetsColours)
{
    const COLORREF key = RGB(0, 255, 0);
    Dib dib(MakeIndexed(4, 2, 8, {key, RGB(200, 10, 10)}, [](LONG x, LONG) { return x & 1; }));
    CDibSection target;
    ASSERT_EQ(1, target.Create24(nullptr, 10, 6, RGB(20, 30, 40)));
    // Colours left behind by earlier drawing must not turn the mask around.
    CDC* dc = target.GetMemDC();
    dc->SetTextColor(RGB(255, 255, 255));
    dc->SetBkColor(RGB(0, 0, 0));
    PaintDibTransparent(dc, dib, key, 2, 1);
    EXPECT_EQ(RGB(20, 30, 40), SurfacePixel(target, 2, 1));
    EXPECT_EQ(RGB(200, 10, 10), SurfacePixel(target, 3, 1));
    EXPECT_EQ(RGB(20, 30, 40), SurfacePixel(target, 4, 2));
    EXPECT_EQ(RGB(200, 10, 10), SurfacePixel(target, 5, 2));
    EXPECT_EQ(RGB(20, 30, 40), SurfacePixel(target, 6, 1));
    EXPECT_EQ(RGB(255, 255, 255), dc->GetTextColor());
    EXPECT_EQ(RGB(0, 0, 0), dc->GetBkColor());
}

TEST(DibSection, MaskedDrawLeavesTheMaskColourOut)
{
    const COLORREF key = RGB(255, 0, 255);
    Dib dib(Make24(4, 4, [&](LONG x, LONG) { return x < 2 ? key : RGB(0, 0, 200); }));
    CDibSection target;
    ASSERT_EQ(1, target.Create24(nullptr, 6, 6, RGB(10, 10, 10)));
    EXPECT_EQ(0, target.DrawDibMasked(dib, key, 1, 1));
    EXPECT_EQ(RGB(10, 10, 10), SurfacePixel(target, 1, 1));
    EXPECT_EQ(RGB(0, 0, 200), SurfacePixel(target, 4, 4));
}

TEST(DibSection, BmpFilesSaveThePixelsAndLoadBack)
{
    ScratchFolder folder;
    CDibSection surface;
    ASSERT_EQ(1, surface.Create24(nullptr, 5, 4, RGB(7, 77, 177)));
    std::wstring path = folder.File(L"surface.bmp");
    ASSERT_EQ(0, surface.SaveBmpFile(path.c_str()));
    std::vector<BYTE> file = ReadWholeFile(path);
    ASSERT_EQ(14u + 40u + 4u * 16u, file.size());
    EXPECT_EQ(0, std::memcmp(file.data() + 54, surface.GetBits(), 64));

    CDibSection loaded;
    ASSERT_EQ(0, loaded.LoadBmpFile(path.c_str(), nullptr));
    EXPECT_TRUE(loaded.IsCreated());
    EXPECT_EQ(CSize(5, 4), loaded.GetSize());
    EXPECT_EQ(nullptr, loaded.m_header);
    Dib back(loaded.ToPackedDib());
    HGLOBAL back24 = MakeDib24(back);
    EXPECT_EQ(RGB(7, 77, 177), Pixel24(back24, 4, 3));
    if (back24 != back.handle)
        GlobalFree(back24);
    EXPECT_EQ(-1, loaded.LoadBmpFile(folder.File(L"none.bmp").c_str(), nullptr));
}

TEST(DibSection, AResourceBitmapIsDrawnAtItsSizeOrStretched)
{
    // The tool bar's images as the system loads them: the pixels to find on the target.
    HBITMAP bitmap = ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_MAIN_TOOLBAR));
    ASSERT_TRUE(bitmap);
    BITMAP info = {};
    ::GetObjectW(bitmap, sizeof(info), &info);
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    const POINT probes[] = {{0, 0}, {5, 7}, {20, 3}, {info.bmWidth - 1, info.bmHeight - 1}};
    std::vector<COLORREF> expected;
    for (POINT p : probes)
        expected.push_back(::GetPixel(memory, p.x, p.y));
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(bitmap);

    CDibSection target, drawn, stretched;
    ASSERT_EQ(1, target.Create24(nullptr, info.bmWidth * 2 + 8, info.bmHeight * 2 + 8, RGB(1, 2, 3)));
    EXPECT_EQ(1, drawn.LoadBitmapAndDraw(target.GetMemDC(), IDB_MAIN_TOOLBAR, 3, 4, SRCCOPY));
    EXPECT_EQ(CSize(info.bmWidth, info.bmHeight), drawn.GetSize());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i], SurfacePixel(target, probes[i].x + 3, probes[i].y + 4)) << i;
    EXPECT_EQ(RGB(1, 2, 3), SurfacePixel(target, 2, 4));
    EXPECT_EQ(RGB(1, 2, 3), SurfacePixel(target, info.bmWidth + 3, 4));

    const RECT twice = {0, 0, info.bmWidth * 2, info.bmHeight * 2};
    EXPECT_EQ(1, stretched.LoadBitmapAndStretch(target.GetMemDC(), IDB_MAIN_TOOLBAR, twice, SRCCOPY));
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i], SurfacePixel(target, probes[i].x * 2 + 1, probes[i].y * 2 + 1)) << i;
    // The stretch lets its memory context go again.
    EXPECT_EQ(nullptr, stretched.GetMemDC());
}

TEST(DibSection, ASurfaceSavedIntoAnOpenFileIsTheBmpOfThePathForm)
{
    ScratchFolder folder;
    CDibSection surface;
    CFile file;
    const std::wstring streamed = folder.File(L"streamed.bmp"), named = folder.File(L"named.bmp");
    ASSERT_TRUE(file.Open(streamed.c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(-1, surface.SaveBmp(&file));
    ASSERT_EQ(1, surface.Create24(nullptr, 5, 3, RGB(40, 50, 60)));
    EXPECT_EQ(0, surface.SaveBmp(&file));
    file.Close();
    ASSERT_EQ(0, surface.SaveBmpFile(named.c_str()));
    EXPECT_EQ(ReadWholeFile(named), ReadWholeFile(streamed));
}

TEST(DibSection, SaveToAPathThatCannotBeOpenedFailsWithoutAFile)
{
    ScratchFolder folder;
    CDibSection surface;
    EXPECT_EQ(-1, surface.SaveBmpFile(folder.File(L"empty.bmp").c_str()));
    ASSERT_EQ(1, surface.Create24(nullptr, 2, 2, RGB(1, 2, 3)));
    std::wstring missing = folder.File(L"no\\such\\folder.bmp");
    EXPECT_EQ(-1, surface.SaveBmpFile(missing.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(missing.c_str()));
}

TEST(DibSection, SurfaceLikeADibTakesItsDepthAndTable)
{
    Dib dib(MakeIndexed(7, 5, 4, {RGB(1, 2, 3), RGB(40, 50, 60)}, [](LONG, LONG) { return 0; }));
    CDibSection surface;
    ASSERT_EQ(1, surface.CreateLikeDib(nullptr, dib, 0, 0));
    EXPECT_EQ(CSize(7, 5), surface.GetSize());
    EXPECT_EQ(4, surface.m_bitCount);
    EXPECT_EQ(40, SurfaceTable(surface)[1].rgbRed);
    EXPECT_EQ(0, SurfaceTable(surface)[2].rgbRed);
    ASSERT_EQ(1, surface.CreateLikeDib(nullptr, dib, 3, 2));
    EXPECT_EQ(CSize(3, 2), surface.GetSize());
}
