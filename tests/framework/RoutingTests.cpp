// Command routing and reflection: control notifications go back to the control first, commands
// travel the routing chain, CCmdUI updates menus, the pre-translate walk climbs the parents.
#include "common/WindowTestUtil.h"

namespace {

const UINT kPlainButton = 100;
const UINT kSharingButton = 101;
const UINT kListId = 102;
const UINT ID_TEST_DISABLED = 0x8101;
const UINT ID_TEST_CHECKED = 0x8102;
const UINT ID_TEST_RADIO_FIRST = 0x8103;
const UINT ID_TEST_RADIO_LAST = 0x8105;
const UINT ID_TEST_RENAMED = 0x8106;
const UINT ID_TEST_HANDLED = 0x8107;
const UINT ID_TEST_ORPHAN = 0x8108;
const UINT ID_TEST_RANGE_FIRST = 0x8110;
const UINT ID_TEST_RANGE_LAST = 0x8117;
const UINT ID_TEST_EX = 0x8120;

CString g_log;

// A button handling its own clicks; the second one lets its parent see them as well.
class CSelfishButton : public CButton
{
protected:
    afx_msg void OnReflectedClick() { g_log += L"child click;"; }
    afx_msg BOOL OnReflectedDoubleClick()
    {
        g_log += L"child double;";
        return FALSE; // the parent gets it too
    }
    afx_msg void OnReflectedNotify(NMHDR* pNMHDR, LRESULT* pResult)
    {
        g_log.AppendFormat(L"child notify %d;", static_cast<int>(pNMHDR->code));
        *pResult = 5;
    }
    afx_msg BOOL OnReflectedNotifyEx(NMHDR*, LRESULT*)
    {
        g_log += L"child notify ex;";
        return FALSE;
    }
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor)
    {
        g_log.AppendFormat(L"child colour %u %d;", nCtlColor, pDC != nullptr);
        return m_brush;
    }
    DECLARE_MESSAGE_MAP()

public:
    HBRUSH m_brush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
};

