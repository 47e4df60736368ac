#include "uPhysics.h"
#include "uErrors.h"

#include <string>

dWorldID PhysicsWorld = nullptr;
dSpaceID PhysicsSpace = nullptr;
dJointGroupID ContactGroup = nullptr;

namespace {

bool OdeInitialised = false;
dGeomID GroundPlane = nullptr;

} // namespace

void InitPhysics() {
    if (!OdeInitialised) {
        dInitODE2(0);
        OdeInitialised = true;
    }
    if (PhysicsWorld)
        DonePhysics();
    PhysicsWorld = dWorldCreate();
    PhysicsSpace = dHashSpaceCreate(nullptr);
    ContactGroup = dJointGroupCreate(0);
    dWorldSetGravity(PhysicsWorld, 0, 0, -9.81);
    GroundPlane = dCreatePlane(PhysicsSpace, 0, 0, 1, 0);
    SetCollisionBits(GroundPlane, CAT_GROUND, 7);
}

void DonePhysics() {
    if (!PhysicsWorld)
        return;
    dJointGroupDestroy(ContactGroup);
    dSpaceDestroy(PhysicsSpace); // destroys the ground plane and every geometry left in it
    dWorldDestroy(PhysicsWorld);
    ContactGroup = nullptr;
    PhysicsSpace = nullptr;
    PhysicsWorld = nullptr;
    GroundPlane = nullptr;
}

void SetCollisionBits(dGeomID geom, int64_t category, int64_t collide) {
    if (category < 0 || collide < 0)
        throw ERangeError("Collision bits out of range: " + std::to_string(category) + ", " + std::to_string(collide));
    dGeomSetCategoryBits(geom, static_cast<unsigned long>(category));
    dGeomSetCollideBits(geom, static_cast<unsigned long>(collide));
}

dGeomID CreateObstacleBox(dSpaceID space, const dVector3& lengths, const dVector3& centre) {
    dGeomID box = dCreateBox(space, lengths.x, lengths.y, lengths.z);
    dGeomSetPosition(box, centre.x, centre.y, centre.z);
    SetCollisionBits(box, CAT_OBSTACLE, 2);
    return box;
}
