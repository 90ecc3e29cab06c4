#include "script/VyxScriptDrawCommands.h"

#include "ScriptTestKit.h"
#include "common/AllocationLimit.h"
#include "foundation/TestSettings.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;

class DrawCommands : public ScriptOnCanvas
{
protected:
    DrawCommands() : ScriptOnCanvas(120, 120) {}

    POINTD CurrentPoint() { return POINTD{Local(L"$_CP_[0]").GetDouble(), Local(L"$_CP_[1]").GetDouble()}; }
};

std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

TEST_F(DrawCommands, BoxDrawsWithABlackPenAndHollowBrushAndMovesTheCurrentPoint)
{
    ASSERT_EQ(1, Run(L"BOX (0,0)-(10,10)\n"));
    EXPECT_EQ(kBlack, canvas.Pixel(0, 0));
    EXPECT_EQ(kBlack, canvas.Pixel(9, 5));
    EXPECT_EQ(kWhite, canvas.Pixel(10, 5)); // right and bottom edges are outside, as GDI draws them
    EXPECT_EQ(kWhite, canvas.Pixel(5, 5));
    EXPECT_DOUBLE_EQ(10.0, CurrentPoint().x);
    EXPECT_DOUBLE_EQ(10.0, CurrentPoint().y);

    // The leading "-" starts at the current point, which the previous BOX of the run left.
    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"BOX (0,0)-(10,10)\nBOX -(20,20)\n"));
    EXPECT_EQ(kBlack, canvas.Pixel(15, 10));
    EXPECT_EQ(kBlack, canvas.Pixel(19, 15));
    EXPECT_DOUBLE_EQ(20.0, CurrentPoint().x);
}

TEST_F(DrawCommands, BoxDrawsOneRectanglePerPairOfConsecutivePoints)
{
    ASSERT_EQ(1, Run(L"BOX (30,30)\n"));
    EXPECT_EQ(0, canvas.Count(kBlack));
    ASSERT_EQ(1, Run(L"BOX (0,0)-(20,20)-(40,30)\n"));
    EXPECT_EQ(kBlack, canvas.Pixel(10, 0));
    EXPECT_EQ(kBlack, canvas.Pixel(30, 20));
    EXPECT_EQ(kBlack, canvas.Pixel(39, 25));
}

TEST_F(DrawCommands, FillAndHatchFollowTheirParameterTexts)
{
    ASSERT_EQ(1, Run(L"BOX (0,0)-(40,40), COLOR_BLACK, 1, PS_SOLID, COLOR_RED\n"));
    EXPECT_EQ(kRed, canvas.Pixel(20, 20));
    EXPECT_EQ(kBlack, canvas.Pixel(0, 20));

    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"BOX (0,0)-(40,40), COLOR_BLACK, 1, PS_SOLID, COLOR_BLUE, HS_CROSS\n"));
    int blue = canvas.Count(kBlue);
    EXPECT_GT(blue, 20);
    EXPECT_LT(blue, 38 * 38 / 2); // lines, not a fill

    // An empty fill text means no fill, even though it evaluates to 0 (black).
    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"BOX (0,0)-(40,40), COLOR_RED, 1, PS_SOLID, , \n"));
    EXPECT_EQ(kWhite, canvas.Pixel(20, 20));
}

TEST_F(DrawCommands, LineMovesToItsFirstPointOrContinuesFromThePenWithADash)
{
    ASSERT_EQ(1, Run(L"LINE (10,10)-(50,50)-(50,10)\nLINE -(10,10)\n"));
    EXPECT_EQ(kBlack, canvas.Pixel(30, 30));
    EXPECT_EQ(kBlack, canvas.Pixel(50, 30));
    EXPECT_EQ(kBlack, canvas.Pixel(30, 10));
    EXPECT_EQ(kWhite, canvas.Pixel(30, 20));
    EXPECT_DOUBLE_EQ(10.0, CurrentPoint().x);
}

TEST_F(DrawCommands, PenColourAndWidthApply)
{
    ASSERT_EQ(1, Run(L"LINE (10,60)-(100,60), COLOR_BLUE, 5, -1\n"));
    EXPECT_EQ(kBlue, canvas.Pixel(50, 58));
    EXPECT_EQ(kBlue, canvas.Pixel(50, 62));
    EXPECT_EQ(kWhite, canvas.Pixel(50, 55));
}

