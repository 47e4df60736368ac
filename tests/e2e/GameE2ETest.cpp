// The whole game as a player starts it: the program run unattended on the fixed 10 ms clock with a
// practice start, a key script and a state dump of one JSON line per game-loop frame. Every game is
// checked to start as its tables say, mission 1 is driven through its first targets, and the city
// map opens and closes with Tab while the game stands still; the pixels of the HUD and the map are
// checked on the harness's screenshots.
#include "tables/GameConsts.h"
#include "TestSupport.h"
#include "uHarness.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// --- Reading the state dump ---------------------------------------------------------------------

// The end of the JSON value starting at `pos` (a string, object, array, number or literal).
size_t SkipValue(std::string_view text, size_t pos) {
    if (pos >= text.size())
        return pos;
    if (text[pos] == '"') {
        for (++pos; pos < text.size() && text[pos] != '"'; ++pos)
            if (text[pos] == '\\')
                ++pos;
        return pos + 1;
    }
    if (text[pos] == '{' || text[pos] == '[') {
        int depth = 0;
        for (; pos < text.size(); ++pos) {
            char c = text[pos];
            if (c == '"')
                pos = SkipValue(text, pos) - 1;
            else if (c == '{' || c == '[')
                ++depth;
            else if ((c == '}' || c == ']') && --depth == 0)
                return pos + 1;
        }
        return pos;
    }
    while (pos < text.size() && text[pos] != ',' && text[pos] != '}' && text[pos] != ']')
        ++pos;
    return pos;
}

// The raw text of one value inside `json` along `path`: object member names, or element numbers
// ("0", "1") inside arrays. Empty when the path leads nowhere.
std::string_view Find(std::string_view json, std::initializer_list<std::string_view> path) {
    for (std::string_view step : path) {
        if (json.empty())
            return {};
        bool array = json.front() == '[';
        if (!array && json.front() != '{')
            return {};
        size_t pos = 1, index = 0, wanted = array ? std::stoul(std::string(step)) : 0;
        std::string_view found;
        while (pos < json.size() && json[pos] != '}' && json[pos] != ']') {
            std::string_view key;
            if (!array) {
                size_t keyEnd = SkipValue(json, pos);
                key = json.substr(pos + 1, keyEnd - pos - 2);
                pos = keyEnd + 1; // past the colon
            }
            size_t end = SkipValue(json, pos);
            if (array ? index == wanted : key == step) {
                found = json.substr(pos, end - pos);
                break;
            }
            ++index;
            pos = end + 1; // past the comma
        }
        json = found;
    }
    return json;
}

// A number of the dump; NaN for null or a missing value.
double Number(std::string_view json, std::initializer_list<std::string_view> path) {
    std::string text(Find(json, path));
    if (text.empty() || text == "null")
        return std::nan("");
    return std::strtod(text.c_str(), nullptr);
}

// One line of the dump with names for what the tests read.
struct TState {
    std::string Json;

    double Get(std::initializer_list<std::string_view> path) const { return Number(Json, path); }
    int Int(std::initializer_list<std::string_view> path) const { return int(std::lround(Get(path))); }
    std::string Text(std::string_view key) const { return std::string(Find(Json, {key})); }
    bool HasCar(int i) const { return Find(Json, {"cars", i == 1 ? "0" : "1"}) != "null"; }
    double Car(int i, std::string_view field) const { return Get({"cars", i == 1 ? "0" : "1", field}); }
    double Player(int i, std::string_view field) const { return Get({"players", i == 1 ? "0" : "1", field}); }
    double Target(std::string_view field) const { return Get({"targets", field}); }
};

// --- Running the game ----------------------------------------------------------------------------

struct TGameRun {
    int ExitCode = -1;
    std::vector<TState> Frames; // one per game-loop frame, from the first frame after loading
};

enum class TView { Headless, Window };

