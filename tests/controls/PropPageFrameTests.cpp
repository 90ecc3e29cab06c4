#include "controls/CPropPageFrameBordered.h"

#include "controls/fakes/FakeUxTheme.h"
#include "common/WindowTestUtil.h"

#include <gtest/gtest.h>

#include <memory>

using namespace TreePropSheet;

namespace {

// The frames draw with the given library for the length of a test.
class FrameTheme
{
public:
    explicit FrameTheme(LPCWSTR library) : m_lib(library) { VyxPropPageFrameEx::SetThemeLib(&m_lib); }
    ~FrameTheme() { VyxPropPageFrameEx::SetThemeLib(nullptr); }
    FakeThemeState* Fake()
    {
        auto state = reinterpret_cast<FakeThemeState*(WINAPI*)()>(
            ::GetProcAddress(::GetModuleHandleW(L"fake_uxtheme.dll"), "FakeTheme_State"));
        return state ? state() : nullptr;
    }

private:
    CThemeLibEx m_lib;
};

class PageFrameTest : public testing::Test
{
protected:
    template <class Frame> std::unique_ptr<Frame> Make()
    {
        auto frame = std::make_unique<Frame>();
        EXPECT_TRUE(frame->Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 310, 210), &m_host, 0xFFFF));
        return frame;
    }
    CTestHostWnd m_host;
};

TEST_F(PageFrameTest, UnthemedAreasLeaveOnePixelBelowTheCaption)
{
    FrameTheme theme(L"no_such_theme_library.dll");
    auto frame = Make<VyxPropPageFrameEx>();
    CRect client;
    frame->GetClientRect(&client);
    EXPECT_TRUE(frame->CalcCaptionArea().IsRectEmpty());
    EXPECT_EQ(frame->CalcMsgArea(), client);
    frame->SetCaptionHeight(20);
    frame->ShowCaption(TRUE);
    EXPECT_EQ(frame->CalcCaptionArea(), CRect(0, 0, client.right, 20));
    EXPECT_EQ(frame->CalcMsgArea(), CRect(0, 21, client.right, client.bottom));
    CString text;
    frame->GetWindowText(text);
    EXPECT_EQ(text, L"PropPageFrameEx");
}

TEST_F(PageFrameTest, ThemedAreasLieInsideThePanesContent)
{
    FrameTheme theme(L"fake_uxtheme.dll");
    ASSERT_TRUE(VyxPropPageFrameEx::IsThemed());
    auto frame = Make<VyxPropPageFrameEx>();
    CRect client;
    frame->GetClientRect(&client);
    EXPECT_EQ(frame->CalcMsgArea(), CRect(2, 2, client.right - 2, client.bottom - 2));
    frame->SetCaptionHeight(20);
    frame->ShowCaption(TRUE);
    EXPECT_EQ(frame->CalcCaptionArea(), CRect(2, 2, client.right - 2, 20));
    EXPECT_EQ(frame->CalcMsgArea(), CRect(2, 21, client.right - 2, client.bottom - 2));

    FakeThemeState* fake = theme.Fake();
    ASSERT_NE(fake, nullptr);
    int drawn = fake->drawn;
    frame->RedrawWindow();
    EXPECT_GT(fake->drawn, drawn);
    EXPECT_EQ(fake->lastPart, 9); // the tab pane
    EXPECT_STREQ(fake->lastClass, L"Tab");
}

TEST_F(PageFrameTest, BorderedFrameHasASunkenEdgeOnlyWithoutTheme)
{
    {
        FrameTheme theme(L"no_such_theme_library.dll");
        auto frame = Make<CPropPageFrameBordered>();
        EXPECT_EQ(frame->GetExStyle() & 0x220, 0x220u);
        CString text;
        frame->GetWindowText(text);
        EXPECT_EQ(text, L"PropPageFrameBordered");
    }
    {
        FrameTheme theme(L"fake_uxtheme.dll");
        auto frame = Make<CPropPageFrameBordered>();
        EXPECT_EQ(frame->GetExStyle() & 0x220, 0u);
        CString text;
        frame->GetWindowText(text);
        EXPECT_EQ(text, L"PropPageFrameEx");
    }
}

