#include "uVehicle.h"
#include "TestCar.h"
#include "uPhysics.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

class VehicleTest : public ::testing::Test {
  protected:
    void TearDown() override { Car.reset(); }
    TVehicle& Make(int driveType = 1) {
        Car = std::make_unique<TVehicle>(Physics, TestCarConfig(driveType), TestWheel(), TestChassis());
        Car->SetPosition(100, 100);
        return *Car;
    }
    void Frame() {
        Car->Update(0.02f);
        Car->ApplyControls();
        Physics.Step(0.02f);
    }
    dReal Param(int joint, int parameter) { return dJointGetHinge2Param(Car->Joints[joint], parameter); }

    TPhysicsWorld Physics;
    std::unique_ptr<TVehicle> Car;
};

} // namespace

TEST_F(VehicleTest, PositiveThrottleDrivesTowardsMinusX) {
    TVehicle& car = Make();
    for (int i = 0; i < 50; ++i)
        Frame();
    car.Throttle = 0.5f;
    for (int i = 0; i < 100; ++i)
        Frame();
    EXPECT_LT(car.PosX, 99.0f);
    EXPECT_NEAR(car.PosY, 100.0f, 0.2f);
    EXPECT_GT(car.GetSpeed(), 1.0f);
    EXPECT_FALSE(car.IsReversing());
}

TEST_F(VehicleTest, PositiveSteeringTurnsRightWhenDrivingForward) {
    TVehicle& car = Make();
    car.Throttle = 0.5f;
    car.Steer = 0.4f;
    for (int i = 0; i < 150; ++i)
        Frame();
    // Travelling towards -x, "right" is +y.
    EXPECT_GT(car.PosY, 100.5f);
    EXPECT_GT(car.GetSteerAngle(), 0.05f);
}

TEST_F(VehicleTest, TinySteeringTargetsCountAsStraight) {
    TVehicle& car = Make();
    car.Steer = 0.5f;
    for (int i = 0; i < 30; ++i)
        Frame();
    ASSERT_GT(car.GetSteerAngle(), 0.15f);
    car.Steer = 0.005f;
    car.Update(0.02f);
    float angle = car.GetSteerAngle();
    car.ApplyControls();
    EXPECT_NEAR(Param(0, dParamVel), -angle * 1.2, 1e-5);
    EXPECT_NEAR(Param(0, dParamHiStop), 0.4, 1e-6);
    EXPECT_NEAR(Param(0, dParamLoStop), -0.4, 1e-6);
}

TEST_F(VehicleTest, ReverseWhileRollingBrakesUntilAlmostStill) {
    TVehicle& car = Make();
    car.Throttle = 0.5f;
    for (int i = 0; i < 100; ++i)
        Frame();
    car.Throttle = -0.5f;
    Frame();
    EXPECT_TRUE(car.Braking); // set now, the brakes act from the next frame
    Frame();
    EXPECT_TRUE(car.Braking);
    EXPECT_EQ(Param(0, dParamVel2), 0);
    EXPECT_EQ(Param(0, dParamFMax2), 140); // the front brake
    int frames = 0;
    while (car.Braking && frames < 500) {
        Frame();
        ++frames;
    }
    EXPECT_FALSE(car.Braking);
    EXPECT_LT(frames, 500);
    for (int i = 0; i < 100; ++i)
        Frame();
    EXPECT_TRUE(car.IsReversing()); // then it drives backwards
}

TEST_F(VehicleTest, AcceleratingReleasesTheBrakeAtOnce) {
    TVehicle& car = Make();
    car.Throttle = 0.5f;
    for (int i = 0; i < 100; ++i)
        Frame();
    car.Throttle = -0.5f;
    Frame();
    Frame();
    ASSERT_TRUE(car.Braking);
    ASSERT_GT(car.GetSpeed(), 0.5f) << "still rolling: only the throttle can release the brake now";
    car.Throttle = 0.5f;
    car.ApplyControls();
    EXPECT_FALSE(car.Braking);
    car.ApplyControls();
    EXPECT_NE(Param(0, dParamVel2), 0) << "the next frame drives instead of braking";
}

TEST_F(VehicleTest, ThrottleFromZeroToNegativeAlsoBrakes) {
    TVehicle& car = Make();
    car.Throttle = -0.5f;
    car.ApplyControls();
    EXPECT_TRUE(car.Braking);
}

TEST_F(VehicleTest, DriveTypesChooseTheDrivenWheels) {
    TVehicle& rear = Make(2);
    rear.Throttle = 0;
    rear.ApplyControls();
    EXPECT_EQ(Param(0, dParamFMax2), 0);
    EXPECT_EQ(Param(1, dParamFMax2), 0);
    EXPECT_EQ(Param(2, dParamFMax2), 120);
    EXPECT_EQ(Param(3, dParamVel2), 0);

    TVehicle& front = Make(1);
    front.Throttle = 0.5f;
    front.ApplyControls();
    EXPECT_NEAR(Param(0, dParamVel2), 0.5 * 62.83185307179586, 1e-4);
    EXPECT_NEAR(Param(1, dParamVel2), -0.5 * 62.83185307179586, 1e-4);
    EXPECT_EQ(Param(2, dParamFMax2), 0);

    TVehicle& all = Make(3);
    all.Throttle = 0.5f;
    all.ApplyControls();
    for (int j = 0; j < 4; ++j)
        EXPECT_EQ(Param(j, dParamFMax2), 120);
    EXPECT_GT(Param(2, dParamVel2), 0);
    EXPECT_LT(Param(3, dParamVel2), 0);
}

TEST_F(VehicleTest, HeadingFollowsTheBodyAxis) {
    TVehicle& car = Make();
    const float cases[][2] = {{270, 270}, {90, 90}, {180, 180}, {0, 0}, {-30, 330}};
    for (const auto& c : cases) {
        car.SetHeading(c[0]);
        car.Update(0);
        EXPECT_NEAR(car.Heading, c[1], 0.01f) << c[0];
    }
}

TEST_F(VehicleTest, ContainsPointCoversTwoTrianglesOfTheFootprint) {
    TVehicle& car = Make();
    // Wheels 1 (-x,+y), 2 (-x,-y), 3 (+x,+y), 4 (+x,-y) around (0, 0).
    const float wx[4] = {-1.4f, -1.4f, 1.4f, 1.4f}, wy[4] = {0.75f, -0.75f, 0.75f, -0.75f};
    for (int i = 0; i < 4; ++i) {
        car.WheelX[i] = wx[i];
        car.WheelY[i] = wy[i];
    }
    EXPECT_TRUE(car.ContainsPoint(-1.3f, 0.7f));  // next to wheel 1
    EXPECT_TRUE(car.ContainsPoint(1.3f, 0.7f));   // next to wheel 3
    EXPECT_FALSE(car.ContainsPoint(0.0f, -0.7f)); // next to the middle of the edge from wheel 2 to wheel 4
    EXPECT_FALSE(car.ContainsPoint(2.0f, 0.0f));
    float x, y;
    car.GetWheelPosition(3, x, y);
    EXPECT_EQ(x, 1.4f);
    EXPECT_THROW(car.GetWheelPosition(4, x, y), std::exception);
}
