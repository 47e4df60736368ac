// TAICar: a computer-driven car — a TCar that follows a traffic track on its own. It keeps track of
// its place on the track, steers for a point a speed-dependent distance further along it, chooses a
// speed the bends ahead allow, brakes in time for a car or pedestrian on its way and backs out when
// it has been stuck. TAIDriver holds those rules apart from the car's body, so they can be checked
// without a physics world. Refers to its track, never owns it.
#pragma once

#include "cars/Car.h"
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
// A looping track runs on from its last point straight to its first; the curve parameter of that
// closing stretch is its length in metres.
float LoopGap(const TBezierCurve& curve);
// The point of the track at t, on the closing stretch of a loop too.
void TrackPoint(const TBezierCurve& curve, float t, float& x, float& y);
// Whether a car put on the road at this hour has its lamps on; between 18 and 21 o'clock one car in
// ten does, which draws one random number.
bool LampsAtHour(int32_t hour);

// Frames standing without getting a metre further along the track before a car backs out.
constexpr int32_t StuckFrames = 400;
// A car backs out until its frame count reaches a multiple of this.
constexpr int32_t BackingPeriod = 150;
// Metres of free road a car keeps to whatever stands in its way.
constexpr float KeptGap = 2.5f;
// A gap this long or longer means the way is clear.
constexpr float ClearGap = 1e6f;

// Patience with a pedestrian on the road ahead: after this many frames of waiting the car edges on.
constexpr int32_t PedestrianPatience = 50;

// The free road in front of a car, in metres to the nearest car and to the nearest pedestrian on the
// carriageway (ClearGap for none); for a car backing out, CarGap is the free road behind it.
struct TRoadAhead {
    float CarGap = ClearGap;
    float PedestrianGap = ClearGap;
};

// What the driving rules ask of the car in one frame.
struct TAIControls {
    float SteerAmount = 0; // radians
    int32_t SteerSide = 0; // +1 steer positive (right), -1 negative, 0 none
    bool Accelerate = false;
    bool Brake = false; // brake or reverse
};

class TAIDriver {
  public:
    // Takes the AI slots, the steering limit and the speed limit of the car's configuration; the
    // wheelbase is the distance between the axles in metres.
    TAIDriver(const TCarConfig& config, float wheelbase);

    // Starts on the track at t, heading along it.
    void StartAt(const TBezierCurve* curve, bool loop, float t);
    // The curve parameter moved along the track by d metres, round the loop or held at its ends.
    float Along(float t, float d) const;
    // Finds the car's place on the track again: the nearest track point a little behind or ahead of
    // the last one. A car at (x, y).
    void FollowTrack(float x, float y);
    // Metres per second the bends of the track allow at the car's place, for a car at this speed
    // braking in time for them.
    float CornerSpeed(float speed) const;
    // The highest speed from which the car still stops KeptGap short of something gap metres ahead.
    float StoppingSpeed(float gap) const;
    // The rules of one frame for a car at (x, y) with this heading and speed, with this much free
    // road. Counts the frame.
    TAIControls Drive(float x, float y, float heading, float speed, const TRoadAhead& road, bool reversing);
    // After the frame: standing still too long without progress starts backing out; backing out
    // ends at the next multiple of BackingPeriod frames.
    void AfterFrame(float speed);

    uint8_t State = AI_DRIVING;
    const TBezierCurve* Curve = nullptr; // the track
    bool Loop = false;                   // past the end of the curve, start again at its beginning
    float TrackT = 0;                    // curve parameter of the car's place on the track
    float CurveT = 0;                    // curve parameter of the point steered for
    float TargetX = 0, TargetY = 0;      // the point steered for
    float TargetDistance = 0;            // metres along the track from the car's place to it
    int32_t AIFrame = 0;                 // frames driven
    int32_t LastProgress = 0;            // AIFrame when the car last got a metre on or began backing
    float ProgressT = 0;                 // TrackT at LastProgress
    int32_t BackingSide = 1;             // steering side of the last driving frame, kept while backing
    int32_t PedestrianWait = 0;          // frames held up by a pedestrian so far

    float LookAhead;     // metres to the point steered for, standing
    float LookAheadTime; // ... plus the distance covered in this many seconds
    float CornerAccel;   // metres per second squared of sideways pull allowed in a bend
    float BrakeDecel;    // metres per second squared the car plans to brake with
    float SteerLimit;    // radians
    float MaxSpeed;      // metres per second
    float Wheelbase;     // metres
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
    // The car and its driver's plan (TrafficSave.cpp).
    void Save(TByteWriter& out) const;
    void Restore(TByteReader& in);

    TTrafficEngine& Traffic;
};

// One of a model's colour meshes, chosen at random.
std::string PickColour(std::initializer_list<const char*> keys);
