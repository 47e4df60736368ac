// The whole game on the engine, the figures of its speed targets in one table (filter "BM_Game"):
// start to the first intro frame, the stage-2 loading (city, meshes, pictures), the frame time of
// the heaviest mission scene (mission 10 at night in the snow: 65 pedestrians, 4 traffic cars, chase
// view) over 2,000 frames on the fixed clock as median and 99th percentile, the simulation alone per
// frame (rules, traffic, pedestrians, vehicles and physics, no drawing), the whole world's ticks a
// second headless, the drawn frames of the game's own loop on the world clock (each swap held to the
// next 1/60 s as on a 60 Hz display with vertical sync, and uncapped), and the share of a core that
// the idle main menu and the mixer with every channel busy take. The notice screen's hold is left
// out. Each row's "aim" counter is its target (milliseconds, ticks a second, or percent of a core).
// Run from the game's directory (build/run) under a display that does not reset between windows:
//   xvfb-run -a -s "-screen 0 1280x720x24 -noreset" ../bench/kalbench --benchmark_filter=BM_Game
#include "BenchGame.h"
#include "GLCallCounter.h"
#include "cars/Car.h"
#include "player/Config.h"
#include "session/GameEngine.h"
#include "uByteReader.h"
#include "uByteWriter.h"

#include "../tests/SoundTestData.h"
#include "traffic/HumanMesh.h"
#include "uMixer.h"
#include "uMusic.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>
#include <vector>

