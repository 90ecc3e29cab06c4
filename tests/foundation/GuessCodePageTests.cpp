#include "foundation/kanji/GuessCodePage.h"
#include "foundation/kanji/KanjiGuesser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Guesses a text the way the code-page conversion does: with its terminating NUL.
int Guess(const std::string& text, unsigned ansiCodePage = 932)
{
    return Kanji::GuessCodePageForAnsiCodePage(text.c_str(), static_cast<int>(text.size()) + 1, ansiCodePage);
}

struct GuessCase
{
    const char* what;
    std::string bytes;
    int codePage;
};

} // namespace

TEST(GuessCodePage, NamesTheEncodingOfTypicalTexts)
{
    const GuessCase cases[] = {
        {"ASCII file name", "photo_001.jpg", 0},
        {"Shift_JIS lead 0x81-0x8D", "\x82\xA0\x82\xA2.jpg", 932},
        {"Shift_JIS with an NEC character", "\x87\x40\x82\xA0", 932},
        {"two half-width katakana", "\xB1\xB2", 20932},
        {"EUC-JP", "\xA4\xEB\xB0\xA1", 20932},
        {"EUC-JP with JIS X 0212", "\xA4\xEB\x8F\xB0\xA1", 51932},
        {"EUC-JP with an NEC character", "\xA4\xEB\xAD\xA1", 51932},
        {"EUC-JP with JIS X 0213 row 15", "\xA4\xEB\xAF\xA1", 20932},
        {"ISO-2022-JP", "\x1B$B0!\x1B(B", 50220},
        {"ISO-2022-JP-1990 announcer", "\x1B&@\x1B$B0!\x1B(B", 50220},
        {"UTF-16 big-endian mark", "\xFE\xFF\x30\x42", 1200},
        {"UTF-16 little-endian mark", "\xFF\xFE\x42\x30", 1200},
        {"UTF-32 mark", std::string("\xFF\xFE\x00\x00", 4), 12000},
        {"UTF-32 big-endian mark", std::string("\x00\x00\xFE\xFF", 4), 12000},
        {"UTF-8 mark then ASCII",
         "\xEF\xBB\xBF"
         "abc",
         65001},
        {"one hiragana in UTF-8", "\xE3\x81\x82", 65001},
        {"ISO-2022-JP escape then Shift_JIS", "\x1B$B0!\x1B(B\x82\xA0", -1},
        {"Shift_JIS then an ISO-2022-JP escape", "\x82\xA0\x1B$B0!\x1B(B", -1},
        {"8-bit byte before the terminator", "abc\x82", 20932},
        {"unknown escape sequence",
         "\x1B"
         "Zabc",
         0},
    };
    for (const GuessCase& c : cases)
        EXPECT_EQ(c.codePage, Guess(c.bytes)) << c.what;
}

TEST(GuessCodePage, EmptyOrMissingInputIsAscii)
{
    EXPECT_EQ(0, GuessCodePage("", 0));
    EXPECT_EQ(0, GuessCodePage(nullptr, 10));
    EXPECT_EQ(0, GuessCodePage("abc", -5));
    // A single 8-bit byte that is the very last byte read pairs with nothing.
    EXPECT_EQ(0, GuessCodePage("abc\x82", 4));
}

TEST(GuessCodePage, FollowsMimeEncodedWords)
{
    const GuessCase cases[] = {
        {"'B' word", "=?UTF-8?B?44GC?=", 65001},
        {"'Q' word", "=?UTF-8?Q?=E3=81=82?=", 65001},
        {"small-letter header", "=?utf-8?b?44GC?=", 65001},
        {"'B' word without closing", "=?UTF-8?B?44GC", 0},
        {"header with a letter other than B or Q", "=?UTF-8?X?44GC?=", 0},
        {"ISO-2022-JP inside a 'B' word", "=?ISO-2022-JP?B?GyRCJCIbKEI=?=", 50220},
        {"two words with folded white space", "=?UTF-8?B?44GC?=\r\n =?UTF-8?B?44GC?=", 65001},
        {"'Q' word with soft line break", "=?UTF-8?Q?=E3=81=\r\n =82?=", 65001},
        {"'Q' word ended by a control byte", "=?UTF-8?Q?ab\tc", 0},
        {"'B' word short last group", "=?UTF-8?B?44GC4?=", 65001},
        {"Shift_JIS 'B' word", "=?SHIFT_JIS?B?gqA=?=", 932},
        {"ISO-2022-JP 'B' word with EUC-JP katakana", "=?ISO-2022-JP?B?GyRCMCEbKEKOsQ==?=", 50221},
        {"'=' not followed by '?'", "a=b\x82\xA0", 932},
    };
    for (const GuessCase& c : cases)
        EXPECT_EQ(c.codePage, Guess(c.bytes)) << c.what;
}

