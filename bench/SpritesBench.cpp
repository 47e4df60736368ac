// The per-frame cost of the world's small animated things against the 10 ms frame: the snow at its
// full 500 particles (emit and update, one allocation per new particle), the 3D sprites of a busy
// moment (a collected target's 100 stars, four wheels' worth of tyre tracks), and wrapping a hint.
#include "Resources.h"
#include "sprites/StarSprite.h"
#include "sprites/TrackSprite.h"
#include "uGLFont.h"
#include "uParticleSystem.h"
#include "uPlatform.h"
#include "uRandom.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

void SnowFrame(benchmark::State& state) {
    SeedRandom(1);
    TCamera camera;
    auto snow = CreateParticleEffect(ParticleSnow, 1);
    double now = 0; // the game clock, milliseconds
    for (int frame = 0; frame < 1000; ++frame) { // past the build-up: particles die as they come
        now += 10;
        snow->Emit(camera, now);
        snow->Update(0.01f, now);
    }
    for (auto _ : state) {
        now += 10;
        snow->Emit(camera, now);
        snow->Update(0.01f, now);
        benchmark::DoNotOptimize(snow->Count);
    }
    state.counters["particles"] = snow->Count;
}
BENCHMARK(SnowFrame);

void WorldSpritesFrame(benchmark::State& state) {
    Resources().Clear();
    Resources().AddTexture("star", 1);
    SeedRandom(1);
    std::vector<std::unique_ptr<TSprite3D>> sprites;
    for (int i = 0; i < 100; ++i)
        sprites.push_back(std::make_unique<TStarSprite>(VectorMake(10, 10, 1000), 0.1f));
    for (int i = 0; i < 328; ++i) // a track mark lives 164 frames; four wheels, every other frame
        sprites.push_back(std::make_unique<TTrackSprite>(1));
    for (auto _ : state) {
        for (auto& sprite : sprites) {
            sprite->Update();
            sprite->Animate();
        }
        benchmark::DoNotOptimize(sprites.front()->Position);
    }
    Resources().Clear();
}
BENCHMARK(WorldSpritesFrame);

void WrapHint(benchmark::State& state) {
    std::array<uint8_t, 256> widths;
    widths.fill(20);
    TGLFont font(1, widths, 640, 480);
    std::string text = "YOU CAN USE TAB KEY TO SEE THE CITY MAP, NOTHING WILL RUN AWAY FROM YOU MEANWHILE";
    for (auto _ : state)
        benchmark::DoNotOptimize(font.WrapLines(text, 12));
}
BENCHMARK(WrapHint);

} // namespace
