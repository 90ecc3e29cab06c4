#include "common/ControlTestUtil.h"
#include "ControlsTestRes.h"

#include "controls/CButtonST.h"

#include <commctrl.h>

namespace {

// Reaches the painting state the tests need to set or read.
class TestButtonST : public CButtonST
{
public:
    void SetHot(BOOL hot) { m_bMouseOnButton = hot; }
    BOOL PressedAtLastPaint() const { return m_bIsPressed; }
    BOOL MenuShowing() const { return m_bMenuDisplayed; }
    HICON IdleIcon() const { return m_csIcons[1].hIcon; }
    void Paint(CDC* dc, UINT state) { PaintButton(dc, state, CRect(0, 0, 60, 30), FALSE); }
};

const UINT kButtonId = 1500;

BOOL CreateButton(CButtonST& button, CWnd* parent, DWORD type, LPCWSTR caption = L"ボタン")
{
    return button.Create(caption, WS_CHILD | WS_VISIBLE | type, CRect(10, 10, 70, 40), parent, kButtonId);
}

BOOL CALLBACK CountTipWindow(HWND hWnd, LPARAM lParam)
{
    wchar_t name[64] = {};
    GetClassNameW(hWnd, name, 64);
    if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0)
        ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

int CountTipWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountTipWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

TEST(ButtonST, TemplateTypesWithBitTwoToggleTheirCheckStateOnEachClick)
{
    struct Case
    {
        DWORD type;
        bool toggles;
    };
    const Case cases[] = {{BS_OWNERDRAW, true},
                          {BS_CHECKBOX, true},
                          {BS_AUTOCHECKBOX, true},
                          {BS_PUSHBUTTON, false},
                          {BS_DEFPUSHBUTTON, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        CLogHostWnd host;
        CButtonST button;
        ASSERT_TRUE(CreateButton(button, &host, c.type));
        EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), button.GetStyle() & BS_TYPEMASK);
        button.SendMessage(BM_CLICK);
        EXPECT_EQ(c.toggles ? 1 : 0, button.SendMessage(BM_GETCHECK));
        button.SendMessage(BM_CLICK);
        EXPECT_EQ(0, button.SendMessage(BM_GETCHECK));
        // The parent still hears every click.
        EXPECT_EQ((std::vector<UINT>{kButtonId, kButtonId}), host.Commands());
    }
}

TEST(ButtonST, DefaultPushButtonIsRecordedAndFollowsSetStyle)
{
    CLogHostWnd host;
    CButtonST button;
    ASSERT_TRUE(CreateButton(button, &host, BS_DEFPUSHBUTTON));
    EXPECT_TRUE(button.IsDefault());
    EXPECT_TRUE(button.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    button.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(button.IsDefault());
    EXPECT_TRUE(button.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
    // Whatever type is set, the button stays owner-drawn.
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), button.GetStyle() & BS_TYPEMASK);
    button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(button.IsDefault());
}

TEST(ButtonST, DoubleClickIsDeliveredAsASecondClick)
{
    CLogHostWnd host;
    CButtonST button;
    ASSERT_TRUE(CreateButton(button, &host, BS_PUSHBUTTON));
    MSG msg = {button.GetSafeHwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5), 0, {}};
    button.PreTranslateMessage(&msg);
    EXPECT_EQ(static_cast<UINT>(WM_LBUTTONDOWN), msg.message);
}

TEST(ButtonST, ShiftStateColorMovesEveryChannelAlikeWithoutClipping)
{
    struct Case
    {
        COLORREF from;
        short shift;
        COLORREF to;
    };
    const Case cases[] = {{RGB(10, 100, 200), -50, RGB(0, 90, 190)},
                          {RGB(200, 100, 10), 100, RGB(255, 155, 65)},
                          {RGB(20, 30, 40), 0, RGB(20, 30, 40)},
                          {RGB(255, 0, 0), 10, RGB(255, 0, 0)}};
    for (const Case& c : cases)
        EXPECT_EQ(c.to, CButtonST::ShiftColor(c.from, c.shift)) << c.from << " by " << c.shift;

    CButtonST button;
    button.SetStateColor(CButtonST::ColorBkIdle, RGB(10, 100, 200), FALSE);
    EXPECT_EQ(static_cast<DWORD>(CButtonST::ResultOk), button.ShiftStateColor(CButtonST::ColorBkIdle, -50, FALSE));
    COLORREF shifted = 0;
    button.GetStateColor(CButtonST::ColorBkIdle, &shifted);
    EXPECT_EQ(RGB(0, 90, 190), shifted);
}

