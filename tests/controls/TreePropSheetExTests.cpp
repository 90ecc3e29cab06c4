#include "controls/CPropPageFrameBordered.h"
#include "controls/CTreePropSheetBordered.h"
#include "controls/CTreePropSheetResizableLibHook.h"

#include "ControlsTestRes.h"
#include "common/WindowTestUtil.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace TreePropSheet;

namespace {

class PathPage : public CPropertyPage
{
public:
    explicit PathPage(LPCWSTR path) : CPropertyPage(IDD_CTLTEST_PAGE)
    {
        m_strCaption = path;
        m_psp.dwFlags |= PSP_USETITLE;
    }
};

// Whether the window or any window inside it still has something to paint.
bool PaintPending(HWND hWnd)
{
    if (::GetUpdateRect(hWnd, nullptr, FALSE))
        return true;
    for (HWND child = ::GetWindow(hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (PaintPending(child))
            return true;
    }
    return false;
}

class TreeSheetExTest : public testing::Test
{
protected:
    void TearDown() override
    {
        if (m_sheet && m_sheet->m_hWnd)
            m_sheet->DestroyWindow();
    }
    // Set up as the options sheet is.
    template <class Sheet = CTreePropSheetEx> void Open(BOOL resizable = TRUE)
    {
        m_sheet = std::make_unique<Sheet>(L"オプション");
        for (LPCWSTR path : {L"表示::一般", L"表示::色", L"動作"}) {
            m_pages.push_back(std::make_unique<PathPage>(path));
            m_sheet->AddPage(m_pages.back().get());
        }
        m_sheet->SetTreeViewMode(TRUE, TRUE, FALSE);
        m_sheet->SetEmptyPageText(L"no page");
        m_sheet->SetSkipEmptyPages(TRUE);
        m_sheet->SetIsResizable(resizable);
        m_sheet->SetTreeWidth(160);
        m_sheet->SetPaneMinimumSizes(160, 180);
        m_sheet->SetSplitterWidth(2);
        m_sheet->SetAutoExpandTree(TRUE);
        ASSERT_TRUE(m_sheet->Create());
        m_sheet->SetMinSize(CSize(500, 360));
    }
    CRect InSheet(CWnd* wnd)
    {
        CRect rect;
        wnd->GetWindowRect(&rect);
        m_sheet->ScreenToClient(&rect);
        return rect;
    }
    CRect Window()
    {
        CRect rect;
        m_sheet->GetWindowRect(&rect);
        return rect;
    }
    void Grow(int dx, int dy)
    {
        CRect rect = Window();
        m_sheet->SetWindowPos(nullptr, 0, 0, rect.Width() + dx, rect.Height() + dy, SWP_NOMOVE | SWP_NOZORDER);
    }
    CPoint MinTrack()
    {
        MINMAXINFO info = {};
        m_sheet->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        return info.ptMinTrackSize;
    }
    CWnd* Page() { return CWnd::FromHandle(reinterpret_cast<HWND>(m_sheet->SendMessage(PSM_GETCURRENTPAGEHWND))); }

    std::vector<std::unique_ptr<PathPage>> m_pages;
    std::unique_ptr<CTreePropSheetEx> m_sheet;
};

TEST_F(TreeSheetExTest, CreationTurnsThePopupSheetIntoASizingFrame)
{
    Open();
    EXPECT_TRUE(m_sheet->GetStyle() & WS_THICKFRAME);
    EXPECT_FALSE(m_sheet->GetStyle() & DS_MODALFRAME);
    EXPECT_FALSE(m_sheet->m_psh.dwFlags & PSH_HASHELP);
    EXPECT_STREQ(m_sheet->GetRuntimeClass()->m_lpszClassName, "CTreePropSheetEx");
    CResizableSheetHook* hook = m_sheet->GetResizableHook();
    ASSERT_NE(hook, nullptr);
    EXPECT_TRUE(hook->IsHooked());
    EXPECT_TRUE(hook->GetSizeGrip().IsWindowVisible());
    EXPECT_TRUE(m_sheet->GetTabControl()->GetStyle() & WS_CLIPSIBLINGS);
}

TEST_F(TreeSheetExTest, TreeAndFrameSitInTheSplitter)
{
    Open();
    CTreePropSheetSplitter* splitter = m_sheet->GetSplitter();
    ASSERT_NE(splitter, nullptr);
    EXPECT_EQ(splitter->GetDlgCtrlID(), 0xE900);
    CRect tree = InSheet(m_sheet->GetPageTreeControl()), frame = InSheet(m_sheet->GetFrameControl()->GetWnd());
    CRect area = InSheet(splitter);
    EXPECT_EQ(area.left, tree.left);
    EXPECT_EQ(area.right, frame.right);
    EXPECT_EQ(frame.left - tree.right, 2);
    EXPECT_EQ(tree.Width(), 160); // its minimum, 5 more than the sheet gave it
    EXPECT_TRUE(splitter->IsPaneFrozen(0));
    EXPECT_FALSE(splitter->IsPaneFrozen(1));
    EXPECT_TRUE(splitter->IsLiveDrag());
}

TEST_F(TreeSheetExTest, ResizingKeepsTheTreeWidthAndThePageInsetsInsideTheFrame)
{
    Open();
    CWnd* tree = m_sheet->GetPageTreeControl();
    CWnd* frame = m_sheet->GetFrameControl()->GetWnd();
    Grow(0, 0); // to its minimum size first
    CRect tree0 = InSheet(tree), frame0 = InSheet(frame), page0 = InSheet(Page()),
          ok0 = InSheet(m_sheet->GetDlgItem(IDOK));
    CRect client0, client1;
    m_sheet->GetClientRect(&client0);
    Grow(100, 40);
    m_sheet->GetClientRect(&client1);
    ASSERT_EQ(client1.Size(), client0.Size() + CSize(100, 40));
    CRect tree1 = InSheet(tree), frame1 = InSheet(frame), page1 = InSheet(Page()),
          ok1 = InSheet(m_sheet->GetDlgItem(IDOK));
    EXPECT_EQ(tree1.Width(), tree0.Width());
    EXPECT_EQ(tree1.Height(), tree0.Height() + 40);
    EXPECT_EQ(frame1.Width(), frame0.Width() + 100);
    EXPECT_EQ(frame1.Height(), frame0.Height() + 40);
    EXPECT_EQ(page1.left - frame1.left, page0.left - frame0.left);
    EXPECT_EQ(page1.top - frame1.top, page0.top - frame0.top);
    EXPECT_EQ(frame1.right - page1.right, frame0.right - page0.right);
    EXPECT_EQ(frame1.bottom - page1.bottom, frame0.bottom - page0.bottom);
    EXPECT_EQ(ok1, CRect(ok0.left + 100, ok0.top + 40, ok0.right + 100, ok0.bottom + 40));
    EXPECT_EQ(InSheet(m_sheet->GetTabControl()), frame1);
}

TEST_F(TreeSheetExTest, OneLargeResizeLeavesNoOldButtonDrawnOnThePage)
{
    Open();
    ASSERT_TRUE(m_sheet->IsWindowVisible());
    ASSERT_TRUE(PumpUntil([&] { return !PaintPending(m_sheet->m_hWnd); }, 30000));
    CWnd* page = Page();
    CRect pageBefore = InSheet(page);
    std::vector<CRect> buttons;
    for (int id : {IDOK, IDCANCEL, ID_APPLY_NOW})
        buttons.push_back(InSheet(m_sheet->GetDlgItem(id)));
    CRect window = Window();
    Grow(window.Width() / 2, window.Height() / 2);
    ASSERT_TRUE(PumpUntil([&] { return !PaintPending(m_sheet->m_hWnd); }, 30000));

    // The page has grown over the place of the buttons: there it shows nothing but its background,
    // which its bottom-right corner, page before the resize too, shows.
    CRect pageRect = InSheet(page);
    CClientDC dc(page);
    const COLORREF background = dc.GetPixel(pageBefore.Width() - 3, pageBefore.Height() - 3);
    int stale = 0;
    for (const CRect& button : buttons) {
        CRect covered;
        ASSERT_TRUE(covered.IntersectRect(&button, &pageRect));
        covered.OffsetRect(-pageRect.TopLeft());
        for (int y = covered.top; y < covered.bottom; ++y) {
            for (int x = covered.left; x < covered.right; ++x)
                stale += dc.GetPixel(x, y) != background;
        }
    }
    EXPECT_EQ(stale, 0);
}

TEST_F(TreeSheetExTest, ThePageFollowsTheFrameWhenTheSplitterBarIsDragged)
{
    Open();
    CWnd* frame = m_sheet->GetFrameControl()->GetWnd();
    CRect frame0 = InSheet(frame), page0 = InSheet(Page());
    CTreePropSheetSplitter* splitter = m_sheet->GetSplitter();
    // Mouse positions in the splitter's client coordinates, on the bar and 30 pixels right of it.
    const int bar = splitter->GetPosition(1) - InSheet(splitter).left - 1;
    splitter->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar, 50));
    splitter->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(bar + 30, 50));
    splitter->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(bar + 30, 50));
    CRect frame1 = InSheet(frame), page1 = InSheet(Page());
    ASSERT_EQ(frame1.left, frame0.left + 30);
    EXPECT_EQ(page1.left - frame1.left, page0.left - frame0.left);
    EXPECT_EQ(page1.top - frame1.top, page0.top - frame0.top);
    EXPECT_EQ(frame1.right - page1.right, frame0.right - page0.right);
    EXPECT_EQ(frame1.bottom - page1.bottom, frame0.bottom - page0.bottom);
}

