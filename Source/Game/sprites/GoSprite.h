// TGoSprite: the count-down before a race: four pictures (timer one, two, three, go) of 127 frames
// each, every one fading from nearly opaque to nearly transparent, with a tick or the go sound.
#pragma once

#include "uSprite.h"
#include "uSpriteHost.h"

class TGoSprite : public TSprite {
  public:
    explicit TGoSprite(TSpriteHost& host);

    void Update() override;
    void Animate() override;
    // Rewinds to the first picture and plays the first tick; the game then adds the sprite.
    void Start();

    TSpriteHost& Host;
    int32_t Count = 0;       // frames of the current picture, 1 to 127
    int32_t SecondCount = 0; // frames since Start
    int32_t Phase = 0;       // 1 to 4: the picture on show
};
