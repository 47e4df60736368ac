// The in-game menu in the real game. The first group runs the game program with key scripts on the
// fixed clock and reads its state dump and screenshots: the main menu from the intro, both race
// set-ups, the options, the failed mission, a mission's car choice and a run given up from the pause.
// The second group runs the game engine inside the test, where a car can be put at a gas station or a
// race ended at once: the station screen, the pause over a mission and its restart, the single-race
// result with its highscore row and a drawn race for two.
#include "cars/Car.h"
#include "player/Config.h"
#include "session/GameEngine.h"
#include "sprites/GoSprite.h"
#include "ui/MenuImprovedEngine.h"
#include "ui/MenuLayout.h"
#include "player/Replay.h"
#include "Sound.h"
#include "TestSupport.h"
#include "uHarness.h"
#include "uText1250.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include "web/HttpClient.h"
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <chrono>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One line of the state dump; enough of a JSON reader for its flat numbers.
struct TDumpLine {
    std::string Text;

    // The n-th number (or true/false as 1/0) after "key": in the line, -1 when missing.
    double Get(const std::string& key, int n = 0) const {
        size_t at = 0;
        for (int i = 0; i <= n; ++i) {
            at = Text.find("\"" + key + "\":", at);
            if (at == std::string::npos)
                return -1;
            at += key.size() + 3;
        }
        if (Text.compare(at, 4, "true") == 0)
            return 1;
        if (Text.compare(at, 5, "false") == 0)
            return 0;
        if (Text.compare(at, 4, "null") == 0)
            return -1;
        return std::strtod(Text.c_str() + at, nullptr);
    }
    int Int(const std::string& key, int n = 0) const { return int(Get(key, n)); }
    // The player cars' slot 2 holds a car (the dump writes null for an empty slot).
    bool HasSecondCar() const {
        size_t players = Text.find("],\"players\":");
        return players != std::string::npos && Text.compare(players - 4, 4, "null") != 0;
    }
};

// A key script: each press holds the key for one pass.
class TKeys {
  public:
    TKeys& Press(int pass, const std::string& key) { return Down(pass, key).Up(pass + 1, key); }
    TKeys& Down(int pass, const std::string& key) {
        Script << pass << " down " << key << "\n";
        return *this;
    }
    TKeys& Up(int pass, const std::string& key) {
        Script << pass << " up " << key << "\n";
        return *this;
    }
    std::string Text() const { return Script.str(); }

  private:
    std::ostringstream Script;
};

struct TShot {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Rgb; // top row first

    // Pixels of [x0, x1) x [y0, y1) (layout coordinates, origin bottom-left) that differ from the
    // same pixels of `other`.
    int Differs(const TShot& other, int x0, int y0, int x1, int y1) const {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                size_t i = (size_t(Height - 1 - y) * size_t(Width) + size_t(x)) * 3;
                count += Rgb[i] != other.Rgb[i] || Rgb[i + 1] != other.Rgb[i + 1] ||
                         Rgb[i + 2] != other.Rgb[i + 2];
            }
        return count;
    }
    // Pixels of the rectangle near the menu's crimson (231, 0, 75).
    int Crimson(int x0, int y0, int x1, int y1) const {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const uint8_t* p = &Rgb[(size_t(Height - 1 - y) * size_t(Width) + size_t(x)) * 3];
                count += p[0] > 150 && p[1] < 60 && p[2] > 30 && p[2] < 140;
            }
        return count;
    }
};

TShot LoadShot(const std::string& path) {
    TShot shot;
    EXPECT_TRUE(ReadPNG(path, shot.Width, shot.Height, shot.Rgb)) << path;
    return shot;
}

// The game program in the run folder, with player files and settings of its own.
class MenuE2E : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(std::filesystem::exists("kalmirov")) << "run from build/run"; }

    void Settings(const std::string& lines) {
        std::filesystem::create_directories(Dir.Path / "config" / "kalmirov");
        std::ofstream(Dir.File("config/kalmirov/settings.ini")) << lines;
    }

    // Runs the game for `frames` frames; `shots` are frame numbers, saved as shot<frame>.png. Without
    // shots the game runs headless, which ends in the same states.
    std::vector<TDumpLine> Play(const TKeys& keys, int frames, const std::string& options = "",
                                const std::vector<int>& shots = {}) {
        std::ofstream(Dir.File("keys.txt")) << keys.Text();
        std::ostringstream command;
        command << "XDG_DATA_HOME=" << Dir.File("data") << " XDG_CONFIG_HOME=" << Dir.File("config")
                << (shots.empty() ? " ./kalmirov -ns --headless" : " ./kalmirov -w -ns --fixed-clock")
                << " --keys " << Dir.File("keys.txt") << " --frames "
                << frames << " --dump-state " << Dir.File("state.jsonl") << " " << options;
        for (int frame : shots)
            command << " --shot " << frame << ":" << Shot(frame);
        EXPECT_EQ(std::system(command.str().c_str()), 0) << command.str();
        std::vector<TDumpLine> lines;
        std::ifstream in(Dir.File("state.jsonl"));
        for (std::string line; std::getline(in, line);)
            lines.push_back({line});
        return lines;
    }

    std::string Shot(int frame) const { return Dir.File("shot" + std::to_string(frame) + ".png"); }

    // The distinct successive values of a dump field.
    static std::vector<int> Steps(const std::vector<TDumpLine>& lines, const std::string& key, int n = 0) {
        std::vector<int> steps;
        for (const TDumpLine& line : lines)
            if (steps.empty() || steps.back() != line.Int(key, n))
                steps.push_back(line.Int(key, n));
        return steps;
    }

    TTempDir Dir;
};

// The dump line of pass p ends tick p + 1, the number a screenshot of it is asked for by.
constexpr int IntroFrame = 1;

} // namespace

