#include "common/ControlTestUtil.h"

#include "controls/CColourPickerXP.h"
#include "controls/CColourPopupXP.h"
#include "controls/UxThemeBinder.h"

#include <algorithm>

namespace {

LONG g_popupsDeleted = 0;

class CountedPopup : public CColourPopupXP
{
public:
    ~CountedPopup() override { InterlockedIncrement(&g_popupsDeleted); }
    int Next(UINT key) const { return NextCell(key); }
};

// A picker whose popup the test can reach while it is open.
class TestPicker : public CColourPickerXP
{
public:
    CountedPopup* popup = nullptr;

protected:
    CColourPopupXP* NewPopup() override
    {
        popup = new CountedPopup;
        return popup;
    }
};

struct Fixture
{
    CLogHostWnd host;
    TestPicker picker;
    explicit Fixture(CPoint at = CPoint(40, 40))
    {
        host.SetWindowPos(nullptr, at.x, at.y, 400, 300, SWP_NOZORDER);
        picker.Create(L"", WS_CHILD | WS_VISIBLE, CRect(20, 20, 120, 44), &host, 601);
        PumpPending();
    }
    // Opens the popup as a click does.
    CountedPopup* Open()
    {
        picker.popup = nullptr;
        picker.SendMessage(BM_CLICK);
        // A popup that failed is gone already.
        return picker.IsPopupOpen() ? picker.popup : nullptr;
    }
    std::vector<UINT> ColourMessages() const
    {
        std::vector<UINT> messages;
        for (const LoggedMessage& m : host.log) {
            if (m.message >= WMU_COLOUR_SELCHANGE && m.message <= WMU_COLOUR_SELENDCANCEL) {
                EXPECT_EQ(601, m.lParam);
                messages.push_back(m.message);
            }
        }
        return messages;
    }
    bool Closed()
    {
        return PumpUntil([&] { return !picker.IsPopupOpen(); });
    }
};

DRAWITEMSTRUCT ItemOn(MemoryCanvas& canvas, CWnd& wnd, UINT state = 0)
{
    DRAWITEMSTRUCT item = {ODT_BUTTON,      0, 0, ODA_DRAWENTIRE, state, wnd.GetSafeHwnd(), canvas.DC()->GetSafeHdc(),
                           {0, 0, 100, 24}, 0};
    return item;
}

} // namespace

TEST(ColourPicker, ComboLookTextNamesTableColoursAndGivesOthersTheirValues)
{
    CColourPickerXP picker;
    EXPECT_EQ(CString(L"デフォルト"), picker.ColourText(CLR_DEFAULT));
    EXPECT_EQ(CString(L"R:1 G:2 B:3"), picker.ColourText(RGB(1, 2, 3)));
    EXPECT_EQ(CString(L"Red"), picker.ColourText(RGB(255, 0, 0)));
    EXPECT_EQ(CString(L"Pale green "), picker.ColourText(RGB(152, 251, 152)));
    picker.SetShowColourValue(TRUE);
    EXPECT_EQ(CString(L"Red (R:255 G:0 B:0)"), picker.ColourText(RGB(255, 0, 0)));
    picker.SetRGBLabel(L"ab");
    EXPECT_EQ(CString(L"a:1 b:2  :3"), picker.ColourText(RGB(1, 2, 3)));
    EXPECT_EQ(40, CColourPickerXP::GetColourCount());
    EXPECT_EQ(39, CColourPickerXP::FindColour(RGB(255, 255, 255)));
    EXPECT_EQ(-1, CColourPickerXP::FindColour(RGB(1, 2, 3)));
}

TEST(ColourPicker, DefaultColourFillsTheSwatchOfAPickerWithoutOwnColour)
{
    UxThemeBinder::Release();
    UxThemeBinder::SetLibraryName(L"no_such_theme_library.dll");
    Fixture f;
    f.picker.SetDefaultColour(RGB(10, 200, 30));
    EXPECT_EQ(RGB(10, 200, 30), f.picker.GetColour());
    EXPECT_EQ(CLR_DEFAULT, f.picker.GetColour(FALSE));
    MemoryCanvas canvas(100, 24);
    DRAWITEMSTRUCT item = ItemOn(canvas, f.picker);
    f.picker.DrawItem(&item);
    EXPECT_EQ(RGB(10, 200, 30), canvas.Pixel(30, 12));
    f.picker.SetColour(RGB(0, 0, 255));
    f.picker.DrawItem(&item);
    EXPECT_EQ(RGB(0, 0, 255), canvas.Pixel(30, 12));
    UxThemeBinder::Release();
    UxThemeBinder::SetLibraryName(nullptr);
}

