#include "traffic/TrafficEngine.h"
#include "traffic/AIAviaCar.h"
#include "traffic/AIBMWCar.h"
#include "traffic/AICar.h"
#include "traffic/AIFabiaCar.h"
#include "traffic/AIFordTransitCar.h"
#include "traffic/AISkoda120Car.h"
#include "traffic/AIVWGolfCar.h"
#include "traffic/HumanMesh.h"
#include "uAngles.h"
#include "uMapCoords.h"
#include "uRandom.h"

#include <algorithm>
#include <cmath>
#include <vector>

TTrafficEngine::TTrafficEngine(TTrafficHost& host) : Host(host) {
    BossRoute = LoadRoute(".\\data\\city\\boss.cur");
    DirectorRoute = LoadRoute(".\\data\\city\\director.cur");
}

TTrafficEngine::~TTrafficEngine() {
    SetCarCount(0);
    SetPedestrianCount(0);
}

void TTrafficEngine::SetCityMarks(const TCellWords& cells) {
    // Every game start gets its own traffic, unless a seed was given to repeat a run exactly.
    if (!SeededByProgram())
        Randomize();
    Cells = cells;
    PedestrianCells.clear();
    for (int32_t x = 0; x < MapCells; ++x)
        for (int32_t y = 0; y < MapCells; ++y)
            if (IsPedestrianArea(Cells.At(x, y)))
                PedestrianCells.push_back({x, y});
    Tracks.clear();
    for (const auto& start : TrackStarts)
        Tracks.push_back(BuildTrack(start[0], start[1], Cells));
}

void TTrafficEngine::SetPedestrianCount(int32_t n) {
    if (n == PedestrianCount)
        return;
    for (size_t i = size_t(std::max(n, 0)); i < Pedestrians.size(); ++i)
        if (Pedestrians[i])
            Pedestrians[i]->Remove(); // and its destructor takes it out of the lists
    PedestrianCount = n;
    Pedestrians.resize(size_t(std::max(n, 0)));
}

void TTrafficEngine::SetCarCount(int32_t n) {
    if (n == CarCount)
        return;
    for (size_t i = size_t(std::max(n, 0)); i < Cars.size(); ++i)
        if (Cars[i])
            Host.RemoveVehicle(Cars[i].get());
    CarCount = n;
    Cars.resize(size_t(std::max(n, 0)));
}

int32_t LivingCount(int32_t perRegion) {
    return int32_t(std::lround(float(std::max(perRegion, 0)) * PedestrianShare));
}

void TTrafficEngine::Clear() {
    SetCarCount(0);
    SetPedestrianCount(0);
    FramesSinceRespawn = 0;
    Filled = false;
    Players.clear();
    Region = PreviousRegion = {};
    CarCandidates.clear();
    PedestrianCandidates.clear();
}

std::array<int32_t, 4> TTrafficEngine::RegionOf(int32_t a, int32_t b) {
    std::array<int32_t, 4> r = {0, 0, 511, 511};
    for (int level = 0; level < 4; ++level) {
        int32_t mx = (r[0] + r[2] + 1) / 2, my = (r[1] + r[3] + 1) / 2;
        if (r[0] <= a && a < mx)
            r[2] = mx;
        else
            r[0] = mx;
        if (r[1] <= b && b < my)
            r[3] = my;
        else
            r[1] = my;
    }
    return r;
}

bool TTrafficEngine::InRegion(float p, float q) const {
    return float(Region[0]) <= p && p <= float(Region[2]) && float(Region[1]) <= q && q <= float(Region[3]);
}

bool TTrafficEngine::NearAPlayer(float x, float y, float reach) const {
    for (const TPlayerSight& p : Players)
        if (std::hypot(p.X - x, p.Y - y) < reach)
            return true;
    return false;
}

bool TTrafficEngine::InSight(float x, float y) const {
    const float behind = std::cos(Radians(BehindAngle));
    for (const TPlayerSight& p : Players) {
        float dx = x - p.X, dy = y - p.Y, d = std::hypot(dx, dy);
        if (d < UnseenReach)
            return true;
        // A car facing no way in particular is seen from above, no further than UnseenReach.
        if (d > SightReach || p.Heading == TPlayerSight::NoSightHeading)
            continue;
        // The car faces Heading + 180 degrees.
        float h = Radians(p.Heading);
        if (-std::cos(h) * dx - std::sin(h) * dy < behind * d)
            continue;
        if (!Host.SightBlocked(p.X, p.Y, x, y))
            return true;
    }
    return false;
}

bool TTrafficEngine::MayAppearAt(float x, float y) const {
    if (!NearAPlayer(x, y, LivingReach))
        return false;
    // The first fill comes before anything is drawn: only the cars' own places are kept free.
    return Filled ? !InSight(x, y) : !NearAPlayer(x, y, SpawnClearance);
}

bool TTrafficEngine::KeptAt(float x, float y) const {
    return NearAPlayer(x, y, LivingReach) || InSight(x, y);
}

