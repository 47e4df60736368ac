// TTextureGrid: the city's ground, 512 x 512 one-metre cells of square textured tiles. A tile's data
// lives in its corner cell; every cell it covers points there. Drawn in chunks of 16 x 16 cells, each
// compiled once into a display list when it comes near the camera and dropped when it is left far
// behind, and beyond the edge as the edge's tiles carried outwards. Owns the cell and drawn-flag
// arrays and the chunks' display lists.
#pragma once

#include "uCamera.h"
#include "uVector.h"

#include <cstdint>
#include <memory>
#include <vector>

constexpr int32_t GridSize = 512; // cells per side of the city

struct TTileCell {
    int32_t Texture = -1;         // GL texture name; -1: no tile starts here
    int32_t x = 0, y = 0;         // corner cell (lowest X and Y)
    int32_t Size = 0;             // side in cells
    TTileCell* Owner = nullptr;   // corner cell of the tile covering this cell; null: bare ground
    dVector3 Center;              // (x + Size/2, y + Size/2, 0)
    float Radius = 0;             // sqrt(2) * Size, for view culling
    int32_t TexCoords[4][2] = {}; // corners (x,y), (x,y+Size), (x+Size,y+Size), (x+Size,y)
};

// The cells a grid visits for a camera: the square [X0, X1] x [Y0, Y1] already clipped to the grid.
struct TVisitRange {
    int32_t X0, Y0, X1, Y1;
};
// The square of half side the camera's ViewDistance around its target, rounded to cells, clipped.
TVisitRange VisitRangeAround(const TCamera& camera);

class TTextureGrid {
  public:
    explicit TTextureGrid(const TCamera& camera);
    ~TTextureGrid();
    TTextureGrid(const TTextureGrid&) = delete;
    TTextureGrid& operator=(const TTextureGrid&) = delete;

    static constexpr int32_t ChunkCells = 16; // a chunk's side in cells
    static constexpr int32_t ChunksPerSide = GridSize / ChunkCells;

    static bool InGrid(int32_t x, int32_t y) { return x >= 0 && x < GridSize && y >= 0 && y < GridSize; }
    // Places a square tile with its corner at (x, y); corners outside the grid are ignored, parts
    // beyond the edge clipped. Rotation is in quarter turns 0..3 (ERangeError otherwise).
    void SetTile(int32_t texture, int32_t x, int32_t y, int32_t size, int32_t rotation, bool mirrorA,
                 bool mirrorB);
    // Empties every cell.
    void Clear();
    // The tiles the next Draw would draw, in drawing order (no GL needed).
    void CollectVisible(std::vector<const TTileCell*>& tiles);
    // The ground beyond the city's edge that the next Draw would draw: the tiles along the edge
    // carried on outwards, each a copy moved out by whole tile sides, so the meadow, the river and
    // the railway at the edge go on to the horizon. Empty while the camera is far from the edge.
    void CollectOutside(std::vector<TTileCell>& tiles);
    // Draws the visible ground without depth test; the caller has set the colour to white.
    void Draw();
    // Draws the visible ground after the opaque scene, only on the pixels the scene left empty (the
    // ground lies at the far end of the depth range there, so it stays behind everything else, as if
    // it had been drawn first), unlit at `shade` (0..1) of its colours, writing no depth.
    void DrawWhereEmpty(float shade);

    TTileCell& Cell(int32_t x, int32_t y) { return Cells[size_t(x) * GridSize + size_t(y)]; }
    const TTileCell& Cell(int32_t x, int32_t y) const { return Cells[size_t(x) * GridSize + size_t(y)]; }

    // The tiles a chunk's display list holds, in drawing order: those no larger than a chunk that own
    // a cell of the grid (a tile wholly covered by later ones is left out) and have their corner in
    // the chunk, by corner X, then Y. Larger tiles are drawn on their own before the chunks.
    void CollectChunk(int32_t chunkX, int32_t chunkY, std::vector<const TTileCell*>& tiles);

  private:
    // The chunks around the camera from their lists (compiled when missing), then the tiles beyond
    // the edge as quads.
    void DrawTiles();
    // Quads of the tiles, one batch for each run that shares a texture.
    static void EmitTiles(const std::vector<const TTileCell*>& tiles);
    // Finds the tiles that own a cell, and among them those larger than a chunk.
    void FindOwners();
    // Every chunk list goes; the next draw compiles what it needs from the cells as they are then.
    void DropChunks();

    const TCamera& Camera; // the engine's camera, read at every draw
    std::unique_ptr<TTileCell[]> Cells;
    std::unique_ptr<uint8_t[]> Drawn;
    std::vector<const TTileCell*> VisibleScratch;
    std::vector<TTileCell> OutsideScratch;
    std::vector<uint32_t> ChunkLists;   // per chunk (x * ChunksPerSide + y): its display list, 0: none
    // Per chunk, the sphere round its tiles (which may reach past the chunk), set as it is compiled:
    // a chunk out of view is not sent to the driver.
    std::vector<std::pair<dVector3, float>> ChunkBounds;
    std::vector<uint8_t> TileOwnsCell; // per cell: the tile whose corner it is owns some cell
    std::vector<const TTileCell*> BigTiles; // owning tiles larger than a chunk, by corner X, then Y
    bool OwnersKnown = false;          // TileOwnsCell and BigTiles match the cells
};
