// The picture window's menu bar shows every title: maximised, beside the tool bar, and in a window
// that follows a small picture; the arrow keys go from one menu to the next across all of them.
#include "PictureWindowTestUtil.h"
#include "common/RealInput.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct Titles
{
    int shown = 0;
    int clipped = 0;
    bool chevron = false; // the menu band shows its chevron
};

// The menu bar's titles laid out, and how many of them lie past its end (behind the chevron).
Titles MenuTitles(COneWnd* window)
{
    Titles titles;
    CWnd* bar = window->GetDescendantWindow(AFX_IDW_MENUBAR);
    if (!bar)
        return titles;
    CRect client;
    bar->GetClientRect(&client);
    const int count = static_cast<int>(bar->SendMessage(TB_BUTTONCOUNT));
    for (int i = 0; i < count; ++i) {
        CRect item;
        if (!bar->SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)) ||
            item.IsRectEmpty())
            continue;
        ++titles.shown;
        if (item.right > client.right)
            ++titles.clipped;
    }
    // The chevron stands at the band's right end.
    HWND bands = ::GetParent(bar->m_hWnd);
    CRect band;
    const int index = static_cast<int>(::SendMessageW(bands, RB_IDTOINDEX, AFX_IDW_MENUBAR, 0));
    if (index >= 0 && ::SendMessageW(bands, RB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&band))) {
        RBHITTESTINFO hit = {{band.right - 4, band.CenterPoint().y}, 0, -1};
        ::SendMessageW(bands, RB_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        titles.chevron = hit.iBand == index && hit.flags == RBHT_CHEVRON;
        // Wine's hit test need not report it: the band shows it while the bar has less room
        // than the band's ideal width.
        REBARBANDINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = RBBIM_IDEALSIZE | RBBIM_STYLE;
        CRect shown;
        bar->GetWindowRect(&shown);
        if (::SendMessageW(bands, RB_GETBANDINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info)) &&
            (info.fStyle & RBBS_USECHEVRON) && shown.Width() < static_cast<int>(info.cxIdeal))
            titles.chevron = true;
    }
    return titles;
}

// The first item of the popup menu that shows now; empty when none does.
CString OpenMenuFirstItem()
{
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu))
        return CString();
    wchar_t text[128] = {};
    GetMenuStringW(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)), 0, text, 128, MF_BYPOSITION);
    return text;
}

BOOL CALLBACK CountMenu(HWND window, LPARAM count)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && wcscmp(name, L"#32768") == 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// How many popup menus show now: the chevron's list with a menu beside it counts two.
int OpenMenuCount()
{
    int count = 0;
    EnumWindows(CountMenu, reinterpret_cast<LPARAM>(&count));
    return count;
}

// The menu's titles once the window, following the size of what it shows, shows the picture;
// its width in *width.
Titles TitlesShowing(PictureWindows& w, COneWnd* window, const wchar_t* name, int* width)
{
    window->ShowPicture(w.Index(name));
    EXPECT_EQ(CString(name), ShownName(window));
    window->RecalcLayout();
    CRect rect;
    window->GetWindowRect(&rect);
    *width = rect.Width();
    return MenuTitles(window);
}

} // namespace

TEST(PictureMenuBar, EveryTitleShowsMaximisedAndTheArrowKeysReachThemAll)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    window->ShowWindow(SW_MAXIMIZE);
    ASSERT_TRUE(RunLoopUntil([&] { return window->IsZoomed() != FALSE; }));
    window->RecalcLayout();
    const Titles titles = MenuTitles(window);
    EXPECT_EQ(6, titles.shown);
    EXPECT_EQ(0, titles.clipped);
    EXPECT_FALSE(titles.chevron);

    // From 表示 the right arrow opens オプション, not the chevron's list.
    ASSERT_TRUE(MakeActive(*window));
    std::atomic<bool> done{false};
    CString view, options;
    int menusOpen = 0;
    {
        HelperThread user([&] {
            SendKey('V', VK_MENU);
            WaitUntil([] { return !OpenMenuFirstItem().IsEmpty(); });
            view = OpenMenuFirstItem();
            SendKey(VK_RIGHT);
            WaitUntil([&] { return OpenMenuFirstItem() != view && !OpenMenuFirstItem().IsEmpty(); });
            options = OpenMenuFirstItem();
            menusOpen = OpenMenuCount();
            SendKey(VK_ESCAPE);
            SendKey(VK_ESCAPE);
            done = true;
        });
        EXPECT_TRUE(RunLoopUntil([&] { return done.load(); }));
    }
    EXPECT_EQ(CString(L"先頭画像(&T)\tHome"), view);
    EXPECT_EQ(CString(L"表示モード設定(&O)\tCtrl+O"), options);
    EXPECT_EQ(1, menusOpen);
}

TEST(PictureMenuBar, AWindowFollowingASmallPictureKeepsRoomForEveryTitle)
{
    PictureWindows w(false);
    viewertest::WriteBmp(w.program.m_folder / L"s.bmp", 40, 30, RGB(0, 128, 0));
    ASSERT_TRUE(w.program.Start(w.program.m_folder.Path()));
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    window->SendMessage(WM_COMMAND, ID_PICTURE_FIT_FOLLOW);
    int width = 0;
    const Titles titles = TitlesShowing(w, window, L"s.bmp", &width);
    EXPECT_EQ(6, titles.shown);
    EXPECT_EQ(0, titles.clipped) << width;
    EXPECT_FALSE(titles.chevron);
}

// Fitted from a picture wide enough for the whole menu, the band had no chevron to count: the
// width must still cover the border around the bands, or the chevron comes back for those pixels.
TEST(PictureMenuBar, ASmallPictureAfterAWideOneShowsNoChevron)
{
    PictureWindows w(false);
    viewertest::WriteBmp(w.program.m_folder / L"s.bmp", 40, 30, RGB(0, 128, 0));
    viewertest::WriteBmp(w.program.m_folder / L"w.bmp", 900, 60, RGB(0, 0, 128));
    ASSERT_TRUE(w.program.Start(w.program.m_folder.Path()));
    COneWnd* window = w.Open(L"w.bmp");
    ASSERT_NE(nullptr, window);
    window->SendMessage(WM_COMMAND, ID_PICTURE_FIT_FOLLOW);
    window->ShowPicture(w.Index(L"w.bmp"));
    window->RecalcLayout();
    ASSERT_FALSE(MenuTitles(window).chevron);
    for (const wchar_t* name : {L"s.bmp", L"w.bmp", L"s.bmp"}) {
        int width = 0;
        const Titles titles = TitlesShowing(w, window, name, &width);
        EXPECT_EQ(0, titles.clipped) << name;
        EXPECT_FALSE(titles.chevron) << name << " in a window " << width << " wide";
    }
}
