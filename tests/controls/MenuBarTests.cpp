#include "KitTestUtil.h"

#include "controls/CMenuBar.h"
#include "controls/CSizableReBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace {

// The visible menu window showing that menu (popups of the frame's menu are shared handles).
HWND WaitForMenuOf(HMENU menu, DWORD timeoutMs = 10000)
{
    return WaitForWindow(
        [menu](HWND hWnd) {
            return IsClass(hWnd, L"#32768") && reinterpret_cast<HMENU>(SendMessageW(hWnd, MN_GETHMENU, 0, 0)) == menu;
        },
        timeoutMs);
}

bool IsHilited(HMENU menu, int position)
{
    return (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_HILITE) != 0;
}

void PostKey(HWND hWnd, WORD vk)
{
    PostMessageW(hWnd, WM_KEYDOWN, vk, 1);
}

class MenuBarTest : public testing::Test
{
protected:
    void SetUp() override { Open(760, TRUE); }
    void TearDown() override
    {
        if (frame)
            frame->DestroyWindow();
    }
    void Open(int width, BOOL toolBar)
    {
        if (frame)
            frame->DestroyWindow();
        frame = CKitTestFrame::Make(width, toolBar);
        ASSERT_NE(nullptr, frame);
        ASSERT_TRUE(MakeActive(*frame));
    }
    CMenuBar& Bar() { return frame->m_wndMenuBar; }
    HMENU Popup(int index) { return GetSubMenu(Bar().GetMenu(), index); }
    // Runs the frame's messages until the script on the helper thread has finished and no popup
    // of the bar is open; whatever happens, the script's last step cancels any menu left open.
    void RunWith(std::function<void()> script)
    {
        std::atomic<bool> done(false);
        HWND hFrame = frame->m_hWnd;
        HelperThread helper([&, hFrame] {
            script();
            // A menu the script could not close would hold the test thread: it is cancelled.
            if (!WaitUntil([] { return WaitForMenu(0) == nullptr; }, 5000)) {
                ADD_FAILURE() << "a menu stayed open";
                for (int i = 0; i < 100 && WaitForMenu(0); ++i) {
                    PostMessageW(hFrame, WM_CANCELMODE, 0, 0);
                    Sleep(50);
                }
            }
            done = true;
            PostMessageW(hFrame, WM_NULL, 0, 0);
        });
        EXPECT_TRUE(PumpUntil([&] { return done && !Bar().IsTracking(); }, 30000));
    }

    ScopedKitApp app;
    CKitTestFrame* frame = nullptr;
};

