// Around the frames: MDI frames and children, print preview, tool tips of child windows,
// activation of a frame's tool windows, modal state, the recent-file list, the document manager,
// dialog-init resources and the views' drop virtuals.
#include "DocViewTestApp.h"

#include <vector>

namespace {

// ---------------------------------------------------------------- MDI

class CTestMDIFrame : public CMDIFrameWnd
{
protected:
    afx_msg void OnFrameCommand() { g_docViewLog += L"mdi frame;"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestMDIFrame, CMDIFrameWnd)
ON_COMMAND(ID_FWTEST_CMD_FRAME, OnFrameCommand)
ON_COMMAND(ID_FWTEST_CMD_VIEW, OnFrameCommand)
END_MESSAGE_MAP()

CMDIChildWnd* NewChild(CMDIFrameWnd* frame, LPCWSTR title)
{
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CTestListView);
    auto* child = new CMDIChildWnd;
    if (!child->LoadFrame(IDR_FWTEST_MDICHILD, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, frame, &context))
        return nullptr;
    child->SetTitle(title);
    child->InitialUpdateFrame(nullptr, TRUE);
    return child;
}

TEST(MDI, ChildrenLiveInTheClientAndTheActiveOneIsFirstInLine)
{
    auto* frame = new CTestMDIFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_FWTEST_MDIFRAME, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    frame->MoveWindow(20, 20, 600, 400);
    ASSERT_NE(nullptr, frame->m_hWndMDIClient);
    EXPECT_EQ(AFX_IDW_PANE_FIRST, GetDlgCtrlID(frame->m_hWndMDIClient));
    EXPECT_EQ(nullptr, frame->MDIGetActive());
    // Without a child nothing handles the view command but the frame.
    g_docViewLog.Empty();
    frame->SendMessage(WM_COMMAND, ID_FWTEST_CMD_VIEW);
    EXPECT_EQ(L"mdi frame;", g_docViewLog);

    CMDIChildWnd* first = NewChild(frame, L"一");
    CMDIChildWnd* second = NewChild(frame, L"二");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(frame->m_hWndMDIClient, GetParent(second->m_hWnd));
    EXPECT_EQ(second, frame->MDIGetActive());
    EXPECT_EQ(frame, second->GetMDIFrame());
    EXPECT_EQ(second, frame->GetActiveFrame());
    // The active child's view takes the command before the frame.
    g_docViewLog.Empty();
    frame->SendMessage(WM_COMMAND, ID_FWTEST_CMD_VIEW);
    EXPECT_EQ(L"list view cmd;", g_docViewLog);
    // The active child's menu is the frame's.
    EXPECT_EQ(second->m_hMenuShared, GetMenu(frame->m_hWnd));
    second->MDIMaximize();
    BOOL maximized = FALSE;
    EXPECT_EQ(second, frame->MDIGetActive(&maximized));
    EXPECT_TRUE(maximized);
    frame->MDIActivate(first);
    EXPECT_EQ(first, frame->MDIGetActive());
    // Closing a child activates the other; the last one gives the frame its own menu back.
    first->DestroyWindow();
    EXPECT_EQ(second, frame->MDIGetActive());
    second->DestroyWindow();
    EXPECT_EQ(nullptr, frame->MDIGetActive());
    EXPECT_EQ(frame->m_hMenuDefault, GetMenu(frame->m_hWnd));
    frame->DestroyWindow();
}

// ---------------------------------------------------------------- print preview

CPreviewView* StartPreview(CTestMainFrame* frame)
{
    auto* state = new CPrintPreviewState;
    if (!frame->m_pScroll->DoPrintPreview(0, frame->m_pScroll, RUNTIME_CLASS(CPreviewView), state)) {
        delete state;
        return nullptr;
    }
    return DYNAMIC_DOWNCAST(CPreviewView, frame->GetActiveView());
}

TEST(PrintPreview, TakesTheMainPaneShowsPagesAndGivesThePaneBack)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    frame->MoveWindow(10, 10, 800, 600);
    CPreviewView* preview = StartPreview(frame);
    ASSERT_NE(nullptr, preview);
    EXPECT_EQ(preview, frame->GetDescendantWindow(AFX_IDW_PANE_FIRST));
    EXPECT_EQ(AFX_IDW_PANE_SAVE, frame->m_wndOuter.GetDlgCtrlID());
    EXPECT_FALSE(frame->m_wndOuter.IsWindowVisible());
    EXPECT_FALSE(frame->m_wndDialogBar.IsWindowVisible()); // the bars step aside
    EXPECT_EQ(CString(L"1 ページ"), frame->m_wndStatusBar.GetPaneText(0));

