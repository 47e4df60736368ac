// TEngine: the game-independent core. Opens the GL window (or none, headless), keeps the four object
// lists (2D sprites, 3D sprites, meshes, vehicles) and the world clock, and offers the building
// blocks of a tick (the world moves 10 ms; nothing is drawn) and of a drawn frame, from BeginFrame to
// the paced EndFrame (nothing of the world changes). Owns the lists, the camera and the key source;
// never the objects in the lists.
#pragma once

#include "Resources.h"
#include "uCamera.h"
#include "uErrors.h"
#include "uGamepad.h"
#include "uHarness.h"
#include "uKeyboard.h"
#include "uList.h"
#include "uCityEdge.h"
#include "uMeshGrid.h"
#include "uParticleSystem.h"
#include "uPhysics.h"
#include "uPlatform.h"
#include "uQuadBatch.h"
#include "uScenePass.h"
#include "uSprite.h"
#include "uSprite3d.h"
#include "uTextureGrid.h"
#include "UMesh.h"
#include "uVehicle.h"
#include "uWorldClock.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

struct GLFWwindow;
class TByteReader;
class TByteWriter;

// A window's size in screen coordinates.
struct TWindowSize {
    int Width = 0, Height = 0; // 0: the layout's size
};

// What the window system tells an engine between its frames, through the window's user pointer.
struct TWindowEvents {
    TLiveKeySource* LiveKeys = nullptr; // the keyboard's source while the keys are live
    bool NeedsDrawing = true;           // the window lost what it showed; the next frame drawn clears it
};

// Folds a value into an FNV-1a digest (start from 14695981039346656037).
uint64_t MixDigest(uint64_t digest, uint64_t value);

class TEngine {
  public:
    // Opens the window (full-screen at the desktop's own resolution, or a resizable window of
    // `window`'s size) and sets the fixed GL state; a headless harness opens nothing and draws
    // nothing. `bits` is accepted and not used. Throws EEngineError on failure.
    TEngine(int width, int height, bool fullscreen, int bits, const THarnessOptions& harness = {},
            TWindowSize window = {});
    virtual ~TEngine();
    TEngine(const TEngine&) = delete;
    TEngine& operator=(const TEngine&) = delete;

    uint32_t LoadTexture(const std::string& fileName);
    void FreeTexture(uint32_t id);
    // A 3DS file as one display list; a missing file raises EInOutError, a malformed one Exception,
    // both naming the file.
    void LoadMesh(const std::string& fileName, const std::string& textureOverride, float scale, TMeshRecord& record);

    bool InitKeyboard();
    // Takes this tick's key snapshot, and the pads' state of the same tick.
    void ReadKeyboard();
    // Whether a key of the window's keyboard is down, for a screen that waits before the first
    // tick: no tick's keys are taken, and a key source that is not live (a script, a replay) is
    // never read.
    bool AnyLiveKeyDown();
    // This tick's keys (see TKeySnapshot).
    bool KeyDown(uint32_t code) const { return Keys.Down(code); }
    bool KeyPressed(uint32_t code) const { return Keys.Pressed(code); }
    void SaveKeyboard() { Keys.Save(); }
    // Replace the key or pad source (a replay feeds its own); the next read takes from the new one.
    void SetKeySource(std::unique_ptr<TKeySource> source) {
        // The window's key events go to the new source only when it is a live one.
        WindowEvents.LiveKeys = dynamic_cast<TLiveKeySource*>(source.get());
        KeySource = std::move(source);
    }
    void SetPadSource(std::unique_ptr<TPadSource> source) { PadSource = std::move(source); }
    // Rumbles pad 0 or 1 through the pad source, and notes the strength asked for in this tick.
    void RumblePad(int pad, float strength, uint32_t milliseconds);

    void BeginFrame();
    // Shows the frame, then waits as the frame's pace asks; a loading frame (`paced` false) goes
    // straight back to its work, but on the fixed clock, where every frame lasts 10 ms.
    void EndFrame(bool paced = true);