TEST_F(TreeSheetExTest, WithTreeFollowingSizeBothPanesShareTheChange)
{
    Open();
    m_sheet->SetTreeFollowsSize(TRUE);
    CWnd* tree = m_sheet->GetPageTreeControl();
    int before = InSheet(tree).Width();
    Grow(200, 0);
    EXPECT_GT(InSheet(tree).Width(), before);
}

TEST_F(TreeSheetExTest, MinimumWidthCoversTheSplitterWithBothPaneMinimums)
{
    Open();
    EXPECT_EQ(MinTrack(), CPoint(500, 360));
    m_sheet->SetMinSize(CSize(300, 200));
    EXPECT_EQ(MinTrack(), CPoint(342, 200));
}

TEST_F(TreeSheetExTest, AMaximumBelowTheMinimumIsRaisedToIt)
{
    Open();
    m_sheet->SetMaxSize(CSize(400, 300));
    MINMAXINFO info = {};
    m_sheet->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(CPoint(info.ptMaxTrackSize), CPoint(500, 360));
}

TEST_F(TreeSheetExTest, MaximizingHidesTheGripAndRestoringShowsIt)
{
    Open();
    CWnd& grip = m_sheet->GetResizableHook()->GetSizeGrip();
    m_sheet->ShowWindow(SW_MAXIMIZE);
    EXPECT_FALSE(grip.IsWindowVisible());
    m_sheet->ShowWindow(SW_RESTORE);
    EXPECT_TRUE(grip.IsWindowVisible());
    CRect client, gripRect;
    m_sheet->GetClientRect(&client);
    gripRect = InSheet(&grip);
    EXPECT_EQ(gripRect.BottomRight(), client.BottomRight());
}

