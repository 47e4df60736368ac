// The ground pictures as material maps, and the choice of picture and turn for every tile.
#include "CityPlan.h"
#include "tables/GameConsts.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace city {
namespace {

uint32_t Mix(uint32_t a, uint32_t b) {
    uint32_t h = a * 2654435761u ^ (b + 0x9e3779b9u + (a << 6) + (a >> 2));
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    return h;
}

// Repeatable noise in 0..1 on a lattice of `cells` per tile side, so it also tiles.
float Lattice(float u, float v, int cells, uint32_t seed) {
    float x = u * cells, y = v * cells;
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    float fx = x - ix, fy = y - iy;
    auto at = [&](int a, int b) {
        a = ((a % cells) + cells) % cells;
        b = ((b % cells) + cells) % cells;
        return float(Mix(uint32_t(a) * 977u + uint32_t(b), seed) & 0xFFFF) / 65535.0f;
    };
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * fx;
    float bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * fx;
    return top + (bottom - top) * fy;
}

constexpr float M = 1.0f / TileSize; // one metre in picture units

// A carriageway running along v: sidewalks of one metre on the sides named, a dashed centre line.
TMaterial Carriageway(float u, float v, bool sideWest, bool sideEast, bool dashed) {
    if ((sideWest && u < M) || (sideEast && u > 1 - M))
        return (sideWest && u > M - 0.12f * M) || (sideEast && u < 1 - M + 0.12f * M) ? TMaterial::Kerb
                                                                                      : TMaterial::Sidewalk;
    if (dashed && std::fabs(u - 0.5f) < 0.06f * M && std::fmod(v * 2, 1.0f) < 0.5f)
        return TMaterial::LineWhite;
    return TMaterial::Asphalt;
}

// Sidewalk squares in the corners where two streets meet.
bool CornerSquare(float u, float v) {
    return (u < M || u > 1 - M) && (v < M || v > 1 - M);
}

TMaterial Street(TTileKind kind, float u, float v) {
    switch (kind) {
    case TTileKind::StreetStraight:
        return Carriageway(u, v, true, true, true);
    case TTileKind::StreetZebra: {
        if (u < M || u > 1 - M)
            return Carriageway(u, v, true, true, false);
        if (v > 0.72f && v < 0.95f)
            return std::fmod(u * TileSize * 2, 1.0f) < 0.5f ? TMaterial::Zebra : TMaterial::Asphalt;
        if (v > 0.645f && v < 0.675f && u > 0.5f)
            return TMaterial::LineWhite; // stop line of the lane heading into the junction, between cell
                                         // centres
        return Carriageway(u, v, true, true, v < 0.6f);
    }
    case TTileKind::StreetJunction:
        return CornerSquare(u, v) ? TMaterial::Sidewalk : TMaterial::Asphalt;
    case TTileKind::StreetT:
        if (u < M)
            return u > M * 0.88f ? TMaterial::Kerb : TMaterial::Sidewalk;
        return CornerSquare(u, v) ? TMaterial::Sidewalk : TMaterial::Asphalt;
    case TTileKind::StreetCorner: {
        // Open to the north and the east; the kerb sweeps round the inner corner.
        float r = std::hypot(std::max(0.0f, 2 * M - u), std::max(0.0f, 2 * M - v));
        if (u < M || v < M || (u < 2 * M && v < 2 * M && r > M))
            return TMaterial::Sidewalk;
        if (u > 1 - M && v > 1 - M)
            return TMaterial::Sidewalk;
        return TMaterial::Asphalt;
    }
    case TTileKind::StreetEnd:
        if (v < M)
            return TMaterial::Sidewalk;
        return Carriageway(u, v, true, true, v > 0.5f);
    case TTileKind::StreetAlone:
        if (v < M || v > 1 - M)
            return TMaterial::Sidewalk;
        return Carriageway(u, v, true, true, false);
    case TTileKind::Bridge:
        if (u < 0.03f || u > 0.97f)
            return TMaterial::Railing;
        if (u < M || u > 1 - M)
            return TMaterial::Pavers;
        return Carriageway(u, v, false, false, true);
    case TTileKind::LevelCrossing: {
        float d = std::fabs(v - 0.5f);
        if (std::fabs(d - 0.09f) < 0.008f)
            return TMaterial::Rail;
        if (u < M || u > 1 - M)
            return d < 0.14f ? TMaterial::Concrete : Carriageway(u, v, true, true, false);
        return Carriageway(u, v, true, true, d > 0.2f);
    }
    default:
        return TMaterial::Asphalt;
    }
}

TMaterial Water(TTileKind kind, float u, float v) {
    bool quayWest = kind == TTileKind::WaterEdge || kind == TTileKind::WaterCorner;
    bool quaySouth = kind == TTileKind::WaterCorner;
    if ((quayWest && u < M) || (quaySouth && v < M))
        return TMaterial::Quay;
    return TMaterial::Water;
}

TMaterial Ground(TTileKind kind, float u, float v, uint32_t seed) {
    float n = Lattice(u, v, 8, seed);
    switch (kind) {
    case TTileKind::Grass:
        return TMaterial::Grass;
    case TTileKind::Flowers:
        return Lattice(u, v, 16, seed + 3) > 0.72f ? TMaterial::Flowers : TMaterial::Grass;
    case TTileKind::Park:
        return n > 0.82f ? TMaterial::Flowers : TMaterial::Grass; // flower beds in the lawn
    case TTileKind::ParkPath:
        return std::fabs(u - 0.5f) < 0.75f * M ? TMaterial::Path : TMaterial::Grass;
    case TTileKind::ParkCross:
        return std::fabs(u - 0.5f) < 0.75f * M || std::fabs(v - 0.5f) < 0.75f * M ? TMaterial::Path
                                                                                  : TMaterial::Grass;
    case TTileKind::Garden: {
        if (u < 0.35f * M || u > 1 - 0.35f * M || v < 0.35f * M || v > 1 - 0.35f * M)
            return TMaterial::Hedge;
        if (std::fabs(u - 0.5f) < 0.45f * M && v < 0.5f)
            return TMaterial::Path; // a garden path, just under a metre wide
        return TMaterial::Grass;
    }
    case TTileKind::LotPaved:
    case TTileKind::Plaza:
    case TTileKind::Promenade:
        if (kind == TTileKind::Promenade && (u < 0.25f || u > 0.75f))
            return TMaterial::Grass;
        return TMaterial::Pavers;
    case TTileKind::Forecourt:
    case TTileKind::ServiceApron:
        // Painted pump islands on the fuel apron, bay lines on the service apron.
        if (kind == TTileKind::Forecourt && std::fabs(u - 0.5f) < 0.22f &&
            (std::fabs(v - 0.3f) < 0.035f || std::fabs(v - 0.7f) < 0.035f))
            return TMaterial::ParkingLine;
        if (kind == TTileKind::ServiceApron && std::fabs(std::fmod(u * 4, 1.0f) - 0.5f) < 0.02f)
            return TMaterial::ParkingLine;
        return TMaterial::Concrete;
    case TTileKind::Parking: {
        float stall = std::fmod(u * TileSize / 2.5f, 1.0f);
        if ((stall < 0.05f && (v < 0.35f || v > 0.65f)))
            return TMaterial::ParkingLine;
        return TMaterial::Asphalt;
    }
    case TTileKind::Rail:
    case TTileKind::Platform:
    case TTileKind::PlatformEnd: {
        if (kind != TTileKind::Rail && (v < 0.3f || v > 0.7f))
            return TMaterial::Platform;
        if (kind == TTileKind::PlatformEnd && u > 0.7f)
            return TMaterial::Platform;
        float d = std::fabs(v - 0.5f);
        if (std::fabs(d - 0.09f) < 0.008f)
            return TMaterial::Rail;
        if (d < 0.16f && std::fmod(u * TileSize / 0.6f, 1.0f) < 0.35f)
            return TMaterial::Sleeper;
        return TMaterial::Gravel;
    }
    case TTileKind::Cobbles:
        return TMaterial::Cobbles;
    case TTileKind::Yard:
        return TMaterial::Concrete;
    case TTileKind::Mud:
        return n > 0.7f ? TMaterial::Gravel : TMaterial::Mud;
    default:
        return TMaterial::Grass;
    }
}

bool IsServiceTile(int tx, int ty) {
    for (const TMapRect& r : ServiceAreas)
        if (int(r.Left) / TileSize <= tx && tx <= int(r.Right) / TileSize && int(r.Bottom) / TileSize <= ty &&
            ty <= int(r.Top) / TileSize)
            return true;
    return false;
}

bool IsStreetKind(TTileKind k) {
    return k <= TTileKind::LevelCrossing;
}

std::vector<TTileTexture> MakeTextures() {
    const std::pair<TTileKind, int> counts[] = {
        {TTileKind::StreetStraight, 5}, {TTileKind::StreetZebra, 2},  {TTileKind::StreetJunction, 2},
        {TTileKind::StreetT, 2},        {TTileKind::StreetCorner, 2}, {TTileKind::StreetEnd, 1},
        {TTileKind::StreetAlone, 1},    {TTileKind::Bridge, 1},       {TTileKind::LevelCrossing, 1},
        {TTileKind::Water, 3},          {TTileKind::WaterEdge, 2},    {TTileKind::WaterCorner, 1},
        {TTileKind::Grass, 5},          {TTileKind::Flowers, 2},      {TTileKind::Park, 3},
        {TTileKind::ParkPath, 2},       {TTileKind::ParkCross, 1},    {TTileKind::Garden, 5},
        {TTileKind::LotPaved, 5},       {TTileKind::Plaza, 5},        {TTileKind::Forecourt, 2},
        {TTileKind::ServiceApron, 2},   {TTileKind::Parking, 3},      {TTileKind::Rail, 2},
        {TTileKind::Platform, 2},       {TTileKind::PlatformEnd, 1},  {TTileKind::Cobbles, 2},
        {TTileKind::Yard, 4},           {TTileKind::Mud, 2},          {TTileKind::Promenade, 3},
    };
    const char* names[] = {"street",   "zebra",   "junction", "tjunction", "corner",    "deadend",
                           "square",   "bridge",  "railx",    "water",     "quay",      "quaycorner",
                           "grass",    "flowers", "park",     "parkpath",  "parkcross", "garden",
                           "paved",    "plaza",   "fuel",     "apron",     "carpark",   "rail",
                           "platform", "buffer",  "cobbles",  "yard",      "mud",       "promenade"};
    std::vector<TTileTexture> list;
    for (const auto& [kind, n] : counts)
        for (int k = 0; k < n; ++k)
            list.push_back({std::string("city_") + names[int(kind)] + std::to_string(k + 1) + ".bmp", kind,
                            TileSize, uint32_t(int(kind) * 31 + k * 7 + 1)});
    if (list.size() != 74)
        throw std::runtime_error("the city needs 74 tile pictures, has " + std::to_string(list.size()));
    return list;
}

} // namespace

