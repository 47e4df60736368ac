// The living city in the real town, in-process on the fixed clock with a fixed seed: the traffic of
// mission 10 keeps to its lanes, upright and on the map, never drives into another car and gets
// somewhere, and a second run of the same seed repeats the first exactly; a car brakes for a car
// standing in its lane; pedestrians keep to the sidewalks and crossings, out of the houses, flee
// from a car driven at them and are run over with the stain and the sound the gore switch picks;
// a new region respawns at once, and nothing appears near the player's car once the streets are
// filled.
#include "traffic/AICar.h"
#include "uMapCoords.h"
#include "sprites/BloodSprite.h"
#include "cars/Car.h"
#include "player/Config.h"
#include "session/GameEngine.h"
#include "traffic/HumanMesh.h"
#include "TestSupport.h"
#include "uMeshGrid.h"
#include "uRandom.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr float LaneWidth = 3.0f;    // metres: a lane of the town's streets
constexpr float UprightLimit = 0.8f; // the body's up axis below this (of 1) counts as tipping over
constexpr float MaxStep = 1.0f;      // metres: no car drives further in one frame

// Whether the bodies of two cars overlap on the ground: their chassis boxes, a little shrunk so
// that only a real touch counts, by the separating axis test.
bool BodiesTouch(const TVehicle& a, const TVehicle& b) {
    constexpr float Shrink = 0.05f; // metres
    const TVehicle* cars[2] = {&a, &b};
    float axes[4][2];
    for (int i = 0; i < 2; ++i) {
        float h = cars[i]->Heading / 57.295779513082320877f;
        axes[2 * i][0] = std::cos(h);
        axes[2 * i][1] = std::sin(h);
        axes[2 * i + 1][0] = -std::sin(h);
        axes[2 * i + 1][1] = std::cos(h);
    }
    float dx = b.PosX - a.PosX, dy = b.PosY - a.PosY;
    for (const auto& axis : axes) {
        float reach = 0;
        for (int i = 0; i < 2; ++i) {
            float halfLength = cars[i]->Length / 2 - Shrink, halfWidth = cars[i]->Width / 2 - Shrink;
            reach += halfLength * std::fabs(axes[2 * i][0] * axis[0] + axes[2 * i][1] * axis[1]) +
                     halfWidth * std::fabs(axes[2 * i + 1][0] * axis[0] + axes[2 * i + 1][1] * axis[1]);
        }
        if (std::fabs(dx * axis[0] + dy * axis[1]) >= reach)
            return false;
    }
    return true;
}

// The game as Main.cpp makes it, recording the samples the traffic asks for.
class TTrafficGame : public TGameEngine {
  public:
    using TGameEngine::TGameEngine;
    void PlaySample(const std::string& key) override {
        Played.push_back(key);
        TGameEngine::PlaySample(key);
    }
    std::vector<std::string> Played;
};

// Distance from a point to a track, from a dense sampling of the curve.
class TTrackSampler {
  public:
    float Distance(const TBezierCurve* track, float x, float y) {
        std::vector<std::array<float, 2>>& points = Samples[track];
        if (points.empty())
            for (float t = track->Start; t <= track->End + 0.01f; t += 0.25f) {
                float px = 0, py = 0;
                track->GetPoint(t, px, py);
                points.push_back({px, py});
            }
        float best = 1e9f;
        for (const auto& p : points)
            best = std::min(best, std::hypot(p[0] - x, p[1] - y));
        return best;
    }

  private:
    std::map<const TBezierCurve*, std::vector<std::array<float, 2>>> Samples;
};

