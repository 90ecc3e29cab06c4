#include "image/RotateInfo.h"

#include <algorithm>
#include <cmath>

CRotateInfo::CRotateInfo(double angle)
{
    m_rect = RECT{0, 0, 0, 0};
    SetAngle(angle);
}

void CRotateInfo::SetAngle(double angle)
{
    m_angle = angle;
    // Not a number or an infinite angle turns nothing rather than poisoning every coordinate.
    if (!std::isfinite(angle) || std::trunc(angle) == 0) {
        m_cos = 1;
        m_sin = 0;
        m_rotating = FALSE;
    } else {
        double radians = angle * 0.01745329252111111;
        m_cos = std::cos(radians);
        m_sin = std::sin(radians);
        m_rotating = TRUE;
    }
    m_cos1024 = static_cast<int>(std::trunc(m_cos * 1024));
    m_sin1024 = static_cast<int>(std::trunc(m_sin * 1024));
}

RECT CRotateInfo::GetBoundingRect(int width, int height)
{
    if (!m_rotating) {
        m_rect = RECT{0, 0, width, height};
        return m_rect;
    }
    const long long corners[4][2] = {{0, 0}, {width, 0}, {0, height}, {width, height}};
    long long left = 0, top = 0, right = 0, bottom = 0;
    for (const auto& corner : corners) {
        long long x = (m_cos1024 * corner[0] - m_sin1024 * corner[1]) >> 10;
        long long y = (m_sin1024 * corner[0] + m_cos1024 * corner[1]) >> 10;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    m_rect = RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right), static_cast<LONG>(bottom)};
    return m_rect;
}
