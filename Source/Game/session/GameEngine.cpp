#include "session/GameEngine.h"
#include "controls/KeyControls.h"

#include "cars/Car.h"
#include "player/Config.h"
#include "sprites/GoSprite.h"
#include "sprites/HintSprite.h"
#include "sprites/IntroSprite.h"
#include "sprites/LocationSprite.h"
#include "ui/MenuImprovedEngine.h"
#include "controls/PadControls.h"
#include "session/DebugOverlay.h"
#include "uDistanceFade.h"
#include "Sound.h"
#include "sprites/SymbolSprite.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const TGameSetup& CheckedSetup(const TGameSetup& setup) {
    if (!setup.Profiles || setup.SelectedProfile < 0 || setup.SelectedProfile >= int(setup.Profiles->Records.size()))
        throw ERangeError("Selected profile " + std::to_string(setup.SelectedProfile) + " out of range");
    return setup;
}

} // namespace

TGameEngine::TGameEngine(int width, int height, bool fullscreen, const THarnessOptions& harness,
                         const TGameSetup& setup)
    : TEngine(width, height, fullscreen, 32, harness, {Config().WindowWidth, Config().WindowHeight}),
      Setup(CheckedSetup(setup)), Loader(*this, *this), City(*this), Hud(*this, Camera), Rules(*this),
      Recorder(*this, Setup.Replay, Setup.Notice, Setup.DataSet), Dump(Setup.DumpStateFile) {
    CountsTicks = true;
    Menu = std::make_unique<TMenuImprovedEngine>(*this);
    Targets = std::make_unique<TTargetEngine>(*this);
    Traffic = std::make_unique<TTrafficEngine>(*this);
    TwoPlayer = false;
    LoadPlayer(1, Setup.SelectedProfile);
    LoadPlayer(2, Setup.SelectedProfile);
    CreateFonts();
    if (!Setup.HighscoreFile.empty())
        Highscores.Load(Setup.HighscoreFile, Setup.Notice);
    DebugOverlay = false;
    SetCameraMode(Config().CameraView);
    City.Progress = [this](int32_t done, int32_t total) { Loader.DrawProgress(done, total); };
    // The notice is held with the window's own keys; a replay's keys start with the game's first tick.
    SetGameState(gsIntroScreen);
    if (Setup.Replay) {
        // The run's own menu keys come back pass by pass; nothing else drives.
        SetKeySource(std::make_unique<TReplayKeySource>(*Setup.Replay));
        SetPadSource(nullptr);
    }
}

TGameEngine::~TGameEngine() {
    if (!Setup.HighscoreFile.empty())
        Highscores.Save(Setup.HighscoreFile, Setup.Notice);
    // The window opens as the player left it next time.
    if (!Headless()) {
        TWindowSize window = WindowedSize();
        Config().WindowWidth = window.Width;
        Config().WindowHeight = window.Height;
    }
    // Nothing of ours may stay in the engine's lists once it is freed.
    for (auto& car : Cars)
        if (car)
            RemoveVehicle(car.get());
    Sprites.Clear();
    Sprites3D.Clear();
    Meshes.Clear();
    MapSprite = MapFrameSprite = nullptr;
}

TPlayerData& TGameEngine::Player(int i) {
    if (i != 1 && i != 2)
        throw ERangeError("Player " + std::to_string(i) + " out of range");
    return *Players[size_t(i - 1)];
}

void TGameEngine::LoadPlayer(int i, int profile) {
    if (i != 1 && i != 2)
        throw ERangeError("Player " + std::to_string(i) + " out of range");
    if (profile < 0 || profile >= MaxProfiles || profile >= int(Setup.Profiles->Records.size()))
        throw ERangeError("Profile " + std::to_string(profile) + " out of range");
    const TProfileRecord& record = Setup.Profiles->Records[size_t(profile)];
    if (record.Face < 0 || record.Face >= FaceCount)
        throw ERangeError("Face " + std::to_string(record.Face) + " out of range");
    uint8_t carType = Players[size_t(i - 1)] ? Players[size_t(i - 1)]->CarType : 0;
    Players[size_t(i - 1)] = std::make_unique<TPlayerData>(record);
    Players[size_t(i - 1)]->SetCarType(carType);
    Mission = record.Mission;
    for (int p = 0; p < 2; ++p)
        if (Loader.Sprites.FaceSprites[size_t(p)] && Players[size_t(p)])
            Loader.Sprites.FaceSprites[size_t(p)]->Texture =
                Resources().GetTexture(std::string("face_") + FaceTable[Players[size_t(p)]->Face].Name);
}

