// THud: what the game shows over the world and the camera that shows it — the chase view's trail of
// the car, the camera of the tick before (for the frames drawn between ticks), the HUD numbers, the
// name tags of a race for two and the hint text. Owns the trail and the previous camera; moves the
// game's camera it is given, and reads the rest of the game through its host.
#pragma once

#include "uCamera.h"

#include <cstdint>
#include <string>

class TCar;
class TVehicle;
class TGLFont;
class THintSprite;
class TPlayerData;
class TSprite;

// The pause of a race for two after a leg: ticks still to wait (0 or less when none) and the point
// the shared view drifts to meanwhile.
struct TCatchUp {
    int32_t Countdown;
    float X, Y;
};

// What the HUD and the camera need of the game. The game engine is the one host.
class THudHost {
  public:
    virtual ~THudHost() = default;
    // Player 1's or 2's car, or nullptr while there is none.
    virtual TCar* PlayerCar(int i) const = 0;
    // Player 1 or 2; ERangeError for any other.
    virtual TPlayerData& Player(int i) = 0;
    virtual bool IsTwoPlayer() const = 0;
    // The open menu screen (a TMenuScreen), msNone when none.
    virtual uint8_t MenuScreen() const = 0;
    // 0 top view, 1 chase view, 2 the shared view of a race for two.
    virtual uint8_t ActiveCameraMode() const = 0;
    virtual TCatchUp CatchUp() const = 0;
    // Ticks since the game started.
    virtual int32_t FramesOfRun() const = 0;
    virtual TGLFont& HudFont() = 0;
    // The countdown ring while it is on screen, else nullptr.
    virtual const TSprite* CountdownRing() const = 0;
    // Car 1 stands at the gas station or the service, where Enter opens it.
    virtual bool AtStation() const = 0;
    // The HUD symbol 0..5 (fuel, damage, time, targets, load, fragile cargo) the number stands under.
    virtual const TSprite& HudSymbol(int k) const = 0;
    // Targets of the game reached so far and all it had.
    virtual int32_t TargetsReached() const = 0;
    virtual int32_t TargetsTotal() const = 0;
    // The hint on screen, or nullptr.
    virtual const THintSprite* ShownHint() const = 0;
};

class THud {
  public:
    THud(THudHost& host, TCamera& camera);

    // Once a tick in a game: the camera follows the cars in the chosen mode.
    void UpdateCamera();
    // The chase camera starts over behind the car where it stands.
    void ResetCameraTrail();
    // The camera as drawn: `fraction` of the way from the last tick's camera to this one's.
    TCamera DrawnCamera(float fraction) const;
    // The numbers, tags and hint text of the frame, over everything but the menu.
    void Draw();

  private:
    void DrawShadowText(const std::string& text, float x, float y, float size, uint8_t alpha, bool warning);
    void DrawSpeed(const TCar& car);

    THudHost& Host;
    TCamera& Camera;
    // The chase camera: the point it looks at and its heading (radians) trail the car by a fixed
    // time, the same at any frame rate because ticks are.
    struct TChasePoint {
        float X, Y, Heading;
    };
    TChasePoint Chase{};
    float Zoom = 1; // the player's zoom as the camera has eased into it: its distance over the view's own
    TCamera PreviousCamera; // the camera of the tick before, for the frames drawn between
};

// Metres from the eye of the top view to the car at a standstill: the car takes a quarter of the
// picture's height, the crossing ahead in view.
constexpr float TopRestDistance = 13;

// The chase view: low behind the car, so that at top speed two seconds of the road ahead are in
// view; its far edge fades into the sky.
constexpr float ChasePitch = 0.5f;          // radians above the ground, seen from the point it looks at
constexpr float ChaseRestDistance = 8;      // metres from the eye to that point at a standstill
constexpr float ChaseDistancePerSpeed = 0.25f; // more metres per metre a second of the car's speed
constexpr int32_t ChaseViewDistance = 60;   // metres the chase view reaches
constexpr float ChaseFadeStart = 0.65f;     // of the view's reach, where the fade into the sky begins

// How much farther than the chase view's own distance a car is followed, for its size (1 or more).
float ChaseScale(const TVehicle& car);

// The four-step fade of a name tag: alpha for a frame count since the last start or re-placement;
// 0 from frame 510 on.
int32_t NameTagAlpha(int32_t runFrames);
// Wanted camera distance and one step towards it (0.005 in the top and chase views, 0.02 in the
// shared view): the distance moves by at most one step per frame and never overshoots past the
// wanted value by more than a step.
float StepCameraDistance(float distance, float wanted, float step);
// Round to nearest with halves to even, as the HUD shows percentages.
int32_t RoundHalfEven(float value);
