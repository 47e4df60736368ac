// One car's driver: keeps a way planned over the city to the next targets and answers each frame
// with the pedals and the wheel, as a player does with the keys. It follows the way by looking a
// little ahead of the car, slows down before bends so that it can take them, backs out when it is
// stuck against something and backs towards a point that lies just behind it.
#pragma once

#include "CityGrid.h"
#include "TurnPlanner.h"

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
    enum class TManoeuvre { Forward, BackTowards, Widen, TurnRound };

  public:
    // `steerAmount` is the car's steering target of a steering key, in radians; `length` and `width`
    // its size in metres.
    TDriver(const TCityGrid& city, float steerAmount, float length, float width)
        : City(city), SteerAmount(steerAmount), CarLength(length), CarWidth(width) {}

    // The frame's answer. `goals` are the targets still to reach, the next one first; `moving` is
    // false while the car cannot be driven (before GO, during a race's catch-up pause); `others`
    // are cars to keep clear of; `traffic` the computer-driven cars, which the car follows while
    // they drive on and passes where they stand.
    TControls Drive(const TCarState& car, const std::vector<TPoint>& goals, bool moving,
                    const std::vector<TPoint>& others, const std::vector<TCarState>& traffic = {});

    // Forget the way, as after the car has been put somewhere else.
    void Replan() {
        Way.clear();
        Legs.clear();
    }
    int Plans = 0; // ways planned so far
    // What the driver is doing, for the trace: F forwards on the way, B backing towards a point,
    // W backing to widen a turn, O getting out of a standstill.
    char Doing() const {
        return BackOutFrames > 0                      ? 'O'
               : Manoeuvre == TManoeuvre::BackTowards ? 'B'
               : Manoeuvre == TManoeuvre::TurnRound   ? 'T'
               : Manoeuvre == TManoeuvre::Widen       ? 'W'
                                                      : 'F';
    }

  private:
    TControls Decide(const TCarState& car, const std::vector<TPoint>& goals, bool moving,
                     const std::vector<TPoint>& others, const std::vector<TCarState>& traffic);
    // The traffic cars standing near the car, as boxes its way keeps out of; whether they differ
    // from those the way was planned round.
    void FindStanding(const TCarState& car, const std::vector<TCarState>& traffic);
    bool StandingMoved() const;
    // Whether a car standing at (x, y) stands in the way of a traffic car that waits.
    bool InTheirWay(float x, float y, const std::vector<TCarState>& traffic) const;
    // Plans the shortest roll, backwards first, that takes the car out of the way of the traffic
    // cars waiting for it; false when there is none.
    bool PlanYield(const TCarState& car, const std::vector<TCarState>& traffic);
    // Rolls that leg, then stands a while for the traffic to pass.
    TControls Yield(const TCarState& car, const std::vector<TCarState>& traffic);
    // The speed that keeps the car clear of the traffic cars on its way ahead.
    float TrafficSpeed(const TCarState& car, const std::vector<TCarState>& traffic, float wanted) const;
    // The key that brings the front wheels nearest to `wanted` (radians, counter-clockwise) by the
    // next frame: held or let go frame by frame, it turns the slow wheel by as much as the bend needs.
    void SteerTowards(float wanted, TControls& keys) const;
    // A car about to set off whose wheel is still far from `wanted` (radians, counter-clockwise).
    bool WheelNotReady(float wanted, float speed) const;
    TControls TurnRound(const TCarState& car, float turnError);
    TControls DriveLegs(const TCarState& car);
    // Whether the cell `margin` metres past the car's nose (or tail, backing) has less than
    // `clearance` metres to the nearest wall.
    bool EndNearWall(const TCarState& car, bool forwards, float margin, float clearance) const;
    void Plan(const TCarState& car, const std::vector<TPoint>& goals);
    float SafeSpeed(size_t from) const;

    const TCityGrid& City;
    float SteerAmount;
    float CarLength;
    float CarWidth;
    // The front wheels' angle, radians counter-clockwise, as the keys sent so far have turned them:
    // the game turns a wheel towards the key's target at 1.2 times the angle still to go per second.
    float Wheel = 0;
    // Curvature of the car's path (1/m) per radian of wheel, learnt while driving forwards.
    float TurnGain = 0.8f;
    std::vector<TPoint> Way;
    std::vector<float> Along; // metres along the way at each point
    std::vector<size_t> Marks;
    std::vector<TBox> Standing;        // traffic cars standing near the car this frame
    std::vector<TBox> PlannedStanding; // ... and when the way was planned
    bool InTraffic = false;            // traffic cars have been about
    TPoint PlannedGoal{-1, -1};
    size_t Progress = 0; // the way's point nearest the car
    int FramesSincePlan = 0;
    int StuckFrames = 0;   // frames at a standstill while wanting to move
    int BackOutFrames = 0; // frames of backing out still to go
    bool BackOutLeft = false;
    bool BackOutForward = false;
    bool TurnForwards = true; // the leg of turning round the car is on
    float TurnSide = 1;       // 1 turning round to the left, -1 to the right
    int TurnFrames = 0;       // frames on the present leg
    int TurnLegs = 0;         // legs driven so far
    // The legs of turning round as planned; empty when none were found and the car turns round leg
    // by leg until a wall comes near.
    std::vector<TTurnLeg> Legs;
    float LegTurned = 0; // radians the heading has changed on the present leg
    float LegRolled = 0; // metres rolled on it
    float LegHeading = 0, LegX = 0, LegY = 0; // where the car stood the frame before
    int WaitFrames = 0;       // frames waiting for a car standing ahead
    int YieldFrames = 0;      // frames left of getting out of the traffic's way and waiting there
    TTurnLeg YieldLeg;        // the roll that gets it out
    float YieldRolled = 0;    // metres rolled on it so far
    bool YieldRolling = false; // still rolling that leg, not yet standing
    TPoint YieldLast;         // where the car stood the frame before
    int ImpatientFrames = 0;  // frames still to go without waiting for cars ahead
    TManoeuvre Manoeuvre = TManoeuvre::Forward;
    bool Backing = false; // the car moved backwards the last frame
    float LastX = 0, LastY = 0;
    bool HavePosition = false;
    float LastHeading = 0; // degrees, the frame before
    bool HaveHeading = false;
};
