// Gamepads, replays and the ghost on a real window, physics world and the generated data set: a run
// driven by a virtual pad, a recorded run driven again to the same end, the ghost that the player's
// car drives through, a run played on an uneven clock driven again on the fixed one, a damaged replay
// that is set aside, and the result screen's map with both routes.
#include "cars/Car.h"
#include "player/Config.h"
#include "session/GameEngine.h"
#include "sprites/GoSprite.h"
#include "ui/MenuImprovedEngine.h"
#include "controls/PadControls.h"
#include "TestSupport.h"
#include "uByteReader.h"
#include "uHarness.h"
#include "uRandom.h"

#include <GL/gl.h>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

class BeyondE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists("data/city/city.tmf")) << "run from build/run with the data set";
        TProfileRecord record;
        record.Nick = "Anna";
        Profiles.Records.push_back(record);
        Resources().Clear();
    }
    void TearDown() override {
        Game.reset();
        Resources().Clear();
    }

    // A game as the practice start makes it: seeded (or from the clock, as a session of the menu
    // is), on the fixed clock, the keys and pad from scripts. A replay brings its own mission and car.
    void Open(const std::string& keys, const std::string& pad = "", const TReplay* replay = nullptr,
              const std::vector<std::pair<uint64_t, std::string>>& shots = {}) {
        Game.reset();
        Resources().Clear();
        if (Unseeded)
            Randomize();
        else
            SeedRandom(1);
        std::ofstream(Dir.File("keys.txt")) << keys;
        THarnessOptions harness;
        harness.FixedClock = FixedClock;
        harness.KeyScript = Dir.File("keys.txt");
        if (!pad.empty()) {
            std::ofstream(Dir.File("pad.txt")) << pad;
            harness.PadScript = Dir.File("pad.txt");
        }
        harness.Shots = shots;
        // Nothing to look at: the world alone, as fast as it runs.
        harness.Headless = shots.empty() && FixedClock && !Windowed;
        Setup.Profiles = &Profiles;
        Setup.NoticeHold = false;
        Setup.Replay = replay;
        Game = std::make_unique<TGameEngine>(640, 480, false, harness, Setup);
        if (replay)
            StartPractice(replay->Mission, replay->CarType);
        else
            StartPractice(FirstMission, 0);
    }
    // Ticks of the game loop, each drawn, as Run makes them on the fixed clock.
    void Pass(int count = 1) {
        for (int i = 0; i < count; ++i)
            Game->Pass();
    }
    // What Run does before its first pass.
    void StartPractice(int mission, int car) {
        for (auto& player : Game->Players)
            player->SetCarType(car);
        Game->TwoPlayer = mission >= 11;
        if (!Game->TwoPlayer)
            Game->Players[0]->Mission = uint8_t(mission);
        Game->SetGameState(gsStartGame);
        Game->StartMission(mission);
        Game->ShowMenu(0);
    }
    // The last target moved under the car: the run ends in this pass.
    void FinishHere() {
        TCar& car = *Game->Car(1);
        Game->Targets->Clear();
        Game->Targets->Add(0, 0, car.PosX, car.PosY);
    }

    TTempDir Dir;
    TEnvironment Data{"XDG_DATA_HOME", Dir.Path.c_str()};
    TProfileList Profiles;
    TGameSetup Setup;
    std::unique_ptr<TGameEngine> Game;
    int FirstMission = 1;  // the mission Open starts
    bool Unseeded = false; // Open seeds the generator from the clock instead of with 1
    bool FixedClock = true; // Open plays on the fixed 10 ms clock, else on the clock installed
    bool Windowed = false;  // Open opens the window even without screenshots
};

// Up and right held after the countdown, then left: a curve through the streets.
const char* DriveKeys = "420 down UP\n480 down RIGHT\n560 up RIGHT\n640 down LEFT\n700 up LEFT\n";
constexpr int DrivePasses = 800;

struct TEnd {
    float X, Y, Heading, Time;
    int32_t Score;
};

