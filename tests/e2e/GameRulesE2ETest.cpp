// The game engine in this process, on a real window, physics world and the generated data set: the
// state machine, the rules of a race (targets for whoever reaches them, the extra point and the
// catch-up pause), the stations, the warnings, and a finished mission entering the highscore table.
// Cars and fields are set directly, so each rule is driven to its edge in a frame or two.
#include "cars/Car.h"
#include "session/GameEngine.h"
#include "sprites/GoSprite.h"
#include "sprites/HintSprite.h"
#include "sprites/LocationSprite.h"
#include "ui/MenuImprovedEngine.h"
#include "sprites/SymbolSprite.h"
#include "sprites/TargetSprite.h"
#include "TestSupport.h"
#include "uText1250.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

class GameRulesE2E : public ::testing::Test {
  protected:
    // A game engine as the program creates it, with two players (Alice, Bob), stopped at the intro.
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists("data/city/city.tmf")) << "run from build/run";
        for (const char* nick : {"Alice", "Bob"}) {
            TProfileRecord record;
            record.Nick = nick;
            record.Index = int32_t(Profiles.Records.size());
            Profiles.Records.push_back(record);
        }
        THarnessOptions harness;
        harness.FixedClock = true;
        TGameSetup setup;
        setup.Profiles = &Profiles;
        setup.HighscoreFile = Dir.File("highscore.dat");
        Resources().Clear();
        Game = std::make_unique<TGameEngine>(640, 480, false, harness, setup);
        Game->LoadPlayer(2, 1);
    }
    void TearDown() override {
        Game.reset();
        Resources().Clear();
    }

    // Loads the city once, then starts game n as the menu does; the countdown is skipped and the
    // TAB hint kept away, so nothing but the rule under test moves.
    void Start(int n) {
        if (Game->GameState == gsIntroScreen)
            Game->SetGameState(gsStartGame);
        Game->TwoPlayer = n >= 11;
        Game->SetGameState(gsStartGame);
        Game->StartMission(n);
        Game->ShowMenu(0);
        Game->Rules.CountdownTicks = -1;
        Game->Loader.Sprites.GoSprite->Alive = false;
        Game->Rules.MapHintCountdown = -1;
    }
    // One pass of the game loop without the keyboard.
    void Frame() {
        Game->UpdateGame();
        Game->RenderFrame();
    }
    void SetVelocity(TCar& car, float vx, float vy) { dBodySetLinearVel(car.Bodies[0], vx, vy, 0); }
    std::string Hint() const { return Game->Loader.Sprites.HintSprite->Alive ? Game->Loader.Sprites.HintSprite->Text[0] : ""; }

    TTempDir Dir;
    TProfileList Profiles;
    std::unique_ptr<TGameEngine> Game;
};

struct TPlace {
    float X, Y, Z, Heading;
    bool operator==(const TPlace&) const = default;
};

TPlace PlaceOf(const TCar& car) {
    return {car.PosX, car.PosY, car.GetPosition().z, car.Heading};
}

} // namespace

// --- The state machine ---------------------------------------------------------------------------

TEST_F(GameRulesE2E, ForbiddenStateChangesThrowAndKeepTheNewState) {
    ASSERT_EQ(Game->GameState, gsIntroScreen);
    Game->SetGameState(gsIntroScreen); // the same state: nothing happens, nothing throws
    EXPECT_EQ(Game->GameState, gsIntroScreen);
    try {
        Game->SetGameState(gsInMap);
        FAIL() << "no exception";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "gsInMap: Invalid previous state.");
    }
    EXPECT_EQ(Game->GameState, gsInMap);
    Game->GameState = gsIntroScreen;
    EXPECT_THROW(Game->SetGameState(gsInGame), Exception);
    EXPECT_EQ(Game->GameState, gsInGame);
}

