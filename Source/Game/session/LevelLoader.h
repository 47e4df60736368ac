// TLevelLoader: the game's two loading stages. The first shows the notice screen and loads the
// samples, the music and the intro pictures; the second, behind the loading picture and its bar,
// the game pictures and the HUD sprites, the car, pedestrian and station meshes, the city map and the
// stations. Owns what they make that the game keeps for the whole run (TLoadedSprites, the stations'
// meshes and markers) and the pace of the loading bar.
#pragma once

#include "uEngine.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TCityHost;
class TGoSprite;
class THintSprite;
class TIntroSprite;
class TLocationSprite;
class TLogoSprite;
class TSpriteHost;
class TSymbolSprite;
class TTrafficEngine;

// The sprites the loading stages make and the game shows and hides for the whole run.
struct TLoadedSprites {
    TLoadedSprites();
    ~TLoadedSprites();
    std::unique_ptr<TIntroSprite> IntroSprite;
    std::array<std::unique_ptr<TLogoSprite>, 2> LogoSprites;
    std::array<std::unique_ptr<TSprite>, 2> FaceSprites;
    std::unique_ptr<TSprite> MapPicture, MapFrame; // behind TEngine's MapSprite and MapFrameSprite
    std::unique_ptr<TLocationSprite> LocationSprite;
    std::array<std::unique_ptr<TSymbolSprite>, 6> SymbolSprites;
    std::unique_ptr<THintSprite> HintSprite;
    std::unique_ptr<TGoSprite> GoSprite;
};

class TLevelLoader {
  public:
    // `host` is what the game's sprites reach the game through.
    TLevelLoader(TEngine& engine, TSpriteHost& host);
    ~TLevelLoader();
    TLevelLoader(const TLevelLoader&) = delete;
    TLevelLoader& operator=(const TLevelLoader&) = delete;

    // The notice screen (held three seconds when `holdNotice`, cut short by any key, never in an
    // unattended run), the samples, the music, the intro's and the menu's pictures and the players'
    // faces; the intro and its logos shown.
    void LoadStageOne(bool holdNotice);
    // The intro gone, behind the loading picture: the game's pictures and sprites (the players'
    // faces `faces`), the meshes, the city map read through `city`, and the stations placed and
    // their cells marked for `traffic`.
    void LoadStageTwo(const std::array<int32_t, 2>& faces, TCityHost& city, TTrafficEngine& traffic);
    // A frame of the loading bar at `done` of `total`.
    void DrawProgress(int32_t done, int32_t total);

    TLoadedSprites Sprites;

  private:
    void ShowNotice(bool hold);
    void ShowLoader(bool on);
    void LoadGamePictures(const std::array<int32_t, 2>& faces);
    void LoadMeshes();
    void PlaceStations(TCityHost& city, TTrafficEngine& traffic);

    TEngine& Engine;
    TSpriteHost& Host;
    std::unique_ptr<TSprite> LoaderSprite;
    std::vector<std::unique_ptr<TMesh>> StationMeshes;
    std::vector<std::unique_ptr<TSprite3D>> StationMarkers;
    double LastProgressFrame = -1; // seconds, when the loading bar was last drawn
};
