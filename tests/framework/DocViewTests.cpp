// Documents, frames, views, control bars and splitters, through the small program of
// DocViewTestApp: creation order, layout, idle updates, routing, prompts, hints, scrolling and
// what is left after closing.
#include "DocViewTestApp.h"

#include <vector>

namespace {

CRect ChildRect(CWnd* parent, CWnd* child)
{
    CRect rect;
    child->GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    return rect;
}

// What the layer holds on this thread: permanent and temporary handle-map entries.
struct Held
{
    size_t permanent = 0;
    size_t temporary = 0;
};

Held HeldNow()
{
    Held held;
    AfxGetHandleMapCounts(&held.permanent, &held.temporary);
    return held;
}

TEST(DocView, TemplateMakesDocumentThenFrameAndViewsThenOpensThenUpdates)
{
    DocViewProgram program;
    ASSERT_NE(nullptr, program.Frame());
    ASSERT_NE(nullptr, program.Document());
    // Document first, then the frame and its views, then the document opens, then the views'
    // initial updates (in whatever order the panes are reached) once the frame has them all.
    CString log = g_docViewLog;
    EXPECT_EQ(0, log.Find(L"doc;frame;tree;list;scroll;open;")) << CStringA(log).GetString();
    for (LPCWSTR init : {L"init tree;", L"init list;", L"init scroll;"})
        EXPECT_GT(log.Find(init), log.Find(L"open;")) << CStringA(log).GetString();
    EXPECT_EQ(program.Frame(), AfxGetMainWnd());
    EXPECT_TRUE(program.Frame()->IsWindowVisible());
    // The innermost first pane is the active view; every view belongs to the document.
    EXPECT_EQ(program.Frame()->m_pTree, program.Frame()->GetActiveView());
    EXPECT_EQ(program.Document(), program.Frame()->GetActiveDocument());
    int views = 0;
    for (POSITION pos = program.Document()->GetFirstViewPosition(); pos; program.Document()->GetNextView(pos))
        ++views;
    EXPECT_EQ(3, views);
    // A folder opens like a file; its name is the title, shown first in the caption.
    CString name = program.m_folder.Path().Mid(program.m_folder.Path().ReverseFind(L'\\') + 1);
    EXPECT_EQ(name, program.Document()->GetTitle());
    CString caption;
    program.Frame()->GetWindowText(caption);
    EXPECT_EQ(name + L" - フレームの確認", caption);
    EXPECT_EQ(program.m_template.m_pOnlyDoc, program.Document());
}

TEST(DocView, ReopeningTheOnlyDocumentKeepsTheFrameAndFailingToOpenKeepsTheDocument)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    FrameworkScratchFolder other;
    g_docViewLog.Empty();
    EXPECT_EQ(program.Document(), program.m_template.OpenDocumentFile(other.Path()));
    // The same document opens again; the views start over.
    EXPECT_EQ(0, g_docViewLog.Find(L"open;")) << CStringA(g_docViewLog).GetString();
    EXPECT_NE(-1, g_docViewLog.Find(L"init scroll;"));
    EXPECT_EQ(-1, g_docViewLog.Find(L"frame"));
    EXPECT_EQ(frame, AfxGetMainWnd());
    // A path that does not exist is refused (the user is told); the document stays open.
    CString shown;
    CDocument* result = nullptr;
    {
        HelperThread helper([&] {
            HWND box = WaitForMessageBox(&shown);
            if (box)
                PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        result = program.m_template.OpenDocumentFile(other / L"無い");
    }
    EXPECT_EQ(nullptr, result);
    EXPECT_NE(-1, shown.Find(L"が見つかりません"));
    EXPECT_EQ(program.Document(), program.m_template.m_pOnlyDoc);
    EXPECT_TRUE(IsWindow(frame->m_hWnd));
}

TEST(DocView, BarsStackAndPanesFollowTheirRowAndColumnInfoAfterAResize)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    frame->MoveWindow(10, 10, 820, 600);
    CRect client;
    frame->GetClientRect(&client);
    CRect rebar = ChildRect(frame, &frame->m_wndReBar);
    CRect dialogBar = ChildRect(frame, &frame->m_wndDialogBar);
    CRect status = ChildRect(frame, &frame->m_wndStatusBar);
    CRect splitter = ChildRect(frame, &frame->m_wndOuter);
    // Top bars one under the other in creation order, the status bar at the bottom, the
    // splitter in what is left.
    EXPECT_EQ(CRect(0, 0, client.right, rebar.Height()), rebar);
    EXPECT_GT(rebar.Height(), 15);
    EXPECT_EQ(CRect(0, rebar.bottom, client.right, rebar.bottom + frame->m_wndDialogBar.m_sizeDefault.cy), dialogBar);
    EXPECT_EQ(client.bottom, status.bottom);
    EXPECT_EQ(CRect(0, dialogBar.bottom, client.right, status.top), splitter);
    // The tool bar sits in its band with the size it asked for.
    CRect tool = ChildRect(&frame->m_wndReBar, &frame->m_wndToolBar);
    EXPECT_EQ(frame->m_wndToolBar.CalcFixedLayout(FALSE, TRUE).cy, tool.Height());

    // Outer: the tree's column is its ideal width, the inner splitter takes the rest.
    int cur = 0, min = 0;
    frame->m_wndOuter.GetColumnInfo(0, cur, min);
    EXPECT_EQ(150, cur);
    CRect tree = ChildRect(&frame->m_wndOuter, frame->m_pTree);
    CRect inner = ChildRect(&frame->m_wndOuter, &frame->m_wndInner);
    EXPECT_EQ(CRect(2, 2, 152, splitter.Height() - 2), tree);
    int rest = 0;
    frame->m_wndOuter.GetColumnInfo(1, rest, min);
    EXPECT_EQ(CRect(159, 2, 159 + rest, splitter.Height() - 2), inner);
    EXPECT_EQ(splitter.Width() - 2 * 2 - 150 - 7, rest);
    // Inner: the list's row is its ideal height, the scroll view below the bar.
    CRect list = ChildRect(&frame->m_wndInner, frame->m_pList);
    CRect scroll = ChildRect(&frame->m_wndInner, frame->m_pScroll);
    EXPECT_EQ(CRect(2, 2, inner.Width() - 2, 122), list);
    EXPECT_EQ(CRect(2, 129, inner.Width() - 2, inner.Height() - 2), scroll);

    // A wider frame widens only the last column; a shorter one squeezes the scroll view.
    frame->MoveWindow(10, 10, 900, 500);
    EXPECT_EQ(150, ChildRect(&frame->m_wndOuter, frame->m_pTree).Width());
    EXPECT_EQ(120, ChildRect(&frame->m_wndInner, frame->m_pList).Height());
    frame->m_wndOuter.SetColumnInfo(0, 300, 10);
    frame->m_wndOuter.RecalcLayout();
    EXPECT_EQ(300, ChildRect(&frame->m_wndOuter, frame->m_pTree).Width());
    // Below its minimum a row is hidden and its space goes to the row above.
    frame->m_wndInner.SetRowInfo(0, 120, 10);
    frame->m_wndInner.SetRowInfo(1, 0, 5000);
    frame->m_wndInner.RecalcLayout();
    frame->m_wndInner.GetRowInfo(1, cur, min);
    EXPECT_EQ(0, cur);
    EXPECT_EQ(ChildRect(&frame->m_wndOuter, &frame->m_wndInner).Height() - 4,
              ChildRect(&frame->m_wndInner, frame->m_pList).Height());
}

TEST(DocView, DraggingASplitterBarResizesTheColumnWithinItsLimits)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    frame->MoveWindow(10, 10, 820, 600);
    CSplitterWnd& outer = frame->m_wndOuter;
    CRect client;
    outer.GetClientRect(&client);
    // The bar between the columns starts at 2 + 150.
    int y = client.Height() / 2;
    outer.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(155, y));
    EXPECT_EQ(outer.m_hWnd, GetCapture());
    outer.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(255, y));
    outer.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(255, y));
    EXPECT_EQ(nullptr, GetCapture());
    int cur = 0, min = 0;
    outer.GetColumnInfo(0, cur, min);
    EXPECT_EQ(250, cur);
    // Escape drops the drag; the column keeps its width.
    outer.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(255, y));
    outer.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, y));
    outer.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    outer.GetColumnInfo(0, cur, min);
    EXPECT_EQ(250, cur);
    // The drag cannot pass the next pane's far edge.
    outer.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(255, y));
    outer.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5000, y));
    outer.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5000, y));
    outer.GetColumnInfo(0, cur, min);
    EXPECT_LE(cur, client.Width());
}

