#include "session/LevelLoader.h"

#include "city/CityHost.h"
#include "tables/CarModelTable.h"
#include "tables/GameConsts.h"
#include "sprites/CheckpointSprite.h"
#include "player/Config.h"
#include "sprites/GoSprite.h"
#include "sprites/HintSprite.h"
#include "sprites/IntroSprite.h"
#include "sprites/LocationSprite.h"
#include "sprites/LogoSprite.h"
#include "Sound.h"
#include "sprites/SymbolSprite.h"
#include "traffic/TrafficEngine.h"
#include "uSpriteHost.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace {

struct TKeyFile {
    const char* Key;
    const char* File;
};

const TKeyFile StageOneSamples[] = {
    {"menu_hover", ".\\data\\sound\\menu_hover.wav"},     {"menu_enter", ".\\data\\sound\\menu_enter.wav"},
    {"menu_leave", ".\\data\\sound\\menu_leave.wav"},     {"checkpoint", ".\\data\\sound\\checkpoint.wav"},
    {"crash1", ".\\data\\sound\\sfx_crash1.wav"},         {"crash2", ".\\data\\sound\\sfx_crash2.wav"},
    {"splash1", ".\\data\\sound\\splash1.wav"},           {"splash2", ".\\data\\sound\\splash2.wav"},
    {"scream1", ".\\data\\sound\\scream1.wav"},           {"scream2", ".\\data\\sound\\scream2.wav"},
    {"skid", ".\\data\\sound\\skid.wav"},                 {"timer_tick", ".\\data\\sound\\timer_tick.wav"},
    {"timer_go", ".\\data\\sound\\timer_go.wav"},         {"cargo_load", ".\\data\\sound\\cargo_load.wav"},
    {"cargo_unload", ".\\data\\sound\\cargo_unload.wav"},
    // The map view's sound; without it entering the map would fail on a missing key.
    {"city_map", ".\\data\\sound\\city_map.wav"},
};

const TKeyFile StageOnePictures[] = {
    {"intro", ".\\data\\bitmaps\\intro.bmp"},
    {"quillmark", ".\\data\\bitmaps\\quillmark.bmp"},
    {"tarvelgame", ".\\data\\bitmaps\\tarvelgame.bmp"},
    {"menu_quillmark", ".\\data\\bitmaps\\menu_quillmark.bmp"},
    {"menu_kalmirov", ".\\data\\bitmaps\\menu_kalmirov.bmp"},
    {"menu_multiplayer", ".\\data\\bitmaps\\menu_kalmirov_multi.bmp"},
    {"menu_bg", ".\\data\\bitmaps\\menu_bg.bmp"},
    {"menu_enter", ".\\data\\bitmaps\\menu_enter.bmp"},
    {"menu_confirm", ".\\data\\bitmaps\\menu_confirm.bmp"},
    {"menu_adjust", ".\\data\\bitmaps\\menu_adjust.bmp"},
    {"menu_adjust_left", ".\\data\\bitmaps\\menu_left.bmp"},
    {"menu_adjust_right", ".\\data\\bitmaps\\menu_right.bmp"},
    {"menu_adjust_none", ".\\data\\bitmaps\\menu_none.bmp"},
};

const TKeyFile StageTwoPictures[] = {
    {"symbol_time", ".\\data\\bitmaps\\symbol_time.bmp"},
    {"symbol_fuel", ".\\data\\bitmaps\\symbol_fuel.bmp"},
    {"symbol_damage", ".\\data\\bitmaps\\symbol_damage.bmp"},
    {"symbol_load", ".\\data\\bitmaps\\symbol_load.bmp"},
    {"symbol_fragile", ".\\data\\bitmaps\\symbol_fragile.bmp"},
    {"symbol_targets", ".\\data\\bitmaps\\symbol_targets.bmp"},
    {"sipka_target", ".\\data\\bitmaps\\sipka_target.bmp"},
    {"map_outline", ".\\data\\bitmaps\\map_outline.bmp"},
    {"map_arrow", ".\\data\\bitmaps\\map_arrow.bmp"},
    {"map_destination", ".\\data\\bitmaps\\map_destination.bmp"},
    {"lamp", ".\\data\\bitmaps\\lamp.bmp"},
    {"star", ".\\data\\bitmaps\\particle_star.bmp"},
    {"brake", ".\\data\\bitmaps\\brake.bmp"},
    {"cone", ".\\data\\bitmaps\\cone.bmp"},
    {"shadow", ".\\data\\bitmaps\\shadow.bmp"},
    {"target", ".\\data\\bitmaps\\target.bmp"},
    {"minus25", ".\\data\\bitmaps\\minus25.bmp"},
    {"hint", ".\\data\\bitmaps\\hint.bmp"},
    {"timer_one", ".\\data\\bitmaps\\timer_one.bmp"},
    {"timer_two", ".\\data\\bitmaps\\timer_two.bmp"},
    {"timer_three", ".\\data\\bitmaps\\timer_three.bmp"},
    {"timer_go", ".\\data\\bitmaps\\timer_go.bmp"},
    // The city map picture of the map view and the inset.
    {"map", ".\\data\\bitmaps\\map.bmp"},
};

