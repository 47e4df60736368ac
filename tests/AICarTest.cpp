// The driving rules of the computer-driven cars without a physics world: angles, steering, speed,
// targets along a track, backing out and the lamps by the hour.
#include "AICar.h"
#include "uRandom.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TCarConfig DriverConfig() {
    TCarConfig config;
    config.SteerLimit = 0.55f;
    config.AI[0] = 2;  // speed divisor
    config.AI[1] = 20; // target turn, degrees
    config.AI[2] = 2;  // target radius
    config.AI[3] = 1;  // target step
    return config;
}

// Along +X from (0, 0) to (40, 0), then a right-angled bend to (40, -40).
TBezierCurve BendTrack() {
    TBezierCurve curve;
    for (int i = 0; i <= 10; ++i)
        curve.AddPoint(4.0f * float(i), 0, 4.0f * float(i));
    for (int i = 1; i <= 10; ++i)
        curve.AddPoint(40, -4.0f * float(i), 40 + 4.0f * float(i));
    curve.Prepare();
    return curve;
}

TEST(AICarAngles, BearingsFollowTheHeadingConvention) {
    EXPECT_FLOAT_EQ(Bearing(0, 0, 1, 0), 180); // towards +X: the rear points to -X
    EXPECT_FLOAT_EQ(Bearing(0, 0, 0, 1), 270);
    EXPECT_FLOAT_EQ(Bearing(0, 0, -1, 0), 0);
    EXPECT_FLOAT_EQ(Bearing(0, 0, 0, -1), 90);
    EXPECT_FLOAT_EQ(AngleDiff(350, 10), -20);
    EXPECT_FLOAT_EQ(AngleDiff(10, 350), 20);
}

TEST(AICarDriving, OnCourseThereIsNoSteering) {
    TAIDriver driver(DriverConfig());
    driver.TargetX = 20;
    driver.TargetY = 0;
    driver.TargetDistance = 20;
    TAIControls c = driver.Drive(0, 0, 180, 0, false, false);
    EXPECT_EQ(c.SteerSide, 0);
    EXPECT_EQ(c.SteerAmount, 0);
    EXPECT_TRUE(c.Accelerate);
    EXPECT_EQ(driver.AIFrame, 1);
}

TEST(AICarDriving, NinetyDegreesOffSteersRightAtTheLimit) {
    TAIDriver driver(DriverConfig());
    driver.TargetX = 0;
    driver.TargetY = -20; // to the right of a car travelling towards +X
    driver.TargetDistance = 20;
    TAIControls c = driver.Drive(0, 0, 180, 0, false, false);
    EXPECT_EQ(c.SteerSide, 1);
    EXPECT_FLOAT_EQ(c.SteerAmount, 0.55f); // 90 * 0.02 = 1.8, capped
}

TEST(AICarDriving, ASmallMarginAboveTheWantedSpeedCoastsALargerOneBrakes) {
    TAIDriver driver(DriverConfig());
    driver.TargetX = 4.1f; // wanted 2.05
    driver.TargetY = 0;
    driver.TargetDistance = 4.1f;
    TAIControls coast = driver.Drive(0, 0, 180, 2.0f, false, false);
    EXPECT_TRUE(coast.Accelerate);
    coast = driver.Drive(0, 0, 180, 2.1f, false, false);
    EXPECT_FALSE(coast.Accelerate);
    EXPECT_FALSE(coast.Brake);
    TAIControls brake = driver.Drive(0, 0, 180, 2.2f, false, false);
    EXPECT_TRUE(brake.Brake);
}

TEST(AICarDriving, TheWantedSpeedFallsAsTheCarNearsItsTarget) {
    TAIDriver driver(DriverConfig());
    driver.TargetX = 20;
    driver.TargetDistance = 20;
    EXPECT_TRUE(driver.Drive(0, 0, 180, 6, false, false).Accelerate); // wants 10
    EXPECT_TRUE(driver.Drive(14, 0, 180, 6, false, false).Brake);     // wants 3
}

TEST(AICarDriving, AnObstacleStopsTheThrottleAndBrakesAWalkingPace) {
    TAIDriver driver(DriverConfig());
    driver.TargetX = 20;
    driver.TargetDistance = 20;
    TAIControls c = driver.Drive(0, 0, 180, 3, true, false);
    EXPECT_FALSE(c.Accelerate);
    EXPECT_TRUE(c.Brake);
    c = driver.Drive(0, 0, 180, 0.4f, true, false);
    EXPECT_FALSE(c.Accelerate);
    EXPECT_FALSE(c.Brake);
}

