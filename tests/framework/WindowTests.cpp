// CWnd: creation through the hook, destruction and self-deleting windows, subclassing, handle
// maps, the current message and Default, exceptions in handlers, centring, descendants.
#include "common/WindowTestUtil.h"

#include <stdexcept>

namespace {

LPCWSTR PlainClass()
{
    return AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

// Records its life: which virtuals and handlers ran, in order.
class CLifecycleWnd : public CWnd
{
public:
    CString m_log;
    BOOL m_refusePreCreate = FALSE;
    BOOL m_failCreate = FALSE;
    HWND m_handleAtPreSubclass = nullptr;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        m_log += L"precreate;";
        cs.style |= WS_CLIPCHILDREN;
        return !m_refusePreCreate && CWnd::PreCreateWindow(cs);
    }
    void PreSubclassWindow() override
    {
        m_handleAtPreSubclass = m_hWnd;
        m_log += L"presubclass;";
    }

protected:
    afx_msg BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct)
    {
        m_log += L"nccreate;";
        return CWnd::OnNcCreate(lpCreateStruct);
    }
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        m_log += L"create;";
        return m_failCreate ? -1 : CWnd::OnCreate(lpCreateStruct);
    }
    afx_msg void OnDestroy()
    {
        m_log += L"destroy;";
        CWnd::OnDestroy();
    }
    afx_msg void OnNcDestroy()
    {
        m_log += L"ncdestroy;";
        CWnd::OnNcDestroy();
    }
    void PostNcDestroy() override { m_log += L"postncdestroy;"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLifecycleWnd, CWnd)
ON_WM_NCCREATE()
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_NCDESTROY()
END_MESSAGE_MAP()

TEST(Window, CreationHookDeliversNcCreateAndCreateToTheObject)
{
    CLifecycleWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), L"life", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    EXPECT_EQ(CString(L"precreate;presubclass;nccreate;create;"), wnd.m_log);
    EXPECT_EQ(wnd.m_hWnd, wnd.m_handleAtPreSubclass);
    EXPECT_TRUE(wnd.GetStyle() & WS_CLIPCHILDREN);
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc()), GetWindowLongPtrW(wnd.m_hWnd, GWLP_WNDPROC));

    HWND hWnd = wnd.m_hWnd;
    wnd.m_log.Empty();
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(CString(L"destroy;ncdestroy;postncdestroy;"), wnd.m_log);
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST(Window, CreateMakesAChildOfTheDefaultClass)
{
    CTestHostWnd host;
    CLifecycleWnd child;
    ASSERT_TRUE(child.Create(nullptr, L"child", WS_VISIBLE, CRect(5, 5, 60, 40), &host, 1234));
    EXPECT_TRUE(child.GetStyle() & WS_CHILD);
    EXPECT_EQ(1234, child.GetDlgCtrlID());
    EXPECT_EQ(&host, child.GetParent());
    EXPECT_EQ(&child, host.GetDlgItem(1234));
    CRect rect;
    child.GetClientRect(&rect);
    EXPECT_EQ(CRect(0, 0, 55, 35), rect);
}