TEST_F(MenuBarTest, ButtonsFollowTheFramesMenu)
{
    EXPECT_EQ(nullptr, GetMenu(frame->m_hWnd));
    ASSERT_NE(nullptr, Bar().GetMenu());
    CToolBarCtrl& ctrl = Bar().GetToolBarCtrl();
    ASSERT_EQ(5, ctrl.GetButtonCount());
    TBBUTTON icon = {};
    ctrl.GetButton(0, &icon);
    EXPECT_EQ(ID_MENUBAR_CHILDICON, icon.idCommand);
    EXPECT_TRUE(icon.fsState & TBSTATE_HIDDEN);
    EXPECT_EQ(BTNS_DROPDOWN | BTNS_NOPREFIX, icon.fsStyle);
    const wchar_t* texts[] = {L"ファイル(&F)", L"編集(&E)", L"表示(&V)", L"ヘルプ(&H)"};
    for (int i = 1; i < 5; ++i) {
        TBBUTTON button = {};
        ctrl.GetButton(i, &button);
        EXPECT_EQ(ID_MENUBAR_FIRSTPOPUP + i - 1, button.idCommand);
        EXPECT_EQ(BTNS_AUTOSIZE | BTNS_DROPDOWN, button.fsStyle);
        CString text;
        ctrl.GetButtonText(button.idCommand, text);
        EXPECT_EQ(texts[i - 1], text);
    }
    // A command and a separator at the top level stay what they are.
    HMENU mixed = CreateMenu();
    AppendMenuW(mixed, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&Pop");
    AppendMenuW(mixed, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(mixed, MF_STRING, ID_KITTEST_ABOUT, L"&About");
    Bar().SetMenu(mixed);
    TBBUTTON separator = {}, command = {};
    ctrl.GetButton(2, &separator);
    ctrl.GetButton(3, &command);
    EXPECT_TRUE(separator.fsStyle & BTNS_SEP);
    EXPECT_EQ(static_cast<int>(ID_KITTEST_ABOUT), command.idCommand);
    EXPECT_EQ(BTNS_AUTOSIZE, command.fsStyle);
    // Menu bar buttons are always enabled, whatever the frame's handlers.
    RunIdle(frame);
    EXPECT_TRUE(ctrl.IsButtonEnabled(ID_MENUBAR_FIRSTPOPUP));
    DestroyMenu(mixed);
}

TEST_F(MenuBarTest, AltEntersKeyModeAndEscGivesTheFocusBack)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(10, 100, 200, 120), frame, 1234));
    edit.SetFocus();
    EXPECT_FALSE(Bar().HandleKeyMenu(SC_KEYMENU, L'f'));
    EXPECT_FALSE(Bar().HandleKeyMenu(SC_CLOSE, 0));
    frame->SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_TRUE(Bar().IsKeyMode());
    EXPECT_EQ(Bar().m_hWnd, GetFocus());
    EXPECT_EQ(Bar().m_hWnd, GetCapture());
    EXPECT_EQ(1, Bar().GetToolBarCtrl().GetHotItem());
    EXPECT_TRUE(Bar().SendMessage(WM_GETDLGCODE) & DLGC_WANTALLKEYS);
    // Arrows move the hot button round the visible ones (the hidden icon button is passed over).
    Bar().SendMessage(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(2, Bar().GetToolBarCtrl().GetHotItem());
    Bar().SendMessage(WM_KEYDOWN, VK_LEFT);
    Bar().SendMessage(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(4, Bar().GetToolBarCtrl().GetHotItem());
    EXPECT_EQ(4, Bar().GetCurrentIndex());
    Bar().SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_FALSE(Bar().IsKeyMode());
    EXPECT_EQ(edit.m_hWnd, GetFocus());
    EXPECT_NE(Bar().m_hWnd, GetCapture());
    EXPECT_EQ(-1, Bar().GetToolBarCtrl().GetHotItem());
}

TEST_F(MenuBarTest, MnemonicOpensItsMenuAndEscReturnsToKeyMode)
{
    EXPECT_EQ(0x10000, frame->SendMessage(WM_MENUCHAR, MAKEWPARAM(L'e', MF_SYSMENU), 0));
    // Without MF_SYSMENU the character is not the bar's.
    EXPECT_NE(0x10000, frame->SendMessage(WM_MENUCHAR, MAKEWPARAM(L'v', MF_POPUP), 0));
    const HMENU edit = Popup(1);
    bool opened = false, firstSelected = false;
    RunWith([&] {
        HWND menu = WaitForMenuOf(edit);
        opened = menu != nullptr;
        firstSelected = WaitUntil([&] { return IsHilited(edit, 0); });
        if (menu)
            PostKey(menu, VK_ESCAPE);
    });
    EXPECT_TRUE(opened);
    EXPECT_TRUE(firstSelected);
    // Esc on the popup's own level: key mode on the same button.
    EXPECT_TRUE(Bar().IsKeyMode());
    EXPECT_EQ(2, Bar().GetToolBarCtrl().GetHotItem());
    EXPECT_EQ(Bar().m_hWnd, GetCapture());
    Bar().SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_FALSE(Bar().IsKeyMode());
}

TEST_F(MenuBarTest, RightAndLeftMoveBetweenTheMenus)
{
    const HMENU file = Popup(0), edit = Popup(1);
    bool sawEdit = false, sawFileAgain = false;
    Bar().PostMessage(WM_MENUBAR_OPENPOPUP, 1, MAKELPARAM(1, 1));
    RunWith([&] {
        HWND menu = WaitForMenuOf(file);
        if (!menu || !WaitUntil([&] { return IsHilited(file, 0); }))
            return;
        PostKey(menu, VK_RIGHT);
        menu = WaitForMenuOf(edit);
        sawEdit = menu != nullptr;
        if (!menu || !WaitUntil([&] { return IsHilited(edit, 0); }))
            return;
        PostKey(menu, VK_LEFT);
        menu = WaitForMenuOf(file);
        sawFileAgain = menu != nullptr;
        if (menu)
            PostKey(menu, VK_ESCAPE);
    });
    EXPECT_TRUE(sawEdit);
    EXPECT_TRUE(sawFileAgain);
    std::vector<HMENU> own;
    for (HMENU popup : frame->m_popups) {
        if (popup == file || popup == edit)
            own.push_back(popup);
    }
    EXPECT_EQ((std::vector<HMENU>{file, edit, file}), own);
    Bar().SendMessage(WM_KEYDOWN, VK_ESCAPE);
}

TEST_F(MenuBarTest, RightOnAnItemWithASubmenuOpensTheSubmenu)
{
    const HMENU edit = Popup(1);
    const HMENU details = GetSubMenu(edit, 2);
    bool sawDetails = false;
    Bar().PostMessage(WM_MENUBAR_OPENPOPUP, 2, MAKELPARAM(1, 1));
    RunWith([&] {
        HWND menu = WaitForMenuOf(edit);
        if (!menu || !WaitUntil([&] { return IsHilited(edit, 0); }))
            return;
        PostKey(menu, VK_DOWN);
        PostKey(menu, VK_DOWN);
        if (!WaitUntil([&] { return IsHilited(edit, 2); }))
            return;
        PostKey(menu, VK_RIGHT);
        HWND sub = WaitForMenuOf(details);
        sawDetails = sub != nullptr;
        // Every key goes to the Edit popup's window, which stays open throughout: the menu loop
        // takes keys for its open level whatever window they name, but a key posted to the
        // submenu's window goes with that window when the key closes it, and the loop's removal
        // of the key it handled then takes the next key in the queue.
        if (sub) {
            PostKey(menu, VK_ESCAPE);
            EXPECT_TRUE(WaitUntil([sub] { return !IsWindowVisible(sub); }));
        }
        PostKey(menu, VK_ESCAPE);
    });
    EXPECT_TRUE(sawDetails);
    EXPECT_NE(frame->m_popups.end(), std::find(frame->m_popups.begin(), frame->m_popups.end(), details));
    // The submenu stayed within the Edit popup: no other menu of the bar was opened.
    EXPECT_EQ(frame->m_popups.end(), std::find(frame->m_popups.begin(), frame->m_popups.end(), Popup(2)));
    Bar().SendMessage(WM_KEYDOWN, VK_ESCAPE);
}

TEST_F(MenuBarTest, ChosenCommandReachesTheFrameAndEndsKeyMode)
{
    const HMENU file = Popup(0);
    Bar().PostMessage(WM_MENUBAR_OPENPOPUP, 1, MAKELPARAM(1, 1));
    RunWith([&] {
        HWND menu = WaitForMenuOf(file);
        if (!menu || !WaitUntil([&] { return IsHilited(file, 0); }))
            return;
        PostKey(menu, VK_DOWN);
        PostKey(menu, VK_RETURN);
    });
    PumpPending();
    EXPECT_EQ((std::vector<UINT>{ID_KITTEST_OPEN}), frame->m_log.commands);
    EXPECT_FALSE(Bar().IsKeyMode());
}

TEST_F(MenuBarTest, ClickOnAMenuButtonOpensItsPopup)
{
    const HMENU view = Popup(2);
    CRect item;
    Bar().GetToolBarCtrl().GetItemRect(3, &item);
    const CPoint centre = item.CenterPoint();
    bool opened = false;
    Bar().PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    RunWith([&] {
        HWND menu = WaitForMenuOf(view);
        opened = menu != nullptr;
        if (menu)
            PostKey(menu, VK_ESCAPE);
    });
    EXPECT_TRUE(opened);
    Bar().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    Bar().SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_FALSE(Bar().IsKeyMode());
}

TEST_F(MenuBarTest, AltWithTheFirstMenuHiddenOpensTheChevronMenu)
{
    // A narrow menu band: the toolbar band beside it takes the rest of the row.
    SetBandWidth(frame, frame->m_wndReBar.GetReBarCtrl(), AFX_IDW_MENUBAR, 60);
    CRect first;
    Bar().GetToolBarCtrl().GetItemRect(1, &first);
    CRect client;
    Bar().GetClientRect(&client);
    ASSERT_GT(first.right, client.right);
    std::vector<HMENU> submenus;
    std::vector<CString> texts;
    {
        HelperThread helper([&] {
            InspectAndDriveMenu(
                frame->m_hWnd,
                [&](HMENU menu) {
                    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                        submenus.push_back(GetSubMenu(menu, i));
                        texts.push_back(MenuText(menu, i));
                    }
                },
                -1);
        });
        frame->SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 0);
    }
    ASSERT_EQ(4u, submenus.size());
    EXPECT_EQ(L"ファイル(&F)", texts[0]);
    EXPECT_EQ(Popup(0), submenus[0]);
    EXPECT_EQ(Popup(3), submenus[3]);
    // The frame's menus survive the chevron menu.
    EXPECT_TRUE(IsMenu(Popup(0)));
    EXPECT_EQ(4, GetMenuItemCount(Bar().GetMenu()));
    EXPECT_FALSE(Bar().IsKeyMode());
}