TEST_F(DrawCommands, PolygonNeedsTwoPairsAndAddsTheCurrentPointAfterADash)
{
    ASSERT_EQ(1, Run(L"POLYGON (10,10)\nBOX (0,0)-(5,5)\nPOLYGON -(50,50)\n"));
    EXPECT_EQ(Text(RECT{0, 0, 5, 5}), Text(canvas.BoundsOf(kBlack))); // only the box

    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"POLYGON (10,10)-(90,10)-(50,70), COLOR_BLACK, 1, 0, COLOR_RED\n"));
    EXPECT_EQ(kRed, canvas.Pixel(50, 30));
    EXPECT_DOUBLE_EQ(50.0, CurrentPoint().x);
    EXPECT_DOUBLE_EQ(70.0, CurrentPoint().y);

    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"BOX (10,10)-(10,10)\nPOLYGON -(90,10)-(50,70), COLOR_BLACK, 1, 0, COLOR_RED\n"));
    EXPECT_EQ(kRed, canvas.Pixel(50, 30));
}

TEST_F(DrawCommands, ADashBeforeAnyCurrentPointEndsTheRunWithIllegalIndex)
{
    EXPECT_EQ(-1, Run(L"BOX -(20,20)\nx = 1\n"));
    EXPECT_EQ(VyxVariant::Empty, Local(L"x").GetType());
    // The command's pen and brush were put back on the way out: the DC holds its own again.
    EXPECT_EQ(GetStockObject(BLACK_PEN), GetCurrentObject(canvas.dc.m_hDC, OBJ_PEN));
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), GetCurrentObject(canvas.dc.m_hDC, OBJ_BRUSH));
    EXPECT_EQ(1, Run(L"BOX (0,0)-(10,10)\n"));
    EXPECT_EQ(kBlack, canvas.Pixel(0, 5));
}

TEST_F(DrawCommands, RoundBoxRoundsItsCorners)
{
    ASSERT_EQ(1, Run(L"RoundBox (10,10)-(60,60), COLOR_BLACK, 20, 20\n"));
    EXPECT_EQ(kWhite, canvas.Pixel(10, 10));
    EXPECT_EQ(kBlack, canvas.Pixel(35, 10));
    EXPECT_EQ(kBlack, canvas.Pixel(10, 35));
    EXPECT_DOUBLE_EQ(60.0, CurrentPoint().x);
}

TEST_F(DrawCommands, CircleDrawsAroundEachCentreWithRadiiOfAtLeastOne)
{
    ASSERT_EQ(1, Run(L"CIRCLE (50,50), 10, 10\n"));
    EXPECT_EQ(kBlack, canvas.Pixel(40, 50));
    EXPECT_EQ(kBlack, canvas.Pixel(50, 40));
    EXPECT_EQ(kWhite, canvas.Pixel(50, 50));
    EXPECT_DOUBLE_EQ(50.0, CurrentPoint().x);

    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"CIRCLE (50,50), 0, 0\n"));
    RECT drawn = canvas.BoundsOf(kBlack);
    EXPECT_GE(drawn.left, 49) << Text(drawn);
    EXPECT_LE(drawn.right, 51) << Text(drawn);
    EXPECT_GT(canvas.Count(kBlack), 0);
}

TEST_F(DrawCommands, SplinesNeedFourPairsAndFourPointsPerCurve)
{
    ASSERT_EQ(1, Run(L"BSPLINE (10,50)-(40,50)-(70,50)\nBSPLINE (10,50)-(40,50)-(70,50)-(100,50), 0, 1, 0, 2\n"));
    EXPECT_EQ(0, canvas.Count(kBlack));
    for (const wchar_t* kind : {L"BSPLINE", L"CSPLINE"}) {
        canvas.Clear(kWhite);
        ASSERT_EQ(1, Run(std::wstring(kind) + L" (10,50)-(40,50)-(70,50)-(100,50), COLOR_RED\n"));
        RECT drawn = canvas.BoundsOf(kRed);
        // Truncated curve points of a level line may fall a hair short of it.
        EXPECT_GE(drawn.top, 49) << Text(drawn);
        EXPECT_LE(drawn.bottom, 51) << Text(drawn);
        EXPECT_EQ(10, drawn.left) << Text(drawn);
        EXPECT_GT(drawn.right, 90) << Text(drawn);
    }
    // The current point stays where it was.
    EXPECT_EQ(VyxVariant::Empty, Local(L"$_CP_[0]").GetType());
}

