// How a gamepad plays the game: the curves that turn its stick and triggers into the car's control
// amounts, and the buttons that stand for keys (A Enter, B Escape, back the map, X the horn, Y the
// headlights, the d-pad the arrows in a menu, and in a game left and right and the camera nearer and
// farther). Pad 1 plays player 1 and pad 2 player 2; the keyboard keeps
// working beside them. No platform calls here: the pads' state comes from the engine.
#pragma once

#include "controls/KeyBindings.h"
#include "uGamepad.h"

#include <cstdint>

class TCar;

// Steering amount 0..1 of a stick axis (-1..1): nothing inside the dead zone, then rising with the
// square of the way past it, so small moves steer finely and the full throw steers fully.
float SteerCurve(float axis);
// Throttle or brake amount 0..1 of a trigger axis (-1 released .. 1 pulled): a small dead zone at
// rest, then in proportion to the pull.
float TriggerCurve(float axis);
// An amount rounded to 1/255 steps, as the game applies and a replay stores it; 0 and 1 stay exact.
float QuantizedAmount(float amount);

// Holds down, in a 256-byte key snapshot, the keys the pad's buttons stand for: in a game the
// player's own keys of `bindings`. `player` is 1 or 2; `inMenu` lets the d-pad move through a menu
// with the arrows (in a game its up and down move the camera).
void MergePadKeys(const TPadState& pad, int player, bool inMenu, const TKeyBindings& bindings,
                  uint8_t keys[256]);
// How hard a pad rumbles (0..1) for a crash that did `damage` per cent of damage: in proportion, a
// full rumble from a crash of RumbleFullDamage on.
constexpr float RumbleFullDamage = 25;
float CrashRumble(float damage);
constexpr uint32_t CrashRumbleMilliseconds = 250;
// Adds the stick's steering and the triggers' throttle and brake to the car's requests of this frame.
void DriveWithPad(const TPadState& pad, TCar& car);