TEST_F(MenuE2E, EscapeInTheIntroOpensTheMainMenuWhoseItemsWrap) {
    TKeys keys;
    keys.Press(5, "ESCAPE").Press(10, "UP").Press(15, "DOWN").Press(20, "UP").Press(25, "ESCAPE");
    auto lines = Play(keys, 40);
    ASSERT_EQ(lines.size(), 40u) << "the notice is no tick";
    EXPECT_EQ(lines[4].Int("menu"), 0);
    EXPECT_EQ(lines[5].Int("menu"), 1);
    EXPECT_EQ(lines[5].Int("state"), 1) << "still the intro";
    EXPECT_EQ(Steps(lines, "menuItem"), (std::vector<int>{0, 4, 0, 4, 0}));
    EXPECT_EQ(lines.back().Int("menu"), 0) << "Escape closes the main menu";
}

TEST_F(MenuE2E, SingleRaceStartsTheChosenTrackWithTheChosenCar) {
    TKeys keys;
    keys.Press(5, "ESCAPE").Press(10, "RETURN");                   // screen 2, Start selected
    keys.Press(15, "UP").Press(20, "UP").Press(25, "LEFT");        // car 0 -> 7
    keys.Press(30, "DOWN").Press(35, "LEFT");                      // track 1 -> 10
    keys.Press(40, "RIGHT").Press(45, "RIGHT").Press(50, "RIGHT"); // 10 -> 1 -> 2 -> 3
    keys.Press(55, "DOWN").Press(60, "RETURN");                    // the briefing of track 3
    keys.Press(65, "DOWN").Press(70, "RETURN");                    // Continue
    auto lines = Play(keys, 270);
    ASSERT_GT(lines.size(), 80u);
    EXPECT_EQ(lines[11].Int("menu"), 2);
    EXPECT_EQ(lines[11].Int("menuItem"), 3);
    EXPECT_EQ(Steps(lines, "singleTrack"), (std::vector<int>{1, 10, 1, 2, 3}));
    EXPECT_EQ(lines[61].Int("menu"), 12);
    EXPECT_EQ(lines[61].Int("mission", 1), 3);
    EXPECT_EQ(lines[61].Int("carChoice"), 7) << "the car chosen on the single race screen";
    const TDumpLine& last = lines.back();
    EXPECT_EQ(last.Int("state"), 3);
    EXPECT_EQ(last.Int("menu"), 0);
    EXPECT_EQ(last.Int("mission"), 3);
    EXPECT_EQ(last.Int("twoPlayer"), 0);
    EXPECT_EQ(last.Int("mission", 1), 3) << "player 1's mission";
    EXPECT_EQ(last.Int("carType"), 7) << "the Skoda 120";
    EXPECT_FALSE(last.HasSecondCar());
}

TEST_F(MenuE2E, RaceForTwoStartsWithBothChosenCars) {
    TKeys keys;
    keys.Press(5, "ESCAPE").Press(10, "DOWN").Press(15, "RETURN"); // screen 3, Start selected
    for (int p = 20; p <= 35; p += 5)
        keys.Press(p, "UP");                                                        // player 1's car
    keys.Press(40, "RIGHT");                                                        // 0 -> 1, the VW Golf
    keys.Press(45, "DOWN").Press(50, "DOWN").Press(55, "LEFT");                     // player 2's car 0 -> 7
    keys.Press(60, "DOWN").Press(65, "LEFT").Press(70, "RIGHT").Press(75, "RIGHT"); // 11 -> 15 -> 11 -> 12
    keys.Press(80, "DOWN").Press(85, "RETURN").Press(90, "ESCAPE"); // the race's rules, and back
    keys.Press(95, "RETURN").Press(100, "RETURN");                   // its rules again, and Start
    auto lines = Play(keys, 280);
    ASSERT_GT(lines.size(), 110u);
    EXPECT_EQ(lines[16].Int("menu"), 3);
    EXPECT_EQ(lines[86].Int("menu"), 17);
    EXPECT_EQ(lines[91].Int("menu"), 3);
    EXPECT_EQ(lines[91].Int("menuItem"), 5) << "back on Start";
    EXPECT_EQ(lines[16].Int("menuItem"), 5);
    EXPECT_EQ(Steps(lines, "raceTrack"), (std::vector<int>{11, 15, 11, 12}));
    const TDumpLine& last = lines.back();
    EXPECT_EQ(last.Int("state"), 3);
    EXPECT_EQ(last.Int("mission"), 12);
    EXPECT_EQ(last.Int("twoPlayer"), 1);
    EXPECT_EQ(last.Int("carType", 0), 1);
    EXPECT_EQ(last.Int("carType", 1), 7);
    EXPECT_TRUE(last.HasSecondCar());
    EXPECT_EQ(last.Int("mission", 1), 1) << "a race for two leaves player 1's mission as it was";
}

TEST_F(MenuE2E, OptionsChangeCameraVolumesAndLanguageAtOnce) {
    Settings("ModulesVolume=200\nSamplesVolume=255\nLanguage=0\n");
    TKeys keys;
    keys.Press(5, "ESCAPE");
    keys.Press(10, "DOWN").Press(15, "DOWN").Press(20, "DOWN").Press(25, "RETURN"); // screen 6
    keys.Press(30, "RIGHT");                                                        // chase view
    keys.Press(35, "DOWN").Down(40, "RIGHT").Up(140, "RIGHT");                      // music: 100 frames held
    keys.Press(145, "DOWN").Down(150, "LEFT").Up(200, "LEFT");                      // sound: 50 frames held
    keys.Press(205, "DOWN").Press(210, "RIGHT").Press(220, "ESCAPE");               // Czech
    const int english = 208 + IntroFrame, czech = 215 + IntroFrame;
    auto lines = Play(keys, 230, "", {english, czech});
    ASSERT_EQ(lines.size(), 230u);
    EXPECT_EQ(lines[26].Int("menu"), 6);
    EXPECT_EQ(lines[31].Int("cameraMode"), 1);
    EXPECT_EQ(lines[139].Int("musicVolume"), 255) << "200 + 100 steps, stopped at 255";
    EXPECT_EQ(lines[141].Int("musicVolume"), 255);
    EXPECT_EQ(lines[200].Int("sfxVolume"), 205);
    EXPECT_EQ(lines[english - IntroFrame].Int("language"), 0);
    EXPECT_EQ(lines[czech - IntroFrame].Int("language"), 1);
    EXPECT_EQ(lines.back().Int("menu"), 1);
    EXPECT_EQ(lines.back().Int("menuItem"), 3) << "back on Options";

    // The labels turn Czech on the next frame; the values column shows the same percentages.
    TShot en = LoadShot(Shot(english)), cz = LoadShot(Shot(czech));
    ASSERT_EQ(en.Width, 640);
    ASSERT_EQ(cz.Width, 640);
    EXPECT_GT(en.Differs(cz, 90, 300, 340, 330), 200) << "CAMERA VIEW / KAMERA";
    EXPECT_EQ(en.Differs(cz, 350, 270, 450, 300), 0) << "the music's 100% stays";
    EXPECT_GT(en.Crimson(350, 210, 560, 240), 100) << "the language value is the selected item";

    // The settings keep the choices for the next run.
    std::ifstream in(Dir.File("config/kalmirov/settings.ini"));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Language=1"), std::string::npos) << text;
    EXPECT_NE(text.find("ModulesVolume=255"), std::string::npos) << text;
    EXPECT_NE(text.find("SamplesVolume=205"), std::string::npos) << text;
}

