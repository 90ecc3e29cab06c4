#include "controls/CXTabCtrl.h"

#include "common/WindowTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the notifications of its child controls, and what the derived tab control reports.
std::vector<std::string> g_events;

class NotifyHost : public CTestHostWnd
{
protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        EXPECT_EQ(LOWORD(wParam), header->idFrom);
        switch (header->code) {
        case TCN_SELCHANGING:
            g_events.push_back("selchanging");
            break;
        case TCN_SELCHANGE:
            g_events.push_back("selchange");
            break;
        case NM_CLICK:
            g_events.push_back("click");
            break;
        }
        return CTestHostWnd::OnNotify(wParam, lParam, pResult);
    }
};

class RecordingTabs : public CXTabCtrl
{
public:
    void OnSelChange(int nOldIndex, int nNewIndex) override
    {
        g_events.push_back("onselchange " + std::to_string(nOldIndex) + ">" + std::to_string(nNewIndex));
    }
};

class XTabCtrlTest : public testing::Test
{
protected:
    void SetUp() override { g_events.clear(); }
    void Make(int count, DWORD style = 1, int width = 360)
    {
        ASSERT_TRUE(m_tabs.Create(WS_CHILD | WS_VISIBLE | style, CRect(10, 10, 10 + width, 150), &m_host, 77));
        for (int i = 0; i < count; ++i)
            m_tabs.InsertItem(i == 1 ? L"二番目のタブ" : L"タブ");
        g_events.clear();
    }
    BOOL Key(UINT vk, bool ctrl = false, bool shift = false)
    {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        MSG msg = {m_tabs.m_hWnd, WM_KEYDOWN, vk, 0, 0, {}};
        BOOL handled = m_tabs.PreTranslateMessage(&msg);
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        ::SetKeyboardState(keys);
        return handled;
    }
    // The left button pressed (the tabs act on the press)
    void PressAt(CPoint point) { m_tabs.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y)); }

    NotifyHost m_host;
    RecordingTabs m_tabs;
};

TEST_F(XTabCtrlTest, TabsAreLaidOutFromTheLeftAtTheirNaturalWidths)
{
    Make(3);
    int x = 1;
    for (int i = 0; i < 3; ++i) {
        CRect rect = m_tabs.GetItem(i)->GetRect();
        EXPECT_EQ(rect.left, x);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.Height(), 22);
        x = rect.right;
    }
    EXPECT_GT(m_tabs.GetItem(1)->m_nWidth, m_tabs.GetItem(0)->m_nWidth);
    EXPECT_EQ(m_tabs.GetItemSize(-1), CSize(x - 1, 22));
    EXPECT_EQ(m_tabs.GetItemSize(1), CSize(m_tabs.GetItem(1)->m_nWidth, 22));
    CRect client;
    m_tabs.GetClientRect(&client);
    EXPECT_EQ(m_tabs.GetDisplayRect(), CRect(2, 2 + 22, client.right - 2, client.bottom - 2));
}

TEST_F(XTabCtrlTest, BottomTabsAreTallerAndSitAtTheBottomEdge)
{
    Make(1, 2);
    EXPECT_EQ(m_tabs.GetTabStyle(), 2);
    CRect client;
    m_tabs.GetClientRect(&client);
    CRect rect = m_tabs.GetItem(0)->GetRect();
    EXPECT_EQ(rect.Height(), 24);
    EXPECT_EQ(rect.top, client.bottom - 24 - 1);
    EXPECT_EQ(m_tabs.GetDisplayRect(), CRect(2, 2, client.right - 2, client.bottom - 2 - 24));
}

TEST_F(XTabCtrlTest, StyleWithNeitherEdgeBitMeansTop)
{
    Make(0, 0);
    EXPECT_EQ(m_tabs.GetTabStyle(), 1);
}

