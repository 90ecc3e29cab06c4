// Message maps: lookup through the base chain, the ON_WM_* adapters and their documented handler
// signatures, registered messages.
#include "common/WindowTestUtil.h"

#include <set>

namespace {

const UINT kRegisteredMessage = RegisterWindowMessageW(L"FrameworkTests.MessageMap.Registered");

LPCWSTR PlainClass()
{
    return AfxRegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW));
}

class CBaseTarget : public CWnd
{
public:
    BOOL CreatePopup() { return CreateEx(0, PlainClass(), L"map", WS_POPUP, 0, 0, 120, 90, nullptr, nullptr); }
    CString m_log;

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy) { m_log.AppendFormat(L"base size %u %d %d;", nType, cx, cy); }
    afx_msg LRESULT OnFirst(WPARAM, LPARAM) { return 1; }
    afx_msg LRESULT OnSecond(WPARAM, LPARAM) { return 2; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CWnd)
ON_WM_SIZE()
ON_MESSAGE(WM_APP + 1, OnFirst)
ON_MESSAGE(WM_APP + 2, OnSecond)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget
{
protected:
    afx_msg LRESULT OnFirstAgain(WPARAM, LPARAM) { return 11; }
    afx_msg LRESULT OnRegistered(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam) + lParam; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
ON_MESSAGE(WM_APP + 1, OnFirstAgain)
ON_REGISTERED_MESSAGE(kRegisteredMessage, OnRegistered)
END_MESSAGE_MAP()

TEST(MessageMap, DerivedEntryWinsAndBaseEntriesStillApply)
{
    CDerivedTarget wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    EXPECT_EQ(11, wnd.SendMessage(WM_APP + 1));
    EXPECT_EQ(2, wnd.SendMessage(WM_APP + 2));
    EXPECT_EQ(0, wnd.SendMessage(WM_APP + 3)); // no entry anywhere: DefWindowProc
    wnd.m_log.Empty();
    wnd.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(30, 40));
    EXPECT_EQ(CString(L"base size 0 30 40;"), wnd.m_log);
    wnd.DestroyWindow();
}

