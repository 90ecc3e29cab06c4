#include "foundation/VyxUtility.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VyxUtility, OutCodeTellsWhereThePointLies)
{
    RECT r = {10, 10, 20, 20};
    RECT flipped = {20, 20, 10, 10};
    struct Row
    {
        POINT p;
        int code;
    } rows[] = {{{5, 5}, 9}, {{10, 15}, 0}, {{20, 20}, 0}, {{25, 15}, 2}, {{15, 25}, 4}, {{25, 5}, 10}, {{5, 25}, 5}};
    for (const Row& row : rows) {
        EXPECT_EQ(row.code, GetOutCode(r, row.p)) << row.p.x << "," << row.p.y;
        EXPECT_EQ(row.code, GetOutCode(flipped, row.p));
    }
}

TEST(VyxUtility, CrossedRectanglesOverlapInTheirCentralSquare)
{
    RECT horizontal = {0, 10, 30, 20};
    RECT vertical = {10, 0, 20, 30};
    RECT overlap;
    EXPECT_TRUE(GetRectOverlap(horizontal, vertical, &overlap));
    EXPECT_EQ(10, overlap.left);
    EXPECT_EQ(10, overlap.top);
    EXPECT_EQ(20, overlap.right);
    EXPECT_EQ(20, overlap.bottom);

    RECT inner = {5, 12, 8, 18};
    EXPECT_TRUE(GetRectOverlap(horizontal, inner, &overlap)); // inner's corners lie in the bar
    EXPECT_EQ(5, overlap.left);
    EXPECT_EQ(18, overlap.bottom);

    RECT distant = {100, 100, 110, 110};
    EXPECT_FALSE(GetRectOverlap(horizontal, distant, &overlap));
    EXPECT_FALSE(GetRectOverlap(horizontal, distant, nullptr));
}

TEST(VyxUtility, ConvertUnitFollowsTheUnitTable)
{
    struct Row
    {
        double value;
        int from, to, resolution;
        double expected;
    } rows[] = {
        {25.4, 9, 1, 96, 96.0}, {1, 10, 6, 0, 20.0},   {5, 7, 2, 0, 5.0},     {5, 2, 8, 0, 5.0},
        {5, 11, 2, 0, 5.0},     {3, 4, 4, 0, 3.0},     {10, 2, 9, 0, 1.0},    {1, 9, 3, 0, 100.0},
        {1, 4, 5, 0, 10.0},     {72, 10, 4, 0, 100.0}, {96, 1, 10, 96, 72.0}, {7, 1, 9, 0, 7.0},
    };
    for (const Row& row : rows)
        EXPECT_NEAR(row.expected, ConvertUnit(row.value, row.from, row.to, row.resolution), 1e-9)
            << row.from << "->" << row.to;
}

TEST(VyxUtility, AbbreviateMiddleKeepsHeadAndTail)
{
    CString out;
    EXPECT_STREQ(L"ab...ij", AbbreviateMiddle(out, L"abcdefghij", 7, 2, 2));
    EXPECT_STREQ(L"abcd...", AbbreviateMiddle(out, L"abcdefghij", 7, 6, 2));
    EXPECT_STREQ(L"abcdefg", AbbreviateMiddle(out, L"abcdefg", 7, 1, 1));
    EXPECT_STREQ(L"...j", AbbreviateMiddle(out, L"abcdefghij", 4, 0, 5));
    EXPECT_STREQ(L"...", AbbreviateMiddle(out, L"abcdef", 3, 1, 99));
    EXPECT_STREQ(L"a...fghij", AbbreviateMiddle(out, L"abcdefghij", 9, 1, 20));
}

TEST(VyxUtility, FindSubstringSearchesWithinTheLimit)
{
    EXPECT_EQ(3, FindSubstring(L"abcbcd", L"bcd", 0));
    EXPECT_EQ(1, FindSubstring(L"abc", L"bc", 0));
    EXPECT_EQ(-1, FindSubstring(L"abcdef", L"ef", 4));
    EXPECT_EQ(2, FindSubstring(L"abcdef", L"cd", 4)); // may end at the limit
    EXPECT_EQ(-1, FindSubstring(L"abc", L"", 0));
}

