// The target engine against a recording host: the objects it puts into and takes out of the
// engine's lists, a projection the test controls, the players it credits and the samples it plays.
#include "rules/TargetEngine.h"
#include "sprites/CheckpointSprite.h"
#include "sprites/LocatorSprite.h"
#include "player/PlayerData.h"
#include "Resources.h"
#include "sprites/StarSprite.h"
#include "sprites/TargetSprite.h"
#include "uErrors.h"
#include "uRandom.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>


namespace {

// The engine's lists as far as the target engine uses them. A frame steps every object and unlinks
// those whose alive flag is clear, as the engine core does; its virtual calls would crash on an object
// freed while still listed.
class TRecordingHost : public TTargetHost {
  public:
    void AddSprite(TSprite* sprite) override { Add(Sprites, sprite); }
    void AddSprite3D(TSprite3D* sprite) override { Add(Sprites3D, sprite); }
    void AddMesh(TMesh* mesh) override { Add(Meshes, mesh); }
    // A map symbol may be taken out before it was ever shown; everything else entered its list
    // when it was made, so an unknown pointer there is one freed too early or never made.
    void RemoveSprite(TSprite* sprite) override { Remove(Sprites, sprite); }
    void RemoveSprite3D(TSprite3D* sprite) override {
        EXPECT_TRUE(EverAdded.contains(sprite));
        Remove(Sprites3D, sprite);
    }
    void RemoveMesh(TMesh* mesh) override {
        EXPECT_TRUE(EverAdded.contains(mesh));
        Remove(Meshes, mesh);
    }
    TScreenPoint Project(float x, float y, float z) override { return Projection(x, y, z); }
    bool IsTwoPlayer() const override { return TwoPlayer; }
    TPlayerData& Player(int i) override {
        if (i != 1 && i != 2)
            throw ERangeError("Player " + std::to_string(i) + " out of range 1..2");
        return i == 1 ? Player1 : Player2;
    }
    void PlaySample(const std::string& key) override { Samples.push_back(key); }

    void Frame() {
        Step(Sprites);
        Step(Sprites3D);
        Step(Meshes);
    }

    template <class T> int CountOf(const std::vector<TSprite3D*>& list) const {
        return int(std::count_if(list.begin(), list.end(), [](TSprite3D* s) { return dynamic_cast<T*>(s); }));
    }
    static bool Contains(const auto& list, const void* object) {
        return std::find(list.begin(), list.end(), object) != list.end();
    }

    // Ten pixels per map unit, with the map point (100, 100) at the screen centre.
    std::function<TScreenPoint(float, float, float)> Projection = [](float x, float y, float) {
        return TScreenPoint{320 + (x - 100) * 10, 240 + (y - 100) * 10};
    };
    bool TwoPlayer = false;
    TPlayerData Player1{TProfileRecord{}};
    TPlayerData Player2{TProfileRecord{}};
    std::vector<std::string> Samples;
    std::vector<TSprite*> Sprites;
    std::vector<TSprite3D*> Sprites3D;
    std::vector<TMesh*> Meshes;
    std::set<const void*> EverAdded;
    int Removals = 0;

  private:
    template <class T> void Add(std::vector<T*>& list, T* object) {
        object->Alive = true;
        list.push_back(object);
        EverAdded.insert(object);
    }
    template <class T> void Remove(std::vector<T*>& list, T* object) {
        std::erase(list, object);
        ++Removals;
    }
    template <class T> static void Step(std::vector<T*>& list) {
        for (T* object : list) {
            object->Update();
            object->Animate();
        }
        std::erase_if(list, [](T* object) { return !object->Alive; });
    }
};

class TTargetEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Resources().Clear();
        Resources().AddMesh("arrow", TMeshRecord{});
        Resources().AddTexture("map_destination", 21);
        Resources().AddTexture("target", 22);
        Resources().AddTexture("sipka_target", 23);
        Resources().AddTexture("star", 24);
        SeedRandom(1234);
    }
    void TearDown() override {
        Targets.reset();
        // Whatever the target engine made has left the lists before it was freed.
        EXPECT_TRUE(Host.Sprites.empty());
        EXPECT_TRUE(Host.Sprites3D.empty());
        EXPECT_TRUE(Host.Meshes.empty());
        Resources().Clear();
    }

    // Four targets along a street, created A, B, C, D; hidden as a route is before it starts.
    void AddRoute() {
        for (float x : {10.0f, 20.0f, 30.0f, 40.0f})
            Targets->Add(10, 0, x, 10);
        for (TTarget& target : Targets->Targets) {
            target.Mesh->Visible = false;
            target.Marker->Visible = false;
        }
    }

    TRecordingHost Host;
    std::unique_ptr<TTargetEngine> Targets = std::make_unique<TTargetEngine>(Host);
};

} // namespace

