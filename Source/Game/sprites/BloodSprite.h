// TBloodSprite: a stain on the ground where a pedestrian was hit. It spreads a little for 250 frames,
// stays 500 frames at full alpha and then fades out and removes itself.
#pragma once

#include "uSprite3d.h"

class TBloodSprite : public TSprite3D {
  public:
    // Near (x, y): position, alpha and size are drawn from the effects' random generator. `gore`
    // (the player's setting) makes the stain dark red instead of mud yellow.
    TBloodSprite(float x, float y, bool gore);

    void Update() override;
    void Animate() override;

    int32_t Count = 0; // frames
};
