#include "cars/Car.h"
#include "sprites/LightsSprite.h"
#include "Resources.h"
#include "Sound.h"
#include "sprites/TrackSprite.h"
#include "uByteReader.h"
#include "uByteWriter.h"
#include "uMapCoords.h"
#include "uRandom.h"

#include <cmath>

namespace {

const float SurfaceTable[8] = {0.5f, 0.2f, 0.9f, 0.9f, 0.9f, 0.7f, 1.0f, 1.0f};

// Ground sprites lie a hair above the road so they never fight with it for depth.
constexpr float GroundLift = 0.01f;

// The player car's lamp sprites: small glowing billboards.
std::unique_ptr<TSprite3D> LampSprite(uint32_t texture) {
    auto lamp = std::make_unique<TSprite3D>(texture, VectorMake(0, 0, 0), 0.4f, 255);
    lamp->Billboard = true;
    return lamp;
}

const char* ChassisKey(const TCarModel& model, int playerNumber) {
    if (playerNumber != 1 && playerNumber != 2)
        throw ERangeError("Player number " + std::to_string(playerNumber) + " out of range");
    return model.Chassis[playerNumber - 1];
}

} // namespace

float SurfaceFactor(int32_t cellWord) {
    for (int row = 0; row < 8; ++row)
        if (cellWord & (1 << row))
            return SurfaceTable[row];
    return 1.0f;
}

float DamageSpeedFactor(float damage) {
    if (damage > 90)
        return 0.4f;
    if (damage > 80)
        return 0.75f;
    if (damage > 70)
        return 0.9f;
    return 1.0f;
}

TCarConfig ReadCarConfig(const std::string& path) {
    std::string fileName = NativePath(path);
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes))
        throw EInOutError("Cannot read car configuration " + fileName);
    return ParseCarConfig(bytes, fileName);
}

TCar::TCar(TEngine& engine, const TCellWords& cells, const TCarConfig& config, const TMeshRecord& wheelMesh,
           const TMeshRecord& chassisMesh)
    : TVehicle(*engine.Physics, config, wheelMesh, chassisMesh), Engine(engine), Cells(cells), CarConfig(config) {
    uint32_t lamp = Resources().GetTexture("lamp");
    Shadow = std::make_unique<TSprite3D>(lamp, VectorMake(0, 0, 0), 1.0f, 255);
    Shadow->Round = true; // the lamp glow is a disc; the shadow spreads over twice the car's width
    Engine.AddSprite3D(Shadow.get());
    Lamps[0] = std::make_unique<TLightsSprite>();
    for (int i = 1; i <= 4; ++i)
        Lamps[i] = LampSprite(lamp);
    for (auto& sprite : Lamps)
        Engine.AddSprite3D(sprite.get());
    Throttle = Steer = 0;
}

TCar::~TCar() {
    Engine.RemoveSprite3D(Shadow.get());
    for (auto& sprite : Lamps)
        Engine.RemoveSprite3D(sprite.get());
    std::vector<TSprite3D*> tracks;
    for (auto& track : Tracks)
        tracks.push_back(track.get());
    Engine.RemoveSprites3D(tracks);
}

void TCar::Update(float dt) {
    TVehicle::Update(dt);
    FrameCount += 1;
    UpdateThrottle();
    UpdateSteering();
    ApplyControls();
    UpdateEngineSound();
    UpdateShadow();
    UpdateLamps();
    DropTracks();
    CrashFlag = false;
}

void TCar::UpdateThrottle() {
    int32_t x = int32_t(std::trunc(PosX)), y = MapRow(PosY);
    if (!TCellWords::InMap(x, y))
        throw ERangeError("Car position (" + std::to_string(x) + ", " + std::to_string(y) + ") outside the map");
    float surface = SurfaceFactor(Cells.At(x, y));
    float damage = DamageSpeedFactor(Damage);

    Throttle = 0;
    PrevFuel = Fuel;
    if (Fuel > 0)
        Fuel = std::max(0.0f, Fuel - GetSpeed() / 5000);
    if ((InputFlags & CAR_ACCELERATE) && Fuel > 0) {
        if (GetSpeed() < CarConfig.MaxSpeed * damage * surface)
            Throttle = CarConfig.ForwardThrottle * ThrottleAmount;
    } else if ((InputFlags & CAR_BRAKE) && Fuel > 0) {
        Throttle = -CarConfig.ReverseThrottle * BrakeAmount;
    }
}

