// What the game draws over the world: the camera that follows the cars, the night tint, the HUD
// numbers and name tags, the hint text and the diagnostic overlay.
#include "cars/Car.h"
#include "session/GameEngine.h"
#include "sprites/GoSprite.h"
#include "sprites/HintSprite.h"
#include "ui/MenuImprovedEngine.h"
#include "Sound.h"
#include "sprites/SymbolSprite.h"
#include "player/Config.h"
#include "uText1250.h"
#include "uAngles.h"

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
constexpr float ChaseLookAhead = 0.12f;   // of the distance from the eye
constexpr float ChaseSpeedAhead = 0.1f;   // seconds of the car's speed
constexpr float ChasePointLag = 0.03f;    // seconds
constexpr float ChaseHeadingLag = 0.25f;  // seconds

// The part of the way to a value that a trail covers in one tick of the given lag.
float TrailStep(float lag) { return 1.0f - std::exp(-TGameEngine::TickStep / lag); }

// The turn from `from` to `to` in radians, the short way round.
float AngleBetween(float from, float to) { return std::remainder(to - from, TwoPi); }

std::string Format(const char* pattern, double a) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, a);
    return buffer;
}

std::string Format(const char* pattern, int a, int b) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, a, b);
    return buffer;
}

} // namespace

int32_t RoundHalfEven(float value) { return int32_t(std::nearbyint(value)); }

int32_t NameTagAlpha(int32_t runFrames) {
    if (runFrames < 256)
        return 255;
    if (runFrames < 510)
        return 254 - (runFrames - 256);
    return 0;
}

float StepCameraDistance(float distance, float wanted, float step) {
    if (distance < wanted)
        distance += step;
    if (distance > wanted)
        distance -= step;
    return distance;
}

void TGameEngine::UpdateCamera() {
    TCar* car1 = Car(1);
    float x = 256, y = 256, h = 0, v = 0;
    if (car1) {
        x = car1->PosX;
        y = car1->PosY;
        h = Radians(car1->Heading);
        v = car1->GetSpeed();
    }
    PreviousCamera = Camera;
    if (car1 && (Menu->Screen == msMissionFailed || Menu->Screen == msCarChoice)) {
        // The view stands still behind these screens: the matrices of the last frame stay.
        Camera.Heading += 0.001f;
        return;
    }
    // The car travels towards its heading + 180 degrees: "ahead" is minus the heading's direction.
    float pointStep = TrailStep(ChasePointLag), ahead = ChaseLookAhead * Camera.Distance + ChaseSpeedAhead * v;
    Chase.X += (x - ahead * std::cos(h) - Chase.X) * pointStep;
    Chase.Y += (y - ahead * std::sin(h) - Chase.Y) * pointStep;
    Chase.Heading += AngleBetween(Chase.Heading, h) * TrailStep(ChaseHeadingLag);
    TCar* car2 = Car(2);
    switch (CameraMode) {
    case 0:
        Camera.Distance = StepCameraDistance(Camera.Distance, 2 * v + 10, 0.005f);
        Camera.SetTarget(x, y);
        Camera.SetHeading(-HalfPi);
        break;
    case 1:
        Camera.Distance = StepCameraDistance(Camera.Distance, v + 10, 0.005f);
        Camera.SetTarget(Chase.X, Chase.Y);
        Camera.SetHeading(Chase.Heading);
        break;
    default:
        if (CatchUpCountdown <= 0) {
            float apart = car2 ? std::hypot(car2->PosX - x, car2->PosY - y) : 0;
            Camera.Distance = StepCameraDistance(Camera.Distance, 14 + std::min(apart, 5.0f), 0.02f);
            if (car2)
                Camera.SetTarget((x + car2->PosX) / 2, (y + car2->PosY) / 2);
            else
                Camera.SetTarget(x, y);
        } else {
            Camera.Distance = StepCameraDistance(Camera.Distance, 14, 0.02f);
            Camera.SetTarget(Camera.TargetX + (CatchUpPoint[0] - Camera.TargetX) / 100,
                             Camera.TargetY + (CatchUpPoint[1] - Camera.TargetY) / 100);
        }
        Camera.SetHeading(-HalfPi);
        break;
    }
    Camera.UpdateMatrices();
}

void TGameEngine::ResetCameraTrail() {
    TCar* car1 = Car(1);
    if (!car1)
        return;
    float h = Radians(car1->Heading);
    float ahead = ChaseLookAhead * Camera.Distance;
    Chase = {car1->PosX - ahead * std::cos(h), car1->PosY - ahead * std::sin(h), h};
}

