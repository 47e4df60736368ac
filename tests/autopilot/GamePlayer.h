// TGamePlayer: the autopilot's hands in one game. From each state line of the game it drives the
// player's car (both cars in a race, in a column) and answers with the key lines of the next pass.
// One per game: its drivers remember the way they planned.
#pragma once

#include "CityGrid.h"
#include "Driver.h"
#include "tables/GameConsts.h"
#include "Json.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Turns each pass's controls into key lines, sending only the changes.
class TKeyboard {
  public:
    // The key lines that make `name` held (or released) from `pass` on; none when it already is.
    void Key(const std::string& name, bool down, uint64_t pass, std::string& lines);
    // The key lines that release every key held.
    void ReleaseAll(uint64_t pass, std::string& lines);

  private:
    std::map<std::string, bool> Held;
};

class TGamePlayer {
  public:
    // Mission or race `mission` (1..15) with car type `car` (0..7) for both players; with `trace`
    // above 0 a line about each car goes to the standard error every `trace` passes.
    TGamePlayer(const TCityGrid& city, int mission, int car, int trace = 0);

    // The key lines for pass `pass + 1`, answering the state of pass `pass`.
    std::string Answer(const TJson& state, uint64_t pass);
    // The key lines that release every key this player holds, for pass `pass`.
    std::string ReleaseAll(uint64_t pass);
    // Ways planned so far by both drivers.
    int Plans() const { return Drivers[0].Plans + Drivers[1].Plans; }

  private:
    bool Race;
    int Trace;
    const std::vector<TMapPoint>& Route;
    TDriver Drivers[2];
    TKeyboard Keyboard;
    float LastX[2] = {0, 0}, LastY[2] = {0, 0};
    int GoFrames = 0; // passes in which the cars could move
};
