// A point of two doubles, the unit of the spline and current-point arithmetic of the drawing scripts.
#pragma once

#include "foundation/VyxArray.h"

struct POINTD
{
    double x = 0.0;
    double y = 0.0;
};

// Copies the points; comparison gives 0, element and array texts are empty.
typedef VyxArrayT<POINTD> VyxPointDArray;