// A class template with a map of its own, over any base that has one.
template <class TBase> class CTemplateTarget : public TBase
{
protected:
    afx_msg LRESULT OnSecondAgain(WPARAM, LPARAM) { return 22; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_TEMPLATE_MESSAGE_MAP(CTemplateTarget, TBase, TBase)
ON_MESSAGE(WM_APP + 2, OnSecondAgain)
END_MESSAGE_MAP()

TEST(MessageMap, TemplateMapChainsToItsParameterBase)
{
    CTemplateTarget<CDerivedTarget> wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    EXPECT_EQ(22, wnd.SendMessage(WM_APP + 2));
    EXPECT_EQ(11, wnd.SendMessage(WM_APP + 1)); // from the derived base
    wnd.m_log.Empty();
    wnd.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(3, 4));
    EXPECT_EQ(CString(L"base size 0 3 4;"), wnd.m_log);
    wnd.DestroyWindow();
}

TEST(MessageMap, RegisteredMessageIsMatchedThroughItsVariable)
{
    CDerivedTarget wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    EXPECT_EQ(7, wnd.SendMessage(kRegisteredMessage, 3, 4));
    // Another registered message has no entry.
    UINT other = RegisterWindowMessageW(L"FrameworkTests.MessageMap.Other");
    EXPECT_EQ(0, wnd.SendMessage(other, 3, 4));
    wnd.DestroyWindow();
}

TEST(MessageMap, UnhandledMessagesReachTheWindowClassProcedure)
{
    CDerivedTarget wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    wnd.SetWindowText(L"題名");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_EQ(CString(L"題名"), text);
    wnd.DestroyWindow();
}

// Each adapter must unpack its message as documented; the handlers log what they receive.
class CDecoder : public CWnd
{
public:
    BOOL CreatePopup() { return CreateEx(0, PlainClass(), L"decode", WS_POPUP, 0, 0, 120, 90, nullptr, nullptr); }
    CString m_log;
    HDC m_lastDC = nullptr;

protected:
    afx_msg void OnMove(int x, int y) { m_log.Format(L"move %d %d", x, y); }
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point) { m_log.Format(L"ldown %u %d %d", nFlags, point.x, point.y); }
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point) { m_log.Format(L"rup %u %d %d", nFlags, point.x, point.y); }
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
    {
        m_log.Format(L"wheel %u %d %d %d", nFlags, zDelta, pt.x, pt.y);
        return TRUE;
    }
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        m_log.Format(L"keydown %u %u %x", nChar, nRepCnt, nFlags);
    }
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        m_log.Format(L"char %u %u %x", nChar, nRepCnt, nFlags);
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent) { m_log.Format(L"timer %u", static_cast<UINT>(nIDEvent)); }
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos)
    {
        m_log.Format(L"context %d %d %d", pWnd == this, pos.x, pos.y);
    }
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
    {
        m_log.Format(L"cursor %d %u %x", pWnd == this, nHitTest, message);
        return TRUE;
    }
    afx_msg LRESULT OnNcHitTest(CPoint point)
    {
        m_log.Format(L"hittest %d %d", point.x, point.y);
        return HTCAPTION;
    }
    afx_msg UINT OnGetDlgCode()
    {
        m_log = L"dlgcode";
        return DLGC_WANTALLKEYS;
    }
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        m_lastDC = pDC->GetSafeHdc();
        m_log.Format(L"ctlcolor %d %u", pWnd == this, nCtlColor);
        return static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) { m_log.Format(L"syscommand %x %ld", nID, lParam); }
    afx_msg void OnSettingChange(UINT uFlags, LPCWSTR lpszSection)
    {
        m_log.Format(L"setting %u %s", uFlags, lpszSection ? lpszSection : L"(null)");
    }
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
    {
        m_log.Format(L"menuselect %u %x %d", nItemID, nFlags, hSysMenu != nullptr);
    }
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
    {
        m_log.Format(L"hscroll %u %d %d", nSBCode, static_cast<int>(nPos), pScrollBar != nullptr);
    }
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
    {
        m_log.Format(L"drawitem %d %u", nIDCtl, lpDrawItemStruct->itemID);
    }
    afx_msg void OnXButtonDown(UINT nFlags, UINT nButton, CPoint point)
    {
        m_log.Format(L"xdown %x %u %d %d", nFlags, nButton, point.x, point.y);
    }
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID)
    {
        m_log.Format(L"activateapp %d %lu", bActive, dwThreadID);
    }
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus) { m_log.Format(L"show %d %u", bShow, nStatus); }
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
    {
        m_log.Format(L"initmenupopup %d %u %d", pPopupMenu != nullptr, nIndex, bSysMenu);
    }
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
    {
        m_log.Format(L"menuchar %u %x %d", nChar, nFlags, pMenu != nullptr);
        return MAKELRESULT(2, MNC_EXECUTE);
    }
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
    {
        m_log.Format(L"mouseactivate %d %u %x", pDesktopWnd != nullptr, nHitTest, message);
        return MA_NOACTIVATE;
    }
    afx_msg void OnAppCommand(CWnd* pWnd, UINT nCmd, UINT nDevice, UINT nKey)
    {
        m_log.Format(L"appcommand %d %u %x %x", pWnd == this, nCmd, nDevice, nKey);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDecoder, CWnd)
ON_WM_MOVE()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_MOUSEWHEEL()
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_TIMER()
ON_WM_CONTEXTMENU()
ON_WM_SETCURSOR()
ON_WM_NCHITTEST()
ON_WM_GETDLGCODE()
ON_WM_CTLCOLOR()
ON_WM_SYSCOMMAND()
ON_WM_SETTINGCHANGE()
ON_WM_MENUSELECT()
ON_WM_HSCROLL()
ON_WM_DRAWITEM()
ON_WM_XBUTTONDOWN()
ON_WM_ACTIVATEAPP()
ON_WM_SHOWWINDOW()
ON_WM_INITMENUPOPUP()
ON_WM_MENUCHAR()
ON_WM_MOUSEACTIVATE()
ON_WM_APPCOMMAND()
END_MESSAGE_MAP()

