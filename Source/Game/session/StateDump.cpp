#include "session/StateDump.h"

#include "Sound.h"
#include "cars/Car.h"
#include "player/Config.h"
#include "session/GameEngine.h"
#include "sprites/CheckpointSprite.h"
#include "sprites/HintSprite.h"
#include "sprites/LocatorSprite.h"
#include "sprites/TargetSprite.h"
#include "traffic/AICar.h"
#include "traffic/HumanMesh.h"
#include "uText1250.h"
#include "ui/MenuImprovedEngine.h"

#include <cmath>
#include <cstdio>
#include <iostream>
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

TStateDump::TStateDump(const std::string& file) {
    if (file == "-") {
        Out = &std::cout;
    } else if (!file.empty()) {
        File.open(file, std::ios::trunc);
        if (!File)
            throw EInOutError("Cannot write the state dump " + file);
        Out = &File;
    }
}

void TStateDump::Write(const TGameEngine& game) {
    if (Out)
        *Out << StateJson(game) << '\n' << std::flush;
}

std::string StateJson(const TGameEngine& game) {
    const TLoadedSprites& sprites = game.Loader.Sprites;
    const TMenuImprovedEngine& menu = *game.Menu;
    const TTargetEngine& targets = *game.Targets;
    const TTrafficEngine& traffic = *game.Traffic;
    std::ostringstream out;
    // "frame" counts the ticks so far (the number --shot and --frames take); "pass" is the tick this
    // line ends, whose keys a controller has answered: it answers for the next one.
    out << "{\"frame\":" << game.KeyboardPasses << ",\"pass\":" << int64_t(game.KeyboardPasses) - 1
        << ",\"state\":" << int(game.GameState) << ",\"mission\":" << int(game.Mission)
        << ",\"menu\":" << int(menu.Screen) << ",\"twoPlayer\":" << (game.TwoPlayer ? "true" : "false")
        << ",\"runFrames\":" << game.RunFrames << ",\"cameraMode\":" << int(game.CameraMode)
        << ",\"cameraDistance\":" << Number(game.Camera.Distance) << ",\"timeOfDay\":" << game.TimeOfDay
        << ",\"darkness\":" << game.Darkness << ",\"particles\":" << game.ParticleType
        << ",\"showMap\":" << (game.ShowMap ? "true" : "false")
        << ",\"atGasStation\":" << (game.Rules.AtGasStation ? "true" : "false")
        << ",\"atService\":" << (game.Rules.AtService ? "true" : "false") << ",\"catchUp\":" << game.Rules.CatchUpCountdown
        << ",\"debug\":" << (game.DebugOverlay ? "true" : "false");
    out << ",\"menuItem\":" << menu.Selected << ",\"singleTrack\":" << int(menu.SingleTrack)
        << ",\"raceTrack\":" << int(menu.RaceTrack) << ",\"highscoreTrack\":" << int(menu.HighscoreTrack)
        << ",\"carChoice\":" << int(menu.CarChoice) << ",\"submitted\":" << (menu.Submitted ? "true" : "false")
        << ",\"language\":" << int(Config().Language) << ",\"musicVolume\":" << Sound().MusicVolume
        << ",\"sfxVolume\":" << Sound().SFXVolume << ",\"channelVolumes\":[" << Sound().Mixer().Volume(0) << ","
        << Sound().Mixer().Volume(1) << "]";
    out << ",\"keyNote\":" << JsonString(menu.Note[0]) << ",\"capturing\":" << (menu.Capturing ? "true" : "false")
        << ",\"rumble\":[" << Number(game.RumbleAsked[0]) << "," << Number(game.RumbleAsked[1]) << "]";
    out << ",\"countdown\":" << game.Rules.CountdownPhase();
    out << ",\"hint\":" << (sprites.HintSprite && sprites.HintSprite->Alive ? JsonString(sprites.HintSprite->Text[0]) : "null");
    out << ",\"cars\":[";
    for (int p = 1; p <= 2; ++p) {
        TCar* car = game.Car(p);
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
        const TPlayerData& player = *game.Players[size_t(p)];
        if (p == 1)
            out << ",";
        out << "{\"nick\":" << JsonString(player.Nick) << ",\"mission\":" << int(player.Mission)
            << ",\"carType\":" << int(player.CarType) << ",\"time\":" << Number(player.Time)
            << ",\"parTime\":" << Number(player.ParTime) << ",\"score\":" << player.Score
            << ",\"extraPoints\":" << player.ExtraPoints << ",\"hudSymbols\":" << player.HudSymbols
            << ",\"load\":" << player.Load.Total() << ",\"capacity\":" << player.Load.Capacity << "}";
    }
    out << "],\"targets\":{\"mode\":" << int(targets.Mode) << ",\"created\":" << targets.AddedCount
        << ",\"remaining\":" << targets.Count() << ",\"lastReached\":" << targets.LastReached;
    if (!targets.IsEmpty()) {
        const TTarget& active = targets.Targets.back();
        out << ",\"activeX\":" << Number(active.X) << ",\"activeY\":" << Number(active.Y)
            << ",\"locatorX\":" << active.Locator->X + int32_t(active.Locator->Width / 2)
            << ",\"locatorY\":" << active.Locator->Y + int32_t(active.Locator->Height / 2)
            << ",\"locatorAlpha\":" << int(active.Locator->Alpha) << ",\"markerVisible\":"
            << (active.Marker->Visible ? "true" : "false") << ",\"symbolShown\":"
            << (active.MapSymbol->Alive ? "true" : "false");
    }
    out << "},\"traffic\":{\"region\":[" << traffic.Region[0] << "," << traffic.Region[1] << ","
        << traffic.Region[2] << "," << traffic.Region[3] << "],\"cars\":[";
    for (size_t i = 0; i < traffic.Cars.size(); ++i) {
        const TAICar* car = traffic.Cars[i].get();
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
    for (size_t i = 0; i < traffic.Pedestrians.size(); ++i) {
        const THumanMesh* pedestrian = traffic.Pedestrians[i].get();
        out << (i ? "," : "");
        if (!pedestrian) {
            out << "null";
            continue;
        }
        out << "{\"x\":" << Number(pedestrian->Position.x) << ",\"y\":" << Number(pedestrian->Position.y)
            << ",\"behaviour\":" << int(pedestrian->Behaviour) << "}";
    }
    out << "]},\"sprites\":" << game.Sprites.Count();
    // Per section of the world, so that two runs that part say where.
    out << ",\"digest\":";
    if (game.GameState == gsInGame || game.GameState == gsInMap) {
        TWorldDigest digest = game.Digest();
        for (int s = 0; s < WorldSectionCount; ++s) {
            char hex[24];
            std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest[size_t(s)]));
            out << (s ? ",\"" : "{\"") << WorldSectionNames[s] << "\":\"" << hex << "\"";
        }
        out << "}";
    } else {
        out << "null";
    }
    out << "}";
    return out.str();
}