class TrafficE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        Resources().Clear();
        TProfileRecord record;
        record.Nick = "Traffic";
        Profiles.Records.push_back(record);
        Setup.Profiles = &Profiles;
        Setup.NoticeHold = false;
        Harness.FixedClock = true;
        // The tests that take no picture run the world alone.
        Harness.Headless = true;
    }
    void TearDown() override {
        Game.reset();
        Resources().Clear();
        SetConfig(nullptr);
    }

    // carType -1 keeps the profile's car.
    TTrafficGame& Start(int mission, uint32_t seed, int carType = -1) {
        SeedRandom(seed);
        Game = std::make_unique<TTrafficGame>(Width, Height, false, Harness, Setup);
        if (carType >= 0)
            Game->Players[0]->SetCarType(carType);
        Game->SetGameState(gsStartGame);
        Game->StartMission(mission);
        Game->ShowMenu(0);
        return *Game;
    }
    void Frame() {
        Game->HandleInput();
        Game->UpdateGame();
        Game->RenderFrame();
    }

    int Width = 640, Height = 480;
    TProfileList Profiles;
    TGameSetup Setup;
    THarnessOptions Harness;
    std::unique_ptr<TTrafficGame> Game;
};

// Whether the world point lies in a building's or a collision block's footprint.
bool InsideBuilding(const TGameEngine& game, float x, float y) {
    if (!TMeshGrid::InGrid(x, y))
        return false;
    int32_t cx = int32_t(x), cy = int32_t(y);
    const TMeshCell* building = game.MeshGrid->Building(cx, cy).Owner;
    const TMeshCell* block = game.MeshGrid->Block(cx, cy).Owner;
    return (building && building->Collides) || (block && block->Collides);
}

// The map cell word under a world point.
int32_t CellWordAt(const TGameEngine& game, float x, float y) {
    return game.Traffic->Cells.At(int32_t(std::trunc(x)), MapRow(y));
}

TEST_F(TrafficE2E, Mission10TrafficKeepsItsLanesUprightOnTheMapApartAndGetsSomewhere) {
    Width = 160; // a small window: the long run is about the world, not the pixels
    Height = 120;
    TTrafficGame& game = Start(10, 7);
    TTrackSampler sampler;
    struct TSlot {
        const TAICar* Car = nullptr;
        float X = 0, Y = 0;
        float Metres = 0, WorstLane = 0, LowestUp = 1;
        int Cars = 0, DrivingFrames = 0, BackingFrames = 0, OffLaneFrames = 0;
    };
    std::vector<TSlot> slots(game.Traffic->Cars.size());
    ASSERT_EQ(slots.size(), size_t(MissionSetups[10].TrafficCars));
    float metres = 0, worstLane = 0;
    int contacts = 0;
    for (int frame = 0; frame < 6000; ++frame) {
        Frame();
        const auto& cars = game.Traffic->Cars;
        for (size_t i = 0; i < slots.size(); ++i) {
            const TAICar* car = cars[i].get();
            TSlot& slot = slots[i];
            if (!car)
                continue;
            // A new car in the slot, or the old one put somewhere else (it may have the same
            // address): no distance for the jump.
            float step = std::hypot(car->PosX - slot.X, car->PosY - slot.Y);
            if (car != slot.Car || step > MaxStep) {
                slot.Car = car;
                slot.Cars += 1;
            } else {
                slot.Metres += step;
                metres += step;
            }
            slot.X = car->PosX;
            slot.Y = car->PosY;
            ASSERT_TRUE(car->PosX >= 0 && car->PosX <= 511 && car->PosY >= 0 && car->PosY <= 511)
                << "car " << i << " left the map at frame " << frame;
            float up = float(car->GetRotation()[10]);
            slot.LowestUp = std::min(slot.LowestUp, up);
            if (car->State == AI_DRIVING) {
                float lane = sampler.Distance(car->Curve, car->PosX, car->PosY);
                if (lane >= LaneWidth && slot.OffLaneFrames++ == 0)
                    ADD_FAILURE() << "car " << i << " off its lane by " << lane << " m at frame " << frame
                                  << " at " << car->PosX << ", " << car->PosY;
                slot.WorstLane = std::max(slot.WorstLane, lane);
                worstLane = std::max(worstLane, lane);
                ++slot.DrivingFrames;
            } else {
                ++slot.BackingFrames;
            }
            for (size_t j = i + 1; j < cars.size(); ++j)
                if (cars[j] && BodiesTouch(*car, *cars[j]) && contacts++ < 5) {
                    ADD_FAILURE() << "cars " << i << " and " << j << " touch at frame " << frame << " at "
                                  << car->PosX << ", " << car->PosY;
                }
        }
        if (HasFatalFailure())
            break;
    }
    int filled = 0;
    for (size_t i = 0; i < slots.size(); ++i) {
        const TSlot& s = slots[i];
        filled += s.Cars > 0 ? 1 : 0;
        std::printf("car slot %zu: %d cars, %.0f m, worst lane distance %.2f m (%d of %d driving frames off "
                    "the lane), %d frames backing out, lowest up %.2f\n",
                    i, s.Cars, double(s.Metres), double(s.WorstLane), s.OffLaneFrames, s.DrivingFrames,
                    s.BackingFrames, double(s.LowestUp));
        EXPECT_GT(s.LowestUp, UprightLimit) << "car slot " << i << " tipped";
    }
    EXPECT_EQ(filled, int(slots.size())) << "every slot found a place";
    std::printf("traffic covered %.0f m; worst lane distance %.2f m; %d contacts between cars\n",
                double(metres), double(worstLane), contacts);
    EXPECT_EQ(contacts, 0);
    // The player's car stands on the road all the while: the cars that come up behind it queue
    // there in its sight, as they would behind any standing car; the others drive on.
    EXPECT_GE(metres, 300);
}