struct TMeshEntry {
    std::string Key, File, Texture;
    float Scale;
    std::string FarFile = {}; // the lighter model drawn far away, if there is one
};

// The stage-2 mesh list: player cars, their coloured copies for the traffic, the target gift, the
// pedestrians and the station cubes.
std::vector<TMeshEntry> StageTwoMeshes() {
    std::vector<TMeshEntry> list;
    auto car = [&](const TCarModel& model, const std::vector<std::string>& copies,
                   const std::string& copyDir) {
        std::string mesh = CarFilePath(model, std::string(model.Mesh) + ".3ds");
        list.push_back({model.Chassis[0], mesh, "", 1});
        for (const std::string& copy : copies)
            list.push_back({copy, mesh, copyDir + copy + ".bmp", 1});
        list.push_back({model.Wheel, CarFilePath(model, "wheel.3ds"), "", 1});
    };
    const TCarModel& golf = CarModelTable[1];
    const TCarModel& s120 = CarModelTable[7];
    const TCarModel& transit = CarModelTable[6];
    const TCarModel& bmw = CarModelTable[2];
    const TCarModel& avia = CarModelTable[5];
    const TCarModel& liaz = CarModelTable[3];
    const TCarModel& chevy = CarModelTable[4];
    const TCarModel& mustang = CarModelTable[0];
    car(golf, {"golf_black", "golf_dark", "golf_red"}, ".\\data\\aicars\\vwgolf\\");
    car(s120, {"s120_darkblue", "s120_green", "s120_orange", "s120_yellow"}, ".\\data\\aicars\\skoda120\\");
    for (const char* colour : {"fabia_blue", "fabia_brown", "fabia_metal", "fabia_orange", "fabia_white"})
        list.push_back({colour, ".\\data\\aicars\\fabia\\fabia.3ds",
                        std::string(".\\data\\aicars\\fabia\\") + colour + ".bmp", 1});
    list.push_back({"fabia_wheel", ".\\data\\aicars\\fabia\\wheel.3ds", ".\\data\\aicars\\fabia\\fabia_white.bmp", 1});
    car(transit, {"transit_grey", "transit_khaki"}, ".\\data\\aicars\\transit\\");
    car(bmw, {"bmw_black", "bmw_blue", "bmw_khaki"}, ".\\data\\aicars\\bmw\\");
    car(avia, {"avia_yellow"}, ".\\data\\aicars\\avia\\");
    // These three keep their second colour beside the player's car.
    car(liaz, {"liaz_green"}, CarFilePath(liaz, ""));
    car(chevy, {"chevy_yellow"}, CarFilePath(chevy, ""));
    car(mustang, {"mustang_black"}, CarFilePath(mustang, ""));
    list.push_back({"arrow", ".\\data\\meshes\\prezent.3ds", "", 1});
    list.push_back({"city_edge", ".\\data\\meshes\\city_edge.3ds", "", 1});
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 3; ++j) {
            std::string file = ".\\data\\meshes\\human" + std::to_string(i) + char('a' + j - 1);
            list.push_back({"human" + std::to_string(i) + std::to_string(j), file + ".3ds", "", 1, file + "_far.3ds"});
        }
    for (const char* cube : {"cube_benzinka", "cube_service", "cube_station"})
        list.push_back({cube, std::string(".\\data\\meshes\\") + cube + ".3ds", "", 0.25f});
    return list;
}

// A full-screen picture (1024 x 512, the 640 x 480 screen shows its lower left part).
std::unique_ptr<TSprite> FullScreenSprite(uint32_t texture) {
    return std::make_unique<TSprite>(texture, 0, -32, 1024, 512, 255);
}