TEST(ColourPicker, ThemedPickerDrawsTheButtonOrTheEditAndComboBoxParts)
{
    UxThemeBinder::Release();
    UxThemeBinder::SetLibraryName(L"fake_uxtheme.dll");
    FakeThemeState* fake = ResetFakeTheme();
    ASSERT_NE(nullptr, fake);
    {
        Fixture f;
        MemoryCanvas canvas(100, 24);
        DRAWITEMSTRUCT item = ItemOn(canvas, f.picker, ODS_SELECTED);
        int drawn = fake->drawn;
        f.picker.DrawItem(&item);
        EXPECT_EQ(3, fake->opened); // the three themes open at the first paint
        EXPECT_EQ(drawn + 1, fake->drawn);
        EXPECT_EQ(3, fake->lastState);
        f.picker.SetComboStyle(TRUE);
        item.itemState = 0;
        drawn = fake->drawn;
        f.picker.DrawItem(&item);
        EXPECT_EQ(drawn + 2, fake->drawn); // the edit and the drop button
        EXPECT_EQ(1, fake->lastPart);
    }
    UxThemeBinder::Release();
    UxThemeBinder::SetLibraryName(nullptr);
}

TEST(ColourPicker, PopupOpensOnTheChosenCell)
{
    struct Case
    {
        COLORREF colour;
        bool customText;
        int chosen;
    };
    const Case cases[] = {{CLR_DEFAULT, true, CColourPopupXP::CellDefault},
                          {RGB(255, 0, 0), true, 16},
                          {RGB(1, 2, 3), true, CColourPopupXP::CellCustom},
                          {RGB(1, 2, 3), false, CColourPopupXP::CellNone}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        Fixture f;
        f.picker.SetColour(c.colour);
        if (!c.customText)
            f.picker.SetCustomText(L"");
        CountedPopup* popup = f.Open();
        ASSERT_NE(nullptr, popup);
        EXPECT_TRUE(f.picker.IsPopupOpen());
        EXPECT_EQ(c.chosen, popup->GetChosenCell());
        EXPECT_EQ(popup->GetSafeHwnd(), ::GetCapture());
        EXPECT_EQ(std::vector<UINT>{WMU_COLOUR_DROPDOWN}, f.ColourMessages());
        popup->SendMessage(WM_KEYDOWN, VK_ESCAPE);
        EXPECT_TRUE(f.Closed());
    }
}

TEST(ColourPicker, ArrowKeysWalkTheGridAndTheEntries)
{
    Fixture f;
    CountedPopup* popup = f.Open();
    ASSERT_NE(nullptr, popup);
    // From the default entry: the table of moves, one key at a time.
    struct Step
    {
        UINT key;
        int cell;
    };
    const Step steps[] = {{VK_DOWN, 0},   {VK_DOWN, 8},   {VK_RIGHT, 9}, {VK_LEFT, 8},  {VK_LEFT, 7},  {VK_UP, -3},
                          {VK_UP, -2},    {VK_UP, 39},    {VK_DOWN, -2}, {VK_DOWN, -3}, {VK_LEFT, -2}, {VK_LEFT, 39},
                          {VK_RIGHT, -2}, {VK_RIGHT, -3}, {VK_RIGHT, 0}, {VK_LEFT, -3}, {VK_DOWN, 0},  {VK_UP, -3}};
    ASSERT_EQ(CColourPopupXP::CellDefault, popup->GetHotCell());
    for (const Step& step : steps) {
        popup->SendMessage(WM_KEYDOWN, step.key);
        ASSERT_EQ(step.cell, popup->GetHotCell()) << "key " << step.key;
    }
    popup->SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(f.Closed());
}

TEST(ColourPicker, TrackingRecolorsAtOnceAndEscapePutsTheInitialColourBack)
{
    Fixture f;
    f.picker.SetColour(RGB(255, 0, 0));
    f.picker.SetTrackSelection(TRUE);
    CountedPopup* popup = f.Open();
    ASSERT_NE(nullptr, popup);
    popup->SendMessage(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(RGB(255, 173, 91), f.picker.GetRawColour());
    f.host.log.clear();
    popup->SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(f.Closed());
    EXPECT_EQ(RGB(255, 0, 0), f.picker.GetRawColour());
    EXPECT_EQ((std::vector<UINT>{WMU_COLOUR_CLOSEUP, WMU_COLOUR_SELENDCANCEL}), f.ColourMessages());
    EXPECT_EQ(static_cast<WPARAM>(RGB(255, 0, 0)), f.host.Last(WMU_COLOUR_SELENDCANCEL)->wParam);
}

TEST(ColourPicker, ClickInsideChoosesTheHotCell)
{
    Fixture f;
    CountedPopup* popup = f.Open();
    ASSERT_NE(nullptr, popup);
    CRect cell;
    ASSERT_TRUE(popup->GetCellRect(13, &cell));
    CPoint inside = cell.CenterPoint();
    popup->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ(13, popup->GetHotCell());
    popup->ClientToScreen(&inside);
    SetCursorPos(inside.x, inside.y);
    f.host.log.clear();
    popup->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(cell.CenterPoint().x, cell.CenterPoint().y));
    EXPECT_TRUE(f.Closed());
    EXPECT_EQ(RGB(0, 0, 255), f.picker.GetRawColour());
    EXPECT_EQ((std::vector<UINT>{WMU_COLOUR_CLOSEUP, WMU_COLOUR_SELENDOK, WMU_COLOUR_SELCHANGE}), f.ColourMessages());
}

