#include "Session.h"

#include "CityGrid.h"
#include "tables/GameConsts.h"
#include "GamePlayer.h"
#include "GameProcess.h"
#include "Json.h"
#include "uOptions.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {

// The memory is judged after a warm-up of this many games: by then the allocator's pools, the game's
// caches (and a sanitizer's quarantine) have filled, and every game of the list has been played.
constexpr int WarmUpGames = 20;
// What a later reading may exceed the warm-up's highest by: 8 % or 8 MB, whichever is more. The
// readings fall after different games and wander a little with them (within 0.1 MB in the Release
// build, about 5 MB in the sanitizer build); a game leaving 50 kB behind goes past the margin within
// the 180 games after the warm-up (100 kB in the sanitizer build).
constexpr long MarginPercent = 8;
constexpr long MarginKilobytes = 8 * 1024;
// Passes a switch to the next game may take: the countdown of the game it leaves (about 400 passes,
// a race's menu cannot be opened during it) and a few dozen key presses, each held for one pass.
constexpr int MaxSwitchPasses = 2000;

// Finds the way through the game's own screens from wherever a game ended to the start of the next
// one, a key press at a time: each press is held for one pass and released in the next, and the state
// after it decides the next press. A mission starts from the game with Right Ctrl + its F-key, which
// opens the car choice for it; a race for two from the main menu's race-for-two screen, where the
// track and both cars are chosen, and its rules screen. The result screens lead to the single-race and
// race-for-two screens; Escape goes back from there to the main menu and from the main menu to the
// game. From a game under way the pause's Quit to main menu, answered "Yes", leads to the main menu.
class TNavigator {
  public:
    explicit TNavigator(const TSessionGame& goal) : Goal(goal) {}

    // The game asked for runs: the keys that started it have been released.
    bool Started(const TJson& state) const {
        return StartPressed && Held.empty() && int(state["menu"].Num()) == 0 &&
               int(state["mission"].Num()) == Goal.Mission;
    }

    // The key lines for pass `pass`, answering the state before it.
    std::string Keys(const TJson& state, uint64_t pass) {
        std::string lines;
        if (!Held.empty()) {
            for (const std::string& key : Held)
                lines += std::to_string(pass) + " up " + key + "\n";
            Held.clear();
            return lines;
        }
        Held = Press(state);
        for (const std::string& key : Held)
            lines += std::to_string(pass) + " down " + key + "\n";
        return lines;
    }

  private:
    using TKeys = std::vector<std::string>;

    TKeys Press(const TJson& state) {
        int menu = int(state["menu"].Num());
        int item = int(state["menuItem"].Num());
        bool race = IsRace(Goal.Mission);
        // Up or down the items to `wanted`, then the keys given.
        auto toward = [item](int wanted, TKeys there) -> TKeys {
            return item < wanted ? TKeys{"DOWN"} : item > wanted ? TKeys{"UP"} : there;
        };
        switch (menu) {
        case 0:
            // Escape opens no menu while the countdown runs: it is pressed again until it does.
            if (race)
                return {"ESCAPE"};
            return {"RCONTROL", "F" + std::to_string(Goal.Mission)};
        case 1:
            return race ? toward(1, {"RETURN"}) : TKeys{"ESCAPE"};
        case 15:
            // The pause: a race is reached from the main menu, a mission from the game.
            return race ? toward(3, {"RETURN"}) : TKeys{"ESCAPE"};
        case 16:
            return toward(0, {"RETURN"});
        case 17:
            StartPressed = race && item == 0;
            return toward(0, {"RETURN"});
        case 3: {
            if (!race)
                return {"ESCAPE"};
            const TJson& players = state["players"];
            if (int(state["raceTrack"].Num()) != Goal.Mission)
                return toward(4, {"RIGHT"});
            if (int(players[0]["carType"].Num()) != Goal.Car)
                return toward(1, {"RIGHT"});
            if (int(players[1]["carType"].Num()) != Goal.Car)
                return toward(3, {"RIGHT"});
            return toward(5, {"RETURN"}); // the race's rules come first
        }
        case 12: {
            // The car choice is left by starting its mission only; one not asked for is left so.
            bool wanted = !race && int(state["players"][0]["mission"].Num()) == Goal.Mission;
            if (wanted && int(state["carChoice"].Num()) != Goal.Car)
                return toward(0, {"RIGHT"});
            StartPressed = wanted && item == 1;
            return toward(1, {"RETURN"});
        }
        case 11:
        case 13:
        case 14:
            // The failed mission starts again, the results lead on to the menus for the next game.
            return {"RETURN"};
        default:
            return {"ESCAPE"};
        }
    }

    TSessionGame Goal;
    TKeys Held;
    bool StartPressed = false;
};

std::string GameName(const TSessionGame& game) {
    return (IsRace(game.Mission) ? "race " : "mission ") + std::to_string(game.Mission) + ", car " +
           std::to_string(game.Car);
}

} // namespace

