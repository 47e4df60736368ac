#include "uVehicle.h"
#include "uCamera.h"
#include "uErrors.h"
#include "uPhysics.h"
#include "uAngles.h"
#include "uByteReader.h"
#include "uByteWriter.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

// A body's pose as a column-major OpenGL matrix.
void BodyMatrix(dBodyID body, float m[16]) {
    const dReal* r = dBodyGetRotation(body);
    const dReal* p = dBodyGetPosition(body);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            m[col * 4 + row] = float(r[row * 4 + col]);
    m[3] = m[7] = m[11] = 0;
    m[12] = float(p[0]);
    m[13] = float(p[1]);
    m[14] = float(p[2]);
    m[15] = 1;
}

// A matrix of the pose `f` of the way from `from` to the body's present pose; a jump of more than a
// few metres (the car was put somewhere else) is not a motion and is drawn where it ended.
void BodyMatrixBetween(const dReal from[3], const dReal fromQ[4], dBodyID body, float f, float m[16]) {
    const dReal* p = dBodyGetPosition(body);
    const dReal* q = dBodyGetQuaternion(body);
    dReal dx = p[0] - from[0], dy = p[1] - from[1], dz = p[2] - from[2];
    if (f >= 1 || dx * dx + dy * dy + dz * dz > 25) {
        BodyMatrix(body, m);
        return;
    }
    dQuaternion mix;
    QuaternionBetween(fromQ, q, f, mix);
    dReal r[12];
    dQtoR(mix, r);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            m[col * 4 + row] = float(r[row * 4 + col]);
    m[3] = m[7] = m[11] = 0;
    m[12] = float(from[0] + dx * f);
    m[13] = float(from[1] + dy * f);
    m[14] = float(from[2] + dz * f);
    m[15] = 1;
}

} // namespace

void WheelRestOffsets(const TCarConfig& config, float length, float height, float offsets[4][3]) {
    const float r = config.WheelRadius;
    const float sides[4][2] = {{-config.FrontAxle * length, config.HalfTrack},
                               {-config.FrontAxle * length, -config.HalfTrack},
                               {config.RearAxle * length, config.HalfTrack},
                               {config.RearAxle * length, -config.HalfTrack}};
    for (int i = 0; i < 4; ++i) {
        offsets[i][0] = sides[i][0];
        offsets[i][1] = sides[i][1];
        offsets[i][2] = (5 - height + 2 * r) - 5; // as built with the chassis centre 5 m up
    }
}

TVehicle::TVehicle(TPhysicsWorld& physics, const TCarConfig& config, const TMeshRecord& wheelMesh,
                   const TMeshRecord& chassisMesh)
    : Config(config), Length(chassisMesh.Extent.x), Width(chassisMesh.Extent.y), Height(chassisMesh.Extent.z),
      ChassisList(chassisMesh.List), WheelList(wheelMesh.List),
      BoundRadius(std::sqrt(Length * Length + Width * Width)), Serial(physics.NextVehicleSerial++),
      Physics(physics) {
    const float r = Config.WheelRadius;
    const float boxHeight = Height - 2 * r;
    // The physics library aborts the whole process on a body without size; refuse it first.
    if (!(Length > 0 && Width > 0 && boxHeight > 0) || !std::isfinite(Length * Width * boxHeight))
        throw ERangeError(Config.Source + ": wheels of radius " + std::to_string(r) +
                          " (WheelRadius) do not fit under a body of " + std::to_string(Length) + " x " +
                          std::to_string(Width) + " x " + std::to_string(Height));
    if (std::string problem = WheelSpacingProblem(Config, Length); !problem.empty())
        throw ERangeError(Config.Source + ": the car configuration's " + problem);
    float offsets[4][3];
    WheelRestOffsets(Config, Length, Height, offsets);
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 3; ++k)
            WheelOffset[i][k] = offsets[i][k];
    BuildParts();
}