constexpr double ProgressFrameInterval = 1.0 / 30; // seconds

} // namespace

TLoadedSprites::TLoadedSprites() = default;
TLoadedSprites::~TLoadedSprites() = default;

TLevelLoader::TLevelLoader(TEngine& engine, TSpriteHost& host) : Engine(engine), Host(host) {}

TLevelLoader::~TLevelLoader() = default;

void TLevelLoader::LoadStageOne(bool holdNotice) {
    ShowNotice(holdNotice);
    for (const TKeyFile& entry : StageOneSamples)
        Resources().AddSample(entry.Key, Sound().LoadSample(entry.File));
    for (const TCarModel& car : CarModelTable) {
        Resources().AddSample(car.EngineSample, Sound().LoadSample(CarFilePath(car, "engine.wav")));
        Resources().AddSample(car.HornSample, Sound().LoadSample(CarFilePath(car, "horn.wav")));
    }
    Resources().AddModule("music", Sound().LoadModule(".\\data\\music\\music.xm"));
    for (const TKeyFile& entry : StageOnePictures)
        Resources().AddTexture(entry.Key, Engine.LoadTexture(entry.File));
    for (const TFaceRow& face : FaceTable)
        Resources().AddTexture(std::string("face_") + face.Name,
                               Engine.LoadTexture(std::string(".\\data\\bitmaps\\face_") + face.Name + ".bmp"));
    Sprites.IntroSprite = std::make_unique<TIntroSprite>(Host);
    Sprites.LogoSprites[0] = std::make_unique<TLogoSprite>(Resources().GetTexture("quillmark"), 23, -1200, 128, 32);
    Sprites.LogoSprites[1] = std::make_unique<TLogoSprite>(Resources().GetTexture("tarvelgame"), 527, -1230, 128, 32);
    Engine.ShowSprite(Sprites.IntroSprite.get());
    for (auto& logo : Sprites.LogoSprites)
        Engine.ShowSprite(logo.get());
}

void TLevelLoader::LoadStageTwo(const std::array<int32_t, 2>& faces, TCityHost& city, TTrafficEngine& traffic) {
    Sprites.IntroSprite->Alive = false;
    for (auto& logo : Sprites.LogoSprites)
        logo->Alive = false;
    ShowLoader(true);
    for (const char* key : {"intro", "quillmark", "tarvelgame"})
        Engine.FreeTexture(Resources().RemoveTexture(key));
    LoadGamePictures(faces);
    LoadMeshes();
    city.Read(".\\data\\city\\city.tmf");
    PlaceStations(city, traffic);
    ShowLoader(false);
}