TEST_F(MenuE2E, AKeyChosenInTheMenuDrivesTheCarAndIsKeptByName) {
    TKeys keys;
    keys.Press(5, "ESCAPE").Press(10, "DOWN").Press(15, "DOWN").Press(20, "DOWN").Press(25, "RETURN");
    for (int p = 30; p <= 55; p += 5)
        keys.Press(p, "DOWN"); // Controls
    keys.Press(60, "RETURN");  // the keys screen, player 1's accelerator selected
    keys.Press(65, "RETURN").Press(70, "W");         // player 2's accelerator: refused
    keys.Press(75, "RETURN").Press(80, "I");         // taken
    keys.Press(85, "ESCAPE").Press(90, "ESCAPE");    // options, main menu
    keys.Press(95, "UP").Press(100, "UP").Press(105, "UP").Press(110, "RETURN"); // single race
    keys.Press(115, "RETURN").Press(120, "DOWN").Press(125, "RETURN");          // its briefing, Continue
    keys.Down(540, "UP").Up(620, "UP").Down(640, "I").Up(820, "I");
    auto lines = Play(keys, 830);
    ASSERT_EQ(lines.size(), 830u);
    EXPECT_EQ(lines[61].Int("menu"), 7);
    EXPECT_EQ(lines[66].Int("capturing"), 1);
    EXPECT_EQ(lines[71].Int("capturing"), 0);
    EXPECT_NE(lines[71].Text.find("\"keyNote\":\"The key W is taken (Player 2, Accelerate)\""), std::string::npos)
        << lines[71].Text;
    EXPECT_NE(lines[81].Text.find("\"keyNote\":\"\""), std::string::npos) << "I was free";
    EXPECT_EQ(lines[86].Int("menu"), 6);
    EXPECT_EQ(lines[86].Int("menuItem"), 6) << "back on Controls";
    ASSERT_EQ(lines[530].Int("state"), 3);
    int countdown = lines[530].Int("countdown");
    ASSERT_TRUE(countdown == 0 || countdown >= 4) << "the race runs";
    EXPECT_LT(lines[620].Get("speed"), 0.5) << "the up arrow accelerates no more";
    EXPECT_GT(lines[820].Get("speed"), 5) << "I does";

    std::ifstream in(Dir.File("config/kalmirov/settings.ini"));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Player1Accelerate=\"I\"\n"), std::string::npos) << text;
}

TEST_F(MenuE2E, FailedMissionRestartsAndTheCarChoiceStartsAMission) {
    TKeys keys;
    keys.Down(20, "RCONTROL").Press(21, "BACK").Up(23, "RCONTROL"); // mission failed
    keys.Press(30, "UP").Press(35, "ESCAPE").Press(40, "RETURN");   // only Restart; Escape does nothing
    keys.Down(60, "RCONTROL").Press(61, "F10").Up(63, "RCONTROL");  // car choice of mission 10
    keys.Press(70, "RIGHT").Press(75, "RIGHT").Press(80, "LEFT");   // Avia, Ford Transit, Avia, Ford Transit
    keys.Press(85, "DOWN").Press(90, "RETURN");
    auto lines = Play(keys, 400, "--mission 1");
    ASSERT_GT(lines.size(), 100u);
    EXPECT_EQ(lines[22].Int("menu"), 11);
    EXPECT_EQ(lines[38].Int("menu"), 11);
    EXPECT_EQ(lines[38].Int("menuItem"), 0);
    EXPECT_EQ(lines[41].Int("menu"), 0);
    EXPECT_EQ(lines[41].Int("mission"), 1);
    EXPECT_LT(lines[41].Int("runFrames"), lines[39].Int("runFrames")) << "the mission started again";
    EXPECT_EQ(lines[41].Int("countdown"), 1) << "with its countdown";

    EXPECT_EQ(lines[62].Int("menu"), 12);
    EXPECT_EQ(lines[62].Int("mission", 1), 10);
    EXPECT_EQ(Steps(lines, "carChoice"), (std::vector<int>{0, 5, 6, 5, 6}))
        << "only the Avia and Ford Transit";
    const TDumpLine& last = lines.back();
    EXPECT_EQ(last.Int("menu"), 0);
    EXPECT_EQ(last.Int("mission"), 10);
    EXPECT_EQ(last.Int("carType"), 6);
}

