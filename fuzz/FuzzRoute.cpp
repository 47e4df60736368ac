// Fuzz target: the route reader must refuse any damaged ".cur" file with a message naming it; a
// route it accepts is followed from end to end as a driver would.
#include "FuzzSeeds.h"
#include "traffic/Traffic.h"
#include "uErrors.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<TBezierCurve> route;
    try {
        route = ParseRoute(data, size, "fuzz.cur");
    } catch (const Exception& e) {
        if (std::string(e.what()).rfind("fuzz.cur: ", 0) != 0)
            __builtin_trap();
        return 0;
    }
    if (route->Points.size() < 2 || !(route->End > route->Start))
        __builtin_trap();
    for (int i = 0; i <= 64; ++i) {
        float x = 0, y = 0;
        route->GetPoint(route->Start + (route->End - route->Start) * float(i) / 64, x, y);
        // Inside the map, give or take the curve's swing past its points.
        if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 4096 || std::fabs(y) > 4096)
            __builtin_trap();
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    AddDataSeeds(seeds, {"city/boss.cur", "city/director.cur"});
    std::vector<uint8_t> square;
    for (int32_t v : {10, 10, 0, 200, 10, 40, 200, 200, 80, 10, 200, 120, 10, 10, 160})
        for (int k = 0; k < 4; ++k)
            square.push_back(uint8_t(uint32_t(v) >> (8 * k)));
    seeds.push_back(square);
    seeds.push_back({}); // empty
    AddDamagedSeeds(seeds);
    return seeds;
}