// The traffic's place after some driving, all cars in slot order.
std::vector<float> TrafficPositions(const TGameEngine& game) {
    std::vector<float> positions;
    for (const auto& car : game.Traffic->Cars)
        if (car) {
            positions.push_back(car->PosX);
            positions.push_back(car->PosY);
            positions.push_back(car->Heading);
        }
    return positions;
}

TEST_F(TrafficE2E, TwoRunsOfOneSeedInOneProcessDriveTheSameWay) {
    Width = 160;
    Height = 120;
    std::vector<float> runs[2];
    for (auto& run : runs) {
        TTrafficGame& game = Start(10, 7);
        for (int frame = 0; frame < 1500; ++frame) {
            Frame();
            if (frame % 100 == 99) {
                std::vector<float> now = TrafficPositions(game);
                run.insert(run.end(), now.begin(), now.end());
            }
        }
        // The player looks round from the other view before leaving: nothing of it may reach the
        // next game (nor would anything the camera does reach the world).
        game.SetCameraMode(1);
        Frame();
        game.SetCameraMode(0);
        Game.reset();
        Resources().Clear();
    }
    ASSERT_FALSE(runs[0].empty());
    ASSERT_EQ(runs[0].size(), runs[1].size());
    for (size_t i = 0; i < runs[0].size(); ++i)
        ASSERT_EQ(runs[0][i], runs[1][i]) << "value " << i << " of the second run differs";
}

