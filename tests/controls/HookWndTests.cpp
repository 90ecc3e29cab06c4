#include "controls/CHookWnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const UINT kProbe = WM_APP + 7;

std::vector<std::string>* g_log = nullptr;
bool g_ncDestroyHadHooks = true;
WPARAM g_lastWParam = 0;

LRESULT CALLBACK PlainProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kProbe && g_log) {
        g_log->push_back("window");
        g_lastWParam = wParam;
        return 42;
    }
    if (message == WM_NCDESTROY)
        g_ncDestroyHadHooks = ::GetPropW(hWnd, L"HookWnd_P") != nullptr;
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

class RecordingHook : public CHookWnd
{
public:
    explicit RecordingHook(std::string name, bool useDefault = false)
        : m_name(std::move(name)), m_useDefault(useDefault)
    {
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kProbe && g_log)
            g_log->push_back(m_name);
        if (m_useDefault && message == kProbe)
            return Default();
        return CHookWnd::WindowProc(message, wParam, lParam);
    }

private:
    std::string m_name;
    bool m_useDefault;
};

class HookWndTest : public testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = &PlainProc;
        cls.hInstance = ::GetModuleHandleW(nullptr);
        cls.lpszClassName = L"VyxHookProbe";
        ::RegisterClassW(&cls);
        HWND hWnd = ::CreateWindowExW(0, L"VyxHookProbe", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, cls.hInstance,
                                      nullptr);
        ASSERT_NE(hWnd, nullptr);
        // Subclassed like any framework window, so the hooks chain in front of the framework's procedure.
        ASSERT_TRUE(m_wnd.SubclassWindow(hWnd));
        g_log = &m_log;
    }
    void TearDown() override
    {
        if (m_wnd.m_hWnd)
            m_wnd.DestroyWindow();
        g_log = nullptr;
    }
    std::vector<std::string> Probe()
    {
        m_log.clear();
        m_wnd.SendMessage(kProbe, 5, 0);
        return m_log;
    }
    LONG_PTR Proc() const { return ::GetWindowLongPtrW(m_wnd.m_hWnd, GWLP_WNDPROC); }

    CWnd m_wnd;
    std::vector<std::string> m_log;
};

TEST_F(HookWndTest, LastInstalledHookSeesTheMessageFirstAndTheWindowLast)
{
    RecordingHook one("1"), two("2"), three("3");
    ASSERT_TRUE(one.HookWindow(&m_wnd));
    ASSERT_TRUE(two.HookWindow(&m_wnd));
    ASSERT_TRUE(three.HookWindow(&m_wnd));
    EXPECT_EQ(Probe(), (std::vector<std::string>{"3", "2", "1", "window"}));
    EXPECT_EQ(CHookWnd::GetHook(m_wnd.m_hWnd), &three);
    EXPECT_TRUE(three.IsFirstHook());
    EXPECT_TRUE(one.IsLastHook());
    EXPECT_TRUE(two.IsMiddleHook());
    EXPECT_FALSE(one.IsMiddleHook());
    EXPECT_EQ(two.GetHookCount(), 3);
}

TEST_F(HookWndTest, UnhookingTheMiddleHookKeepsTheOthersChained)
{
    RecordingHook one("1"), two("2"), three("3");
    one.HookWindow(&m_wnd);
    LONG_PTR hooked = Proc();
    two.HookWindow(&m_wnd);
    three.HookWindow(&m_wnd);
    ASSERT_TRUE(two.Unhook());
    EXPECT_FALSE(two.IsHooked());
    EXPECT_EQ(Probe(), (std::vector<std::string>{"3", "1", "window"}));
    EXPECT_EQ(Proc(), hooked);
    EXPECT_EQ(one.GetHookCount(), 2);
}

TEST_F(HookWndTest, UnhookingTheHeadMakesTheNextOneHead)
{
    RecordingHook one("1"), two("2");
    one.HookWindow(&m_wnd);
    two.HookWindow(&m_wnd);
    two.Unhook();
    EXPECT_EQ(CHookWnd::GetHook(m_wnd.m_hWnd), &one);
    EXPECT_EQ(Probe(), (std::vector<std::string>{"1", "window"}));
}

TEST_F(HookWndTest, UnhookingTheOnlyHookRestoresProcedureAndRemovesProperty)
{
    LONG_PTR original = Proc();
    RecordingHook one("1");
    one.HookWindow(&m_wnd);
    EXPECT_NE(Proc(), original);
    one.Unhook();
    EXPECT_EQ(Proc(), original);
    EXPECT_EQ(::GetPropW(m_wnd.m_hWnd, L"HookWnd_P"), nullptr);
    EXPECT_EQ(Probe(), (std::vector<std::string>{"window"}));
}

TEST_F(HookWndTest, DestroyingTheWindowUnhooksAllBeforeItsProcedureSeesNcDestroy)
{
    RecordingHook one("1"), two("2"), three("3");
    one.HookWindow(&m_wnd);
    two.HookWindow(&m_wnd);
    three.HookWindow(&m_wnd);
    g_ncDestroyHadHooks = true;
    m_wnd.DestroyWindow();
    EXPECT_FALSE(g_ncDestroyHadHooks);
    EXPECT_FALSE(one.IsHooked());
    EXPECT_FALSE(two.IsHooked());
    EXPECT_FALSE(three.IsHooked());
}

TEST_F(HookWndTest, DefaultPassesTheCurrentMessageDownTheChain)
{
    RecordingHook one("1"), two("2", true);
    one.HookWindow(&m_wnd);
    two.HookWindow(&m_wnd);
    g_lastWParam = 0;
    EXPECT_EQ(m_wnd.SendMessage(kProbe, 5, 0), 42);
    EXPECT_EQ(g_lastWParam, 5u);
    EXPECT_EQ(m_log, (std::vector<std::string>{"2", "1", "window"}));
}

TEST_F(HookWndTest, AHookGoingOutOfScopeTakesItselfOff)
{
    LONG_PTR original = Proc();
    {
        RecordingHook one("1");
        one.HookWindow(&m_wnd);
    }
    EXPECT_EQ(Proc(), original);
    EXPECT_EQ(Probe(), (std::vector<std::string>{"window"}));
}

TEST_F(HookWndTest, HooksComeOffInAnyOrderAndTheRestStayChained)
{
    const LONG_PTR original = Proc();
    std::vector<int> order = {0, 1, 2};
    do {
        RecordingHook hooks[3] = {RecordingHook("1"), RecordingHook("2"), RecordingHook("3")};
        for (RecordingHook& hook : hooks)
            ASSERT_TRUE(hook.HookWindow(&m_wnd));
        std::vector<std::string> expected = {"3", "2", "1", "window"};
        for (int index : order) {
            ASSERT_TRUE(hooks[index].Unhook());
            expected.erase(std::find(expected.begin(), expected.end(), std::to_string(index + 1)));
            EXPECT_EQ(Probe(), expected);
            EXPECT_FALSE(hooks[index].IsHooked());
        }
        EXPECT_EQ(Proc(), original);
        EXPECT_EQ(::GetPropW(m_wnd.m_hWnd, L"HookWnd_P"), nullptr);
    } while (std::next_permutation(order.begin(), order.end()));
}

} // namespace
