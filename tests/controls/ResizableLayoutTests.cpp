#include "controls/CResizableLayout.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

// A top-level window laid out by the engine, with its protected steps opened for the tests.
class LayoutHost : public CWnd, public CResizableLayout
{
public:
    LayoutHost()
    {
        LPCWSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), ::GetSysColorBrush(COLOR_BTNFACE));
        CreateEx(0, cls, L"配置", WS_POPUP | WS_VISIBLE, 50, 50, 400, 300, nullptr, nullptr);
    }
    ~LayoutHost() override { DestroyWindow(); }

    HWND Child(LPCWSTR cls, DWORD style, const CRect& rect, LPCWSTR text = L"")
    {
        return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top, rect.Width(),
                                 rect.Height(), m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(++m_nextId)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    }
    CRect ChildRect(HWND child)
    {
        CRect rect;
        ::GetWindowRect(child, &rect);
        ScreenToClient(&rect);
        return rect;
    }
    LayoutInfo Info(HWND child)
    {
        LayoutInfo info;
        EXPECT_TRUE(GetAnchorInfo(child, info));
        return info;
    }
    void Resize(int cx, int cy) { SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER); }

    using CResizableLayout::NeedsRepaint;
    using CResizableLayout::WantsClipping;

protected:
    CWnd* GetLayoutWnd() const override { return const_cast<LayoutHost*>(this); }

private:
    int m_nextId = 100;
};

