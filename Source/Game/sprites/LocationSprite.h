// TLocationSprite: the player's marker on the city map view, a ring that grows from 0 to 63 pixels
// while fading out, once every 64 frames.
#pragma once

#include "uSprite.h"

class TLocationSprite : public TSprite {
  public:
    TLocationSprite();

    void Update() override;
    // Stores the map point (whole cells) and places the marker on it.
    void SetLocation(int32_t mx, int32_t my);

    int32_t Count = 0; // frames
    int32_t MapX = 0, MapY = 0;

  private:
    void Place();
};
