#include "AICar.h"
#include "TrafficEngine.h"
#include "uRandom.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float Pi = 3.14159265358979f;
constexpr float DegreesPerRadian = 57.295779513082320877f;
constexpr float SteerPerDegree = 0.02f;   // radians of steering per degree off course
constexpr float TangentReach = 0.1f;      // curve parameter between the two points of a tangent
constexpr float CoastBand = 0.1f;         // metres per second above the wanted speed before braking
constexpr float CreepSpeed = 0.5f;        // below this a car stops braking for an obstacle
constexpr float StandingSpeed = 0.1f;     // a car slower than this is standing
constexpr float MaxSpeedSpread = 0.25f;   // each car's speed limit differs by up to this
constexpr float LookAheadPerSpeed = 0.8f; // metres of extra look-ahead per metre per second
constexpr float PassedAngle = 100;        // degrees off course: the target is behind the car
constexpr float PassedReach = 3;          // ... and this many target radii away at most

} // namespace

float Bearing(float x1, float y1, float x2, float y2) {
    float degrees = (std::atan2(x2 - x1, y1 - y2) + Pi / 2) * DegreesPerRadian;
    while (degrees < 0)
        degrees += 360;
    return degrees;
}

float AngleDiff(float a, float b) {
    float d = a - b;
    if (d > 180)
        d -= 360;
    if (d < -180)
        d += 360;
    return d;
}

float TangentAngle(const TBezierCurve& curve, float t) {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    curve.GetPoint(t, x1, y1);
    curve.GetPoint(t + TangentReach, x2, y2);
    return Bearing(x1, y1, x2, y2);
}

bool LampsAtHour(int32_t hour) {
    if (hour < 4)
        return true;
    if (hour >= 18 && hour <= 21)
        return Random(10) == 0;
    return hour >= 22 && hour <= 24;
}

std::string PickColour(std::initializer_list<const char*> keys) {
    return keys.begin()[Random(int32_t(keys.size()))];
}

TAIDriver::TAIDriver(const TCarConfig& config)
    : SpeedDivisor(config.AI[0]), TargetTurn(config.AI[1]), TargetRadius(config.AI[2]),
      TargetStep(config.AI[3]), SteerLimit(config.SteerLimit) {}

bool TAIDriver::AtTarget(float x, float y) const {
    return std::fabs(TargetX - x) < TargetRadius && std::fabs(TargetY - y) < TargetRadius;
}

bool TAIDriver::PassedTarget(float x, float y, float heading) const {
    float course = std::fabs(AngleDiff(heading, Bearing(x, y, TargetX, TargetY)));
    return course > PassedAngle && std::hypot(TargetX - x, TargetY - y) < PassedReach * TargetRadius;
}

void TAIDriver::AdvanceTarget(float step, float x, float y) {
    if (!Curve || Curve->Points.empty() || step <= 0)
        return;
    if (!Loop && CurveT == Curve->End)
        return;
    // A lap without a bend (a straight dead end) gives up after one pass over the curve.
    int32_t searchLimit = int32_t((Curve->End - Curve->Start) / step) + 2;
    float angle = TargetAngle;
    for (int32_t n = 0; n < searchLimit; ++n) {
        CurveT += step;
        if (CurveT > Curve->End)
            CurveT = Loop ? Curve->Start : Curve->End;
        else if (CurveT < Curve->Start)
            CurveT = Curve->End;
        Curve->GetPoint(CurveT, TargetX, TargetY);
        angle = TangentAngle(*Curve, CurveT);
        if (std::fabs(AngleDiff(angle, TargetAngle)) > TargetTurn || (!Loop && CurveT >= Curve->End))
            break;
    }
    TargetDistance = std::hypot(TargetX - x, TargetY - y);
    TargetAngle = angle;
}

