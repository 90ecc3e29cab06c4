#include <gtest/gtest.h>

#include "common/ControlTestUtil.h"
#include "browser/CMyStatusBar.h"

namespace {

const COLORREF kBar = RGB(0, 0, 128);

// The bar under the pane's background: the bar colour OR the inverted background.
COLORREF BarUnderFace()
{
    COLORREF face = ::GetSysColor(COLOR_3DFACE);
    return RGB(255 - GetRValue(face), 255 - GetGValue(face), (255 - GetBValue(face)) | 128);
}

// A host with the four panes of the main frame.
struct StatusFixture
{
    CTestHostWnd host;
    CMyStatusBar bar;
    StatusFixture()
    {
        host.SetWindowPos(&CWnd::wndTopMost, 20, 20, 760, 200, 0);
        EXPECT_TRUE(bar.Create(&host));
        static const UINT ids[] = {0, 0, 0, 0};
        EXPECT_TRUE(bar.SetIndicators(ids, 4));
        bar.SetPaneInfo(0, 1, SBPS_NORMAL, 200);
        bar.SetPaneInfo(1, 2, SBPS_NORMAL, 200);
        bar.SetPaneInfo(2, 3, SBPS_STRETCH, 0);
        bar.SetPaneInfo(3, 4, SBPS_NORMAL | SBPS_OWNERDRAW, 160);
        CRect client;
        host.GetClientRect(&client);
        CSize size = bar.CalcFixedLayout(TRUE, TRUE);
        bar.MoveWindow(0, client.bottom - size.cy, client.Width(), size.cy);
        bar.SetPaneText(3, L"ready");
        host.UpdateWindow();
        bar.UpdateWindow();
    }
    CRect Inner(int pane)
    {
        CRect rect;
        bar.GetItemRect(pane, &rect);
        rect.DeflateRect(1, 1);
        return rect;
    }
    // How many pixels of the pane's inside have the colour, as the screen shows them.
    int Count(int pane, COLORREF colour)
    {
        CRect rect = Inner(pane);
        HDC dc = ::GetDC(bar.GetSafeHwnd());
        int n = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                n += ::GetPixel(dc, x, y) == colour;
        ::ReleaseDC(bar.GetSafeHwnd(), dc);
        return n;
    }
    int Area(int pane) { return Inner(pane).Width() * Inner(pane).Height(); }
};

} // namespace

TEST(StatusBar, PromptsSentAsWindowTextNeverReachAPane)
{
    StatusFixture f;
    f.bar.SetPaneText(0, L"選択 1 ﾌｧｲﾙ");
    f.bar.SetWindowText(L"レディ");
    f.bar.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"prompt"));
    EXPECT_EQ(CString(L"選択 1 ﾌｧｲﾙ"), f.bar.GetPaneText(0));
}

TEST(StatusBar, FullProgressInvertsTheWholePaneAndHalfFillsHalf)
{
    StatusFixture f;
    f.bar.SetProgress(CMyStatusBar::PaneProgress, 100);
    int area = f.Area(3);
    int bar = f.Count(3, BarUnderFace());
    EXPECT_GT(bar, area * 6 / 10);
    EXPECT_GT(f.Count(3, RGB(255, 255, 255)), 0); // the black text shows white on the bar

    f.bar.SetProgress(CMyStatusBar::PaneProgress, 50);
    bar = f.Count(3, BarUnderFace());
    EXPECT_GT(bar, area * 3 / 10);
    EXPECT_LT(bar, area * 55 / 100);
    EXPECT_GT(f.Count(3, ::GetSysColor(COLOR_3DFACE)), area * 3 / 10);
    EXPECT_EQ(50, f.bar.GetLastProgress());
}

TEST(StatusBar, AnUnchangedPercentageDrawsNothingAndZeroRestoresTheText)
{
    StatusFixture f;
    f.bar.SetProgress(CMyStatusBar::PaneProgress, 40);
    // Paint over the pane: an equal percentage must leave it so.
    CRect rect = f.Inner(3);
    HDC dc = ::GetDC(f.bar.GetSafeHwnd());
    HBRUSH white = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    ::FillRect(dc, &rect, white);
    ::ReleaseDC(f.bar.GetSafeHwnd(), dc);
    f.bar.SetProgress(CMyStatusBar::PaneProgress, 40);
    EXPECT_EQ(f.Area(3), f.Count(3, RGB(255, 255, 255)));

    f.bar.SetProgress(CMyStatusBar::PaneProgress, 0);
    f.bar.UpdateWindow();
    EXPECT_EQ(0, f.Count(3, BarUnderFace()));
    EXPECT_EQ(0, f.Count(3, RGB(255, 255, 255)));
    EXPECT_GT(f.Count(3, ::GetSysColor(COLOR_3DFACE)), f.Area(3) / 2);
}

TEST(StatusBar, ProgressOnAPaneWithoutText)
{
    StatusFixture f;
    f.bar.SetProgress(CMyStatusBar::PaneAllItems, 100);
    EXPECT_EQ(f.Area(1), f.Count(1, kBar));
}
