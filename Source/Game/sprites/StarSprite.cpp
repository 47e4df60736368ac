#include "sprites/StarSprite.h"
#include "Resources.h"
#include "uRandom.h"

#include <cmath>

namespace {

constexpr float Radians = 3.14159265f / 180.0f;

} // namespace

TStarSprite::TStarSprite(const dVector3& position, float size)
    : TSprite3D(Resources().GetTexture("star"), position, size, 96) {
    SetColor(231, 0, 75);
    float heading = float(EffectRandom(360)) * Radians;
    float factor = float(EffectRandom(10)) / 10.0f; // 0.0 to 0.9
    float climb = float(EffectRandom(180)) * Radians;
    Velocity = VectorMake(std::sin(heading) / 25.0f * factor, std::cos(heading) / 25.0f * factor,
                          std::sin(climb) / 10.0f);
}

void TStarSprite::Update() {
    Angle += 0.1f;
    Velocity.z -= 0.001f;
    Position = VectorAdd(Position, Velocity);
}

void TStarSprite::Animate() {
    Alive = Position.z > 0;
}
