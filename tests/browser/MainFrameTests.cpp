#include <gtest/gtest.h>

#include <set>

#include "common/ControlTestUtil.h"
#include "common/FrameTestUtil.h"
#include "browser/CKWApp.h"
#include "browser/InstanceHandOver.h"
#include "browser/CLstView.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/RetiredItems.h"
#include "browser/VyxOleDataSource.h"
#include "fileops/VyxFileTransfer.h"
#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "foundation/VyxPath.h"

#include <algorithm>
#include <functional>

namespace {

CString PaneText(FrameProgram& p, int pane)
{
    return p.Frame()->GetStatusBar().GetPaneText(pane);
}

bool Visible(CWnd& bar)
{
    return bar.GetSafeHwnd() && (bar.GetStyle() & WS_VISIBLE);
}

} // namespace

TEST(MainFrame, OpensTheFolderWithTheTreeOnItAndTheCountsShown)
{
    FrameProgram p;
    ASSERT_NE(nullptr, p.Frame());
    EXPECT_EQ(p.m_folder.Path(), p.Document()->GetLocationPath());
    EXPECT_EQ(0, p.Pane()->GetCurrentPath().CompareNoCase(p.m_folder.Path()));
    EXPECT_EQ(3, p.Document()->GetItemCount());
    EXPECT_EQ(0, PaneText(p, 1).Find(L"全 3 ﾌｧｲﾙ("));
    EXPECT_EQ(0, PaneText(p, 0).Find(L"選択 0 ﾌｧｲﾙ("));
    // The drive pane names the volume and its space.
    EXPECT_NE(-1, PaneText(p, 2).Find(L" 空 "));
    EXPECT_NE(-1, PaneText(p, 2).Find(L" / 全 "));
    EXPECT_EQ(1, p.m_hints.Count(HintSettingsChanged));
}

TEST(MainFrame, IdleStepsAnnounceHintFiveAndAnswerWhileAnyWorkFlagIsSet)
{
    FrameProgram p;
    EXPECT_NE(0u, p.Frame()->GetWorkFlags());
    int steps = p.RunIdle();
    ASSERT_GT(steps, 0);
    EXPECT_EQ(0u, p.Frame()->GetWorkFlags());
    int before = p.m_hints.Count(HintIdleStep);
    EXPECT_EQ(0, p.Frame()->SendMessage(WMU_IDLESTEP, 0, 0));
    EXPECT_EQ(before + 1, p.m_hints.Count(HintIdleStep));
    p.Frame()->SetWorkFlag(WorkAllThumbs, TRUE);
    p.Frame()->SetWorkFlag(WorkFolderWalk, TRUE);
    p.Frame()->SetWorkFlag(WorkFolderWalk, FALSE);
    EXPECT_EQ(static_cast<DWORD>(WorkAllThumbs), p.Frame()->GetWorkFlags());
}

TEST(MainFrame, AnIdleStepAnswersWithTheWorkStillLeft)
{
    // Whoever asks learns which work is left: the thumbnails on show, all thumbnails, the walk.
    FrameProgram p;
    int answers = 0, mismatched = 0;
    bool more = false;
    for (LRESULT work = 1; work != 0 && answers < 2000; ++answers) {
        work = p.Frame()->SendMessage(WMU_IDLESTEP, static_cast<WPARAM>(answers), 0);
        mismatched += static_cast<DWORD>(work) != p.Frame()->GetWorkFlags();
        more = more || work > 1;
    }
    EXPECT_GT(answers, 1);
    EXPECT_EQ(0, mismatched);
    EXPECT_TRUE(more);
    EXPECT_EQ(0u, p.Frame()->GetWorkFlags());
}

TEST(MainFrame, TheWorkStillLeftIsToldWithoutAnyOfItBeingDone)
{
    // Asked from outside (a benchmark timing the program's own idle loop): the word, no step.
    FrameProgram p;
    const int hints = p.m_hints.Count(HintIdleStep);
    const DWORD before = p.Frame()->GetWorkFlags();
    ASSERT_NE(0u, before);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(static_cast<LRESULT>(before), p.Frame()->SendMessage(WMU_WORKFLAGS, i, 0));
    EXPECT_EQ(hints, p.m_hints.Count(HintIdleStep));
    EXPECT_EQ(before, p.Frame()->GetWorkFlags());
    ASSERT_GT(p.RunIdle(), 0);
    EXPECT_EQ(0, p.Frame()->SendMessage(WMU_WORKFLAGS, 0, 0));
}

TEST(MainFrame, HintsArriveThroughTheFrameAndGoingToAPathOpensIt)
{
    FrameProgram p;
    CString sub = p.m_folder / L"sub";
    p.Frame()->SendMessage(WMU_UPDATEALLVIEWS, HintGoToPath, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(sub)));
    std::wstring expected = L"10 " + std::wstring(sub);
    EXPECT_NE(p.m_hints.heard.end(), std::find(p.m_hints.heard.begin(), p.m_hints.heard.end(), expected));
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(sub));
    EXPECT_EQ(0, p.Pane()->GetCurrentPath().CompareNoCase(sub));
}