// Runs the game from the run directory with the player's files in `home` (fresh for each test):
// headless, which ends in the same states, unless a screenshot or `view` asks for the window.
TGameRun RunGame(const TTempDir& home, const std::string& options, uint64_t frames,
                 const std::string& keys = "", TView view = TView::Headless) {
    std::string script = home.File("keys.txt"), dump = home.File("state.jsonl");
    std::ofstream(script) << keys;
    bool window = view == TView::Window || options.find("--shot") != std::string::npos;
    std::ostringstream command;
    command << "XDG_DATA_HOME=" << home.Path << " XDG_CONFIG_HOME=" << home.Path
            << (window ? " ./kalmirov -w -ns --fixed-clock" : " ./kalmirov -ns --headless") << " --frames " << frames
            << " --keys " << script
            << " --dump-state " << dump << " " << options;
    TGameRun run;
    run.ExitCode = std::system(command.str().c_str());
    std::ifstream in(dump);
    for (std::string line; std::getline(in, line);)
        run.Frames.push_back({line});
    return run;
}

// A screenshot of the 640 x 480 window.
struct TShot {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Rgb; // top row first

    // Pixels of the layout rectangle [x0, x1) x [y0, y1) (origin bottom-left) that `match`.
    template <class Match> int Count(int x0, int y0, int x1, int y1, Match match) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += match(&Rgb[(size_t(Height - 1 - y) * size_t(Width) + size_t(x)) * 3]);
        return n;
    }
};

TShot LoadShot(const std::string& path) {
    TShot shot;
    EXPECT_TRUE(ReadPNG(path, shot.Width, shot.Height, shot.Rgb)) << path;
    EXPECT_EQ(shot.Width, 640);
    EXPECT_EQ(shot.Height, 480);
    return shot;
}

// The HUD's two text colours, as drawn over the darkened world.
bool HudRed(const uint8_t* p) {
    return p[0] > 150 && p[1] < 40 && p[2] > 30 && p[2] < 110;
}
bool HudAmber(const uint8_t* p) {
    return p[0] > 180 && p[1] > 100 && p[1] < 200 && p[2] < 60;
}
// The locator arrow and the target rings.
bool Pink(const uint8_t* p) {
    return p[0] > 150 && p[0] > p[1] + 80 && p[2] > 40;
}
// The parks of the city map picture.
bool MapGreen(const uint8_t* p) {
    return p[1] > p[0] + 25 && p[1] > p[2] + 25;
}

// The dump line of a frame number (the number a --shot option takes), or null.
const TState* FrameNumbered(const TGameRun& run, int frame) {
    for (const TState& state : run.Frames)
        if (state.Int({"frame"}) == frame)
            return &state;
    return nullptr;
}

// Night tint and lamp glow follow the hour.
int DarknessAt(int hour) {
    if (hour >= 9 && hour <= 17)
        return 32;
    if (hour >= 18 && hour <= 21)
        return 64;
    return 112;
}

// Ticks enough to see each game set up.
constexpr uint64_t SetupFrames = 50;

class GameE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists("data/city/city.tmf")) << "run from build/run";
    }

    TTempDir Home;
};

} // namespace

