#include "controls/CToolTipDialog.h"

#include "ControlsTestRes.h"
#include "common/WindowTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class TestToolTip : public COXToolTipCtrl
{
public:
    using COXToolTipCtrl::m_bTipCancelled;
    using COXToolTipCtrl::m_nCheckInterval;
    using COXToolTipCtrl::m_nElapsedTime;
    using COXToolTipCtrl::m_pCurrTool;
};

struct NeedText
{
    int calls = 0;
    WPARAM wParam = 0;
    NMHDR header = {};
};

class TipHost : public CTestHostWnd
{
public:
    NeedText m_need;

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        auto* request = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        if (request->hdr.code == TTN_NEEDTEXTW) {
            ++m_need.calls;
            m_need.wParam = wParam;
            m_need.header = request->hdr;
            request->hinst = ::GetModuleHandleW(nullptr);
            request->lpszText = MAKEINTRESOURCEW(IDC_CTLTEST_EDIT);
            return TRUE;
        }
        return CTestHostWnd::OnNotify(wParam, lParam, pResult);
    }
};

class ToolTipTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_host.SetWindowPos(&CWnd::wndTopMost, 40, 40, 400, 300, SWP_SHOWWINDOW);
        m_a.Create(L"A", WS_CHILD | WS_VISIBLE, CRect(20, 20, 120, 60), &m_host, 301);
        m_b.Create(L"B", WS_CHILD | WS_VISIBLE, CRect(200, 20, 300, 60), &m_host, 302);
        ASSERT_TRUE(m_tip.Create(&m_host));
        m_tip.SetDelayTime(TTDT_INITIAL, 20);
        m_tip.m_nCheckInterval = 20;
        m_tip.AddTool(&m_a, L"ボタンAの説明");
        m_tip.AddTool(&m_b, LPSTR_TEXTCALLBACKW, nullptr, 5);
    }
    void TearDown() override
    {
        m_tip.DestroyWindow();
        ::SetCursorPos(0, 0);
    }
    // The cursor goes to a point of the host's client area and the owner relays the move.
    void MoveTo(CPoint client, COXToolTipCtrl& tip)
    {
        CPoint screen = client;
        m_host.ClientToScreen(&screen);
        ::SetCursorPos(screen.x, screen.y);
        MSG msg = {m_host.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y), 0, screen};
        if (CWnd* child = m_host.ChildWindowFromPoint(client); child && child != &m_host) {
            CPoint local = screen;
            child->ScreenToClient(&local);
            msg.hwnd = child->m_hWnd;
            msg.lParam = MAKELPARAM(local.x, local.y);
        }
        tip.RelayEvent(&msg);
    }
    void MoveTo(CPoint client) { MoveTo(client, m_tip); }
    bool WaitShown(COXToolTipCtrl& tip)
    {
        return PumpUntil([&] { return tip.IsWindowVisible() != FALSE; });
    }
    bool WaitShown() { return WaitShown(m_tip); }
    void Relay(UINT message, WPARAM wParam = 0)
    {
        MSG msg = {m_a.m_hWnd, message, wParam, 0, 0, {}};
        m_tip.RelayEvent(&msg);
    }

    TipHost m_host;
    CButton m_a, m_b;
    TestToolTip m_tip;
};

TEST_F(ToolTipTest, TheToolsTextShowsBelowTheCursorAfterTheInitialDelay)
{
    MoveTo(CPoint(70, 40));
    EXPECT_FALSE(m_tip.IsWindowVisible());
    ASSERT_TRUE(WaitShown());
    EXPECT_EQ(m_tip.GetDisplayedText(), L"ボタンAの説明");
    CPoint cursor;
    ::GetCursorPos(&cursor);
    CRect rect;
    m_tip.GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), cursor + CSize(0, 20));
    EXPECT_TRUE(m_tip.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_EQ(m_tip.SendMessage(WM_MOUSEACTIVATE), MA_NOACTIVATE);
}

TEST_F(ToolTipTest, MovingToAnotherToolAsksForItsTextAndShowsIt)
{
    MoveTo(CPoint(70, 40));
    ASSERT_TRUE(WaitShown());
    MoveTo(CPoint(250, 40));
    EXPECT_FALSE(m_tip.IsWindowVisible()); // the first tip goes at once
    ASSERT_TRUE(WaitShown());
    EXPECT_EQ(m_tip.GetDisplayedText(), L"名前を入力します"); // string resource named by the parent
    EXPECT_EQ(m_host.m_need.calls, 1);
    EXPECT_EQ(m_host.m_need.wParam, 5u);
    EXPECT_EQ(m_host.m_need.header.hwndFrom, m_tip.m_hWnd);
    EXPECT_EQ(m_host.m_need.header.idFrom, 302u);
}

