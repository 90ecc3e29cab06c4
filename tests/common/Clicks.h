// Clicks as the tests deliver them, each named by what reaches the window: the button's own
// click, a check box's state with its notification, a posted command or the mouse.
#pragma once

#include <windows.h>

// The button clicks itself (BM_CLICK): a check box or radio button changes its state first, then
// its parent hears BN_CLICKED.
void PressButton(HWND dialog, int id);
// The check box is set to the state and its click is sent to the dialog.
void SetCheckAndNotify(HWND dialog, int id, bool checked);
// The check box's state is turned over and its click is sent to the dialog.
void ToggleCheckAndNotify(HWND dialog, int id);
// The button's click is posted to the window, for a modal loop to take in its turn.
void PostButtonClicked(HWND window, int id);
// The left button pressed and released at a point of the client area, with the keys held.
void ClickAt(HWND window, POINT point, UINT keys = 0);
