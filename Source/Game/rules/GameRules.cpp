// The rules of every tick while a game runs (see GameRules.h).
#include "rules/GameRules.h"

#include "cars/Car.h"
#include "controls/KeyBindings.h"
#include "player/PlayerData.h"
#include "rules/TargetEngine.h"
#include "uAngles.h"
#include "uByteReader.h"
#include "uByteWriter.h"
#include "uErrors.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t CatchUpFrames = 300;
constexpr float CatchUpDistance = 12;    // units between the cars that end a leg of a race
constexpr int32_t MapHintDelay = 300;    // frames after the first start before the TAB hint
constexpr int32_t OverturnedLimit = 300; // frames tipped over before the car is set upright
// The body's up axis below this (of 1), a tilt of more than about 32 degrees, counts as tipped over:
// on its side or roof, or propped up on another car with its wheels in the air. No car leans that
// far on its own wheels.
constexpr float UprightLimit = 0.85f;
constexpr float StillSpeed = 0.5f; // metres per second

float Distance(float ax, float ay, float bx, float by) {
    return std::hypot(ax - bx, ay - by);
}

} // namespace

TGameRules::TGameRules(TRulesHost& host) : Host(host) {}

void TGameRules::Start() {
    CountdownTicks = -1;
    OverturnedFrames[0] = OverturnedFrames[1] = 0;
    Finished = false;
    CatchUpCountdown = 0;
    if (!MapHintShown && MapHintCountdown < 0)
        MapHintCountdown = MapHintDelay;
}

void TGameRules::KeepWarningsOf(const TCar& car) {
    WarnFuel = car.Fuel;
    WarnDamage = car.Damage;
    WarnCargo = car.CargoDamage;
}

void TGameRules::ShowHint(const TTextPair& pair) {
    auto texts = PairText(pair);
    Host.ShowHint(texts[0], texts[1]);
}

void TGameRules::Update() {
    TCar& car1 = *Host.PlayerCar(1);
    TPlayerData& p1 = Host.Player(1);
    float x = car1.PosX, y = car1.PosY;
    Host.SetMapPosition(x, y);
    TTargetEngine& targets = Host.GameTargets();

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

    TCar* car2 = Host.PlayerCar(2);
    if (Host.IsTwoPlayer() && car2) {
        targets.Check(1, x, y);
        targets.Check(2, car2->PosX, car2->PosY);
        targets.UpdateLocators((x + car2->PosX) / 2, (y + car2->PosY) / 2);
    } else {
        targets.Check(1, x, y);
        targets.UpdateLocators(x, y);
    }
    int32_t reached = targets.LastReached;
    if (!targets.IsEmpty())
        p1.Tick();
    if (p1.Load.Total() == 0)
        car1.CargoDamage = 0;
    if (Host.CountdownRunning())
        for (int p = 1; p <= 2; ++p)
            Host.Player(p).Time = 0;

    if (MapHintCountdown > 0 && --MapHintCountdown == 0) {
        if (Host.HintShowing())
            MapHintCountdown = 1; // try again once the current hint has gone
        else {
            // Named by the key player 1 chose; without a map key there is nothing to say.
            const TKeyBindings& keys = Host.ActiveKeys();
            if (std::string english = MapHintText(keys, 0); !english.empty())
                Host.ShowHint(english, MapHintText(keys, 1));
            MapHintShown = true;
        }
    }
    RecoverOverturnedCar();
    // A car set back on its wheels is another object: the old pointer is gone.
    car2 = Host.PlayerCar(2);

    const uint8_t mission = Host.RunningMission();
    if (IsMission(mission)) {
        if (reached != -1 && p1.Time != 0) {
            double points = 300000.0 * double(targets.AddedCount - reached) / (1000.0 * double(p1.Time));
            p1.AddScore(int32_t(std::nearbyint(points)));
        }
        if (mission == CargoMission)
            UpdateCargo();
        if (targets.IsEmpty() && !Finished) {
            Finished = true;
            Host.MissionWon();
        }
    } else if (IsRace(mission) && car2) {
        if (targets.Count() == 0) {
            if (!Finished)
                Host.RaceOver();
            Finished = true;
            return;
        }
        const TTarget& active = targets.Targets.back();
        float d1 = Distance(x, y, active.X, active.Y);
        float d2 = Distance(car2->PosX, car2->PosY, active.X, active.Y);
        float d12 = Distance(x, y, car2->PosX, car2->PosY);
        int leader = d1 >= d2 ? 2 : 1;
        if (d12 > CatchUpDistance && CatchUpCountdown <= 0) {
            TCar& lead = *Host.PlayerCar(leader);
            CatchUpPoint[0] = lead.PosX;
            CatchUpPoint[1] = lead.PosY;
            Host.Player(leader).ExtraPoints += 1;
            CatchUpCountdown = CatchUpFrames;
            Host.PlaySample("cargo_load");
            const std::string& nick = Host.Player(leader).Nick;
            auto texts = PairText(ExtraScoresText);
            Host.ShowHint(FormatMessage(texts[0], nick), FormatMessage(texts[1], nick));
        } else if (CatchUpCountdown == 1) {
            TCar& lead = *Host.PlayerCar(leader);
            float lx = lead.PosX, ly = lead.PosY, lh = lead.Heading;
            // The other car goes right behind the leader, in its track, far enough not to touch it.
            int other = 3 - leader;
            float gap = (lead.Length + Host.PlayerCar(other)->Length) / 2 + CarGap;
            float h = Radians(lh);
            float ox = lx + gap * std::cos(h), oy = ly + gap * std::sin(h);
            if (leader == 2) {
                Host.CreatePlayerCar(1, Host.Player(1).CarType, ox, oy, lh, false);
                Host.CreatePlayerCar(2, Host.Player(2).CarType, lx, ly, lh, false);
            } else {
                Host.CreatePlayerCar(2, Host.Player(2).CarType, ox, oy, lh, false);
                Host.CreatePlayerCar(1, Host.Player(1).CarType, lx, ly, lh, false);
            }
            if (mission == 13)
                for (int p = 1; p <= 2; ++p)
                    Host.PlayerCar(p)->SetLights(true);
            Host.RestartNameTags();
        }
    }
}