void TTrafficEngine::Update(const std::vector<TPlayerSight>& players) {
    Players = players;
    float x = players.empty() ? 0 : players.front().X, y = players.empty() ? 0 : players.front().Y;
    Region = RegionOf(int32_t(std::trunc(x)), int32_t(std::trunc(y)));
    if (Region != PreviousRegion || FramesSinceRespawn > RespawnFrames)
        Respawn();
    PreviousRegion = Region;
    ++FramesSinceRespawn;
}

bool TTrafficEngine::IsOccupied(float x, float y) const {
    if (const TCar* first = Host.FirstCar(); first && first->ContainsPoint(x, y))
        return true;
    for (const auto& car : Cars)
        if (car && car->ContainsPoint(x, y))
            return true;
    return false;
}

bool TTrafficEngine::NearACar(float x, float y, float clearance) const {
    if (const TCar* first = Host.FirstCar();
        first && std::hypot(first->PosX - x, first->PosY - y) < clearance)
        return true;
    for (const auto& car : Cars)
        if (car && std::hypot(car->PosX - x, car->PosY - y) < clearance)
            return true;
    return false;
}

namespace {

constexpr float ProbeStep = 0.5f;       // metres between the points probed along the way
constexpr float ProbeMargin = 0.5f;     // metres added round another car's body
constexpr float SideMargin = 0.15f;     // metres added to half the probing car's width
constexpr float PedestrianReach = 0.3f; // metres round a pedestrian
constexpr float NoticeReach = 50;       // metres: nothing further away is looked at
constexpr float StraightProbe = 3;      // metres probed straight ahead past the nose before the track
constexpr float ProbeExtra = 10;        // metres probed past the braking distance
constexpr float PlannedBrake = 3;       // metres per second squared a car ahead is expected to brake with

// What a car must not drive into: a car's body (a box on the ground) or a pedestrian.
struct TObstacle {
    float X, Y;
    float AxisX, AxisY; // the body's +x axis
    float HalfLength, HalfWidth;
    float VelocityX, VelocityY; // metres per second
    bool Pedestrian;
};

// Whether the probe point (x, y) of a car halfWidth wide touches the obstacle.
bool Touches(const TObstacle& o, float x, float y, float halfWidth) {
    float dx = x - o.X, dy = y - o.Y;
    float along = dx * o.AxisX + dy * o.AxisY;
    float across = -dx * o.AxisY + dy * o.AxisX;
    return std::fabs(along) < o.HalfLength && std::fabs(across) < o.HalfWidth + halfWidth;
}

// The cars and pedestrians near a traffic car, itself left out.
std::vector<TObstacle> ObstaclesNear(const TTrafficEngine& traffic, const TAICar& self) {
    std::vector<TObstacle> near;
    auto addCar = [&](const TVehicle* car) {
        if (!car || car == &self || std::hypot(car->PosX - self.PosX, car->PosY - self.PosY) > NoticeReach)
            return;
        float h = Radians(car->Heading);
        dVector3 v = car->GetVelocity();
        near.push_back({car->PosX, car->PosY, std::cos(h), std::sin(h), car->Length / 2 + ProbeMargin,
                        car->Width / 2 + SideMargin, float(v.x), float(v.y), false});
    };
    addCar(traffic.Host.FirstCar());
    for (const auto& car : traffic.Cars)
        addCar(car.get());
    for (const auto& p : traffic.Pedestrians) {
        if (!p || (p->Behaviour != HUMAN_WALKING && p->Behaviour != HUMAN_FLEEING))
            continue;
        // One on the pavement is passed by, even right beside the lane; one on the carriageway or a
        // crossing is waited for.
        float x = float(p->Position.x), y = float(p->Position.y);
        int32_t cx = int32_t(std::trunc(x)), cy = MapRow(y);
        if (TCellWords::InMap(cx, cy) && !(traffic.Cells.At(cx, cy) & GroundAsphalt))
            continue;
        if (std::hypot(x - self.PosX, y - self.PosY) <= NoticeReach)
            near.push_back({x, y, 1, 0, PedestrianReach, PedestrianReach, 0, 0, true});
    }
    return near;
}

} // namespace

TRoadAhead TTrafficEngine::FreeRoadAhead(const TAICar& car) const {
    TRoadAhead road;
    std::vector<TObstacle> near = ObstaclesNear(*this, car);
    if (near.empty() || !car.Curve)
        return road;
    float h = Radians(car.Heading);
    float forwardX = -std::cos(h), forwardY = -std::sin(h); // the car travels towards body -x
    float nose = car.Length / 2, halfWidth = car.Width / 2;
    auto probe = [&](float x, float y, float distance) {
        for (const TObstacle& o : near) {
            if (!Touches(o, x, y, halfWidth))
                continue;
            if (o.Pedestrian) {
                road.PedestrianGap = std::min(road.PedestrianGap, distance);
            } else {
                // A car driving on away needs its own braking distance to stop too.
                float away = std::max(0.0f, o.VelocityX * forwardX + o.VelocityY * forwardY);
                road.CarGap = std::min(road.CarGap, distance + away * away / (2 * PlannedBrake));
            }
        }
    };
    // Straight past the nose first: the car's own way even where it has strayed from the track...
    for (float d = 0; d <= StraightProbe; d += ProbeStep)
        probe(car.PosX + forwardX * (nose + d), car.PosY + forwardY * (nose + d), d);
    // ... then along the track, as far as the car needs to stop and a little more.
    float speed = car.GetSpeed();
    float reach = nose + speed * speed / (2 * car.BrakeDecel) + ProbeExtra;
    for (float d = nose; d <= reach && road.CarGap == ClearGap; d += ProbeStep) {
        float x = 0, y = 0;
        TrackPoint(*car.Curve, car.Along(car.TrackT, d), x, y);
        probe(x, y, d - nose);
    }
    return road;
}

