// TSdlPadSource: the pads plugged in, through SDL's game controller API — the first two that SDL's
// mapping database knows, looked up on every read so a pad plugged in or out while playing is taken
// or dropped at once — and their rumble motors. Owns the open controllers and SDL's controller
// subsystem while it lives.
#pragma once

#include "uGamepad.h"

#include <array>

struct _SDL_GameController;

class TSdlPadSource : public TPadSource {
  public:
    TSdlPadSource();
    ~TSdlPadSource() override;
    TSdlPadSource(const TSdlPadSource&) = delete;
    TSdlPadSource& operator=(const TSdlPadSource&) = delete;

    void Read(TPadState pads[MaxPads], uint64_t pass) override;
    void Rumble(int pad, float strength, uint32_t milliseconds) override;

  private:
    bool Started = false; // SDL's controller subsystem came up
    // A pad keeps its slot while it stays plugged in.
    std::array<_SDL_GameController*, MaxPads> Slots{};
};