BEGIN_MESSAGE_MAP(CSelfishButton, CButton)
ON_CONTROL_REFLECT(BN_CLICKED, OnReflectedClick)
ON_CONTROL_REFLECT_EX(BN_DOUBLECLICKED, OnReflectedDoubleClick)
ON_NOTIFY_REFLECT(NM_CLICK, OnReflectedNotify)
ON_NOTIFY_REFLECT_EX(NM_DBLCLK, OnReflectedNotifyEx)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CRoutingHost : public CTestHostWnd
{
public:
    BOOL m_colourOwnControls = FALSE;

protected:
    afx_msg void OnPlainClicked() { g_log += L"parent click;"; }
    afx_msg void OnDoubleClicked() { g_log += L"parent double;"; }
    afx_msg void OnNotifyClick(NMHDR*, LRESULT*) { g_log += L"parent notify;"; }
    afx_msg void OnNotifyDouble(NMHDR*, LRESULT* pResult)
    {
        g_log += L"parent notify double;";
        *pResult = 9;
    }
    afx_msg BOOL OnToolTipText(UINT id, NMHDR*, LRESULT*)
    {
        g_log.AppendFormat(L"tooltip %u;", id);
        return TRUE;
    }
    afx_msg void OnHeaderClick(NMHDR*, LRESULT*) { g_log += L"header;"; }
    afx_msg void OnRange(UINT nID) { g_log.AppendFormat(L"range %u;", nID - ID_TEST_RANGE_FIRST); }
    afx_msg BOOL OnCommandEx(UINT nID)
    {
        g_log.AppendFormat(L"ex %x;", nID);
        return FALSE;
    }
    afx_msg void OnDisabledCommand() { g_log += L"disabled ran;"; }
    afx_msg void OnHandled() { g_log += L"handled;"; }
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        if (m_colourOwnControls)
            return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
    }
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL) { AfxUpdateMenuCmdUI(this, pPopupMenu, TRUE); }
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    afx_msg void OnUpdateRadio(CCmdUI* pCmdUI) { pCmdUI->SetRadio(pCmdUI->m_nID == ID_TEST_RADIO_FIRST + 1); }
    afx_msg void OnUpdateRenamed(CCmdUI* pCmdUI) { pCmdUI->SetText(L"名前を変更(&R)"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRoutingHost, CTestHostWnd)
ON_BN_CLICKED(kPlainButton, OnPlainClicked)
ON_BN_CLICKED(kSharingButton, OnPlainClicked)
ON_BN_DOUBLECLICKED(kSharingButton, OnDoubleClicked)
ON_NOTIFY(NM_CLICK, kPlainButton, OnNotifyClick)
ON_NOTIFY(NM_DBLCLK, kPlainButton, OnNotifyDouble)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
ON_NOTIFY(HDN_ITEMCLICKW, 0, OnHeaderClick)
ON_COMMAND_RANGE(ID_TEST_RANGE_FIRST, ID_TEST_RANGE_LAST, OnRange)
ON_COMMAND_EX(ID_TEST_EX, OnCommandEx)
ON_COMMAND(ID_TEST_DISABLED, OnDisabledCommand)
ON_COMMAND(ID_TEST_HANDLED, OnHandled)
ON_WM_CTLCOLOR()
ON_WM_INITMENUPOPUP()
ON_UPDATE_COMMAND_UI(ID_TEST_DISABLED, OnUpdateDisabled)
ON_UPDATE_COMMAND_UI(ID_TEST_CHECKED, OnUpdateChecked)
ON_UPDATE_COMMAND_UI_RANGE(ID_TEST_RADIO_FIRST, ID_TEST_RADIO_LAST, OnUpdateRadio)
ON_UPDATE_COMMAND_UI(ID_TEST_RENAMED, OnUpdateRenamed)
END_MESSAGE_MAP()

LRESULT SendCommand(CWnd& target, UINT id, UINT code, HWND control)
{
    return target.SendMessage(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

LRESULT SendNotify(CWnd& target, HWND from, UINT_PTR id, int code)
{
    NMHDR header = {from, id, static_cast<UINT>(code)};
    return target.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

TEST(Routing, ControlHandlesItsOwnNotificationBeforeTheParent)
{
    CRoutingHost host;
    CSelfishButton plain;
    CSelfishButton sharing;
    CButton unaware;
    ASSERT_TRUE(plain.Create(L"一", WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 5, 80, 30), &host, kPlainButton));
    ASSERT_TRUE(sharing.Create(L"二", WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 35, 80, 60), &host, kSharingButton));
    ASSERT_TRUE(unaware.Create(L"三", WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 65, 80, 90), &host, kSharingButton + 50));

    struct Case
    {
        CWnd* control;
        UINT code;
        const wchar_t* log;
    } cases[] = {
        {&plain, BN_CLICKED, L"child click;"},                        // eaten by the control
        {&sharing, BN_DOUBLECLICKED, L"child double;parent double;"}, // _EX returned FALSE
        {&sharing, BN_CLICKED, L"child click;"},
    };
    for (const Case& c : cases) {
        g_log.Empty();
        SendCommand(host, static_cast<UINT>(c.control->GetDlgCtrlID()), c.code, c.control->m_hWnd);
        EXPECT_EQ(CString(c.log), g_log);
    }
    // A real click, through the button's own procedure.
    g_log.Empty();
    plain.SendMessage(BM_CLICK);
    EXPECT_NE(-1, g_log.Find(L"child click;"));
    EXPECT_EQ(-1, g_log.Find(L"parent"));

    g_log.Empty();
    EXPECT_EQ(5, SendNotify(host, plain.m_hWnd, kPlainButton, NM_CLICK));
    EXPECT_EQ(CString(L"child notify -2;"), g_log);
    g_log.Empty();
    EXPECT_EQ(9, SendNotify(host, plain.m_hWnd, kPlainButton, NM_DBLCLK));
    EXPECT_EQ(CString(L"child notify ex;parent notify double;"), g_log);
}

TEST(Routing, NotificationsGoByTheSendersControlIdOrIdFromWithoutAWindow)
{
    CRoutingHost host;
    CStatic label;
    ASSERT_TRUE(label.Create(L"x", WS_VISIBLE, CRect(0, 0, 10, 10), &host, 777));
    // A tool tip is a top-level window (id 0); a TTF_IDISHWND tool names its window in idFrom.
    CWnd tip;
    ASSERT_TRUE(tip.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 10, 10, host.m_hWnd, nullptr));
    struct Case
    {
        HWND from;
        UINT_PTR idFrom;
        UINT code;
        const wchar_t* log;
    } cases[] = {
        {label.m_hWnd, 5, TTN_NEEDTEXTW, L"tooltip 777;"},
        {label.m_hWnd, 0, HDN_ITEMCLICKW, L""}, // the label is 777, not 0
        {tip.m_hWnd, reinterpret_cast<UINT_PTR>(label.m_hWnd), TTN_NEEDTEXTW, L"tooltip 0;"},
        {nullptr, 0, HDN_ITEMCLICKW, L"header;"},
        {nullptr, 5, HDN_ITEMCLICKW, L""},
    };
    for (const Case& c : cases) {
        g_log.Empty();
        SendNotify(host, c.from, c.idFrom, static_cast<int>(c.code));
        EXPECT_EQ(CString(c.log), g_log) << c.idFrom;
    }
    tip.DestroyWindow();
}

