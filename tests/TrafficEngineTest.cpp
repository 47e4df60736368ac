// The traffic engine's rules without a window: regions, the respawn schedule, the counts, where
// things may appear round the player cars, the car candidates along the tracks, and the route files
// of the data set.
#include "traffic/TrafficEngine.h"
#include "TestSupport.h"
#include "traffic/HumanMesh.h"
#include "uRandom.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

// Lists kept as plain vectors, no player car, and a car factory that only records the models asked
// for (real cars need the GL window).
class TRecordingTrafficHost : public TTrafficHost {
  public:
    template <class T> static void Erase(std::vector<T*>& list, T* item) {
        list.erase(std::remove(list.begin(), list.end(), item), list.end());
    }
    void AddMesh(TMesh* mesh) override { Meshes.push_back(mesh); }
    void RemoveMesh(TMesh* mesh) override { Erase(Meshes, mesh); }
    void AddSprite3D(TSprite3D* sprite) override { Sprites3D.push_back(sprite); }
    void RemoveSprite3D(TSprite3D* sprite) override { Erase(Sprites3D, sprite); }
    void AddVehicle(TVehicle* vehicle) override { Vehicles.push_back(vehicle); }
    void RemoveVehicle(TVehicle* vehicle) override { Erase(Vehicles, vehicle); }
    TCar* FirstCar() const override { return nullptr; }
    int32_t HourOfDay() const override { return 12; }
    std::unique_ptr<TAICar> CreateTrafficCar(int32_t model) override {
        Models.push_back(model);
        return nullptr;
    }
    void PlaySample(const std::string& key) override { Samples.push_back(key); }

    std::vector<TMesh*> Meshes;
    std::vector<TSprite3D*> Sprites3D;
    std::vector<TVehicle*> Vehicles;
    std::vector<int32_t> Models;
    std::vector<std::string> Samples;
};

// A straight track along world Y = y from X = 0 with its last point at t = end (points every 4).
std::unique_ptr<TBezierCurve> StraightTrack(float y, float end) {
    auto track = std::make_unique<TBezierCurve>();
    for (float t = 0; t < end; t += 4)
        track->AddPoint(t + 0.5f, y, t);
    track->AddPoint(end + 0.5f, y, end);
    track->Prepare();
    return track;
}

class TrafficEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Previous = std::filesystem::current_path();
        std::filesystem::current_path(KAL_RUN_DIR); // the routes of the data set
        Resources().Clear();
        Resources().AddTexture("lamp", 1);
        TMeshRecord figure;
        figure.Extent = VectorMake(0.5f, 0.3f, 1.8f);
        for (int f = 1; f <= 3; ++f)
            for (int p = 1; p <= 3; ++p)
                Resources().AddMesh("human" + std::to_string(f) + std::to_string(p), figure);
        SeedRandom(3);
        Traffic = std::make_unique<TTrafficEngine>(Host);
        // A walkable square round (100, 300) in world cells.
        for (int32_t x = 90; x < 110; ++x)
            for (int32_t y = 511 - 310; y < 511 - 290; ++y) {
                Traffic->Cells.At(x, y) = GroundPedestrian;
                Traffic->PedestrianCells.push_back({x, y});
            }
    }
    void TearDown() override {
        Traffic.reset();
        Resources().Clear();
        std::filesystem::current_path(Previous);
    }

    TRecordingTrafficHost Host;
    std::unique_ptr<TTrafficEngine> Traffic;
    std::filesystem::path Previous;
};

TEST(TTrafficEngineRegion, APointInTheMiddleAndTheFarCorner) {
    auto r = TTrafficEngine::RegionOf(int32_t(std::trunc(100.7f)), int32_t(std::trunc(300.2f)));
    EXPECT_EQ(r, (std::array<int32_t, 4>{96, 288, 128, 320}));
    EXPECT_EQ(TTrafficEngine::RegionOf(511, 511), (std::array<int32_t, 4>{480, 480, 511, 511}));
}