TEST(ResizableLayoutTest, PercentTruncatesTowardZero)
{
    struct Case
    {
        int d, a, expected;
    } cases[] = {{-10, 33, -3}, {10, 33, 3}, {199, 50, 99}, {-199, 50, -99}, {400, 100, 400}, {0, 50, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(CResizableLayout::Percent(c.d, c.a), c.expected) << c.d << " x " << c.a;
}

TEST(ResizableLayoutTest, AnUnchangedChildIsLeftOutOfTheBatch)
{
    LayoutHost host;
    HWND edit = host.Child(L"Edit", 0, CRect(10, 10, 110, 40));
    host.AddAnchor(edit, TOP_LEFT, BOTTOM_RIGHT);
    CRect area, rect;
    host.GetClientRect(&area);
    UINT flags = 0;
    host.CalcChildRect(host.Info(edit), area, &rect, &flags);
    EXPECT_EQ(rect, CRect(10, 10, 110, 40));
    EXPECT_EQ(flags, 0x214u | SWP_NOMOVE | SWP_NOSIZE);

    area.right += 20; // grows only
    host.CalcChildRect(host.Info(edit), area, &rect, &flags);
    EXPECT_EQ(rect, CRect(10, 10, 130, 40));
    EXPECT_EQ(flags, 0x214u | SWP_NOMOVE);
}

TEST(ResizableLayoutTest, AStaticTextGrowingWiderIsRepaintedAndAnEditIsNot)
{
    LayoutHost host;
    HWND label = host.Child(L"Static", SS_LEFT, CRect(10, 10, 110, 30), L"文字");
    HWND edit = host.Child(L"Edit", 0, CRect(10, 40, 110, 60));
    host.AddAnchor(label, TOP_LEFT, TOP_RIGHT);
    host.AddAnchor(edit, TOP_LEFT, TOP_RIGHT);
    CRect area, rect;
    host.GetClientRect(&area);
    area.right += 30;
    UINT flags = 0;
    host.CalcChildRect(host.Info(label), area, &rect, &flags);
    EXPECT_EQ(flags, 0x314u | SWP_NOMOVE);
    host.CalcChildRect(host.Info(edit), area, &rect, &flags);
    EXPECT_EQ(flags, 0x214u | SWP_NOMOVE);
}

TEST(ResizableLayoutTest, ArrangeLayoutMovesEveryChildForTheNewSize)
{
    LayoutHost host;
    CRect client0;
    host.GetClientRect(&client0);
    HWND fill = host.Child(L"Edit", 0, CRect(10, 10, 200, 200));
    HWND corner = host.Child(L"Button", BS_PUSHBUTTON, CRect(300, 250, 380, 280));
    HWND centre = host.Child(L"Button", BS_PUSHBUTTON, CRect(150, 210, 250, 230));
    host.AddAnchor(fill, TOP_LEFT, BOTTOM_RIGHT);
    host.AddAnchor(corner, BOTTOM_RIGHT);
    host.AddAnchor(centre, MIDDLE_CENTER);
    host.Resize(500, 360);
    host.ArrangeLayout();
    CRect client;
    host.GetClientRect(&client);
    int dx = client.Width() - client0.Width(), dy = client.Height() - client0.Height();
    EXPECT_EQ(host.ChildRect(fill), CRect(10, 10, 200 + dx, 200 + dy));
    EXPECT_EQ(host.ChildRect(corner), CRect(300 + dx, 250 + dy, 380 + dx, 280 + dy));
    CRect moved = host.ChildRect(centre);
    EXPECT_EQ(moved.Size(), CSize(100, 20));
    EXPECT_EQ(moved.left, 150 + (client.Width() / 2 - client0.Width() / 2));
    EXPECT_EQ(moved.top, 210 + (client.Height() / 2 - client0.Height() / 2));
}

// A moved child is drawn anew where it now is and the window anew where it was: a platform that
// copies a child's old pixels along, or leaves them behind, shows it twice or not at all.
TEST(ResizableLayoutTest, AMovedChildIsRepaintedWhereItIsAndWhereItWas)
{
    LayoutHost host;
    HWND corner = host.Child(L"Button", BS_PUSHBUTTON, CRect(300, 250, 380, 280), L"OK");
    HWND still = host.Child(L"Button", BS_PUSHBUTTON, CRect(10, 10, 90, 40), L"still");
    host.AddAnchor(corner, BOTTOM_RIGHT);
    host.AddAnchor(still, TOP_LEFT);
    const CRect old = host.ChildRect(corner);
    host.Resize(560, 300);
    host.UpdateWindow();
    ::RedrawWindow(host.m_hWnd, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
    host.ArrangeLayout();
    ASSERT_EQ(old.left + 160, host.ChildRect(corner).left);
    EXPECT_TRUE(::GetUpdateRect(corner, nullptr, FALSE));
    EXPECT_FALSE(::GetUpdateRect(still, nullptr, FALSE));
    CRgn update;
    update.CreateRectRgn(0, 0, 0, 0);
    ::GetUpdateRgn(host.m_hWnd, update, FALSE);
    EXPECT_TRUE(update.RectInRegion(&old));
    EXPECT_TRUE(update.PtInRegion(old.left + 1, old.top + 1));
}

TEST(ResizableLayoutTest, AnchoringAChildAgainReplacesItsRecord)
{
    LayoutHost host;
    HWND edit = host.Child(L"Edit", 0, CRect(10, 10, 110, 40));
    host.AddAnchor(edit, TOP_LEFT, BOTTOM_RIGHT);
    host.AddAnchor(edit, TOP_LEFT); // now keeps its size
    EXPECT_EQ(host.GetAnchorCount(), 1);
    host.Resize(500, 400);
    host.ArrangeLayout();
    EXPECT_EQ(host.ChildRect(edit), CRect(10, 10, 110, 40));
    host.ClearLayout();
    EXPECT_EQ(host.GetAnchorCount(), 0);
}

struct ClippingCase
{
    LPCWSTR cls;
    DWORD style;
    BOOL wantsClipping;
};

TEST(ResizableLayoutTest, WhichControlsWantClipping)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&init);
    const ClippingCase cases[] = {
        {L"Button", BS_GROUPBOX, FALSE},
        {L"Button", BS_PUSHBUTTON, TRUE},
        {L"Button", BS_AUTOCHECKBOX, TRUE},
        {L"Button", BS_OWNERDRAW, TRUE},
        {L"Static", SS_LEFT, TRUE},
        {L"Static", SS_SIMPLE, TRUE},
        {L"Static", SS_ETCHEDHORZ, TRUE},
        {L"Static", SS_ICON, TRUE},
        {L"Static", SS_ICON | SS_CENTERIMAGE, FALSE},
        {L"Static", SS_BLACKFRAME, FALSE},
        {L"Static", SS_ETCHEDFRAME, FALSE},
        {L"Static", SS_OWNERDRAW, FALSE},
        {L"Edit", ES_MULTILINE, TRUE},
        {L"ListBox", 0, TRUE},
        {TOOLBARCLASSNAMEW, TBSTYLE_TRANSPARENT | CCS_NORESIZE, FALSE},
        {TOOLBARCLASSNAMEW, CCS_NORESIZE, TRUE},
    };
    LayoutHost host;
    for (const ClippingCase& c : cases) {
        HWND child = host.Child(c.cls, c.style, CRect(10, 10, 100, 60));
        ASSERT_NE(child, nullptr);
        host.AddAnchor(child, TOP_LEFT);
        CResizableLayout::LayoutInfo info = host.Info(child);
        EXPECT_FALSE(info.bMsgSupport);
        EXPECT_FALSE(info.properties.bAskClipping);
        EXPECT_EQ(info.properties.bCachedLikesClipping, c.wantsClipping) << CStringA(c.cls) << " " << c.style;
        ::DestroyWindow(child);
    }
}

struct RepaintCase
{
    DWORD style;
    CSize grow;
    BOOL repaint;
};

TEST(ResizableLayoutTest, WhichStaticControlsNeedRepaintingAfterASizeChange)
{
    const RepaintCase cases[] = {
        {SS_LEFT, CSize(10, 0), TRUE},
        {SS_LEFT, CSize(0, 10), FALSE},
        {SS_LEFT | SS_CENTERIMAGE, CSize(0, 10), TRUE},
        {SS_RIGHT, CSize(-5, 0), TRUE},
        {SS_LEFTNOWORDWRAP, CSize(10, 0), FALSE},
        {SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS, CSize(10, 0), TRUE},
        {SS_LEFTNOWORDWRAP | SS_CENTERIMAGE, CSize(0, 10), TRUE},
        {SS_BLACKFRAME, CSize(0, 3), TRUE},
        {SS_ETCHEDFRAME, CSize(3, 0), TRUE},
        {SS_SIMPLE, CSize(10, 10), FALSE},
        {SS_LEFT, CSize(0, 0), FALSE},
    };
    LayoutHost host;
    for (const RepaintCase& c : cases) {
        HWND child = host.Child(L"Static", c.style, CRect(10, 10, 100, 60), L"文字");
        host.AddAnchor(child, TOP_LEFT);
        CRect old(10, 10, 100, 60), grown(10, 10, 100 + c.grow.cx, 60 + c.grow.cy);
        EXPECT_EQ(host.NeedsRepaint(host.Info(child), old, grown), c.repaint) << std::hex << c.style;
        ::DestroyWindow(child);
    }
}

TEST(ResizableLayoutTest, AListBoxScrolledToItsRightEndIsRepaintedWhenWidened)
{
    LayoutHost host;
    HWND list = host.Child(L"ListBox", WS_HSCROLL, CRect(10, 10, 110, 100));
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"とても長い項目の文字列とても長い項目の文字列"));
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, 400, 0);
    host.AddAnchor(list, TOP_LEFT, TOP_RIGHT);
    CRect old(10, 10, 110, 100), wider(10, 10, 130, 100);
    EXPECT_FALSE(host.NeedsRepaint(host.Info(list), old, wider)); // scrolled to the left: nothing moves
    ::SendMessageW(list, WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
    EXPECT_TRUE(host.NeedsRepaint(host.Info(list), old, wider));
}

