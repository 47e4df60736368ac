// TReplay: one run of a one-player mission as the game played it — per pass of the game loop the
// car's control requests after keys and pads were merged, the menu keys held, and the car's pose —
// with what else decides the run (mission, car type, the random generator's seed). Fed back on the
// fixed 10 ms step it drives the same run again; its poses draw the ghost and the route on the map.
// Kept as a small versioned binary file per mission in the player's data folder, the best run only.
#pragma once

#include "uKeyboard.h"

#include <cstdint>
#include <string>
#include <vector>

// Bits of TReplayFrame::Controls besides the car's request bits (CAR_ACCELERATE ... CAR_STEER_RIGHT).
enum : uint8_t {
    REPLAY_LIGHTS = 1,      // the headlights were on
    REPLAY_WORLD_RAN = 128, // the world moved on in this pass (no pause, no map, no menu over it)
};

// The keys of TReplayFrame::Keys, bit i for MenuKeys[i]: what moves through the menus and the map.
extern const uint32_t ReplayMenuKeys[8];

struct TReplayFrame {
    uint8_t Controls = 0;                                           // car request bits and the REPLAY_ bits
    uint8_t Keys = 0;                                               // menu keys held
    uint8_t Throttle = 0, Brake = 0, SteerLeft = 0, SteerRight = 0; // amounts in 1/255 steps
    float X = 0, Y = 0, Z = 0;                                      // the car body's ground point, metres
    float Q[4] = {1, 0, 0, 0}; // the body's rotation as a quaternion (w, x, y, z)
};

struct TReplay {
    uint8_t Mission = 0; // 1..10
    uint8_t CarType = 0; // 0..7
    uint32_t Seed = 0;   // the random generator's seed of the run
    bool Seeded = false; // the seed was the program's (--seed, the fixed clock), so traffic repeats too
    std::string Nick;    // Windows-1250, at most 20 characters
    int32_t Score = 0;
    float Time = 0; // seconds
    std::vector<TReplayFrame> Frames;

    // The indices of the frames in which the world ran, in order: the ghost's timeline.
    std::vector<size_t> WorldFrames() const;
    // Higher score wins; an equal score needs a shorter time.
    bool BeatsRecord(const TReplay& record) const;
};

std::vector<uint8_t> EncodeReplay(const TReplay& replay);
// False with `error` naming the file and the problem for anything but a whole replay of this version.
bool DecodeReplay(const std::vector<uint8_t>& bytes, const std::string& fileName, TReplay& replay,
                  std::string& error);

// <PlayerDataDir>/replay_<NN>.dat for mission NN; empty when there is no player data folder.
std::string ReplayFileName(int mission);
// Reads a replay. A missing file is false without a message; a damaged or foreign one is set aside
// ("<file>.bad") with a message and is false too — it never ends the game.
bool LoadReplay(const std::string& fileName, TReplay& replay);
// Writes through the atomic writer; false with a message when it cannot.
bool SaveReplay(const std::string& fileName, const TReplay& replay);
// Keeps `run` as the mission's replay when there is none yet or it beats the one kept.
bool KeepBestReplay(const TReplay& run);

// The menu keys of a replay, pass by pass from the mission's start; all keys up after its end.
class TReplayKeySource : public TKeySource {
  public:
    explicit TReplayKeySource(const TReplay& replay) : Replay(replay) {}
    void Read(uint8_t state[256], uint64_t pass) override;

  private:
    const TReplay& Replay;
};
