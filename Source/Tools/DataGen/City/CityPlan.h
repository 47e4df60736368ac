// The plan of the town: a 64 x 64 grid of 8-metre ground tiles (streets, river, lots, parks, the
// railway), the buildings, trees, lamp posts and river walls placed on them, the traffic lanes
// that loop round the blocks, and the traffic cell word of every one-metre cell. World coordinates
// throughout: X east, Y north, cell (x, y) covers [x, x+1) x [y, y+1).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace city {

constexpr int Cells = 512;  // one-metre cells per side
constexpr int TileSize = 8; // metres per ground tile
constexpr int Tiles = Cells / TileSize;

// What a ground tile shows. Street tiles are chosen from their street neighbours.
enum class TGround : uint8_t {
    Lot,       // a building's yard (paved downtown, garden elsewhere)
    Grass,     // lawn
    Park,      // park lawn with paths
    Plaza,     // paved square, open to cars and pedestrians
    Water,     // the river
    Street,    // carriageway with sidewalks
    Rail,      // railway bed
    Platform,  // station platform with the track
    Forecourt, // gas station or service apron
    Parking,   // mall car park
    Yard,      // industrial concrete
};

enum class TZone : uint8_t { Residential, Downtown, Mall, Station, Park, Riverside, Industrial };

// A ground material at a point of a tile; textures paint it and cell words are derived from it.
enum class TMaterial : uint8_t {
    Asphalt,
    LineWhite,
    Zebra,
    Kerb,
    Sidewalk,
    Grass,
    Flowers,
    Path,
    Water,
    Quay,
    Pavers,
    Concrete,
    Gravel,
    Rail,
    Sleeper,
    Platform,
    Cobbles,
    Mud,
    Hedge,
    ParkingLine,
    Railing,
};

// A placed tile texture: one of the generated pictures, its corner cell, side and quarter turns
// (counter-clockwise).
struct TTilePlacement {
    int Texture; // index into TileTextures
    int X, Y, Size, Rotation;
};

// A building placement: mesh index, corner cell, footprint after turning, quarter turns clockwise
// (as the mesh grid turns buildings), collides.
struct TBuildingPlacement {
    int Mesh;
    int X, Y, W, H, Rotation;
    bool Collides;
};

// An invisible wall: corner and extent in metres.
struct TWall {
    float X, Y, W, H;
};

// A traffic lane loop round a block, clockwise seen from above, on the lane next to the block.
struct TRing {
    int West, East, South, North; // lane lines: cell X of the west and east sides, Y of the others
};

// The kinds of tile picture, each painted at one size.
enum class TTileKind : uint8_t {
    StreetStraight,
    StreetZebra,
    StreetJunction,
    StreetT,
    StreetCorner,
    StreetEnd,
    StreetAlone,
    Bridge,
    LevelCrossing,
    Water,
    WaterEdge,
    WaterCorner,
    Grass,
    Flowers,
    Park,
    ParkPath,
    ParkCross,
    Garden,
    LotPaved,
    Plaza,
    Forecourt,
    ServiceApron,
    Parking,
    Rail,
    Platform,
    PlatformEnd,
    Cobbles,
    Yard,
    Mud,
    Promenade,
};

struct TTileTexture {
    std::string File; // below data/textures
    TTileKind Kind;
    int Size;      // metres the picture covers
    uint32_t Seed; // variety between pictures of one kind
};

struct TPlan {
    std::array<std::array<TGround, Tiles>, Tiles> Ground{};
    std::array<std::array<TZone, Tiles>, Tiles> Zone{};
    std::vector<uint8_t> KeepOut;  // Cells x Cells: 1 where nothing may stand (routes, stops)
    std::vector<uint8_t> Occupied; // Cells x Cells: 1 under a building, tree, lamp or wall
    std::vector<int32_t> Words;    // Cells x Cells traffic cell words, [x][y] in world cells
    std::vector<TRing> Rings;      // one per track start, in start order
    std::vector<TTilePlacement> TilesPlaced;
    std::vector<TBuildingPlacement> Buildings;
    std::vector<TWall> Walls;

    bool IsStreet(int tx, int ty) const {
        return tx >= 0 && ty >= 0 && tx < Tiles && ty < Tiles && Ground[tx][ty] == TGround::Street;
    }
    uint8_t& KeepOutAt(int x, int y) { return KeepOut[size_t(x) * Cells + size_t(y)]; }
    uint8_t& OccupiedAt(int x, int y) { return Occupied[size_t(x) * Cells + size_t(y)]; }
    int32_t& WordAt(int x, int y) { return Words[size_t(x) * Cells + size_t(y)]; }
};

// Builds the whole plan; throws std::runtime_error when a fixed point cannot be honoured.
TPlan BuildPlan();

// The tile pictures, in texture id order (id = index + 1).
const std::vector<TTileTexture>& TileTextures();
// Material of a tile picture at local point (u, v) in 0..1, picture axes (v up).
TMaterial MaterialAt(TTileKind kind, float u, float v, uint32_t seed);
// Picture point of a world-local point (px, py in 0..1) for a tile turned counter-clockwise.
void WorldToPicture(int rotation, float px, float py, float& u, float& v);
// The ground kind and pedestrian bits of a material.
int32_t GroundBits(TMaterial material);

// The building meshes, in mesh id order (id = index + 1); index 13 is the lamp post.
struct TBuildingMesh {
    std::string File; // below data/meshes
    int W, D;         // footprint in cells along X and Y, unturned
    float Height;     // metres
    int Style;        // facade family (see CityMeshes)
};
const std::vector<TBuildingMesh>& BuildingMeshes();
constexpr int LampMesh = 13; // index of id 14
constexpr int TreeMesh = 14; // index of the plain tree

} // namespace city
