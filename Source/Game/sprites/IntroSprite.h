// TIntroSprite: the intro picture. It fades in, slides up by 480 pixels after 3 seconds and, after
// 10 seconds, gives way to the main menu unless a menu screen is already open.
#pragma once

#include "uSprite.h"
#include "uSpriteHost.h"

class TIntroSprite : public TSprite {
  public:
    explicit TIntroSprite(TSpriteHost& host);

    void Update() override;
    void Animate() override;
    // Ends the fade and the slide at once: the picture stands where it comes to rest, its title
    // above the screen, so an open menu's own title and rows stand alone on the town at night.
    void Settle();

    TSpriteHost& Host;
    int32_t Count = 0; // frames
};
