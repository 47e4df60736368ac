// The player car's rules on a real engine and physics world: fuel, damage per contact, the speed limit
// by damage, the engine sound by gear, the lamps and the tyre tracks.
#include "BMPWriter.h"
#include "cars/Car.h"
#include "TestCar.h"
#include "TestSupport.h"
#include "uAtomicFile.h"
#include "uPhysics.h"
#include "uRandom.h"

#include <gtest/gtest.h>

namespace {

TCarConfig TestConfig() {
    TCarConfig c = TestCarConfig();
    c.FrontLamps[0][0] = c.FrontLamps[1][0] = -1.98f;
    c.RearLamps[0][0] = c.RearLamps[1][0] = 1.98f;
    c.EngineSound = 1;
    for (int g = 0; g < 6; ++g)
        c.Gears[g] = {float(g) * 3, float(g + 1) * 3, 100, 200, 10000, 20000};
    return c;
}

// Records what the car asks of its engine sound.
class TTestCar : public TCar {
  public:
    using TCar::TCar;
    void SetEngineSound(int32_t volume, int32_t frequency) override {
        Volume = volume;
        Frequency = frequency;
        ++Calls;
    }
    int32_t Volume = -1, Frequency = -1, Calls = 0;
};

class CarE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        THarnessOptions harness;
        harness.FixedClock = true;
        Engine = std::make_unique<TEngine>(640, 480, false, 32, harness);
        TBMPImage white;
        white.Width = white.Height = 8;
        white.Format = TBMPFormat::Alpha;
        white.Pixels.assign(64, 255);
        ASSERT_TRUE(WriteFileAtomic(Dir.File("white.bmp"), EncodeBMP(white)));
        Resources().Clear();
        Resources().AddTexture("lamp", Engine->LoadTexture(Dir.File("white.bmp")));
        Resources().AddTexture("cone", Resources().GetTexture("lamp"));
        Car = std::make_unique<TTestCar>(*Engine, Cells, TestConfig(), TestWheel(), TestChassis());
        Car->SetPosition(100, 100);
        Car->SetHeading(180);
        Engine->AddVehicle(Car.get());
        SeedRandom(7);
    }
    void TearDown() override {
        if (Engine && Car)
            Engine->RemoveVehicle(Car.get());
        Car.reset();
        Engine.reset();
        Resources().Clear();
    }
    void Frame() {
        Engine->BeginFrame();
        Engine->UpdateVehicles();
        Engine->DrawSprites3D();
        Engine->EndFrame();
    }
    void SetSpeed(float v) { dBodySetLinearVel(Car->Bodies[0], v, 0, 0); }

    TTempDir Dir;
    TCellWords Cells;
    std::unique_ptr<TEngine> Engine;
    std::unique_ptr<TTestCar> Car;
};

} // namespace

TEST_F(CarE2E, FuelBurnsWithSpeedAndAnEmptyTankGivesNoDrive) {
    SetSpeed(10);
    Car->UpdateThrottle();
    EXPECT_NEAR(Car->Fuel, 100 - 10.0f / 5000, 1e-4);
    EXPECT_FLOAT_EQ(Car->PrevFuel, 100);

    Car->Fuel = 0.00001f;
    SetSpeed(1);
    Car->Accelerate();
    Car->UpdateThrottle();
    EXPECT_EQ(Car->Fuel, 0.0f);
    EXPECT_EQ(Car->Throttle, 0.0f); // the tank ran dry in this very frame
    Car->BrakeOrReverse();
    Car->UpdateThrottle();
    EXPECT_EQ(Car->Throttle, 0.0f); // no brake command either
}

TEST_F(CarE2E, AccelerateWinsOverBrakeAndDamageLowersTheLimit) {
    SetSpeed(0);
    Car->Accelerate();
    Car->BrakeOrReverse();
    Car->UpdateThrottle();
    EXPECT_FLOAT_EQ(Car->Throttle, 0.78f);

    Car->Damage = 95; // the limit is now 0.4 * 14 = 5.6
    SetSpeed(6);
    Car->UpdateThrottle();
    EXPECT_EQ(Car->Throttle, 0.0f);
    SetSpeed(5);
    Car->UpdateThrottle();
    EXPECT_FLOAT_EQ(Car->Throttle, 0.78f);
}

