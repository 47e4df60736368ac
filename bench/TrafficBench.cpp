// The living city's cost: the traffic engine's per-frame update (a region test), a respawn of 65
// pedestrians and 4 cars in the real town, and mission 10's whole frame with its traffic. Run from
// build/run under xvfb-run -a -s "-screen 0 1280x720x24 -noreset" ../bench/kalbench
// --benchmark_filter=Traffic
#include "BenchGame.h"
#include "cars/Car.h"
#include "session/GameEngine.h"
#include "uByteReader.h"
#include "uRandom.h"

#include <benchmark/benchmark.h>

namespace {

struct TTrafficBenchGame {
    TTrafficBenchGame() {
        SeedRandom(1);
        Game = Base.Create();
        Game->SetGameState(gsStartGame);
        Game->StartMission(10);
        Game->ShowMenu(0);
    }
    ~TTrafficBenchGame() {
        Game.reset();
        Resources().Clear();
    }
    void Frame() {
        Game->HandleInput();
        Game->UpdateGame();
        Game->RenderFrame();
    }

    TBenchGame Base;
    std::unique_ptr<TGameEngine> Game;
};

// A frame's update between respawns: the region of the player's car and a comparison.
void BM_TrafficUpdate(benchmark::State& state) {
    if (!HaveGameData(state))
        return;
    TTrafficBenchGame bench;
    TTrafficEngine& traffic = *bench.Game->Traffic;
    TCar& car = *bench.Game->Car(1);
    traffic.Update(car.PosX, car.PosY);
    for (auto _ : state) {
        traffic.FramesSinceRespawn = 0; // stay between respawns
        traffic.Update(car.PosX, car.PosY);
        benchmark::DoNotOptimize(traffic.Region);
    }
}
BENCHMARK(BM_TrafficUpdate);

// A respawn with 65 pedestrians and 4 cars: the candidate scans, and every pedestrian and car placed
// anew (the region moved away and back, so none is in it).
void BM_TrafficRespawn65Pedestrians4Cars(benchmark::State& state) {
    if (!HaveGameData(state))
        return;
    TTrafficBenchGame bench;
    TTrafficEngine& traffic = *bench.Game->Traffic;
    traffic.SetPedestrianCount(65);
    traffic.SetCarCount(4);
    TCar& car = *bench.Game->Car(1);
    traffic.Update(car.PosX, car.PosY);
    for (auto _ : state) {
        traffic.Region = TTrafficEngine::RegionOf(200, 200); // everybody is out of it
        traffic.Respawn();
        state.PauseTiming();
        traffic.Region = TTrafficEngine::RegionOf(int32_t(car.PosX), int32_t(car.PosY));
        traffic.Respawn();
        state.ResumeTiming();
    }
    state.counters["pedestrians"] = double(traffic.Pedestrians.size());
    state.counters["cars"] = double(traffic.Cars.size());
}
BENCHMARK(BM_TrafficRespawn65Pedestrians4Cars)->Unit(benchmark::kMicrosecond);

// Mission 10's whole frame, its traffic driving round the player's car.
void BM_TrafficMission10Frame(benchmark::State& state) {
    if (!HaveGameData(state))
        return;
    TTrafficBenchGame bench;
    for (int i = 0; i < 400; ++i) // past the countdown
        bench.Frame();
    for (auto _ : state)
        bench.Frame();
}
BENCHMARK(BM_TrafficMission10Frame)->Unit(benchmark::kMillisecond)->Iterations(1000);

} // namespace
