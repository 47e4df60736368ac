#include "uEngine.h"
#include "u3ds.h"
#include "uBMP.h"
#include "uGLState.h"
#include "uMapCoords.h"
#include "uPhysics.h"
#include "uByteReader.h"
#include "uByteWriter.h"
#include "uRandom.h"
#include "uSdlPads.h"

#include <GL/gl.h>
#include <bit>
#include <GLFW/glfw3.h>
#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

const float ClearColor[4] = {0, 0, 0, 0};

TWindowEvents& EventsOf(GLFWwindow* window) {
    return *static_cast<TWindowEvents*>(glfwGetWindowUserPointer(window));
}

void KeyCallback(GLFWwindow* window, int key, int, int action, int) {
    TLiveKeySource* source = EventsOf(window).LiveKeys;
    uint32_t code = ScanCodeOfGlfwKey(key);
    if (source && code != 0 && action != GLFW_REPEAT)
        source->SetKey(code, action == GLFW_PRESS);
}

void RefreshCallback(GLFWwindow* window) {
    EventsOf(window).NeedsDrawing = true;
}

void FocusCallback(GLFWwindow* window, int focused) {
    // Keys released while the window is in the background never reach us: forget them all.
    TLiveKeySource* source = EventsOf(window).LiveKeys;
    if (source && !focused)
        source->ReleaseAll();
}

// The part of the framebuffer that shows the 4:3 layout, centred, with black bars around it.
void LayoutViewport(int fbWidth, int fbHeight, int layoutWidth, int layoutHeight, int viewport[4]) {
    double scale = std::min(double(fbWidth) / layoutWidth, double(fbHeight) / layoutHeight);
    int w = std::max(1, int(std::lround(layoutWidth * scale)));
    int h = std::max(1, int(std::lround(layoutHeight * scale)));
    viewport[0] = (fbWidth - w) / 2;
    viewport[1] = (fbHeight - h) / 2;
    viewport[2] = w;
    viewport[3] = h;
}

// The engine's walk over one list: live objects get their per-frame calls, dead ones are unlinked,
// including those that died in this walk's calls. So an owner may free an object once it has seen
// it dead after a walk (a car its faded tyre tracks) without searching the list for it.
template <class T, class F> void UpdateWalk(TList<T>& list, F&& perFrame) {
    auto alive = [](const T* item) {
        if constexpr (requires { item->Active; })
            return item->Active;
        else
            return item->Alive;
    };
    for (TNode<T>* node = list.First(); !node->IsTail(); node = node->Next) {
        if (alive(node->Data))
            perFrame(node->Data);
        if (!alive(node->Data))
            node = list.Unlink(node);
    }
}

} // namespace