struct DecodeCase
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const wchar_t* log; // nullptr: the handler must not run
    LRESULT result;
};

TEST(MessageMap, AdaptersUnpackMessagesAsDocumented)
{
    CDecoder wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    HWND self = wnd.m_hWnd;
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_BUTTON;
    draw.itemID = 5;
    HMENU menu = CreatePopupMenu();
    const DecodeCase cases[] = {
        {WM_MOVE, 0, MAKELPARAM(-5, 7), L"move -5 7", 0},
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-3, 200), L"ldown 5 -3 200", 0},
        {WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(9, 8), L"rup 8 9 8", 0},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -120), MAKELPARAM(100, 50), L"wheel 8 -120 100 50", TRUE},
        {WM_KEYDOWN, VK_F5, MAKELPARAM(3, 0x403F), L"keydown 116 3 403f", 0},
        {WM_CHAR, L'あ', MAKELPARAM(1, 0), L"char 12354 1 0", 0},
        {WM_TIMER, 77, 0, L"timer 77", 0},
        {WM_CONTEXTMENU, reinterpret_cast<WPARAM>(self), MAKELPARAM(-1, -1), L"context 1 -1 -1", 0},
        {WM_SETCURSOR, reinterpret_cast<WPARAM>(self), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), L"cursor 1 1 200", TRUE},
        {WM_NCHITTEST, 0, MAKELPARAM(12, -4), L"hittest 12 -4", HTCAPTION},
        {WM_GETDLGCODE, 0, 0, L"dlgcode", DLGC_WANTALLKEYS},
        {WM_SYSCOMMAND, SC_KEYMENU, 65, L"syscommand f100 65", 0},
        {WM_SETTINGCHANGE, SPI_SETWORKAREA, reinterpret_cast<LPARAM>(L"intl"), L"setting 47 intl", 0},
        {WM_MENUSELECT, MAKEWPARAM(1234, MF_POPUP | MF_HILITE), 0, L"menuselect 1234 90 0", 0},
        {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(-3)), 0, L"hscroll 5 -3 0", 0},
        {WM_DRAWITEM, 41, reinterpret_cast<LPARAM>(&draw), L"drawitem 41 5", TRUE},
        {WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, XBUTTON1), MAKELPARAM(1, 2), L"xdown 20 1 1 2", TRUE},
        {WM_ACTIVATEAPP, TRUE, 1234, L"activateapp 1 1234", 0},
        {WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING, L"show 0 1", 0},
        {WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(3, TRUE), L"initmenupopup 1 3 1", 0},
        {WM_MENUCHAR, MAKEWPARAM(L'F', MF_POPUP), reinterpret_cast<LPARAM>(menu), L"menuchar 70 10 1",
         MAKELRESULT(2, MNC_EXECUTE)},
        {WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(self), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN),
         L"mouseactivate 1 1 201", MA_NOACTIVATE},
        {WM_APPCOMMAND, reinterpret_cast<WPARAM>(self), MAKELPARAM(0, FAPPCOMMAND_MOUSE | APPCOMMAND_BROWSER_BACKWARD),
         L"appcommand 1 1 8000 0", TRUE},
    };
    for (const DecodeCase& c : cases) {
        wnd.m_log.Empty();
        LRESULT result = wnd.SendMessage(c.message, c.wParam, c.lParam);
        EXPECT_EQ(CString(c.log), wnd.m_log) << "message 0x" << std::hex << c.message;
        EXPECT_EQ(c.result, result) << "message 0x" << std::hex << c.message;
    }
    DestroyMenu(menu);
    wnd.DestroyWindow();
}

TEST(MessageMap, EveryControlColourMessageReachesOnCtlColorWithItsType)
{
    CDecoder wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    HDC dc = GetDC(wnd.m_hWnd);
    for (UINT message = WM_CTLCOLORMSGBOX; message <= WM_CTLCOLORSTATIC; ++message) {
        wnd.m_log.Empty();
        LRESULT brush = wnd.SendMessage(message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(wnd.m_hWnd));
        CString expected;
        expected.Format(L"ctlcolor 1 %u", message - WM_CTLCOLORMSGBOX);
        EXPECT_EQ(expected, wnd.m_log);
        EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)), brush);
        EXPECT_EQ(dc, wnd.m_lastDC);
    }
    ReleaseDC(wnd.m_hWnd, dc);
    wnd.DestroyWindow();
}