TEST(DocView, IdleUpdatesReachToolBarDialogBarMenusAndTheSecondFrame)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    auto* second = new CTestPicFrame;
    ASSERT_TRUE(second->LoadFrame(IDR_FWTEST_PICFRAME, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    EXPECT_EQ(nullptr, GetParent(second->m_hWnd)); // not in the main window's tree
    AfxGetApp()->OnIdle(0);

    // Tool-bar buttons: a handler (in the active view's document, or the view) enables, none
    // disables, an update handler checks.
    CToolBarCtrl& tools = frame->m_wndToolBar.GetToolBarCtrl();
    EXPECT_TRUE(tools.IsButtonEnabled(ID_FWTEST_CMD_DOC));
    EXPECT_FALSE(tools.IsButtonEnabled(ID_FWTEST_CMD_NONE));
    EXPECT_TRUE(tools.IsButtonChecked(ID_FWTEST_CMD_CHECK));
    // ID_FWTEST_CMD_VIEW is handled by the list and scroll views, not by the active tree.
    EXPECT_FALSE(tools.IsButtonEnabled(ID_FWTEST_CMD_VIEW));
    frame->SetActiveView(frame->m_pList);
    AfxGetApp()->OnIdle(0);
    EXPECT_TRUE(tools.IsButtonEnabled(ID_FWTEST_CMD_VIEW));
    // The dialog bar's push buttons follow the same rule.
    EXPECT_TRUE(frame->m_wndDialogBar.GetDlgItem(ID_FWTEST_CMD_FRAME)->IsWindowEnabled());
    EXPECT_FALSE(frame->m_wndDialogBar.GetDlgItem(ID_FWTEST_CMD_NONE)->IsWindowEnabled());
    // The second frame's bar routes through that frame.
    CToolBarCtrl& secondTools = second->m_wndToolBar.GetToolBarCtrl();
    EXPECT_TRUE(secondTools.IsButtonEnabled(ID_FWTEST_CMD_PICTURE));
    EXPECT_FALSE(secondTools.IsButtonEnabled(ID_FWTEST_CMD_NONE));

    // Menus update when they open (auto-enable: no handler, disabled).
    CMenu* file = frame->GetMenu()->GetSubMenu(0);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->m_hMenu), 0);
    EXPECT_FALSE(file->GetMenuState(ID_FWTEST_CMD_DOC, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(file->GetMenuState(ID_FWTEST_CMD_NONE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(file->GetMenuState(ID_FWTEST_CMD_CHECK, MF_BYCOMMAND) & MF_CHECKED);
    // Without auto-enable an item nobody updates is left as it is.
    frame->m_bAutoMenuEnable = FALSE;
    file->EnableMenuItem(ID_FWTEST_CMD_NONE, MF_BYCOMMAND | MF_ENABLED);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->m_hMenu), 0);
    EXPECT_FALSE(file->GetMenuState(ID_FWTEST_CMD_NONE, MF_BYCOMMAND) & MF_GRAYED);
    second->DestroyWindow();
}

TEST(DocView, BarCommandsHideAndShowBarsAndTheLayoutFollows)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    frame->MoveWindow(10, 10, 820, 600);
    int splitterHeight = ChildRect(frame, &frame->m_wndOuter).Height();
    int statusHeight = ChildRect(frame, &frame->m_wndStatusBar).Height();
    frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(frame->m_wndStatusBar.IsWindowVisible());
    EXPECT_EQ(splitterHeight + statusHeight, ChildRect(frame, &frame->m_wndOuter).Height());
    CMenu* view = frame->GetMenu()->GetSubMenu(1);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view->m_hMenu), 1);
    EXPECT_FALSE(view->GetMenuState(ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(view->GetMenuState(ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);
    // The tool bar is found in its band (the frame knows every bar inside it).
    EXPECT_EQ(&frame->m_wndToolBar, frame->GetControlBar(AFX_IDW_TOOLBAR));
    frame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_FALSE(frame->m_wndToolBar.IsWindowVisible());
    // A delayed show happens at idle time.
    frame->ShowControlBar(&frame->m_wndStatusBar, TRUE, TRUE);
    EXPECT_TRUE(frame->m_wndStatusBar.IsVisible());
    EXPECT_FALSE(frame->m_wndStatusBar.IsWindowVisible());
    AfxGetApp()->OnIdle(0);
    EXPECT_TRUE(frame->m_wndStatusBar.IsWindowVisible());
    EXPECT_EQ(splitterHeight, ChildRect(frame, &frame->m_wndOuter).Height());
}

TEST(DocView, CommandsGoViewDocumentTemplateFrameThenApplication)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    g_docViewLog.Empty();
    frame->SendMessage(WM_COMMAND, ID_FWTEST_CMD_SHARED);
    EXPECT_EQ(L"tree cmd;doc cmd;template cmd;frame cmd;", g_docViewLog);
    // The active view decides which view hears it first.
    frame->SetActiveView(frame->m_pScroll);
    g_docViewLog.Empty();
    frame->SendMessage(WM_COMMAND, ID_FWTEST_CMD_SHARED);
    EXPECT_EQ(L"scroll cmd;doc cmd;template cmd;frame cmd;", g_docViewLog);
    // A command the view takes goes no further; a button of a bar reaches the frame too.
    g_docViewLog.Empty();
    frame->SendMessage(WM_COMMAND, ID_FWTEST_CMD_VIEW);
    frame->m_wndDialogBar.GetDlgItem(ID_FWTEST_CMD_FRAME)->SendMessage(BM_CLICK);
    EXPECT_EQ(L"scroll view cmd;frame only;", g_docViewLog);
    // The accelerator of the frame's resource runs the document's command.
    g_docViewLog.Empty();
    MSG key = {frame->m_pScroll->m_hWnd, WM_KEYDOWN, 'D', 0, 0, {0, 0}};
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE saved = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    BOOL translated = CWnd::WalkPreTranslateTree(frame->m_hWnd, &key);
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
    PumpPending();
    EXPECT_TRUE(translated);
    EXPECT_EQ(L"doc only;", g_docViewLog);
    // The application is last in line: its exit command is found through the frame.
    AFX_CMDHANDLERINFO info = {};
    EXPECT_TRUE(frame->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(static_cast<CCmdTarget*>(AfxGetApp()), info.pTarget);
}

TEST(DocView, MenuPromptsAndMessagesReachPaneZero)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    CStatusBar& status = frame->m_wndStatusBar;
    // The idle text once the frame runs.
    EXPECT_EQ(CString(L"レディ"), status.GetPaneText(0));
    HMENU file = GetSubMenu(GetMenu(frame->m_hWnd), 0);
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_FWTEST_CMD_DOC, MF_STRING), reinterpret_cast<LPARAM>(file));
    frame->SendMessage(WM_ENTERIDLE, MSGF_MENU, 0);
    EXPECT_EQ(CString(L"文書のコマンド"), status.GetPaneText(0));
    CString text;
    status.GetWindowText(text); // the bar's text is pane 0
    EXPECT_EQ(CString(L"文書のコマンド"), text);
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(CString(L"レディ"), status.GetPaneText(0));
    frame->SetMessageText(L"直接の文");
    EXPECT_EQ(CString(L"直接の文"), status.GetPaneText(0));
    // The indicator pane is as wide as its string and shows it.
    EXPECT_EQ(CString(L"0000 枚"), status.GetPaneText(1));
    UINT id = 0, style = 0;
    int width = 0;
    status.GetPaneInfo(1, id, style, width);
    EXPECT_EQ(static_cast<UINT>(ID_FWTEST_INDICATOR), id);
    EXPECT_GT(width, 20);
    status.SetPaneInfo(1, id, style, 200);
    CRect pane;
    status.GetItemRect(1, &pane);
    EXPECT_GE(pane.Width(), 200);
    // The stretching pane 0 takes what the others leave.
    CRect first;
    status.GetItemRect(0, &first);
    CRect client;
    status.GetClientRect(&client);
    EXPECT_GT(first.Width(), client.Width() / 3);
}

