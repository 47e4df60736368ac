#include "Driver.h"
#include "uWorldClock.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float TopSpeed = 20;         // m/s; the car's own limit is lower and the game enforces it
constexpr float MinCornerSpeed = 2.5f; // m/s kept even through the sharpest bend
constexpr float SideGrip = 2.8f;       // m/s^2 of sideways acceleration a bend may ask for
constexpr float Braking = 5;           // m/s^2 the driver counts on when slowing for a bend
constexpr float OffWay = 3;            // metres off the way that make the driver plan anew
constexpr int PlanEvery = 150;         // frames between two plans on the way
constexpr int StuckLimit = 50;         // frames at a standstill before backing out
constexpr int BackOutLength = 70;      // frames of backing out
constexpr float FrameSeconds = float(TWorldClock::TickSeconds); // a tick of the world
constexpr float TurnRadius = 4.8f;     // metres, the tightest circle of a car at walking pace
// Metres an aim point must lie inside that circle before the car backs up to widen its turn. Among
// traffic, backing and filling blocks the cars behind and ahead, which then wait for it: there the car
// rather cuts the corner a way makes in a target's square and swings wide.
constexpr float WidenDepth = 0.3f;
constexpr float TrafficWidenDepth = 1.8f;
constexpr float TurnRoundLook = 10;    // metres along the way to the point that tells the car to turn round
constexpr int WaitLimit = 300;         // frames of waiting for a car ahead before edging on round it
constexpr int ImpatientLength = 300;   // frames of not waiting then
constexpr float WheelResponse = 1.2f;  // 1/s: how fast a wheel turns for the angle it has still to go
constexpr float StandingSpeed = 0.8f;  // m/s below which a traffic car counts as standing
constexpr float StandingReach = 25;    // metres within which standing traffic cars are planned round
// Half the size of a traffic car (the Avia is a little larger), metres, and the room kept to one
// when passing it.
constexpr float TrafficHalfLength = 2.4f;
constexpr float TrafficHalfWidth = 0.95f;
constexpr float PassingRoom = 0.1f;
constexpr int YieldAfter = 100;  // frames of waiting before the car gets out of the traffic's way
constexpr int YieldLength = 400; // frames of getting out and waiting there at most
// Metres ahead of a traffic car's nose, and to either side of its middle, that it keeps free.
constexpr float TheirReach = 8;
constexpr float TheirHalfWidth = 1.1f;

float Distance(TPoint a, TPoint b) {
    return std::hypot(a.X - b.X, a.Y - b.Y);
}

// Metres the point lies ahead of a car at `from` that faces `forward` (radians), when it lies in the
// car's lane within ten metres; -1 when it lies elsewhere.
float AheadInLane(TPoint from, float forward, TPoint point) {
    float dx = point.X - from.X, dy = point.Y - from.Y;
    float ahead = dx * std::cos(forward) + dy * std::sin(forward);
    float side = -dx * std::sin(forward) + dy * std::cos(forward);
    return ahead > 0 && ahead < 10 && std::fabs(side) < 2.2f ? ahead : -1;
}

// The speed that keeps the car clear of one `ahead` metres on, centre to centre.
float FollowingSpeed(float ahead) {
    return std::max(0.0f, (ahead - 4) * 1.2f);
}

// A traffic car's body, grown by `along` at either end and by `across` to either side.
TBox TrafficBody(const TCarState& other, float along, float across) {
    return {{other.X, other.Y}, Radians(other.Heading), TrafficHalfLength + along, TrafficHalfWidth + across};
}

} // namespace

void TDriver::Plan(const TCarState& car, const std::vector<TPoint>& goals) {
    ++Plans;
    Way = City.FindWay({car.X, car.Y}, goals, Marks, Standing);
    PlannedStanding = Standing;
    Along.assign(Way.size(), 0);
    for (size_t i = 1; i < Way.size(); ++i)
        Along[i] = Along[i - 1] + Distance(Way[i - 1], Way[i]);
    PlannedGoal = goals.front();
    Progress = 0;
    FramesSincePlan = 0;
}

