// Names drawn with every low line ("_") they hold. Under Wine the hinted low line of some
// Japanese fonts collapses to nothing (IPAGothic and IPAMincho at most sizes below 21 pixels) or
// to a grey too faint to see beside the letters (VL Gothic and VL PGothic at 9 and 10 pixels), so
// a name drawn in them loses its underscores; these draw the low lines such a font leaves out,
// where the text put them.
#pragma once

#include "framework/Framework.h"

// Whether the DC's font paints no ink dark enough to be seen for "_" although the glyph has a box.
bool FontDropsLowLine(HDC dc);
// Paints the low lines the DC's font leaves out of a line of text whose cell starts at (x, y):
// those whose cells end at or before limit, clipped to the rectangle, in the text colour laid on
// as thick and as dark as the font draws "-".
void PaintLowLines(HDC dc, const CString& text, int x, int y, int limit, const RECT& clip);
// DrawText of one line (DT_SINGLELINE and DT_NOPREFIX added: a "&" of a name is itself; DT_CENTER,
// DT_VCENTER and the ellipsis flags as given), then the low lines the font left out of the part
// shown.
void DrawTextLine(CDC* dc, const CString& text, const CRect& rect, UINT flags);
