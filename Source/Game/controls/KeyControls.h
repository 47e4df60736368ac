// What a player's keys ask of a car in one tick: accelerate, brake or reverse, steer, the horn and
// the headlights' switch, by the key bindings. The game and the drive tool drive with it alike.
#pragma once

#include "controls/KeyBindings.h"
#include "uKeyboard.h"

class TCar;

// Applies player `player`'s (0 or 1) held and pressed keys of the snapshot to `car`. Space brakes
// as well while no action has it.
void DriveByKeys(TCar& car, const TKeySnapshot& snapshot, const TKeyBindings& keys, int player);