// The pause over mission 1 started from the menu: its options lead back to it, "No" keeps the run,
// "Yes" gives it up for the main menu, whose Escape then has no game to go back to and whose Quit
// asks nothing more.
TEST_F(MenuE2E, APausedRunIsGivenUpOnlyWhenTheQuestionIsAnsweredYes) {
    TKeys keys;
    keys.Press(5, "ESCAPE").Press(10, "RETURN").Press(15, "RETURN").Press(20, "RETURN"); // mission 1 starts
    keys.Press(600, "ESCAPE").Press(605, "DOWN").Press(610, "DOWN");   // the pause, on Options
    keys.Press(615, "RETURN").Press(620, "ESCAPE");                    // the options and back
    keys.Press(625, "DOWN").Press(630, "RETURN").Press(635, "RETURN"); // Quit to main menu, "No"
    keys.Press(640, "RETURN").Press(645, "UP").Press(650, "RETURN");   // again, "Yes"
    keys.Press(655, "ESCAPE").Press(660, "UP").Press(665, "RETURN");   // Escape stays; Quit game
    auto lines = Play(keys, 700);
    ASSERT_GT(lines.size(), 660u);
    ASSERT_EQ(lines[21].Int("state"), 3);
    EXPECT_EQ(lines[21].Int("mission"), 1) << "Enter on the briefing's car line starts the mission";
    EXPECT_EQ(lines[601].Int("menu"), 15);
    EXPECT_EQ(lines[616].Int("menu"), 6);
    EXPECT_EQ(lines[621].Int("menu"), 15);
    EXPECT_EQ(lines[621].Int("menuItem"), 2) << "the options return to the pause";
    EXPECT_EQ(lines[631].Int("menu"), 16);
    EXPECT_EQ(lines[631].Int("menuItem"), 1) << "No comes first";
    EXPECT_EQ(lines[636].Int("menu"), 15);
    EXPECT_EQ(lines[636].Int("menuItem"), 3);
    EXPECT_EQ(lines[646].Int("menuItem"), 0);
    EXPECT_EQ(lines[651].Int("menu"), 1);
    EXPECT_EQ(lines[656].Int("menu"), 1) << "no game to go back to";
    EXPECT_EQ(lines[651].Get("time"), lines[600].Get("time")) << "the clock stood while the menus were open";
    EXPECT_EQ(lines.size(), 666u) << "Quit game ends the program at once over a run given up";
}

namespace {

// The game engine inside the test: passes are driven one by one, so a test can move a car or end a
// race between them. Keys come from a script written before the engine starts.
class MenuInProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists("data/city/city.tmf")) << "run from build/run with the data set";
        Resources().Clear();
    }
    void TearDown() override {
        Game.reset();
        Resources().Clear();
    }

    void Open(const TKeys& keys, const std::vector<std::pair<uint64_t, std::string>>& shots = {}) {
        for (const char* nick : {"Anna", "Boris"}) {
            TProfileRecord record;
            record.Index = int32_t(Profiles.Records.size());
            record.Nick = nick;
            record.Face = record.Index == 0 ? 3 : 9;
            Profiles.Records.push_back(record);
        }
        Setup.Profiles = &Profiles;
        Setup.NoticeHold = false;
        std::ofstream(Dir.File("keys.txt")) << keys.Text();
        THarnessOptions harness;
        harness.FixedClock = true;
        harness.KeyScript = Dir.File("keys.txt");
        harness.Shots = shots;
        Game = std::make_unique<TGameEngine>(640, 480, false, Harnessed ? harness : THarnessOptions{}, Setup);
    }

    // What the menu does on Start, without its keys; the countdown is skipped.
    void Start(int mission, int car1, int car2 = 0) {
        Game->Players[0]->SetCarType(car1);
        Game->Players[1]->SetCarType(car2);
        Game->TwoPlayer = mission >= 11;
        if (!Game->TwoPlayer)
            Game->Players[0]->Mission = uint8_t(mission);
        Game->SetGameState(gsStartGame);
        Game->StartMission(mission);
        Game->ShowMenu(0);
        Game->Rules.CountdownTicks = -1;
        Game->Loader.Sprites.GoSprite->Alive = false;
    }

    void Pass(int count = 1) {
        for (int i = 0; i < count; ++i)
            Game->Pass();
    }
    // Passes, as the screen goes on being drawn, until the web submission's `done` holds of its view;
    // the seconds that took.
    double PassUntilSubmission(const std::function<bool(const TRunSubmissionView&)>& done, double limit = 60) {
        auto start = std::chrono::steady_clock::now();
        auto seconds = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
        while (!done(Game->Menu->Submission->View()) && seconds() < limit) {
            Pass();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Pass();
        return seconds();
    }
    // Passes until tick `tick` has run and been drawn (the number a screenshot is asked for at).
    void PassUntil(uint64_t tick) {
        ASSERT_LE(Game->KeyboardPasses, tick);
        while (Game->KeyboardPasses < tick)
            Pass();
    }

    TTempDir Dir;
    // The player's files of each test in a folder of its own: never the machine's, never another test's.
    TEnvironment Data{"XDG_DATA_HOME", Dir.File("data").c_str()};
    TProfileList Profiles;
    TGameSetup Setup;
    std::unique_ptr<TGameEngine> Game;
    bool Harnessed = true; // Open runs under the harness, else as a player's session on the real clock
};

} // namespace

// Mission 1 from the menu, paused while driving: the world stands still under the pause, Restart
// starts the mission again from its countdown, and the run driven after it finishes into the table.
TEST_F(MenuInProcess, ThePauseHoldsTheWorldAndRestartsTheMission) {
    TKeys keys;
    keys.Press(5, "ESCAPE").Press(10, "RETURN").Press(15, "RETURN").Press(20, "RETURN"); // mission 1 starts
    keys.Down(450, "UP").Press(550, "ESCAPE");                                           // driving, paused
    keys.Press(610, "DOWN").Press(615, "RETURN").Up(620, "UP");                          // Restart
    keys.Down(1000, "UP").Up(1100, "UP");
    Open(keys);
    PassUntil(552);
    ASSERT_EQ(Game->Mission, 1);
    ASSERT_EQ(Game->Menu->Screen, msPause);
    const TCar& car = *Game->Car(1);
    float x = car.PosX, y = car.PosY, time = Game->Players[0]->Time;
    EXPECT_GT(time, 0.5f) << "the run was under way";
    PassUntil(600);
    EXPECT_EQ(Game->Car(1)->PosX, x);
    EXPECT_EQ(Game->Car(1)->PosY, y);
    EXPECT_EQ(Game->Players[0]->Time, time);
    EXPECT_TRUE(Game->GameUnderWay());

    PassUntil(617);
    EXPECT_EQ(Game->Menu->Screen, msNone);
    EXPECT_EQ(Game->Players[0]->Time, 0);
    EXPECT_TRUE(Game->CountdownRunning()) << "from its start again";
    EXPECT_EQ(Game->Targets->Count(), int32_t(MissionRoute(1).size()));

    PassUntil(1150);
    EXPECT_GT(Game->Players[0]->Time, 0.5f);
    TCar& driven = *Game->Car(1);
    Game->Targets->Clear();
    Game->Targets->Add(0, 0, driven.PosX, driven.PosY);
    Pass();
    EXPECT_EQ(Game->Menu->Screen, msSingleResult);
    EXPECT_EQ(Game->LastRunPlace(1), 0);
    EXPECT_EQ(RunsInTable(Game->Highscores, 1), 1) << "one finished run, the restarted one";
    EXPECT_FALSE(Game->GameUnderWay());
}

