// TStarSprite: one spark of a collected target. It flies off in a random direction, falls under a
// little gravity and is gone when it drops below the ground.
#pragma once

#include "uSprite3d.h"

class TStarSprite : public TSprite3D {
  public:
    // Draws its heading, speed factor and climb from the effects' random generator, in that order.
    explicit TStarSprite(const dVector3& position, float size = 0.25f);

    void Update() override;  // moves by its velocity; vertical velocity falls 0.001 per frame
    void Animate() override; // alive while above the ground

    dVector3 Velocity; // metres per frame
};
