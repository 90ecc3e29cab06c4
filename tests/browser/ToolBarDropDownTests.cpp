// A tool-bar button's drop-down menu opens uncovered: the button's tip, due from the pointer's
// rest on it, does not come up over the menu's first entry.
#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "common/RealInput.h"
#include "res/resource.h"

#include <atomic>
#include <commctrl.h>

namespace {

struct TipSearch
{
    CRect area;
    bool found = false;
};

BOOL CALLBACK FindTipOver(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TipSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    CRect rect, overlap;
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && IsClass(window, TOOLTIPS_CLASSW) &&
        GetWindowRect(window, &rect) && overlap.IntersectRect(rect, search->area))
        search->found = true;
    return !search->found;
}

// A visible tip window of this process lying over the rectangle.
bool TipOver(const CRect& area)
{
    TipSearch search{area};
    EnumWindows(FindTipOver, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

TEST(ToolBarDropDown, TheButtonsTipStaysAwayWhileItsMenuIsOpen)
{
    FrameProgram p;
    PaintAndIdle(p);
    ASSERT_TRUE(MakeActive(*p.Frame()));
    CToolBarCtrl& bar = p.Frame()->GetToolBar().GetToolBarCtrl();
    const int index = bar.CommandToIndex(ID_THUMBS_SMALLER);
    ASSERT_GE(index, 0);
    CRect button;
    ASSERT_TRUE(bar.GetItemRect(index, &button));
    // The arrow is the right end of the button.
    CPoint arrow(button.right - 4, button.CenterPoint().y);
    bar.ClientToScreen(&arrow);
    ASSERT_TRUE(ShowsAt(bar.GetSafeHwnd(), arrow));
    HWND tips = bar.GetToolTips();
    ASSERT_NE(nullptr, tips);
    const DWORD delay = static_cast<DWORD>(SendMessageW(tips, TTM_GETDELAYTIME, TTDT_INITIAL, 0));

    std::atomic<bool> done{false};
    bool menuShown = false, tipOverMenu = false;
    {
        HelperThread user([&] {
            if (HWND menu = WaitForMenu()) {
                menuShown = true;
                CRect rect;
                GetWindowRect(menu, &rect);
                // Well past the time the tip takes to come up.
                tipOverMenu = WaitUntil([&] { return TipOver(rect); }, 4 * delay + 2000);
            }
            DriveMenu(p.Frame()->GetSafeHwnd(), -1);
            done = true;
        });
        SendMouse(arrow, 0);
        SendClick(arrow, MOUSEEVENTF_LEFTDOWN);
        EXPECT_TRUE(RunLoopUntil([&] { return done.load(); }));
    }
    EXPECT_TRUE(menuShown);
    EXPECT_FALSE(tipOverMenu);
    // Afterwards the bar's tips are on again.
    SendMouse(CPoint(arrow.x - button.Width() / 2, arrow.y), 0);
    EXPECT_TRUE(RunLoopUntil([&] { return IsWindowVisible(tips) != FALSE; }, 4 * delay + 5000));
}