// Every ON_WM_* entry, bound to CWnd's default handler of the documented signature: compiling
// this map is the signature check; the table must hold one entry per message.
class CEveryEntry : public CWnd
{
public:
    static const AFX_MSGMAP* Map() { return GetThisMessageMap(); }
    static const AFX_MSGMAP* BaseMap() { return CWnd::GetThisMessageMap(); }
    const AFX_MSGMAP* Current() const { return GetMessageMap(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEveryEntry, CWnd)
ON_WM_CREATE()
ON_WM_NCCREATE()
ON_WM_DESTROY()
ON_WM_NCDESTROY()
ON_WM_CLOSE()
ON_WM_PAINT()
ON_WM_NCPAINT()
ON_WM_ERASEBKGND()
ON_WM_ICONERASEBKGND()
ON_WM_SIZE()
ON_WM_MOVE()
ON_WM_SIZING()
ON_WM_MOVING()
ON_WM_ENTERSIZEMOVE()
ON_WM_EXITSIZEMOVE()
ON_WM_GETMINMAXINFO()
ON_WM_WINDOWPOSCHANGING()
ON_WM_WINDOWPOSCHANGED()
ON_WM_STYLECHANGING()
ON_WM_STYLECHANGED()
ON_WM_SHOWWINDOW()
ON_WM_ENABLE()
ON_WM_ACTIVATE()
ON_WM_ACTIVATEAPP()
ON_WM_NCACTIVATE()
ON_WM_MOUSEACTIVATE()
ON_WM_CHILDACTIVATE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_CAPTURECHANGED()
ON_WM_CANCELMODE()
ON_WM_SETCURSOR()
ON_WM_NCHITTEST()
ON_WM_NCCALCSIZE()
ON_WM_NCMOUSEMOVE()
ON_WM_NCLBUTTONDOWN()
ON_WM_NCLBUTTONUP()
ON_WM_NCLBUTTONDBLCLK()
ON_WM_NCRBUTTONDOWN()
ON_WM_NCRBUTTONUP()
ON_WM_NCRBUTTONDBLCLK()
ON_WM_NCMBUTTONDOWN()
ON_WM_NCMBUTTONUP()
ON_WM_NCMBUTTONDBLCLK()
ON_WM_NCMOUSEHOVER()
ON_WM_NCMOUSELEAVE()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_RBUTTONDBLCLK()
ON_WM_MBUTTONDOWN()
ON_WM_MBUTTONUP()
ON_WM_MBUTTONDBLCLK()
ON_WM_MOUSEHOVER()
ON_WM_MOUSELEAVE()
ON_WM_MOUSEWHEEL()
ON_WM_XBUTTONDOWN()
ON_WM_XBUTTONUP()
ON_WM_XBUTTONDBLCLK()
ON_WM_KEYDOWN()
ON_WM_KEYUP()
ON_WM_CHAR()
ON_WM_DEADCHAR()
ON_WM_SYSKEYDOWN()
ON_WM_SYSKEYUP()
ON_WM_SYSCHAR()
ON_WM_SYSDEADCHAR()
ON_WM_TIMER()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_CONTEXTMENU()
ON_WM_SYSCOMMAND()
ON_WM_INITMENU()
ON_WM_INITMENUPOPUP()
ON_WM_MENUSELECT()
ON_WM_MENUCHAR()
ON_WM_ENTERMENULOOP()
ON_WM_EXITMENULOOP()
ON_WM_ENTERIDLE()
ON_WM_CTLCOLOR()
ON_WM_DRAWITEM()
ON_WM_MEASUREITEM()
ON_WM_DELETEITEM()
ON_WM_COMPAREITEM()
ON_WM_CHARTOITEM()
ON_WM_VKEYTOITEM()
ON_WM_PARENTNOTIFY()
ON_WM_GETDLGCODE()
ON_WM_SETTINGCHANGE()
ON_WM_SYSCOLORCHANGE()
ON_WM_FONTCHANGE()
ON_WM_TIMECHANGE()
ON_WM_DEVMODECHANGE()
ON_WM_PALETTECHANGED()
ON_WM_PALETTEISCHANGING()
ON_WM_QUERYNEWPALETTE()
ON_WM_DEVICECHANGE()
ON_WM_THEMECHANGED()
ON_WM_COPYDATA()
ON_WM_DROPFILES()
ON_WM_HELPINFO()
ON_WM_QUERYENDSESSION()
ON_WM_ENDSESSION()
ON_WM_QUERYDRAGICON()
ON_WM_APPCOMMAND()
END_MESSAGE_MAP()

// The reflected entries, bound to handlers of their documented signatures.
class CEveryReflection : public CWnd
{
public:
    static const AFX_MSGMAP* Map() { return GetThisMessageMap(); }

protected:
    HBRUSH CtlColor(CDC*, UINT) { return nullptr; }
    void DrawItem(LPDRAWITEMSTRUCT) {}
    void MeasureItem(LPMEASUREITEMSTRUCT) {}
    void DeleteItem(LPDELETEITEMSTRUCT) {}
    int CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
    int CharToItem(UINT, UINT) { return -1; }
    int VKeyToItem(UINT, UINT) { return -1; }
    void HScroll(UINT, UINT) {}
    void VScroll(UINT, UINT) {}
    void ParentNotify(UINT, LPARAM) {}
    void OnClicked() {}
    BOOL OnClickedEx() { return FALSE; }
    void OnNotifyReflect(NMHDR*, LRESULT*) {}
    BOOL OnNotifyReflectEx(NMHDR*, LRESULT*) { return FALSE; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEveryReflection, CWnd)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_DRAWITEM_REFLECT()
ON_WM_MEASUREITEM_REFLECT()
ON_WM_DELETEITEM_REFLECT()
ON_WM_COMPAREITEM_REFLECT()
ON_WM_CHARTOITEM_REFLECT()
ON_WM_VKEYTOITEM_REFLECT()
ON_WM_HSCROLL_REFLECT()
ON_WM_VSCROLL_REFLECT()
ON_WM_PARENTNOTIFY_REFLECT()
ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
ON_CONTROL_REFLECT_EX(BN_DOUBLECLICKED, OnClickedEx)
ON_NOTIFY_REFLECT(NM_CLICK, OnNotifyReflect)
ON_NOTIFY_REFLECT_EX(NM_DBLCLK, OnNotifyReflectEx)
END_MESSAGE_MAP()

std::vector<UINT> MessagesOf(const AFX_MSGMAP* map)
{
    std::vector<UINT> messages;
    for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry)
        messages.push_back(entry->nMessage << 16 | entry->nCode);
    return messages;
}

TEST(MessageMap, EachWindowMessageEntryNamesItsOwnMessage)
{
    // Objects make the classes real (their maps are reached through the virtual GetMessageMap).
    CEveryEntry every;
    CEveryReflection reflection;
    EXPECT_EQ(CEveryEntry::Map(), every.Current());
    (void)reflection;

    std::vector<UINT> messages = MessagesOf(CEveryEntry::Map());
    std::set<UINT> distinct(messages.begin(), messages.end());
    EXPECT_EQ(messages.size(), distinct.size());
    EXPECT_EQ(108u, messages.size());
    for (UINT message : {WM_CREATE, WM_PAINT, WM_SIZE, WM_MOUSEWHEEL, WM_CTLCOLOR, WM_APPCOMMAND, WM_THEMECHANGED})
        EXPECT_TRUE(distinct.count(message << 16)) << std::hex << message;
    EXPECT_EQ(CEveryEntry::BaseMap(), CEveryEntry::Map()->pfnGetBaseMap());

    std::vector<UINT> reflected = MessagesOf(CEveryReflection::Map());
    std::set<UINT> distinctReflected(reflected.begin(), reflected.end());
    EXPECT_EQ(reflected.size(), distinctReflected.size());
    for (UINT key : reflected)
        EXPECT_GE(key >> 16, static_cast<UINT>(WM_REFLECT_BASE));
}

} // namespace
