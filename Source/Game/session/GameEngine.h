// TGameEngine: the game's session on top of the engine core — the game state machine, the loop of
// ticks and drawn frames, the keys of the menu and the game, the set-up of the fifteen games and the
// highscore table. Owns the loader (and what it loaded), the menu, the rules, the HUD, the replay
// recorder, the target and traffic engines, the player cars and records, the fonts, the city's lamps
// and the state dump, and is the host each of them reaches the game through.
#pragma once

#include "city/CityHost.h"
#include "city/RouteGuide.h"
#include "tables/GameConsts.h"
#include "player/Highscores.h"
#include "controls/KeyBindings.h"
#include "player/PlayerData.h"
#include "player/Replay.h"
#include "rules/GameRules.h"
#include "rules/TargetEngine.h"
#include "session/LevelLoader.h"
#include "session/ReplayRecorder.h"
#include "session/StateDump.h"
#include "session/WorldSave.h"
#include "traffic/TrafficEngine.h"
#include "ui/Hud.h"
#include "ui/MenuHost.h"
#include "ui/MenuScreen.h"
#include "uEngine.h"
#include "uGLFont.h"
#include "uSpriteHost.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TCar;
class TMenuImprovedEngine;

enum TGameState : uint8_t {
    gsNone = 0,
    gsIntroScreen = 1,
    gsStartGame = 2,
    gsInGame = 3,
    gsInMap = 4,
    gsQuit = 6,
};

// What the program entry hands the game besides the window: the profiles, the files and the
// practice start.
struct TGameSetup {
    TProfileList* Profiles = nullptr; // the launcher's list (not owned); must hold the selected profile
    int SelectedProfile = 0;
    std::string ProfilesFile;  // written when a practice start creates its profile
    std::string HighscoreFile; // empty: the table is neither read nor written
    int PracticeMission = 0;   // 1..15: start this game after loading, without the menu
    int PracticeCar = -1;      // 0..7: the car of both players; -1 keeps the profile's choice
    std::string DumpStateFile; // one JSON line of the game state per tick; "-" for standard output
    // With N > 0, after every tick in which the world ran it is restored to N such ticks back and
    // stepped on again with those ticks' inputs; every re-stepped tick's digests must equal the
    // first pass's (SyncTest.cpp).
    int SyncTestDepth = 0;
    bool NoticeHold = true;    // hold the notice screen 3 s (any key ends it early)
    const TReplay* Replay = nullptr; // drive this recorded run again instead of reading keys and pads
    uint64_t DataSet = 0; // the data set's digest when the entry has taken it; 0: taken while loading
    // How the player is told of trouble with their files (a damaged one moved aside, a failed save):
    // a message box unless the program's entry says otherwise.
    TNotice Notice = [](const std::string& text) { ShowMessageBox(text, "Kalmirov"); };
};

