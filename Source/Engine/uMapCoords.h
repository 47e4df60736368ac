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
