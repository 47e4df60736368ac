// kalautopilot: plays one game of Kalmirov from start to finish the way a player does, reading the
// state of every frame and answering with key presses, and tells whether it finished in time.
//   kalautopilot --game PROGRAM --run-dir DIR --mission N [--car T] [--seed S] [--limit SECONDS]
//                [--record KEYS] [--final STATE] [--trace PASSES] [--check-replay] [--windowed]
// Missions 1-10 must be finished within twice their par time (or --limit); the races 11-15, where
// it drives both cars, within --limit (default 480 s). --record writes the keys it sent as a key
// script; --final writes the state line of the frame the game was finished on. --check-replay then
// plays the recorded keys back twice from a key script and checks that both runs end as the
// autopilot's did: the same frame, cars within a millimetre, the same time and score. Exit status 0
// when the game was finished in time (and replayed alike), 1 when not, 2 on a usage or start error.
// The game runs headless (no window, no drawing) unless --windowed asks for a window on the fixed
// clock, which ends in the very same state.
#include "Angles.h"
#include "CityGrid.h"
#include "Driver.h"
#include "GameConsts.h"
#include "GameProcess.h"
#include "Json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

struct TOptions {
    std::string Game, RunDir, Record, Final;
    int Mission = 0, Car = 7;
    uint32_t Seed = 1;
    double Limit = 0;
    int Trace = 0; // passes between two trace lines, 0 for none
    bool CheckReplay = false;
    bool Windowed = false;
};

TOptions ParseOptions(int argc, char** argv) {
    TOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error(a + " needs a value");
            return argv[++i];
        };
        if (a == "--game")
            options.Game = value();
        else if (a == "--run-dir")
            options.RunDir = value();
        else if (a == "--mission")
            options.Mission = std::stoi(value());
        else if (a == "--car")
            options.Car = std::stoi(value());
        else if (a == "--seed")
            options.Seed = uint32_t(std::stoul(value()));
        else if (a == "--limit")
            options.Limit = std::stod(value());
        else if (a == "--record")
            options.Record = value();
        else if (a == "--final")
            options.Final = value();
        else if (a == "--check-replay")
            options.CheckReplay = true;
        else if (a == "--windowed")
            options.Windowed = true;
        else if (a == "--trace")
            options.Trace = std::stoi(value());
        else
            throw std::runtime_error("unknown option " + a);
    }
    if (options.Game.empty() || options.RunDir.empty() || options.Mission < 1 || options.Mission > 15 ||
        options.Car < 0 || options.Car > 7)
        throw std::runtime_error(
            "usage: kalautopilot --game PROGRAM --run-dir DIR --mission 1..15 [--car 0..7] "
            "[--seed S] [--limit SECONDS] [--record KEYS] [--final STATE] [--trace PASSES] "
            "[--check-replay] [--windowed]");
    return options;
}

constexpr float ColumnSpacing = 8; // metres the second car of a race keeps behind the first

// The keys of one car: the arrows for player 1, W S E R for player 2.
struct TKeyMap {
    const char* Accelerate;
    const char* Brake;
    const char* Left;
    const char* Right;
};
constexpr TKeyMap PlayerKeys[2] = {{"UP", "DOWN", "LEFT", "RIGHT"}, {"W", "S", "E", "R"}};

// Turns each frame's controls into key lines, sending only the changes.
class TKeyboard {
  public:
    void Set(const TKeyMap& map, const TControls& controls, uint64_t pass, std::string& lines) {
        Key(map.Accelerate, controls.Accelerate, pass, lines);
        Key(map.Brake, controls.Brake, pass, lines);
        Key(map.Left, controls.Left, pass, lines);
        Key(map.Right, controls.Right, pass, lines);
    }

  private:
    void Key(const std::string& name, bool down, uint64_t pass, std::string& lines) {
        bool& held = Held[name];
        if (held == down)
            return;
        held = down;
        lines += std::to_string(pass) + (down ? " down " : " up ") + name + "\n";
    }
    std::map<std::string, bool> Held;
};