TEST(ButtonST, SettersAnswerTheirResultCodes)
{
    CLogHostWnd host;
    CButtonST button;
    ASSERT_TRUE(CreateButton(button, &host, BS_PUSHBUTTON));
    COLORREF colour = 0;
    EXPECT_EQ(3u, button.SetStateColor(6, RGB(1, 2, 3)));
    EXPECT_EQ(3u, button.GetStateColor(7, &colour));
    EXPECT_EQ(5u, button.ShiftStateColor(0, 256));
    EXPECT_EQ(5u, button.ShiftStateColor(0, -256));
    EXPECT_EQ(4u, button.SetImageAlign(4));
    EXPECT_EQ(6u, button.SetPressedOffset(2));
    EXPECT_EQ(0u, button.SetPressedOffset(1));
    EXPECT_EQ(1u, button.SetHoverCursor(30999));
    EXPECT_EQ(0u, button.SetHoverCursor(0));
    EXPECT_EQ(1u, button.SetDropMenu(30999, &host));
    EXPECT_EQ(5u, button.TakeBackground(nullptr));
}

TEST(ButtonST, PlaceImageFollowsTheAlignment)
{
    CLogHostWnd host;
    CButtonST button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 40), &host, kButtonId));
    const CRect item(0, 0, 100, 40);
    struct Case
    {
        BYTE align;
        BOOL caption;
        BOOL pressed;
        CPoint image;
        CRect captionRect;
    };
    const Case cases[] = {
        {CButtonST::AlignLeft, TRUE, FALSE, {3, 12}, {19, 0, 100, 40}},
        {CButtonST::AlignLeft, FALSE, FALSE, {42, 12}, {0, 0, 100, 40}},
        {CButtonST::AlignAbove, TRUE, FALSE, {42, 3}, {0, 16, 100, 40}},
        {CButtonST::AlignAbove, FALSE, FALSE, {42, 12}, {0, 0, 100, 40}},
        {CButtonST::AlignRight, TRUE, FALSE, {81, 12}, {3, 0, 81, 40}},
        {CButtonST::AlignRight, FALSE, FALSE, {42, 0}, {0, 0, 100, 40}},
        {CButtonST::AlignNone, TRUE, FALSE, {0, 0}, {0, 0, 100, 40}},
        {CButtonST::AlignLeft, TRUE, TRUE, {4, 13}, {19, 0, 100, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "align " << int(c.align) << " caption " << c.caption);
        button.SetImageAlign(c.align, FALSE);
        CRect caption = item;
        CRect image = button.PlaceImage(c.caption, &item, &caption, c.pressed, 16, 16);
        EXPECT_EQ(c.image, image.TopLeft());
        EXPECT_EQ(c.captionRect, caption);
    }
}

