#include "KitTestUtil.h"

#include "controls/CSizableReBar.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kSection[] = L"KitReBarTest";

VyxBandInfo BandInfo(CSizableReBar& rebar, UINT band, UINT mask)
{
    VyxBandInfo info = CSizableReBar::MakeBandInfo(CSizableReBar::GetBandInfoSize(), mask);
    rebar.GetReBarCtrl().GetBandInfo(band, &info);
    return info;
}

std::vector<UINT> BandIds(CSizableReBar& rebar)
{
    std::vector<UINT> ids;
    for (UINT i = 0; i < rebar.GetReBarCtrl().GetBandCount(); ++i)
        ids.push_back(BandInfo(rebar, i, RBBIM_ID).wID);
    return ids;
}

class ReBarTest : public testing::Test
{
protected:
    void SetUp() override
    {
        AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
        frame = CKitTestFrame::Make(700);
        ASSERT_NE(nullptr, frame);
    }
    void TearDown() override
    {
        if (frame)
            frame->DestroyWindow();
        AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
    }
    CSizableReBar& ReBar() { return frame->m_wndReBar; }

    ScopedKitApp app;
    CKitTestFrame* frame = nullptr;
};

TEST_F(ReBarTest, SaveWritesEveryBandInItsCurrentOrder)
{
    ReBar().GetReBarCtrl().MoveBand(1, 0);
    ReBar().SaveState(kSection);
    EXPECT_EQ(1u, AfxGetApp()->GetProfileInt(kSection, L"Version", 0));
    EXPECT_EQ(0u, AfxGetApp()->GetProfileInt(kSection, L"Locked", 7));
    VyxBandInfo first = BandInfo(ReBar(), 0, RBBIM_ID | RBBIM_SIZE | RBBIM_STYLE);
    VyxBandInfo second = BandInfo(ReBar(), 1, RBBIM_ID | RBBIM_SIZE | RBBIM_STYLE);
    // Both in one row: the first with the width it shows, the last of the row with its own.
    CRect shown;
    ReBar().GetReBarCtrl().GetRect(0, &shown);
    CString expected;
    expected.Format(L"wID=E800,cx=%d,fStyle=%08X&wID=E81A,cx=%d,fStyle=%08X", shown.Width(), first.fStyle,
                    static_cast<int>(second.cx), second.fStyle);
    EXPECT_EQ(expected, AfxGetApp()->GetProfileString(kSection, L"BandStateInfo", L""));
}

TEST_F(ReBarTest, ABandTheRebarMovedToANewRowIsSavedWithItsBreakAndComesBackThere)
{
    // The tool bar's minimum width leaves no room beside the menu: the rebar breaks the row.
    CReBarCtrl& rebar = ReBar().GetReBarCtrl();
    CRect client;
    rebar.GetClientRect(&client);
    CSizableReBar::SetBandSizes(rebar.m_hWnd, CSizableReBar::GetBandInfoSize(), AFX_IDW_TOOLBAR,
                                static_cast<UINT>(client.Width() - 20), 20, 600, FALSE);
    frame->RecalcLayout();
    PumpPending();
    CRect menu, tools;
    rebar.GetRect(0, &menu);
    rebar.GetRect(1, &tools);
    ASSERT_GT(tools.top, menu.top);
    ASSERT_FALSE(BandInfo(ReBar(), 1, RBBIM_STYLE).fStyle & RBBS_BREAK);
    ReBar().SaveState(kSection);
    const CString saved = AfxGetApp()->GetProfileString(kSection, L"BandStateInfo", L"");
    CString item;
    AfxExtractSubString(item, saved, 1, L'&');
    const DWORD style = wcstoul(item.Mid(item.Find(L"fStyle=") + 7), nullptr, 16);
    EXPECT_TRUE(style & RBBS_BREAK) << static_cast<LPCWSTR>(saved);

    // Another frame without that minimum width puts the tool bar where it was.
    CKitTestFrame* next = CKitTestFrame::Make(700);
    ASSERT_NE(nullptr, next);
    next->m_wndReBar.LoadState(kSection);
    next->RecalcLayout();
    PumpPending();
    CRect nextMenu, nextTools;
    next->m_wndReBar.GetReBarCtrl().GetRect(0, &nextMenu);
    next->m_wndReBar.GetReBarCtrl().GetRect(1, &nextTools);
    EXPECT_GT(nextTools.top, nextMenu.top);
    next->DestroyWindow();
}

