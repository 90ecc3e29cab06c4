#include "../foundation/TestSettings.h"

#include "catalogue/VyxConfig.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct LayoutFile
{
    ScratchFolder folder{L"layout"};
    std::wstring path = folder / L"ThumbData.ini";
    VyxConfig config{path.c_str()};

    void Put(const wchar_t* section, const wchar_t* key, const wchar_t* value)
    {
        WritePrivateProfileStringW(section, key, value, path.c_str());
    }
    std::wstring Get(const wchar_t* section, const wchar_t* key)
    {
        wchar_t text[512] = {};
        GetPrivateProfileStringW(section, key, L"<none>", text, 512, path.c_str());
        return text;
    }
};

THUMBSDATA Marked()
{
    THUMBSDATA data;
    std::memset(&data, 0x5A, sizeof(data));
    return data;
}

} // namespace

TEST(ThumbLayout, SectionWithoutThumbnailWidthIsAbsentAndLeavesTheRecord)
{
    LayoutFile file;
    file.Put(L"Preset", L"ThumbsSizeHeight", L"90");
    file.Put(L"Preset", L"Frame", L"1");
    THUMBSDATA data = Marked(), untouched = Marked();
    EXPECT_EQ(0, file.config.Load(data, L"Preset"));
    EXPECT_EQ(0, std::memcmp(&data, &untouched, sizeof(data)));
}

TEST(ThumbLayout, MissingKeysTakeTheLayoutDefaults)
{
    LayoutFile file;
    file.Put(L"Preset", L"ThumbsSizeWidth", L"150");
    THUMBSDATA data = Marked();
    ASSERT_EQ(1, file.config.Load(data, L"Preset"));
    EXPECT_FALSE(data.Frame);
    EXPECT_EQ(1, data.FrameEdge);
    EXPECT_TRUE(data.NameFrame);
    EXPECT_EQ(2, data.NameFrameEdge);
    EXPECT_TRUE(data.Unsharp);
    EXPECT_TRUE(data.LimitCheck);
    EXPECT_EQ(1, data.Name);
    EXPECT_EQ(90, data.Name2Per);
    EXPECT_EQ(10, data.ScaleMode);
    EXPECT_FALSE(data.WordBreak);
    EXPECT_EQ(0, data.Shadow);
    EXPECT_EQ(25, data.ScaleStep);
    EXPECT_EQ(150, data.ThumbsSize.cx);
    EXPECT_EQ(110, data.ThumbsSize.cy);
    EXPECT_EQ(40, data.ThumbsLimitSize.cx);
    EXPECT_EQ(0, data.ThumbsMarginSize.cy);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), data.colBackGround);
    EXPECT_EQ(0x000000u, data.colText);
    EXPECT_EQ(0xFFF0F0u, data.colArcDraw);
    EXPECT_EQ(0xF0FFFFu, data.colCantDraw);
    EXPECT_EQ(0xFF8C8Cu, data.colSelectBackGround);
    EXPECT_EQ(0x000080u, data.colSelectCheck);
    EXPECT_DOUBLE_EQ(0.5, data.UnsharpLevel);
    EXPECT_STREQ(L"$(FileName)", data.NameFormat);
    // No "font": the split keys' defaults on the default family.
    EXPECT_STREQ(L"ＭＳ ゴシック", data.font.lfFaceName);
    EXPECT_EQ(-12, data.font.lfHeight);
    EXPECT_EQ(128, data.font.lfCharSet);
}

TEST(ThumbLayout, ValuesAreReadInTheirStoredForms)
{
    LayoutFile file;
    file.Put(L"Preset", L"ThumbsSizeWidth", L"120");
    file.Put(L"Preset", L"ThumbsLimitSizeWidth", L"5");
    file.Put(L"Preset", L"ThumbsLimitSizeHeight", L"11");
    file.Put(L"Preset", L"colText", L"#00FF0000");
    file.Put(L"Preset", L"colNormalDraw", L"16711680");
    file.Put(L"Preset", L"fontFaceName", L"IPAGothic");
    file.Put(L"Preset", L"fontHeight", L"-15");
    file.Put(L"Preset", L"fontWeight", L"700");
    file.Put(L"Preset", L"NameFormat", std::wstring(300, L'n').c_str());
    THUMBSDATA data = Marked();
    ASSERT_EQ(1, file.config.Load(data, L"Preset"));
    EXPECT_EQ(10, data.ThumbsLimitSize.cx);
    EXPECT_EQ(11, data.ThumbsLimitSize.cy);
    EXPECT_EQ(0xFF0000u, data.colText);
    EXPECT_EQ(data.colText, data.colNormalDraw);
    EXPECT_STREQ(L"IPAGothic", data.font.lfFaceName);
    EXPECT_EQ(-15, data.font.lfHeight);
    EXPECT_EQ(700, data.font.lfWeight);
    // Too long for its field: the part that fits.
    EXPECT_EQ(255u, wcslen(data.NameFormat));
}