TEST_F(GameE2E, EachGameStartsAsItsTablesSay) {
    for (int n = 1; n <= 15; ++n) {
        SCOPED_TRACE("game " + std::to_string(n));
        TTempDir home;
        // Car 1 (VW Golf) is asked for everywhere; mission 10 offers only the Avia and the Transit.
        TGameRun run = RunGame(home, "--mission " + std::to_string(n) + " --car 1", SetupFrames);
        ASSERT_EQ(run.ExitCode, 0);
        ASSERT_GE(run.Frames.size(), 10u);
        const TState& first = run.Frames.front();
        const TMissionSetup& setup = MissionSetups[n];
        const std::vector<TMapPoint>& route = MissionRoute(n);
        bool race = n >= 11;

        EXPECT_EQ(first.Int({"state"}), 3);
        EXPECT_EQ(first.Int({"mission"}), n);
        EXPECT_EQ(first.Int({"menu"}), 0);
        EXPECT_EQ(first.Text("twoPlayer"), race ? "true" : "false");
        EXPECT_EQ(first.Int({"cameraMode"}), race ? 2 : 1); // a new player starts in the chase view
        EXPECT_EQ(first.Int({"timeOfDay"}), setup.Hour);
        EXPECT_EQ(first.Int({"darkness"}), DarknessAt(setup.Hour));
        EXPECT_EQ(first.Int({"particles"}), n == 8 ? 0 : 3); // snow everywhere but in mission 8
        EXPECT_EQ(first.Int({"countdown"}), 1);

        EXPECT_EQ(first.Target("created"), double(route.size()));
        EXPECT_EQ(first.Target("remaining"), double(route.size()));
        EXPECT_EQ(first.Target("lastReached"), -1);
        EXPECT_FLOAT_EQ(float(first.Target("activeX")),
                        route.back().X); // the last created is driven to first
        EXPECT_FLOAT_EQ(float(first.Target("activeY")), route.back().Y);

        EXPECT_EQ(first.Player(1, "carType"), n == 10 ? 5 : 1);
        if (!race) {
            EXPECT_EQ(first.Player(1, "hudSymbols"), n == 10 ? 63 : 15); // fuel, damage, time, targets (+ load, fragile)
            EXPECT_FLOAT_EQ(float(first.Player(1, "parTime")), setup.ParTime);
            EXPECT_NEAR(first.Car(1, "x"), setup.Start[0].X, 0.01);
            EXPECT_NEAR(first.Car(1, "y"), setup.Start[0].Y, 0.01);
            EXPECT_NEAR(first.Car(1, "heading"), setup.Heading, 0.1);
            EXPECT_FALSE(first.HasCar(2));
            continue;
        }
        // Races: side by side about the middle of the two table places, along the line between them,
        // a car's width apart plus some air (the table's 1.4 would put the wider cars inside each other).
        ASSERT_TRUE(first.HasCar(2));
        float mx = (setup.Start[0].X + setup.Start[1].X) / 2, my = (setup.Start[0].Y + setup.Start[1].Y) / 2;
        double dx = first.Car(2, "x") - first.Car(1, "x"), dy = first.Car(2, "y") - first.Car(1, "y");
        EXPECT_NEAR((first.Car(1, "x") + first.Car(2, "x")) / 2, mx, 0.01);
        EXPECT_NEAR((first.Car(1, "y") + first.Car(2, "y")) / 2, my, 0.01);
        double tx = setup.Start[1].X - setup.Start[0].X, ty = setup.Start[1].Y - setup.Start[0].Y;
        EXPECT_NEAR(dx * ty - dy * tx, 0, 0.01) << "along the line of the table places";
        EXPECT_GT(dx * tx + dy * ty, 0) << "car 1 on the side of its own table place";
        EXPECT_GT(std::hypot(dx, dy), 1.9);
        EXPECT_LT(std::hypot(dx, dy), 3.5);
        for (int car = 1; car <= 2; ++car)
            EXPECT_NEAR(first.Car(car, "heading"), setup.Heading, 0.1);
        for (const char* car : {"0", "1"})
            EXPECT_EQ(Find(first.Json, {"cars", car, "lights"}), setup.LightsOn ? "true" : "false");
    }
}