TEST(DocView, TheStatusBarShowsThePromptOfTheButtonUnderTheMouse)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    CToolBar& tools = frame->m_wndToolBar;
    auto moveTo = [&](CPoint client) {
        MSG msg = {tools.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y), GetTickCount(), client};
        tools.ClientToScreen(&msg.pt);
        CWnd::WalkPreTranslateTree(frame->m_hWnd, &msg);
    };
    CRect button;
    tools.GetItemRect(1, &button);
    moveTo(button.CenterPoint());
    EXPECT_EQ(CString(L"文書のコマンド"), frame->m_wndStatusBar.GetPaneText(0));
    // Off the buttons the prompt goes back to the idle text.
    CRect client;
    tools.GetClientRect(&client);
    moveTo(CPoint(client.right - 2, client.CenterPoint().y));
    EXPECT_EQ(CString(L"レディ"), frame->m_wndStatusBar.GetPaneText(0));
}

TEST(DocView, UpdateAllViewsReachesEveryViewButTheSender)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    CObArray data;
    int before = frame->m_pTree->m_update.count;
    program.Document()->UpdateAllViews(frame->m_pTree, 7, &data);
    EXPECT_EQ(before, frame->m_pTree->m_update.count);
    for (UpdateRecord* record : {&frame->m_pList->m_update, &frame->m_pScroll->m_update}) {
        EXPECT_EQ(frame->m_pTree, record->sender);
        EXPECT_EQ(7, record->hint);
        EXPECT_EQ(&data, record->object);
    }
    program.Document()->UpdateAllViews(nullptr, 9);
    EXPECT_EQ(9, frame->m_pTree->m_update.hint);
}

