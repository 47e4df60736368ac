// The driving rules of the computer-driven cars without a physics world: angles, following the
// track, steering for a point ahead on it, speed for the bends and for what is in the way, backing
// out and the lamps by the hour.
#include "traffic/AICar.h"
#include "uRandom.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr float Wheelbase = 2.5f;

TCarConfig DriverConfig() {
    TCarConfig config;
    config.SteerLimit = 0.55f;
    config.MaxSpeed = 10;
    config.AI[0] = 4;    // look-ahead, metres
    config.AI[1] = 0.5f; // look-ahead time, seconds
    config.AI[2] = 3;    // sideways pull in a bend
    config.AI[3] = 3;    // planned braking
    return config;
}

// Along +X from (0, 0) to (80, 0), then a right-angled bend to (80, -80).
TBezierCurve BendTrack() {
    TBezierCurve curve;
    for (int i = 0; i <= 20; ++i)
        curve.AddPoint(4.0f * float(i), 0, 4.0f * float(i));
    for (int i = 1; i <= 20; ++i)
        curve.AddPoint(80, -4.0f * float(i), 80 + 4.0f * float(i));
    curve.Prepare();
    return curve;
}

// A square of 40 m sides driven clockwise, from (0, 0) along +X; it ends 4 m short of its start.
TBezierCurve SquareTrack() {
    TBezierCurve curve;
    float t = 0;
    auto side = [&](float x0, float y0, float dx, float dy, int steps) {
        for (int i = 0; i < steps; ++i, t += 4)
            curve.AddPoint(x0 + dx * 4.0f * float(i), y0 + dy * 4.0f * float(i), t);
    };
    side(0, 0, 1, 0, 10);
    side(40, 0, 0, -1, 10);
    side(40, -40, -1, 0, 10);
    side(0, -40, 0, 1, 10);
    curve.Prepare();
    return curve;
}

// A car this many metres ahead.
TRoadAhead Held(float gap) {
    TRoadAhead road;
    road.CarGap = gap;
    return road;
}

TAIDriver DriverOn(const TBezierCurve& track, float t = 0) {
    TAIDriver driver(DriverConfig(), Wheelbase);
    driver.StartAt(&track, true, t);
    return driver;
}

TEST(AICarAngles, BearingsFollowTheHeadingConvention) {
    EXPECT_FLOAT_EQ(Bearing(0, 0, 1, 0), 180); // towards +X: the rear points to -X
    EXPECT_FLOAT_EQ(Bearing(0, 0, 0, 1), 270);
    EXPECT_FLOAT_EQ(Bearing(0, 0, -1, 0), 0);
    EXPECT_FLOAT_EQ(Bearing(0, 0, 0, -1), 90);
    EXPECT_FLOAT_EQ(AngleDiff(350, 10), -20);
    EXPECT_FLOAT_EQ(AngleDiff(10, 350), 20);
}

TEST(AICarTrack, ALoopRunsOnFromItsEndToItsStart) {
    TBezierCurve track = SquareTrack();
    TAIDriver driver = DriverOn(track);
    EXPECT_TRUE(driver.Loop);
    EXPECT_FLOAT_EQ(driver.Along(150, 14), 4); // 156 is the end, 160 the start again
    EXPECT_FLOAT_EQ(driver.Along(2, -4), 158);
    float x = 0, y = 0;
    TrackPoint(track, 158, x, y); // half way along the closing stretch
    EXPECT_NEAR(x, 0, 1e-4);
    EXPECT_NEAR(y, -2, 1e-4);
}

TEST(AICarTrack, ATrackEndingFarFromItsStartIsNoLoop) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track);
    EXPECT_FALSE(driver.Loop);
    EXPECT_FLOAT_EQ(driver.Along(150, 20), track.End);
}

TEST(AICarTrack, TheCarsPlaceFollowsItAlongTheTrack) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track, 10);
    driver.FollowTrack(13, 1); // a little ahead, beside the track
    EXPECT_NEAR(driver.TrackT, 13, 0.2f);
    driver.FollowTrack(12, -1);
    EXPECT_NEAR(driver.TrackT, 12, 0.2f);
}

TEST(AICarSteering, OnTheTrackAndAlongItThereIsNoSteering) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track, 10);
    TAIControls c = driver.Drive(10, 0, 180, 0, TRoadAhead{}, false);
    EXPECT_EQ(c.SteerSide, 0);
    EXPECT_NEAR(c.SteerAmount, 0, 1e-5);
    EXPECT_TRUE(c.Accelerate);
    EXPECT_EQ(driver.AIFrame, 1);
}

TEST(AICarSteering, ACarLeftOfItsTrackSteersRightForAPointAheadOnIt) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track, 10);
    TAIControls c = driver.Drive(10, 2, 180, 0, TRoadAhead{}, false); // 2 m left of a car going +X
    EXPECT_EQ(c.SteerSide, 1);
    EXPECT_GT(c.SteerAmount, 0.1f);
    EXPECT_LT(c.SteerAmount, 0.55f);
    EXPECT_NEAR(driver.TargetX, 14, 0.5f); // the look-ahead of a standing car
    EXPECT_NEAR(driver.TargetY, 0, 0.1f);
}

TEST(AICarSteering, TheLookAheadGrowsWithSpeed) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track, 10);
    driver.Drive(10, 0, 180, 8, TRoadAhead{}, false);
    EXPECT_FLOAT_EQ(driver.TargetDistance, 8);
    EXPECT_NEAR(driver.TargetX, 18, 0.5f);
}

TEST(AICarSteering, APointBehindTheCarTurnsItAtTheLimit) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track, 10);
    TAIControls c = driver.Drive(10, 0, 0, 0, TRoadAhead{}, false); // facing -X, the track runs +X
    EXPECT_FLOAT_EQ(c.SteerAmount, 0.55f);
    EXPECT_NE(c.SteerSide, 0);
}