// The arrow at the screen edge points at its target: in the top view mission 1's first target lies
// straight below the car, so the arrow on the bottom edge points down, narrowing to its tip at the bottom and ending
// in the square end of its shaft at the top.
TEST_F(GameE2E, TheLocatorArrowPointsAtItsTarget) {
    constexpr int shotFrame = SetupFrames - 1;
    std::string shot = Home.File("locator.png");
    // Seen from above, as the player who chose the top view sees it.
    std::filesystem::create_directories(Home.File("kalmirov"));
    std::ofstream(Home.File("kalmirov/settings.ini")) << "CameraView=0\n";
    TGameRun run = RunGame(Home, "--mission 1 --shot " + std::to_string(shotFrame) + ":" + shot, SetupFrames);
    ASSERT_EQ(run.ExitCode, 0);
    const TState* state = FrameNumbered(run, shotFrame);
    ASSERT_TRUE(state);
    // The dump gives the arrow's centre, which sits on the frame 20 pixels inside the screen.
    int cx = state->Int({"targets", "locatorX"}), cy = state->Int({"targets", "locatorY"});
    ASSERT_EQ(cy, 20) << "on the bottom edge";
    ASSERT_GE(cx, 20);
    ASSERT_LE(cx, 620);
    int x = cx - 16, y = cy - 16; // the arrow's bottom-left corner
    TShot picture = LoadShot(shot);
    std::vector<int> rows; // pink pixels of each row of the arrow, bottom first
    for (int row = y; row < y + 32; ++row)
        if (int width = picture.Count(x, row, x + 32, row + 1, Pink))
            rows.push_back(width);
    ASSERT_GE(rows.size(), 20u) << "the arrow is drawn";
    EXPECT_LE(rows.front(), 5) << "the tip at the bottom";
    EXPECT_GE(rows.back(), 7) << "the shaft at the top";
    int left = picture.Count(x, y, x + 16, y + 32, Pink),
        right = picture.Count(x + 16, y, x + 32, y + 32, Pink);
    EXPECT_LT(std::abs(left - right), (left + right) / 4) << "upright, not turned aside";
}

// Mission 1 starts at (250, 279) facing north, so the car drives south: straight on to the first two
// targets (249, 271) and (250, 264), a touch of right for the third (247, 260), then the brake. Passes
// count game-loop frames from the first one after loading; "GO" comes at pass 381.
const char* const MissionOneDrive = R"(# straight on, after the countdown
390 down UP
475 down RIGHT
501 up RIGHT
540 up UP
540 down DOWN
620 up DOWN
# the city map, and back to the game
660 down TAB
665 up TAB
760 down TAB
765 up TAB
)";
constexpr size_t MapOpen = 660, MapClosed = 760; // passes of the two Tab presses
// Tick numbers of the screenshots: on the drive after the first targets and on the open map; the
// test checks the state of the ticks they show.
constexpr int DriveShot = 610, MapShot = 710;

