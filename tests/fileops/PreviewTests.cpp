// The picture frame of the rename and comment dialogs: a black ground inside the frame's edge,
// the picture fitted on it, or nothing but the ground (and the icon) when the picture is off.
#include "FileopsTestUtil.h"

#include "common/ControlTestUtil.h"

using namespace fileopstest;

TEST(ItemPreview, ThePictureIsFittedOnABlackGroundInsideTheFrameEdge)
{
    StandardPlugins plugins;
    CacheScope cache;
    ScratchFolder folder;
    std::unique_ptr<VyxFile> item(NewPictureItem(folder, L"wide.tpic", 40, 20));
    item->SetCacheLookup(FALSE);
    item->SetAutoCache(FALSE);
    const CRect frame(10, 10, 94, 94); // 80 x 80 inside the edge: the picture 80 x 40 in the middle
    for (bool picture : {true, false}) {
        MemoryCanvas canvas(104, 104, RGB(255, 255, 255));
        item->DrawPreview(canvas.DC(), frame, picture);
        EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(11, 11)) << picture;
        EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(13, 13)) << picture;
        EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(50, 90)) << picture;
        EXPECT_EQ(picture, canvas.Pixel(50, 52) != RGB(0, 0, 0)) << picture;
        // The picture, and the cell's edge round it.
        int drawn = 80 * 80 - canvas.CountColour(CRect(12, 12, 92, 92), RGB(0, 0, 0));
        EXPECT_TRUE(picture ? drawn >= 80 * 40 && drawn < 80 * 48 : drawn == 0) << drawn;
    }
}