const std::vector<TTileTexture>& TileTextures() {
    static const std::vector<TTileTexture> list = MakeTextures();
    return list;
}

TMaterial MaterialAt(TTileKind kind, float u, float v, uint32_t seed) {
    if (IsStreetKind(kind))
        return Street(kind, u, v);
    if (kind == TTileKind::Water || kind == TTileKind::WaterEdge || kind == TTileKind::WaterCorner)
        return Water(kind, u, v);
    return Ground(kind, u, v, seed);
}

void PaintWords(TPlan& plan, const TTilePlacement& tile) {
    // The cell words follow the very picture the tile shows; direction marks stay.
    const TTileTexture& texture = TileTextures()[size_t(tile.Texture)];
    for (int lx = 0; lx < tile.Size; ++lx)
        for (int ly = 0; ly < tile.Size; ++ly) {
            float u, v;
            WorldToPicture(tile.Rotation, (lx + 0.5f) / tile.Size, (ly + 0.5f) / tile.Size, u, v);
            int32_t& word = plan.WordAt(tile.X + lx, tile.Y + ly);
            word = (word & 0xFF00) | GroundBits(MaterialAt(texture.Kind, u, v, texture.Seed));
        }
}

size_t SplitTiles(TPlan& plan, size_t wanted) {
    // Plain grounds look right at any scale: lawns, yards, squares, water.
    auto plain = [&](const TTilePlacement& t) {
        TTileKind k = TileTextures()[size_t(t.Texture)].Kind;
        return k == TTileKind::Grass || k == TTileKind::Park || k == TTileKind::Yard || k == TTileKind::Mud ||
               k == TTileKind::Water || k == TTileKind::Plaza || k == TTileKind::LotPaved ||
               k == TTileKind::Cobbles;
    };
    size_t done = 0;
    for (int size = TileSize; size >= 4 && done < wanted; size /= 2) {
        std::vector<size_t> order;
        for (size_t i = 0; i < plan.TilesPlaced.size(); ++i)
            if (plan.TilesPlaced[i].Size == size && plain(plan.TilesPlaced[i]))
                order.push_back(i);
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return Mix(uint32_t(plan.TilesPlaced[a].X * 512 + plan.TilesPlaced[a].Y), 5) <
                   Mix(uint32_t(plan.TilesPlaced[b].X * 512 + plan.TilesPlaced[b].Y), 5);
        });
        for (size_t i : order) {
            if (done == wanted)
                break;
            TTilePlacement t = plan.TilesPlaced[i];
            int half = t.Size / 2;
            for (int k = 0; k < 4; ++k) {
                TTilePlacement part{t.Texture, t.X + (k % 2) * half, t.Y + (k / 2) * half, half,
                                    int(Mix(uint32_t(t.X + k), uint32_t(t.Y)) % 4)};
                if (k == 0)
                    plan.TilesPlaced[i] = part;
                else
                    plan.TilesPlaced.push_back(part);
                PaintWords(plan, part);
            }
            ++done;
        }
    }
    return done;
}