TEST(MainFrame, StatusTextAndProgressMessagesReachTheirPanes)
{
    FrameProgram p;
    p.Frame()->SendMessage(WMU_STATUSTEXT, 3, reinterpret_cast<LPARAM>(L"作業中"));
    EXPECT_EQ(CString(L"作業中"), PaneText(p, 3));
    p.Frame()->SendMessage(WMU_PROGRESS, 3, 42);
    EXPECT_EQ(42, p.Frame()->GetStatusBar().GetLastProgress());
}

TEST(MainFrame, ChoosingAFolderInTheTreeOpensItInTheDocument)
{
    FrameProgram p;
    CFolderView* pane = p.Pane();
    BOOL exact = FALSE;
    HTREEITEM current = pane->FindItemByPath(p.m_folder.Path(), nullptr, &exact);
    ASSERT_TRUE(current && exact);
    pane->GetTreeCtrl().Expand(current, TVE_EXPAND);
    HTREEITEM sub = pane->GetTreeCtrl().GetChildItem(current);
    ASSERT_NE(nullptr, sub);
    pane->GetTreeCtrl().SelectItem(sub);
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(p.m_folder / L"sub"));
    EXPECT_EQ(0, p.Document()->GetItemCount());
    EXPECT_EQ(0, PaneText(p, 1).Find(L"全 0 ﾌｧｲﾙ("));
}

TEST(MainFrame, TheJumpBarTakesTheViewsToTheTypedPath)
{
    FrameProgram p;
    CJumpDialogBar& jump = p.Frame()->GetJumpBar();
    jump.GetPathEdit().SetWindowText(p.m_folder / L"sub");
    jump.SendMessage(WM_COMMAND, MAKEWPARAM(CJumpDialogBar::IDC_JUMP_GO, BN_CLICKED), 0);
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(p.m_folder / L"sub"));
}

TEST(MainFrame, TheJumpBarOffersFoldersOnly)
{
    FrameProgram p;
    CACEdit& edit = p.Frame()->GetJumpBar().GetPathEdit();
    edit.SetFocus();
    const CString typed = p.m_folder.Path() + L"\\";
    edit.SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(typed)));
    std::vector<CString> offered(edit.GetList().m_SearchList.GetData(),
                                 edit.GetList().m_SearchList.GetData() + edit.GetList().m_SearchList.GetSize());
    // The folder holds a.jpg, b.jpg and sub: only the folder is offered.
    ASSERT_EQ(1u, offered.size());
    EXPECT_EQ(0, offered[0].CompareNoCase(typed + L"sub\\"));
}

TEST(MainFrame, AMalformedWindowValueTakesItsDefaultAndNeverStopsTheStart)
{
    struct Row
    {
        const wchar_t* stored;
        CRect expected;
    };
    const Row rows[] = {{L"10,20,800,600", CRect(10, 20, 810, 620)}, {L"10,20", CRect(10, 20, 1034, 788)},
                        {L"x,20,800,y", CRect(0, 20, 800, 788)},     {L"", CRect(0, 0, 1024, 768)},
                        {L"1,2,3,4,5", CRect(1, 2, 4, 6)},           {L"0,0,-300,-200", CRect(0, 0, 1024, 768)},
                        {L"-8,-8,0,500", CRect(-8, -8, 1016, 492)}};
    ScratchSettings settings;
    for (const Row& row : rows) {
        WriteAppIniString(L"Probe", L"Window", row.stored);
        EXPECT_EQ(row.expected, CMainFrame::ReadWindowValue(L"Probe", L"0,0,1024,768")) << row.stored;
    }

    FrameProgram p([] {
        WriteAppIniString(L"MainFrame", L"Window", L"30,40,700");
        WriteAppIniString(L"FolderView", L"Window", L"0,0,abc");
        WriteAppIniString(L"LstView", L"Window", L"1");
        WriteAppIniString(L"KWView", L"Window", L",,,");
    });
    ASSERT_NE(nullptr, p.Frame());
    ASSERT_NE(nullptr, p.Pane());
    CRect window;
    p.Frame()->GetWindowRect(&window);
    EXPECT_EQ(CPoint(30, 40), window.TopLeft());
    EXPECT_EQ(700, window.Width());
}

TEST(MainFrame, SizesThatCannotShowTheFrameTakeTheDefaultWhenNoPlacementIsSaved)
{
    FrameProgram p([] { WriteAppIniString(L"MainFrame", L"Window", L"0,0,-300,-200"); });
    ASSERT_NE(nullptr, p.Frame());
    CRect window;
    p.Frame()->GetWindowRect(&window);
    EXPECT_EQ(CSize(1024, 768), window.Size());
}

