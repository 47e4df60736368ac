#include "city/StreetRoute.h"

#include "uMapCoords.h"

#include <algorithm>
#include <bit>
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
// The dearest step: diagonally onto a lawn beside the kerb.
constexpr uint32_t DearestStep = DiagonalStep * std::max(FootwayFactor, LawnFactor) + KerbPenalty;
// A cost not reached yet.
constexpr uint32_t NotReached = UINT32_MAX;
// The offset of the neighbour along each way in the per-cell tables.
constexpr int32_t WayStep[8] = {-1, MapCells - 1, MapCells,  MapCells + 1,
                                1,  1 - MapCells, -MapCells, -MapCells - 1};

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

TStreetRoute::TStreetRoute(int32_t landmarks)
    : Exits(size_t(MapCells) * MapCells, 0), Visits(size_t(MapCells) * MapCells),
      SweepCost(size_t(MapCells) * MapCells, 0), Piece(size_t(MapCells) * MapCells, 0),
      Entries(size_t(MapCells) * MapCells, 0), LandmarkCost(size_t(MapCells) * MapCells),
      LandmarksWanted(std::clamp(landmarks, 0, Landmarks)) {}

uint32_t TStreetRoute::StepCost(int32_t way, uint16_t entered) {
    // By the straight or diagonal step, then by the entered cell's Footway, Kerb and Lawn bits.
    static_assert(FootwayBit == 0x200 && KerbBit == 0x400 && LawnBit == 0x800);
    static constexpr auto costs = [] {
        std::array<std::array<uint8_t, 8>, 2> table{};
        for (uint32_t diagonal = 0; diagonal < 2; ++diagonal)
            for (uint32_t bits = 0; bits < 8; ++bits) {
                uint32_t factor = bits & 1 ? FootwayFactor : bits & 4 ? LawnFactor : 1;
                table[diagonal][bits] =
                    uint8_t((diagonal ? DiagonalStep : StraightStep) * factor + (bits & 2 ? KerbPenalty : 0));
            }
        return table;
    }();
    return costs[size_t(way & 1)][(entered >> 9) & 7];
}

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
    PlaceLandmarks();
}

void TStreetRoute::PlaceLandmarks() {
    std::fill(Piece.begin(), Piece.end(), 0);
    LandmarkPiece = 0;
    LandmarksSet = 0;
    // The steps into each cell, from the exits of its neighbours.
    std::fill(Entries.begin(), Entries.end(), 0);
    for (size_t cell = 0; cell < Exits.size(); ++cell)
        for (uint32_t ways = Exits[cell] & 0xFFu; ways; ways &= ways - 1) {
            int32_t way = std::countr_zero(ways);
            Entries[cell + size_t(ptrdiff_t(WayStep[way]))] |= uint8_t(1u << way);
        }
    // The pieces, flooded one by one; the largest is the town, the others yards and islands.
    uint32_t pieces = 0;
    size_t largest = 0;
    std::vector<uint32_t> flood;
    for (size_t first = 0; first < Piece.size(); ++first) {
        if (!(Exits[first] & DrivableBit) || Piece[first])
            continue;
        Piece[first] = ++pieces;
        flood.assign(1, uint32_t(first));
        for (size_t i = 0; i < flood.size(); ++i) {
            size_t cell = flood[i];
            // Out along each exit, and back along each step that leads in: the ways out in the low
            // byte, the ways in above.
            for (uint32_t ways = (Exits[cell] & 0xFFu) | uint32_t(Entries[cell]) << 8; ways;
                 ways &= ways - 1) {
                int32_t bit = std::countr_zero(ways);
                size_t next = cell + size_t(ptrdiff_t(bit < 8 ? WayStep[bit] : -WayStep[bit - 8]));
                if (!Piece[next]) {
                    Piece[next] = pieces;
                    flood.push_back(uint32_t(next));
                }
            }
        }
        if (flood.size() > largest) {
            largest = flood.size();
            LandmarkPiece = pieces;
        }
    }
    if (!LandmarkPiece || LandmarksWanted == 0)
        return; // no streets at all, or no landmarks wanted
    // Landmarks far out and far apart bound the most: the town's cells nearest to points spaced
    // evenly round its edge, clockwise from the north-west corner.
    constexpr int32_t Edge = MapCells - 1;
    std::array<size_t, Landmarks> cells{};
    std::array<int64_t, Landmarks> nearest;
    nearest.fill(INT64_MAX);
    for (int32_t x = 0; x < MapCells; ++x)
        for (int32_t y = 0; y < MapCells; ++y) {
            if (Piece[Index(x, y)] != LandmarkPiece)
                continue;
            for (int32_t i = 0; i < LandmarksWanted; ++i) {
                int32_t round = i * 4 * Edge / LandmarksWanted, along = round % Edge;
                const int32_t edge[4][2] = {
                    {along, 0}, {Edge, along}, {Edge - along, Edge}, {0, Edge - along}};
                int64_t dx = x - edge[round / Edge][0], dy = y - edge[round / Edge][1];
                if (dx * dx + dy * dy < nearest[i]) {
                    nearest[i] = dx * dx + dy * dy;
                    cells[i] = Index(x, y);
                }
            }
        }
    // A sweep fills in the cells it reaches; the others keep what stands for no way.
    for (auto& costs : LandmarkCost)
        for (size_t column = 0; column < costs.size(); ++column)
            costs[column] = column % 2 ? 0 : NoCost;
    for (int32_t i = 0; i < LandmarksWanted; ++i) {
        if (std::find(cells.begin(), cells.begin() + i, cells[i]) != cells.begin() + i)
            continue; // a small town: two points share their nearest cell
        // A landmark whose costs outgrow the table is left out, so that every cost kept is exact.
        size_t column = 2 * size_t(LandmarksSet);
        if (Sweep(cells[i], true, column) && Sweep(cells[i], false, column + 1))
            ++LandmarksSet;
        else
            for (auto& costs : LandmarkCost)
                costs[column] = NoCost, costs[column + 1] = 0;
    }
}

