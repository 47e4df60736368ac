// The street route of the guidance over the real city's cell words: every leg the ten missions drive
// (from the start to the first target, then from target to target), the longest ways across the
// town, and reading the streets. The aim is under a millisecond a route.
// Run from the game's directory (build/run), e.g. ../bench/kalbench --benchmark_filter=Route.
#include "city/StreetRoute.h"
#include "tables/GameConsts.h"
#include "uByteReader.h"
#include "uCityMap.h"
#include "uPlatform.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

class TWordsHost : public ICityMapHost {
  public:
    uint32_t LoadTileTexture(const std::string&) override { return ++Textures; }
    TMeshRecord LoadBuildingMesh(const std::string&) override {
        TMeshRecord record;
        record.List = ++Meshes;
        record.Extent = VectorMake(1, 1, 1);
        return record;
    }
    void DrawProgress(int32_t, int32_t) override {}
    void AddLamp(float, float, float) override {}
    void SetCellWords(const uint8_t* block, size_t size) override {
        Words = TCellWords::FromBytes(block, size);
    }
    uint32_t Textures = 0, Meshes = 0;
    TCellWords Words;
};

struct TCity {
    TCellWords Words;
    TStreetRoute Route;
};

// The city's streets, read once; nullptr without the data.
TCity* City() {
    static std::unique_ptr<TCity> city = []() -> std::unique_ptr<TCity> {
        std::vector<uint8_t> bytes;
        std::string file;
        for (const char* path : {"data/city/city.tmf", "run/data/city/city.tmf", "../run/data/city/city.tmf"})
            if (FileExists(path) && ReadWholeFile(path, bytes)) {
                file = path;
                break;
            }
        if (file.empty())
            return nullptr;
        TCamera camera;
        auto tiles = std::make_unique<TTextureGrid>(camera);
        auto meshes = std::make_unique<TMeshGrid>(camera, nullptr);
        TWordsHost host;
        ReadCityMapBytes(bytes.data(), bytes.size(), file, host, *tiles, *meshes, TCellWordsNeed::Required);
        Resources().Clear();
        auto c = std::make_unique<TCity>();
        c->Words = host.Words;
        c->Route.SetCity(c->Words);
        return c;
    }();
    return city.get();
}

struct TLeg {
    float FromX, FromY, ToX, ToY;
};

std::vector<TLeg> MissionLegs() {
    std::vector<TLeg> legs;
    for (int m = 1; m <= LastMission; ++m) {
        float x = MissionSetups[m].Start[0].X, y = MissionSetups[m].Start[0].Y;
        const std::vector<TMapPoint>& targets = MissionRoute(m);
        // The route is driven from its last target to its first.
        for (size_t k = targets.size(); k-- > 0;) {
            legs.push_back({x, y, targets[k].X, targets[k].Y});
            x = targets[k].X;
            y = targets[k].Y;
        }
    }
    return legs;
}

void RunLegs(benchmark::State& state, const std::vector<TLeg>& legs) {
    TStreetRoute* route = City() ? &City()->Route : nullptr;
    if (!route) {
        state.SkipWithError("data/city/city.tmf not found: run from the game's directory");
        return;
    }
    int64_t searches = 0, found = 0, expanded = 0, cells = 0;
    for (auto _ : state)
        for (const TLeg& leg : legs) {
            found += route->Find(leg.FromX, leg.FromY, leg.ToX, leg.ToY);
            expanded += route->Expanded;
            cells += int64_t(route->Cells.size());
            ++searches;
        }
    state.SetItemsProcessed(searches);
    state.counters["found"] = double(found) / double(searches);
    state.counters["settled"] = double(expanded) / double(searches);
    state.counters["cells"] = double(cells) / double(searches);
    state.counters["us_per_route"] =
        benchmark::Counter(double(searches), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                           benchmark::Counter::kIs1000);
}

void BM_RouteMissionLegs(benchmark::State& state) {
    RunLegs(state, MissionLegs());
}
BENCHMARK(BM_RouteMissionLegs)->Unit(benchmark::kMicrosecond);

void BM_RouteAcrossTheTown(benchmark::State& state) {
    RunLegs(state, {{20, 20, 490, 490}, {490, 20, 20, 490}});
}
BENCHMARK(BM_RouteAcrossTheTown)->Unit(benchmark::kMicrosecond);

// Reading the city's streets, once a game.
void BM_RouteReadTheCity(benchmark::State& state) {
    TCity* city = City();
    if (!city) {
        state.SkipWithError("data/city/city.tmf not found: run from the game's directory");
        return;
    }
    auto route = std::make_unique<TStreetRoute>();
    for (auto _ : state)
        route->SetCity(city->Words);
}
BENCHMARK(BM_RouteReadTheCity)->Unit(benchmark::kMillisecond);

} // namespace
