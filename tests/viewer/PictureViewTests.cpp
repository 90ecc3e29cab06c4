#include "BrowserTestUtil.h"
#include "ViewerTestUtil.h"
#include "catalogue/COneViewCtrl.h"
#include "catalogue/OneViewSettings.h"

#include <gtest/gtest.h>

#include <windowsx.h>

#include <vector>

using namespace viewertest;

namespace {

// A top-level window that writes down the mouse messages its children hand it.
class MouseRecorder : public CTestHostWnd
{
public:
    struct Message
    {
        UINT message;
        CPoint point;
    };
    std::vector<Message> heard;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if ((message >= WM_LBUTTONDOWN && message <= WM_RBUTTONDBLCLK) || message == WM_MOUSEWHEEL)
            heard.push_back(Message{message, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))});
        return CTestHostWnd::WindowProc(message, wParam, lParam);
    }
};

// A 100 x 80 picture view in a recording host, showing a file at its own size.
struct ViewFixture
{
    ScratchSettings settings;
    MouseRecorder host;
    COneView* view = new COneView;

    ViewFixture()
    {
        view->Create(nullptr, L"COneView", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 80), &host, AFX_IDW_PANE_FIRST);
        OneViewSettings record;
        record.FitSize = COnePicture::FitAsIs;
        view->SetDisplaySettings(record);
    }
    ~ViewFixture()
    {
        if (::IsWindow(view->m_hWnd))
            view->DestroyWindow();
    }
    void Show(int width, int height, const std::vector<COLORREF>& table, const std::vector<samples::GifFrame>& frames)
    {
        VyxFile item =
            ItemOfKind(WriteGif(settings.Folder() / L"view.gif", width, height, table, frames), COnePicture::KindGif);
        view->SetPicture(&item);
    }
    void Mouse(UINT message, int x, int y, UINT flags = 0) { view->SendMessage(message, flags, MAKELPARAM(x, y)); }
    std::vector<UINT> Heard() const
    {
        std::vector<UINT> messages;
        for (const auto& m : host.heard)
            messages.push_back(m.message);
        return messages;
    }
};

} // namespace

TEST(PictureView, AClickOnADraggablePictureReachesTheParentAtReleaseAndADragNever)
{
    ViewFixture f;
    f.Show(300, 200, {RGB(255, 0, 0)}, {SolidFrame(300, 200, 0)});
    ASSERT_TRUE(f.view->GetPicture().CanScrollX());
    f.Mouse(WM_MOUSEMOVE, 50, 40);
    EXPECT_EQ(COneView::DragReady, f.view->GetDragState());
    f.Mouse(WM_LBUTTONDOWN, 50, 40, MK_LBUTTON);
    EXPECT_EQ(COneView::DragPressed, f.view->GetDragState());
    EXPECT_TRUE(f.host.heard.empty());
    // Three pixels with "DragDots" 3 are still a click.
    f.Mouse(WM_MOUSEMOVE, 47, 43, MK_LBUTTON);
    EXPECT_EQ(COneView::DragPressed, f.view->GetDragState());
    f.Mouse(WM_LBUTTONUP, 47, 43);
    ASSERT_EQ((std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}), f.Heard());
    EXPECT_EQ(CPoint(47, 43), f.host.heard[0].point);
    EXPECT_EQ(CPoint(47, 43), f.host.heard[1].point);
    EXPECT_EQ(COneView::DragReady, f.view->GetDragState());

    // Four pixels make a drag: the picture follows the mouse and the parent hears nothing.
    f.host.heard.clear();
    CPoint before = f.view->GetPicture().GetOrigin();
    f.Mouse(WM_LBUTTONDOWN, 50, 40, MK_LBUTTON);
    f.Mouse(WM_MOUSEMOVE, 46, 40, MK_LBUTTON);
    EXPECT_EQ(COneView::DragMoving, f.view->GetDragState());
    EXPECT_EQ(before + CPoint(-4, 0), f.view->GetPicture().GetOrigin());
    f.Mouse(WM_MOUSEMOVE, 30, 20, MK_LBUTTON);
    EXPECT_EQ(before + CPoint(-20, -20), f.view->GetPicture().GetOrigin());
    f.Mouse(WM_LBUTTONUP, 30, 20);
    EXPECT_TRUE(f.host.heard.empty());
    EXPECT_EQ(COneView::DragReady, f.view->GetDragState());
}

TEST(PictureView, ClicksOnAPictureThatFitsAndOtherButtonsGoStraightToTheParent)
{
    ViewFixture f;
    f.Show(40, 40, {RGB(0, 255, 0)}, {SolidFrame(40, 40, 0)});
    f.Mouse(WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(COneView::DragIdle, f.view->GetDragState());
    f.Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    f.Mouse(WM_LBUTTONUP, 11, 10);
    f.Mouse(WM_LBUTTONDBLCLK, 12, 10);
    f.Mouse(WM_RBUTTONDOWN, 13, 10);
    f.Mouse(WM_RBUTTONUP, 14, 10);
    f.Mouse(WM_RBUTTONDBLCLK, 15, 10);
    EXPECT_EQ((std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                 WM_RBUTTONDBLCLK}),
              f.Heard());
    EXPECT_EQ(CPoint(15, 10), f.host.heard.back().point);
}