    // Paging within the view's three pages, with the buttons' states following.
    frame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_NEXT);
    frame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_NEXT);
    EXPECT_EQ(3u, preview->m_nCurrentPage);
    CTestCmdUI next;
    next.m_nID = AFX_ID_PREVIEW_NEXT;
    frame->OnCmdMsg(AFX_ID_PREVIEW_NEXT, static_cast<int>(CN_UPDATE_COMMAND_UI), &next, nullptr);
    EXPECT_FALSE(next.m_bEnabled);
    frame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_NEXT); // disabled: nothing moves
    EXPECT_EQ(3u, preview->m_nCurrentPage);
    // Two pages side by side end at the last page.
    frame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_NUMPAGE);
    EXPECT_EQ(2u, preview->m_nPages);
    EXPECT_EQ(2u, preview->m_nCurrentPage);
    EXPECT_EQ(CString(L"2 - 3 ページ"), frame->m_wndStatusBar.GetPaneText(0));
    // The pages are the print view's drawing: its black band at the top of each.
    preview->Invalidate();
    preview->UpdateWindow();
    EXPECT_EQ(3u, frame->m_pScroll->m_lastPagePrinted);
    CRect page = preview->GetPageRect(1);
    CClientDC dc(preview);
    EXPECT_EQ(RGB(0, 0, 0), dc.GetPixel(page.CenterPoint().x, page.top + page.Height() / 8));
    EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(page.CenterPoint().x, page.bottom - page.Height() / 8));

    frame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_ZOOMIN);
    EXPECT_EQ(static_cast<UINT>(CPreviewView::ZOOM_MIDDLE), preview->m_nZoomState);
    EXPECT_EQ(1u, preview->m_nPages);
    frame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_ZOOMOUT);
    EXPECT_EQ(static_cast<UINT>(CPreviewView::ZOOM_OUT), preview->m_nZoomState);

    // Closing the frame during the preview closes only the preview.
    frame->SendMessage(WM_CLOSE);
    ASSERT_TRUE(IsWindow(frame->m_hWnd));
    EXPECT_EQ(AFX_IDW_PANE_FIRST, frame->m_wndOuter.GetDlgCtrlID());
    EXPECT_TRUE(frame->m_wndOuter.IsWindowVisible());
    EXPECT_EQ(frame->m_pTree, frame->GetActiveView());
    EXPECT_EQ(nullptr, frame->m_lpfnCloseProc);
    AfxGetApp()->OnIdle(0);
    EXPECT_TRUE(frame->m_wndDialogBar.IsWindowVisible());
    // Once more, closed by its command.
    preview = StartPreview(frame);
    ASSERT_NE(nullptr, preview);
    frame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE);
    EXPECT_EQ(AFX_IDW_PANE_FIRST, frame->m_wndOuter.GetDlgCtrlID());
}

// ---------------------------------------------------------------- tool tips

class CTipHost : public CTestHostWnd
{
public:
    UINT m_askedId = 0;

protected:
    afx_msg BOOL OnTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult)
    {
        auto* tip = reinterpret_cast<TOOLTIPTEXTW*>(pNMHDR);
        UINT_PTR tool = pNMHDR->idFrom;
        if (tip->uFlags & TTF_IDISHWND)
            tool = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(tool)));
        m_askedId = nID;
        wsprintfW(tip->szText, L"ボタン %u", static_cast<UINT>(tool));
        *pResult = 0;
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTipHost, CTestHostWnd)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnTipText)
END_MESSAGE_MAP()