void TVehicle::BuildParts() {
    const float r = Config.WheelRadius;
    const float boxHeight = Height - 2 * r;
    TPhysicsWorld& physics = Physics;
    dMass mass;
    dMassSetBox(&mass, 1, Length, Width, boxHeight);
    dMassAdjust(&mass, Config.Mass);
    Bodies[0] = dBodyCreate(physics.World());
    dBodySetMass(Bodies[0], &mass);
    dBodySetPosition(Bodies[0], 0, 0, 5);
    Geoms[0] = dCreateBox(nullptr, Length, Width, boxHeight);
    dGeomSetBody(Geoms[0], Bodies[0]);

    // Every wheel weighs as much as the chassis: heavy wheels keep the car low and stable.
    dMassSetSphere(&mass, 1, r);
    dMassAdjust(&mass, Config.Mass);
    dQuaternion q;
    dQFromAxisAndAngle(q, 1, 0, 0, M_PI / 2);
    for (int i = 1; i <= 4; ++i) {
        Bodies[i] = dBodyCreate(physics.World());
        dBodySetMass(Bodies[i], &mass);
        dBodySetQuaternion(Bodies[i], q);
        dBodySetPosition(Bodies[i], WheelOffset[i - 1][0], WheelOffset[i - 1][1], 5 - Height + 2 * r);
        Geoms[i] = dCreateSphere(nullptr, r);
        dGeomSetBody(Geoms[i], Bodies[i]);
    }

    for (int i = 0; i < 4; ++i) {
        Joints[i] = dJointCreateHinge2(physics.World(), nullptr);
        dJointAttach(Joints[i], Bodies[0], Bodies[i + 1]);
        const dReal* anchor = dBodyGetPosition(Bodies[i + 1]);
        dJointSetHinge2Anchor(Joints[i], anchor[0], anchor[1], anchor[2]);
        // Axes only after attaching: the library derives the joint frames from the bodies.
        const dReal steerAxis[3] = {0, 0, 1};
        const dReal rollAxis[3] = {0, (i % 2 == 0) ? dReal(1) : dReal(-1), 0};
        dJointSetHinge2Axes(Joints[i], steerAxis, rollAxis);
        dJointSetHinge2Param(Joints[i], dParamLoStop, 0);
        dJointSetHinge2Param(Joints[i], dParamHiStop, 0);
        dJointSetHinge2Param(Joints[i], dParamFMax, 50);
        dJointSetHinge2Param(Joints[i], dParamVel2, 0);
        dJointSetHinge2Param(Joints[i], dParamFMax2, 120);
        dBodySetFiniteRotationMode(Bodies[i + 1], 1);
        dJointSetHinge2Param(Joints[i], dParamSuspensionERP, Config.SuspensionERP);
        dJointSetHinge2Param(Joints[i], dParamSuspensionCFM, Config.SuspensionCFM);
    }

    PartSpace = dSimpleSpaceCreate(physics.Space());
    dSpaceSetCleanup(PartSpace, 0);
    for (int i = 0; i < 5; ++i) {
        SetCollisionBits(Geoms[i], i == 0 ? CAT_CHASSIS : CAT_WHEEL, 7);
        dGeomSetData(Geoms[i], this);
        dSpaceAdd(PartSpace, Geoms[i]);
    }
}

TVehicle::~TVehicle() { DestroyParts(); }

void TVehicle::DestroyParts() {
    for (dBodyID& body : Bodies)
        if (body)
            dBodyDestroy(std::exchange(body, nullptr));
    for (dJointID& joint : Joints)
        if (joint)
            dJointDestroy(std::exchange(joint, nullptr));
    for (dGeomID& geom : Geoms)
        if (geom)
            dGeomDestroy(std::exchange(geom, nullptr));
    if (PartSpace)
        dSpaceDestroy(std::exchange(PartSpace, nullptr));
}

void TVehicle::Update(float) {
    const dReal* p = dGeomGetPosition(Geoms[0]);
    PosX = float(p[0]);
    PosY = float(p[1]);
    const dReal* r = dGeomGetRotation(Geoms[0]);
    // Body +x in the world: the first column of the rotation.
    float xx = std::clamp(float(r[0]), -1.0f, 1.0f), xy = float(r[4]);
    float heading = Degrees(std::acos(xx));
    if (xy != 0)
        heading *= xy > 0 ? 1.0f : -1.0f;
    while (heading < 0)
        heading += 360;
    Heading = heading;
    for (int i = 0; i < 4; ++i) {
        const dReal* w = dGeomGetPosition(Geoms[i + 1]);
        WheelX[i] = float(w[0]);
        WheelY[i] = float(w[1]);
    }
}

