// The menu images of the main window's other commands (bitmap 243): a pictogram for each command
// the menus show, the tool bar's picture for a command it also shows, one picture for two entries
// of the same command, and nothing in the places of ids no menu shows.
#include <gtest/gtest.h>

#include "common/ImageStrip.h"
#include "res/resource.h"

using namespace imagestrip;

namespace {

const int kImages = 31;

// Places in bitmap 243, in the order of the ids the application maps to it.
enum {
    SaveCache = 0,
    FileNew = 1,
    FileOpen = 2,
    NetConnect = 3,
    NetDisconnect = 4,
    Cut = 5,
    Copy = 6,
    Paste = 7,
    Undo = 8,
    About = 9,
    ContextHelp = 10,
    LargeIcons = 11,
    SmallIcons = 12,
    List = 13,
    Details = 14,
    PictureCopy = 18,
    QuickAccess = 19,
    FolderCreate = 24,
    FolderDelete = 25,
    CurrentFolderNew = 27,
    CurrentFolderDelete = 28,
    Tile = 29,
    MainWindow = 30,
};

// The ids without a command of the program: 32777, 10015, 10014, 10047, 10082, 10083, 10084, 10122.
const int kNoCommand[] = {15, 16, 17, 20, 21, 22, 23, 26};

// Places of the main tool bar's bitmap showing the same commands.
const int kToolBarCopy = 28, kToolBarPaste = 29;

} // namespace

TEST(MenuImages, EveryCommandOfTheMenusHasAPictogramAndSameCommandsShareOne)
{
    const Strip menu = LoadStrip(IDB_MENU_IMAGES_243);
    const Strip toolBar = LoadStrip(IDB_MAIN_TOOLBAR);
    ASSERT_EQ(kSide * kImages, menu.width);
    ASSERT_EQ(kSide, menu.height);
    ASSERT_GT(toolBar.width, kSide * kToolBarPaste);

    const int named[] = {SaveCache, FileNew,     FileOpen,    NetConnect,   NetDisconnect, Cut,        Copy,
                         Paste,     Undo,        About,       ContextHelp,  LargeIcons,    SmallIcons, List,
                         Details,   PictureCopy, QuickAccess, FolderCreate, FolderDelete,  Tile,       MainWindow};
    for (int a : named) {
        // A pictogram on the mask colour, neither empty nor a filled square.
        EXPECT_GT(menu.Drawn(a), 20) << a;
        EXPECT_LT(menu.Drawn(a), kSide * kSide - 8) << a;
        for (int b : named)
            EXPECT_TRUE(b <= a || !menu.Same(a, b, 0)) << a << " " << b;
    }
    // One command, one picture: in the tool bar and in the menus, and for the folder pane's and
    // the file menu's entries that make and delete a folder.
    EXPECT_TRUE(SameImage(menu, Copy, toolBar, kToolBarCopy));
    EXPECT_TRUE(SameImage(menu, Paste, toolBar, kToolBarPaste));
    EXPECT_TRUE(menu.Same(FolderCreate, CurrentFolderNew, 0));
    EXPECT_TRUE(menu.Same(FolderDelete, CurrentFolderDelete, 0));
    for (int place : kNoCommand)
        EXPECT_EQ(0, menu.Drawn(place)) << place;
}
