#include "TargetSprite.h"
#include "Resources.h"

TTargetSprite::TTargetSprite(int32_t a, int32_t b)
    : TSprite(Resources().GetTexture("map_destination"), 0, 0, 16, 16, 255) {
    X = a - int32_t(Width) + 98;
    Y = b - 46 - int32_t(Height);
}

void TTargetSprite::Update() {
    Angle += 1.0f;
}