TEST_F(MenuBarTest, MnemonicOfAHiddenMenuOpensItInsideTheChevronMenu)
{
    Open(150, FALSE);
    const HMENU help = Popup(3);
    bool opened = false;
    Bar().PostMessage(WM_MENUBAR_OPENPOPUP, 4, MAKELPARAM(1, 1));
    std::atomic<bool> done(false);
    HelperThread helper([&] {
        HWND menu = WaitForMenuOf(help);
        opened = menu != nullptr;
        PostMessageW(frame->m_hWnd, WM_CANCELMODE, 0, 0);
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }, 30000));
    PumpPending();
    EXPECT_TRUE(opened);
}

TEST_F(MenuBarTest, WithoutAMaximisedChildTheChildButtonsTakeNoRoom)
{
    EXPECT_EQ(nullptr, Bar().GetMDIChild());
    TBBUTTON icon = {};
    Bar().GetToolBarCtrl().GetButton(0, &icon);
    EXPECT_TRUE(icon.fsState & TBSTATE_HIDDEN);
    CRect rect;
    Bar().GetToolBarCtrl().GetItemRect(0, &rect);
    EXPECT_EQ(0, rect.Width());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Bar().GetMDIButton(i)->m_bHidden) << i;
    CReBarCtrl& rebar = frame->m_wndReBar.GetReBarCtrl();
    VyxBandInfo info = CSizableReBar::MakeBandInfo(CSizableReBar::GetBandInfoSize(), RBBIM_CHILDSIZE);
    rebar.GetBandInfo(static_cast<UINT>(rebar.IDToIndex(AFX_IDW_MENUBAR)), &info);
    EXPECT_EQ(0u, info.cxMinChild);
}

