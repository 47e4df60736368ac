#include "ui/MenuLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// The sliding screens start below the bottom edge, by as much as they then rise.
const TMenuScreenSetup ScreenSetups[] = {
    // screen, panel y, height, logo, logo y, size, slide, step, last item, picture
    {1, 107, 286, "menu_kalmirov", 320, 512, 128, 0, 0, 4, false},
    {2, -53, 446, "menu_multiplayer", 320, 512, 128, 0, 0, 4, false},
    {3, -53, 446, "menu_multiplayer", 320, 512, 128, 0, 0, 6, false},
    {4, -53, 446, "menu_multiplayer", 320, 512, 128, 0, 0, 3, false},
    {5, -53, 446, "menu_multiplayer", 320, 512, 128, 0, 0, 0,
     false}, // a line a mission below the table's answer
    {6, -53, 446, "menu_kalmirov", 320, 512, 128, 0, 0, OptionsReturnItem, false},
    {7, -53, 446, "menu_kalmirov", 320, 512, 128, 0, 0, ControlsLastItem, false},
    {8, -200, 160, "menu_kalmirov", 106 - 200, 384, 96, 200, 8, 1, false},
    {9, -200, 160, "menu_kalmirov", 106 - 200, 384, 96, 200, 8, 1, false},
    {10, -53, 446, "menu_multiplayer", 320, 512, 128, 0, 0, 1, false},
    {11, -200, 160, "menu_kalmirov", 106 - 200, 384, 96, 200, 8, 0, false},
    {12, -432, 393, "menu_kalmirov", 320 - 432, 512, 128, 432, 16, 1, true},
    {13, -592, 333, "menu_multiplayer", 260 - 592, 512, 128, 592, 16, 0, true},
    {14, -592, 333, "menu_multiplayer", 260 - 592, 512, 128, 592, 16, 1, true},
    {15, 107, 286, "menu_kalmirov", 320, 512, 128, 0, 0, 4, false},
    {16, 107, 286, "menu_kalmirov", 320, 512, 128, 0, 0, 1, false},
    {17, -53, 446, "menu_multiplayer", 320, 512, 128, 0, 0, 1, false},
};

} // namespace

const TMenuScreenSetup* MenuScreenSetup(uint8_t screen) {
    for (const TMenuScreenSetup& setup : ScreenSetups)
        if (setup.Screen == screen)
            return &setup;
    return nullptr;
}

int32_t WrapStep(int32_t value, int32_t step, int32_t low, int32_t high) {
    int32_t span = high - low + 1;
    return low + ((value - low + step) % span + span) % span;
}

bool CarAllowed(uint8_t allowedCars, int32_t carType) {
    return allowedCars == 0 || (allowedCars & (1u << carType)) != 0;
}

int32_t LowestAllowedCar(uint8_t allowedCars) {
    for (int32_t t = 0; t < 8; ++t)
        if (CarAllowed(allowedCars, t))
            return t;
    return 0;
}

bool SingleCarOffered(uint8_t allowedCars) {
    return allowedCars != 0 && (allowedCars & (allowedCars - 1)) == 0;
}

int32_t StepAllowedCar(int32_t carType, int32_t step, uint8_t allowedCars) {
    int32_t car = carType;
    for (int tries = 0; tries < 8; ++tries) {
        car = WrapStep(car, step, 0, 7);
        if (CarAllowed(allowedCars, car))
            return car;
    }
    return carType;
}

int32_t StepVolume(int32_t volume, int32_t step) {
    return std::clamp(volume + step, 0, 255);
}

std::string VolumePercent(int32_t volume) {
    return std::to_string(int32_t(std::lround(double(volume) / 255.0 * 100.0))) + "%";
}

float Refuel(float fuel) {
    return fuel < 100 ? std::min(100.0f, fuel + StationStep) : fuel;
}

float Repair(float damage) {
    return damage > 0 ? std::max(0.0f, damage - StationStep) : damage;
}

int32_t RaceWinner(int32_t points1, int32_t points2) {
    return points2 < points1 ? 1 : 2;
}

std::string PlaceName(int32_t place, int language) {
    if (language != 0)
        return std::to_string(place) + ".";
    // 11th, 12th and 13th, but 21st, 22nd and 23rd.
    int32_t tens = place % 100 / 10, ones = place % 10;
    const char* suffix = tens == 1 || ones == 0 || ones > 3 ? "th"
                         : ones == 1                        ? "st"
                         : ones == 2                        ? "nd"
                                                            : "rd";
    return std::to_string(place) + suffix;
}

int32_t RunsInTable(const THighscores& table, int mission) {
    int32_t runs = 0;
    for (const THighscoreEntry& entry : table.Tables.at(size_t(mission)))
        runs += !entry.Empty();
    return runs;
}
