#include "KitTestUtil.h"

#include "common/LongNames.h"
#include "common/WindowTestUtil.h"
#include "controls/CRecentFileListEx.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

struct VersionCase
{
    DWORD platform;
    DWORD major;
    DWORD minor;
    int expected;
};

TEST(AppBase, WindowsVersionClassFollowsPlatformAndVersion)
{
    const VersionCase cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 0},  {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 1},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 1}, {VER_PLATFORM_WIN32_NT, 3, 51, 2},
        {VER_PLATFORM_WIN32_NT, 4, 0, 2},       {VER_PLATFORM_WIN32_NT, 5, 0, 3},
        {VER_PLATFORM_WIN32_NT, 5, 1, 4},       {VER_PLATFORM_WIN32_NT, 5, 2, 4},
        {VER_PLATFORM_WIN32_NT, 6, 1, 4},       {VER_PLATFORM_WIN32s, 3, 1, 5},
    };
    for (const VersionCase& c : cases)
        EXPECT_EQ(c.expected, VyxWinAppEx::ClassifyWindowsVersion(c.platform, c.major, c.minor))
            << c.platform << " " << c.major << "." << c.minor;
}

TEST(AppBase, NtVersionsSixAndLaterGetTheNewestClass)
{
    // Wine reports 6.1; systems after it report 6.2 to 10.0.
    for (DWORD major : {6u, 7u, 10u, 11u})
        EXPECT_EQ(4, VyxWinAppEx::ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, major, 0)) << major;
    EXPECT_EQ(4, VyxWinAppEx::ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 10, 0));
    ScopedKitApp app;
    EXPECT_EQ(4, app->GetWindowsVersionClass());
    EXPECT_TRUE(app->IsMenuImagesEnabled());
}

TEST(AppBase, EffectQueriesCombineTheCachedSettings)
{
    ScopedKitApp app;
    app->SetFlatMenu(TRUE);
    EXPECT_TRUE(app->IsFlatMenu());
    app->SetFlatMenu(FALSE);
    EXPECT_FALSE(app->IsFlatMenu());
    // On the newer classes the animation needs the UI effects too.
    app->SetMenuAnimation(TRUE);
    EXPECT_FALSE(app->IsMenuAnimation());
    app->SetVersionClass(1);
    EXPECT_TRUE(app->IsMenuAnimation());
    EXPECT_GT(app->GetNonClientMetrics().iMenuHeight, 0);
}

TEST(AppBase, BitmapImagesAreMappedFromTheFirstNewIndex)
{
    ScopedKitApp app;
    CMap<UINT, UINT, int, int> map;
    map.SetAt(500, 0);
    map.SetAt(501, 2);
    app->AddMenuImages(map, IDB_PREVIEW_TOOLBAR, RGB(255, 0, 255));
    EXPECT_EQ(7, app->MenuImageCount());
    EXPECT_EQ(0, app->GetMenuImage(500));
    EXPECT_EQ(2, app->GetMenuImage(501));
    EXPECT_EQ(-1, app->GetMenuImage(502));
    // A second bitmap is appended behind the first.
    CMap<UINT, UINT, int, int> more;
    more.SetAt(600, 1);
    app->AddMenuImages(more, IDB_PREVIEW_TOOLBAR_HOT, RGB(255, 0, 255));
    EXPECT_EQ(8, app->GetMenuImage(600));
    // An icon replaces the image of a command that has one, else is appended.
    HICON icon = MakeSolidIcon(RGB(0, 128, 0));
    app->SetMenuIcon(500, icon);
    EXPECT_EQ(0, app->GetMenuImage(500));
    EXPECT_EQ(14, app->MenuImageCount());
    app->SetMenuIcon(700, icon);
    EXPECT_EQ(14, app->GetMenuImage(700));
    app->RemoveMenuImage(700);
    EXPECT_EQ(-1, app->GetMenuImage(700));
    DestroyIcon(icon);
}

TEST(AppBase, FilesOfOneTypeShareOneShellIcon)
{
    ScopedKitApp app;
    const int before = app->MenuImageCount();
    app->AddMenuFileIcon(800, L"C:\\one.txt");
    app->AddMenuFileIcon(801, L"C:\\two.txt");
    ASSERT_GE(app->GetMenuImage(800), 0);
    EXPECT_EQ(app->GetMenuImage(800), app->GetMenuImage(801));
    EXPECT_EQ(before + 1, app->MenuImageCount());
}

UINT ItemStyle(HMENU menu, UINT id, HBITMAP* bitmap)
{
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_BITMAP;
    GetMenuItemInfoW(menu, id, FALSE, &item);
    *bitmap = item.hbmpItem;
    MENUINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    GetMenuInfo(menu, &info);
    return info.dwStyle;
}

