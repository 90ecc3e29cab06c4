// Texts for message boxes. The platform's message box breaks a line only at a space or between
// Japanese characters, so a long path or name would make a box wider than the screen, its end out
// of reach.
#pragma once

#include "framework/Framework.h"

// The width a message line may take, in columns (a full-width character takes two).
constexpr int kMessageColumns = 96;

// The text with every line wider than maxColumns broken into lines that fit: after a path
// separator, a space or a Japanese comma or full stop in the line's last third where there is
// one, otherwise at the limit (never inside a surrogate pair). Breaks already in the text stay;
// the new ones are CR LF.
CString BreakLongLines(const CString& text, int maxColumns = kMessageColumns);
// The same by width on screen: no line wider than maxPixels in the font selected into dc.
CString BreakLongLines(const CString& text, HDC dc, int maxPixels);