TEST(MainFrame, AWindowStoredOffEveryScreenOpensAtTheDefaultAndIsSavedWhereItShowed)
{
    // Closed while minimised, and a placement from a monitor no longer there.
    const wchar_t* stored[][2] = {{L"-32000,-32000,-31990,-31990", L"-32000,-32000,-31990,-31990"},
                                  {L"-32000,-32000,160,28", L"5000,4000,5800,4600"}};
    for (const auto& row : stored) {
        FrameProgram p(
            [&] {
                WriteAppIniString(L"MainFrame", L"Window", row[0]);
                WriteAppIniInt(L"MainFrame", L"WindowPlacement\\flags", 0);
                WriteAppIniInt(L"MainFrame", L"WindowPlacement\\showCmd", SW_SHOWNORMAL);
                WriteAppIniString(L"MainFrame", L"WindowPlacement\\ptMinPosition", L"-1,-1");
                WriteAppIniString(L"MainFrame", L"WindowPlacement\\ptMaxPosition", L"-1,-1");
                WriteAppIniString(L"MainFrame", L"WindowPlacement\\rcNormalPosition", row[1]);
            },
            false);
        ASSERT_TRUE(p.Start(p.m_folder.Path()));
        CKWApp::PlaceMainWindow(p.Frame(), FALSE, FALSE);
        CRect window;
        p.Frame()->GetWindowRect(&window);
        EXPECT_EQ(CRect(0, 0, 1024, 768), window) << row[0];
        p.Close();
        EXPECT_EQ(CString(L"0,0,1024,768"), ReadSetting(L"MainFrame", L"Window")) << row[0];
        EXPECT_EQ(CString(L"0,0,1024,768"), ReadSetting(L"MainFrame", L"WindowPlacement\\rcNormalPosition")) << row[0];
    }
}

TEST(MainFrame, AHandedLocationWaitsWhileADialogHoldsTheWindowAndOpensAfterwards)
{
    FrameProgram p;
    const CString sub = p.m_folder / L"sub";
    // Disabled, as under a modal dialog or a progress window.
    p.Frame()->EnableWindow(FALSE);
    ASSERT_TRUE(InstanceHandOver::SendLocation(p.Frame()->GetSafeHwnd(), sub, 5000));
    PumpPending();
    p.RunIdle();
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(p.m_folder.Path()));
    p.Frame()->EnableWindow(TRUE);
    EXPECT_TRUE(PumpUntil([&] { return p.Document()->GetLocationPath().CompareNoCase(sub) == 0; }));
    EXPECT_EQ(0, p.Pane()->GetCurrentPath().CompareNoCase(sub));
    // A location that is not there leaves the window where it is.
    ASSERT_TRUE(InstanceHandOver::SendLocation(p.Frame()->GetSafeHwnd(), p.m_folder / L"gone", 5000));
    PumpPending();
    p.RunIdle();
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(sub));
}

TEST(MainFrame, FrameSplitChoosesWhereEachPaneGoes)
{
    struct Row
    {
        int split;
        CRuntimeClass* outerLeft;
        bool innerRight; // the inner splitter is in the outer right column
        CRuntimeClass* innerTop;
    };
    const Row rows[] = {{0, RUNTIME_CLASS(CFolderView), true, RUNTIME_CLASS(CLstView)},
                        {1, RUNTIME_CLASS(CFolderView), true, RUNTIME_CLASS(CKWView)},
                        {2, nullptr, false, RUNTIME_CLASS(CFolderView)},
                        {7, RUNTIME_CLASS(CFolderView), true, RUNTIME_CLASS(CLstView)}};
    for (const Row& row : rows) {
        FrameProgram p([&] { WriteAppIniInt(L"MainFrame", L"FrameSplit", row.split); });
        ASSERT_NE(nullptr, p.Frame()) << row.split;
        CSplitterWnd* outer = DYNAMIC_DOWNCAST(CSplitterWnd, p.Frame()->GetDlgItem(AFX_IDW_PANE_FIRST));
        ASSERT_NE(nullptr, outer);
        CWnd* left = outer->GetPane(0, 0);
        CSplitterWnd* inner = DYNAMIC_DOWNCAST(CSplitterWnd, outer->GetPane(0, row.innerRight ? 1 : 0));
        ASSERT_NE(nullptr, inner) << row.split;
        if (row.outerLeft) {
            EXPECT_TRUE(left->IsKindOf(row.outerLeft)) << row.split;
        }
        EXPECT_TRUE(inner->GetPane(0, 0)->IsKindOf(row.innerTop)) << row.split;
        EXPECT_NE(nullptr, p.Frame()->GetThumbPane());
        EXPECT_NE(nullptr, p.Frame()->GetListPane());
        EXPECT_EQ(row.split, p.Frame()->GetFrameSplit());
    }
}

