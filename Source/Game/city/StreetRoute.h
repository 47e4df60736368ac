// TStreetRoute: the shortest way a car can drive through the city's streets between two world
// points — over the cells whose ground is a carriageway, a forecourt, a yard or the station
// square, over sidewalks, squares and lawns only where they save a long way round, never against a
// traffic lane's direction mark, never through a building or a wall. A point off the streets is
// joined to the nearest cell a car may drive on. Guidance only: it reads the city and
// changes nothing of the world. Owns its per-cell exits, the landmark costs that steer its search
// and the search buffers it reuses.
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

    // `landmarks` (at most Landmarks) steer the search; with none it goes by the straight line alone.
    explicit TStreetRoute(int32_t landmarks = Landmarks);

    // Reads which cells a car may drive on and the ways out of each, and measures every cell's cost
    // to and from a few landmarks round the town's edge (a sixth of a second or so, once a game).
    // `blocked` holds one byte per map cell, [x][y] as the cell words (nonzero where a colliding
    // building or a wall stands); empty when nothing stands in the streets.
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
    uint32_t RouteCost = 0; // of the last route: tenths of a metre, the dearer ground and kerbs weighed

    // Landmarks the search is steered by; each costs two sweeps of the town in SetCity and four
    // bytes a map cell.
    static constexpr int32_t Landmarks = 8;

  private:
    static constexpr uint16_t DrivableBit = 0x100; // above the eight exit bits
    static constexpr uint16_t FootwayBit = 0x200;  // a sidewalk, square or path: dearer to drive
    static constexpr uint16_t KerbBit = 0x400;     // beside a cell that is no street
    static constexpr uint16_t LawnBit = 0x800;     // grass: dearer still
    static size_t Index(int32_t x, int32_t y) { return size_t(x) * MapCells + size_t(y); }
    // The drivable cell nearest to map point (px, py) (cell units), within JoinReach.
    bool NearestStreet(float px, float py, int32_t& x, int32_t& y) const;
    void MakePoints(float fromX, float fromY, float toX, float toY);
    // What a step along `way` into a cell with exits word `entered` costs, tenths of a metre.
    static uint32_t StepCost(int32_t way, uint16_t entered);
    // Numbers the pieces of town joined by steps taken either way, and places the landmarks on the
    // largest.
    void PlaceLandmarks();
    // Dijkstra's search from `cell` over its piece of town: the costs of the ways from it
    // (`fromLandmark`) or to it, into column `column` of LandmarkCost. False when one does not fit.
    bool Sweep(size_t cell, bool fromLandmark, size_t column);
    // The least the way from `cell` to the goal can cost, by the straight line and by the triangle
    // through each landmark.
    uint32_t LeastCost(size_t cell, int32_t x, int32_t y, int32_t gx, int32_t gy) const;

    // Per cell: bit `way` set when that move is allowed, and the Drivable, Footway, Kerb and Lawn bits.
    std::vector<uint16_t> Exits;
    // What the search knows of a cell, kept between searches in one record so that a step reads one
    // place; the entries count only when its Stamp is the current search's.
    struct TVisit {
        uint32_t Stamp = 0;
        uint32_t Cost = 0;    // tenths of a metre from the start, kerb penalties included
        uint32_t Least = 0;   // LeastCost of the cell towards the current goal
        uint8_t CameFrom = 8; // the way taken into the cell; 8 at the start
        uint8_t Settled = 0;
    };
    std::vector<TVisit> Visits;
    std::vector<uint32_t> SweepCost; // a landmark sweep's costs, tenths of a metre
    // Open cells by estimate modulo 256; those estimated further ahead than that wait in Later.
    std::array<std::vector<uint32_t>, 256> Buckets;
    std::vector<uint32_t> Later;
    uint32_t Search = 0;

    // Pieces of town: cells joined by steps the lanes allow one way or the other. No way leads from
    // one piece to another, and the landmarks stand on the largest.
    std::vector<uint32_t> Piece;  // per cell; 0 where a car may not drive
    std::vector<uint8_t> Entries; // per cell: bit `way` set when a car may come in along that way
    uint32_t LandmarkPiece = 0;
    // Per cell, landmark by landmark: the cost of the way from the landmark, then NoCost less the
    // cost of the way to it, tenths of a metre; a missing way counts as costing NoCost, more than
    // any way kept. Unused columns hold the same in every cell.
    static constexpr uint16_t NoCost = 0xFFFF;
    std::vector<std::array<uint16_t, 2 * Landmarks>> LandmarkCost;
    int32_t LandmarksWanted;
    int32_t LandmarksSet = 0;
    std::array<uint16_t, 2 * Landmarks> GoalCost{}; // LandmarkCost of the current goal
    bool GoalOnLandmarks = false;                   // the goal lies on LandmarkPiece
};