TEST_F(MenuInProcess, TheIdleMainMenuIsDrawnOnlyWhenItsPictureChanges) {
    Harnessed = false;
    Open(TKeys());
    Pass(); // the intro fades in: every frame is drawn
    uint64_t drawn = Game->FramesDrawn;
    Pass(3);
    EXPECT_EQ(Game->FramesDrawn, drawn + 3);
    Game->ShowMenu(1);                         // the intro picture comes to rest at once
    for (int frame = 0; frame < 3000; ++frame) // and the logos too
        Game->UpdateSprites();
    Pass(2); // the menu's first frame puts the marker beside its item
    drawn = Game->FramesDrawn;
    uint64_t done = Game->FramesDone;
    Pass(5);
    EXPECT_EQ(Game->FramesDrawn, drawn) << "nothing moved";
    EXPECT_EQ(Game->FramesDone, done + 5) << "the frames still pass";
    Game->Menu->Selected = 1; // a key moved the marker
    Pass(2);
    EXPECT_GE(Game->FramesDrawn, drawn + 1);
    drawn = Game->FramesDrawn;
    Pass(3);
    EXPECT_EQ(Game->FramesDrawn, drawn);
    Game->ShowMenu(2); // another screen keeps the full rate
    Pass(3);
    EXPECT_EQ(Game->FramesDrawn, drawn + 3);
}

TEST_F(MenuInProcess, EnterAtAGasStationOpensItAndHoldingRightRefuelsWhileTheRulesRun) {
    TKeys keys;
    keys.Press(10, "RETURN").Down(20, "RIGHT").Up(70, "RIGHT").Press(80, "DOWN").Press(85, "RETURN");
    Open(keys);
    Start(1, 0);
    TCar& car = *Game->Car(1);
    const TMapRect& area = GasStationAreas[0];
    car.SetPosition((area.Left + area.Right) / 2, (area.Bottom + area.Top) / 2);
    car.Fuel = 50;
    Pass(10);
    EXPECT_TRUE(Game->Rules.AtGasStation);
    Pass(1);
    EXPECT_EQ(Game->Menu->Screen, 8);
    float time = Game->Players[0]->Time;
    Pass(9 + 50);
    EXPECT_EQ(Game->Menu->Screen, 8);
    EXPECT_NEAR(car.Fuel, 50 + 50 * 0.05f, 0.05f) << "0.05 per frame while Right is held";
    EXPECT_NEAR(Game->Players[0]->Time, time + 0.59f, 0.015f) << "the mission clock kept running";
    Pass(20);
    EXPECT_EQ(Game->Menu->Screen, 0) << "Return closes the station";
}

TEST_F(MenuInProcess, AFinishedMissionShowsItsResultAndTheHighscoreListsTheRun) {
    Open({}, {{500, Dir.File("table.png")}});
    Start(2, 4);
    Pass(5);
    TCar& car = *Game->Car(1);
    Game->Targets->Clear();
    Game->Targets->Add(0, 0, car.PosX, car.PosY);
    Pass(5);
    TMenuImprovedEngine& menu = *Game->Menu;
    ASSERT_EQ(menu.Screen, 14);
    EXPECT_EQ(menu.Selected, 1) << "Restart is offered first";
    const THighscoreEntry& row = Game->Highscores.Tables[2][0];
    EXPECT_EQ(row.Nick, "Anna");
    EXPECT_EQ(row.CarType, 4);
    EXPECT_GE(row.Score, 1);
    menu.PreviousItem();
    menu.ChooseItem();
    EXPECT_EQ(menu.Screen, 4);
    EXPECT_EQ(menu.HighscoreTrack, 2);
    EXPECT_EQ(menu.Selected, 3) << "Return";
    PassUntil(500);
    // The run is the table's first row: its crimson rank at the left.
    TShot table = LoadShot(Dir.File("table.png"));
    EXPECT_GT(table.Crimson(88, 310, 110, 326), 10);
    EXPECT_EQ(table.Crimson(88, 292, 110, 308), 0) << "no second row";
}

TEST_F(MenuInProcess, ADrawnRaceForTwoNamesPlayerTwoAndShowsBothFaces) {
    Open({}, {{450, Dir.File("draw.png")}, {470, Dir.File("lead.png")}});
    Game->LoadPlayer(2, 1);
    Start(11, 0, 1);
    PassUntil(400);
    // Player 2 without a nick: the winner's line stays empty exactly when player 2 wins.
    Game->Players[1]->Nick.clear();
    Game->Players[0]->ExtraPoints = 2;
    Game->Players[1]->ExtraPoints = 2;
    Game->Targets->Clear();
    Pass();
    TMenuImprovedEngine& menu = *Game->Menu;
    ASSERT_EQ(menu.Screen, 13);
    EXPECT_TRUE(menu.Picture.Alive);
    EXPECT_TRUE(menu.SecondPicture.Alive);
    EXPECT_EQ(menu.Picture.Texture, Resources().GetTexture("face_dana"));
    EXPECT_EQ(menu.SecondPicture.Texture, Resources().GetTexture("face_jakub"));
    PassUntil(450);
    EXPECT_LT(menu.Picture.X + int32_t(menu.Picture.Width), menu.SecondPicture.X + 1) << "side by side";
    EXPECT_EQ(menu.Slide, 0) << "risen into place";
    Game->Players[0]->ExtraPoints = 3;
    PassUntil(470);
    TShot draw = LoadShot(Dir.File("draw.png")), lead = LoadShot(Dir.File("lead.png"));
    EXPECT_EQ(draw.Crimson(340, 230, 620, 262), 0) << "player 2 wins a draw";
    EXPECT_GT(lead.Crimson(340, 230, 620, 262), 100) << "player 1 wins with more points";
    EXPECT_GT(draw.Crimson(340, 200, 620, 228), 100) << "the winner's points";
    menu.ChooseItem();
    EXPECT_EQ(menu.Screen, 3);
    EXPECT_EQ(menu.Selected, 5);
}