TAIControls TAIDriver::Drive(float x, float y, float heading, float speed, bool obstacle, bool reversing) {
    TAIControls controls;
    if (State == AI_DRIVING) {
        float c = AngleDiff(heading, Bearing(x, y, TargetX, TargetY));
        // The distance still to go, not the one when the target was chosen: a car slows before the
        // bend instead of in it, where its steering could no longer take the corner.
        float wanted = std::min(TargetDistance, std::hypot(TargetX - x, TargetY - y)) / SpeedDivisor;
        controls.SteerAmount = std::min(std::fabs(c) * SteerPerDegree, SteerLimit);
        controls.SteerSide = c > 0 ? 1 : c < 0 ? -1 : 0;
        if (controls.SteerSide != 0)
            BackingSide = controls.SteerSide;
        if (speed < wanted && !obstacle)
            controls.Accelerate = true;
        else if (speed > wanted + CoastBand && !obstacle)
            controls.Brake = true;
        else if (obstacle && speed > CreepSpeed && !reversing)
            controls.Brake = true;
    } else {
        // Backing out along the arc it came in on turns the nose away from what stopped it.
        controls.SteerAmount = SteerLimit / 2;
        controls.SteerSide = BackingSide;
        controls.Brake = true;
    }
    ++AIFrame;
    return controls;
}

void TAIDriver::AfterFrame(float x, float y, float heading, float speed) {
    if (State == AI_DRIVING) {
        if (AtTarget(x, y) || PassedTarget(x, y, heading)) {
            LastProgress = AIFrame;
            AdvanceTarget(TargetStep, x, y);
        } else if (speed < StandingSpeed && AIFrame - LastProgress > StuckFrames) {
            LastProgress = AIFrame;
            State = AI_BACKING_OUT;
        }
    } else if (AIFrame % BackingPeriod == 0) {
        State = AI_DRIVING;
    }
}

TAICar::TAICar(TEngine& engine, TTrafficEngine& traffic, const TCarConfig& config,
               const TMeshRecord& wheelMesh, const TMeshRecord& chassisMesh)
    : TCar(engine, traffic.Cells, config, wheelMesh, chassisMesh), TAIDriver(config), Traffic(traffic) {}

void TAICar::SetPath(const TBezierCurve* curve, bool loop, float t) {
    State = AI_DRIVING;
    Curve = curve;
    float x = 0, y = 0;
    curve->GetPoint(t, x, y);
    float angle = TangentAngle(*curve, t);
    SetPosition(x, y);
    SetHeading(angle);
    TVehicle::Update(0); // the pose, heading and wheel footprint of the new place
    CarConfig.MaxSpeed += RandomFloat() * 2 * MaxSpeedSpread - MaxSpeedSpread;
    TargetAngle = angle;
    CurveT = t;
    Loop = loop;
    SetLights(LampsAtHour(Traffic.Host.HourOfDay()));
    AdvanceTarget(TargetStep, PosX, PosY);
}

void TAICar::Update(float dt) {
    bool obstacle = false;
    if (State == AI_DRIVING) {
        dVector3 ahead = LocalToWorld(CarConfig.FrontLamps[0][0] - Length, 0, 0);
        // Further out with speed, so a quick car sees a standing one while it can still stop.
        dVector3 far =
            LocalToWorld(CarConfig.FrontLamps[0][0] - Length - GetSpeed() * LookAheadPerSpeed, 0, 0);
        obstacle = Traffic.IsOccupied(float(ahead.x), float(ahead.y)) ||
                   Traffic.IsOccupied(float(far.x), float(far.y));
        if (obstacle)
            Horn();
    }
    TAIControls controls = Drive(PosX, PosY, Heading, GetSpeed(), obstacle, IsReversing());
    CarConfig.SteerAmount = controls.SteerAmount;
    if (controls.SteerSide > 0)
        SteerPositive();
    else if (controls.SteerSide < 0)
        SteerNegative();
    if (controls.Accelerate)
        Accelerate();
    if (controls.Brake)
        BrakeOrReverse();
    TCar::Update(dt);
}

void TAICar::PostUpdate() {
    AfterFrame(PosX, PosY, Heading, GetSpeed());
    TCar::PostUpdate();
}

void TAICar::OnCrash() {
    if (GetSpeed() > CreepSpeed)
        PlayCrashSound();
}