TEST_F(DrawCommands, SplinePointsPerCurveAreBoundByTheOutputSize)
{
    for (const wchar_t* kind : {L"BSPLINE", L"CSPLINE"}) {
        AllocationLimit limit(256 << 20);
        ASSERT_TRUE(limit);
        EXPECT_EQ(-3, Run(std::wstring(kind) + L" (10,50)-(40,50)-(70,50)-(100,50), COLOR_RED, 1, 0, 50000000\n"));
        EXPECT_LT(AllocationLimit::Largest(), 1u << 20) << kind;
    }
    // Many more points than the output has pixels are still drawn.
    ASSERT_EQ(1, Run(L"BSPLINE (10,50)-(40,50)-(70,50)-(100,50), COLOR_RED, 1, 0, 2000\n"));
    EXPECT_GT(canvas.Count(kRed), 0);
}

TEST_F(DrawCommands, DrawTextAsksTheHostToExpandItsText)
{
    host.expand = [](const std::wstring& text) { return text == L"$(Name)" ? L"ABC" : text; };
    ASSERT_EQ(1, Run(L"DRAWTEXT (0,0)-(120,40), \"$(Name)\", DT_CENTER, \"\", COLOR_RED, 12\n"));
    ASSERT_EQ(1u, host.requests.size());
    EXPECT_EQ(ScriptRequestExpandText, host.requests[0].type);
    EXPECT_EQ(L"$(Name)", host.requests[0].text);
    EXPECT_EQ(nullptr, host.requests[0].image);
    RECT drawn = canvas.BoundsOf(kRed);
    EXPECT_GT(drawn.right, drawn.left);
    EXPECT_GT(drawn.left, 30) << Text(drawn); // centred
    EXPECT_LE(drawn.bottom, 40) << Text(drawn);
}

TEST_F(DrawCommands, DrawTextSizesTheFontInPoints)
{
    auto heightOf = [this](const wchar_t* size) {
        canvas.Clear(kWhite);
        // Equal corners: the text goes out at the first corner, without format flags.
        Run(std::wstring(L"DRAWTEXT (10,10)-(10,10), \"H\", 0, \"\", COLOR_RED, ") + size + L"\n");
        RECT drawn = canvas.BoundsOfInk(kWhite);
        return static_cast<double>(drawn.bottom - drawn.top);
    };
    double twelve = heightOf(L"(0:12)");
    double twentyFour = heightOf(L"24");
    double nine = heightOf(L"0");
    ASSERT_GT(twelve, 0.0);
    EXPECT_NEAR(2.0, twentyFour / twelve, 0.35);
    EXPECT_NEAR(0.75, nine / twelve, 0.2);
}

TEST_F(DrawCommands, DrawTextBreaksLinesAtBackslashNWithWordBreak)
{
    auto heightOf = [this](const wchar_t* flags) {
        canvas.Clear(kWhite);
        Run(std::wstring(L"DRAWTEXT (0,0)-(120,120), \"H\\nH\", ") + flags + L", \"\", COLOR_RED, 12\n");
        RECT drawn = canvas.BoundsOf(kRed);
        return drawn.bottom - drawn.top;
    };
    int single = heightOf(L"0");
    int broken = heightOf(L"DT_WORDBREAK");
    EXPECT_GT(broken, single * 3 / 2);
}

TEST_F(DrawCommands, DrawImageFitsAndAlignsThePicture)
{
    SolidDib picture(200, 100, kRed);
    script.SetImage(picture); // nobody answers: the current picture is drawn
    script.SetCallback(nullptr);
    struct Row
    {
        const wchar_t* flags;
        RECT painted;
    } rows[] = {
        {L"0", {0, 0, 100, 50}},
        {L"DT_VCENTER", {0, 25, 100, 75}},
        {L"DT_RIGHT + DT_BOTTOM", {0, 50, 100, 100}},
        {L"DT_CENTER", {0, 0, 100, 50}},
    };
    for (const Row& row : rows) {
        canvas.Clear(kWhite);
        ASSERT_EQ(1, Run(std::wstring(L"DRAWIMAGE (0,0)-(100,100), ") + row.flags + L"\n"));
        EXPECT_EQ(Text(row.painted), Text(canvas.BoundsOf(kRed)));
        EXPECT_EQ(100 * 50, canvas.Count(kRed));
    }
    // Narrow area: fitted by width, centred horizontally by DT_CENTER.
    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"DRAWIMAGE (0,0)-(100,20), DT_CENTER\n"));
    EXPECT_EQ(Text(RECT{30, 0, 70, 20}), Text(canvas.BoundsOf(kRed)));
}

