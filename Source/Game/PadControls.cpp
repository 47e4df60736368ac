#include "PadControls.h"
#include "Car.h"
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

void MergePadKeys(const TPadState& pad, int player, bool inMenu, uint8_t keys[256]) {
    if (!pad.Connected)
        return;
    auto hold = [&](TPadButton button, uint32_t key) {
        if (pad.Button(button))
            keys[key] = 0x80;
    };
    hold(TPadButton::A, DIK_RETURN);
    hold(TPadButton::B, DIK_ESCAPE);
    hold(TPadButton::Back, DIK_TAB);
    if (inMenu) {
        hold(TPadButton::DpadUp, DIK_UP);
        hold(TPadButton::DpadDown, DIK_DOWN);
        hold(TPadButton::DpadLeft, DIK_LEFT);
        hold(TPadButton::DpadRight, DIK_RIGHT);
    } else if (player == 1) {
        hold(TPadButton::DpadLeft, DIK_LEFT);
        hold(TPadButton::DpadRight, DIK_RIGHT);
        hold(TPadButton::X, DIK_LCONTROL);
        hold(TPadButton::Y, DIK_Q);
    } else {
        hold(TPadButton::DpadLeft, DIK_E);
        hold(TPadButton::DpadRight, DIK_R);
        hold(TPadButton::X, DIK_Y);
        hold(TPadButton::Y, DIK_A);
    }
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