TEnd EndOf(const TGameEngine& game) {
    const TCar& car = *game.Car(1);
    return {car.PosX, car.PosY, car.Heading, game.Players[0]->Time, game.Players[0]->Score};
}

} // namespace

TEST_F(BeyondE2E, ARecordedRunDrivesAgainToTheSameEnd) {
    Open(DriveKeys);
    Pass(DrivePasses);
    FinishHere();
    Pass(1);
    ASSERT_EQ(Game->Menu->Screen, 14);
    ASSERT_TRUE(Game->Recorder.HasLastRun);
    TEnd recorded = EndOf(*Game);
    EXPECT_GT(std::hypot(recorded.X - Game->Recorder.LastRun.Frames[0].X, recorded.Y - Game->Recorder.LastRun.Frames[0].Y), 20)
        << "the car drove off";
    TReplay kept;
    ASSERT_TRUE(LoadReplay(ReplayFileName(1), kept, 0, TestNotice))
        << "a finished run is kept as the first record";
    EXPECT_EQ(kept.Frames.size(), size_t(DrivePasses + 1));
    EXPECT_EQ(kept.Seed, 1u) << "the session's first game plays from the session's seed";

    Open("", "", &kept); // no keys at all: the replay drives
    Pass(DrivePasses);
    FinishHere();
    Pass(1);
    TEnd replayed = EndOf(*Game);
    EXPECT_EQ(replayed.X, recorded.X);
    EXPECT_EQ(replayed.Y, recorded.Y);
    EXPECT_EQ(replayed.Heading, recorded.Heading);
    EXPECT_EQ(replayed.Time, recorded.Time);
    EXPECT_EQ(replayed.Score, recorded.Score);
    EXPECT_EQ(Game->Menu->Screen, 14);
    TReplay after;
    ASSERT_TRUE(LoadReplay(ReplayFileName(1), after, 0, TestNotice));
    EXPECT_EQ(EncodeReplay(after), EncodeReplay(kept)) << "a replay writes nothing of the player's";
}

TEST_F(BeyondE2E, AVirtualPadDrivesTheMissionInProportion) {
    Open("", "400 axis RIGHT_TRIGGER 1\n"
             "400 button Y down\n410 button Y up\n"
             "500 axis LEFTX -0.575\n");
    Pass(420);
    TCar& car = *Game->Car(1);
    EXPECT_TRUE(car.LightsOn) << "Y switched the headlights on";
    EXPECT_EQ(car.Throttle, car.CarConfig.ForwardThrottle) << "the trigger pulled fully";
    Pass(100);
    EXPECT_GT(car.GetSpeed(), 3);
    EXPECT_FLOAT_EQ(car.Steer, -car.CarConfig.SteerAmount * QuantizedAmount(0.25f))
        << "a quarter to the left";
}

TEST_F(BeyondE2E, TheProgramTakesAPadScript) {
    std::ofstream(Dir.File("pad.txt")) << "420 axis RIGHT_TRIGGER 1\n420 button Y down\n";
    std::ostringstream command;
    command << "XDG_DATA_HOME=" << Dir.Path << " XDG_CONFIG_HOME=" << Dir.Path
            << " ./kalmirov -w -ns --fixed-clock --frames 900 --mission 1 --car 0 --pad "
            << Dir.File("pad.txt") << " --dump-state " << Dir.File("state.jsonl");
    ASSERT_EQ(std::system(command.str().c_str()), 0);
    std::ifstream in(Dir.File("state.jsonl"));
    const std::string carX = "\"cars\":[{\"x\":";
    std::string first, last;
    for (std::string line; std::getline(in, line);)
        if (line.find(carX) != std::string::npos)
            (first.empty() ? first : last) = line;
    ASSERT_FALSE(last.empty());
    EXPECT_NE(last.find("\"lights\":true"), std::string::npos) << last;
    auto number = [](const std::string& json, const std::string& key) {
        return std::stod(json.substr(json.find(key) + key.size()));
    };
    double moved = std::hypot(number(last, carX) - number(first, carX),
                              number(last, ",\"y\":") - number(first, ",\"y\":"));
    EXPECT_GT(moved, 5.0) << "the car moved on the pad's trigger";
}