TEST_F(DrawCommands, DrawImageAsksTheHostForTheAreasPicture)
{
    SolidDib current(10, 10, kRed), answer(50, 50, kBlue);
    script.SetImage(current);
    host.answerArea = true;
    host.areaImage = answer;
    ASSERT_EQ(1, Run(L"DRAWIMAGE (10,20)-(60,70)\nDRAWIMAGE (60,60)-(10,10)\n"));
    ASSERT_EQ(1u, host.requests.size()); // a reversed area asks nothing
    EXPECT_EQ(ScriptRequestAreaImage, host.requests[0].type);
    EXPECT_EQ(static_cast<HGLOBAL>(current), host.requests[0].image);
    EXPECT_EQ(Text(RECT{10, 20, 60, 70}), Text(host.requests[0].area));
    EXPECT_EQ(Text(RECT{10, 20, 60, 70}), Text(canvas.BoundsOf(kBlue)));
    EXPECT_EQ(0, canvas.Count(kRed));
    EXPECT_EQ(static_cast<HGLOBAL>(current), script.GetImage()); // the answer is not kept

    canvas.Clear(kWhite);
    host.areaImage = nullptr;
    ASSERT_EQ(1, Run(L"DRAWIMAGE (10,20)-(60,70)\n"));
    EXPECT_EQ(0, canvas.Count(kBlue));
    EXPECT_EQ(0, canvas.Count(kRed));
}

TEST_F(DrawCommands, DrawImageDrawsThePlaceholderOfAMissingPicture)
{
    host.answerArea = true;
    host.areaImage = ScriptNoPicture;
    ASSERT_EQ(1, Run(L"DRAWIMAGE (10,10)-(90,90)\n"));
    EXPECT_EQ(kRed, canvas.Pixel(10, 50)); // frame
    EXPECT_EQ(kRed, canvas.Pixel(50, 50)); // the cross
    EXPECT_EQ(kRed, canvas.Pixel(30, 30));
    EXPECT_EQ(kRed, canvas.Pixel(70, 30));
    EXPECT_EQ(kWhite, canvas.Pixel(50, 30));
}

TEST_F(DrawCommands, DrawImageOfAnEmptyPicturePaintsNothing)
{
    HGLOBAL empty = GlobalAlloc(GHND, sizeof(BITMAPINFOHEADER));
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(empty));
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biPlanes = 1;
    header->biBitCount = 24;
    GlobalUnlock(empty);
    host.answerArea = true;
    host.areaImage = empty;
    EXPECT_EQ(1, Run(L"DRAWIMAGE (0,0)-(100,100), DT_CENTER\n"));
    EXPECT_EQ(canvas.Width() * canvas.Height(), canvas.Count(kWhite));
    GlobalFree(empty);
}

TEST_F(DrawCommands, BandedPaintingPaintsTheSamePixels)
{
    SolidDib picture(200, 100, kRed);
    script.SetImage(picture);
    script.SetBandHeight(7);
    ASSERT_EQ(1, Run(L"DRAWIMAGE (0,0)-(100,100)\n"));
    EXPECT_EQ(Text(RECT{0, 0, 100, 50}), Text(canvas.BoundsOf(kRed)));
    EXPECT_EQ(100 * 50, canvas.Count(kRed));
}

TEST_F(DrawCommands, CoordinatesAndPenWidthsConvertFromTheScriptUnit)
{
    // 2540 pixels over 254 mm: 254 dots per inch, so 10 mm is 100 pixels.
    script.GetDrawContext().SetDeviceSize(254, 254, 2540, 2540, 96, 96);
    script.SetUnit(UnitMillimetre);
    ASSERT_EQ(1, Run(L"BOX (1,1)-(11,11), COLOR_BLACK, 0.5\n"));
    // A 5-pixel pen (0.5 mm) on the edge at x = 10.
    EXPECT_EQ(kBlack, canvas.Pixel(9, 50));
    EXPECT_EQ(kBlack, canvas.Pixel(11, 50));
    EXPECT_EQ(kWhite, canvas.Pixel(4, 50));
    EXPECT_EQ(kWhite, canvas.Pixel(16, 50));
    EXPECT_EQ(kBlack, canvas.Pixel(109, 50));
    EXPECT_NEAR(110.0, CurrentPoint().x, 1e-9);
}