void PlaceTiles(TPlan& plan, const std::array<std::array<bool, Tiles>, Tiles>& railUnder) {
    const auto& textures = TileTextures();
    std::map<TTileKind, std::vector<int>> byKind;
    for (size_t i = 0; i < textures.size(); ++i)
        byKind[textures[i].Kind].push_back(int(i));
    auto water = [&](int tx, int ty) {
        return tx < 0 || ty < 0 || tx >= Tiles || ty >= Tiles || plan.Ground[tx][ty] == TGround::Water;
    };
    auto degree = [&](int tx, int ty) {
        return int(plan.IsStreet(tx, ty + 1)) + int(plan.IsStreet(tx + 1, ty)) +
               int(plan.IsStreet(tx, ty - 1)) + int(plan.IsStreet(tx - 1, ty));
    };
    for (int tx = 0; tx < Tiles; ++tx)
        for (int ty = 0; ty < Tiles; ++ty) {
            TTileKind kind = TTileKind::Grass;
            int rotation = 0;
            uint32_t variety = Mix(uint32_t(tx) * 64u + uint32_t(ty), 99);
            switch (plan.Ground[tx][ty]) {
            case TGround::Street: {
                bool n = plan.IsStreet(tx, ty + 1), e = plan.IsStreet(tx + 1, ty),
                     s = plan.IsStreet(tx, ty - 1), w = plan.IsStreet(tx - 1, ty);
                int count = int(n) + int(e) + int(s) + int(w);
                // Directions counted counter-clockwise N, W, S, E: a quarter turn moves one step.
                if (count == 4) {
                    kind = TTileKind::StreetJunction;
                } else if (count == 3) {
                    kind = TTileKind::StreetT;
                    rotation = !w ? 0 : !s ? 1 : !e ? 2 : 3;
                } else if (count == 2 && n == s) {
                    bool alongY = n;
                    rotation = alongY ? 0 : 1;
                    kind = TTileKind::StreetStraight;
                    bool overWater = ((alongY && water(tx - 1, ty) && water(tx + 1, ty)) ||
                                      (!alongY && water(tx, ty - 1) && water(tx, ty + 1)));
                    if (railUnder[tx][ty]) {
                        kind = TTileKind::LevelCrossing;
                    } else if (overWater) {
                        kind = TTileKind::Bridge;
                    } else if (alongY && degree(tx, ty + 1) >= 3) {
                        kind = TTileKind::StreetZebra;
                    } else if (alongY && degree(tx, ty - 1) >= 3) {
                        kind = TTileKind::StreetZebra, rotation = 2;
                    } else if (!alongY && degree(tx - 1, ty) >= 3) {
                        kind = TTileKind::StreetZebra, rotation = 1;
                    } else if (!alongY && degree(tx + 1, ty) >= 3) {
                        kind = TTileKind::StreetZebra, rotation = 3;
                    }
                } else if (count == 2) {
                    kind = TTileKind::StreetCorner;
                    rotation = (n && e) ? 0 : (w && n) ? 1 : (s && w) ? 2 : 3;
                } else if (count == 1) {
                    kind = TTileKind::StreetEnd;
                    rotation = n ? 0 : w ? 1 : s ? 2 : 3;
                } else {
                    kind = TTileKind::StreetAlone;
                }
                break;
            }
            case TGround::Water: {
                // Quays face the land; a bridge's street counts as water so the river runs under it.
                auto land = [&](int x, int y) { return !water(x, y) && !plan.IsStreet(x, y); };
                bool lw = land(tx - 1, ty), ls = land(tx, ty - 1), le = land(tx + 1, ty),
                     ln = land(tx, ty + 1);
                int sides = int(lw) + int(ls) + int(le) + int(ln);
                if (sides == 0) {
                    kind = TTileKind::Water;
                } else if (sides >= 2 && ((lw && ls) || (ls && le) || (le && ln) || (ln && lw))) {
                    kind = TTileKind::WaterCorner; // quays west and south, turned
                    rotation = (lw && ls) ? 0 : (ls && le) ? 1 : (le && ln) ? 2 : 3;
                } else {
                    kind = TTileKind::WaterEdge;
                    rotation = lw ? 0 : ls ? 1 : le ? 2 : 3;
                }
                break;
            }
            case TGround::Lot:
                kind = plan.Zone[tx][ty] == TZone::Downtown  ? TTileKind::LotPaved
                       : plan.Zone[tx][ty] == TZone::Station ? TTileKind::Cobbles
                                                             : TTileKind::Garden;
                break;
            case TGround::Grass:
                kind = plan.Zone[tx][ty] == TZone::Riverside ? TTileKind::Promenade
                       : variety % 4 == 0                    ? TTileKind::Flowers
                                                             : TTileKind::Grass;
                rotation = plan.Zone[tx][ty] == TZone::Riverside ? 0 : int(variety >> 8) % 4;
                if (kind == TTileKind::Promenade) {
                    // The promenade runs along the river.
                    bool riverEastWest = (ty + 1 < Tiles && plan.Ground[tx][ty + 1] == TGround::Water) ||
                                         (ty > 0 && plan.Ground[tx][ty - 1] == TGround::Water);
                    rotation = riverEastWest ? 1 : 0;
                }
                break;
            case TGround::Park:
                kind = variety % 7 == 0   ? TTileKind::ParkCross
                       : variety % 5 == 0 ? TTileKind::ParkPath
                                          : TTileKind::Park;
                rotation = int(variety >> 8) % 4;
                break;
            case TGround::Plaza:
                kind = plan.Zone[tx][ty] == TZone::Station ? TTileKind::Cobbles : TTileKind::Plaza;
                break;
            case TGround::Rail:
                kind = TTileKind::Rail; // the pictures' rails run east-west
                break;
            case TGround::Platform:
                kind = tx == 16 ? TTileKind::PlatformEnd : TTileKind::Platform;
                break;
            case TGround::Forecourt:
                kind = IsServiceTile(tx, ty) ? TTileKind::ServiceApron : TTileKind::Forecourt;
                break;
            case TGround::Parking:
                kind = TTileKind::Parking;
                break;
            case TGround::Yard:
                kind = variety % 9 == 0 ? TTileKind::Mud : TTileKind::Yard;
                break;
            }
            const std::vector<int>& choices = byKind.at(kind);
            int texture = choices[(variety >> 4) % choices.size()];
            plan.TilesPlaced.push_back({texture, tx * TileSize, ty * TileSize, TileSize, rotation});
            PaintWords(plan, plan.TilesPlaced.back());
        }
}

} // namespace city
