#include "uVector.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(uVector, NormalizingZeroLeavesTheOutputUntouched) {
    dVector3 out = VectorMake(7, 8, 9);
    VectorNormalize(VectorMake(0, 0, 0), out);
    EXPECT_EQ(out.x, 7);
    EXPECT_EQ(out.z, 9);
    VectorNormalize(VectorMake(3, 0, 4), out);
    EXPECT_FLOAT_EQ(out.x, 0.6f);
    EXPECT_FLOAT_EQ(out.z, 0.8f);
}

TEST(uVector, RotateYOfUpByMinusPitch) {
    float p = 0.7f;
    dVector3 v = VectorRotateY(VectorMake(0, 0, 1), -p);
    EXPECT_FLOAT_EQ(v.x, -std::sin(p));
    EXPECT_FLOAT_EQ(v.y, 0);
    EXPECT_FLOAT_EQ(v.z, std::cos(p));
}

TEST(uVector, RotationZTurnsXTowardsY) {
    dVector3 v = MatrixMulVector(MatrixRotationZ(float(M_PI / 2)), VectorMake(1, 0, 0));
    EXPECT_NEAR(v.x, 0, 1e-6);
    EXPECT_NEAR(v.y, 1, 1e-6);
}

TEST(uVector, PointInTriangleByWinding) {
    dVector3 a = VectorMake(0, 0, 0), b = VectorMake(0, 4, 0), c = VectorMake(4, 0, 0); // clockwise
    dVector3 edge = VectorMake(0, 2, 0), inside = VectorMake(1, 1, 0), outside = VectorMake(5, 5, 0);
    EXPECT_TRUE(PointInTriangle(inside, a, b, c));
    EXPECT_TRUE(PointInTriangle(edge, a, b, c)); // clockwise: edges count as inside
    EXPECT_FALSE(PointInTriangle(outside, a, b, c));
    EXPECT_TRUE(PointInTriangle(inside, a, c, b));
    EXPECT_FALSE(PointInTriangle(edge, a, c, b)); // counter-clockwise: edges count as outside
    EXPECT_FALSE(PointInTriangle(outside, a, c, b));
}

TEST(uVector, DegenerateTriangleUsesTheClockwiseRule) {
    dVector3 a = VectorMake(0, 0, 0), b = VectorMake(1, 1, 0), c = VectorMake(2, 2, 0);
    EXPECT_TRUE(PointInTriangle(VectorMake(1, 1, 0), a, b, c)); // on the line: all edge values 0
    EXPECT_FALSE(PointInTriangle(VectorMake(1, 0, 0), a, b, c));
}
