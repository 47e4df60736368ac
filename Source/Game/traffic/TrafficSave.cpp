// The living city saved and put back exactly: the traffic engine's counters, the traffic cars with
// their drivers' plans and the pedestrians with theirs.
#include "traffic/AICar.h"
#include "traffic/HumanMesh.h"
#include "traffic/TrafficEngine.h"
#include "uByteReader.h"
#include "uByteWriter.h"

#include <algorithm>

namespace {

// A track as saved: its index among the traced tracks, -1 none, -2 and -3 the scripted routes.
int32_t TrackIndex(const TTrafficEngine& traffic, const TBezierCurve* curve) {
    if (!curve)
        return -1;
    if (curve == traffic.BossRoute.get())
        return -2;
    if (curve == traffic.DirectorRoute.get())
        return -3;
    for (size_t i = 0; i < traffic.Tracks.size(); ++i)
        if (traffic.Tracks[i].get() == curve)
            return int32_t(i);
    throw Exception("A traffic car follows a track the traffic does not hold");
}

const TBezierCurve* TrackAt(const TTrafficEngine& traffic, int32_t index, const TByteReader& in) {
    if (index == -1)
        return nullptr;
    if (index == -2)
        return traffic.BossRoute.get();
    if (index == -3)
        return traffic.DirectorRoute.get();
    if (index < 0 || size_t(index) >= traffic.Tracks.size())
        throw EReadError(in.FileName() + ": a traffic car's track " + std::to_string(index) + " out of range");
    return traffic.Tracks[size_t(index)].get();
}

void SaveVector(TByteWriter& out, const dVector3& v) {
    out.F32(v.x);
    out.F32(v.y);
    out.F32(v.z);
}

dVector3 ReadVector(TByteReader& in, const char* what) {
    float x = in.F32(what), y = in.F32(what), z = in.F32(what);
    return VectorMake(x, y, z);
}

void SaveMeshRecord(TByteWriter& out, uint32_t list, const dVector3& extent) {
    out.Handle(list);
    SaveVector(out, extent);
}

TMeshRecord ReadMeshRecord(TByteReader& in) {
    TMeshRecord record;
    record.List = in.U32("a car's mesh");
    record.Extent = ReadVector(in, "a car's mesh");
    return record;
}

} // namespace

void TAICar::Save(TByteWriter& out) const {
    TCar::Save(out);
    out.U8(State);
    out.I32(TrackIndex(Traffic, Curve));
    out.Bool(Loop);
    for (float value : {TrackT, CurveT, TargetX, TargetY, TargetDistance, ProgressT, MaxSpeed})
        out.F32(value);
    for (int32_t value : {AIFrame, LastProgress, BackingSide, PedestrianWait})
        out.I32(value);
}

void TAICar::Restore(TByteReader& in) {
    TCar::Restore(in);
    State = in.U8("a driver's state");
    Curve = TrackAt(Traffic, in.I32("a driver's track"), in);
    Loop = in.Bool("a driver's loop");
    for (float* value : {&TrackT, &CurveT, &TargetX, &TargetY, &TargetDistance, &ProgressT, &MaxSpeed})
        *value = in.F32("a driver's plan");
    for (int32_t* value : {&AIFrame, &LastProgress, &BackingSide, &PedestrianWait})
        *value = in.I32("a driver's counters");
}

void THumanMesh::Save(TByteWriter& out) const {
    out.U8(Behaviour);
    for (int32_t value : {Figure, Pose, PoseStep, PosePeriod, Counter})
        out.I32(value);
    for (float value : {Direction, TurnRate, StepDivisor, DirX, DirY, Heading, PrevHeading, Radius})
        out.F32(value);
    out.Handle(List);
    out.Handle(FarList);
    SaveVector(out, Extent);
    SaveVector(out, Position);
    SaveVector(out, PrevPosition);
    out.Bool(Alive);
    out.Bool(Visible);
    SaveVector(out, Shadow->Position);
}

void THumanMesh::Restore(TByteReader& in) {
    Behaviour = in.U8("a pedestrian's behaviour");
    for (int32_t* value : {&Figure, &Pose, &PoseStep, &PosePeriod, &Counter})
        *value = in.I32("a pedestrian's walk");
    for (float* value : {&Direction, &TurnRate, &StepDivisor, &DirX, &DirY, &Heading, &PrevHeading, &Radius})
        *value = in.F32("a pedestrian's walk");
    List = in.U32("a pedestrian's figure");
    FarList = in.U32("a pedestrian's figure");
    Extent = ReadVector(in, "a pedestrian's figure");
    Position = ReadVector(in, "a pedestrian's place");
    PrevPosition = ReadVector(in, "a pedestrian's place");
    Alive = in.Bool("a pedestrian's life");
    Visible = in.Bool("a pedestrian's visibility");
    Shadow->Position = ReadVector(in, "a pedestrian's shadow");
}

