#include "sprites/LocationSprite.h"
#include "Resources.h"
#include "uMapCoords.h"

#include <cmath>

TLocationSprite::TLocationSprite() : TSprite(Resources().GetTexture("map_arrow"), 0, 0, 16, 16, 255) {}

void TLocationSprite::Update() {
    ++Count;
    int32_t p = Count % 64; // 0 on every 64th frame: the marker is invisible then
    Width = Height = uint32_t(p);
    Alpha = uint8_t(255 - 4 * p);
    Place();
}

void TLocationSprite::SetLocation(int32_t mx, int32_t my) {
    MapX = mx;
    MapY = my;
    Place();
}

void TLocationSprite::Place() {
    // Centred on the car's place in the map picture, which is drawn from screen row -32.
    X = int32_t(std::lround(MapPictureX(float(MapX)))) - int32_t(Width / 2);
    Y = int32_t(std::lround(MapPictureY(float(MapY)) + MapPictureScreenY)) - int32_t(Height / 2);
}