TEST_F(GameE2E, MissionOneIsDrivenThroughItsFirstTargetsAndTheMapPausesIt) {
    std::string driveShot = Home.File("drive.png"), mapShot = Home.File("map.png");
    TGameRun run = RunGame(Home,
                           "--mission 1 --shot " + std::to_string(DriveShot) + ":" + driveShot + " --shot " +
                               std::to_string(MapShot) + ":" + mapShot,
                           1000, MissionOneDrive);
    ASSERT_EQ(run.ExitCode, 0);
    ASSERT_GE(run.Frames.size(), 800u);
    const std::vector<TMapPoint>& route = MissionRoute(1);
    const auto& f = run.Frames;

    // The countdown holds the car at its start and the clock at zero until "GO".
    size_t go = 0;
    while (go < f.size() && f[go].Int({"countdown"}) != 4)
        ++go;
    EXPECT_NEAR(double(go), 381, 2);
    for (size_t i = 0; i < go; ++i) {
        ASSERT_EQ(f[i].Player(1, "time"), 0) << "pass " << i;
        ASSERT_NEAR(f[i].Car(1, "y"), 279, 0.01) << "pass " << i;
    }

    // Every target is credited once, on the frame the car enters its square; the next one becomes
    // active, its locator moves on and the score grows by 300000 * reached / (1000 * time).
    int reached = 0;
    for (size_t i = 1; i < f.size(); ++i) {
        const TState &before = f[i - 1], &now = f[i];
        int remaining = now.Int({"targets", "remaining"});
        if (now.Target("lastReached") == -1) {
            ASSERT_EQ(remaining, before.Int({"targets", "remaining"})) << "pass " << i;
            ASSERT_EQ(now.Player(1, "score"), before.Player(1, "score")) << "pass " << i;
            continue;
        }
        ++reached;
        SCOPED_TRACE("target " + std::to_string(reached) + " at pass " + std::to_string(i));
        EXPECT_EQ(remaining, before.Int({"targets", "remaining"}) - 1);
        EXPECT_EQ(now.Target("lastReached"), remaining); // ordered: the last of the list
        EXPECT_EQ(now.Target("created") - remaining, reached);
        // The check saw the car before this frame's physics step moved it on (at most 0.2 units).
        EXPECT_LE(std::abs(now.Car(1, "x") - before.Target("activeX")), 1.7);
        EXPECT_LE(std::abs(now.Car(1, "y") - before.Target("activeY")), 1.7);
        EXPECT_FLOAT_EQ(float(now.Target("activeX")), route[size_t(remaining - 1)].X);
        EXPECT_FLOAT_EQ(float(now.Target("activeY")), route[size_t(remaining - 1)].Y);
        EXPECT_TRUE(now.Target("locatorX") != before.Target("locatorX") ||
                    now.Target("locatorY") != before.Target("locatorY"));
        double time = now.Player(1, "time");
        EXPECT_GT(time, 0);
        EXPECT_NEAR(now.Player(1, "score") - before.Player(1, "score"), std::round(300.0 * reached / time),
                    1);
    }
    EXPECT_GE(reached, 3);

    // Tab opens the map over the paused game: the car, its clock and the targets stand still.
    ASSERT_EQ(f[MapOpen - 1].Int({"state"}), 3);
    for (size_t i = MapOpen; i < MapClosed; ++i) {
        ASSERT_EQ(f[i].Int({"state"}), 4) << "pass " << i;
        ASSERT_EQ(f[i].Player(1, "time"), f[MapOpen].Player(1, "time")) << "pass " << i;
        ASSERT_EQ(f[i].Car(1, "x"), f[MapOpen].Car(1, "x")) << "pass " << i;
        ASSERT_EQ(f[i].Car(1, "y"), f[MapOpen].Car(1, "y")) << "pass " << i;
    }
    EXPECT_EQ(f[MapOpen].Text("showMap"), "false");
    ASSERT_EQ(f[MapClosed].Int({"state"}), 3);
    EXPECT_NEAR(f[MapClosed + 5].Player(1, "time") - f[MapClosed].Player(1, "time"), 0.05, 1e-4);

    // Pixels: the HUD counters (time in amber below 5 s, targets in red, left of the fuel and damage) over the drive; the map
    // picture, with its parks, and no HUD.
    const TState* driving = FrameNumbered(run, DriveShot);
    const TState* onMap = FrameNumbered(run, MapShot);
    ASSERT_TRUE(driving && onMap);
    ASSERT_EQ(driving->Int({"state"}), 3);
    ASSERT_LT(driving->Player(1, "time"), 5);
    ASSERT_EQ(onMap->Int({"state"}), 4);
    TShot drive = LoadShot(driveShot), map = LoadShot(mapShot);
    EXPECT_GT(drive.Count(480, 410, 540, 445, HudAmber), 20);
    EXPECT_GT(drive.Count(430, 410, 485, 445, HudRed), 20);
    EXPECT_GT(map.Count(0, 0, 640, 480, MapGreen), 5000);
    EXPECT_EQ(map.Count(580, 410, 640, 445, HudAmber), 0);
    EXPECT_EQ(map.Count(530, 410, 585, 445, HudRed), 0);
}