TEST_F(ReBarTest, LoadRestoresOrderWidthsStylesAndLock)
{
    AfxGetApp()->WriteProfileInt(kSection, L"Version", 1);
    AfxGetApp()->WriteProfileInt(kSection, L"Locked", 1);
    AfxGetApp()->WriteProfileString(kSection, L"BandStateInfo",
                                    L"wID=E800,cx=412,fStyle=00000280&wID=E81A,cx=250,fStyle=00000281");
    ReBar().LoadState(kSection);
    EXPECT_EQ((std::vector<UINT>{0xE800, 0xE81A}), BandIds(ReBar()));
    EXPECT_EQ(412u, BandInfo(ReBar(), 0, RBBIM_SIZE).cx);
    EXPECT_EQ(250u, BandInfo(ReBar(), 1, RBBIM_SIZE).cx);
    EXPECT_TRUE(ReBar().IsLocked());
    // Locked bands show no gripper.
    EXPECT_TRUE(BandInfo(ReBar(), 0, RBBIM_STYLE).fStyle & RBBS_NOGRIPPER);
    EXPECT_TRUE(BandInfo(ReBar(), 1, RBBIM_STYLE).fStyle & RBBS_NOGRIPPER);
    // A round trip gives the same text back.
    ReBar().SaveState(kSection);
    CString saved = AfxGetApp()->GetProfileString(kSection, L"BandStateInfo", L"");
    EXPECT_EQ(0, saved.Find(L"wID=E800,cx=412,"));
    EXPECT_NE(-1, saved.Find(L"&wID=E81A,cx=250,"));
}

TEST_F(ReBarTest, ProfileWithoutVersionOneChangesNothing)
{
    ReBar().GetReBarCtrl().MoveBand(1, 0);
    for (int version : {-1, 2}) {
        if (version > 0)
            AfxGetApp()->WriteProfileInt(kSection, L"Version", version);
        AfxGetApp()->WriteProfileInt(kSection, L"Locked", 1);
        AfxGetApp()->WriteProfileString(kSection, L"BandStateInfo", L"wID=E81A,cx=100,fStyle=00000000");
        ReBar().LoadState(kSection);
        EXPECT_EQ((std::vector<UINT>{0xE800, 0xE81A}), BandIds(ReBar())) << version;
        EXPECT_FALSE(ReBar().IsLocked()) << version;
    }
}

TEST_F(ReBarTest, UnknownBandIdIsSkippedWithoutSizingAnotherBand)
{
    const UINT menuWidth = BandInfo(ReBar(), 0, RBBIM_SIZE).cx;
    AfxGetApp()->WriteProfileInt(kSection, L"Version", 1);
    AfxGetApp()->WriteProfileString(kSection, L"BandStateInfo",
                                    L"wID=1234,cx=77,fStyle=00000000&garbage&wID=E800,cx=150,fStyle=00000000");
    ReBar().LoadState(kSection);
    EXPECT_EQ((std::vector<UINT>{0xE800, 0xE81A}), BandIds(ReBar()));
    EXPECT_EQ(150u, BandInfo(ReBar(), 0, RBBIM_SIZE).cx);
    EXPECT_EQ(menuWidth, BandInfo(ReBar(), 1, RBBIM_SIZE).cx);
}

TEST_F(ReBarTest, BandSavedHiddenStaysHiddenWithItsBar)
{
    AfxGetApp()->WriteProfileInt(kSection, L"Version", 1);
    AfxGetApp()->WriteProfileString(kSection, L"BandStateInfo", L"wID=E81A,cx=200,fStyle=00000008");
    ReBar().LoadState(kSection);
    frame->RecalcLayout();
    EXPECT_TRUE(BandInfo(ReBar(), 0, RBBIM_STYLE).fStyle & RBBS_HIDDEN);
    EXPECT_FALSE(frame->m_wndMenuBar.IsWindowVisible());
}

TEST_F(ReBarTest, BandNameIsCutToFitItsRecord)
{
    std::wstring longName(300, L'名');
    CStatic extra;
    ASSERT_TRUE(extra.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 20), frame, 4321));
    ASSERT_TRUE(ReBar().AddBar(&extra, nullptr, nullptr, 0, longName.c_str()));
    const BARINFO& record = ReBar().GetBarInfo(ReBar().GetBarCount() - 1);
    EXPECT_EQ(259u, wcslen(record.szName));
    EXPECT_EQ(4321u, record.nID);
    ReBar().GetReBarCtrl().DeleteBand(2);
}

