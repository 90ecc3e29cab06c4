// What the stand-in visual-styles library saw, read by the tests through FakeTheme_State.
#pragma once

#include <windows.h>

struct FakeThemeState
{
    BOOL themed;     // the answer of IsAppThemed and IsThemeActive
    int opened;      // OpenThemeData calls
    int closed;      // CloseThemeData calls
    int drawn;       // DrawThemeBackground calls
    int parentDrawn; // DrawThemeParentBackground calls
    wchar_t lastClass[64];
    int lastPart;
    int lastState;
    RECT lastRect;
};

// The colour the stand-in paints a part in, by state.
inline COLORREF FakeThemeColour(int state)
{
    return RGB(40 * state, 200 - 30 * state, 90);
}

using FakeThemeStateFn = FakeThemeState*(WINAPI*)();