TEST(MainFrame, ClosingWritesTheStateThatTheNextStartRestores)
{
    ScratchSettings* shared = nullptr;
    CString ini;
    {
        FrameProgram p;
        shared = &p.m_settings;
        ini = theAppIni.GetPath();
        p.Frame()->MoveWindow(15, 25, 760, 560);
        p.Frame()->ToggleBar(&p.Frame()->GetDriveBar());
        p.Close();
        CString window = ReadSetting(L"MainFrame", L"Window");
        EXPECT_EQ(CString(L"15,25,760,560"), window);
        EXPECT_EQ(CString(L"0"), ReadSetting(L"MainFrame", L"DriveBar"));
        EXPECT_EQ(CString(L"1"), ReadSetting(L"MainFrame", L"ToolBar"));
        EXPECT_EQ(CString(L"0"), ReadSetting(L"MainFrame", L"JumpBar"));
        EXPECT_EQ(CString(L"1"), ReadSetting(L"MainFrame", L"StatusBar"));
        EXPECT_EQ(CString(L"0"), ReadSetting(L"MainFrame", L"FrameSplit"));
        EXPECT_EQ(CString(L"5000"), ReadSetting(L"MainFrame", L"FolderChangeCheckTimes"));
        EXPECT_EQ(CString(L"300"), ReadSetting(L"MainFrame", L"UpdateStatusTimes"));
        // Written for whoever reads the file, though the frame itself never reads it.
        EXPECT_EQ(CString(L"1"), ReadSetting(L"MainFrame", L"MenuBar"));
        EXPECT_NE(CString(L"<none>"), ReadSetting(L"MainFrame", L"WindowPlacement\\showCmd"));
        EXPECT_NE(CString(L"<none>"), ReadSetting(L"ToolbarState", L"ToolbarStateInfo"));
        EXPECT_NE(CString(L"<none>"), ReadSetting(L"RebarState", L"BandStateInfo"));
        EXPECT_EQ(0, ReadSetting(L"KWDoc", L"LastPath").CompareNoCase(p.m_folder.Path()));
        EXPECT_NE(CString(L"<none>"), ReadSetting(L"FolderView", L"Window"));

        // The next start on the same settings.
        ASSERT_TRUE(p.Start(p.m_folder.Path()));
        EXPECT_FALSE(Visible(p.Frame()->GetDriveBar()));
        EXPECT_TRUE(Visible(p.Frame()->GetToolBar()));
        CRect rect;
        p.Frame()->GetWindowRect(&rect);
        EXPECT_EQ(CPoint(15, 25), rect.TopLeft());
    }
    (void)shared;
}

namespace {

// Each shown band of the frame's rebar: its bar's id and where it lies.
std::vector<std::pair<UINT, CRect>> BandLayout(CMainFrame& frame)
{
    CReBarCtrl& rebar = frame.m_wndReBar.GetReBarCtrl();
    std::vector<std::pair<UINT, CRect>> bands;
    for (UINT i = 0; i < rebar.GetBandCount(); ++i) {
        VyxBandInfo info = CSizableReBar::MakeBandInfo(CSizableReBar::GetBandInfoSize(), RBBIM_ID | RBBIM_STYLE);
        rebar.GetBandInfo(i, &info);
        CRect rect;
        rebar.GetRect(i, &rect);
        if (!(info.fStyle & RBBS_HIDDEN))
            bands.emplace_back(info.wID, rect);
    }
    return bands;
}

std::string Describe(const std::vector<std::pair<UINT, CRect>>& bands)
{
    std::ostringstream os;
    for (const auto& band : bands)
        os << std::hex << band.first << std::dec << ":(" << band.second.left << "," << band.second.top << ","
           << band.second.right << "," << band.second.bottom << ") ";
    return os.str();
}

int RowCount(const std::vector<std::pair<UINT, CRect>>& bands)
{
    std::set<LONG> tops;
    for (const auto& band : bands)
        tops.insert(band.second.top);
    return static_cast<int>(tops.size());
}

} // namespace

TEST(MainFrame, TheBarsKeepTheirRowsAndWidthsThroughACloseAndANewStart)
{
    FrameProgram p([] { WriteAppIniInt(L"MainFrame", L"JumpBar", 1); });
    // The first start: the menu; the tool bar; the drive and the jump bar.
    const auto first = BandLayout(*p.Frame());
    ASSERT_EQ(4u, first.size());
    ASSERT_EQ(3, RowCount(first)) << Describe(first);
    CRect client;
    p.Frame()->m_wndReBar.GetReBarCtrl().GetClientRect(&client);
    EXPECT_EQ(client.right, first[1].second.right);
    p.Close();
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    EXPECT_EQ(Describe(first), Describe(BandLayout(*p.Frame())));

    // A layout the user made (tool bar and drive bar in one row, the tool bar narrowed, the jump
    // bar in a row of its own) comes back too.
    CReBarCtrl& rebar = p.Frame()->m_wndReBar.GetReBarCtrl();
    auto setStyle = [&](UINT id, bool rowBreak) {
        const UINT band = static_cast<UINT>(rebar.IDToIndex(id));
        VyxBandInfo info = CSizableReBar::MakeBandInfo(CSizableReBar::GetBandInfoSize(), RBBIM_STYLE);
        rebar.GetBandInfo(band, &info);
        info.fStyle = rowBreak ? info.fStyle | RBBS_BREAK : info.fStyle & ~RBBS_BREAK;
        rebar.SetBandInfo(band, &info);
    };
    setStyle(p.Frame()->GetDriveBar().GetDlgCtrlID(), false);
    setStyle(p.Frame()->GetJumpBar().GetDlgCtrlID(), true);
    VyxBandInfo size = CSizableReBar::MakeBandInfo(CSizableReBar::GetBandInfoSize(), RBBIM_SIZE);
    size.cx = 400;
    rebar.SetBandInfo(static_cast<UINT>(rebar.IDToIndex(AFX_IDW_TOOLBAR)), &size);
    p.Frame()->RecalcLayout();
    PumpPending();
    const auto made = BandLayout(*p.Frame());
    ASSERT_EQ(3, RowCount(made)) << Describe(made);
    ASSERT_NE(Describe(first), Describe(made));
    p.Close();
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    EXPECT_EQ(Describe(made), Describe(BandLayout(*p.Frame())));
}

