#include "script/VyxSpline.h"

#include "foundation/VyxGlobalErrorException.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const POINTD kLine[] = {{0, 0}, {10, 5}, {20, 10}, {30, 15}};
const POINTD kWave[] = {{0, 0}, {10, 40}, {20, -10}, {30, 25}, {40, 0}};

TEST(Spline, FewerThanFourPointsPerCurveOrTwoControlPointsAppendNothing)
{
    VyxPointDArray out;
    VyxSpline spline;
    for (int perCurve : {-1, 0, 1, 3}) {
        EXPECT_EQ(0, VyxSpline::BSpline(kWave, 5, perCurve, out)) << perCurve;
        EXPECT_EQ(0, spline.CubicSpline(kWave, 5, perCurve, out)) << perCurve;
    }
    EXPECT_EQ(0, spline.CubicSpline(kWave, 1, 10, out));
    EXPECT_EQ(0, VyxSpline::BSpline(kWave, 0, 10, out));
    spline.Setup(kWave, 1);
    EXPECT_EQ(0, spline.GetSegmentCount());
    EXPECT_EQ(0, out.GetCount());
}

TEST(Spline, CollinearEvenPointsGiveCollinearCurves)
{
    VyxSpline spline;
    VyxPointDArray bspline, cubic;
    ASSERT_GT(VyxSpline::BSpline(kLine, 4, 20, bspline), 2);
    ASSERT_GT(spline.CubicSpline(kLine, 4, 20, cubic), 2);
    for (const VyxPointDArray* curve : {&bspline, &cubic})
        for (int i = 0; i < curve->GetCount(); ++i) {
            const POINTD& p = curve->GetData()[i];
            EXPECT_NEAR(p.y, p.x / 2, 1e-9) << i;
        }
}

TEST(Spline, BSplineStartsAtTheFirstControlPointAndStepsByCountOverPointsPerCurve)
{
    VyxPointDArray out;
    // step 5/10 from t = -1 while t <= 5: 13 points.
    EXPECT_EQ(13, VyxSpline::BSpline(kWave, 5, 10, out));
    EXPECT_DOUBLE_EQ(0.0, out.GetData()[0].x);
    EXPECT_DOUBLE_EQ(0.0, out.GetData()[0].y);
    // At t = 5 the clamped ends give the last control point.
    EXPECT_NEAR(40.0, out.GetData()[12].x, 1e-9);
    EXPECT_NEAR(0.0, out.GetData()[12].y, 1e-9);
    // The basis weights sum to one, so a weighted point at a whole t is 1/6, 4/6, 1/6 of its neighbours.
    POINTD inner = VyxSpline::BSplinePoint(kWave, 5, 2.0);
    EXPECT_NEAR((40.0 + 4 * -10.0 + 25.0) / 6.0, inner.y, 1e-9);
    EXPECT_DOUBLE_EQ(2.0 / 3.0, VyxSpline::Basis(0.0));
    EXPECT_DOUBLE_EQ(1.0 / 6.0, VyxSpline::Basis(-1.0));
    EXPECT_DOUBLE_EQ(0.0, VyxSpline::Basis(2.0));
}

TEST(Spline, CubicSplinePassesThroughTheControlPointsAtWholeParametersButNotTheLast)
{
    VyxSpline spline;
    VyxPointDArray out;
    // step 5/5 = 1 from t = 0 while t < 4: the first four control points exactly.
    ASSERT_EQ(4, spline.CubicSpline(kWave, 5, 5, out));
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(kWave[i].x, out.GetData()[i].x, 1e-9) << i;
        EXPECT_NEAR(kWave[i].y, out.GetData()[i].y, 1e-9) << i;
    }
    EXPECT_EQ(4, spline.GetSegmentCount());
}

TEST(Spline, PointsPerCurveBeyondAnyArrayRaisesOutOfMemoryAtOnce)
{
    VyxPointDArray out;
    try {
        VyxSpline::BSpline(kLine, 4, 2147483647, out);
        FAIL() << "no exception";
    } catch (VyxGlobalErrorException* e) {
        EXPECT_EQ(-2, e->GetCode());
        delete e;
    }
}

} // namespace