TEST(Routing, ControlColourIsReflectedUnlessTheParentColoursItself)
{
    CRoutingHost host;
    CSelfishButton button;
    ASSERT_TRUE(button.Create(L"色", WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 5, 80, 30), &host, kPlainButton));
    HDC dc = GetDC(host.m_hWnd);
    auto colour = [&] {
        return reinterpret_cast<HBRUSH>(
            host.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(button.m_hWnd)));
    };
    g_log.Empty();
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), colour());
    EXPECT_EQ(CString(L"child colour 3 1;"), g_log);

    // The parent's own handler that does not call the base wins.
    host.m_colourOwnControls = TRUE;
    g_log.Empty();
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), colour());
    EXPECT_EQ(CString(L""), g_log);

    // A child answering NULL leaves the colour to the default.
    host.m_colourOwnControls = FALSE;
    button.m_brush = nullptr;
    EXPECT_EQ(reinterpret_cast<HBRUSH>(DefWindowProcW(host.m_hWnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(button.m_hWnd))),
              colour());
    ReleaseDC(host.m_hWnd, dc);
}

class COwnerDrawnButton : public CButton
{
public:
    int m_draws = 0;
    UINT m_lastCtlType = 0;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        ++m_draws;
        m_lastCtlType = lpDrawItemStruct->CtlType;
        FillRect(lpDrawItemStruct->hDC, &lpDrawItemStruct->rcItem, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    }
};

class COwnerDrawnList : public CListBox
{
public:
    int m_measures = 0;
    int m_draws = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override
    {
        ++m_measures;
        lpMeasureItemStruct->itemHeight = 21;
    }
    void DrawItem(LPDRAWITEMSTRUCT) override { ++m_draws; }
};

TEST(Routing, OwnerDrawMessagesReachTheControlsVirtuals)
{
    CRoutingHost host;
    COwnerDrawnButton button;
    ASSERT_TRUE(button.Create(L"", WS_VISIBLE | BS_OWNERDRAW, CRect(5, 5, 80, 30), &host, kPlainButton));
    button.Invalidate();
    button.UpdateWindow();
    EXPECT_GE(button.m_draws, 1);
    EXPECT_EQ(static_cast<UINT>(ODT_BUTTON), button.m_lastCtlType);

    // The parent hears WM_MEASUREITEM while the list box is being created: before Create returns.
    COwnerDrawnList list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, CRect(5, 40, 120, 120), &host, kListId));
    EXPECT_EQ(1, list.m_measures);
    EXPECT_EQ(21, list.GetItemHeight(0));
    list.AddString(L"項目");
    list.UpdateWindow();
    EXPECT_GE(list.m_draws, 1);
}

TEST(Routing, CommandRangesAndExtendedHandlers)
{
    CRoutingHost host;
    g_log.Empty();
    EXPECT_EQ(1, SendCommand(host, ID_TEST_RANGE_FIRST + 3, 0, nullptr));
    EXPECT_EQ(1, SendCommand(host, ID_TEST_RANGE_LAST, 0, nullptr));
    EXPECT_EQ(0, SendCommand(host, ID_TEST_RANGE_LAST + 1, 0, nullptr)); // outside: unhandled
    // An _EX handler returning FALSE leaves the command unhandled.
    EXPECT_EQ(0, SendCommand(host, ID_TEST_EX, 0, nullptr));
    EXPECT_EQ(CString(L"range 3;range 7;ex 8120;"), g_log);
}

