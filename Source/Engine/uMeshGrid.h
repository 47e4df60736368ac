// TMeshGrid: the city's buildings and invisible collision blocks on two 512 x 512 layers of
// one-metre cells. An object's data lives in its corner cell; every cell it covers points there.
// Drawn each frame around the camera; the visible colliding objects have obstacle boxes in the
// physics space, kept while they stay in view. Owns both layers, their drawn flags and those boxes.
#pragma once

#include "Resources.h"
#include "uCamera.h"
#include "uOde.h"
#include "uTextureGrid.h"
#include "uVector.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

struct TMeshCell {
    int32_t DisplayList = -1;   // GL display list; -1: empty (building layer only)
    int32_t Rotation = 0;       // quarter turns 0..3, drawn clockwise (-90 degrees each)
    int32_t x = 0, y = 0;       // corner cell
    float z = 0;                // base height
    int32_t CellsX = 0;         // extent in cells along X (after rotation)
    int32_t CellsY = 0;         // extent in cells along Y
    uint8_t Collides = 0;       // nonzero: an obstacle box is made for it when drawn
    float Radius = 0;           // sqrt((CellsX/2)^2 + (CellsY/2)^2)
    TMeshCell* Owner = nullptr; // corner cell of the object covering this cell; null: none
    dVector3 Center;
    dVector3 Size; // extents in metres along X, Y, Z (after rotation)
};

class TMeshGrid {
  public:
    // `space` receives the obstacle boxes and must outlive the grid; a null space makes no boxes
    // (drawing only).
    TMeshGrid(const TCamera& camera, dSpaceID space);
    ~TMeshGrid();
    TMeshGrid(const TMeshGrid&) = delete;
    TMeshGrid& operator=(const TMeshGrid&) = delete;

    static bool InGrid(float x, float y) { return x >= 0 && x < GridSize && y >= 0 && y < GridSize; }
    // A building: the footprint comes from the mesh's size, rounded to cells, turned by rotation.
    void PlaceMesh(const TMeshRecord& mesh, int32_t x, int32_t y, float z, int32_t rotation,
                   uint8_t collides);
    // An invisible collision block with its corner at the unrounded world point (fx, fy); its sides
    // are rounded to cells, but a side thinner than half a cell still covers one.
    void PlaceBox(const dVector3& size, float fx, float fy);
    void Clear();
    // The objects the next Draw would draw and turn into boxes (no GL, no physics needed).
    void CollectVisible(std::vector<const TMeshCell*>& buildings, std::vector<const TMeshCell*>& blocks);
    // Chooses the visible objects, brings their boxes up to date and draws the visible buildings.
    void Draw();
    // Draw in two halves, for a frame that runs its physics between choosing the buildings in view
    // and drawing them: Prepare chooses the visible objects, destroys the boxes of those gone from
    // view, makes boxes for those come into it and leaves the space's geom list as if every box
    // had just been made in scan order; DrawPrepared draws the chosen buildings, nearest to the eye
    // first.
    void Prepare();
    void DrawPrepared();
    // Destroys every obstacle box.
    void DestroyBoxes();

    TMeshCell& Building(int32_t x, int32_t y) { return Buildings[size_t(x) * GridSize + size_t(y)]; }
    TMeshCell& Block(int32_t x, int32_t y) { return Blocks[size_t(x) * GridSize + size_t(y)]; }
    const TMeshCell& Building(int32_t x, int32_t y) const {
        return Buildings[size_t(x) * GridSize + size_t(y)];
    }
    const TMeshCell& Block(int32_t x, int32_t y) const { return Blocks[size_t(x) * GridSize + size_t(y)]; }

    std::vector<dGeomID> CollisionGeoms; // the boxes of the objects in view, in scan order

  private:
    struct TKeptBox {
        const TMeshCell* Object;
        dGeomID Box;
    };
    void UpdateBox(const TMeshCell& object);

    const TCamera& Camera;
    dSpaceID Space;
    std::unique_ptr<TMeshCell[]> Buildings;
    std::unique_ptr<TMeshCell[]> Blocks;
    std::unique_ptr<uint8_t[]> BuildingDrawn;
    std::unique_ptr<uint8_t[]> BlockDrawn;
    std::vector<const TMeshCell*> BuildingScratch, BlockScratch;
    std::vector<std::pair<float, const TMeshCell*>> DrawOrder; // eye depth, building
    std::vector<TKeptBox> Kept;                                // the boxes in view, sorted by object
    std::vector<TKeptBox> NextKept;                            // the set Prepare is building
};