TEST(VyxUtility, WildcardMatchBacktracks)
{
    struct Row
    {
        const wchar_t* name;
        const wchar_t* pattern;
        bool match;
    } rows[] = {
        {L"photo.JPG", L"*.jpg", true},
        {L"aab", L"*ab", true},
        {L"abc", L"a*", true},
        {L"abc", L"a?c", true},
        {L"ac", L"a?c", false},
        {L"abc", L"*", true},
        {L"", L"*", true},
        {L"", L"?", false},
        {L"abcabd", L"*ab?", true},
        {L"abcabe", L"*abd", false},
        {L"x.tar.gz", L"*.gz", true},
        {L"ab", L"ab*c", false},
        {L"写真01", L"写真??", true},
        {L"abc", L"abc", true},
        {L"abcd", L"abc", false},
        {L"mississippi", L"*sip*", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.match, WildcardMatch(row.name, row.pattern)) << row.name << " ~ " << row.pattern;
}

TEST(VyxUtility, FileSpecsSplitAtTheLastDot)
{
    EXPECT_FALSE(MatchFileSpecs(L"README", L"*.*\0"));
    EXPECT_TRUE(MatchFileSpecs(L"README", L"*\0"));
    EXPECT_TRUE(MatchFileSpecs(L"a.png", L"*\0"));
    EXPECT_FALSE(MatchFileSpecs(L"a.png", L"\0"));
    EXPECT_TRUE(MatchFileSpecs(L"a.b.png", L"*.jpg\0a.b.*\0"));
    EXPECT_TRUE(MatchFileSpecList(L"a.png", L"*.jpg;*.png", L';'));
    EXPECT_FALSE(MatchFileSpecList(L"a.gif", L"*.jpg;*.png", L';'));
    EXPECT_FALSE(MatchFileSpecList(L"a.png", L"*.jpg; *.png", L';')); // specs are used as written
}

TEST(VyxUtility, ComparisonsOrderByLengthFirst)
{
    EXPECT_EQ(-2, CompareLengthFirst(L"b", L"aa"));
    EXPECT_EQ(2, CompareLengthFirst(L"aaa", L"b"));
    EXPECT_EQ(1, CompareLengthFirst(L"ab", L"aa"));
    EXPECT_EQ(0, CompareLengthFirst(L"ab", L"ab"));
    EXPECT_EQ(-1, CompareLengthFirst(L"AB", L"ab"));
    EXPECT_EQ(0, CompareLengthFirstNoCase(L"AB", L"ab"));
    EXPECT_EQ(-2, CompareLengthFirstNoCase(L"A", L"ab"));
    EXPECT_EQ(3, CommonPrefixLengthNoCase(L"ABCd", L"abcE"));
    EXPECT_EQ(0, CommonPrefixLengthNoCase(L"", L"abc"));
    EXPECT_EQ(2, CommonPrefixLengthNoCase(L"ab", L"abc"));
}

TEST(VyxUtility, FontsFallBackToTheGuiFont)
{
    LOGFONTW font;
    GetDefaultFontFamily(nullptr, font);
    EXPECT_NE(0, font.lfFaceName[0]);
    FindFontFamily(nullptr, L"No Such Font Anywhere", font);
    LOGFONTW gui;
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    EXPECT_STREQ(gui.lfFaceName, font.lfFaceName);
    FindFontFamily(nullptr, L"ＭＳ ゴシック", font);
    EXPECT_STREQ(L"ＭＳ ゴシック", font.lfFaceName);
}

TEST(VyxUtility, WrappingAdvancesEvenWhenOneCharacterIsTooWide)
{
    CStringArray lines;
    WrapTextToWidth(nullptr, L"abc\n\nde", 1, lines);
    ASSERT_EQ(6, lines.GetSize());
    EXPECT_STREQ(L"a", lines[0]);
    EXPECT_STREQ(L"", lines[3]);
    EXPECT_STREQ(L"e", lines[5]);
    WrapTextToWidth(nullptr, L"a short line", 10000, lines);
    ASSERT_EQ(1, lines.GetSize());
    EXPECT_STREQ(L"a short line", lines[0]);
}

} // namespace