namespace {

using TClockType = std::chrono::steady_clock;

double Milliseconds(TClockType::time_point from, TClockType::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double CpuSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Median and 99th percentile of frame times, as counters.
void FrameCounters(benchmark::State& state, std::vector<double> frames, double aim) {
    std::sort(frames.begin(), frames.end());
    state.counters["median_ms"] = frames[frames.size() / 2];
    state.counters["p99_ms"] = frames[frames.size() * 99 / 100];
    state.counters["aim"] = aim;
}

void BM_GameStartToFirstIntroFrame(benchmark::State& state) {
    if (!HaveGameData(state))
        return;
    TBenchGame bench;
    double cpu = 0;
    for (auto _ : state) {
        double cpuStart = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        auto start = TClockType::now();
        auto game = bench.Create();
        game->HandleInput();
        game->UpdateGame();
        game->RenderFrame();
        state.SetIterationTime(Milliseconds(start, TClockType::now()) / 1000);
        cpu += CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
    }
    // The process's CPU time, the GL driver's threads included: what the start costs however busy
    // the machine is.
    state.counters["cpu_ms"] = 1000 * cpu / double(state.iterations());
    state.counters["aim"] = 300;
}
BENCHMARK(BM_GameStartToFirstIntroFrame)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_GameStageTwoLoading(benchmark::State& state) {
    if (!HaveGameData(state))
        return;
    TBenchGame bench;
    double cpu = 0;
    for (auto _ : state) {
        auto game = bench.Create();
        double cpuStart = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        auto start = TClockType::now();
        game->SetGameState(gsStartGame);
        state.SetIterationTime(Milliseconds(start, TClockType::now()) / 1000);
        cpu += CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
    }
    state.counters["cpu_ms"] = 1000 * cpu / double(state.iterations());
    state.counters["aim"] = 1000;
}
BENCHMARK(BM_GameStageTwoLoading)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Mission 10 with its Avia at `hour` o'clock, chase view, the car driving in circles for 2,000
// frames on the fixed clock: the frame times, and the GL calls and texture binds a frame makes.
void GameFrames(benchmark::State& state, int hour, bool fullscreen = false) {
    if (!HaveGameData(state))
        return;
    TBenchGame bench;
    bench.Fullscreen = fullscreen;
    auto game = StartMission10(bench);
    game->SetTimeOfDay(hour);
    game->SetCameraMode(1);
    std::vector<double> frames;
    double cpu = 0;
    TGLCallCounts before, after;
    for (auto _ : state) {
        frames.clear();
        double cpuStart = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        before = ReadGLCallCounts();
        for (int i = 0; i < 2000; ++i) {
            auto start = TClockType::now();
            CircleTick(*game, i);
            frames.push_back(Milliseconds(start, TClockType::now()));
        }
        after = ReadGLCallCounts();
        cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
        std::vector<double> sorted = frames;
        std::sort(sorted.begin(), sorted.end());
        state.SetIterationTime(sorted[sorted.size() / 2] / 1000);
    }
    FrameCounters(state, frames, fullscreen ? 16.7 : 8);
    // The process's CPU time per frame, the GL driver's threads included.
    state.counters["cpu_ms"] = 1000 * cpu / double(frames.size());
    state.counters["gl_calls"] = double(after.Calls - before.Calls) / double(frames.size());
    state.counters["binds"] = double(after.Binds - before.Binds) / double(frames.size());
    state.counters["pedestrians"] = double(game->Traffic->Pedestrians.size());
    state.counters["traffic_cars"] = double(game->Traffic->Cars.size());
}

// At 23 o'clock in the snow: the heaviest scene.
void BM_GameFrameMission10NightSnow(benchmark::State& state) { GameFrames(state, 23); }
BENCHMARK(BM_GameFrameMission10NightSnow)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Full screen at the X server's size (run it under "-screen 0 1920x1080x24" for the aim's 1080p), at
// the render scale of the argument: 0 leaves it to the game as the settings' default does (a software
// renderer draws the scene at about 640 x 480 and stretches it, the HUD at full size), 100 draws
// every pixel.
void BM_GameFrameMission10NightSnowFullScreen(benchmark::State& state) {
    int32_t kept = Config().RenderScale;
    Config().RenderScale = int32_t(state.range(0));
    GameFrames(state, 23, true);
    Config().RenderScale = kept;
}
BENCHMARK(BM_GameFrameMission10NightSnowFullScreen)
    ->Arg(0)
    ->Arg(100)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The same streets at noon: the busiest scene by day.
void BM_GameFrameMission10Day(benchmark::State& state) { GameFrames(state, 12); }
BENCHMARK(BM_GameFrameMission10Day)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The same scene's simulation without drawing: the rules, the traffic's update, every pedestrian's
// walk, the vehicles and the physics, 2,000 frames after the countdown. All of it runs on this
// thread, so the thread's CPU time is its cost, whatever else the machine is doing.
void BM_GameSimulationFrameMission10(benchmark::State& state) {
    if (!HaveGameData(state))
        return;
    TBenchGame bench;
    auto game = StartMission10(bench);
    game->SetCameraMode(1);
    for (int i = 0; i < 400; ++i) { // past the countdown, the traffic spawned
        game->HandleInput();
        game->UpdateGame();
        game->RenderFrame();
    }
    std::vector<double> frames;
    for (auto _ : state) {
        frames.clear();
        for (int i = 0; i < 2000; ++i) {
            TCar* car = game->Car(1);
            double start = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            if (car) {
                car->Accelerate();
                if (i % 400 > 250)
                    car->SteerPositive();
            }
            game->UpdateGame();
            if (car)
                game->Traffic->Update(car->PosX, car->PosY);
            for (auto& pedestrian : game->Traffic->Pedestrians)
                if (pedestrian && pedestrian->Alive)
                    pedestrian->Update();
            game->UpdateVehicles();
            frames.push_back(1000 * (CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start));
        }
        std::vector<double> sorted = frames;
        std::sort(sorted.begin(), sorted.end());
        state.SetIterationTime(sorted[sorted.size() / 2] / 1000);
    }
    FrameCounters(state, frames, 0.5);
}
BENCHMARK(BM_GameSimulationFrameMission10)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Mission 10 headless on the wall clock, past the countdown with its traffic spawned, the car
// driving in circles.
std::unique_ptr<TGameEngine> HeadlessMission10Circling(TBenchGame& bench) {
    bench.Harness.FixedClock = false;
    bench.Harness.Headless = true;
    auto game = StartMission10(bench);
    game->SetKeySource(std::make_unique<TCircleKeys>());
    for (int i = 0; i < 400; ++i)
        game->Tick();
    return game;
}

// Mission 10 with its traffic and pedestrians, headless (no window, no GL, no sound device): whole
// ticks as the game runs them (keys, rules, traffic, pedestrians, vehicles, physics, sprites), 6,000
// of them (a minute of game time) after the countdown, the car driving in circles. "ticks_per_s"
// counts them by the wall clock, "cpu_ticks_per_s" by the thread's CPU time: what one core does,
// however busy the machine is. The aim: 30 times real time.
void BM_GameHeadlessTicksMission10(benchmark::State& state) {
    if (!HaveGameData(state))
        return;
    TBenchGame bench;
    auto game = HeadlessMission10Circling(bench);
    constexpr int ticks = 6000;
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        double cpuStart = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        auto start = TClockType::now();
        for (int i = 0; i < ticks; ++i)
            game->Tick();
        wall = Milliseconds(start, TClockType::now()) / 1000;
        cpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
        state.SetIterationTime(wall);
    }
    state.counters["ticks_per_s"] = ticks / wall;
    state.counters["cpu_ticks_per_s"] = ticks / cpu;
    state.counters["aim"] = 3000;
    state.counters["pedestrians"] = double(game->Traffic->Pedestrians.size());
    state.counters["traffic_cars"] = double(game->Traffic->Cars.size());
}
BENCHMARK(BM_GameHeadlessTicksMission10)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Mission 10's world (its pedestrians and traffic, the car driving in circles) saved into bytes and
// put back, as the sync test does every tick and Restart once: the aim is under 0.3 ms for both.
// "bytes" is the size of the saved world.
void BM_GameSaveRestoreMission10(benchmark::State& state) {
    if (!HaveGameData(state))
        return;
    TBenchGame bench;
    auto game = HeadlessMission10Circling(bench);
    TByteWriter out;
    for (auto _ : state) {
        out.Clear();
        game->SaveWorld(out);
        game->RestoreWorld(out.Bytes);
    }
    state.counters["bytes"] = double(out.Size());
    state.counters["pedestrians"] = double(game->Traffic->Pedestrians.size());
    state.counters["traffic_cars"] = double(game->Traffic->Cars.size());
}
BENCHMARK(BM_GameSaveRestoreMission10)->Unit(benchmark::kMicrosecond);