TEST(DocView, ScrollViewShiftsItsOriginByBarsKeysAndWheel)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    frame->MoveWindow(10, 10, 820, 600);
    CTestScrollView* view = frame->m_pScroll;
    CRect client;
    view->GetClientRect(&client);
    EXPECT_EQ(CSize(2000, 1500), view->GetTotalSize());
    EXPECT_TRUE(view->GetStyle() & WS_VSCROLL);
    EXPECT_TRUE(view->GetStyle() & WS_HSCROLL);
    view->ScrollToPosition(CPoint(300, 200));
    EXPECT_EQ(CPoint(300, 200), view->GetScrollPosition());
    // Drawing happens in document coordinates: the origin moves back by the position.
    view->Invalidate();
    view->UpdateWindow();
    EXPECT_EQ(CPoint(-300, -200), view->m_originAtDraw);
    // Bars: a line and a page down.
    view->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(215, view->GetScrollPosition().y);
    view->SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(515, view->GetScrollPosition().y);
    // Keys: Page Up, then End to the last position (the total less the window).
    view->SendMessage(WM_KEYDOWN, VK_PRIOR);
    EXPECT_EQ(215, view->GetScrollPosition().y);
    view->SendMessage(WM_KEYDOWN, VK_END);
    EXPECT_EQ(1500 - client.Height(), view->GetScrollPosition().y);
    view->SendMessage(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(CPoint(0, 0), view->GetScrollPosition());
    // The wheel: the user's lines per notch, at most a page.
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    int expected = lines == WHEEL_PAGESCROLL ? 300 : std::min(static_cast<int>(lines) * 15, 300);
    EXPECT_EQ(expected, view->GetScrollPosition().y);
    // Past the ends is clamped.
    view->ScrollToPosition(CPoint(-50, 99999));
    EXPECT_EQ(CPoint(0, 1500 - client.Height()), view->GetScrollPosition());
}

