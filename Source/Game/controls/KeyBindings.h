// TKeyBindings: which key does what for each of the two players — accelerate, brake/reverse, steer
// left and right, horn, headlights, the city map and the camera. One table that the input handling,
// the pads, the menus' key hints and the settings file all read; keys by DirectInput scan code, 0 for
// none. Also the keys' names as the settings file keeps them and as the screens show them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// New actions go at the end: the settings file names them, the keys screen lists them in order.
enum class TKeyAction : uint8_t { Accelerate, Brake, Left, Right, Horn, Lights, Map, Camera, ZoomIn, ZoomOut };
constexpr int KeyActionCount = 10;
constexpr int KeyPlayers = 2;
constexpr uint32_t NoKey = 0; // an action without a key; no key of the snapshot is ever down at 0

// Why a key cannot go to an action.
enum class TBindResult : uint8_t {
    Bound,    // done (or it was that action's key already)
    Taken,    // another action has it
    Reserved, // the game keeps it: Escape, Enter, Alt, Right Ctrl, the function keys
    Unknown,  // no key the game knows
};

struct TKeyBindings {
    // [player 0 or 1][action]
    std::array<std::array<uint32_t, KeyActionCount>, KeyPlayers> Keys{};

    // Player 1 the arrows, Left Ctrl the horn, Q the lights, Tab the map, C the camera, Page Up and
    // Page Down the camera nearer and farther; player 2 W, S, E, R, Y the horn and A the lights, no
    // map or camera key of his own.
    static TKeyBindings Defaults();

    uint32_t Key(int player, TKeyAction action) const { return Keys[size_t(player)][size_t(action)]; }
    // Gives `key` to the action unless another action has it or the game keeps it; on Taken,
    // `holderPlayer` and `holderAction` name the action that has it.
    TBindResult Bind(int player, TKeyAction action, uint32_t key, int* holderPlayer = nullptr,
                     TKeyAction* holderAction = nullptr);
    // An action has this key.
    bool Uses(uint32_t key) const;
    // Every key known, not reserved and used at most once: what a settings file may hold.
    bool Valid() const;
    bool operator==(const TKeyBindings&) const = default;
};

// The game keeps these keys for itself.
bool ReservedKey(uint32_t key);

// A setting's name for an action, "Player1Accelerate" ... "Player2Camera".
std::string KeySettingName(int player, TKeyAction action);
// The key as the screens show it in a language (0 English, 1 Czech), Windows-1250: "W", "Up" /
// "Nahoru", "Space" / "Mezerník"; "none" / "žádná" for NoKey.
std::string KeyLabel(uint32_t key, int language);
// The action's name in a language, Windows-1250.
std::string KeyActionLabel(TKeyAction action, int language);
// What a player drives with, for the menus: "Arrow keys" while player 1 has the arrows, else the four
// driving keys: "W, S, E, R keys" / "Klávesy W, S, E, R".
std::string DrivingKeysText(const TKeyBindings& keys, int player, int language);
// The map hint with the map key named; empty when player 1 has no map key.
std::string MapHintText(const TKeyBindings& keys, int language);