TEngine::TEngine(int width, int height, bool fullscreen, int bits, const THarnessOptions& harness,
                 TWindowSize window)
    : Width(width), Height(height), Fullscreen(fullscreen), Harness(harness) {
    Windowed.Width = window.Width > 0 ? window.Width : width;
    Windowed.Height = window.Height > 0 ? window.Height : height;
    if (Harness.Headless) {
        // The world alone: the loaders still read and check every file, the lists and the physics are
        // the same, nothing is drawn and nothing waits.
        SetGraphicsAvailable(false);
        InitKeyboard();
        InitWorld();
        LastSwapTime = FPSStamp = GetTime();
        WorldClock.Start(LastSwapTime);
        return;
    }
    SetGraphicsAvailable(true);
    if (glfwInit() != GLFW_TRUE)
        throw EEngineError("glfw init failed");
    glfwWindowHint(GLFW_RED_BITS, 8);
    glfwWindowHint(GLFW_GREEN_BITS, 8);
    glfwWindowHint(GLFW_BLUE_BITS, 8);
    glfwWindowHint(GLFW_ALPHA_BITS, 0);
    glfwWindowHint(GLFW_DEPTH_BITS, 16);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
    GLFWmonitor* monitor = nullptr;
    int windowWidth = Windowed.Width, windowHeight = Windowed.Height;
    if (fullscreen) {
        // Full screen at the desktop's own mode, so the video mode never changes.
        monitor = glfwGetPrimaryMonitor();
        const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
        if (mode) {
            glfwWindowHint(GLFW_REFRESH_RATE, mode->refreshRate);
            windowWidth = mode->width;
            windowHeight = mode->height;
        } else {
            monitor = nullptr;
            Fullscreen = false;
        }
    }
    Window = glfwCreateWindow(windowWidth, windowHeight, "Kalmirov", monitor, nullptr);
    if (!Window) {
        glfwTerminate();
        throw EEngineError("glfw init video failed");
    }
    glfwMakeContextCurrent(Window);
    glfwSetWindowUserPointer(Window, &WindowEvents);
    // Tools and tests pace their own loops by FrameInterval; the game hands the pace to the world
    // clock with SetPresentation.
    glfwSwapInterval(0);
    if (!InitKeyboard()) {
        glfwDestroyWindow(Window);
        glfwTerminate();
        throw EEngineError("keyboard handler initialisation failed");
    }
    if (Harness.FixedClock) {
        FixedClock = std::make_unique<TFixedClock>();
        PreviousClock = SetClock(FixedClock.get());
    }
    InitWorld();

    glClearColor(ClearColor[0], ClearColor[1], ClearColor[2], ClearColor[3]);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // A point light 5 units behind the eye, fixed in eye space: it moves with the camera.
    const float lightPosition[4] = {0, 0, 5, 1};
    const float white[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);

    // The clock counts from the window's creation, as the timers of a freshly opened window do:
    // the first one-second FPS window and the first frame cap start now.
    LastSwapTime = FPSStamp = GetTime();
    WorldClock.Start(LastSwapTime);
    int fbWidth, fbHeight;
    FramebufferSize(fbWidth, fbHeight);
    glViewport(0, 0, fbWidth, fbHeight);
    for (int i = 0; i < 2; ++i) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glfwSwapBuffers(Window);
    }
}

void TEngine::InitWorld() {
    Physics = std::make_unique<TPhysicsWorld>();
    TextureGrid = std::make_unique<TTextureGrid>(Camera);
    MeshGrid = std::make_unique<TMeshGrid>(Camera, Physics->Space());
}

TEngine::~TEngine() {
    Sprites.Clear();
    Sprites3D.Clear();
    Meshes.Clear();
    Vehicles.Clear();
    MeshGrid.reset(); // its obstacle boxes live in the physics space
    TextureGrid.reset();
    Physics.reset();
    if (FixedClock)
        SetClock(PreviousClock);
    if (!Window) {
        SetGraphicsAvailable(true);
        return;
    }
    glfwDestroyWindow(Window);
    glfwTerminate();
}

void TEngine::SetPresentation(bool vsync, int maxFps) {
    if (!Window)
        return;
    // The fixed clock paces its own frames; a swap that waits would only slow the tests down.
    bool wait = vsync && !FixedClock;
    glfwSwapInterval(wait ? 1 : 0);
    GLFWmonitor* monitor = glfwGetWindowMonitor(Window);
    if (!monitor)
        monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    WorldClock.SetPresentation(wait, maxFps, mode ? mode->refreshRate : 60);
    FrameInterval = 0;
}

