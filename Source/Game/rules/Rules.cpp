// The rules of the fifteen games: setting a game up, creating and swapping the player cars, and the
// checks of every frame — stations, warnings, the clock, targets and scoring, the cargo of mission 10,
// the race for two with its extra points and catch-up pause, and winning.
#include "cars/Car.h"
#include "session/GameEngine.h"
#include "sprites/GoSprite.h"
#include "sprites/HintSprite.h"
#include "cars/PlayerCars.h"
#include "Sound.h"
#include "uAngles.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t CatchUpFrames = 300;
constexpr float CatchUpDistance = 12;   // units between the cars that end a leg of a race
constexpr int32_t MapHintDelay = 300;   // frames after the first start before the TAB hint
constexpr int32_t OverturnedLimit = 300; // frames tipped over before the car is set upright
// The body's up axis below this (of 1), a tilt of more than about 32 degrees, counts as tipped over:
// on its side or roof, or propped up on another car with its wheels in the air. No car leans that
// far on its own wheels.
constexpr float UprightLimit = 0.85f;
constexpr float StillSpeed = 0.5f;      // metres per second
constexpr int CargoMission = 10;
constexpr float CarGap = 0.5f;          // metres of air between two cars placed side by side or nose to tail

float Distance(float ax, float ay, float bx, float by) { return std::hypot(ax - bx, ay - by); }

} // namespace

void TGameEngine::StartMission(int n) {
    Mission = uint8_t(n);
    RunFrames = 0;
    StartCityAfresh(n);
    for (auto& player : Players)
        player->Reset();
    ShowMap = true;
    Traffic->SetPedestrianCount(30);
    Traffic->SetCarCount(3);
    SetParticleEffect(ParticleNone);
    if (CameraMode == 2)
        SetCameraMode(0);
    Players[0]->Time = 0;
    Players[0]->Score = 0;
    Players[0]->ScoreCounter = 0;
    OverturnedFrames[0] = OverturnedFrames[1] = 0;
    Finished = false;
    CatchUpCountdown = 0;
    if (!MapHintShown && MapHintCountdown < 0)
        MapHintCountdown = MapHintDelay;

    if (IsMission(n)) {
        const TMissionSetup& setup = MissionSetups[n];
        Traffic->SetCarCount(setup.TrafficCars);
        Traffic->SetPedestrianCount(setup.Pedestrians);
        SetTimeOfDay(setup.Hour);
        Targets->Clear();
        Targets->Mode = tmOrdered;
        for (const TMapPoint& target : MissionRoute(n))
            Targets->Add(0, 0, target.X, target.Y);
        Players[0]->ParTime = setup.ParTime;
        Players[0]->HudSymbols = HudTime | HudTargets;
        if (n == CargoMission)
            Players[0]->HudSymbols |= HudLoad | HudFragile;
        CreatePlayerCar(1, Players[0]->CarType, setup.Start[0].X, setup.Start[0].Y, setup.Heading, n != 5);
        GoSprite->Start();
        ShowSprite(GoSprite.get());
        SetParticleEffect(setup.Snow ? ParticleSnow : ParticleNone, Resources().GetTexture("star"));
        Sound().PlaySong(Resources().GetModule("music"), setup.MusicOrder);
    } else if (IsRace(n)) {
        const TMissionSetup& setup = MissionSetups[n];
        SetCameraMode(2);
        Traffic->SetCarCount(0);
        Traffic->SetPedestrianCount(setup.Pedestrians);
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
        GoSprite->Start();
        ShowSprite(GoSprite.get());
        SetParticleEffect(ParticleSnow, Resources().GetTexture("star"));
        Sound().PlaySong(Resources().GetModule("music"), setup.MusicOrder);
    }
    Hud.ResetCameraTrail();
    StartRecording(n);
}

void TGameEngine::CreatePlayerCar(int player, int carType, float x, float y, float heading, bool removeSecondCar) {
    if (player != 1 && player != 2)
        throw ERangeError("Player " + std::to_string(player) + " out of range");
    std::unique_ptr<TCar>& slot = Cars[size_t(player - 1)];
    if (slot) {
        RemoveVehicle(slot.get());
        slot.reset();
    }
    slot = ::CreatePlayerCar(carType, *this, City.Cells, player);
    if (player == 1) {
        WarnFuel = slot->Fuel;
        WarnDamage = slot->Damage;
        WarnCargo = slot->CargoDamage;
    }
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
        Highscores.Save(Setup.HighscoreFile);
}