// The highest speed at which the car can be at point `from` and still slow down in time for every
// bend of the way ahead. A bend's sharpness is the turn over a few metres of way.
float TDriver::SafeSpeed(size_t from) const {
    float safe = TopSpeed;
    for (size_t i = from + 1; i + 3 < Way.size() && i >= 3; ++i) {
        float ahead = Along[i] - Along[from];
        if (ahead > 30)
            break;
        TPoint a = Way[i - 3], b = Way[i], c = Way[i + 3];
        float turn = std::fabs(Wrap(std::atan2(c.Y - b.Y, c.X - b.X) - std::atan2(b.Y - a.Y, b.X - a.X)));
        float length = Along[i + 3] - Along[i - 3];
        if (turn < 0.05f || length <= 0)
            continue;
        float curvature = turn / length;
        float bend = std::max(MinCornerSpeed, std::sqrt(SideGrip / curvature));
        safe = std::min(safe, std::sqrt(bend * bend + 2 * Braking * ahead));
    }
    return safe;
}

TControls TDriver::Drive(const TCarState& car, const std::vector<TPoint>& goals, bool moving,
                         const std::vector<TPoint>& others, const std::vector<TCarState>& traffic) {
    // Radians per second the car is turning (counter-clockwise positive); a frame lasts 10 ms.
    float turning = HaveHeading ? Wrap(Radians(car.Heading - LastHeading)) / FrameSeconds : 0;
    LastHeading = car.Heading;
    HaveHeading = true;
    // Moving backwards: the last step went against the way the car faces.
    float forwardNow = Radians(car.Heading) + Pi;
    Backing = HavePosition &&
              (car.X - LastX) * std::cos(forwardNow) + (car.Y - LastY) * std::sin(forwardNow) < -1e-4f;
    LastX = car.X;
    LastY = car.Y;
    HavePosition = true;
    // How sharply the car turns for its wheel, taken from the bends it drives forwards.
    if (!Backing && car.Speed > 1 && std::fabs(Wheel) > 0.08f) {
        float gain = turning / car.Speed / Wheel;
        if (gain > 0.2f && gain < 2)
            TurnGain += 0.02f * (gain - TurnGain);
    }
    InTraffic = InTraffic || !traffic.empty();
    FindStanding(car, traffic);
    TControls keys = Decide(car, goals, moving, others, traffic);
    float target = keys.Left ? SteerAmount : keys.Right ? -SteerAmount : 0;
    Wheel += WheelResponse * (target - Wheel) * FrameSeconds;
    return keys;
}

// One leg of turning round: forwards with the wheel over to the side of the way, or backwards with
// it over to the other side, until the car's nose or tail comes close to a wall; then the other leg,
// until the way lies ahead.
TControls TDriver::TurnRound(const TCarState& car, float turnError) {
    TControls keys;
    if (std::fabs(turnError) < 0.6f || TurnLegs >= 12) {
        Manoeuvre = TManoeuvre::Forward;
        StuckFrames = 0;
        Way.clear();
        return keys;
    }
    float wanted = TurnForwards ? TurnSide * SteerAmount : -TurnSide * SteerAmount;
    keys.Left = wanted > 0;
    keys.Right = wanted < 0;
    if (WheelNotReady(wanted, car.Speed))
        return keys;
    ++TurnFrames;
    bool wall = EndNearWall(car, TurnForwards, 0.3f, 0.8f);
    bool stalled = TurnFrames > 60 && car.Speed < 0.2f;
    if (wall || stalled || TurnFrames > 500) {
        TurnForwards = !TurnForwards;
        TurnFrames = 0;
        ++TurnLegs;
        return keys;
    }
    keys.Accelerate = TurnForwards && car.Speed < TurnLegSpeed;
    keys.Brake = !TurnForwards && (car.Speed < TurnLegSpeed || !Backing);
    return keys;
}

