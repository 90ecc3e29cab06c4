#include "common/ControlTestUtil.h"

#include "controls/CThemeHelperST.h"
#include "controls/CThemeLibEx.h"
#include "controls/CXPStyleButtonST.h"
#include "controls/UxThemeBinder.h"
#include "controls/UxThemeHandle.h"

namespace {

// Puts the program-wide binder on a library for one test and back afterwards.
class BinderOn
{
public:
    explicit BinderOn(LPCWSTR library)
    {
        UxThemeBinder::Release();
        UxThemeBinder::SetLibraryName(library);
    }
    ~BinderOn()
    {
        UxThemeBinder::Release();
        UxThemeBinder::SetLibraryName(nullptr);
    }
};

void ExpectEveryFallback()
{
    HDC dc = GetDC(nullptr);
    RECT rect = {0, 0, 10, 10};
    RECT out = {};
    COLORREF colour = 0;
    int value = 7;
    EXPECT_EQ(nullptr, UxThemeBinder::OpenThemeData(nullptr, L"BUTTON"));
    EXPECT_EQ(nullptr, UxThemeBinder::GetWindowTheme(nullptr));
    EXPECT_EQ(E_FAIL, UxThemeBinder::CloseThemeData(nullptr));
    EXPECT_EQ(E_FAIL, UxThemeBinder::DrawThemeBackground(nullptr, dc, 1, 1, &rect, nullptr));
    EXPECT_EQ(E_FAIL, UxThemeBinder::DrawThemeParentBackground(nullptr, dc, &rect));
    EXPECT_EQ(E_FAIL, UxThemeBinder::GetThemeBackgroundContentRect(nullptr, dc, 1, 1, &rect, &out));
    EXPECT_EQ(E_FAIL, UxThemeBinder::GetThemeColor(nullptr, 1, 1, 1, &colour));
    EXPECT_EQ(E_FAIL, UxThemeBinder::GetThemeInt(nullptr, 1, 1, 1, &value));
    EXPECT_EQ(E_FAIL, UxThemeBinder::SetWindowTheme(nullptr, L"", L""));
    EXPECT_EQ(E_FAIL, UxThemeBinder::EnableTheming(TRUE));
    EXPECT_EQ(0u, UxThemeBinder::GetThemeAppProperties());
    EXPECT_FALSE(UxThemeBinder::GetThemeSysBool(nullptr, 1));
    EXPECT_EQ(nullptr, UxThemeBinder::GetThemeSysColorBrush(nullptr, COLOR_WINDOW));
    EXPECT_EQ(0, UxThemeBinder::GetThemeSysSize(nullptr, 1));
    EXPECT_EQ(RGB(255, 255, 255), UxThemeBinder::GetThemeSysColor(nullptr, COLOR_WINDOW));
    EXPECT_FALSE(UxThemeBinder::IsThemeActive());
    EXPECT_FALSE(UxThemeBinder::IsThemePartDefined(nullptr, 1, 1));
    UxThemeBinder::SetThemeAppProperties(0);
    ReleaseDC(nullptr, dc);
}

int fakeFallbackMarker = 0;

} // namespace

TEST(UxThemeBinder, WithoutTheLibraryEveryWrapperAnswersItsFallbackAndLoadingIsTriedOnce)
{
    BinderOn binder(L"no_such_theme_library.dll");
    ExpectEveryFallback();
    EXPECT_FALSE(UxThemeBinder::IsLibraryAvailable());
    void* fallback = &fakeFallbackMarker;
    EXPECT_EQ(fallback, UxThemeBinder::GetProcAddress("IsAppThemed", fallback));
    // A library that failed to load is not tried again until the release.
    UxThemeBinder::SetLibraryName(L"fake_uxtheme.dll");
    EXPECT_FALSE(UxThemeBinder::IsLibraryAvailable());
    EXPECT_FALSE(UxThemeBinder::IsAppThemed());
    UxThemeBinder::Release();
    ResetFakeTheme();
    EXPECT_TRUE(UxThemeBinder::IsLibraryAvailable());
    EXPECT_TRUE(UxThemeBinder::IsAppThemed());
    EXPECT_NE(fallback, UxThemeBinder::GetProcAddress("IsAppThemed", fallback));
}

