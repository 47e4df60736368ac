// TTrafficEngine: keeps traffic near the player — the city's traffic marks, the 36 tracks traced
// from them, the region of the player's car and the wanted numbers of traffic cars and pedestrians.
// Owns its copy of the cell words and the tracks. The cars and pedestrians themselves come with the
// living city; until then the counts are kept and nothing walks or drives.
#pragma once

#include "Traffic.h"
#include "uBezierCurve.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TEngine;

class TTrafficEngine {
  public:
    explicit TTrafficEngine(TEngine& engine) : Engine(engine) {}

    // Copies the cell words and traces the 36 tracks from their start cells, in table order.
    void SetCityMarks(const TCellWords& cells);
    void SetPedestrianCount(int32_t n) { PedestrianCount = n; }
    void SetCarCount(int32_t n) { CarCount = n; }
    // Once per drawn frame with the player car's world position: follows the player's region.
    void Update(float x, float y);

    // The region of the map cell (a, b): four halvings of the map, inclusive bounds x0, y0, x1, y1.
    static std::array<int32_t, 4> RegionOf(int32_t a, int32_t b);

    TEngine& Engine;
    int32_t PedestrianCount = 0;
    int32_t CarCount = 3;
    TCellWords Cells;
    int32_t FramesSinceRespawn = 0;
    std::vector<std::unique_ptr<TBezierCurve>> Tracks;
    std::array<int32_t, 4> Region{};
    std::array<int32_t, 4> PreviousRegion{};
};
