#include "session/ReplayRecorder.h"

#include "Resources.h"
#include "cars/Car.h"
#include "player/Config.h"
#include "player/PlayerData.h"
#include "tables/GameConsts.h"
#include "uAngles.h"
#include "uCamera.h"
#include "uKeyboard.h"
#include "uMapCoords.h"
#include "uRandom.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

namespace {

constexpr uint8_t RequestBits = CAR_ACCELERATE | CAR_BRAKE | CAR_STEER_LEFT | CAR_STEER_RIGHT;

uint8_t AmountByte(float amount) {
    return uint8_t(std::nearbyint(std::clamp(amount, 0.0f, 1.0f) * 255));
}
float AmountOfByte(uint8_t value) {
    return value == 255 ? 1.0f : float(value) / 255;
}

// Every other pixel, in a checkerboard: a model drawn through it shows half of itself and half of
// what lies behind, which is as near to transparency as display lists with their own colours get.
const GLubyte* HalfStipple() {
    static GLubyte pattern[128];
    for (int row = 0; row < 32; ++row)
        for (int b = 0; b < 4; ++b)
            pattern[row * 4 + b] = row % 2 == 0 ? 0xAA : 0x55;
    return pattern;
}

// The result screen's map: the city's square (world x and y 0..512) in a square of the layout.
constexpr float MapLeft = 0, MapBottom = 0, MapSide = 512;
constexpr float InsetX = 16, InsetY = 12, InsetSide = 200;

} // namespace

TReplayRecorder::TReplayRecorder(TRecorderHost& host, const TReplay* replay, const TNotice& notice,
                                 uint64_t dataSet)
    : DataSet(dataSet), Host(host), Replay(replay), Notice(notice) {}

uint64_t TReplayRecorder::DataSetOfRuns() {
    if (DataSet == 0)
        DataSet = DigestDataSet();
    return DataSet;
}

void TReplayRecorder::StartRecording(int mission) {
    Recording.reset();
    HasBest = false;
    BestWorldFrames.clear();
    WorldPasses = 0;
    ReplayPass = 0;
    RecordingPass = Host.TickNumber();
    // The record fetched from the server is for this game only, whichever it is.
    std::unique_ptr<TReplay> record = std::move(RecordToRace);
    if (Host.IsTwoPlayer() || !IsMission(mission))
        return;
    Recording = std::make_unique<TReplay>();
    Recording->Mission = uint8_t(mission);
    Recording->CarType = Host.Player(1).CarType;
    Recording->Seed = RandomSeed();
    Recording->DataSet = DataSet;
    Recording->Gore = Host.TrafficGore();
    Recording->CameraMode = Host.ActiveCameraMode();
    Recording->CameraDistance = Host.ViewCamera().Distance;
    Recording->SecondCar = StandingCar;
    Recording->Nick = Host.Player(1).Nick;
    // The record fetched from the server goes before the player's own best run; neither when a
    // replay drives the car.
    bool ghost = false;
    if (!Replay && record && record->Mission == mission) {
        Best = std::move(*record);
        ghost = true;
    } else if (!Replay && Config().Ghosts) {
        ghost = LoadReplay(ReplayFileName(mission), Best, DataSet, Notice);
    }
    if (ghost) {
        HasBest = true;
        BestWorldFrames = Best.WorldFrames();
        const TCarModel& model = CarModelTable[Best.CarType];
        const TMeshRecord& chassis = Resources().GetMesh(model.Chassis[1]);
        TCarConfig config = ReadCarConfig(CarFilePath(model, "config.dat"));
        WheelRestOffsets(config, chassis.Extent.x, chassis.Extent.z, GhostWheels);
        // The frames keep the point a wheel radius below the body's centre.
        for (auto& wheel : GhostWheels)
            wheel[2] += config.WheelRadius;
        GhostWheelList = Resources().GetMesh(model.Wheel).List;
    }
}

void TReplayRecorder::TakeControls() {
    if (!Recording)
        return;
    TCar* car1 = Host.FirstCar();
    if (Replay) {
        if (ReplayPass >= Replay->Frames.size() || !car1)
            return;
        const TReplayFrame& f = Replay->Frames[ReplayPass];
        car1->InputFlags = uint8_t((car1->InputFlags & ~RequestBits) | (f.Controls & RequestBits));
        car1->ThrottleAmount = AmountOfByte(f.Throttle);
        car1->BrakeAmount = AmountOfByte(f.Brake);
        car1->SteerLeftAmount = AmountOfByte(f.SteerLeft);
        car1->SteerRightAmount = AmountOfByte(f.SteerRight);
        car1->SetLights((f.Controls & REPLAY_LIGHTS) != 0);
        return;
    }
    TReplayFrame f;
    const TKeyBindings& keys = Config().Keys;
    const TKeySnapshot& tickKeys = Host.TickKeys();
    f.Keys = ReplayKeyBits(tickKeys.Now, keys);
    if (Recording->Frames.empty())
        // A game started by the menu in this very pass: the menu took this pass's keys, so none of
        // them is new to the game. Started before the pass, the game saw the keys of the one before.
        Recording->KeysBefore =
            ReplayKeyBits(Host.TickNumber() == RecordingPass ? tickKeys.Now : tickKeys.Before, keys);
    if (car1) {
        f.Controls = uint8_t((car1->InputFlags & RequestBits) | (car1->LightsOn ? REPLAY_LIGHTS : 0));
        f.Throttle = AmountByte(car1->ThrottleAmount);
        f.Brake = AmountByte(car1->BrakeAmount);
        f.SteerLeft = AmountByte(car1->SteerLeftAmount);
        f.SteerRight = AmountByte(car1->SteerRightAmount);
    }
    Recording->Frames.push_back(f);
}