TEST(UxThemeBinder, ThemeHandleClosesWhatItHolds)
{
    BinderOn binder(L"fake_uxtheme.dll");
    FakeThemeState* fake = ResetFakeTheme();
    ASSERT_NE(nullptr, fake);
    {
        UxThemeHandle handle(nullptr, L"EDIT");
        EXPECT_FALSE(handle.IsNull());
        EXPECT_TRUE(handle.Open(nullptr, L"COMBOBOX"));
        EXPECT_EQ(1, fake->closed);
        HTHEME detached = handle.Detach();
        EXPECT_TRUE(handle.IsNull());
        handle.Attach(detached);
        EXPECT_EQ(1, fake->closed);
    }
    EXPECT_EQ(2, fake->opened);
    EXPECT_EQ(2, fake->closed);
}

// The partial library answers "themed" but lacks the drawing entries.
TEST(ThemeFallbacks, MissingEntryOfALoadedLibraryUsesItsFallback)
{
    {
        BinderOn binder(L"fake_uxtheme_partial.dll");
        ResetFakeTheme(L"fake_uxtheme_partial.dll");
        EXPECT_TRUE(UxThemeBinder::IsAppThemed());
        RECT rect = {0, 0, 4, 4};
        EXPECT_EQ(E_FAIL, UxThemeBinder::DrawThemeBackground(nullptr, nullptr, 1, 1, &rect, nullptr));
        EXPECT_EQ(RGB(255, 255, 255), UxThemeBinder::GetThemeSysColor(nullptr, 1));
    }
    // A library with none of the entries at all.
    CThemeHelperST helper(L"kernel32.dll");
    EXPECT_EQ(nullptr, helper.OpenThemeData(nullptr, L"BUTTON"));
    EXPECT_EQ(E_FAIL, helper.CloseThemeData(nullptr));
    RECT rect = {0, 0, 4, 4};
    EXPECT_EQ(E_FAIL, helper.DrawThemeBackground(nullptr, GetDesktopWindow(), nullptr, 1, 1, &rect, nullptr));
    EXPECT_EQ(E_FAIL, helper.DrawThemeText(nullptr, nullptr, 1, 1, L"x", 1, 0, 0, &rect));
    EXPECT_FALSE(helper.IsAppThemed());
    EXPECT_FALSE(helper.IsThemeActive());

    TreePropSheet::CThemeLibEx lib(L"kernel32.dll");
    ASSERT_TRUE(lib.IsAvailable());
    COLORREF colour = 0;
    RECT content = {};
    EXPECT_FALSE(lib.IsAppThemed());
    EXPECT_FALSE(lib.IsThemeActive());
    EXPECT_EQ(nullptr, lib.OpenThemeData(nullptr, L"TAB"));
    EXPECT_EQ(E_FAIL, lib.CloseThemeData(nullptr));
    EXPECT_EQ(E_FAIL, lib.GetThemeBackgroundContentRect(nullptr, nullptr, 1, 1, &rect, &content));
    EXPECT_EQ(E_FAIL, lib.DrawThemeBackground(nullptr, nullptr, 1, 1, &rect, nullptr));
    EXPECT_EQ(E_FAIL, lib.GetThemeColor(nullptr, 1, 1, 1, &colour));

    TreePropSheet::CThemeLibEx missing(L"no_such_theme_library.dll");
    EXPECT_FALSE(missing.IsAvailable());
}

TEST(ThemeFallbacks, ThemeLibExPassesTheBoundEntriesThrough)
{
    ResetFakeTheme();
    TreePropSheet::CThemeLibEx lib(L"fake_uxtheme.dll");
    ASSERT_TRUE(lib.IsAvailable());
    EXPECT_TRUE(lib.IsThemeActive());
    HTHEME theme = lib.OpenThemeData(nullptr, L"TAB");
    ASSERT_NE(nullptr, theme);
    RECT bounds = {0, 0, 20, 20}, content = {};
    EXPECT_EQ(S_OK, lib.GetThemeBackgroundContentRect(theme, nullptr, 9, 1, &bounds, &content));
    EXPECT_EQ(CRect(2, 2, 18, 18), CRect(content));
    COLORREF colour = 0;
    EXPECT_EQ(S_OK, lib.GetThemeColor(theme, 1, 1, 1, &colour));
    EXPECT_EQ(RGB(10, 20, 30), colour);
    EXPECT_EQ(S_OK, lib.CloseThemeData(theme));
}

namespace {

class TestXPButton : public CXPStyleButtonST
{
public:
    void Paint(CDC* dc, UINT state) { PaintButton(dc, state, CRect(0, 0, 60, 30), FALSE); }
    void SetHot(BOOL hot) { m_bMouseOnButton = hot; }
};

} // namespace

