// Fitting a picture into a box: scaled to fit (one factor with keep-aspect, never above 1 with
// no-enlarge), centred, at least one pixel each way. A turned picture fits by its turned bounds.
#pragma once

#include <windows.h>

RECT& CalcFitRect(RECT& out, int left, int top, int right, int bottom, int width, int height, bool noEnlarge,
                  bool keepAspect, int angle);