void TReplayRecorder::EndRecordedPass() {
    if (!Recording)
        return;
    bool worldRan = Host.WorldRanThisTick();
    if (worldRan)
        ++WorldPasses;
    if (Replay) {
        ++ReplayPass;
        return;
    }
    if (Recording->Frames.empty())
        return;
    TReplayFrame& f = Recording->Frames.back();
    TCar* car1 = Host.FirstCar();
    if (!car1)
        return;
    if (worldRan)
        f.Controls |= REPLAY_WORLD_RAN;
    dVector3 ground = car1->LocalToWorld(0, 0, -car1->Config.WheelRadius);
    f.X = ground.x;
    f.Y = ground.y;
    f.Z = ground.z;
    const dReal* q = dBodyGetQuaternion(car1->Bodies[0]);
    for (int i = 0; i < 4; ++i)
        f.Q[i] = float(q[i]);
    if (!Host.RunFinished())
        return;
    Recording->Score = Host.Player(1).Score;
    Recording->Time = Host.Player(1).Time;
    LastRun = std::move(*Recording);
    HasLastRun = true;
    Recording.reset();
    KeepBestReplay(LastRun, Notice);
}

void TReplayRecorder::DrawGhost(float fraction) const {
    // The record's pose after as many ticks of its world as this run's world has had, drawn the
    // same fraction of a tick on from the one before.
    if (!HasBest || WorldPasses == 0 || WorldPasses > BestWorldFrames.size())
        return;
    TReplayFrame f = Best.Frames[BestWorldFrames[WorldPasses - 1]];
    if (WorldPasses >= 2 && fraction < 1) {
        const TReplayFrame& from = Best.Frames[BestWorldFrames[WorldPasses - 2]];
        f.X = from.X + (f.X - from.X) * fraction;
        f.Y = from.Y + (f.Y - from.Y) * fraction;
        f.Z = from.Z + (f.Z - from.Z) * fraction;
        float to[4] = {f.Q[0], f.Q[1], f.Q[2], f.Q[3]};
        QuaternionBetween(from.Q, to, fraction, f.Q);
    }
    const TCarModel& model = CarModelTable[Best.CarType];
    // The second player's colours tell the ghost from the player's own car.
    uint32_t chassis = Resources().GetMesh(model.Chassis[1]).List;
    float angle = 2 * std::acos(std::clamp(f.Q[0], -1.0f, 1.0f));
    float s = std::sqrt(std::max(0.0f, 1 - f.Q[0] * f.Q[0]));
    if (!Host.ViewCamera().SphereVisible(VectorMake(f.X, f.Y, f.Z), 4))
        return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glEnable(GL_POLYGON_STIPPLE);
    glPolygonStipple(HalfStipple());
    glPushMatrix();
    glTranslatef(f.X, f.Y, f.Z);
    if (s > 1e-6f)
        glRotatef(Degrees(angle), f.Q[1] / s, f.Q[2] / s, f.Q[3] / s);
    glCallList(chassis);
    // The wheels ride with the body as they were built, neither spinning nor steering: a ghost
    // has no physics to turn them.
    for (int i = 1; i <= 4; ++i) {
        glPushMatrix();
        glTranslatef(GhostWheels[i - 1][0], GhostWheels[i - 1][1], GhostWheels[i - 1][2]);
        glRotatef(90 + WheelDrawTurn(i), 1, 0, 0);
        glCallList(GhostWheelList);
        glPopMatrix();
    }
    glPopMatrix();
    glPopAttrib();
}

void TReplayRecorder::DrawRoutes(float slide, uint32_t mapTexture) const {
    if (!HasLastRun)
        return;
    float x0 = InsetX, y0 = InsetY - slide, scale = InsetSide / MapSide;
    // The square's corners in the 1024 x 512 map picture.
    float u0 = MapPictureX(MapLeft) / 1024, u1 = MapPictureX(MapLeft + MapSide) / 1024;
    float v0 = MapPictureY(MapBottom) / 512, v1 = MapPictureY(MapBottom + MapSide) / 512;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_TEXTURE_2D);
    glColor4ub(255, 255, 255, 255);
    glRectf(x0 - 2, y0 - 2, x0 + InsetSide + 2, y0 + InsetSide + 2);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, mapTexture);
    glBegin(GL_QUADS);
    glTexCoord2f(u0, v0);
    glVertex2f(x0, y0);
    glTexCoord2f(u1, v0);
    glVertex2f(x0 + InsetSide, y0);
    glTexCoord2f(u1, v1);
    glVertex2f(x0 + InsetSide, y0 + InsetSide);
    glTexCoord2f(u0, v1);
    glVertex2f(x0, y0 + InsetSide);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(2);
    auto route = [&](const TReplay& run, uint8_t r, uint8_t g, uint8_t b) {
        glColor4ub(r, g, b, 255);
        glBegin(GL_LINE_STRIP);
        for (const TReplayFrame& f : run.Frames)
            glVertex2f(x0 + (f.X - MapLeft) * scale, y0 + (f.Y - MapBottom) * scale);
        glEnd();
    };
    if (HasBest)
        route(Best, 255, 210, 0); // the record run in gold
    route(LastRun, 230, 20, 20);  // this run in red
    glPopAttrib();
}
