// One car's driver: keeps a way planned over the city to the next targets and answers each frame
// with the pedals and the wheel, as a player does with the keys. It follows the way by looking a
// little ahead of the car, slows down before bends so that it can take them, backs out when it is
// stuck against something and backs towards a point that lies just behind it.
#pragma once

#include "CityGrid.h"

#include <vector>

// The car as the frame's state shows it.
struct TCarState {
    float X = 0, Y = 0;
    float Heading = 0; // degrees; the car drives towards Heading + 180
    float Speed = 0;   // metres per second, never negative
};

// What the driver does with the keys this frame.
struct TControls {
    bool Accelerate = false, Brake = false, Left = false, Right = false;
};

class TDriver {
  public:
    explicit TDriver(const TCityGrid& city) : City(city) {}

    // The frame's answer. `goals` are the targets still to reach, the next one first; `moving` is
    // false while the car cannot be driven (before GO, during a race's catch-up pause); `others`
    // are cars to keep clear of.
    TControls Drive(const TCarState& car, const std::vector<TPoint>& goals, bool moving,
                    const std::vector<TPoint>& others);

    // Forget the way, as after the car has been put somewhere else.
    void Replan() { Way.clear(); }
    int Plans = 0; // ways planned so far

  private:
    void Plan(const TCarState& car, const std::vector<TPoint>& goals);
    float SafeSpeed(size_t from) const;

    const TCityGrid& City;
    std::vector<TPoint> Way;
    std::vector<float> Along; // metres along the way at each point
    std::vector<size_t> Marks;
    TPoint PlannedGoal{-1, -1};
    size_t Progress = 0; // the way's point nearest the car
    int FramesSincePlan = 0;
    int StuckFrames = 0;   // frames at a standstill while wanting to move
    int BackOutFrames = 0; // frames of backing out still to go
    bool BackOutLeft = false;
    bool BackOutForward = false;
    enum class TManoeuvre { Forward, BackTowards, Widen };
    TManoeuvre Manoeuvre = TManoeuvre::Forward;
    bool Backing = false; // the car moved backwards the last frame
    float LastX = 0, LastY = 0;
    bool HavePosition = false;
    float LastHeading = 0; // degrees, the frame before
    bool HaveHeading = false;
};
