// The picture window's tool-bar and menu images: a pictogram of its own for every command, the
// opposite commands drawn as mirror images of each other, hot images of the same shapes, and the
// window's bar showing them.
#include "PictureWindowTestUtil.h"
#include "catalogue/FrameMessages.h"
#include "common/ImageStrip.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

namespace {

using namespace imagestrip;

const int kImages = 27;

// Positions in bitmap 241 (the order of the menu images of the picture-window commands).
enum {
    ZoomOut = 5,
    ZoomIn = 6,
    RotateLeft = 7,
    RotateRight = 8,
    FlipVertical = 9,
    FlipHorizontal = 10,
    First = 17,
    Previous = 18,
    Next = 20,
    Last = 21,
    PreviousPage = 22,
    NextPage = 23,
};

} // namespace

TEST(PictureToolBar, EveryCommandHasAPictogramOfItsOwnAndOppositesAreMirrored)
{
    const Strip normal = LoadStrip(IDB_MENU_IMAGES_241);
    ASSERT_EQ(kSide * kImages, normal.width);
    ASSERT_EQ(kSide, normal.height);
    for (int a = 0; a < kImages; ++a) {
        int drawn = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                drawn += normal.At(a, x, y) != kMask;
        // A pictogram on the mask colour, neither empty nor a filled square.
        EXPECT_GT(drawn, 20) << a;
        EXPECT_LT(drawn, kSide * kSide - 8) << a;
        for (int b = a + 1; b < kImages; ++b)
            EXPECT_FALSE(normal.Same(a, b, AsIs)) << a << " " << b;
    }
    // Left and right, first and last, previous and next, up and down: one picture each way.
    EXPECT_TRUE(normal.Same(RotateLeft, RotateRight, Mirrored));
    EXPECT_TRUE(normal.Same(First, Last, Mirrored));
    EXPECT_TRUE(normal.Same(Previous, Next, Mirrored));
    EXPECT_TRUE(normal.Same(PreviousPage, NextPage, Flipped));
    EXPECT_TRUE(normal.Same(FlipVertical, FlipHorizontal, Transposed));
    // Zoom in is zoom out with the plus's upright stroke.
    EXPECT_GT(normal.Differing(ZoomOut, ZoomIn), 0);
    EXPECT_LT(normal.Differing(ZoomOut, ZoomIn), 6);
}

TEST(PictureToolBar, HotImagesHaveTheSameShapesInLivelierColours)
{
    const Strip normal = LoadStrip(IDB_MENU_IMAGES_241);
    const Strip hot = LoadStrip(IDB_PICTURE_TOOLBAR_HOT);
    ASSERT_EQ(normal.width, hot.width);
    ASSERT_EQ(normal.height, hot.height);
    int recoloured = 0;
    for (size_t i = 0; i < normal.pixels.size(); ++i) {
        EXPECT_EQ(normal.pixels[i] == kMask, hot.pixels[i] == kMask) << i;
        recoloured += normal.pixels[i] != hot.pixels[i];
    }
    EXPECT_GT(recoloured, 500);
}

TEST(PictureToolBar, TheWindowsBarShowsTheImagesOfItsCommands)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    CWnd* bar = window->GetDescendantWindow(AFX_IDW_TOOLBAR);
    ASSERT_NE(nullptr, bar);
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(bar->SendMessage(TB_GETIMAGELIST));
    HIMAGELIST hotImages = reinterpret_cast<HIMAGELIST>(bar->SendMessage(TB_GETHOTIMAGELIST));
    ASSERT_NE(nullptr, images);
    ASSERT_NE(nullptr, hotImages);
    EXPECT_EQ(kImages, ImageList_GetImageCount(images));
    EXPECT_EQ(kImages, ImageList_GetImageCount(hotImages));
    // Each button shows the image of its own command.
    const struct
    {
        UINT command;
        int image;
    } rows[] = {{10104, 0},           {10077, 2},    {10100, ZoomIn},       {10101, ZoomOut}, {10118, RotateLeft},
                {10044, RotateRight}, {10235, 24},   {10236, 25},           {10194, 26},      {10168, 13},
                {32787, First},       {32790, Last}, {10220, PreviousPage}, {10219, NextPage}};
    for (const auto& row : rows) {
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_IMAGE;
        ASSERT_NE(-1, bar->SendMessage(TB_GETBUTTONINFOW, row.command, reinterpret_cast<LPARAM>(&info))) << row.command;
        EXPECT_EQ(row.image, info.iImage) << row.command;
    }
}

TEST(PictureToolBar, TheBarShowsItsButtonsAgainInTheNextWindow)
{
    PictureWindows w;
    auto barWidth = [&](COneWnd* window) {
        CRect rect;
        window->GetDescendantWindow(AFX_IDW_TOOLBAR)->GetWindowRect(&rect);
        return rect.Width();
    };
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    window->ShowWindow(SW_MAXIMIZE);
    const int first = barWidth(window);
    EXPECT_GT(first, 300);
    w.Frame()->SendMessage(WMU_CLOSEPICTUREWND, reinterpret_cast<WPARAM>(window));
    ASSERT_EQ(0, w.Count());
    window = w.Open(L"d.bmp");
    ASSERT_NE(nullptr, window);
    EXPECT_GE(barWidth(window), first);
}
