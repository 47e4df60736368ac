#include "CityPlan.h"
#include "tables/CellWordBits.h"
#include "tables/GameConsts.h"
#include "uMapCoords.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace city {
namespace {

constexpr float LegKeepOut = 2.6f; // metres kept free on each side of a mission leg
constexpr float LegStreet = 1.0f;  // a leg turns the tiles within this distance into street

using TLeg = TMissionLeg;

bool Straight(const TLeg& leg) {
    return std::fabs(leg.ToX - leg.FromX) <= 3 || std::fabs(leg.ToY - leg.FromY) <= 3;
}

uint32_t Hash(int a, int b, uint32_t seed) {
    uint32_t h = uint32_t(a) * 73856093u ^ uint32_t(b) * 19349663u ^ seed * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

float SegmentDistance(float px, float py, const TLeg& leg) {
    float dx = leg.ToX - leg.FromX, dy = leg.ToY - leg.FromY;
    float length2 = dx * dx + dy * dy;
    float t =
        length2 > 0 ? std::clamp(((px - leg.FromX) * dx + (py - leg.FromY) * dy) / length2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - (leg.FromX + t * dx), py - (leg.FromY + t * dy));
}

TZone ZoneOf(int tx, int ty) {
    if (tx >= 25 && tx <= 34 && ty >= 36 && ty <= 47)
        return TZone::Downtown;
    if (tx >= 36 && tx <= 42 && ty >= 36 && ty <= 46)
        return TZone::Park;
    if (tx >= 43 && tx <= 58 && ty >= 43 && ty <= 58)
        return TZone::Mall;
    if (tx <= 18 && ty >= 44 && ty <= 52)
        return TZone::Station;
    if (ty <= 16 && tx >= 26)
        return TZone::Industrial;
    return TZone::Residential;
}

bool IsRiver(int tx, int ty) {
    return (tx >= 22 && tx <= 24 && ty <= 35) || (ty >= 33 && ty <= 35 && tx <= 24);
}

// Station grounds: the railway along row 47 from the west edge to the terminus at columns 13-16.
bool IsStationInterior(int tx, int ty) {
    return tx >= 12 && tx <= 16 && ty >= 46 && ty <= 48;
}

class TPlanner {
  public:
    TPlan& P;
    std::vector<TLeg> Legs = MissionLegs();
    std::array<std::array<bool, Tiles>, Tiles> RailUnder{}; // tile was railway before a street crossed it
    std::array<std::array<bool, Tiles>, Tiles> Reserved{};  // no base street may cut this tile
    std::vector<std::array<int, 2>> StartCells;             // world cells of the track starts
    std::vector<int32_t> RingOwner;                         // ring index + 1 per cell, 0 free

    explicit TPlanner(TPlan& plan) : P(plan), RingOwner(size_t(Cells) * Cells, 0) {}

    void SetStreet(int tx, int ty) {
        if (tx >= 0 && ty >= 0 && tx < Tiles && ty < Tiles)
            P.Ground[tx][ty] = TGround::Street;
    }

    void KeepOutDisc(float x, float y, float r) {
        for (int cx = int(x - r) - 1; cx <= int(x + r) + 1; ++cx)
            for (int cy = int(y - r) - 1; cy <= int(y + r) + 1; ++cy)
                if (cx >= 0 && cy >= 0 && cx < Cells && cy < Cells &&
                    std::hypot(cx + 0.5f - x, cy + 0.5f - y) <= r + 0.71f)
                    P.KeepOutAt(cx, cy) = 1;
    }

    void Terrain() {
        for (int tx = 0; tx < Tiles; ++tx)
            for (int ty = 0; ty < Tiles; ++ty) {
                P.Zone[tx][ty] = ZoneOf(tx, ty);
                P.Ground[tx][ty] = IsRiver(tx, ty) ? TGround::Water : TGround::Lot;
            }
        for (int tx = 0; tx < Tiles; ++tx)
            for (int ty = 0; ty < Tiles; ++ty) {
                if (P.Ground[tx][ty] == TGround::Water)
                    continue;
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy)
                        if (tx + dx >= 0 && ty + dy >= 0 && tx + dx < Tiles && ty + dy < Tiles &&
                            IsRiver(tx + dx, ty + dy) && P.Zone[tx][ty] == TZone::Residential)
                            P.Zone[tx][ty] = TZone::Riverside;
            }
        for (int tx = 0; tx <= 16; ++tx)
            P.Ground[tx][47] = tx >= 13 ? TGround::Platform : TGround::Rail;
        for (int tx = 12; tx <= 16; ++tx) {
            P.Ground[tx][46] = TGround::Plaza;
            P.Ground[tx][48] = TGround::Lot;
        }
        for (int tx = 0; tx < Tiles; ++tx)
            for (int ty = 0; ty < Tiles; ++ty) {
                if (P.Zone[tx][ty] == TZone::Park || IsStationInterior(tx, ty))
                    Reserved[tx][ty] = true;
                if (P.Ground[tx][ty] == TGround::Rail || P.Ground[tx][ty] == TGround::Platform)
                    RailUnder[tx][ty] = true;
            }
    }

    // Mission legs become streets (straight ones) or open squares (diagonal ones), and keep clear.
    void Missions() {
        for (const TLeg& leg : Legs) {
            int x0 = int(std::floor(std::min(leg.FromX, leg.ToX) - LegKeepOut)) - 1;
            int x1 = int(std::ceil(std::max(leg.FromX, leg.ToX) + LegKeepOut)) + 1;
            int y0 = int(std::floor(std::min(leg.FromY, leg.ToY) - LegKeepOut)) - 1;
            int y1 = int(std::ceil(std::max(leg.FromY, leg.ToY) + LegKeepOut)) + 1;
            for (int x = std::max(x0, 0); x <= std::min(x1, Cells - 1); ++x)
                for (int y = std::max(y0, 0); y <= std::min(y1, Cells - 1); ++y) {
                    float d = SegmentDistance(x + 0.5f, y + 0.5f, leg);
                    if (d <= LegKeepOut + 0.71f)
                        P.KeepOutAt(x, y) = 1;
                    if (d > LegStreet)
                        continue;
                    int tx = x / TileSize, ty = y / TileSize;
                    if (Straight(leg))
                        SetStreet(tx, ty);
                    else if (P.Ground[tx][ty] == TGround::Lot)
                        P.Ground[tx][ty] = P.Zone[tx][ty] == TZone::Park ? TGround::Park : TGround::Plaza;
                }
        }
        for (int m = 1; m <= LastMission; ++m) {
            const TMapPoint& s = MissionSetups[m].Start[0];
            SetStreet(int(s.X) / TileSize, int(s.Y) / TileSize);
            KeepOutDisc(s.X, s.Y, 3.5f);
        }
        for (int race = LastMission + 1; race < MissionCount; ++race)
            for (const TMapPoint& car : MissionSetups[race].Start) {
                SetStreet(int(car.X) / TileSize, int(car.Y) / TileSize);
                KeepOutDisc(car.X, car.Y, 3.0f);
            }
    }

    // Forecourts under the stop rectangles of the gas stations and services, each reachable from a
    // street.
    void Stations() {
        std::vector<TMapRect> stops(std::begin(GasStationAreas), std::end(GasStationAreas));
        stops.insert(stops.end(), std::begin(ServiceAreas), std::end(ServiceAreas));
        for (const TMapRect& r : stops) {
            for (int x = int(r.Left) - 2; x <= int(r.Right) + 2; ++x)
                for (int y = int(r.Bottom) - 2; y <= int(r.Top) + 2; ++y)
                    P.KeepOutAt(x, y) = 1;
            bool reached = false;
            for (int tx = int(r.Left) / TileSize; tx <= int(r.Right) / TileSize; ++tx)
                for (int ty = int(r.Bottom) / TileSize; ty <= int(r.Top) / TileSize; ++ty) {
                    if (P.Ground[tx][ty] != TGround::Street) {
                        P.Ground[tx][ty] = TGround::Forecourt;
                        Reserved[tx][ty] = true;
                    }
                    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                        if (P.IsStreet(tx + dx, ty + dy) || P.IsStreet(tx, ty))
                            reached = true;
                }
            if (reached)
                continue;
            // A short access road straight to the nearest street.
            int tx = int(r.Left) / TileSize, ty = int(r.Bottom) / TileSize;
            int best = 99, bdx = 0, bdy = 0;
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                for (int k = 1; k < 10; ++k)
                    if (P.IsStreet(tx + dx * k, ty + dy * k)) {
                        if (k < best)
                            best = k, bdx = dx, bdy = dy;
                        break;
                    }
            for (int k = 1; k < best && best < 99; ++k)
                SetStreet(tx + bdx * k, ty + bdy * k);
        }
    }

    // The town's regular grid of streets, every six tiles, where nothing else is in the way.
    void BaseGrid() {
        for (int c = 1; c < Tiles; c += 6)
            for (int ty = 0; ty < Tiles; ++ty)
                if (Allowed(c, ty) && !P.IsStreet(c - 1, ty) && !P.IsStreet(c + 1, ty))
                    SetStreet(c, ty);
        for (int r = 1; r < Tiles; r += 6)
            for (int tx = 0; tx < Tiles; ++tx)
                if (Allowed(tx, r) && !P.IsStreet(tx, r - 1) && !P.IsStreet(tx, r + 1))
                    SetStreet(tx, r);
    }

    bool Allowed(int tx, int ty) const {
        return !Reserved[tx][ty] && P.Ground[tx][ty] != TGround::Forecourt &&
               P.Ground[tx][ty] != TGround::Platform;
    }

    // The lane loop through each start cell, clockwise round a block beside it. Every start gets a
    // list of candidate loops, best first; a depth-first search picks one per start so that no
    // cell carries two loops' marks.
    void Rings() {
        std::vector<std::vector<TRing>> candidates;
        for (const auto& start : TrackStarts)
            StartCells.push_back({start[0], MapRow(float(start[1]))}); // map row to world cell
        for (size_t n = 0; n < TrackStarts.size(); ++n) {
            candidates.push_back(Candidates(StartCells[n][0], StartCells[n][1]));
            if (candidates.back().empty())
                throw std::runtime_error("no traffic lane loop fits track start " + std::to_string(n));
        }
        std::vector<TRing> chosen(TrackStarts.size());
        long budget = 2000000;
        if (!Solve(candidates, chosen, 0, budget))
            throw std::runtime_error(
                "the traffic lane loops of the track starts cannot all be laid without crossing");
        for (size_t n = 0; n < chosen.size(); ++n) {
            for (auto [x, y, mark] : RingCells(chosen[n]))
                SetStreet(x / TileSize, y / TileSize);
            bool shared = false;
            for (const TRing& r : P.Rings)
                shared = shared || (r.West == chosen[n].West && r.East == chosen[n].East &&
                                    r.South == chosen[n].South && r.North == chosen[n].North);
            if (!shared)
                P.Rings.push_back(chosen[n]);
        }
    }

    bool Solve(const std::vector<std::vector<TRing>>& candidates, std::vector<TRing>& chosen, size_t k,
               long& budget) {
        if (k == candidates.size())
            return true;
        // A start already on an earlier loop shares that loop.
        if (int32_t owner = RingOwner[size_t(StartCells[k][0]) * Cells + size_t(StartCells[k][1])]) {
            chosen[k] = chosen[size_t(owner - 1)];
            return Solve(candidates, chosen, k + 1, budget);
        }
        for (const TRing& ring : candidates[k]) {
            if (--budget < 0)
                return false;
            auto cells = RingCells(ring);
            bool free = true;
            for (auto [x, y, mark] : cells)
                if (RingOwner[size_t(x) * Cells + size_t(y)]) {
                    free = false;
                    break;
                }
            if (!free)
                continue;
            for (auto [x, y, mark] : cells)
                RingOwner[size_t(x) * Cells + size_t(y)] = int32_t(k) + 1;
            chosen[k] = ring;
            if (Solve(candidates, chosen, k + 1, budget))
                return true;
            for (auto [x, y, mark] : cells)
                RingOwner[size_t(x) * Cells + size_t(y)] = 0;
        }
        return false;
    }

    std::vector<std::array<int, 3>> RingCells(const TRing& r) const {
        std::vector<std::array<int, 3>> cells; // x, y, mark
        for (int y = r.South; y < r.North; ++y)
            cells.push_back({r.West, y, MarkNorth});
        for (int x = r.West; x < r.East; ++x)
            cells.push_back({x, r.North, MarkEast});
        for (int y = r.North; y > r.South; --y)
            cells.push_back({r.East, y, MarkSouth});
        for (int x = r.East; x > r.West; --x)
            cells.push_back({x, r.South, MarkWest});
        return cells;
    }

    // Loops through (sx, sy), best first. West side northbound (east half of its street, offsets
    // 4-6), north side eastbound (south half, 1-3), east side southbound (west half, 1-3), south
    // side westbound (north half, 4-6): traffic keeps right and the block is on its right.
    std::vector<TRing> Candidates(int sx, int sy) const {
        int stx = sx / TileSize, sty = sy / TileSize;
        std::vector<std::pair<double, TRing>> list;
        const int inner[3] = {5, 6, 4}, outer[3] = {2, 1, 3};
        for (int w = 1; w <= 5; ++w)
            for (int h = 1; h <= 5; ++h)
                for (int i0 = stx - w; i0 <= stx + 1; ++i0)
                    for (int j0 = sty - h; j0 <= sty + 1; ++j0) {
                        int i1 = i0 + w - 1, j1 = j0 + h - 1;
                        if (i0 < 1 || j0 < 1 || i1 > Tiles - 2 || j1 > Tiles - 2)
                            continue;
                        double score = -1.5 * (w + h); // longer loops spread the traffic
                        for (int tx = i0 - 1; tx <= i1 + 1; ++tx)
                            for (int ty = j0 - 1; ty <= j1 + 1; ++ty) {
                                bool ring = tx < i0 || tx > i1 || ty < j0 || ty > j1;
                                TGround g = P.Ground[tx][ty];
                                if (ring && g != TGround::Street)
                                    score += g == TGround::Water ? 60 : g == TGround::Lot ? 10 : 40;
                                if (ring && (g == TGround::Platform || g == TGround::Forecourt))
                                    score += 1000;
                                if (!ring && g == TGround::Street)
                                    score += 4;
                            }
                        int combo = 0;
                        for (int a = 0; a < 3; ++a)
                            for (int b = 0; b < 3; ++b)
                                for (int c = 0; c < 3; ++c)
                                    for (int d = 0; d < 3; ++d, ++combo) {
                                        TRing r{8 * (i0 - 1) + inner[a], 8 * (i1 + 1) + outer[b],
                                                8 * (j0 - 1) + inner[c], 8 * (j1 + 1) + outer[d]};
                                        bool onIt = ((sx == r.West || sx == r.East) && sy >= r.South &&
                                                     sy <= r.North) ||
                                                    ((sy == r.South || sy == r.North) && sx >= r.West &&
                                                     sx <= r.East);
                                        if (!onIt)
                                            continue;
                                        // Loops that also carry other starts are worth more.
                                        double shared = 0;
                                        for (auto [ox, oy] : StartCells)
                                            if ((ox != sx || oy != sy) &&
                                                (((ox == r.West || ox == r.East) && oy >= r.South &&
                                                  oy <= r.North) ||
                                                 ((oy == r.South || oy == r.North) && ox >= r.West &&
                                                  ox <= r.East)))
                                                shared += 25;
                                        list.push_back({score - shared + combo * 0.001, r});
                                    }
                    }
        std::stable_sort(list.begin(), list.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<TRing> rings;
        for (size_t k = 0; k < list.size() && k < 400; ++k)
            rings.push_back(list[k].second);
        return rings;
    }

    void FillGround() {
        for (int tx = 0; tx < Tiles; ++tx)
            for (int ty = 0; ty < Tiles; ++ty) {
                TGround& g = P.Ground[tx][ty];
                if (g != TGround::Lot || IsStationInterior(tx, ty))
                    continue;
                switch (P.Zone[tx][ty]) {
                case TZone::Park:
                    g = TGround::Park;
                    break;
                case TZone::Riverside:
                    g = TGround::Grass;
                    break;
                case TZone::Industrial:
                    g = TGround::Yard;
                    break;
                case TZone::Mall:
                    g = TGround::Parking;
                    break;
                default:
                    if (Hash(tx, ty, 7) % 100 < 12)
                        g = TGround::Grass; // a small green between the houses
                    break;
                }
            }
    }
};

} // namespace

int32_t GroundBits(TMaterial m) {
    switch (m) {
    case TMaterial::Asphalt:
    case TMaterial::LineWhite:
        return GroundAsphalt;
    case TMaterial::Zebra:
        return GroundAsphalt | GroundPedestrian;
    case TMaterial::Kerb:
    case TMaterial::Sidewalk:
    case TMaterial::Pavers:
    case TMaterial::Platform:
    case TMaterial::Path:
    case TMaterial::Railing:
        return GroundPedestrian;
    case TMaterial::Grass:
    case TMaterial::Flowers:
    case TMaterial::Hedge:
        return GroundGrass;
    case TMaterial::Water:
        return GroundWater;
    case TMaterial::Quay:
    case TMaterial::Concrete:
    case TMaterial::ParkingLine:
        return GroundConcrete;
    case TMaterial::Gravel:
    case TMaterial::Rail:
    case TMaterial::Sleeper:
        return GroundGravel;
    case TMaterial::Cobbles:
        return GroundCobbles | GroundPedestrian;
    case TMaterial::Mud:
        return GroundMud;
    }
    return 0;
}

void WorldToPicture(int rotation, float px, float py, float& u, float& v) {
    switch (rotation & 3) {
    case 0:
        u = px, v = py;
        break;
    case 1:
        u = py, v = 1 - px;
        break;
    case 2:
        u = 1 - px, v = 1 - py;
        break;
    default:
        u = 1 - py, v = px;
        break;
    }
}

void PlaceTiles(TPlan& plan, const std::array<std::array<bool, Tiles>, Tiles>& railUnder);
void PlaceObjects(TPlan& plan);

TPlan BuildPlan() {
    TPlan plan;
    plan.KeepOut.assign(size_t(Cells) * Cells, 0);
    plan.Occupied.assign(size_t(Cells) * Cells, 0);
    plan.Words.assign(size_t(Cells) * Cells, 0);
    TPlanner planner(plan);
    planner.Terrain();
    planner.Missions();
    planner.Stations();
    planner.BaseGrid();
    planner.Rings();
    planner.FillGround();
    PlaceTiles(plan, planner.RailUnder);
    for (const TRing& ring : plan.Rings)
        for (auto [x, y, mark] : planner.RingCells(ring))
            plan.WordAt(x, y) |= mark;
    PlaceObjects(plan);
    return plan;
}

} // namespace city
