// TTrackSprite: one mark of a tyre track, lying flat where the car puts it. It stays 100 frames, then
// fades out over 64 more and removes itself.
#pragma once

#include "uSprite3d.h"

class TTrackSprite : public TSprite3D {
  public:
    explicit TTrackSprite(uint32_t texture);

    void Update() override;
    void Animate() override;

    int32_t Count = 0; // frames
};
