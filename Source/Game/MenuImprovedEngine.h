// TMenuImprovedEngine: the menu inside the game window — a screen number, the selected item, the
// keys routed to it while a screen is open and its drawing. For now it offers the few choices a
// game needs to go on (start or restart a game, leave a station, quit); every screen keeps its
// number, so the rules open the same screens the full menu will show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TGameEngine;

class TMenuImprovedEngine {
  public:
    explicit TMenuImprovedEngine(TGameEngine& engine) : Engine(engine) {}

    void SetScreen(uint8_t screen);
    void PreviousItem();
    void NextItem();
    void DecreaseValue();
    void IncreaseValue();
    void ChooseItem();
    void Back();
    void DrawMenu();

    TGameEngine& Engine;
    uint8_t Screen = 0; // 0: no menu open
    int32_t Selected = 0;

  private:
    enum class TItem { Play, Restart, Resume, Quit, Fuel, Repair };
    std::vector<TItem> Items() const;
    void Start(int mission);
    std::string Title() const;
    std::string ItemText(TItem item) const;
};