TEST(ThumbLayout, SaveWritesTheFontWholeAndLoadGivesTheRecordBack)
{
    LayoutFile file;
    file.Put(L"Preset", L"ThumbsSizeWidth", L"130");
    file.Put(L"Preset", L"fontFaceName", L"IPAGothic");
    file.Put(L"Preset", L"fontHeight", L"-13");
    THUMBSDATA data = Marked();
    ASSERT_EQ(1, file.config.Load(data, L"Preset"));
    data.UnsharpLevel = 1.25;
    data.colSelectCheck = 0x00ABCDEF;
    data.WordBreak = TRUE;
    lstrcpyW(data.NameFormat, L"$(Name)\\n$(Size)");
    ASSERT_EQ(1, file.config.Save(data, L"Preset"));

    EXPECT_EQ(L"<none>", file.Get(L"Preset", L"fontFaceName"));
    EXPECT_EQ(L"<none>", file.Get(L"Preset", L"fontHeight"));
    EXPECT_EQ(184u, file.Get(L"Preset", L"font").size());
    EXPECT_EQ(L"#00ABCDEF", file.Get(L"Preset", L"colSelectCheck"));
    EXPECT_EQ(L"1.25", file.Get(L"Preset", L"UnsharpLevel"));
    EXPECT_EQ(L"1", file.Get(L"Preset", L"WordBreak"));

    THUMBSDATA again = Marked();
    ASSERT_EQ(1, file.config.Load(again, L"Preset"));
    EXPECT_EQ(0, std::memcmp(&data.font, &again.font, sizeof(LOGFONTW)));
    EXPECT_DOUBLE_EQ(1.25, again.UnsharpLevel);
    EXPECT_EQ(0x00ABCDEFu, again.colSelectCheck);
    EXPECT_STREQ(L"$(Name)\\n$(Size)", again.NameFormat);
    EXPECT_EQ(130, again.ThumbsSize.cx);
}

TEST(ThumbLayout, SizesComeWithinTheThumbnailDialogsRangesAndABadColourKeepsItsDefault)
{
    ScratchSettings settings;
    struct Case
    {
        const wchar_t* width;
        const wchar_t* height;
        const wchar_t* margin;
        SIZE size;
        LONG marginWidth;
    } cases[] = {
        {L"65536", L"65536", L"4", {800, 600}, 4},
        {L"0", L"-7", L"-3", {10, 10}, -3},
        {L"15000", L"15000", L"100000", {800, 600}, 800},
        {L"15000", L"15000", L"-2147483648", {800, 600}, -800},
        {L"300", L"200", L"2", {300, 200}, 2},
    };
    for (const Case& c : cases) {
        LayoutFile file;
        file.Put(L"Preset", L"ThumbsSizeWidth", c.width);
        file.Put(L"Preset", L"ThumbsSizeHeight", c.height);
        file.Put(L"Preset", L"ThumbsLimitSizeWidth", c.width);
        file.Put(L"Preset", L"ThumbsMarginWidth", c.margin);
        file.Put(L"Preset", L"ScaleStep", L"-4");
        file.Put(L"Preset", L"colBackGround", L"#xyz");
        file.Put(L"Preset", L"colText", L"#1xyz");
        file.Put(L"Preset", L"colArcDraw", L"#7F000000");
        file.Put(L"Preset", L"colCantDraw", L"#00102030");
        THUMBSDATA data = Marked();
        ASSERT_EQ(1, file.config.Load(data, L"Preset"));
        EXPECT_EQ(c.size.cx, data.ThumbsSize.cx) << c.width;
        EXPECT_EQ(c.size.cy, data.ThumbsSize.cy) << c.height;
        EXPECT_EQ(c.size.cx, data.ThumbsLimitSize.cx) << c.width;
        EXPECT_EQ(c.marginWidth, data.ThumbsMarginSize.cx) << c.margin;
        EXPECT_EQ(1, data.ScaleStep);
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), data.colBackGround);
        EXPECT_EQ(0x000000u, data.colText);
        EXPECT_EQ(0xFFF0F0u, data.colArcDraw);
        EXPECT_EQ(0x102030u, data.colCantDraw);
        // Reading never writes: the file keeps what it had.
        EXPECT_EQ(c.width, file.Get(L"Preset", L"ThumbsSizeWidth"));
    }
    // The largest cell is the dialog's own setting.
    WriteAppIniInt(L"System", L"ThumbsMaxXres", 2000);
    WriteAppIniInt(L"System", L"ThumbsMaxYres", 99999);
    LayoutFile file;
    file.Put(L"Preset", L"ThumbsSizeWidth", L"15000");
    file.Put(L"Preset", L"ThumbsSizeHeight", L"15000");
    THUMBSDATA data = Marked();
    ASSERT_EQ(1, file.config.Load(data, L"Preset"));
    EXPECT_EQ(2000, data.ThumbsSize.cx);
    EXPECT_EQ(600, data.ThumbsSize.cy);
}
