// Buildings, trees, lamp posts and river walls on the planned ground, never where a route, a
// start or a stop must stay clear, and the tree count that brings the map to its record total.
#include "CityPlan.h"

#include <algorithm>
#include <stdexcept>

namespace city {
namespace {

constexpr int RecordTotal = 15778; // records of the shipped map: definitions, placements, words

uint32_t Hash(int a, int b, uint32_t seed) {
    uint32_t h = uint32_t(a) * 2246822519u ^ uint32_t(b) * 3266489917u ^ seed * 668265263u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    return h;
}

class TPlacer {
  public:
    explicit TPlacer(TPlan& plan) : P(plan), Shapes(BuildingMeshes()) {}

    // True when the rectangle of cells is inside the map, free and not kept clear.
    bool Free(int x, int y, int w, int h) {
        if (x < 0 || y < 0 || x + w > Cells || y + h > Cells)
            return false;
        for (int i = x; i < x + w; ++i)
            for (int j = y; j < y + h; ++j)
                if (P.KeepOutAt(i, j) || P.OccupiedAt(i, j))
                    return false;
        return true;
    }

    void Claim(int x, int y, int w, int h) {
        for (int i = x; i < x + w; ++i)
            for (int j = y; j < y + h; ++j)
                P.OccupiedAt(i, j) = 1;
    }

    // Places mesh `mesh` turned by `rotation` quarter turns with its corner at (x, y) if free.
    bool Place(int mesh, int x, int y, int rotation, bool collides = true) {
        int w = Shapes[size_t(mesh)].W, h = Shapes[size_t(mesh)].D;
        if (rotation % 2)
            std::swap(w, h);
        if (!Free(x, y, w, h))
            return false;
        Claim(x, y, w, h);
        P.Buildings.push_back({mesh, x, y, w, h, rotation, collides});
        return true;
    }

    // Places a building centred in a block of tiles (wt x ht tiles from tile (tx, ty)).
    bool PlaceCentred(int mesh, int tx, int ty, int wt, int ht, int rotation) {
        int w = Shapes[size_t(mesh)].W, h = Shapes[size_t(mesh)].D;
        if (rotation % 2)
            std::swap(w, h);
        int x = tx * TileSize + (wt * TileSize - w) / 2, y = ty * TileSize + (ht * TileSize - h) / 2;
        return Place(mesh, x, y, rotation);
    }

    bool LotFree(int tx, int ty, TZone zone) {
        return tx >= 0 && ty >= 0 && tx < Tiles && ty < Tiles && P.Ground[tx][ty] == TGround::Lot &&
               P.Zone[tx][ty] == zone && !Used[tx][ty];
    }

    void Lots() {
        // Malls first: the largest free 3 x 3 car parks get a mall each.
        for (int tx = 0; tx + 2 < Tiles; ++tx)
            for (int ty = 0; ty + 2 < Tiles; ++ty) {
                bool ok = true;
                for (int i = 0; i < 3 && ok; ++i)
                    for (int j = 0; j < 3 && ok; ++j)
                        ok = P.Ground[tx + i][ty + j] == TGround::Parking && !Used[tx + i][ty + j];
                if (!ok)
                    continue;
                int mesh = 20 + int(Hash(tx, ty, 5) % 3);
                if (PlaceCentred(mesh, tx, ty, 3, 3, 0))
                    for (int i = 0; i < 3; ++i)
                        for (int j = 0; j < 3; ++j)
                            Used[tx + i][ty + j] = true;
            }
        // The station building faces the square north of the tracks.
        PlaceCentred(23, 12, 48, 5, 1, 0);
        Place(42, 13 * TileSize + 1, 46 * TileSize + 2, 0);
        for (int tx = 0; tx < Tiles; ++tx)
            for (int ty = 0; ty < Tiles; ++ty) {
                if (Used[tx][ty])
                    continue;
                TGround g = P.Ground[tx][ty];
                TZone zone = P.Zone[tx][ty];
                uint32_t r = Hash(tx, ty, 11);
                if (g == TGround::Lot && zone == TZone::Downtown) {
                    Downtown(tx, ty, r);
                } else if (g == TGround::Lot &&
                           (zone == TZone::Residential || zone == TZone::Riverside || zone == TZone::Mall)) {
                    Residential(tx, ty, r);
                } else if (g == TGround::Yard) {
                    Industrial(tx, ty, r);
                } else if (g == TGround::Plaza && zone != TZone::Station) {
                    if (r % 3 == 0)
                        PlaceCentred(34, tx, ty, 1, 1, 0); // a fountain
                    else if (r % 3 == 1)
                        PlaceCentred(32, tx, ty, 1, 1, 0); // a kiosk
                }
            }
    }