void TLevelLoader::ShowNotice(bool hold) {
    const char* file = Config().Language == 1 ? ".\\data\\bitmaps\\responsible_cz.bmp"
                                              : ".\\data\\bitmaps\\responsible_en.bmp";
    Resources().AddTexture("responsible", Engine.LoadTexture(file));
    std::unique_ptr<TSprite> notice = FullScreenSprite(Resources().GetTexture("responsible"));
    Engine.ShowSprite(notice.get());
    if (!Engine.Headless()) {
        Engine.BeginFrame();
        Engine.DrawSpriteLayer();
        Engine.EndFrame(false);
    }
    notice->Alive = false;
    Engine.RemoveSprite(notice.get());
    Engine.FreeTexture(Resources().RemoveTexture("responsible"));
    // Three seconds for the player to read it, cut short by any key; an unattended run never waits.
    if (!hold || Engine.Unattended())
        return;
    double until = GetTime() + 3.0;
    // Only the keyboard cuts it short: the game's first tick takes the first keys of a replay.
    while (GetTime() < until && !Engine.WindowClosed()) {
        Engine.PollEvents();
        if (Engine.AnyLiveKeyDown())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Engine.Keys.Reset();
}

void TLevelLoader::LoadGamePictures(const std::array<int32_t, 2>& faces) {
    for (const TKeyFile& entry : StageTwoPictures)
        Resources().AddTexture(entry.Key, Engine.LoadTexture(entry.File));
    const int32_t faceX[2] = {20, 575};
    for (size_t p = 0; p < 2; ++p) {
        int32_t face = faces[p];
        if (face < 0 || face >= FaceCount)
            throw ERangeError("Face " + std::to_string(face) + " out of range");
        Sprites.FaceSprites[p] = std::make_unique<TSprite>(
            Resources().GetTexture(std::string("face_") + FaceTable[face].Name), faceX[p], 340, 128, 128, 255);
        Sprites.FaceSprites[p]->Alive = false;
    }
    Sprites.MapPicture = FullScreenSprite(Resources().GetTexture("map"));
    Sprites.MapPicture->Alive = false;
    Sprites.MapFrame = std::make_unique<TSprite>(Resources().GetTexture("map_outline"), 0, 0, 128, 128, 255);
    Sprites.MapFrame->Alive = false;
    Engine.MapSprite = Sprites.MapPicture.get();
    Engine.MapFrameSprite = Sprites.MapFrame.get();
    Sprites.LocationSprite = std::make_unique<TLocationSprite>();
    Sprites.LocationSprite->Alive = false;
    for (uint8_t i = 0; i < 6; ++i) {
        Sprites.SymbolSprites[i] = std::make_unique<TSymbolSprite>(Host, i);
        Sprites.SymbolSprites[i]->Alive = false;
    }
    Sprites.HintSprite = std::make_unique<THintSprite>(Host);
    Sprites.GoSprite = std::make_unique<TGoSprite>(Host);
}

void TLevelLoader::LoadMeshes() {
    for (const TMeshEntry& entry : StageTwoMeshes()) {
        TMeshRecord mesh;
        Engine.LoadMesh(entry.File, entry.Texture, entry.Scale, mesh);
        if (!entry.FarFile.empty()) {
            TMeshRecord far;
            Engine.LoadMesh(entry.FarFile, entry.Texture, entry.Scale, far);
            mesh.FarList = far.List;
        }
        Resources().AddMesh(entry.Key, mesh);
    }
    Engine.SetCityEdge(Resources().GetMesh("city_edge"));
}

void TLevelLoader::ShowLoader(bool on) {
    if (on) {
        Resources().AddTexture("loader", Engine.LoadTexture(".\\data\\bitmaps\\loader.bmp"));
        LoaderSprite = FullScreenSprite(Resources().GetTexture("loader"));
        Engine.ShowSprite(LoaderSprite.get());
        Engine.BeginFrame();
        Engine.DrawSprites();
        Engine.EndFrame();
    } else if (LoaderSprite) {
        LoaderSprite->Alive = false;
        Engine.RemoveSprite(LoaderSprite.get());
        Engine.FreeTexture(Resources().RemoveTexture("loader"));
    }
}

void TLevelLoader::DrawProgress(int32_t done, int32_t total) {
    float f = float(done) / float(total);
    float alpha = std::nearbyint(255.0f * f);
    if (alpha < 0 || alpha > 255)
        throw ERangeError("Progress " + std::to_string(done) + " of " + std::to_string(total) + " out of range");
    // A loading frame shows the work done so far and goes straight back to it: no frame cap, and on
    // the real clock no more than 30 frames a second, the last always. The fixed clock draws every
    // one and counts its 10 ms, so an unattended run repeats exactly.
    if (Engine.Headless() ||
        (!Engine.ClockIsFixed() && done < total && GetTime() - LastProgressFrame < ProgressFrameInterval))
        return;
    LastProgressFrame = GetTime();
    Engine.BeginFrame();
    Engine.DrawSpriteLayer();
    Engine.BeginOverlay();
    Engine.SetOverlayColor(231, 0, 75, uint8_t(alpha));
    Engine.DrawOverlayRect(225, 182, 224 + 202 * f, 194);
    Engine.EndOverlay();
    Engine.EndFrame(false);
}

void TLevelLoader::PlaceStations(TCityHost& city, TTrafficEngine& traffic) {
    traffic.SetCityMarks(city.Cells);
    auto place = [&](const char* mesh, uint8_t kind, const TMapPoint& at) {
        StationMeshes.push_back(std::make_unique<TSymbolMesh>(Resources().GetMesh(mesh), at.X, at.Y, 3));
        Engine.AddMesh(StationMeshes.back().get());
        StationMarkers.push_back(std::make_unique<TCheckpointSprite>(at.X, at.Y, kind));
        Engine.AddSprite3D(StationMarkers.back().get());
    };
    for (const TMapPoint& at : GasStationPlaces)
        place("cube_benzinka", 1, at);
    for (const TMapPoint& at : ServicePlaces)
        place("cube_service", 2, at);
}
