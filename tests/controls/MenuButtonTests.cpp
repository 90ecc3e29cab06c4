#include "common/ControlTestUtil.h"

#include "controls/CComboBoxButtonCtrl.h"
#include "controls/CEditButtonCtrl.h"
#include "controls/CMenuButtonCtrl.h"

#include <commctrl.h>

namespace {

const UINT kFirst = 5000;

struct Popup
{
    CMenu menu;
    Popup()
    {
        menu.CreatePopupMenu();
        menu.AppendMenu(MF_STRING, 41, L"一");
        menu.AppendMenu(MF_STRING, 42, L"二");
    }
};

} // namespace

TEST(MenuButtonCtrl, WithoutAMenuClicksLikeAnOrdinaryButton)
{
    CLogHostWnd host;
    CMenuButtonCtrl button;
    ASSERT_TRUE(button.Create(L"選択", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 90, 34), &host, 300));
    button.SendMessage(BM_CLICK);
    PumpPending();
    EXPECT_EQ(std::vector<UINT>{300}, host.Commands());
}

TEST(MenuButtonCtrl, ClickDropsTheMenuAtTheRightEdgeAndTheParentGetsTheCommand)
{
    CLogHostWnd host;
    CMenuButtonCtrl button;
    ASSERT_TRUE(button.Create(L"選択", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 90, 34), &host, 300));
    Popup popup;
    button.AttachMenu(&popup.menu);
    CRect menuRect;
    {
        ASSERT_TRUE(MakeActive(host));
        HelperThread driver([&] { DriveMenu(host.GetSafeHwnd(), 2, &menuRect); });
        button.SendMessage(BM_CLICK);
    }
    EXPECT_FALSE(button.IsMenuShowing());
    PumpPending();
    EXPECT_EQ((std::vector<UINT>{300, 42}), host.Commands());
    CRect window;
    button.GetWindowRect(&window);
    EXPECT_EQ(window.right, menuRect.left);
    EXPECT_EQ(window.top, menuRect.top);
}

TEST(MenuButtonCtrl, DropOnPressOpensTheMenuOnTheMouseDownOnly)
{
    CLogHostWnd host;
    CMenuButtonCtrl button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 90, 34), &host, 300));
    Popup popup;
    button.AttachMenu(&popup.menu);
    button.SetDropOnPress(TRUE);
    PumpPending();
    LONG menus = 0;
    {
        ASSERT_TRUE(MakeActive(host));
        HelperThread driver([&] {
            DriveMenu(host.GetSafeHwnd(), 1);
            InterlockedIncrement(&menus);
        });
        button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    }
    EXPECT_EQ(1, menus);
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpPending();
    std::vector<UINT> commands = host.Commands();
    EXPECT_EQ(1, std::count(commands.begin(), commands.end(), 41u));
    EXPECT_EQ(nullptr, WaitForMenu(300));
}

TEST(ButtonBoxes, MenuIdsCountFromTheFirstIdAndSeparatorsTakeNone)
{
    CEditButtonCtrl edit;
    edit.ResetMenu(kFirst);
    EXPECT_EQ(kFirst, edit.AddMenuItem(L"一時", L"C:\\Temp"));
    EXPECT_EQ(0u, edit.AddMenuItem(nullptr, nullptr));
    EXPECT_EQ(kFirst + 1, edit.AddMenuItem(L"二", L"x"));
    EXPECT_EQ(kFirst + 2, edit.AddMenuItem(L"三", L"y"));
    EXPECT_EQ(4u, edit.GetButton().GetMenu().GetMenuItemCount());
    edit.ResetMenu(100);
    EXPECT_EQ(0u, edit.GetButton().GetMenu().GetMenuItemCount());
    EXPECT_EQ(100u, edit.AddMenuItem(L"一", L"z"));
}

TEST(ButtonBoxes, ChosenValueGoesToTheCaretOfAnEditAndReplacesTheTextOfAComboBox)
{
    CLogHostWnd host;
    CEditButtonCtrl edit;
    CComboBoxButtonCtrl combo;
    ASSERT_TRUE(
        edit.Create(L"EDIT", L"abc", WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 200, 32), &host, 401));
    // A simple combo box becomes a drop-down one.
    ASSERT_TRUE(
        combo.Create(L"COMBOBOX", L"", WS_VISIBLE | CBS_SIMPLE | CBS_AUTOHSCROLL, CRect(10, 50, 200, 150), &host, 402));
    EXPECT_EQ(static_cast<DWORD>(CBS_DROPDOWN), combo.GetStyle() & 0x3);
    combo.SetWindowText(L"abc");
    for (auto* box : {static_cast<CWnd*>(&edit), static_cast<CWnd*>(&combo)}) {
        if (box == &edit) {
            edit.ResetMenu(kFirst);
            edit.AddMenuItem(L"一時", L"C:\\Temp");
            edit.AddMenuItem(L"自分で", L"");
        } else {
            combo.ResetMenu(kFirst);
            combo.AddMenuItem(L"一時", L"C:\\Temp");
            combo.AddMenuItem(L"自分で", L"");
        }
    }
    edit.SetSel(3, 3);
    edit.SendMessage(WM_COMMAND, kFirst);
    EXPECT_EQ(CString(L"abcC:\\Temp"), TextOf(edit.GetSafeHwnd()));
    EXPECT_EQ(edit.GetSafeHwnd(), GetFocus());
    combo.SendMessage(WM_COMMAND, kFirst);
    EXPECT_EQ(CString(L"C:\\Temp"), TextOf(combo.GetSafeHwnd()));

    // An empty value is the parent's to act on.
    edit.SendMessage(WM_COMMAND, kFirst + 1);
    combo.SendMessage(WM_COMMAND, kFirst + 1);
    EXPECT_EQ((std::vector<UINT>{kFirst + 1, kFirst + 1}), host.MenuCommands());
    EXPECT_EQ(CString(L"abcC:\\Temp"), TextOf(edit.GetSafeHwnd()));
    EXPECT_EQ(CString(L"C:\\Temp"), TextOf(combo.GetSafeHwnd()));
}