    void Downtown(int tx, int ty, uint32_t r) {
        static const int towers[] = {9, 10, 19, 29};
        if (r % 4 == 0 && LotFree(tx + 1, ty, TZone::Downtown) && LotFree(tx, ty + 1, TZone::Downtown) &&
            LotFree(tx + 1, ty + 1, TZone::Downtown)) {
            if (PlaceCentred(r % 8 == 0 ? 18 : (r % 3 == 0 ? 44 : 17), tx, ty, 2, 2, 0)) {
                Used[tx][ty] = Used[tx + 1][ty] = Used[tx][ty + 1] = Used[tx + 1][ty + 1] = true;
                return;
            }
        }
        if (r % 3 == 1 && LotFree(tx + 1, ty, TZone::Downtown)) {
            if (PlaceCentred(r % 2 ? 11 : 30, tx, ty, 2, 1, 0)) {
                Used[tx][ty] = Used[tx + 1][ty] = true;
                return;
            }
        }
        if (r % 3 == 2 && LotFree(tx, ty + 1, TZone::Downtown)) {
            if (PlaceCentred(r % 2 ? 12 : 38, tx, ty, 1, 2, 0)) {
                Used[tx][ty] = Used[tx][ty + 1] = true;
                return;
            }
        }
        if (!PlaceCentred(towers[(r >> 4) % 4], tx, ty, 1, 1, int(r >> 8) % 4))
            PlaceCentred(32, tx, ty, 1, 1, 0);
        Used[tx][ty] = true;
    }

    void Residential(int tx, int ty, uint32_t r) {
        static const int houses[] = {0, 1, 2, 3, 4, 35, 36};
        Used[tx][ty] = true;
        if (r % 11 == 0 && LotFree(tx + 1, ty, P.Zone[tx][ty]) &&
            PlaceCentred(r % 2 ? 6 : 8, tx, ty, 2, 1, 0)) {
            Used[tx + 1][ty] = true;
            return;
        }
        if (r % 13 == 1 && LotFree(tx, ty + 1, P.Zone[tx][ty]) && PlaceCentred(7, tx, ty, 1, 2, 0)) {
            Used[tx][ty + 1] = true;
            return;
        }
        if (r % 23 == 2 && LotFree(tx + 1, ty, P.Zone[tx][ty]) && LotFree(tx, ty + 1, P.Zone[tx][ty]) &&
            LotFree(tx + 1, ty + 1, P.Zone[tx][ty]) && PlaceCentred(r % 2 ? 43 : 31, tx, ty, 2, 2, 0)) {
            Used[tx + 1][ty] = Used[tx][ty + 1] = Used[tx + 1][ty + 1] = true;
            return;
        }
        int mesh = r % 9 == 3 ? (r % 2 ? 5 : 37) : houses[(r >> 5) % 7];
        PlaceCentred(mesh, tx, ty, 1, 1, int(r >> 9) % 4);
    }

