#include "foundation/MessageLines.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Columns as the breaker counts them: wide characters two.
int WidthOf(const CString& line)
{
    int columns = 0;
    for (int i = 0; i < line.GetLength(); ++i)
        columns += line[i] >= 0xDC00 && line[i] <= 0xDFFF ? 0 : line[i] >= 0x1100 && line[i] < 0xFF61 ? 2 : 1;
    return columns;
}

std::vector<CString> Lines(const CString& text)
{
    std::vector<CString> lines;
    int start = 0;
    for (int at; (at = text.Find(L"\r\n", start)) >= 0; start = at + 2)
        lines.push_back(text.Mid(start, at - start));
    lines.push_back(text.Mid(start));
    return lines;
}

CString Joined(const CString& text)
{
    CString joined = text;
    joined.Replace(L"\r\n", L"");
    return joined;
}

TEST(MessageLines, EveryLineOfALongMessageFitsAndNothingIsLostOrAdded)
{
    const CString longName(L'x', 240), japanese(L'長', 90);
    const struct
    {
        CString text;
        std::vector<CString> expected; // empty: only checked to fit and to keep every character
    } cases[] = {
        {L"short line", {L"short line"}},
        {L"", {L""}},
        // Breaks already there stay; a line that fits is left whole.
        {L"first\r\nsecond", {L"first", L"second"}},
        // A path breaks after a separator in the last third of the line.
        {L"C:\\Photos\\2025\\" + CString(L'a', 50) + L"\\" + CString(L'b', 30) + L".jpg",
         {L"C:\\Photos\\2025\\" + CString(L'a', 50) + L"\\", CString(L'b', 30) + L".jpg"}},
        // No place to break: cut at the limit.
        {longName, {CString(L'x', 72), CString(L'x', 72), CString(L'x', 72), CString(L'x', 24)}},
        // Full-width characters take two columns.
        {japanese, {CString(L'長', 36), CString(L'長', 36), CString(L'長', 18)}},
        {L"C:\\" + longName + L" → " + japanese, {}},
    };
    // The table is worked out for lines of 72 columns.
    const int columns = 72;
    for (const auto& c : cases) {
        const CString broken = BreakLongLines(c.text, columns);
        SCOPED_TRACE(CStringA(c.text.Left(40)).GetString());
        EXPECT_EQ(Joined(c.text), Joined(broken));
        for (const CString& line : Lines(broken))
            EXPECT_LE(WidthOf(line), columns) << CStringA(line).GetString();
        if (!c.expected.empty()) {
            EXPECT_EQ(c.expected, Lines(broken));
        }
    }
}

TEST(MessageLines, ByDefaultALineFitsTheMessageWidth)
{
    const CString path = L"C:\\" + CString(L'a', 150) + L"\\" + CString(L'写', 80) + L".jpg";
    for (const CString& line : Lines(BreakLongLines(path)))
        EXPECT_LE(WidthOf(line), kMessageColumns) << CStringA(line).GetString();
}

TEST(MessageLines, ASurrogatePairIsNeverSplitAcrossLines)
{
    // 𠮷 (U+20BB7) is a pair of UTF-16 units; in 72 columns 35 full-width characters and a
    // letter leave room for one column only, so the pair goes whole to the next line.
    const CString pair = L"\xD842\xDFB7";
    const CString text = CString(L'あ', 35) + L"a" + pair + pair;
    const std::vector<CString> lines = Lines(BreakLongLines(text, 72));
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(CString(L'あ', 35) + L"a", lines[0]);
    EXPECT_EQ(pair + pair, lines[1]);
}

TEST(MessageLines, ByPixelsAWideLetterTakesMoreRoomThanANarrowOne)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const auto pixels = [&](const CString& line) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, line, line.GetLength(), &size);
        return static_cast<int>(size.cx);
    };
    const int most = 200;
    // 255 columns of "W" and of "i", which a column count would break alike, a Japanese name and a
    // path, which still breaks after a separator in the line's last third.
    // The separator three quarters along the first line.
    const CString path =
        L"C:\\" + CString(L'i', (most * 3 / 4 - pixels(L"C:\\")) / pixels(L"i")) + L"\\" + CString(L'W', 40);
    size_t wideLines = 0, narrowLines = 0;
    for (const CString& text : {CString(L'W', 255), CString(L'i', 255), CString(L'漢', 128), path}) {
        SCOPED_TRACE(CStringA(text.Left(20)).GetString());
        const CString broken = BreakLongLines(text, dc, most);
        const std::vector<CString> lines = Lines(broken);
        EXPECT_EQ(text, Joined(broken));
        // Full lines where nothing better offers: no more than one beyond what the pixels need.
        EXPECT_LE(lines.size(), static_cast<size_t>(pixels(text) / most + 2));
        for (const CString& line : lines)
            EXPECT_LE(pixels(line), most) << CStringA(line).GetString();
        if (text[0] == L'W')
            wideLines = lines.size();
        if (text[0] == L'i')
            narrowLines = lines.size();
        if (text == path) {
            EXPECT_EQ(L'\\', lines[0][lines[0].GetLength() - 1]);
        }
    }
    EXPECT_GT(wideLines, narrowLines);
    EXPECT_GT(narrowLines, 1u);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
}

} // namespace