TEST(Routing, ADisabledCommandDoesNotRun)
{
    CRoutingHost host;
    g_log.Empty();
    SendCommand(host, ID_TEST_DISABLED, 0, nullptr); // menu: asks the update handler first
    SendCommand(host, ID_TEST_HANDLED, 1, nullptr);  // accelerator
    EXPECT_EQ(CString(L"handled;"), g_log);
}

TEST(Routing, MenuItemsAreUpdatedThroughCCmdUIWhenThePopupOpens)
{
    CRoutingHost host;
    HMENU popup = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, ID_TEST_DISABLED, L"sub first");
    AppendMenuW(popup, MF_STRING, ID_TEST_DISABLED, L"disabled");
    AppendMenuW(popup, MF_STRING, ID_TEST_CHECKED, L"checked");
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    for (UINT id = ID_TEST_RADIO_FIRST; id <= ID_TEST_RADIO_LAST; ++id)
        AppendMenuW(popup, MF_STRING, id, L"radio");
    AppendMenuW(popup, MF_STRING, ID_TEST_RENAMED, L"old name");
    AppendMenuW(popup, MF_STRING, ID_TEST_HANDLED, L"handled");
    AppendMenuW(popup, MF_STRING, ID_TEST_ORPHAN, L"no handler");
    AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"sub");
    host.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);

    auto state = [&](UINT id) { return GetMenuState(popup, id, MF_BYCOMMAND); };
    EXPECT_TRUE(state(ID_TEST_DISABLED) & MF_GRAYED);
    EXPECT_TRUE(state(ID_TEST_CHECKED) & MF_CHECKED);
    // Updated, but only Enable counts as an answer: without a command handler it is disabled.
    EXPECT_TRUE(state(ID_TEST_CHECKED) & MF_GRAYED);
    EXPECT_FALSE(state(ID_TEST_RADIO_FIRST) & MF_CHECKED);
    EXPECT_TRUE(state(ID_TEST_RADIO_FIRST + 1) & MF_CHECKED);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(popup, ID_TEST_RADIO_FIRST + 1, FALSE, &info);
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    wchar_t text[64] = {};
    GetMenuStringW(popup, ID_TEST_RENAMED, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(L"名前を変更(&R)", text);
    EXPECT_FALSE(state(ID_TEST_HANDLED) & MF_GRAYED);
    EXPECT_TRUE(state(ID_TEST_ORPHAN) & MF_GRAYED); // nobody would run it
    // The popup entry is never disabled on behalf of its first item.
    EXPECT_FALSE(GetMenuState(popup, 9, MF_BYPOSITION) & MF_GRAYED);
    DestroyMenu(popup);
}

TEST(Routing, TrackedPopupMenuIsUpdatedBeforeItShows)
{
    CRoutingHost host;
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_TEST_DISABLED, L"disabled");
    menu.AppendMenu(MF_STRING, ID_TEST_HANDLED, L"handled");
    UINT disabledState = 0;
    UINT handledState = 0;
    BOOL chosen = TRUE;
    {
        HelperThread helper([&] {
            // The menu window appears once WM_INITMENUPOPUP has been handled.
            HWND popup = WaitForWindow([](HWND hWnd) {
                wchar_t name[16];
                return GetClassNameW(hWnd, name, 16) && lstrcmpW(name, L"#32768") == 0;
            });
            ASSERT_NE(nullptr, popup);
            disabledState = GetMenuState(menu.m_hMenu, ID_TEST_DISABLED, MF_BYCOMMAND);
            handledState = GetMenuState(menu.m_hMenu, ID_TEST_HANDLED, MF_BYCOMMAND);
            PostMessageW(host.m_hWnd, WM_CANCELMODE, 0, 0); // closes the menu
        });
        chosen = menu.TrackPopupMenu(TPM_RETURNCMD, 60, 60, &host);
    }
    EXPECT_EQ(0, chosen);
    EXPECT_TRUE(disabledState & MF_GRAYED);
    EXPECT_FALSE(handledState & MF_GRAYED);
}