TEST(GuessCodePage, Utf8GuessFollowsTheAnsiCodePage)
{
    // U+301C has no JIS code in the code page 932 mapping, which tips the lowest score to Shift_JIS.
    EXPECT_EQ(932, Guess("\xE3\x80\x9C\xE3\x81\x82", 932));
    EXPECT_EQ(65001, Guess("\xE3\x80\x9C\xE3\x81\x82", 1252));
    EXPECT_EQ(932, Guess("\x82\xA0\x82\xA2", 1252));
}

TEST(GuessCodePage, LongWhiteSpaceAfterEncodedWordIsGivenBackWithoutEndingTheProcess)
{
    // More blanks than any fixed push-back store would hold, then Shift_JIS bytes: every blank
    // comes back, and the Shift_JIS pair after them is still seen.
    std::string text = "=?UTF-8?B?44GC?=" + std::string(100000, ' ') + "\x82\xA0";
    EXPECT_EQ(-1, Guess(text)); // UTF-8 word, then Shift_JIS: two names
    std::string folded = "=?UTF-8?B?44GC?=";
    for (int i = 0; i < 5000; ++i)
        folded += "\r\n \t";
    folded += "=?UTF-8?B?44GC?=";
    EXPECT_EQ(65001, Guess(folded));
}

TEST(GuessCodePage, FullCheckAheadReplaysEveryValueRead)
{
    // The header and text fill the 1024-value check ahead; the byte that ends the check is the
    // lead byte of a Shift_JIS pair and must reach the walk in the replay.
    std::string text = "=?UTF-8?B?" + std::string(1024 - 10, 'A') + "\x82\xA0";
    EXPECT_EQ(932, Guess(text));
    std::string longer = "=?UTF-8?B?" + std::string(5000, 'A') + "\x82\xA0";
    EXPECT_EQ(932, Guess(longer));
}

TEST(GuessCodePage, HugeTextsAndLongLookAheadsStayInBounds)
{
    // Half-width katakana keep EUC-JP and Shift_JIS both alive past the 2048-value hold.
    std::string kana;
    for (int i = 0; i < 10000; ++i)
        kana += static_cast<char>(0xB1 + i % 40);
    EXPECT_EQ(20932, Guess(kana));
    std::string escapes;
    for (int i = 0; i < 3000; ++i)
        escapes += "\x1B$(Q!!\x1B(I!\x0E!\x0F\x1B.A\x1BNz\x1B&@";
    EXPECT_EQ(50220, Guess(escapes));
}

TEST(EncodingNames, AliasesGiveTheirIndexAndCodePage)
{
    struct
    {
        const char* name;
        int index;
        int codePage;
    } const cases[] = {
        {"ASCII", 0, 0},        {"X-SJIS", 9, 932},          {"ms_kanji", 9, 932},
        {"cp932", 10, 932},     {"EUC-JP", 12, 20932},       {"eucjp-ms", 15, 51932},
        {"CP51932", 14, 51932}, {"CP50221", 4, 50221},       {"utf-8-mac", 24, 65001},
        {"UTF-16BE", 26, 1201}, {"UTF-32LE-BOM", 34, 12000}, {"BINARY", 35, -1},
        {"x-sjis", -1, -1},     {"SJIS2", -1, -1},           {"", -1, -1},
        {"CP1252", -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.index, FindEncodingIndex(c.name)) << c.name;
        EXPECT_EQ(c.codePage, EncodingIndexToCodePage(FindEncodingIndex(c.name))) << c.name;
    }
    EXPECT_EQ(-1, FindEncodingIndex(nullptr));
    EXPECT_EQ(-1, EncodingIndexToCodePage(36));
}
