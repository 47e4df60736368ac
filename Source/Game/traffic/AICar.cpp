#include "traffic/AICar.h"
#include "traffic/TrafficEngine.h"
#include "uRandom.h"
#include "uAngles.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float TangentReach = 0.1f;    // curve parameter between the two points of a tangent
constexpr float CoastBand = 0.1f;       // metres per second above the wanted speed before braking
constexpr float CreepSpeed = 0.5f;      // below this a car stops braking: the brake key would reverse
constexpr float StandingSpeed = 0.1f;   // a car slower than this is standing
constexpr float MaxSpeedSpread = 0.25f; // each car's speed limit differs by up to this
constexpr float SearchBehind = 2;       // metres of track searched behind the car's last place
constexpr float SearchAhead = 6;        // ... and ahead of it
constexpr float SearchStep = 0.25f;     // metres between the points searched
constexpr float ProgressStep = 1;       // metres along the track that count as getting on
constexpr float BendSpan = 4;           // metres over which a bend's turn is measured
constexpr float BendStep = 1;           // metres between two measured places ahead
constexpr float BendReachExtra = 8;     // metres looked past the braking distance for bends
constexpr float MaxLoopGap = 8;         // metres: a longer gap from the track's end to its start is no loop
constexpr float WideAngle = 60;         // degrees off course: the car creeps round to its track
constexpr float TurningSpeed = 2;       // metres per second, turning back to the track
constexpr float SteerResponse = 8;      // per second: how fast the front wheels reach the wanted angle
constexpr float WalkingPace = 1.5f;     // metres per second, edging through pedestrians
constexpr float BackingSpeed = 1;       // metres per second at most, backing out

} // namespace

