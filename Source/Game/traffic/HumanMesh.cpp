#include "traffic/HumanMesh.h"
#include "Resources.h"
#include "cars/Car.h"
#include "traffic/TrafficEngine.h"
#include "uAngles.h"
#include "uMapCoords.h"
#include "uRandom.h"

#include <cmath>
#include <string>

namespace {

constexpr float ProbeReach = 0.4f;      // metres along x and along y
constexpr int32_t CalmDownFrames = 400; // a fleeing pedestrian looks back this often
constexpr float ShadowLift = 0.01f;     // above the road, below the car shadows

std::string PoseKey(int32_t figure, int32_t pose) {
    return "human" + std::to_string(figure) + std::to_string(pose);
}

} // namespace

void CarPathProbe(float x, float y, float heading, float speedRatio, float length, float& probeX,
                  float& probeY) {
    float reach = speedRatio * 1.5f + length / 2;
    float a = Radians(270 - heading);
    probeX = x + std::sin(a) * reach;
    probeY = y + std::cos(a) * reach;
}

THumanMesh::THumanMesh(TTrafficEngine& traffic)
    : TMesh(Resources().GetMesh("human11"), 0, 0, 0), Traffic(traffic) {
    Shadow = std::make_unique<TSprite3D>(Resources().GetTexture("lamp"), VectorMake(0, 0, 0), 0.5f, 128);
    Shadow->SetColor(66, 66, 66);
    Traffic.Host.AddSprite3D(Shadow.get());
}

THumanMesh::~THumanMesh() {
    Traffic.Host.RemoveMesh(this);
    Traffic.Host.RemoveSprite3D(Shadow.get());
    for (auto& stain : Stains)
        Traffic.Host.RemoveSprite3D(stain.get());
}

void THumanMesh::SetDirection(float degrees) {
    Direction = degrees;
    DirX = std::sin(Radians(Direction));
    DirY = std::cos(Radians(Direction));
}

void THumanMesh::ShowPose() {
    SetMesh(Resources().GetMesh(PoseKey(Figure, Pose)));
}

void THumanMesh::Place(float x, float y) {
    ReleaseFadedStains();
    Shadow->SetPosition(x, y, ShadowLift);
    Figure = 1 + Random(3);
    Counter = Random(100);
    Pose = 1;
    PoseStep = 1;
    Direction = float(Random(360));
    TurnRate = 30;
    if (RandomFloat() > 0.5f)
        TurnRate = -TurnRate;
    SetDirection(Direction);
    StepDivisor = float(300 + Random(200));
    PosePeriod = 18;
    Heading = Direction;
    ShowPose();
    // The figure stands on the ground from the start, even when its first steps are blocked.
    SetPosition(x, y, float(Extent.z) / 2);
    SetBehaviour(HUMAN_WALKING);
}

void THumanMesh::SetBehaviour(uint8_t behaviour) {
    if (behaviour == Behaviour)
        return;
    Behaviour = behaviour;
    if (behaviour == HUMAN_WALKING) {
        StepDivisor = float(300 + Random(200));
        PosePeriod = 18;
    } else if (behaviour == HUMAN_FLEEING) {
        StepDivisor = float(60 + Random(20));
        float carHeading = Traffic.Host.FirstCar() ? Traffic.Host.FirstCar()->Heading : 0;
        SetDirection(carHeading + 270 - 20 + float(Random(40)));
        Heading = Direction;
        PosePeriod = 10;
        Traffic.Host.PlaySample(EffectRandom(2) == 0 ? "scream1" : "scream2");
    } else if (behaviour == HUMAN_RUN_OVER) {
        bool gore = Traffic.Gore;
        if (gore) {
            int32_t stains = 2 + EffectRandom(3);
            for (int32_t i = 0; i < stains; ++i) {
                Stains.push_back(std::make_unique<TBloodSprite>(float(Position.x), float(Position.y), true));
                Traffic.Host.AddSprite3D(Stains.back().get());
            }
        }
        SetPosition(0, 0, 0);
        Shadow->SetPosition(0, 0, 0);
        Traffic.Host.PlaySample(gore ? "splash1" : "splash2");
    }
}

bool THumanMesh::RunOver() const {
    const TCar* car = Traffic.Host.FirstCar();
    return car && car->ContainsPoint(float(Position.x), float(Position.y)) &&
           car->FrameCount > RunOverGraceFrames;
}

bool THumanMesh::InCarPath() const {
    const TCar* car = Traffic.Host.FirstCar();
    if (!car)
        return false;
    float x = 0, y = 0;
    CarPathProbe(car->PosX, car->PosY, car->Heading, car->SpeedRatio(), car->Length, x, y);
    return std::fabs(x - float(Position.x)) <= ProbeReach && std::fabs(y - float(Position.y)) <= ProbeReach;
}

bool THumanMesh::IsBlocked() const {
    float nx = float(Position.x) + DirX, ny = float(Position.y) - DirY;
    int32_t cx = int32_t(std::trunc(nx)), cy = MapRow(ny);
    if (!TCellWords::InMap(cx, cy))
        return false;
    if (Traffic.IsOccupied(nx, ny) || !IsPedestrianArea(Traffic.Cells.At(cx, cy)))
        return true;
    // The look a unit ahead can reach over a strip one cell wide (a kerb, a hedge); the next step
    // itself must land on the walk too.
    float sx = float(Position.x) + DirX / StepDivisor, sy = float(Position.y) - DirY / StepDivisor;
    int32_t stepX = int32_t(std::trunc(sx)), stepY = MapRow(sy);
    return TCellWords::InMap(stepX, stepY) && !IsPedestrianArea(Traffic.Cells.At(stepX, stepY));
}

void THumanMesh::Update() {
    if (Behaviour != HUMAN_WALKING && Behaviour != HUMAN_FLEEING)
        return;
    if (RunOver()) {
        SetBehaviour(HUMAN_RUN_OVER);
        return;
    }
    if (IsBlocked()) {
        SetDirection(Direction + TurnRate);
        Heading = Direction;
        return;
    }
    float x = float(Position.x) + DirX / StepDivisor, y = float(Position.y) - DirY / StepDivisor;
    SetPosition(x, y, float(Extent.z) / 2);
    Shadow->SetPosition(x, y, ShadowLift);
    if (Behaviour == HUMAN_WALKING) {
        Heading = Direction;
        if (InCarPath())
            SetBehaviour(HUMAN_FLEEING);
    } else if (Counter % CalmDownFrames == 0 && !InCarPath()) {
        SetBehaviour(HUMAN_WALKING);
    }
    ++Counter;
}

void THumanMesh::Animate() {
    if (Counter % PosePeriod != 0)
        return;
    Pose += PoseStep;
    if (Pose == 1 || Pose == 3)
        PoseStep = -PoseStep;
    ShowPose();
}

void THumanMesh::Remove() {
    Alive = false;
    Shadow->Alive = false;
}

void THumanMesh::ReleaseFadedStains() {
    for (size_t i = 0; i < Stains.size();)
        if (!Stains[i]->Alive) {
            Traffic.Host.RemoveSprite3D(Stains[i].get());
            Stains.erase(Stains.begin() + long(i));
        } else {
            ++i;
        }
}