void TEngine::SetFullscreen(bool fullscreen) {
    if (!Window || fullscreen == Fullscreen)
        return;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (fullscreen) {
        if (!mode)
            return;
        glfwGetWindowPos(Window, &WindowedX, &WindowedY);
        glfwGetWindowSize(Window, &Windowed.Width, &Windowed.Height);
        glfwSetWindowMonitor(Window, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
    } else {
        if (WindowedX < 0 && mode) {
            WindowedX = std::max(0, (mode->width - Windowed.Width) / 2);
            WindowedY = std::max(0, (mode->height - Windowed.Height) / 2);
        }
        glfwSetWindowMonitor(Window, nullptr, std::max(0, WindowedX), std::max(0, WindowedY), Windowed.Width,
                             Windowed.Height, 0);
    }
    Fullscreen = fullscreen;
    // Whatever was shown is gone: a paused picture is drawn again, at the new size.
    WindowEvents.NeedsDrawing = true;
}

TWindowSize TEngine::WindowedSize() const {
    if (!Window || Fullscreen)
        return Windowed;
    TWindowSize size;
    glfwGetWindowSize(Window, &size.Width, &size.Height);
    return size;
}

int TEngine::TicksDue() {
    if (FixedClock || Harness.Headless)
        return 1;
    return WorldClock.TicksDue(GetTime());
}

float TEngine::DrawFraction() {
    if (FixedClock || Harness.Headless)
        return 1;
    return WorldClock.Fraction(GetTime());
}

uint32_t TEngine::LoadTexture(const std::string& fileName) {
    return loadBMP(NativePath(fileName));
}

void TEngine::FreeTexture(uint32_t id) {
    if (!Window)
        return;
    GLuint name = id;
    glDeleteTextures(1, &name);
}

void TEngine::LoadMesh(const std::string& fileName, const std::string& textureOverride, float scale,
                       TMeshRecord& record) {
    std::string override = textureOverride.empty() ? std::string() : NativePath(textureOverride);
    std::string path = NativePath(fileName);
    record.List = Load3DS(path, override, scale, record.Extent);
}

bool TEngine::InitKeyboard() {
    Keys.Reset();
    // Pads plugged into the test machine never take part in an unattended run.
    if (!Harness.PadScript.empty())
        PadSource = std::make_unique<TScriptPadSource>(TScriptPadSource::FromFile(Harness.PadScript));
    else if (!Harness.Unattended())
        PadSource = std::make_unique<TSdlPadSource>();
    if (!Window && Harness.KeyScript.empty()) {
        // Headless without a script: nobody presses anything.
        KeySource = std::make_unique<TScriptKeySource>();
        return true;
    }
    if (Harness.KeyScript == "-") {
        KeySource = std::make_unique<TStreamKeySource>(std::cin, "standard input");
        return true;
    }
    if (!Harness.KeyScript.empty()) {
        KeySource = std::make_unique<TScriptKeySource>(TScriptKeySource::FromFile(Harness.KeyScript));
        return true;
    }
    auto live = std::make_unique<TLiveKeySource>();
    WindowEvents.LiveKeys = live.get();
    glfwSetKeyCallback(Window, KeyCallback);
    glfwSetWindowFocusCallback(Window, FocusCallback);
    glfwSetWindowRefreshCallback(Window, RefreshCallback);
    KeySource = std::move(live);
    return true;
}

bool TEngine::HarnessFinished() const {
    uint64_t done = CountsTicks ? KeyboardPasses : FramesDone;
    return (Harness.FrameLimit > 0 && done >= Harness.FrameLimit) || (KeySource && KeySource->Ended());
}

void TEngine::ReadKeyboard() {
    for (int i = 0; i < MaxPads; ++i) {
        PrevPads[i] = Pads[i];
        RumbleAsked[i] = 0;
    }
    if (PadSource)
        PadSource->Read(Pads, KeyboardPasses);
    KeySource->Read(Keys.Now, KeyboardPasses++);
}

bool TEngine::AnyLiveKeyDown() {
    if (!WindowEvents.LiveKeys)
        return false;
    uint8_t state[256];
    WindowEvents.LiveKeys->Read(state, KeyboardPasses);
    for (uint8_t key : state)
        if (key & 0x80)
            return true;
    return false;
}

void TEngine::RumblePad(int pad, float strength, uint32_t milliseconds) {
    if (pad < 0 || pad >= MaxPads || strength <= 0)
        return;
    RumbleAsked[pad] = std::max(RumbleAsked[pad], strength);
    if (PadSource)
        PadSource->Rumble(pad, strength, milliseconds);
}

bool TEngine::WindowClosed() const { return Window && glfwWindowShouldClose(Window) != 0; }

void TEngine::FramebufferSize(int& width, int& height) const {
    if (!Window) {
        width = Width;
        height = Height;
        return;
    }
    glfwGetFramebufferSize(Window, &width, &height);
}

void TEngine::BeginFrame() {
    if (!Window)
        return;
    int fbWidth, fbHeight, viewport[4];
    FramebufferSize(fbWidth, fbHeight);
    LayoutViewport(fbWidth, fbHeight, Width, Height, viewport);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glClearColor(ClearColor[0], ClearColor[1], ClearColor[2], ClearColor[3]);
    // A scene drawn into a corner and stretched clears the corner's depth itself; the 2D passes
    // test no depth, so the depth of the rest of a large window is left as it is (the software
    // renderer spends as long on it as on the colour).
    if (ScenePass.TakeDepthClear(RenderScale, viewport))
        glClear(GL_COLOR_BUFFER_BIT);
    else
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void TEngine::EndFrame(bool paced) {
    if (!Window)
        return;
    glFlush();
    SaveShots();
    glfwSwapBuffers(Window);
    WindowEvents.NeedsDrawing = false;
    ++FramesDrawn;
    FrameCounter += 1;
    PaceFrame(paced);
    double t = GetTime();
    if (t - FPSStamp > 1.0) {
        FPSStamp = t;
        FPS = FrameCounter;
        FrameCounter = 0;
    }
    glfwPollEvents();
}

void TEngine::PaceFrame(bool paced) {
    // On the fixed clock every frame lasts 10 ms, so a run repeats exactly whatever was asked for.
    // A loop of its own (a tool, a test) keeps its frame interval; the game's frames follow the
    // world clock: a cap, or the display's rate where the swap does not wait for it.
    if (paced || FixedClock)
        Clock().WaitUntil(OwnPace() ? OwnFrameEnd() : WorldClock.NextFrameStart(GetTime()));
    LastSwapTime = GetTime();
    ++FramesDone;
}

void TEngine::PollEvents() {
    if (Window)
        glfwPollEvents();
}

void TEngine::SkipFrame() {
    if (!Window)
        return;
    // Nothing to draw until the world has moved on: sleep until the next tick is due.
    Clock().WaitUntil(OwnPace() ? OwnFrameEnd() : WorldClock.NextTickTime());
    LastSwapTime = GetTime();
    ++FramesDone;
    glfwPollEvents();
}

uint64_t MixDigest(uint64_t digest, uint64_t value) {
    // FNV-1a, a byte at a time.
    for (int i = 0; i < 8; ++i) {
        digest ^= (value >> (8 * i)) & 0xFF;
        digest *= 1099511628211ull;
    }
    return digest;
}

bool TEngine::PictureLost() const { return WindowEvents.NeedsDrawing; }

bool TEngine::Shows(const TSprite& sprite) const {
    if (!sprite.Alive || sprite.Alpha == 0)
        return false;
    // However it is turned, the sprite stays within half its diagonal of its centre.
    double cx = sprite.X + sprite.Width / 2.0, cy = sprite.Y + sprite.Height / 2.0;
    double reach = std::hypot(double(sprite.Width), double(sprite.Height)) / 2;
    return cx + reach > 0 && cx - reach < Width && cy + reach > 0 && cy - reach < Height;
}

uint64_t TEngine::SpriteDigest() {
    // Over the fields that reach the screen.
    uint64_t digest = 14695981039346656037ull;
    auto mix = [&digest](uint64_t value) { digest = MixDigest(digest, value); };
    int fbWidth, fbHeight;
    FramebufferSize(fbWidth, fbHeight);
    mix(uint64_t(uint32_t(fbWidth)) << 32 | uint32_t(fbHeight));
    for (TNode<TSprite>* node = Sprites.First(); !node->IsTail(); node = node->Next) {
        const TSprite* sprite = node->Data;
        if (!Shows(*sprite))
            continue;
        mix(uint64_t(sprite->Texture) << 32 | std::bit_cast<uint32_t>(sprite->Angle));
        mix(uint64_t(uint32_t(sprite->X)) << 32 | uint32_t(sprite->Y));
        mix(uint64_t(sprite->Width) << 32 | sprite->Height);
        mix(uint64_t(sprite->Red) << 24 | uint64_t(sprite->Green) << 16 | uint64_t(sprite->Blue) << 8 |
            sprite->Alpha);
    }
    return digest;
}

void TEngine::SaveShots() {
    // The first frame drawn after each shot's tick: one tick a frame on the fixed clock, so exactly
    // that tick's picture there. A loop of a tool or a test counts its frames instead.
    uint64_t count = CountsTicks ? KeyboardPasses : FramesDone + 1;
    for (const auto& [tick, fileName] : Harness.Shots) {
        if (tick <= LastShotTick || tick > count)
            continue;
        int fbWidth, fbHeight;
        FramebufferSize(fbWidth, fbHeight);
        std::vector<uint8_t> pixels(size_t(fbWidth) * size_t(fbHeight) * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, fbWidth, fbHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        if (!WritePNG(fileName, fbWidth, fbHeight, pixels))
            throw EInOutError("Cannot write the screenshot " + fileName);
    }
    LastShotTick = count;
}

void TEngine::AddSprite(TSprite* sprite) {
    sprite->Alive = true;
    Sprites.Add(sprite);
}

void TEngine::AddSprite3D(TSprite3D* sprite) {
    sprite->Alive = true;
    Sprites3D.Add(sprite);
}

void TEngine::AddMesh(TMesh* mesh) {
    mesh->Alive = true;
    Meshes.Add(mesh);
}

void TEngine::AddVehicle(TVehicle* vehicle) {
    vehicle->Active = true;
    Vehicles.Add(vehicle);
}

void TEngine::DrawTextureGrid() {
    glColor3f(1, 1, 1);
    TextureGrid->Draw();
}

void TEngine::DrawMeshes() {
    TickMeshes();
    PrepareMeshes();
    DrawPreparedMeshes();
}

void TEngine::TickMeshes(const std::vector<TGroundPoint>& cars) {
    UpdateWalk(Meshes, [](TMesh* mesh) {
        mesh->PrevPosition = mesh->Position;
        mesh->PrevHeading = mesh->Heading;
        mesh->Update();
        mesh->Animate();
    });
    MeshGrid->UpdateObstacles(cars, ObstacleReach);
}

void TEngine::PrepareMeshes(float fraction) {
    MeshGrid->Prepare();
    PreparedMeshes.clear();
    for (TNode<TMesh>* node = Meshes.First(); !node->IsTail(); node = node->Next) {
        const TMesh* mesh = node->Data;
        if (!mesh->Alive || !mesh->Visible)
            continue;
        dVector3 at = mesh->Position;
        float heading = mesh->Heading;
        dVector3 step = VectorSub(mesh->Position, mesh->PrevPosition);
        // A mesh put somewhere else (a pedestrian walking in anew) is drawn where it is.
        if (fraction < 1 && VectorDot(step, step) < 4) {
            at = VectorAdd(mesh->PrevPosition, VectorScale(step, fraction));
            float turn = std::remainder(mesh->Heading - mesh->PrevHeading, 360.0f);
            heading = mesh->PrevHeading + turn * fraction;
        }
        if (!Camera.SphereVisible(at, mesh->Radius))
            continue;
        float depth = Camera.EyeDepth(at);
        uint32_t list = mesh->FarList != 0 && depth > FarMeshDepth ? mesh->FarList : mesh->List;
        PreparedMeshes.push_back({depth, list, at, heading});
    }
    std::stable_sort(PreparedMeshes.begin(), PreparedMeshes.end(),
                     [](const TMeshDraw& a, const TMeshDraw& b) { return a.Depth < b.Depth; });
}

void TEngine::BeginOpaqueScene() {
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
}

void TEngine::DrawPreparedMeshes() {
    glColor3f(1, 1, 1);
    for (const TMeshDraw& mesh : PreparedMeshes)
        CallListAt(mesh.List, mesh.Position, mesh.Heading);
    MeshGrid->DrawPrepared();
    if (CityEdge)
        CityEdge->Draw();
}

void TEngine::ShadeScene(uint8_t alpha) {
    if (alpha == 0)
        return;
    // Linear fog weighs the fragment by (end - distance) / (end - start). With the two ends some
    // ten billion metres apart, the few metres of the view vanish in the rounding and the weight
    // is the shade everywhere.
    constexpr float span = 1e10f;
    float shade = 1.0f - float(alpha) / 255.0f;
    const float black[4] = {0, 0, 0, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, black);
    glFogf(GL_FOG_START, shade * span - span);
    glFogf(GL_FOG_END, shade * span);
    glEnable(GL_FOG);
}

void TEngine::EndShade() { glDisable(GL_FOG); }

void TEngine::DrawGroundWhereEmpty(float shade) { TextureGrid->DrawWhereEmpty(shade); }

void TEngine::UpdateVehicles() {
    UpdateWalk(Vehicles, [](TVehicle* vehicle) {
        vehicle->SavePose();
        vehicle->Update(TickStep);
        vehicle->PostUpdate();
    });
    Physics->Step(TickStep);
    for (TNode<TVehicle>* node = Vehicles.First(); !node->IsTail(); node = node->Next)
        node->Data->CanonicaliseRotations();
    NormaliseSpaceOrder();
}

void TEngine::NormaliseSpaceOrder() {
    dSpaceID space = Physics->Space();
    for (TNode<TVehicle>* node = Vehicles.First(); !node->IsTail(); node = node->Next) {
        TVehicle& vehicle = *node->Data;
        vehicle.NormalisePartOrder();
        dGeomID parts = reinterpret_cast<dGeomID>(vehicle.PartSpace);
        dSpaceRemove(space, parts);
        dSpaceAdd(space, parts);
    }
}

void TEngine::SavePhysics(TByteWriter& out) const {
    out.U64(Physics->NextVehicleSerial);
    out.F32(MeshGrid->ObstaclePointsReach);
    out.U32(uint32_t(MeshGrid->ObstaclePoints.size()));
    for (const TGroundPoint& p : MeshGrid->ObstaclePoints) {
        out.F32(p.X);
        out.F32(p.Y);
    }
}

void TEngine::RestorePhysics(TByteReader& in) {
    Physics->NextVehicleSerial = in.U64("the next vehicle's serial");
    float reach = in.F32("the obstacles' reach");
    uint32_t points = in.U32("the obstacles' points");
    if (points > 2)
        throw EReadError(in.FileName() + ": " + std::to_string(points) + " points for the obstacles, more than the cars");
    std::vector<TGroundPoint> near(points);
    for (TGroundPoint& p : near) {
        p.X = in.F32("an obstacles' point");
        p.Y = in.F32("an obstacles' point");
    }
    // The boxes as the last tick made them, then the vehicles' parts in front of them as every
    // physics step leaves them.
    MeshGrid->UpdateObstacles(near, reach);
    NormaliseSpaceOrder();
}

void TEngine::SaveWorldRandom(TByteWriter& out) const {
    SaveRandom(out);
    out.U64(dRandGetSeed());
}

void TEngine::RestoreWorldRandom(TByteReader& in) {
    RestoreRandom(in);
    dRandSetSeed(static_cast<unsigned long>(in.U64("the physics' random seed")));
}

void TEngine::OrderVehicles(uint64_t rebuildFrom) {
    std::vector<TVehicle*> vehicles;
    for (TNode<TVehicle>* node = Vehicles.First(); !node->IsTail(); node = node->Next)
        vehicles.push_back(node->Data);
    std::sort(vehicles.begin(), vehicles.end(), [](const TVehicle* a, const TVehicle* b) { return a->Serial < b->Serial; });
    Vehicles.Clear();
    for (TVehicle* vehicle : vehicles) {
        if (rebuildFrom != 0 && vehicle->Serial >= rebuildFrom)
            vehicle->RebuildPhysics();
        Vehicles.Add(vehicle);
    }
}

void TEngine::DrawVehicles(float fraction) {
    // Nearest first, as the rest of the opaque scene.
    VehicleOrder.clear();
    for (TNode<TVehicle>* node = Vehicles.First(); !node->IsTail(); node = node->Next)
        if (node->Data->Active && node->Data->IsVisible(Camera))
            VehicleOrder.emplace_back(Camera.EyeDepth(VectorMake(node->Data->PosX, node->Data->PosY, 0)),
                                      node->Data);
    std::stable_sort(VehicleOrder.begin(), VehicleOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [depth, vehicle] : VehicleOrder)
        vehicle->Draw(fraction);
}

void TEngine::DrawSprites3D() {
    TickSprites3D();
    DrawSprite3DLayer();
}

void TEngine::TickSprites3D() {
    GameMs += TWorldClock::TickSeconds * 1000;
    UpdateWalk(Sprites3D, [](TSprite3D* sprite) {
        sprite->Update();
        sprite->Animate();
    });
    if (ParticleSystem) {
        ParticleSystem->Emit(Camera, GameMs);
        ParticleSystem->Update(TickStep, GameMs);
    }
}

void TEngine::DrawSprite3DLayer() {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    dVector3 right = VectorMake(m[0], m[4], m[8]), up = VectorMake(m[1], m[5], m[9]);
    glDepthMask(GL_FALSE);
    // Tyre tracks alone put hundreds of sprites in view, so the quads are built here and every
    // run of sprites sharing a texture goes to the driver as one batch, in the list's order.
    Batch.Begin();
    for (TNode<TSprite3D>* node = Sprites3D.First(); !node->IsTail(); node = node->Next) {
        TSprite3D* sprite = node->Data;
        if (!sprite->Alive || !sprite->Visible || sprite->Alpha == 0 ||
            !Camera.SphereVisible(sprite->Position, sprite->Width))
            continue;
        Batch.SetTexture(sprite->Texture);
        Batch.SetColor(sprite->Red, sprite->Green, sprite->Blue, sprite->Alpha);
        if (sprite->Billboard) {
            dVector3 across = VectorScale(right, sprite->Width), along = VectorScale(up, sprite->Height);
            if (sprite->Round)
                BillboardOctagon(Batch, sprite->Position, across, along);
            else
                BillboardQuad(Batch, sprite->Position, across, along);
        } else if (sprite->Round) {
            FlatOctagon(Batch, sprite->Position, sprite->Width / 2, sprite->Height / 2, sprite->Angle);
        } else {
            FlatQuad(Batch, sprite->Position, sprite->Width / 2, sprite->Height / 2, sprite->Angle);
        }
    }
    Batch.End();
    glDepthMask(GL_TRUE);
    glPopAttrib();

    if (ParticleSystem)
        ParticleSystem->Draw(Batch, GameMs);
}

void TEngine::SetParticleEffect(int32_t type, uint32_t texture) {
    ParticleSystem.reset();
    ParticleType = type;
    ParticleSystem = CreateParticleEffect(type, texture);
}

void TEngine::SetLamps(uint8_t alpha, float size) {
    for (TNode<TSprite3D>* node = Sprites3D.First(); !node->IsTail(); node = node->Next) {
        TSprite3D* sprite = node->Data;
        if (sprite->Alive && sprite->StreetLamp) {
            sprite->Alpha = alpha;
            sprite->Width = sprite->Height = size;
        }
    }
}

void TEngine::DrawSprites() {
    UpdateSprites();
    DrawSpriteLayer();
}

void TEngine::UpdateSprites() {
    UpdateWalk(Sprites, [](TSprite* sprite) {
        sprite->Update();
        sprite->Animate();
    });
}

void TEngine::DrawSpriteLayer() {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    PushOrtho(float(Width), float(Height), -100, 100);
    // Each sprite turned about its centre on the CPU, so a run of sprites with one texture (the
    // HUD's symbols, the pedestrians' marks) is one draw.
    Batch.Begin();
    for (TNode<TSprite>* node = Sprites.First(); !node->IsTail(); node = node->Next) {
        TSprite* sprite = node->Data;
        // A sprite faded out all the way or off the screen leaves no mark; the software renderer
        // would still spend a draw on it.
        if (!Shows(*sprite))
            continue;
        float hw = float(sprite->Width / 2), hh = float(sprite->Height / 2);
        float cx = float(sprite->X) + hw, cy = float(sprite->Y) + hh;
        // As glRotatef turns: the sine and cosine of the angle in single precision.
        float radians = float(double(sprite->Angle) * M_PI / 180.0);
        bool turned = sprite->Angle != 0;
        float c = turned ? std::cos(radians) : 1.0f, s = turned ? std::sin(radians) : 0.0f;
        auto corner = [&](float u, float v, float x, float y) {
            Batch.Vertex(u, v, c * x - s * y + cx, s * x + c * y + cy);
        };
        Batch.SetTexture(sprite->Texture);
        Batch.SetColor(sprite->Red, sprite->Green, sprite->Blue, sprite->Alpha);
        corner(0, 0, -hw, -hh);
        corner(0, 1, -hw, hh);
        corner(1, 1, hw, hh);
        corner(1, 0, hw, -hh);
    }
    Batch.End();

    if (ShowMap && MapSprite && MapFrameSprite) {
        // The inset shows the map picture (1024 x 512) around the car's place in it.
        float u = MapPictureX(MapX) / 1024, v = MapPictureY(MapY) / 512;
        glLoadIdentity();
        glBindTexture(GL_TEXTURE_2D, MapSprite->Texture);
        glColor4f(1, 1, 1, 1);
        glBegin(GL_QUADS);
        glTexCoord2f(u - 0.043f, v - 0.086f);
        glVertex2f(497, 25);
        glTexCoord2f(u - 0.043f, v + 0.086f);
        glVertex2f(497, 143);
        glTexCoord2f(u + 0.043f, v + 0.086f);
        glVertex2f(615, 143);
        glTexCoord2f(u + 0.043f, v - 0.086f);
        glVertex2f(615, 25);
        glEnd();
        glBindTexture(GL_TEXTURE_2D, MapFrameSprite->Texture);
        glColor4ub(255, 255, 255, 255);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(492, 20);
        glTexCoord2f(0, 1);
        glVertex2f(492, 148);
        glTexCoord2f(1, 1);
        glVertex2f(620, 148);
        glTexCoord2f(1, 0);
        glVertex2f(620, 20);
        glEnd();
        float blink = float(std::sin(GetTime() * 30) * 0.5 + 0.5);
        glColor4f(1, 1, 1, blink);
        glPointSize(3);
        glDisable(GL_TEXTURE_2D);
        glBegin(GL_POINTS);
        glVertex2f(556, 84);
        glEnd();
    }

    PopOrtho();
    glPopAttrib();
}

void TEngine::BeginOverlay() {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    PushOrtho(float(Width), float(Height), -1, 1);
}

void TEngine::SetOverlayColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    glColor4ub(red, green, blue, alpha);
}

void TEngine::DrawOverlayRect(float x1, float y1, float x2, float y2) { glRectf(x1, y1, x2, y2); }

void TEngine::EndOverlay() {
    PopOrtho();
    glPopAttrib();
}
