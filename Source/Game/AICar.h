// TAICar: a computer-driven car — a TCar that follows a traffic track on its own. It aims at the
// next bend of the track, keeps a speed that grows with the distance to it, brakes for whatever is a
// car length ahead and backs out when it has been stuck. TAIDriver holds those rules apart from the
// car's body, so they can be checked without a physics world. Refers to its track, never owns it.
#pragma once

#include "Car.h"
#include "uBezierCurve.h"

#include <cstdint>
#include <initializer_list>
#include <string>

class TTrafficEngine;

enum : uint8_t {
    AI_DRIVING = 0,
    AI_BACKING_OUT = 1,
};

// Degrees from (x1, y1) towards (x2, y2) in the car heading's sense (body +x to the rear): a car
// whose Heading equals the bearing drives straight at the point. 0 <= bearing < 360.
float Bearing(float x1, float y1, float x2, float y2);
// a - b folded into -180..180.
float AngleDiff(float a, float b);
// The bearing of the curve at t: from its point at t to its point at t + 0.1.
float TangentAngle(const TBezierCurve& curve, float t);
// Whether a car put on the road at this hour has its lamps on; between 18 and 21 o'clock one car in
// ten does, which draws one random number.
bool LampsAtHour(int32_t hour);

// Frames without reaching a target, standing, before a car backs out.
constexpr int32_t StuckFrames = 400;
// A car backs out until its frame count reaches a multiple of this.
constexpr int32_t BackingPeriod = 150;

// What the driving rules ask of the car in one frame.
struct TAIControls {
    float SteerAmount = 0; // radians
    int32_t SteerSide = 0; // +1 steer positive (right), -1 negative, 0 none
    bool Accelerate = false;
    bool Brake = false; // brake or reverse
};

class TAIDriver {
  public:
    // Takes the AI slots and the steering limit of the car's configuration.
    explicit TAIDriver(const TCarConfig& config);

    // The target counts as reached within TargetRadius along x and along y.
    bool AtTarget(float x, float y) const;
    // A car at (x, y) with this heading has gone by its target: it lies behind the car, close.
    bool PassedTarget(float x, float y, float heading) const;
    // Moves the target to the next place where the track has turned by more than TargetTurn degrees
    // from the last target's direction; a car at (x, y) measures its distance to it.
    void AdvanceTarget(float step, float x, float y);
    // The rules of one frame for a car at (x, y) with this heading and speed; an obstacle is a car a
    // car length ahead. Counts the frame.
    TAIControls Drive(float x, float y, float heading, float speed, bool obstacle, bool reversing);
    // After the frame: a reached (or just passed) target brings the next one; standing still too
    // long starts backing out; backing out ends at the next multiple of BackingPeriod frames.
    void AfterFrame(float x, float y, float heading, float speed);

    uint8_t State = AI_DRIVING;
    const TBezierCurve* Curve = nullptr; // the track
    float CurveT = 0;                    // curve parameter of the target
    float TargetX = 0, TargetY = 0;
    float TargetAngle = 0;    // degrees, tangent of the track at CurveT
    float TargetDistance = 0; // metres from the car to the target when it was chosen
    int32_t AIFrame = 0;      // frames driven
    int32_t LastProgress = 0; // AIFrame when a target was last reached or backing out began
    bool Loop = false;        // past the end of the curve, start again at its beginning
    int32_t BackingSide = 1;  // steering side of the last driving frame, kept while backing out

    float SpeedDivisor; // wanted speed = TargetDistance / SpeedDivisor
    float TargetTurn;   // degrees
    float TargetRadius; // metres
    float TargetStep;   // curve parameter step of the target search
    float SteerLimit;   // radians
};

class TAICar : public TCar, public TAIDriver {
  public:
    TAICar(TEngine& engine, TTrafficEngine& traffic, const TCarConfig& config, const TMeshRecord& wheelMesh,
           const TMeshRecord& chassisMesh);

    // Puts the car standing on the curve at t, facing along it, with its lamps for the hour and a
    // speed limit of its own.
    void SetPath(const TBezierCurve* curve, bool loop, float t);
    void Update(float dt) override;
    void PostUpdate() override;
    // No damage: only the crash sound.
    void OnCrash() override;

    TTrafficEngine& Traffic;
};

// One of a model's colour meshes, chosen at random.
std::string PickColour(std::initializer_list<const char*> keys);
