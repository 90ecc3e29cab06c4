#include "common/ControlTestUtil.h"

#include "controls/CCJHyperLink.h"

#include <commctrl.h>

namespace {

// A label whose open result and ".htm" handler the test chooses.
class TestLink : public CCJHyperLink
{
public:
    INT_PTR openResult = -1; // -1: the real opening
    CString handlerCommand;  // empty: no handler registered
    INT_PTR OpenLink(LPCWSTR lpszLink, int nShowCmd) override
    {
        return openResult >= 0 ? openResult : CCJHyperLink::OpenLink(lpszLink, nShowCmd);
    }
    LONG ReadRegDefault(HKEY, LPCWSTR lpszSubKey, LPWSTR lpszValue) override
    {
        if (handlerCommand.IsEmpty())
            return ERROR_FILE_NOT_FOUND;
        lstrcpyW(lpszValue, lstrcmpW(lpszSubKey, L".htm") == 0 ? L"TestHtml" : handlerCommand.GetString());
        return ERROR_SUCCESS;
    }
};

HWND MakeStatic(CWnd& parent, LPCWSTR text, DWORD style, const CRect& rect)
{
    HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top, rect.Width(),
                                 rect.Height(), parent.GetSafeHwnd(), reinterpret_cast<HMENU>(700),
                                 AfxGetInstanceHandle(), nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return label;
}

COLORREF TextColourOf(CWnd& host, CCJHyperLink& link)
{
    HDC dc = GetDC(link.GetSafeHwnd());
    host.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link.GetSafeHwnd()));
    COLORREF colour = GetTextColor(dc);
    ReleaseDC(link.GetSafeHwnd(), dc);
    return colour;
}

} // namespace

TEST(HyperLink, EmptyTextShowsTheLinkAndTextWithoutLinkBecomesTheLink)
{
    CLogHostWnd host;
    TestLink empty, texted;
    empty.SetLink(L"http://example.invalid/");
    ASSERT_TRUE(empty.SubclassWindow(MakeStatic(host, L"", 0, CRect(10, 10, 300, 30))));
    ASSERT_TRUE(texted.SubclassWindow(MakeStatic(host, L"サポート", 0, CRect(10, 40, 300, 60))));
    EXPECT_EQ(CString(L"http://example.invalid/"), TextOf(empty.GetSafeHwnd()));
    EXPECT_EQ(CString(L"サポート"), texted.GetLink());
    EXPECT_TRUE(texted.GetStyle() & SS_NOTIFY);
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(texted.SendMessage(WM_GETFONT)), sizeof(font), &font);
    EXPECT_EQ(1, font.lfUnderline);
    texted.SetUnderlined(FALSE);
    GetObjectW(reinterpret_cast<HFONT>(texted.SendMessage(WM_GETFONT)), sizeof(font), &font);
    EXPECT_EQ(0, font.lfUnderline);
    ASSERT_NE(nullptr, texted.GetToolTip().GetSafeHwnd());
    EXPECT_EQ(1, texted.GetToolTip().GetToolCount());
    CString tip;
    texted.GetToolTip().GetText(tip, &texted, 1);
    EXPECT_EQ(CString(L"サポート"), tip);
}

TEST(HyperLink, LabelShrinksToItsTextKeepingItsAlignment)
{
    CLogHostWnd host;
    struct Case
    {
        DWORD style;
        int anchor; // 0 left edge kept, 1 centre kept, 2 right edge kept
    };
    for (Case c : {Case{SS_LEFT, 0}, Case{SS_CENTER, 1}, Case{SS_RIGHT, 2}}) {
        SCOPED_TRACE(c.style);
        TestLink link;
        const CRect before(20, 20, 320, 60);
        ASSERT_TRUE(link.SubclassWindow(MakeStatic(host, L"リンク", c.style, before)));
        CRect after;
        link.GetWindowRect(&after);
        host.ScreenToClient(&after);
        EXPECT_LT(after.Width(), before.Width());
        EXPECT_EQ(before.top, after.top);
        EXPECT_LT(after.Height(), before.Height());
        if (c.anchor == 0)
            EXPECT_EQ(before.left, after.left);
        else if (c.anchor == 2)
            EXPECT_EQ(before.right, after.right);
        else
            EXPECT_LE(abs(before.CenterPoint().x - after.CenterPoint().x), 1);
    }
}

TEST(HyperLink, ColourFollowsVisitedAndHover)
{
    CLogHostWnd host;
    TestLink link;
    link.openResult = 42;
    ASSERT_TRUE(link.SubclassWindow(MakeStatic(host, L"リンク", 0, CRect(10, 10, 300, 30))));
    EXPECT_EQ(RGB(0, 0, 0xEE), TextColourOf(host, link));
    link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PumpPending();
    EXPECT_TRUE(link.IsVisited());
    EXPECT_EQ(RGB(0x55, 0x1A, 0x8B), TextColourOf(host, link));
    link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(link.IsOver());
    EXPECT_EQ(link.GetSafeHwnd(), GetCapture());
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), TextColourOf(host, link));
    link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 500));
    EXPECT_FALSE(link.IsOver());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(RGB(0x55, 0x1A, 0x8B), TextColourOf(host, link));
}

TEST(HyperLink, FailedOpenShowsTheErrorAndLeavesTheLinkUnvisited)
{
    CLogHostWnd host;
    TestLink link;
    link.SetLink(L"C:\\no\\such\\page.htm");
    ASSERT_TRUE(link.SubclassWindow(MakeStatic(host, L"", 0, CRect(10, 10, 300, 30))));
    CString shown;
    {
        HelperThread closer([&] {
            HWND box = WaitForMessageBox(&shown);
            ASSERT_NE(nullptr, box);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    EXPECT_EQ(CString(L"Unable to open hyperlink:\n\nThe specified file was not found."), shown);
    EXPECT_FALSE(link.IsVisited());
}

TEST(HyperLink, HandlerCommandIsCutBeforeItsPlaceholder)
{
    struct Case
    {
        LPCWSTR command;
        LPCWSTR expected;
    };
    const Case cases[] = {
        {L"\"C:\\b\\br.exe\" -nohome \"%1\" -x", L"\"C:\\b\\br.exe\" -nohome  page.htm"},
        {L"br.exe %1 -new", L"br.exe  page.htm"},
        {L"br.exe -open", L"br.exe -open page.htm"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CString(c.expected), CCJHyperLink::BuildHandlerCommand(c.command, L"page.htm"));
    EXPECT_EQ(CString(L"Unable to open hyperlink:\n\nUnknown Error (99) occurred."), CCJHyperLink::OpenErrorText(99));
}

// The handler is started and left to run: its process and thread handles are not kept.
TEST(HyperLink, StartingTheHtmHandlerClosesTheProcessHandles)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    TestLink link;
    link.handlerCommand.Format(L"\"%s\\cmd.exe\" /c rem \"%%1\"", system);
    // The first start leaves the shell's own caches behind.
    link.OpenLink(L"C:\\no\\such\\page.htm", SW_HIDE);
    int before = OwnHandleCount();
    ASSERT_GT(before, 0);
    EXPECT_GT(link.OpenLink(L"C:\\no\\such\\page.htm", SW_HIDE), 32);
    EXPECT_EQ(before, OwnHandleCount());
}
