#include "controls/CXPropertySheet.h"

#include "ControlsTestRes.h"
#include "common/WindowTestUtil.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

int g_pagesDeleted = 0;

class CountedPage : public CXPropertyPage
{
public:
    explicit CountedPage(UINT id = IDD_CTLTEST_PAGE) : CXPropertyPage(id) {}
    ~CountedPage() override { ++g_pagesDeleted; }
};

class SheetHost : public CDialog
{
public:
    SheetHost() : CDialog(IDD_CTLTEST_HOST) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_sheet.Create(WS_CHILD | WS_VISIBLE | 1, CRect(5, 5, 300, 200), this, 0);
        return TRUE;
    }
    CRect PageRect(CXPropertyPage* page)
    {
        CRect rect;
        page->GetWindowRect(&rect);
        m_sheet.ScreenToClient(&rect);
        return rect;
    }
    CXPropertySheet m_sheet;
};

class XPropertySheetTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_pagesDeleted = 0;
        ASSERT_TRUE(m_host.Create(IDD_CTLTEST_HOST));
        m_host.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        if (m_host.m_hWnd)
            m_host.DestroyWindow();
    }
    SheetHost m_host;
};

TEST_F(XPropertySheetTest, TheLastAddedPageIsShownAndSelectingATabSwitchesPages)
{
    CXPropertyPage* pages[3];
    for (auto& page : pages) {
        page = new CountedPage;
        ASSERT_NE(m_host.m_sheet.AddPage(page), nullptr);
    }
    EXPECT_EQ(m_host.m_sheet.GetItemCount(), 3);
    EXPECT_EQ(m_host.m_sheet.GetItem(0)->m_caption, L"一般");
    EXPECT_EQ(m_host.m_sheet.GetCurSel(), 2);
    EXPECT_FALSE(pages[0]->IsWindowVisible());
    EXPECT_FALSE(pages[1]->IsWindowVisible());
    EXPECT_TRUE(pages[2]->IsWindowVisible());
    EXPECT_EQ(pages[0]->GetParent(), &m_host.m_sheet);
    EXPECT_FALSE(pages[0]->GetStyle() & (WS_DLGFRAME | WS_THICKFRAME));
    EXPECT_TRUE(pages[0]->GetStyle() & WS_CLIPCHILDREN);

    m_host.m_sheet.SetCurSel(0);
    EXPECT_TRUE(pages[0]->IsWindowVisible());
    EXPECT_FALSE(pages[2]->IsWindowVisible());
    EXPECT_EQ(m_host.m_sheet.GetPage(1), pages[1]);
    EXPECT_EQ(m_host.m_sheet.GetPage(3), nullptr);
    for (CXPropertyPage* page : pages)
        EXPECT_EQ(m_host.PageRect(page), m_host.m_sheet.GetDisplayRect());
}

TEST_F(XPropertySheetTest, ResizingTheSheetResizesEveryPage)
{
    CXPropertyPage* first = new CountedPage;
    CXPropertyPage* second = new CountedPage(IDD_CTLTEST_PROPPAGE);
    second->SetFitFirstChild(TRUE);
    m_host.m_sheet.AddPage(first);
    m_host.m_sheet.AddPage(second);
    m_host.m_sheet.MoveWindow(5, 5, 350, 240);
    EXPECT_EQ(m_host.PageRect(first), m_host.m_sheet.GetDisplayRect());
    EXPECT_EQ(m_host.PageRect(second), m_host.m_sheet.GetDisplayRect());
    CRect client, child;
    second->GetClientRect(&client);
    second->GetDlgItem(IDC_CTLTEST_LABEL)->GetWindowRect(&child);
    second->ScreenToClient(&child);
    EXPECT_EQ(child, client);
}

TEST_F(XPropertySheetTest, InsertItemOnASheetAddsNothing)
{
    m_host.m_sheet.AddPage(new CountedPage);
    EXPECT_EQ(m_host.m_sheet.InsertItem(L"余分"), -1);
    EXPECT_EQ(m_host.m_sheet.GetItemCount(), 1);
}

TEST_F(XPropertySheetTest, APageWithoutStringGetsAnEmptyCaption)
{
    m_host.m_sheet.AddPage(new CountedPage(IDD_CTLTEST_PROPPAGE));
    EXPECT_EQ(m_host.m_sheet.GetItem(0)->m_caption, L"");
}

TEST_F(XPropertySheetTest, PagesDeleteThemselvesWhenTheHostCloses)
{
    for (int i = 0; i < 3; ++i)
        m_host.m_sheet.AddPage(new CountedPage);
    EXPECT_EQ(g_pagesDeleted, 0);
    m_host.DestroyWindow();
    EXPECT_EQ(g_pagesDeleted, 3);
}

TEST_F(XPropertySheetTest, APageThatCannotBeCreatedLeavesNoTabAndIsDeleted)
{
    m_host.m_sheet.AddPage(new CountedPage);
    const UINT kNoSuchTemplate = 28999;
    EXPECT_EQ(m_host.m_sheet.AddPage(new CountedPage(kNoSuchTemplate)), nullptr);
    EXPECT_EQ(m_host.m_sheet.GetItemCount(), 1);
    EXPECT_EQ(g_pagesDeleted, 1);
    EXPECT_EQ(m_host.m_sheet.GetPage(1), nullptr);
    EXPECT_EQ(m_host.m_sheet.GetCurSel(), 0);
}

TEST_F(XPropertySheetTest, EnterAndEscapeInAPageEndNeitherPageNorHost)
{
    CXPropertyPage* page = new CountedPage;
    m_host.m_sheet.AddPage(page);
    HWND edit = page->GetDlgItem(IDC_CTLTEST_EDIT)->m_hWnd;
    ::SetFocus(edit);
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        MSG msg = {edit, WM_KEYDOWN, key, 0, 0, {}};
        EXPECT_TRUE(CWnd::WalkPreTranslateTree(m_host.m_hWnd, &msg));
    }
    PumpPending();
    EXPECT_TRUE(::IsWindow(page->m_hWnd));
    EXPECT_TRUE(::IsWindow(m_host.m_hWnd));
    EXPECT_EQ(g_pagesDeleted, 0);
}

} // namespace