namespace {

// No pads, but a record of every rumble asked for: pad number and strength.
class TRumbleRecorder : public TPadSource {
  public:
    explicit TRumbleRecorder(std::vector<std::pair<int, float>>& asked) : Asked(asked) {}
    void Read(TPadState pads[MaxPads], uint64_t) override {
        for (int i = 0; i < MaxPads; ++i)
            pads[i] = TPadState();
    }
    void Rumble(int pad, float strength, uint32_t) override { Asked.emplace_back(pad, strength); }

  private:
    std::vector<std::pair<int, float>>& Asked;
};

} // namespace

TEST_F(BeyondE2E, ACrashRumblesThePadAsHardAsTheDamageItDid) {
    Open("");
    Pass(420);
    std::vector<std::pair<int, float>> asked;
    Game->SetPadSource(std::make_unique<TRumbleRecorder>(asked));
    TCar& car = *Game->Car(1);
    // Crashes at three speeds (m/s), the last one with the rumble switched off.
    for (float speed : {4.0f, 8.0f, 40.0f, 8.0f}) {
        bool on = asked.size() < 3;
        Config().Rumble = on;
        Pass(30); // apart, so that each counts
        float before = car.Damage;
        dBodySetLinearVel(car.Bodies[0], speed, 0, 0);
        car.OnCrash();
        Pass();
        float damage = car.Damage - before;
        dBodySetLinearVel(car.Bodies[0], 0, 0, 0); // no second crash into whatever stands ahead
        ASSERT_GT(damage, 0);
        if (!on)
            break;
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.back().first, 0) << "player 1's pad";
        EXPECT_FLOAT_EQ(asked.back().second, std::min(1.0f, damage / RumbleFullDamage)) << speed;
    }
    Config().Rumble = true;
    ASSERT_EQ(asked.size(), 3u) << "switched off, the crash asked for nothing";
    EXPECT_NEAR(asked[1].second / asked[0].second, 2, 0.2) << "twice the damage, twice the rumble";
    EXPECT_EQ(asked[2].second, 1) << "a wreck rumbles fully";
}

TEST_F(BeyondE2E, ThePlayersCarDrivesThroughTheGhost) {
    // The record: the car standing still at its start for the whole run, so its ghost stands right
    // where the car starts and in its way.
    Open("");
    Pass(500);
    FinishHere();
    Pass(1);

    Open("420 down UP\n");
    Pass(1);
    ASSERT_TRUE(Game->Recorder.HasBest) << "the record run drives along";
    float startX = Game->Car(1)->PosX, startY = Game->Car(1)->PosY;
    Pass(599);
    TEnd withGhost = EndOf(*Game);
    EXPECT_GT(std::hypot(withGhost.X - startX, withGhost.Y - startY), 15) << "nothing held the car back";
    EXPECT_EQ(Game->Car(1)->Damage, 0) << "the ghost never touched it";

    // The same run without the ghost ends in the very same place.
    Config().Ghosts = false;
    Open("420 down UP\n");
    Pass(600);
    Config().Ghosts = true;
    EXPECT_FALSE(Game->Recorder.HasBest);
    TEnd withoutGhost = EndOf(*Game);
    EXPECT_EQ(withoutGhost.X, withGhost.X);
    EXPECT_EQ(withoutGhost.Y, withGhost.Y);
    EXPECT_EQ(withoutGhost.Heading, withGhost.Heading);
}