void TCar::UpdateSteering() {
    Steer = 0;
    if (InputFlags & CAR_STEER_LEFT)
        Steer = -CarConfig.SteerAmount * SteerLeftAmount;
    if (InputFlags & CAR_STEER_RIGHT)
        Steer = CarConfig.SteerAmount * SteerRightAmount;
}

void TCar::UpdateEngineSound() {
    if (CarConfig.EngineSound == 0)
        return;
    float speed = GetSpeed();
    int gear = -1;
    for (int g = 0; g < 6 && gear < 0; ++g)
        if (CarConfig.Gears[g].SpeedLow <= speed && speed < CarConfig.Gears[g].SpeedHigh)
            gear = g;
    const TGear& first = CarConfig.Gears[0];
    if (gear < 0 || (InputFlags & CAR_BRAKE)) {
        SetEngineSound(int32_t(std::nearbyint(first.VolumeHigh)), int32_t(std::nearbyint(first.FrequencyHigh)));
        return;
    }
    const TGear& g = CarConfig.Gears[gear];
    float t = (speed - g.SpeedLow) / (g.SpeedHigh - g.SpeedLow);
    SetEngineSound(int32_t(std::nearbyint(g.VolumeLow + (g.VolumeHigh - g.VolumeLow) * t)),
                   int32_t(std::nearbyint(g.FrequencyLow + (g.FrequencyHigh - g.FrequencyLow) * t)));
}

void TCar::UpdateShadow() {
    Shadow->Width = Length * 1.7f;
    Shadow->Height = Width * 2.0f;
    Shadow->SetPosition(PosX, PosY, GroundLift);
    Shadow->Angle = Heading;
    Shadow->SetColor(66, 66, 66);
}

void TCar::UpdateLamps() {
    TSprite3D& cone = *Lamps[0];
    if (LightsOn) {
        dVector3 at = LocalToWorld(CarConfig.FrontLamps[0][0] - cone.Width / 2, 0, 0);
        cone.SetPosition(at.x, at.y, 2 * GroundLift);
        cone.Angle = Heading;
        cone.Alpha = 92;
        for (int i = 0; i < 2; ++i) {
            const float* f = CarConfig.FrontLamps[i];
            const float* r = CarConfig.RearLamps[i];
            TSprite3D& front = *Lamps[1 + i];
            TSprite3D& rear = *Lamps[3 + i];
            front.Position = LocalToWorld(f[0], f[1], f[2]);
            front.SetColor(255, 254, 198);
            front.Alpha = 64;
            rear.Position = LocalToWorld(r[0], r[1], r[2]);
            rear.SetColor(255, 0, 0);
            rear.Alpha = 32;
        }
    } else {
        for (auto& sprite : Lamps)
            sprite->Alpha = 0;
    }
    if (InputFlags & CAR_BRAKE) {
        bool reversing = IsReversing();
        for (int i = 0; i < 2; ++i) {
            const float* r = CarConfig.RearLamps[i];
            TSprite3D& rear = *Lamps[3 + i];
            rear.Position = LocalToWorld(r[0], r[1], r[2]);
            if (reversing) {
                rear.SetColor(255, 255, 255);
                rear.Alpha = 128;
            } else {
                rear.SetColor(255, 0, 0);
                rear.Alpha = 64;
            }
        }
    }
}

void TCar::DropTracks() {
    ReleaseDeadTracks();
    if (EffectRandom(2) != 0)
        return;
    uint32_t lamp = Resources().GetTexture("lamp");
    for (int i = 0; i < 4; ++i) {
        auto track = std::make_unique<TTrackSprite>(lamp);
        track->SetPosition(WheelX[i], WheelY[i], GroundLift);
        Engine.AddSprite3D(track.get());
        Tracks.push_back(std::move(track));
    }
}

void TCar::ReleaseDeadTracks() {
    // Tracks fade out in the order they were laid, so the dead ones are at the front. A track dies
    // in the engine's walk over the 3D sprites, which unlinks it there and then.
    size_t dead = 0;
    while (dead < Tracks.size() && !Tracks[dead]->Alive)
        ++dead;
    Tracks.erase(Tracks.begin(), Tracks.begin() + long(dead));
}

