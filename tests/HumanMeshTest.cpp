// A pedestrian's own rules without a window: placing, turning away from what it cannot walk on,
// the animation, and the point it watches ahead of a car.
#include "traffic/HumanMesh.h"
#include "traffic/TrafficEngine.h"
#include "uRandom.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

class TQuietHost : public TTrafficHost {
  public:
    void AddMesh(TMesh*) override {}
    void RemoveMesh(TMesh*) override {}
    void AddSprite3D(TSprite3D*) override {}
    void RemoveSprite3D(TSprite3D*) override {}
    void AddVehicle(TVehicle*) override {}
    void RemoveVehicle(TVehicle*) override {}
    TCar* FirstCar() const override { return nullptr; }
    int32_t HourOfDay() const override { return 12; }
    std::unique_ptr<TAICar> CreateTrafficCar(int32_t) override { return nullptr; }
    void PlaySample(const std::string&) override {}
};

class HumanMeshTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Previous = std::filesystem::current_path();
        std::filesystem::current_path(KAL_RUN_DIR);
        Resources().Clear();
        Resources().AddTexture("lamp", 1);
        for (int f = 1; f <= 3; ++f)
            for (int p = 1; p <= 3; ++p) {
                TMeshRecord figure;
                figure.List = uint32_t(10 * f + p);
                figure.Extent = VectorMake(0.5f, 0.3f, 1.8f);
                Resources().AddMesh("human" + std::to_string(f) + std::to_string(p), figure);
            }
        Traffic = std::make_unique<TTrafficEngine>(Host);
        // A walk along map row 200 (world Y 310..311), cells x 100..119.
        for (int32_t x = 100; x < 120; ++x)
            Traffic->Cells.At(x, 200) = GroundPedestrian;
        SeedRandom(9);
        Human = std::make_unique<THumanMesh>(*Traffic);
    }
    void TearDown() override {
        Human.reset();
        Traffic.reset();
        Resources().Clear();
        std::filesystem::current_path(Previous);
    }

    TQuietHost Host;
    std::unique_ptr<TTrafficEngine> Traffic;
    std::unique_ptr<THumanMesh> Human;
    std::filesystem::path Previous;
};

TEST_F(HumanMeshTest, PlacingGivesANewPersonWalking) {
    Human->Place(110.5f, 310.5f);
    EXPECT_EQ(Human->Behaviour, HUMAN_WALKING);
    EXPECT_TRUE(Human->Figure >= 1 && Human->Figure <= 3);
    EXPECT_EQ(Human->Pose, 1);
    EXPECT_EQ(std::fabs(Human->TurnRate), 30);
    EXPECT_TRUE(Human->StepDivisor >= 300 && Human->StepDivisor < 500);
    EXPECT_EQ(Human->PosePeriod, 18);
    EXPECT_FLOAT_EQ(Human->Heading, Human->Direction);
    EXPECT_EQ(Human->List, uint32_t(10 * Human->Figure + 1));
    EXPECT_FLOAT_EQ(float(Human->Position.z), 0.9f);
}

TEST_F(HumanMeshTest, FacingAWallItTurns30DegreesAFrameWithoutMovingOrCounting) {
    Human->Place(110.5f, 310.5f);
    Human->TurnRate = 30;
    Human->Direction = 0; // towards -Y: off the walk
    Human->DirX = 0;
    Human->DirY = 1;
    Human->Counter = 36; // a multiple of the pose period: the pose steps every frame meanwhile
    int32_t pose = Human->Pose;
    for (int frame = 0; frame < 3; ++frame) {
        Human->Update();
        Human->Animate();
        EXPECT_FLOAT_EQ(float(Human->Position.x), 110.5f);
        EXPECT_FLOAT_EQ(float(Human->Position.y), 310.5f);
        EXPECT_EQ(Human->Counter, 36);
    }
    EXPECT_FLOAT_EQ(Human->Direction, 90); // after 30 and 60 still blocked; east along the walk is free
    EXPECT_NE(Human->Pose, pose);
    Human->Update();
    EXPECT_GT(float(Human->Position.x), 110.5f);
    EXPECT_EQ(Human->Counter, 37);
}

TEST_F(HumanMeshTest, OffTheMapTheWayIsFree) {
    Human->Place(-0.5f, 300); // a step past the west edge already
    Human->Direction = 270;
    Human->DirX = -1;
    Human->DirY = 0;
    EXPECT_FALSE(Human->IsBlocked());
}

TEST_F(HumanMeshTest, ThePoseRunsOneTwoThreeTwoOne) {
    Human->Place(110.5f, 310.5f);
    Human->PosePeriod = 1;
    std::vector<int32_t> poses;
    for (int frame = 0; frame < 5; ++frame) {
        Human->Animate();
        poses.push_back(Human->Pose);
    }
    EXPECT_EQ(poses, (std::vector<int32_t>{2, 3, 2, 1, 2}));
}

TEST_F(HumanMeshTest, RemovedItsFigureAndShadowAreDead) {
    Human->Remove();
    EXPECT_FALSE(Human->Alive);
    EXPECT_FALSE(Human->Shadow->Alive);
}

TEST(CarPathProbe, ACarAtRestWatchesHalfItsLengthAhead) {
    float x = 0, y = 0;
    CarPathProbe(100, 100, 180, 0, 4, x, y); // travelling towards +X
    EXPECT_NEAR(x, 102, 1e-4);
    EXPECT_NEAR(y, 100, 1e-4);
    CarPathProbe(100, 100, 270, 1, 4, x, y); // towards +Y at full speed: 1.5 further
    EXPECT_NEAR(x, 100, 1e-4);
    EXPECT_NEAR(y, 103.5f, 1e-4);
}

} // namespace