TEST(MainFrame, ATooNarrowFrameHidesTheToolBarsLastButtonsBehindTheChevron)
{
    FrameProgram p([] { WriteAppIniString(L"MainFrame", L"Window", L"0,0,640,480"); });
    CReBarCtrl& rebar = p.Frame()->m_wndReBar.GetReBarCtrl();
    const UINT band = static_cast<UINT>(rebar.IDToIndex(AFX_IDW_TOOLBAR));
    VyxBandInfo info =
        CSizableReBar::MakeBandInfo(CSizableReBar::GetBandInfoSize(), RBBIM_STYLE | RBBIM_CHILDSIZE | RBBIM_IDEALSIZE);
    rebar.GetBandInfo(band, &info);
    CRect rect, client;
    rebar.GetRect(band, &rect);
    rebar.GetClientRect(&client);
    EXPECT_LE(rect.right, client.right);
    EXPECT_TRUE(info.fStyle & RBBS_USECHEVRON);
    EXPECT_EQ(0u, info.cxMinChild);
    // The band is narrower than its buttons: the rebar offers the rest behind its chevron.
    EXPECT_GT(static_cast<LONG>(info.cxIdeal), rect.Width());
    CToolBarCtrl& bar = p.Frame()->GetToolBar().GetToolBarCtrl();
    int widths = 0;
    for (int i = 0; i < bar.GetButtonCount(); ++i) {
        CRect item;
        bar.GetItemRect(i, &item);
        widths += item.Width();
    }
    EXPECT_EQ(widths, static_cast<int>(info.cxIdeal));
}

TEST(MainFrame, TheSystemMenuHidesTheRebarBarsAsAGroupAndRestoresExactlyThose)
{
    FrameProgram p([] { WriteAppIniInt(L"MainFrame", L"JumpBar", 1); });
    CMainFrame* frame = p.Frame();
    CMenu* system = frame->GetSystemMenu(FALSE);
    ASSERT_NE(nullptr, system);
    CString text;
    system->GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_EQ(CString(L"メニューバーのOn/Off"), text);
    EXPECT_EQ(0x20u, system->GetMenuItemID(1));
    EXPECT_EQ(0x30u, system->GetMenuItemID(2));
    EXPECT_EQ(0u, system->GetMenuItemID(3)); // separator

    frame->ToggleBar(&frame->GetDriveBar());
    ASSERT_TRUE(Visible(frame->GetToolBar()));
    ASSERT_FALSE(Visible(frame->GetDriveBar()));
    ASSERT_TRUE(Visible(frame->GetJumpBar()));
    frame->SendMessage(WM_SYSCOMMAND, 0x20, 0);
    EXPECT_FALSE(Visible(frame->GetToolBar()) || Visible(frame->GetDriveBar()) || Visible(frame->GetJumpBar()));
    frame->SendMessage(WM_SYSCOMMAND, 0x20, 0);
    EXPECT_TRUE(Visible(frame->GetToolBar()));
    EXPECT_FALSE(Visible(frame->GetDriveBar()));
    EXPECT_TRUE(Visible(frame->GetJumpBar()));

    // When the bars were hidden one by one, the group brings back those remembered.
    frame->ToggleBar(&frame->GetToolBar());
    frame->ToggleBar(&frame->GetJumpBar());
    frame->SendMessage(WM_SYSCOMMAND, 0x20, 0);
    EXPECT_TRUE(Visible(frame->GetToolBar()) && !Visible(frame->GetDriveBar()) && Visible(frame->GetJumpBar()));

    frame->SendMessage(WM_SYSCOMMAND, 0x30, 0);
    EXPECT_FALSE(Visible(frame->GetStatusBar()));
}

TEST(MainFrame, WithNoBarRememberedAsShownTheGroupShowsAllThree)
{
    FrameProgram p([] {
        WriteAppIniInt(L"MainFrame", L"ToolBar", 0);
        WriteAppIniInt(L"MainFrame", L"DriveBar", 0);
    });
    CMainFrame* frame = p.Frame();
    // The tool bar keeps its own saved state at start; the switch only records it.
    frame->ToggleBar(&frame->GetToolBar());
    ASSERT_FALSE(Visible(frame->GetToolBar()) || Visible(frame->GetDriveBar()) || Visible(frame->GetJumpBar()));
    frame->SendMessage(WM_SYSCOMMAND, 0x20, 0);
    EXPECT_TRUE(Visible(frame->GetToolBar()) && Visible(frame->GetDriveBar()) && Visible(frame->GetJumpBar()));
}

TEST(MainFrame, TheJumpBarsEntryKeepsTheKeysWhileItHasTheFocus)
{
    FrameProgram p([] { WriteAppIniInt(L"MainFrame", L"JumpBar", 1); });
    ASSERT_TRUE(MakeActive(*p.Frame()));
    HACCEL table = p.Frame()->GetDefaultAccelerator();
    EXPECT_NE(nullptr, table);
    p.Frame()->GetJumpBar().GetPathEdit().SetFocus();
    EXPECT_EQ(nullptr, p.Frame()->GetDefaultAccelerator());
    p.Pane()->SetFocus();
    EXPECT_EQ(table, p.Frame()->GetDefaultAccelerator());
}

