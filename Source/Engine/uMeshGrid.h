// TMeshGrid: the city's buildings and invisible collision blocks on two 512 x 512 layers of
// one-metre cells. An object's data lives in its corner cell; every cell it covers points there.
// Drawn each frame as far as the camera sees; the colliding objects near the player cars have
// obstacle boxes in the physics space, whatever the camera looks at, kept while they stay near.
// Owns both layers, their drawn flags and those boxes.
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

// Metres round each player car within which every colliding building and block stands as an
// obstacle box: far more than a car covers in a tick at any speed plus its own length, and no less
// than the views draw round the car. A fixed reach, so that what the cars can hit never depends on
// where the camera looks or how far it sees.
constexpr float ObstacleReach = 24;

// A point on the ground, world metres.
struct TGroundPoint {
    float X = 0, Y = 0;
};

struct TMeshCell {
    int32_t DisplayList = -1;   // GL display list; -1: empty (building layer only)
    int32_t Rotation = 0;       // quarter turns 0..3, drawn clockwise (-90 degrees each)
    int32_t x = 0, y = 0;       // corner cell
    float z = 0;                // base height
    int32_t CellsX = 0;         // extent in cells along X (after rotation)
    int32_t CellsY = 0;         // extent in cells along Y
    uint8_t Collides = 0;       // nonzero: an obstacle box is made for it near a player car
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
    // The objects the camera sees, which the next Draw would draw (no GL, no physics needed).
    void CollectVisible(std::vector<const TMeshCell*>& buildings, std::vector<const TMeshCell*>& blocks);
    // The colliding objects whose box comes within `reach` metres of one of the points, each once,
    // in the order of their corner cells.
    void CollectNear(const std::vector<TGroundPoint>& points, float reach,
                     std::vector<const TMeshCell*>& buildings, std::vector<const TMeshCell*>& blocks);
    // Once a tick: destroys the boxes of the objects no longer within `reach` of any point, makes
    // boxes for those come within it, and leaves the space's geom list as if every box had just been
    // made in corner order (ODE's results depend on that order). No points: no boxes.
    void UpdateObstacles(const std::vector<TGroundPoint>& points, float reach);
    // A building at least `height` metres tall stands on the line from (x0, y0) to (x1, y1), probed
    // every half metre, the two ends left out.
    bool SightBlocked(float x0, float y0, float x1, float y1, float height) const;
    // Chooses the buildings in the camera's view and draws them.
    void Draw();
    // Draw in two halves: Prepare chooses the buildings in view, DrawPrepared draws them, nearest to
    // the eye first. Neither touches the obstacle boxes.
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

    std::vector<dGeomID> CollisionGeoms; // the boxes of the objects near the points, in corner order
    // The points and the reach of the last UpdateObstacles: the boxes are made again from them.
    std::vector<TGroundPoint> ObstaclePoints;
    float ObstaclePointsReach = 0;

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
    std::vector<const TMeshCell*> BuildingScratch, BlockScratch; // in view
    std::vector<const TMeshCell*> NearBuildings, NearBlocks;
    std::vector<std::pair<float, const TMeshCell*>> DrawOrder; // eye depth, building
    std::vector<TKeptBox> Kept;                                // the boxes near, sorted by object
    std::vector<TKeptBox> NextKept;                            // the set UpdateObstacles is building
};
