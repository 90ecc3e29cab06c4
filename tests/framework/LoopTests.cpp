// The message loops: CWinThread::Run with idle processing, the modal loop with WM_KICKIDLE, and a
// user-interface thread ending when its main window goes.
#include "common/WindowTestUtil.h"

#include <vector>

namespace {

LPCWSTR PlainClass()
{
    return AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW));
}

class CIdleCountingWnd : public CWnd
{
public:
    int m_idleUpdates = 0;
    int m_pings = 0;

protected:
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM)
    {
        ++m_idleUpdates;
        return 0;
    }
    afx_msg LRESULT OnPing(WPARAM, LPARAM)
    {
        ++m_pings;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CIdleCountingWnd, CWnd)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
ON_MESSAGE(WM_APP + 1, OnPing)
END_MESSAGE_MAP()

// A loop that records its idle calls and scripts the run: input arrives at the first idle
// rest, WM_QUIT at the second.
class CScriptedLoop : public CWinThread
{
public:
    std::vector<LONG> m_idleCounts;
    HWND m_target = nullptr;
    int m_rests = 0;

    BOOL OnIdle(LONG lCount) override
    {
        m_idleCounts.push_back(lCount);
        BOOL more = CWinThread::OnIdle(lCount);
        if (!more && ++m_rests == 1)
            ::PostMessageW(m_target, WM_APP + 1, 0, 0);
        else if (!more)
            ::PostQuitMessage(17);
        return more;
    }
};

TEST(Loop, RunIdlesUntilInputThenPumpsAndEndsOnQuit)
{
    PumpPending();
    CIdleCountingWnd main;
    ASSERT_TRUE(main.CreateEx(0, PlainClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr));
    CIdleCountingWnd child;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &main, 1));
    PumpPending();

    CScriptedLoop loop;
    loop.m_pMainWnd = &main;
    loop.m_target = main.m_hWnd;
    EXPECT_EQ(17, loop.Run());
    // Idle starts at 0, rests after the second pass; input starts it again from 0.
    EXPECT_EQ((std::vector<LONG>{0, 1, 0, 1}), loop.m_idleCounts);
    EXPECT_EQ(1, main.m_pings);
    // Each first idle pass asks the main window and its descendants to update their command UI.
    EXPECT_EQ(2, main.m_idleUpdates);
    EXPECT_EQ(2, child.m_idleUpdates);
    loop.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

