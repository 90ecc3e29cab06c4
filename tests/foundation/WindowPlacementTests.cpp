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
