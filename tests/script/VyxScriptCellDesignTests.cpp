// A thumbnail cell design drawn the way the cell renderer will draw it: host variables for the
// cell, the item's texts and picture from the request handler.
#include "script/VyxScript.h"

#include "ScriptTestKit.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;

const wchar_t kCellDesign[] =
    L"; thumbnail cell\n"
    L"BOX ($_LEFT,$_TOP)-($_RIGHT,$_BOTTOM), COLOR_GRAY, 1, PS_SOLID, COLOR_CREAM\n"
    L"IF $_SELECT\n"
    L" BOX ($_LEFT + 2,$_TOP + 2)-($_RIGHT - 2,$_BOTTOM - 2), COLOR_VYX, 3\n"
    L"ENDIF\n"
    L"RoundBox ($_LEFT + 8,$_TOP + 8)-($_RIGHT - 8,$_TOP + 128), COLOR_DARKGRAY, 10, 10, 1, \\\n"
    L"         PS_SOLID, COLOR_WHITE\n"
    L"DRAWIMAGE ($_LEFT + 14,$_TOP + 14)-($_RIGHT - 14,$_TOP + 122), DT_CENTER + DT_VCENTER\n"
    L"DRAWTEXT ($_LEFT + 4,$_TOP + 132)-($_RIGHT - 4,$_TOP + 150), \"$(Name)\", DT_CENTER, "
    L"\"ＭＳ Ｐゴシック\", COLOR_BLACK, 10, FW_BOLD\n"
    L"DRAWTEXT ($_LEFT + 4,$_TOP + 150)-($_RIGHT - 4,$_TOP + 166), \"$(Size)\", DT_CENTER, "
    L"\"\", COLOR_DARKBLUE, 8\n"
    L"FUNCTION star(x,y,r)\n"
    L" CIRCLE (x, y), r, r, COLOR_RED, 1, PS_SOLID, #FFC000\n"
    L" RETURN r\n"
    L"FEND\n"
    L"i = 0\n"
    L"WHILE i < $RATING\n"
    L" star($_LEFT + 14 + i * 14, $_BOTTOM - 12, 5)\n"
    L" i = i + 1\n"
    L"WEND\n"
    L"BSPLINE ($_RIGHT - 60,$_BOTTOM - 6)-($_RIGHT - 45,$_BOTTOM - 20)-"
    L"($_RIGHT - 25,$_BOTTOM - 4)-($_RIGHT - 8,$_BOTTOM - 18), COLOR_DARKBLUE, 1\n";

// A sky-and-meadow picture.
HGLOBAL MakePicture(int width, int height)
{
    HGLOBAL dib = CreateDib(width, height, 24);
    BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
    BYTE* rows = DibBits(block);
    DWORD stride = DibRowSize(block);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = rows + (height - 1 - y) * stride + x * 3;
            bool sky = y < height * 3 / 5;
            p[2] = static_cast<BYTE>(sky ? 80 + y : 40 + x / 4);
            p[1] = static_cast<BYTE>(sky ? 150 + y / 2 : 140 + y / 4);
            p[0] = static_cast<BYTE>(sky ? 230 : 50);
        }
    GlobalUnlock(dib);
    return dib;
}

TEST(ScriptCellDesign, ThumbnailCellsDrawFromTheHostsData)
{
    const int cellWidth = 160, cellHeight = 190;
    Canvas canvas(cellWidth * 2 + 30, cellHeight + 20);
    canvas.Clear(RGB(0xE8, 0xE8, 0xE8));
    ScratchFolder folder(L"vyxcell");
    HGLOBAL picture = MakePicture(240, 160);
    RecordingHost host;
    host.answerArea = true;
    host.areaImage = picture;
    host.expand = [](const std::wstring& text) -> std::wstring {
        if (text == L"$(Name)")
            return L"さくら並木.jpg";
        if (text == L"$(Size)")
            return L"240 x 160  1.2 MB";
        return text;
    };

    VyxScript script;
    script.Initialize();
    ASSERT_EQ(1, LoadScript(script, folder, kCellDesign));
    script.AttachDC(&canvas.dc, 0);
    script.SetUnit(1);
    script.SetCallback(host.Callback());
    for (int cell = 0; cell < 2; ++cell) {
        int left = 10 + cell * (cellWidth + 10);
        script.SetVariable(L"$_LEFT", left);
        script.SetVariable(L"$_TOP", 10);
        script.SetVariable(L"$_RIGHT", left + cellWidth);
        script.SetVariable(L"$_BOTTOM", 10 + cellHeight);
        script.SetVariable(L"$_SELECT", cell);
        script.SetVariable(L"$RATING", 3 + cell);
        ASSERT_EQ(1, script.Run());
    }

    // Frame, selection, the fitted picture (centred in the rounded box), text and stars.
    EXPECT_EQ(RGB(0x80, 0x80, 0x80), canvas.Pixel(10, 100));
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xF0), canvas.Pixel(40, 180));             // cream fill
    EXPECT_EQ(RGB(0x8C, 0x8C, 0xFF), canvas.Pixel(cellWidth + 22, 100)); // the selected cell's frame
    // The 240 x 160 picture fits the 132 x 108 area as 132 x 88, centred: rows 34 to 122.
    EXPECT_EQ(230, GetBValue(canvas.Pixel(90, 40)));
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), canvas.Pixel(90, 30));
    int starEdges = 0;
    for (int x = 10; x < 10 + cellWidth; ++x)
        starEdges += canvas.Pixel(x, 10 + cellHeight - 12) == RGB(0xFF, 0, 0);
    EXPECT_EQ(6, starEdges); // three stars on the first cell's rating row
    std::vector<int> expectedTypes;
    for (int cell = 0; cell < 2; ++cell)
        expectedTypes.insert(expectedTypes.end(),
                             {ScriptRequestAreaImage, ScriptRequestExpandText, ScriptRequestExpandText});
    EXPECT_EQ(expectedTypes, host.Types());

    GlobalFree(picture);
}

} // namespace