void TVehicle::ApplyControls() {
    float s = Steer;
    if (std::fabs(s) < 0.01f)
        s = 0;
    for (int i = 0; i < 2; ++i) {
        dReal angle = dJointGetHinge2Angle1(Joints[i]);
        dJointSetHinge2Param(Joints[i], dParamHiStop, Config.SteerLimit);
        dJointSetHinge2Param(Joints[i], dParamLoStop, -Config.SteerLimit);
        dJointSetHinge2Param(Joints[i], dParamVel, (s - angle) * 1.2);
    }

    const dReal w = Throttle * 62.83185307179586;
    auto drive = [&](int joint, dReal velocity, dReal force) {
        dJointSetHinge2Param(Joints[joint], dParamVel2, velocity);
        dJointSetHinge2Param(Joints[joint], dParamFMax2, force);
    };
    if (Braking) {
        drive(0, 0, Config.FrontBrake);
        drive(1, 0, Config.FrontBrake);
        drive(2, 0, Config.RearBrake);
        drive(3, 0, Config.RearBrake);
        if (GetSpeed() < 0.01f || Throttle > 0)
            Braking = false;
    } else if (Config.DriveType == 1) {
        drive(0, w, 120);
        drive(1, -w, 120);
        dJointSetHinge2Param(Joints[2], dParamFMax2, 0);
        dJointSetHinge2Param(Joints[3], dParamFMax2, 0);
    } else if (Config.DriveType == 2) {
        dJointSetHinge2Param(Joints[0], dParamFMax2, 0);
        dJointSetHinge2Param(Joints[1], dParamFMax2, 0);
        drive(2, w, 120);
        drive(3, -w, 120);
    } else {
        drive(0, w, 120);
        drive(1, -w, 120);
        drive(2, w, 120);
        drive(3, -w, 120);
    }
    if (PrevThrottle >= 0 && Throttle < 0)
        Braking = true;
    PrevThrottle = Throttle;
}

void TVehicle::SavePose() {
    for (int i = 0; i < 5; ++i) {
        const dReal* p = dBodyGetPosition(Bodies[i]);
        const dReal* q = dBodyGetQuaternion(Bodies[i]);
        std::copy(p, p + 3, SavedPoses[i].Position);
        std::copy(q, q + 4, SavedPoses[i].Quaternion);
    }
    PoseSaved = true;
}

void TVehicle::Draw(float fraction) const {
    auto matrix = [&](int i, float m[16]) {
        if (PoseSaved)
            BodyMatrixBetween(SavedPoses[i].Position, SavedPoses[i].Quaternion, Bodies[i], fraction, m);
        else
            BodyMatrix(Bodies[i], m);
    };
    // The meshes' display lists put back what they change (the colour, the texture switch), so
    // nothing is saved around them.
    float m[16];
    glPushMatrix();
    matrix(0, m);
    glMultMatrixf(m);
    glTranslatef(0, 0, -Config.WheelRadius);
    glCallList(ChassisList);
    glPopMatrix();
    for (int i = 1; i <= 4; ++i) {
        glPushMatrix();
        matrix(i, m);
        glMultMatrixf(m);
        glRotatef(WheelDrawTurn(i), 1, 0, 0);
        glCallList(WheelList);
        glPopMatrix();
    }
}

bool TVehicle::IsVisible(const TCamera& camera) const {
    return camera.SphereVisible(VectorMake(PosX, PosY, 0), BoundRadius);
}

bool TVehicle::ContainsPoint(float x, float y) const {
    // Most points asked about lie well away from the car: outside the box round the four wheels no
    // triangle of them can hold the point.
    float left = std::min({WheelX[0], WheelX[1], WheelX[2], WheelX[3]});
    float right = std::max({WheelX[0], WheelX[1], WheelX[2], WheelX[3]});
    float bottom = std::min({WheelY[0], WheelY[1], WheelY[2], WheelY[3]});
    float top = std::max({WheelY[0], WheelY[1], WheelY[2], WheelY[3]});
    if (x < left || x > right || y < bottom || y > top)
        return false;
    dVector3 p = VectorMake(x, y, 0);
    dVector3 w[4];
    for (int i = 0; i < 4; ++i)
        w[i] = VectorMake(WheelX[i], WheelY[i], 0);
    return PointInTriangle(p, w[0], w[1], w[2]) || PointInTriangle(p, w[0], w[2], w[3]);
}