TEST_F(XTabCtrlTest, WidthOfATabFollowsMarginsIconAndCaption)
{
    Make(0);
    CClientDC dc(&m_tabs);
    m_tabs.PrepareDC(&dc);
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    struct Case
    {
        LPCWSTR caption;
        HICON icon;
        int extra;
    } cases[] = {{L"", nullptr, 11}, {L"", icon, 29}, {L"設定", nullptr, 10}, {L"設定", icon, 29}};
    for (const Case& c : cases) {
        CXTabCtrl::CTabItem item(c.caption, &m_tabs);
        item.SetIcon(c.icon);
        int text = c.caption[0] ? dc.GetTextExtent(CString(c.caption)).cx : 0;
        int expected = c.caption[0] ? c.extra + text : c.extra;
        EXPECT_EQ(item.CalcWidth(&dc), expected) << CStringA(c.caption);
    }
    m_tabs.RestoreDC(&dc);
}

TEST_F(XTabCtrlTest, TabsTooWideForTheStripShareItEquallyAndEndAtTheRightEdge)
{
    Make(0, 1, 100);
    for (int i = 0; i < 3; ++i)
        m_tabs.InsertItem(L"とても長いタブの見出し");
    EXPECT_EQ(m_tabs.GetItem(0)->GetRect(), CRect(1, 0, 34, 22));
    EXPECT_EQ(m_tabs.GetItem(1)->GetRect(), CRect(34, 0, 67, 22));
    EXPECT_EQ(m_tabs.GetItem(2)->GetRect(), CRect(67, 0, 100, 22));
}

TEST_F(XTabCtrlTest, ATooWideCaptionLosesCharactersBehindThreeDots)
{
    Make(0);
    CClientDC dc(&m_tabs);
    m_tabs.PrepareDC(&dc);
    CString caption = L"ABCDEFGH";
    int width = dc.GetTextExtent(CString(L"ABC...")).cx;
    EXPECT_EQ(CXTabCtrl::CTabItem::FitCaption(&dc, caption, width), L"ABC...");
    EXPECT_EQ(CXTabCtrl::CTabItem::FitCaption(&dc, caption, 1000), caption);
    int narrow = dc.GetTextExtent(CString(L"A.")).cx;
    EXPECT_EQ(CXTabCtrl::CTabItem::FitCaption(&dc, caption, narrow), L"A.");
    EXPECT_EQ(CXTabCtrl::CTabItem::FitCaption(&dc, caption, 0), L"");
    m_tabs.RestoreDC(&dc);
}

TEST_F(XTabCtrlTest, ANarrowTabShowsNoIcon)
{
    Make(0, 1, 40);
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    m_tabs.InsertItem(L"あ", 0, icon);
    m_tabs.InsertItem(L"い", 0, icon);
    CXTabCtrl::CTabItem* item = m_tabs.GetItem(0); // 19 wide: 13 after the margins
    ASSERT_LT(item->m_nWidth - 6, 17);
    CClientDC dc(&m_tabs);
    EXPECT_EQ(item->DrawIcon(&dc, TRUE), item->m_nLeft + 3);

    m_tabs.MoveWindow(10, 10, 300, 140);
    EXPECT_EQ(item->DrawIcon(&dc, TRUE), item->m_nLeft + 3 + 17);
}

TEST_F(XTabCtrlTest, AClickOnATabNotifiesChangingChangeThenClick)
{
    Make(3);
    m_tabs.SetCurSel(0);
    g_events.clear();
    PressAt(m_tabs.GetItem(2)->GetRect().CenterPoint());
    EXPECT_EQ(g_events, (std::vector<std::string>{"selchanging", "onselchange 0>2", "selchange", "click"}));
    EXPECT_EQ(m_tabs.GetCurSel(), 2);
    EXPECT_EQ(CWnd::GetFocus(), &m_tabs);

    g_events.clear();
    PressAt(m_tabs.GetItem(2)->GetRect().CenterPoint()); // already selected
    EXPECT_EQ(g_events, (std::vector<std::string>{"click"}));

    g_events.clear();
    CRect last = m_tabs.GetItem(2)->GetRect();
    PressAt(CPoint(last.right + 20, last.top + 5)); // beside every tab
    EXPECT_TRUE(g_events.empty());
    EXPECT_EQ(m_tabs.GetCurSel(), 2);
}