TEST_F(TTargetEngineTest, StartsWithoutTargetsOrMode) {
    EXPECT_EQ(Targets->Mode, tmNone);
    EXPECT_TRUE(Targets->IsEmpty());
    EXPECT_EQ(Targets->LastReached, -1);
    EXPECT_EQ(Targets->AddedCount, 0);
}

TEST_F(TTargetEngineTest, AddPutsMeshMarkerAndLocatorIntoTheLists) {
    Targets->Add(50, 7, 10.5f, 21.5f);
    Targets->Add(60, 8, 30, 40);
    ASSERT_EQ(Targets->Count(), 2);
    EXPECT_EQ(Targets->AddedCount, 2);

    const TTarget& first = Targets->Targets[0];
    EXPECT_EQ(first.Index, 0);
    EXPECT_EQ(Targets->Targets[1].Index, 1);
    EXPECT_FLOAT_EQ(first.X, 10.5f);
    EXPECT_FLOAT_EQ(first.Y, 21.5f);
    EXPECT_EQ(first.Points, 50);
    EXPECT_EQ(first.Bonus, 7);
    EXPECT_FLOAT_EQ(float(first.Mesh->Position.x), 10.5f);
    EXPECT_FLOAT_EQ(float(first.Mesh->Position.z), 1.0f);
    EXPECT_FLOAT_EQ(float(first.Marker->Position.y), 21.5f);
    EXPECT_EQ(first.Marker->Kind, 0);
    // The map point is rounded, halves to even: 10.5 to 10 and 21.5 to 22.
    // The 24-pixel symbol is centred on that point of the map picture: (96 + 0.875 * 10,
    // 48 + 0.875 * 22 - 32) on the screen, rounded.
    EXPECT_EQ(first.MapSymbol->X, 105 - 12);
    EXPECT_EQ(first.MapSymbol->Y, 35 - 12);

    EXPECT_TRUE(TRecordingHost::Contains(Host.Meshes, first.Mesh));
    EXPECT_TRUE(TRecordingHost::Contains(Host.Sprites3D, first.Marker));
    EXPECT_TRUE(TRecordingHost::Contains(Host.Sprites, first.Locator));
    EXPECT_FALSE(TRecordingHost::Contains(Host.Sprites, first.MapSymbol)); // only while the map is open
    EXPECT_EQ(Host.Sprites.size(), 2u);
}

TEST_F(TTargetEngineTest, EdgesOfTheSquareAreInside) {
    Targets->Add(0, 0, 10, 10);
    EXPECT_TRUE(Targets->InArea(0, 11.5f, 8.5f));
    EXPECT_TRUE(Targets->InArea(0, 8.5f, 11.5f));
    EXPECT_FALSE(Targets->InArea(0, 11.51f, 10));
    EXPECT_FALSE(Targets->InArea(0, 10, 8.49f));
    EXPECT_FALSE(Targets->InArea(1, 10, 10));
    EXPECT_FALSE(Targets->InArea(-1, 10, 10));

    Targets->Mode = tmAnyOrder;
    Targets->Check(1, 11.5f, 11.5f);
    EXPECT_EQ(Targets->LastReached, 0);
    EXPECT_TRUE(Targets->IsEmpty());
}