void TVehicle::SetPosition(float x, float y) {
    PosX = x;
    PosY = y;
    PlaceParts();
}

void TVehicle::SetHeading(float degrees) {
    Heading = std::fmod(std::fmod(degrees, 360.0f) + 360.0f, 360.0f);
    PlaceParts();
}

void TVehicle::PlaceParts() {
    // The whole car moves as one: the chassis at rest height over its wheels, each wheel at its
    // joint anchor, all turned to the heading and standing still. Moving the bodies one by one
    // would leave the joints to drag the wheels back through the chassis, which kicks the car
    // round and throws it off its heading.
    const float r = Config.WheelRadius;
    odeMatrix3 turn, wheelTurn, roll;
    dRFromAxisAndAngle(turn, 0, 0, 1, Radians(double(Heading)));
    dRFromAxisAndAngle(roll, 1, 0, 0, M_PI / 2);
    dMultiply0(wheelTurn, turn, roll, 3, 3, 3);
    const dReal lift = 0.02;
    const dReal chassis[3] = {PosX, PosY, Height - r + lift};
    dBodySetPosition(Bodies[0], chassis[0], chassis[1], chassis[2]);
    dBodySetRotation(Bodies[0], turn);
    for (int i = 1; i <= 4; ++i) {
        const dReal* offset = WheelOffset[i - 1];
        dReal world[3];
        for (int k = 0; k < 3; ++k)
            world[k] = chassis[k] + turn[k * 4] * offset[0] + turn[k * 4 + 1] * offset[1] + turn[k * 4 + 2] * offset[2];
        dBodySetPosition(Bodies[i], world[0], world[1], world[2]);
        dBodySetRotation(Bodies[i], wheelTurn);
    }
    for (dBodyID body : Bodies) {
        dBodySetLinearVel(body, 0, 0, 0);
        dBodySetAngularVel(body, 0, 0, 0);
    }
    CanonicaliseRotations();
}

dVector3 TVehicle::GetPosition() const {
    const dReal* p = dGeomGetPosition(Geoms[0]);
    return VectorMake(float(p[0]), float(p[1]), float(p[2]));
}

dMatrix3 TVehicle::GetRotation() const {
    const dReal* r = dGeomGetRotation(Geoms[0]);
    dMatrix3 m;
    for (int i = 0; i < 12; ++i)
        m[i] = float(r[i]);
    return m;
}