bool TStreetRoute::Sweep(size_t cell, bool fromLandmark, size_t column) {
    static_assert(DearestStep < std::tuple_size_v<decltype(Buckets)>);
    // Every cell unreached at first; the column holds no way throughout.
    std::fill(SweepCost.begin(), SweepCost.end(), NotReached);
    for (auto& bucket : Buckets)
        bucket.clear();
    SweepCost[cell] = 0;
    Buckets[0].push_back(uint32_t(cell));
    size_t open = 1;
    // Dijkstra's search over the bucket ring: no step costs as much as the ring is long, so the
    // buckets visited in turn give the cells in cost order. A cell is queued only when its cost
    // falls, so the one entry that still matches its cost settles it.
    for (uint32_t level = 0; open > 0; ++level) {
        std::vector<uint32_t>& bucket = Buckets[level % Buckets.size()];
        open -= bucket.size();
        while (!bucket.empty()) {
            size_t at = bucket.back();
            bucket.pop_back();
            if (SweepCost[at] != level)
                continue;
            if (level >= NoCost)
                return false;
            LandmarkCost[at][column] = uint16_t(fromLandmark ? level : NoCost - level);
            // Forwards over the cell's exits, backwards over the steps that lead into it.
            for (uint32_t ways = fromLandmark ? Exits[at] & 0xFFu : Entries[at]; ways; ways &= ways - 1) {
                int32_t way = std::countr_zero(ways);
                size_t next = at + size_t(ptrdiff_t(fromLandmark ? WayStep[way] : -WayStep[way]));
                uint32_t cost = level + StepCost(way, Exits[fromLandmark ? next : at]);
                if (cost < SweepCost[next]) {
                    SweepCost[next] = cost;
                    Buckets[cost % Buckets.size()].push_back(uint32_t(next));
                    ++open;
                }
            }
        }
    }
    return true;
}