void TGameEngine::CreateFonts() {
    ItemFont = std::make_unique<TGLFont>(".\\data\\fonts\\menu_item.bmp", ".\\data\\fonts\\menu_item.dat", 640, 480);
    TextFont = std::make_unique<TGLFont>(".\\data\\fonts\\menu_text.bmp", ".\\data\\fonts\\menu_text.dat", 640, 480);
    for (TGLFont* font : {ItemFont.get(), TextFont.get()}) {
        font->Alpha = 255;
        font->SetColor(255, 255, 255);
    }
}

void TGameEngine::SetGameState(TGameState state) {
    if (state == GameState)
        return;
    TGameState old = GameState;
    GameState = state;
    switch (state) {
    case gsIntroScreen:
        if (old != gsNone)
            throw Exception("gsIntroScreen: Invalid previous state.");
        Loader.LoadStageOne(Setup.NoticeHold);
        Sound().PlaySong(Resources().GetModule("music"), 1);
        break;
    case gsStartGame:
        if (old == gsIntroScreen) {
            Loader.LoadStageTwo({Players[0]->Face, Players[1]->Face}, City, *Traffic);
            if (!Headless())
                PrepareGuide();
            DataSetOfRuns(); // what every replay recorded in this session is played on
            Sound().PlaySong(Resources().GetModule("music"), 0);
            RestartWorldClock();
            SetGameState(gsInGame);
        } else if (old == gsInGame) {
            SetGameState(gsInGame);
        } else {
            throw Exception("gsStartGame: Invalid previous state.");
        }
        break;
    case gsInGame:
        if (old == gsInMap) {
            ShowCityMap(false);
            ShowHudSymbols(true);
        } else if (old != gsStartGame) {
            throw Exception("gsInGame: Invalid previous state.");
        }
        break;
    case gsInMap:
        if (old != gsInGame)
            throw Exception("gsInMap: Invalid previous state.");
        ShowCityMap(true);
        ShowHudSymbols(false);
        break;
    default:
        break;
    }
}

bool TGameEngine::Running() const { return GameState != gsQuit && !WindowClosed() && !HarnessFinished(); }

void TGameEngine::Run() {
    if (Setup.PracticeMission != 0 && GameState == gsIntroScreen)
        StartPractice();
    SetPresentation(Config().VSync, Config().MaxFPS);
    RestartWorldClock();
    while (Running()) {
        int due = TicksDue();
        for (int i = 0; i < due && Running(); ++i)
            Tick();
        TicksLastFrame = uint32_t(due);
        // The last tick of a harness run is drawn too: its screenshot may be asked for.
        if (!Headless() && GameState != gsQuit && !WindowClosed())
            Present();
    }
    if (Setup.SyncTestDepth > 0)
        EndSyncTest();
}

void TGameEngine::Tick() {
    if (Setup.SyncTestDepth > 0) {
        SyncTestTick();
        return;
    }
    HandleInput();
    UpdateGame();
    StepWorld();
    Recorder.EndRecordedPass();
    Dump.Write(*this);
}

// As the menu starts a game: the car for both players, the game's own car when it allows only some,
// the profile's progress for a mission, then the loading and the set-up.
void TGameEngine::StartPractice() {
    int n = Setup.PracticeMission;
    if (!IsGame(n))
        throw ERangeError("Mission " + std::to_string(n) + " out of range 1.." + std::to_string(LastGame));
    int car = Setup.PracticeCar >= 0 ? Setup.PracticeCar : Players[0]->CarType;
    // A replay keeps the car it was recorded with: the single race screen lets any car into any
    // mission.
    uint8_t allowed = Setup.Replay ? 0 : MissionTable[n].Cars;
    if (allowed != 0 && !(allowed & (1u << car)))
        for (int t = 0; t < 8; ++t)
            if (allowed & (1u << t)) {
                car = t;
                break;
            }
    for (auto& player : Players)
        player->SetCarType(car);
    if (!IsRace(n))
        Players[0]->Mission = uint8_t(n);
    StartGame(n, IsRace(n));
}

