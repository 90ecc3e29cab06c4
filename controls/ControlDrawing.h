// Small drawing steps the kit's controls share.
#pragma once

#include "framework/Framework.h"

// A polygon filled and outlined in one colour (the drop arrows of the menu buttons and pickers).
void FillSolidPolygon(CDC* pDC, const POINT* pPoints, int nCount, COLORREF crColour);
