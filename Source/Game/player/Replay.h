// TReplay: one run of a one-player mission as the game played it — per tick of the world the car's
// control requests after keys and pads were merged, the keys held that steer the game and the car's
// pose — with what else decides the run: mission, car type, the seed the game started from, the
// camera, the settings that draw random numbers and a second car left standing in the city. Every
// game starts its living city afresh from its seed, and a tick always moves the world by 10 ms, so a
// replay drives the same run again whatever was played before it and however fast the machine draws
// (or with no drawing at all); its poses draw the ghost and the route.
// A replay names the world it was played in — the simulation's version and a digest of the data set —
// and is driven only in that world: anywhere else the same inputs make another run.
// Kept as a small versioned binary file per mission in the player's data folder, the best run only.
#pragma once

#include "controls/KeyBindings.h"
#include "uAtomicFile.h"
#include "uKeyboard.h"

#include <ode/precision.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Bits of TReplayFrame::Controls besides the car's request bits (CAR_ACCELERATE ... CAR_STEER_RIGHT).
enum : uint8_t {
    REPLAY_LIGHTS = 1,      // the headlights were on
    REPLAY_WORLD_RAN = 128, // the world moved on in this pass (no pause, no map, no menu over it)
};

// The keys of TReplayFrame::Keys, bit i for ReplayKeys[i]: what moves through the menus and the map,
// the camera key and the right-Ctrl keys that change the car or open a screen.
constexpr int ReplayKeyCount = 29;
extern const uint32_t ReplayKeys[ReplayKeyCount];

// The ReplayKeys bits of a key state (by DIK_ code, held when not 0), and a key state of them. A
// replay keeps player 1's map and camera keys as the default ones (Tab and C) whichever keys the
// player chose, so it plays back under any settings with the default keys.
uint32_t ReplayKeyBits(const uint8_t state[256], const TKeyBindings& keys);
void SetReplayKeys(uint32_t bits, uint8_t state[256]);

struct TReplayFrame {
    uint8_t Controls = 0;                                           // car request bits and the REPLAY_ bits
    uint32_t Keys = 0;                                              // ReplayKeys held
    uint8_t Throttle = 0, Brake = 0, SteerLeft = 0, SteerRight = 0; // amounts in 1/255 steps
    float X = 0, Y = 0, Z = 0;                                      // the car body's ground point, metres
    float Q[4] = {1, 0, 0, 0}; // the body's rotation as a quaternion (w, x, y, z)
};

// A car left in the city by an earlier game (a race's second car stays for mission 5): it stands
// at rest where it was when the run began.
struct TReplayStandingCar {
    bool Present = false;
    bool Lights = false;
    uint8_t CarType = 0; // 0..7
    float X = 0, Y = 0;  // metres
    float Heading = 0;   // degrees, as the car keeps it
};

// The version of the simulation: how a tick moves the world from the inputs — the physics, the cars,
// the traffic and pedestrians, the missions' rules, targets and scoring, the order random numbers are
// drawn in. Bump it with every change that can make the same inputs from the same seed play out
// otherwise (a different time, score, path or outcome), however small; changes to drawing, sound or
// menus that the world never reads leave it. Replays of another version are never driven.
constexpr uint32_t SimulationRevision = 3;

// The physics library the world steps with, as it was built: another version or precision of it can
// play the same inputs otherwise.
#ifdef dDOUBLE
constexpr std::string_view PhysicsLibrary = "ODE " KAL_ODE_VERSION " double";
#else
constexpr std::string_view PhysicsLibrary = "ODE " KAL_ODE_VERSION " single";
#endif

// 16 bits of FNV-1a, enough to tell builds of the physics library apart.
constexpr uint32_t PhysicsLibraryMark(std::string_view library) {
    uint32_t hash = 2166136261u;
    for (char c : library)
        hash = (hash ^ uint8_t(c)) * 16777619u;
    return (hash ^ (hash >> 16)) & 0xffffu;
}

