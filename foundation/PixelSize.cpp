#include "foundation/PixelSize.h"

namespace {

const ULONGLONG kAll = ~0ull;

} // namespace

ULONGLONG SaturatedProduct(ULONGLONG a, ULONGLONG b)
{
    if (a != 0 && b > kAll / a)
        return kAll;
    return a * b;
}

ULONGLONG SaturatedSum(ULONGLONG a, ULONGLONG b)
{
    return b > kAll - a ? kAll : a + b;
}

ULONGLONG PixelRowBytes(LONGLONG width, unsigned bitCount)
{
    if (width < 1 || bitCount == 0)
        return 0;
    const ULONGLONG bits = SaturatedSum(SaturatedProduct(static_cast<ULONGLONG>(width), bitCount), 31);
    if (bits == kAll)
        return kAll;
    return (bits >> 3) & ~3ull;
}

ULONGLONG PixelImageBytes(LONGLONG width, LONGLONG rows, unsigned bitCount)
{
    if (rows < 1)
        return 0;
    return SaturatedProduct(PixelRowBytes(width, bitCount), static_cast<ULONGLONG>(rows));
}
