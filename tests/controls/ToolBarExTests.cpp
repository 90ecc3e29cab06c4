#include "KitTestUtil.h"

#include "controls/CSizableReBar.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kSection[] = L"KitToolBarTest";

class ToolBarExTest : public testing::Test
{
protected:
    void SetUp() override
    {
        AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
        frame = CKitTestFrame::Make(760);
        ASSERT_NE(nullptr, frame);
    }
    void TearDown() override
    {
        if (frame)
            frame->DestroyWindow();
        AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
    }
    CKitTestToolBar& Bar() { return frame->m_wndToolBar; }
    TBBUTTON Button(int index)
    {
        TBBUTTON button = {};
        Bar().GetToolBarCtrl().GetButton(index, &button);
        return button;
    }
    // The tip the bar gives for a button (empty: none shows).
    CString TipOf(UINT id)
    {
        TOOLTIPTEXTW tip = {};
        tip.hdr.hwndFrom = Bar().GetToolBarCtrl().GetToolTips();
        tip.hdr.idFrom = id;
        tip.hdr.code = TTN_NEEDTEXTW;
        Bar().SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&tip));
        return tip.lpszText && !IS_INTRESOURCE(tip.lpszText) ? CString(tip.lpszText) : CString(tip.szText);
    }
    // A notification as the control sends it to its owner, which hands it back to the bar.
    LRESULT Notify(NMHDR& header, UINT code)
    {
        header.hwndFrom = Bar().m_hWnd;
        header.idFrom = static_cast<UINT_PTR>(Bar().GetDlgCtrlID());
        header.code = code;
        return frame->m_wndReBar.SendMessage(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }

    ScopedKitApp app;
    CKitTestFrame* frame = nullptr;
};

TEST_F(ToolBarExTest, SavingRightAfterSetButtonsWritesTheInitiallyVisibleButtons)
{
    Bar().SaveState(kSection);
    CString expected;
    expected.Format(L"1,0,%u,%u,0,%u,%u,%u,%u", ID_KITTEST_NEW, ID_KITTEST_OPEN, ID_KITTEST_COPY, ID_KITTEST_PASTE,
                    ID_KITTEST_BIGGER, ID_KITTEST_SMALLER);
    EXPECT_EQ(expected, AfxGetApp()->GetProfileString(kSection, L"ToolbarStateInfo", L""));
}

TEST_F(ToolBarExTest, LoadingTakesOptionsAndButtonsAndDropsUnknownCommands)
{
    CString state;
    state.Format(L"2,1,%u,0,57600,%u", ID_KITTEST_ABOUT, ID_KITTEST_NEW);
    AfxGetApp()->WriteProfileString(kSection, L"ToolbarStateInfo", state);
    Bar().LoadState(kSection);
    EXPECT_EQ(2, Bar().GetTextOption());
    EXPECT_EQ(1, Bar().GetIconOption());
    // 57600 is not in the table: it leaves no gap.
    EXPECT_EQ((std::vector<UINT>{ID_KITTEST_ABOUT, 0, ID_KITTEST_NEW}), Bar().ButtonIds());
    int cx = 0, cy = 0;
    ImageList_GetIconSize(Bar().GetNormalImageList()->GetSafeHandle(), &cx, &cy);
    EXPECT_EQ(32, cy);
    // An empty value changes nothing.
    AfxGetApp()->WriteProfileString(kSection, L"ToolbarStateInfo", L"");
    Bar().LoadState(kSection);
    EXPECT_EQ(3, Bar().GetToolBarCtrl().GetButtonCount());
}

TEST_F(ToolBarExTest, LoadingTheStateTheBarShowsKeepsItsLabelsAndAnotherOrderIsApplied)
{
    auto label = [this](UINT id) {
        wchar_t text[64] = {};
        Bar().GetToolBarCtrl().SendMessage(TB_GETBUTTONTEXTW, id, reinterpret_cast<LPARAM>(text));
        return CString(text);
    };
    const CString copyLabel = label(ID_KITTEST_COPY);
    ASSERT_FALSE(copyLabel.IsEmpty());
    const std::vector<UINT> before = Bar().ButtonIds();
    Bar().SaveState(kSection);
    Bar().LoadState(kSection);
    EXPECT_EQ(before, Bar().ButtonIds());
    EXPECT_EQ(copyLabel, label(ID_KITTEST_COPY));
    CString state;
    state.Format(L"1,0,%u,%u", ID_KITTEST_COPY, ID_KITTEST_NEW);
    AfxGetApp()->WriteProfileString(kSection, L"ToolbarStateInfo", state);
    Bar().LoadState(kSection);
    EXPECT_EQ((std::vector<UINT>{ID_KITTEST_COPY, ID_KITTEST_NEW}), Bar().ButtonIds());
    EXPECT_EQ(copyLabel, label(ID_KITTEST_COPY));
}