// A pen or a font a damaged script makes billions of pixels wide is drawn at twice the output's
// size: the run ends at once with the output covered, instead of the system taking minutes and
// memory for a stroke nobody sees.
TEST_F(DrawCommands, APenOrAFontFarLargerThanTheOutputIsDrawnAtTwiceItsSize)
{
    ASSERT_EQ(1, Run(L"LINE (10,60)-(100,60), COLOR_BLUE, 2000000000, -1\n"));
    EXPECT_EQ(kBlue, canvas.Pixel(0, 0));
    EXPECT_EQ(kBlue, canvas.Pixel(119, 119));

    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"DRAWTEXT (0,0)-(120,120), \"H\", DT_CENTER, \"\", COLOR_RED, 1000000000\n"));
    ASSERT_EQ(1, Run(L"DRAWTEXT (0,0)-(120,120), \"H\", DT_CENTER, \"\", COLOR_RED, (1000000000:1000000000)\n"));
}

TEST_F(DrawCommands, WithoutADeviceContextNothingIsDrawnOrLogged)
{
    script.AttachDC(nullptr, 0);
    ScratchSettings settings;
    WriteAppIniInt(L"LOG", L"Level", LogLevelInfo);
    CapturedLog log;
    ASSERT_EQ(1, Run(L"BOX (0,0)-(10,10)\nDRAWTEXT (0,0)-(50,50), \"x\"\nDRAWIMAGE (0,0)-(9,9)\n"));
    EXPECT_TRUE(log.records.empty());
    EXPECT_TRUE(host.requests.empty());
    EXPECT_EQ(canvas.Width() * canvas.Height(), canvas.Count(kWhite));
}

TEST_F(DrawCommands, EachCommandLogsItsPointsAndParameters)
{
    ScratchSettings settings;
    WriteAppIniInt(L"LOG", L"Level", LogLevelInfo);
    struct Row
    {
        const wchar_t* line;
        const wchar_t* logged;
    } rows[] = {
        {L"BOX (0,0)-(10,10)", L"Box (0, 0)-(10, 10), #000000, 0, 0, #000000, 0"},
        {L"BOX -(20,20), COLOR_RED, 2, PS_DASH, #102030, HS_CROSS", L"Box -(20, 20), #FF0000, 2, 1, #102030, 4"},
        {L"LINE (1,2)-(3,4), COLOR_BLUE, 1.5, -3", L"Line (1,2)-(3,4), #0000FF, 1.5, 0"},
        {L"POLYGON (0,0)-(5,0)-(0,5)", L"Polygon (0,0)-(5,0)-(0,5), #000000, 0, 0, #000000, 0"},
        {L"RoundBox (0,0)-(9,9), 0, 3, 4", L"RoundBox (0,0)-(9,9), #000000, 3, 4, 0, 0, #000000, 0"},
        {L"CIRCLE (5,5), 2, 3, COLOR_GREEN", L"Circle (5, 5), 2, 3, #00FF00, 0, 0, #000000, 0"},
        {L"BSPLINE (0,0)-(1,1)-(2,2)-(3,3), 0, 1", L"BSpLine (0, 0)-(1, 1)-(2, 2)-(3, 3), #000000, 1, 0, 100"},
        {L"CSPLINE (0,0)-(1,1)-(2,2)-(3,3), 0, 1, 0, 8", L"CSpLine (0,0)-(1,1)-(2,2)-(3,3), #000000, 1, 0, 8"},
        {L"DRAWTEXT (1,2)-(30,40), \"hi\", 1, \"\", COLOR_RED, (0:12), FW_BOLD + LF_ITALIC + LF_STRIKEOUT",
         L"DrawText (1, 2)-(30, 40), \"hi\", 1, \"\", #FF0000, (0:12), 700+LF_ITALIC+LF_STRIKEOUT"},
        {L"DRAWIMAGE (0,0)-(10,10), 4", L"DrawImage (0,0)-(10,10),4"},
    };
    for (const Row& row : rows) {
        // BOX -(...) needs the current point of a BOX before it in the same run.
        std::wstring text = std::wstring(L"BOX (0,0)-(0,0)\n") + row.line + L"\n";
        CapturedLog log;
        ASSERT_EQ(1, Run(text));
        ASSERT_EQ(2u, log.records.size()) << std::string(row.line, row.line + wcslen(row.line));
        EXPECT_STREQ(row.logged, log.records[1].message);
    }
}