TCarState CarOf(const TJson& car) {
    return {float(car["x"].Num()), float(car["y"].Num()), float(car["heading"].Num()),
            float(car["speed"].Num())};
}

// The targets still to reach, the active one first, followed by the next ones of the route when the
// route agrees with the game's active target: at least two, and as many more as lie within thirty
// metres of the active one along the route, so that the car sees a bend behind a row of close targets
// in time to slow down for it.
std::vector<TPoint> Goals(const TJson& state, const std::vector<TMapPoint>& route) {
    const TJson& targets = state["targets"];
    if (targets["activeX"].IsNull())
        return {};
    TPoint active{float(targets["activeX"].Num()), float(targets["activeY"].Num())};
    std::vector<TPoint> goals{active};
    // The route is created finish first and driven from its end.
    int remaining = int(targets["remaining"].Num());
    if (remaining >= 1 && remaining <= int(route.size())) {
        const TMapPoint& listed = route[size_t(remaining - 1)];
        if (std::fabs(listed.X - active.X) < 0.01f && std::fabs(listed.Y - active.Y) < 0.01f) {
            float along = 0;
            for (int i = remaining - 2; i >= 0 && (i >= remaining - 3 || along < 30) && goals.size() < 10; --i) {
                TPoint next{route[size_t(i)].X, route[size_t(i)].Y};
                along += std::hypot(next.X - goals.back().X, next.Y - goals.back().Y);
                goals.push_back(next);
            }
        }
    }
    return goals;
}

std::string TempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kalautopilot-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("Cannot make a temporary folder");
    return pattern;
}

std::vector<std::string> GameArgs(const TOptions& options) {
    std::vector<std::string> args = {"-ns"};
    if (options.Windowed)
        args.insert(args.end(), {"-w", "--fixed-clock"});
    else
        args.push_back("--headless");
    args.insert(args.end(), {"--seed",
            std::to_string(options.Seed),
            "--mission",
            std::to_string(options.Mission),
            "--car",
            std::to_string(options.Car)});
    return args;
}

// Plays a key script up to `frames` and gives the state line of the last frame.
std::string Replay(const TOptions& options, const std::string& keys, int64_t frames) {
    std::string home = TempHome();
    std::vector<std::string> args = GameArgs(options);
    args.insert(args.end(), {"--keys", keys, "--frames", std::to_string(frames), "--dump-state", "-"});
    std::string line, last;
    {
        TGameProcess game(options.Game, args, options.RunDir, home);
        while (game.ReadLine(line))
            last = line;
        game.Finish();
    }
    std::filesystem::remove_all(home);
    return last;
}

// What two runs must agree on: the frame, where the cars stand to the millimetre, the time and the
// score. Empty when they agree, else what differs.
std::string Differences(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return "a run left no state";
    TJson x = TJson::Parse(a), y = TJson::Parse(b);
    std::string out;
    auto same = [&](const std::string& what, double u, double v, double within) {
        if (std::fabs(u - v) > within)
            out += what + " " + std::to_string(u) + " against " + std::to_string(v) + "; ";
    };
    same("frame", x["frame"].Num(), y["frame"].Num(), 0);
    for (size_t p = 0; p < 2; ++p) {
        std::string car = "car " + std::to_string(p + 1);
        if (x["cars"][p].IsNull() != y["cars"][p].IsNull())
            out += car + " missing in one run; ";
        same(car + " x", x["cars"][p]["x"].Num(), y["cars"][p]["x"].Num(), 0.001);
        same(car + " y", x["cars"][p]["y"].Num(), y["cars"][p]["y"].Num(), 0.001);
        same("player " + std::to_string(p + 1) + " time", x["players"][p]["time"].Num(),
             y["players"][p]["time"].Num(), 0);
        same("player " + std::to_string(p + 1) + " score", x["players"][p]["score"].Num(),
             y["players"][p]["score"].Num(), 0);
    }
    return out;
}