TEST(ToolTips, AWindowWithTipsShowsOneForTheChildUnderTheMouse)
{
    CTipHost host;
    host.MoveWindow(100, 100, 300, 200);
    CButton button;
    ASSERT_TRUE(button.Create(L"押す", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 110, 40), &host, 301));
    host.EnableToolTips(TRUE);
    auto moveTo = [&](CWnd& target, CPoint client) {
        MSG msg = {target.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y), GetTickCount(), client};
        target.ClientToScreen(&msg.pt);
        CWnd::WalkPreTranslateTree(host.m_hWnd, &msg);
    };
    moveTo(button, CPoint(20, 10));
    HWND tip = AfxGetThreadState()->m_hWndToolTip;
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(1, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    // The text comes from the host, asked with id 0 (the tip itself has no id).
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(button.m_hWnd), info.uId);
    wchar_t text[80] = {};
    info.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(L"ボタン 301", text);
    EXPECT_EQ(0u, host.m_askedId);
    // Away from the button the tool goes; without tips nothing is added.
    moveTo(host, CPoint(250, 150));
    EXPECT_EQ(0, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    host.EnableToolTips(FALSE);
    moveTo(button, CPoint(20, 10));
    EXPECT_EQ(0, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
}

// A tip shows a file name as it is: its "&" is a character of the tip, not a mnemonic mark.
TEST(ToolTips, ATipShowsTheAmpersandOfANameAsItself)
{
    CTipHost host;
    host.MoveWindow(100, 100, 300, 200);
    host.EnableToolTips(TRUE);
    MSG msg = {host.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20), GetTickCount(), {120, 120}};
    CWnd::WalkPreTranslateTree(host.m_hWnd, &msg);
    HWND tip = AfxGetThreadState()->m_hWndToolTip;
    ASSERT_NE(nullptr, tip);
    // Each text shown as a tracking tip: the width the tip takes on screen.
    auto widthOf = [&](const wchar_t* text, UINT id) {
        TOOLINFOW info = {};
        info.cbSize = sizeof(info);
        info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        info.hwnd = host.m_hWnd;
        info.uId = id;
        info.lpszText = const_cast<wchar_t*>(text);
        EXPECT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
        SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(150, 150));
        SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
        CRect shown;
        ::GetWindowRect(tip, &shown);
        SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
        SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        return shown.Width();
    };
    EXPECT_GT(widthOf(L"amp&and.jpg", 901), widthOf(L"ampand.jpg", 902));
    host.EnableToolTips(FALSE);
}

TEST(ToolTips, FrameGivesBarButtonsTheSecondPartOfTheirCommandString)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    struct Case
    {
        UINT_PTR idFrom;
        UINT flags;
        const wchar_t* tip;
    } cases[] = {
        {ID_FWTEST_CMD_DOC, 0, L"文書"},
        {reinterpret_cast<UINT_PTR>(frame->m_wndDialogBar.GetDlgItem(ID_FWTEST_CMD_FRAME)->m_hWnd), TTF_IDISHWND,
         L"フレーム"},
        {0, 0, L""}, // a separator
    };
    // The notification comes from a tip window, which has no id of its own.
    HWND tipWindow =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, frame->m_hWnd, nullptr, nullptr, nullptr);
    for (const Case& c : cases) {
        TOOLTIPTEXTW tip = {};
        tip.hdr.hwndFrom = tipWindow;
        tip.hdr.idFrom = c.idFrom;
        tip.hdr.code = TTN_NEEDTEXTW;
        tip.uFlags = c.flags;
        frame->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
        EXPECT_STREQ(c.tip, tip.szText);
    }
    DestroyWindow(tipWindow);
}

// ---------------------------------------------------------------- activation and modal state

class CToolWindow : public CWnd
{
};

TEST(FrameActivation, AToolWindowOfTheFrameKeepsItActiveUntilActivationLeavesTheTree)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    frame->SetActiveWindow();
    CToolWindow tool;
    ASSERT_TRUE(tool.CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), L"道具", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                              CRect(50, 50, 200, 150), frame, 0));
    tool.SetActiveWindow();
    EXPECT_EQ(tool.m_hWnd, GetActiveWindow());
    EXPECT_TRUE(frame->m_nFlags & WF_STAYACTIVE);
    // Another top-level window of the program takes the activation: the frame lets go.
    CTestHostWnd other;
    other.SetActiveWindow();
    EXPECT_EQ(other.m_hWnd, GetActiveWindow());
    EXPECT_FALSE(frame->m_nFlags & WF_STAYACTIVE);
    tool.DestroyWindow();
}

