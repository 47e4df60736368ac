// TReplayRecorder: a one-player run recorded tick by tick and the best one kept, a recorded run fed
// back onto the first car tick by tick, the record run drawn as a half-transparent ghost, and both
// runs' routes on the result screen's map. Owns this run's recording, the last finished run, the
// record run and its timeline, the record fetched to race next and the second car the game began
// with; reaches the game through TRecorderHost.
#pragma once

#include "player/Replay.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TCamera;
class TCar;
class TPlayerData;
struct TKeySnapshot;

// What the recorder needs of the game. The game engine is the one host.
class TRecorderHost {
  public:
    virtual ~TRecorderHost() = default;
    // Player 1's car, or nullptr while there is none.
    virtual TCar* FirstCar() const = 0;
    // Player 1 or 2; ERangeError for any other.
    virtual TPlayerData& Player(int i) = 0;
    virtual bool IsTwoPlayer() const = 0;
    virtual const TCamera& ViewCamera() const = 0;
    virtual uint8_t ActiveCameraMode() const = 0;
    // The traffic leaves blood where it hits people.
    virtual bool TrafficGore() const = 0;
    // This tick's and the previous tick's keys, and the number of this tick (KeyboardPasses).
    virtual const TKeySnapshot& TickKeys() const = 0;
    virtual uint64_t TickNumber() const = 0;
    // The game and its world ran in this tick (no menu but a station's open).
    virtual bool WorldRanThisTick() const = 0;
    // The run of this game has ended.
    virtual bool RunFinished() const = 0;
};

class TReplayRecorder {
  public:
    // `replay`: the recorded run that drives the first car instead of the keys and pads, or nullptr;
    // `notice` tells the player of trouble with their replay files. Both outlive the recorder.
    // `dataSet`: the data set's digest if it is known already, else 0.
    TReplayRecorder(TRecorderHost& host, const TReplay* replay, const TNotice& notice, uint64_t dataSet);

    // A game starts: a one-player mission is recorded from now on, with the record run (the one
    // fetched to race next, else the player's best) as its ghost; neither while a replay drives.
    void StartRecording(int mission);
    // After the keys and pads of a tick were handled: a replay puts its recorded controls on the
    // first car, a recording notes them.
    void TakeControls();
    // After the tick's world step: the car's pose goes with the tick's controls; a finished run is
    // kept when it beats the record.
    void EndRecordedPass();
    // The ghost `fraction` of a tick past its last pose, inside the opaque scene.
    void DrawGhost(float fraction) const;
    // This run's and the record run's routes on the map inset of the result screen, `slide` pixels
    // below their place, over `mapTexture` (the city map picture); inside an overlay.
    void DrawRoutes(float slide, uint32_t mapTexture) const;
    // DigestDataSet() of the data set, taken on the first call.
    uint64_t DataSetOfRuns();

    // This run's recording while a one-player mission runs; the last finished run and the record run
    // of its mission (the ghost's), for the result screen.
    std::unique_ptr<TReplay> Recording;
    TReplay LastRun, Best;
    bool HasLastRun = false, HasBest = false;
    std::vector<size_t> BestWorldFrames; // the ghost's timeline
    size_t WorldPasses = 0;              // ticks of this run in which the world ran
    size_t ReplayPass = 0;               // the next tick of the replay that drives
    uint64_t RecordingPass = 0;          // the tick number when the recording began
    TReplayStandingCar StandingCar;      // the second car this game began with, at rest
    // The ghost's wheels: their centres from the ground point of its body, in the body's axes, and
    // their display list.
    float GhostWheels[4][3] = {};
    uint32_t GhostWheelList = 0;
    // The record fetched from the server, raced as the ghost in the next game of its mission instead of
    // the player's own best run; set by the highscore screen, used once.
    std::unique_ptr<TReplay> RecordToRace;
    // DigestDataSet() of the data set, taken once: as the city is loaded or asked before.
    uint64_t DataSet = 0;

  private:
    TRecorderHost& Host;
    const TReplay* Replay;
    const TNotice& Notice;
};
