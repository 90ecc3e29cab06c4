// Widths of texts added up from their characters' widths: what the device measures for the whole
// text, in fonts of several kinds, and the device's own measure where a character has none alone.
#include "browser/TextWidthCache.h"

#include <gtest/gtest.h>

namespace {

CFont* MakeFont(CFont& font, LPCWSTR face, int height, int weight, BOOL italic)
{
    LOGFONTW logFont = {};
    logFont.lfHeight = height;
    logFont.lfWeight = weight;
    logFont.lfItalic = static_cast<BYTE>(italic);
    logFont.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(logFont.lfFaceName, face, LF_FACESIZE);
    font.CreateFontIndirect(&logFont);
    return &font;
}

} // namespace

TEST(TextWidthCache, MeasuresEveryTextAsTheDeviceMeasuresIt)
{
    const LPCWSTR texts[] = {L"", L"a", L"IMG_000123.JPG", L"写真_2024.夏休み.沖縄の海と空.jpg", L"ｶﾀｶﾅ_ﾒﾓ (2).png",
                             L"Ω≒∞ ー〜 ｰ～.txt", L"\u3000全角　空白\tタブ.bmp",
                             // A character outside the first plane: its two halves have no width alone.
                             L"\xD842\xDFB7野家_メニュー.jpg", L"WWWWWWWWWWiiiiiiiiii..........MMMMMMMMMM"};
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    struct Kind
    {
        LPCWSTR face;
        int height;
        int weight;
        BOOL italic;
    };
    const Kind kinds[] = {{L"ＭＳ Ｐゴシック", -12, FW_NORMAL, FALSE},
                          {L"ＭＳ ゴシック", -16, FW_BOLD, FALSE},
                          {L"MS Shell Dlg", -11, FW_NORMAL, TRUE},
                          {L"System", 0, FW_BOLD, FALSE}};
    int measured = 0;
    for (const Kind& kind : kinds) {
        CFont font;
        CFont* old = dc.SelectObject(MakeFont(font, kind.face, kind.height, kind.weight, kind.italic));
        TextWidthCache cache;
        cache.SetDC(&dc);
        // Twice: the characters' widths are remembered from the first pass.
        for (int pass = 0; pass < 2; ++pass)
            for (LPCWSTR text : texts) {
                EXPECT_EQ(dc.GetTextExtent(text).cx, cache.Width(text)) << kind.face << " " << pass;
                measured += text[0] != 0;
            }
        dc.SelectObject(old);
    }
    EXPECT_GT(measured, 0);
}

TEST(TextWidthCache, MeasuresNothingWithoutADevice)
{
    TextWidthCache cache;
    EXPECT_EQ(0, cache.Width(L"IMG_0001.JPG"));
    cache.SetDC(nullptr);
    EXPECT_EQ(0, cache.Width(L"IMG_0001.JPG"));
}
