// Alt+F4 closes the main window wherever the keyboard focus is, as the title bar's close button
// does: after a folder was chosen in the tree, in the grid, in the list and in the jump bar.
#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "catalogue/VyxFile.h"
#include "common/RealInput.h"

namespace {

// The screen point of a folder's label in the tree.
bool TreePoint(FrameProgram& p, const CString& path, CPoint& screen)
{
    BOOL exact = FALSE;
    HTREEITEM item = p.Pane()->FindItemByPath(path, nullptr, &exact);
    if (!item || !exact)
        return false;
    CTreeCtrl& tree = p.Pane()->GetTreeCtrl();
    tree.EnsureVisible(item);
    CRect label;
    if (!tree.GetItemRect(item, &label, TRUE))
        return false;
    screen = label.CenterPoint();
    tree.ClientToScreen(&screen);
    return ShowsAt(tree.GetSafeHwnd(), screen);
}

} // namespace

TEST(CloseKey, AltF4ClosesTheMainWindowAfterAFolderWasChosenInTheTree)
{
    FrameProgram p;
    const CString sub = p.m_folder / L"sub";
    MakeActive(*p.Frame());
    CPoint point;
    ASSERT_TRUE(TreePoint(p, sub, point));
    ASSERT_TRUE(ClickOnScreen(point, [&] { return p.Document()->GetLocationPath().CompareNoCase(sub) == 0; }));
    ASSERT_EQ(p.Pane()->GetTreeCtrl().GetSafeHwnd(), ::GetFocus());
    const HWND frame = p.Frame()->GetSafeHwnd();
    SendKey(VK_F4, VK_MENU);
    EXPECT_TRUE(RunLoopUntil([frame] { return !IsWindow(frame); }, 60000)) << "the window stays";
    p.Close();
}

TEST(CloseKey, AltF4ClosesTheMainWindowFromTheGridAndTheList)
{
    for (int place = 0; place < 2; ++place) {
        FrameProgram p;
        MakeActive(*p.Frame());
        CPoint point;
        HWND target = nullptr;
        if (place == 0) {
            CKWView* grid = ThumbView(p);
            PaintAndIdle(p);
            VyxFile* item = p.Document()->GetItem(0);
            ASSERT_NE(nullptr, item);
            point = grid->GetLayout().GetCellOrigin(0) - grid->GetScrollOffset() + item->GetCellRect().CenterPoint();
            grid->ClientToScreen(&point);
            target = grid->GetSafeHwnd();
        } else {
            CListCtrl& rows = ListView(p)->GetListCtrl();
            CRect label;
            ASSERT_TRUE(rows.GetItemRect(0, &label, LVIR_LABEL));
            point = label.CenterPoint();
            rows.ClientToScreen(&point);
            target = rows.GetSafeHwnd();
        }
        ASSERT_TRUE(ShowsAt(target, point)) << place;
        ASSERT_TRUE(ClickOnScreen(point, [&] { return ::GetFocus() == target; })) << place;
        const HWND frame = p.Frame()->GetSafeHwnd();
        SendKey(VK_F4, VK_MENU);
        EXPECT_TRUE(RunLoopUntil([frame] { return !IsWindow(frame); }, 60000)) << "the window stays, " << place;
        p.Close();
    }
}
