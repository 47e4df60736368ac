#include "controls/KeyControls.h"

#include "cars/Car.h"

void DriveByKeys(TCar& car, const TKeySnapshot& snapshot, const TKeyBindings& keys, int player) {
    auto held = [&](TKeyAction action) { return snapshot.Down(keys.Key(player, action)); };
    bool spaceBrakes = !keys.Uses(DIK_SPACE) && snapshot.Down(DIK_SPACE);
    if (held(TKeyAction::Accelerate))
        car.Accelerate();
    if (held(TKeyAction::Brake) || spaceBrakes)
        car.BrakeOrReverse();
    if (held(TKeyAction::Left))
        car.SteerNegative();
    if (held(TKeyAction::Right))
        car.SteerPositive();
    if (held(TKeyAction::Horn))
        car.Horn();
    if (snapshot.Pressed(keys.Key(player, TKeyAction::Lights)))
        car.SetLights(!car.LightsOn);
}