TEST_F(GameRulesE2E, AGameStartsWithoutLoadingAgainAndTheMapComesAndGoes) {
    Start(1);
    ASSERT_EQ(Game->GameState, gsInGame);
    // The menu passes through gsStartGame for every further game; nothing is loaded or drawn again.
    uint64_t frames = Game->FramesDone;
    Game->SetGameState(gsStartGame);
    EXPECT_EQ(Game->GameState, gsInGame);
    EXPECT_EQ(Game->FramesDone, frames);

    TCar& car = *Game->Car(1);
    Game->SetGameState(gsInMap);
    EXPECT_TRUE(Game->MapSprite->Alive);
    EXPECT_TRUE(Game->Loader.Sprites.LocationSprite->Alive);
    EXPECT_EQ(Game->Loader.Sprites.LocationSprite->MapX, int32_t(car.PosX));
    EXPECT_EQ(Game->Loader.Sprites.LocationSprite->MapY, int32_t(car.PosY));
    EXPECT_TRUE(Game->Targets->Targets.back().MapSymbol->Alive);
    for (auto& symbol : Game->Loader.Sprites.SymbolSprites)
        EXPECT_FALSE(symbol->Alive); // no HUD over the map
    try {
        Game->SetGameState(gsStartGame); // no game starts from the map
        FAIL() << "no exception";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "gsStartGame: Invalid previous state.");
    }
    EXPECT_EQ(Game->GameState, gsStartGame);

    Game->GameState = gsInMap;
    Game->SetGameState(gsInGame);
    EXPECT_FALSE(Game->MapSprite->Alive);
    EXPECT_FALSE(Game->Loader.Sprites.LocationSprite->Alive);
    EXPECT_FALSE(Game->Targets->Targets.back().MapSymbol->Alive);
    EXPECT_TRUE(Game->Loader.Sprites.SymbolSprites[2]->Alive); // time
    EXPECT_TRUE(Game->Loader.Sprites.SymbolSprites[3]->Alive); // targets
}

// --- Races ---------------------------------------------------------------------------------------

TEST_F(GameRulesE2E, ARaceTargetGoesToThePlayerWhoReachesIt) {
    Start(11);
    TCar &car1 = *Game->Car(1), &car2 = *Game->Car(2);
    // The cars start a car's width apart plus half a metre.
    EXPECT_NEAR(std::hypot(car2.PosX - car1.PosX, car2.PosY - car1.PosY),
                (car1.Width + car2.Width) / 2 + 0.5f, 1e-4);
    int32_t created = Game->Targets->AddedCount;
    const TTarget active = Game->Targets->Targets.back();
    car2.SetPosition(active.X, active.Y);
    Game->Rules.Update();
    EXPECT_EQ(Game->Targets->LastReached, created - 1);
    EXPECT_EQ(Game->Targets->Count(), created - 1);
    EXPECT_EQ(Game->Players[1]->ExtraPoints, 1);
    EXPECT_EQ(Game->Players[0]->ExtraPoints, 0);
    EXPECT_EQ(Game->Rules.CatchUpCountdown, 0); // the cars are 8 units apart: no pause

    // 13 units apart and exactly as far from the next target: a tie makes car 2 the leader.
    const TTarget next = Game->Targets->Targets.back();
    car1.SetPosition(next.X - 6.5f, next.Y);
    car2.SetPosition(next.X + 6.5f, next.Y);
    Game->Rules.Update();
    EXPECT_EQ(Game->Players[1]->ExtraPoints, 2);
    EXPECT_EQ(Game->Players[0]->ExtraPoints, 0);
    EXPECT_EQ(Game->Rules.CatchUpCountdown, 300);
}