TEST(MainFrame, TilesFillRowsOfTheSquareRoot)
{
    struct Row
    {
        int count;
        int rows;
        int columns;
    };
    const Row rows[] = {{1, 1, 1}, {2, 1, 2}, {4, 2, 2}, {5, 2, 3}, {10, 3, 4}};
    for (const Row& row : rows) {
        std::vector<CRect> rects(row.count);
        CMainFrame::CalcTileLayout(row.count, 1200, 900, rects.data());
        int width = 1200 / row.columns;
        int height = 900 / row.rows;
        EXPECT_EQ(CRect(0, 0, width, height), rects[0]) << row.count;
        int last = row.count - 1;
        EXPECT_EQ(CRect((last % row.columns) * width, (last / row.columns) * height, (last % row.columns + 1) * width,
                        (last / row.columns + 1) * height),
                  rects[last])
            << row.count;
    }
}

TEST(MainFrame, ANetworkLocationWhoseSpaceCannotBeReadLeavesTheDrivePaneEmpty)
{
    FrameProgram p;
    ASSERT_NE(CString(), PaneText(p, 2));
    CVirtualFolder location(L"\\\\nohost\\noshare\\photos", L"\\\\nohost\\noshare\\photos", 1);
    p.Document()->OpenFolder(location, nullptr);
    p.Frame()->UpdateFreeSpacePane();
    EXPECT_EQ(CString(), PaneText(p, 2));
}

TEST(MainFrame, RenderingTheFileListNamesTheSelectedItemsInViewOrder)
{
    FrameProgram p;
    CKWDoc* doc = p.Document();
    for (int i = 0; i < doc->GetItemCount(); ++i)
        doc->SelectItem(i, !doc->GetItem(i)->IsFolder(), nullptr);
    VyxOleDataSource source;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    source.m_lpFormatEtc = &format;
    source.m_lpStgMedium = &medium;
    source.m_ptDrag = CPoint(7, 9);
    ASSERT_EQ(1, p.Frame()->SendMessage(WMU_RENDERDATA, reinterpret_cast<WPARAM>(&source), 0));
    ASSERT_EQ(static_cast<DWORD>(TYMED_HGLOBAL), medium.tymed);
    auto* header = static_cast<DROPFILES*>(GlobalLock(medium.hGlobal));
    EXPECT_EQ(20u, header->pFiles);
    EXPECT_EQ(CPoint(7, 9), CPoint(header->pt));
    EXPECT_EQ(0, header->fNC);
    EXPECT_EQ(1, header->fWide);
    std::vector<CString> names;
    for (auto* name = reinterpret_cast<const wchar_t*>(reinterpret_cast<BYTE*>(header) + 20); *name;
         name += wcslen(name) + 1)
        names.emplace_back(name);
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    std::vector<CString> expected;
    for (int i = 0; i < doc->GetItemCount(); ++i)
        if (!doc->GetItem(i)->IsFolder())
            expected.push_back(doc->GetItem(i)->GetPath());
    EXPECT_EQ(expected, names);
    // Plain files need no folder of their own.
    EXPECT_TRUE(source.m_strTempFolder.IsEmpty());

    // Another format is not the frame's to render: the medium stays as it was.
    format.cfFormat = CF_TEXT;
    STGMEDIUM untouched = {};
    untouched.tymed = 0x5A;
    source.m_lpStgMedium = &untouched;
    EXPECT_EQ(0, p.Frame()->SendMessage(WMU_RENDERDATA, reinterpret_cast<WPARAM>(&source), 0));
    EXPECT_EQ(0x5Au, untouched.tymed);
}

TEST(MainFrame, AFileOperationPausesTheWatchersAndDeletesTheJob)
{
    FrameProgram p;
    auto* job = new VyxFileTransfer;
    job->SetDestination(p.m_folder.Path());
    int before = p.m_hints.Count(HintFolderChanged);
    EXPECT_EQ(0, p.Frame()->SendMessage(WMU_FILEOPERATION, reinterpret_cast<WPARAM>(job), 0));
    EXPECT_EQ(WatchMode::Watching, p.Frame()->GetWatchMode());
    EXPECT_EQ(before, p.m_hints.Count(HintFolderChanged));
}

// A job that receives more jobs while it runs, as message boxes and the progress window's pumping
// let them in.
class NestingJob : public VyxFileTransfer
{
public:
    std::function<void()> whileRunning;
    int Run(LPCWSTR destination) override
    {
        if (whileRunning)
            whileRunning();
        return VyxFileTransfer::Run(destination);
    }
};

VyxFileTransfer* CopyJob(const CString& file, const CString& destination, VyxFileTransfer* job = nullptr)
{
    if (!job)
        job = new VyxFileTransfer;
    VyxFile item(file);
    job->AddItem(&item, 0);
    job->SetDestination(destination);
    return job;
}