TEST_F(TrafficE2E, ACarBehindAStandingCarBrakesAndDoesNotHitIt) {
    Width = 160;
    Height = 120;
    TTrafficGame& game = Start(10, 3);
    for (int frame = 0; frame < 400; ++frame) // past the countdown
        Frame();
    // A straight stretch of a track: 28 cells along which the direction stays the same.
    TTrafficEngine& traffic = *game.Traffic;
    const TBezierCurve* track = nullptr;
    float t0 = 0;
    for (const auto& candidate : traffic.Tracks) {
        for (float t = candidate->Start; t + 28 < candidate->End && !track; t += 4)
            if (std::fabs(AngleDiff(TangentAngle(*candidate, t), TangentAngle(*candidate, t + 28))) < 0.5f &&
                std::fabs(AngleDiff(TangentAngle(*candidate, t), TangentAngle(*candidate, t + 14))) < 0.5f) {
                track = candidate.get();
                t0 = t;
            }
        if (track)
            break;
    }
    ASSERT_NE(track, nullptr);
    float x = 0, y = 0;
    track->GetPoint(t0 + 24, x, y);
    TCar& standing = *game.Car(1);
    standing.SetPosition(x, y);
    standing.SetHeading(TangentAngle(*track, t0 + 24));
    traffic.SetCarCount(0); // only the car under test drives
    traffic.Update(x, y);   // the region of the standing car: nothing to respawn until frame 401
    traffic.SetCarCount(1);
    traffic.Cars[0] = CreateAICar(0, game, traffic);
    TAICar& car = *traffic.Cars[0];
    car.SetPath(track, true, t0);
    game.AddVehicle(&car);
    float closest = 1e9f, fastest = 0;
    bool braked = false;
    for (int frame = 0; frame < 380; ++frame) {
        Frame();
        ASSERT_EQ(traffic.Cars[0].get(), &car);
        fastest = std::max(fastest, car.GetSpeed());
        braked = braked || (car.InputFlags == 0 && car.Braking);
        for (int w = 0; w < 4; ++w)
            EXPECT_FALSE(standing.ContainsPoint(car.WheelX[w], car.WheelY[w])) << "frame " << frame;
        closest = std::min(closest, std::hypot(car.PosX - standing.PosX, car.PosY - standing.PosY));
    }
    std::printf("the car drove up at %.1f m/s and stopped %.1f m behind the standing car\n", double(fastest),
                double(closest));
    EXPECT_GT(fastest, 3.0f);
    EXPECT_LT(car.GetSpeed(), 0.5f);
    EXPECT_LT(closest, 12.0f); // it came up behind
    EXPECT_LT(std::hypot(standing.PosX - x, standing.PosY - y), 0.3f) << "the standing car was pushed";
    EXPECT_FALSE(standing.CollidedBefore);
}

TEST_F(TrafficE2E, PedestriansKeepToTheirAreasOutOfHousesAndNeverAppearInView) {
    Width = 160;
    Height = 120;
    TTrafficGame& game = Start(10, 11);
    TTrafficEngine& traffic = *game.Traffic;
    TCar& player = *game.Car(1);
    ASSERT_GT(traffic.Pedestrians.size(), 0u);
    std::vector<std::array<float, 2>> last(traffic.Pedestrians.size(), {0, 0});
    std::vector<const TAICar*> cars(traffic.Cars.size(), nullptr);
    int placements = 0, carsCreated = 0, walkedFrames = 0;
    auto check = [&](int frame) {
        for (size_t i = 0; i < traffic.Pedestrians.size(); ++i) {
            const THumanMesh* p = traffic.Pedestrians[i].get();
            if (!p)
                continue;
            float x = float(p->Position.x), y = float(p->Position.y);
            if (std::hypot(x - last[i][0], y - last[i][1]) > 1.0f && p->Behaviour == HUMAN_WALKING) {
                // Just placed: the cell corner it was drawn for lies out of the player's sight.
                ++placements;
                if (frame > 0) {
                    EXPECT_GE(std::hypot(std::floor(x) - player.PosX, std::ceil(y) - player.PosY),
                              UnseenReach)
                        << "pedestrian " << i << " appeared near the car at frame " << frame;
                }
            }
            last[i] = {x, y};
            if (p->Behaviour != HUMAN_WALKING)
                continue;
            ++walkedFrames;
            EXPECT_TRUE(IsPedestrianArea(CellWordAt(game, x, y)))
                << "pedestrian " << i << " off the walks at " << x << ", " << y << " frame " << frame;
            EXPECT_FALSE(InsideBuilding(game, x, y))
                << "pedestrian " << i << " inside a house at frame " << frame << " at " << x << ", " << y
                << " word " << CellWordAt(game, x, y);
        }
        for (size_t i = 0; i < traffic.Cars.size(); ++i) {
            const TAICar* car = traffic.Cars[i].get();
            if (car && car != cars[i]) {
                ++carsCreated;
                if (frame > 0) {
                    EXPECT_GE(std::hypot(car->PosX - player.PosX, car->PosY - player.PosY), UnseenReach - 1)
                        << "car " << i << " appeared near the player at frame " << frame;
                }
            }
            cars[i] = car;
        }
    };
    for (int frame = 0; frame < 1200; ++frame) {
        Frame();
        check(frame);
    }
    // Into the next region west: respawned in the same frame.
    std::array<int32_t, 4> before = traffic.Region;
    player.SetPosition(float(before[0]) - 12, player.PosY);
    Frame();
    check(1200);
    EXPECT_NE(traffic.Region, before);
    EXPECT_EQ(traffic.FramesSinceRespawn, 1);
    for (const auto& p : traffic.Pedestrians) {
        if (!p || p->Behaviour != HUMAN_WALKING)
            continue;
        // Every one stands near the car now: kept within reach or in sight of it, or put back within
        // reach of it (up to a cell and a half from the corner of its cell).
        float x = float(p->Position.x), y = float(p->Position.y);
        EXPECT_LT(std::hypot(x - player.PosX, y - player.PosY), std::max(LivingReach, SightReach) + 1.5f)
            << x << ", " << y;
    }
    for (int frame = 1201; frame < 1600; ++frame) {
        Frame();
        check(frame);
    }
    std::printf("%d pedestrian placements, %d cars created, %d pedestrian frames checked\n", placements,
                carsCreated, walkedFrames);
    EXPECT_GT(placements, 10);
    EXPECT_GT(carsCreated, 0);
}

