// The game state as one JSON line, written every frame when asked for, so tests and tools read what
// the game knows instead of guessing it from pixels.
#include "traffic/AICar.h"
#include "cars/Car.h"
#include "sprites/CheckpointSprite.h"
#include "session/GameEngine.h"
#include "sprites/GoSprite.h"
#include "player/Config.h"
#include "sprites/HintSprite.h"
#include "traffic/HumanMesh.h"
#include "sprites/LocatorSprite.h"
#include "ui/MenuImprovedEngine.h"
#include "Sound.h"
#include "sprites/TargetSprite.h"
#include "uText1250.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

std::string JsonString(const std::string& cp1250) {
    std::string utf8 = Cp1250ToUtf8(cp1250), out = "\"";
    for (char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Millimetres are enough and keep the lines short; a NaN or infinity becomes null.
std::string Number(double value) {
    if (!std::isfinite(value))
        return "null";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    return buffer;
}

} // namespace

std::string TGameEngine::StateJson() const {
    std::ostringstream out;
    // "frame" counts the ticks so far (the number --shot and --frames take); "pass" is the tick this
    // line ends, whose keys a controller has answered: it answers for the next one.
    out << "{\"frame\":" << KeyboardPasses << ",\"pass\":" << int64_t(KeyboardPasses) - 1
        << ",\"state\":" << int(GameState) << ",\"mission\":" << int(Mission)
        << ",\"menu\":" << int(Menu->Screen) << ",\"twoPlayer\":" << (TwoPlayer ? "true" : "false")
        << ",\"runFrames\":" << RunFrames << ",\"cameraMode\":" << int(CameraMode)
        << ",\"cameraDistance\":" << Number(Camera.Distance) << ",\"timeOfDay\":" << TimeOfDay
        << ",\"darkness\":" << Darkness << ",\"particles\":" << ParticleType
        << ",\"showMap\":" << (ShowMap ? "true" : "false")
        << ",\"atGasStation\":" << (Rules.AtGasStation ? "true" : "false")
        << ",\"atService\":" << (Rules.AtService ? "true" : "false") << ",\"catchUp\":" << Rules.CatchUpCountdown
        << ",\"debug\":" << (DebugOverlay ? "true" : "false");
    out << ",\"menuItem\":" << Menu->Selected << ",\"singleTrack\":" << int(Menu->SingleTrack)
        << ",\"raceTrack\":" << int(Menu->RaceTrack) << ",\"highscoreTrack\":" << int(Menu->HighscoreTrack)
        << ",\"carChoice\":" << int(Menu->CarChoice) << ",\"submitted\":" << (Menu->Submitted ? "true" : "false")
        << ",\"language\":" << int(Config().Language) << ",\"musicVolume\":" << Sound().MusicVolume
        << ",\"sfxVolume\":" << Sound().SFXVolume << ",\"channelVolumes\":[" << Sound().Mixer().Volume(0) << ","
        << Sound().Mixer().Volume(1) << "]";
    out << ",\"keyNote\":" << JsonString(Menu->Note[0]) << ",\"capturing\":" << (Menu->Capturing ? "true" : "false")
        << ",\"rumble\":[" << Number(RumbleAsked[0]) << "," << Number(RumbleAsked[1]) << "]";
    out << ",\"countdown\":" << (GoSprite && GoSprite->Alive ? GoSprite->Phase : 0);
    out << ",\"hint\":" << (HintSprite && HintSprite->Alive ? JsonString(HintSprite->Text[0]) : "null");
    out << ",\"cars\":[";
    for (int p = 1; p <= 2; ++p) {
        TCar* car = Car(p);
        if (p == 2)
            out << ",";
        if (!car) {
            out << "null";
            continue;
        }
        out << "{\"x\":" << Number(car->PosX) << ",\"y\":" << Number(car->PosY)
            << ",\"heading\":" << Number(car->Heading) << ",\"speed\":" << Number(car->GetSpeed())
            << ",\"upright\":" << Number(car->GetRotation()[10]) << ",\"fuel\":" << Number(car->Fuel)
            << ",\"damage\":" << Number(car->Damage) << ",\"cargoDamage\":" << Number(car->CargoDamage)
            << ",\"lights\":" << (car->LightsOn ? "true" : "false") << "}";
    }
    out << "],\"players\":[";
    for (int p = 0; p < 2; ++p) {
        const TPlayerData& player = *Players[size_t(p)];
        if (p == 1)
            out << ",";
        out << "{\"nick\":" << JsonString(player.Nick) << ",\"mission\":" << int(player.Mission)
            << ",\"carType\":" << int(player.CarType) << ",\"time\":" << Number(player.Time)
            << ",\"parTime\":" << Number(player.ParTime) << ",\"score\":" << player.Score
            << ",\"extraPoints\":" << player.ExtraPoints << ",\"hudSymbols\":" << player.HudSymbols
            << ",\"load\":" << player.Load.Total() << ",\"capacity\":" << player.Load.Capacity << "}";
    }
    out << "],\"targets\":{\"mode\":" << int(Targets->Mode) << ",\"created\":" << Targets->AddedCount
        << ",\"remaining\":" << Targets->Count() << ",\"lastReached\":" << Targets->LastReached;
    if (!Targets->IsEmpty()) {
        const TTarget& active = Targets->Targets.back();
        out << ",\"activeX\":" << Number(active.X) << ",\"activeY\":" << Number(active.Y)
            << ",\"locatorX\":" << active.Locator->X + int32_t(active.Locator->Width / 2)
            << ",\"locatorY\":" << active.Locator->Y + int32_t(active.Locator->Height / 2)
            << ",\"locatorAlpha\":" << int(active.Locator->Alpha) << ",\"markerVisible\":"
            << (active.Marker->Visible ? "true" : "false") << ",\"symbolShown\":"
            << (active.MapSymbol->Alive ? "true" : "false");
    }
    out << "},\"traffic\":{\"region\":[" << Traffic->Region[0] << "," << Traffic->Region[1] << ","
        << Traffic->Region[2] << "," << Traffic->Region[3] << "],\"cars\":[";
    for (size_t i = 0; i < Traffic->Cars.size(); ++i) {
        const TAICar* car = Traffic->Cars[i].get();
        out << (i ? "," : "");
        if (!car) {
            out << "null";
            continue;
        }
        out << "{\"x\":" << Number(car->PosX) << ",\"y\":" << Number(car->PosY)
            << ",\"heading\":" << Number(car->Heading) << ",\"speed\":" << Number(car->GetSpeed())
            << ",\"state\":" << int(car->State) << "}";
    }
    out << "],\"pedestrians\":[";
    for (size_t i = 0; i < Traffic->Pedestrians.size(); ++i) {
        const THumanMesh* pedestrian = Traffic->Pedestrians[i].get();
        out << (i ? "," : "");
        if (!pedestrian) {
            out << "null";
            continue;
        }
        out << "{\"x\":" << Number(pedestrian->Position.x) << ",\"y\":" << Number(pedestrian->Position.y)
            << ",\"behaviour\":" << int(pedestrian->Behaviour) << "}";
    }
    out << "]},\"sprites\":" << Sprites.Count() << "}";
    return out.str();
}