TEST_F(GameRulesE2E, CarsFarApartGiveTheLeaderAPointAndPauseTheWorld) {
    Start(11);
    TCar* car1 = Game->Car(1);
    TCar* car2 = Game->Car(2);
    // The active target is (249, 271); car 2 is 12.5 units south of car 1, nearer to it, and car 1
    // is moving, so any physics step would show.
    car2->SetPosition(car1->PosX, car1->PosY - 12.5f);
    SetVelocity(*car1, 0, -3);
    Game->Rules.Update();
    EXPECT_EQ(Game->Players[1]->ExtraPoints, 1);
    EXPECT_EQ(Game->Players[0]->ExtraPoints, 0);
    EXPECT_EQ(Game->Rules.CatchUpCountdown, 300);
    EXPECT_EQ(Game->Rules.CatchUpPoint[0], car2->PosX);
    EXPECT_EQ(Game->Rules.CatchUpPoint[1], car2->PosY);
    EXPECT_EQ(Hint(), "Bob extra scores!");

    // 300 frames without a physics step; the last pass of the rules re-places the cars.
    TPlace leader = PlaceOf(*car2), other = PlaceOf(*car1);
    Game->RenderFrame();
    for (int frame = 2; frame <= 299; ++frame) {
        Frame();
        ASSERT_EQ(PlaceOf(*Game->Car(2)), leader) << "frame " << frame;
        ASSERT_EQ(PlaceOf(*Game->Car(1)), other) << "frame " << frame;
        ASSERT_EQ(Game->Rules.CatchUpCountdown, 300 - frame);
    }
    Game->UpdateGame();
    car1 = Game->Car(1);
    car2 = Game->Car(2);
    EXPECT_EQ(Game->Players[1]->ExtraPoints, 1); // one point per pause
    EXPECT_EQ(Game->RunFrames, 0);               // the name tags show again
    // The leader stays; the other car stands right behind it, in its track, nose to tail.
    EXPECT_EQ(car2->PosX, leader.X);
    EXPECT_EQ(car2->PosY, leader.Y);
    EXPECT_EQ(car2->Heading, leader.Heading);
    float gap = (car1->Length + car2->Length) / 2 + 0.5f;
    float h = leader.Heading * float(M_PI) / 180; // the cars travel towards the heading + 180
    EXPECT_NEAR(car1->PosX, leader.X + gap * std::cos(h), 1e-4);
    EXPECT_NEAR(car1->PosY, leader.Y + gap * std::sin(h), 1e-4);
    EXPECT_EQ(car1->Heading, leader.Heading);
    TPlace placed = PlaceOf(*car1);
    Game->RenderFrame(); // the 300th frame of the pause
    EXPECT_EQ(Game->Rules.CatchUpCountdown, 0);
    EXPECT_EQ(PlaceOf(*car1), placed);
    Frame(); // the world runs again
    EXPECT_NE(PlaceOf(*car1), placed);
    EXPECT_EQ(Game->Rules.CatchUpCountdown, 0);
}

// --- Stations, warnings, the finish --------------------------------------------------------------

TEST_F(GameRulesE2E, AStillCarInsideAStationAreaIsAtTheStation) {
    Start(1);
    TCar& car = *Game->Car(1);
    car.SetPosition(341, 142);
    Game->Rules.Update();
    EXPECT_TRUE(Game->Rules.AtGasStation);
    EXPECT_FALSE(Game->Rules.AtService);
    SetVelocity(car, 0.99f, 0);
    Game->Rules.Update();
    EXPECT_TRUE(Game->Rules.AtGasStation);
    SetVelocity(car, 1, 0);
    Game->Rules.Update();
    EXPECT_FALSE(Game->Rules.AtGasStation);

    car.SetPosition(339, 140); // a corner of the area counts
    Game->Rules.Update();
    EXPECT_TRUE(Game->Rules.AtGasStation);
    car.SetPosition(338.9f, 142);
    Game->Rules.Update();
    EXPECT_FALSE(Game->Rules.AtGasStation);
    car.SetPosition(259, 403);
    Game->Rules.Update();
    EXPECT_TRUE(Game->Rules.AtService);
    EXPECT_FALSE(Game->Rules.AtGasStation);
}

