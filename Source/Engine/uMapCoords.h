// The flip between world and map coordinates of the city. World Y points north; map rows (the cell
// words, the city file's placements, the routes) count from the north edge. A world point (X, Y)
// lies in map cell (trunc(X), trunc(511 - Y)); the centre of map cell (x, y) is
// (x + 0.5, 511 - (y + 0.5)). X is the same in both.
#pragma once

#include <cmath>
#include <cstdint>

// The map's last row.
constexpr int32_t MapLastRow = 511;

// The map row of world Y: trunc(511 - Y). For a whole Y it is 511 - Y, and since the flip is its
// own inverse, a whole map row gives back the world row it stands for.
inline int32_t MapRow(float worldY) {
    return int32_t(std::trunc(MapLastRow - worldY));
}

// World Y of map row position y (a whole row or a point inside one): 511 - y. Being its own
// inverse, the same flip gives the map position of a world Y where no cell is wanted.
inline float WorldY(float mapY) {
    return MapLastRow - mapY;
}

// The city map picture: 1024 x 512 pixels, drawn full screen from y = -32, so its rows 32..511 are
// the screen's 480. It shows the whole city at 0.875 pixel per metre, centred: world X 0..512 at
// picture columns 96..544 and world Y 0..512 at rows 48..496 (screen rows 16..464). The markers on
// the map and the inset in the corner read the picture through these.
constexpr float MapPictureScale = 0.875f;
constexpr float MapPictureLeft = 96;     // picture column of world X 0
constexpr float MapPictureBottom = 48;   // picture row of world Y 0
constexpr float MapPictureScreenY = -32; // screen row of the picture's row 0

inline float MapPictureX(float worldX) {
    return MapPictureLeft + MapPictureScale * worldX;
}
inline float MapPictureY(float worldY) {
    return MapPictureBottom + MapPictureScale * worldY;
}
