#include "uPhysics.h"
#include "uErrors.h"
#include "uVehicle.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

void InitialiseOdeOnce() {
    static const bool initialised = [] {
        dInitODE2(0);
        dSetMessageHandler([](int, const char*, va_list) {});
        return true;
    }();
    (void)initialised;
}

} // namespace

TPhysicsWorld::TPhysicsWorld() {
    InitialiseOdeOnce();
    WorldId = dWorldCreate();
    SpaceId = dHashSpaceCreate(nullptr);
    ContactGroup = dJointGroupCreate(0);
    dWorldSetGravity(WorldId, 0, 0, -9.81);
    GroundPlane = dCreatePlane(SpaceId, 0, 0, 1, 0);
    SetCollisionBits(GroundPlane, CAT_GROUND, 7);
}

TPhysicsWorld::~TPhysicsWorld() {
    dJointGroupDestroy(ContactGroup);
    dSpaceDestroy(SpaceId); // destroys the ground plane and every geometry left in it
    dWorldDestroy(WorldId);
}

void SetCollisionBits(dGeomID geom, int64_t category, int64_t collide) {
    if (category < 0 || collide < 0)
        throw ERangeError("Collision bits out of range: " + std::to_string(category) + ", " +
                          std::to_string(collide));
    dGeomSetCategoryBits(geom, static_cast<unsigned long>(category));
    dGeomSetCollideBits(geom, static_cast<unsigned long>(collide));
}

dGeomID CreateObstacleBox(dSpaceID space, const dVector3& lengths, const dVector3& centre) {
    dGeomID box = dCreateBox(space, lengths.x, lengths.y, lengths.z);
    dGeomSetPosition(box, centre.x, centre.y, centre.z);
    SetCollisionBits(box, CAT_OBSTACLE, 2);
    return box;
}

float ClampedStep(float dt) {
    if (dt < 0.02f)
        return 0.02f;
    if (dt > 0.03f)
        return 0.03f;
    return dt;
}

int SubstepCount(float step) {
    return std::max(1, int(std::ceil(step / MaxSubstep - 1e-4f)));
}

void TPhysicsWorld::Step(float dt) {
    // The frame's step is integrated in a few equal substeps. A single 20 ms step cannot follow a
    // wheel that turns a hundred radians a second: the steering then barely moves at speed and the
    // cars only go straight. Contacts are found anew for every substep.
    float step = ClampedStep(dt);
    int substeps = SubstepCount(step);
    for (int i = 0; i < substeps; ++i) {
        dSpaceCollide(SpaceId, this, NearCallback);
        dWorldStep(WorldId, step / float(substeps));
        dJointGroupEmpty(ContactGroup);
    }
}

void CanonicaliseRotation(dBodyID body) {
    dQuaternion q;
    const dReal* now = dBodyGetQuaternion(body);
    std::copy(now, now + 4, q);
    auto settles = [&](const dQuaternion candidate) {
        dBodySetQuaternion(body, candidate);
        const dReal* kept = dBodyGetQuaternion(body);
        return std::equal(kept, kept + 4, candidate);
    };
    // Normalising again mostly reaches a fixed point within a step or two...
    for (int i = 0; i < 4; ++i) {
        if (settles(q))
            return;
        const dReal* kept = dBodyGetQuaternion(body);
        std::copy(kept, kept + 4, q);
    }
    // ... and otherwise swings between two neighbours: one component moved an ulp or a few at a
    // time, always in the same order, finds a fixed point beside them.
    for (int k = 0; k < 4; ++k)
        for (int ulps = 1; ulps <= 8; ++ulps)
            for (double toward : {2.0, -2.0}) {
                dQuaternion c;
                std::copy(q, q + 4, c);
                for (int u = 0; u < ulps; ++u)
                    c[k] = std::nextafter(c[k], toward);
                if (settles(c))
                    return;
            }
    dBodySetQuaternion(body, q);
}

namespace {

bool IsVehiclePart(unsigned long category) {
    return category == CAT_CHASSIS || category == CAT_WHEEL;
}

// A chassis reports a crash to its vehicle once per step; wheels never do.
void ReportCrash(dGeomID geom) {
    if (dGeomGetCategoryBits(geom) != CAT_CHASSIS)
        return;
    auto* vehicle = static_cast<TVehicle*>(dGeomGetData(geom));
    if (vehicle && !vehicle->CrashFlag) {
        vehicle->OnCrash();
        vehicle->CrashFlag = true;
    }
}

void AddContacts(const TPhysicsWorld& physics, dGeomID o1, dGeomID o2, dContact* contacts, int count,
                 dReal mu) {
    for (int i = 0; i < count; ++i) {
        contacts[i].surface.mode = dContactBounce;
        contacts[i].surface.mu = mu;
        contacts[i].surface.bounce = 0.3;
        contacts[i].surface.bounce_vel = 0.05;
        dJointID joint = dJointCreateContact(physics.World(), physics.Contacts(), &contacts[i]);
        dJointAttach(joint, dGeomGetBody(o1), dGeomGetBody(o2));
    }
}

} // namespace

void NearCallback(void* data, dGeomID o1, dGeomID o2) {
    const TPhysicsWorld& physics = *static_cast<const TPhysicsWorld*>(data);
    // A vehicle's part space against something else: its parts against that thing only. The parts
    // of one car are never collided with each other — the chassis is jointed to its wheels, and
    // wheels that touched each other would throw the car into the air.
    if (dGeomIsSpace(o1) || dGeomIsSpace(o2)) {
        dSpaceCollide2(o1, o2, data, NearCallback);
        return;
    }
    // The rules below expect the vehicle part first whenever only one of the two is a vehicle part.
    if (!IsVehiclePart(dGeomGetCategoryBits(o1)) && IsVehiclePart(dGeomGetCategoryBits(o2)))
        std::swap(o1, o2);
    // Only a vehicle touches anything: the city's boxes and the ground never meet each other, and
    // the infinite ground plane is paired with every box of the city in every substep, so this test
    // comes before the costly one.
    unsigned long c1 = dGeomGetCategoryBits(o1), c2 = dGeomGetCategoryBits(o2);
    if (!IsVehiclePart(c1))
        return;

    // Two parts of one vehicle, however they came to be paired.
    if (IsVehiclePart(c2) && dGeomGetData(o1) != nullptr && dGeomGetData(o1) == dGeomGetData(o2))
        return;
    dBodyID b1 = dGeomGetBody(o1), b2 = dGeomGetBody(o2);
    if (b1 && b2 && dAreConnected(b1, b2))
        return; // jointed bodies

    dContact contacts[6] = {};
    int count = dCollide(o1, o2, 6, &contacts[0].geom, sizeof(dContact));
    if (IsVehiclePart(c2)) {
        if (count > 0) {
            ReportCrash(o1);
            ReportCrash(o2);
        }
        AddContacts(physics, o1, o2, contacts, count, 250);
    } else if (c2 == CAT_OBSTACLE) {
        if (count > 0)
            ReportCrash(o1);
        AddContacts(physics, o1, o2, contacts, count, 250);
    } else if (c2 == CAT_GROUND) {
        AddContacts(physics, o1, o2, contacts, count, 3000);
    }
}