TEST_F(MenuInProcess, SubmittingToTheWebShowsTheOutcomeAndReturnsToTheTable) {
    TEnvironment server("KALMIROV_HIGHSCORE_SERVER", "http://127.0.0.1:1"); // nothing listens there
    TMessageRecorder messages;
    Open({});
    TMenuImprovedEngine& menu = *Game->Menu;
    Game->ShowMenu(4);
    menu.Selected = 1;
    menu.ChooseItem();
    EXPECT_EQ(menu.Screen, 5);
    EXPECT_TRUE(menu.Submitted) << "an empty table has nothing to send";
    menu.Back();
    EXPECT_EQ(menu.Screen, 4);
    EXPECT_EQ(menu.Selected, 0);

    Game->Highscores.Insert(1, "Anna", 2, 1500, 52.5f);
    menu.Selected = 1;
    menu.ChooseItem();
    EXPECT_EQ(menu.Screen, 5);
    EXPECT_FALSE(menu.Submitted);
    PassUntilSubmission([](const TRunSubmissionView& view) { return view.TableDone; });
    EXPECT_FALSE(menu.Submitted);
    EXPECT_TRUE(messages.Messages.empty()) << "the screen says it; no box stops the game";
    Pass(3);
    menu.ChooseItem();
    EXPECT_EQ(menu.Screen, 4);
    EXPECT_EQ(menu.Selected, 1) << "back on Submit to web";
}

namespace {

// A real kalscores on a free local port with a database in a temporary folder, stopped at the end.
class TScoreServer {
  public:
    explicit TScoreServer(const std::string& folder) {
        std::string log = folder + "/kalscores.log";
        std::string command = "./kalscores --port 0 --db " + folder + "/scores.db > " + log + " 2>&1 & echo $!";
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe && std::fscanf(pipe, "%d", &Pid) != 1)
            Pid = 0;
        if (pipe)
            pclose(pipe);
        for (int i = 0; i < 100 && Address.empty(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::ifstream in(log);
            std::string line;
            while (std::getline(in, line)) {
                size_t at = line.find("listening on http://");
                if (at != std::string::npos)
                    Address = line.substr(at + 13, line.find(',', at) - at - 13);
            }
        }
    }
    ~TScoreServer() { Stop(); }
    void Stop() {
        if (Pid > 0) {
            kill(Pid, SIGTERM);
            waitpid(Pid, nullptr, 0);
        }
        Pid = 0;
    }

    int Pid = 0;
    std::string Address; // "http://127.0.0.1:PORT"
};

} // namespace

// The whole way of a run to the web: a finished mission, its row on screen 4, Submit to web, and the
// server's list holding the run with the same nick (Czech letters and all), car, score and time. With
// the server gone, screen 5 tells so within ten seconds.
TEST_F(MenuInProcess, ASubmittedRunReachesTheHighscoreServer) {
    TScoreServer server(Dir.Path.string());
    ASSERT_FALSE(server.Address.empty()) << "kalscores did not start";
    TEnvironment address("KALMIROV_HIGHSCORE_SERVER", server.Address.c_str());
    TMessageRecorder messages;
    Open({});
    Game->Players[0]->Nick = Utf8ToCp1250("Jiří Šťastný");
    Start(4, 7);
    Pass(5);
    TCar& car = *Game->Car(1);
    Game->Players[0]->Time = 41.25f;
    Game->Targets->Clear();
    Game->Targets->Add(0, 0, car.PosX, car.PosY);
    Pass(2);
    TMenuImprovedEngine& menu = *Game->Menu;
    ASSERT_EQ(menu.Screen, 14);
    const THighscoreEntry row = Game->Highscores.Tables[4][0];
    ASSERT_EQ(row.Nick, Utf8ToCp1250("Jiří Šťastný"));
    menu.Selected = 0; // Highscore
    menu.ChooseItem();
    ASSERT_EQ(menu.Screen, 4);
    menu.Selected = 1; // Submit to web
    menu.ChooseItem();
    ASSERT_EQ(menu.Screen, 5);
    // Every kept replay gets the server's verdict while the screen stays open: this run's finish was
    // set by hand, so its replay cannot reach it and the server's own drive refuses it.
    PassUntilSubmission([](const TRunSubmissionView& view) {
        return view.TableDone && std::none_of(view.Rows.begin(), view.Rows.end(), [](const TRunSendRow& row) {
                   return row.State == TRunSendState::Sending || row.State == TRunSendState::Waiting;
               });
    });
    EXPECT_TRUE(menu.Submitted);
    EXPECT_TRUE(messages.Messages.empty()) << messages.Messages.front().Text;
    for (const TRunSendRow& row : menu.Submission->View().Rows) {
        EXPECT_NE(row.State, TRunSendState::NoConnection) << "mission " << row.Mission;
        if (row.Mission == 4) {
            EXPECT_EQ(row.State, TRunSendState::Refused);
            EXPECT_FALSE(row.Reason.empty());
        }
    }

    THttpClient client;
    std::string json = client.Get(server.Address + "/api/missions/4?unverified=1");
    EXPECT_NE(json.find("\"nick\":\"Jiří Šťastný\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"car\":7"), std::string::npos) << json;
    EXPECT_NE(json.find("\"score\":" + std::to_string(row.Score)), std::string::npos) << json;
    EXPECT_NE(json.find("\"timeMs\":" + std::to_string(row.TimeMs)), std::string::npos) << json;

    server.Stop();
    menu.ChooseItem(); // Return to the table
    ASSERT_EQ(menu.Screen, 4);
    menu.Selected = 1;
    auto start = std::chrono::steady_clock::now();
    menu.ChooseItem();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.5)
        << "the requests go in the background";
    EXPECT_EQ(menu.Screen, 5);
    double seconds = PassUntilSubmission([](const TRunSubmissionView& view) {
        return view.TableDone && std::none_of(view.Rows.begin(), view.Rows.end(), [](const TRunSendRow& row) {
                   return row.State == TRunSendState::Sending;
               });
    });
    EXPECT_FALSE(menu.Submitted) << "the failure texts show";
    for (const TRunSendRow& row : menu.Submission->View().Rows)
        EXPECT_EQ(row.State, TRunSendState::NoConnection) << "mission " << row.Mission;
    EXPECT_LT(seconds, 10.0);
    start = std::chrono::steady_clock::now();
    menu.Back();
    EXPECT_EQ(menu.Screen, 4);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.5)
        << "Escape leaves at once";
}