    void AddSprite(TSprite* sprite);
    // Adds a sprite to the 2D list once, even when it is there already.
    void ShowSprite(TSprite* sprite) {
        if (!sprite)
            return;
        Sprites.Remove(sprite);
        AddSprite(sprite);
    }
    void AddSprite3D(TSprite3D* sprite);
    void AddMesh(TMesh* mesh);
    void AddVehicle(TVehicle* vehicle);
    void RemoveSprite(TSprite* sprite) { Sprites.Remove(sprite); }
    void RemoveSprite3D(TSprite3D* sprite) { Sprites3D.Remove(sprite); }
    // A batch of 3D sprites in one walk of the list, which tyre tracks make thousands long.
    void RemoveSprites3D(std::span<TSprite3D* const> sprites) { Sprites3D.Remove(sprites); }
    void RemoveVehicle(TVehicle* vehicle) { Vehicles.Remove(vehicle); }
    void RemoveMesh(TMesh* mesh) { Meshes.Remove(mesh); }
    // Replaces the weather effect: ParticleNone or ParticleSnow with its particle texture. The
    // current particles always go, even when the same effect is chosen again.
    void SetParticleEffect(int32_t type, uint32_t texture = 0);
    // Alpha and size (metres) of every street-lamp glow in the 3D sprite list.
    void SetLamps(uint8_t alpha, float size);

    // White, then the ground tiles around the camera.
    void DrawTextureGrid();
    // Surrounds the city with this mesh piece from now on (see TCityEdge).
    void SetCityEdge(const TMeshRecord& piece) { CityEdge = std::make_unique<TCityEdge>(Camera, piece); }
    // A tick and a drawing of the meshes in one, for a loop that draws every tick.
    void DrawMeshes();
    // The vehicles' tick: each keeps its pose, takes its per-tick calls, then the physics steps by the
    // clamped step of one tick.
    void UpdateVehicles();
    // The physics' part of a saved world: the vehicles' numbering and where the obstacle boxes were
    // made for; restored after every vehicle stands in the world, with the space's order as a
    // physics step leaves it.
    void SavePhysics(TByteWriter& out) const;
    void RestorePhysics(TByteReader& in);
    // The collisions walk the space's geoms in the order of its list, and their results depend on
    // it: every vehicle's parts in their build order, the vehicles in front of the obstacle boxes in
    // the order of the vehicle list (the first at the back), as if each had been made just now.
    void NormaliseSpaceOrder();
    // The generators the world draws from: the game's and the physics library's own.
    void SaveWorldRandom(TByteWriter& out) const;
    void RestoreWorldRandom(TByteReader& in);
    // After vehicles were made or taken away to match a saved world: the vehicle list in the order
    // of the vehicles' serials, and the vehicles from serial `rebuildFrom` on (0: none) made anew in
    // the physics world in that order, so its lists stand as they stood when the world was saved.
    void OrderVehicles(uint64_t rebuildFrom);
    // The vehicles in view, `fraction` of the way from the last tick's poses to the present ones.
    void DrawVehicles(float fraction = 1);

