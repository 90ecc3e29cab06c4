// VyxSpline: turns the control points of the spline drawing commands into a polyline, as a
// uniform cubic B-spline with clamped ends or as a natural cubic spline through the points.
#pragma once

#include "script/VyxPointD.h"

#include <vector>

class VyxSpline
{
public:
    VyxSpline();
    virtual ~VyxSpline();
    VyxSpline(const VyxSpline&) = delete;
    VyxSpline& operator=(const VyxSpline&) = delete;

    // Each returns the number of points appended to out; fewer than 4 points per curve append none.
    static int BSpline(const POINTD* points, int count, int pointsPerCurve, VyxPointDArray& out);
    int CubicSpline(const POINTD* points, int count, int pointsPerCurve, VyxPointDArray& out);

    // The coefficients of the natural cubic spline with unit parameter spacing.
    void Setup(const POINTD* points, int count);
    int GetSegmentCount() const { return m_segments; }

    // Weight of the cubic B-spline basis at distance t.
    static double Basis(double t);
    // The B-spline's point at parameter t (ends clamped).
    static POINTD BSplinePoint(const POINTD* points, int count, double t);

private:
    void Free();

    std::vector<POINTD> m_a; // degree 0: the control points
    std::vector<POINTD> m_b;
    std::vector<POINTD> m_c;
    std::vector<POINTD> m_d;
    int m_segments = 0;
};