namespace {

// A verified run as the server hands it out: mission `mission` on the data set `dataSet`.
TReplay SampleRecord(int mission, uint64_t dataSet) {
    TReplay record;
    record.Mission = uint8_t(mission);
    record.CarType = 2;
    record.DataSet = dataSet;
    record.Nick = Utf8ToCp1250("Jiří Šťastný");
    record.Score = 3941;
    record.Time = 43.51f;
    record.Frames.resize(500);
    for (size_t i = 0; i < record.Frames.size(); ++i) {
        record.Frames[i].Controls = REPLAY_WORLD_RAN;
        record.Frames[i].X = 250 + 0.05f * float(i);
        record.Frames[i].Y = 279;
    }
    return record;
}

} // namespace

// The record screen offline: the record kept from the last fetch is raced as the ghost of its mission;
// one of another data set is refused on the screen and never raced; Escape leaves at once.
TEST_F(MenuInProcess, RacingTheRecordRacesAKeptFitOneAndRefusesAnUnfitOne) {
    TEnvironment server("KALMIROV_HIGHSCORE_SERVER", "http://127.0.0.1:1"); // nothing listens there
    TEnvironment data("XDG_DATA_HOME", Dir.Path.c_str());
    Open({});
    Pass(100);
    ASSERT_EQ(Game->DataSetOfRuns(), DigestDataSet());
    TMenuImprovedEngine& menu = *Game->Menu;
    auto fetched = [&] {
        auto start = std::chrono::steady_clock::now();
        while (menu.RecordFetch->View().State == TRecordFetchState::Fetching &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
            Pass();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return menu.RecordFetch->View();
    };

    ASSERT_TRUE(SaveReplay(RecordFileName(2), SampleRecord(2, Game->DataSetOfRuns() ^ 1), TestNotice));
    menu.HighscoreTrack = 2;
    Game->ShowMenu(4);
    menu.Selected = 2; // Race the record
    menu.ChooseItem();
    ASSERT_EQ(menu.Screen, 10);
    TRecordFetchView view = fetched();
    EXPECT_EQ(view.State, TRecordFetchState::Refused);
    EXPECT_EQ(view.Problem, TRecordProblem::OtherDataSet);
    menu.Selected = 0;
    menu.ChooseItem();
    EXPECT_EQ(menu.Screen, 10) << "nothing to race";
    EXPECT_EQ(Game->Recorder.RecordToRace, nullptr);
    auto start = std::chrono::steady_clock::now();
    menu.Back();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.5);
    EXPECT_EQ(menu.Screen, 4);
    EXPECT_EQ(menu.Selected, 2);

    ASSERT_TRUE(SaveReplay(RecordFileName(1), SampleRecord(1, Game->DataSetOfRuns()), TestNotice));
    menu.HighscoreTrack = 1;
    menu.ChooseItem();
    ASSERT_EQ(menu.Screen, 10);
    view = fetched();
    ASSERT_EQ(view.State, TRecordFetchState::Ready);
    EXPECT_TRUE(view.FromCache);
    menu.Selected = 0; // Race its ghost
    menu.ChooseItem();
    ASSERT_EQ(menu.Screen, 12) << "briefed as a single race";
    menu.Selected = 1; // Continue
    menu.ChooseItem();
    Pass(20);
    ASSERT_TRUE(Game->Recorder.HasBest);
    EXPECT_EQ(Game->Recorder.Best.Nick, Utf8ToCp1250("Jiří Šťastný")) << "the record is the ghost";
    EXPECT_EQ(Game->Recorder.RecordToRace, nullptr) << "used once";
}

namespace {

// One picture of the menu: how to open the screen, and its file name without language and ".png".
struct TMenuShot {
    std::string Name;
    std::function<void(TGameEngine&)> Open;
    int Frames = 100; // the loading of the city takes frames of its own
};

} // namespace