uint32_t TStreetRoute::LeastCost(size_t cell, int32_t x, int32_t y, int32_t gx, int32_t gy) const {
    uint32_t least = Estimate(x, y, gx, gy);
    if (!GoalOnLandmarks)
        return least;
    // Column by column the goal's entry less the cell's, or nothing: the landmark's way to the goal
    // less its way to the cell, and the cell's way to the landmark less the goal's (the columns of
    // the ways to a landmark hold NoCost less the cost). Where no way is, NoCost stands for it: every
    // column then still falls along a step by no more than the step costs, and the cells that cannot
    // reach the goal come out dear.
    const std::array<uint16_t, 2 * Landmarks>& costs = LandmarkCost[cell];
    uint16_t triangle = 0;
    for (size_t i = 0; i < costs.size(); ++i)
        triangle = std::max(triangle, uint16_t(GoalCost[i] > costs[i] ? GoalCost[i] - costs[i] : 0));
    return std::max(least, uint32_t(triangle));
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
    RouteCost = 0;
    int32_t sx, sy, gx, gy;
    if (!NearestStreet(fromX, WorldY(fromY), sx, sy) || !NearestStreet(toX, WorldY(toY), gx, gy))
        return false;

    if (++Search == 0) { // after four thousand million searches every stamp is stale anyway
        for (TVisit& visit : Visits)
            visit.Stamp = 0;
        Search = 1;
    }
    size_t start = Index(sx, sy), goal = Index(gx, gy);
    if (Piece[start] != Piece[goal])
        return false; // different pieces: no way joins them
    GoalOnLandmarks = LandmarksSet > 0 && Piece[goal] == LandmarkPiece;
    if (GoalOnLandmarks)
        GoalCost = LandmarkCost[goal];
    for (auto& bucket : Buckets)
        bucket.clear();
    Visits[start].Stamp = Search;
    Visits[start].Cost = 0;
    Visits[start].CameFrom = NoWay;
    Visits[start].Settled = 0;
    Visits[start].Least = LeastCost(start, sx, sy, gx, gy);
    Later.clear();
    uint32_t level = Visits[start].Least;
    Buckets[level % Buckets.size()].push_back(uint32_t(start));
    size_t open = 1;
    bool reached = false;
    // A* over the bucket ring. The bound never overestimates and falls along a step by no more than
    // the step costs, so the estimate never falls along a step and the buckets visited in turn give
    // the cells in estimate order, each settled at its cheapest cost. It may rise by more than the
    // ring holds (onto a street that leads away from the goal): such cells wait in Later, and join
    // the ring once a round of it brings their estimate within reach.
    while (open > 0 && !reached) {
        if (level % Buckets.size() == 0 && !Later.empty()) {
            size_t kept = 0;
            for (uint32_t cell : Later) {
                uint32_t estimate = std::max(Visits[cell].Cost + Visits[cell].Least, level);
                if (Visits[cell].Settled)
                    --open;
                else if (estimate - level < Buckets.size())
                    Buckets[estimate % Buckets.size()].push_back(cell);
                else
                    Later[kept++] = cell;
            }
            Later.resize(kept);
        }
        std::vector<uint32_t>& bucket = Buckets[level % Buckets.size()];
        while (!bucket.empty()) {
            size_t cell = bucket.back();
            bucket.pop_back();
            --open;
            TVisit& here = Visits[cell];
            if (here.Settled || here.Cost + here.Least > level)
                continue; // settled already, by a cheaper way found after this one was queued
            here.Settled = 1;
            ++Expanded;
            if (cell == goal) {
                reached = true;
                break;
            }
            int32_t x = int32_t(cell / MapCells), y = int32_t(cell % MapCells);
            for (uint32_t ways = Exits[cell] & 0xFFu; ways; ways &= ways - 1) {
                int32_t way = std::countr_zero(ways);
                int32_t nx = x + WayX[way], ny = y + WayY[way];
                size_t next = Index(nx, ny);
                uint32_t cost = here.Cost + StepCost(way, Exits[next]);
                TVisit& there = Visits[next];
                if (there.Stamp != Search) {
                    there.Stamp = Search;
                    there.Settled = 0;
                    there.Least = LeastCost(next, nx, ny, gx, gy);
                } else if (there.Settled || there.Cost <= cost)
                    continue;
                there.Cost = cost;
                there.CameFrom = uint8_t(way);
                // Never below the level, which only a bound that overestimated could ask: the search
                // then still ends.
                uint32_t estimate = std::max(cost + there.Least, level);
                if (estimate - level < Buckets.size())
                    Buckets[estimate % Buckets.size()].push_back(uint32_t(next));
                else
                    Later.push_back(uint32_t(next));
                ++open;
            }
        }
        if (!reached)
            ++level;
    }
    if (!reached)
        return false;
    RouteCost = Visits[goal].Cost;

    for (size_t cell = goal;;) {
        int32_t x = int32_t(cell / MapCells), y = int32_t(cell % MapCells);
        Cells.push_back({x, y});
        uint8_t way = Visits[cell].CameFrom;
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