TEST_F(BeyondE2E, TheGhostStandsOnItsWheels) {
    // The record: the car standing at its start, so the ghost stands level there too.
    Windowed = true; // the ghost is looked at in the picture
    Open("");
    Pass(500);
    FinishHere();
    Pass(1);
    Open("");
    Pass(1);
    ASSERT_TRUE(Game->Recorder.HasBest);
    const TCar& car = *Game->Car(1);
    const TReplayFrame& f = Game->Recorder.Best.Frames[Game->Recorder.BestWorldFrames[Game->Recorder.WorldPasses - 1]];

    // Where the ghost carries its wheels is where the car of its type has them, give or take the
    // springs: the car stands in the ghost's place.
    for (int i = 1; i <= 4; ++i) {
        const dReal* wheel = dBodyGetPosition(car.Bodies[i]);
        dVector3 ghostWheel = car.LocalToWorld(Game->Recorder.GhostWheels[i - 1][0], Game->Recorder.GhostWheels[i - 1][1],
                                               Game->Recorder.GhostWheels[i - 1][2] - car.Config.WheelRadius);
        EXPECT_NEAR(ghostWheel.x, wheel[0], 0.05) << "wheel " << i;
        EXPECT_NEAR(ghostWheel.y, wheel[1], 0.05) << "wheel " << i;
        EXPECT_NEAR(ghostWheel.z, wheel[2], 0.1) << "wheel " << i;
    }

    // Seen low from the side on a white screen, the ghost alone: the wheels show below its body.
    auto drawnPixels = [&](bool wheels) {
        uint32_t list = Game->Recorder.GhostWheelList;
        if (!wheels)
            Game->Recorder.GhostWheelList = 0;
        Game->BeginFrame();
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Game->Camera.SetTarget(f.X, f.Y);
        Game->Camera.SetPitch(0.25f);
        Game->Camera.SetHeading(float(car.Heading * M_PI / 180 - M_PI / 2)); // from the car's side
        Game->Camera.SetDistance(8);
        Game->Camera.Apply();
        Game->Recorder.DrawGhost(1);
        Game->Recorder.GhostWheelList = list;
        int w, h;
        Game->FramebufferSize(w, h);
        std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        glClearColor(0, 0, 0, 0);
        if (wheels) {
            std::filesystem::create_directories(KAL_SCREENSHOT_DIR);
            WritePNG(std::string(KAL_SCREENSHOT_DIR) + "/ghost-wheels.png", w, h, rgb);
        }
        int drawn = 0;
        for (size_t i = 0; i + 2 < rgb.size(); i += 3)
            drawn += rgb[i] < 250 || rgb[i + 1] < 250 || rgb[i + 2] < 250;
        return drawn;
    };
    int body = drawnPixels(false), whole = drawnPixels(true);
    std::printf("the ghost covers %d pixels without its wheels, %d with them\n", body, whole);
    EXPECT_GT(body, 2000) << "the body is in the picture";
    EXPECT_GT(whole, body + 300) << "and the wheels below it";
}

TEST_F(BeyondE2E, ADamagedReplayIsSetAsideAndTheRaceGoesOn) {
    TMessageRecorder messages;
    std::filesystem::create_directories(Dir.Path / "kalmirov");
    std::ofstream(ReplayFileName(1)) << "KALRPLAY\x01\x00garbage";
    Open("");
    Pass(50);
    EXPECT_FALSE(Game->Recorder.HasBest);
    EXPECT_TRUE(FileExists(ReplayFileName(1) + ".bad"));
    ASSERT_EQ(messages.Messages.size(), 1u);
    EXPECT_NE(messages.Messages[0].Text.find("replay_01.dat is damaged"), std::string::npos)
        << messages.Messages[0].Text;
    EXPECT_EQ(Game->GameState, gsInGame);
}

