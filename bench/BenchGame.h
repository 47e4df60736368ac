// What the game benchmarks share: a game engine on the fixed clock with one profile and no notice
// hold, and the check that they run from the game's directory.
#pragma once

#include "GameEngine.h"
#include "uByteReader.h"

#include <benchmark/benchmark.h>
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
        return std::make_unique<TGameEngine>(640, 480, false, Harness, Setup);
    }

    TProfileList Profiles;
    TGameSetup Setup;
    THarnessOptions Harness;
};

inline bool HaveGameData(benchmark::State& state) {
    if (FileExists("data/city/city.tmf"))
        return true;
    state.SkipWithError("data/ not found: run from the game's directory (build/run)");
    return false;
}