TEST(MainFrame, AJobArrivingWhileAnotherRunsWaitsWhenPostedAndIsAnsweredWhenSent)
{
    FrameProgram p;
    FrameworkScratchFolder first, posted, sent;
    auto* running = new NestingJob;
    CopyJob(p.m_folder / L"a.jpg", first.Path(), running);
    bool busy = false;
    size_t queued = 0;
    CString box;
    running->whileRunning = [&] {
        busy = p.Frame()->IsFileOperationRunning();
        VyxFileTransfer::Post(p.Frame(), CopyJob(p.m_folder / L"b.jpg", posted.Path()));
        PumpUntil([&] { return p.Frame()->GetQueuedFileOperations() == 1; }, 30000);
        queued = p.Frame()->GetQueuedFileOperations();
        HelperThread answer([&] { DismissMessageBox(&box); });
        EXPECT_EQ(0, VyxFileTransfer::Send(p.Frame(), CopyJob(p.m_folder / L"a.jpg", sent.Path())));
    };
    EXPECT_EQ(1, VyxFileTransfer::Send(p.Frame(), running));
    EXPECT_TRUE(busy);
    EXPECT_EQ(1u, queued);
    EXPECT_NE(-1, box.Find(L"ファイル操作を実行中"));
    EXPECT_TRUE(PathExists(first / L"a.jpg", 0));
    // The posted job ran once the first was done; the sent one was answered and never ran.
    EXPECT_TRUE(PathExists(posted / L"b.jpg", 0));
    EXPECT_FALSE(PathExists(sent / L"a.jpg", 0));
    EXPECT_EQ(0u, p.Frame()->GetQueuedFileOperations());
    EXPECT_FALSE(p.Frame()->IsFileOperationRunning());
    EXPECT_EQ(WatchMode::Watching, p.Frame()->GetWatchMode());
}

TEST(MainFrame, ARegisteredApplicationStartsOnTheSelectedFiles)
{
    Probe probe;
    FrameProgram p;
    WriteAppIniString(L"AppCall", L"App0\\Title", L"probe");
    WriteAppIniString(L"AppCall", L"App0\\Cmd", VAppCall::QuoteIfSpaced(probe.exe));
    WriteAppIniString(L"AppCall", L"App0\\Argv", L"$(FileName)");
    CKWDoc* doc = p.Document();
    for (int i = 0; i < doc->GetItemCount(); ++i)
        doc->SelectItem(i, TRUE, nullptr);
    // A command past the registered entries does nothing.
    p.Frame()->SendMessage(WM_COMMAND, VAppCall::FirstCommand + 1);
    p.Frame()->SendMessage(WM_COMMAND, VAppCall::FirstCommand);
    ASSERT_TRUE(probe.WaitForLines(1));
    std::string line = probe.Lines()[0];
    EXPECT_NE(std::string::npos, line.find("|[a.jpg]"));
    EXPECT_NE(std::string::npos, line.find("|[b.jpg]"));
    EXPECT_EQ(1u, probe.Lines().size());
}

TEST(MainFrame, SystemColoursReachTheViewsOnlyWhenTheDocumentFollowsThem)
{
    FrameProgram p;
    CKWDoc* doc = p.Document();
    doc->colViewBackground = 0xE0FFFF;
    doc->colViewText = 0;
    p.Frame()->SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(0, p.m_hints.Count(HintColoursChanged));
    doc->colViewBackground = doc->colViewText = 0x123456;
    p.Frame()->SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(1, p.m_hints.Count(HintColoursChanged));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), doc->GetBackColor());
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), doc->GetTextColor());
}

// Every drive's button, with its display name as tooltip and its icon left of the letter.
static void ExpectEveryDriveWithItsNameAndIcon(VyxDriveBar& bar)
{
    CXDriveBar* buttons = bar.GetDriveButtons();
    ASSERT_NE(nullptr, buttons);
    std::vector<int> drives;
    for (int i = 0; i < 26; ++i) {
        if (GetLogicalDrives() & (1u << i))
            drives.push_back(i);
    }
    ASSERT_EQ(static_cast<int>(drives.size()), buttons->GetButtonCount());
    for (int i = 0; i < buttons->GetButtonCount(); ++i) {
        const CString root = CXDriveBar::GetRootPath(drives[i]);
        CXPStyleButtonST* button = buttons->GetButton(i);
        CString caption, tip;
        button->GetWindowText(caption);
        EXPECT_EQ(root.Left(1), caption);
        button->GetToolTip().GetText(tip, button, 1);
        EXPECT_EQ(CXDriveBar::GetDisplayName(root), tip) << CStringA(root).GetString();
        MemoryCanvas canvas(40, 30);
        button->PaintButton(canvas.DC(), 0, CRect(0, 0, 40, 30), FALSE);
        EXPECT_GT(9 * 16, canvas.CountColour(CRect(3, 7, 12, 23), GetSysColor(COLOR_BTNFACE)))
            << "no icon on " << CStringA(root).GetString();
    }
}

