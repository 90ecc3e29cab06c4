// A turn by an angle in degrees (clockwise on the screen): cosine and sine, their x1024 integer
// forms, and the bounding rectangle of a turned picture.
#pragma once

#include <windows.h>

class CRotateInfo
{
public:
    explicit CRotateInfo(double angle = 0);

    void SetAngle(double angle);
    // The rectangle holding the turned corners of a width x height picture (also stored).
    RECT GetBoundingRect(int width, int height);

    double m_angle;
    double m_cos;
    double m_sin;
    RECT m_rect;
    BOOL m_rotating;
    int m_cos1024;
    int m_sin1024;
};