void TGameEngine::UpdateRules() {
    TCar& car1 = *Car(1);
    TPlayerData& p1 = *Players[0];
    float x = car1.PosX, y = car1.PosY;
    MapX = x;
    MapY = y;

    bool still = car1.GetSpeed() < 1.0f;
    AtGasStation = AtService = false;
    for (const TMapRect& area : GasStationAreas)
        AtGasStation = AtGasStation || (still && PointInRect(x, y, area));
    for (const TMapRect& area : ServiceAreas)
        AtService = AtService || (still && PointInRect(x, y, area));

    // The car keeps its previous damage only from crash to crash, so the rules keep their own
    // values of the last frame: each warning fires once, on the frame its value crosses.
    if (car1.Damage >= 90 && WarnDamage < 90)
        ShowHint(HintBadlyDamaged);
    if (car1.CargoDamage >= 5 && WarnCargo < 5 && p1.Load.Total() > 0)
        ShowHint(HintCargo);
    if (car1.Fuel <= 10 && WarnFuel > 10)
        ShowHint(HintFuelLow);
    WarnFuel = car1.Fuel;
    WarnDamage = car1.Damage;
    WarnCargo = car1.CargoDamage;

    TCar* car2 = Car(2);
    if (TwoPlayer && car2) {
        Targets->Check(1, x, y);
        Targets->Check(2, car2->PosX, car2->PosY);
        Targets->UpdateLocators((x + car2->PosX) / 2, (y + car2->PosY) / 2);
    } else {
        Targets->Check(1, x, y);
        Targets->UpdateLocators(x, y);
    }
    int32_t reached = Targets->LastReached;
    if (!Targets->IsEmpty())
        p1.Tick();
    if (p1.Load.Total() == 0)
        car1.CargoDamage = 0;
    if (CountdownRunning())
        for (auto& player : Players)
            player->Time = 0;

    if (MapHintCountdown > 0 && --MapHintCountdown == 0) {
        if (HintSprite->Alive)
            MapHintCountdown = 1; // try again once the current hint has gone
        else {
            // Named by the key player 1 chose; without a map key there is nothing to say.
            const TKeyBindings& keys = ActiveKeys();
            if (std::string english = MapHintText(keys, 0); !english.empty())
                ShowHint(english, MapHintText(keys, 1));
            MapHintShown = true;
        }
    }
    RecoverOverturnedCar();

    if (IsMission(Mission)) {
        if (reached != -1 && p1.Time != 0) {
            double points = 300000.0 * double(Targets->AddedCount - reached) / (1000.0 * double(p1.Time));
            p1.AddScore(int32_t(std::nearbyint(points)));
        }
        if (Mission == CargoMission)
            UpdateCargo();
        if (Targets->IsEmpty() && !Finished) {
            Finished = true;
            InsertHighscore();
            ShowMenu(msSingleResult);
        }
    } else if (IsRace(Mission) && car2) {
        if (Targets->Count() == 0) {
            if (!Finished)
                ShowMenu(msRaceResult);
            Finished = true;
            return;
        }
        const TTarget& active = Targets->Targets.back();
        float d1 = Distance(x, y, active.X, active.Y);
        float d2 = Distance(car2->PosX, car2->PosY, active.X, active.Y);
        float d12 = Distance(x, y, car2->PosX, car2->PosY);
        int leader = d1 >= d2 ? 2 : 1;
        if (d12 > CatchUpDistance && CatchUpCountdown <= 0) {
            TCar& lead = *Car(leader);
            CatchUpPoint[0] = lead.PosX;
            CatchUpPoint[1] = lead.PosY;
            Players[size_t(leader - 1)]->ExtraPoints += 1;
            CatchUpCountdown = CatchUpFrames;
            PlaySample("cargo_load");
            const std::string& nick = Players[size_t(leader - 1)]->Nick;
            auto texts = PairText(ExtraScoresText);
            ShowHint(FormatMessage(texts[0], nick), FormatMessage(texts[1], nick));
        } else if (CatchUpCountdown == 1) {
            TCar& lead = *Car(leader);
            float lx = lead.PosX, ly = lead.PosY, lh = lead.Heading;
            // The other car goes right behind the leader, in its track, far enough not to touch it.
            int other = 3 - leader;
            float gap = (lead.Length + Car(other)->Length) / 2 + CarGap;
            float h = Radians(lh);
            float ox = lx + gap * std::cos(h), oy = ly + gap * std::sin(h);
            if (leader == 2) {
                CreatePlayerCar(1, Players[0]->CarType, ox, oy, lh, false);
                CreatePlayerCar(2, Players[1]->CarType, lx, ly, lh, false);
            } else {
                CreatePlayerCar(2, Players[1]->CarType, ox, oy, lh, false);
                CreatePlayerCar(1, Players[0]->CarType, lx, ly, lh, false);
            }
            if (Mission == 13)
                for (auto& car : Cars)
                    car->SetLights(true);
            RunFrames = 0;
        }
    }
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

// Mission 10: every target reached takes one box of tonic on board while there is room; the
// finish unloads them all.
void TGameEngine::UpdateCargo() {
    TPlayerData& p1 = *Players[0];
    if (Targets->LastReached == -1)
        return;
    if (Targets->IsEmpty()) {
        if (p1.Load.Total() > 0)
            PlaySample("cargo_unload");
        p1.Load.Clear();
        return;
    }
    if (p1.Load.Total() < p1.Load.Capacity) {
        p1.Load.Items[0] += 1;
        PlaySample("cargo_load");
    } else {
        ShowHint(HintCargoFull);
    }
}

// A car left tipped over (on its side or roof, or lying on another car), almost still, for three
// seconds is set back on its wheels where it lies, at its heading, keeping its fuel, damage and cargo.
void TGameEngine::RecoverOverturnedCar() {
    for (int p = 1; p <= 2; ++p) {
        TCar* car = Car(p);
        int32_t& frames = OverturnedFrames[p - 1];
        if (!car || car->GetRotation()[10] >= UprightLimit || car->GetSpeed() >= StillSpeed) {
            frames = 0;
            continue;
        }
        if (++frames < OverturnedLimit)
            continue;
        frames = 0;
        float fuel = car->Fuel, damage = car->Damage, cargo = car->CargoDamage;
        bool lights = car->LightsOn;
        CreatePlayerCar(p, Players[size_t(p - 1)]->CarType, car->PosX, car->PosY, car->Heading, false);
        TCar& fresh = *Car(p);
        fresh.Fuel = fresh.PrevFuel = fuel;
        fresh.Damage = fresh.PrevDamage = damage;
        fresh.CargoDamage = fresh.PrevCargoDamage = cargo;
        fresh.SetLights(lights);
        if (p == 1) {
            WarnFuel = fuel;
            WarnDamage = damage;
            WarnCargo = cargo;
        }
        ShowHint(HintBackOnWheels);
    }
}