TEST(Window, FailedCreationStillEndsInPostNcDestroy)
{
    CLifecycleWnd refusing;
    refusing.m_refusePreCreate = TRUE;
    EXPECT_FALSE(refusing.CreateEx(0, PlainClass(), L"no", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(CString(L"precreate;postncdestroy;"), refusing.m_log);
    EXPECT_EQ(nullptr, refusing.m_hWnd);

    CLifecycleWnd failing;
    failing.m_failCreate = TRUE;
    EXPECT_FALSE(failing.CreateEx(0, PlainClass(), L"no", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(0, failing.m_log.Find(L"precreate;presubclass;nccreate;create;"));
    EXPECT_EQ(CString(L"ncdestroy;postncdestroy;"), failing.m_log.Right(24));
    EXPECT_EQ(nullptr, failing.m_hWnd);

    CLifecycleWnd unknownClass;
    EXPECT_FALSE(
        unknownClass.CreateEx(0, L"NoSuchClass.FrameworkTests", L"no", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(CString(L"precreate;postncdestroy;"), unknownClass.m_log);
}

class CSelfDeletingWnd : public CWnd
{
public:
    explicit CSelfDeletingWnd(int* deleted) : m_deleted(deleted) {}
    ~CSelfDeletingWnd() override { ++*m_deleted; }

protected:
    void PostNcDestroy() override { delete this; }

private:
    int* m_deleted;
};

TEST(Window, SelfDeletingWindowsGoAwayWithTheirHandle)
{
    int deleted = 0;
    auto* first = new CSelfDeletingWnd(&deleted);
    ASSERT_TRUE(first->CreateEx(0, PlainClass(), L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    first->DestroyWindow();
    EXPECT_EQ(1, deleted);

    // Closed by the user: WM_CLOSE goes to DefWindowProc, which destroys the window.
    auto* second = new CSelfDeletingWnd(&deleted);
    ASSERT_TRUE(second->CreateEx(0, PlainClass(), L"gone", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr));
    HWND hWnd = second->m_hWnd;
    PostMessageW(hWnd, WM_CLOSE, 0, 0);
    PumpPending();
    EXPECT_EQ(2, deleted);
    EXPECT_FALSE(IsWindow(hWnd));

    // A self-deleting child goes with its parent.
    {
        CTestHostWnd host;
        auto* child = new CSelfDeletingWnd(&deleted);
        ASSERT_TRUE(child->Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 5, 5), &host, 1));
    }
    EXPECT_EQ(3, deleted);
}

// A window procedure of our own, to subclass from outside the framework.
LRESULT CALLBACK ForeignProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP + 9)
        return 900; // the foreign window's own answer
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

HWND CreateForeignWindow()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &ForeignProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FrameworkTests.Foreign";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"foreign", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, wc.hInstance,
                           nullptr);
}

class CSubclassingWnd : public CWnd
{
public:
    int m_preSubclassCalls = 0;
    void PreSubclassWindow() override { ++m_preSubclassCalls; }

protected:
    afx_msg LRESULT OnAsk(WPARAM, LPARAM)
    {
        // The foreign procedure's answer, plus ours.
        return Default() + 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSubclassingWnd, CWnd)
ON_MESSAGE(WM_APP + 9, OnAsk)
END_MESSAGE_MAP()

TEST(Window, SubclassingRoutesMessagesThroughTheObjectAndUnsubclassingGivesThemBack)
{
    HWND hWnd = CreateForeignWindow();
    ASSERT_NE(nullptr, hWnd);
    EXPECT_EQ(900, SendMessageW(hWnd, WM_APP + 9, 0, 0));

    CSubclassingWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hWnd));
    EXPECT_EQ(1, wnd.m_preSubclassCalls);
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ(901, SendMessageW(hWnd, WM_APP + 9, 0, 0));
    // The same handle cannot belong to two objects.
    CSubclassingWnd second;
    EXPECT_FALSE(second.SubclassWindow(hWnd));

    EXPECT_EQ(hWnd, wnd.UnsubclassWindow());
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&ForeignProc), GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    EXPECT_EQ(900, SendMessageW(hWnd, WM_APP + 9, 0, 0));

    // Subclassed again and destroyed from outside: the object lets go of the handle.
    ASSERT_TRUE(wnd.SubclassWindow(hWnd));
    DestroyWindow(hWnd);
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST(Window, TemporaryWrappersStandInForForeignHandlesWithoutOwningThem)
{
    HWND hWnd = CreateForeignWindow();
    CWnd* temporary = CWnd::FromHandle(hWnd);
    ASSERT_NE(nullptr, temporary);
    EXPECT_EQ(hWnd, temporary->m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ(temporary, CWnd::FromHandle(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    CWnd* none = CWnd::FromHandlePermanent(nullptr);
    EXPECT_EQ(nullptr, none->GetSafeHwnd()); // null-safe, as callers expect

    // Idle-time cleanup deletes the wrapper and leaves the window alone.
    AfxDeleteTempMaps();
    EXPECT_TRUE(IsWindow(hWnd));

    // Once an object owns the handle, it is the one FromHandle gives.
    CSubclassingWnd owner;
    CWnd::FromHandle(hWnd);
    ASSERT_TRUE(owner.SubclassWindow(hWnd));
    EXPECT_EQ(&owner, CWnd::FromHandle(hWnd));
    owner.DestroyWindow();
    AfxDeleteTempMaps();
}

// Default() must pass on the message being handled even after a nested message was handled.
class CNestingWnd : public CWnd
{
public:
    UINT m_messageSeenInside = 0;

protected:
    afx_msg LRESULT OnSetText(WPARAM, LPARAM)
    {
        SendMessage(WM_APP + 20); // nested dispatch
        m_messageSeenInside = GetCurrentMessage()->message;
        return Default();
    }
    afx_msg LRESULT OnNested(WPARAM, LPARAM) { return Default(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNestingWnd, CWnd)
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_MESSAGE(WM_APP + 20, OnNested)
END_MESSAGE_MAP()

TEST(Window, DefaultPassesOnTheCurrentMessageAfterNestedDispatch)
{
    CNestingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    wnd.SetWindowText(L"入れ子");
    EXPECT_EQ(static_cast<UINT>(WM_SETTEXT), wnd.m_messageSeenInside);
    CString text;
    wnd.GetWindowText(text);
    EXPECT_EQ(CString(L"入れ子"), text);
    wnd.DestroyWindow();
}

// Handlers that throw: nothing may cross into Windows.
class CThrowingWnd : public CWnd
{
public:
    BOOL m_throwInCreate = FALSE;
    int m_paints = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (m_throwInCreate)
            throw std::runtime_error("create");
        return CWnd::OnCreate(lpCreateStruct);
    }
    afx_msg void OnPaint()
    {
        ++m_paints;
        throw std::runtime_error("paint");
    }
    afx_msg LRESULT OnUser(WPARAM, LPARAM) { AfxThrowUserException(); }
    afx_msg LRESULT OnStd(WPARAM, LPARAM) { throw std::runtime_error("handler"); }
    afx_msg LRESULT OnInvalid(WPARAM, LPARAM) { AfxThrowInvalidArgException(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CThrowingWnd, CWnd)
ON_WM_CREATE()
ON_WM_PAINT()
ON_MESSAGE(WM_APP + 1, OnUser)
ON_MESSAGE(WM_APP + 2, OnStd)
ON_MESSAGE(WM_APP + 3, OnInvalid)
END_MESSAGE_MAP()

TEST(Window, ExceptionInAHandlerDoesNotCrossIntoWindows)
{
    CThrowingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 30, 30, nullptr, nullptr));
    // A user exception was reported where it was raised: quietly 0.
    EXPECT_EQ(0, wnd.SendMessage(WM_APP + 1, 1, 1));
    // A foreign exception is logged and swallowed.
    EXPECT_EQ(0, wnd.SendMessage(WM_APP + 2, 1, 1));
    // A framework exception with a text of its own is shown to the user.
    CString shown;
    {
        HelperThread helper([&] {
            HWND box = WaitForMessageBox(&shown);
            if (box)
                PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(0, wnd.SendMessage(WM_APP + 3));
    }
    EXPECT_EQ(CString(L"無効な引数が指定されました。"), shown);
    // A failing paint validates the window, or WM_PAINT would come back forever.
    PumpPending();
    wnd.m_paints = 0;
    wnd.Invalidate();
    PumpPending();
    PumpPending();
    EXPECT_EQ(1, wnd.m_paints);
    CRect update;
    EXPECT_FALSE(wnd.GetUpdateRect(&update));
    wnd.DestroyWindow();

    // Throwing in OnCreate fails the creation.
    CThrowingWnd failing;
    failing.m_throwInCreate = TRUE;
    EXPECT_FALSE(failing.CreateEx(0, PlainClass(), L"", WS_POPUP, 0, 0, 30, 30, nullptr, nullptr));
    EXPECT_EQ(nullptr, failing.m_hWnd);
}

TEST(Window, CenterWindowCentresOnTheOwnerInsideTheWorkArea)
{
    CTestHostWnd owner;
    owner.MoveWindow(100, 120, 400, 300);
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, PlainClass(), L"", WS_POPUP, 0, 0, 200, 100, owner.m_hWnd, nullptr));
    popup.CenterWindow();
    CRect rect;
    popup.GetWindowRect(&rect);
    EXPECT_EQ(CRect(200, 220, 400, 320), rect);

    // An owner hanging off the screen's corner: the popup stays on the work area.
    owner.MoveWindow(-300, -200, 400, 300);
    popup.CenterWindow();
    popup.GetWindowRect(&rect);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner.m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_EQ(monitor.rcWork.left, rect.left);
    EXPECT_EQ(monitor.rcWork.top, rect.top);
    popup.DestroyWindow();

    // A child centres in its parent's client area.
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 40, 20), &owner, 7));
    child.CenterWindow();
    CRect client;
    owner.GetClientRect(&client);
    child.GetWindowRect(&rect);
    owner.ScreenToClient(&rect);
    EXPECT_EQ(client.Width() / 2 - 20, rect.left);
    EXPECT_EQ(client.Height() / 2 - 10, rect.top);
}

TEST(Window, ParentOwnerIsTheNearestWindowThatIsNotAChild)
{
    CTestHostWnd owner;
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, PlainClass(), L"", WS_POPUP, 0, 0, 50, 50, owner.m_hWnd, nullptr));
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &popup, 3));
    CWnd grandChild;
    ASSERT_TRUE(grandChild.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 5, 5), &child, 4));
    EXPECT_EQ(&popup, popup.GetParentOwner()); // a top-level window is its own
    EXPECT_EQ(&popup, child.GetParentOwner());
    EXPECT_EQ(&popup, grandChild.GetParentOwner());
    popup.DestroyWindow();
}