TEST_F(TreeSheetExTest, ASheetThatIsNotResizableHasNeitherSplitterNorHook)
{
    Open(FALSE);
    EXPECT_EQ(m_sheet->GetSplitter(), nullptr);
    EXPECT_EQ(m_sheet->GetResizableHook(), nullptr);
    EXPECT_FALSE(m_sheet->GetStyle() & WS_THICKFRAME);
    EXPECT_FALSE(m_sheet->SetTreeWidth(200));
    EXPECT_FALSE(m_sheet->SetIsResizable(TRUE));
    EXPECT_FALSE(m_sheet->SetSplitterWidth(4));
}

TEST_F(TreeSheetExTest, ThePaneMinimumReaderAnswersOnlyForEqualMinimums)
{
    CTreePropSheetEx sheet;
    EXPECT_EQ(sheet.GetPaneMinimumSize(), 148);
    sheet.SetPaneMinimumSizes(160, 180);
    EXPECT_EQ(sheet.GetPaneMinimumSize(), -1);
    EXPECT_FALSE(sheet.SetTreeWidth(-1));
}

TEST_F(TreeSheetExTest, TheBorderedSheetUsesTheBorderedFrame)
{
    Open<CTreePropSheetBordered>();
    EXPECT_NE(dynamic_cast<CPropPageFrameBordered*>(m_sheet->GetFrameControl()), nullptr);
}

TEST_F(TreeSheetExTest, SavedStateBringsBackPlacementAndPage)
{
    const wchar_t section[] = L"CtlTestTreeSheet";
    AfxGetApp()->WriteProfileString(section, nullptr, nullptr);
    CRect placed;
    {
        Open();
        m_sheet->GetResizableHook()->EnableSaveRestore(section, FALSE, TRUE);
        m_sheet->SetActivePage(2);
        Grow(60, 30);
        placed = Window();
        m_sheet->DestroyWindow();
    }
    EXPECT_EQ(AfxGetApp()->GetProfileInt(section, L"ActivePage", -1), 2u);
    m_pages.clear();
    Open();
    m_sheet->GetResizableHook()->EnableSaveRestore(section, FALSE, TRUE);
    EXPECT_EQ(Window(), placed);
    EXPECT_EQ(m_sheet->GetActiveIndex(), 2);
    AfxGetApp()->WriteProfileString(section, nullptr, nullptr);
}

} // namespace