void TGameEngine::StartGame(int mission, bool twoPlayer) {
    TwoPlayer = twoPlayer;
    GivenUp = false;
    SetGameState(gsStartGame);
    if (IsGame(mission))
        StartMission(mission);
    ShowMenu(msNone);
}

void TGameEngine::RestartGame() {
    // The world as the count-down began comes back at once; a game of another set-up loads anew.
    if (StartWorld.empty() || !IsGame(Mission) || !(GameState == gsInGame || GameState == gsInMap)) {
        StartGame(Mission, TwoPlayer);
        return;
    }
    GivenUp = false;
    if (GameState == gsInMap)
        SetGameState(gsInGame);
    // The hint that names the map key shows once a session, restarts or not.
    bool hintShown = Rules.MapHintShown;
    int32_t hintCountdown = Rules.MapHintCountdown;
    RestoreWorld(StartWorld);
    Rules.MapHintShown = hintShown;
    Rules.MapHintCountdown = hintCountdown;
    ShowRestart();
    ShowMenu(msNone);
}

bool TGameEngine::GameUnderWay() const {
    return (GameState == gsInGame || GameState == gsInMap) && Car(1) && !Rules.Finished && !GivenUp;
}

void TGameEngine::GiveUpRun() {
    // Nothing of the run is kept: no recording, no table entry (the rules stop with the world under
    // the menu, and nothing goes back to it).
    GivenUp = true;
    Recorder.Recording.reset();
}

uint8_t TGameEngine::MenuScreen() const { return Menu->Screen; }

bool TGameEngine::WorldRuns() const {
    uint8_t screen = Menu->Screen;
    return screen == msNone || screen == msGasStation || screen == msService;
}

bool TGameEngine::CountdownRunning() const {
    return Rules.CountdownRunning();
}

const TSprite* TGameEngine::CountdownRing() const {
    const TGoSprite* go = Loader.Sprites.GoSprite.get();
    return go && go->Alive ? go : nullptr;
}

const TSprite& TGameEngine::HudSymbol(int k) const { return *Loader.Sprites.SymbolSprites[size_t(k)]; }

bool TGameEngine::HintShowing() const { return ShownHint() != nullptr; }

const THintSprite* TGameEngine::ShownHint() const {
    const THintSprite* hint = Loader.Sprites.HintSprite.get();
    return hint && hint->Alive ? hint : nullptr;
}

void TGameEngine::PlaySample(const std::string& key) {
    Sound().PlaySample(Resources().GetSample(key), FSOUND_FREE, false);
}

const TKeyBindings& TGameEngine::ActiveKeys() const {
    // A replay keeps the map and camera keys as the default ones (see ReplayKeyBits).
    static const TKeyBindings defaults = TKeyBindings::Defaults();
    return Setup.Replay ? defaults : Config().Keys;
}

bool TGameEngine::ActionPressed(int player, TKeyAction action) const {
    return KeyPressed(ActiveKeys().Key(player, action));
}

void TGameEngine::HandleInput() {
    ReadKeyboard();
    bool inMenu = Menu->Screen != msNone || GameState != gsInGame;
    for (int i = 0; i < MaxPads; ++i)
        MergePadKeys(Pads[i], i + 1, inMenu, ActiveKeys(), Keys.Now);
    SwitchDisplayOnKey();
    if (Menu->Screen != msNone)
        HandleMenuKeys();
    else if (GameState == gsIntroScreen) {
        if (KeyPressed(DIK_ESCAPE))
            ShowMenu(msMain);
    } else if (GameState == gsInMap) {
        if (ActionPressed(0, TKeyAction::Map) || (TwoPlayer && ActionPressed(1, TKeyAction::Map)))
            SetGameState(gsInGame);
    } else if (GameState == gsInGame) {
        HandleGameKeys();
    }
    if (KeyPressed(DIK_F3))
        DebugOverlay = !DebugOverlay;
    Recorder.TakeControls();
    SaveKeyboard();
}

