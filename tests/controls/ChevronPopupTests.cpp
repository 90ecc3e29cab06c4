#include "KitTestUtil.h"

#include "controls/CSizableReBar.h"
#include "controls/CToolBarPopup.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct PlaceCase
{
    const char* name;
    UINT flags;
    POINT point;
    RECT exclude;
    RECT expected;
    UINT animation;
};

TEST(ChevronPopupPlacement, FollowsTheRulesOfTrackPopupMenu)
{
    const RECT desktop = {0, 0, 1024, 768};
    const SIZE size = {100, 80};
    const UINT none = 0;
    const PlaceCase cases[] = {
        {"plain", 0, {10, 20}, {}, {10, 20, 110, 100}, none},
        {"centred", TPM_CENTERALIGN, {100, 20}, {}, {50, 20, 150, 100}, none},
        {"right aligned", TPM_RIGHTALIGN, {100, 20}, {}, {0, 20, 100, 100}, none},
        {"v-centred", TPM_VCENTERALIGN, {10, 100}, {}, {10, 60, 110, 140}, none},
        {"bottom aligned", TPM_BOTTOMALIGN, {10, 100}, {}, {10, 20, 110, 100}, none},
        {"past the right", 0, {1000, 700}, {}, {924, 688, 1024, 768}, none},
        {"past the left", 0, {-20, -5}, {}, {0, 0, 100, 80}, none},
        {"below, above leaves the top",
         TPM_VERTICAL,
         {10, 20},
         {10, 10, 60, 30},
         {10, 30, 110, 110},
         TPM_VERPOSANIMATION},
        {"above, below does not fit",
         TPM_VERTICAL,
         {10, 710},
         {10, 700, 60, 720},
         {10, 620, 110, 700},
         TPM_VERNEGANIMATION},
        {"the smaller move", TPM_VERTICAL, {10, 310}, {10, 300, 60, 320}, {10, 320, 110, 400}, TPM_VERPOSANIMATION},
        {"right, the smaller move", 0, {510, 50}, {500, 10, 520, 400}, {520, 50, 620, 130}, TPM_HORPOSANIMATION},
        {"left, right leaves the desktop", 0, {960, 50}, {950, 10, 970, 400}, {850, 50, 950, 130}, TPM_HORNEGANIMATION},
        {"no overlap keeps the flags",
         TPM_VERTICAL | TPM_HORPOSANIMATION,
         {10, 30},
         {10, 10, 60, 30},
         {10, 30, 110, 110},
         TPM_HORPOSANIMATION},
    };
    for (const PlaceCase& c : cases) {
        UINT flags = c.flags;
        const RECT* exclude = IsRectEmpty(&c.exclude) ? nullptr : &c.exclude;
        CRect place = CToolBarPopup::CalcPosition(size, flags, c.point.x, c.point.y, exclude, desktop);
        EXPECT_EQ(CRect(c.expected), place) << c.name;
        const UINT bits = TPM_HORPOSANIMATION | TPM_HORNEGANIMATION | TPM_VERPOSANIMATION | TPM_VERNEGANIMATION;
        EXPECT_EQ(c.animation, flags & bits) << c.name;
    }
}

// A window that records the button presses it receives.
class CPressTarget : public CTestHostWnd
{
public:
    std::atomic<int> presses{0};

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_LBUTTONDOWN || message == WM_NCLBUTTONDOWN)
            ++presses;
        return CTestHostWnd::WindowProc(message, wParam, lParam);
    }
};

class ChevronPopupTest : public testing::Test
{
protected:
    void SetUp() override
    {
        frame = CKitTestFrame::Make(420);
        ASSERT_NE(nullptr, frame);
        // The menu band takes most of the row: the tool bar's band is too narrow for its buttons.
        SetBandWidth(frame, frame->m_wndReBar.GetReBarCtrl(), AFX_IDW_MENUBAR, 260);
        ASSERT_TRUE(MakeActive(*frame));
    }
    void TearDown() override
    {
        if (frame)
            frame->DestroyWindow();
    }
    CKitTestToolBar& Bar() { return frame->m_wndToolBar; }
    std::vector<UINT> ClippedIds()
    {
        std::vector<UINT> ids;
        CRect client;
        Bar().GetClientRect(&client);
        CToolBarCtrl& ctrl = Bar().GetToolBarCtrl();
        for (int i = 0; i < ctrl.GetButtonCount(); ++i) {
            TBBUTTON button = {};
            ctrl.GetButton(i, &button);
            CRect item;
            ctrl.GetItemRect(i, &item);
            if (!(button.fsStyle & BTNS_SEP) && item.right > client.right)
                ids.push_back(static_cast<UINT>(button.idCommand));
        }
        return ids;
    }
    void PushChevron()
    {
        CReBarCtrl& rebar = frame->m_wndReBar.GetReBarCtrl();
        rebar.PushChevron(static_cast<UINT>(rebar.IDToIndex(AFX_IDW_TOOLBAR)), 0);
    }
    // The inner bar of the popup once it shows (from the helper thread).
    static HWND WaitForInnerBar()
    {
        HWND inner = nullptr;
        WaitUntil([&] {
            CToolBarPopup* popup = CToolBarPopup::GetOpenPopup();
            inner = popup ? popup->GetInnerBar().m_hWnd : nullptr;
            return inner && IsWindowVisible(GetParent(inner));
        });
        return inner;
    }
    static int Hot(HWND inner) { return static_cast<int>(SendMessageW(inner, TB_GETHOTITEM, 0, 0)); }

