// TConfig: the user's settings for the whole run — language, effects and music volume, full screen or
// a window and the window's size, the gore switch, the players' keys, the pads' rumble and the
// highscore server. Read from the per-user
// settings file at start-up, written back at exit. Owns the settings file's text while the program runs.
#pragma once

#include "Sound.h"
#include "controls/KeyBindings.h"
#include "uAtomicFile.h"

#include <cstdint>
#include <string>
#include <vector>

// The render scales the options screen offers, in its order: 0 (auto: chosen for the renderer),
// then the percentages of the window's pixels the 3D scene is drawn at.
constexpr int32_t RenderScaleChoices[] = {0, 100, 75, 50};
inline bool IsRenderScaleChoice(int32_t value) {
    for (int32_t choice : RenderScaleChoices)
        if (choice == value)
            return true;
    return false;
}

// How near and how far the player may move the camera, percent of a view's own distance, and the
// step of one press of a zoom key.
constexpr int32_t CameraZoomMin = 60, CameraZoomMax = 160, CameraZoomStep = 10;

// Where the settings live: $XDG_CONFIG_HOME/kalmirov/settings.ini, or ~/.config/kalmirov/... when
// XDG_CONFIG_HOME is unset. Empty when neither variable is set.
std::string ConfigFileName();

class TConfig {
  public:
    // No settings store: defaults only, nothing is written back.
    TConfig() = default;
    // Create: opens (creating its folder) and reads the settings file; `notice` is told of a damaged
    // file moved aside, and of a failed write when the settings are written back.
    TConfig(const std::string& fileName, TNotice notice);
    // Destroy: writes the values back when the store was opened.
    ~TConfig();
    TConfig(const TConfig&) = delete;
    TConfig& operator=(const TConfig&) = delete;

    // Writes the values back now (what Destroy does). False, with `notice` told why (naming the
    // file), when the file cannot be written; the old file is then left as it was.
    bool Save(const TNotice& notice);

    std::string Registry;        // the settings file; the store the values are read from and written to
    TNotice Notice;              // where the player is told of trouble with the file
    bool KeyOpen = false;        // the store could be opened; only then are values written back
    uint8_t Language = 0;        // 0 English, 1 Czech
    int32_t SamplesVolume = 255; // effects volume 0..255
    int32_t ModulesVolume = 255; // music volume 0..255
    bool Windowed = false;       // a window, not full screen, as the player last chose (F11)
    int32_t WindowWidth = 640;   // the window's size in screen pixels, as the player left it
    int32_t WindowHeight = 480;
    bool Carmageddon = false;    // run-over pedestrians bleed
    bool Ghosts = true;          // the record run drives along as a ghost in a single race
    bool VSync = true;           // each drawn frame waits for the display's vertical blank
    int32_t MaxFPS = 0;          // drawn frames a second at most, 0 for no cap (for VSync=0)
    bool Rumble = true;          // a pad that can rumble does so in a crash
    bool MiniMap = true;         // the HUD shows the streets round the car with the route
    int32_t RenderScale = 0;     // the 3D scene's share of the window, percent; 0: auto
    uint8_t CameraView = 1;      // the view a one-player game starts in: 0 top, 1 chase
    int32_t CameraZoom = 100;    // how far the camera stands back, percent of the view's own distance
    // The players' keys, kept in the file by their DirectInput names ("Player1Accelerate=\"UP\"").
    TKeyBindings Keys = TKeyBindings::Defaults();
    // Where "Submit to web" sends the highscores: scheme, host and port, no path.
    std::string HighscoreServer = "http://127.0.0.1:8080";

  private:
    // The file's lines as read: comments, junk and unknown names survive a save untouched.
    std::vector<std::string> Lines;
    bool GhostsStored = false; // the file had a Ghosts line
    bool VSyncStored = false, MaxFPSStored = false;
    bool WindowSizeStored = false;
    bool RumbleStored = false;
    bool MiniMapStored = false;
    bool RenderScaleStored = false;
    bool CameraViewStored = false, CameraZoomStored = false;
    TKeyBindings StoredKeys{}; // the keys the file named, 0 for those it did not
};

// The program's settings: the one installed at start-up, or defaults with no store.
TConfig& Config();
// Installs the program's settings (not owned) and returns the previous one; nullptr restores the
// defaults.
TConfig* SetConfig(TConfig* config);

// Lets the sound wrapper keep its master volumes in the settings.
class TConfigSoundSettings : public TSoundSettings {
  public:
    explicit TConfigSoundSettings(TConfig& config) : Settings(config) {}
    int32_t StoredSFXVolume() const override { return Settings.SamplesVolume; }
    int32_t StoredMusicVolume() const override { return Settings.ModulesVolume; }
    void StoreSFXVolume(int32_t volume) override { Settings.SamplesVolume = volume; }
    void StoreMusicVolume(int32_t volume) override { Settings.ModulesVolume = volume; }

  private:
    TConfig& Settings;
};