void TGameEngine::SwitchDisplayOnKey() {
    // Alt+Enter as in most games of the desktop; its Enter then chooses nothing in the menu or at a
    // station.
    bool altEnter = KeyPressed(DIK_RETURN) && (KeyDown(DIK_LMENU) || KeyDown(DIK_RMENU));
    if (!altEnter && !KeyPressed(DIK_F11))
        return;
    if (altEnter)
        Keys.Before[DIK_RETURN] = Keys.Now[DIK_RETURN];
    SetFullscreen(!Fullscreen);
    if (!Headless())
        Config().Windowed = !Fullscreen;
}

void TGameEngine::HandleMenuKeys() {
    uint8_t screen = Menu->Screen;
    if (Menu->Capturing) {
        if (KeyPressed(DIK_ESCAPE)) {
            Menu->CancelCapture();
            return;
        }
        for (uint32_t key = 1; key < 256; ++key)
            if (KeyPressed(key)) {
                Menu->CaptureKey(key);
                return;
            }
        return;
    }
    bool repeat = screen == msOptions || screen == msGasStation || screen == msService;
    if (KeyPressed(DIK_UP))
        Menu->PreviousItem();
    else if (KeyPressed(DIK_DOWN))
        Menu->NextItem();
    else if (repeat ? KeyDown(DIK_LEFT) : KeyPressed(DIK_LEFT))
        Menu->DecreaseValue();
    else if (repeat ? KeyDown(DIK_RIGHT) : KeyPressed(DIK_RIGHT))
        Menu->IncreaseValue();
    else if (KeyPressed(DIK_RETURN))
        Menu->ChooseItem();
    else if (KeyPressed(DIK_ESCAPE))
        Menu->Back();
}

void TGameEngine::RightCtrlMission(int fkey) {
    // Right Ctrl + Up + F-key would name missions 21..30, which no table holds: ignored.
    if (KeyDown(DIK_UP))
        return;
    Players[0]->Mission = uint8_t(KeyDown(DIK_RSHIFT) ? 11 + fkey : 1 + fkey);
    ShowMenu(msCarChoice);
}

void TGameEngine::HandleGameKeys() {
    bool rightCtrl = KeyDown(DIK_RCONTROL);
    if (rightCtrl)
        for (int k = 0; k < 10; ++k)
            if (KeyPressed(uint32_t(DIK_F1 + k))) {
                RightCtrlMission(k);
                return;
            }
    if (KeyPressed(DIK_RETURN)) {
        if (Rules.AtGasStation)
            ShowMenu(msGasStation);
        if (Rules.AtService)
            ShowMenu(msService);
    }
    if (KeyPressed(DIK_ESCAPE) && !CountdownRunning()) {
        ShowMenu(msPause);
        return;
    }
    if (Menu->Screen != msNone)
        return;
    TCar* car1 = Car(1);
    if (rightCtrl && car1)
        for (int t = 0; t < 8; ++t)
            if (KeyPressed(uint32_t(DIK_1 + t))) {
                Players[0]->SetCarType(t);
                CreatePlayerCar(1, t, car1->PosX, car1->PosY, car1->Heading, false);
                car1 = Car(1);
                break;
            }
    // Nobody drives off before "GO": the cars settle on their wheels, the drivers wait.
    if (CountdownRunning())
        car1 = nullptr;
    TCar* car2 = CountdownRunning() ? nullptr : Car(2);
    if (TwoPlayer && car2)
        DriveByKeys(*car2, Keys, ActiveKeys(), 1);
    if (car1)
        DriveByKeys(*car1, Keys, ActiveKeys(), 0);
    if (car1)
        DriveWithPad(Pads[0], *car1);
    if (TwoPlayer && car2)
        DriveWithPad(Pads[1], *car2);
    if (rightCtrl && KeyPressed(DIK_BACK)) {
        ShowMenu(msMissionFailed);
        return;
    }
    for (int player = 0; player < (TwoPlayer ? 2 : 1); ++player) {
        int32_t& zoom = Config().CameraZoom;
        if (ActionPressed(player, TKeyAction::ZoomIn))
            zoom = std::max(CameraZoomMin, zoom - CameraZoomStep);
        if (ActionPressed(player, TKeyAction::ZoomOut))
            zoom = std::min(CameraZoomMax, zoom + CameraZoomStep);
    }
    if (ActionPressed(0, TKeyAction::Camera) || (TwoPlayer && ActionPressed(1, TKeyAction::Camera))) {
        if (CameraMode == 0)
            SetCameraMode(1);
        else if (CameraMode == 1)
            SetCameraMode(0);
    }
    bool map = ActionPressed(0, TKeyAction::Map) || (TwoPlayer && ActionPressed(1, TKeyAction::Map));
    if (map && !CountdownRunning() && Car(1))
        SetGameState(gsInMap);
}

