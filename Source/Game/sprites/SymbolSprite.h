// TSymbolSprite: one of the six HUD symbols of a mission (fuel, damage, time, targets, load,
// fragile) in the row at the top right of the screen.
#pragma once

#include "uSprite.h"
#include "uSpriteHost.h"

class TSymbolSprite : public TSprite {
  public:
    // kind 0 to 5: fuel, damage, time, targets, load, fragile. Throws ERangeError for any other.
    TSymbolSprite(TSpriteHost& host, uint8_t kind);

    void Update() override;
    // Places the symbol in slot i of the row, filled from the right.
    void SetSlot(int32_t i);

    TSpriteHost& Host;
    uint8_t Kind;
    int32_t Count = 0; // frames
};