TEST(Loop, RepeatedMouseMovesPaintsAndCaretBlinksAreNotInput)
{
    CWinThread loop;
    MSG move = {nullptr, WM_MOUSEMOVE, 0, 0, 0, {10, 10}};
    EXPECT_TRUE(loop.IsIdleMessage(&move));
    EXPECT_FALSE(loop.IsIdleMessage(&move));
    move.pt.x = 11;
    EXPECT_TRUE(loop.IsIdleMessage(&move));
    MSG paint = {nullptr, WM_PAINT, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(loop.IsIdleMessage(&paint));
    MSG blink = {nullptr, 0x0118, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(loop.IsIdleMessage(&blink));
    MSG key = {nullptr, WM_KEYDOWN, VK_SPACE, 0, 0, {0, 0}};
    EXPECT_TRUE(loop.IsIdleMessage(&key));
}

class CTranslatingMain : public CIdleCountingWnd
{
public:
    BOOL PreTranslateMessage(MSG* pMsg) override { return pMsg->message == WM_APP + 1 && pMsg->wParam == 1; }
};

TEST(Loop, PumpMessageOffersMessagesToPreTranslateBeforeDispatch)
{
    PumpPending();
    CTranslatingMain main;
    ASSERT_TRUE(main.CreateEx(0, PlainClass(), L"", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr));
    CWinThread loop;
    main.PostMessage(WM_APP + 1, 1); // taken by PreTranslateMessage
    main.PostMessage(WM_APP + 1, 2); // dispatched
    EXPECT_TRUE(loop.PumpMessage());
    EXPECT_TRUE(loop.PumpMessage());
    EXPECT_EQ(1, main.m_pings);
    main.DestroyWindow();
}

// A window whose modal loop ends on its third idle kick.
class CModalWnd : public CWnd
{
public:
    std::vector<LONG> m_kicks;

protected:
    afx_msg LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam)
    {
        EXPECT_EQ(static_cast<WPARAM>(MSGF_DIALOGBOX), wParam);
        m_kicks.push_back(static_cast<LONG>(lParam));
        if (m_kicks.size() == 3)
            EndModalLoop(42);
        return TRUE; // more idle kicks wanted
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CModalWnd, CWnd)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

class CIdleParent : public CTestHostWnd
{
public:
    int m_enterIdle = 0;

protected:
    afx_msg void OnEnterIdle(UINT nWhy, CWnd*)
    {
        if (nWhy == MSGF_DIALOGBOX)
            ++m_enterIdle;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CIdleParent, CTestHostWnd)
ON_WM_ENTERIDLE()
END_MESSAGE_MAP()

TEST(Loop, ModalLoopKicksIdleAndShowsTheWindowUntilEndModalLoop)
{
    PumpPending();
    CIdleParent parent;
    CModalWnd modal;
    ASSERT_TRUE(modal.CreateEx(0, PlainClass(), L"", WS_POPUP, 0, 0, 40, 40, parent.m_hWnd, nullptr));
    EXPECT_FALSE(modal.IsWindowVisible());
    EXPECT_EQ(42, modal.RunModalLoop(MLF_SHOWONIDLE));
    EXPECT_EQ((std::vector<LONG>{0, 1, 2}), modal.m_kicks);
    EXPECT_TRUE(modal.IsWindowVisible());
    EXPECT_EQ(1, parent.m_enterIdle);
    EXPECT_FALSE(modal.ContinueModal());
    EXPECT_FALSE(modal.m_nFlags & WF_MODALLOOP);
    modal.DestroyWindow();
}

TEST(Loop, QuitDuringTheModalLoopEndsItAndReachesTheOuterLoop)
{
    PumpPending();
    CWnd modal;
    ASSERT_TRUE(modal.CreateEx(0, PlainClass(), L"", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr));
    PostQuitMessage(3);
    EXPECT_EQ(-1, modal.RunModalLoop(MLF_NOKICKIDLE));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)); // reposted
    modal.DestroyWindow();
}

// A user-interface thread: InitInstance makes the main window, whose closing ends Run.
class CTestUIThread : public CWinThread
{
    DECLARE_DYNCREATE(CTestUIThread)
public:
    static LONG s_exitInstanceCalls;
    static LONG s_mainWindowDeleted;

    class CMainWnd : public CWnd
    {
    protected:
        void PostNcDestroy() override
        {
            InterlockedIncrement(&s_mainWindowDeleted);
            delete this;
        }
    };

    BOOL InitInstance() override
    {
        auto* main = new CMainWnd;
        if (!main->CreateEx(0, PlainClass(), L"UI thread", WS_OVERLAPPEDWINDOW, 0, 0, 60, 60, nullptr, nullptr))
            return FALSE;
        m_pMainWnd = main;
        main->PostMessage(WM_CLOSE); // the user closes it
        return TRUE;
    }
    int ExitInstance() override
    {
        InterlockedIncrement(&s_exitInstanceCalls);
        return CWinThread::ExitInstance();
    }
};
IMPLEMENT_DYNCREATE(CTestUIThread, CWinThread)
LONG CTestUIThread::s_exitInstanceCalls = 0;
LONG CTestUIThread::s_mainWindowDeleted = 0;

TEST(Loop, UserInterfaceThreadEndsWhenItsMainWindowIsDestroyed)
{
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CTestUIThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, 10000));
    DWORD exitCode = 99;
    GetExitCodeThread(thread->m_hThread, &exitCode);
    EXPECT_EQ(0u, exitCode); // the code WM_QUIT carried
    EXPECT_EQ(1, CTestUIThread::s_exitInstanceCalls);
    EXPECT_EQ(1, CTestUIThread::s_mainWindowDeleted);
    EXPECT_EQ(nullptr, thread->m_pMainWnd);
    delete thread;
}

} // namespace