float Bearing(float x1, float y1, float x2, float y2) {
    float degrees = Degrees(std::atan2(x2 - x1, y1 - y2) + Pi / 2);
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

float LoopGap(const TBezierCurve& curve) {
    const TCurvePoint &first = curve.Points.front(), &last = curve.Points.back();
    return std::hypot(first.x - last.x, first.y - last.y);
}

void TrackPoint(const TBezierCurve& curve, float t, float& x, float& y) {
    if (t <= curve.End || curve.Points.empty()) {
        curve.GetPoint(t, x, y);
        return;
    }
    const TCurvePoint &first = curve.Points.front(), &last = curve.Points.back();
    float gap = std::max(LoopGap(curve), 1e-3f);
    float s = std::min(1.0f, (t - curve.End) / gap);
    x = last.x + (first.x - last.x) * s;
    y = last.y + (first.y - last.y) * s;
}

std::string PickColour(std::initializer_list<const char*> keys) {
    return keys.begin()[Random(int32_t(keys.size()))];
}

TAIDriver::TAIDriver(const TCarConfig& config, float wheelbase)
    : LookAhead(config.AI[0]), LookAheadTime(config.AI[1]), CornerAccel(config.AI[2]),
      BrakeDecel(config.AI[3]), SteerLimit(config.SteerLimit), MaxSpeed(config.MaxSpeed),
      Wheelbase(wheelbase) {}

void TAIDriver::StartAt(const TBezierCurve* curve, bool loop, float t) {
    State = AI_DRIVING;
    Curve = curve;
    Loop = loop;
    TrackT = ProgressT = t;
    LastProgress = AIFrame;
    if (Loop && !curve->Points.empty()) {
        // A track traced round a block ends up to a few cells short of its start; one that ends far
        // away is a dead end and is driven to its end.
        const TCurvePoint &first = curve->Points.front(), &last = curve->Points.back();
        Loop = std::hypot(first.x - last.x, first.y - last.y) < MaxLoopGap;
    }
}

float TAIDriver::Along(float t, float d) const {
    if (!Curve || Curve->Points.empty())
        return t;
    t += d;
    if (!Loop)
        return std::clamp(t, Curve->Start, Curve->End);
    float period = Curve->End - Curve->Start + LoopGap(*Curve);
    if (period <= 0)
        return Curve->Start;
    return Curve->Start + std::fmod(std::fmod(t - Curve->Start, period) + period, period);
}

void TAIDriver::FollowTrack(float x, float y) {
    if (!Curve || Curve->Points.empty())
        return;
    float best = 1e9f, bestT = TrackT;
    for (float d = -SearchBehind; d <= SearchAhead; d += SearchStep) {
        float t = Along(TrackT, d), px = 0, py = 0;
        TrackPoint(*Curve, t, px, py);
        float distance = std::hypot(px - x, py - y);
        if (distance < best) {
            best = distance;
            bestT = t;
        }
    }
    TrackT = bestT;
}

namespace {

// Degrees the track turns over BendSpan metres centred on t.
float BendAt(const TAIDriver& driver, float t) {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    TrackPoint(*driver.Curve, driver.Along(t, -BendSpan / 2), x0, y0);
    TrackPoint(*driver.Curve, t, x1, y1);
    TrackPoint(*driver.Curve, driver.Along(t, BendSpan / 2), x2, y2);
    return std::fabs(AngleDiff(Bearing(x1, y1, x2, y2), Bearing(x0, y0, x1, y1)));
}

} // namespace

float TAIDriver::CornerSpeed(float speed) const {
    if (!Curve || Curve->Points.empty())
        return 0;
    float wanted = MaxSpeed;
    float reach = speed * speed / (2 * BrakeDecel) + BendReachExtra;
    for (float d = 0; d <= reach; d += BendStep) {
        float turn = Radians(BendAt(*this, Along(TrackT, d)));
        if (turn <= 0)
            continue;
        // Round the bend at CornerAccel sideways, and slow down for it at BrakeDecel beforehand.
        float radius = BendSpan / turn;
        float bendSpeed = std::sqrt(CornerAccel * radius);
        wanted = std::min(wanted, std::sqrt(bendSpeed * bendSpeed + 2 * BrakeDecel * d));
    }
    return wanted;
}

float TAIDriver::StoppingSpeed(float gap) const {
    return std::sqrt(2 * BrakeDecel * std::max(0.0f, gap - KeptGap));
}

TAIControls TAIDriver::Drive(float x, float y, float heading, float speed, const TRoadAhead& road,
                             bool reversing) {
    TAIControls controls;
    if (State == AI_DRIVING && Curve && !Curve->Points.empty()) {
        FollowTrack(x, y);
        // Pure pursuit: the arc through the point a little further along the track.
        TargetDistance = LookAhead + LookAheadTime * speed;
        CurveT = Along(TrackT, TargetDistance);
        TrackPoint(*Curve, CurveT, TargetX, TargetY);
        float c = AngleDiff(heading, Bearing(x, y, TargetX, TargetY));
        float reach = std::max(std::hypot(TargetX - x, TargetY - y), 0.5f);
        float steer = std::fabs(c) >= 90
                          ? SteerLimit
                          : std::atan(2 * Wheelbase * std::sin(Radians(std::fabs(c))) / reach);
        controls.SteerAmount = std::min(steer, SteerLimit);
        controls.SteerSide = c > 0 ? 1 : c < 0 ? -1 : 0;
        if (controls.SteerSide != 0)
            BackingSide = controls.SteerSide;

        float wanted = std::min(MaxSpeed, CornerSpeed(speed));
        wanted = std::min(wanted, StoppingSpeed(road.CarGap));
        // Pedestrians wander on the crossings and do not wait for traffic: a car gives way, and
        // after a while edges on at a walking pace, which makes them step aside.
        PedestrianWait = road.PedestrianGap < KeptGap + 1 ? PedestrianWait + 1 : 0;
        if (PedestrianWait <= PedestrianPatience)
            wanted = std::min(wanted, StoppingSpeed(road.PedestrianGap));
        else
            wanted = std::min(wanted, WalkingPace);
        if (std::fabs(c) > WideAngle)
            wanted = std::min(wanted, TurningSpeed);
        if (reversing && wanted > 0)
            controls.Accelerate = true; // rolling back: drive forward again
        else if (speed < wanted)
            controls.Accelerate = true;
        else if (speed > wanted + CoastBand && speed > CreepSpeed)
            controls.Brake = true;
    } else if (State == AI_BACKING_OUT) {
        // Backing out along the arc it came in on turns the nose away from what stopped it; it
        // waits while something stands right behind it.
        controls.SteerAmount = SteerLimit / 2;
        controls.SteerSide = BackingSide;
        controls.Brake = road.CarGap > KeptGap / 2 && speed < BackingSpeed;
    }
    ++AIFrame;
    return controls;
}

void TAIDriver::AfterFrame(float speed) {
    if (State == AI_DRIVING) {
        float on = Along(TrackT, 0) - ProgressT;
        if (Loop && Curve) {
            float period = Curve->End - Curve->Start + LoopGap(*Curve);
            if (on < -period / 2)
                on += period;
        }
        if (on >= ProgressStep) {
            LastProgress = AIFrame;
            ProgressT = TrackT;
        } else if (speed < StandingSpeed && AIFrame - LastProgress > StuckFrames) {
            LastProgress = AIFrame;
            State = AI_BACKING_OUT;
        }
    } else if (AIFrame % BackingPeriod == 0) {
        State = AI_DRIVING;
        ProgressT = TrackT;
    }
}

TAICar::TAICar(TEngine& engine, TTrafficEngine& traffic, const TCarConfig& config,
               const TMeshRecord& wheelMesh, const TMeshRecord& chassisMesh)
    : TCar(engine, traffic.Cells, config, wheelMesh, chassisMesh),
      TAIDriver(config, (config.FrontAxle + config.RearAxle) * Length), Traffic(traffic) {}

void TAICar::SetPath(const TBezierCurve* curve, bool loop, float t) {
    StartAt(curve, loop, t);
    float x = 0, y = 0;
    curve->GetPoint(t, x, y);
    SetPosition(x, y);
    SetHeading(TangentAngle(*curve, t));
    TVehicle::Update(0); // the pose, heading and wheel footprint of the new place
    CarConfig.MaxSpeed += RandomFloat() * 2 * MaxSpeedSpread - MaxSpeedSpread;
    MaxSpeed = CarConfig.MaxSpeed;
    SetLights(LampsAtHour(Traffic.Host.HourOfDay()));
}

void TAICar::Update(float dt) {
    TRoadAhead road;
    if (State == AI_DRIVING)
        road = Traffic.FreeRoadAhead(*this);
    else
        road.CarGap = Traffic.FreeRoadBehind(*this);
    if (State == AI_DRIVING && std::min(road.CarGap, road.PedestrianGap) < KeptGap)
        Horn();
    TAIControls controls = Drive(PosX, PosY, Heading, GetSpeed(), road, IsReversing());
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
    // A driver turns the wheel briskly: the front wheels reach the wanted angle in a fraction of a
    // second instead of the player's slow self-centring pace.
    for (int i = 0; i < 2; ++i)
        dJointSetHinge2Param(Joints[i], dParamVel,
                             (Steer - dJointGetHinge2Angle1(Joints[i])) * SteerResponse);
}

void TAICar::PostUpdate() {
    AfterFrame(GetSpeed());
    TCar::PostUpdate();
}

void TAICar::OnCrash() {
    if (GetSpeed() > CreepSpeed)
        PlayCrashSound();
}