    // The meshes' tick: each keeps its pose and takes its per-tick calls, and the obstacle boxes of
    // the buildings within ObstacleReach of the player cars (`cars`) stand in the physics space.
    void TickMeshes(const std::vector<TGroundPoint>& cars = {});
    // The opaque scene drawn nearest first, for the software rasteriser, whose depth test turns
    // away whole blocks of pixels behind what is already drawn before it shades them. PrepareMeshes
    // chooses the meshes and buildings in view of the camera as it is drawn, `fraction` of the way
    // from their last tick's poses; DrawPreparedMeshes draws that choice. The ground comes last, on
    // the pixels left empty, where it looks as if drawn first; ShadeScene dims what is drawn before
    // it (alpha 0..255 of black), so the ground dims itself by the same amount: `shade` = 1 - alpha / 255.
    void PrepareMeshes(float fraction = 1);
    // The state the opaque scene starts from, whatever the frames before left: depth test on, no
    // texture, white.
    void BeginOpaqueScene();
    void DrawPreparedMeshes();
    // The night's dimming in the opaque pass itself: between ShadeScene and EndShade every fragment
    // comes out at 1 - alpha / 255 of its colour (a black fog of constant density), so no second
    // pass blends over the whole screen.
    void ShadeScene(uint8_t alpha);
    void EndShade();
    void DrawGroundWhereEmpty(float shade);
    // Around the 3D pass: at RenderScale percent of the view's pixels (0: chosen for the renderer),
    // stretched to the whole view at the end; the 2D passes after it are drawn at full size.
    void BeginScenePass() {
        if (Window)
            ScenePass.Begin(RenderScale);
    }
    void EndScenePass() {
        if (Window)
            ScenePass.End();
    }
    int32_t RenderScale = 0;
    // A tick of the 3D sprites and the weather, then their drawing.
    void DrawSprites3D();
    // The 3D sprites' and the weather's tick (the game clock moves on by the tick's 10 ms).
    void TickSprites3D();
    void DrawSprite3DLayer();
    // Moves the 2D sprites on by a tick, then draws them.
    void DrawSprites();
    // The two halves of DrawSprites: the tick and the drawing.
    void UpdateSprites();
    void DrawSpriteLayer();
    // A digest of what the 2D sprites show (texture, place, size, turn, colour of each drawn one,
    // in drawing order) and of the framebuffer's size: equal digests draw the same sprite layer
    // (the city map's inset aside).
    uint64_t SpriteDigest();
    // A frame that leaves the picture as it is: no drawing and no swap, only the wait for the next
    // tick and the window's events. A window the system asked to draw again (uncovered, restored)
    // makes PictureLost true until the next EndFrame.
    void SkipFrame();
    bool PictureLost() const;
    // The sprite leaves a mark on the layout: not faded out, not wholly outside it.
    bool Shows(const TSprite& sprite) const;
    void BeginOverlay();
    void SetOverlayColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    void DrawOverlayRect(float x1, float y1, float x2, float y2);
    void EndOverlay();

    // Lets the window system deliver its events (keys, resizes) outside a frame.
    void PollEvents();
    // The player closed the window.
    bool WindowClosed() const;
    // Saves the frame drawn after tick `tick` as a PNG too, as a --shot option would.
    void AddShot(uint64_t tick, const std::string& fileName) { Harness.Shots.emplace_back(tick, fileName); }
    // The harness's tick limit has been reached, or the keys' controller has closed its stream.
    bool HarnessFinished() const;
    // Keys come from a script, ticks are counted or the clock is fixed: no waiting for a person.
    bool Unattended() const { return Harness.Unattended(); }
    // One tick per drawn frame, and every frame lasts exactly 10 ms of game time.
    bool ClockIsFixed() const { return FixedClock != nullptr; }
    // No window, no GL, no waiting: ticks run as fast as the processor allows.
    bool Headless() const { return Harness.Headless; }
    // The world clock's ticks owed before the next drawn frame (one on the fixed clock and headless),
    // and how far into the next tick that frame is drawn (1: the last tick's poses as they are).
    int TicksDue();
    float DrawFraction();
    // Vertical sync and the frame cap (0: none): from now on the world clock paces the frames.
    void SetPresentation(bool vsync, int maxFps);
    // The world clock counts from now: after a loading that took seconds, nothing is owed.
    void RestartWorldClock() { WorldClock.Start(GetTime()); }
    // Full screen at the desktop's own mode, or back to the window as it was (centred, when the game
    // began in full screen). The GL context and everything loaded into it stay; the next frame is
    // laid out for the new framebuffer. Headless, or with no monitor to fill, nothing changes.
    void SetFullscreen(bool fullscreen);
    // The window's size in window mode: as it is now, or as it was before full screen.
    TWindowSize WindowedSize() const;
    // Window pixels of the framebuffer and the 4:3 area the layout is scaled into (the layout's own
    // size when headless).
    void FramebufferSize(int& width, int& height) const;

