// TSpriteHost: what the game's sprites ask of the game engine, and nothing more. The engine side
// declares it so sprite units never depend on the game engine; the game engine implements it, tests
// record the calls.
#pragma once

#include <cstdint>
#include <string>

class TSpriteHost {
  public:
    virtual ~TSpriteHost() = default;

    // Plays the registered sample once on any free channel, without looping.
    virtual void PlaySample(const std::string& key) = 0;
    // The in-game menu's open screen number, 0 when no menu is open.
    virtual uint8_t MenuScreen() const = 0;
    // Opens the main menu (screen 1).
    virtual void OpenMainMenu() = 0;
};
