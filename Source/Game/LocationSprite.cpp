#include "LocationSprite.h"
#include "Resources.h"

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
    // The map picture is drawn 90 pixels right of and 54 below the map's own coordinates.
    X = MapX - int32_t(Width / 2) + 90;
    Y = MapY - 54 - int32_t(Height / 2);
}
