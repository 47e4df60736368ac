#include "sprites/LogoSprite.h"

TLogoSprite::TLogoSprite(uint32_t texture, int32_t x, int32_t y, uint32_t width, uint32_t height)
    : TSprite(texture, x, y, width, height, 255) {}

void TLogoSprite::Update() {
    ++Count;
}

void TLogoSprite::Animate() {
    if (Y < 0)
        ++Y;
    ++Count;
}