TEST_F(TTargetEngineTest, OrderedRouteIsDrivenFromTheEnd) {
    AddRoute();
    Targets->Mode = tmOrdered;
    std::vector<TTarget> route = Targets->Targets;

    for (float x : {10.0f, 20.0f, 30.0f}) {
        Targets->Check(1, x, 10);
        EXPECT_EQ(Targets->LastReached, -1);
        EXPECT_EQ(Targets->Count(), 4);
    }
    EXPECT_TRUE(Host.Samples.empty());

    Targets->Check(1, 40, 10);
    EXPECT_EQ(Targets->LastReached, 3);
    ASSERT_EQ(Targets->Count(), 3);
    EXPECT_TRUE(route[3].Mesh->Reached);
    EXPECT_FALSE(route[3].Mesh->Alive);
    EXPECT_TRUE(route[3].Marker->Reached);
    EXPECT_FALSE(route[3].Locator->Alive);
    EXPECT_TRUE(route[1].Mesh->Visible && route[1].Marker->Visible);
    EXPECT_TRUE(route[2].Mesh->Visible && route[2].Marker->Visible);
    EXPECT_FALSE(route[0].Mesh->Visible || route[0].Marker->Visible); // the finish is never touched

    // C is active now; B has nothing to do yet.
    Targets->Check(1, 20, 10);
    EXPECT_EQ(Targets->LastReached, -1);
    Targets->Check(1, 30, 10);
    EXPECT_EQ(Targets->LastReached, 2);
    EXPECT_EQ(Targets->Count(), 2);
    EXPECT_FALSE(route[0].Mesh->Visible);
    EXPECT_EQ(Targets->Targets.back().Index, 1);
}

TEST_F(TTargetEngineTest, OverlappingTargetsAreReachedOnePerFrame) {
    Targets->Mode = tmAnyOrder;
    Targets->Add(0, 0, 10, 10);
    Targets->Add(0, 0, 11, 10);
    Targets->Check(1, 10.5f, 10);
    EXPECT_EQ(Targets->LastReached, 0);
    ASSERT_EQ(Targets->Count(), 1);
    EXPECT_EQ(Targets->Targets[0].Index, 1);
    EXPECT_FLOAT_EQ(Targets->Targets[0].X, 11);

    Targets->Check(1, 10.5f, 10);
    EXPECT_EQ(Targets->LastReached, 0);
    EXPECT_TRUE(Targets->IsEmpty());
}

TEST_F(TTargetEngineTest, AnyOrderReachesTheTargetWhereverItIs) {
    Targets->Mode = tmAnyOrder;
    for (float x : {10.0f, 20.0f, 30.0f})
        Targets->Add(0, 0, x, 10);
    Targets->Check(1, 20, 10);
    EXPECT_EQ(Targets->LastReached, 1);
    ASSERT_EQ(Targets->Count(), 2);
    EXPECT_EQ(Targets->Targets[1].Index, 2);
}

TEST_F(TTargetEngineTest, AMissAfterAHitClearsLastReached) {
    Targets->Mode = tmAnyOrder;
    Targets->Add(0, 0, 10, 10);
    Targets->Add(0, 0, 50, 10);
    Targets->Check(1, 10, 10);
    EXPECT_EQ(Targets->LastReached, 0);
    Targets->Check(1, 30, 10);
    EXPECT_EQ(Targets->LastReached, -1);

    Targets->Check(1, 50, 10);
    EXPECT_EQ(Targets->LastReached, 0);
    Targets->Check(1, 50, 10); // no targets left
    EXPECT_EQ(Targets->LastReached, -1);
}

TEST_F(TTargetEngineTest, ShownOnlyAndNoModeAreNeverReached) {
    Targets->Add(0, 0, 10, 10);
    Targets->Check(1, 10, 10);
    Targets->Mode = tmShownOnly;
    Targets->Check(1, 10, 10);
    EXPECT_EQ(Targets->LastReached, -1);
    EXPECT_EQ(Targets->Count(), 1);
}

