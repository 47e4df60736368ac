// TCheckpointSprite: the pulsing ring on the ground at a target, gas station or service. Once the
// target is reached it stops pulsing and fades out in 56 frames.
#pragma once

#include "uSprite3d.h"

class TCheckpointSprite : public TSprite3D {
  public:
    // kind 0 target, 1 gas station, 2 service, 3 other marker; throws ERangeError for any other.
    TCheckpointSprite(float x, float y, uint8_t kind);

    void Update() override;
    void Animate() override;

    uint8_t Kind;
    bool Reached = false; // set by the game when the place is reached
    int32_t Count = 0;    // frames
};
