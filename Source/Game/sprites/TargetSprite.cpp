#include "sprites/TargetSprite.h"
#include "Resources.h"
#include "uMapCoords.h"

#include <cmath>

TTargetSprite::TTargetSprite(int32_t a, int32_t b)
    : TSprite(Resources().GetTexture("map_destination"), 0, 0, 24, 24, 255) {
    // Centred on the target's place in the map picture, which is drawn from screen row -32.
    X = int32_t(std::lround(MapPictureX(float(a)))) - int32_t(Width / 2);
    Y = int32_t(std::lround(MapPictureY(float(b)) + MapPictureScreenY)) - int32_t(Height / 2);
}

void TTargetSprite::Update() {
    Angle += 1.0f;
}