TEST(ButtonBoxes, ButtonStaysGluedToTheBoxsRightEdge)
{
    CLogHostWnd host;
    CEditButtonCtrl edit;
    ASSERT_TRUE(edit.Create(L"EDIT", L"", WS_VISIBLE | WS_BORDER, CRect(10, 10, 200, 32), &host, 401));
    ASSERT_TRUE(edit.CreateButton());
    CMenuButton& button = edit.GetButton();
    EXPECT_EQ(2258, button.GetDlgCtrlID());
    EXPECT_EQ(host.GetSafeHwnd(), ::GetParent(button.GetSafeHwnd()));
    EXPECT_TRUE(button.GetExStyle() & WS_EX_STATICEDGE);
    EXPECT_EQ(&edit, button.GetCommandTarget());
    auto rects = [&](CRect& box, CRect& glued) {
        edit.GetWindowRect(&box);
        button.GetWindowRect(&glued);
        host.ScreenToClient(&box);
        host.ScreenToClient(&glued);
    };
    CRect box, glued;
    rects(box, glued);
    EXPECT_EQ(CRect(10, 10, 184, 32), box);
    EXPECT_EQ(CRect(184, 10, 200, 32), glued);
    edit.MoveWindow(30, 60, 100, 24);
    rects(box, glued);
    EXPECT_EQ(CRect(130, 60, 146, 84), glued);
}

TEST(ButtonBoxes, ClickedMenuButtonPutsTheChosenValueIntoTheBox)
{
    CLogHostWnd host;
    CComboBoxButtonCtrl combo;
    ASSERT_TRUE(combo.Create(L"COMBOBOX", L"", WS_VISIBLE | CBS_DROPDOWN, CRect(10, 10, 200, 120), &host, 402));
    combo.SetCaption(L"…");
    combo.ResetMenu(kFirst);
    combo.AddMenuItem(L"一", L"first");
    combo.AddMenuItem(L"二", L"second");
    ASSERT_TRUE(combo.CreateButton());
    EXPECT_EQ(CString(L"…"), TextOf(combo.GetButton().GetSafeHwnd()));
    {
        ASSERT_TRUE(MakeActive(host));
        HelperThread driver([&] { DriveMenu(host.GetSafeHwnd(), 2); });
        combo.GetButton().SendMessage(BM_CLICK);
    }
    EXPECT_TRUE(PumpUntil([&] { return TextOf(combo.GetSafeHwnd()) == L"second"; }));
}

TEST(ButtonBoxes, BrowseButtonStartsAtTheBoxTextAndCancelKeepsIt)
{
    FrameworkScratchFolder scratch;
    CString folder = scratch / L"選んだ";
    CreateDirectoryW(folder, nullptr);
    for (bool accept : {false, true}) {
        SCOPED_TRACE(accept ? "OK" : "cancel");
        CLogHostWnd host;
        CEditButtonCtrl edit;
        ASSERT_TRUE(edit.Create(L"EDIT", folder, WS_VISIBLE | WS_BORDER, CRect(10, 10, 300, 32), &host, 401));
        edit.SetButtonWidth(20);
        edit.SetButtonStyle(BS_OWNERDRAW | BS_ICON);
        ASSERT_TRUE(edit.CreateButton());
        ASSERT_TRUE(edit.GetButton().IsBrowseMode());
        edit.SetWindowText(L"");
        edit.SetWindowText(folder);
        {
            HelperThread driver([accept] {
                // Answered once it has reached the box's folder: a picker still filling its tree
                // may let the answer go by.
                HWND ready = WaitForWindow(
                    [](HWND hWnd) { return IsClass(hWnd, L"#32770") && TreeSelects(hWnd, L"選んだ"); }, 60000);
                EXPECT_NE(nullptr, ready) << "the picker never reached the box's folder";
                // Never ready: cancelled, so that the test fails instead of hanging.
                HWND dialog = ready ? ready : WaitForWindow([](HWND hWnd) { return IsClass(hWnd, L"#32770"); });
                PostMessageW(dialog, WM_COMMAND, ready && accept ? IDOK : IDCANCEL, 0);
            });
            edit.GetButton().SendMessage(BM_CLICK);
        }
        EXPECT_EQ(0, TextOf(edit.GetSafeHwnd()).CompareNoCase(folder));
    }
}

TEST(ButtonBoxes, DestroyedButtonLeavesTheSystemImageListAlive)
{
    HIMAGELIST system = nullptr;
    {
        CLogHostWnd host;
        CEditButtonCtrl edit;
        ASSERT_TRUE(edit.Create(L"EDIT", L"", WS_VISIBLE | WS_BORDER, CRect(10, 10, 200, 32), &host, 401));
        edit.SetButtonStyle(BS_OWNERDRAW | BS_ICON);
        ASSERT_TRUE(edit.CreateButton());
        system = edit.GetButton().GetSystemImageList();
        ASSERT_NE(nullptr, system);
        edit.GetButton().RedrawWindow();
    }
    EXPECT_GT(ImageList_GetImageCount(system), 0);
    IMAGEINFO info = {};
    EXPECT_TRUE(ImageList_GetImageInfo(system, 0, &info));
}
