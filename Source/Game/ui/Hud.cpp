// What the game shows over the world: the camera that follows the cars, the HUD numbers and name
// tags, and the hint text.
#include "ui/Hud.h"

#include "cars/Car.h"
#include "player/Config.h"
#include "player/PlayerData.h"
#include "sprites/HintSprite.h"
#include "tables/GameConsts.h"
#include "uAngles.h"
#include "uEngine.h"
#include "uGLFont.h"
#include "uText1250.h"
#include "ui/MenuScreen.h"
#include "ui/RouteMaps.h"
#include "uFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float HalfPi = 1.5707964f;
constexpr float TwoPi = 6.2831855f;
// The chase view looks at a point ahead of the car: a share of its distance from the eye, so that the
// car sits below the middle of the picture, whole, however far the view has drawn back, and more the
// faster it goes, so that the point's trail never leaves the car above the middle. That point and the
// view's heading trail the car by these times: quick enough to keep the car in the lower part of the
// picture at any speed, slow enough to feel the car pull away and swing round.
constexpr float ChaseLookAhead = 0.12f;  // of the distance from the eye
constexpr float ChaseSpeedAhead = 0.1f;  // seconds of the car's speed
constexpr float ChasePointLag = 0.03f;   // seconds
constexpr float ChaseHeadingLag = 0.25f; // seconds
constexpr float ZoomLag = 0.08f;         // seconds

// The part of the way to a value that a trail covers in one tick of the given lag.
float TrailStep(float lag) {
    return 1.0f - std::exp(-TEngine::TickStep / lag);
}

// The turn from `from` to `to` in radians, the short way round.
float AngleBetween(float from, float to) {
    return std::remainder(to - from, TwoPi);
}

} // namespace

int32_t RoundHalfEven(float value) {
    return int32_t(std::nearbyint(value));
}

int32_t NameTagAlpha(int32_t runFrames) {
    if (runFrames < 256)
        return 255;
    if (runFrames < 510)
        return 254 - (runFrames - 256);
    return 0;
}

float ChaseScale(const TVehicle& car) {
    // A car as long or as tall as a saloon is seen from the view's own distance; a van or a bus
    // from as much farther as it is longer or taller, so that the road shows over its roof.
    return std::max({1.0f, car.Length / 4.6f, car.Height / 1.4f});
}

float StepCameraDistance(float distance, float wanted, float step) {
    if (distance < wanted)
        distance += step;
    if (distance > wanted)
        distance -= step;
    return distance;
}

THud::THud(THudHost& host, TCamera& camera) : Host(host), Camera(camera) {}