TEST_F(ReBarTest, LockedReBarHasNoSizingEdge)
{
    CRect window;
    ReBar().GetWindowRect(&window);
    CRect client;
    ReBar().GetClientRect(&client);
    CRect control;
    ReBar().GetReBarCtrl().GetWindowRect(&control);
    const CPoint edge(window.left + 20, window.bottom - 1);
    // Unlocked: a three-pixel strip at the bottom that the user drags.
    EXPECT_EQ(HTBOTTOM, ReBar().SendMessage(WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)));
    EXPECT_EQ(window.Height() - 3, client.Height());
    EXPECT_EQ(control.Height() + 3, ReBar().CalcFixedLayout(FALSE, TRUE).cy);

    ReBar().SetLocked(TRUE);
    frame->RecalcLayout();
    ReBar().GetWindowRect(&window);
    ReBar().GetClientRect(&client);
    ReBar().GetReBarCtrl().GetWindowRect(&control);
    EXPECT_EQ(HTCLIENT, ReBar().SendMessage(WM_NCHITTEST, 0, MAKELPARAM(window.left + 20, window.bottom - 1)));
    EXPECT_EQ(window.Height(), client.Height());
    EXPECT_EQ(control.Height(), ReBar().CalcFixedLayout(FALSE, TRUE).cy);
    EXPECT_EQ(32767, ReBar().CalcFixedLayout(TRUE, TRUE).cx);
    EXPECT_FALSE(ReBar().SetLocked(FALSE) == FALSE);
}

TEST_F(ReBarTest, DraggingTheEdgeAsksTheRebarForTheNewHeight)
{
    CRect window;
    ReBar().GetWindowRect(&window);
    const int before = window.Height();
    CPoint start(window.left + 50, window.bottom - 1);
    ReBar().SendMessage(WM_NCLBUTTONDOWN, HTBOTTOM, MAKELPARAM(start.x, start.y));
    EXPECT_EQ(ReBar().m_hWnd, GetCapture());
    CPoint moved(start.x, start.y + 40);
    ReBar().ScreenToClient(&moved);
    ReBar().SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(moved.x, moved.y));
    ReBar().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(moved.x, moved.y));
    EXPECT_NE(ReBar().m_hWnd, GetCapture());
    PumpPending();
    frame->RecalcLayout();
    ReBar().GetWindowRect(&window);
    // The two bands now stand in two rows.
    EXPECT_GT(window.Height(), before);
    EXPECT_EQ(2u, ReBar().GetReBarCtrl().GetRowCount());
}

TEST_F(ReBarTest, ContextMenuListsNamedBandsShowsHidesAndLocks)
{
    ASSERT_TRUE(MakeActive(*frame));
    CRect toolBar;
    frame->m_wndToolBar.GetWindowRect(&toolBar);
    const CPoint point = toolBar.CenterPoint();
    std::vector<CString> texts;
    std::vector<UINT> states;
    {
        HelperThread helper([&] {
            InspectAndDriveMenu(
                frame->m_hWnd,
                [&](HMENU menu) {
                    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                        texts.push_back(MenuText(menu, i));
                        states.push_back(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION));
                    }
                },
                1);
        });
        ReBar().SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ReBar().m_hWnd), MAKELPARAM(point.x, point.y));
    }
    // The unnamed menu bar is not listed; the bar under the point adds its own entry.
    ASSERT_EQ(4u, texts.size());
    EXPECT_EQ(L"標準のボタン", texts[0]);
    EXPECT_TRUE(states[0] & MF_CHECKED);
    EXPECT_TRUE(states[1] & MF_SEPARATOR);
    EXPECT_EQ(L"ツールバーを固定する", texts[2]);
    EXPECT_FALSE(states[2] & MF_CHECKED);
    EXPECT_EQ(L"ツールバーの設定(&C)", texts[3]);
    EXPECT_TRUE(states[3] & MF_GRAYED);
    // The first entry was chosen: the band and its bar are hidden.
    EXPECT_TRUE(BandInfo(ReBar(), 1, RBBIM_STYLE).fStyle & RBBS_HIDDEN);
    EXPECT_FALSE(frame->m_wndToolBar.IsWindowVisible());

    // The lock entry (the separator is passed over).
    {
        HelperThread helper([&] { InspectAndDriveMenu(frame->m_hWnd, nullptr, 2); });
        ReBar().SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ReBar().m_hWnd), MAKELPARAM(point.x, point.y));
    }
    EXPECT_TRUE(ReBar().IsLocked());
}

