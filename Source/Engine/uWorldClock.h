// TWorldClock: the world's own clock. The world moves in fixed 10 ms ticks, whatever the display
// does: before each drawn frame it says how many ticks the wall clock owes (at most ten; a machine
// too slow to keep up sees the world slow down rather than jump), and how far into the next tick the
// frame is drawn, for the poses between two ticks. It also paces the drawn frames: a frame cap, and
// the display's own rate when a swap that should wait for the vertical blank does not.
#pragma once

#include <cstdint>

class TWorldClock {
  public:
    static constexpr double TickSeconds = 0.01;
    static constexpr int TicksPerSecond = 100;
    static constexpr int MaxTicksPerFrame = 10;

    // The world starts at `now` (seconds on the game clock).
    void Start(double now) { WorldTime = now; }
    // Ticks owed at `now`; the caller runs them all before drawing. Past the limit the debt is
    // forgiven: the world falls behind the wall clock instead of skipping.
    int TicksDue(double now);
    // 0..1: how far past the last tick the wall clock stands at `now`.
    float Fraction(double now) const;
    // When the next tick falls due.
    double NextTickTime() const { return WorldTime + TickSeconds; }

    // Presentation: `vsync` asks the swap to wait for the vertical blank, `maxFps` caps the drawn
    // frames (0: no cap), `refreshHz` is the display's rate.
    void SetPresentation(bool vsync, int maxFps, int refreshHz);
    // Notes a swap that ended at `now`; returns when the next frame may start drawing (now or
    // later). A swap asked to wait that keeps returning at once is not waiting: the frames are then
    // held to the display's rate by sleeping instead.
    double NextFrameStart(double now);
    bool VSyncHonoured() const { return !VSyncIgnored; }

  private:
    double WorldTime = 0;  // wall time up to which the world has ticked
    bool VSync = true;
    int MaxFps = 0;
    int RefreshHz = 60;
    double LastSwap = -1;
    int ShortSwaps = 0;    // swaps in a row far shorter than a display frame
    bool VSyncIgnored = false;
};
