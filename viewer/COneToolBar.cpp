#include "viewer/COneToolBar.h"

#include "res/resource.h"

namespace {

// Command ids in bar order, 0 for a separator. Three buttons take the last images of the strip
// (24, 25, 26); the others take the images from 0 in their order.
const UINT kCommands[COneToolBar::ButtonCount] = {
    10104, 10105, 10077, 0,     57607, 10107, 0, 10101, 10100, 0,     10118, 10044, 10211, 10212, 10169, 10210, 10235,
    10236, 0,     10168, 10076, 10208, 10194, 0, 10002, 0,     32787, 32788, 32796, 32789, 32790, 0,     10220, 10219,
};

int ImageOf(UINT command, int& nextImage)
{
    switch (command) {
    case 10235:
        return 24;
    case 10236:
        return 25;
    case 10194:
        return 26;
    default:
        return nextImage++;
    }
}

} // namespace

void COneToolBar::Init()
{
    const UINT none = static_cast<UINT>(-1);
    SetBitmaps(IDB_MENU_IMAGES_241, IDB_PICTURE_TOOLBAR_HOT, none, none, none, none, 0, RGB(255, 0, 255));
    TBBUTTONEX buttons[ButtonCount] = {};
    int nextImage = 0;
    for (int i = 0; i < ButtonCount; ++i) {
        TBBUTTON& button = buttons[i].tbinfo;
        button.idCommand = static_cast<int>(kCommands[i]);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = kCommands[i] ? BTNS_BUTTON : BTNS_SEP;
        button.iBitmap = kCommands[i] ? ImageOf(kCommands[i], nextImage) : 0;
        buttons[i].bInitiallyVisible = TRUE;
    }
    SetButtons(ButtonCount, buttons, 2);
}

BOOL COneToolBar::IsIconOptionAvailable(int nIconOption) const
{
    // Only small images exist.
    return nIconOption == 0;
}