TEST(ButtonST, IdleIconGivenAsGreyIsAGreyCopyAndOneIconServesEveryState)
{
    CLogHostWnd host;
    TestButtonST button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 60, 30), &host, kButtonId));
    const CRect iconArea(22, 7, 38, 23);

    button.SetIcons(MakeSolidIcon(RGB(255, 0, 0)), nullptr);
    for (BOOL hot : {FALSE, TRUE}) {
        button.SetHot(hot);
        MemoryCanvas canvas(60, 30);
        button.Paint(canvas.DC(), 0);
        EXPECT_EQ(RGB(255, 0, 0), canvas.Pixel(30, 15)) << "hot " << hot;
    }

    button.SetIcons(MakeSolidIcon(RGB(255, 0, 0)), CButtonST::GreyIcon());
    ASSERT_NE(nullptr, button.IdleIcon());
    button.SetHot(FALSE);
    MemoryCanvas idle(60, 30);
    button.Paint(idle.DC(), 0);
    // 0.299 x 255 = 76.
    EXPECT_EQ(iconArea.Width() * iconArea.Height(), idle.CountColour(iconArea, RGB(76, 76, 76)));
    button.SetHot(TRUE);
    MemoryCanvas hot(60, 30);
    button.Paint(hot.DC(), 0);
    EXPECT_EQ(RGB(255, 0, 0), hot.Pixel(30, 15));
}

TEST(ButtonST, BitmapMaskLeavesTheTransparentColourShowingTheFace)
{
    CLogHostWnd host;
    TestButtonST button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 60, 30), &host, kButtonId));
    button.SetStateColor(CButtonST::ColorBkIdle, RGB(0, 0, 200), FALSE);
    button.SetFlat(TRUE, FALSE);
    // Left half magenta (transparent), right half green.
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc.GetSafeHdc(), bitmap);
        dc.FillSolidRect(0, 0, 8, 16, RGB(255, 0, 255));
        dc.FillSolidRect(8, 0, 8, 16, RGB(0, 255, 0));
        SelectObject(dc.GetSafeHdc(), old);
    }
    ASSERT_EQ(0u, button.SetBitmaps(bitmap, RGB(255, 0, 255)));
    MemoryCanvas canvas(60, 30);
    button.Paint(canvas.DC(), 0);
    EXPECT_EQ(RGB(0, 0, 200), canvas.Pixel(25, 15));
    EXPECT_EQ(RGB(0, 255, 0), canvas.Pixel(33, 15));
}

TEST(ButtonST, OnlyAFlatButtonBecomesHotAndOnlyWhileTheMouseIsOverIt)
{
    CLogHostWnd host;
    host.SetWindowPos(nullptr, 100, 100, 300, 200, SWP_NOZORDER);
    CButtonST flat, raised;
    ASSERT_TRUE(flat.Create(L"a", WS_CHILD | WS_VISIBLE, CRect(10, 10, 70, 40), &host, 1));
    ASSERT_TRUE(raised.Create(L"b", WS_CHILD | WS_VISIBLE, CRect(100, 10, 160, 40), &host, 2));
    raised.SetFlat(FALSE);
    PumpPending();

    auto hover = [](CButtonST& button) {
        CRect window;
        button.GetWindowRect(&window);
        SetCursorPos(window.CenterPoint().x, window.CenterPoint().y);
        button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(window.Width() / 2, window.Height() / 2));
    };
    hover(flat);
    EXPECT_TRUE(flat.IsHot());
    hover(raised);
    EXPECT_FALSE(raised.IsHot());
    // A move reported over the other button ends the hover.
    flat.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(120, 15));
    EXPECT_FALSE(flat.IsHot());
}

TEST(ButtonST, HoverWhenInactiveOffNeedsAnActiveWindow)
{
    CTestHostWnd owner;
    CButtonST button;
    ASSERT_TRUE(button.Create(L"a", WS_CHILD | WS_VISIBLE, CRect(10, 10, 70, 40), &owner, 1));
    button.SetHoverWhenInactive(FALSE);
    PumpPending();
    CRect window;
    button.GetWindowRect(&window);
    SetCursorPos(window.CenterPoint().x, window.CenterPoint().y);

    // A window of another thread takes the activation away from this thread.
    HWND other = nullptr;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread thread([&] {
        other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 600, 500, 50, 50, nullptr, nullptr,
                                nullptr, nullptr);
        SetForegroundWindow(other);
        SetEvent(ready);
        while (MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
            PumpPending();
        DestroyWindow(other);
    });
    WaitForSingleObject(ready, 10000);
    bool inactive = PumpUntil([] { return GetActiveWindow() == nullptr; });
    if (inactive) {
        button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30, 15));
        EXPECT_FALSE(button.IsHot());
        button.SetHoverWhenInactive(TRUE);
        button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30, 15));
        EXPECT_TRUE(button.IsHot());
    }
    SetEvent(stop);
    thread.join();
    CloseHandle(ready);
    CloseHandle(stop);
    ASSERT_TRUE(inactive) << "this thread kept an active window";
}