// Drives the first player's car straight at a walking pedestrian: it flees, then the wheels cover it.
void RunOverAPedestrian(TrafficE2E* test, TTrafficGame& game, std::string& outcome) {
    TTrafficEngine& traffic = *game.Traffic;
    // Open ground: a pedestrian cell with 14 walkable or drivable cells east of it and no house.
    int32_t px = -1, py = -1;
    for (const auto& cell : traffic.PedestrianCells) {
        bool open = true;
        for (int32_t k = -14; k <= 3 && open; ++k)
            for (int32_t side = -2; side <= 2 && open; ++side) {
                int32_t x = cell[0] + k, y = cell[1] + side;
                open = TCellWords::InMap(x, y) &&
                       (traffic.Cells.At(x, y) & (GroundPedestrian | GroundAsphalt)) &&
                       !InsideBuilding(game, float(x) + 0.5f, WorldY(float(y) + 0.5f));
            }
        if (open && cell[0] > 300) {
            px = cell[0];
            py = cell[1];
            break;
        }
    }
    ASSERT_GE(px, 0);
    TCar& car = *game.Car(1);
    THumanMesh& pedestrian = *traffic.Pedestrians[0];
    float x = float(px) + 0.5f, y = WorldY(float(py) + 0.5f);
    car.SetPosition(x - 12, y);
    car.SetHeading(180); // travelling towards +X
    traffic.Update(x - 12, y);
    pedestrian.Place(x, y);
    size_t sprites = size_t(game.Sprites3D.Count());
    bool fled = false;
    for (int frame = 0; frame < 600 && pedestrian.Behaviour != HUMAN_RUN_OVER; ++frame) {
        // A driver aiming at the pedestrian.
        float c = AngleDiff(car.Heading, Bearing(car.PosX, car.PosY, float(pedestrian.Position.x),
                                                 float(pedestrian.Position.y)));
        car.Accelerate();
        if (c > 3)
            car.SteerPositive();
        else if (c < -3)
            car.SteerNegative();
        game.UpdateGame();
        game.RenderFrame();
        fled = fled || pedestrian.Behaviour == HUMAN_FLEEING;
    }
    ASSERT_EQ(pedestrian.Behaviour, HUMAN_RUN_OVER);
    EXPECT_TRUE(fled) << "the pedestrian did not run off first";
    EXPECT_EQ(pedestrian.Position.x, 0);
    int stains = 0;
    for (TNode<TSprite3D>* node = game.Sprites3D.First(); !node->IsTail(); node = node->Next)
        if (auto* stain = dynamic_cast<TBloodSprite*>(node->Data)) {
            ++stains;
            EXPECT_EQ(stain->Red, 128);
        }
    outcome.clear();
    for (const std::string& key : game.Played)
        outcome += key + " ";
    outcome += "stains " + std::to_string(stains);
    (void)test;
    (void)sprites;
}

