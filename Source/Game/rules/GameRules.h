// TGameRules: the checks of every tick while a game runs — the stations, the warnings, the clock,
// the targets and scoring, the cargo of mission 10, the race for two with its extra points and
// catch-up pause, a car left tipped over, and winning. Owns the rules' own state of the game that
// runs; reaches the game through TRulesHost.
#pragma once

#include "tables/GameConsts.h"

#include <cstdint>
#include <string>

class TByteReader;
class TByteWriter;
class TCar;
class TKeyBindings;
class TPlayerData;
class TTargetEngine;

constexpr int CargoMission = 10; // the mission whose targets load boxes of tonic
// The count-down before every game: "3", "2", "1" and "GO", each this many ticks. The world counts
// it; the sprite on screen only shows where it stands.
constexpr int32_t CountdownPhaseTicks = 127;
constexpr int32_t CountdownPhases = 4;
// Ticks from the count-down's start that the cars are left to settle on their wheels; from then to
// "GO" they stand held.
constexpr int32_t CountdownSettleTicks = 100;
constexpr float CarGap = 0.5f;   // metres of air between two cars placed side by side or nose to tail

// What the rules need of the game. The game engine is the one host.
class TRulesHost {
  public:
    virtual ~TRulesHost() = default;
    // Player 1's or 2's car, or nullptr while there is none.
    virtual TCar* PlayerCar(int i) const = 0;
    // Player 1 or 2; ERangeError for any other.
    virtual TPlayerData& Player(int i) = 0;
    virtual bool IsTwoPlayer() const = 0;
    // The game that runs, 1..15.
    virtual uint8_t RunningMission() const = 0;
    virtual TTargetEngine& GameTargets() = 0;
    // Player `player`'s car is made anew of `carType` at a place and heading (degrees); with
    // `removeSecondCar` the second car goes.
    virtual void CreatePlayerCar(int player, int carType, float x, float y, float heading,
                                 bool removeSecondCar) = 0;
    // Where the city map centres: car 1's place.
    virtual void SetMapPosition(float x, float y) = 0;
    // The count-down has not reached "GO".
    virtual bool CountdownRunning() const = 0;
    // A hint in both languages, unless one is on screen already.
    virtual void ShowHint(const std::string& english, const std::string& czech) = 0;
    virtual bool HintShowing() const = 0;
    // The keys the game reads now.
    virtual const TKeyBindings& ActiveKeys() const = 0;
    // Plays a registered sample once on any free channel.
    virtual void PlaySample(const std::string& key) = 0;
    // The name tags of a race for two show again, from their first frame.
    virtual void RestartNameTags() = 0;
    // The one-player mission is won: its run goes into the table and its result screen opens.
    virtual void MissionWon() = 0;
    // The race for two is over: its result screen opens.
    virtual void RaceOver() = 0;
};

class TGameRules {
  public:
    explicit TGameRules(TRulesHost& host);

    // A game starts: nothing is finished, no car is tipped over, no pause; the TAB hint is armed
    // once per session.
    void Start();
    // Once a tick while the game runs and no menu but a station's is open.
    void Update();
    // The warnings compare against this car's values from now on.
    void KeepWarningsOf(const TCar& car);
    // The count-down starts from its first tick; it advances once a tick in the game and its map,
    // a menu open or not, and ends after its last phase.
    void StartCountdown() { CountdownTicks = 0; }
    void AdvanceCountdown() {
        if (CountdownTicks >= 0 && ++CountdownTicks >= CountdownPhases * CountdownPhaseTicks)
            CountdownTicks = -1;
    }
    // 1..4 while the count-down runs ("GO" is 4); 0 when none does.
    int32_t CountdownPhase() const {
        return CountdownTicks < 0 ? 0 : 1 + CountdownTicks / CountdownPhaseTicks;
    }
    // Before "GO": the drivers wait, the clock stands at zero.
    bool CountdownRunning() const {
        return CountdownTicks >= 0 && CountdownTicks < (CountdownPhases - 1) * CountdownPhaseTicks;
    }
    // The cars have settled and stand held until "GO".
    bool CountdownHoldsCars() const { return CountdownRunning() && CountdownTicks >= CountdownSettleTicks; }
    // Every field of the rules' state, exactly.
    void Save(TByteWriter& out) const;
    void Restore(TByteReader& in);

    bool AtGasStation = false, AtService = false;
    int32_t CountdownTicks = -1;      // ticks since the count-down started; -1 when none runs
    int32_t CatchUpCountdown = 0;     // ticks the race for two still pauses after a leg
    float CatchUpPoint[2] = {0, 0};   // where the leader stood as the pause began
    bool MapHintShown = false;        // the TAB hint shows once per run
    int32_t MapHintCountdown = -1;    // frames until it shows; -1 when not armed
    int32_t OverturnedFrames[2] = {}; // frames each car has lain on its side or roof, almost still
    bool Finished = false;            // the run of this game has ended (its result screen opened)
    // Car 1's values at the previous rules frame, for warnings that fire once as a value crosses.
    float WarnFuel = 100, WarnDamage = 0, WarnCargo = 0;

  private:
    void ShowHint(const TTextPair& pair);
    void UpdateCargo();
    void RecoverOverturnedCar();

    TRulesHost& Host;
};
