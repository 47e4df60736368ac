// TLocationSprite: the player's marker on the city map view, a ring that swells from 20 to 36
// pixels and back once every 64 frames and is always shown whole.
#pragma once

#include "uSprite.h"

class TLocationSprite : public TSprite {
  public:
    static constexpr uint32_t SmallestSize = 20; // pixels at 640 x 480

    TLocationSprite();

    void Update() override;
    // Stores the map point (whole cells) and places the marker on it.
    void SetLocation(int32_t mx, int32_t my);

    int32_t Count = 0; // frames
    int32_t MapX = 0, MapY = 0;

  private:
    void Place();
};
