// What the game benchmarks share: a game engine on the fixed clock with one profile and no notice
// hold, a key source that drives the player's car in circles, and the check that they run from the
// game's directory.
#pragma once

#include "cars/Car.h"
#include "session/GameEngine.h"
#include "uByteReader.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>

struct TBenchGame {
    TBenchGame() {
        TProfileRecord record;
        record.Nick = "Bench";
        Profiles.Records.push_back(record);
        Setup.Profiles = &Profiles;
        Setup.NoticeHold = false;
        Harness.FixedClock = true;
    }
    std::unique_ptr<TGameEngine> Create() {
        Resources().Clear();
        return std::make_unique<TGameEngine>(640, 480, Fullscreen, Harness, Setup);
    }

    TProfileList Profiles;
    TGameSetup Setup;
    THarnessOptions Harness;
    bool Fullscreen = false; // at the desktop's own size (the X server's screen)
};

// Holds the accelerator in every tick and the right arrow in the last 150 of every 400: the car
// drives round and round through the traffic.
class TCircleKeys : public TKeySource {
  public:
    void Read(uint8_t state[256], uint64_t pass) override {
        std::memset(state, 0, 256);
        state[DIK_UP] = 0x80;
        if (pass % 400 > 250)
            state[DIK_RIGHT] = 0x80;
    }
};

inline bool HaveGameData(benchmark::State& state) {
    if (FileExists("data/city/city.tmf"))
        return true;
    state.SkipWithError("data/ not found: run from the game's directory (build/run)");
    return false;
}

// Mission 10 started with its Avia, as the heavy-scene benchmarks play it.
inline std::unique_ptr<TGameEngine> StartMission10(TBenchGame& bench) {
    auto game = bench.Create();
    for (auto& player : game->Players)
        player->SetCarType(5);
    game->SetGameState(gsStartGame);
    game->StartMission(10);
    game->ShowMenu(0);
    return game;
}

// One tick and its picture with the player's car driven round and round: the accelerator held, the
// right arrow in the last 150 of every 400 ticks.
inline void CircleTick(TGameEngine& game, int tick) {
    game.HandleInput();
    if (TCar* car = game.Car(1)) {
        car->Accelerate();
        if (tick % 400 > 250)
            car->SteerPositive();
    }
    game.UpdateGame();
    game.RenderFrame();
}
