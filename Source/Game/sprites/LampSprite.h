// TLampSprite: the glow of a street lamp, a camera-facing billboard. One lamp in a hundred flickers.
// The engine's SetLamps sets the alpha and size of every lamp at once (for the time of day).
#pragma once

#include "uSprite3d.h"

class TLampSprite : public TSprite3D {
  public:
    // Draws the flicker chance from the effects' random generator.
    explicit TLampSprite(const dVector3& position);

    // Lights the lamp anew for a game: its frame count from 0 and its flicker chance drawn again, so
    // a game's flicker does not depend on the games before it.
    void Relight();
    void Update() override;
    void Animate() override; // a flickering lamp takes a random alpha every 6th frame

    bool Flicker;
    int32_t Count = 0; // frames
};