float TTrafficEngine::FreeRoadBehind(const TAICar& car) const {
    std::vector<TObstacle> near = ObstaclesNear(*this, car);
    float h = Radians(car.Heading);
    float backX = std::cos(h), backY = std::sin(h);
    float tail = car.Length / 2;
    for (float d = 0; d <= StraightProbe; d += ProbeStep) {
        float x = car.PosX + backX * (tail + d), y = car.PosY + backY * (tail + d);
        for (const TObstacle& o : near)
            if (Touches(o, x, y, car.Width / 2))
                return d;
    }
    return ClearGap;
}

void TTrafficEngine::CollectPedestrianCandidates() {
    PedestrianCandidates.clear();
    for (const auto& cell : PedestrianCells) {
        float x = float(cell[0]), y = WorldY(float(cell[1]));
        if (MayAppearAt(x, y))
            PedestrianCandidates.push_back(cell);
    }
}

void TTrafficEngine::CollectCarCandidates() {
    CarCandidates.clear();
    for (const auto& track : Tracks) {
        int32_t n = int32_t(std::lround(track->End)) / CandidateStep;
        for (int32_t h = 0; h <= n; ++h) {
            float t = float(CandidateStep * h), x = 0, y = 0;
            if (!track->GetPoint(t, x, y) || !MayAppearAt(x, y))
                continue;
            if (NearACar(x, y, SpawnClearance))
                continue;
            if (CarCandidates.size() >= MaxCarCandidates)
                return;
            CarCandidates.push_back({track.get(), x, y, t});
        }
    }
}

void TTrafficEngine::Respawn() {
    FramesSinceRespawn = 0;

    CollectPedestrianCandidates();
    if (!PedestrianCandidates.empty())
        for (auto& pedestrian : Pedestrians) {
            if (!pedestrian) {
                pedestrian = std::make_unique<THumanMesh>(*this);
                Host.AddMesh(pedestrian.get());
            }
            float x = pedestrian->Position.x, y = pedestrian->Position.y;
            if (pedestrian->Behaviour != HUMAN_UNPLACED && pedestrian->Behaviour != HUMAN_RUN_OVER &&
                KeptAt(x, y))
                continue;
            const auto& cell = PedestrianCandidates[size_t(Random(int32_t(PedestrianCandidates.size())))];
            float r1 = RandomFloat();
            float r2 = RandomFloat();
            pedestrian->Place(float(cell[0]) + r1, WorldY(float(cell[1]) + r2));
        }

    CollectCarCandidates();
    for (auto& car : Cars) {
        if (CarCandidates.empty())
            break;
        // A car backing out of a jam where no player sees it is taken away: it would only block
        // the street until the players left.
        bool jammed = car && car->State == AI_BACKING_OUT && !InSight(car->PosX, car->PosY);
        if (car && !jammed && KeptAt(car->PosX, car->PosY))
            continue;
        size_t j = size_t(Random(int32_t(CarCandidates.size())));
        if (car) {
            Host.RemoveVehicle(car.get());
            car.reset();
        }
        car = Host.CreateTrafficCar(Random(6));
        if (car) {
            car->SetPath(CarCandidates[j].Track, true, CarCandidates[j].t);
            Host.AddVehicle(car.get());
        }
        // No other car starts close to this one.
        float x = CarCandidates[j].X, y = CarCandidates[j].Y;
        std::erase_if(CarCandidates,
                      [&](const TSpawnPoint& p) { return std::hypot(p.X - x, p.Y - y) < SpawnClearance; });
    }
    Filled = true;
}

std::unique_ptr<TAICar> CreateAICar(int32_t model, TEngine& engine, TTrafficEngine& traffic) {
    switch (model) {
    case 0:
        return std::make_unique<TAIVWGolfCar>(engine, traffic);
    case 1:
        return std::make_unique<TAIFordTransitCar>(engine, traffic);
    case 2:
        return std::make_unique<TAIAviaCar>(engine, traffic);
    case 3:
        return std::make_unique<TAISkoda120Car>(engine, traffic);
    case 4:
        return std::make_unique<TAIBMWCar>(engine, traffic);
    case 5:
        return std::make_unique<TAIFabiaCar>(engine, traffic);
    default:
        throw ERangeError("Traffic car model " + std::to_string(model) + " out of range");
    }
}