TEST_F(CarE2E, DamageCountsOncePerContact) {
    SetSpeed(30);
    Car->OnCrash();
    EXPECT_NEAR(Car->Damage, 30, 1e-3);
    EXPECT_EQ(Car->CargoDamage, 0.0f);
    Car->PostUpdate();
    Car->OnCrash(); // the same contact, one step later
    EXPECT_NEAR(Car->Damage, 30, 1e-3);
    Car->PostUpdate();
    Car->PostUpdate(); // a step without contact
    Car->OnCrash();
    EXPECT_NEAR(Car->Damage, 60, 1e-3);
    EXPECT_FLOAT_EQ(Car->CargoDamage, 5);
    EXPECT_NEAR(Car->PrevDamage, 30, 1e-3);
    Car->PostUpdate();
    Car->PostUpdate();
    SetSpeed(80);
    Car->OnCrash();
    EXPECT_EQ(Car->Damage, 100.0f); // capped
}

TEST_F(CarE2E, EngineSoundFollowsTheGear) {
    SetSpeed(4.5f); // gear 1 covers 3..6: halfway
    Car->UpdateEngineSound();
    EXPECT_EQ(Car->Volume, 150);
    EXPECT_EQ(Car->Frequency, 15000);
    Car->BrakeOrReverse();
    Car->UpdateEngineSound();
    EXPECT_EQ(Car->Volume, 200); // gear 0's upper end while braking
    EXPECT_EQ(Car->Frequency, 20000);
    SetSpeed(40); // beyond every gear
    Car->InputFlags = 0;
    Car->UpdateEngineSound();
    EXPECT_EQ(Car->Volume, 200);

    Car->CarConfig.EngineSound = 0;
    int calls = Car->Calls;
    Car->UpdateEngineSound();
    EXPECT_EQ(Car->Calls, calls);
}

TEST_F(CarE2E, KeyFlagsLastOneFrameAndDriveTheCar) {
    for (int i = 0; i < 60; ++i) {
        Car->Accelerate();
        Car->SteerPositive();
        Frame();
        EXPECT_EQ(Car->InputFlags, 0); // cleared after every frame
    }
    EXPECT_GT(Car->GetSpeed(), 3.0f);
    EXPECT_GT(Car->PosX, 100.5f); // heading 180 drives towards +x
    EXPECT_EQ(Car->FrameCount, 60);
}

TEST_F(CarE2E, RearLampsShowBrakingAndReversing) {
    Car->SetLights(false);
    for (int i = 0; i < 60; ++i)
        Frame();
    // Rolling forward: a car that merely stands may drift either way by a hair.
    for (int i = 0; i < 20; ++i) {
        Car->Accelerate();
        Frame();
    }
    Car->BrakeOrReverse();
    Car->UpdateLamps();
    EXPECT_EQ(Car->Lamps[3]->Red, 255);
    EXPECT_EQ(Car->Lamps[3]->Green, 0);
    EXPECT_EQ(Car->Lamps[3]->Alpha, 64);
    EXPECT_EQ(Car->Lamps[1]->Alpha, 0); // head lamps off

    for (int i = 0; i < 120; ++i) { // brake, then reverse
        Car->BrakeOrReverse();
        Frame();
    }
    ASSERT_TRUE(Car->IsReversing());
    Car->BrakeOrReverse();
    Car->UpdateLamps();
    EXPECT_EQ(Car->Lamps[4]->Green, 255);
    EXPECT_EQ(Car->Lamps[4]->Alpha, 128);

    Car->SetLights(true);
    Car->InputFlags = 0;
    Car->UpdateLamps();
    EXPECT_EQ(Car->Lamps[0]->Alpha, 92);
    EXPECT_EQ(Car->Lamps[1]->Alpha, 64);
    EXPECT_EQ(Car->Lamps[3]->Alpha, 32);
}

TEST_F(CarE2E, TracksAreLaidAndReleased) {
    int most = 0;
    for (int i = 0; i < 400; ++i) {
        Car->Accelerate();
        Frame();
        most = std::max(most, Engine->Sprites3D.Count());
    }
    // Shadow and five lamps, plus about two marks a frame that live 164 frames.
    EXPECT_GT(most, 200);
    EXPECT_LT(most, 6 + 4 * 170);
    int now = Engine->Sprites3D.Count();
    for (int i = 0; i < 200; ++i)
        Frame(); // standing still it keeps laying marks where it stands, and old ones go
    EXPECT_LT(Engine->Sprites3D.Count(), now + 4 * 170);
}
