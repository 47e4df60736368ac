// TBezierCurve: handles from Prepare, clamping and exact hits in GetPoint.
#include "uBezierCurve.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(TBezierCurve, EmptyCurveHasNoPointAndLeavesOutputs) {
    TBezierCurve curve;
    float x = 7, y = 8;
    EXPECT_FALSE(curve.GetPoint(0, x, y));
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
}

TEST(TBezierCurve, SinglePointIsEverywhere) {
    TBezierCurve curve;
    curve.AddPoint(3, 4, 5);
    curve.Prepare();
    for (float t : {-10.0f, 5.0f, 6.0f, 100.0f}) {
        float x = 0, y = 0;
        ASSERT_TRUE(curve.GetPoint(t, x, y));
        EXPECT_EQ(x, 3);
        EXPECT_EQ(y, 4);
    }
}

class TBezierCorner : public ::testing::Test {
  protected:
    void SetUp() override {
        curve.AddPoint(0, 0, 0);
        curve.AddPoint(10, 0, 4);
        curve.AddPoint(10, 10, 8);
        curve.Prepare();
    }
    TBezierCurve curve;
};

TEST_F(TBezierCorner, StartAndEndFollowAddPoint) {
    EXPECT_EQ(curve.Start, 0);
    EXPECT_EQ(curve.End, 8);
}

TEST_F(TBezierCorner, HandlesAreThirdsAlongTheChord) {
    const TCurvePoint* p = curve.Points.data();
    EXPECT_NEAR(p[0].OutX, 10.0f / 3, 1e-5);
    EXPECT_NEAR(p[0].OutY, 0, 1e-6);
    EXPECT_EQ(p[0].InX, 0);
    float d = std::sqrt(0.5f);
    EXPECT_NEAR(p[1].OutX, 10.0f / 3 * d, 1e-5);
    EXPECT_NEAR(p[1].OutY, 10.0f / 3 * d, 1e-5);
    EXPECT_NEAR(p[1].InX, -10.0f / 3 * d, 1e-5);
    EXPECT_NEAR(p[1].InY, -10.0f / 3 * d, 1e-5);
    EXPECT_NEAR(p[2].InX, 0, 1e-6);
    EXPECT_NEAR(p[2].InY, -10.0f / 3, 1e-5);
    EXPECT_EQ(p[2].OutX, 0);
}

TEST_F(TBezierCorner, PointsAreHitExactlyAndOutsideIsClamped) {
    float x, y;
    ASSERT_TRUE(curve.GetPoint(4, x, y));
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(curve.GetPoint(-1, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(curve.GetPoint(9, x, y));
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 10);
}

TEST_F(TBezierCorner, InnerValuesLieBetweenTheirPoints) {
    float x, y;
    ASSERT_TRUE(curve.GetPoint(2, x, y));
    EXPECT_GT(x, 0);
    EXPECT_LT(x, 10);
    EXPECT_GT(y, -2);
    EXPECT_LT(y, 2);
    ASSERT_TRUE(curve.GetPoint(6, x, y));
    EXPECT_GT(y, 0);
    EXPECT_LT(y, 10);
}

TEST(TBezierCurve, MiddleEqualToLastHasZeroHandles) {
    TBezierCurve curve;
    curve.AddPoint(0, 0, 0);
    curve.AddPoint(5, 0, 1);
    curve.AddPoint(5, 0, 2);
    curve.Prepare();
    EXPECT_EQ(curve.Points[1].InX, 0);
    EXPECT_EQ(curve.Points[1].OutX, 0);
}

TEST(TBezierCurve, CoincidingNeighboursGiveZeroHandles) {
    TBezierCurve curve;
    curve.AddPoint(0, 0, 0);
    curve.AddPoint(5, 5, 1);
    curve.AddPoint(0, 0, 2);
    curve.Prepare();
    EXPECT_EQ(curve.Points[1].InX, 0);
    EXPECT_EQ(curve.Points[1].InY, 0);
    EXPECT_EQ(curve.Points[1].OutX, 0);
    EXPECT_EQ(curve.Points[1].OutY, 0);
}
