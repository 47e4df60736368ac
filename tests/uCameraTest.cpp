#include "uCamera.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// A camera looking straight down from 20 m at (100, 100), heading 0.
TCamera TopCamera() {
    TCamera camera;
    camera.SetTarget(100, 100);
    camera.SetDistance(20);
    camera.SetPitch(float(M_PI / 2) - 0.001f);
    camera.SetHeading(0);
    camera.UpdateMatrices();
    return camera;
}

} // namespace

TEST(TCamera, StartsAtTheCityCentre) {
    TCamera camera;
    EXPECT_FLOAT_EQ(camera.Distance, 10.0f);
    EXPECT_FLOAT_EQ(camera.Pitch, 1.5324842f);
    EXPECT_FLOAT_EQ(camera.TargetX, 256.0f);
    EXPECT_FLOAT_EQ(camera.TargetY, 256.0f);
    EXPECT_EQ(camera.ViewDistance, 22);
}

TEST(TCamera, TargetProjectsToTheScreenCentre) {
    TCamera camera = TopCamera();
    TScreenPoint p = camera.Project(100, 100, 0);
    EXPECT_NEAR(p.X, 320, 0.5);
    EXPECT_NEAR(p.Y, 240, 0.5);
    EXPECT_TRUE(camera.PointVisible(VectorMake(100, 100, 0)));
}

TEST(TCamera, ScreenUpPointsAwayFromTheEyeSide) {
    // Heading 0 puts the eye on the +x side, so -x is up on the screen.
    TCamera camera = TopCamera();
    TScreenPoint ahead = camera.Project(95, 100, 0);
    EXPECT_GT(ahead.Y, 240);
    EXPECT_NEAR(ahead.X, 320, 1);
}

TEST(TCamera, PlanesAreNormalised) {
    TCamera camera = TopCamera();
    for (const auto& plane : camera.Planes)
        EXPECT_NEAR(std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]), 1.0f, 1e-5);
}

TEST(TCamera, SphereStraddlingASidePlaneIsVisible) {
    TCamera camera = TopCamera();
    // Seen from 20 m with a 45 degree field, the ground is visible about 8.3 m either side vertically
    // and 11 m horizontally. Find the right edge at ground level.
    float edge = 100;
    while (camera.PointVisible(VectorMake(100, edge, 0)))
        edge -= 0.01f;
    dVector3 outside = VectorMake(100, edge - 0.5f, 0);
    EXPECT_FALSE(camera.PointVisible(outside));
    EXPECT_TRUE(camera.SphereVisible(outside, 1.0f));
    EXPECT_FALSE(camera.SphereVisible(VectorMake(100, edge - 3.0f, 0), 1.0f));
}

TEST(TCamera, NearAndFarPlaysNoPartInCulling) {
    TCamera camera = TopCamera();
    // Straight below the target, far beyond the far plane: still inside all four side planes.
    EXPECT_TRUE(camera.PointVisible(VectorMake(100, 100, -500)));
    // Behind the eye, the side planes cross: a point there is culled by one of them.
    EXPECT_FALSE(camera.PointVisible(VectorMake(100, 100, 40)));
}

TEST(TCamera, HeadingTurnsTheView) {
    TCamera camera = TopCamera();
    camera.SetHeading(float(M_PI / 2)); // eye on the +y side, -y is up on the screen
    TScreenPoint ahead = camera.Project(100, 95, 0);
    EXPECT_GT(ahead.Y, 240);
    EXPECT_NEAR(ahead.X, 320, 1);
}
