// Every message box of the program goes through ShowMessageBox: shown here with the longest
// names, each box must lie in the work area and show its whole text.
#include "foundation/MessageBoxes.h"

#include "common/LongNames.h"
#include "common/WindowTestUtil.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// The work area as a test sets it, put back when the test ends.
class WorkAreaScope
{
public:
    explicit WorkAreaScope(const RECT& area)
    {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &m_saved, 0);
        RECT wanted = area;
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &wanted, 0);
    }
    ~WorkAreaScope() { SystemParametersInfoW(SPI_SETWORKAREA, 0, &m_saved, 0); }

private:
    RECT m_saved = {};
};

TEST(MessageBoxes, ABoxOfTheLongestNamesLiesInTheWorkAreaAndShowsItsWholeText)
{
    int rows = 0;
    for (const longnames::Inserts& names : longnames::All()) {
        const struct
        {
            const char* what;
            CString text;
            UINT type;
            bool ownCaption;
        } cases[] = {
            {"a name", names.name, MB_OK | MB_ICONSTOP, false},
            {"a path and a question", names.path + L"\n\nこのファイルは既にあります。置き換えますか？",
             MB_YESNOCANCEL | MB_ICONQUESTION, false},
            {"two names in a sentence", L"「" + names.name + L"」と「" + names.other + L"」", MB_ABORTRETRYIGNORE,
             false},
            {"narrow letters after wide ones", CString(L'i', 255) + names.name, MB_OK, false},
            {"with the caller's caption and owner", names.path + L"\n" + names.name, MB_OK | MB_ICONINFORMATION, true},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(names.what) + ": " + c.what);
            ++rows;
            const SeenMessageBox box = LookAtMessageBox([&] {
                if (c.ownCaption)
                    ShowMessageBox(GetDesktopWindow(), c.text, L"起動に失敗しました", c.type);
                else
                    ShowMessageBox(c.text, c.type);
            });
            ASSERT_TRUE(box.seen);
            EXPECT_TRUE(box.whole) << box.rect.left << "," << box.rect.top << " - " << box.rect.right << ","
                                   << box.rect.bottom;
            EXPECT_EQ(Joined(c.text), Joined(box.text));
            if (c.ownCaption) {
                EXPECT_EQ(CString(L"起動に失敗しました"), box.caption);
            }
        }
    }
    EXPECT_EQ(10, rows);
}

TEST(MessageBoxes, TheBoxDrawsItsTextInTheMessageFontTheLinesAreMeasuredIn)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    const SeenMessageBox box = LookAtMessageBox([] { ShowMessageBox(L"フォント", MB_OK); });
    ASSERT_TRUE(box.seen);
    EXPECT_STREQ(metrics.lfMessageFont.lfFaceName, box.font.lfFaceName);
    EXPECT_EQ(metrics.lfMessageFont.lfHeight, box.font.lfHeight);
    EXPECT_EQ(metrics.lfMessageFont.lfWeight, box.font.lfWeight);
}

TEST(MessageBoxes, ATextOfTheStringTableIsShownAsTheTableHasIt)
{
    CString expected;
    ASSERT_TRUE(expected.LoadString(IDS_LISTEDIT_FULL));
    const SeenMessageBox box = LookAtMessageBox([] { ShowMessageBox(IDS_LISTEDIT_FULL); });
    ASSERT_TRUE(box.seen);
    EXPECT_TRUE(box.whole);
    EXPECT_EQ(expected, Joined(box.text));
}

TEST(MessageBoxes, ATextTallerThanTheWorkAreaKeepsItsFirstAndLastLinesAndMarksTheCut)
{
    CString text;
    for (int i = 1; i <= 120; ++i)
        text.AppendFormat(L"%s%d 行目", i > 1 ? L"\r\n" : L"", i);
    text += L"\r\n続けますか？";
    const SeenMessageBox box = LookAtMessageBox([&] { ShowMessageBox(text, MB_YESNO | MB_ICONQUESTION); }, IDNO);
    ASSERT_TRUE(box.seen);
    EXPECT_TRUE(box.whole);
    EXPECT_EQ(0, box.text.Find(L"1 行目\r\n2 行目"));
    EXPECT_NE(-1, box.text.Find(L"…\r\n"));
    EXPECT_EQ(box.text.GetLength() - 6, box.text.Find(L"続けますか？"));
    EXPECT_EQ(-1, box.text.Find(L"\r\n60 行目\r\n"));
}

TEST(MessageBoxes, ASmallerWorkAreaBoundsTheBoxBothWays)
{
    // The platform centres the box on the screen, not on the work area set here: its size is
    // what the work area bounds.
    const int width = 360, height = 300;
    WorkAreaScope area(RECT{0, 0, width, height});
    const longnames::Inserts names = longnames::All().back();
    const CString text = names.path + L"\r\n" + names.name + L"\r\n" + names.other;
    const SeenMessageBox box = LookAtMessageBox([&] { ShowMessageBox(text, MB_OK | MB_ICONSTOP); });
    ASSERT_TRUE(box.seen);
    EXPECT_LE(box.rect.right - box.rect.left, width);
    EXPECT_LE(box.rect.bottom - box.rect.top, height);
}

TEST(MessageBoxes, AListTellsAsManyOfItsItemsAsTheBoxShowsWhole)
{
    const longnames::Inserts names = longnames::All().back();
    const struct
    {
        const char* what;
        CString item;
        size_t most;
        size_t expectedAtLeast, expectedAtMost;
    } cases[] = {
        {"short names: all ten", L"a.jpg", 10, 10, 10},
        {"long paths: fewer, at least one", names.path, 10, 1, 9},
        {"one item too long for any box: still one", CString(L'漢', 8000), 3, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto compose = [&](size_t told) {
            CString text = L"次のファイルのコメントを書き込めませんでした。";
            for (size_t i = 0; i < told; ++i)
                text += L"\r\n" + c.item;
            return text;
        };
        const size_t told = ItemsShownWhole(c.most, compose);
        EXPECT_GE(told, c.expectedAtLeast);
        EXPECT_LE(told, c.expectedAtMost);
        if (c.expectedAtMost > 1) {
            // The list told is shown whole, and one more item would not be.
            EXPECT_EQ(Joined(compose(told)), Joined(FitMessageText(compose(told))));
            if (told < c.most) {
                EXPECT_NE(Joined(compose(told + 1)), Joined(FitMessageText(compose(told + 1))));
            }
        }
    }
}

} // namespace