TEST_F(BeyondE2E, ScreenshotsOfTheGhostAndOfBothRoutesOnTheMap) {
    std::string shots = KAL_SCREENSHOT_DIR;
    std::filesystem::create_directories(shots);
    std::filesystem::remove(shots + "/route-map.png"); // a picture of an earlier run proves nothing
    Windowed = true;
    // The record: a late start, straight ahead, then right.
    Open("455 down UP\n600 down RIGHT\n700 up RIGHT\n");
    Pass(900);
    FinishHere();
    Pass(1);
    // This run: off at "GO", then left; the ghost follows the car, seen from behind it.
    Open("420 down UP\n700 down LEFT\n800 up LEFT\n", "", nullptr, {});
    Game->SetCameraMode(1);
    Pass(540);
    ASSERT_TRUE(Game->Recorder.HasBest);
    const TReplayFrame& ghost = Game->Recorder.Best.Frames[Game->Recorder.BestWorldFrames[Game->Recorder.WorldPasses - 1]];
    float lead = std::hypot(ghost.X - Game->Car(1)->PosX, ghost.Y - Game->Car(1)->PosY);
    std::printf("the ghost is %.2f m off\n", double(lead));
    EXPECT_GT(lead, 5) << "the ghost follows, clear of the car";
    EXPECT_LT(lead, 8) << "and is in the picture";
    Game->AddShot(Game->KeyboardPasses + 1, shots + "/ghost.png");
    Pass(1);
    Pass(350);
    FinishHere();
    Pass(1);
    ASSERT_EQ(Game->Menu->Screen, 14);
    Pass(80); // the result screen rises
    Game->AddShot(Game->KeyboardPasses + 1, shots + "/route-map.png");
    Pass(1);
    int w, h;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(ReadPNG(shots + "/route-map.png", w, h, rgb));
    int red = 0, gold = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        red += rgb[i] > 200 && rgb[i + 1] < 60 && rgb[i + 2] < 60;
        gold += rgb[i] > 220 && rgb[i + 1] > 180 && rgb[i + 2] < 60;
    }
    // The map shows the whole town in 200 pixels: a route of a few hundred metres is some dozen.
    EXPECT_GT(red, 10) << "this run's route";
    EXPECT_GT(gold, 10) << "the record run's route";
}

namespace {

// Everything that moves at the end of a run: the player's car, the traffic cars and the pedestrians.
struct TWorldEnd {
    TEnd Player;
    std::vector<std::array<float, 3>> Cars;        // x, y, heading
    std::vector<std::array<float, 2>> Pedestrians; // x, y
};

TWorldEnd WorldEndOf(const TGameEngine& game) {
    TWorldEnd end{EndOf(game), {}, {}};
    for (const auto& car : game.Traffic->Cars)
        if (car)
            end.Cars.push_back({car->PosX, car->PosY, car->Heading});
    for (const auto& p : game.Traffic->Pedestrians)
        if (p)
            end.Pedestrians.push_back({float(p->Position.x), float(p->Position.y)});
    return end;
}

// Mission 3 driven at night with the chase camera, given up through the pause after a while, and mission
// 10 (traffic cars, 65 pedestrians, snow) chosen on the single race screen, briefed and driven: a session as
// a player has it, the second game the one that counts.
const char* SessionKeys = "420 down UP\n430 down C\n440 up C\n470 down RIGHT\n500 up RIGHT\n540 up UP\n"
                          "580 down ESCAPE\n582 up ESCAPE\n" // the pause
                          "584 down UP\n586 up UP\n"         // wraps round to Quit game
                          "588 down UP\n590 up UP\n"         // Quit to main menu
                          "592 down RETURN\n594 up RETURN\n" // asked, "No" selected
                          "596 down UP\n598 up UP\n"         // "Yes"
                          "600 down RETURN\n602 up RETURN\n" // the main menu, the run given up
                          "610 down RETURN\n615 up RETURN\n" // single race: its start item
                          "620 down UP\n625 up UP\n"         // the track item
                          "640 down LEFT\n645 up LEFT\n"     // track 1 wraps round to 10
                          "660 down DOWN\n665 up DOWN\n"     // the start item again
                          "680 down RETURN\n685 up RETURN\n" // the briefing of mission 10: the Avia
                          "688 down RIGHT\n690 up RIGHT\n"   // the Ford Transit
                          "694 down DOWN\n696 up DOWN\n"     // Continue
                          "700 down RETURN\n705 up RETURN\n" // mission 10 starts in this pass
                          "1100 down UP\n1180 down LEFT\n1220 up LEFT\n1330 down RIGHT\n1360 up RIGHT\n"
                          "1420 down C\n1430 up C\n1480 up UP\n1490 down SPACE\n1530 up SPACE\n"
                          "1540 down UP\n";
constexpr int SessionPasses = 1600;
constexpr int SecondGameStart = 700;

void ExpectSameWorld(const TWorldEnd& replayed, const TWorldEnd& recorded) {
    // To the millimetre, and in fact to the bit: the same numbers in the same order.
    EXPECT_EQ(replayed.Player.X, recorded.Player.X);
    EXPECT_EQ(replayed.Player.Y, recorded.Player.Y);
    EXPECT_EQ(replayed.Player.Heading, recorded.Player.Heading);
    EXPECT_EQ(replayed.Player.Time, recorded.Player.Time);
    EXPECT_EQ(replayed.Player.Score, recorded.Player.Score);
    ASSERT_EQ(replayed.Cars.size(), recorded.Cars.size());
    for (size_t i = 0; i < recorded.Cars.size(); ++i)
        EXPECT_EQ(replayed.Cars[i], recorded.Cars[i]) << "traffic car " << i;
    ASSERT_EQ(replayed.Pedestrians.size(), recorded.Pedestrians.size());
    for (size_t i = 0; i < recorded.Pedestrians.size(); ++i)
        EXPECT_EQ(replayed.Pedestrians[i], recorded.Pedestrians[i]) << "pedestrian " << i;
}

} // namespace