TCamera TGameEngine::DrawnCamera(float fraction) const {
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

void TGameEngine::DrawDarkness() { ShadeScene(uint8_t(Darkness)); }

void TGameEngine::DrawShadowText(const std::string& text, float x, float y, float size, uint8_t alpha, bool warning) {
    ItemFont->SetColor(0, 0, 0);
    ItemFont->Alpha = alpha >= 48 ? uint8_t(alpha - 48) : 0;
    ItemFont->DrawText(text, x + 1, y - 1, size);
    // Warnings burn amber, so a low tank or a wrecked car catches the eye.
    if (warning)
        ItemFont->SetColor(255, 176, 0);
    else
        ItemFont->SetColor(231, 0, 75);
    ItemFont->Alpha = alpha;
    ItemFont->DrawText(text, x, y, size);
}

void TGameEngine::DrawHud() {
    int language = Config().Language;
    if (TwoPlayer) {
        for (int p = 0; p < 2; ++p) {
            std::string points = std::to_string(Players[size_t(p)]->ExtraPoints);
            std::string nick = UpperCp1250(Players[size_t(p)]->Nick);
            if (p == 0) {
                DrawShadowText(points, 75, 420, 32, 255, false);
                DrawShadowText(nick, 75, 450, 16, 255, false);
            } else {
                DrawShadowText(points, 565 - 600 * ItemFont->TextWidth(points), 420, 32, 255, false);
                DrawShadowText(nick, 565 - 300 * ItemFont->TextWidth(nick), 450, 16, 255, false);
            }
        }
        if (RunFrames < 510) {
            uint8_t alpha = uint8_t(NameTagAlpha(RunFrames));
            for (int p = 1; p <= 2; ++p)
                if (TCar* car = Car(p)) {
                    TScreenPoint s = Camera.Project(car->PosX, car->PosY, 0);
                    std::string nick = UpperCp1250(Players[size_t(p - 1)]->Nick);
                    float x = s.X - 105 * ItemFont->TextWidth(nick), y = s.Y - 8;
                    // A tag that would fall on the countdown ring stands just above it instead.
                    if (GoSprite && GoSprite->Alive) {
                        float width = 16 * 12 * ItemFont->TextWidth(nick);
                        float left = float(GoSprite->X), right = left + float(GoSprite->Width);
                        float bottom = float(GoSprite->Y), top = bottom + float(GoSprite->Height);
                        if (x < right && x + width > left && y < top && y + 12 > bottom)
                            y = top + 4;
                    }
                    DrawShadowText(nick, x, y, 12, alpha, false);
                }
        }
    } else {
        TCar* car1 = Car(1);
        const TPlayerData& p1 = *Players[0];
        if (AtGasStation || AtService)
            DrawShadowText(UpperCp1250(MenuText(mtPressEnter, language)), 438, 396, 16, 255, false);
        for (int k = 0; k < 6 && car1; ++k) {
            if (!(p1.HudSymbols & (1u << k)))
                continue;
            const TSprite& symbol = *SymbolSprites[size_t(k)];
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
                text = Format("%d/%d", Targets->AddedCount - Targets->Count(), Targets->AddedCount);
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
    }
    if (HintSprite && HintSprite->Alive)
        DrawShadowText(UpperCp1250(HintSprite->Text[language == 1 ? 1 : 0]), float(HintSprite->X + 40),
                       float(HintSprite->Y + 12), 16, 255, false);
}

void TGameEngine::DrawDebugInfo() {
    if (!DebugOverlay)
        return;
    TGLFont& font = *TextFont;
    font.SetColor(255, 255, 255);
    font.Alpha = 255;
    auto line = [&](const std::string& text, float x, float y) { font.DrawText(text, x, y, 16); };
    char buffer[160];
    line(Format("FPS: %1.f", double(FPS)), 20, 4);
    line(Format("MIXER: %1.2f%%", double(Sound().Mixer().CpuUsage())), 20, 16);
    if (GameState == gsNone)
        line("GS_NONE", 4, 52);
    else if (GameState == gsIntroScreen)
        line("GS_INTRO_SCREEN", 4, 52);
    if (GameState != gsInGame)
        return;
    line("GS_IN_GAME", 20, 52);
    line(Format("ORDER: %d ROW: %d", Sound().GetOrder(), Sound().GetRow()), 20, 175);
    TCar* car = Car(1);
    if (!car)
        return;
    std::snprintf(buffer, sizeof buffer, "X: %.3f Y: %.3f ALFA: %.3f", double(car->PosX), double(car->PosY),
                  double(car->Heading));
    line(buffer, 20, 160);
    line(Format("TICKS/FRAME: %.0f", double(TicksLastFrame)), 20, 145);
    line(Format("VELOCITY: %.2f", double(car->Throttle)), 438, 370);
    line(Format("STEERING: %.2f", double(car->GetSteerAngle())), 438, 355);
    line(car->Braking ? "Braking: True" : "Braking: False", 438, 340);
    line(Format("OLDIMPULS: %.2f", double(car->PrevThrottle)), 438, 325);
    line(Format("SPEED: %.2f", double(car->GetSpeed())), 439, 310);
    dVector3 v = car->GetVelocity();
    std::snprintf(buffer, sizeof buffer, "RelVel: %.2f %.2f %.2f", double(v.x), double(v.y), double(v.z));
    line(buffer, 439, 295);
    std::snprintf(buffer, sizeof buffer, "camera: %.2f %.2f %.2f", double(Camera.TargetX), double(Camera.TargetY),
                  double(Camera.Distance));
    line(buffer, 439, 270);
    std::snprintf(buffer, sizeof buffer, "orient: %.2f %.2f %.2f", double(Camera.Heading), double(Camera.Pitch),
                  double(car->Heading));
    line(buffer, 439, 255);
    std::snprintf(buffer, sizeof buffer, "car: %.2f %.2f", double(car->PosX), double(car->PosY));
    line(buffer, 439, 240);
    const auto& area = Traffic->Region;
    std::snprintf(buffer, sizeof buffer, "Area: %d %d %d %d", area[0], area[1], area[2], area[3]);
    line(buffer, 439, 200);
}