TEST_F(TTargetEngineTest, ZeroPointsAndBonusStillCelebrate) {
    Targets->Mode = tmAnyOrder;
    Targets->Add(0, 0, 12, 34);
    Targets->Check(1, 12, 34);
    EXPECT_EQ(Host.Player1.Score, 0);
    EXPECT_FLOAT_EQ(Host.Player1.Time, 0);
    EXPECT_EQ(Host.Samples, std::vector<std::string>{"checkpoint"});

    ASSERT_EQ(Host.CountOf<TStarSprite>(Host.Sprites3D), 100);
    for (TSprite3D* sprite : Host.Sprites3D)
        if (dynamic_cast<TStarSprite*>(sprite)) {
            EXPECT_FLOAT_EQ(sprite->Width, 0.1f);
            EXPECT_FLOAT_EQ(float(sprite->Position.x), 12);
            EXPECT_FLOAT_EQ(float(sprite->Position.y), 34);
        }
}

TEST_F(TTargetEngineTest, OnePlayerGetsPointsAndTime) {
    Targets->Mode = tmOrdered;
    Targets->Add(50, 7, 10, 10);
    Targets->Check(1, 10, 10);
    EXPECT_EQ(Host.Player1.Score, 50);
    EXPECT_FLOAT_EQ(Host.Player1.Time, 7);
    EXPECT_EQ(Host.Player1.ExtraPoints, 0);
    EXPECT_EQ(Host.Player2.Score, 0);
}

TEST_F(TTargetEngineTest, TwoPlayerRaceCreditsExtraPointsOfTheDriver) {
    Host.TwoPlayer = true;
    Targets->Mode = tmAnyOrder;
    Targets->Add(50, 7, 10, 10);
    Targets->Add(30, 7, 20, 10);
    Targets->Check(2, 10, 10);
    EXPECT_EQ(Host.Player2.ExtraPoints, 50);
    EXPECT_EQ(Host.Player2.Score, 0);
    EXPECT_FLOAT_EQ(Host.Player2.Time, 0);
    EXPECT_EQ(Host.Player1.ExtraPoints, 0);
    Targets->Check(1, 20, 10);
    EXPECT_EQ(Host.Player1.ExtraPoints, 30);
    EXPECT_EQ(Host.Player1.Score, 0);
    EXPECT_FLOAT_EQ(Host.Player1.Time, 0);
}

TEST_F(TTargetEngineTest, TwoPlayerRaceRejectsAThirdPlayer) {
    Host.TwoPlayer = true;
    Targets->Mode = tmAnyOrder;
    Targets->Add(50, 7, 10, 10);
    EXPECT_THROW(Targets->Check(3, 10, 10), ERangeError);
    ASSERT_EQ(Targets->Count(), 1);
    EXPECT_FALSE(Targets->Targets[0].Mesh->Reached);
    EXPECT_TRUE(Host.Samples.empty());
}

// The arrow is centred on its point of the frame.
int32_t CentreX(const TSprite& s) { return s.X + int32_t(s.Width / 2); }
int32_t CentreY(const TSprite& s) { return s.Y + int32_t(s.Height / 2); }

TEST_F(TTargetEngineTest, LocatorOnTheRightEdgeForATargetStraightRight) {
    Targets->Add(0, 0, 108, 100); // (400, 240) on screen, the player at (320, 240)
    Targets->UpdateLocators(100, 100);
    const TLocatorSprite& locator = *Targets->Targets[0].Locator;
    EXPECT_EQ(CentreX(locator), 620);
    EXPECT_EQ(CentreY(locator), 240);
    EXPECT_NEAR(locator.Angle, 0.0f, 1e-4f);
}

TEST_F(TTargetEngineTest, LocatorOnTheTopEdgeForATargetStraightUp) {
    Targets->Add(0, 0, 100, 108);
    Targets->UpdateLocators(100, 100);
    const TLocatorSprite& locator = *Targets->Targets[0].Locator;
    EXPECT_EQ(CentreX(locator), 320);
    EXPECT_EQ(CentreY(locator), 460);
    EXPECT_NEAR(locator.Angle, 90.0f, 1e-4f);
}

