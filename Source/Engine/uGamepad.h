// Gamepads as the game sees them: the state of the first two pads in the standard game controller
// layout (the SDL mapping database names every pad's sticks, triggers and buttons alike), taken once
// per pass of the game loop like the keyboard, and the pads' rumble. The state comes from a
// TPadSource: the pads plugged in (SDL, uSdlPads) or a pad script for unattended runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Axes and buttons in the order the pad scripts have always named them.
enum class TPadAxis : uint8_t { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger };
enum class TPadButton : uint8_t {
    A,
    B,
    X,
    Y,
    LeftBumper,
    RightBumper,
    Back,
    Start,
    Guide,
    LeftThumb,
    RightThumb,
    DpadUp,
    DpadRight,
    DpadDown,
    DpadLeft,
};
constexpr int PadAxisCount = 6;
constexpr int PadButtonCount = 15;
constexpr int MaxPads = 2;

struct TPadState {
    bool Connected = false;
    float Axes[PadAxisCount] = {0, 0, 0, 0, -1, -1}; // sticks -1..1 (y down), triggers -1 released..1
    bool Buttons[PadButtonCount] = {};

    float Axis(TPadAxis axis) const { return Axes[int(axis)]; }
    bool Button(TPadButton button) const { return Buttons[int(button)]; }
};

// An axis or button by its script name ("LEFTX", "RIGHT_TRIGGER", "A", "DPAD_LEFT"); false when unknown.
bool PadAxisOfName(const std::string& name, TPadAxis& axis);
bool PadButtonOfName(const std::string& name, TPadButton& button);

class TPadSource {
  public:
    virtual ~TPadSource() = default;
    // Fills the state of pad 1 and 2 for the given pass of the game loop (counted from 0).
    virtual void Read(TPadState pads[MaxPads], uint64_t pass) = 0;
    // Rumbles pad 0 or 1 at `strength` (0..1) for `milliseconds`, where the pad can; a new request
    // replaces the one running. Nothing where the source has no motors.
    virtual void Rumble(int pad, float strength, uint32_t milliseconds) {}
};

// A pad script: lines "<pass> [pad1|pad2] axis <name> <value>" or "<pass> [pad1|pad2] button <name>
// down|up", '#' starts a comment. Pad 1 when no pad is named. A pad counts as connected from its first
// event on; each event holds from its pass on.
class TScriptPadSource : public TPadSource {
  public:
    struct TEvent {
        uint64_t Pass;
        int Pad; // 0 or 1
        bool IsAxis;
        int Index;   // axis or button
        float Value; // axis value, or 1 / 0 for a button down / up
    };

    // Parses the script; throws Exception naming the line on a bad one.
    static TScriptPadSource FromText(const std::string& text, const std::string& name);
    static TScriptPadSource FromFile(const std::string& fileName);

    void Read(TPadState pads[MaxPads], uint64_t pass) override;
    const std::vector<TEvent>& Events() const { return Script; }

  private:
    std::vector<TEvent> Script; // sorted by pass, stable
    size_t Next = 0;
    TPadState Held[MaxPads];
};