int Play(const TOptions& options) {
    TCityGrid city;
    city.Load(options.RunDir + "/data/city/city.tmf");
    bool race = options.Mission >= 11;
    double par = race ? 0 : MissionSetups[options.Mission].ParTime;
    double limit = options.Limit > 0 ? options.Limit : race ? 480 : 2 * par;
    const std::vector<TMapPoint>& route = MissionRoute(options.Mission);

    std::string home = TempHome();
    std::vector<std::string> args = GameArgs(options);
    args.insert(args.end(), {"--keys", "-", "--dump-state", "-"});
    std::string recorded, finalLine;
    // The steering target of a steering key of each car type, radians, as the car configurations set it.
    constexpr float SteerAmounts[8] = {0.32f, 0.36f, 0.32f, 0.42f, 0.26f, 0.36f, 0.30f, 0.32f};
    // Their lengths and widths in metres.
    constexpr float CarLengths[8] = {4.76f, 4.0f, 4.35f, 8.0f, 5.2f, 5.6f, 4.9f, 4.16f};
    constexpr float CarWidths[8] = {2.0f, 1.84f, 1.84f, 2.84f, 2.28f, 2.36f, 2.28f, 1.8f};
    float steer = SteerAmounts[options.Car], length = CarLengths[options.Car], width = CarWidths[options.Car];
    TDriver drivers[2] = {TDriver(city, steer, length, width), TDriver(city, steer, length, width)};
    TKeyboard keyboard;
    bool finished = false, timedOut = false;
    double time = 0;
    int score = 0, exitCode = 0;
    long peak = 0;
    int64_t frame = 0;
    int goFrames = 0;
    {
        TGameProcess game(options.Game, args, options.RunDir, home);
        game.Send(0, "");
        std::string line;
        float lastX[2] = {0, 0}, lastY[2] = {0, 0};
        while (game.ReadLine(line)) {
            TJson state = TJson::Parse(line);
            uint64_t pass = uint64_t(state["pass"].Num());
            frame = int64_t(state["frame"].Num());
            time = state["players"][0]["time"].Num();
            score = int(state["players"][0]["score"].Num());
            int menu = int(state["menu"].Num());
            if (menu == (race ? 13 : 14)) {
                finished = true;
                finalLine = line;
                break;
            }
            if (time > limit) {
                timedOut = true;
                finalLine = line;
                break;
            }
            bool moving = time > 0 && state["catchUp"].Num() <= 0 && menu == 0;
            goFrames += moving ? 1 : 0;
            std::vector<TPoint> goals = Goals(state, route);
            std::string lines;
            for (int p = 0; p < (race ? 2 : 1); ++p) {
                const TJson& car = state["cars"][size_t(p)];
                if (car.IsNull())
                    continue;
                TCarState me = CarOf(car);
                // A car put somewhere else (a catch-up in a race) plans its way anew.
                if (std::hypot(me.X - lastX[p], me.Y - lastY[p]) > 2)
                    drivers[p].Replan();
                lastX[p] = me.X;
                lastY[p] = me.Y;
                std::vector<TPoint> others;
                std::vector<TCarState> traffic;
                for (const TJson& t : state["traffic"]["cars"].Items)
                    if (!t.IsNull())
                        traffic.push_back(CarOf(t));
                // In a race the cars drive in a column: the first one leads and waits for the
                // second only while that one drives off ahead of it; the second starts a little
                // later, stands while it is close to the first and backs off when the first comes
                // backing towards it. Two cars waiting for each other in a narrow street would wait
                // for ever; a second car left far behind is brought up by the game's catch-up.
                const TJson& other = state["cars"][size_t(1 - p)];
                bool drives = moving && (p == 0 || goFrames > 60);
                bool backOff = false;
                if (race && !other.IsNull()) {
                    TCarState them = CarOf(other);
                    if (p == 1 || them.Speed > 0.5f)
                        others.push_back({them.X, them.Y});
                    if (p == 1 && std::hypot(me.X - them.X, me.Y - them.Y) < ColumnSpacing) {
                        drives = false;
                        float forward = (them.Heading + 180) * Pi / 180;
                        float ahead =
                            (me.X - them.X) * std::cos(forward) + (me.Y - them.Y) * std::sin(forward);
                        backOff = moving && ahead < 0 && drivers[0].Doing() != 'F';
                    }
                }
                TControls controls = drivers[p].Drive(me, goals, drives, others, traffic);
                if (backOff)
                    controls.Brake = true;
                keyboard.Set(PlayerKeys[p], controls, pass + 1, lines);
                if (options.Trace > 0 && pass % uint64_t(options.Trace) == 0) {
                    // The nearest other car, if one is near, and what it is doing.
                    TPoint nearest{0, 0};
                    for (const TPoint& o : others)
                        if (std::hypot(o.X - me.X, o.Y - me.Y) < std::hypot(nearest.X - me.X, nearest.Y - me.Y))
                            nearest = o;
                    std::string what;
                    for (const TCarState& t : traffic)
                        if (std::hypot(t.X - me.X, t.Y - me.Y) < std::hypot(nearest.X - me.X, nearest.Y - me.Y)) {
                            nearest = {t.X, t.Y};
                            char text[40];
                            std::snprintf(text, sizeof text, " h=%.0f v=%.1f", t.Heading, t.Speed);
                            what = text;
                        }
                    std::fprintf(stderr,
                                 "pass %llu car %d t=%.2f at %.1f,%.1f h=%.0f v=%.1f goal %.1f,%.1f left %d "
                                 "%c%s%s%s%s near %.1f,%.1f%s\n",
                                 static_cast<unsigned long long>(pass), p + 1, time, me.X, me.Y, me.Heading,
                                 me.Speed, goals.empty() ? 0 : goals[0].X, goals.empty() ? 0 : goals[0].Y,
                                 int(state["targets"]["remaining"].Num()), drivers[p].Doing(),
                                 controls.Accelerate ? " up" : "", controls.Brake ? " down" : "",
                                 controls.Left ? " left" : "", controls.Right ? " right" : "", nearest.X, nearest.Y, what.c_str());
                }
            }
            recorded += lines;
            game.Send(pass + 1, lines);
        }
        exitCode = game.Finish();
        peak = game.PeakKilobytes;
    }
    std::filesystem::remove_all(home);

    std::string record = options.Record;
    if (record.empty() && options.CheckReplay)
        record = TempHome() + "/keys.txt";
    if (!record.empty())
        std::ofstream(record) << recorded;
    if (!options.Final.empty())
        std::ofstream(options.Final) << finalLine << "\n";
    std::string name =
        race ? "race " + std::to_string(options.Mission) : "mission " + std::to_string(options.Mission);
    // A game that ended badly (a sanitizer finding, an error) has not been won, whatever it showed.
    finished = finished && exitCode == 0;
    if (finished)
        std::printf(
            "%s, car %d: finished in %.2f s (par %.0f s, limit %.0f s), score %d, frame %lld, %d plans, "
            "game peak memory %ld MB\n",
            name.c_str(), options.Car, time, par, limit, score, static_cast<long long>(frame),
            drivers[0].Plans + drivers[1].Plans, peak / 1024);
    else
        std::printf("%s, car %d: NOT finished: %s at %.2f s (limit %.0f s), game exit status %d, "
                    "game peak memory %ld MB\n",
                    name.c_str(), options.Car, timedOut ? "out of time" : "the game ended", time, limit,
                    exitCode, peak / 1024);
    if (!finished || time > limit)
        return 1;
    if (!options.CheckReplay)
        return 0;
    bool alike = true;
    for (int run = 1; run <= 2; ++run) {
        std::string replayed = Replay(options, record, frame);
        std::string differences = Differences(finalLine, replayed);
        std::printf("replay %d of %s: %s\n", run, record.c_str(),
                    differences.empty() ? "the same final state" : differences.c_str());
        alike = alike && differences.empty();
    }
    if (options.Record.empty())
        std::filesystem::remove_all(std::filesystem::path(record).parent_path());
    return alike ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    TOptions options;
    try {
        options = ParseOptions(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalautopilot: %s\n", e.what());
        return 2;
    }
    try {
        return Play(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalautopilot: %s\n", e.what());
        return 2;
    }
}