TEST_F(MenuBarTest, InactiveFrameGreysTheMenuTexts)
{
    app->SetFlatMenu(FALSE);
    Bar().SetActive(FALSE);
    NMTBCUSTOMDRAW draw = {};
    draw.nmcd.hdr.hwndFrom = Bar().m_hWnd;
    draw.nmcd.hdr.idFrom = AFX_IDW_MENUBAR;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = ID_MENUBAR_FIRSTPOPUP;
    frame->m_wndReBar.SendMessage(WM_NOTIFY, AFX_IDW_MENUBAR, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), draw.clrText);
    // The frame tells the bar when it is activated.
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    draw.clrText = 0;
    frame->m_wndReBar.SendMessage(WM_NOTIFY, AFX_IDW_MENUBAR, reinterpret_cast<LPARAM>(&draw));
    EXPECT_NE(GetSysColor(COLOR_GRAYTEXT), draw.clrText);
}

TEST_F(MenuBarTest, HotAndOpenTitlesOfTheFlatLookShowTheirTextOnTheHighlight)
{
    app->SetVersionClass(4);
    app->SetFlatMenu(TRUE);
    CToolBarCtrl& ctrl = Bar().GetToolBarCtrl();
    CRect item;
    ctrl.GetItemRect(1, &item);
    CRect client;
    Bar().GetClientRect(&client);
    // The title as the bar paints it, in a canvas of its own.
    auto paint = [&](MemoryCanvas& canvas) {
        canvas.DC()->FillSolidRect(&client, RGB(1, 2, 3));
        Bar().SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()->GetSafeHdc()),
                          PRF_CLIENT | PRF_ERASEBKGND);
    };
    const COLORREF highlight = GetSysColor(COLOR_MENUHILIGHT);
    struct Case
    {
        const char* name;
        bool hot;
        bool pressed;
        BOOL active;
        COLORREF text;
    } cases[] = {
        {"hot", true, false, TRUE, GetSysColor(COLOR_HIGHLIGHTTEXT)},
        {"open", false, true, TRUE, GetSysColor(COLOR_HIGHLIGHTTEXT)},
        {"hot, frame inactive", true, false, FALSE, GetSysColor(COLOR_GRAYTEXT)},
    };
    for (const Case& c : cases) {
        Bar().SetActive(c.active);
        ctrl.SetHotItem(c.hot ? 1 : -1);
        ctrl.PressButton(ID_MENUBAR_FIRSTPOPUP, c.pressed);
        MemoryCanvas canvas(client.Width(), client.Height());
        paint(canvas);
        const int fill = canvas.CountColour(item, highlight);
        // The title's box is the highlight, and its text is written on it in its colour (a
        // smoothed face shades the strokes' edges between the two).
        const int ink = item.Width() * item.Height() - fill;
        EXPECT_GT(fill, item.Width() * item.Height() / 2) << c.name;
        EXPECT_GT(canvas.CountColour(item, c.text), 0) << c.name;
        EXPECT_GT(ink, 20) << c.name;
        EXPECT_LT(ink, item.Width() * item.Height() / 4) << c.name;
    }
    ctrl.PressButton(ID_MENUBAR_FIRSTPOPUP, FALSE);
    ctrl.SetHotItem(-1);
}