TEST_F(ToolTipTest, AKeyHidesTheTipUntilTheMouseLeavesTheTool)
{
    MoveTo(CPoint(70, 40));
    ASSERT_TRUE(WaitShown());
    Relay(WM_KEYDOWN, 'X');
    EXPECT_FALSE(m_tip.IsWindowVisible());
    EXPECT_TRUE(m_tip.m_bTipCancelled);
    MoveTo(CPoint(75, 45)); // same tool: stays hidden, nothing restarts
    EXPECT_TRUE(m_tip.m_bTipCancelled);
    MoveTo(CPoint(160, 200)); // off every tool: the tool is forgotten
    EXPECT_EQ(m_tip.m_pCurrTool, nullptr);
    MoveTo(CPoint(70, 40));
    EXPECT_TRUE(WaitShown());
}

TEST_F(ToolTipTest, OtherButtonsAndNonClientClicksHideTheTipToo)
{
    for (UINT message : {WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_LBUTTONDBLCLK, WM_NCLBUTTONDOWN, WM_SYSKEYDOWN}) {
        MoveTo(CPoint(160, 200));
        MoveTo(CPoint(70, 40));
        ASSERT_TRUE(WaitShown());
        Relay(message);
        EXPECT_FALSE(m_tip.IsWindowVisible()) << message;
    }
}

TEST_F(ToolTipTest, TheTipGoesAfterTheAutoPopTimeWhileTheMouseRestsOnTheTool)
{
    m_tip.SetDelayTime(TTDT_AUTOPOP, 100);
    MoveTo(CPoint(70, 40));
    ASSERT_TRUE(WaitShown());
    EXPECT_TRUE(PumpUntil([&] { return !m_tip.IsWindowVisible(); }));
    EXPECT_GE(m_tip.m_nElapsedTime, 100);
}

TEST_F(ToolTipTest, ATipUnderTheMousePointerStaysPastTheAutoPopTime)
{
    m_tip.SetDelayTime(TTDT_AUTOPOP, 60);
    MoveTo(CPoint(70, 40));
    ASSERT_TRUE(WaitShown());
    CRect rect;
    m_tip.GetWindowRect(&rect);
    ::SetCursorPos(rect.left + 2, rect.top + 2);
    ASSERT_TRUE(PumpUntil([&] { return m_tip.m_nElapsedTime >= 300; }));
    EXPECT_TRUE(m_tip.IsWindowVisible());
}

TEST_F(ToolTipTest, AnInactiveTipShowsNothing)
{
    TestToolTip quiet;
    ASSERT_TRUE(quiet.Create(&m_host));
    quiet.Activate(FALSE);
    quiet.SetDelayTime(TTDT_INITIAL, 10);
    quiet.AddTool(&m_a, L"出ない");
    m_tip.SetDelayTime(TTDT_INITIAL, 300); // the active one fires well after the quiet one
    MoveTo(CPoint(70, 40), quiet);
    MoveTo(CPoint(70, 40), m_tip);
    ASSERT_TRUE(WaitShown());
    EXPECT_FALSE(quiet.IsWindowVisible());
    EXPECT_EQ(quiet.GetDisplayedText(), L"");
}

TEST_F(ToolTipTest, AClickOnTheTipSwitchesBetweenShortAndLongText)
{
    m_tip.DelTool(&m_a);
    m_tip.AddTool(&m_a, L"短い\r長い説明の文");
    MoveTo(CPoint(70, 40));
    ASSERT_TRUE(WaitShown());
    EXPECT_EQ(m_tip.GetDisplayedText(), L"短い  ");
    CRect before;
    m_tip.GetWindowRect(&before);
    m_tip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(m_tip.GetDisplayedText(), L"  長い説明の文");
    EXPECT_TRUE(m_tip.IsShowingLongText());
    CRect after;
    m_tip.GetWindowRect(&after);
    EXPECT_EQ(after.TopLeft(), before.TopLeft());
    m_tip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(m_tip.GetDisplayedText(), L"短い  ");
}

TEST_F(ToolTipTest, TipsNearTheScreenEdgesAreKeptOnScreen)
{
    int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    COXToolTipInfo info;
    info.hWnd = m_a.m_hWnd;
    CRect tool;
    m_a.GetWindowRect(&tool);
    CRect bounds(0, 0, 80, 30), rect;
    m_tip.CalcTipPosition(&rect, CPoint(cx - 20, 100), &info, bounds);
    EXPECT_EQ(rect, CRect(cx - 80, 100, cx, 130));
    m_tip.CalcTipPosition(&rect, CPoint(-15, 100), &info, bounds);
    EXPECT_EQ(rect, CRect(0, 100, 80, 130));
    m_tip.CalcTipPosition(&rect, CPoint(300, cy - 10), &info, bounds);
    EXPECT_EQ(rect, CRect(300, tool.top - 30, 380, tool.top));
}

