// TVehicle: a four-wheeled car in the physics world — one box body, four sphere wheels on hinge-2
// joints with suspension, steering stops and drive motors. Owns its bodies, geoms, joints and part
// space; turns steering and throttle into joint motors each frame and draws itself from two display
// lists (chassis and wheel).
#pragma once

#include "Resources.h"
#include "uCarConfig.h"
#include "uOde.h"
#include "uPhysics.h"
#include "uVector.h"

#include <cstdint>

class TByteReader;
class TByteWriter;

class TCamera;

// Where a car built from this config and a chassis mesh of this length and height carries its four
// wheel centres, from the chassis body's centre in the body's axes (metres), as it is built.
void WheelRestOffsets(const TCarConfig& config, float length, float height, float offsets[4][3]);
// The wheel mesh's turn about the body's x axis as drawn, in degrees, for wheel i (1..4): the wheel
// bodies start turned 90 degrees and the drawing turns them on, by +90 on one side and -90 on the other.
inline float WheelDrawTurn(int i) {
    return i % 2 == 1 ? 90.0f : -90.0f;
}

class TVehicle {
  public:
    TVehicle(TPhysicsWorld& physics, const TCarConfig& config, const TMeshRecord& wheelMesh,
             const TMeshRecord& chassisMesh);
    virtual ~TVehicle();
    TVehicle(const TVehicle&) = delete;
    TVehicle& operator=(const TVehicle&) = delete;

    // Per-frame operations of the engine's vehicle pass, in this order, before the physics step.
    // Update reads the pose back from the physics world; dt is not used here.
    virtual void Update(float dt);
    virtual void PostUpdate() {}
    // Called from the physics step when the chassis hits another vehicle or an obstacle.
    virtual void OnCrash() {}

    // Turns Steer, Throttle and Braking into joint settings; once per frame before the step.
    void ApplyControls();
    // Keeps the bodies' poses as the tick starts, for drawing between ticks.
    void SavePose();
    // Draws the car `fraction` (0..1) of the way from the pose SavePose kept to the present one.
    void Draw(float fraction = 1) const;
    bool IsVisible(const TCamera& camera) const;
    // (x, y) inside the wheel footprint, as the triangles (wheel 1, 2, 3) and (wheel 1, 3, 4).
    bool ContainsPoint(float x, float y) const;
    // Place the whole car, standing still on its wheels: at (x, y) on the ground, turned to a heading.
    void SetPosition(float x, float y);
    void SetHeading(float degrees);

    dVector3 GetPosition() const;
    float GetHeading() const { return Heading; }
    dMatrix3 GetRotation() const;
    float GetSpeed() const; // metres per second
    dVector3 GetVelocity() const;
    float GetSteerAngle() const;
    bool IsReversing() const;
    dVector3 LocalToWorld(float a, float b, float c) const;
    void GetWheelPosition(int i, float& x, float& y) const;

    // Every body's quaternion in the form that setting it again keeps (see CanonicaliseRotation);
    // after every physics step and every placing.
    void CanonicaliseRotations();
    // The bodies, joints, geoms and part space made anew in the world, in the order the constructor
    // makes them, standing and moving as before, the joints set as before: the world's lists then
    // hold them as if the vehicle had been made now.
    void RebuildPhysics();
    // The parts in the order the constructor puts them into the part space: after every physics
    // step, whose moves reorder them (the collisions walk that list, and their results depend on it).
    void NormalisePartOrder();
    // The vehicle's state in the world and of its tick, bit for bit: every body's pose and
    // velocities, the joint settings the controls change and the fields a tick reads and writes. Restore expects a vehicle of the same build.
    void Save(TByteWriter& out) const;
    void Restore(TByteReader& in);

    dGeomID Geoms[5] = {};   // [0] chassis box, [1..4] wheel spheres
    dBodyID Bodies[5] = {};  // same order
    dJointID Joints[4] = {}; // joint i binds the chassis to wheel i + 1
    dSpaceID PartSpace = nullptr;
    TCarConfig Config;
    float PosX = 0, PosY = 0;
    float Heading = 0; // degrees of body +x, 0 <= Heading < 360; the car travels towards Heading + 180
    float WheelX[4] = {}, WheelY[4] = {};
    float Length, Width, Height; // chassis mesh extents
    uint32_t ChassisList, WheelList;
    bool Active = true; // kept in the engine's vehicle list while set
    float BoundRadius;
    float Steer = 0;    // steering target, radians, positive to the right
    bool Braking = false;
    float Throttle = 0; // positive drives forward (towards body -x)
    float PrevThrottle = 0;
    bool CrashFlag = false; // a crash was reported in the current step
    // The vehicle's number in its world, in the order vehicles are made (TPhysicsWorld).
    uint64_t Serial = 0;

  private:
    void PlaceParts();
    void BuildParts();
    void DestroyParts();

    TPhysicsWorld& Physics;

    struct TBodyPose {
        dReal Position[3];
        dReal Quaternion[4];
    };
    TBodyPose SavedPoses[5] = {};
    bool PoseSaved = false;

    dReal WheelOffset[4][3] = {}; // wheel centres in the body frame
};