TEST(TTrafficEngine, RegionsHalveTheMapFourTimesWithSharedBorders) {
    EXPECT_EQ(TTrafficEngine::RegionOf(0, 0), (std::array<int32_t, 4>{0, 0, 32, 32}));
    EXPECT_EQ(TTrafficEngine::RegionOf(100, 100), (std::array<int32_t, 4>{96, 96, 128, 128}));
    EXPECT_EQ(TTrafficEngine::RegionOf(511, 511), (std::array<int32_t, 4>{480, 480, 511, 511}));
    // A point on a border belongs to the region that starts there.
    EXPECT_EQ(TTrafficEngine::RegionOf(128, 5)[0], 128);
}

TEST_F(TrafficEngineTest, TheFirstUpdateRespawnsAndThenEvery401stInOneRegion) {
    Traffic->SetPedestrianCount(5);
    std::vector<int> respawns;
    for (int update = 0; update < 900; ++update) {
        Traffic->Update(100.7f, 300.2f);
        if (Traffic->FramesSinceRespawn == 1)
            respawns.push_back(update);
    }
    EXPECT_EQ(respawns, (std::vector<int>{0, 401, 802}));
    EXPECT_EQ(Traffic->Region, (std::array<int32_t, 4>{96, 288, 128, 320}));
    ASSERT_EQ(Traffic->Pedestrians.size(), 5u);
    for (const auto& p : Traffic->Pedestrians) {
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(Traffic->KeptAt(float(p->Position.x), float(p->Position.y)));
        EXPECT_EQ(p->Behaviour, HUMAN_WALKING);
    }
    EXPECT_EQ(Host.Meshes.size(), 5u);
}

TEST_F(TrafficEngineTest, CrossingIntoAnotherRegionRespawnsAtOnce) {
    Traffic->Update(100.7f, 300.2f);
    for (int update = 0; update < 10; ++update)
        Traffic->Update(100.7f, 300.2f);
    EXPECT_EQ(Traffic->FramesSinceRespawn, 11);
    Traffic->Update(130.0f, 300.2f);
    EXPECT_EQ(Traffic->FramesSinceRespawn, 1);
}

TEST_F(TrafficEngineTest, LoweringThePedestrianCountTakesTheRestAway) {
    Traffic->SetPedestrianCount(30);
    Traffic->Update(100.7f, 300.2f);
    ASSERT_EQ(Host.Meshes.size(), 30u);
    THumanMesh* kept = Traffic->Pedestrians[9].get();
    Traffic->SetPedestrianCount(10);
    EXPECT_EQ(Traffic->Pedestrians.size(), 10u);
    EXPECT_EQ(Host.Meshes.size(), 10u);
    EXPECT_EQ(Host.Meshes.back(), kept);
    EXPECT_EQ(Host.Sprites3D.size(), 10u); // their shadows went with them
}

TEST_F(TrafficEngineTest, ARaisedCarCountIsFilledOnlyWhenACandidateExists) {
    Traffic->SetCarCount(4);
    EXPECT_EQ(Traffic->Cars.size(), 4u);
    Traffic->Update(100.7f, 300.2f); // no tracks: no candidates, nothing asked for
    EXPECT_TRUE(Host.Models.empty());
    Traffic->Tracks.push_back(StraightTrack(300.5f, 200));
    Traffic->Respawn(); // of the candidates only t = 64 and 128 lie 24 to 40 metres from the car
    ASSERT_EQ(Host.Models.size(), 2u);
    for (int32_t model : Host.Models)
        EXPECT_TRUE(model >= 0 && model < 6);
    EXPECT_TRUE(Traffic->CarCandidates.empty());
}