TEST_F(BeyondE2E, ARunRecordedAsTheSecondGameOfASessionDrivesAgainOnItsOwn) {
    Unseeded = true; // as a session from the menu: the generator starts from the clock
    FirstMission = 3;
    Open(SessionKeys);
    Pass(SecondGameStart);
    ASSERT_EQ(Game->Mission, 3);
    EXPECT_EQ(Game->CameraMode, 0) << "the first game changed the chase view to the top view";
    EXPECT_GT(Game->Traffic->Pedestrians.size(), 0u);
    Pass(1);
    ASSERT_EQ(Game->Mission, 10) << "the single race screen started the second game";
    ASSERT_EQ(Game->Menu->Screen, 0);
    Pass(SessionPasses - SecondGameStart - 1);
    TCar& car = *Game->Car(1);
    float startX = Game->Recorder.Recording->Frames[0].X, startY = Game->Recorder.Recording->Frames[0].Y;
    EXPECT_GT(std::hypot(car.PosX - startX, car.PosY - startY), 20) << "the car drove off";
    size_t trafficCars = 0;
    for (const auto& traffic : Game->Traffic->Cars)
        trafficCars += traffic != nullptr;
    EXPECT_GE(trafficCars, 2u) << "the run met the traffic";
    std::string sessionState = StateJson(*Game);
    FinishHere();
    Pass(1);
    ASSERT_EQ(Game->Menu->Screen, 14);
    ASSERT_TRUE(Game->Recorder.HasLastRun);
    TWorldEnd recorded = WorldEndOf(*Game);
    TReplay kept;
    ASSERT_TRUE(LoadReplay(ReplayFileName(10), kept, 0, TestNotice));
    EXPECT_EQ(kept.Frames.size(), size_t(SessionPasses - SecondGameStart + 1));
    EXPECT_EQ(kept.CameraMode, 0) << "the game began with the camera the first one left";
    EXPECT_EQ(kept.KeysBefore, 1u << 4) << "the menu took the Enter that started the game";

    // The program drives the replay in a process of its own to the same world one pass before the
    // finish (the test moved the last target there, which a replay cannot): both cars, the traffic
    // cars and the pedestrians to a tenth of a millimetre, the clock and the score.
    std::ostringstream command;
    command << "XDG_DATA_HOME=" << Dir.Path << " XDG_CONFIG_HOME=" << Dir.Path
            << " ./kalmirov -w -ns --frames 1500 --replay " << ReplayFileName(10) << " --dump-state "
            << Dir.File("replay.jsonl");
    ASSERT_EQ(std::system(command.str().c_str()), 0);
    std::string programState;
    std::ifstream dump(Dir.File("replay.jsonl"));
    const std::string lastPass = ",\"pass\":" + std::to_string(SessionPasses - SecondGameStart - 1) + ",";
    for (std::string line; std::getline(dump, line);)
        if (line.find(lastPass) != std::string::npos)
            programState = line;
    ASSERT_FALSE(programState.empty()) << "the program played the run's passes";
    auto section = [](const std::string& json, const std::string& from, const std::string& to) {
        size_t a = json.find(from), b = json.find(to, a);
        return a == std::string::npos || b == std::string::npos ? std::string() : json.substr(a, b - a);
    };
    for (auto [from, to] : {std::pair{"\"cars\":[", "],\"players\""},
                            {"\"time\":", ",\"parTime\""},
                            {"\"score\":", ",\"extraPoints\""},
                            {"\"traffic\":{", "]},\"sprites\""}}) {
        std::string expected = section(sessionState, from, to);
        ASSERT_FALSE(expected.empty()) << from;
        EXPECT_EQ(section(programState, from, to), expected);
    }

    // Alone in a fresh game, seeded otherwise, the replay drives to the very same world.
    Unseeded = false;
    Open("", "", &kept);
    ASSERT_EQ(Game->Mission, 10);
    Pass(SessionPasses - SecondGameStart);
    FinishHere();
    Pass(1);
    EXPECT_EQ(Game->Menu->Screen, 14);
    EXPECT_EQ(Game->CameraMode, 1) << "C toggled the camera back in the run";
    ExpectSameWorld(WorldEndOf(*Game), recorded);
}