// Shapes far beyond what the platform's drawing takes are cut at its limit: the canvas shows the
// part of each shape that covers it.
TEST_F(DrawCommands, ACircleFarBeyondThePlatformLimitShowsThePartOnTheCanvas)
{
    // The sides, upright across the whole canvas.
    ASSERT_EQ(1, Run(L"CIRCLE (50,50), 10, 1e9\n"));
    const RECT sides = canvas.BoundsOf(kBlack);
    EXPECT_EQ(40, sides.left) << Text(sides);
    EXPECT_NEAR(60, sides.right, 1) << Text(sides);
    EXPECT_EQ(0, sides.top);
    EXPECT_EQ(120, sides.bottom);
    EXPECT_EQ(kBlack, canvas.Pixel(40, 5));
    EXPECT_EQ(kWhite, canvas.Pixel(50, 60));

    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"CIRCLE (50,50), 1e9, 1e9, COLOR_BLACK, 1, PS_SOLID, COLOR_RED\n"));
    EXPECT_EQ(120 * 120, canvas.Count(kRed));

    // The top of a circle whose centre lies 1e9 below y = 60: its edge crosses the canvas level.
    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"CIRCLE (60,1000000060), 1e9, 1e9, COLOR_BLACK, 1, PS_SOLID, COLOR_RED\n"));
    EXPECT_EQ(kWhite, canvas.Pixel(10, 50));
    EXPECT_EQ(kRed, canvas.Pixel(110, 70));
    const RECT edge = canvas.BoundsOf(kBlack);
    EXPECT_EQ(0, edge.left);
    EXPECT_EQ(120, edge.right);
    EXPECT_GE(edge.top, 58) << Text(edge);
    EXPECT_LE(edge.bottom, 62) << Text(edge);

    // Off the canvas altogether: nothing.
    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"CIRCLE (-1000000010,50), 1e9, 1e9, COLOR_BLACK, 1, PS_SOLID, COLOR_RED\n"));
    EXPECT_EQ(120 * 120, canvas.Count(kWhite));
    EXPECT_DOUBLE_EQ(-1000000010.0, CurrentPoint().x);
}

TEST_F(DrawCommands, LinesAndPolygonsBeyondThePlatformLimitKeepTheirDirection)
{
    // Half as steep as the diagonal: through (100, 50), give or take a pixel.
    auto onTheLine = [this](int x) {
        return canvas.Pixel(x, x / 2 - 1) == kBlack || canvas.Pixel(x, x / 2) == kBlack ||
               canvas.Pixel(x, x / 2 + 1) == kBlack;
    };
    ASSERT_EQ(1, Run(L"LINE (0,0)-(2000000000,1000000000)\n"));
    EXPECT_TRUE(onTheLine(100));
    EXPECT_TRUE(onTheLine(20));
    EXPECT_EQ(kWhite, canvas.Pixel(100, 100));
    EXPECT_DOUBLE_EQ(2e9, CurrentPoint().x);

    // Coming back from there with "-": the pen stood at the limit on the same line.
    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"LINE (0,0)-(2000000000,1000000000)\nLINE -(0,100)\n"));
    EXPECT_EQ(kWhite, canvas.Pixel(100, 100));
    EXPECT_TRUE(onTheLine(100));

    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"POLYGON (-2147483648,-2147483648)-(2147483648,2147483648)-(-2147483648,2147483648), "
                     L"COLOR_RED, 1, PS_SOLID, COLOR_RED\n"));
    EXPECT_EQ(kRed, canvas.Pixel(10, 100));
    EXPECT_EQ(kWhite, canvas.Pixel(100, 10));

    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"BSPLINE (-1e300,60)-(0,60)-(100,60)-(1e300,60), COLOR_RED, 1, 0, 50\n"));
    // One row across the canvas: the curve's weights add up to a hair under 60, drawn at row 59.
    EXPECT_EQ(120, canvas.Count(kRed));
    EXPECT_TRUE(canvas.Pixel(60, 59) == kRed || canvas.Pixel(60, 60) == kRed);
    EXPECT_TRUE(canvas.Pixel(0, 59) == kRed || canvas.Pixel(0, 60) == kRed);
    canvas.Clear(kWhite);
    ASSERT_EQ(1, Run(L"BOX (-1e300,-1e300)-(1e300,1e300), COLOR_BLACK, 1, PS_SOLID, COLOR_RED\n"));
    EXPECT_EQ(120 * 120, canvas.Count(kRed));
}

} // namespace