TEST(AICarSpeed, ALongStraightAllowsTheTopSpeedABendAhead) {
    TBezierCurve track = BendTrack();
    TAIDriver far = DriverOn(track, 10);
    EXPECT_FLOAT_EQ(far.CornerSpeed(5), 10); // 70 m from the bend
    TAIDriver near = DriverOn(track, 78);
    float corner = near.CornerSpeed(5);
    EXPECT_LT(corner, 4.5f); // a right angle is taken at a crawl...
    EXPECT_GT(corner, 1.5f); // ... but taken
    TAIDriver before = DriverOn(track, 66);
    EXPECT_GT(before.CornerSpeed(8), corner); // braking for it begins in time
    EXPECT_LT(before.CornerSpeed(8), 10);
}

TEST(AICarSpeed, ASmallMarginAboveTheWantedSpeedCoastsALargerOneBrakes) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track, 10);
    float wanted = std::sqrt(2 * 3 * (6 - KeptGap)); // for a car 6 m ahead
    TAIControls c = driver.Drive(10, 0, 180, wanted - 0.05f, Held(6), false);
    EXPECT_TRUE(c.Accelerate);
    c = driver.Drive(10, 0, 180, wanted + 0.05f, Held(6), false);
    EXPECT_FALSE(c.Accelerate);
    EXPECT_FALSE(c.Brake);
    c = driver.Drive(10, 0, 180, wanted + 0.2f, Held(6), false);
    EXPECT_TRUE(c.Brake);
}

TEST(AICarSpeed, SomethingCloseAheadBrakesAndNeverReverses) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track, 10);
    TAIControls c = driver.Drive(10, 0, 180, 3, Held(2), false);
    EXPECT_FALSE(c.Accelerate);
    EXPECT_TRUE(c.Brake);
    c = driver.Drive(10, 0, 180, 0.4f, Held(2), false); // a walking pace: the brake key would back it up
    EXPECT_FALSE(c.Accelerate);
    EXPECT_FALSE(c.Brake);
    c = driver.Drive(10, 0, 180, 0, TRoadAhead{}, true); // rolled back a little: forward again
    EXPECT_TRUE(c.Accelerate);
}

TEST(AICarSpeed, APedestrianOnTheRoadIsWaitedForThenEdgedPast) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track, 10);
    TRoadAhead road;
    road.PedestrianGap = 1;
    for (int frame = 1; frame <= PedestrianPatience; ++frame)
        ASSERT_FALSE(driver.Drive(10, 0, 180, 0, road, false).Accelerate) << frame;
    EXPECT_TRUE(driver.Drive(10, 0, 180, 0, road, false).Accelerate);
    EXPECT_FALSE(driver.Drive(10, 0, 180, 1.6f, road, false).Accelerate); // at a walking pace only
    EXPECT_TRUE(driver.Drive(10, 0, 180, 1.6f, TRoadAhead{}, false).Accelerate);
    EXPECT_EQ(driver.PedestrianWait, 0);
}

TEST(AICarBackingOut, StandingFor401FramesBacksOutUntilTheNextMultipleOf150) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track, 80);
    int started = -1, ended = -1;
    // Stuck nose-first in the bend's outer corner: the track turns right.
    for (int frame = 1; frame <= 800 && ended < 0; ++frame) {
        uint8_t before = driver.State;
        TAIControls c = driver.Drive(82, 0, 180, 0, before == AI_DRIVING ? Held(0.5f) : TRoadAhead{}, false);
        if (before == AI_BACKING_OUT) {
            EXPECT_EQ(c.SteerSide, 1) << "backing out keeps the side of the last driving frame";
            EXPECT_FLOAT_EQ(c.SteerAmount, 0.275f);
            EXPECT_TRUE(c.Brake);
        }
        driver.AfterFrame(0);
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
    driver.Drive(82, 0, 180, 0, Held(0.5f), false);
    driver.AfterFrame(0);
    EXPECT_EQ(driver.State, AI_BACKING_OUT); // at 600, a multiple of 150: not back at once
    for (int frame = 601; frame < 750; ++frame) {
        driver.Drive(82, 0, 180, 0, TRoadAhead{}, false);
        driver.AfterFrame(0);
        ASSERT_EQ(driver.State, AI_BACKING_OUT) << frame;
    }
    driver.Drive(82, 0, 180, 0, TRoadAhead{}, false);
    driver.AfterFrame(0);
    EXPECT_EQ(driver.State, AI_DRIVING);
}

TEST(AICarBackingOut, ACarGettingOnAlongItsTrackIsNotStuck) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track, 0);
    for (int frame = 0; frame < 1000; ++frame) {
        float x = 0.05f * float(frame); // creeping slower than a standing car, yet getting on
        driver.Drive(x, 0, 180, 0.05f, TRoadAhead{}, false);
        driver.AfterFrame(0.05f);
        ASSERT_EQ(driver.State, AI_DRIVING) << frame;
    }
}

TEST(AICarBackingOut, ItWaitsWhileSomethingStandsRightBehind) {
    TBezierCurve track = BendTrack();
    TAIDriver driver = DriverOn(track, 10);
    driver.State = AI_BACKING_OUT;
    EXPECT_FALSE(driver.Drive(10, 0, 180, 0, Held(0.5f), false).Brake);
    EXPECT_TRUE(driver.Drive(10, 0, 180, 0, TRoadAhead{}, false).Brake);
    EXPECT_FALSE(driver.Drive(10, 0, 180, 1.5f, TRoadAhead{}, false).Brake); // slowly
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
