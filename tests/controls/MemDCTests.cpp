#include "controls/VyxMemDC.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);

// A 100 x 100 screen-compatible bitmap in a memory DC, filled with one colour.
class BitmapTarget
{
public:
    explicit BitmapTarget(COLORREF fill)
    {
        CClientDC screen(nullptr);
        dc.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, 100, 100);
        old = ::SelectObject(dc.m_hDC, bitmap.GetSafeHandle());
        dc.FillSolidRect(0, 0, 100, 100, fill);
    }
    ~BitmapTarget() { ::SelectObject(dc.m_hDC, old); }
    // Pixel at device coordinates, whatever the mapping.
    COLORREF Device(int x, int y)
    {
        CPoint org = dc.GetWindowOrg();
        return dc.GetPixel(x + org.x, y + org.y);
    }

    CDC dc;
    CBitmap bitmap;
    HGDIOBJ old;
};

TEST(MemDCTest, DrawingLandsAtTheTargetsLogicalPositionWithinTheArea)
{
    BitmapTarget target(kBlue);
    target.dc.SetWindowOrg(10, 10);
    target.dc.SetBkColor(kWhite);
    {
        CRect area(20, 20, 60, 60);
        VyxMemDC surface(&target.dc, &area);
        EXPECT_TRUE(surface.IsMemDC());
        surface.FillSolidRect(30, 30, 10, 10, kRed);
        // Nothing reaches the target before the surface goes.
        EXPECT_EQ(target.Device(25, 25), kBlue);
    }
    EXPECT_EQ(target.Device(20, 20), kRed);   // logical (30, 30)
    EXPECT_EQ(target.Device(29, 29), kRed);   // logical (39, 39)
    EXPECT_EQ(target.Device(15, 15), kWhite); // in the area, filled with the background colour
    EXPECT_EQ(target.Device(5, 5), kBlue);    // outside the area
    EXPECT_EQ(target.Device(50, 50), kBlue);  // logical (60, 60): the area ends before it
}

TEST(MemDCTest, TextDrawnThroughTheSurfaceMatchesTextOnTheTarget)
{
    BitmapTarget direct(kWhite), buffered(kWhite);
    for (BitmapTarget* t : {&direct, &buffered}) {
        t->dc.SetWindowOrg(-7, 3);
        t->dc.SetBkColor(kWhite);
    }
    direct.dc.TextOut(12, 20, CString(L"Ab漢"));
    {
        CRect area(-7, 3, 93, 103);
        VyxMemDC surface(&buffered.dc, &area);
        surface.SetBkColor(kWhite);
        surface.TextOut(12, 20, CString(L"Ab漢"));
    }
    int differing = 0, inked = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            COLORREF a = direct.Device(x, y);
            differing += a != buffered.Device(x, y);
            inked += a != kWhite;
        }
    }
    EXPECT_GT(inked, 0);
    EXPECT_EQ(differing, 0);
}

TEST(MemDCTest, NullAreaBlitsOnlyTheClipBox)
{
    BitmapTarget target(kBlue);
    target.dc.SetBkColor(kGreen);
    target.dc.IntersectClipRect(10, 10, 30, 40);
    {
        VyxMemDC surface(&target.dc);
        EXPECT_EQ(surface.GetArea(), CRect(10, 10, 30, 40));
    }
    target.dc.SelectClipRgn(nullptr);
    EXPECT_EQ(target.Device(10, 10), kGreen);
    EXPECT_EQ(target.Device(29, 39), kGreen);
    EXPECT_EQ(target.Device(30, 39), kBlue);
    EXPECT_EQ(target.Device(9, 10), kBlue);
}

TEST(MemDCTest, ScaledMappingIsCopiedSoLogicalUnitsMatch)
{
    BitmapTarget target(kBlue);
    target.dc.SetBkColor(kWhite);
    target.dc.SetMapMode(MM_ANISOTROPIC);
    target.dc.SetWindowExt(1, 1);
    target.dc.SetViewportExt(2, 2);
    {
        CRect area(0, 0, 40, 40); // 80 x 80 device pixels
        VyxMemDC surface(&target.dc, &area);
        surface.FillSolidRect(10, 10, 5, 5, kRed); // device 20..29
    }
    target.dc.SetMapMode(MM_TEXT);
    EXPECT_EQ(target.dc.GetPixel(20, 20), kRed);
    EXPECT_EQ(target.dc.GetPixel(29, 29), kRed);
    EXPECT_EQ(target.dc.GetPixel(30, 30), kWhite);
    EXPECT_EQ(target.dc.GetPixel(85, 85), kBlue);
}

TEST(MemDCTest, OnAPrinterItDrawsStraightOnThePageAndLeavesItsHandles)
{
    BitmapTarget page(kWhite);
    page.dc.m_bPrinting = TRUE;
    HDC handle = page.dc.m_hDC;
    {
        CRect area(0, 0, 50, 50);
        VyxMemDC surface(&page.dc, &area);
        EXPECT_FALSE(surface.IsMemDC());
        EXPECT_EQ(surface.m_hDC, handle);
        surface.FillSolidRect(5, 5, 2, 2, kRed);
        EXPECT_EQ(page.dc.GetPixel(5, 5), kRed); // already there: no blit needed
    }
    page.dc.m_bPrinting = FALSE;
    EXPECT_EQ(page.dc.m_hDC, handle);
    EXPECT_NE(::GetObjectType(handle), 0u); // still a live DC
    EXPECT_EQ(page.dc.GetPixel(6, 6), kRed);
}

} // namespace
