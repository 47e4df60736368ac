// TParticleSystem: the engine's weather effect. Small additive camera-facing particles are emitted
// around the camera's target, move with a constant velocity and acceleration and fade out over a
// random lifetime. Owns its particle records.
#pragma once

#include "uCamera.h"
#include "uList.h"
#include "uQuadBatch.h"
#include "uVector.h"

#include <cstdint>
#include <memory>

// Weather effects the engine knows.
constexpr int32_t ParticleNone = 0;
constexpr int32_t ParticleSnow = 3;

struct TParticle {
    dVector3 Position; // metres
    dVector3 Velocity; // metres per second
    float Size = 0;    // metres
    double Birth = 0;  // whole milliseconds of the game clock
    double Death = 0;  // milliseconds; the particle goes at the first update at or after it
};

class TParticleSystem {
  public:
    explicit TParticleSystem(uint32_t texture);
    ~TParticleSystem();
    TParticleSystem(const TParticleSystem&) = delete;
    TParticleSystem& operator=(const TParticleSystem&) = delete;

    // `now` is the game clock in whole milliseconds, as the engine counts it frame by frame.
    // Once per frame: at most EmitPerFrame new particles in a 10 x 10 m square around the camera's
    // target, Distance - 5 metres above the ground, while fewer than MaxParticles live.
    void Emit(const TCamera& camera, double now);
    // Moves the living particles by dt seconds and frees those whose death time has come.
    void Update(float dt, double now);
    // Draws every particle as an additive billboard, all in one batch; needs the 3D pass's
    // model-view matrix.
    void Draw(TQuadBatch& batch, double now);

    // Opacity of a particle at the given time (milliseconds): 0.7 at birth, falling linearly to 0
    // at its death time.
    static float Alpha(const TParticle& particle, double now);

    TList<TParticle> Particles; // the records are released by the system, not the list
    uint32_t Texture;
    dVector3 Color = VectorMake(1, 1, 1);   // red, green, blue, 0 to 1
    float AngleAMean = 0, AngleASpread = 0; // radians
    float AngleBMean = 0, AngleBSpread = 0; // radians
    float SpeedMean = 0, SpeedSpread = 0;   // metres per second
    int32_t MaxParticles = 0;
    int32_t Count = 0;                          // particles alive, always the length of Particles
    float LifetimeMean = 0, LifetimeSpread = 0; // milliseconds
    dVector3 Acceleration;                      // metres per second squared
    int32_t EmitPerFrame = 1;
    float ParticleSize = 0.04f; // metres
};

// The system of a weather effect, or none for ParticleNone (and for types the engine does not know).
std::unique_ptr<TParticleSystem> CreateParticleEffect(int32_t type, uint32_t texture);
