// The city map reader: walks ".\data\city\city.tmf" record by record, loads and registers the tile
// textures and building meshes it defines, fills the ground tile grid and the mesh grid, and hands
// the lamp posts, the progress and the traffic cell-word block to the game through ICityMapHost.
#pragma once

#include "Resources.h"
#include "uMeshGrid.h"
#include "uTextureGrid.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Record tags of the city map file.
enum : int32_t {
    CityTagTexture = 1,     // int32 id, 255-byte short string (texture file name)
    CityTagMesh = 2,        // int32 id, 255-byte short string (3DS file name)
    CityTagTile = 101,      // int32 id, float x, y, w, h, int32 rotation
    CityTagBuilding = 102,  // as a tile, then int32 collides (low byte)
    CityTagBlock = 103,     // as a tile; id and rotation unused
    CityTagCellWords = 400, // 512 x 512 int32 cell words, index x * 512 + y (file coordinates)
    CityTagIgnored = 501,   // two int32, discarded
};

constexpr int32_t LampPostId = 14;       // building id whose placement also lights a lamp
constexpr float LampHeight = 1.34f;      // metres, height of a lamp post's light
constexpr int32_t CityTextureTotal = 74; // progress totals of the shipped city
constexpr int32_t CityMeshTotal = 45;
constexpr int32_t CityRecordTotal = 15778;
constexpr int32_t CityProgressEvery = 500; // records between two progress frames
constexpr size_t CellWordBytes = size_t(GridSize) * GridSize * 4;

// What the reader needs from the game while it reads.
class ICityMapHost {
  public:
    virtual ~ICityMapHost() = default;
    // Loads a BMP as a texture (path as the game writes it, ".\data\textures\...").
    virtual uint32_t LoadTileTexture(const std::string& path) = 0;
    // Loads a 3DS file at scale 1.
    virtual TMeshRecord LoadBuildingMesh(const std::string& path) = 0;
    // One frame of the loading bar: done of total.
    virtual void DrawProgress(int32_t done, int32_t total) = 0;
    // A lamp post's light at world (x, y, z).
    virtual void AddLamp(float x, float y, float z) = 0;
    // The traffic cell-word block exactly as stored (CellWordBytes bytes).
    virtual void SetCellWords(const uint8_t* block, size_t size) = 0;
};

// Where a lamp post's light hangs, from the raw file values; q is (file rotation + 2) mod 4.
dVector3 LampPosition(float x, float y, float h, int32_t q);

// Whether a map must carry the traffic cell words: the game's city must; a piece of a map read on
// its own (a test's, a tool's) need not.
enum class TCellWordsNeed { Optional, Required };

// Reads the city map file into the grids, registering "tile%d" textures and "building%d" meshes in
// the resource registry. Raises EInOutError when the file cannot be read or ends early (inside a
// record, or before the traffic cell words) and Exception naming the file, the record number and the
// offset when a value is out of range. Returns the number of records read.
int32_t ReadCityMap(const std::string& fileName, ICityMapHost& host, TTextureGrid& tiles, TMeshGrid& meshes);
// The same over bytes already in memory; `fileName` only names them in messages.
int32_t ReadCityMapBytes(const uint8_t* data, size_t size, const std::string& fileName, ICityMapHost& host,
                         TTextureGrid& tiles, TMeshGrid& meshes, TCellWordsNeed need);