// The bar measures every button again at each one added or removed: a saved state it already
// shows, separators included, leaves its buttons where they are.
TEST_F(ToolBarExTest, LoadingTheStateTheBarShowsLeavesItsButtonsInPlace)
{
    CToolBarCtrl& ctrl = Bar().GetToolBarCtrl();
    const int count = ctrl.GetButtonCount();
    ASSERT_GT(count, 2);
    bool separator = false;
    for (int i = 0; i < count; ++i) {
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_BYINDEX | TBIF_LPARAM;
        info.lParam = 1000 + i;
        ASSERT_TRUE(ctrl.SendMessage(TB_SETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info)));
        separator = separator || (Button(i).fsStyle & BTNS_SEP);
    }
    ASSERT_TRUE(separator);
    Bar().SaveState(kSection);
    Bar().LoadState(kSection);
    ASSERT_EQ(count, ctrl.GetButtonCount());
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(static_cast<DWORD_PTR>(1000 + i), Button(i).dwData) << "button " << i << " was made again";
}

TEST_F(ToolBarExTest, OptionsOutOfRangeInTheProfileAreIgnored)
{
    CString state;
    state.Format(L"7,-3,%u", ID_KITTEST_COPY);
    AfxGetApp()->WriteProfileString(kSection, L"ToolbarStateInfo", state);
    Bar().LoadState(kSection);
    EXPECT_EQ(1, Bar().GetTextOption());
    EXPECT_EQ(0, Bar().GetIconOption());
    EXPECT_EQ((std::vector<UINT>{ID_KITTEST_COPY}), Bar().ButtonIds());
}

TEST_F(ToolBarExTest, ADamagedValueKeepsTheButtonsAndOptionsTheBarHas)
{
    const std::vector<UINT> before = Bar().ButtonIds();
    ASSERT_EQ(7u, before.size());
    CString tail;
    tail.Format(L"1,1,%u,x", ID_KITTEST_COPY);
    for (const CString& state : {CString(L"x1,0,28301"), tail, CString(L"1"), CString(L"1,,5")}) {
        AfxGetApp()->WriteProfileString(kSection, L"ToolbarStateInfo", state);
        Bar().LoadState(kSection);
        EXPECT_EQ(before, Bar().ButtonIds()) << static_cast<LPCWSTR>(state);
        EXPECT_EQ(1, Bar().GetTextOption());
        EXPECT_EQ(0, Bar().GetIconOption());
    }
    // The list ends at its first empty field: what comes before it is whole.
    CString state;
    state.Format(L"1,0,%u,,%u", ID_KITTEST_COPY, ID_KITTEST_NEW);
    AfxGetApp()->WriteProfileString(kSection, L"ToolbarStateInfo", state);
    Bar().LoadState(kSection);
    EXPECT_EQ((std::vector<UINT>{ID_KITTEST_COPY}), Bar().ButtonIds());
}

TEST_F(ToolBarExTest, TextOptionsSetTheStylesOfBarAndButtons)
{
    Bar().m_noText = {ID_KITTEST_COPY};
    struct Case
    {
        int option;
        bool list;
        bool mixed;
        bool autosize;
        bool showText;
        bool showTextOnCopy;
    } cases[] = {
        {0, false, false, false, false, false},
        {1, true, true, true, true, false},
        {2, false, false, true, false, false},
    };
    for (const Case& c : cases) {
        Bar().SetTextOption(c.option);
        CToolBarCtrl& ctrl = Bar().GetToolBarCtrl();
        EXPECT_EQ(c.list, (Bar().GetStyle() & TBSTYLE_LIST) != 0) << c.option;
        EXPECT_EQ(c.mixed, (ctrl.GetExtendedStyle() & TBSTYLE_EX_MIXEDBUTTONS) != 0) << c.option;
        TBBUTTON newButton = Button(0);
        EXPECT_EQ(c.autosize, (newButton.fsStyle & BTNS_AUTOSIZE) != 0) << c.option;
        EXPECT_EQ(c.showText, (newButton.fsStyle & BTNS_SHOWTEXT) != 0) << c.option;
        EXPECT_EQ(c.showTextOnCopy, (Button(3).fsStyle & BTNS_SHOWTEXT) != 0) << c.option;
        // The drop-down style of the table survives every option.
        EXPECT_TRUE(Button(1).fsStyle & BTNS_DROPDOWN) << c.option;
        EXPECT_EQ(static_cast<UINT>(ID_KITTEST_COPY), static_cast<UINT>(Button(3).idCommand));
    }
}

