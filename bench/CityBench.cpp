// The city: reading the map file into the grids (no GL: pictures and meshes are stubbed), loading it
// for real into a GL window, and drawing both grids for one frame at the busiest spot of the town.
// Run from the game's directory (build/run) under a display, e.g. xvfb-run -a ../bench/kalbench.
#include "uByteReader.h"
#include "uCityMap.h"
#include "uEngine.h"
#include "uPlatform.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::string FindCity() {
    for (const char* path : {"data/city/city.tmf", "run/data/city/city.tmf", "../run/data/city/city.tmf"})
        if (FileExists(path))
            return path;
    return "";
}

class TStubHost : public ICityMapHost {
  public:
    uint32_t LoadTileTexture(const std::string&) override { return ++Textures; }
    TMeshRecord LoadBuildingMesh(const std::string&) override {
        TMeshRecord record;
        record.List = ++Meshes;
        record.Extent = VectorMake(6, 6, 10);
        return record;
    }
    void DrawProgress(int32_t, int32_t) override {}
    void AddLamp(float, float, float) override {}
    void SetCellWords(const uint8_t*, size_t) override {}
    uint32_t Textures = 0, Meshes = 0;
};

class TEngineHost : public TStubHost {
  public:
    explicit TEngineHost(TEngine& engine) : Engine(engine) {}
    uint32_t LoadTileTexture(const std::string& path) override { return Engine.LoadTexture(path); }
    TMeshRecord LoadBuildingMesh(const std::string& path) override {
        TMeshRecord record;
        Engine.LoadMesh(path, "", 1.0f, record);
        return record;
    }
    TEngine& Engine;
};

void BM_ReadCityMapIntoGrids(benchmark::State& state) {
    std::string file = FindCity();
    std::vector<uint8_t> bytes;
    if (file.empty() || !ReadWholeFile(file, bytes)) {
        state.SkipWithError("data/city/city.tmf not found: run from the game's directory");
        return;
    }
    TCamera camera;
    auto tiles = std::make_unique<TTextureGrid>(camera);
    auto meshes = std::make_unique<TMeshGrid>(camera, nullptr);
    for (auto _ : state) {
        Resources().Clear();
        TStubHost host;
        benchmark::DoNotOptimize(ReadCityMapBytes(bytes.data(), bytes.size(), file, host, *tiles, *meshes,
                                                  TCellWordsNeed::Required));
    }
    Resources().Clear();
}
BENCHMARK(BM_ReadCityMapIntoGrids)->Unit(benchmark::kMillisecond);

// One engine with the real city for the GL benchmarks.
struct TCityWindow {
    std::unique_ptr<TEngine> Engine;
    double LoadSeconds = 0;
    float BusyX = 256, BusyY = 256;
};

TCityWindow* CityWindow() {
    static std::unique_ptr<TCityWindow> window = []() -> std::unique_ptr<TCityWindow> {
        std::string file = FindCity();
        if (file.empty())
            return nullptr;
        auto w = std::make_unique<TCityWindow>();
        try {
            w->Engine = std::make_unique<TEngine>(640, 480, false, 32);
        } catch (const std::exception&) {
            return nullptr;
        }
        Resources().Clear();
        TEngineHost host(*w->Engine);
        double start = GetTime();
        ReadCityMap(file, host, *w->Engine->TextureGrid, *w->Engine->MeshGrid);
        w->LoadSeconds = GetTime() - start;
        // The busiest spot: the most buildings in the square the grids visit.
        int best = -1;
        for (int x = 24; x < 488; x += 8)
            for (int y = 24; y < 488; y += 8) {
                int count = 0;
                for (int i = x - 22; i <= x + 22; ++i)
                    for (int j = y - 22; j <= y + 22; ++j) {
                        const TMeshCell& cell = w->Engine->MeshGrid->Building(i, j);
                        count += cell.Owner == &cell;
                    }
                if (count > best)
                    best = count, w->BusyX = float(x), w->BusyY = float(y);
            }
        return w;
    }();
    return window.get();
}

void BM_LoadCityWithPicturesAndMeshes(benchmark::State& state) {
    TCityWindow* w = CityWindow();
    if (!w) {
        state.SkipWithError("no display or no city data");
        return;
    }
    for (auto _ : state)
        state.SetIterationTime(w->LoadSeconds);
    state.counters["seconds"] = w->LoadSeconds;
}
BENCHMARK(BM_LoadCityWithPicturesAndMeshes)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Both grids for one frame at the busiest spot, with the game's top-down camera (arg 0) or a low
// chase view that sees the most (arg 1); includes rebuilding the obstacle boxes.
void BM_DrawGridsAtBusiestSpot(benchmark::State& state) {
    TCityWindow* w = CityWindow();
    if (!w) {
        state.SkipWithError("no display or no city data");
        return;
    }
    TEngine& engine = *w->Engine;
    engine.Camera.SetTarget(w->BusyX, w->BusyY);
    engine.Camera.SetDistance(state.range(0) ? 10.0f : 10.0f);
    engine.Camera.SetPitch(state.range(0) ? 0.35f : 1.5324842f);
    engine.Camera.SetHeading(0.6f);
    engine.BeginFrame();
    engine.Camera.Apply();
    for (auto _ : state) {
        engine.DrawTextureGrid();
        glColor3f(1, 1, 1);
        engine.MeshGrid->Draw();
        glFinish();
    }
    state.counters["x"] = w->BusyX;
    state.counters["y"] = w->BusyY;
}
BENCHMARK(BM_DrawGridsAtBusiestSpot)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
