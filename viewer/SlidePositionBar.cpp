#include "viewer/SlidePositionBar.h"

#include <algorithm>

namespace {

const int kBlock = 10;

} // namespace

void SlidePositionBar::Update(int count, int screenWidth)
{
    const int n = std::max(count, 0);
    const int perScreen = screenWidth / kBlock;
    const int blocks = perScreen > 0 ? n / (n / perScreen + 1) : 0;
    width = kBlock * blocks;
    height = blocks > 0 ? 4 : 0;
    blockWidth = kBlock;
    blockHeight = 2;
    rangeMin = 0;
    rangeMax = n;
    position = 0;
}

void SlidePositionBar::Draw(CDC* pDC, int x, int y, COLORREF base, COLORREF marker) const
{
    const long long span = static_cast<long long>(rangeMax) - rangeMin;
    if (!pDC || span <= 0 || width <= 0 || height <= 0 || blockWidth <= 0 || blockHeight <= 0)
        return;
    const bool across = width >= height;
    const int length = across ? width : height;
    const int step = across ? blockWidth : blockHeight;
    const long long boundary = static_cast<long long>(length) * position / span;
    for (int at = 0; at < length; at += step) {
        const COLORREF colour = at <= boundary && boundary < at + step ? marker : base;
        if (across)
            pDC->FillSolidRect(x + at, y, blockWidth - 1, blockHeight, colour);
        else
            pDC->FillSolidRect(x, y + at, blockWidth, blockHeight - 1, colour);
    }
}

int SlidePositionBar::HitIndex(int x, int y) const
{
    const long long span = static_cast<long long>(rangeMax) - rangeMin;
    if (span <= 0 || width <= 0 || height <= 0 || x < 0 || y < 0 || x > width || y > height)
        return -1;
    const bool across = width >= height;
    const long long index = across ? span * x / width : span * y / height;
    // The far edge belongs to the last file, not to one past it.
    return static_cast<int>(std::min(index, span - 1)) + rangeMin;
}