TEST(AppBase, PrepareMarksOnlyImagedCommandsAndTheCheckColumn)
{
    ScopedKitApp app;
    HICON icon = MakeSolidIcon(RGB(200, 0, 0));
    app->AddMenuIcon(100, icon);
    app->AddMenuIcon(110, icon);
    DestroyIcon(icon);
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 100, L"imaged");
    menu.AppendMenu(MF_STRING, 101, L"plain");
    menu.AppendMenu(MF_SEPARATOR);
    HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 110, L"imaged below");
    menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"sub");

    app->PrepareMenuImages(&menu, FALSE);
    HBITMAP bitmap = nullptr;
    EXPECT_TRUE(ItemStyle(menu, 100, &bitmap) & MNS_CHECKORBMP);
    EXPECT_EQ(HBMMENU_CALLBACK, bitmap);
    ItemStyle(menu, 101, &bitmap);
    EXPECT_EQ(nullptr, bitmap);
    // Not recursing leaves the submenu alone.
    EXPECT_FALSE(ItemStyle(sub, 110, &bitmap) & MNS_CHECKORBMP);
    EXPECT_EQ(nullptr, bitmap);
    app->PrepareMenuImages(&menu, TRUE);
    EXPECT_TRUE(ItemStyle(sub, 110, &bitmap) & MNS_CHECKORBMP);
    EXPECT_EQ(HBMMENU_CALLBACK, bitmap);

    // A checked imaged item needs the check column: the style goes.
    menu.CheckMenuItem(100, MF_CHECKED);
    app->PrepareMenuImages(&menu, FALSE);
    EXPECT_FALSE(ItemStyle(menu, 100, &bitmap) & MNS_CHECKORBMP);
    // Disabled images: nothing is touched.
    menu.CheckMenuItem(100, MF_UNCHECKED);
    app->EnableMenuImages(FALSE);
    app->PrepareMenuImages(&menu, FALSE);
    EXPECT_FALSE(ItemStyle(menu, 100, &bitmap) & MNS_CHECKORBMP);
}

class CTrackingProbe : public CTestHostWnd
{
public:
    HWND seenWindow = nullptr;
    HMENU seenMenu = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITMENUPOPUP) {
            seenWindow = AfxGetThreadState()->m_hTrackingWindow;
            seenMenu = AfxGetThreadState()->m_hTrackingMenu;
        }
        return CTestHostWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(AppBase, TrackMenuMakesTheOwnerTheTrackingWindowMeanwhile)
{
    ScopedKitApp app;
    CTrackingProbe owner;
    ASSERT_TRUE(MakeActive(owner));
    AFX_THREAD_STATE* state = AfxGetThreadState();
    // An outer tracking record, as a menu of another window would have left it.
    HWND outerWindow = GetDesktopWindow();
    HMENU outerMenu = reinterpret_cast<HMENU>(0x1234);
    state->m_hTrackingWindow = outerWindow;
    state->m_hTrackingMenu = outerMenu;
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 100, L"one");
    UINT command = 0;
    {
        HelperThread helper([&] { DriveMenu(owner.m_hWnd, 1); });
        command = app->TrackMenu(menu, TPM_RETURNCMD, 50, 50, &owner, nullptr);
    }
    EXPECT_EQ(100u, command);
    EXPECT_EQ(owner.m_hWnd, owner.seenWindow);
    EXPECT_EQ(menu.m_hMenu, owner.seenMenu);
    EXPECT_EQ(outerWindow, state->m_hTrackingWindow);
    EXPECT_EQ(outerMenu, state->m_hTrackingMenu);
    state->m_hTrackingWindow = nullptr;
    state->m_hTrackingMenu = nullptr;
}

TEST(AppBase, RecentFilesGetTheExtendedListWithTheirEntries)
{
    ScopedKitApp app;
    app->WriteProfileString(L"Recent File List", L"File1", L"C:\\one.txt");
    app->WriteProfileString(L"Recent File List", L"File2", L"C:\\two.txt");
    app->LoadStdProfileSettings(4);
    auto* list = dynamic_cast<CRecentFileListEx*>(app->m_pRecentFileList);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(L"C:\\one.txt", (*list)[0]);
    EXPECT_EQ(L"C:\\two.txt", (*list)[1]);
    // Its menu entries carry the files' icons.
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, ID_FILE_MRU_FILE1, L"recent");
    CCmdUI update;
    update.m_pMenu = &menu;
    update.m_nID = ID_FILE_MRU_FILE1;
    update.m_nIndex = 0;
    update.m_nIndexMax = 1;
    list->UpdateMenu(&update);
    EXPECT_GE(app->GetMenuImage(ID_FILE_MRU_FILE1), 0);
    EXPECT_EQ(app->GetMenuImage(ID_FILE_MRU_FILE1), app->GetMenuImage(ID_FILE_MRU_FILE1 + 1));
    app->WriteProfileString(L"Recent File List", nullptr, nullptr);
}

} // namespace

TEST(AppBase, TheProgramsCommandImagesGoInWhenAMenuFirstAsksForThem)
{
    ScopedKitApp app;
    app->m_giveImages = true;
    // Made without them: no menu shows when a program starts.
    EXPECT_EQ(0, app->m_imageLoads);
    EXPECT_EQ(1, app->GetMenuImage(900));
    EXPECT_EQ(1, app->m_imageLoads);
    // Added once; images added later go behind them.
    CMap<UINT, UINT, int, int> more;
    more.SetAt(901, 0);
    app->AddMenuImages(more, IDB_PREVIEW_TOOLBAR_HOT, RGB(255, 0, 255));
    EXPECT_EQ(7, app->GetMenuImage(901));
    EXPECT_EQ(1, app->GetMenuImage(900));
    EXPECT_EQ(1, app->m_imageLoads);
}

namespace {

// The class library's own boxes fit the work area as the program's do: a reported file exception
// names the file, whose path may be as long as a path gets.
TEST(AppBase, AReportedExceptionOfTheLongestPathShowsABoxThatFitsTheWorkArea)
{
    ScopedKitApp app;
    for (const longnames::Inserts& names : longnames::All()) {
        SCOPED_TRACE(names.what);
        CFileException error(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, names.path);
        const SeenMessageBox box = LookAtMessageBox([&] { error.ReportError(); });
        ASSERT_TRUE(box.seen);
        EXPECT_TRUE(box.whole) << "box " << box.rect.left << "," << box.rect.top << " - " << box.rect.right << ","
                               << box.rect.bottom;
        EXPECT_EQ(names.path + L" が見つかりません。", Joined(box.text));
    }
}

} // namespace