TEST_F(TrafficE2E, APedestrianFleesAndIsRunOverWithTheStainAndSoundOfTheGoreSwitch) {
    Width = 160;
    Height = 120;
    for (bool gore : {true, false}) {
        // The game takes the switch from the settings as it starts.
        TConfig config;
        config.Carmageddon = gore;
        SetConfig(&config);
        TTrafficGame& game = Start(10, 5);
        SetConfig(nullptr);
        EXPECT_EQ(game.Traffic->Gore, gore);
        game.SetCameraMode(1);
        for (int frame = 0; frame < 450; ++frame) // the countdown, and 100 frames of driving
            Frame();
        ASSERT_GT(game.Car(1)->FrameCount, 100);
        game.Played.clear();
        std::string outcome;
        RunOverAPedestrian(this, game, outcome);
        std::printf("gore %s: %s\n", gore ? "on" : "off", outcome.c_str());
        EXPECT_TRUE(outcome.find("scream") != std::string::npos) << outcome;
        if (gore) {
            EXPECT_NE(outcome.find("splash1"), std::string::npos) << outcome;
            EXPECT_EQ(outcome.find("stains 0"), std::string::npos) << outcome;
        } else {
            EXPECT_NE(outcome.find("splash2"), std::string::npos) << outcome;
            EXPECT_NE(outcome.find("stains 0"), std::string::npos) << outcome;
        }
        Game.reset();
        Resources().Clear();
    }
}

// The last drawn frame as a PNG in the screenshot folder.
void SaveFrontBuffer(TGameEngine& game, const std::string& name) {
    int width = 0, height = 0;
    game.FramebufferSize(width, height);
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK); // the swap copies the picture out and leaves it here under Xvfb
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::filesystem::create_directories(KAL_SCREENSHOT_DIR);
    EXPECT_TRUE(WritePNG(std::string(KAL_SCREENSHOT_DIR) + "/" + name, width, height, pixels)) << name;
}

// A busy street of mission 10's start by day and by night, from above the player's Avia: eight cars
// and 65 pedestrians to a region, taken once at least three traffic cars are in view. The pictures go to the
// screenshot folder (scripts/traffic-shots.sh copies them to doc/traffic).
TEST_F(TrafficE2E, ABusyStreetByDayAndByNight) {
    constexpr int Avia = 5;
    Harness.Headless = false;
    for (int hour : {12, 23}) {
        TTrafficGame& game = Start(10, 21, Avia);
        game.SetTimeOfDay(hour);
        game.Traffic->SetPedestrianCount(LivingCount(65));
        game.Traffic->SetCarCount(8);
        if (hour == 23)
            game.Car(1)->SetLights(true);
        int cars = 0, walking = 0;
        for (int frame = 0; frame < 3000 && (frame < 600 || cars < 3); ++frame) {
            game.Camera.ViewDistance = 40; // from higher up than the game's top view, to see the street
            game.Camera.SetDistance(26);
            Frame();
            cars = 0;
            for (const auto& car : game.Traffic->Cars)
                cars += car && car->IsVisible(game.Camera) ? 1 : 0;
        }
        for (const auto& p : game.Traffic->Pedestrians)
            walking +=
                p && game.Camera.PointVisible(VectorMake(float(p->Position.x), float(p->Position.y), 0)) ? 1
                                                                                                         : 0;
        std::printf("%d o'clock: %d cars and %d pedestrians in view\n", hour, cars, walking);
        EXPECT_GE(cars, 3);
        SaveFrontBuffer(game, hour == 12 ? "traffic_day.png" : "traffic_night.png");
        Game.reset();
        Resources().Clear();
    }
}

} // namespace
