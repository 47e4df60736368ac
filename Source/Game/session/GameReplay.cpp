// The game's side of pads, replays and the ghost: merging the pads into the keys and the car
// controls, starting every game's living city afresh from its own seed, recording a one-player run
// tick by tick and keeping the best one, feeding a recorded run back in tick by tick, drawing the
// record run as a half-transparent ghost (body and wheels) that never enters the physics world, and both runs'
// routes on the city map of the result screen.
#include "cars/Car.h"
#include "player/Config.h"
#include "session/GameEngine.h"
#include "ui/MenuImprovedEngine.h"
#include "controls/PadControls.h"
#include "uMapCoords.h"
#include "uRandom.h"
#include "uAngles.h"

#include <GL/gl.h>
#include <cmath>
#include <cstring>

namespace {

constexpr int StandingCarMission = 5; // the one mission that leaves a second car where it stands
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

void TGameEngine::MergePads() {
    bool inMenu = Menu->Screen != msNone || GameState != gsInGame;
    for (int i = 0; i < MaxPads; ++i)
        MergePadKeys(Pads[i], i + 1, inMenu, ActiveKeys(), Keys.Now);
}

void TGameEngine::DrivePadCars(TCar* car1, TCar* car2) {
    if (car1)
        DriveWithPad(Pads[0], *car1);
    if (TwoPlayer && car2)
        DriveWithPad(Pads[1], *car2);
}

uint64_t TGameEngine::DataSetOfRuns() {
    if (DataSet == 0)
        DataSet = DigestDataSet();
    return DataSet;
}

void TGameEngine::StartCityAfresh(int mission) {
    const TReplay* replay = Setup.Replay && Setup.Replay->Mission == mission ? Setup.Replay : nullptr;
    // The session's first game plays from the session's own seed, every later one from a seed drawn
    // from the sequence: a seeded session still repeats game after game, and the game's own numbers
    // follow from its seed alone. Relit in the order the loader lit them, the lamps then draw what
    // they drew as the city was loaded, so the first game of a seeded start sees the very numbers it
    // always saw.
    ReseedRandom(replay ? replay->Seed : StartedAGame ? DrawSeed() : RandomSeed());
    StartedAGame = true;
    Traffic->Clear();
    Traffic->Gore = replay ? replay->Gore : Config().Carmageddon;
    for (auto& lamp : City.Lamps)
        lamp->Relight();
    Rules.AtGasStation = Rules.AtService = false;
    if (replay) {
        SetCameraMode(replay->CameraMode);
        Camera.Distance = replay->CameraDistance;
        SetReplayKeys(replay->KeysBefore, Keys.Before);
    }
    StandingCar = {};
    if (mission != StandingCarMission)
        return;
    // The second car an earlier race left behind stays, at rest where it stands: how it was still
    // rolling or rocking would otherwise be part of this game.
    if (replay) {
        StandingCar = replay->SecondCar;
    } else if (TCar* car2 = Car(2)) {
        StandingCar.Present = true;
        StandingCar.Lights = car2->LightsOn;
        StandingCar.CarType = Players[1]->CarType;
        StandingCar.X = car2->PosX;
        StandingCar.Y = car2->PosY;
        StandingCar.Heading = car2->Heading;
    }
    if (!StandingCar.Present) {
        if (Cars[1]) {
            RemoveVehicle(Cars[1].get());
            Cars[1].reset();
        }
        return;
    }
    Players[1]->SetCarType(StandingCar.CarType);
    CreatePlayerCar(2, StandingCar.CarType, StandingCar.X, StandingCar.Y, StandingCar.Heading, false);
    Car(2)->SetLights(StandingCar.Lights);
}

void TGameEngine::StartRecording(int mission) {
    Recording.reset();
    HasBest = false;
    BestWorldFrames.clear();
    WorldPasses = 0;
    ReplayPass = 0;
    RecordingPass = KeyboardPasses;
    // The record fetched from the server is for this game only, whichever it is.
    std::unique_ptr<TReplay> record = std::move(RecordToRace);
    if (TwoPlayer || !IsMission(mission))
        return;
    Recording = std::make_unique<TReplay>();
    Recording->Mission = uint8_t(mission);
    Recording->CarType = Players[0]->CarType;
    Recording->Seed = RandomSeed();
    Recording->DataSet = DataSet;
    Recording->Gore = Traffic->Gore;
    Recording->CameraMode = CameraMode;
    Recording->CameraDistance = Camera.Distance;
    Recording->SecondCar = StandingCar;
    Recording->Nick = Players[0]->Nick;
    // The record fetched from the server goes before the player's own best run; neither when a
    // replay drives the car.
    bool ghost = false;
    if (!Setup.Replay && record && record->Mission == mission) {
        Best = std::move(*record);
        ghost = true;
    } else if (!Setup.Replay && Config().Ghosts) {
        ghost = LoadReplay(ReplayFileName(mission), Best, DataSet, Setup.Notice);
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

// After the keys and pads of a pass were handled: a replay puts its recorded controls on the car,
// a recording notes them.
void TGameEngine::TakeControls() {
    if (!Recording)
        return;
    TCar* car1 = Car(1);
    if (Setup.Replay) {
        if (ReplayPass >= Setup.Replay->Frames.size() || !car1)
            return;
        const TReplayFrame& f = Setup.Replay->Frames[ReplayPass];
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
    f.Keys = ReplayKeyBits(Keys.Now, keys);
    if (Recording->Frames.empty())
        // A game started by the menu in this very pass: the menu took this pass's keys, so none of
        // them is new to the game. Started before the pass, the game saw the keys of the one before.
        Recording->KeysBefore = ReplayKeyBits(KeyboardPasses == RecordingPass ? Keys.Now : Keys.Before, keys);
    if (car1) {
        f.Controls = uint8_t((car1->InputFlags & RequestBits) | (car1->LightsOn ? REPLAY_LIGHTS : 0));
        f.Throttle = AmountByte(car1->ThrottleAmount);
        f.Brake = AmountByte(car1->BrakeAmount);
        f.SteerLeft = AmountByte(car1->SteerLeftAmount);
        f.SteerRight = AmountByte(car1->SteerRightAmount);
    }
    Recording->Frames.push_back(f);
}

// After the pass was drawn: the car's pose goes with the pass's controls; a finished run is kept
// when it beats the record.
void TGameEngine::EndRecordedPass() {
    if (!Recording)
        return;
    bool worldRan = GameState == gsInGame && WorldRuns();
    if (worldRan)
        ++WorldPasses;
    if (Setup.Replay) {
        ++ReplayPass;
        return;
    }
    if (Recording->Frames.empty())
        return;
    TReplayFrame& f = Recording->Frames.back();
    TCar* car1 = Car(1);
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
    if (!Rules.Finished)
        return;
    Recording->Score = Players[0]->Score;
    Recording->Time = Players[0]->Time;
    LastRun = std::move(*Recording);
    HasLastRun = true;
    Recording.reset();
    KeepBestReplay(LastRun, Setup.Notice);
}

void TGameEngine::DrawGhost(float fraction) {
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
    if (!Camera.SphereVisible(VectorMake(f.X, f.Y, f.Z), 4))
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

void TGameEngine::DrawRoutes(float slide) {
    if (!HasLastRun || !MapPicture)
        return;
    float x0 = InsetX, y0 = InsetY - slide, scale = InsetSide / MapSide;
    // The square's corners in the 1024 x 512 map picture.
    float u0 = MapPictureX(MapLeft) / 1024, u1 = MapPictureX(MapLeft + MapSide) / 1024;
    float v0 = MapPictureY(MapBottom) / 512, v1 = MapPictureY(MapBottom + MapSide) / 512;
    BeginOverlay();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_TEXTURE_2D);
    glColor4ub(255, 255, 255, 255);
    glRectf(x0 - 2, y0 - 2, x0 + InsetSide + 2, y0 + InsetSide + 2);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, MapPicture->Texture);
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
    EndOverlay();
}