TEST(ButtonST, DropMenuShowsPressedWhileOpenAndPostsTheChosenCommandAfterwards)
{
    for (bool choose : {true, false}) {
        SCOPED_TRACE(choose ? "chosen" : "cancelled");
        CLogHostWnd host;
        TestButtonST button;
        ASSERT_TRUE(CreateButton(button, &host, BS_PUSHBUTTON));
        ASSERT_EQ(0u, button.SetDropMenu(IDM_TEST_DROP, &host));
        const UINT notify = WM_APP + 7;
        button.SetDropMenuNotify(&host, notify, 99);
        bool pressedWhileOpen = false;
        host.onLogged = [&](const LoggedMessage& m) {
            if (m.message != notify)
                return;
            MemoryCanvas canvas(60, 30);
            button.Paint(canvas.DC(), 0);
            pressedWhileOpen = button.PressedAtLastPaint();
        };
        ASSERT_TRUE(MakeActive(host));
        HelperThread driver([&] { DriveMenu(host.GetSafeHwnd(), choose ? 2 : -1); });
        button.SendMessage(BM_CLICK);
        EXPECT_TRUE(pressedWhileOpen);
        ASSERT_NE(nullptr, host.Last(notify));
        EXPECT_EQ(99, host.Last(notify)->lParam);
        EXPECT_FALSE(button.MenuShowing());
        PumpPending();
        std::vector<UINT> expected = {kButtonId};
        if (choose)
            expected.push_back(ID_TEST_DROP_SECOND);
        EXPECT_EQ(expected, host.Commands());
    }
}

TEST(ButtonST, TheTipsWindowIsMadeWhenTheMouseFirstComesAndCarriesTheTextSetBefore)
{
    CLogHostWnd host;
    CButtonST plain, tipped;
    ASSERT_TRUE(CreateButton(plain, &host, BS_PUSHBUTTON));
    ASSERT_TRUE(CreateButton(tipped, &host, BS_PUSHBUTTON));
    const int before = CountTipWindows();
    tipped.SetTipText(L"Ｃドライブ");
    MSG paint = {tipped.GetSafeHwnd(), WM_PAINT, 0, 0, 0, {}};
    tipped.PreTranslateMessage(&paint);
    MSG plainMove = {plain.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0, {}};
    plain.PreTranslateMessage(&plainMove);
    EXPECT_EQ(before, CountTipWindows());

    MSG move = {tipped.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0, {}};
    tipped.PreTranslateMessage(&move);
    EXPECT_EQ(before + 1, CountTipWindows());
    CToolTipCtrl& tip = tipped.GetToolTip();
    EXPECT_EQ(1, tip.GetToolCount());
    CString text;
    tip.GetText(text, &tipped, 1);
    EXPECT_EQ(CString(L"Ｃドライブ"), text);
}

TEST(ButtonST, TipTextMakesOneToolAndBalloonStyleIsKept)
{
    CLogHostWnd host;
    CButtonST button;
    button.UseBalloonTip();
    ASSERT_TRUE(CreateButton(button, &host, BS_PUSHBUTTON));
    button.SetTipText(L"Ｃドライブ");
    button.SetTipText(L"Ｄドライブ");
    CToolTipCtrl& tip = button.GetToolTip();
    ASSERT_NE(nullptr, tip.GetSafeHwnd());
    EXPECT_EQ(1, tip.GetToolCount());
    EXPECT_TRUE(tip.GetStyle() & TTS_BALLOON);
    CString text;
    tip.GetText(text, &button, 1);
    EXPECT_EQ(CString(L"Ｄドライブ"), text);
}