void TGameEngine::RumbleCrashes() {
    for (int i = 0; i < 2; ++i) {
        TCar* car = Car(i + 1);
        if (!car || car->CrashDamage <= 0)
            continue;
        // Pad 2 drives car 2 only in a race for two.
        if (Config().Rumble && (i == 0 || TwoPlayer))
            RumblePad(i, CrashRumble(car->CrashDamage), CrashRumbleMilliseconds);
        car->CrashDamage = 0;
    }
}

void TGameEngine::UpdateGame() {
    if (GameState == gsInGame && Car(1) && WorldRuns())
        Rules.Update();
}

void TGameEngine::StepWorld() {
    if (GameState == gsIntroScreen) {
        UpdateSprites();
        Menu->Tick();
    } else if (GameState == gsInGame) {
        Hud.UpdateCamera();
        std::vector<TPlayerSight> players = PlayerSights();
        TickMeshes(PlayerCarPlaces());
        if (WorldRuns()) {
            if (!players.empty())
                Traffic->Update(players);
            if (Rules.CatchUpCountdown < 1) {
                if (!Rules.CountdownHoldsCars()) {
                    UpdateVehicles();
                    RumbleCrashes();
                }
            } else {
                --Rules.CatchUpCountdown;
            }
        }
        AdvanceCountdown();
        TickSprites3D();
        UpdateSprites();
        Menu->Tick();
    } else if (GameState == gsInMap) {
        AdvanceCountdown();
        UpdateSprites();
    }
    ++RunFrames;
}

std::vector<TPlayerSight> TGameEngine::PlayerSights() const {
    std::vector<TPlayerSight> sights;
    // The first player's first: the traffic's regions follow it.
    if (TCar* car1 = Car(1)) {
        sights.push_back({car1->PosX, car1->PosY, car1->Heading});
        if (TCar* car2 = Car(2))
            sights.push_back({car2->PosX, car2->PosY, car2->Heading});
    }
    return sights;
}

std::vector<TGroundPoint> TGameEngine::PlayerCarPlaces() const {
    std::vector<TGroundPoint> places;
    for (const TPlayerSight& sight : PlayerSights())
        places.push_back({sight.X, sight.Y});
    return places;
}

bool TGameEngine::SightBlocked(float x0, float y0, float x1, float y1) const {
    // Fences, hedges and kiosks hide nothing from a driver's seat; a house does.
    constexpr float EyeHeight = 2.5f;
    return MeshGrid && MeshGrid->SightBlocked(x0, y0, x1, y1, EyeHeight);
}

void TGameEngine::AdvanceCountdown() {
    Rules.AdvanceCountdown();
    TGoSprite* go = Loader.Sprites.GoSprite.get();
    if (!go)
        return;
    if (Rules.CountdownTicks < 0)
        go->Alive = false;
    else
        go->Show(Rules.CountdownTicks);
}

void TGameEngine::RenderFrame() {
    StepWorld();
    if (Headless())
        return;
    BeginFrame();
    DrawFrame(1);
    EndFrame();
}

void TGameEngine::Pass() {
    Tick();
    if (!Headless())
        Present();
}

void TGameEngine::Present() {
    // The main menu over the intro mostly stands still: only the frames that change it are drawn.
    if (GameState == gsIntroScreen && Menu->Screen == msMain && !Unattended()) {
        RenderIdleMenu();
        return;
    }
    BeginFrame();
    DrawFrame(DrawFraction());
    EndFrame();
}

