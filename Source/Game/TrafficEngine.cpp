#include "TrafficEngine.h"

#include <cmath>

void TTrafficEngine::SetCityMarks(const TCellWords& cells) {
    Cells = cells;
    Tracks.clear();
    for (const auto& start : TrackStarts)
        Tracks.push_back(BuildTrack(start[0], start[1], Cells));
}

std::array<int32_t, 4> TTrafficEngine::RegionOf(int32_t a, int32_t b) {
    std::array<int32_t, 4> r = {0, 0, 511, 511};
    for (int level = 0; level < 4; ++level) {
        int32_t mx = (r[0] + r[2] + 1) / 2, my = (r[1] + r[3] + 1) / 2;
        if (r[0] <= a && a < mx)
            r[2] = mx;
        else
            r[0] = mx;
        if (r[1] <= b && b < my)
            r[3] = my;
        else
            r[1] = my;
    }
    return r;
}

void TTrafficEngine::Update(float x, float y) {
    PreviousRegion = Region;
    Region = RegionOf(int32_t(std::trunc(x)), int32_t(std::trunc(y)));
    if (Region != PreviousRegion || FramesSinceRespawn > 400)
        FramesSinceRespawn = 0;
    else
        ++FramesSinceRespawn;
}
