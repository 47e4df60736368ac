// The whole game on the engine: start to the first intro frame, the stage-2 loading (city, meshes,
// pictures) and the frame time of the heaviest mission scene — mission 10 at night in the snow —
// over 2,000 frames on the fixed clock, as median and 99th percentile. The notice screen's hold is
// left out. Run from the game's directory (build/run) under a display that does not reset between
// windows: xvfb-run -a -s "-screen 0 1280x720x24 -noreset" ../bench/kalbench.
#include "Car.h"
#include "GameEngine.h"
#include "uByteReader.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

namespace {

using TClockType = std::chrono::steady_clock;

double Milliseconds(TClockType::time_point from, TClockType::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

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

bool HaveData(benchmark::State& state) {
    if (FileExists("data/city/city.tmf"))
        return true;
    state.SkipWithError("data/ not found: run from the game's directory (build/run)");
    return false;
}

void BM_GameStartToFirstIntroFrame(benchmark::State& state) {
    if (!HaveData(state))
        return;
    TBenchGame bench;
    for (auto _ : state) {
        auto start = TClockType::now();
        auto game = bench.Create();
        game->HandleInput();
        game->UpdateGame();
        game->RenderFrame();
        state.SetIterationTime(Milliseconds(start, TClockType::now()) / 1000);
    }
}
BENCHMARK(BM_GameStartToFirstIntroFrame)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_GameStageTwoLoading(benchmark::State& state) {
    if (!HaveData(state))
        return;
    TBenchGame bench;
    for (auto _ : state) {
        auto game = bench.Create();
        auto start = TClockType::now();
        game->SetGameState(gsStartGame);
        state.SetIterationTime(Milliseconds(start, TClockType::now()) / 1000);
    }
}
BENCHMARK(BM_GameStageTwoLoading)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Mission 10 with its Avia, at 23 o'clock in the snow, chase view, the car driving in circles.
void BM_GameFrameMission10NightSnow(benchmark::State& state) {
    if (!HaveData(state))
        return;
    TBenchGame bench;
    auto game = bench.Create();
    for (auto& player : game->Players)
        player->SetCarType(5);
    game->SetGameState(gsStartGame);
    game->StartMission(10);
    game->ShowMenu(0);
    game->SetTimeOfDay(23);
    game->SetCameraMode(1);
    std::vector<double> frames;
    for (auto _ : state) {
        frames.clear();
        for (int i = 0; i < 2000; ++i) {
            auto start = TClockType::now();
            game->HandleInput();
            if (TCar* car = game->Car(1)) {
                car->Accelerate();
                if (i % 400 > 250)
                    car->SteerPositive();
            }
            game->UpdateGame();
            game->RenderFrame();
            frames.push_back(Milliseconds(start, TClockType::now()));
        }
        std::sort(frames.begin(), frames.end());
        state.SetIterationTime(frames[frames.size() / 2] / 1000);
    }
    state.counters["median_ms"] = frames[frames.size() / 2];
    state.counters["p99_ms"] = frames[frames.size() * 99 / 100];
    state.counters["max_ms"] = frames.back();
}
BENCHMARK(BM_GameFrameMission10NightSnow)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