void TCar::Save(TByteWriter& out) const {
    TVehicle::Save(out);
    out.I32(FrameCount);
    out.U8(InputFlags);
    for (float amount : {ThrottleAmount, BrakeAmount, SteerLeftAmount, SteerRightAmount})
        out.F32(amount);
    // What of the configuration a car changes as it drives (a traffic car's speed and steering).
    out.F32(CarConfig.MaxSpeed);
    out.F32(CarConfig.SteerAmount);
    out.Bool(LightsOn);
    for (float value : {Fuel, PrevFuel, Damage, PrevDamage, CargoDamage, PrevCargoDamage, CrashDamage})
        out.F32(value);
    out.Bool(CollidedNow);
    out.Bool(CollidedBefore);
}

void TCar::Restore(TByteReader& in) {
    TVehicle::Restore(in);
    FrameCount = in.I32("the car's ticks");
    InputFlags = in.U8("the car's requests");
    for (float* amount : {&ThrottleAmount, &BrakeAmount, &SteerLeftAmount, &SteerRightAmount})
        *amount = in.F32("a request's amount");
    CarConfig.MaxSpeed = in.F32("the car's top speed");
    CarConfig.SteerAmount = in.F32("the car's steering");
    LightsOn = in.Bool("the car's lamps");
    for (float* value : {&Fuel, &PrevFuel, &Damage, &PrevDamage, &CargoDamage, &PrevCargoDamage, &CrashDamage})
        *value = in.F32("the car's fuel and damage");
    CollidedNow = in.Bool("the car's crash");
    CollidedBefore = in.Bool("the car's crash");
    std::vector<TSprite3D*> tracks;
    for (auto& track : Tracks)
        tracks.push_back(track.get());
    Engine.RemoveSprites3D(tracks);
    Tracks.clear();
    UpdateShadow();
    UpdateLamps();
}

void TCar::OnCrash() {
    PrevDamage = Damage;
    PrevCargoDamage = CargoDamage;
    CollidedNow = true;
    if (CollidedBefore)
        return; // a contact lasting over consecutive steps counts once
    float speed = GetSpeed();
    if (Damage <= 100 && speed > 0) {
        float before = Damage;
        Damage = std::min(100.0f, Damage + speed);
        CrashDamage += Damage - before;
        if (Damage > 50 && CargoDamage < 100)
            CargoDamage = std::min(100.0f, CargoDamage + 5);
    }
    if (speed > 0.5f)
        PlayCrashSound();
}

void TCar::PostUpdate() {
    InputFlags &= uint8_t(~(CAR_ACCELERATE | CAR_BRAKE | CAR_STEER_LEFT | CAR_STEER_RIGHT));
    ThrottleAmount = BrakeAmount = SteerLeftAmount = SteerRightAmount = 0;
    CollidedBefore = CollidedNow;
    CollidedNow = false;
}

void TCar::PlayCrashSound() {
    if (!Engine.Camera.PointVisible(VectorMake(PosX, PosY, 0)) || Sound().IsPlaying(3))
        return;
    Sound().PlaySample(Resources().GetSample(FrameCount % 2 == 0 ? "crash1" : "crash2"), 3, false);
}

TModelCar::TModelCar(TEngine& engine, const TCellWords& cells, int playerNumber, const TCarModel& model)
    : TCar(engine, cells, ReadCarConfig(CarFilePath(model, "config.dat")), Resources().GetMesh(model.Wheel),
           Resources().GetMesh(ChassisKey(model, playerNumber))),
      SoundChannel(playerNumber - 1), Model(model) {
    Sound().PlaySample(Resources().GetSample(model.EngineSample), SoundChannel, true);
}

void TModelCar::SetEngineSound(int32_t volume, int32_t frequency) {
    Sound().SetChannelFrequency(frequency, SoundChannel);
    Sound().SetChannelVolume(volume, SoundChannel);
}

void TModelCar::Horn() { Sound().PlaySample(Resources().GetSample(Model.HornSample), FSOUND_FREE, false); }
