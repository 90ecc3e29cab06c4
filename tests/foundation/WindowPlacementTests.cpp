#include "foundation/WindowPlacement.h"

#include "TestSettings.h"

#include <gtest/gtest.h>

namespace {

HWND MakeWindow()
{
    return CreateWindowExW(0, L"STATIC", L"placement", WS_OVERLAPPEDWINDOW, 40, 50, 300, 200, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

WINDOWPLACEMENT PlacementOf(HWND window)
{
    WINDOWPLACEMENT p = {};
    p.length = sizeof p;
    GetWindowPlacement(window, &p);
    return p;
}

// A new window restored from a hidden placement saved at `rect`: whether it stayed where it was made,
// or else whether it went to `rect`.
struct RestoredAt
{
    bool stayed;
    bool atRect;
};

RestoredAt RestoreSavedAt(const RECT& rect, const CString& text)
{
    HWND window = MakeWindow();
    EXPECT_TRUE(window);
    WriteAppIniInt(L"Frame", L"WindowPlacement\\flags", 0);
    WriteAppIniInt(L"Frame", L"WindowPlacement\\showCmd", SW_HIDE);
    WriteAppIniString(L"Frame", L"WindowPlacement\\rcNormalPosition", text);
    const WINDOWPLACEMENT before = PlacementOf(window);
    RestoreWindowPlacement(window, L"Frame");
    const WINDOWPLACEMENT after = PlacementOf(window);
    DestroyWindow(window);
    return {EqualRect(&before.rcNormalPosition, &after.rcNormalPosition) != FALSE,
            EqualRect(&rect, &after.rcNormalPosition) != FALSE};
}

} // namespace

TEST(WindowPlacement, NeverSavedSectionLeavesTheWindowAlone)
{
    ScratchSettings settings;
    HWND window = MakeWindow();
    ASSERT_TRUE(window);
    WINDOWPLACEMENT before = PlacementOf(window);
    RestoreWindowPlacement(window, L"NeverSaved");
    WINDOWPLACEMENT after = PlacementOf(window);
    EXPECT_TRUE(EqualRect(&before.rcNormalPosition, &after.rcNormalPosition));
    EXPECT_EQ(before.showCmd, after.showCmd);
    DestroyWindow(window);
}

TEST(WindowPlacement, SavedPlacementComesBackWhole)
{
    ScratchSettings settings;
    HWND window = MakeWindow();
    ASSERT_TRUE(window);
    WINDOWPLACEMENT p = PlacementOf(window);
    p.showCmd = SW_HIDE; // showing would wait for a window manager that Xvfb lacks
    p.rcNormalPosition = {110, 120, 530, 440};
    p.ptMaxPosition = {-4, -4};
    SetWindowPlacement(window, &p);
    SaveWindowPlacement(window, L"Frame");
    CString text;
    EXPECT_STREQ(L"110,120,530,440",
                 GetAppIniString(text, L"Frame", L"WindowPlacement\\rcNormalPosition", L"").GetString());
    HWND other = MakeWindow();
    RestoreWindowPlacement(other, L"Frame");
    WINDOWPLACEMENT restored = PlacementOf(other);
    WINDOWPLACEMENT saved = PlacementOf(window);
    EXPECT_TRUE(EqualRect(&saved.rcNormalPosition, &restored.rcNormalPosition));
    EXPECT_EQ(saved.showCmd, restored.showCmd);
    EXPECT_EQ(saved.flags, restored.flags);
    EXPECT_EQ(saved.ptMaxPosition.x, restored.ptMaxPosition.x);
    EXPECT_EQ(saved.ptMinPosition.y, restored.ptMinPosition.y);
    DestroyWindow(other);
    DestroyWindow(window);
}

TEST(WindowPlacement, ADamagedOrLostRectangleKeepsTheWindowWhereItWasMade)
{
    ScratchSettings settings;
    const int screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    CString right, below;
    right.Format(L"%d,100,%d,500", screenWidth + 10, screenWidth + 610);
    below.Format(L"100,%d,700,%d", screenHeight + 10, screenHeight + 410);
    const CString refused[] = {L"",
                               L"damaged",
                               L"0,0,0,0",
                               L"500,400,100,100", // inverted
                               L"100,100,216,127", // a bare caption
                               L"100,100,700",     // a field short: no height
                               L"-30000,-30000,-29400,-29600",
                               right,
                               below,
                               L"100,-2000,700,-1600", // the caption above every screen
                               L"-2147483648,0,2147483647,600"};
    for (const CString& rect : refused) {
        HWND window = MakeWindow();
        ASSERT_TRUE(window);
        WriteAppIniInt(L"Frame", L"WindowPlacement\\flags", 0);
        WriteAppIniInt(L"Frame", L"WindowPlacement\\showCmd", SW_HIDE);
        WriteAppIniString(L"Frame", L"WindowPlacement\\rcNormalPosition", rect);
        WINDOWPLACEMENT before = PlacementOf(window);
        RestoreWindowPlacement(window, L"Frame");
        WINDOWPLACEMENT after = PlacementOf(window);
        EXPECT_TRUE(EqualRect(&before.rcNormalPosition, &after.rcNormalPosition)) << rect.GetString();
        DestroyWindow(window);
    }
    // Partly off the screen, with its caption within reach, a window goes where it was left.
    HWND window = MakeWindow();
    WriteAppIniString(L"Frame", L"WindowPlacement\\rcNormalPosition", L"-200,30,400,330");
    RestoreWindowPlacement(window, L"Frame");
    const RECT expected = {-200, 30, 400, 330};
    WINDOWPLACEMENT after = PlacementOf(window);
    EXPECT_TRUE(EqualRect(&expected, &after.rcNormalPosition));
    DestroyWindow(window);
}

TEST(WindowPlacement, AWindowWithLessThan48PixelsOfCaptionOnTheWorkAreaKeepsWhereItWasMade)
{
    ScratchSettings settings;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor));
    const RECT& work = monitor.rcWork;
    struct Row
    {
        int onScreen; // pixels of the caption's width on the work area
        bool atRight; // hanging off the work area's right edge, else its left
    };
    const Row rows[] = {{14, true}, {47, true}, {14, false}, {47, false}, {48, true}, {48, false}};
    for (const Row& row : rows) {
        const LONG left = row.atRight ? work.right - row.onScreen : work.left + row.onScreen - 600;
        const RECT rect = {left, work.top + 100, left + 600, work.top + 500};
        CString text;
        text.Format(L"%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right, rect.bottom);
        const RestoredAt restored = RestoreSavedAt(rect, text);
        EXPECT_TRUE(row.onScreen < 48 ? restored.stayed : restored.atRect) << text.GetString();
    }
}

TEST(WindowPlacement, AWindowWithLessThanHalfItsCaptionHeightOnTheWorkAreaKeepsWhereItWasMade)
{
    ScratchSettings settings;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor));
    const RECT& work = monitor.rcWork;
    // The caption's strip: the caption and the frame above it.
    const int caption = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    const int half = (caption + 1) / 2;
    ASSERT_GT(half, 1);
    struct Row
    {
        int onScreen; // pixels of the caption's height on the work area
        bool atTop;   // hanging off the work area's top edge, else its bottom
    };
    const Row rows[] = {{1, true},  {half - 1, true},  {half, true},  {caption, true},
                        {1, false}, {half - 1, false}, {half, false}, {caption, false}};
    for (const Row& row : rows) {
        const LONG top = row.atTop ? work.top - (caption - row.onScreen) : work.bottom - row.onScreen;
        const RECT rect = {work.left + 100, top, work.left + 700, top + 400};
        CString text;
        text.Format(L"%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right, rect.bottom);
        EXPECT_EQ(row.onScreen >= half, IsCaptionWithinReach(rect)) << text.GetString();
        const RestoredAt restored = RestoreSavedAt(rect, text);
        EXPECT_TRUE(row.onScreen < half ? restored.stayed : restored.atRect) << text.GetString();
    }
}