TEST(AICarBackingOut, StandingFor401FramesBacksOutUntilTheNextMultipleOf150) {
    TAIDriver driver(DriverConfig());
    driver.TargetX = 0;
    driver.TargetY = 30; // to the left
    driver.TargetDistance = 30;
    int started = -1, ended = -1;
    for (int frame = 1; frame <= 800 && ended < 0; ++frame) {
        uint8_t before = driver.State;
        TAIControls c = driver.Drive(0, 0, 180, 0, false, false);
        if (before == AI_BACKING_OUT) {
            EXPECT_EQ(c.SteerSide, -1) << "backing out keeps the side of the last driving frame";
            EXPECT_FLOAT_EQ(c.SteerAmount, 0.275f);
            EXPECT_TRUE(c.Brake);
        }
        driver.AfterFrame(0, 0, 180, 0);
        if (driver.State == AI_BACKING_OUT && started < 0)
            started = driver.AIFrame;
        if (started >= 0 && driver.State == AI_DRIVING)
            ended = driver.AIFrame;
    }
    EXPECT_EQ(started, 401);
    EXPECT_EQ(ended, 450);
    EXPECT_EQ(driver.LastProgress, 401);

    driver.AIFrame = 599;
    driver.LastProgress = 100;
    driver.Drive(0, 0, 180, 0, false, false);
    driver.AfterFrame(0, 0, 180, 0);
    EXPECT_EQ(driver.State, AI_BACKING_OUT); // at 600, a multiple of 150: not back at once
    for (int frame = 601; frame < 750; ++frame) {
        driver.Drive(0, 0, 180, 0, false, false);
        driver.AfterFrame(0, 0, 180, 0);
        ASSERT_EQ(driver.State, AI_BACKING_OUT) << frame;
    }
    driver.Drive(0, 0, 180, 0, false, false);
    driver.AfterFrame(0, 0, 180, 0);
    EXPECT_EQ(driver.State, AI_DRIVING);
}

TEST(AICarTargets, TheTargetRunsToTheBendAndAroundIt) {
    TBezierCurve track = BendTrack();
    TAIDriver driver(DriverConfig());
    driver.Curve = &track;
    driver.Loop = true;
    driver.TargetAngle = TangentAngle(track, 0);
    driver.AdvanceTarget(1, 0, 0);
    EXPECT_GT(driver.CurveT, 30);
    EXPECT_LT(driver.CurveT, 48);
    EXPECT_NEAR(driver.TargetDistance, std::hypot(driver.TargetX, driver.TargetY), 1e-4);
    float before = driver.CurveT;
    driver.AfterFrame(driver.TargetX, driver.TargetY, 180, 3); // reached
    EXPECT_GT(driver.CurveT, before);
}

TEST(AICarTargets, AtTheEndOfANonLoopingTrackTheTargetStays) {
    TBezierCurve track = BendTrack();
    TAIDriver driver(DriverConfig());
    driver.Curve = &track;
    driver.Loop = false;
    driver.CurveT = track.End;
    driver.TargetX = 7;
    driver.TargetY = 8;
    driver.AdvanceTarget(1, 0, 0);
    EXPECT_EQ(driver.CurveT, track.End);
    EXPECT_EQ(driver.TargetX, 7);
    EXPECT_EQ(driver.TargetY, 8);
}

TEST(AICarTargets, ATargetLeftBehindCountsAsPassed) {
    TAIDriver driver(DriverConfig());
    driver.TargetX = 10;
    driver.TargetY = 0;
    EXPECT_FALSE(driver.PassedTarget(8, 3, 180));    // ahead and to the right
    EXPECT_TRUE(driver.PassedTarget(13, 2.5f, 180)); // behind, close
    EXPECT_FALSE(driver.PassedTarget(30, 0, 180));   // behind, far
}

TEST(AICarLamps, ByTheHourOfDay) {
    SeedRandom(1);
    EXPECT_FALSE(LampsAtHour(9));
    EXPECT_TRUE(LampsAtHour(23));
    EXPECT_FALSE(LampsAtHour(6));
    EXPECT_TRUE(LampsAtHour(2));
    int lit = 0;
    for (int i = 0; i < 1000; ++i)
        lit += LampsAtHour(19) ? 1 : 0;
    EXPECT_GT(lit, 60); // one in ten
    EXPECT_LT(lit, 140);
}

} // namespace
