#include "catalogue/CalcFitRect.h"

#include "image/RotateInfo.h"

#include <algorithm>

RECT& CalcFitRect(RECT& out, int left, int top, int right, int bottom, int width, int height, bool noEnlarge,
                  bool keepAspect, int angle)
{
    double w = width, h = height;
    int turn = angle % 360;
    if (turn != 0) {
        CRotateInfo rotation(turn);
        RECT bounds = rotation.GetBoundingRect(width, height);
        w = static_cast<double>(bounds.right) - bounds.left;
        h = static_cast<double>(bounds.bottom) - bounds.top;
    }
    double sx = w != 0 ? (right - left) / w : 1.0;
    double sy = h != 0 ? (bottom - top) / h : 1.0;
    if (keepAspect)
        sx = sy = std::min(sx, sy);
    if (noEnlarge) {
        sx = std::min(1.0, sx);
        sy = std::min(1.0, sy);
    }
    int fw = static_cast<int>(w * sx + 0.5);
    int fh = static_cast<int>(h * sy + 0.5);
    out.left = (left + right) / 2 - fw / 2;
    out.top = (top + bottom) / 2 - fh / 2;
    out.right = out.left + std::max(fw, 1);
    out.bottom = out.top + std::max(fh, 1);
    return out;
}
