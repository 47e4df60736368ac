// Setting a game up: the living city started afresh from the game's own seed, its mission's
// traffic, hour, targets, HUD symbols, music and snow, the player cars at their starting places, and
// the highscore of a won run.
#include "session/GameEngine.h"

#include "Sound.h"
#include "cars/Car.h"
#include "cars/PlayerCars.h"
#include "player/Config.h"
#include "sprites/GoSprite.h"
#include "uByteWriter.h"
#include "uRandom.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int StandingCarMission = 5; // the one mission that leaves a second car where it stands

} // namespace

void TGameEngine::StartMission(int n) {
    Mission = uint8_t(n);
    RunFrames = 0;
    StartCityAfresh(n);
    Guide.Forget();
    for (auto& player : Players)
        player->Reset();
    ShowMap = true;
    Traffic->SetPedestrianCount(30);
    Traffic->SetCarCount(3);
    SetParticleEffect(ParticleNone);
    // A one-player game starts in the view the player chose last; a replay in its own.
    if (!(Setup.Replay && Setup.Replay->Mission == n))
        SetCameraMode(Config().CameraView);
    Players[0]->Time = 0;
    Players[0]->Score = 0;
    Players[0]->ScoreCounter = 0;
    Rules.Start();

    if (IsMission(n)) {
        const TMissionSetup& setup = MissionSetups[n];
        Traffic->SetCarCount(setup.TrafficCars);
        Traffic->SetPedestrianCount(LivingCount(setup.Pedestrians));
        SetTimeOfDay(setup.Hour);
        Targets->Clear();
        Targets->Mode = tmOrdered;
        for (const TMapPoint& target : MissionRoute(n))
            Targets->Add(0, 0, target.X, target.Y);
        Players[0]->ParTime = setup.ParTime;
        // The tank and the damage are always in view: either can end the run.
        Players[0]->HudSymbols = HudFuel | HudDamage | HudTime | HudTargets;
        if (n == CargoMission)
            Players[0]->HudSymbols |= HudLoad | HudFragile;
        CreatePlayerCar(1, Players[0]->CarType, setup.Start[0].X, setup.Start[0].Y, setup.Heading, n != 5);
        Rules.StartCountdown();
        Loader.Sprites.GoSprite->Start();
        ShowSprite(Loader.Sprites.GoSprite.get());
        SetParticleEffect(setup.Snow ? ParticleSnow : ParticleNone, Resources().GetTexture("star"));
        Sound().PlaySong(Resources().GetModule("music"), setup.MusicOrder);
    } else if (IsRace(n)) {
        const TMissionSetup& setup = MissionSetups[n];
        SetCameraMode(2);
        Traffic->SetCarCount(0);
        Traffic->SetPedestrianCount(LivingCount(setup.Pedestrians));
        SetTimeOfDay(setup.Hour);
        Players[0]->ExtraPoints = Players[1]->ExtraPoints = 0;
        Targets->Clear();
        Targets->Mode = tmOrdered;
        bool first = true;
        for (const TMapPoint& target : MissionRoute(n)) {
            Targets->Add(first ? setup.FinishPoints : 1, 0, target.X, target.Y);
            first = false;
        }
        CreatePlayerCar(1, Players[0]->CarType, setup.Start[0].X, setup.Start[0].Y, setup.Heading, false);
        CreatePlayerCar(2, Players[1]->CarType, setup.Start[1].X, setup.Start[1].Y, setup.Heading, false);
        SpreadStartingCars(setup.Start[0], setup.Start[1]);
        if (setup.LightsOn)
            for (auto& car : Cars)
                car->SetLights(true);
        Rules.StartCountdown();
        Loader.Sprites.GoSprite->Start();
        ShowSprite(Loader.Sprites.GoSprite.get());
        SetParticleEffect(ParticleSnow, Resources().GetTexture("star"));
        Sound().PlaySong(Resources().GetModule("music"), setup.MusicOrder);
    }
    Hud.ResetCameraTrail();
    Recorder.StartRecording(n);
    StartWorld.clear();
    if (IsGame(n)) {
        TByteWriter out;
        SaveWorld(out);
        StartWorld = std::move(out.Bytes);
    }
}

void TGameEngine::ShowRestart() {
    const int n = Mission;
    const TMissionSetup& setup = MissionSetups[n];
    Guide.Forget();
    ShowMap = true;
    if (IsMission(n)) {
        if (!(Setup.Replay && Setup.Replay->Mission == n))
            SetCameraMode(Config().CameraView);
        SetParticleEffect(setup.Snow ? ParticleSnow : ParticleNone, Resources().GetTexture("star"));
    } else {
        SetCameraMode(2);
        SetParticleEffect(ParticleSnow, Resources().GetTexture("star"));
    }
    Loader.Sprites.GoSprite->Start();
    ShowSprite(Loader.Sprites.GoSprite.get());
    Sound().PlaySong(Resources().GetModule("music"), setup.MusicOrder);
    Hud.ResetCameraTrail();
    Recorder.StartRecording(n);
}

void TGameEngine::StartCityAfresh(int mission) {
    const TReplay* replay = Setup.Replay && Setup.Replay->Mission == mission ? Setup.Replay : nullptr;
    // The session's first game plays from the session's own seed, every later one from a seed drawn
    // from the sequence: a seeded session still repeats game after game, and the game's own numbers
    // follow from its seed alone. The lamps relit after it flicker as in every game of that seed.
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

void TGameEngine::CreatePlayerCar(int player, int carType, float x, float y, float heading,
                                  bool removeSecondCar) {
    if (player != 1 && player != 2)
        throw ERangeError("Player " + std::to_string(player) + " out of range");
    std::unique_ptr<TCar>& slot = Cars[size_t(player - 1)];
    if (slot) {
        RemoveVehicle(slot.get());
        slot.reset();
    }
    slot = ::CreatePlayerCar(carType, *this, City.Cells, player);
    if (player == 1)
        Rules.KeepWarningsOf(*slot);
    slot->SetPosition(x, y);
    slot->SetHeading(heading);
    AddVehicle(slot.get());
    if (removeSecondCar && Cars[1]) {
        RemoveVehicle(Cars[1].get());
        Cars[1].reset();
    }
}

void TGameEngine::InsertHighscore() {
    const TPlayerData& p1 = *Players[0];
    LastRunMission = p1.Mission;
    LastRunRank = Highscores.Insert(p1.Mission, p1.Nick, p1.CarType, p1.Score, p1.Time);
    // Saved at once: a crash later in the run cannot lose the record.
    if (!Setup.HighscoreFile.empty())
        Highscores.Save(Setup.HighscoreFile, Setup.Notice);
}

// The two cars of a race stand side by side about the middle of their starting places, far enough
// apart for their widths: the wider cars would otherwise start inside each other and be flung apart.
void TGameEngine::SpreadStartingCars(const TMapPoint& first, const TMapPoint& second) {
    TCar& car1 = *Car(1);
    TCar& car2 = *Car(2);
    float dx = second.X - first.X, dy = second.Y - first.Y;
    float apart = std::hypot(dx, dy);
    float wanted = std::max(apart, (car1.Width + car2.Width) / 2 + CarGap);
    float mx = (first.X + second.X) / 2, my = (first.Y + second.Y) / 2;
    float ux = dx / apart, uy = dy / apart;
    car1.SetPosition(mx - ux * wanted / 2, my - uy * wanted / 2);
    car2.SetPosition(mx + ux * wanted / 2, my + uy * wanted / 2);
}
