// TEngine: the game-independent core. Opens the GL window, keeps the four object lists (2D sprites,
// 3D sprites, meshes, vehicles) and offers the building blocks of one frame, from BeginFrame to the
// capped EndFrame. Owns the lists, the camera and the key source; never the objects in the lists.
#pragma once

#include "Resources.h"
#include "uCamera.h"
#include "uErrors.h"
#include "uGamepad.h"
#include "uHarness.h"
#include "uKeyboard.h"
#include "uList.h"
#include "uMeshGrid.h"
#include "uParticleSystem.h"
#include "uPlatform.h"
#include "uSprite.h"
#include "uSprite3d.h"
#include "uTextureGrid.h"
#include "UMesh.h"
#include "uVehicle.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

struct GLFWwindow;

// Folds a value into an FNV-1a digest (start from 14695981039346656037).
uint64_t MixDigest(uint64_t digest, uint64_t value);

class TEngine {
  public:
    // Opens the window (full-screen at the desktop's own resolution, or a resizable window) and sets
    // the fixed GL state. `bits` is accepted and not used. Throws EEngineError on failure.
    TEngine(int width, int height, bool fullscreen, int bits, const THarnessOptions& harness = {});
    virtual ~TEngine();
    TEngine(const TEngine&) = delete;
    TEngine& operator=(const TEngine&) = delete;

    uint32_t LoadTexture(const std::string& fileName);
    void FreeTexture(uint32_t id);
    // A 3DS file as one display list; a missing file raises EInOutError, a malformed one Exception,
    // both naming the file.
    void LoadMesh(const std::string& fileName, const std::string& textureOverride, float scale, TMeshRecord& record);

    bool InitKeyboard();
    // Takes this pass's key snapshot, and the pads' state of the same pass.
    void ReadKeyboard();
    // Replace the key or pad source (a replay feeds its own); the next read takes from the new one.
    void SetKeySource(std::unique_ptr<TKeySource> source) { KeySource = std::move(source); }
    void SetPadSource(std::unique_ptr<TPadSource> source) { PadSource = std::move(source); }

    void BeginFrame();
    void EndFrame();

    void AddSprite(TSprite* sprite);
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
    void DrawMeshes();
    void UpdateVehicles();
    void DrawVehicles();

    // The opaque scene drawn nearest first, for the software rasteriser, whose depth test turns
    // away whole blocks of pixels behind what is already drawn before it shades them. DrawMeshes in
    // two halves: PrepareMeshes makes the meshes' per-frame calls, raises the obstacle boxes of the
    // buildings in view and chooses what to draw; DrawPreparedMeshes, after the physics, draws that
    // choice as it stood. The ground comes last, on the pixels left empty, where it looks as if drawn
    // first; DarkenScene dims what is drawn before it (alpha 0..255 of black), so the ground dims
    // itself by the same amount: `shade` = 1 - alpha / 255.
    void PrepareMeshes();
    // The state the opaque scene starts from, whatever the frames before left: depth test on, no
    // texture, white.
    void BeginOpaqueScene();
    void DrawPreparedMeshes();
    void DarkenScene(uint8_t alpha);
    void DrawGroundWhereEmpty(float shade);
    void DrawSprites3D();
    // Moves the 2D sprites on by a frame, then draws them.
    void DrawSprites();
    // The two halves of DrawSprites, for a frame that may not need drawing.
    void UpdateSprites();
    void DrawSpriteLayer();
    // A digest of what the 2D sprites show (texture, place, size, turn, colour of each drawn one,
    // in drawing order) and of the framebuffer's size: equal digests draw the same sprite layer
    // (the city map's inset aside).
    uint64_t SpriteDigest();
    // A frame that leaves the picture as it is: no drawing and no swap, only the wait for the
    // frame's interval and the window's events. A window the system asked to draw again
    // (uncovered, restored) makes PictureLost true until the next EndFrame.
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
    // Saves frame `frame` as a PNG too, as a --shot option would.
    void AddShot(uint64_t frame, const std::string& fileName) { Harness.Shots.emplace_back(frame, fileName); }
    // The harness's frame limit has been reached, or the keys' controller has closed its stream.
    bool HarnessFinished() const;
    // Keys come from a script, frames are counted or the clock is fixed: no waiting for a person.
    bool Unattended() const { return Harness.Unattended(); }
    // Every frame lasts exactly 10 ms of game time.
    bool ClockIsFixed() const { return FixedClock != nullptr; }
    // Window pixels of the framebuffer and the 4:3 area the layout is scaled into.
    void FramebufferSize(int& width, int& height) const;

    int32_t Width, Height; // layout size in pixels, as passed to the constructor
    bool Fullscreen;
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
    double LastFrameTime = 0; // milliseconds, at the previous BeginFrame
    float DeltaTime = 0;      // seconds between the last two BeginFrame calls
    // When not negative, what the frames last instead of what the clock measured: a recorded run
    // driven again moves its world by the very steps it was recorded with.
    float ForcedDeltaTime = -1;
    // The game clock in whole milliseconds: the sum of the frames' steps. The weather's births and
    // deaths count in it, so they repeat with the steps, and being whole numbers, a particle lives the
    // same number of frames whenever it is born.
    double GameMs = 0;
    bool ShowMap = false;
    TSprite* MapSprite = nullptr;      // the city map picture of the inset (texture only)
    TSprite* MapFrameSprite = nullptr; // the frame around the inset (texture only)
    float MapX = 0, MapY = 0;          // map point at the centre of the inset
    TCamera Camera;
    std::unique_ptr<TTextureGrid> TextureGrid; // ground tiles of the city
    std::unique_ptr<TMeshGrid> MeshGrid;       // buildings and collision blocks of the city
    uint64_t FramesDone = 0;  // frames so far, drawn or skipped
    uint64_t FramesDrawn = 0; // EndFrame calls so far
    TPadState Pads[MaxPads], PrevPads[MaxPads]; // this pass's and the previous pass's pads
    double FrameInterval = 0.01; // seconds a frame lasts at least on the real clock
    uint64_t KeyboardPasses = 0; // ReadKeyboard calls so far: the number of the next pass

  private:
    // The end of every frame, drawn or not: the wait for its interval, then the count.
    void PaceFrame();
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

    GLFWwindow* Window = nullptr;
    THarnessOptions Harness;
    std::unique_ptr<TKeySource> KeySource;
    std::unique_ptr<TPadSource> PadSource; // none: no pads (a key script alone drives the run)
    std::unique_ptr<TFixedClock> FixedClock;
    TClock* PreviousClock = nullptr;
};
