#include "controls/CTreePropSheetSplitter.h"

#include "common/WindowTestUtil.h"

#include <gtest/gtest.h>

#include <memory>

using TreePropSheet::CTreePropSheetSplitter;

namespace {

class SplitterTest : public testing::Test
{
protected:
    // Two panes side by side, bar 5, the splitter 405 wide: 400 pixels for the panes.
    void Make(const int* minimums, int width = 405)
    {
        m_splitter = std::make_unique<CTreePropSheetSplitter>(2, 1, minimums, 5);
        ASSERT_TRUE(m_splitter->Create(&m_host, CRect(10, 10, 10 + width, 210), 100));
        for (int i = 0; i < 2; ++i) {
            m_panes[i].Create(L"", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, CRect(0, 0, 1, 1), &m_host, 200 + i);
            m_splitter->SetPane(i, &m_panes[i]);
        }
    }
    void Make(int minimum = 20, int width = 405)
    {
        int minimums[2] = {minimum, minimum};
        Make(minimums, width);
    }
    CRect Pane(int i)
    {
        CRect rect;
        m_panes[i].GetWindowRect(&rect);
        m_host.ScreenToClient(&rect);
        return rect;
    }
    void Width(int width) { m_splitter->SetWindowPos(nullptr, 0, 0, width, 200, SWP_NOMOVE | SWP_NOZORDER); }
    // Mouse messages in the splitter's client coordinates, x given in the host's.
    void Mouse(UINT message, int hostX) { m_splitter->SendMessage(message, MK_LBUTTON, MAKELPARAM(hostX - 10, 50)); }

