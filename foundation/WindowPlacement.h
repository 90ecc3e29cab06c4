// A window's size, position and show state kept in the application settings file under the
// window's own section, keys "WindowPlacement\...".
#pragma once

#include "framework/Framework.h"

// Whether enough of the caption of a window of that rectangle lies on a screen's work area for the
// user to take hold of it.
bool IsCaptionWithinReach(const RECT& r);
// Writes the five keys when the placement can be read.
void SaveWindowPlacement(HWND window, const wchar_t* section);
// Applies a saved placement; a section never saved, or a normal rectangle that is empty, inverted,
// tiny or off every screen, leaves the window as it is.
void RestoreWindowPlacement(HWND window, const wchar_t* section);