TEST_F(TTargetEngineTest, LocatorTakesTheFirstEdgeAndRoundsTheCrossing) {
    // Down and to the left at 1 : 3 from (320, 240): the bottom edge at x = 320 - 220 / 3.
    Targets->Add(0, 0, 99, 97);
    Targets->UpdateLocators(100, 100);
    const TLocatorSprite& locator = *Targets->Targets[0].Locator;
    EXPECT_EQ(CentreX(locator), 247);
    EXPECT_EQ(CentreY(locator), 20);
    EXPECT_NEAR(locator.Angle, 90.0f - std::atan2(-1.0f, -3.0f) * 180.0f / 3.14159265f, 1e-3f);
}

TEST_F(TTargetEngineTest, LocatorStaysPutWhenTheRayMeetsNoEdge) {
    Targets->Add(0, 0, 108, 100);
    Targets->UpdateLocators(100, 100);
    Host.Projection = [](float x, float, float) {
        return TScreenPoint{x == 100 ? -2000.0f : -1900.0f, -2000};
    };
    Targets->UpdateLocators(100, 100);
    EXPECT_EQ(CentreX(*Targets->Targets[0].Locator), 620);
    EXPECT_EQ(CentreY(*Targets->Targets[0].Locator), 240);

    // A target on the player's own screen point points nowhere and moves nowhere.
    Host.Projection = [](float, float, float) { return TScreenPoint{320, 240}; };
    Targets->UpdateLocators(100, 100);
    EXPECT_EQ(CentreX(*Targets->Targets[0].Locator), 620);
    EXPECT_FLOAT_EQ(Targets->Targets[0].Locator->Angle, 90);
}

TEST_F(TTargetEngineTest, LocatorStylesFollowTheMode) {
    Targets->Add(0, 0, 108, 100);
    Targets->Add(0, 0, 100, 108);
    auto locator = [&](int i) { return Targets->Targets[i].Locator; };

    Targets->Mode = tmShownOnly;
    Targets->UpdateLocators(100, 100);
    EXPECT_EQ(locator(0)->Alpha, 255);
    EXPECT_EQ(locator(0)->Width, 32u);

    Targets->Mode = tmOrdered;
    Targets->UpdateLocators(100, 100);
    EXPECT_EQ(locator(0)->Alpha, 0);
    EXPECT_EQ(locator(0)->Width, 16u);
    EXPECT_EQ(locator(0)->Height, 16u);
    EXPECT_EQ(locator(1)->Alpha, 248);
    EXPECT_EQ(locator(1)->Width, 32u);
    EXPECT_EQ(locator(1)->Height, 32u);

    Targets->Mode = tmAnyOrder;
    Targets->UpdateLocators(100, 100);
    EXPECT_EQ(locator(0)->Alpha, 248);
    EXPECT_EQ(locator(0)->Width, 32u);
    EXPECT_EQ(locator(1)->Alpha, 248);
}

TEST_F(TTargetEngineTest, MapShowsOnlyTheActiveTargetOfARoute) {
    Targets->ShowMapSymbols(true); // no targets: nothing to show
    EXPECT_EQ(Host.Sprites.size(), 0u);

    AddRoute();
    Targets->ShowMapSymbols(true);      // no mode yet
    EXPECT_EQ(Host.Sprites.size(), 4u); // the four locators

    Targets->Mode = tmOrdered;
    Targets->ShowMapSymbols(true);
    Targets->ShowMapSymbols(true);
    TTargetSprite* active = Targets->Targets[3].MapSymbol;
    EXPECT_EQ(std::count(Host.Sprites.begin(), Host.Sprites.end(), active), 1);
    EXPECT_EQ(Host.Sprites.size(), 5u);
    EXPECT_FALSE(TRecordingHost::Contains(Host.Sprites, Targets->Targets[2].MapSymbol));

    Targets->ShowMapSymbols(false);
    EXPECT_FALSE(active->Alive);
    Host.Frame();
    EXPECT_FALSE(TRecordingHost::Contains(Host.Sprites, active));
    Targets->ShowMapSymbols(true);
    EXPECT_TRUE(active->Alive);
    EXPECT_TRUE(TRecordingHost::Contains(Host.Sprites, active));
}

