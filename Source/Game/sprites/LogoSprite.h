// TLogoSprite: a maker's logo of the intro screen that slides up from below until its bottom edge
// reaches the bottom of the screen.
#pragma once

#include "uSprite.h"

class TLogoSprite : public TSprite {
  public:
    TLogoSprite(uint32_t texture, int32_t x, int32_t y, uint32_t width, uint32_t height);

    void Update() override;
    void Animate() override; // one pixel up per frame while y < 0

    int32_t Count = 0; // counts twice per frame (once in each hook)
};
