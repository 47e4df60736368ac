// TCar: a drivable game car on top of TVehicle. Key flags become throttle and steering; the car burns
// fuel, takes damage in crashes (passing part of it to its cargo), plays its engine, crash and horn
// sounds, casts a shadow, shows head, brake and reversing lamps and leaves wheel tracks. Owns its
// shadow, lamp and track sprites; the engine's 3D sprite list only points at them.
#pragma once

#include "tables/CarModelTable.h"
#include "city/CellWords.h"
#include "uEngine.h"
#include "uVehicle.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TLightsSprite;
class TTrackSprite;

// Control request bits of InputFlags, set by the input handling for one frame.
enum : uint8_t {
    CAR_ACCELERATE = 2,
    CAR_BRAKE = 4,
    CAR_STEER_LEFT = 8,  // negative steering
    CAR_STEER_RIGHT = 16, // positive steering
};

// Speed factor of the ground under a car: the first of the eight ground-kind bits set in the cell
// word (bit 0 first) picks the factor; 1.0 when none is set.
float SurfaceFactor(int32_t cellWord);
// The share of the top speed a car keeps at `damage` percent: all of it up to 70, then 0.9 above 70,
// 0.75 above 80 and 0.4 above 90.
float DamageSpeedFactor(float damage);

// Reads a car's config.dat (a game path); a missing file or a wrong size raises EInOutError.
TCarConfig ReadCarConfig(const std::string& path);

class TCar : public TVehicle {
  public:
    TCar(TEngine& engine, const TCellWords& cells, const TCarConfig& config, const TMeshRecord& wheelMesh,
         const TMeshRecord& chassisMesh);
    ~TCar() override;

    void Update(float dt) override;
    void PostUpdate() override;
    void OnCrash() override;

    virtual void SetEngineSound(int32_t volume, int32_t frequency) {}
    virtual void PlayCrashSound();
    virtual void Horn() {}

    // Key handlers: each request lasts one frame. A key asks for the full amount; a pad's stick or
    // trigger for part of it (0..1). Requests of one frame merge to the strongest.
    void Accelerate(float amount = 1) { Request(CAR_ACCELERATE, ThrottleAmount, amount); }
    void BrakeOrReverse(float amount = 1) { Request(CAR_BRAKE, BrakeAmount, amount); }
    void SteerNegative(float amount = 1) { Request(CAR_STEER_LEFT, SteerLeftAmount, amount); }
    void SteerPositive(float amount = 1) { Request(CAR_STEER_RIGHT, SteerRightAmount, amount); }
    void SetLights(bool on) { LightsOn = on; }
    float SpeedRatio() const { return GetSpeed() / CarConfig.MaxSpeed; }

    // Frame steps of Update, in their order; public so the rules can be checked one by one.
    void UpdateThrottle();
    void UpdateSteering();
    void UpdateEngineSound();
    void UpdateShadow();
    void UpdateLamps();
    void DropTracks();

    // The car's state of the world and of its tick (TVehicle::Save and the car's own fields); the
    // tyre marks are only drawn and go at a restore.
    void Save(TByteWriter& out) const;
    void Restore(TByteReader& in);

    TEngine& Engine;
    const TCellWords& Cells;
    int32_t FrameCount = 0;
    uint8_t InputFlags = 0;
    // How much of each request of InputFlags, 0..1; cleared with the flags after every frame.
    float ThrottleAmount = 0, BrakeAmount = 0, SteerLeftAmount = 0, SteerRightAmount = 0;
    TCarConfig CarConfig;
    bool LightsOn = false;
    std::unique_ptr<TSprite3D> Shadow;
    // [0] head-light cone on the road, [1] [2] front lamps, [3] [4] rear lamps.
    std::unique_ptr<TSprite3D> Lamps[5];
    float Fuel = 100, PrevFuel = 100;     // percent
    float Damage = 0, PrevDamage = 0;     // percent
    float CargoDamage = 0, PrevCargoDamage = 0;
    float CrashDamage = 0;       // damage of crashes the game has not yet passed on (the pad's rumble)
    bool CollidedNow = false;    // a crash was reported in the current step
    bool CollidedBefore = false; // ... and in the previous one

  private:
    void ReleaseDeadTracks();
    void Request(uint8_t flag, float& held, float amount) {
        InputFlags |= flag;
        held = std::max(held, std::clamp(amount, 0.0f, 1.0f));
    }

    std::vector<std::unique_ptr<TTrackSprite>> Tracks; // live tyre marks, oldest first
};

// A player's car of one model (a row of CarModelTable): loops its engine sample on the player's
// channel (0 or 1), shifting its pitch and volume with the speed, and sounds its horn on a free channel.
class TModelCar : public TCar {
  public:
    TModelCar(TEngine& engine, const TCellWords& cells, int playerNumber, const TCarModel& model);

    void SetEngineSound(int32_t volume, int32_t frequency) override;
    void Horn() override;

    int32_t SoundChannel; // player number - 1
    const TCarModel& Model;
};
