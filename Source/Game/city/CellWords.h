// TCellWords: the city's traffic network as the city file paints it, one 32-bit word per map cell
// (ground kind, pedestrian area, direction marks; the bits are in tables/CellWordBits.h). The cars
// read the ground under their wheels from it, the traffic its tracks and the pedestrians' walks.
#pragma once

#include "tables/CellWordBits.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// 512 x 512 cell words indexed [x][y] in map coordinates.
class TCellWords {
  public:
    TCellWords() : Words(size_t(MapCells) * MapCells, 0) {}
    // Decodes the city file's little-endian block (MapCells * MapCells * 4 bytes).
    static TCellWords FromBytes(const uint8_t* block, size_t size);

    static bool InMap(int32_t x, int32_t y) { return x >= 0 && x < MapCells && y >= 0 && y < MapCells; }
    int32_t At(int32_t x, int32_t y) const { return Words[size_t(x) * MapCells + size_t(y)]; }
    int32_t& At(int32_t x, int32_t y) { return Words[size_t(x) * MapCells + size_t(y)]; }

    std::vector<int32_t> Words;
    std::string Source; // the map file the words were read from, named in the tracer's errors
};

inline bool IsPedestrianArea(int32_t word) {
    return (word & GroundPedestrian) != 0;
}
inline bool HasDirectionMark(int32_t word) {
    return (word & DirectionMarks) != 0;
}
