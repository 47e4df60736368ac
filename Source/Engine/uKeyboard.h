// The keyboard as the game sees it: a 256-byte snapshot indexed by DirectInput scan codes, taken once
// per pass of the game loop, and the previous pass's snapshot for "just pressed" tests. The keys come
// from a TKeySource: the live window (GLFW) or a key script for unattended runs.
#pragma once

#include <cstdint>
#include <istream>
#include <map>
#include <string>
#include <vector>

// DirectInput scan codes.
enum : uint32_t {
    DIK_ESCAPE = 0x01, DIK_1 = 0x02, DIK_2 = 0x03, DIK_3 = 0x04, DIK_4 = 0x05, DIK_5 = 0x06, DIK_6 = 0x07,
    DIK_7 = 0x08, DIK_8 = 0x09, DIK_9 = 0x0A, DIK_0 = 0x0B, DIK_MINUS = 0x0C, DIK_EQUALS = 0x0D, DIK_BACK = 0x0E,
    DIK_TAB = 0x0F, DIK_Q = 0x10, DIK_W = 0x11, DIK_E = 0x12, DIK_R = 0x13, DIK_T = 0x14, DIK_Y = 0x15,
    DIK_U = 0x16, DIK_I = 0x17, DIK_O = 0x18, DIK_P = 0x19, DIK_LBRACKET = 0x1A, DIK_RBRACKET = 0x1B,
    DIK_RETURN = 0x1C, DIK_LCONTROL = 0x1D, DIK_A = 0x1E, DIK_S = 0x1F, DIK_D = 0x20, DIK_F = 0x21, DIK_G = 0x22,
    DIK_H = 0x23, DIK_J = 0x24, DIK_K = 0x25, DIK_L = 0x26, DIK_SEMICOLON = 0x27, DIK_APOSTROPHE = 0x28,
    DIK_GRAVE = 0x29, DIK_LSHIFT = 0x2A, DIK_BACKSLASH = 0x2B, DIK_Z = 0x2C, DIK_X = 0x2D, DIK_C = 0x2E,
    DIK_V = 0x2F, DIK_B = 0x30, DIK_N = 0x31, DIK_M = 0x32, DIK_COMMA = 0x33, DIK_PERIOD = 0x34, DIK_SLASH = 0x35,
    DIK_RSHIFT = 0x36, DIK_MULTIPLY = 0x37, DIK_LMENU = 0x38, DIK_SPACE = 0x39, DIK_CAPITAL = 0x3A,
    DIK_F1 = 0x3B, DIK_F2 = 0x3C, DIK_F3 = 0x3D, DIK_F4 = 0x3E, DIK_F5 = 0x3F, DIK_F6 = 0x40, DIK_F7 = 0x41,
    DIK_F8 = 0x42, DIK_F9 = 0x43, DIK_F10 = 0x44, DIK_NUMLOCK = 0x45, DIK_SCROLL = 0x46, DIK_NUMPAD7 = 0x47,
    DIK_NUMPAD8 = 0x48, DIK_NUMPAD9 = 0x49, DIK_SUBTRACT = 0x4A, DIK_NUMPAD4 = 0x4B, DIK_NUMPAD5 = 0x4C,
    DIK_NUMPAD6 = 0x4D, DIK_ADD = 0x4E, DIK_NUMPAD1 = 0x4F, DIK_NUMPAD2 = 0x50, DIK_NUMPAD3 = 0x51,
    DIK_NUMPAD0 = 0x52, DIK_DECIMAL = 0x53, DIK_F11 = 0x57, DIK_F12 = 0x58, DIK_NUMPADENTER = 0x9C,
    DIK_RCONTROL = 0x9D, DIK_DIVIDE = 0xB5, DIK_RMENU = 0xB8, DIK_PAUSE = 0xC5, DIK_HOME = 0xC7, DIK_UP = 0xC8,
    DIK_PRIOR = 0xC9, DIK_LEFT = 0xCB, DIK_RIGHT = 0xCD, DIK_END = 0xCF, DIK_DOWN = 0xD0, DIK_NEXT = 0xD1,
    DIK_INSERT = 0xD2, DIK_DELETE = 0xD3,
};