TEST_F(MenuBarTest, ATitleTheBandCutsIsNotDrawnHalf)
{
    app->SetFlatMenu(FALSE);
    CToolBarCtrl& ctrl = Bar().GetToolBarCtrl();
    CReBarCtrl& rebar = frame->m_wndReBar.GetReBarCtrl();
    CRect last, client, band;
    ctrl.GetItemRect(4, &last);
    Bar().GetClientRect(&client);
    rebar.GetRect(static_cast<UINT>(rebar.IDToIndex(AFX_IDW_MENUBAR)), &band);
    // The band ends in the middle of the last title ("ヘルプ(&H)").
    SetBandWidth(frame, rebar, AFX_IDW_MENUBAR, band.Width() - (client.right - (last.left + last.Width() / 2)));
    Bar().GetClientRect(&client);
    ctrl.GetItemRect(4, &last);
    ASSERT_GT(client.right, last.left + 4);
    ASSERT_LT(client.right, last.right);

    MemoryCanvas canvas(client.Width(), client.Height());
    Bar().SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()->GetSafeHdc()), PRF_CLIENT | PRF_ERASEBKGND);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    CRect first;
    ctrl.GetItemRect(1, &first);
    // A whole title is written: strokes in the text colour, shaded at their edges by a smoothed face.
    EXPECT_GT(canvas.CountColour(first, text), 0);
    EXPECT_GT(first.Width() * first.Height() - canvas.CountColour(first, canvas.Pixel(first.left, first.top)), 20);
    EXPECT_EQ(0, canvas.CountColour(CRect(last.left, last.top, client.right, last.bottom), text));
}

// ---------------------------------------------------------------- MDI

TEST(MenuBarMDI, MaximisedChildShowsItsIconAndCaptionButtons)
{
    ScopedKitApp app;
    CKitTestMDIFrame* frame = CKitTestMDIFrame::Make();
    ASSERT_NE(nullptr, frame);
    VyxMDIChildWndEx* child = frame->NewChild(L"一");
    ASSERT_NE(nullptr, child);
    PumpPending();
    // The child's menu went to the menu bar, not to the frame.
    EXPECT_EQ(child->m_hMenuShared, frame->m_wndMenuBar.GetMenu());
    EXPECT_EQ(nullptr, GetMenu(frame->m_hWnd));
    child->MDIMaximize();
    RunIdle(frame);
    CMenuBar& bar = frame->m_wndMenuBar;
    EXPECT_EQ(child->m_hWnd, bar.GetMDIChild());
    TBBUTTON icon = {};
    bar.GetToolBarCtrl().GetButton(0, &icon);
    EXPECT_FALSE(icon.fsState & TBSTATE_HIDDEN);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(bar.GetMDIButton(i)->m_bHidden) << i;
        EXPECT_TRUE(bar.GetMDIButton(i)->IsEnabled()) << i;
    }
    EXPECT_EQ(static_cast<UINT>(SC_MINIMIZE), bar.GetMDIButton(0)->GetCommand());
    EXPECT_EQ(static_cast<UINT>(SC_RESTORE), bar.GetMDIButton(1)->GetCommand());
    // The close button's press and release close the child.
    CRect close;
    bar.GetMDIButton(2)->GetRect(&close);
    CRect client;
    bar.GetClientRect(&client);
    EXPECT_TRUE(client.PtInRect(close.CenterPoint()));
    const CPoint centre = close.CenterPoint();
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    EXPECT_TRUE(bar.GetMDIButton(2)->m_bPushed);
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    EXPECT_FALSE(bar.GetMDIButton(2)->m_bPushed);
    HWND hChild = child->m_hWnd;
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hChild); }));
    RunIdle(frame);
    EXPECT_EQ(nullptr, bar.GetMDIChild());
    frame->DestroyWindow();
}

} // namespace