TEST_F(PageFrameTest, ACaptionIconIsKeptOnlyWhenItCouldBeAdded)
{
    auto frame = Make<VyxPropPageFrameEx>();
    frame->SetCaption(L"表示", ::LoadIconW(nullptr, IDI_INFORMATION));
    EXPECT_EQ(frame->GetCaptionImageCount(), 1);
    frame->SetCaption(L"表示", reinterpret_cast<HICON>(static_cast<INT_PTR>(0x1234)));
    EXPECT_EQ(frame->GetCaptionImageCount(), 0);
    frame->SetCaption(L"表示");
    EXPECT_EQ(frame->GetCaptionImageCount(), 0);
    HICON icon = nullptr;
    EXPECT_EQ(frame->GetCaption(&icon), L"表示");
    EXPECT_EQ(icon, nullptr);
}

TEST_F(PageFrameTest, SettingsBeforeTheWindowExistsAreOnlyStored)
{
    VyxPropPageFrameEx frame;
    frame.ShowCaption(TRUE);
    frame.SetCaptionHeight(18);
    frame.SetMsgText(L"ページなし");
    frame.SetMsgFormat(DT_LEFT);
    frame.SetCaption(L"見出し");
    EXPECT_TRUE(frame.GetShowCaption());
    EXPECT_EQ(frame.GetCaptionHeight(), 18);
    EXPECT_EQ(frame.GetMsgText(), L"ページなし");
    EXPECT_EQ(frame.GetMsgFormat(), static_cast<DWORD>(DT_LEFT));
    EXPECT_EQ(frame.GetCaption(), L"見出し");
}

TEST_F(PageFrameTest, CaptionBandRunsFromTheActiveCaptionColourIntoThePanel)
{
    FrameTheme theme(L"no_such_theme_library.dll");
    auto frame = Make<VyxPropPageFrameEx>();
    frame->SetCaptionHeight(20);
    frame->ShowCaption(TRUE);
    frame->SetCaption(L"");
    frame->RedrawWindow();
    CClientDC dc(frame.get());
    EXPECT_EQ(dc.GetPixel(0, 10), ::GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(dc.GetPixel(150, 100), ::GetSysColor(COLOR_3DFACE));
}

// A memory DC filled with white, 40 x 10.
class Canvas
{
public:
    Canvas()
    {
        CClientDC screen(nullptr);
        dc.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, 40, 10);
        old = ::SelectObject(dc.m_hDC, bitmap.GetSafeHandle());
        dc.FillSolidRect(0, 0, 40, 10, RGB(255, 255, 255));
    }
    ~Canvas() { ::SelectObject(dc.m_hDC, old); }
    CDC dc;
    CBitmap bitmap;
    HGDIOBJ old;
};

TEST(PageFrameGradientTest, GradientStaysInsideItsRectangle)
{
    Canvas canvas;
    VyxPropPageFrameEx::DrawGradient(&canvas.dc, CRect(10, 0, 20, 5), RGB(0, 0, 0), RGB(200, 100, 0));
    EXPECT_EQ(canvas.dc.GetPixel(10, 2), RGB(0, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(15, 2), RGB(100, 50, 0));
    EXPECT_EQ(canvas.dc.GetPixel(19, 2), RGB(180, 90, 0));
    EXPECT_EQ(canvas.dc.GetPixel(20, 2), RGB(255, 255, 255)); // the right edge is outside
    EXPECT_EQ(canvas.dc.GetPixel(9, 2), RGB(255, 255, 255));
    EXPECT_EQ(canvas.dc.GetPixel(15, 5), RGB(255, 255, 255));
}

TEST(PageFrameGradientTest, CollapsedGradientDrawsNothing)
{
    Canvas canvas;
    VyxPropPageFrameEx::DrawGradient(&canvas.dc, CRect(10, 0, 10, 5), RGB(0, 0, 0), RGB(0, 0, 0));
    VyxPropPageFrameEx::DrawGradient(&canvas.dc, CRect(12, 0, 8, 5), RGB(0, 0, 0), RGB(0, 0, 0));
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(canvas.dc.GetPixel(x, 2), RGB(255, 255, 255)) << x;
}

} // namespace