void TGameEngine::DrawFrame(float fraction) {
    if (GameState == gsIntroScreen) {
        DrawSpriteLayer();
        if (Menu->Screen != msNone)
            DrawMenu();
    } else if (GameState == gsInGame) {
        // The world as it stands between the last two ticks, seen by the camera as it stood there;
        // the tick's own camera comes back before anything reads it.
        // The arrow along the route is aimed with the tick's camera, as the rules aim the arrows.
        UpdateGuidance();
        TCamera tickCamera = Camera;
        Camera = DrawnCamera(fraction);
        // The chase view reaches down the street; the views from above as far as the ground lies
        // below the eye, however far back the speed has drawn them.
        if (CameraMode == 1)
            Camera.ViewDistance = ChaseViewDistance;
        else
            Camera.ViewDistance = std::max(Camera.ViewDistance, int32_t(Camera.Distance * 1.3f) + 6);
        RenderScale = Config().RenderScale;
        BeginScenePass();
        Camera.Apply();
        PrepareMeshes(fraction);
        // The opaque scene nearest first (the cars are nearest the camera), dimmed by the night as
        // it is drawn, then the ground on what is left: the software renderer shades each pixel of
        // it about once.
        BeginOpaqueScene();
        DrawDarkness();
        DrawVehicles(fraction);
        Recorder.DrawGhost(fraction);
        DrawPreparedMeshes();
        EndShade();
        DrawGroundWhereEmpty(1.0f - float(Darkness) / 255.0f);
        if (CameraMode == 1)
            DrawDistanceFade(Camera, SkyColour().data(), ChaseFadeStart * float(Camera.ViewDistance));
        DrawSprite3DLayer();
        EndScenePass();
        Camera = tickCamera;
        DrawSpriteLayer();
        if (DebugOverlay)
            DrawDebugOverlay(*this, *TextFont);
        if (Menu->Screen != msNone) {
            DrawMenu();
        } else {
            DrawHud();
            DrawMiniMap();
        }
    } else if (GameState == gsInMap) {
        DrawSpriteLayer();
        DrawCityMapRoute();
    }
}

// Of the idle main menu only the frames that change the picture are drawn: the intro's pictures
// move a pixel now and then, the menu only when a key moves its marker. A run under the harness
// draws every frame, so that its screenshots come where they are asked for.
void TGameEngine::RenderIdleMenu() {
    uint64_t digest = SpriteDigest();
    for (int32_t value : {int32_t(Menu->Screen), Menu->Selected, Menu->Slide, int32_t(Config().Language)})
        digest = MixDigest(digest, uint32_t(value));
    // The panel still sliding in moves as the menu is drawn.
    if (digest == IdleMenuDigest && Menu->Slide <= 0 && !PictureLost()) {
        SkipFrame();
        return;
    }
    IdleMenuDigest = digest;
    BeginFrame();
    DrawSpriteLayer();
    DrawMenu();
    EndFrame();
}

void TGameEngine::DrawMenu() { Menu->DrawMenu(); }

void TGameEngine::ShowMenu(uint8_t screen) {
    Menu->SetScreen(screen);
    if (screen == msMissionFailed)
        Sound().PlaySong(Resources().GetModule("music"), 178);
    else if (screen == msCarChoice)
        Sound().PlaySong(Resources().GetModule("music"), 0);
    if (GameState != gsIntroScreen)
        ShowHudSymbols(screen == msNone);
    else if (screen != msNone && Loader.Sprites.IntroSprite)
        Loader.Sprites.IntroSprite->Settle();
}

void TGameEngine::ShowHudSymbols(bool on) {
    auto& faces = Loader.Sprites.FaceSprites;
    auto& symbols = Loader.Sprites.SymbolSprites;
    // Everything goes first, so a symbol of an earlier game never lingers.
    for (auto& face : faces)
        if (face)
            face->Alive = false;
    for (auto& symbol : symbols)
        if (symbol)
            symbol->Alive = false;
    if (!on || !faces[0])
        return;
    ShowMap = false;
    if (TwoPlayer) {
        for (auto& face : faces) {
            face->Width = face->Height = 64;
            face->Y = 404;
            ShowSprite(face.get());
        }
        return;
    }
    TSprite& face = *faces[0];
    face.Width = face.Height = 128;
    face.Y = 340;
    ShowSprite(&face);
    int32_t k = 0;
    for (int i = 0; i < 6; ++i)
        if (Players[0]->HudSymbols & (1u << i)) {
            symbols[size_t(i)]->SetPosition(590 - 50 * k, 440);
            ShowSprite(symbols[size_t(i)].get());
            ++k;
        }
}