// Mission 10 at night in the snow, chase view, the car driving in circles, in the game's own loop on
// the real clock for ten seconds: the ticks the world clock owes, then one frame drawn between the last
// two ticks. With the argument 60 each swap is held to the next 1/60 s, as a swap that waits for the
// vertical blank of a 60 Hz display does (Xvfb's does not wait); with 0 nothing waits. The frame
// times are the intervals between two shown frames; "clock_ratio" is game time over wall time (1: the
// world keeps up with the wall clock).
void BM_GameDrawnFramesMission10(benchmark::State& state) {
    if (!HaveGameData(state))
        return;
    const int hz = int(state.range(0));
    TBenchGame bench;
    bench.Harness.FixedClock = false;
    auto game = StartMission10(bench);
    game->SetKeySource(std::make_unique<TCircleKeys>());
    game->SetTimeOfDay(23);
    game->SetCameraMode(1);
    // The game paces nothing itself: the held swap below stands for the display's.
    game->SetPresentation(false, 0);
    std::vector<double> frames;
    double ratio = 0;
    TGLCallCounts before, after;
    for (auto _ : state) {
        frames.clear();
        game->RestartWorldClock();
        before = ReadGLCallCounts();
        uint64_t ticks = 0;
        auto start = TClockType::now(), last = start;
        while (Milliseconds(start, TClockType::now()) < 10000) {
            int due = game->TicksDue();
            for (int i = 0; i < due; ++i)
                game->Tick();
            ticks += uint64_t(due);
            game->BeginFrame();
            game->DrawFrame(game->DrawFraction());
            game->EndFrame();
            if (hz > 0) {
                double blanks = std::ceil(Milliseconds(start, TClockType::now()) * hz / 1000);
                std::this_thread::sleep_until(start + std::chrono::duration_cast<TClockType::duration>(
                                                          std::chrono::duration<double>(blanks / hz)));
            }
            auto shown = TClockType::now();
            frames.push_back(Milliseconds(last, shown));
            last = shown;
        }
        after = ReadGLCallCounts();
        double wall = Milliseconds(start, last) / 1000;
        ratio = double(ticks) * TEngine::TickStep / wall;
        std::vector<double> sorted = frames;
        std::sort(sorted.begin(), sorted.end());
        state.SetIterationTime(sorted[sorted.size() / 2] / 1000);
    }
    FrameCounters(state, frames, hz > 0 ? 1000.0 / hz : 8);
    state.counters["frames"] = double(frames.size());
    state.counters["clock_ratio"] = ratio;
    state.counters["gl_calls"] = double(after.Calls - before.Calls) / double(frames.size());
    state.counters["binds"] = double(after.Binds - before.Binds) / double(frames.size());
}
BENCHMARK(BM_GameDrawnFramesMission10)
    ->Arg(60)
    ->Arg(0)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The main menu over the intro on the real clock, nothing pressed: the share of one core the whole
