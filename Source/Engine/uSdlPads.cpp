#include "uSdlPads.h"

#include <SDL.h>
#include <algorithm>

namespace {

// TPadButton's order in SDL's names.
constexpr SDL_GameControllerButton ButtonOrder[PadButtonCount] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_GUIDE,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    SDL_CONTROLLER_BUTTON_DPAD_UP,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
    SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    SDL_CONTROLLER_BUTTON_DPAD_LEFT,
};
constexpr SDL_GameControllerAxis AxisOrder[PadAxisCount] = {
    SDL_CONTROLLER_AXIS_LEFTX,  SDL_CONTROLLER_AXIS_LEFTY,       SDL_CONTROLLER_AXIS_RIGHTX,
    SDL_CONTROLLER_AXIS_RIGHTY, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
};

// SDL gives sticks -32768..32767 and triggers 0..32767; the game takes both as -1..1, a released
// trigger at -1.
float AxisValue(Sint16 raw, bool trigger) {
    float v = std::max(-1.0f, float(raw) / 32767.0f);
    return trigger ? v * 2 - 1 : v;
}

} // namespace

TSdlPadSource::TSdlPadSource() {
    // The window is GLFW's, not SDL's: the pads must count as in the foreground all the same.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    Started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (Started) {
        // The state is polled on every read; queued events nobody takes would only pile up.
        SDL_GameControllerEventState(SDL_IGNORE);
        SDL_JoystickEventState(SDL_IGNORE);
    }
}

TSdlPadSource::~TSdlPadSource() {
    for (SDL_GameController* controller : Slots)
        if (controller)
            SDL_GameControllerClose(controller);
    if (Started)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void TSdlPadSource::Read(TPadState pads[MaxPads], uint64_t) {
    for (int i = 0; i < MaxPads; ++i)
        pads[i] = TPadState();
    if (!Started)
        return;
    // Polls the devices, plugged in and out included.
    SDL_GameControllerUpdate();
    for (SDL_GameController*& controller : Slots)
        if (controller && !SDL_GameControllerGetAttached(controller)) {
            SDL_GameControllerClose(controller);
            controller = nullptr;
        }
    for (int device = 0; device < SDL_NumJoysticks(); ++device) {
        auto slot = std::find(Slots.begin(), Slots.end(), nullptr);
        if (slot == Slots.end())
            break;
        if (!SDL_IsGameController(device))
            continue;
        SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device);
        bool open = std::any_of(Slots.begin(), Slots.end(), [&](SDL_GameController* c) {
            return c && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c)) == id;
        });
        if (!open)
            *slot = SDL_GameControllerOpen(device);
    }
    for (int i = 0; i < MaxPads; ++i) {
        SDL_GameController* controller = Slots[size_t(i)];
        if (!controller)
            continue;
        TPadState& pad = pads[i];
        pad.Connected = true;
        for (int a = 0; a < PadAxisCount; ++a)
            pad.Axes[a] = AxisValue(SDL_GameControllerGetAxis(controller, AxisOrder[a]), a >= 4);
        for (int b = 0; b < PadButtonCount; ++b)
            pad.Buttons[b] = SDL_GameControllerGetButton(controller, ButtonOrder[b]) != 0;
    }
}

void TSdlPadSource::Rumble(int pad, float strength, uint32_t milliseconds) {
    if (pad < 0 || pad >= MaxPads || !Slots[size_t(pad)])
        return;
    auto level = Uint16(std::clamp(strength, 0.0f, 1.0f) * 0xFFFF);
    // A pad without motors says no; nothing else to do then.
    SDL_GameControllerRumble(Slots[size_t(pad)], level, level, milliseconds);
}
