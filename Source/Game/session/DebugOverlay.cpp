#include "session/DebugOverlay.h"

#include "Sound.h"
#include "cars/Car.h"
#include "session/GameEngine.h"
#include "traffic/TrafficEngine.h"
#include "uFormat.h"

void DrawDebugOverlay(const TGameEngine& game, TGLFont& font) {
    font.SetColor(255, 255, 255);
    font.Alpha = 255;
    auto line = [&](const std::string& text, float x, float y) { font.DrawText(text, x, y, 16); };
    char buffer[160];
    line(Format("FPS: %1.f", double(game.FPS)), 20, 4);
    line(Format("MIXER: %1.2f%%", double(Sound().Mixer().CpuUsage())), 20, 16);
    if (game.GameState == gsNone)
        line("GS_NONE", 4, 52);
    else if (game.GameState == gsIntroScreen)
        line("GS_INTRO_SCREEN", 4, 52);
    if (game.GameState != gsInGame)
        return;
    line("GS_IN_GAME", 20, 52);
    line(Format("ORDER: %d ROW: %d", Sound().GetOrder(), Sound().GetRow()), 20, 175);
    TCar* car = game.Car(1);
    if (!car)
        return;
    std::snprintf(buffer, sizeof buffer, "X: %.3f Y: %.3f ALFA: %.3f", double(car->PosX), double(car->PosY),
                  double(car->Heading));
    line(buffer, 20, 160);
    line(Format("TICKS/FRAME: %.0f", double(game.TicksLastFrame)), 20, 145);
    line(Format("VELOCITY: %.2f", double(car->Throttle)), 438, 370);
    line(Format("STEERING: %.2f", double(car->GetSteerAngle())), 438, 355);
    line(car->Braking ? "Braking: True" : "Braking: False", 438, 340);
    line(Format("OLDIMPULS: %.2f", double(car->PrevThrottle)), 438, 325);
    line(Format("SPEED: %.2f", double(car->GetSpeed())), 439, 310);
    dVector3 v = car->GetVelocity();
    std::snprintf(buffer, sizeof buffer, "RelVel: %.2f %.2f %.2f", double(v.x), double(v.y), double(v.z));
    line(buffer, 439, 295);
    std::snprintf(buffer, sizeof buffer, "camera: %.2f %.2f %.2f", double(game.Camera.TargetX),
                  double(game.Camera.TargetY), double(game.Camera.Distance));
    line(buffer, 439, 270);
    std::snprintf(buffer, sizeof buffer, "orient: %.2f %.2f %.2f", double(game.Camera.Heading),
                  double(game.Camera.Pitch), double(car->Heading));
    line(buffer, 439, 255);
    std::snprintf(buffer, sizeof buffer, "car: %.2f %.2f", double(car->PosX), double(car->PosY));
    line(buffer, 439, 240);
    const auto& area = game.Traffic->Region;
    std::snprintf(buffer, sizeof buffer, "Area: %d %d %d %d", area[0], area[1], area[2], area[3]);
    line(buffer, 439, 200);
}