    ScopedKitApp app;
    CKitTestFrame* frame = nullptr;
};

TEST_F(ChevronPopupTest, ShowsTheClippedButtonsAndArrowsWrapRound)
{
    const std::vector<UINT> clipped = ClippedIds();
    ASSERT_GE(clipped.size(), 2u);
    std::vector<UINT> shown;
    std::vector<int> hot;
    {
        HelperThread helper([&] {
            HWND inner = WaitForInnerBar();
            if (!inner)
                return;
            for (int i = 0; i < SendMessageW(inner, TB_BUTTONCOUNT, 0, 0); ++i) {
                TBBUTTON button = {};
                SendMessageW(inner, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
                shown.push_back(static_cast<UINT>(button.idCommand));
            }
            for (WORD key : {VK_DOWN, VK_UP, VK_DOWN}) {
                const int before = Hot(inner);
                PressKey(key);
                WaitUntil([&] { return Hot(inner) != before; });
                hot.push_back(Hot(inner));
            }
            PressKey(VK_ESCAPE);
        });
        PushChevron();
    }
    EXPECT_EQ(clipped, shown);
    const int last = static_cast<int>(clipped.size()) - 1;
    // Down from none is the first; Up from the first is the last; Down from the last the first.
    EXPECT_EQ((std::vector<int>{0, last, 0}), hot);
    EXPECT_EQ(nullptr, CToolBarPopup::GetOpenPopup());
}

TEST_F(ChevronPopupTest, EnterSendsTheHotButtonsCommandToTheBar)
{
    const std::vector<UINT> clipped = ClippedIds();
    ASSERT_FALSE(clipped.empty());
    {
        HelperThread helper([&] {
            HWND inner = WaitForInnerBar();
            if (!inner)
                return;
            PressKey(VK_DOWN);
            WaitUntil([&] { return Hot(inner) == 0; });
            PressKey(VK_RETURN);
        });
        PushChevron();
    }
    EXPECT_TRUE(PumpUntil([&] { return !frame->m_log.commands.empty(); }));
    EXPECT_EQ((std::vector<UINT>{clipped[0]}), frame->m_log.commands);
}

TEST_F(ChevronPopupTest, ClickElsewhereClosesThePopupAndReachesThatWindow)
{
    CPressTarget target;
    target.SetWindowPos(&CWnd::wndTopMost, 600, 450, 200, 150, SWP_NOACTIVATE);
    PumpPending();
    {
        HelperThread helper([&] {
            if (!WaitForInnerBar())
                return;
            const int x = 700 * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
            const int y = 530 * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
            INPUT input[3] = {};
            for (INPUT& i : input) {
                i.type = INPUT_MOUSE;
                i.mi.dx = x;
                i.mi.dy = y;
            }
            input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
            input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
            SendInput(3, input, sizeof(INPUT));
        });
        PushChevron();
    }
    EXPECT_EQ(nullptr, CToolBarPopup::GetOpenPopup());
    EXPECT_TRUE(PumpUntil([&] { return target.presses > 0; }));
}

TEST_F(ChevronPopupTest, NothingOpensWhenEveryButtonFits)
{
    frame->SetWindowPos(nullptr, 0, 0, 1000, 300, SWP_NOMOVE | SWP_NOZORDER);
    frame->RecalcLayout();
    ASSERT_TRUE(ClippedIds().empty());
    CToolBarPopup popup(&Bar());
    CRect chevron(10, 10, 20, 20);
    EXPECT_FALSE(popup.ShowPopup(TPM_VERTICAL, 10, 20, &chevron));
    EXPECT_EQ(nullptr, popup.m_hWnd);
    EXPECT_EQ(nullptr, CToolBarPopup::GetOpenPopup());
}

} // namespace