// process takes (the GL driver's threads included) in three seconds while the intro's pictures still
// fade in and slide ("animating_core%"), and in three seconds once they came to rest ("core%").
void BM_GameIdleMainMenuCpuShare(benchmark::State& state) {
    if (!HaveGameData(state))
        return;
    TBenchGame bench;
    bench.Harness.FixedClock = false;
    auto game = bench.Create();
    game->ShowMenu(1);
    auto share = [&game](double& wall) {
        double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        auto start = TClockType::now();
        while (Milliseconds(start, TClockType::now()) < 3000) {
            game->HandleInput();
            game->UpdateGame();
            game->RenderFrame();
        }
        wall = Milliseconds(start, TClockType::now()) / 1000;
        return 100 * (CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu) / wall;
    };
    double animating = 0, idle = 0;
    for (auto _ : state) {
        double wall = 0;
        animating = share(wall);
        // A minute and a half of the menu's frames: the intro and the two logos that cross the
        // screen come to rest.
        for (int frame = 0; frame < 3000; ++frame)
            game->UpdateSprites();
        idle = share(wall);
        state.SetIterationTime(wall);
    }
    state.counters["animating_core%"] = animating;
    state.counters["core%"] = idle;
    state.counters["aim"] = 15;
}
BENCHMARK(BM_GameIdleMainMenuCpuShare)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The mixer with every channel looping a sound and the music playing: CPU time per second of
// audio, as the share of a core.
void BM_GameMixerAllChannelsCpuShare(benchmark::State& state) {
    constexpr int rate = 48000;
    constexpr size_t deviceFrames = 1024;
    TModule music(sounddata::BuildXM(180, 64, 8), "bench.xm");
    TMixer mixer(rate);
    TWave wave;
    wave.Rate = 22050;
    wave.Channels = 1;
    wave.Samples = sounddata::Sine(110, 22050, 22050, 8000);
    int sample = mixer.AddSample(wave);
    for (int c = 0; c < TMixer::CHANNEL_COUNT; ++c) {
        mixer.Play(sample, c);
        mixer.SetLoop(c, true);
        mixer.SetFrequency(c, 11025 + 997 * c);
        mixer.SetVolume(c, 40 + c);
    }
    mixer.SetMusic(&music);
    std::vector<float> buffer(deviceFrames * 2);
    double cpuSeconds = 0;
    for (auto _ : state) {
        double start = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        for (size_t done = 0; done < size_t(rate); done += deviceFrames)
            mixer.Render(buffer.data(), deviceFrames);
        benchmark::DoNotOptimize(buffer.data());
        cpuSeconds += CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
    }
    state.counters["core%"] = 100.0 * cpuSeconds / double(state.iterations());
}
BENCHMARK(BM_GameMixerAllChannelsCpuShare)->Unit(benchmark::kMillisecond);

} // namespace