// A menu drawing its own items; it records what it was asked.
class COwnerDrawnMenu : public CMenu
{
public:
    int m_measures = 0;
    int m_draws = 0;
    HMENU m_trackingMenuSeen = nullptr;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override
    {
        ++m_measures;
        m_trackingMenuSeen = AfxGetThreadState()->m_hTrackingMenu;
        lpMeasureItemStruct->itemWidth = 60;
        lpMeasureItemStruct->itemHeight = 18;
    }
    void DrawItem(LPDRAWITEMSTRUCT) override { ++m_draws; }
};

TEST(Routing, OwnerDrawnMenuBarItemsReachTheirMenusVirtuals)
{
    CRoutingHost host;
    CMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    COwnerDrawnMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_OWNERDRAW, ID_TEST_HANDLED, reinterpret_cast<LPCWSTR>(1));
    bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.m_hMenu), L"表示(&V)");
    host.SetMenu(&bar);

    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, ID_TEST_HANDLED, 0, 0, 1};
    host.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    EXPECT_EQ(1, popup.m_measures);
    EXPECT_EQ(18u, measure.itemHeight);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = ID_TEST_HANDLED;
    draw.hwndItem = reinterpret_cast<HWND>(popup.m_hMenu);
    host.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(1, popup.m_draws);
    host.SetMenu(nullptr);
    popup.Detach(); // the bar owns it
}

TEST(Routing, TrackedOwnerDrawnPopupIsMeasuredByItsMenuWhileTracked)
{
    CRoutingHost host;
    COwnerDrawnMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_OWNERDRAW, ID_TEST_HANDLED, reinterpret_cast<LPCWSTR>(1));
    {
        HelperThread helper([&] {
            HWND popup = WaitForWindow([](HWND hWnd) {
                wchar_t name[16];
                return GetClassNameW(hWnd, name, 16) && lstrcmpW(name, L"#32768") == 0;
            });
            ASSERT_NE(nullptr, popup);
            PostMessageW(host.m_hWnd, WM_CANCELMODE, 0, 0);
        });
        menu.TrackPopupMenu(TPM_RETURNCMD, 60, 60, &host);
    }
    EXPECT_GE(menu.m_measures, 1);
    EXPECT_EQ(menu.m_hMenu, menu.m_trackingMenuSeen);
    // Tracking is over: nothing is left recorded.
    EXPECT_EQ(nullptr, AfxGetThreadState()->m_hTrackingMenu);
    EXPECT_EQ(nullptr, AfxGetThreadState()->m_hTrackingWindow);
}

// The pre-translate walk: from the target up through the parents to the stop window.
class CTranslatingWnd : public CWnd
{
public:
    CTranslatingWnd(const wchar_t* name, BOOL handles) : m_name(name), m_handles(handles) {}
    BOOL PreTranslateMessage(MSG*) override
    {
        g_log += m_name;
        return m_handles;
    }
    const wchar_t* m_name;
    BOOL m_handles;
};

TEST(Routing, PreTranslateWalkClimbsToTheStopWindowAndStopsAtTheFirstTaker)
{
    CTestHostWnd host;
    CTranslatingWnd top(L"top;", FALSE);
    ASSERT_TRUE(top.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 200, 200), &host, 1));
    CTranslatingWnd middle(L"middle;", FALSE);
    ASSERT_TRUE(middle.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 100, 100), &top, 2));
    CWnd plain; // no override: passed over
    ASSERT_TRUE(plain.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 50, 50), &middle, 3));
    CTranslatingWnd leaf(L"leaf;", FALSE);
    ASSERT_TRUE(leaf.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 20, 20), &plain, 4));

    MSG msg = {leaf.m_hWnd, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    g_log.Empty();
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(top.m_hWnd, &msg));
    EXPECT_EQ(CString(L"leaf;middle;top;"), g_log);

    g_log.Empty();
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(middle.m_hWnd, &msg));
    EXPECT_EQ(CString(L"leaf;middle;"), g_log);

    middle.m_handles = TRUE;
    g_log.Empty();
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(top.m_hWnd, &msg));
    EXPECT_EQ(CString(L"leaf;middle;"), g_log);
}

} // namespace
