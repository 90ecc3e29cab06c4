// Menus built from file and folder names show the names as they are on disk: an "&" of a name is
// a character of the item, not the mark of a mnemonic that vanishes and underlines the next letter.
#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "catalogue/VyxFile.h"
#include "common/RealInput.h"
#include "res/resource.h"

#include <atomic>
#include <commctrl.h>

namespace {

// The text a menu item shows: "&&" is one "&", a single "&" marks the mnemonic and is not shown.
CString Shown(const CString& text)
{
    CString shown;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == L'&' && i + 1 < text.GetLength())
            ++i;
        else if (text[i] == L'&')
            continue;
        shown += text[i];
    }
    return shown;
}

CString ShownItem(CMenu& menu, int position)
{
    CString text;
    menu.GetMenuString(position, text, MF_BYPOSITION);
    return Shown(text);
}

// The first item of the context menu that the right button opens at the screen point, as the
// menu shows it; the menu is then closed.
CString FirstItemOfTheMenuAt(FrameProgram& p, CPoint screen)
{
    CString first;
    std::atomic<bool> done{false};
    {
        HelperThread user([&] {
            if (HWND menu = WaitForMenu()) {
                wchar_t text[256] = {};
                GetMenuStringW(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)), 0, text, 256,
                               MF_BYPOSITION);
                first = Shown(text);
            }
            DriveMenu(p.Frame()->GetSafeHwnd(), -1);
            done = true;
        });
        SendClick(screen, MOUSEEVENTF_RIGHTDOWN);
        EXPECT_TRUE(RunLoopUntil([&] { return done.load(); }));
    }
    return first;
}

const wchar_t kName[] = L"amp&and.jpg";

} // namespace

TEST(NameMenus, TheGridAndTheListOfferToOpenANameWithItsAmpersand)
{
    FrameProgram p(nullptr, false);
    EmptyProgramFolder(p);
    p.m_folder.WriteFile(kName, "x");
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CKWDoc* doc = p.Document();
    ASSERT_EQ(1, doc->GetItemCount());
    CKWView* grid = ThumbView(p);
    PaintAndIdle(p);
    MakeActive(*p.Frame());

    // A right press on the cell's picture.
    const CPoint cell = CellPictureOnScreen(*grid, *doc, 0);
    ASSERT_TRUE(ShowsAt(grid->GetSafeHwnd(), cell));
    EXPECT_EQ(CString(kName) + L" を開く", FirstItemOfTheMenuAt(p, cell));

    // A right press on the list's row.
    CLstView* list = ListView(p);
    ASSERT_NE(nullptr, list);
    CListCtrl& rows = list->GetListCtrl();
    ASSERT_EQ(1, rows.GetItemCount());
    CRect label;
    ASSERT_TRUE(rows.GetItemRect(0, &label, LVIR_LABEL));
    CPoint row = label.CenterPoint();
    rows.ClientToScreen(&row);
    ASSERT_TRUE(ShowsAt(rows.GetSafeHwnd(), row));
    EXPECT_EQ(CString(kName) + L" を開く", FirstItemOfTheMenuAt(p, row));
}

TEST(NameMenus, TheTreeAndTheHistoryMenusShowFolderNamesWithTheirAmpersands)
{
    const CString quick = L"C:\\R&D";
    FrameProgram p([&] { WriteAppIniString(L"FolderView", L"QuickAccess0", quick); });
    const CString folder = p.m_folder / L"one&two", next = p.m_folder / L"sub";
    ASSERT_TRUE(CreateDirectoryW(folder, nullptr));
    CFolderView* pane = p.Pane();
    ASSERT_TRUE(pane->GoToPath(folder, FALSE));

    // The tree's menu: opening the folder, and the quick-access folders at the end.
    CMenu menu;
    BOOL exact = FALSE;
    HTREEITEM item = pane->FindItemByPath(folder, nullptr, &exact);
    ASSERT_TRUE(item && exact);
    ASSERT_TRUE(pane->BuildContextMenu(item, menu));
    CMenu* popup = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(folder + L" を開く", ShownItem(*popup, 0));
    EXPECT_EQ(quick, ShownItem(*popup, popup->GetMenuItemCount() - 1));

    // The back button's menu names the folder left.
    ASSERT_TRUE(pane->GoToPath(next, FALSE));
    CMenu back;
    back.CreatePopupMenu();
    ASSERT_TRUE(p.Frame()->BuildDropDownMenu(ID_FOLDER_BACK, back));
    ASSERT_GT(back.GetMenuItemCount(), 0);
    EXPECT_EQ(folder, ShownItem(back, 0));
}