namespace {

// A machine that draws unevenly: most frames last their 10 ms, one in four stalls for 25 to 70 ms
// more, longer than the physics step takes, in a pattern of its own (the game's generator is left
// alone).
class TUnevenClock : public TClock {
  public:
    double Now() override { return Time; }
    void WaitUntil(double time) override {
        Time = std::max(Time, time);
        State = State * 1103515245u + 12345u;
        if ((State >> 16) % 4 == 0)
            Time += 0.025 + double((State >> 8) % 46) * 0.001;
    }

  private:
    double Time = 100;
    uint32_t State = 1;
};

} // namespace

TEST_F(BeyondE2E, ARunPlayedOnAnUnevenClockDrivesAgainOnAnyClock) {
    // Mission 10 in the snow, driven on a clock whose frames last 10 to 80 ms...
    TUnevenClock uneven;
    TClock* before = SetClock(&uneven);
    FixedClock = false;
    FirstMission = 10;
    Open("420 down UP\n520 down LEFT\n560 up LEFT\n700 down RIGHT\n730 up RIGHT\n");
    Pass(900);
    ASSERT_NE(Game->ParticleSystem, nullptr) << "it snows";
    int snowflakes = Game->ParticleSystem->Count;
    EXPECT_GT(snowflakes, 0);
    FinishHere();
    Pass(1);
    ASSERT_EQ(Game->Menu->Screen, 14);
    TWorldEnd recorded = WorldEndOf(*Game);
    Game.reset();
    SetClock(before);
    TReplay kept;
    ASSERT_TRUE(LoadReplay(ReplayFileName(10), kept, 0, TestNotice));

    // ... drives again to the very same world on the fixed 10 ms clock, the snow included.
    FixedClock = true;
    Open("", "", &kept);
    Pass(900);
    ASSERT_NE(Game->ParticleSystem, nullptr);
    EXPECT_EQ(Game->ParticleSystem->Count, snowflakes);
    FinishHere();
    Pass(1);
    ExpectSameWorld(WorldEndOf(*Game), recorded);
}

