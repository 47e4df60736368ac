// The street route of the guidance over the real city's cell words: every leg the ten missions drive
// (from the start to the first target, then from target to target), the longest ways across the
// town, far pairs of points all over it, and reading the streets with measuring the landmarks. The
// aim is under a millisecond for any route; worst_us is the slowest leg, each leg timed at its
// fastest run so that a preempted search on a loaded machine does not count.
// Run from the game's directory (build/run), e.g. ../bench/kalbench --benchmark_filter=Route.
#include "city/StreetRoute.h"
#include "tables/GameConsts.h"
#include "uByteReader.h"
#include "uCityMap.h"
#include "uMapCoords.h"
#include "uPlatform.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
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
    std::vector<uint8_t> Blocked;
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
        auto c = std::make_unique<TCity>();
        c->Words = host.Words;
        // The buildings and walls standing in the streets, as the game hands them to the guidance.
        c->Blocked.assign(size_t(MapCells) * MapCells, 0);
        for (int32_t x = 0; x < MapCells; ++x)
            for (int32_t y = 0; y < MapCells; ++y) {
                const TMeshCell* building = meshes->Building(x, y).Owner;
                if ((building && building->Collides) || meshes->Block(x, y).Owner)
                    c->Blocked[size_t(x) * MapCells + size_t(MapLastRow - y)] = 1;
            }
        Resources().Clear();
        c->Route.SetCity(c->Words, c->Blocked);
        return c;
    }();
    return city.get();
}

using TLeg = TMissionLeg;

void RunLegs(benchmark::State& state, const std::vector<TLeg>& legs) {
    TStreetRoute* route = City() ? &City()->Route : nullptr;
    if (!route) {
        state.SkipWithError("data/city/city.tmf not found: run from the game's directory");
        return;
    }
    int64_t searches = 0, found = 0, expanded = 0, cells = 0;
    std::vector<double> fastest(legs.size(), 1e9); // microseconds
    for (auto _ : state)
        for (size_t i = 0; i < legs.size(); ++i) {
            const TLeg& leg = legs[i];
            auto begin = std::chrono::steady_clock::now();
            found += route->Find(leg.FromX, leg.FromY, leg.ToX, leg.ToY);
            fastest[i] = std::min(
                fastest[i],
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin).count());
            expanded += route->Expanded;
            cells += int64_t(route->Cells.size());
            ++searches;
        }
    state.SetItemsProcessed(searches);
    state.counters["found"] = double(found) / double(searches);
    state.counters["settled"] = double(expanded) / double(searches);
    state.counters["cells"] = double(cells) / double(searches);
    state.counters["worst_us"] = *std::max_element(fastest.begin(), fastest.end());
    state.counters["us_per_route"] =
        benchmark::Counter(double(searches), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                           benchmark::Counter::kIs1000);
}

void BM_RouteMissionLegs(benchmark::State& state) {
    RunLegs(state, MissionLegs());
}
BENCHMARK(BM_RouteMissionLegs)->Unit(benchmark::kMicrosecond);

// Corner to corner both ways, and edge to edge across the middle both ways.
void BM_RouteAcrossTheTown(benchmark::State& state) {
    RunLegs(state, {{20, 20, 490, 490},
                    {490, 490, 20, 20},
                    {490, 20, 20, 490},
                    {20, 490, 490, 20},
                    {20, 255, 490, 255},
                    {490, 255, 20, 255},
                    {255, 20, 255, 490},
                    {255, 490, 255, 20}});
}
BENCHMARK(BM_RouteAcrossTheTown)->Unit(benchmark::kMicrosecond);

// Pairs of points at least 300 metres apart, anywhere in the town (a fixed sequence, so every run
// routes the same pairs); some lie off the streets and find none.
void BM_RouteFarPairs(benchmark::State& state) {
    std::vector<TLeg> legs;
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return float(seed >> 8) / float(1u << 24) * 500 + 6;
    };
    while (legs.size() < 64) {
        TLeg leg{next(), next(), next(), next()};
        if (std::hypot(leg.ToX - leg.FromX, leg.ToY - leg.FromY) >= 300)
            legs.push_back(leg);
    }
    RunLegs(state, legs);
}
BENCHMARK(BM_RouteFarPairs)->Unit(benchmark::kMicrosecond);

// Reading the city's streets and measuring the landmarks, once a game.
void BM_RouteReadTheCity(benchmark::State& state) {
    TCity* city = City();
    if (!city) {
        state.SkipWithError("data/city/city.tmf not found: run from the game's directory");
        return;
    }
    auto route = std::make_unique<TStreetRoute>();
    for (auto _ : state)
        route->SetCity(city->Words, city->Blocked);
}
BENCHMARK(BM_RouteReadTheCity)->Unit(benchmark::kMillisecond);

} // namespace
