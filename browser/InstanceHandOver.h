// A location handed from a second start of the program to the instance already running: the
// running instance marks its main window, and the second start finds it and sends it the
// location as WM_COPYDATA.
#pragma once

#include "framework/Framework.h"

#include <functional>

namespace InstanceHandOver {

// What a WM_COPYDATA of a hand-over carries as dwData ("VYXL").
constexpr ULONG_PTR kLocationTag = 0x5659584C;

// The mark is taken off before the window is destroyed.
void MarkWindow(HWND window);
void UnmarkWindow(HWND window);
bool IsMarked(HWND window);
// The marked window of another process, waiting up to timeoutMs for one to be made (an instance
// started just before may not have its window yet); null when there is none, or as soon as
// ended() says the instance that was there has gone (one that is closing is no longer marked).
HWND FindRunningWindow(DWORD timeoutMs, const std::function<bool()>& ended = {});
// False when the running instance did not take the location within the bound.
bool SendLocation(HWND running, const CString& path, DWORD timeoutMs);
// The location a WM_COPYDATA carries, when it is a hand-over: a text of 1 to 32767 characters
// ended by its NUL, with no other NUL in it.
bool ReadLocation(const COPYDATASTRUCT* data, CString& path);
// What of a location is on disk: the archive of a location inside one, else the location itself.
CString DiskPart(const CString& location);

} // namespace InstanceHandOver
