// The items the program adds to its menus give no mnemonic twice in a menu, so each key reaches
// one item; titles the user registered show their "&" as it is.
#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "catalogue/VyxFile.h"
#include "common/RealInput.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxUtility.h"
#include "res/resource.h"

#include <atomic>
#include <map>

namespace {

std::vector<CString> Texts(HMENU menu)
{
    std::vector<CString> texts;
    wchar_t text[256];
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        text[0] = 0;
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

// The mnemonics given to more than one item of the menu.
std::vector<wchar_t> Repeated(HMENU menu)
{
    std::map<wchar_t, int> seen;
    for (const CString& text : Texts(menu))
        if (wchar_t mnemonic = MenuMnemonic(text))
            ++seen[mnemonic];
    std::vector<wchar_t> repeated;
    for (const auto& [mnemonic, count] : seen)
        if (count > 1)
            repeated.push_back(mnemonic);
    return repeated;
}

struct ShownMenu
{
    std::vector<CString> texts;
    std::vector<wchar_t> repeated;
    std::vector<CString> applications; // the texts of the applications' sub-menu
};

// The context menu the right button opens at the screen point, read while it shows.
ShownMenu MenuAt(FrameProgram& p, CPoint screen)
{
    ShownMenu shown;
    std::atomic<bool> done{false};
    {
        HelperThread user([&] {
            if (HWND menu = WaitForMenu()) {
                HMENU items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
                shown.texts = Texts(items);
                shown.repeated = Repeated(items);
                for (int i = 0; i < ::GetMenuItemCount(items); ++i)
                    if (HMENU sub = ::GetSubMenu(items, i); sub && ::GetMenuItemID(sub, 0) == 20000)
                        shown.applications = Texts(sub);
            }
            DriveMenu(p.Frame()->GetSafeHwnd(), -1);
            done = true;
        });
        SendClick(screen, MOUSEEVENTF_RIGHTDOWN);
        EXPECT_TRUE(RunLoopUntil([&] { return done.load(); }));
    }
    return shown;
}

} // namespace

TEST(MenuMnemonics, ContextMenusKeepRegisteredTitlesAndGiveEachMnemonicOnce)
{
    FrameProgram p(
        [] {
            WriteAppIniString(L"AppCall", L"App0\\Title", L"R&D Viewer");
            WriteAppIniString(L"AppCall", L"App0\\Cmd", L"viewer.exe");
        },
        false);
    EmptyProgramFolder(p);
    p.m_folder.WriteFile(L"one.jpg", "x");
    p.m_folder.WriteFile(L"two.jpg", "x");
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CKWDoc* doc = p.Document();
    ASSERT_EQ(2, doc->GetItemCount());
    CKWView* grid = ThumbView(p);
    PaintAndIdle(p);
    MakeActive(*p.Frame());
    const CPoint cell = CellPictureOnScreen(*grid, *doc, 0);
    ASSERT_TRUE(ShowsAt(grid->GetSafeHwnd(), cell));

    const std::vector<CString> registered{L"R&&D Viewer"};
    ShownMenu one = MenuAt(p, cell);
    ASSERT_FALSE(one.texts.empty());
    EXPECT_EQ(std::vector<wchar_t>{}, one.repeated);
    EXPECT_EQ(registered, one.applications);
    EXPECT_EQ(L"アプリケーションで開く(&G)", one.texts[2]);

    // Several items: "コンタクトシートの作成(&G)" is the menu's own, the sub-menu takes another key.
    doc->SelectItem(0, TRUE, nullptr);
    doc->SelectItem(1, TRUE, nullptr);
    ShownMenu several = MenuAt(p, cell);
    ASSERT_EQ(2, doc->GetSelectedCount(true));
    ASSERT_FALSE(several.texts.empty());
    EXPECT_EQ(std::vector<wchar_t>{}, several.repeated);
    EXPECT_EQ(registered, several.applications);

    // The file list's menu.
    CListCtrl& rows = ListView(p)->GetListCtrl();
    CRect label;
    ASSERT_TRUE(rows.GetItemRect(0, &label, LVIR_LABEL));
    CPoint row = label.CenterPoint();
    rows.ClientToScreen(&row);
    ASSERT_TRUE(ShowsAt(rows.GetSafeHwnd(), row));
    ShownMenu list = MenuAt(p, row);
    ASSERT_FALSE(list.texts.empty());
    EXPECT_EQ(std::vector<wchar_t>{}, list.repeated);
    EXPECT_EQ(registered, list.applications);
}

TEST(MenuMnemonics, TheColumnsMenuGivesEachMnemonicOnceAndTheSmallCountsTheirDigit)
{
    FrameProgram p;
    CMenu popup;
    popup.CreatePopupMenu();
    ASSERT_TRUE(p.Frame()->BuildDropDownMenu(ID_THUMBS_SMALLER, popup));
    CMenu* columns = popup.GetSubMenu(0);
    ASSERT_NE(nullptr, columns);
    const std::vector<CString> texts = Texts(columns->GetSafeHmenu());
    ASSERT_EQ(15u, texts.size()); // 2 to 16
    EXPECT_EQ(std::vector<wchar_t>{}, Repeated(columns->GetSafeHmenu()));
    for (int n = 2; n <= 9; ++n)
        EXPECT_EQ(L'0' + n, MenuMnemonic(texts[n - 2])) << static_cast<LPCWSTR>(texts[n - 2]);
}