// The scan code of a GLFW key, 0 for keys without one.
uint32_t ScanCodeOfGlfwKey(int glfwKey);
// The scan code of a DirectInput key name ("UP", "DIK_UP", "A", "F1", "RETURN"), 0 when unknown.
uint32_t ScanCodeOfName(const std::string& name);
// The DirectInput name of a scan code ("UP", "A", "RETURN"), empty for a code without a key.
std::string NameOfScanCode(uint32_t code);

// Where the snapshot comes from.
class TKeySource {
  public:
    virtual ~TKeySource() = default;
    // Fills the 256-byte state for the given pass of the game loop (counted from 0).
    virtual void Read(uint8_t state[256], uint64_t pass) = 0;
    // True once the source has nothing more to give and the run should end.
    virtual bool Ended() const { return false; }
};

// Keys held by the player, fed by the window's key callback.
class TLiveKeySource : public TKeySource {
  public:
    void Read(uint8_t state[256], uint64_t pass) override;
    void SetKey(uint32_t code, bool down);
    void ReleaseAll();

  private:
    uint8_t Held[256] = {};
    uint8_t PressedSinceRead[256] = {}; // a tap between two reads still shows in one snapshot
};

// A key script: lines "<pass> down|up <key name>", '#' starts a comment. Each event takes effect
// from its pass on, so a key goes down in one snapshot and up in a later one.
class TScriptKeySource : public TKeySource {
  public:
    struct TEvent {
        uint64_t Pass;
        uint32_t Code;
        bool Down;
    };

    // Parses the script; throws Exception naming the line on a bad one.
    static TScriptKeySource FromText(const std::string& text, const std::string& name);
    static TScriptKeySource FromFile(const std::string& fileName);
    // One script line as an event; false for a blank or comment line. Throws Exception naming the
    // line on a bad one.
    static bool ParseLine(std::string line, const std::string& name, int lineNumber, TEvent& event);

    void Read(uint8_t state[256], uint64_t pass) override;
    const std::vector<TEvent>& Events() const { return Script; }

  private:
    std::vector<TEvent> Script; // sorted by pass, stable
    size_t Next = 0;
    uint8_t Held[256] = {};
};

// Keys from a controller program in lock step with the game: the script's lines arrive on a stream
// while the game runs, and "<pass> go" says that every key of that pass and the earlier ones has been
// sent. Each pass waits until its "go" has arrived, so the controller can read the state of frame N
// and answer for pass N + 1. When the stream ends the keys stay as they are and the source has Ended.
class TStreamKeySource : public TKeySource {
  public:
    TStreamKeySource(std::istream& input, const std::string& name) : Input(input), Name(name) {}

    void Read(uint8_t state[256], uint64_t pass) override;
    bool Ended() const override { return AtEnd; }

  private:
    std::istream& Input;
    std::string Name;
    std::vector<TScriptKeySource::TEvent> Pending; // arrived, for a later pass, in arrival order
    uint64_t GoPass = 0;                            // passes below this may run
    int LineNumber = 0;
    bool AtEnd = false;
    uint8_t Held[256] = {};
};

// The keys of one engine: the current pass's snapshot and the one before it, by DIK_ code.
struct TKeySnapshot {
    uint8_t Now[256] = {};
    uint8_t Before[256] = {};

    // Down in the current snapshot. A code above 255 is a range error.
    bool Down(uint32_t code) const;
    // Down now and up in the previous snapshot: true in exactly one pass per press.
    bool Pressed(uint32_t code) const;
    // Copies the current snapshot over the previous one (end of each input step).
    void Save();
    // Both snapshots back to all keys up.
    void Reset();
};
