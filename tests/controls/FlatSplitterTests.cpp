#include "KitTestUtil.h"

#include "controls/CFlatSplitterWnd.h"
#include "controls/CModuleHolder.h"
#include "foundation/VyxSystem.h"

#include <gtest/gtest.h>

namespace {

class CPaneView : public CView
{
    DECLARE_DYNCREATE(CPaneView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CPaneView, CView)

class CTestFlatSplitter : public CFlatSplitterWnd
{
public:
    int Splitter() const { return m_cxSplitter + m_cySplitter * 100; }
    int Gap() const { return m_cxSplitterGap + m_cySplitterGap * 100; }
    int Border() const { return m_cxBorder + m_cyBorder * 100; }
    int Share() const { return m_cxBorderShare + m_cyBorderShare * 100; }
};

struct LayoutCase
{
    const char* name;
    int size;
    int ideal0, min0, ideal1, min1;
    int cur0, cur1;
};

TEST(FlatSplitter, MetricsAreThinAndTheSharingFollowsIdealAndMinimum)
{
    CTestFlatSplitter splitter;
    EXPECT_EQ(505, splitter.Splitter());
    EXPECT_EQ(505, splitter.Gap());
    EXPECT_EQ(101, splitter.Border());
    EXPECT_EQ(0, splitter.Share());

    const LayoutCase cases[] = {
        {"ideal, then the rest", 300, 100, 10, 50, 10, 100, 195},
        {"below its minimum: hidden", 300, 5, 10, 50, 10, 0, 295},
        {"no room for the last: it goes", 120, 100, 10, 50, 20, 117, 0},
        {"less than a bar left", 103, 100, 10, 50, 10, 103, 0},
        {"nothing at all", 0, 100, 10, 50, 10, 0, 0},
    };
    for (const LayoutCase& c : cases) {
        CSplitterWnd::CRowColInfo info[2] = {{c.min0, c.ideal0, -1}, {c.min1, c.ideal1, -1}};
        CFlatSplitterWnd::LayoutRowCol(info, 2, c.size, 5);
        EXPECT_EQ(c.cur0, info[0].nCurSize) << c.name;
        EXPECT_EQ(c.cur1, info[1].nCurSize) << c.name;
        EXPECT_LE(info[0].nCurSize + info[1].nCurSize, std::max(c.size, 0)) << c.name;
    }
}

TEST(FlatSplitter, PanesWithASunkenEdgeReachUnderTheBar)
{
    CTestHostWnd host;
    host.MoveWindow(40, 40, 420, 300);
    CFlatSplitterWnd splitter;
    ASSERT_TRUE(splitter.CreateStatic(&host, 1, 2));
    ASSERT_TRUE(splitter.CreateView(0, 0, RUNTIME_CLASS(CPaneView), CSize(120, 100), nullptr));
    ASSERT_TRUE(splitter.CreateView(0, 1, RUNTIME_CLASS(CPaneView), CSize(100, 100), nullptr));
    splitter.MoveWindow(0, 0, 300, 200);
    CWnd* left = splitter.GetPane(0, 0);
    CWnd* right = splitter.GetPane(0, 1);
    left->ModifyStyleEx(0, WS_EX_CLIENTEDGE);
    right->ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
    splitter.RecalcLayout();
    auto rectOf = [&](CWnd* pane) {
        CRect rect;
        pane->GetWindowRect(&rect);
        splitter.ScreenToClient(&rect);
        return rect;
    };
    // Inside the one-pixel border: 120 for the first column, a 5-pixel bar, the rest.
    EXPECT_EQ(CRect(0, 0, 122, 200), rectOf(left));
    EXPECT_EQ(CRect(126, 1, 299, 199), rectOf(right));
    // The border is a thin 3-D frame.
    MemoryCanvas canvas(20, 20, RGB(1, 2, 3));
    splitter.OnDrawSplitter(canvas.DC(), CSplitterWnd::splitBorder, CRect(0, 0, 10, 10));
    EXPECT_EQ(GetSysColor(COLOR_3DSHADOW), canvas.Pixel(0, 0));
    EXPECT_EQ(GetSysColor(COLOR_3DHIGHLIGHT), canvas.Pixel(9, 9));
    EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(1, 1));
    splitter.DestroyWindow();
}

TEST(FlatSplitter, ScrollBarsTooThinToUseAreHidden)
{
    CTestHostWnd host;
    CFlatSplitterWnd splitter;
    ASSERT_TRUE(splitter.CreateStatic(&host, 1, 2, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL));
    ASSERT_TRUE(splitter.CreateView(0, 0, RUNTIME_CLASS(CPaneView), CSize(1, 100), nullptr));
    ASSERT_TRUE(splitter.CreateView(0, 1, RUNTIME_CLASS(CPaneView), CSize(100, 100), nullptr));
    splitter.MoveWindow(0, 0, 300, 200);
    splitter.RecalcLayout();
    HWND thin = GetDlgItem(splitter.m_hWnd, AFX_IDW_HSCROLL_FIRST);
    HWND wide = GetDlgItem(splitter.m_hWnd, AFX_IDW_HSCROLL_FIRST + 1);
    ASSERT_TRUE(thin && wide);
    EXPECT_FALSE(IsWindowVisible(thin));
    EXPECT_TRUE(IsWindowVisible(wide));
    splitter.DestroyWindow();
}

TEST(ModuleHolder, LoadsLooksUpAndReadsTheVersion)
{
    CModuleHolder comctl(L"comctl32.dll", FALSE);
    ASSERT_NE(nullptr, comctl.GetHandle());
    EXPECT_NE(nullptr, comctl.GetProc("InitCommonControlsEx"));
    EXPECT_EQ(nullptr, comctl.GetProc("NoSuchEntry"));
    EXPECT_EQ(GetComCtl32Version(), comctl.GetVersion());
    CModuleHolder missing;
    EXPECT_FALSE(missing.Load(L"no_such_library_vyx.dll", TRUE));
    EXPECT_EQ(0u, missing.GetVersion());
    // Loaded to be freed: the holder lets it go.
    CModuleHolder owned;
    ASSERT_TRUE(owned.Load(L"msimg32.dll", TRUE));
    owned.Release();
    EXPECT_EQ(nullptr, owned.GetHandle());
}

} // namespace
