// The small rules that the HUD and the camera rest on: the name tag fade, the camera's distance
// steps and the HUD's rounding.
#include "ui/Hud.h"

#include <gtest/gtest.h>

TEST(THud, NameTagsFadeToOneAtFrame509AndVanishAt510) {
    EXPECT_EQ(NameTagAlpha(0), 255);
    EXPECT_EQ(NameTagAlpha(255), 255);
    EXPECT_EQ(NameTagAlpha(256), 254);
    EXPECT_EQ(NameTagAlpha(509), 1);
    EXPECT_EQ(NameTagAlpha(510), 0);
}

TEST(THud, PercentagesRoundHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(10.5f), 10);
    EXPECT_EQ(RoundHalfEven(11.5f), 12);
    EXPECT_EQ(RoundHalfEven(89.49f), 89);
    EXPECT_EQ(RoundHalfEven(0.0f), 0);
}

TEST(THudCamera, DistanceStepsTowardsTheWantedValueWithoutOvershooting) {
    // At speed 0 in the top view the wanted distance is 10: a camera at 10 stays there.
    EXPECT_FLOAT_EQ(StepCameraDistance(10, 10, 0.005f), 10);
    EXPECT_FLOAT_EQ(StepCameraDistance(10, 12, 0.005f), 10.005f);
    EXPECT_FLOAT_EQ(StepCameraDistance(12, 10, 0.005f), 11.995f);
    // Closer than a step: the step up is taken back, so the distance holds instead of shaking.
    EXPECT_FLOAT_EQ(StepCameraDistance(10, 10.001f, 0.005f), 10);
    // The shared view moves four times faster.
    EXPECT_FLOAT_EQ(StepCameraDistance(14, 19, 0.02f), 14.02f);
}

TEST(THudCamera, ADistanceFollowsASpeedChangeWithALag) {
    float d = 10;
    for (int frame = 0; frame < 100; ++frame)
        d = StepCameraDistance(d, 2 * 5.0f + 10, 0.005f); // top view at 5 m/s wants 20
    EXPECT_NEAR(d, 10.5f, 1e-3f);
}