    CTestHostWnd m_host;
    std::unique_ptr<CTreePropSheetSplitter> m_splitter;
    CStatic m_panes[2];
};

TEST(SplitterSharesTest, NewSplittersShareTheLengthEqually)
{
    CTreePropSheetSplitter two(2, 1, 10, 5), three(3, 1, 10, 5);
    EXPECT_EQ(two.GetRelativeSize(0), 16384);
    EXPECT_EQ(two.GetRelativeSize(1), 16384);
    EXPECT_EQ(three.GetRelativeSize(0), 10923);
    EXPECT_EQ(three.GetRelativeSize(1), 10923);
    EXPECT_EQ(three.GetRelativeSize(2), 10922);
}

TEST_F(SplitterTest, PaneSizesBecomeSharesOfTheFreeLength)
{
    Make();
    int sizes[2] = {100, 300};
    m_splitter->SetPaneSizes(sizes);
    EXPECT_EQ(m_splitter->GetRelativeSize(0), 8192);
    EXPECT_EQ(m_splitter->GetRelativeSize(1), 24576);
    EXPECT_EQ(Pane(0), CRect(10, 10, 110, 210));
    EXPECT_EQ(Pane(1), CRect(115, 10, 415, 210));
    EXPECT_EQ(m_splitter->GetPaneRect(1), Pane(1));
}

TEST_F(SplitterTest, AFrozenPaneKeepsItsPixelsAndTheOtherTakesTheGain)
{
    Make();
    int sizes[2] = {100, 300};
    m_splitter->SetPaneSizes(sizes);
    BOOL frozen[2] = {TRUE, FALSE};
    m_splitter->SetFrozenPanes(frozen);
    Width(505);
    EXPECT_EQ(Pane(0).Width(), 100);
    EXPECT_EQ(Pane(1).Width(), 400);
    Width(305);
    EXPECT_EQ(Pane(0).Width(), 100);
    EXPECT_EQ(Pane(1).Width(), 200);
}

TEST_F(SplitterTest, WithoutFrozenPanesTheGainIsSharedInProportion)
{
    Make();
    int sizes[2] = {100, 300};
    m_splitter->SetPaneSizes(sizes);
    Width(805);
    EXPECT_EQ(Pane(0).Width(), 200);
    EXPECT_EQ(Pane(1).Width(), 600);
}

TEST_F(SplitterTest, ATooSmallPaneIsBroughtUpToItsMinimum)
{
    int minimums[2] = {150, 20};
    Make(minimums);
    int sizes[2] = {50, 350};
    m_splitter->SetPaneSizes(sizes);
    EXPECT_EQ(Pane(0).Width(), 150);
    EXPECT_EQ(Pane(1).Width(), 250);
}

TEST_F(SplitterTest, WhenMinimumsCannotAllBeMetTheyAreGivenInOrder)
{
    int minimums[2] = {100, 100};
    Make(minimums, 155); // 150 pixels for two minimums of 100
    EXPECT_EQ(Pane(0).Width(), 100);
    EXPECT_EQ(Pane(1).Width(), 50);
}

TEST_F(SplitterTest, DraggingTheBarNeverGoesBelowAMinimum)
{
    int minimums[2] = {80, 120};
    Make(minimums);
    m_splitter->SetLiveDrag(TRUE);
    int bar = m_splitter->GetPosition(1); // host x where pane 1 starts
    Mouse(WM_LBUTTONDOWN, bar - 2);
    ASSERT_EQ(CWnd::GetCapture(), m_splitter.get());
    Mouse(WM_MOUSEMOVE, 15);
    EXPECT_EQ(Pane(0).Width(), 80);
    Mouse(WM_MOUSEMOVE, 600);
    EXPECT_EQ(Pane(1).Width(), 120);
    Mouse(WM_MOUSEMOVE, 250 - 2);
    Mouse(WM_LBUTTONUP, 250 - 2);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_EQ(Pane(0).right, 250 - 5);
    EXPECT_EQ(Pane(1).left, 250);
    EXPECT_EQ(m_splitter->GetRelativeSize(0), (235 * 32768 + 200) / 400);
}

TEST_F(SplitterTest, WithoutLiveDragPanesMoveOnlyOnRelease)
{
    Make();
    CRect before = Pane(0);
    int bar = m_splitter->GetPosition(1);
    Mouse(WM_LBUTTONDOWN, bar - 1); // the grab point within the bar is kept
    Mouse(WM_MOUSEMOVE, bar + 59);
    EXPECT_EQ(Pane(0), before);
    Mouse(WM_LBUTTONUP, bar + 59);
    EXPECT_EQ(Pane(0).Width(), before.Width() + 60);
}

TEST_F(SplitterTest, AClickBeyondTheLastBarOrOnAFixedSplitterStartsNoDrag)
{
    Make();
    Mouse(WM_LBUTTONDOWN, 400);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    m_splitter->SetResizable(FALSE);
    Mouse(WM_LBUTTONDOWN, m_splitter->GetPosition(1) - 1);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(SplitterTest, CollapsedSplitterKeepsItsSharesAndLaysPanesOutAtZeroSize)
{
    Make();
    int sizes[2] = {100, 300};
    m_splitter->SetPaneSizes(sizes);
    BOOL frozen[2] = {TRUE, FALSE};
    m_splitter->SetFrozenPanes(frozen);
    Width(5); // nothing but the bar: no free length at all
    EXPECT_EQ(Pane(0).Width(), 0);
    EXPECT_EQ(Pane(1).Width(), 0);
    // A drag on the collapsed splitter changes no share.
    Mouse(WM_LBUTTONDOWN, 10);
    Mouse(WM_MOUSEMOVE, 12);
    Mouse(WM_LBUTTONUP, 12);
    EXPECT_EQ(m_splitter->GetRelativeSize(0) + m_splitter->GetRelativeSize(1), 32768);
    m_splitter->SetUnfreezeAll();
    Width(405);
    EXPECT_EQ(Pane(0).Width() + Pane(1).Width(), 400);
}

TEST_F(SplitterTest, AllZeroPaneSizesAreIgnored)
{
    Make();
    int sizes[2] = {0, 0};
    m_splitter->SetPaneSizes(sizes);
    EXPECT_EQ(m_splitter->GetRelativeSize(0), 16384);
    EXPECT_EQ(Pane(0).Width(), 200);
}

TEST_F(SplitterTest, TheSplitterTakesTheClientEdgeOffItsParent)
{
    CTestHostWnd bordered;
    bordered.ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
    CTreePropSheetSplitter splitter(2, 2, 10, 4);
    ASSERT_TRUE(splitter.Create(&bordered, 7));
    EXPECT_FALSE(bordered.GetExStyle() & WS_EX_CLIENTEDGE);
    CStatic top, bottom;
    top.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), &bordered, 1);
    bottom.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), &bordered, 2);
    splitter.SetPane(0, &top);
    splitter.SetPane(1, &bottom);
    CRect client, a, b;
    splitter.GetWindowRect(&client); // as big as the client area was before the edge went
    bordered.ScreenToClient(&client);
    top.GetWindowRect(&a);
    bottom.GetWindowRect(&b);
    bordered.ScreenToClient(&a);
    bordered.ScreenToClient(&b);
    EXPECT_EQ(a.Width(), client.Width()); // stacked: full width
    EXPECT_EQ(b.top - a.bottom, 4);
    EXPECT_EQ(b.bottom, client.bottom);
}

} // namespace
