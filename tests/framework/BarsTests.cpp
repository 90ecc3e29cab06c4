// Control bars and splitters outside the test program: owner-drawn status panes, tool-bar
// buttons in their old style form, and a splitter's shared scroll bars.
#include "DocViewTestApp.h"

namespace {

class COwnerDrawStatusBar : public CStatusBar
{
public:
    int m_draws = 0;
    ULONG_PTR m_itemData = 0;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        ++m_draws;
        m_itemData = lpDrawItemStruct->itemData;
    }
};

class CBarFrame : public CFrameWnd
{
public:
    COwnerDrawStatusBar m_wndStatus;
    CToolBar m_wndTools;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1 || !m_wndTools.Create(this) || !m_wndStatus.Create(this))
            return -1;
        const UINT buttons[] = {ID_FWTEST_CMD_DOC, ID_SEPARATOR, ID_FWTEST_CMD_VIEW};
        m_wndTools.SetButtons(buttons, 3);
        const UINT panes[] = {ID_SEPARATOR, ID_FWTEST_INDICATOR};
        m_wndStatus.SetIndicators(panes, 2);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(StatusBar, OwnerDrawnPanesDrawThroughTheBarsDrawItem)
{
    auto* frame = new CBarFrame;
    ASSERT_TRUE(frame->Create(nullptr, L"状態", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 420, 320)));
    COwnerDrawStatusBar& status = frame->m_wndStatus;
    UINT id = 0, style = 0;
    int width = 0;
    status.GetPaneInfo(1, id, style, width);
    status.SetPaneInfo(1, id, style | SBPS_OWNERDRAW, 120);
    status.SetPaneText(1, L"描く");
    status.Invalidate();
    status.UpdateWindow();
    EXPECT_GE(status.m_draws, 1);
    // The item data is the pane's text.
    EXPECT_STREQ(L"描く", reinterpret_cast<LPCWSTR>(status.m_itemData));
    // A disabled pane shows no text but keeps it.
    status.SetPaneStyle(0, status.GetPaneStyle(0) | SBPS_DISABLED);
    status.SetPaneText(0, L"隠れる");
    wchar_t shown[32] = {};
    status.SendMessage(SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(L"", shown);
    EXPECT_EQ(CString(L"隠れる"), status.GetPaneText(0));
    frame->DestroyWindow();
}

TEST(ToolBar, ButtonStylesAndInfoUseTheOldFormWithDisabledTurnedOver)
{
    auto* frame = new CBarFrame;
    ASSERT_TRUE(frame->Create(nullptr, L"道具", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 420, 320)));
    CToolBar& tools = frame->m_wndTools;
    EXPECT_EQ(3, tools.GetToolBarCtrl().GetButtonCount());
    EXPECT_EQ(2, tools.CommandToIndex(ID_FWTEST_CMD_VIEW));
    EXPECT_EQ(-1, tools.CommandToIndex(ID_FWTEST_CMD_NONE));
    EXPECT_EQ(static_cast<UINT>(TBBS_SEPARATOR), tools.GetButtonStyle(1) & 0xFF);
    tools.SetButtonStyle(0, TBBS_CHECKBOX | TBBS_CHECKED | TBBS_DISABLED);
    EXPECT_TRUE(tools.GetToolBarCtrl().IsButtonChecked(ID_FWTEST_CMD_DOC));
    EXPECT_FALSE(tools.GetToolBarCtrl().IsButtonEnabled(ID_FWTEST_CMD_DOC));
    EXPECT_EQ(static_cast<UINT>(TBBS_CHECKBOX | TBBS_CHECKED | TBBS_DISABLED), tools.GetButtonStyle(0));
    UINT nID = 0, nStyle = 0;
    int image = -1;
    tools.SetButtonInfo(2, ID_FWTEST_CMD_NONE, TBBS_BUTTON, 5);
    tools.GetButtonInfo(2, nID, nStyle, image);
    EXPECT_EQ(static_cast<UINT>(ID_FWTEST_CMD_NONE), nID);
    EXPECT_EQ(5, image);
    EXPECT_TRUE(tools.SetButtonText(2, L"なし"));
    EXPECT_EQ(CString(L"なし"), tools.GetButtonText(2));
    // The bar's size: its buttons with borders, or the whole width when stretched.
    CSize fixed = tools.CalcFixedLayout(FALSE, TRUE);
    CRect last;
    tools.GetItemRect(2, &last);
    EXPECT_EQ(last.right + 2, fixed.cx);
    EXPECT_EQ(32767, tools.CalcFixedLayout(TRUE, TRUE).cx);
    // Tips and prompts: the button under a point is its command.
    CRect first;
    tools.GetItemRect(0, &first);
    EXPECT_EQ(ID_FWTEST_CMD_DOC, tools.OnToolHitTest(first.CenterPoint(), nullptr));
    frame->DestroyWindow();
}