class TGameEngine : public TEngine,
                    public TSpriteHost,
                    public TTargetHost,
                    public TTrafficHost,
                    public TMenuHost,
                    public THudHost,
                    public TRulesHost,
                    public TRecorderHost {
  public:
    TGameEngine(int width, int height, bool fullscreen, const THarnessOptions& harness, const TGameSetup& setup);
    ~TGameEngine() override;

    void LoadPlayer(int i, int profile) override;
    void CreateFonts();
    void SetGameState(TGameState state);
    // Until the game ends: the ticks the world clock owes, then one drawn frame (none headless).
    void Run();
    // One tick of the world: keys, rules, the world's step, the recording and the state line.
    void Tick();
    void HandleInput();
    void UpdateGame();
    // The world's step of a tick: camera, meshes and obstacle boxes, traffic, vehicles and physics,
    // sprites, weather, the menu's slide.
    void StepWorld();
    // One drawn frame, `fraction` of a tick past the last one; changes nothing of the world.
    void DrawFrame(float fraction);
    // A tick's world step and its picture, for loops that draw every tick (tests, benchmarks).
    void RenderFrame();
    // One whole tick and the frame drawn after it, as the loop runs them on the fixed clock.
    void Pass();
    // One drawn frame as the loop makes it (the idle main menu only when its picture changed).
    void Present();
    void RenderIdleMenu();
    // The guidance of a one-player game (RouteGuidance.cpp), from the drawn frames only: the route
    // to the next target brought up to date and the target's arrow turned along it; the mini map
    // over the HUD; the route over the city map view.
    void UpdateGuidance();
    void DrawMiniMap();
    void DrawCityMapRoute();
    // The active target of a one-player game with its car on the road, else nullptr.
    const TTarget* GuidedTarget() const;
    void ShowMenu(uint8_t screen) override;
    void ShowHudSymbols(bool on);
    void ShowCityMap(bool on);
    void ShowHint(const TTextPair& pair);
    void ShowHint(const std::string& english, const std::string& czech) override;
    void SetTimeOfDay(int32_t hour);
    void SetCameraMode(uint8_t mode) override;
    // What the far edge of the chase view fades into at this hour (red, green, blue 0..1).
    std::array<float, 3> SkyColour() const;

    // A game's set-up (GameStart.cpp).
    void StartMission(int n);
    // The first step of every game start: the game's own seed (a replay's, the session's for its
    // first game, else drawn from the session's sequence), an empty living city, lamps lit anew, and
    // for a replay the camera and the keys of its start; a second car left standing for mission 5
    // is set at rest.
    void StartCityAfresh(int mission);
    void CreatePlayerCar(int player, int carType, float x, float y, float heading, bool removeSecondCar) override;
    void InsertHighscore();

    // The whole world of the game that runs, exactly (WorldSave.cpp): every vehicle's bodies and
    // joints and its car's fields, the traffic and the pedestrians with their plans, the rules, the
    // targets, the players' runs and the clocks, the generators, the physics space's order. Restore
    // takes away what was made since and makes again what went, so that stepping on with the same
    // inputs gives the same world to the last bit; it throws EReadError on bytes it cannot take.
    // The tick count of the session (KeyboardPasses) stays: key scripts and shots count it.
    void SaveWorld(TByteWriter& out, TWorldBounds* bounds = nullptr) const;
    void RestoreWorld(const std::vector<uint8_t>& bytes);
    TWorldDigest Digest() const;
    // The sync test's tick (see TGameSetup::SyncTestDepth), and its closing line.
    void SyncTestTick();
    void EndSyncTest();
    uint64_t SyncTicks = 0;      // ticks the world ran under the sync test
    uint64_t SyncMismatches = 0; // re-stepped ticks whose world differed from the first pass's

    // What is drawn over the world: the night's tint, the HUD.
    void DrawDarkness() { ShadeScene(uint8_t(Darkness)); }
    void DrawHud() { Hud.Draw(); }
    // The camera as drawn: `fraction` of the way from the last tick's camera to this one's.
    TCamera DrawnCamera(float fraction) const { return Hud.DrawnCamera(fraction); }
    // A player car's crash of this tick rumbles its player's pad, as hard as the damage it did.
    void RumbleCrashes();
    // Where the player cars stand, the first player's first; empty while there is none. What the
    // cars can hit and the traffic round them follow these, never the camera.
    std::vector<TGroundPoint> PlayerCarPlaces() const;
    // The player cars as the living city sees them: where they stand and which way they face.
    std::vector<TPlayerSight> PlayerSights() const;
    bool SightBlocked(float x0, float y0, float x1, float y1) const override;
    // The count-down's tick, and its sprite shows where it stands.
    void AdvanceCountdown();
    // This run's and the record run's routes on the city map of the result screen, risen as far as
    // the screen (`slide` pixels still to rise).
    void DrawRoutes(float slide) override;

    // TSpriteHost
    void PlaySample(const std::string& key) override;
    uint8_t MenuScreen() const override;
    void OpenMainMenu() override { ShowMenu(msMain); }
    // TTargetHost
    void AddSprite(TSprite* sprite) override { TEngine::AddSprite(sprite); }
    void AddSprite3D(TSprite3D* sprite) override { TEngine::AddSprite3D(sprite); }
    void AddMesh(TMesh* mesh) override { TEngine::AddMesh(mesh); }
    void RemoveSprite(TSprite* sprite) override { TEngine::RemoveSprite(sprite); }
    void RemoveSprite3D(TSprite3D* sprite) override { TEngine::RemoveSprite3D(sprite); }
    void RemoveMesh(TMesh* mesh) override { TEngine::RemoveMesh(mesh); }
    TScreenPoint Project(float x, float y, float z) override { return Camera.Project(x, y, z); }
    bool IsTwoPlayer() const override { return TwoPlayer; }
    TPlayerData& Player(int i) override;
    // TTrafficHost (the lists and the sample above serve both hosts)
    void AddVehicle(TVehicle* vehicle) override { TEngine::AddVehicle(vehicle); }
    void RemoveVehicle(TVehicle* vehicle) override { TEngine::RemoveVehicle(vehicle); }
    const TCamera& ViewCamera() const override { return Camera; }
    TCar* FirstCar() const override { return Car(1); }
    int32_t HourOfDay() const override { return TimeOfDay; }
    std::unique_ptr<TAICar> CreateTrafficCar(int32_t model) override {
        return CreateAICar(model, *this, *Traffic);
    }
    std::unique_ptr<TAICar> RemakeTrafficCar(const TCarConfig& config, const TMeshRecord& wheel,
                                             const TMeshRecord& chassis) override {
        return std::make_unique<TAICar>(*this, *Traffic, config, wheel, chassis);
    }
    // TMenuHost (the sprites, the sample, the players, the first car, the menu, the profiles, the
    // camera mode and the routes above serve it too)
    TMenuFonts Fonts() override { return {*ItemFont, *TextFont}; }
    int32_t ProfileCount() const override { return int32_t(Setup.Profiles->Records.size()); }
    uint8_t ActiveCameraMode() const override { return CameraMode; }
    const THighscores& HighscoreTable() const override { return Highscores; }
    int32_t LastRunPlace(uint8_t mission) const override { return LastRunMission == mission ? LastRunRank : -1; }
    void StartGame(int mission, bool twoPlayer) override;
    void RestartGame() override;
    void RaceRecordNext(std::unique_ptr<TReplay> record) override { Recorder.RecordToRace = std::move(record); }
    uint64_t DataSetOfRuns() override { return Recorder.DataSetOfRuns(); }
    void Quit() override { SetGameState(gsQuit); }
    bool GameUnderWay() const override;
    void GiveUpRun() override;
    bool RunGivenUp() const override { return GivenUp; }
    // THudHost (the players, the menu screen and the camera mode above serve it too)
    TCar* PlayerCar(int i) const override { return Car(i); }
    TCatchUp CatchUp() const override {
        return {Rules.CatchUpCountdown, Rules.CatchUpPoint[0], Rules.CatchUpPoint[1]};
    }
    int32_t FramesOfRun() const override { return RunFrames; }
    TGLFont& HudFont() override { return *ItemFont; }
    const TSprite* CountdownRing() const override;
    bool AtStation() const override { return Rules.AtGasStation || Rules.AtService; }
    const TSprite& HudSymbol(int k) const override;
    int32_t TargetsReached() const override { return Targets->AddedCount - Targets->Count(); }
    int32_t TargetsTotal() const override { return Targets->AddedCount; }
    const THintSprite* ShownHint() const override;
    // TRulesHost (the cars, the players, the car's making, the hint, the countdown, the keys and the
    // sample above serve it too)
    uint8_t RunningMission() const override { return Mission; }
    TTargetEngine& GameTargets() override { return *Targets; }
    void SetMapPosition(float x, float y) override {
        MapX = x;
        MapY = y;
    }
    bool HintShowing() const override;
    void RestartNameTags() override { RunFrames = 0; }
    void MissionWon() override {
        InsertHighscore();
        ShowMenu(msSingleResult);
    }
    void RaceOver() override { ShowMenu(msRaceResult); }
    // TRecorderHost (the cars, the players, the camera and its mode above serve it too)
    bool TrafficGore() const override { return Traffic->Gore; }
    const TKeySnapshot& TickKeys() const override;
    uint64_t TickNumber() const override { return KeyboardPasses; }
    bool WorldRanThisTick() const override;
    bool RunFinished() const override { return Rules.Finished; }

    void ShowSprite(TSprite* sprite) override { TEngine::ShowSprite(sprite); }
    // The countdown sprite is on screen and has not reached "GO".
    bool CountdownRunning() const override;
    // The rules and the world run with this menu screen open (none, gas station, service).
    bool WorldRuns() const;
    TCar* Car(int i) const { return Cars[size_t(i - 1)].get(); }

    TGameSetup Setup;
    TGameState GameState = gsNone;
    uint8_t Mission = 0;
    int32_t RunFrames = 0;
    uint64_t IdleMenuDigest = 0; // what the idle main menu showed when it was last drawn
    std::unique_ptr<TMenuImprovedEngine> Menu;
    std::unique_ptr<TTargetEngine> Targets;
    std::unique_ptr<TTrafficEngine> Traffic;
    std::array<std::unique_ptr<TCar>, 2> Cars;
    std::array<std::unique_ptr<TPlayerData>, 2> Players;
    bool TwoPlayer = false;
    std::unique_ptr<TGLFont> ItemFont, TextFont;
    int32_t Darkness = 0;
    THighscores Highscores;
    // The table and the rank 0..9 the last finished one-player run took; rank -1 when it was
    // slower than the ten in the table. Mission 0 before any run.
    uint8_t LastRunMission = 0;
    int32_t LastRunRank = -1;

    TLevelLoader Loader; // the loading stages, and the sprites and stations they made

    TCityHost City; // the cell words, the lamps and the loader's calls while the city is read
    bool DebugOverlay = false;
    uint8_t CameraMode = 0, PreviousCameraMode = 0;
    int32_t TimeOfDay = -1;
    THud Hud;         // the camera that follows the cars and what is drawn over the world
    TGameRules Rules; // the checks of every tick of the game that runs

    TReplayRecorder Recorder; // this run's recording, the last and the record run, the ghost
    TRouteGuide Guide;        // the route to the next target shown to the player
    bool GuideCitySet = false; // the guide has read the city's streets
    // The guide reads the city's streets (a sixth of a second): as the city loads, not in a frame.
    void PrepareGuide();
    bool StartedAGame = false; // a game has started in this session
    bool GivenUp = false;      // the run of the game that stands was left for the main menu

    // The keys the game reads now: the settings', or the defaults while a replay drives.
    const TKeyBindings& ActiveKeys() const override;

  private:
    bool Running() const;
    bool ActionPressed(int player, TKeyAction action) const;
    void HandleMenuKeys();
    // F11 or Alt+Enter: full screen or a window, remembered in the settings.
    void SwitchDisplayOnKey();
    void HandleGameKeys();
    void DrawMenu();
    void StartPractice();
    void RightCtrlMission(int fkey);
    void SpreadStartingCars(const TMapPoint& first, const TMapPoint& second);

    TStateDump Dump; // a line of the state every tick, when asked for

    // A tick of the sync test's window: the world before it, what the keys asked of the world in
    // it and the digests after it.
    struct TSyncControls {
        bool Present = false;
        uint8_t InputFlags = 0;
        float Amounts[4] = {};
    };
    struct TSyncTick {
        std::vector<uint8_t> Before;
        std::array<TSyncControls, 2> Controls;
        uint8_t Screen = 0;
        std::vector<uint8_t> AfterInput; // the world after the keys, when a station's menu was open
        TWorldDigest After{};
        uint64_t Tick = 0;
    };
    std::vector<TSyncTick> SyncWindow;   // the last ticks, oldest first, at most the depth
    std::vector<uint8_t> SyncLastWorld;  // the world after the last tick of the game
    // The world as the count-down of this game began: Restart puts it back.
    std::vector<uint8_t> StartWorld;
    // The game's look of a start (music, weather, camera, count-down) after StartWorld is back.
    void ShowRestart();
};