void TGameEngine::ShowCityMap(bool on) {
    TLocationSprite& location = *Loader.Sprites.LocationSprite;
    Sound().PlaySample(Resources().GetSample("city_map"), FSOUND_FREE, false);
    if (on) {
        Sound().StopSound(0);
        Sound().StopSound(1);
        if (TCar* car1 = Car(1))
            location.SetLocation(int32_t(std::trunc(car1->PosX)), int32_t(std::trunc(car1->PosY)));
        ShowSprite(MapSprite);
        ShowSprite(&location);
        Targets->ShowMapSymbols(true);
    } else {
        MapSprite->Alive = false;
        location.Alive = false;
        Targets->ShowMapSymbols(false);
        // The engines were silenced for the map; they run again with the game.
        for (auto& car : Cars)
            if (auto* model = dynamic_cast<TModelCar*>(car.get()))
                Sound().PlaySample(Resources().GetSample(model->Model.EngineSample), model->SoundChannel, true);
    }
}

void TGameEngine::ShowHint(const std::string& english, const std::string& czech) {
    THintSprite* hint = Loader.Sprites.HintSprite.get();
    if (!hint || hint->Alive)
        return;
    hint->Show(english, czech);
    ShowSprite(hint);
}

void TGameEngine::ShowHint(const TTextPair& pair) {
    auto texts = PairText(pair);
    ShowHint(texts[0], texts[1]);
}

void TGameEngine::SetTimeOfDay(int32_t hour) {
    if (hour == TimeOfDay)
        return;
    TimeOfDay = hour;
    if (hour >= 9 && hour <= 17) {
        SetLamps(64, 3.5f);
        Darkness = 32;
    } else if (hour >= 18 && hour <= 21) {
        SetLamps(102, 4.2f);
        Darkness = 64;
    } else if ((hour >= 0 && hour <= 3) || (hour >= 22 && hour <= 24)) {
        SetLamps(176, 5.0f);
        Darkness = 112;
    }
}

std::array<float, 3> TGameEngine::SkyColour() const {
    // A pale haze by day, dusk's violet in the evening, near black at night: what the far edge of
    // the chase view fades into.
    if (Darkness <= 32)
        return {0.62f, 0.67f, 0.72f};
    if (Darkness <= 64)
        return {0.30f, 0.27f, 0.36f};
    return {0.03f, 0.03f, 0.06f};
}

void TGameEngine::SetCameraMode(uint8_t mode) {
    if (mode == CameraMode)
        return;
    PreviousCameraMode = CameraMode;
    CameraMode = mode;
    // The view a player chooses is the one the next game starts in; a replay's is its own.
    if (mode <= 1 && !Setup.Replay)
        Config().CameraView = mode;
    if (mode == 0) {
        Camera.ViewDistance = 20;
        Camera.SetPitch(1.5324842f);
        Camera.SetDistance(TopRestDistance);
    } else if (mode == 1) {
        Camera.ViewDistance = 20;
        Camera.SetPitch(ChasePitch);
        Camera.SetDistance(ChaseRestDistance * (Car(1) ? ChaseScale(*Car(1)) : 1.0f));
    }
}

void TGameEngine::DrawRoutes(float slide) {
    if (!Recorder.HasLastRun || !Loader.Sprites.MapPicture)
        return;
    BeginOverlay();
    Recorder.DrawRoutes(slide, Loader.Sprites.MapPicture->Texture);
    EndOverlay();
}

const TKeySnapshot& TGameEngine::TickKeys() const { return Keys; }

bool TGameEngine::WorldRanThisTick() const { return GameState == gsInGame && WorldRuns(); }
