// Pictures of the benchmarked scenes, to hold the drawing of one build against another's: with
// KAL_SHOT_DIR set, "BM_GameShots" writes PNGs there of mission 10 at night in the snow and at noon
// (chase view, the car driving in circles, the HUD over them) and of the main menu over the intro,
// all on the fixed clock, so two runs of the same build give the same pixels.
//   KAL_SHOT_DIR=/tmp/shots xvfb-run -a -s "-screen 0 1280x720x24 -noreset" ../bench/kalbench
//     --benchmark_filter=BM_GameShots   (one line)
#include "BenchGame.h"
#include "cars/Car.h"

#include <cstdlib>
#include <string>

namespace {

// Opens menu screen `screen`, asks for a picture at tick `tick` and runs `ticks` ticks.
void MenuShot(TGameEngine& game, uint8_t screen, uint64_t tick, const std::string& file, int ticks) {
    game.ShowMenu(screen);
    game.AddShot(tick, file);
    for (int i = 0; i < ticks; ++i) {
        game.HandleInput();
        game.UpdateGame();
        game.RenderFrame();
    }
}

void MissionShots(TBenchGame& bench, const std::string& dir, const std::string& name, int hour) {
    auto game = StartMission10(bench);
    game->SetTimeOfDay(hour);
    game->SetCameraMode(1);
    for (int frame : {300, 600, 900})
        game->AddShot(uint64_t(frame), dir + "/" + name + "_" + std::to_string(frame) + ".png");
    for (int i = 0; i < 910; ++i)
        CircleTick(*game, i);
    // The in-game menu over the frozen scene.
    MenuShot(*game, 2, 1000, dir + "/" + name + "_menu.png", 100);
}

void BM_GameShots(benchmark::State& state) {
    const char* dir = std::getenv("KAL_SHOT_DIR");
    if (!dir) {
        state.SkipWithError("set KAL_SHOT_DIR to the folder for the pictures");
        return;
    }
    if (!HaveGameData(state))
        return;
    for (auto _ : state) {
        TBenchGame bench;
        MissionShots(bench, dir, "m10_night_snow", 23);
        MissionShots(bench, dir, "m10_day", 12);
        auto game = bench.Create();
        MenuShot(*game, 1, 200, std::string(dir) + "/main_menu.png", 210);
        MenuShot(*game, 6, 300, std::string(dir) + "/options.png", 100);
        game.reset();
        // Full screen at the X server's size, the scene at the render scale's choice.
        bench.Fullscreen = true;
        MissionShots(bench, dir, "fullscreen_m10_night_snow", 23);
    }
}
BENCHMARK(BM_GameShots)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