// The planned legs of turning round, one after the other: the wheel over first, standing, then
// rolling slowly until the nose has turned as far as the leg says (or the leg has run long, or a
// wall comes near); after the last one the car drives on along its way.
TControls TDriver::DriveLegs(const TCarState& car) {
    TControls keys;
    const TTurnLeg& leg = Legs[size_t(TurnLegs)];
    float wanted = leg.Side * SteerAmount;
    keys.Left = wanted > 0;
    keys.Right = wanted < 0;
    bool wrongWay = car.Speed > 0.2f && Backing == leg.Forwards;
    if (!wrongWay && WheelNotReady(wanted, car.Speed))
        return keys;
    ++TurnFrames;
    if (TurnFrames > 1) {
        LegTurned += std::fabs(Wrap(Radians(car.Heading - LegHeading)));
        LegRolled += std::hypot(car.X - LegX, car.Y - LegY);
    }
    LegHeading = car.Heading;
    LegX = car.X;
    LegY = car.Y;
    bool wall = EndNearWall(car, leg.Forwards, 0.2f, 0.9f);
    bool stalled = TurnFrames > 40 && car.Speed < 0.2f;
    if (LegTurned >= leg.Turn - 0.05f || LegRolled > leg.Length + 1.5f || wall || stalled || TurnFrames > 800) {
        TurnFrames = 0;
        LegTurned = LegRolled = 0;
        if (size_t(++TurnLegs) >= Legs.size()) {
            Legs.clear();
            Manoeuvre = TManoeuvre::Forward;
            StuckFrames = 0;
            Way.clear();
        }
        return keys;
    }
    // Slow as the leg's end comes near, so that the car does not run on past it.
    float speed = leg.Turn - LegTurned < 0.3f ? 0.8f : TurnLegSpeed;
    if (leg.Forwards) {
        keys.Accelerate = wrongWay || car.Speed < speed;
        keys.Brake = !wrongWay && car.Speed > speed + 0.8f;
    } else {
        keys.Brake = wrongWay || car.Speed < speed;
        keys.Accelerate = !wrongWay && car.Speed > speed + 0.8f;
    }
    return keys;
}

bool TDriver::EndNearWall(const TCarState& car, bool forwards, float margin, float clearance) const {
    float forward = Radians(car.Heading) + Pi;
    float reach = (forwards ? 1.0f : -1.0f) * (CarLength / 2 + margin);
    int x = int(std::floor(car.X + reach * std::cos(forward))),
        y = int(std::floor(car.Y + reach * std::sin(forward)));
    return !TCityGrid::Inside(x, y) || City.Clearance(x, y) < clearance;
}

bool TDriver::WheelNotReady(float wanted, float speed) const {
    return speed < 0.8f && std::fabs(Wheel - wanted) > 0.5f * SteerAmount;
}

void TDriver::SteerTowards(float wanted, TControls& keys) const {
    float best = 1e9f;
    for (int side = -1; side <= 1; ++side) {
        float next = Wheel + WheelResponse * (float(side) * SteerAmount - Wheel) * FrameSeconds;
        if (float miss = std::fabs(next - wanted); miss < best - 1e-6f) {
            best = miss;
            keys.Left = side > 0;
            keys.Right = side < 0;
        }
    }
}