    void Industrial(int tx, int ty, uint32_t r) {
        Used[tx][ty] = true;
        if (r % 3 == 0 && tx + 1 < Tiles && ty + 1 < Tiles && P.Ground[tx + 1][ty] == TGround::Yard &&
            P.Ground[tx][ty + 1] == TGround::Yard && P.Ground[tx + 1][ty + 1] == TGround::Yard &&
            !Used[tx + 1][ty] && !Used[tx][ty + 1] && !Used[tx + 1][ty + 1] &&
            PlaceCentred(27, tx, ty, 2, 2, 0)) {
            Used[tx + 1][ty] = Used[tx][ty + 1] = Used[tx + 1][ty + 1] = true;
            return;
        }
        if (r % 3 == 1 && tx + 1 < Tiles && P.Ground[tx + 1][ty] == TGround::Yard && !Used[tx + 1][ty] &&
            PlaceCentred(r % 2 ? 26 : 39, tx, ty, 2, 1, 0)) {
            Used[tx + 1][ty] = true;
            return;
        }
        PlaceCentred(28, tx, ty, 1, 1, 0);
    }

    // The shop of each gas station and service on a lot beside its apron (the apron itself stays
    // clear for the cars that stop there).
    void StationShops() {
        for (int tx = 0; tx < Tiles; ++tx)
            for (int ty = 0; ty < Tiles; ++ty) {
                if (P.Ground[tx][ty] != TGround::Forecourt)
                    continue;
                int mesh = 24 + int(Hash(tx, ty, 3) % 2);
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    int nx = tx + dx, ny = ty + dy;
                    if (nx < 0 || ny < 0 || nx >= Tiles || ny >= Tiles || Used[nx][ny])
                        continue;
                    TGround g = P.Ground[nx][ny];
                    if (g == TGround::Street || g == TGround::Water || g == TGround::Forecourt ||
                        g == TGround::Rail || g == TGround::Platform)
                        continue;
                    if (PlaceCentred(mesh, nx, ny, 1, 1, 0)) {
                        Used[nx][ny] = true;
                        break;
                    }
                }
            }
    }

    // Lamp posts on the sidewalks of straight streets, the light hanging over the carriageway: both
    // sides of north-south streets, the south side of east-west streets (a post on the north side
    // would hang its light a metre off, see LampPosition).
    void Lamps() {
        for (int tx = 0; tx < Tiles; ++tx)
            for (int ty = 0; ty < Tiles; ++ty) {
                if (!P.IsStreet(tx, ty))
                    continue;
                bool n = P.IsStreet(tx, ty + 1), s = P.IsStreet(tx, ty - 1), e = P.IsStreet(tx + 1, ty),
                     w = P.IsStreet(tx - 1, ty);
                if (n && s && !e && !w && P.Ground[std::min(tx + 1, Tiles - 1)][ty] != TGround::Water) {
                    LampAt(tx * TileSize + 7, ty * TileSize + 2, 0);
                    LampAt(tx * TileSize, ty * TileSize + 6, 2);
                } else if (e && w && !n && !s && P.Ground[tx][std::max(ty - 1, 0)] != TGround::Water) {
                    LampAt(tx * TileSize + 2, ty * TileSize, 1);
                    LampAt(tx * TileSize + 6, ty * TileSize, 1);
                }
            }
    }

    void LampAt(int x, int y, int q) {
        // The mesh grid turns the post by (q + 2) mod 4 quarter turns clockwise: its arm points
        // west for q = 0 and north for q = 1.
        if (!Free(x, y, 1, 1))
            return;
        Claim(x, y, 1, 1);
        // A post never stops a car: its box would be the whole mesh, arm included, and the arm hangs
        // over the outer metre of the carriageway, where it would be an invisible wall in the lane.
        P.Buildings.push_back({LampMesh, x, y, 1, 1, (q + 2) % 4, false});
    }

    // Quay walls along the river where it meets land (never across a bridge).
    void RiverWalls() {
        for (int tx = 0; tx < Tiles; ++tx)
            for (int ty = 0; ty < Tiles; ++ty) {
                if (P.Ground[tx][ty] != TGround::Water)
                    continue;
                auto land = [&](int x, int y) {
                    return x >= 0 && y >= 0 && x < Tiles && y < Tiles && P.Ground[x][y] != TGround::Water &&
                           P.Ground[x][y] != TGround::Street;
                };
                int x = tx * TileSize, y = ty * TileSize;
                if (land(tx - 1, ty))
                    Wall(float(x), float(y), 1, TileSize);
                if (land(tx + 1, ty))
                    Wall(float(x + TileSize - 1), float(y), 1, TileSize);
                if (land(tx, ty - 1))
                    Wall(float(x), float(y), TileSize, 1);
                if (land(tx, ty + 1))
                    Wall(float(x), float(y + TileSize - 1), TileSize, 1);
            }
    }