float TVehicle::GetSpeed() const {
    const dReal* v = dBodyGetLinearVel(Bodies[0]);
    return float(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
}

dVector3 TVehicle::GetVelocity() const {
    const dReal* v = dBodyGetLinearVel(Bodies[0]);
    return VectorMake(float(v[0]), float(v[1]), float(v[2]));
}

float TVehicle::GetSteerAngle() const { return float(dJointGetHinge2Angle1(Joints[0])); }

bool TVehicle::IsReversing() const { return dJointGetHinge2Angle2Rate(Joints[2]) < 0; }

dVector3 TVehicle::LocalToWorld(float a, float b, float c) const {
    return VectorAdd(MatrixMulVector(GetRotation(), VectorMake(a, b, c)), GetPosition());
}

void TVehicle::GetWheelPosition(int i, float& x, float& y) const {
    if (i < 0 || i > 3)
        throw ERangeError("Wheel index " + std::to_string(i) + " out of range");
    x = WheelX[i];
    y = WheelY[i];
}

void TVehicle::CanonicaliseRotations() {
    for (dBodyID body : Bodies)
        CanonicaliseRotation(body);
}

namespace {

// The joint settings a vehicle's controls change, in the order they are saved.
constexpr int JointParams[] = {dParamLoStop, dParamHiStop, dParamVel, dParamFMax, dParamVel2, dParamFMax2};

struct TBodyState {
    dReal Position[3], Quaternion[4], Linear[3], Angular[3];
};

TBodyState ReadBody(dBodyID body) {
    TBodyState state;
    std::copy_n(dBodyGetPosition(body), 3, state.Position);
    std::copy_n(dBodyGetQuaternion(body), 4, state.Quaternion);
    std::copy_n(dBodyGetLinearVel(body), 3, state.Linear);
    std::copy_n(dBodyGetAngularVel(body), 3, state.Angular);
    return state;
}

void SetBody(dBodyID body, const TBodyState& state) {
    dBodySetPosition(body, state.Position[0], state.Position[1], state.Position[2]);
    dBodySetQuaternion(body, state.Quaternion);
    dBodySetLinearVel(body, state.Linear[0], state.Linear[1], state.Linear[2]);
    dBodySetAngularVel(body, state.Angular[0], state.Angular[1], state.Angular[2]);
}

void SetJoint(dJointID joint, const dReal params[6]) {
    // A low stop above the present high stop would be refused: the high stop goes out of the way first.
    dJointSetHinge2Param(joint, dParamHiStop, dInfinity);
    for (int k = 0; k < 6; ++k)
        dJointSetHinge2Param(joint, JointParams[k], params[k]);
}

} // namespace

void TVehicle::RebuildPhysics() {
    TBodyState bodies[5];
    dReal joints[4][6];
    for (int i = 0; i < 5; ++i)
        bodies[i] = ReadBody(Bodies[i]);
    for (int j = 0; j < 4; ++j)
        for (int k = 0; k < 6; ++k)
            joints[j][k] = dJointGetHinge2Param(Joints[j], JointParams[k]);
    DestroyParts();
    BuildParts();
    for (int i = 0; i < 5; ++i)
        SetBody(Bodies[i], bodies[i]);
    for (int j = 0; j < 4; ++j)
        SetJoint(Joints[j], joints[j]);
}

static_assert(sizeof(dReal) == 8, "the physics library is the double build");

void TVehicle::Save(TByteWriter& out) const {
    for (dBodyID body : Bodies) {
        TBodyState state = ReadBody(body);
        out.Raw(&state, sizeof state);
    }
    for (dJointID joint : Joints)
        for (int param : JointParams)
            out.F64(dJointGetHinge2Param(joint, param));
    out.F32(PosX);
    out.F32(PosY);
    out.F32(Heading);
    out.Raw(WheelX, sizeof WheelX);
    out.Raw(WheelY, sizeof WheelY);
    out.F32(Steer);
    out.Bool(Braking);
    out.F32(Throttle);
    out.F32(PrevThrottle);
    out.Bool(CrashFlag);
    out.Bool(Active);
    out.Raw(SavedPoses, sizeof SavedPoses);
    out.Bool(PoseSaved);
}

void TVehicle::Restore(TByteReader& in) {
    for (dBodyID body : Bodies) {
        TBodyState state;
        in.Bytes(&state, sizeof state, "a vehicle's body");
        SetBody(body, state);
    }
    for (dJointID joint : Joints) {
        dReal params[6];
        for (dReal& param : params)
            param = in.F64("a vehicle's joint");
        SetJoint(joint, params);
    }
    PosX = in.F32("the vehicle's place");
    PosY = in.F32("the vehicle's place");
    Heading = in.F32("the vehicle's heading");
    in.Bytes(WheelX, sizeof WheelX, "the wheels' places");
    in.Bytes(WheelY, sizeof WheelY, "the wheels' places");
    Steer = in.F32("the steering");
    Braking = in.Bool("the brake");
    Throttle = in.F32("the throttle");
    PrevThrottle = in.F32("the throttle");
    CrashFlag = in.Bool("the crash flag");
    Active = in.Bool("the vehicle's activity");
    in.Bytes(SavedPoses, sizeof SavedPoses, "the poses drawn from");
    PoseSaved = in.Bool("the poses drawn from");
}

void TVehicle::NormalisePartOrder() {
    // Each part put back goes to the front of the list, as the constructor adds them.
    for (dGeomID geom : Geoms) {
        dSpaceRemove(PartSpace, geom);
        dSpaceAdd(PartSpace, geom);
    }
}