void THud::UpdateCamera() {
    TCar* car1 = Host.PlayerCar(1);
    float x = 256, y = 256, h = 0, v = 0;
    if (car1) {
        x = car1->PosX;
        y = car1->PosY;
        h = Radians(car1->Heading);
        v = car1->GetSpeed();
    }
    PreviousCamera = Camera;
    if (car1 && (Host.MenuScreen() == msMissionFailed || Host.MenuScreen() == msCarChoice)) {
        // The view stands still behind these screens: the matrices of the last frame stay.
        Camera.Heading += 0.001f;
        return;
    }
    // The car travels towards its heading + 180 degrees: "ahead" is minus the heading's direction.
    float pointStep = TrailStep(ChasePointLag),
          ahead = ChaseLookAhead * Camera.Distance + ChaseSpeedAhead * v;
    Chase.X += (x - ahead * std::cos(h) - Chase.X) * pointStep;
    Chase.Y += (y - ahead * std::sin(h) - Chase.Y) * pointStep;
    Chase.Heading += AngleBetween(Chase.Heading, h) * TrailStep(ChaseHeadingLag);
    TCar* car2 = Host.PlayerCar(2);
    const TCatchUp catchUp = Host.CatchUp();
    // Each view steps its own distance as before; the player's zoom scales it, eased in over a few
    // ticks so that a press moves the camera smoothly rather than in a jump.
    float zoom = Zoom;
    Zoom += (float(Config().CameraZoom) / 100.0f - Zoom) * TrailStep(ZoomLag);
    Camera.Distance /= zoom;
    switch (Host.ActiveCameraMode()) {
    case 0:
        Camera.Distance = StepCameraDistance(Camera.Distance, 2 * v + TopRestDistance, 0.005f);
        Camera.SetTarget(x, y);
        Camera.SetHeading(-HalfPi);
        break;
    case 1:
        Camera.Distance = StepCameraDistance(
            Camera.Distance, (ChaseRestDistance + ChaseDistancePerSpeed * v) * (car1 ? ChaseScale(*car1) : 1), 0.005f);
        Camera.SetTarget(Chase.X, Chase.Y);
        Camera.SetHeading(Chase.Heading);
        break;
    default:
        if (catchUp.Countdown <= 0) {
            float apart = car2 ? std::hypot(car2->PosX - x, car2->PosY - y) : 0;
            Camera.Distance = StepCameraDistance(Camera.Distance, 14 + std::min(apart, 5.0f), 0.02f);
            if (car2)
                Camera.SetTarget((x + car2->PosX) / 2, (y + car2->PosY) / 2);
            else
                Camera.SetTarget(x, y);
        } else {
            Camera.Distance = StepCameraDistance(Camera.Distance, 14, 0.02f);
            Camera.SetTarget(Camera.TargetX + (catchUp.X - Camera.TargetX) / 100,
                             Camera.TargetY + (catchUp.Y - Camera.TargetY) / 100);
        }
        Camera.SetHeading(-HalfPi);
        break;
    }
    Camera.Distance *= Zoom;
    Camera.UpdateMatrices();
}

void THud::ResetCameraTrail() {
    TCar* car1 = Host.PlayerCar(1);
    if (!car1)
        return;
    float h = Radians(car1->Heading);
    if (Host.ActiveCameraMode() == 1)
        Camera.SetDistance(ChaseRestDistance * ChaseScale(*car1));
    float ahead = ChaseLookAhead * Camera.Distance;
    Chase = {car1->PosX - ahead * std::cos(h), car1->PosY - ahead * std::sin(h), h};
}

TCamera THud::DrawnCamera(float fraction) const {
    TCamera drawn = Camera;
    const TCamera& from = PreviousCamera;
    float dx = Camera.TargetX - from.TargetX, dy = Camera.TargetY - from.TargetY;
    // A view that jumped (a new game, another car) is drawn where it landed.
    if (fraction >= 1 || dx * dx + dy * dy > 100)
        return drawn;
    drawn.SetTarget(from.TargetX + dx * fraction, from.TargetY + dy * fraction);
    drawn.SetDistance(from.Distance + (Camera.Distance - from.Distance) * fraction);
    drawn.SetPitch(from.Pitch + (Camera.Pitch - from.Pitch) * fraction);
    drawn.SetHeading(from.Heading + AngleBetween(from.Heading, Camera.Heading) * fraction);
    return drawn;
}

void THud::DrawShadowText(const std::string& text, float x, float y, float size, uint8_t alpha,
                          bool warning) {
    TGLFont& font = Host.HudFont();
    font.SetColor(0, 0, 0);
    font.Alpha = alpha >= 48 ? uint8_t(alpha - 48) : 0;
    font.DrawText(text, x + 1, y - 1, size);
    // Warnings burn amber, so a low tank or a wrecked car catches the eye.
    if (warning)
        font.SetColor(255, 176, 0);
    else
        font.SetColor(231, 0, 75);
    font.Alpha = alpha;
    font.DrawText(text, x, y, size);
}

