// TStreetRoute: the shortest way a car can drive through the city's streets between two world
// points — over the cells whose ground is a carriageway, a forecourt, a yard or the station
// square, over sidewalks, squares and lawns only where they save a long way round, never against a
// traffic lane's direction mark, never through a building or a wall. A point off the streets is
// joined to the nearest cell a car may drive on. Guidance only: it reads the city and
// changes nothing of the world. Owns its per-cell exits and the search buffers it reuses.
#pragma once

#include "city/CellWords.h"

#include <array>
#include <cstdint>
#include <vector>

// A point of a route in world metres.
struct TRoutePoint {
    float X, Y;
};

class TStreetRoute {
  public:
    // Metres from a point off the streets to the cell it is joined to, at most.
    static constexpr int32_t JoinReach = 40;

    TStreetRoute();

    // Reads which cells a car may drive on and the ways out of each. `blocked` holds one byte per map
    // cell, [x][y] as the cell words (nonzero where a colliding building or a wall stands); empty
    // when nothing stands in the streets.
    void SetCity(const TCellWords& words, const std::vector<uint8_t>& blocked = {});

    // The shortest way from world point (fromX, fromY) to (toX, toY). True when there is one: Cells
    // then runs from the start's drivable cell to the target's, and Points from the start point
    // over the turns to the target point. False (Cells and Points empty) when either point lies
    // farther than JoinReach from a drivable cell or no way leads from one to the other.
    bool Find(float fromX, float fromY, float toX, float toY);

    bool Drivable(int32_t x, int32_t y) const {
        return TCellWords::InMap(x, y) && (Exits[Index(x, y)] & DrivableBit) != 0;
    }
    // Whether a car may go from map cell (x, y) to its neighbour in direction `way` (0..7, the order
    // of the direction marks: towards y - 1, then clockwise seen from above).
    bool CanMove(int32_t x, int32_t y, int32_t way) const {
        return TCellWords::InMap(x, y) && (Exits[Index(x, y)] & (1u << way)) != 0;
    }

    std::vector<std::array<int32_t, 2>> Cells; // map cells of the last route found
    std::vector<TRoutePoint> Points;           // its polyline in world metres
    int32_t Expanded = 0;                      // cells the last search settled

  private:
    static constexpr uint16_t DrivableBit = 0x100; // above the eight exit bits
    static constexpr uint16_t FootwayBit = 0x200;  // a sidewalk, square or path: dearer to drive
    static constexpr uint16_t KerbBit = 0x400;     // beside a cell that is no street
    static constexpr uint16_t LawnBit = 0x800;     // grass: dearer still
    static size_t Index(int32_t x, int32_t y) { return size_t(x) * MapCells + size_t(y); }
    // The drivable cell nearest to map point (px, py) (cell units), within JoinReach.
    bool NearestStreet(float px, float py, int32_t& x, int32_t& y) const;
    void MakePoints(float fromX, float fromY, float toX, float toY);

    // Per cell: bit `way` set when that move is allowed, and the Drivable, Footway, Kerb and Lawn bits.
    std::vector<uint16_t> Exits;
    // The search's buffers, kept between searches; a cell's entries count only when its Stamp is
    // the current search's.
    std::vector<uint32_t> Stamp;
    std::vector<uint32_t> Cost;    // tenths of a metre from the start, kerb penalties included
    std::vector<uint8_t> CameFrom; // the way taken into the cell; 8 at the start
    std::vector<uint8_t> Settled;
    std::array<std::vector<uint32_t>, 128> Buckets; // open cells by estimate, modulo 128
    uint32_t Search = 0;
};