// Mission 10: every target reached takes one box of tonic on board while there is room; the
// finish unloads them all.
void TGameRules::UpdateCargo() {
    TPlayerData& p1 = Host.Player(1);
    TTargetEngine& targets = Host.GameTargets();
    if (targets.LastReached == -1)
        return;
    if (targets.IsEmpty()) {
        if (p1.Load.Total() > 0)
            Host.PlaySample("cargo_unload");
        p1.Load.Clear();
        return;
    }
    if (p1.Load.Total() < p1.Load.Capacity) {
        p1.Load.Items[0] += 1;
        Host.PlaySample("cargo_load");
    } else {
        ShowHint(HintCargoFull);
    }
}

// A car left tipped over (on its side or roof, or lying on another car), almost still, for three
// seconds is set back on its wheels where it lies, at its heading, keeping its fuel, damage and cargo.
void TGameRules::RecoverOverturnedCar() {
    for (int p = 1; p <= 2; ++p) {
        TCar* car = Host.PlayerCar(p);
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
        Host.CreatePlayerCar(p, Host.Player(p).CarType, car->PosX, car->PosY, car->Heading, false);
        TCar& fresh = *Host.PlayerCar(p);
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

void TGameRules::Save(TByteWriter& out) const {
    for (bool flag : {AtGasStation, AtService, MapHintShown, Finished})
        out.Bool(flag);
    for (int32_t value : {CountdownTicks, CatchUpCountdown, MapHintCountdown, OverturnedFrames[0], OverturnedFrames[1]})
        out.I32(value);
    for (float value : {CatchUpPoint[0], CatchUpPoint[1], WarnFuel, WarnDamage, WarnCargo})
        out.F32(value);
}

void TGameRules::Restore(TByteReader& in) {
    for (bool* flag : {&AtGasStation, &AtService, &MapHintShown, &Finished})
        *flag = in.Bool("the rules' flags");
    for (int32_t* value : {&CountdownTicks, &CatchUpCountdown, &MapHintCountdown, &OverturnedFrames[0], &OverturnedFrames[1]})
        *value = in.I32("the rules' counters");
    for (float* value : {&CatchUpPoint[0], &CatchUpPoint[1], &WarnFuel, &WarnDamage, &WarnCargo})
        *value = in.F32("the rules' values");
}
