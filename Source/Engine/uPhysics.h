// TPhysicsWorld: a rigid-body world of the game, its collision space with the ground plane and the
// group of one step's contact joints, with the collision categories every geometry carries. The
// engine that steps it owns it; a second engine has a world of its own.
#pragma once

#include "uOde.h"
#include "uVector.h"

#include <cstdint>

// Category words; the near callback also compares them as plain kind numbers.
constexpr uint32_t CAT_OBSTACLE = 1; // static boxes of the city, collide word 2
constexpr uint32_t CAT_CHASSIS = 2;  // a vehicle's body box, collide word 7
constexpr uint32_t CAT_GROUND = 4;   // the ground plane z = 0, collide word 7
constexpr uint32_t CAT_WHEEL = 5;    // a vehicle's wheel spheres, collide word 7

class TPhysicsWorld {
  public:
    // The world (gravity 9.81 down), the space, the contact group and the ground plane. The physics
    // library itself is initialised once per process, with the first world.
    TPhysicsWorld();
    // Destroys the contact group, the space (with every geometry still in it) and the world.
    ~TPhysicsWorld();
    TPhysicsWorld(const TPhysicsWorld&) = delete;
    TPhysicsWorld& operator=(const TPhysicsWorld&) = delete;

    dWorldID World() const { return WorldId; }
    dSpaceID Space() const { return SpaceId; } // a hash space with no parent
    dJointGroupID Contacts() const { return ContactGroup; }
    dGeomID Ground() const { return GroundPlane; }

    // Clamps dt to 0.02..0.03 s and advances the world by it, in substeps of at most MaxSubstep, each
    // colliding everything, stepping and dropping its contacts.
    void Step(float dt);

    // The serial the next vehicle made in this world takes: vehicles are numbered in the order
    // they are made, which is the order of their bodies in the world's list (newest first).
    uint64_t NextVehicleSerial = 1;

  private:
    dWorldID WorldId = nullptr;
    dSpaceID SpaceId = nullptr;
    dJointGroupID ContactGroup = nullptr;
    dGeomID GroundPlane = nullptr;
};
// Sets a geometry's category and collide words; both must be non-negative.
void SetCollisionBits(dGeomID geom, int64_t category, int64_t collide);

// A static obstacle box of the city in `space`: lengths along X, Y, Z and the centre, in metres,
// category CAT_OBSTACLE. The caller destroys it (dGeomDestroy).
dGeomID CreateObstacleBox(dSpaceID space, const dVector3& lengths, const dVector3& centre);

constexpr float MaxSubstep = 1.0f / 150; // seconds
// How many substeps a step takes for a clamped step.
int SubstepCount(float step);
// The near callback of the collision pass (`data` is the TPhysicsWorld): vehicle parts against
// vehicles, obstacles and the ground.
void NearCallback(void* data, dGeomID o1, dGeomID o2);
// The step length Step uses for a frame time (seconds).
float ClampedStep(float dt);

// Puts a body's quaternion into a form dBodySetQuaternion keeps unchanged (it normalises what it is
// given, and renormalising a stepped quaternion moves its last bits), and its rotation matrix to the
// matrix of that quaternion; a body set to its saved quaternion then stands exactly as it stood.
void CanonicaliseRotation(dBodyID body);