TEST(ToolBar, AStateReachesTheButtonAtItsPlaceAlsoWhenAnEarlierOneSharesItsCommand)
{
    auto* frame = new CBarFrame;
    ASSERT_TRUE(frame->Create(nullptr, L"道具", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 420, 320)));
    CToolBar& tools = frame->m_wndTools;
    tools.SetButtonInfo(2, ID_FWTEST_CMD_DOC, TBBS_BUTTON, 1);
    tools.SetButtonStyle(2, TBBS_BUTTON | TBBS_DISABLED);
    EXPECT_EQ(static_cast<UINT>(TBBS_DISABLED), tools.GetButtonStyle(2) & TBBS_DISABLED);
    EXPECT_EQ(0u, tools.GetButtonStyle(0) & TBBS_DISABLED);
    tools.SetButtonStyle(0, TBBS_BUTTON | TBBS_DISABLED);
    tools.SetButtonStyle(2, TBBS_BUTTON);
    EXPECT_EQ(static_cast<UINT>(TBBS_DISABLED), tools.GetButtonStyle(0) & TBBS_DISABLED);
    EXPECT_EQ(0u, tools.GetButtonStyle(2) & TBBS_DISABLED);
    frame->DestroyWindow();
}

TEST(DialogBar, ABarMadeFromATemplateLeavesTheFocusWhereItWas)
{
    auto* frame = new CBarFrame;
    ASSERT_TRUE(frame->Create(nullptr, L"道具", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 420, 320)));
    frame->SetFocus();
    const HWND before = ::GetFocus();
    ASSERT_EQ(frame->m_hWnd, before);
    CDialogBar bar;
    ASSERT_TRUE(bar.Create(frame, IDD_FWTEST_DIALOGBAR, CBRS_TOP, AFX_IDW_DIALOGBAR));
    EXPECT_EQ(before, ::GetFocus());
    bar.DestroyWindow();
    frame->DestroyWindow();
}

TEST(Splitter, SharedScrollBarsBelongToTheirRowAndColumn)
{
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, L"分割", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 520, 420)));
    CSplitterWnd splitter;
    ASSERT_TRUE(splitter.CreateStatic(frame, 2, 2, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL));
    CCreateContext context;
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            ASSERT_TRUE(splitter.CreateView(row, col, RUNTIME_CLASS(CTestScrollView), CSize(200, 150), &context));
    frame->RecalcLayout();
    EXPECT_EQ(static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL), splitter.GetScrollStyle());
    EXPECT_NE(nullptr, splitter.GetDlgItem(AFX_IDW_SIZE_BOX));
    auto* pane = static_cast<CTestScrollView*>(splitter.GetPane(1, 0));
    // The pane's bars are the splitter's: its column's horizontal, its row's vertical.
    EXPECT_EQ(splitter.GetDlgItem(AFX_IDW_HSCROLL_FIRST + 0), pane->GetScrollBarCtrl(SB_HORZ));
    EXPECT_EQ(splitter.GetDlgItem(AFX_IDW_VSCROLL_FIRST + 1), pane->GetScrollBarCtrl(SB_VERT));
    EXPECT_FALSE(pane->GetStyle() & (WS_HSCROLL | WS_VSCROLL)); // none of its own
    pane->SendMessage(WM_INITIALUPDATE);
    pane->ScrollToPosition(CPoint(0, 100));
    EXPECT_EQ(100, pane->GetScrollPosition().y);
    EXPECT_EQ(100, splitter.GetDlgItem(AFX_IDW_VSCROLL_FIRST + 1)->GetScrollPos(SB_CTL));
    // The bar under the panes is as wide as its column.
    int cur = 0, min = 0;
    splitter.GetColumnInfo(0, cur, min);
    CRect bar;
    splitter.GetDlgItem(AFX_IDW_HSCROLL_FIRST)->GetWindowRect(&bar);
    EXPECT_EQ(cur, bar.Width());
    frame->DestroyWindow();
}

} // namespace
