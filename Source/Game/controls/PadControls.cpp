#include "controls/PadControls.h"
#include "cars/Car.h"
#include "uKeyboard.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float StickDeadZone = 0.15f;
constexpr float TriggerDeadZone = 0.05f;

} // namespace

float SteerCurve(float axis) {
    float past = (std::fabs(axis) - StickDeadZone) / (1 - StickDeadZone);
    float t = std::clamp(past, 0.0f, 1.0f);
    return t * t;
}

float TriggerCurve(float axis) {
    float pull = (axis + 1) / 2;
    return std::clamp((pull - TriggerDeadZone) / (1 - TriggerDeadZone), 0.0f, 1.0f);
}

float QuantizedAmount(float amount) {
    return std::nearbyint(std::clamp(amount, 0.0f, 1.0f) * 255) / 255;
}

void MergePadKeys(const TPadState& pad, int player, bool inMenu, const TKeyBindings& bindings,
                  uint8_t keys[256]) {
    if (!pad.Connected)
        return;
    auto hold = [&](TPadButton button, uint32_t key) {
        if (pad.Button(button) && key != NoKey)
            keys[key] = 0x80;
    };
    int own = player - 1;
    auto key = [&](TKeyAction action) { return bindings.Key(own, action); };
    hold(TPadButton::A, DIK_RETURN);
    hold(TPadButton::B, DIK_ESCAPE);
    // The player's map key, else player 1's: the city map is one for both.
    hold(TPadButton::Back, key(TKeyAction::Map) != NoKey ? key(TKeyAction::Map) : bindings.Key(0, TKeyAction::Map));
    if (inMenu) {
        hold(TPadButton::DpadUp, DIK_UP);
        hold(TPadButton::DpadDown, DIK_DOWN);
        hold(TPadButton::DpadLeft, DIK_LEFT);
        hold(TPadButton::DpadRight, DIK_RIGHT);
    } else {
        hold(TPadButton::DpadLeft, key(TKeyAction::Left));
        hold(TPadButton::DpadRight, key(TKeyAction::Right));
        // The d-pad's up and down move the camera nearer and farther; the stick and triggers drive.
        hold(TPadButton::DpadUp, key(TKeyAction::ZoomIn));
        hold(TPadButton::DpadDown, key(TKeyAction::ZoomOut));
        hold(TPadButton::X, key(TKeyAction::Horn));
        hold(TPadButton::Y, key(TKeyAction::Lights));
    }
}

float CrashRumble(float damage) {
    return std::clamp(damage / RumbleFullDamage, 0.0f, 1.0f);
}

void DriveWithPad(const TPadState& pad, TCar& car) {
    if (!pad.Connected)
        return;
    float x = pad.Axis(TPadAxis::LeftX);
    float steer = QuantizedAmount(SteerCurve(x));
    if (steer > 0)
        x < 0 ? car.SteerNegative(steer) : car.SteerPositive(steer);
    float throttle = QuantizedAmount(TriggerCurve(pad.Axis(TPadAxis::RightTrigger)));
    if (throttle > 0)
        car.Accelerate(throttle);
    float brake = QuantizedAmount(TriggerCurve(pad.Axis(TPadAxis::LeftTrigger)));
    if (brake > 0)
        car.BrakeOrReverse(brake);
}