void TTrafficEngine::SaveCars(TByteWriter& out) const {
    out.I32(CarCount);
    out.Bool(Gore);
    out.I32(FramesSinceRespawn);
    out.Bool(Filled);
    out.U32(uint32_t(Players.size()));
    for (const TPlayerSight& p : Players) {
        out.F32(p.X);
        out.F32(p.Y);
        out.F32(p.Heading);
    }
    for (int32_t value : Region)
        out.I32(value);
    for (int32_t value : PreviousRegion)
        out.I32(value);
    out.U32(uint32_t(Cars.size()));
    TByteWriter state;
    for (const auto& car : Cars) {
        out.Bool(car != nullptr);
        if (!car)
            continue;
        // How it was built, so that a restore can make it again, then its state.
        out.U64(car->Serial);
        std::vector<uint8_t> config = EncodeCarConfig(car->Config);
        out.Raw(config.data(), config.size());
        out.Handle(car->WheelList);
        SaveMeshRecord(out, car->ChassisList, VectorMake(car->Length, car->Width, car->Height));
        state.Clear();
        car->Save(state);
        out.U32(uint32_t(state.Size()));
        out.Raw(state.Bytes.data(), state.Size());
    }
}

uint64_t TTrafficEngine::RestoreCars(TByteReader& in) {
    int32_t carCount = in.I32("the number of traffic cars");
    Gore = in.Bool("the traffic's gore");
    FramesSinceRespawn = in.I32("the ticks since the respawn");
    Filled = in.Bool("the streets filled");
    uint32_t players = in.U32("the player cars");
    if (players > 2)
        throw EReadError(in.FileName() + ": " + std::to_string(players) + " player cars");
    Players.resize(players);
    for (TPlayerSight& p : Players) {
        p.X = in.F32("a player car's place");
        p.Y = in.F32("a player car's place");
        p.Heading = in.F32("a player car's heading");
    }
    for (int32_t& value : Region)
        value = in.I32("the region");
    for (int32_t& value : PreviousRegion)
        value = in.I32("the region");
    uint32_t slots = in.U32("the traffic car slots");
    if (int64_t(slots) != std::max(carCount, 0))
        throw EReadError(in.FileName() + ": " + std::to_string(slots) + " traffic car slots for " +
                         std::to_string(carCount) + " cars");
    SetCarCount(carCount);
    uint64_t remadeFrom = 0;
    for (auto& car : Cars) {
        if (!in.Bool("a traffic car slot")) {
            if (car) {
                Host.RemoveVehicle(car.get());
                car.reset();
            }
            continue;
        }
        uint64_t serial = in.U64("a traffic car's serial");
        std::vector<uint8_t> configBytes(CarConfigSize);
        in.Bytes(configBytes.data(), configBytes.size(), "a traffic car's configuration");
        TMeshRecord wheel;
        wheel.List = in.U32("a traffic car's wheel");
        TMeshRecord chassis = ReadMeshRecord(in);
        uint32_t size = in.U32("a traffic car's state");
        if (car && car->Serial != serial) {
            Host.RemoveVehicle(car.get());
            car.reset();
        }
        if (!car) {
            TCarConfig config = ParseCarConfig(configBytes, in.FileName());
            car = Host.RemakeTrafficCar(config, wheel, chassis);
            if (!car) {
                in.Skip(size, "a traffic car's state");
                continue;
            }
            car->Serial = serial;
            Host.AddVehicle(car.get());
            remadeFrom = remadeFrom == 0 ? serial : std::min(remadeFrom, serial);
        }
        size_t start = in.Position();
        car->Restore(in);
        if (in.Position() - start != size)
            throw EReadError(in.FileName() + ": a traffic car's state of " + std::to_string(size) + " bytes read as " +
                             std::to_string(in.Position() - start));
    }
    return remadeFrom;
}

void TTrafficEngine::SavePedestrians(TByteWriter& out) const {
    out.I32(PedestrianCount);
    out.U32(uint32_t(Pedestrians.size()));
    for (const auto& pedestrian : Pedestrians) {
        out.Bool(pedestrian != nullptr);
        if (pedestrian)
            pedestrian->Save(out);
    }
}

void TTrafficEngine::RestorePedestrians(TByteReader& in) {
    int32_t count = in.I32("the number of pedestrians");
    uint32_t slots = in.U32("the pedestrian slots");
    if (int64_t(slots) != std::max(count, 0))
        throw EReadError(in.FileName() + ": " + std::to_string(slots) + " pedestrian slots for " +
                         std::to_string(count) + " pedestrians");
    SetPedestrianCount(count);
    bool made = false;
    for (auto& pedestrian : Pedestrians) {
        if (!in.Bool("a pedestrian slot")) {
            if (pedestrian) {
                pedestrian->Remove();
                pedestrian.reset();
            }
            continue;
        }
        if (!pedestrian) {
            pedestrian = std::make_unique<THumanMesh>(*this);
            made = true;
        }
        pedestrian->Restore(in);
    }
    // The pedestrians walk in the order of their slots, as they were made: one made again goes
    // back to its place among the others.
    if (made)
        for (auto& pedestrian : Pedestrians)
            if (pedestrian) {
                Host.RemoveMesh(pedestrian.get());
                Host.AddMesh(pedestrian.get());
            }
}
