// Input as a user gives it: keys and mouse buttons sent to the window system (SendInput), taken
// by the program's own message loop with the application's pre-translation (accelerators, dialog
// bars, the views' keys) before dispatch.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// Runs the program's message loop (each message offered to the application's pre-translation)
// until done() holds; false after the bound.
bool RunLoopUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000);
struct KeyStroke
{
    WORD vk;
    bool down;
};
// The keys pressed and released in one input, in the order given; the loop is not run.
void SendKeyStrokes(const std::vector<KeyStroke>& strokes);
// Presses and releases a key (the modifier, when not 0, held around it); the loop is not run, so
// a helper thread may send keys to a modal loop.
void SendKey(WORD vk, WORD modifier = 0);
// Text typed character by character as Unicode keys; the loop is not run.
void SendText(const wchar_t* text);
// SendKey, then the loop until done() holds and once more for what is left of the keys.
bool Press(WORD vk, WORD modifier, const std::function<bool()>& done);
// The pointer moved to a screen point with the button flags given (0: only moved).
void SendMouse(POINT screen, DWORD flags);
// The pointer moved to a screen point, then the button (MOUSEEVENTF_LEFTDOWN or
// MOUSEEVENTF_RIGHTDOWN) pressed and released there, twice for a double click.
void SendClick(POINT screen, DWORD downFlag, int clicks = 1);
// SendClick with the left button, then the loop until done() holds and once more for the rest.
bool ClickOnScreen(POINT screen, const std::function<bool()>& done);
// The window's top-level window brought to the front (top-most) until the screen point shows
// the window itself, so that the pointer's input reaches it there.
bool ShowsAt(HWND window, POINT screen);