TEST_F(ToolBarExTest, TooltipsFollowTheTextOption)
{
    Bar().m_noText = {ID_KITTEST_COPY};
    Bar().SetTextOption(0);
    EXPECT_EQ(L"", TipOf(ID_KITTEST_NEW));
    Bar().SetTextOption(1);
    EXPECT_EQ(L"", TipOf(ID_KITTEST_NEW));
    EXPECT_EQ(L"コピー", TipOf(ID_KITTEST_COPY));
    Bar().SetTextOption(2);
    EXPECT_EQ(L"新規作成", TipOf(ID_KITTEST_NEW));
}

TEST_F(ToolBarExTest, ButtonTextIsTheTooltipPartOfTheCommandString)
{
    CString text;
    Bar().GetButtonText(ID_KITTEST_PASTE, text);
    EXPECT_EQ(L"貼り付け", text);
    // No line break: no text.
    Bar().GetButtonText(ID_KITTEST_UNTEXTED, text);
    EXPECT_EQ(L"", text);
    TBBUTTON separator = {};
    separator.fsStyle = BTNS_SEP;
    separator.idCommand = 99;
    EXPECT_TRUE(Bar().GetButtonInfo(99, &separator));
    EXPECT_EQ(99, separator.idCommand);
    TBBUTTON unknown = {};
    EXPECT_FALSE(Bar().GetButtonInfo(57600, &unknown));
}

TEST_F(ToolBarExTest, BandTakesTheSumOfTheItemWidthsAsIdealWidth)
{
    Bar().UpdateBand();
    CToolBarCtrl& ctrl = Bar().GetToolBarCtrl();
    int sum = 0;
    int height = ctrl.GetButtonSize().cy;
    for (int i = 0; i < ctrl.GetButtonCount(); ++i) {
        CRect item;
        ctrl.GetItemRect(i, &item);
        sum += item.Width();
        height = std::max(height, static_cast<int>(item.Height()));
    }
    CReBarCtrl& rebar = frame->m_wndReBar.GetReBarCtrl();
    VyxBandInfo info = CSizableReBar::MakeBandInfo(CSizableReBar::GetBandInfoSize(), RBBIM_IDEALSIZE | RBBIM_CHILDSIZE);
    rebar.GetBandInfo(static_cast<UINT>(rebar.IDToIndex(AFX_IDW_TOOLBAR)), &info);
    EXPECT_EQ(static_cast<UINT>(sum), info.cxIdeal);
    EXPECT_EQ(static_cast<UINT>(height), info.cyMinChild);
    EXPECT_EQ(0u, info.cxMinChild);
}

TEST_F(ToolBarExTest, ResetRestoresTheDefaultLayoutAndOptions)
{
    Bar().SetTextOption(2);
    Bar().SetIconOption(1);
    Bar().GetToolBarCtrl().DeleteButton(0);
    NMHDR header = {};
    Notify(header, TBN_RESET);
    EXPECT_EQ(1, Bar().GetTextOption());
    EXPECT_EQ(0, Bar().GetIconOption());
    EXPECT_EQ(7, Bar().GetToolBarCtrl().GetButtonCount());
    EXPECT_EQ(static_cast<UINT>(ID_KITTEST_NEW), Bar().ButtonIds()[0]);
}

