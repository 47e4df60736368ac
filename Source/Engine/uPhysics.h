// uPhysics: the one rigid-body world of the game, its collision space and the group of one step's
// contact joints, with the collision categories every geometry carries. Owns the world, the space,
// the ground plane and the contact group from InitPhysics to DonePhysics.
#pragma once

#include "uOde.h"
#include "uVector.h"

#include <cstdint>

// Category words; the near callback also compares them as plain kind numbers.
constexpr uint32_t CAT_OBSTACLE = 1; // static boxes of the city, collide word 2
constexpr uint32_t CAT_CHASSIS = 2;  // a vehicle's body box, collide word 7
constexpr uint32_t CAT_GROUND = 4;   // the ground plane z = 0, collide word 7
constexpr uint32_t CAT_WHEEL = 5;    // a vehicle's wheel spheres, collide word 7

extern dWorldID PhysicsWorld;
extern dSpaceID PhysicsSpace; // a hash space with no parent
extern dJointGroupID ContactGroup;
// Counts InitPhysics and DonePhysics calls: geometries made under an older count died with their space.
extern uint32_t PhysicsGeneration;

// Creates the world (gravity 9.81 down), the space, the contact group and the ground plane.
// The physics library itself is initialised once per process, on the first call.
void InitPhysics();
// Destroys the contact group, the space (with every geometry still in it) and the world.
void DonePhysics();
// Sets a geometry's category and collide words; both must be non-negative.
void SetCollisionBits(dGeomID geom, int64_t category, int64_t collide);

// A static obstacle box of the city in `space`: lengths along X, Y, Z and the centre, in metres,
// category CAT_OBSTACLE. The caller destroys it (dGeomDestroy).
dGeomID CreateObstacleBox(dSpaceID space, const dVector3& lengths, const dVector3& centre);

// Clamps dt to 0.02..0.03 s and advances the world by it, in substeps of at most MaxSubstep, each
// colliding everything, stepping and dropping its contacts.
void StepPhysics(float dt);
constexpr float MaxSubstep = 1.0f / 150; // seconds
// How many substeps StepPhysics takes for a clamped step.
int SubstepCount(float step);
// The near callback of the collision pass: vehicle parts against vehicles, obstacles and the ground.
void NearCallback(void* data, dGeomID o1, dGeomID o2);
// The step length StepPhysics uses for a frame time (seconds).
float ClampedStep(float dt);

inline dWorldID GetPhysicsWorld() { return PhysicsWorld; }
inline dSpaceID GetPhysicsSpace() { return PhysicsSpace; }
