#include "sprites/TrackSprite.h"

namespace {

constexpr int32_t KeepFrames = 100; // frames at full alpha before the fade

} // namespace

TTrackSprite::TTrackSprite(uint32_t texture) : TSprite3D(texture, dVector3{}, 0.15f, 64) {
    SetColor(192, 192, 192);
}

void TTrackSprite::Update() {
    ++Count;
    if (Count > KeepFrames && Alpha > 0)
        --Alpha;
}

void TTrackSprite::Animate() {
    Alive = Alpha != 0;
}
