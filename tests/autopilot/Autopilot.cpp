// kalautopilot: plays one game of Kalmirov from start to finish the way a player does, reading the
// state of every frame and answering with key presses, and tells whether it finished in time.
//   kalautopilot --game PROGRAM --run-dir DIR --mission N [--car T] [--seed S] [--limit SECONDS]
//                [--record KEYS] [--final STATE] [--trace PASSES] [--check-replay] [--windowed]
//   kalautopilot --game PROGRAM --run-dir DIR --session GAMES [--seed S] [--limit SECONDS] MISSION:CAR...
// Missions 1-10 must be finished within twice their par time (or --limit); the races 11-15, where
// it drives both cars, within --limit (default 480 s). --record writes the keys it sent as a key
// script; --final writes the state line of the frame the game was finished on. --check-replay then
// plays the recorded keys back twice from a key script and checks that both runs end as the
// autopilot's did: the same frame, cars within a millimetre, the same time and score. Exit status 0
// when the game was finished in time (and replayed alike), 1 when not, 2 on a usage or start error.
// The game runs headless (no window, no drawing) unless --windowed asks for a window on the fixed
// clock, which ends in the very same state. --session plays GAMES games in one headless game process,
// the listed MISSION:CAR games in turn, each until it is won or --limit (default 45) seconds of game
// time have passed; it reports the game's resident memory after every tenth game and fails when the
// game ends badly or its memory does not stay flat (see Session.h).
#include "CityGrid.h"
#include "tables/GameConsts.h"
#include "uOptions.h"
#include "GamePlayer.h"
#include "GameProcess.h"
#include "Json.h"
#include "Session.h"

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
    int Session = 0; // games of a session, 0 for one game alone
    std::vector<TSessionGame> SessionGames;
};

TOptions ParseOptions(int argc, char** argv) {
    TOptions options;
    TOptionParser()
        .Text("--game", options.Game)
        .Text("--run-dir", options.RunDir)
        .Int("--mission", options.Mission, 1, LastGame)
        .Int("--car", options.Car, 0, 7)
        .UInt32("--seed", options.Seed, 0, 2147483647)
        .Real("--limit", options.Limit, 0, 86400)
        .Text("--record", options.Record)
        .Text("--final", options.Final)
        .Flag("--check-replay", options.CheckReplay)
        .Flag("--windowed", options.Windowed)
        .Int("--trace", options.Trace, 0, 1000000)
        .Int("--session", options.Session, 1, 1000000)
        .Parse(argc, argv, [&options](const std::string& argument) {
            if (options.Session == 0 || argument.rfind("--", 0) == 0)
                throw EOptionError("unknown option " + argument);
            options.SessionGames.push_back(ParseSessionGame(argument));
        });
    if (options.Session > 0 && !options.Game.empty() && !options.RunDir.empty() &&
        !options.SessionGames.empty())
        return options;
    if (options.Game.empty() || options.RunDir.empty() || options.Mission == 0)
        throw std::runtime_error(
            "usage: kalautopilot --game PROGRAM --run-dir DIR --mission 1..15 [--car 0..7] "
            "[--seed S] [--limit SECONDS] [--record KEYS] [--final STATE] [--trace PASSES] "
            "[--check-replay] [--windowed]\n"
            "       kalautopilot --game PROGRAM --run-dir DIR --session GAMES [--seed S] [--limit SECONDS] "
            "MISSION:CAR...");
    return options;
}

std::vector<std::string> GameArgs(const TOptions& options) {
    std::vector<std::string> args = {"-ns"};
    if (options.Windowed)
        args.insert(args.end(), {"-w", "--fixed-clock"});
    else
        args.push_back("--headless");
    args.insert(args.end(), {"--seed", std::to_string(options.Seed), "--mission",
                             std::to_string(options.Mission), "--car", std::to_string(options.Car)});
    return args;
}

// Plays a key script up to `frames` and gives the state line of the last frame.
std::string Replay(const TOptions& options, const std::string& keys, int64_t frames) {
    std::string home = MakeTempHome();
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
    bool race = IsRace(options.Mission);
    double par = race ? 0 : MissionSetups[options.Mission].ParTime;
    double limit = options.Limit > 0 ? options.Limit : race ? 480 : 2 * par;

    std::string home = MakeTempHome();
    std::vector<std::string> args = GameArgs(options);
    args.insert(args.end(), {"--keys", "-", "--dump-state", "-"});
    std::string recorded, finalLine;
    TGamePlayer player(city, options.Mission, options.Car, options.Trace);
    bool finished = false, timedOut = false;
    double time = 0;
    int score = 0, exitCode = 0;
    long peak = 0;
    int64_t frame = 0;
    {
        TGameProcess game(options.Game, args, options.RunDir, home);
        game.Send(0, "");
        std::string line;
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
            std::string lines = player.Answer(state, pass);
            recorded += lines;
            game.Send(pass + 1, lines);
        }
        exitCode = game.Finish();
        peak = game.PeakKilobytes;
    }
    std::filesystem::remove_all(home);

    std::string record = options.Record;
    if (record.empty() && options.CheckReplay)
        record = MakeTempHome() + "/keys.txt";
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
            name.c_str(), options.Car, time, par, limit, score, static_cast<long long>(frame), player.Plans(),
            peak / 1024);
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
        if (options.Session > 0) {
            TSessionOptions session;
            session.Game = options.Game;
            session.RunDir = options.RunDir;
            session.Games = options.SessionGames;
            session.Count = options.Session;
            session.Seed = options.Seed;
            if (options.Limit > 0)
                session.Limit = options.Limit;
            return PlaySession(session);
        }
        return Play(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalautopilot: %s\n", e.what());
        return 2;
    }
}
