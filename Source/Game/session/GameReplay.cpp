// The game's side of pads and replays: merging the pads into the keys and the car controls,
// starting every game's living city afresh from its own seed (a replay's, with its camera, keys and
// standing second car), and the engine's side of the recorder: the host calls it makes and the
// routes' overlay.
#include "cars/Car.h"
#include "controls/PadControls.h"
#include "player/Config.h"
#include "session/GameEngine.h"
#include "uRandom.h"
#include "ui/MenuImprovedEngine.h"

namespace {

constexpr int StandingCarMission = 5; // the one mission that leaves a second car where it stands

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
    TReplayStandingCar& standing = Recorder.StandingCar;
    standing = {};
    if (mission != StandingCarMission)
        return;
    // The second car an earlier race left behind stays, at rest where it stands: how it was still
    // rolling or rocking would otherwise be part of this game.
    if (replay) {
        standing = replay->SecondCar;
    } else if (TCar* car2 = Car(2)) {
        standing.Present = true;
        standing.Lights = car2->LightsOn;
        standing.CarType = Players[1]->CarType;
        standing.X = car2->PosX;
        standing.Y = car2->PosY;
        standing.Heading = car2->Heading;
    }
    if (!standing.Present) {
        if (Cars[1]) {
            RemoveVehicle(Cars[1].get());
            Cars[1].reset();
        }
        return;
    }
    Players[1]->SetCarType(standing.CarType);
    CreatePlayerCar(2, standing.CarType, standing.X, standing.Y, standing.Heading, false);
    Car(2)->SetLights(standing.Lights);
}

void TGameEngine::DrawRoutes(float slide) {
    if (!Recorder.HasLastRun || !MapPicture)
        return;
    BeginOverlay();
    Recorder.DrawRoutes(slide, MapPicture->Texture);
    EndOverlay();
}

const TKeySnapshot& TGameEngine::TickKeys() const {
    return Keys;
}

bool TGameEngine::WorldRanThisTick() const {
    return GameState == gsInGame && WorldRuns();
}