TEST(FrameModalState, DisablesTheFrameAndItsPopupsAndRestoresOnlyThose)
{
    DocViewProgram program;
    CTestMainFrame* frame = program.Frame();
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP | WS_VISIBLE, CRect(0, 0, 50, 50), frame, 0));
    CWnd disabledPopup;
    ASSERT_TRUE(disabledPopup.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP | WS_VISIBLE | WS_DISABLED,
                                       CRect(0, 0, 50, 50), frame, 0));
    frame->BeginModalState();
    frame->BeginModalState(); // nested: counted
    EXPECT_TRUE(frame->InModalState());
    EXPECT_FALSE(frame->IsWindowEnabled());
    EXPECT_FALSE(popup.IsWindowEnabled());
    frame->EndModalState();
    EXPECT_FALSE(frame->IsWindowEnabled());
    frame->EndModalState();
    EXPECT_FALSE(frame->InModalState());
    EXPECT_TRUE(frame->IsWindowEnabled());
    EXPECT_TRUE(popup.IsWindowEnabled());
    EXPECT_FALSE(disabledPopup.IsWindowEnabled()); // it was disabled before
    popup.DestroyWindow();
    disabledPopup.DestroyWindow();
}

// ---------------------------------------------------------------- recent files and documents

TEST(RecentFileList, NewestFirstWithoutDuplicatesThroughTheProfileAndTheMenu)
{
    const wchar_t section[] = L"最近のファイルの確認";
    CRecentFileList list(0, section, L"File%d", 3, 30);
    for (LPCWSTR path : {L"C:\\a\\one.txt", L"C:\\b\\two.txt", L"c:\\A\\ONE.TXT", L"C:\\c\\three.txt",
                         L"C:\\very long folder name\\deeper still\\four.txt"})
        list.Add(path);
    EXPECT_EQ(CString(L"C:\\very long folder name\\deeper still\\four.txt"), list[0]);
    EXPECT_EQ(CString(L"C:\\c\\three.txt"), list[1]);
    EXPECT_EQ(CString(L"c:\\A\\ONE.TXT"), list[2]); // the newest spelling, once
    list.WriteList();
    CRecentFileList read(0, section, L"File%d", 4, 30);
    read.ReadList();
    EXPECT_EQ(list[1], read[1]);
    EXPECT_TRUE(read[3].IsEmpty());

    // The menu: numbered items replace the placeholder; long paths are shortened.
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_FILE_MRU_FILE1, L"最近使ったファイル");
    menu.AppendMenu(MF_STRING, ID_APP_EXIT, L"終了");
    CCmdUI state;
    state.m_pMenu = &menu;
    state.m_nID = ID_FILE_MRU_FILE1;
    state.m_nIndexMax = menu.GetMenuItemCount();
    list.UpdateMenu(&state);
    EXPECT_EQ(4u, menu.GetMenuItemCount());
    CString first;
    menu.GetMenuString(0, first, MF_BYPOSITION);
    EXPECT_EQ(0, first.Find(L"&1 "));
    EXPECT_LE(first.GetLength(), 3 + 30);
    EXPECT_NE(-1, first.Find(L"four.txt"));
    EXPECT_EQ(static_cast<UINT>(ID_FILE_MRU_FILE1 + 2), menu.GetMenuItemID(2));
    // Empty: the placeholder, disabled.
    CRecentFileList empty(0, section, L"None%d", 2);
    CMenu menu2;
    ASSERT_TRUE(menu2.CreatePopupMenu());
    menu2.AppendMenu(MF_STRING, ID_FILE_MRU_FILE1, L"最近使ったファイル");
    CCmdUI state2;
    state2.m_pMenu = &menu2;
    state2.m_nID = ID_FILE_MRU_FILE1;
    empty.UpdateMenu(&state2);
    EXPECT_TRUE(menu2.GetMenuState(ID_FILE_MRU_FILE1, MF_BYCOMMAND) & MF_GRAYED);

    // The application's list comes from the profile's standard section.
    CWinApp* app = AfxGetApp();
    app->WriteProfileString(L"Recent File List", L"File1", L"C:\\x\\y.txt");
    app->LoadStdProfileSettings(4);
    ASSERT_NE(nullptr, app->m_pRecentFileList);
    EXPECT_EQ(CString(L"C:\\x\\y.txt"), (*app->m_pRecentFileList)[0]);
    delete app->m_pRecentFileList;
    app->m_pRecentFileList = nullptr;
    app->WriteProfileString(L"Recent File List", nullptr, nullptr);
    app->WriteProfileString(section, nullptr, nullptr);
}

