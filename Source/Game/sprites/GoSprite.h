// TGoSprite: the count-down before a race on screen: four pictures (timer one, two, three, go) of
// 127 ticks each, every one fading from nearly opaque to nearly transparent, with a tick or the go
// sound. The world counts the ticks (the rules); the sprite only shows the count it is given.
#pragma once

#include "uSprite.h"
#include "uSpriteHost.h"

class TGoSprite : public TSprite {
  public:
    explicit TGoSprite(TSpriteHost& host);

    // Shows the first picture and plays the first tick; the game then adds the sprite.
    void Start();
    // Shows the count-down `ticks` ticks after its start, with the sound of a picture come anew.
    void Show(int32_t ticks);

    TSpriteHost& Host;
    int32_t Count = 0;       // ticks of the picture on show, 1 to 127 (0 at the start)
    int32_t SecondCount = 0; // ticks since the start
    int32_t Phase = 0;       // 1 to 4: the picture on show
};