TSessionGame ParseSessionGame(const std::string& text) {
    size_t colon = text.find(':');
    if (colon == std::string::npos)
        TOptionParser::Refuse("a game", "MISSION:CAR", text);
    TSessionGame game;
    game.Mission = int(TOptionParser::WholeNumber("a game's mission", text.substr(0, colon), 1, LastGame));
    game.Car = int(TOptionParser::WholeNumber("a game's car", text.substr(colon + 1), 0, 7));
    uint8_t offered = MissionTable[game.Mission].Cars;
    if (offered != 0 && !(offered & (1u << game.Car)))
        throw std::runtime_error("mission " + std::to_string(game.Mission) + " does not offer car " +
                                 std::to_string(game.Car));
    return game;
}

std::string MemoryGrowth(const std::vector<long>& readings) {
    size_t warmUp = WarmUpGames / 10;
    if (readings.size() <= warmUp)
        return "";
    long baseline = *std::max_element(readings.begin(), readings.begin() + long(warmUp));
    long allowed = baseline + std::max(baseline * MarginPercent / 100, MarginKilobytes);
    for (size_t i = warmUp; i < readings.size(); ++i)
        if (readings[i] > allowed)
            return "after " + std::to_string(10 * (i + 1)) + " games " + std::to_string(readings[i] / 1024) +
                   " MB, more than the " + std::to_string(allowed / 1024) +
                   " MB allowed after the warm-up's " + std::to_string(baseline / 1024) + " MB";
    return "";
}

int PlaySession(const TSessionOptions& options) {
    if (options.Games.empty() || options.Count < 1)
        throw std::runtime_error("a session needs at least one game to play");
    TCityGrid city;
    city.Load(options.RunDir + "/data/city/city.tmf");
    const TSessionGame& first = options.Games[0];
    std::vector<std::string> args = {"-ns",          "--headless",
                                     "--seed",       std::to_string(options.Seed),
                                     "--mission",    std::to_string(first.Mission),
                                     "--car",        std::to_string(first.Car),
                                     "--keys",       "-",
                                     "--dump-state", "-"};
    std::string home = MakeTempHome();
    auto wallStart = std::chrono::steady_clock::now();
    int played = 0, won = 0, exitCode = 0;
    std::vector<long> readings;
    std::string trouble;
    {
        TGameProcess game(options.Game, args, options.RunDir, home);
        size_t index = 0;
        auto player = std::make_unique<TGamePlayer>(city, first.Mission, first.Car);
        std::unique_ptr<TNavigator> navigator;
        int switchPasses = 0;
        game.Send(0, "");
        std::string line;
        while (game.ReadLine(line)) {
            TJson state = TJson::Parse(line);
            uint64_t pass = uint64_t(state["pass"].Num());
            const TSessionGame& current = options.Games[index];
            std::string lines;
            if (navigator) {
                if (navigator->Started(state)) {
                    navigator.reset();
                    player = std::make_unique<TGamePlayer>(city, current.Mission, current.Car);
                    lines = player->Answer(state, pass);
                } else if (++switchPasses > MaxSwitchPasses) {
                    trouble = "could not start " + GameName(current) + " from menu screen " +
                              std::to_string(int(state["menu"].Num()));
                    break;
                } else {
                    lines = navigator->Keys(state, pass + 1);
                }
                game.Send(pass + 1, lines);
                continue;
            }
            double time = state["players"][0]["time"].Num();
            bool finished = int(state["menu"].Num()) == (IsRace(current.Mission) ? 13 : 14);
            if (!finished && time <= options.Limit) {
                game.Send(pass + 1, player->Answer(state, pass));
                continue;
            }
            ++played;
            won += finished ? 1 : 0;
            std::printf("game %d, %s: %s %.2f s\n", played, GameName(current).c_str(),
                        finished ? "finished in" : "given up at", time);
            if (played % 10 == 0) {
                readings.push_back(game.ResidentKilobytes());
                std::printf("after %d games: resident memory %.1f MB (%ld kB)\n", played,
                            double(readings.back()) / 1024, readings.back());
            }
            std::fflush(stdout);
            if (played == options.Count)
                break;
            index = (index + 1) % options.Games.size();
            navigator = std::make_unique<TNavigator>(options.Games[index]);
            switchPasses = 0;
            game.Send(pass + 1, player->ReleaseAll(pass + 1));
        }
        if (trouble.empty() && played < options.Count)
            trouble = "the game ended after " + std::to_string(played) + " games";
        exitCode = game.Finish();
    }
    std::filesystem::remove_all(home);
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    if (trouble.empty())
        trouble = MemoryGrowth(readings);
    if (trouble.empty() && exitCode != 0)
        trouble = "the game exited with status " + std::to_string(exitCode);
    std::printf(
        "session: %d games in one game process (%d won), %.0f s of wall time, game exit status %d: %s\n",
        played, won, wall, exitCode,
        !trouble.empty()                             ? trouble.c_str()
        : readings.size() > size_t(WarmUpGames / 10) ? "memory flat"
                                                     : "too few games to judge the memory");
    return trouble.empty() ? 0 : 1;
}