TEST(MainFrame, TheDriveBarHoldsEveryDriveWithItsNameAfterStartAndAfterADeviceChange)
{
    UINT saved = VyxDriveBar::s_rebuildDelay;
    VyxDriveBar::s_rebuildDelay = 100;
    FrameProgram p;
    VyxDriveBar& bar = p.Frame()->GetDriveBar();
    ASSERT_TRUE(PumpUntil([&] { return bar.HasDriveDetails() != FALSE; }, 20000));
    ExpectEveryDriveWithItsNameAndIcon(bar);

    int built = bar.GetBuildCount();
    p.Frame()->SendMessage(WM_DEVICECHANGE, 0x0007, 0);
    EXPECT_TRUE(PumpUntil([&] { return bar.GetBuildCount() > built && bar.HasDriveDetails(); }, 20000));
    ExpectEveryDriveWithItsNameAndIcon(bar);
    // Rebuilt while the last look-up's answer waits in the queue: the stale answer comes first
    // and must leave the new buttons' details to theirs.
    auto holdAnswers = [&](std::vector<MSG>& held) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 20000) {
            MSG msg;
            while (PeekMessageW(&msg, bar.GetSafeHwnd(), WM_APP, WM_APP + 0xFF, PM_REMOVE))
                held.push_back(msg);
            if (!held.empty() && static_cast<int>(held.back().wParam) == bar.GetBuildCount())
                return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
        }
        return false;
    };
    std::vector<MSG> held;
    bar.BuildDriveButtons(CRect(0, 0, 400, 30));
    ASSERT_TRUE(holdAnswers(held));
    bar.BuildDriveButtons(CRect(0, 0, 400, 30));
    ASSERT_TRUE(holdAnswers(held));
    for (const MSG& msg : held)
        PostMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    EXPECT_TRUE(PumpUntil([&] { return bar.HasDriveDetails() != FALSE; }, 20000));
    ExpectEveryDriveWithItsNameAndIcon(bar);
    VyxDriveBar::s_rebuildDelay = saved;
}

TEST(MainFrame, TheBackAndForwardButtonsShowTheirStatesFromTheFirstPaint)
{
    FrameProgram p;
    CToolBarCtrl& bar = p.Frame()->GetToolBar().GetToolBarCtrl();
    // Placed and shown at start-up, before any idle time: nothing to go back or forward to.
    CKWApp::PlaceMainWindow(p.Frame(), FALSE, FALSE);
    EXPECT_FALSE(bar.IsButtonEnabled(ID_FOLDER_BACK));
    EXPECT_FALSE(bar.IsButtonEnabled(ID_FOLDER_FORWARD));
}

// A thumbnail cache whose file takes a while to write is written on a thread of its own when the
// program closes: the close is answered at once (a second close meanwhile changes nothing), and
// the window goes once the file is written whole.
TEST(MainFrame, ClosingAnswersAtOnceWhileTheThumbnailCacheIsWrittenAndTheFileIsWhole)
{
    FrameProgram p([] { WriteAppIniInt(L"KWDoc", L"AutoCacheFolder", 1); });
    const CString folder = p.m_folder.Path();
    const int records = 300000;
    // The location's cache in memory with many records not written yet.
    auto* cache = new VyxCacheFolder(folder, L"");
    for (int i = 0; i < records; ++i) {
        auto* record = new VyxCacheThumbs;
        record->m_fileName.Format(L"IMG_%06d.JPG", i);
        record->m_loaderName = L"vyx_jpeg";
        record->m_fileTime = 1500000000;
        cache->AddRecord(record);
    }
    theCacheList.AddTail(cache);
    const HWND frame = p.Frame()->m_hWnd;
    EXPECT_TRUE(InstanceHandOver::IsMarked(frame));
    p.Frame()->SendMessage(WM_CLOSE);
    EXPECT_TRUE(IsWindow(frame));
    // Closing: a second start is not handed to this window, which goes on only to end.
    EXPECT_FALSE(InstanceHandOver::IsMarked(frame));
    p.Frame()->SendMessage(WM_CLOSE);
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_TRUE(PumpUntil([frame] { return !IsWindow(frame); }, 120000));
    p.Close();
    VyxCacheFolder written;
    ASSERT_EQ(VyxCacheFolder::LoadDone, written.Load(folder + L"\\_THUMBS_.KWI"));
    EXPECT_EQ(records, written.GetCount());
    EXPECT_STREQ(L"IMG_299999.JPG", written.GetAt(records - 1)->m_fileName);
}

TEST(MainFrame, AFolderLeftLeavesItsItemsToTheIdleStepsThatFollow)
{
    FrameProgram p(nullptr, false);
    for (int i = 0; i < 40; ++i)
        p.m_folder.WriteFile((L"n" + std::to_wstring(i) + L".jpg").c_str(), "x");
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    p.RunIdle();
    const size_t before = RetiredItems::GetCount();
    const CString sub = p.m_folder / L"sub";
    p.Document()->OpenFolder(CVirtualFolder(sub, sub, CVirtualFolder::KindPlainFolder), nullptr);
    // Not deleted while the user waits for the next folder: by the idle step after it.
    EXPECT_EQ(before + 43, RetiredItems::GetCount());
    p.Frame()->SendMessage(WMU_IDLESTEP, 0, 0);
    EXPECT_EQ(0u, RetiredItems::GetCount());
    EXPECT_EQ(0u, p.Frame()->GetWorkFlags() & WorkRetiredItems);
}