TEST_F(ReBarTest, NewBandsShowTheirWholeBarWithoutBorderLines)
{
    // The bar was made with CBRS_TOP: its border line would have clipped its buttons.
    EXPECT_EQ(0u, frame->m_wndToolBar.GetBarStyle() & CBRS_BORDER_ANY);
    CRect client;
    frame->m_wndToolBar.GetClientRect(&client);
    EXPECT_GE(client.Height(), frame->m_wndToolBar.GetToolBarCtrl().GetButtonSize().cy);
    // Never sized by the user, each band is as wide as its bar wants.
    for (UINT band = 0; band < 2; ++band) {
        VyxBandInfo info = BandInfo(ReBar(), band, RBBIM_SIZE | RBBIM_IDEALSIZE);
        EXPECT_GE(info.cx, info.cxIdeal) << band;
    }
}

TEST_F(ReBarTest, MenuOptionsOffShowNoMenu)
{
    ReBar().SetMenuOptions(FALSE, FALSE);
    ReBar().SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ReBar().m_hWnd), MAKELPARAM(100, 100));
    EXPECT_EQ(nullptr, WaitForMenu(300));
}

// A bar that records what the rebar tells it.
class CRelayLogBar : public CKitTestToolBar
{
public:
    std::vector<LoggedMessage> log;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_REBAR_CHILDSIZE || message == WM_REBAR_CHEVRONPUSHED) {
            // The rectangles live only during the call: keep the one the test needs.
            LoggedMessage entry = {message, 0, lParam};
            const RECT* rect = reinterpret_cast<const RECT*>(message == WM_REBAR_CHILDSIZE ? lParam : wParam);
            entry.wParam = static_cast<WPARAM>(MAKELONG(rect->left, rect->top));
            log.push_back(entry);
            return 0;
        }
        return CKitTestToolBar::WindowProc(message, wParam, lParam);
    }
};

TEST(ReBarRelay, ChevronAndChildSizeReachTheBandsBar)
{
    ScopedKitApp app;
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, L"relay", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 240, 200)));
    CSizableReBar rebar;
    ASSERT_TRUE(rebar.Create(frame, 59646, 0x56002004));
    CRelayLogBar bar;
    ASSERT_TRUE(bar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR));
    ASSERT_TRUE(rebar.AddBar(&bar, nullptr, nullptr, RBBS_GRIPPERALWAYS, L"bar"));
    EXPECT_EQ(rebar.m_hWnd, bar.GetOwner()->m_hWnd);
    EXPECT_TRUE(BandInfo(rebar, 0, RBBIM_STYLE).fStyle & RBBS_USECHEVRON);
    bar.UpdateBand();
    frame->RecalcLayout();
    PumpPending();
    EXPECT_TRUE(std::any_of(bar.log.begin(), bar.log.end(),
                            [](const LoggedMessage& m) { return m.message == WM_REBAR_CHILDSIZE; }));
    bar.log.clear();
    rebar.GetReBarCtrl().PushChevron(0, 4321);
    ASSERT_EQ(1u, bar.log.size());
    EXPECT_EQ(static_cast<UINT>(WM_REBAR_CHEVRONPUSHED), bar.log[0].message);
    EXPECT_EQ(4321, bar.log[0].lParam);
    // The chevron's rectangle comes in screen coordinates.
    CRect window;
    rebar.GetWindowRect(&window);
    POINT corner = {static_cast<short>(LOWORD(bar.log[0].wParam)), static_cast<short>(HIWORD(bar.log[0].wParam))};
    EXPECT_TRUE(window.PtInRect(corner));
    rebar.DestroyWindow();
    bar.DestroyWindow();
    frame->DestroyWindow();
}

// The band record of the newer common controls (100 bytes) works as the XP one does.
class CWideRecordReBar : public CSizableReBar
{
public:
    CWideRecordReBar() { m_cbBandInfo = 100; }
};

TEST(ReBarRelay, BandRecordsOfBothSizesAreAccepted)
{
    ScopedKitApp app;
    CTestHostWnd host;
    CWideRecordReBar rebar;
    ASSERT_TRUE(rebar.Create(&host, 59646, 0x56002004));
    CStatic child;
    ASSERT_TRUE(child.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), &host, 77));
    EXPECT_TRUE(rebar.AddBar(&child, L"x"));
    EXPECT_EQ(1u, rebar.GetReBarCtrl().GetBandCount());
    CBitmap back;
    back.CreateCompatibleBitmap(CDC::FromHandle(GetDC(nullptr)), 8, 8);
    EXPECT_TRUE(rebar.SetBackground(&back));
    EXPECT_EQ(static_cast<HBITMAP>(back.GetSafeHandle()), BandInfo(rebar, 0, RBBIM_BACKGROUND).hbmBack);
    rebar.SetBackground(nullptr);
    rebar.DestroyWindow();
}

} // namespace
