#include "uPhysics.h"
#include "TestCar.h"
#include "uVehicle.h"

#include <gtest/gtest.h>

namespace {

// A vehicle that counts its crash reports; the crash flag is cleared by the test between steps.
struct TCountingVehicle : TVehicle {
    explicit TCountingVehicle(TPhysicsWorld& physics)
        : TVehicle(physics, TestCarConfig(), TestWheel(), TestChassis()) {}
    void OnCrash() override { ++Crashes; }
    int Crashes = 0;
};

class PhysicsTest : public ::testing::Test {
  protected:
    void Step(std::initializer_list<TCountingVehicle*> vehicles) {
        Physics.Step(0.02f);
        for (TCountingVehicle* v : vehicles) {
            v->Update(0.02f);
            v->CrashFlag = false;
        }
    }

    TPhysicsWorld Physics;
};

} // namespace

TEST(uPhysics, StepIsClampedToTwentyToThirtyMilliseconds) {
    EXPECT_FLOAT_EQ(ClampedStep(0.005f), 0.02f);
    EXPECT_FLOAT_EQ(ClampedStep(0.5f), 0.03f);
    EXPECT_FLOAT_EQ(ClampedStep(0.025f), 0.025f);
    // Substeps stay at most 1/150 s long.
    EXPECT_EQ(SubstepCount(0.02f), 3);
    EXPECT_EQ(SubstepCount(0.025f), 4);
    EXPECT_EQ(SubstepCount(0.03f), 5);
}

TEST_F(PhysicsTest, CarRestsOnTheGroundWithoutCrashing) {
    auto car = std::make_unique<TCountingVehicle>(Physics);
    car->SetPosition(50, 50);
    for (int i = 0; i < 200; ++i)
        Step({car.get()});
    EXPECT_EQ(car->Crashes, 0);
    EXPECT_GT(car->GetPosition().z, 0.3f); // standing on its wheels, not fallen through
    EXPECT_LT(car->GetSpeed(), 0.05f);
}

TEST_F(PhysicsTest, TwoChassisTouchingReportOnceEachPerStep) {
    auto a = std::make_unique<TCountingVehicle>(Physics);
    auto b = std::make_unique<TCountingVehicle>(Physics);
    a->SetPosition(50, 50);
    b->SetPosition(53.5f, 50); // the 4 m bodies overlap by half a metre
    Physics.Step(0.02f);
    EXPECT_EQ(a->Crashes, 1);
    EXPECT_EQ(b->Crashes, 1);
    Physics.Step(0.02f); // flags still set: no second report within the same flag life
    EXPECT_EQ(a->Crashes, 1);
}

TEST_F(PhysicsTest, CarsSideBySideDoNotCrash) {
    // Two cars turned 45 degrees, parked side by side 0.4 m apart: their bounding boxes overlap
    // (so the pair is examined) but their bodies never touch.
    auto a = std::make_unique<TCountingVehicle>(Physics);
    auto b = std::make_unique<TCountingVehicle>(Physics);
    a->SetPosition(50, 50);
    b->SetPosition(50 - 2.2f * 0.7071f, 50 + 2.2f * 0.7071f);
    a->SetHeading(45);
    b->SetHeading(45);
    for (int i = 0; i < 30; ++i)
        Step({a.get(), b.get()});
    EXPECT_EQ(a->Crashes, 0);
    EXPECT_EQ(b->Crashes, 0);
}

TEST_F(PhysicsTest, ChassisPushingAnObstacleReportsEveryStep) {
    // The car's front is at x = 48; the wall stands just in front of it and the car drives into it.
    dGeomID wall = CreateObstacleBox(Physics.Space(), VectorMake(1, 10, 3), VectorMake(47.0f, 50, 1.5f));
    auto car = std::make_unique<TCountingVehicle>(Physics);
    car->SetPosition(50, 50);
    car->Throttle = 0.5f;
    for (int i = 0; i < 100; ++i) {
        car->ApplyControls();
        Step({car.get()});
    }
    int before = car->Crashes;
    EXPECT_GT(before, 0);
    for (int i = 0; i < 20; ++i) {
        car->ApplyControls();
        Step({car.get()});
    }
    // Pinned against the wall it keeps reporting (it bounces off a little between contacts): the
    // physics never swallows a repeated crash; the car decides whether it counts.
    EXPECT_GE(car->Crashes - before, 4);
    EXPECT_LE(car->Crashes - before, 20);
    dGeomDestroy(wall);
}

TEST_F(PhysicsTest, WheelsOnAKerbNeverReport) {
    auto car = std::make_unique<TCountingVehicle>(Physics);
    car->SetPosition(80, 50);
    for (int i = 0; i < 100; ++i)
        Step({car.get()});
    // A low kerb under the front wheels only.
    dGeomID kerb =
        CreateObstacleBox(Physics.Space(), VectorMake(0.5f, 10, 0.1f), VectorMake(78.6f, 50, 0.05f));
    for (int i = 0; i < 20; ++i)
        Step({car.get()});
    EXPECT_EQ(car->Crashes, 0);
    dGeomDestroy(kerb);
}

TEST_F(PhysicsTest, ACarsOwnPartsNeverTouchEachOther) {
    // Lifted off the ground with its front left wheel pushed into the rear left one, and a pebble
    // between its wheels that no part touches: its part space meets the pebble, but no two of its
    // own parts are paired.
    auto car = std::make_unique<TCountingVehicle>(Physics);
    car->SetPosition(50, 50);
    for (dBodyID body : car->Bodies) {
        const dReal* p = dBodyGetPosition(body);
        dBodySetPosition(body, p[0], p[1], p[2] + 20);
    }
    const dReal* rear = dBodyGetPosition(car->Bodies[3]);
    dBodySetPosition(car->Bodies[1], rear[0] - 0.2f, rear[1], rear[2]);
    const dReal* body = dBodyGetPosition(car->Bodies[0]);
    dGeomID pebble = CreateObstacleBox(Physics.Space(), VectorMake(0.1f, 0.1f, 0.1f),
                                       VectorMake(body[0], body[1], rear[2]));
    dSpaceCollide(Physics.Space(), &Physics, NearCallback);
    for (int i = 0; i <= 4; ++i)
        EXPECT_EQ(dBodyGetNumJoints(car->Bodies[i]), i == 0 ? 4 : 1) << "body " << i << ": only its hinges";
    dJointGroupEmpty(Physics.Contacts());
    dGeomDestroy(pebble);
}
