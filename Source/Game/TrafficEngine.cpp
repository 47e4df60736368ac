#include "TrafficEngine.h"
#include "AIAviaCar.h"
#include "AIBMWCar.h"
#include "AICar.h"
#include "AIFabiaCar.h"
#include "AIFordTransitCar.h"
#include "AISkoda120Car.h"
#include "AIVWGolfCar.h"
#include "HumanMesh.h"
#include "uCamera.h"
#include "uRandom.h"

#include <cmath>

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

void TTrafficEngine::Update(float x, float y) {
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

void TTrafficEngine::CollectPedestrianCandidates() {
    const TCamera& camera = Host.ViewCamera();
    PedestrianCandidates.clear();
    for (const auto& cell : PedestrianCells) {
        float x = float(cell[0]), y = float(511 - cell[1]);
        if (!InRegion(x, y))
            continue;
        if (camera.PointVisible(VectorMake(x, y, 0)))
            continue;
        PedestrianCandidates.push_back(cell);
    }
}

void TTrafficEngine::CollectCarCandidates() {
    const TCamera& camera = Host.ViewCamera();
    CarCandidates.clear();
    for (const auto& track : Tracks) {
        int32_t n = int32_t(std::lround(track->End)) / CandidateStep;
        for (int32_t h = 0; h <= n; ++h) {
            float t = float(CandidateStep * h), x = 0, y = 0;
            if (!track->GetPoint(t, x, y) || !InRegion(x, y))
                continue;
            if (camera.PointVisible(VectorMake(x, y, 0)) || IsOccupied(x, y))
                continue;
            if (CarCandidates.size() >= MaxCarCandidates)
                return;
            CarCandidates.push_back({track.get(), x, y, t});
        }
    }
}

void TTrafficEngine::Respawn() {
    FramesSinceRespawn = 0;
    const TCamera& camera = Host.ViewCamera();

    CollectPedestrianCandidates();
    if (!PedestrianCandidates.empty())
        for (auto& pedestrian : Pedestrians) {
            if (!pedestrian) {
                pedestrian = std::make_unique<THumanMesh>(*this);
                Host.AddMesh(pedestrian.get());
            }
            float x = pedestrian->Position.x, y = pedestrian->Position.y;
            if (InRegion(x, y) || camera.PointVisible(VectorMake(x, y, 0)))
                continue;
            const auto& cell = PedestrianCandidates[size_t(Random(int32_t(PedestrianCandidates.size())))];
            float r1 = RandomFloat();
            float r2 = RandomFloat();
            pedestrian->Place(float(cell[0]) + r1, 511 - (float(cell[1]) + r2));
        }

    CollectCarCandidates();
    for (auto& car : Cars) {
        if (CarCandidates.empty())
            break;
        if (car && (InRegion(car->PosX, car->PosY) || car->IsVisible(camera)))
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
        CarCandidates.erase(CarCandidates.begin() + long(j));
    }
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
