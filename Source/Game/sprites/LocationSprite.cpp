#include "sprites/LocationSprite.h"
#include "Resources.h"
#include "uMapCoords.h"

#include <cmath>

TLocationSprite::TLocationSprite()
    : TSprite(Resources().GetTexture("map_arrow"), 0, 0, SmallestSize, SmallestSize, 255) {}

void TLocationSprite::Update() {
    ++Count;
    // Swells from the smallest size to 16 pixels more and back once every 64 frames, never fading,
    // so the car's place is found at a glance.
    int32_t p = Count % 64;
    int32_t swell = p < 32 ? p : 64 - p;
    Width = Height = uint32_t(SmallestSize + swell / 2);
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
