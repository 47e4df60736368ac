#include "city/StreetRoute.h"

#include "uMapCoords.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The eight ways out of a cell in map coordinates, in the order of the direction marks (bits 8-15):
// towards y - 1 (world north), then clockwise.
constexpr int32_t WayX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int32_t WayY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

// Tenths of a metre: a straight step, a diagonal one, and what a step onto a cell beside the kerb
// adds, so that the route keeps to the middle of the carriageway where it can.
constexpr uint32_t StraightStep = 10;
constexpr uint32_t DiagonalStep = 14;
constexpr uint32_t KerbPenalty = 6;
// A metre of sidewalk or square counts as this many of street: the route crosses a sidewalk into a
// car park or across a square the missions drive over, but never runs along one beside the street.
// A metre of lawn counts more again: the route takes to the grass only for a target in a park.
constexpr uint32_t FootwayFactor = 4;
constexpr uint32_t LawnFactor = 6;
constexpr uint32_t NoWay = 8;

// Grounds a car is meant to drive on: carriageways and zebra crossings, forecourts, car parks,
// yards and quays, the station square. Sidewalks, squares and paths, and lawns, only at a price;
// the railway bed, mud and water not at all.
constexpr int32_t StreetGround = GroundAsphalt | GroundConcrete | GroundCobbles;
constexpr int32_t OffStreetGround = GroundPedestrian | GroundGrass;
constexpr int32_t Impassable = GroundWater | GroundMud | GroundGravel;

// The way a cell's direction mark sends traffic, or -1 for none; the first mark set counts.
int32_t MarkWay(int32_t word) {
    for (int32_t way = 0; way < 8; ++way)
        if (word & (MarkNorth << way))
            return way;
    return -1;
}

// Whether moving along `way` keeps with a lane marked `mark` (-1: no lane): not against it.
bool WithLane(int32_t way, int32_t mark) {
    return mark < 0 || WayX[way] * WayX[mark] + WayY[way] * WayY[mark] >= 0;
}

// The least a route from (x, y) to (gx, gy) can cost: octile distance in tenths of a metre.
uint32_t Estimate(int32_t x, int32_t y, int32_t gx, int32_t gy) {
    uint32_t dx = uint32_t(std::abs(x - gx)), dy = uint32_t(std::abs(y - gy));
    return StraightStep * std::max(dx, dy) + (DiagonalStep - StraightStep) * std::min(dx, dy);
}

} // namespace

TStreetRoute::TStreetRoute()
    : Exits(size_t(MapCells) * MapCells, 0), Stamp(size_t(MapCells) * MapCells, 0),
      Cost(size_t(MapCells) * MapCells, 0), CameFrom(size_t(MapCells) * MapCells, NoWay),
      Settled(size_t(MapCells) * MapCells, 0) {}

void TStreetRoute::SetCity(const TCellWords& words, const std::vector<uint8_t>& blocked) {
    bool hasBlocked = blocked.size() == Exits.size();
    auto street = [&](int32_t x, int32_t y) {
        return TCellWords::InMap(x, y) && (words.At(x, y) & StreetGround) != 0 &&
               !(hasBlocked && blocked[Index(x, y)]);
    };
    // Off the street: a sidewalk, square, path or lawn, with nothing impassable in it.
    auto footway = [&](int32_t x, int32_t y) {
        if (!TCellWords::InMap(x, y) || (hasBlocked && blocked[Index(x, y)]))
            return false;
        int32_t word = words.At(x, y);
        return (word & StreetGround) == 0 && (word & OffStreetGround) != 0 && (word & Impassable) == 0;
    };
    for (int32_t x = 0; x < MapCells; ++x)
        for (int32_t y = 0; y < MapCells; ++y) {
            uint16_t exits = 0;
            if (street(x, y) || footway(x, y)) {
                exits = DrivableBit;
                if (footway(x, y))
                    exits |= words.At(x, y) & GroundPedestrian ? FootwayBit : LawnBit;
                int32_t mark = MarkWay(words.At(x, y));
                for (int32_t way = 0; way < 8; ++way) {
                    int32_t nx = x + WayX[way], ny = y + WayY[way];
                    if (way % 2 == 0 && !street(nx, ny))
                        exits |= KerbBit;
                    if (!street(nx, ny) && !footway(nx, ny))
                        continue;
                    // A diagonal step may not cut the corner of a kerb or a building.
                    if (way % 2 == 1 &&
                        ((!street(nx, y) && !footway(nx, y)) || (!street(x, ny) && !footway(x, ny))))
                        continue;
                    if (WithLane(way, mark) && WithLane(way, MarkWay(words.At(nx, ny))))
                        exits |= uint16_t(1u << way);
                }
            }
            Exits[Index(x, y)] = exits;
        }
}

