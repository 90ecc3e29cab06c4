// A pane held while it is refilled: hidden from drawing for the scope, then shown and drawn again
// whole, with a list's scroll bars already set for its new items; a list's header only when it
// changed.
#include <gtest/gtest.h>

#include "browser/DeferredRepaint.h"

#include <commctrl.h>

namespace {

struct ListWindow
{
    ListWindow()
    {
        top = CreateWindowExW(0, WC_STATICW, L"保持", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 320, 240, nullptr,
                              nullptr, nullptr, nullptr);
        list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 150, top, nullptr,
                               nullptr, nullptr);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 200;
        column.pszText = const_cast<wchar_t*>(L"名前");
        SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        UpdateWindow(top);
    }
    ~ListWindow() { DestroyWindow(top); }
    HWND Header() const { return reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)); }
    int HeaderBottom() const
    {
        RECT header = {};
        GetWindowRect(Header(), &header);
        MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&header), 2);
        return header.bottom;
    }
    void SetColumnText(const wchar_t* text)
    {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = const_cast<wchar_t*>(text);
        SendMessageW(list, LVM_SETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    }
    // As the program's list fills itself: with its own drawing turned off meanwhile.
    void Fill(int count)
    {
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        SendMessageW(list, LVM_SETITEMCOUNT, count, 0);
        for (int i = 0; i < count; ++i) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = const_cast<wchar_t*>(L"項目");
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    }
    HWND top = nullptr;
    HWND list = nullptr;
};

TEST(DeferredRepaint, AHeldListComesBackWholeWithItsScrollBarSetForTheNewItems)
{
    ListWindow window;
    ASSERT_TRUE(IsWindowVisible(window.list));
    {
        DeferredRepaint hold(window.list, DeferredRepaint::SettleOffScreen);
        EXPECT_FALSE(IsWindowVisible(window.list));
        {
            // A second hold of the same window leaves it to the first.
            DeferredRepaint inner(window.list);
        }
        EXPECT_FALSE(IsWindowVisible(window.list));
        window.Fill(200);
    }
    EXPECT_TRUE(IsWindowVisible(window.list));
    RECT update = {};
    EXPECT_TRUE(GetUpdateRect(window.list, &update, FALSE));
    RECT client = {};
    GetClientRect(window.list, &client);
    // The header's columns did not change: it keeps what it shows, and the rest is drawn again.
    client.top = window.HeaderBottom();
    EXPECT_TRUE(EqualRect(&client, &update)) << "the whole pane but its header is drawn again";
    EXPECT_FALSE(GetUpdateRect(window.Header(), &update, FALSE));
    // Before any paint the bar already spans the two hundred rows.
    SCROLLINFO bar = {};
    bar.cbSize = sizeof(bar);
    bar.fMask = SIF_RANGE | SIF_PAGE;
    ASSERT_TRUE(GetScrollInfo(window.list, SB_VERT, &bar));
    EXPECT_GT(bar.nMax - bar.nMin + 1, static_cast<int>(bar.nPage));
}

TEST(DeferredRepaint, AHeaderWhoseColumnsChangedOrMovedIsDrawnAgainWithThePane)
{
    ListWindow window;
    ASSERT_NE(nullptr, window.Header());
    RECT client = {}, update = {};
    {
        DeferredRepaint hold(window.list);
        window.Fill(20);
        window.SetColumnText(L"名前 ▲");
    }
    GetClientRect(window.list, &client);
    ASSERT_TRUE(GetUpdateRect(window.list, &update, FALSE));
    EXPECT_TRUE(EqualRect(&client, &update));
    EXPECT_TRUE(GetUpdateRect(window.Header(), &update, FALSE)) << "a changed title";
    UpdateWindow(window.top);

    // A column wider than the pane, scrolled to its right.
    SendMessageW(window.list, LVM_SETCOLUMNWIDTH, 0, 900);
    UpdateWindow(window.top);
    {
        DeferredRepaint hold(window.list);
        window.Fill(20);
        SendMessageW(window.list, LVM_SCROLL, 200, 0);
    }
    EXPECT_TRUE(GetUpdateRect(window.Header(), &update, FALSE)) << "a header scrolled sideways";
}

TEST(DeferredRepaint, AHiddenWindowStaysHidden)
{
    ListWindow window;
    ShowWindow(window.list, SW_HIDE);
    {
        DeferredRepaint hold(window.list, DeferredRepaint::SettleOffScreen);
        window.Fill(3);
    }
    EXPECT_EQ(0, GetWindowLongW(window.list, GWL_STYLE) & WS_VISIBLE);
    DeferredRepaint none(nullptr);
}

} // namespace