TEST_F(GameRulesE2E, ACarLeftTippedOverIsSetBackOnItsWheelsAfterThreeSeconds) {
    Start(1);
    // The body tilted about its length, as by a kerb, on its side or lying on another car.
    auto tilt = [&](float degrees, float speed = 0) {
        dQuaternion q;
        dQFromAxisAndAngle(q, 1, 0, 0, degrees * float(M_PI) / 180);
        dBodySetQuaternion(Game->Car(1)->Bodies[0], q);
        SetVelocity(*Game->Car(1), speed, 0);
    };
    Game->Car(1)->Fuel = 55;
    Game->Car(1)->Damage = 40;
    for (int frame = 0; frame < 400; ++frame) {
        tilt(20); // leaning, still on its wheels
        Game->Rules.Update();
    }
    for (int frame = 0; frame < 400; ++frame) {
        tilt(90, 1); // on its side, but still sliding
        Game->Rules.Update();
    }
    EXPECT_LT(Game->Car(1)->GetRotation()[10], 0.01f) << "neither is set upright";
    EXPECT_EQ(Hint(), "");
    for (int frame = 1; frame < 300; ++frame) {
        tilt(40); // propped up on a traffic car, wheels in the air
        Game->Rules.Update();
    }
    EXPECT_LT(Game->Car(1)->GetRotation()[10], 0.8f) << "three seconds are not over yet";
    tilt(40);
    Game->Rules.Update();
    TCar* fresh = Game->Car(1);
    EXPECT_GT(fresh->GetRotation()[10], 0.99f);
    EXPECT_EQ(fresh->Fuel, 55);
    EXPECT_EQ(fresh->Damage, 40);
    EXPECT_EQ(Hint(), "Your car is back on its wheels");
}

TEST_F(GameRulesE2E, FuelAndDamageWarnWhenTheyCrossTheirLimitsAndAHintIsNeverReplaced) {
    Start(1);
    TCar& car = *Game->Car(1);
    const std::string fuel = PairText(HintFuelLow)[0], damage = PairText(HintBadlyDamaged)[0];
    car.PrevFuel = 11;
    car.Fuel = 10;
    Game->Rules.Update();
    EXPECT_EQ(Hint(), fuel);
    EXPECT_EQ(Game->Loader.Sprites.HintSprite->Count, 0);

    Game->Loader.Sprites.HintSprite->Alive = false; // gone from the screen
    car.PrevFuel = 10;
    Game->Rules.Update();
    EXPECT_EQ(Hint(), "") << "staying at 10 % is no new warning";

    car.PrevDamage = 89.9f;
    car.Damage = 90;
    Game->Rules.Update();
    EXPECT_EQ(Hint(), damage);

    car.PrevFuel = 10.5f; // a new crossing while the damage hint is on screen
    Game->Rules.Update();
    EXPECT_EQ(Hint(), damage);
}

TEST_F(GameRulesE2E, TheLastTargetEntersTheHighscoreTableAtOnceAndOpensTheResult) {
    Start(1);
    TCar& car = *Game->Car(1);
    Game->Targets->Clear();
    Game->Targets->Add(0, 0, car.PosX, car.PosY);
    Game->Players[0]->Time = 12.5f;
    Game->Rules.Update();
    EXPECT_EQ(Game->Players[0]->Score, 24); // 300000 * 1 / (1000 * 12.5)
    EXPECT_EQ(Game->Menu->Screen, 14);

    ASSERT_EQ(std::filesystem::file_size(Dir.File("highscore.dat")), uintmax_t(HighscoreFileSize));
    THighscores saved;
    saved.Load(Dir.File("highscore.dat"), TestNotice);
    const THighscoreEntry& entry = saved.Tables[1][0];
    EXPECT_EQ(entry.Nick, "Alice");
    EXPECT_EQ(entry.Score, 24);
    EXPECT_EQ(entry.TimeMs, 12500);
    EXPECT_TRUE(saved.Tables[1][1].Empty());

    // The result screen stops the rules: the run is entered once.
    Frame();
    Frame();
    EXPECT_EQ(Game->Highscores.Tables[1][0].TimeMs, 12500);
    EXPECT_TRUE(Game->Highscores.Tables[1][1].Empty());
}
