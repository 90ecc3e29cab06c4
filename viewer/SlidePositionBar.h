// The slideshow's position bar: a row of small blocks along the top of the screen standing for the
// document's files, the block where the first shown file lies drawn in the marker's colour; a
// click on the bar jumps to the file under it.
#pragma once

#include "framework/Framework.h"

struct SlidePositionBar
{
    int width = 0;
    int height = 0;
    int rangeMin = 0;
    int rangeMax = 100;
    int position = 0;
    int blockWidth = 10;
    int blockHeight = 10;

    // The bar for that many files across a screen that wide. A screen narrower than one block
    // gets no bar (width and height 0).
    void Update(int count, int screenWidth);
    // At (x, y); a bar higher than wide runs downwards.
    void Draw(CDC* pDC, int x, int y, COLORREF base, COLORREF marker) const;
    // The file under a point relative to the bar's corner, never past the last one; -1 when the
    // point misses the bar.
    int HitIndex(int x, int y) const;
};