TEST_F(TrafficEngineTest, ATrackEndingAt95Point6OffersParametersUpTo96) {
    // Players 20 metres beside the whole track: every point of it may take a car.
    Traffic->Players = {{10, 320.5f}, {40, 320.5f}, {70, 320.5f}, {100, 320.5f}};
    Traffic->Tracks.push_back(StraightTrack(300.5f, 95.6f));
    Traffic->CollectCarCandidates();
    std::vector<float> ts;
    for (const TSpawnPoint& p : Traffic->CarCandidates)
        ts.push_back(p.t);
    EXPECT_EQ(ts, (std::vector<float>{0, 16, 32, 48, 64, 80, 96}));
    EXPECT_FLOAT_EQ(Traffic->CarCandidates.back().X, 96.1f); // t = 96 is the track's last point
    Traffic->Tracks[0] = StraightTrack(300.5f, 100);
    Traffic->CollectCarCandidates();
    EXPECT_EQ(Traffic->CarCandidates.back().t, 96);
}

TEST_F(TrafficEngineTest, CarCandidatesStopAt1022) {
    Traffic->Players = {{250, 250}};
    for (int k = 0; k < 400; ++k) // one upon another, each with three candidates 21 to 31 metres away
        Traffic->Tracks.push_back(StraightTrack(270.5f, 480));
    Traffic->CollectCarCandidates();
    EXPECT_EQ(Traffic->CarCandidates.size(), MaxCarCandidates);
}

TEST_F(TrafficEngineTest, PedestriansAppearOutOfEveryPlayersSightButNearOne) {
    // The walkable square is 20 x 20 metres round (100, 300).
    struct TCase {
        const char* Name;
        std::vector<TPlayerSight> Players;
        bool Filled;
        float Nearest; // metres: nothing appears nearer to a player car
        bool Any;
    };
    const TCase cases[] = {
        {"the first fill, the car in the middle", {{100, 300}}, false, SpawnClearance, true},
        {"later, the car in the middle", {{100, 300}}, true, UnseenReach, false},
        {"later, the car beside the square, facing away", {{100, 330, 270}}, true, UnseenReach, true},
        {"later, the car beside the square, facing it", {{100, 330, 90}}, true, UnseenReach, false},
        {"later, the second car in the middle", {{100, 330, 270}, {100, 300}}, true, UnseenReach, false},
        {"later, far away", {{400, 100}}, true, UnseenReach, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Traffic->Players = c.Players;
        Traffic->Filled = c.Filled;
        Traffic->CollectPedestrianCandidates();
        EXPECT_EQ(!Traffic->PedestrianCandidates.empty(), c.Any);
        for (const auto& cell : Traffic->PedestrianCandidates) {
            float x = float(cell[0]), y = float(511 - cell[1]), nearest = 1e9f;
            for (const TPlayerSight& p : c.Players)
                nearest = std::min(nearest, std::hypot(p.X - x, p.Y - y));
            ASSERT_GE(nearest, c.Nearest) << x << ", " << y;
            ASSERT_LT(nearest, LivingReach) << x << ", " << y;
        }
    }
}

TEST(TrafficRoutes, TheDataSetCarriesBothRoutes) {
    for (const char* name : {"boss.cur", "director.cur"}) {
        std::string path = std::string(KAL_RUN_DIR) + "/data/city/" + name;
        auto route = LoadRoute(path);
        EXPECT_GT(route->Points.size(), 4u) << name;
    }
}

TEST(TrafficRoutes, ABrokenRouteNamesTheFileAndTheRecord) {
    std::vector<uint8_t> bytes;
    auto put = [&](int32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes.push_back(uint8_t(uint32_t(v) >> (8 * k)));
    };
    put(10), put(20), put(0), put(600), put(20), put(4);
    try {
        ParseRoute(bytes.data(), bytes.size(), "boss.cur");
        FAIL() << "a point off the map was taken";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "boss.cur: route record 1 at cell 600, 20 lies off the 512 x 512 map");
    }
    bytes.resize(20);
    try {
        ParseRoute(bytes.data(), bytes.size(), "boss.cur");
        FAIL() << "a cut record was taken";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "boss.cur: 20 bytes is not a whole number of 12-byte route records; record 1 "
                               "has only 8 bytes");
    }
}

} // namespace