TEST(XPStyleButton, ThemedFaceUsesTheClassAndStateOfTheButton)
{
    FakeThemeState* fake = ResetFakeTheme();
    ASSERT_NE(nullptr, fake);
    CThemeHelperST helper(L"fake_uxtheme.dll");
    CLogHostWnd host;
    struct Case
    {
        DWORD type;
        BOOL toolbar;
        BOOL borderOnFlat;
        UINT state;
        BOOL hot;
        LPCWSTR themeClass;
        int themeState;
    };
    const Case cases[] = {
        {BS_PUSHBUTTON, FALSE, FALSE, 0, FALSE, L"BUTTON", 1},
        {BS_PUSHBUTTON, TRUE, FALSE, 0, FALSE, L"TOOLBAR", 1},
        {BS_PUSHBUTTON, TRUE, FALSE, ODS_DISABLED | ODS_SELECTED, TRUE, L"TOOLBAR", 4},
        {BS_PUSHBUTTON, TRUE, FALSE, ODS_SELECTED, TRUE, L"TOOLBAR", 3},
        {BS_PUSHBUTTON, FALSE, FALSE, 0, TRUE, L"BUTTON", 2},
        {BS_DEFPUSHBUTTON, FALSE, FALSE, 0, FALSE, L"BUTTON", 5},
        // Drawn as tool bar, default, border-on-flat clear: the plain state.
        {BS_DEFPUSHBUTTON, TRUE, FALSE, 0, FALSE, L"TOOLBAR", 1},
        {BS_DEFPUSHBUTTON, TRUE, TRUE, 0, FALSE, L"TOOLBAR", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.themeState << " " << CStringA(c.themeClass).GetString());
        TestXPButton button;
        ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | c.type, CRect(0, 0, 60, 30), &host, 10));
        button.SetThemeHelper(&helper);
        button.DrawAsToolbar(c.toolbar, FALSE);
        button.SetBorderOnFlat(c.borderOnFlat, FALSE);
        button.SetHot(c.hot);
        int drawn = fake->drawn, parent = fake->parentDrawn, closed = fake->closed;
        MemoryCanvas canvas(60, 30);
        button.Paint(canvas.DC(), c.state);
        EXPECT_EQ(drawn + 1, fake->drawn);
        EXPECT_EQ(parent + 1, fake->parentDrawn);
        EXPECT_EQ(closed + 1, fake->closed);
        EXPECT_STREQ(c.themeClass, fake->lastClass);
        EXPECT_EQ(1, fake->lastPart);
        EXPECT_EQ(c.themeState, fake->lastState);
        // Nothing but the theme's part forms the face and frame.
        EXPECT_EQ(FakeThemeColour(c.themeState), canvas.Pixel(1, 1));
    }
}

TEST(XPStyleButton, WithoutATheme_PaintsLikeThePlainButton)
{
    CLogHostWnd host;
    CThemeHelperST missing(L"no_such_theme_library.dll");
    FakeThemeState* fake = ResetFakeTheme();
    ASSERT_NE(nullptr, fake);
    fake->themed = FALSE;
    CThemeHelperST unthemed(L"fake_uxtheme.dll");
    for (CThemeHelperST* helper : {&missing, &unthemed, static_cast<CThemeHelperST*>(nullptr)}) {
        TestXPButton themedButton;
        CButtonST plainButton;
        ASSERT_TRUE(themedButton.Create(L"Ａ", WS_CHILD | WS_VISIBLE, CRect(0, 0, 60, 30), &host, 11));
        ASSERT_TRUE(plainButton.Create(L"Ａ", WS_CHILD | WS_VISIBLE, CRect(0, 40, 60, 70), &host, 12));
        themedButton.SetThemeHelper(helper);
        MemoryCanvas themedCanvas(60, 30), plainCanvas(60, 30);
        for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
            themedButton.Paint(themedCanvas.DC(), state);
            plainButton.PaintButton(plainCanvas.DC(), state, CRect(0, 0, 60, 30), FALSE);
            EXPECT_TRUE(themedCanvas.SameAs(plainCanvas)) << "state " << state;
        }
    }
    EXPECT_EQ(0, fake->drawn);
}

TEST(XPStyleButton, HelperThatIsNotThemedSetsBorderOnFlatAgain)
{
    CLogHostWnd host;
    FakeThemeState* fake = ResetFakeTheme();
    CThemeHelperST helper(L"fake_uxtheme.dll");
    TestXPButton button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, CRect(0, 0, 60, 30), &host, 10));
    button.DrawAsToolbar(TRUE, FALSE);
    button.SetThemeHelper(&helper);
    EXPECT_EQ(1, button.ThemeState());
    fake->themed = FALSE;
    button.SetThemeHelper(&helper);
    EXPECT_EQ(5, button.ThemeState());
}