bool TStreetRoute::NearestStreet(float px, float py, int32_t& x, int32_t& y) const {
    int32_t cx = int32_t(std::floor(px)), cy = int32_t(std::floor(py));
    float best = float(JoinReach) * float(JoinReach);
    bool found = false;
    // Ring by ring outwards; a ring r cells out is at least r - 1 metres away, so the search stops
    // once that is past the best found.
    for (int32_t r = 0; r <= JoinReach + 1; ++r) {
        if (found && float(r - 1) * float(r - 1) > best)
            break;
        for (int32_t i = -r; i <= r; ++i)
            for (int32_t j = -r; j <= r; ++j) {
                if (std::max(std::abs(i), std::abs(j)) != r || !Drivable(cx + i, cy + j))
                    continue;
                float dx = float(cx + i) + 0.5f - px, dy = float(cy + j) + 0.5f - py;
                float d = dx * dx + dy * dy;
                if (d <= best) {
                    if (found && d == best)
                        continue;
                    best = d;
                    x = cx + i;
                    y = cy + j;
                    found = true;
                }
            }
    }
    return found;
}

bool TStreetRoute::Find(float fromX, float fromY, float toX, float toY) {
    Cells.clear();
    Points.clear();
    Expanded = 0;
    int32_t sx, sy, gx, gy;
    if (!NearestStreet(fromX, WorldY(fromY), sx, sy) || !NearestStreet(toX, WorldY(toY), gx, gy))
        return false;

    if (++Search == 0) { // after four thousand million searches every stamp is stale anyway
        std::fill(Stamp.begin(), Stamp.end(), 0);
        Search = 1;
    }
    for (auto& bucket : Buckets)
        bucket.clear();
    size_t start = Index(sx, sy), goal = Index(gx, gy);
    Stamp[start] = Search;
    Cost[start] = 0;
    CameFrom[start] = NoWay;
    Settled[start] = 0;
    uint32_t level = Estimate(sx, sy, gx, gy);
    Buckets[level % Buckets.size()].push_back(uint32_t(start));
    size_t open = 1;
    bool reached = false;
    // A* over a bucket queue: every step raises the estimate by at most its cost plus a diagonal,
    // under the 128 buckets, so the buckets visited in turn give the cells in estimate order.
    while (open > 0 && !reached) {
        std::vector<uint32_t>& bucket = Buckets[level % Buckets.size()];
        while (!bucket.empty()) {
            size_t cell = bucket.back();
            bucket.pop_back();
            --open;
            int32_t x = int32_t(cell / MapCells), y = int32_t(cell % MapCells);
            if (Settled[cell] || Cost[cell] + Estimate(x, y, gx, gy) != level)
                continue; // reached again more cheaply since it was queued
            Settled[cell] = 1;
            ++Expanded;
            if (cell == goal) {
                reached = true;
                break;
            }
            uint16_t exits = Exits[cell];
            for (int32_t way = 0; way < 8; ++way) {
                if (!(exits & (1u << way)))
                    continue;
                int32_t nx = x + WayX[way], ny = y + WayY[way];
                size_t next = Index(nx, ny);
                uint16_t entered = Exits[next];
                uint32_t factor = entered & FootwayBit ? FootwayFactor : entered & LawnBit ? LawnFactor : 1;
                uint32_t cost = Cost[cell] + (way % 2 ? DiagonalStep : StraightStep) * factor +
                                (entered & KerbBit ? KerbPenalty : 0);
                if (Stamp[next] == Search && (Settled[next] || Cost[next] <= cost))
                    continue;
                Stamp[next] = Search;
                Settled[next] = 0;
                Cost[next] = cost;
                CameFrom[next] = uint8_t(way);
                Buckets[(cost + Estimate(nx, ny, gx, gy)) % Buckets.size()].push_back(uint32_t(next));
                ++open;
            }
        }
        if (!reached)
            ++level;
    }
    if (!reached)
        return false;

    for (size_t cell = goal;;) {
        int32_t x = int32_t(cell / MapCells), y = int32_t(cell % MapCells);
        Cells.push_back({x, y});
        uint8_t way = CameFrom[cell];
        if (way == NoWay)
            break;
        cell = Index(x - WayX[way], y - WayY[way]);
    }
    std::reverse(Cells.begin(), Cells.end());
    MakePoints(fromX, fromY, toX, toY);
    return true;
}

void TStreetRoute::MakePoints(float fromX, float fromY, float toX, float toY) {
    Points.push_back({fromX, fromY});
    auto centre = [](const std::array<int32_t, 2>& cell) {
        return TRoutePoint{float(cell[0]) + 0.5f, WorldY(float(cell[1]) + 0.5f)};
    };
    // Only the cells where the way turns: a straight run is one segment.
    for (size_t i = 0; i < Cells.size(); ++i) {
        bool turn = i == 0 || i + 1 == Cells.size() ||
                    Cells[i][0] - Cells[i - 1][0] != Cells[i + 1][0] - Cells[i][0] ||
                    Cells[i][1] - Cells[i - 1][1] != Cells[i + 1][1] - Cells[i][1];
        if (turn)
            Points.push_back(centre(Cells[i]));
    }
    Points.push_back({toX, toY});
}
