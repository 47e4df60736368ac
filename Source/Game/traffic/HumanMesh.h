// THumanMesh: a walking pedestrian — an animated figure with a soft shadow that wanders over the
// pedestrian areas, turns away from walls, cars and the map edge, runs off screaming from the first
// player's car coming straight at it and is run over when the car's wheels cover it. Owns its shadow
// and its stains; the traffic engine creates, places and removes it.
#pragma once

#include "sprites/BloodSprite.h"
#include "UMesh.h"

#include <cstdint>
#include <memory>
#include <vector>

class TByteReader;
class TByteWriter;
class TTrafficEngine;

enum : uint8_t {
    HUMAN_UNPLACED = 0,
    HUMAN_WALKING = 1,
    HUMAN_FLEEING = 3,
    HUMAN_RUN_OVER = 4,
};

// Frames a car must have been driven before it runs anybody over.
constexpr int32_t RunOverGraceFrames = 100;

class THumanMesh : public TMesh {
  public:
    explicit THumanMesh(TTrafficEngine& traffic);
    ~THumanMesh() override;

    // Puts the pedestrian at (x, y) as a new person walking a new way.
    void Place(float x, float y);
    void Update() override;
    void Animate() override;
    // Marks the figure and its shadow dead, so the engine drops both.
    void Remove();

    void SetBehaviour(uint8_t behaviour);
    // The first player's car has been driven a while and covers the pedestrian.
    bool RunOver() const;
    // The point ahead of the first player's car comes within 0.4 along x and y.
    bool InCarPath() const;
    // One unit ahead is a car or ground that is not for walking (off the map is free).
    bool IsBlocked() const;
    // The pedestrian, its plan and its shadow (TrafficSave.cpp); the stains stay as they are.
    void Save(TByteWriter& out) const;
    void Restore(TByteReader& in);

    uint8_t Behaviour = HUMAN_UNPLACED;
    std::unique_ptr<TSprite3D> Shadow;
    TTrafficEngine& Traffic;  // gives the first player's car, the cars, the cell words and the lists
    int32_t Figure = 1;       // 1..3, which person
    int32_t Pose = 1;         // 1..3, animation frame
    int32_t PoseStep = 1;     // +1 or -1
    float Direction = 0;      // degrees; 0 walks towards -Y, 90 towards +X
    float TurnRate = 30;      // degrees turned per frame while the way is blocked
    float StepDivisor = 300;  // a frame's step is 1 / StepDivisor metres
    int32_t PosePeriod = 18;  // frames between animation steps
    int32_t Counter = 0;      // frames walked
    float DirX = 0, DirY = 1; // sin and cos of Direction

  private:
    void SetDirection(float degrees);
    void ShowPose();
    void ReleaseFadedStains();

    std::vector<std::unique_ptr<TBloodSprite>> Stains;
};

// The point a pedestrian watches ahead of a car at (x, y) with this heading (body +x to the rear),
// speed ratio and length: half a car length ahead at rest, further out with speed.
void CarPathProbe(float x, float y, float heading, float speedRatio, float length, float& probeX,
                  float& probeY);