TEST_F(XTabCtrlTest, ArrowHomeAndEndKeysMoveTheSelectionAndWrap)
{
    Make(3);
    EXPECT_EQ(m_tabs.GetCurSel(), -1);
    EXPECT_FALSE(Key(VK_RIGHT)); // keys are never eaten
    EXPECT_EQ(m_tabs.GetCurSel(), 0);
    Key(VK_LEFT);
    EXPECT_EQ(m_tabs.GetCurSel(), 2);
    Key(VK_RIGHT);
    EXPECT_EQ(m_tabs.GetCurSel(), 0);
    Key(VK_END);
    EXPECT_EQ(m_tabs.GetCurSel(), 2);
    Key(VK_HOME);
    EXPECT_EQ(m_tabs.GetCurSel(), 0);
}

TEST_F(XTabCtrlTest, CtrlTabWithNoTabsDoesNothing)
{
    Make(0);
    Key(VK_TAB, true);
    Key(VK_TAB, true, true);
    Key(VK_LEFT);
    Key(VK_RIGHT);
    Key(VK_END);
    EXPECT_EQ(m_tabs.GetCurSel(), -1);
    EXPECT_TRUE(g_events.empty());
}

TEST_F(XTabCtrlTest, CtrlTabCyclesThroughOneOrSeveralTabs)
{
    Make(1);
    Key(VK_TAB, true);
    EXPECT_EQ(m_tabs.GetCurSel(), 0);
    g_events.clear();
    Key(VK_TAB, true);
    Key(VK_TAB, true, true);
    EXPECT_EQ(m_tabs.GetCurSel(), 0);
    EXPECT_TRUE(g_events.empty()); // the only tab stays selected

    m_tabs.InsertItem(L"二");
    m_tabs.InsertItem(L"三");
    Key(VK_TAB, true);
    EXPECT_EQ(m_tabs.GetCurSel(), 1);
    Key(VK_TAB, true);
    Key(VK_TAB, true);
    EXPECT_EQ(m_tabs.GetCurSel(), 0);
    Key(VK_TAB, true, true);
    EXPECT_EQ(m_tabs.GetCurSel(), 2);
}

TEST_F(XTabCtrlTest, TabAndShiftTabMoveTheFocusThroughTheParentsControls)
{
    Make(2);
    CEdit before, after;
    before.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 200, 50, 220), &m_host, 1);
    after.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(60, 200, 110, 220), &m_host, 2);
    ::SetWindowPos(m_tabs.m_hWnd, before.m_hWnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); // tab order: before, tabs, after
    m_tabs.ModifyStyle(0, WS_TABSTOP);
    m_tabs.SetFocus();
    Key(VK_TAB);
    EXPECT_EQ(CWnd::GetFocus(), &after);
    m_tabs.SetFocus();
    Key(VK_TAB, false, true);
    EXPECT_EQ(CWnd::GetFocus(), &before);
    EXPECT_EQ(m_tabs.SendMessage(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTTAB);
}

TEST_F(XTabCtrlTest, DeletingATabKeepsTheSelectionIndex)
{
    Make(3);
    m_tabs.SetCurSel(2);
    EXPECT_FALSE(m_tabs.DeleteItem(3));
    EXPECT_FALSE(m_tabs.DeleteItem(-1));
    EXPECT_TRUE(m_tabs.DeleteItem(0));
    EXPECT_EQ(m_tabs.GetItemCount(), 2);
    EXPECT_EQ(m_tabs.GetCurSel(), 2);
    EXPECT_EQ(m_tabs.GetItem(0)->GetRect().left, 1);
    EXPECT_EQ(m_tabs.GetItem(2), nullptr);
}

} // namespace