TEST(PictureView, TheWheelScrollsDownThenAcrossAndOtherwiseLeavesItToTheParent)
{
    ViewFixture f;
    f.Show(100, 300, {RGB(0, 0, 255)}, {SolidFrame(100, 300, 0)});
    ASSERT_FALSE(f.view->GetPicture().CanScrollX());
    ASSERT_TRUE(f.view->GetPicture().CanScrollY());
    CPoint start = f.view->GetPicture().GetOrigin();
    f.view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(50, 50));
    EXPECT_EQ(start + CPoint(0, -120), f.view->GetPicture().GetOrigin());
    EXPECT_TRUE(f.host.heard.empty());

    f.Show(300, 50, {RGB(0, 0, 255)}, {SolidFrame(300, 50, 0)});
    start = f.view->GetPicture().GetOrigin();
    f.view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(50, 50));
    EXPECT_EQ(start + CPoint(-120, 0), f.view->GetPicture().GetOrigin());

    f.Show(50, 50, {RGB(0, 0, 255)}, {SolidFrame(50, 50, 0)});
    f.view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(50, 50));
    EXPECT_EQ(std::vector<UINT>{WM_MOUSEWHEEL}, f.Heard());
}

TEST(PictureView, AnimationStepsByTheTickRuleWithAFakeClock)
{
    ViewFixture f;
    // Frames of 100 ms; the file is still being read during the first two ticks.
    f.Show(20, 20, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
           {SolidFrame(20, 20, 0, 10), SolidFrame(20, 20, 1, 10), SolidFrame(20, 20, 2, 10)});
    ASSERT_TRUE(f.view->IsAnimating());
    COnePicture& picture = f.view->GetPicture();
    picture.SetAnimationStart(1000);
    struct Step
    {
        DWORD now;
        int page;
    } steps[] = {{1000, 1}, {1010, 2}, {1020, 2}, {1082, 2}, {1083, 0}, {1100, 0}, {1156, 1}};
    for (const Step& step : steps) {
        f.view->AnimationTick(step.now);
        EXPECT_EQ(step.page, f.view->GetCurrentPage()) << step.now;
    }
    EXPECT_EQ(3, f.view->GetPageCount());
    EXPECT_EQ(1156u, picture.GetAnimationStart());
    // Stepping by hand stops the animation.
    f.view->NextPage();
    EXPECT_FALSE(f.view->IsAnimating());
    EXPECT_EQ(2, f.view->GetCurrentPage());
    f.view->PrevPage();
    EXPECT_EQ(1, f.view->GetCurrentPage());
}

TEST(PictureView, ASingleFrameGifStartsTheTimerAndItsFirstTickStopsIt)
{
    ViewFixture f;
    f.Show(20, 20, {RGB(255, 0, 0)}, {SolidFrame(20, 20, 0)});
    EXPECT_TRUE(f.view->IsAnimating());
    f.view->AnimationTick(::GetTickCount());
    EXPECT_FALSE(f.view->IsAnimating());
    EXPECT_EQ(1, f.view->GetPageCount());
}

TEST(PictureView, AnUnfocusedViewDoesNotAnimate)
{
    ViewFixture f;
    f.Show(20, 20, {RGB(255, 0, 0), RGB(0, 255, 0)}, {SolidFrame(20, 20, 0), SolidFrame(20, 20, 1)});
    ::SetFocus(f.host.m_hWnd);
    f.view->SendMessage(WM_TIMER, COneView::AnimationTimer, 0);
    EXPECT_EQ(1, f.view->GetPageCount());
    EXPECT_EQ(0, f.view->GetCurrentPage());
}

TEST(PictureView, SettingsAreReadAtConstructionAndWrittenWhenTheViewGoes)
{
    ScratchSettings settings;
    WriteAppIniInt(L"COneView", L"DragDots", 7);
    WriteAppIniHexInt(L"COneView", L"colBackground", 0x123456);
    {
        MouseRecorder host;
        auto* view = new COneView;
        view->Create(nullptr, L"COneView", WS_CHILD, CRect(0, 0, 10, 10), &host, AFX_IDW_PANE_FIRST);
        view->DestroyWindow();
    }
    EXPECT_EQ(7, GetAppIniInt(L"COneView", L"DragDots", 0));
    EXPECT_EQ(0x123456, GetAppIniHexInt(L"COneView", L"colBackground", 0));
    EXPECT_EQ(1, GetAppIniInt(L"COneView", L"StepSecond", 0));
    EXPECT_EQ(1000, GetAppIniInt(L"COneView", L"DelayTime", 0));
}

TEST(PictureView, PreviewControlMakesItsViewOnCreationAndIgnoresSettersWithoutOne)
{
    ScratchSettings settings;
    WNDCLASSW info;
    COneViewCtrl unmade;
    EXPECT_TRUE(GetClassInfoW(AfxGetInstanceHandle(), COneViewCtrl::ClassName, &info));
    unmade.SetZoom(2);
    unmade.SetFitMode(COnePicture::FitStretch);
    unmade.SetPicture(nullptr);
    unmade.SetViewRect(nullptr);
    EXPECT_EQ(nullptr, unmade.GetView());

    CTestHostWnd host;
    COneViewCtrl control;
    ASSERT_TRUE(control.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 120, 90), &host, 1234));
    COneView* view = control.GetView();
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(AFX_IDW_PANE_FIRST + 1, ::GetDlgCtrlID(view->m_hWnd));
    EXPECT_TRUE(view->IsWindowVisible());
    control.MoveWindow(0, 0, 60, 50);
    CRect client;
    view->GetClientRect(&client);
    EXPECT_EQ(CSize(60, 50), client.Size());
    control.SetZoom(3);
    EXPECT_DOUBLE_EQ(3, view->GetZoom());
    HWND inner = view->m_hWnd;
    control.DestroyWindow();
    EXPECT_FALSE(::IsWindow(inner));
    EXPECT_EQ(nullptr, control.GetView());
}