TEST(DocManager, OpensThroughTheBestTemplateAndFindsTheOpenDocumentAgain)
{
    CDocManager manager;
    manager.AddDocTemplate(new CTestTemplate); // the manager deletes it
    FrameworkScratchFolder folder;
    g_docViewLog.Empty();
    CDocument* document = manager.OpenDocumentFile(folder.Path());
    ASSERT_NE(nullptr, document);
    EXPECT_EQ(1, manager.GetDocumentCount());
    g_docViewLog.Empty();
    EXPECT_EQ(document, manager.OpenDocumentFile(folder.Path() + L"\\"));
    EXPECT_EQ(-1, g_docViewLog.Find(L"open")); // found, not opened again
    manager.CloseAllDocuments(FALSE);
    PumpPending();
    EXPECT_EQ(0, manager.GetDocumentCount());
    EXPECT_EQ(nullptr, AfxGetMainWnd());
}

// ---------------------------------------------------------------- dialog-init data and drops

TEST(DialogInit, ListsAndCombosAreFilledFromTheTemplatesInitialData)
{
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FWTEST_DLGINIT));
    CComboBox* combo = static_cast<CComboBox*>(dialog.GetDlgItem(IDC_FWTEST_INIT_COMBO));
    ASSERT_EQ(2, combo->GetCount());
    CString text;
    combo->GetLBText(1, text);
    EXPECT_EQ(CString(L"PNG"), text);
    CListBox* list = static_cast<CListBox*>(dialog.GetDlgItem(IDC_FWTEST_INIT_LIST));
    ASSERT_EQ(1, list->GetCount());
    list->GetText(0, text);
    EXPECT_EQ(CString(L"写真"), text); // code page 932 in the resource
    dialog.DestroyWindow();
}

// Run by the test "framework_other_code_page" in a process of another system code page: the
// templates' initial texts are code page 932 whatever the system's code page.
TEST(DialogInit, DISABLED_TheTemplatesTextsReadAlikeUnderAnotherSystemCodePage)
{
    ASSERT_NE(932u, GetACP());
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FWTEST_DLGINIT));
    CString text;
    static_cast<CListBox*>(dialog.GetDlgItem(IDC_FWTEST_INIT_LIST))->GetText(0, text);
    EXPECT_EQ(CString(L"写真"), text);
    static_cast<CComboBox*>(dialog.GetDlgItem(IDC_FWTEST_INIT_COMBO))->GetLBText(1, text);
    EXPECT_EQ(CString(L"PNG"), text);
    dialog.DestroyWindow();
}

class CDropView : public CView
{
public:
    CString m_log;
    void OnDraw(CDC*) override {}
    DROPEFFECT OnDragEnter(COleDataObject*, DWORD, CPoint point) override
    {
        m_log.AppendFormat(L"enter %d,%d;", point.x, point.y);
        return DROPEFFECT_COPY;
    }
    BOOL OnDrop(COleDataObject*, DROPEFFECT effect, CPoint) override
    {
        m_log.AppendFormat(L"drop %u;", static_cast<UINT>(effect));
        return TRUE;
    }
};

TEST(DropTarget, TheDefaultsHandEachStepToAView)
{
    CDropView view;
    COleDropTarget target;
    COleDataObject data;
    CWnd plain;
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), target.OnDragEnter(&view, &data, 0, CPoint(3, 4)));
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), target.OnDragOver(&view, &data, 0, CPoint(3, 4)));
    // OnDropEx declines by default, so the drop goes on to OnDrop.
    EXPECT_EQ(static_cast<DROPEFFECT>(-1), target.OnDropEx(&view, &data, DROPEFFECT_COPY, DROPEFFECT_COPY, CPoint()));
    EXPECT_TRUE(target.OnDrop(&view, &data, DROPEFFECT_COPY, CPoint()));
    EXPECT_EQ(CString(L"enter 3,4;drop 1;"), view.m_log);
    // A window that is not a view refuses.
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), target.OnDragEnter(&plain, &data, 0, CPoint()));
}

} // namespace
