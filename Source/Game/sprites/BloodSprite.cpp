#include "sprites/BloodSprite.h"
#include "Resources.h"
#include "uRandom.h"

namespace {

constexpr int32_t GrowFrames = 250;     // the stain spreads while younger than this
constexpr int32_t KeepFrames = 500;     // frames at full alpha before the fade
constexpr float GrowPerFrame = 0.0005f; // metres

dVector3 StainPoint(float x, float y) {
    float u1 = EffectRandomFloat();
    float u2 = EffectRandomFloat();
    return VectorMake(x - 0.2f + 0.4f * u1, y - 0.2f + 0.4f * u2, 0);
}

} // namespace

TBloodSprite::TBloodSprite(float x, float y, bool gore)
    : TSprite3D(Resources().GetTexture("lamp"), StainPoint(x, y), 0, 0) {
    Alpha = uint8_t(128 + EffectRandom(128));
    Width = Height = 0.25f + 0.1f * EffectRandomFloat();
    if (gore)
        SetColor(128, 0, 0);
    else
        SetColor(215, 192, 38);
}

void TBloodSprite::Update() {
    ++Count;
    if (Count > KeepFrames && Alpha > 0)
        --Alpha;
    if (Count < GrowFrames) {
        Width += GrowPerFrame;
        Height += GrowPerFrame;
    }
}

void TBloodSprite::Animate() {
    Alive = Alpha != 0;
}
