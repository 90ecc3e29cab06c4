#include "KitTestUtil.h"

#include "controls/CPreviewToolBar.h"
#include "controls/CSizableReBar.h"
#include "controls/VyxPreviewViewEx.h"

#include <gtest/gtest.h>

namespace {

// A view of three pages.
class CThreePageView : public CView
{
    DECLARE_DYNCREATE(CThreePageView)
public:
    void OnDraw(CDC*) override {}
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        pInfo->SetMaxPage(3);
        return TRUE;
    }
};
IMPLEMENT_DYNCREATE(CThreePageView, CView)

CView* AddView(CFrameWnd* frame)
{
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CThreePageView);
    auto* view = static_cast<CView*>(frame->CreateView(&context, AFX_IDW_PANE_FIRST));
    if (view) {
        frame->SetActiveView(view);
        frame->RecalcLayout();
    }
    return view;
}

VyxPreviewViewEx* StartPreview(CFrameWnd* frame, CView* view)
{
    auto* state = new CPrintPreviewState;
    if (!view->DoPrintPreview(0, view, RUNTIME_CLASS(VyxPreviewViewEx), state)) {
        delete state;
        return nullptr;
    }
    return DYNAMIC_DOWNCAST(VyxPreviewViewEx, frame->GetActiveView());
}

int BandOf(CSizableReBar& rebar, UINT id)
{
    return rebar.GetReBarCtrl().IDToIndex(id);
}

TEST(PreviewBar, TableAndOptionsOfThePreviewBar)
{
    ScopedKitApp app;
    CTestHostWnd host;
    CPreviewToolBar bar;
    ASSERT_TRUE(bar.Create(&host, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_PREVIEW_BAR));
    const UINT expected[] = {AFX_ID_PREVIEW_PRINT,  AFX_ID_PREVIEW_PREV,    AFX_ID_PREVIEW_NEXT, AFX_ID_PREVIEW_NUMPAGE,
                             AFX_ID_PREVIEW_ZOOMIN, AFX_ID_PREVIEW_ZOOMOUT, AFX_ID_PREVIEW_CLOSE};
    const int images[] = {0, 1, 2, 4, 5, 6, I_IMAGENONE};
    ASSERT_EQ(7, bar.GetTableSize());
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(static_cast<int>(expected[i]), bar.GetTableButton(i).tbinfo.idCommand);
        EXPECT_EQ(images[i], bar.GetTableButton(i).tbinfo.iBitmap);
    }
    EXPECT_EQ(1, bar.GetTextOption());
    EXPECT_EQ(0, bar.GetIconOption());
    EXPECT_TRUE(bar.HasButtonText(AFX_ID_PREVIEW_CLOSE));
    EXPECT_TRUE(bar.HasButtonText(AFX_ID_PREVIEW_PRINT));
    EXPECT_FALSE(bar.HasButtonText(AFX_ID_PREVIEW_NEXT));
    EXPECT_TRUE(bar.IsTextOptionAvailable(1));
    EXPECT_FALSE(bar.IsTextOptionAvailable(0));
    EXPECT_TRUE(bar.IsIconOptionAvailable(0));
    EXPECT_FALSE(bar.IsIconOptionAvailable(1));
    bar.DestroyWindow();
}

TEST(PreviewBar, PreviewHoldsItsBarInTheFramesRebarAndPutsItBack)
{
    ScopedKitApp app;
    CKitTestFrame* frame = CKitTestFrame::Make(760, FALSE);
    ASSERT_NE(nullptr, frame);
    CView* view = AddView(frame);
    ASSERT_NE(nullptr, view);
    CSizableReBar& rebar = frame->m_wndReBar;
    VyxPreviewViewEx* preview = StartPreview(frame, view);
    ASSERT_NE(nullptr, preview);
    EXPECT_EQ(&rebar, preview->GetReBar());
    ASSERT_NE(nullptr, preview->GetPreviewBar());
    EXPECT_GE(BandOf(rebar, AFX_IDW_PREVIEW_BAR), 0);
    EXPECT_TRUE(rebar.IsLocked());
    EXPECT_TRUE(frame->m_bPrintPreview);
    // No band menu during the preview.
    rebar.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(rebar.m_hWnd), MAKELPARAM(100, 60));
    EXPECT_EQ(nullptr, WaitForMenu(300));
    // One page shown of three: the page-count button offers two pages and is enabled.
    RunIdle(frame);
    CToolBarCtrl& ctrl = preview->GetPreviewBar()->GetToolBarCtrl();
    EXPECT_EQ(4, ctrl.GetBitmap(AFX_ID_PREVIEW_NUMPAGE));
    EXPECT_TRUE(ctrl.IsButtonEnabled(AFX_ID_PREVIEW_NUMPAGE));
    // During the preview the menu is the window's own.
    EXPECT_EQ(frame->m_hMenuDefault, GetMenu(frame->m_hWnd));

    frame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE);
    EXPECT_EQ(view, frame->GetActiveView());
    EXPECT_LT(BandOf(rebar, AFX_IDW_PREVIEW_BAR), 0);
    EXPECT_FALSE(rebar.IsLocked());
    EXPECT_FALSE(frame->m_bPrintPreview);
    RunIdle(frame);
    EXPECT_EQ(nullptr, GetMenu(frame->m_hWnd));
    EXPECT_EQ(frame->m_hMenuDefault, frame->m_wndMenuBar.GetMenu());
    frame->DestroyWindow();
}

TEST(PreviewBar, FrameWithoutRebarGetsOneForThePreviewOnly)
{
    ScopedKitApp app;
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, L"preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(30, 30, 500, 400)));
    CView* view = AddView(frame);
    ASSERT_NE(nullptr, view);
    VyxPreviewViewEx* preview = StartPreview(frame, view);
    ASSERT_NE(nullptr, preview);
    ASSERT_NE(nullptr, preview->GetReBar());
    HWND made = preview->GetReBar()->m_hWnd;
    EXPECT_TRUE(IsWindow(made));
    frame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE);
    EXPECT_FALSE(IsWindow(made));
    frame->DestroyWindow();
}

TEST(PreviewBar, ClosingTheFrameDuringThePreviewTakesTheBarAway)
{
    ScopedKitApp app;
    CKitTestFrame* frame = CKitTestFrame::Make(600, FALSE);
    CView* view = AddView(frame);
    VyxPreviewViewEx* preview = StartPreview(frame, view);
    ASSERT_NE(nullptr, preview);
    HWND bar = preview->GetPreviewBar()->m_hWnd;
    // The framework's close procedure ends the preview; the frame stays.
    frame->SendMessage(WM_CLOSE);
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_LT(BandOf(frame->m_wndReBar, AFX_IDW_PREVIEW_BAR), 0);
    EXPECT_TRUE(IsWindow(frame->m_hWnd));
    frame->DestroyWindow();
}

TEST(PreviewBar, PrintClosesThePreviewAndAsksTheMainWindowToPrint)
{
    ScopedKitApp app;
    CKitTestFrame* frame = CKitTestFrame::Make(600, FALSE);
    CView* view = AddView(frame);
    CLogHostWnd main;
    app->m_pMainWnd = &main;
    ASSERT_NE(nullptr, StartPreview(frame, view));
    frame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_PRINT);
    EXPECT_EQ(view, frame->GetActiveView());
    EXPECT_EQ((std::vector<UINT>{ID_FILE_PRINT}), main.Commands());
    app->m_pMainWnd = nullptr;
    frame->DestroyWindow();
}

} // namespace
