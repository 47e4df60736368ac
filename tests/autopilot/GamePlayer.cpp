#include "GamePlayer.h"

#include "Angles.h"
#include "tables/GameConsts.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr float ColumnSpacing = 8; // metres the second car of a race keeps behind the first

// The keys of one car: the arrows for player 1, W S E R for player 2.
struct TKeyMap {
    const char* Accelerate;
    const char* Brake;
    const char* Left;
    const char* Right;
};
constexpr TKeyMap PlayerKeys[2] = {{"UP", "DOWN", "LEFT", "RIGHT"}, {"W", "S", "E", "R"}};

// The steering target of a steering key of each car type, radians, as the car configurations set it.
constexpr float SteerAmounts[8] = {0.32f, 0.36f, 0.32f, 0.42f, 0.26f, 0.36f, 0.30f, 0.32f};
// Their lengths and widths in metres.
constexpr float CarLengths[8] = {4.76f, 4.0f, 4.35f, 8.0f, 5.2f, 5.6f, 4.9f, 4.16f};
constexpr float CarWidths[8] = {2.0f, 1.84f, 1.84f, 2.84f, 2.28f, 2.36f, 2.28f, 1.8f};

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
            for (int i = remaining - 2; i >= 0 && (i >= remaining - 3 || along < 30) && goals.size() < 10;
                 --i) {
                TPoint next{route[size_t(i)].X, route[size_t(i)].Y};
                along += std::hypot(next.X - goals.back().X, next.Y - goals.back().Y);
                goals.push_back(next);
            }
        }
    }
    return goals;
}

void SetKeys(TKeyboard& keyboard, const TKeyMap& map, const TControls& controls, uint64_t pass,
             std::string& lines) {
    keyboard.Key(map.Accelerate, controls.Accelerate, pass, lines);
    keyboard.Key(map.Brake, controls.Brake, pass, lines);
    keyboard.Key(map.Left, controls.Left, pass, lines);
    keyboard.Key(map.Right, controls.Right, pass, lines);
}

} // namespace

void TKeyboard::Key(const std::string& name, bool down, uint64_t pass, std::string& lines) {
    bool& held = Held[name];
    if (held == down)
        return;
    held = down;
    lines += std::to_string(pass) + (down ? " down " : " up ") + name + "\n";
}

void TKeyboard::ReleaseAll(uint64_t pass, std::string& lines) {
    for (auto& [name, held] : Held)
        if (held) {
            held = false;
            lines += std::to_string(pass) + " up " + name + "\n";
        }
}

TGamePlayer::TGamePlayer(const TCityGrid& city, int mission, int car, int trace)
    : Race(IsRace(mission)), Trace(trace),
      Route(MissionRoute(mission)), Drivers{
                                        TDriver(city, SteerAmounts[car], CarLengths[car], CarWidths[car]),
                                        TDriver(city, SteerAmounts[car], CarLengths[car], CarWidths[car])} {}

std::string TGamePlayer::ReleaseAll(uint64_t pass) {
    std::string lines;
    Keyboard.ReleaseAll(pass, lines);
    return lines;
}

std::string TGamePlayer::Answer(const TJson& state, uint64_t pass) {
    double time = state["players"][0]["time"].Num();
    int menu = int(state["menu"].Num());
    bool moving = time > 0 && state["catchUp"].Num() <= 0 && menu == 0;
    GoFrames += moving ? 1 : 0;
    std::vector<TPoint> goals = Goals(state, Route);
    std::string lines;
    for (int p = 0; p < (Race ? 2 : 1); ++p) {
        const TJson& car = state["cars"][size_t(p)];
        if (car.IsNull())
            continue;
        TCarState me = CarOf(car);
        // A car put somewhere else (a catch-up in a race) plans its way anew.
        if (std::hypot(me.X - LastX[p], me.Y - LastY[p]) > 2)
            Drivers[p].Replan();
        LastX[p] = me.X;
        LastY[p] = me.Y;
        std::vector<TPoint> others;
        std::vector<TCarState> traffic;
        for (const TJson& t : state["traffic"]["cars"].Items)
            if (!t.IsNull())
                traffic.push_back(CarOf(t));
        // In a race the cars drive in a column: the first one leads and waits for the second only
        // while that one drives off ahead of it; the second starts a little later, stands while it
        // is close to the first and backs off when the first comes backing towards it. Two cars
        // waiting for each other in a narrow street would wait for ever; a second car left far
        // behind is brought up by the game's catch-up.
        const TJson& other = state["cars"][size_t(1 - p)];
        bool drives = moving && (p == 0 || GoFrames > 60);
        bool backOff = false;
        if (Race && !other.IsNull()) {
            TCarState them = CarOf(other);
            if (p == 1 || them.Speed > 0.5f)
                others.push_back({them.X, them.Y});
            if (p == 1 && std::hypot(me.X - them.X, me.Y - them.Y) < ColumnSpacing) {
                drives = false;
                float forward = Radians(them.Heading + 180);
                float ahead = (me.X - them.X) * std::cos(forward) + (me.Y - them.Y) * std::sin(forward);
                backOff = moving && ahead < 0 && Drivers[0].Doing() != 'F';
            }
        }
        TControls controls = Drivers[p].Drive(me, goals, drives, others, traffic);
        if (backOff)
            controls.Brake = true;
        SetKeys(Keyboard, PlayerKeys[p], controls, pass + 1, lines);
        if (Trace > 0 && pass % uint64_t(Trace) == 0) {
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
                         static_cast<unsigned long long>(pass), p + 1, time, me.X, me.Y, me.Heading, me.Speed,
                         goals.empty() ? 0 : goals[0].X, goals.empty() ? 0 : goals[0].Y,
                         int(state["targets"]["remaining"].Num()), Drivers[p].Doing(),
                         controls.Accelerate ? " up" : "", controls.Brake ? " down" : "",
                         controls.Left ? " left" : "", controls.Right ? " right" : "", nearest.X, nearest.Y,
                         what.c_str());
        }
    }
    return lines;
}