// Pictures of every screen in English and Czech for the documentation; runs only when
// KALMIROV_MENU_SHOTS names the folder to write them to (scripts/menu-shots.sh).
TEST_F(MenuInProcess, PicturesOfEveryScreen) {
    const char* folder = std::getenv("KALMIROV_MENU_SHOTS");
    if (!folder)
        GTEST_SKIP() << "KALMIROV_MENU_SHOTS is not set";
    const char* server = std::getenv("KALMIROV_MENU_SHOTS_SERVER"); // answers every request with 200
    auto menu = [](uint8_t screen, int32_t selected) {
        return [=](TGameEngine& game) {
            game.ShowMenu(screen);
            game.Menu->Selected = selected;
        };
    };
    auto submit = [](const std::string& address) {
        return [=](TGameEngine& game) {
            setenv("KALMIROV_HIGHSCORE_SERVER", address.c_str(), 1);
            game.Menu->HighscoreTrack = 1;
            game.ShowMenu(5);
        };
    };
    // The record screen offline: the record kept from before (of this data set or, with `otherDataSet`, of
    // another), or none.
    auto record = [this](bool kept, uint64_t otherDataSet) {
        return [=, this](TGameEngine& game) {
            setenv("KALMIROV_HIGHSCORE_SERVER", "http://127.0.0.1:9", 1);
            setenv("XDG_DATA_HOME", Dir.Path.c_str(), 1);
            std::filesystem::remove(RecordFileName(3));
            if (kept)
                SaveReplay(RecordFileName(3), SampleRecord(3, game.DataSetOfRuns() ^ otherDataSet),
                           TestNotice);
            game.Menu->HighscoreTrack = 3;
            game.ShowMenu(10);
        };
    };
    std::vector<TMenuShot> shots = {
        {"01-main-menu", menu(1, 0)},
        {"02-single-race",
         [](TGameEngine& game) {
             game.Menu->SingleTrack = 10; // the longest name
             game.ShowMenu(2);
             game.Menu->Selected = 1;
         }},
        {"03-race-for-two", menu(3, 4)},
        {"04-highscore",
         [](TGameEngine& game) {
             const char* nicks[] = {"Anna", "Boris", "Čeněk", "Dana", "Emil"};
             for (int i = 0; i < 5; ++i)
                 game.Highscores.Insert(1, Utf8ToCp1250(nicks[i]), uint8_t(i + 2), 3000 - 200 * i,
                                        41.37f + 3.5f * float(i));
             game.Menu->HighscoreTrack = 1;
             game.ShowMenu(4);
         }},
        {"04-highscore-empty",
         [](TGameEngine& game) {
             game.Menu->HighscoreTrack = 7;
             game.ShowMenu(4);
             game.Menu->Selected = 0;
         }},
        {"05-submitted", submit(server ? server : "http://127.0.0.1:9")},
        {"10-record-kept", record(true, 0)},
        {"10-record-refused", record(true, 1)},
        {"10-record-no-connection", record(false, 0)},
        {"05-submission-failed", submit("http://127.0.0.1:9")},
        {"06-options",
         [](TGameEngine& game) {
             Sound().SetMusicVolume(200);
             Sound().SetSFXVolume(255);
             game.ShowMenu(6);
             game.Menu->Selected = 1;
         }},
        {"",
         [](TGameEngine& game) {
             game.ShowMenu(0);
             game.Players[0]->SetCarType(1);
             game.Players[0]->Mission = 1;
             game.SetGameState(gsStartGame);
             game.StartMission(1);
             game.Rules.CountdownTicks = -1;
             game.Loader.Sprites.GoSprite->Alive = false;
         },
         300},
        {"08-gas-station",
         [](TGameEngine& game) {
             game.Car(1)->Fuel = 37.4f;
             game.ShowMenu(8);
         }},
        {"09-service",
         [](TGameEngine& game) {
             game.Car(1)->Damage = 62.6f;
             game.ShowMenu(9);
         }},
        {"11-mission-failed", menu(11, 0)},
        {"12-car-choice-mission-10",
         [](TGameEngine& game) {
             game.Players[0]->Mission = 10;
             game.ShowMenu(12);
         }},
        {"12-car-choice-mission-3",
         [](TGameEngine& game) {
             game.Players[0]->Mission = 3;
             game.ShowMenu(12);
             game.Menu->CarChoice = 7;
             game.Menu->Selected = 0;
         }},
        {"15-pause", menu(15, 3)},
        {"16-quit-to-menu",
         [](TGameEngine& game) {
             game.ShowMenu(15);
             game.Menu->Selected = 3;
             game.Menu->ChooseItem();
         }},
        {"16-quit-game",
         [](TGameEngine& game) {
             game.ShowMenu(15);
             game.Menu->Selected = 4;
             game.Menu->ChooseItem();
         }},
        {"17-race-rules",
         [](TGameEngine& game) {
             game.LoadPlayer(2, 1);
             game.Menu->RaceTrack = 13;
             game.ShowMenu(17);
         }},
        {"13-race-won",
         [](TGameEngine& game) {
             game.LoadPlayer(2, 1);
             game.Players[0]->ExtraPoints = 3;
             game.Players[1]->ExtraPoints = 1;
             game.ShowMenu(13);
         }},
        {"13-race-drawn",
         [](TGameEngine& game) {
             game.Players[0]->ExtraPoints = 2;
             game.Players[1]->ExtraPoints = 2;
             game.ShowMenu(13);
         }},
        {"14-single-result",
         [](TGameEngine& game) {
             TPlayerData& p1 = *game.Players[0];
             p1.Mission = 1;
             p1.Time = 43.21f;
             p1.Score = 2900;
             game.LastRunMission = 1;
             game.LastRunRank = game.Highscores.Insert(1, p1.Nick, p1.CarType, p1.Score, p1.Time);
             game.ShowMenu(14);
         }},
        {"14-single-result-under-par",
         [](TGameEngine& game) {
             TPlayerData& p1 = *game.Players[0];
             p1.Time = 27.6f;
             p1.Score = 3320;
             game.LastRunRank = game.Highscores.Insert(1, p1.Nick, p1.CarType, p1.Score, p1.Time);
             game.ShowMenu(14);
         }},
    };
    // The briefings the two car choices above leave out, before the race results.
    auto at = std::find_if(shots.begin(), shots.end(),
                           [](const TMenuShot& shot) { return shot.Name.starts_with("13-"); });
    for (int mission : {1, 2, 4, 5, 6, 7, 8, 9})
        at = 1 + shots.insert(at, TMenuShot{"12-briefing-mission-" + std::to_string(mission),
                                            [mission](TGameEngine& game) {
                                                game.Players[0]->Mission = uint8_t(mission);
                                                game.ShowMenu(12);
                                            }});
    // Each screen gets its frames: opened at the first, slid in by the 60th, then English and Czech.
    std::vector<std::pair<uint64_t, std::string>> files;
    uint64_t start = 10;
    for (const TMenuShot& shot : shots) {
        if (!shot.Name.empty())
            for (const char* language : {"en", "cz"})
                files.emplace_back(start + (language[0] == 'e' ? 60 : 70),
                                   std::string(folder) + "/" + shot.Name + "-" + language + ".png");
        start += uint64_t(shot.Frames);
    }
    Open({}, files);
    start = 10;
    for (const TMenuShot& shot : shots) {
        PassUntil(start);
        // Opening the screen that is open would leave it without its pictures.
        Game->ShowMenu(0);
        shot.Open(*Game);
        if (shot.Name.empty()) {
            start += uint64_t(shot.Frames);
            continue;
        }
        PassUntil(start + 60);
        Config().Language = 1;
        PassUntil(start + 70);
        Config().Language = 0;
        start += uint64_t(shot.Frames);
    }
    PassUntil(start);
    for (const auto& [frame, file] : files)
        EXPECT_TRUE(std::filesystem::exists(file)) << file;
}