TEST_F(BeyondE2E, ARunRestartedFromTheSavedWorldDrivesAgainFromItsReplay) {
    // Mission 10 driven, then restarted as the pause menu does (the world of the countdown's start
    // put back, nothing loaded), then driven another way to the finish: the replay of the run after
    // the restart drives to the very same world on its own.
    FirstMission = 10;
    Open("420 down UP\n520 down LEFT\n560 up LEFT\n"
         "1100 down UP\n1180 down RIGHT\n1220 up RIGHT\n1300 down LEFT\n1330 up LEFT\n");
    Pass(700);
    Game->RestartGame();
    EXPECT_EQ(Game->Players[0]->Time, 0) << "the run starts again from the countdown";
    Pass(800);
    FinishHere();
    Pass(1);
    ASSERT_EQ(Game->Menu->Screen, 14);
    TWorldEnd recorded = WorldEndOf(*Game);
    TReplay kept;
    ASSERT_TRUE(LoadReplay(ReplayFileName(10), kept, 0, TestNotice));
    EXPECT_EQ(kept.Frames.size(), 801u) << "recorded from the restart on";
    EXPECT_FALSE(recorded.Cars.empty() || recorded.Pedestrians.empty()) << "the run met the living city";

    Open("", "", &kept);
    Pass(int(kept.Frames.size()) - 1);
    FinishHere();
    Pass(1);
    EXPECT_EQ(Game->Menu->Screen, 14);
    ExpectSameWorld(WorldEndOf(*Game), recorded);
}

TEST_F(BeyondE2E, MissionFiveAfterARaceKeepsTheRacesSecondCarInItsReplay) {
    // The race for two on mission 1's streets, player 1 driving off and player 2 standing...
    FirstMission = 11;
    Open("420 down UP\n430 down LEFT\n445 up LEFT\n"
         "870 down UP\n950 down RIGHT\n980 up RIGHT\n");
    Pass(450);
    ASSERT_TRUE(Game->Car(2));
    // ... then mission 5 chosen as the menu starts it: the second car stays where it stands.
    Game->TwoPlayer = false;
    Game->SetGameState(gsStartGame);
    Game->StartMission(5);
    Game->ShowMenu(0);
    ASSERT_TRUE(Game->Car(2));
    EXPECT_TRUE(Game->Recorder.StandingCar.Present);
    EXPECT_EQ(Game->Car(2)->GetSpeed(), 0) << "at rest";
    Pass(600);
    FinishHere();
    Pass(1);
    ASSERT_EQ(Game->Menu->Screen, 14);
    TWorldEnd recorded = WorldEndOf(*Game);
    float secondX = Game->Car(2)->PosX, secondY = Game->Car(2)->PosY;
    TReplay kept;
    ASSERT_TRUE(LoadReplay(ReplayFileName(5), kept, 0, TestNotice));
    ASSERT_TRUE(kept.SecondCar.Present);

    Open("", "", &kept);
    ASSERT_TRUE(Game->Car(2)) << "the replay puts the standing car back";
    Pass(600);
    FinishHere();
    Pass(1);
    ExpectSameWorld(WorldEndOf(*Game), recorded);
    EXPECT_EQ(Game->Car(2)->PosX, secondX);
    EXPECT_EQ(Game->Car(2)->PosY, secondY);
}

TEST_F(BeyondE2E, TheFirstGameOfASeededStartSeesTheNumbersTheLoadedCityLeft) {
    // What the generator gives once the city is loaded...
    Setup.Profiles = &Profiles;
    Setup.NoticeHold = false;
    SeedRandom(5);
    Game = std::make_unique<TGameEngine>(640, 480, false, THarnessOptions{}, Setup);
    Game->SetGameState(gsStartGame);
    uint32_t afterLoading = DrawSeed();
    // ... is what the first game started on the same seed sees: a seeded start keeps its traffic.
    Game.reset();
    Resources().Clear();
    SeedRandom(5);
    Game = std::make_unique<TGameEngine>(640, 480, false, THarnessOptions{}, Setup);
    Game->SetGameState(gsStartGame);
    Game->StartMission(3);
    EXPECT_EQ(RandomSeed(), 5u);
    EXPECT_EQ(DrawSeed(), afterLoading);
    // A later game of the session draws a seed of its own.
    Game->StartMission(3);
    EXPECT_NE(RandomSeed(), 5u);
}