// Commands whose handlers fail: one policy for the framework's exceptions and any other.
class CFailingCommandWnd : public CTestHostWnd
{
protected:
    afx_msg void OnFrameworkFailure() { throw new CException; }
    afx_msg void OnOtherFailure() { throw std::runtime_error("command"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFailingCommandWnd, CTestHostWnd)
ON_COMMAND(0x8201, OnFrameworkFailure)
ON_COMMAND(0x8202, OnOtherFailure)
ON_BN_CLICKED(301, OnFrameworkFailure)
END_MESSAGE_MAP()

TEST(Window, AFailedCommandCountsAsHandledAfterItsMessage)
{
    CFailingCommandWnd wnd;
    CButton button;
    ASSERT_TRUE(button.Create(L"x", WS_VISIBLE, CRect(0, 0, 20, 20), &wnd, 301));
    struct Case
    {
        UINT id;
        HWND control;
        const wchar_t* shown;
    } cases[] = {
        {0x8201, nullptr, L"コマンドを実行できませんでした。"}, // a menu command
        {301, button.m_hWnd, L"内部エラーが発生しました。"},    // a control's notification
    };
    for (const Case& c : cases) {
        CString shown;
        LRESULT result = 0;
        {
            HelperThread helper([&] {
                HWND box = WaitForMessageBox(&shown);
                if (box)
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
            });
            result = wnd.SendMessage(WM_COMMAND, c.id, reinterpret_cast<LPARAM>(c.control));
        }
        EXPECT_EQ(TRUE, result) << c.id;
        EXPECT_EQ(CString(c.shown), shown) << c.id;
    }
    // Any other exception is logged, not shown, and the command is handled all the same.
    EXPECT_EQ(TRUE, wnd.SendMessage(WM_COMMAND, 0x8202, 0));
}

class CCountingWnd : public CWnd
{
public:
    int m_pings = 0;
    int m_colourChanges = 0;

protected:
    afx_msg LRESULT OnPing(WPARAM, LPARAM)
    {
        ++m_pings;
        return 0;
    }
    afx_msg void OnSysColorChange()
    {
        ++m_colourChanges;
        CWnd::OnSysColorChange();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingWnd, CWnd)
ON_MESSAGE(WM_APP + 30, OnPing)
ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

TEST(Window, MessagesToDescendantsReachEveryLevel)
{
    CCountingWnd top;
    ASSERT_TRUE(top.CreateEx(0, PlainClass(), L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    CCountingWnd child;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 50, 50), &top, 1));
    CCountingWnd grandchild;
    ASSERT_TRUE(grandchild.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 20, 20), &child, 2));