TEST(ColourPicker, PopupNearTheBottomOfTheScreenOpensAbove)
{
    Fixture f(CPoint(40, GetSystemMetrics(SM_CYSCREEN) - 90));
    CountedPopup* popup = f.Open();
    ASSERT_NE(nullptr, popup);
    CRect picker, window;
    f.picker.GetWindowRect(&picker);
    popup->GetWindowRect(&window);
    EXPECT_EQ(picker.top, window.bottom);
    EXPECT_EQ(picker.left, window.left);
    popup->SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(f.Closed());
}

// The custom entry's colour dialog: cancelled it ends the popup as a cancel; its custom colours
// come from and go back to the registry section.
TEST(ColourPicker, MoreColoursDialogKeepsCustomColoursInTheRegistry)
{
    CWinApp* app = AfxGetApp();
    LPCWSTR savedKey = app->m_pszRegistryKey;
    LPCWSTR savedProfile = app->m_pszProfileName;
    app->m_pszRegistryKey = L"VyxControlsTests";
    app->m_pszProfileName = L"ColourPicker";
    const wchar_t* section = L"Colours";
    HKEY key = app->GetSectionKey(section);
    ASSERT_NE(nullptr, key);
    DWORD preset = RGB(0x12, 0x34, 0x56);
    RegSetValueExW(key, L"CUSTOM_COLOR_3", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&preset), sizeof(preset));
    RegCloseKey(key);

    for (bool accept : {false, true}) {
        SCOPED_TRACE(accept ? "OK" : "cancel");
        Fixture f;
        f.picker.SetColour(RGB(1, 2, 3));
        f.picker.SetRegSection(section);
        CountedPopup* popup = f.Open();
        ASSERT_NE(nullptr, popup);
        ASSERT_EQ(CColourPopupXP::CellCustom, popup->GetHotCell());
        f.host.log.clear();
        {
            HelperThread driver([accept] {
                HWND dialog = WaitForWindow(
                    [](HWND hWnd) { return IsClass(hWnd, L"#32770") && GetDlgItem(hWnd, IDOK) != nullptr; });
                ASSERT_NE(nullptr, dialog);
                PostMessageW(dialog, WM_COMMAND, accept ? IDOK : IDCANCEL, 0);
            });
            popup->SendMessage(WM_KEYDOWN, VK_RETURN);
        }
        EXPECT_TRUE(f.Closed());
        UINT last = f.ColourMessages().empty() ? 0 : f.ColourMessages().back();
        EXPECT_EQ(accept ? static_cast<UINT>(WMU_COLOUR_SELENDOK) : static_cast<UINT>(WMU_COLOUR_SELENDCANCEL), last);
        EXPECT_EQ(RGB(1, 2, 3), f.picker.GetRawColour());
    }
    key = app->GetSectionKey(section);
    ASSERT_NE(nullptr, key);
    for (int i = 0; i < 16; ++i) {
        CString name;
        name.Format(L"CUSTOM_COLOR_%d", i);
        DWORD value = 0, size = sizeof(value);
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size));
        EXPECT_EQ(i == 3 ? preset : RGB(255, 255, 255), value) << i;
    }
    RegCloseKey(key);
    HKEY software = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, &software);
    app->DelRegTree(software, L"VyxControlsTests");
    RegCloseKey(software);
    app->m_pszRegistryKey = savedKey;
    app->m_pszProfileName = savedProfile;
}

// A hook that refuses every new pop-up window of the thread.
namespace {
HHOOK g_refuser = nullptr;
LRESULT CALLBACK RefusePopups(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        if (create->lpcs->style & WS_POPUP)
            return 1;
    }
    return CallNextHookEx(g_refuser, code, wParam, lParam);
}
} // namespace

TEST(ColourPicker, PopupThatCannotBeMadeIsDeletedAndThePickerStaysClosed)
{
    Fixture f;
    LONG deleted = g_popupsDeleted;
    g_refuser = SetWindowsHookExW(WH_CBT, &RefusePopups, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, g_refuser);
    EXPECT_EQ(nullptr, f.Open());
    UnhookWindowsHookEx(g_refuser);
    EXPECT_FALSE(f.picker.IsPopupOpen());
    EXPECT_EQ(deleted + 1, g_popupsDeleted);
    EXPECT_TRUE(f.ColourMessages().empty());
    // The next click opens one.
    CountedPopup* popup = f.Open();
    ASSERT_NE(nullptr, popup);
    popup->SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(f.Closed());
    EXPECT_TRUE(PumpUntil([&] { return g_popupsDeleted == deleted + 2; }));
}

TEST(ColourPicker, DataExchangeMovesTheRawColour)
{
    Fixture f;
    COLORREF colour = CLR_DEFAULT;
    CDataExchange load(&f.host, FALSE);
    DDX_ColourPicker(&load, 601, colour);
    EXPECT_EQ(CLR_DEFAULT, f.picker.GetRawColour());
    f.picker.SetColour(RGB(9, 8, 7));
    CDataExchange save(&f.host, TRUE);
    DDX_ColourPicker(&save, 601, colour);
    EXPECT_EQ(RGB(9, 8, 7), colour);
}