    // Walls round the edge of the map, in tile lengths: nothing drives off the town.
    void BorderWalls() {
        for (int t = 0; t < Tiles; ++t) {
            float along = float(t * TileSize);
            Wall(0, along, 1, TileSize);
            Wall(float(Cells - 1), along, 1, TileSize);
            Wall(along, 0, TileSize, 1);
            Wall(along, float(Cells - 1), TileSize, 1);
        }
    }

    void Wall(float x, float y, float w, float h) {
        P.Walls.push_back({x, y, w, h});
        Claim(int(x), int(y), int(w), int(h));
    }

    // Candidate tree spots on green ground, in a fixed shuffled order.
    std::vector<std::pair<int, int>> TreeSpots() {
        std::vector<std::pair<int, int>> spots;
        for (int x = 1; x + 2 < Cells; x += 3)
            for (int y = 1; y + 2 < Cells; y += 3) {
                int tx = x / TileSize, ty = y / TileSize;
                TGround g = P.Ground[tx][ty];
                if (g != TGround::Park && g != TGround::Grass &&
                    !(g == TGround::Lot && P.Zone[tx][ty] != TZone::Downtown))
                    continue;
                if ((x + 2) / TileSize != tx || (y + 2) / TileSize != ty)
                    continue; // stay inside one tile
                spots.push_back({x + int(Hash(x, y, 1) % 2), y + int(Hash(x, y, 2) % 2)});
            }
        std::sort(spots.begin(), spots.end(), [](const auto& a, const auto& b) {
            return Hash(a.first, a.second, 77) < Hash(b.first, b.second, 77);
        });
        return spots;
    }

    size_t Trees(size_t wanted) {
        static const int kinds[] = {14, 15, 16, 40};
        size_t placed = 0;
        for (auto [x, y] : TreeSpots()) {
            if (placed == wanted)
                return placed;
            int mesh = kinds[Hash(x, y, 9) % 4];
            // One free cell round every tree, so the crowns do not merge into walls.
            int w = Shapes[size_t(mesh)].W, h = Shapes[size_t(mesh)].D;
            if (!Free(x - 1, y - 1, w + 2, h + 2))
                continue;
            if (Place(mesh, x, y, 0))
                ++placed;
        }
        return placed;
    }

    TPlan& P;
    const std::vector<TBuildingMesh>& Shapes;
    std::array<std::array<bool, Tiles>, Tiles> Used{};
};

} // namespace

size_t SplitTiles(TPlan& plan, size_t wanted);

void PlaceObjects(TPlan& plan) {
    TPlacer placer(plan);
    placer.RiverWalls();
    placer.BorderWalls();
    placer.StationShops();
    placer.Lots();
    placer.Lamps();
    // Definitions, the cell-word record, then every placement; trees make up the rest.
    size_t fixed = TileTextures().size() + BuildingMeshes().size() + 1 + plan.TilesPlaced.size() +
                   plan.Buildings.size() + plan.Walls.size();
    if (fixed > size_t(RecordTotal))
        throw std::runtime_error("the city has " + std::to_string(fixed) +
                                 " records before its trees, more than " + std::to_string(RecordTotal));
    // As many trees as find room, then finer ground tiles (three records more per split) for the
    // rest; a split too many takes back a tree or two.
    size_t remaining = size_t(RecordTotal) - fixed;
    size_t trees = placer.Trees(remaining);
    size_t splits = (remaining - trees + 2) / 3;
    if (SplitTiles(plan, splits) != splits)
        throw std::runtime_error("the city's ground cannot be split finely enough to reach its record total");
    for (size_t extra = splits * 3 - (remaining - trees); extra > 0; --extra)
        plan.Buildings.pop_back();
}

} // namespace city
