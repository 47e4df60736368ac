// THintSprite: the hint icon at the bottom left. It slides in from below the screen, stays about four
// seconds and slides out again; the game draws its text beside it.
#pragma once

#include "uSprite.h"
#include "uSpriteHost.h"

#include <array>
#include <string>

class THintSprite : public TSprite {
  public:
    explicit THintSprite(TSpriteHost& host);

    void Update() override;
    void Animate() override;
    // Stores the text (English, Czech; Windows-1250) and restarts the slide-in from below the screen.
    void Show(const std::string& english, const std::string& czech);

    TSpriteHost& Host;
    int32_t Count = 0;               // frames since Show
    std::array<std::string, 2> Text; // indexed by language: 0 English, 1 Czech
};