TEST_F(ToolTipTest, TextRectangleFitsTheWidestLinePlusMargins)
{
    CRect rect;
    CString text = L"ab\nずっと長い二行目";
    m_tip.CalcTextRect(&rect, text, 0);
    CWindowDC dc(&m_tip);
    CFont* old = dc.SelectObject(CFont::FromHandle(reinterpret_cast<HFONT>(m_tip.SendMessage(WM_GETFONT))));
    // Measured with two blanks for room, the lines then keep their own width.
    CSize line = dc.GetTextExtent(CString(L"ずっと長い二行目"));
    TEXTMETRICW metrics = {};
    dc.GetTextMetrics(&metrics);
    dc.SelectObject(old);
    EXPECT_EQ(rect.Width(), line.cx + 5);
    EXPECT_EQ(rect.Height(), 2 * (metrics.tmHeight + metrics.tmExternalLeading) + 5);
    CRect margin;
    m_tip.GetMargin(&margin);
    EXPECT_EQ(margin, CRect(2, 2, 3, 3));
}

TEST_F(ToolTipTest, DefaultsReachTheToolsThatStillHaveTheOldDefault)
{
    OXTOOLINFO info;
    ASSERT_TRUE(m_tip.GetToolInfo(info, &m_a));
    EXPECT_EQ(info.cbSize, sizeof(OXTOOLINFO));
    info.nWidth = 50;
    m_tip.SetToolInfo(info);
    m_tip.SetMaxTipWidth(200);
    m_tip.SetTipBkColor(RGB(1, 2, 3));
    ASSERT_TRUE(m_tip.GetToolInfo(info, &m_a));
    EXPECT_EQ(info.nWidth, 50);
    EXPECT_EQ(info.clrBackColor, RGB(1, 2, 3));
    ASSERT_TRUE(m_tip.GetToolInfo(info, &m_b, 5));
    EXPECT_EQ(info.nWidth, 200);
    EXPECT_EQ(info.lpszText, LPSTR_TEXTCALLBACKW);
    EXPECT_EQ(m_tip.GetDelayTime(TTDT_RESHOW), 0);
    EXPECT_EQ(m_tip.GetDelayTime(TTDT_INITIAL), 20);
}

// ---------------------------------------------------------------- the dialog base

class TipsDialog : public CToolTipDialog
{
public:
    TipsDialog() : CToolTipDialog(IDD_CTLTEST_TIPS) {}
    bool HasTool(int id)
    {
        OXTOOLINFO info;
        return m_toolTip.GetToolInfo(info, GetDlgItem(id)) != FALSE;
    }
};

TEST(ToolTipDialogTest, ControlsWithAStringGetATipAndOthersNone)
{
    TipsDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_CTLTEST_TIPS));
    EXPECT_TRUE(dialog.HasTool(IDC_CTLTEST_EDIT));
    EXPECT_TRUE(dialog.HasTool(IDC_CTLTEST_CHECK));
    EXPECT_FALSE(dialog.HasTool(IDC_CTLTEST_NOTIP));
    CString text;
    dialog.m_toolTip.GetText(text, dialog.GetDlgItem(IDC_CTLTEST_CHECK));
    EXPECT_EQ(text, L"確認します\r実行の前に確認の画面を出します");
    EXPECT_TRUE(dialog.m_toolTip.IsActivated());
    dialog.DestroyWindow();
    EXPECT_FALSE(::IsWindow(dialog.m_toolTip.m_hWnd));
}

TEST(ToolTipDialogTest, WithTheSwitchOffADialogOpensWithoutTips)
{
    CToolTipDialog::SetShowToolTips(FALSE);
    TipsDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_CTLTEST_TIPS));
    EXPECT_FALSE(dialog.m_toolTip.IsActivated());
    dialog.DestroyWindow();
    CToolTipDialog::SetShowToolTips(TRUE);
}

TEST(ToolTipDialogTest, TheModalLoopRelaysTheMouseSoTheTipShows)
{
    TipsDialog dialog;
    HWND tipShown = nullptr;
    HelperThread script([&] {
        HWND box = WaitForDialog(L"ヒントの確認");
        ASSERT_NE(box, nullptr);
        ::SetWindowPos(box, HWND_TOPMOST, 100, 100, 0, 0, SWP_NOSIZE);
        CRect edit;
        ::GetWindowRect(::GetDlgItem(box, IDC_CTLTEST_EDIT), &edit);
        for (int step = 0; step < 3; ++step) {
            ::SetCursorPos(edit.left + 10 + step, edit.top + 5);
            INPUT input = {};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = MOUSEEVENTF_MOVE;
            input.mi.dx = step % 2 ? 1 : -1;
            ::SendInput(1, &input, sizeof(input));
        }
        tipShown = WaitForWindow([box](HWND hWnd) {
            return ::GetWindow(hWnd, GW_OWNER) == box && (::GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
        });
        ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ::SetCursorPos(0, 0); // out of the way of later tests' windows and menus
    EXPECT_NE(tipShown, nullptr);
    EXPECT_EQ(dialog.m_toolTip.GetDisplayedText(), L"名前を入力します");
}

} // namespace