// A control that answers the layout's queries itself.
struct SupportAnswers
{
    ResizeProperties properties;
    BOOL likesClipping;
    BOOL needsRefresh;
    int queries[3];
};
SupportAnswers g_answers;

LRESULT CALLBACK SupportingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WMU_RESIZESUPPORT) {
        switch (wParam) {
        case RESIZESUPPORT_PROPERTIES:
            ++g_answers.queries[0];
            *reinterpret_cast<ResizeProperties*>(lParam) = g_answers.properties;
            return TRUE;
        case RESIZESUPPORT_CLIPPING:
            ++g_answers.queries[1];
            *reinterpret_cast<BOOL*>(lParam) = g_answers.likesClipping;
            return TRUE;
        case RESIZESUPPORT_REFRESH: {
            ++g_answers.queries[2];
            auto* query = reinterpret_cast<ResizeRefreshQuery*>(lParam);
            EXPECT_TRUE(query->bNeedsRefresh); // preset
            query->bNeedsRefresh = g_answers.needsRefresh;
            return TRUE;
        }
        }
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

TEST(ResizableLayoutTest, AControlAnsweringTheRegisteredMessageDecidesForItself)
{
    WNDCLASSW cls = {};
    cls.lpfnWndProc = &SupportingProc;
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.lpszClassName = L"VyxResizeSupport";
    ::RegisterClassW(&cls);
    g_answers = {{TRUE, TRUE, FALSE, FALSE}, FALSE, TRUE, {0, 0, 0}};

    LayoutHost host;
    HWND child = host.Child(L"VyxResizeSupport", 0, CRect(10, 10, 50, 50));
    host.AddAnchor(child, TOP_LEFT, BOTTOM_RIGHT);
    CResizableLayout::LayoutInfo info = host.Info(child);
    EXPECT_TRUE(info.bMsgSupport);
    EXPECT_EQ(g_answers.queries[0], 1);

    // Asked on every use: it does not want clipping, so the region keeps its area.
    CRgn region;
    host.BuildClipRegion(&region);
    EXPECT_TRUE(region.PtInRegion(30, 30));
    EXPECT_EQ(g_answers.queries[1], 1);
    g_answers.likesClipping = TRUE;
    host.BuildClipRegion(&region);
    EXPECT_FALSE(region.PtInRegion(30, 30));

    CRect area, rect;
    host.GetClientRect(&area);
    area.right += 10;
    UINT flags = 0;
    host.CalcChildRect(info, area, &rect, &flags);
    EXPECT_TRUE(flags & SWP_NOCOPYBITS);
    g_answers.needsRefresh = FALSE;
    host.CalcChildRect(info, area, &rect, &flags);
    EXPECT_FALSE(flags & SWP_NOCOPYBITS);
    EXPECT_EQ(g_answers.queries[2], 2);
}

TEST(ResizableLayoutTest, ClipRegionLeavesOutClippingChildrenOnly)
{
    LayoutHost host;
    HWND edit = host.Child(L"Edit", 0, CRect(10, 10, 60, 40));
    HWND group = host.Child(L"Button", BS_GROUPBOX, CRect(100, 10, 200, 100));
    HWND hidden = host.Child(L"Edit", 0, CRect(250, 10, 300, 40));
    ::ShowWindow(hidden, SW_HIDE);
    host.AddAnchor(edit, TOP_LEFT);
    host.AddAnchor(group, TOP_LEFT);
    host.AddAnchor(hidden, TOP_LEFT);
    CRgn region;
    host.BuildClipRegion(&region);
    EXPECT_FALSE(region.PtInRegion(30, 20)); // under the edit
    EXPECT_TRUE(region.PtInRegion(150, 50)); // inside the group box: erased
    EXPECT_TRUE(region.PtInRegion(270, 20)); // a hidden child covers nothing
    EXPECT_TRUE(region.PtInRegion(5, 5));    // bare background

    // A child's own window region is what it covers.
    HRGN round = ::CreateEllipticRgn(0, 0, 50, 30);
    ::SetWindowRgn(edit, round, FALSE);
    host.BuildClipRegion(&region);
    EXPECT_TRUE(region.PtInRegion(11, 11)); // outside the ellipse, inside the rectangle
    EXPECT_FALSE(region.PtInRegion(35, 25));
}

TEST(ResizableLayoutTest, CallbackItemsAreFilledJustBeforeUse)
{
    class CallbackHost : public LayoutHost
    {
    public:
        HWND m_target = nullptr;
        int m_calls = 0;

    protected:
        BOOL ArrangeCallbackItem(LayoutInfo& layout) override
        {
            ++m_calls;
            if (layout.nCallbackID != 7)
                return FALSE;
            layout.hWnd = m_target;
            layout.sizeTypeTL = TOP_LEFT;
            layout.sizeTypeBR = BOTTOM_RIGHT;
            layout.sizeMarginTL = CSize(5, 5);
            layout.sizeMarginBR = CSize(-5, -5);
            return TRUE;
        }
    } host;
    host.m_target = host.Child(L"Edit", 0, CRect(0, 0, 10, 10));
    host.AddCallbackItem(7);
    host.AddCallbackItem(8);
    EXPECT_EQ(host.GetCallbackCount(), 2);
    host.ArrangeLayout();
    CRect client;
    host.GetClientRect(&client);
    EXPECT_EQ(host.ChildRect(host.m_target), CRect(5, 5, client.right - 5, client.bottom - 5));
    EXPECT_EQ(host.m_calls, 2);
}

} // namespace