TEST(DocView, TreeAndListViewsHandleTheirControlsNotifications)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    CTreeCtrl& tree = frame->m_pTree->GetTreeCtrl();
    // The tree's notification goes to its parent, the splitter, which hands it back.
    tree.Expand(frame->m_pTree->m_hRoot, TVE_EXPAND);
    EXPECT_EQ(1, frame->m_pTree->m_expanded);
    CListCtrl& list = frame->m_pList->GetListCtrl();
    EXPECT_EQ(1, list.GetItemCount());
    EXPECT_EQ(CString(L"12 KB"), list.GetItemText(0, 1));
    EXPECT_EQ(&list, &frame->m_pList->GetListCtrl());
}

TEST(DocView, ClosingLeavesNoObjectHandleOrMapEntryBehind)
{
    AfxDeleteTempMaps();
    Held before = HeldNow();
    int objects = g_docViewObjects;
    HBITMAP toolImages = nullptr;
    HMENU menu = nullptr;
    {
        DocViewProgram program;
        ASSERT_NE(nullptr, program.Frame());
        toolImages = program.Frame()->m_hToolBitmap;
        menu = GetMenu(program.Frame()->m_hWnd);
        EXPECT_EQ(OBJ_BITMAP, GetObjectType(toolImages));
        EXPECT_GT(HeldNow().permanent, before.permanent);
        program.Close();
        EXPECT_TRUE(g_docViewLog.Find(L"doc gone;") >= 0);
        EXPECT_TRUE(g_docViewLog.Find(L"frame gone;") >= 0);
    }
    EXPECT_EQ(objects, g_docViewObjects);
    EXPECT_EQ(nullptr, AfxGetMainWnd());
    Held after = HeldNow();
    EXPECT_EQ(before.permanent, after.permanent);
    EXPECT_EQ(0u, after.temporary);
    // The handles the program had are freed.
    EXPECT_EQ(0u, static_cast<UINT>(GetObjectType(toolImages)));
    EXPECT_FALSE(IsMenu(menu));
}

} // namespace
