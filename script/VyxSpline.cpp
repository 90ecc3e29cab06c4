#include "script/VyxSpline.h"

#include <climits>
#include <cmath>

namespace {

// Makes room for about expected more points at once: appending one by one grows the block by
// a fixed step, which is quadratic for long curves. A count no array can hold raises out of memory.
void ReserveFor(VyxPointDArray& out, double expected)
{
    double total = out.GetCount() + expected + 1.0;
    out.Reserve(total >= INT_MAX - 100 ? INT_MAX : static_cast<int>(total));
}

} // namespace

VyxSpline::VyxSpline() = default;

VyxSpline::~VyxSpline()
{
    Free();
}

void VyxSpline::Free()
{
    m_a.clear();
    m_b.clear();
    m_c.clear();
    m_d.clear();
    m_segments = 0;
}

namespace {

// Six times the basis weight: at whole distances 4, 1 and 0 exactly, so that clamped ends sum to
// exactly the end point before the one division by 6.
double SixTimesBasis(double t)
{
    double d = std::fabs(t);
    if (d < 1.0)
        return 3.0 * d * d * d - 6.0 * d * d + 4.0;
    if (d < 2.0)
        return (2.0 - d) * (2.0 - d) * (2.0 - d);
    return 0.0;
}

} // namespace

double VyxSpline::Basis(double t)
{
    return SixTimesBasis(t) / 6.0;
}

POINTD VyxSpline::BSplinePoint(const POINTD* points, int count, double t)
{
    POINTD point;
    if (count < 1)
        return point;
    // Only the four nearest control points have a weight; the others would add exact zeros.
    int first = static_cast<int>(std::ceil(t - 2.0));
    int last = static_cast<int>(std::floor(t + 2.0));
    if (first < -2)
        first = -2;
    if (last > count + 1)
        last = count + 1;
    for (int k = first; k <= last; ++k) {
        int index = k < 0 ? 0 : (k > count - 1 ? count - 1 : k);
        double weight = SixTimesBasis(t - k);
        point.x += points[index].x * weight;
        point.y += points[index].y * weight;
    }
    point.x /= 6.0;
    point.y /= 6.0;
    return point;
}

int VyxSpline::BSpline(const POINTD* points, int count, int pointsPerCurve, VyxPointDArray& out)
{
    if (pointsPerCurve < 4 || count < 1)
        return 0;
    double step = static_cast<double>(count) / pointsPerCurve;
    ReserveFor(out, (count + 1) / step);
    int appended = 0;
    double t = -1.0;
    do {
        out.Add(BSplinePoint(points, count, t));
        ++appended;
        t += step;
    } while (t <= count);
    return appended;
}

void VyxSpline::Setup(const POINTD* points, int count)
{
    Free();
    if (count < 2)
        return; // no segment: nothing to fit
    int n = count - 1;
    m_segments = n;
    m_a.assign(points, points + count);
    m_b.assign(count, POINTD());
    m_c.assign(count, POINTD());
    m_d.assign(count, POINTD());
    std::vector<double> w(count, 0.0);
    for (int i = 1; i <= n - 1; ++i) {
        m_c[i].x = 3.0 * (m_a[i - 1].x - 2.0 * m_a[i].x + m_a[i + 1].x);
        m_c[i].y = 3.0 * (m_a[i - 1].y - 2.0 * m_a[i].y + m_a[i + 1].y);
    }
    for (int i = 1; i <= n - 1; ++i) {
        double q = 4.0 - w[i - 1];
        m_c[i].x = (m_c[i].x - m_c[i - 1].x) / q;
        m_c[i].y = (m_c[i].y - m_c[i - 1].y) / q;
        w[i] = 1.0 / q;
    }
    for (int i = n - 1; i >= 1; --i) {
        m_c[i].x = m_c[i].x - m_c[i + 1].x * w[i];
        m_c[i].y = m_c[i].y - m_c[i + 1].y * w[i];
    }
    for (int i = 0; i <= n - 1; ++i) {
        m_d[i].x = (m_c[i + 1].x - m_c[i].x) / 3.0;
        m_d[i].y = (m_c[i + 1].y - m_c[i].y) / 3.0;
        m_b[i].x = m_a[i + 1].x - m_a[i].x - m_c[i].x - m_d[i].x;
        m_b[i].y = m_a[i + 1].y - m_a[i].y - m_c[i].y - m_d[i].y;
    }
}

int VyxSpline::CubicSpline(const POINTD* points, int count, int pointsPerCurve, VyxPointDArray& out)
{
    if (pointsPerCurve < 4)
        return 0;
    if (count < 2)
        return 0; // Setup would index the coefficient block before its start
    Setup(points, count);
    double step = static_cast<double>(count) / pointsPerCurve;
    int n = m_segments;
    if (n <= 0)
        return 0;
    ReserveFor(out, n / step);
    int appended = 0;
    double t = 0.0;
    do {
        int i = static_cast<int>(std::floor(t));
        double u = t - i;
        POINTD point;
        point.x = ((m_d[i].x * u + m_c[i].x) * u + m_b[i].x) * u + m_a[i].x;
        point.y = ((m_d[i].y * u + m_c[i].y) * u + m_b[i].y) * u + m_a[i].y;
        out.Add(point);
        ++appended;
        t += step;
    } while (t < n);
    return appended;
}