// The simulation's identity as a replay records it: our revision in the high half, the physics
// library's mark in the low one.
constexpr uint32_t SimulationVersion = SimulationRevision << 16 | PhysicsLibraryMark(PhysicsLibrary);

// The digest of the data set's files that decide how a run plays (see DigestDataSet), 64-bit FNV-1a.
uint64_t DigestDataSet();

struct TReplay {
    uint32_t Simulation = SimulationVersion; // the simulation version that played the run
    uint64_t DataSet = 0;                    // DigestDataSet() of the data set it was played on
    uint8_t Mission = 0;       // 1..10
    uint8_t CarType = 0;       // 0..7
    uint32_t Seed = 0;         // the random generator's seed at the start of the game
    bool Gore = false;         // the settings' Carmageddon: run-over pedestrians bleed
    uint8_t CameraMode = 0;    // 0 from above, 1 behind the car, at the start
    float CameraDistance = 10; // metres from the eye to the target at the start
    uint32_t KeysBefore = 0;   // ReplayKeys that count as held already in the first pass
    TReplayStandingCar SecondCar;
    std::string Nick; // Windows-1250, at most 20 characters
    int32_t Score = 0;
    float Time = 0; // seconds
    std::vector<TReplayFrame> Frames;

    // The indices of the frames in which the world ran, in order: the ghost's timeline.
    std::vector<size_t> WorldFrames() const;
    // Higher score wins; an equal score needs a shorter time.
    bool BeatsRecord(const TReplay& record) const;
};

std::vector<uint8_t> EncodeReplay(const TReplay& replay);
// The replay layout this game writes and reads.
constexpr uint16_t ReplayVersion = 5;
// Raises EFormatError, saying what is wrong, for anything but a whole replay of this version.
TReplay DecodeReplay(const std::vector<uint8_t>& bytes, const std::string& fileName);

// Empty when `replay` can be driven in this game on the data set `dataSet`; else a sentence for the
// player why not ("made by another version of the game", "played on another data set").
std::string ReplayWorldProblem(const TReplay& replay, uint64_t dataSet);

// The longest a run of `mission` may take in ticks: its par time six times over and a minute (4 to
// 9 minutes; mission 10 asks for eight). A verified run is driven no further, and one that has not
// finished by then is no run.
uint32_t MissionTickLimit(int mission);

// <PlayerDataDir>/replay_<NN>.dat for mission NN; empty when there is no player data folder.
std::string ReplayFileName(int mission);
// <PlayerDataDir>/record_<NN>.dat: the best verified run of mission NN as fetched from the server.
std::string RecordFileName(int mission);
// Reads a replay the game keeps. A missing file is false without a message; a damaged or foreign one
// is set aside ("<file>.bad", numbered after older copies) with a message, one of an older version
// ("<file>.old") with a message saying so; both are false too — it never ends the game. With
// `dataSet` not 0, a replay of another simulation or data set is moved aside as an older one is.
// `notice` is told of a file moved aside.
bool LoadReplay(const std::string& fileName, TReplay& replay, uint64_t dataSet, const TNotice& notice);
// Reads a replay the player named (kalmirov --replay FILE). The file is the player's, whatever it
// holds: it is never moved or renamed. Raises EInOutError when it cannot be read, EFormatError saying
// why it is no replay.
TReplay ReadNamedReplay(const std::string& fileName);
// Writes through the atomic writer; false, with `notice` told why, when it cannot.
bool SaveReplay(const std::string& fileName, const TReplay& replay, const TNotice& notice);
// Keeps `run` as the mission's replay when there is none yet, it beats the one kept, or the one kept
// is of another world than `run`'s.
bool KeepBestReplay(const TReplay& run, const TNotice& notice);

// The keys of a replay, pass by pass from the mission's start; all keys up after its end.
class TReplayKeySource : public TKeySource {
  public:
    explicit TReplayKeySource(const TReplay& replay) : Replay(replay) {}
    void Read(uint8_t state[256], uint64_t pass) override;

  private:
    const TReplay& Replay;
};
