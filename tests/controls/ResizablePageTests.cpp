#include "controls/CResizablePage.h"

#include "ControlsTestRes.h"

#include <gtest/gtest.h>

namespace {

class AnchoredPage : public CResizablePage
{
public:
    AnchoredPage() : CResizablePage(IDD_CTLTEST_PAGE) {}
    BOOL OnInitDialog() override
    {
        CResizablePage::OnInitDialog();
        AddAnchor(IDC_CTLTEST_EDIT, TOP_LEFT, TOP_RIGHT);
        AddAnchor(IDC_CTLTEST_CHECK, BOTTOM_LEFT);
        return TRUE;
    }
    CRect Child(int id)
    {
        CRect rect;
        GetDlgItem(id)->GetWindowRect(&rect);
        ScreenToClient(&rect);
        return rect;
    }
};

TEST(ResizablePageTest, AnchoredChildrenFollowThePagesSize)
{
    CPropertySheet sheet(L"頁の伸縮");
    AnchoredPage page;
    sheet.AddPage(&page);
    ASSERT_TRUE(sheet.Create(nullptr, WS_POPUP | WS_CAPTION | WS_VISIBLE));
    ASSERT_TRUE(::IsWindow(page.m_hWnd));
    EXPECT_STREQ(page.GetRuntimeClass()->m_lpszClassName, "CResizablePage");
    CRect client0, edit0 = page.Child(IDC_CTLTEST_EDIT), check0 = page.Child(IDC_CTLTEST_CHECK);
    page.GetClientRect(&client0);

    CRect window;
    page.GetWindowRect(&window);
    sheet.ScreenToClient(&window);
    page.MoveWindow(window.left, window.top, window.Width() + 40, window.Height() + 25);
    CRect client;
    page.GetClientRect(&client);
    int dx = client.Width() - client0.Width(), dy = client.Height() - client0.Height();
    ASSERT_EQ(dx, 40);
    EXPECT_EQ(page.Child(IDC_CTLTEST_EDIT), CRect(edit0.left, edit0.top, edit0.right + dx, edit0.bottom));
    CRect check = check0;
    check.OffsetRect(0, dy);
    EXPECT_EQ(page.Child(IDC_CTLTEST_CHECK), check);
    sheet.DestroyWindow();
}

} // namespace