TEST_F(TTargetEngineTest, MapShowsEveryTargetInTheOtherModes) {
    for (uint8_t mode : {tmAnyOrder, tmShownOnly}) {
        Targets->Clear();
        Targets->Mode = mode;
        Targets->Add(0, 0, 10, 10);
        Targets->Add(0, 0, 20, 10);
        Targets->ShowMapSymbols(true);
        for (const TTarget& target : Targets->Targets)
            EXPECT_TRUE(TRecordingHost::Contains(Host.Sprites, target.MapSymbol));
        Targets->ShowMapSymbols(false);
        for (const TTarget& target : Targets->Targets)
            EXPECT_FALSE(target.MapSymbol->Alive);
    }
}

TEST_F(TTargetEngineTest, HiddenMapSymbolsOfWaitingTargetsSurviveAReach) {
    Targets->Mode = tmAnyOrder;
    Targets->Add(0, 0, 10, 10);
    Targets->Add(0, 0, 20, 10);
    Targets->ShowMapSymbols(true);
    Targets->ShowMapSymbols(false);
    Host.Frame();
    Targets->Check(1, 10, 10);
    Targets->ShowMapSymbols(true); // would touch freed memory had the reach freed it
    EXPECT_TRUE(TRecordingHost::Contains(Host.Sprites, Targets->Targets[0].MapSymbol));
}

TEST_F(TTargetEngineTest, ClearTakesEveryObjectOutOfTheLists) {
    Targets->Mode = tmAnyOrder;
    for (float x : {10.0f, 20.0f, 30.0f})
        Targets->Add(5, 1, x, 10);
    Targets->ShowMapSymbols(true);
    Targets->Check(1, 20, 10);
    ASSERT_EQ(Host.CountOf<TStarSprite>(Host.Sprites3D), 100);

    Targets->Clear();
    EXPECT_TRUE(Targets->IsEmpty());
    EXPECT_EQ(Targets->AddedCount, 0);
    EXPECT_EQ(Targets->Mode, tmAnyOrder);
    EXPECT_TRUE(Host.Sprites.empty());
    EXPECT_TRUE(Host.Sprites3D.empty());
    EXPECT_TRUE(Host.Meshes.empty());

    Targets->Add(0, 0, 40, 10);
    EXPECT_EQ(Targets->Targets[0].Index, 0);
    EXPECT_EQ(Targets->AddedCount, 1);
}

TEST_F(TTargetEngineTest, FallenStarsAreFreedAtTheNextReach) {
    Targets->Mode = tmAnyOrder;
    Targets->Add(0, 0, 10, 10);
    Targets->Add(0, 0, 20, 10);
    Targets->Check(1, 10, 10);
    for (int frame = 0; frame < 400; ++frame)
        Host.Frame();
    ASSERT_EQ(Host.CountOf<TStarSprite>(Host.Sprites3D), 0); // every spark back on the ground

    int removals = Host.Removals;
    Targets->Check(1, 20, 10);
    // The 100 stars, and the mesh, marker and locator of the first target, left their lists before
    // they were freed.
    EXPECT_GE(Host.Removals - removals, 103);
    EXPECT_EQ(Host.CountOf<TStarSprite>(Host.Sprites3D), 100);
    Host.Frame();
}

TEST_F(TTargetEngineTest, ReachedObjectsLeaveTheListsAsTheirStatesEnd) {
    Targets->Mode = tmOrdered;
    Targets->Add(0, 0, 10, 10);
    TTarget target = Targets->Targets[0];
    Targets->Check(1, 10, 10);
    Host.Frame();
    EXPECT_FALSE(TRecordingHost::Contains(Host.Meshes, target.Mesh));
    EXPECT_FALSE(TRecordingHost::Contains(Host.Sprites, target.Locator));
    EXPECT_TRUE(TRecordingHost::Contains(Host.Sprites3D, target.Marker)); // fading out
    for (int frame = 0; frame < 60; ++frame)
        Host.Frame();
    EXPECT_FALSE(TRecordingHost::Contains(Host.Sprites3D, target.Marker));
}
