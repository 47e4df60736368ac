#include "uWorldClock.h"

#include <algorithm>
#include <cmath>

int TWorldClock::TicksDue(double now) {
    double owed = std::floor((now - WorldTime) / TickSeconds);
    if (owed <= 0)
        return 0;
    if (owed > MaxTicksPerFrame) {
        WorldTime = now - MaxTicksPerFrame * TickSeconds;
        owed = MaxTicksPerFrame;
    }
    WorldTime += owed * TickSeconds;
    return int(owed);
}

float TWorldClock::Fraction(double now) const {
    return float(std::clamp((now - WorldTime) / TickSeconds, 0.0, 1.0));
}

void TWorldClock::SetPresentation(bool vsync, int maxFps, int refreshHz) {
    VSync = vsync;
    MaxFps = std::max(0, maxFps);
    RefreshHz = refreshHz > 0 ? refreshHz : 60;
    ShortSwaps = 0;
    VSyncIgnored = false;
}

double TWorldClock::NextFrameStart(double now) {
    double displayFrame = 1.0 / RefreshHz;
    if (VSync && !VSyncIgnored && LastSwap >= 0) {
        // Thirty swaps in a row at less than half a display frame apart: nothing waits for the blank.
        ShortSwaps = now - LastSwap < displayFrame / 2 ? ShortSwaps + 1 : 0;
        VSyncIgnored = ShortSwaps >= 30;
    }
    double interval = 0;
    if (MaxFps > 0)
        interval = 1.0 / MaxFps;
    if (VSync && VSyncIgnored)
        interval = std::max(interval, displayFrame);
    double start = LastSwap >= 0 ? std::max(now, LastSwap + interval) : now;
    LastSwap = start;
    return start;
}