    int32_t Width, Height; // layout size in pixels, as passed to the constructor
    bool Fullscreen;
    static constexpr float TickStep = float(TWorldClock::TickSeconds); // seconds a tick moves the world
    double LastSwapTime = 0; // seconds, after the previous swap
    double FPSStamp = 0;     // seconds, start of the current one-second window
    float FrameCounter = 0;  // frames in the current window
    float FPS = 0;           // frames in the last completed window
    TList<TSprite> Sprites;
    TList<TSprite3D> Sprites3D;
    TList<TMesh> Meshes;
    TList<TVehicle> Vehicles;
    std::unique_ptr<TParticleSystem> ParticleSystem; // the current weather effect, or none
    int32_t ParticleType = ParticleNone;
    // The game clock in whole milliseconds: 10 a tick. The weather's births and deaths count in it,
    // so a particle lives the same number of ticks whenever it is born.
    double GameMs = 0;
    bool ShowMap = false;
    TSprite* MapSprite = nullptr;      // the city map picture of the inset (texture only)
    TSprite* MapFrameSprite = nullptr; // the frame around the inset (texture only)
    float MapX = 0, MapY = 0;          // map point at the centre of the inset
    TCamera Camera;
    // This engine's rigid-body world: the vehicles' bodies and the city's obstacle boxes live in it.
    std::unique_ptr<TPhysicsWorld> Physics;
    std::unique_ptr<TTextureGrid> TextureGrid; // ground tiles of the city
    std::unique_ptr<TMeshGrid> MeshGrid;       // buildings and collision blocks of the city
    std::unique_ptr<TCityEdge> CityEdge;       // the country round it, once its mesh is loaded
    uint64_t FramesDone = 0;  // frames so far, drawn or skipped
    uint64_t FramesDrawn = 0; // EndFrame calls so far
    uint32_t TicksLastFrame = 0; // ticks run before the last drawn frame (the diagnostic overlay)
    TKeySnapshot Keys;                          // this tick's and the previous tick's keys
    TPadState Pads[MaxPads], PrevPads[MaxPads]; // this tick's and the previous tick's pads
    float RumbleAsked[MaxPads] = {};            // the strongest rumble each pad was asked for this tick
    // Seconds a frame lasts at least on the real clock; 0 leaves the pace to the world clock.
    double FrameInterval = TWorldClock::TickSeconds;
    // ReadKeyboard calls so far: the number of the next tick. Key scripts count these, and so do
    // --frames and --shot where the engine runs ticks (the game); a loop of a tool or a test that
    // draws a frame a pass has them count its frames.
    uint64_t KeyboardPasses = 0;
    bool CountsTicks = false;

  private:
    // The physics, the view distance and the two grids of the city, as every engine starts them.
    void InitWorld();
    // The end of every frame, drawn or not: the wait for its interval, then the count.
    void PaceFrame(bool paced = true);
    // The frames keep their own pace (the fixed clock's 10 ms, or a tool's interval) rather than
    // the world clock's.
    bool OwnPace() const { return FixedClock || FrameInterval > 0; }
    // Where a frame of that own pace ends: 10 ms after the last swap on the fixed clock, else the
    // frame interval after it.
    double OwnFrameEnd() const { return LastSwapTime + (FixedClock ? TWorldClock::TickSeconds : FrameInterval); }
    void SaveShots();

    // A mesh of the list as PrepareMeshes found it in view.
    struct TMeshDraw {
        float Depth; // metres in front of the eye
        uint32_t List;
        dVector3 Position;
        float Heading;
    };
    std::vector<TMeshDraw> PreparedMeshes;
    std::vector<std::pair<float, TVehicle*>> VehicleOrder; // scratch of DrawVehicles
    TScenePass ScenePass;
    TQuadBatch Batch; // the quads of the sprite layers and the weather, reused every frame

    GLFWwindow* Window = nullptr;
    TWindowEvents WindowEvents;
    TWindowSize Windowed;               // the window's size while full screen
    int WindowedX = -1, WindowedY = -1; // and its place; -1: it never had one
    THarnessOptions Harness;
    std::unique_ptr<TKeySource> KeySource;
    std::unique_ptr<TPadSource> PadSource; // none: no pads (a key script alone drives the run)
    std::unique_ptr<TFixedClock> FixedClock;
    TClock* PreviousClock = nullptr;
    TWorldClock WorldClock;
    uint64_t LastShotTick = 0; // the shots of ticks up to this one are saved
};
