// TTargetSprite: a target's symbol on the city map view, turning slowly about its centre.
#pragma once

#include "uSprite.h"

class TTargetSprite : public TSprite {
  public:
    // (a, b): the target's map point; the symbol is placed relative to the map picture's offset.
    TTargetSprite(int32_t a, int32_t b);

    void Update() override; // turns 1 degree per frame
};