    top.SendMessageToDescendants(WM_APP + 30);
    EXPECT_EQ(0, top.m_pings);
    EXPECT_EQ(1, child.m_pings);
    EXPECT_EQ(1, grandchild.m_pings);
    top.SendMessageToDescendants(WM_APP + 30, 0, 0, FALSE);
    EXPECT_EQ(2, child.m_pings);
    EXPECT_EQ(1, grandchild.m_pings);

    // A colour change told to the top-level window reaches its children.
    top.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(1, top.m_colourChanges);
    EXPECT_EQ(1, child.m_colourChanges);
    EXPECT_EQ(1, grandchild.m_colourChanges);
    top.DestroyWindow();
}

class CPaintingWnd : public CWnd
{
public:
    int m_paints = 0;
    CRect m_paintRect;

protected:
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        ++m_paints;
        m_paintRect = dc.m_ps.rcPaint;
        dc.FillSolidRect(&dc.m_ps.rcPaint, RGB(200, 30, 40));
    }
    afx_msg BOOL OnEraseBkgnd(CDC* pDC)
    {
        // The background is the paint's job; the DC given is the window's.
        EXPECT_EQ(pDC->GetSafeHdc(), pDC->m_hAttribDC);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintingWnd, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TEST(Window, PaintDcPaintsTheInvalidAreaAndValidatesIt)
{
    CPaintingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), L"", WS_POPUP | WS_VISIBLE, 10, 10, 60, 40, nullptr, nullptr));
    wnd.UpdateWindow();
    wnd.m_paints = 0;
    CRect part(5, 5, 20, 15);
    wnd.InvalidateRect(&part, FALSE);
    wnd.UpdateWindow();
    EXPECT_EQ(1, wnd.m_paints);
    EXPECT_EQ(part, wnd.m_paintRect);
    CRect update;
    EXPECT_FALSE(wnd.GetUpdateRect(&update)); // EndPaint validated it
    {
        CClientDC client(&wnd);
        EXPECT_EQ(RGB(200, 30, 40), client.GetPixel(10, 10));
        CWindowDC window(&wnd);
        EXPECT_EQ(RGB(200, 30, 40), window.GetPixel(10, 10)); // no border: same origin
    }
    // A device context from GetDC goes back with ReleaseDC.
    CDC* dc = wnd.GetDC();
    ASSERT_NE(nullptr, dc);
    EXPECT_EQ(RGB(200, 30, 40), dc->GetPixel(6, 6));
    EXPECT_EQ(1, wnd.ReleaseDC(dc));
    wnd.DestroyWindow();
}

} // namespace
