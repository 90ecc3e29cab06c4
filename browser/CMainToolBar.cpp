#include "browser/CMainToolBar.h"

#include "res/resource.h"

namespace {

struct ButtonRow
{
    int image;
    UINT command;
    BYTE style;
};

const BYTE kButton = BTNS_BUTTON;
const BYTE kDrop = BTNS_DROPDOWN;
const BYTE kSeparator = BTNS_SEP;

const ButtonRow kButtons[CMainToolBar::ButtonCount] = {
    {0, 10124, kDrop},    {1, 10125, kDrop},    {2, 32774, kButton},  {3, 32773, kButton},  {27, 10257, kButton},
    {0, 0, kSeparator},   {4, 10005, kButton},  {5, 10006, kButton},  {6, 10009, kButton},  {7, 10126, kButton},
    {0, 0, kSeparator},   {28, 57634, kButton}, {29, 57637, kButton}, {0, 0, kSeparator},   {8, 10007, kButton},
    {0, 0, kSeparator},   {9, 10112, kButton},  {10, 10085, kButton}, {11, 57607, kButton}, {0, 0, kSeparator},
    {12, 32772, kDrop},   {13, 32771, kButton}, {0, 0, kSeparator},   {14, 10168, kButton}, {15, 32793, kButton},
    {16, 10113, kButton}, {0, 0, kSeparator},   {17, 32782, kButton}, {18, 10207, kButton}, {0, 0, kSeparator},
    {19, 10010, kButton}, {20, 10195, kButton}, {21, 10170, kButton}, {0, 0, kSeparator},   {22, 10072, kButton},
    {0, 0, kSeparator},   {23, 32779, kButton}, {24, 10110, kButton}, {25, 10048, kButton},
};

} // namespace

BOOL CMainToolBar::HasButtonText(UINT) const
{
    return TRUE;
}

void CMainToolBar::Init()
{
    SetBitmaps(IDB_MAIN_TOOLBAR, IDB_MAIN_TOOLBAR, static_cast<UINT>(-1), IDB_MAIN_TOOLBAR_LARGE,
               IDB_MAIN_TOOLBAR_LARGE, static_cast<UINT>(-1), 1, RGB(255, 0, 255));
    TBBUTTONEX buttons[ButtonCount] = {};
    for (int i = 0; i < ButtonCount; ++i) {
        const ButtonRow& row = kButtons[i];
        buttons[i].tbinfo.iBitmap = row.style == kSeparator ? 0 : row.image;
        buttons[i].tbinfo.idCommand = static_cast<int>(row.command);
        buttons[i].tbinfo.fsState = TBSTATE_ENABLED;
        buttons[i].tbinfo.fsStyle = row.style;
        buttons[i].bInitiallyVisible = TRUE;
    }
    SetButtons(ButtonCount, buttons, 2);
}