TEST_F(ToolBarExTest, CustomiseProtocolAnswersFromTheTable)
{
    NMHDR header = {};
    EXPECT_EQ(TBNRF_HIDEHELP, Notify(header, TBN_INITCUSTOMIZE));
    NMTOOLBARW query = {};
    EXPECT_TRUE(Notify(query.hdr, TBN_QUERYINSERT));
    EXPECT_TRUE(Notify(query.hdr, TBN_QUERYDELETE));
    wchar_t text[64] = {};
    NMTOOLBARW info = {};
    info.iItem = 4;
    info.pszText = text;
    info.cchText = 64;
    EXPECT_TRUE(Notify(info.hdr, TBN_GETBUTTONINFOW));
    EXPECT_EQ(static_cast<int>(ID_KITTEST_PASTE), info.tbButton.idCommand);
    EXPECT_STREQ(L"貼り付け", text);
    info.iItem = CKitTestToolBar::kTableSize;
    EXPECT_FALSE(Notify(info.hdr, TBN_GETBUTTONINFOW));
    wchar_t tip[64] = {};
    NMTBGETINFOTIPW infoTip = {};
    infoTip.pszText = tip;
    infoTip.cchTextMax = 64;
    infoTip.iItem = ID_KITTEST_ABOUT;
    Notify(infoTip.hdr, TBN_GETINFOTIPW);
    EXPECT_STREQ(L"情報", tip);
}

TEST_F(ToolBarExTest, EachSaveFreesTheBlockOfTheSaveBefore)
{
    NMTBSAVE save = {};
    save.iItem = -1;
    save.cbData = 40;
    Notify(save.hdr, TBN_SAVE);
    ASSERT_NE(nullptr, save.pData);
    EXPECT_EQ(48u, save.cbData);
    EXPECT_EQ(1u, save.pData[0]);
    EXPECT_EQ(0u, save.pData[1]);
    EXPECT_EQ(save.pData + 2, save.pCurrent);
    HGLOBAL first = Bar().SavedState();
    EXPECT_EQ(48u, GlobalSize(first));
    NMTBSAVE again = {};
    again.iItem = -1;
    again.cbData = 40;
    Notify(again.hdr, TBN_SAVE);
    EXPECT_NE(nullptr, Bar().SavedState());
    // The first block is no longer the bar's, and no longer allocated.
    EXPECT_EQ(0u, GlobalSize(first == Bar().SavedState() ? nullptr : first));
}

TEST_F(ToolBarExTest, RestoreOfTooShortDataChangesNothing)
{
    DWORD data[1] = {2};
    NMTBRESTORE restore = {};
    restore.iItem = -1;
    restore.pData = data;
    restore.cbData = sizeof(data);
    restore.cbBytesPerRecord = sizeof(TBBUTTON);
    EXPECT_TRUE(Notify(restore.hdr, TBN_RESTORE));
    EXPECT_EQ(1, Bar().GetTextOption());
    EXPECT_EQ(7, Bar().GetToolBarCtrl().GetButtonCount());
    // Options and an empty button list: applied, and the restore ends there.
    DWORD options[2] = {2, 1};
    restore.pData = options;
    restore.cbData = sizeof(options);
    EXPECT_TRUE(Notify(restore.hdr, TBN_RESTORE));
    EXPECT_EQ(0, restore.cButtons);
    EXPECT_EQ(2, Bar().GetTextOption());
    EXPECT_EQ(1, Bar().GetIconOption());
}

TEST_F(ToolBarExTest, ReBarMenuOffersCustomisingOnlyForAdjustableBars)
{
    CMenu menu;
    menu.CreatePopupMenu();
    Bar().SendMessage(WM_REBAR_CONTEXTMENU, reinterpret_cast<WPARAM>(&menu));
    ASSERT_EQ(1u, menu.GetMenuItemCount());
    EXPECT_EQ(static_cast<UINT>(ID_CUSTOMIZE_TOOLBAR), menu.GetMenuItemID(0));
    EXPECT_TRUE(menu.GetMenuState(0, MF_BYPOSITION) & MF_GRAYED);
    Bar().ModifyStyle(0, CCS_ADJUSTABLE);
    CMenu adjustable;
    adjustable.CreatePopupMenu();
    Bar().SendMessage(WM_REBAR_CONTEXTMENU, reinterpret_cast<WPARAM>(&adjustable));
    EXPECT_FALSE(adjustable.GetMenuState(0, MF_BYPOSITION) & MF_GRAYED);
}

TEST_F(ToolBarExTest, BarCommandsReachTheFrameThroughTheRebar)
{
    Bar().SendMessage(WM_COMMAND, ID_KITTEST_COPY);
    EXPECT_EQ((std::vector<UINT>{ID_KITTEST_COPY}), frame->m_log.commands);
}

} // namespace