TEST_F(GameE2E, AHeadlessRunEndsAsTheWindowedOneOnTheFixedClock) {
    // A mission with its traffic and pedestrians, and a race for two, driven by the same keys.
    const std::string keys = "400 down UP\n520 down LEFT\n560 up LEFT\n600 down W\n650 down R\n700 up R\n";
    for (const char* game : {"--mission 10 --car 6", "--mission 13 --car 2"}) {
        SCOPED_TRACE(game);
        TTempDir windowedHome, headlessHome;
        TGameRun windowed = RunGame(windowedHome, game, 900, keys, TView::Window);
        std::ofstream(headlessHome.File("keys.txt")) << keys;
        std::ostringstream command;
        command << "env -u DISPLAY XDG_DATA_HOME=" << headlessHome.Path << " XDG_CONFIG_HOME=" << headlessHome.Path
                << " ./kalmirov -ns --headless --frames 900 --keys " << headlessHome.File("keys.txt")
                << " --dump-state " << headlessHome.File("state.jsonl") << " " << game;
        ASSERT_EQ(std::system(command.str().c_str()), 0);
        ASSERT_EQ(windowed.ExitCode, 0);
        std::ifstream in(headlessHome.File("state.jsonl"));
        std::string line, last;
        while (std::getline(in, line))
            last = line;
        ASSERT_EQ(windowed.Frames.size(), 900u);
        EXPECT_EQ(last, windowed.Frames.back().Json);
    }
}

TEST_F(GameE2E, WhatTheCameraSeesChangesNothingOfTheWorld) {
    // Mission 10's streets, traffic and pedestrians, driven by the same keys twice; the second time
    // the view switches between the top and the chase view every 1.5 s, before and after "GO".
    const std::string drive = "400 down UP\n520 down LEFT\n560 up LEFT\n700 down RIGHT\n760 up RIGHT\n"
                              "900 up UP\n950 down UP\n";
    std::string looking = drive;
    for (int tick = 150; tick < 1500; tick += 150)
        looking += std::to_string(tick) + " down C\n" + std::to_string(tick + 1) + " up C\n";
    TTempDir steadyHome, lookingHome;
    TGameRun steady = RunGame(steadyHome, "--mission 10 --car 6", 1500, drive);
    TGameRun switching = RunGame(lookingHome, "--mission 10 --car 6", 1500, looking);
    ASSERT_EQ(steady.ExitCode, 0);
    ASSERT_EQ(switching.ExitCode, 0);
    ASSERT_EQ(steady.Frames.size(), 1500u);
    ASSERT_EQ(switching.Frames.size(), steady.Frames.size());
    std::set<int> views;
    for (size_t i = 0; i < steady.Frames.size(); ++i) {
        const TState &a = steady.Frames[i], &b = switching.Frames[i];
        views.insert(b.Int({"cameraMode"}));
        for (std::string_view part : {"countdown", "cars", "players", "traffic"})
            ASSERT_EQ(Find(a.Json, {part}), Find(b.Json, {part})) << part << " differ at pass " << i;
        // Of the targets, what the world keeps (the locator arrow is the camera's picture of it).
        for (std::string_view field : {"mode", "created", "remaining", "lastReached", "activeX", "activeY"})
            ASSERT_EQ(Find(a.Json, {"targets", field}), Find(b.Json, {"targets", field}))
                << "targets' " << field << " differ at pass " << i;
    }
    EXPECT_EQ(views, (std::set<int>{0, 1}));
    // The world did move: the car drove, the traffic and the pedestrians are there.
    const TState& last = steady.Frames.back();
    EXPECT_GT(std::hypot(last.Car(1, "x") - steady.Frames[0].Car(1, "x"),
                         last.Car(1, "y") - steady.Frames[0].Car(1, "y")),
              20);
    EXPECT_NE(Find(last.Json, {"traffic", "cars", "0"}), "null");
    EXPECT_NE(Find(last.Json, {"traffic", "pedestrians", "0"}), "null");
}