// The speedometer at the bottom, between the hint that rises at the left and the mini map at the
// right: whole km/h.
void THud::DrawSpeed(const TCar& car) {
    TGLFont& font = Host.HudFont();
    std::string number = std::to_string(RoundHalfEven(car.GetSpeed() * 3.6f));
    constexpr float Right = MiniMapLeft - 52, Base = 18, NumberSize = 32, UnitSize = 16;
    DrawShadowText(number, Right - 16 * NumberSize * font.TextWidth(number), Base, NumberSize, 255, false);
    DrawShadowText("KM/H", Right + 4, Base, UnitSize, 255, false);
}

void THud::Draw() {
    int language = Config().Language;
    TGLFont& font = Host.HudFont();
    if (Host.IsTwoPlayer()) {
        for (int p = 0; p < 2; ++p) {
            std::string points = std::to_string(Host.Player(p + 1).ExtraPoints);
            std::string nick = UpperCp1250(Host.Player(p + 1).Nick);
            if (p == 0) {
                DrawShadowText(points, 75, 420, 32, 255, false);
                DrawShadowText(nick, 75, 450, 16, 255, false);
            } else {
                DrawShadowText(points, 565 - 600 * font.TextWidth(points), 420, 32, 255, false);
                DrawShadowText(nick, 565 - 300 * font.TextWidth(nick), 450, 16, 255, false);
            }
        }
        const int32_t runFrames = Host.FramesOfRun();
        if (runFrames < 510) {
            uint8_t alpha = uint8_t(NameTagAlpha(runFrames));
            for (int p = 1; p <= 2; ++p)
                if (TCar* car = Host.PlayerCar(p)) {
                    TScreenPoint s = Camera.Project(car->PosX, car->PosY, 0);
                    std::string nick = UpperCp1250(Host.Player(p).Nick);
                    float x = s.X - 105 * font.TextWidth(nick), y = s.Y - 8;
                    // A tag that would fall on the countdown ring stands just above it instead.
                    if (const TSprite* ring = Host.CountdownRing()) {
                        float width = 16 * 12 * font.TextWidth(nick);
                        float left = float(ring->X), right = left + float(ring->Width);
                        float bottom = float(ring->Y), top = bottom + float(ring->Height);
                        if (x < right && x + width > left && y < top && y + 12 > bottom)
                            y = top + 4;
                    }
                    DrawShadowText(nick, x, y, 12, alpha, false);
                }
        }
    } else {
        TCar* car1 = Host.PlayerCar(1);
        const TPlayerData& p1 = Host.Player(1);
        if (Host.AtStation())
            DrawShadowText(UpperCp1250(MenuText(mtPressEnter, language)), 438, 396, 16, 255, false);
        for (int k = 0; k < 6 && car1; ++k) {
            if (!(p1.HudSymbols & (1u << k)))
                continue;
            const TSprite& symbol = Host.HudSymbol(k);
            std::string text;
            bool warning = false;
            switch (k) {
            case 0:
                text = std::to_string(RoundHalfEven(car1->Fuel)) + "%";
                warning = car1->Fuel <= 10;
                break;
            case 1:
                text = std::to_string(RoundHalfEven(car1->Damage)) + "%";
                warning = car1->Damage >= 90;
                break;
            case 2:
                text = Format("%.2f", double(p1.Time));
                warning = p1.Time < 5;
                break;
            case 3:
                text = Format("%d/%d", Host.TargetsReached(), Host.TargetsTotal());
                break;
            case 4:
                text = Format("%d/%d", p1.Load.Total(), p1.Load.Capacity);
                break;
            default:
                text = std::to_string(RoundHalfEven(car1->CargoDamage)) + "%";
                warning = car1->CargoDamage >= 90;
                break;
            }
            DrawShadowText(text, float(symbol.X), float(symbol.Y - 16), 16, 255, warning);
        }
        if (car1)
            DrawSpeed(*car1);
    }
    if (const THintSprite* hint = Host.ShownHint())
        DrawShadowText(UpperCp1250(hint->Text[language == 1 ? 1 : 0]), float(hint->X + 40),
                       float(hint->Y + 12), 16, 255, false);
}