TControls TDriver::Decide(const TCarState& car, const std::vector<TPoint>& goals, bool moving,
                          const std::vector<TPoint>& others, const std::vector<TCarState>& traffic) {
    TControls keys;
    if (goals.empty())
        return keys;
    TPoint here{car.X, car.Y};
    ++FramesSincePlan;
    bool newGoal = Distance(PlannedGoal, goals.front()) > 0.01f;
    bool wayMissesGoal = Marks.size() < 2 || Distance(Way[Marks[1]], goals.front()) > 0.01f;
    bool standingMoved = FramesSincePlan > 25 && StandingMoved();
    if (Way.empty() || (newGoal && wayMissesGoal) || FramesSincePlan > PlanEvery || standingMoved)
        Plan(car, goals);
    else if (newGoal) {
        // The planned way already runs on through the next target: keep it.
        PlannedGoal = goals.front();
        Marks.erase(Marks.begin());
    }
    if (Way.empty()) {
        // Nowhere to go from here: head straight for the target.
        Way = {here, goals.front()};
        Along = {0, Distance(here, goals.front())};
        Marks = {1};
    }
    // The nearest point a little way ahead of the last one.
    size_t best = Progress;
    float bestDistance = Distance(here, Way[Progress]);
    for (size_t i = Progress; i < Way.size() && Along[i] < Along[Progress] + 8; ++i)
        if (float d = Distance(here, Way[i]); d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    Progress = best;
    if (bestDistance > OffWay && FramesSincePlan > 20) {
        Plan(car, goals);
        return Decide(car, goals, moving, others, traffic);
    }
    if (!moving) {
        StuckFrames = BackOutFrames = 0;
        return keys;
    }

    // Look ahead along the way. In a bend the car cuts inside a little, which the targets' squares
    // allow; a car that has passed its target without reaching it plans its way back to it.
    float look = std::clamp(1.2f + 0.3f * car.Speed, 2.0f, 6.0f);
    if (!Marks.empty() && Along[Progress] > Along[Marks.front()] + 2.5f && FramesSincePlan > 20) {
        Plan(car, goals);
        return Decide(car, goals, moving, others, traffic);
    }
    size_t aim = Progress;
    while (aim + 1 < Way.size() && Along[aim] < Along[Progress] + look)
        ++aim;
    TPoint point = Way[aim];
    float heading = Radians(car.Heading);
    float forward = heading + Pi;
    float toPoint = std::atan2(point.Y - car.Y, point.X - car.X);
    float error = Wrap(toPoint - forward);
    float distance = Distance(here, point);

    // Where the aim point lies seen from the driver's seat: metres ahead and to the left.
    float ahead = (point.X - car.X) * std::cos(forward) + (point.Y - car.Y) * std::sin(forward);
    // How far the aim point lies outside the tightest circle the car can drive towards its side: a
    // point inside it cannot be reached going forwards.
    float left = -(point.X - car.X) * std::sin(forward) + (point.Y - car.Y) * std::cos(forward);
    float side = left >= 0 ? 1.0f : -1.0f;
    float outside = std::hypot(ahead, left - side * TurnRadius) - TurnRadius;

    // The way ten metres on: when it too lies behind the car, the car turns round on the spot,
    // forwards and backwards with the wheel over, rather than backing all the way.
    size_t turnAim = aim;
    while (turnAim + 1 < Way.size() && Along[turnAim] < Along[Progress] + TurnRoundLook)
        ++turnAim;
    float turnError = Wrap(std::atan2(Way[turnAim].Y - car.Y, Way[turnAim].X - car.X) - forward);
    bool wayBehind = std::fabs(turnError) > 1.9f && Distance(here, Way[turnAim]) > 6;
    if (Manoeuvre != TManoeuvre::TurnRound && wayBehind && car.Speed < 3 && BackOutFrames == 0) {
        Manoeuvre = TManoeuvre::TurnRound;
        TurnForwards = true;
        // Towards the side with the more room; the way's side when they are alike.
        auto room = [&](float side) {
            float across = forward + side * Pi / 2;
            float free = 0;
            while (free < 15) {
                int x = int(std::floor(car.X + (free + 0.5f) * std::cos(across)));
                int y = int(std::floor(car.Y + (free + 0.5f) * std::sin(across)));
                if (City.Cost(x, y) == 0)
                    break;
                free += 0.5f;
            }
            return free;
        };
        float leftRoom = room(1), rightRoom = room(-1);
        TurnSide = std::fabs(leftRoom - rightRoom) < 1 ? (turnError > 0 ? 1.0f : -1.0f)
                   : leftRoom > rightRoom              ? 1.0f
                                                       : -1.0f;
        TurnFrames = TurnLegs = 0;
        Legs = PlanTurnRound(City, {CarLength / 2, CarWidth / 2, 0.9f * TurnGain * SteerAmount}, car.X, car.Y,
                             forward, Way[turnAim]);
        LegTurned = LegRolled = 0;
    }
    if (Manoeuvre == TManoeuvre::TurnRound && !Legs.empty())
        return DriveLegs(car);
    if (Manoeuvre == TManoeuvre::TurnRound)
        return TurnRound(car, turnError);

    // A point close behind the car is nearer backwards than round a loop the street has no room for.
    if (Manoeuvre == TManoeuvre::Forward && ahead < -1 && std::fabs(error) > 1.9f && distance < 8 &&
        car.Speed < 3)
        Manoeuvre = TManoeuvre::BackTowards;
    else if (Manoeuvre == TManoeuvre::BackTowards && (ahead > 0 || distance > 10))
        Manoeuvre = TManoeuvre::Forward;
    // A point beside the car inside its turning circle: back up, the wheel turned away from it, until
    // the car can drive round to it.
    float depth = InTraffic ? TrafficWidenDepth : WidenDepth;
    if (Manoeuvre == TManoeuvre::Forward && ahead > -1 && outside < -depth && distance < 8)
        Manoeuvre = TManoeuvre::Widen;
    else if (Manoeuvre == TManoeuvre::Widen && (outside > 0.6f || distance > 10))
        Manoeuvre = TManoeuvre::Forward;

    if (YieldFrames > 0)
        return Yield(car, traffic);
    // Stuck: wanting to go but not moving. Get out the other way, turning away, then try again.
    if (BackOutFrames > 0) {
        --BackOutFrames;
        keys.Brake = !BackOutForward;
        keys.Accelerate = BackOutForward;
        keys.Left = BackOutLeft;
        keys.Right = !BackOutLeft;
        if (BackOutFrames == 0)
            Way.clear();
        return keys;
    }
    if (car.Speed < 0.4f)
        ++StuckFrames;
    else
        StuckFrames = 0;
    if (StuckFrames > StuckLimit) {
        StuckFrames = 0;
        BackOutFrames = BackOutLength;
        // Backing with the wheel turned away from the way swings the nose towards it; a car stuck
        // backing drives forwards out of it instead.
        BackOutForward = Manoeuvre != TManoeuvre::Forward;
        BackOutLeft = BackOutForward ? error > 0 : error < 0;
        Manoeuvre = TManoeuvre::Forward;
        return keys;
    }

    if (Manoeuvre == TManoeuvre::BackTowards) {
        // Backing: the tail leads, and the wheel works the other way round.
        float tailError = Wrap(toPoint - heading);
        keys.Brake = car.Speed < 3 || !Backing;
        if (tailError > 0.05f)
            keys.Right = true;
        else if (tailError < -0.05f)
            keys.Left = true;
        return keys;
    }
    if (Manoeuvre == TManoeuvre::Widen) {
        keys.Right = side > 0;
        keys.Left = side < 0;
        keys.Brake = car.Speed < 2.5f || !Backing;
        return keys;
    }

    // The wheel as a pure-pursuit driver turns it: the bend that takes the car through the aim point
    // asks for a curvature, and that for an angle of the wheel.
    float curvature = 2 * std::sin(error) / std::max(distance, 1.0f);
    SteerTowards(std::clamp(curvature / TurnGain, -SteerAmount, SteerAmount), keys);

    float wanted = SafeSpeed(Progress);
    // A sharp turn still to make at the aim point: slow to a crawl first.
    if (std::fabs(error) > 0.8f)
        wanted = std::min(wanted, MinCornerSpeed);
    // Keep clear of a car standing in the way ahead. A car that waits for us in turn would keep both
    // waiting: after a while the driver stops waiting for a time and edges on round it.
    float free = wanted;
    if (ImpatientFrames > 0)
        --ImpatientFrames;
    for (const TPoint& other : others)
        if (float ahead = AheadInLane(here, forward, other); ahead >= 0 && ImpatientFrames == 0)
            wanted = std::min(wanted, FollowingSpeed(ahead));
    if (ImpatientFrames == 0)
        wanted = TrafficSpeed(car, traffic, wanted);
    WaitFrames = wanted < 0.5f && free >= 0.5f ? WaitFrames + 1 : 0;
    // Waiting for a traffic car that waits for this one: get out of its way, if a short roll does.
    if (WaitFrames == YieldAfter && InTheirWay(car.X, car.Y, traffic) && PlanYield(car, traffic)) {
        WaitFrames = 0;
        return Yield(car, traffic);
    }
    if (WaitFrames > WaitLimit) {
        WaitFrames = 0;
        ImpatientFrames = ImpatientLength;
    }
    if (car.Speed < wanted - 0.2f)
        keys.Accelerate = true;
    else if (car.Speed > wanted + 0.8f)
        keys.Brake = true;
    if (wanted < 0.5f)
        StuckFrames = 0; // waiting for a car to pass is not being stuck
    return keys;
}

void TDriver::FindStanding(const TCarState& car, const std::vector<TCarState>& traffic) {
    Standing.clear();
    for (const TCarState& other : traffic)
        if (other.Speed < StandingSpeed && std::hypot(other.X - car.X, other.Y - car.Y) < StandingReach)
            Standing.push_back(TrafficBody(other, CarWidth / 2 + PassingRoom, CarWidth / 2 + PassingRoom));
}

bool TDriver::StandingMoved() const {
    if (Standing.size() != PlannedStanding.size())
        return true;
    for (size_t i = 0; i < Standing.size(); ++i)
        if (Distance(Standing[i].Centre, PlannedStanding[i].Centre) > 1)
            return true;
    return false;
}

float TDriver::TrafficSpeed(const TCarState& car, const std::vector<TCarState>& traffic, float wanted) const {
    float forward = Radians(car.Heading + 180);
    for (const TCarState& other : traffic) {
        float ahead = -1;
        if (other.Speed < StandingSpeed) {
            // A standing car is passed by, unless the way runs into it.
            TBox body = TrafficBody(other, CarWidth / 2, CarWidth / 2);
            for (size_t i = Progress; i < Way.size() && Along[i] < Along[Progress] + 10; ++i)
                if (body.Holds(Way[i].X, Way[i].Y)) {
                    // As a centre-to-centre distance, like the one of a car driving on.
                    ahead = Along[i] - Along[Progress] + 3 - (CarLength - CarWidth) / 2;
                    break;
                }
        } else {
            // One driving on ahead in the car's lane is followed.
            ahead = AheadInLane({car.X, car.Y}, forward, {other.X, other.Y});
        }
        if (ahead >= 0)
            wanted = std::min(wanted, FollowingSpeed(ahead));
    }
    return wanted;
}


bool TDriver::InTheirWay(float x, float y, const std::vector<TCarState>& traffic) const {
    for (const TCarState& other : traffic) {
        if (other.Speed >= StandingSpeed)
            continue;
        float theirs = Radians(other.Heading + 180);
        float dx = x - other.X, dy = y - other.Y;
        float along = dx * std::cos(theirs) + dy * std::sin(theirs) - TrafficHalfLength;
        float side = -dx * std::sin(theirs) + dy * std::cos(theirs);
        if (along > -1 && along < TheirReach && std::fabs(side) < TheirHalfWidth + CarWidth / 2 + 0.3f)
            return true;
    }
    return false;
}

bool TDriver::PlanYield(const TCarState& car, const std::vector<TCarState>& traffic) {
    float forward = Radians(car.Heading + 180);
    float curvature = 0.9f * TurnGain * SteerAmount;
    for (float length = 1; length <= 6; length += 1)
        for (bool forwards : {false, true})
            for (float side : {0.0f, 1.0f, -1.0f}) {
                // Roll the leg in quarter metres, the body clear of the walls and of the traffic.
                float x = car.X, y = car.Y, angle = forward;
                bool clear = true;
                for (float s = 0.25f; s <= length + 1e-3f && clear; s += 0.25f) {
                    float step = forwards ? 0.25f : -0.25f;
                    x += step * std::cos(angle);
                    y += step * std::sin(angle);
                    angle += step * side * curvature;
                    for (float d : {-CarLength / 2, 0.0f, CarLength / 2}) {
                        float px = x + d * std::cos(angle), py = y + d * std::sin(angle);
                        int cx = int(std::floor(px)), cy = int(std::floor(py));
                        if (!TCityGrid::Inside(cx, cy) || City.Clearance(cx, cy) < CarWidth / 2 + 0.3f)
                            clear = false;
                        for (const TCarState& other : traffic)
                            if (TrafficBody(other, 0.3f, CarWidth / 2 + 0.2f).Holds(px, py))
                                clear = false;
                    }
                }
                if (clear && !InTheirWay(x, y, traffic)) {
                    YieldLeg = {forwards, side, 0, length};
                    YieldFrames = YieldLength;
                    YieldRolled = 0;
                    YieldRolling = true;
                    YieldLast = {car.X, car.Y};
                    return true;
                }
            }
    return false;
}

TControls TDriver::Yield(const TCarState& car, const std::vector<TCarState>& traffic) {
    TControls keys;
    --YieldFrames;
    if (YieldRolling) {
        float wanted = YieldLeg.Side * SteerAmount;
        keys.Left = wanted > 0;
        keys.Right = wanted < 0;
        if (WheelNotReady(wanted, car.Speed))
            return keys;
        YieldRolled += Distance({car.X, car.Y}, YieldLast);
        YieldLast = {car.X, car.Y};
        if (YieldRolled >= YieldLeg.Length || YieldFrames < YieldLength / 2) {
            YieldRolling = false;
        } else if (YieldLeg.Forwards) {
            keys.Accelerate = car.Speed < TurnLegSpeed;
            keys.Brake = car.Speed > TurnLegSpeed + 0.8f;
        } else {
            keys.Brake = car.Speed < TurnLegSpeed || !Backing;
            keys.Accelerate = Backing && car.Speed > TurnLegSpeed + 0.8f;
        }
        return keys;
    }
    // Out of the way: stand until the traffic that waited has gone.
    if (car.Speed > 0.3f) {
        keys.Accelerate = Backing;
        keys.Brake = !Backing;
    }
    bool waiting = std::any_of(traffic.begin(), traffic.end(), [&](const TCarState& other) {
        return other.Speed < StandingSpeed && Distance({other.X, other.Y}, {car.X, car.Y}) < 12;
    });
    if (!waiting || YieldFrames == 0) {
        YieldFrames = 0;
        Way.clear();
    }
    return keys;
}
