#include "uMeshGrid.h"
#include "u3ds.h"
#include "uErrors.h"
#include "uPhysics.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>

namespace {

// Extent in whole cells, rounded half to even; sizes beyond any footprint the grid can hold are
// capped so that the conversion stays defined.
int32_t RoundCells(float v) {
    if (!(v > -1.0f))
        return 0;
    return static_cast<int32_t>(std::nearbyint(std::min(v, float(4 * GridSize))));
}

// The in-grid cells [x, xEnd) x [y, yEnd) of an object whose corner is in the grid.
void Footprint(const TMeshCell& o, int32_t& xEnd, int32_t& yEnd) {
    xEnd = o.x + std::clamp(o.CellsX, 0, GridSize - o.x);
    yEnd = o.y + std::clamp(o.CellsY, 0, GridSize - o.y);
}

// Points every in-grid cell of the object's footprint at its corner cell.
void ClaimCells(TMeshCell* layer, TMeshCell& corner) {
    int32_t xEnd, yEnd;
    Footprint(corner, xEnd, yEnd);
    for (int32_t i = corner.x; i < xEnd; ++i)
        for (int32_t j = corner.y; j < yEnd; ++j)
            layer[size_t(i) * GridSize + size_t(j)].Owner = &corner;
}

void MarkDrawn(uint8_t* drawn, const TMeshCell& object) {
    int32_t xEnd, yEnd;
    Footprint(object, xEnd, yEnd);
    for (int32_t a = object.x; a < xEnd; ++a)
        for (int32_t b = object.y; b < yEnd; ++b)
            drawn[size_t(a) * GridSize + size_t(b)] = 1;
}

} // namespace

TMeshGrid::TMeshGrid(const TCamera& camera, dSpaceID space)
    : Camera(camera), Space(space), Buildings(new TMeshCell[size_t(GridSize) * GridSize]),
      Blocks(new TMeshCell[size_t(GridSize) * GridSize]),
      BuildingDrawn(new uint8_t[size_t(GridSize) * GridSize]()),
      BlockDrawn(new uint8_t[size_t(GridSize) * GridSize]()) {}

TMeshGrid::~TMeshGrid() {
    DestroyBoxes();
}

void TMeshGrid::Clear() {
    DestroyBoxes();
    for (size_t i = 0; i < size_t(GridSize) * GridSize; ++i) {
        Buildings[i] = TMeshCell();
        Blocks[i] = TMeshCell();
    }
}

void TMeshGrid::PlaceMesh(const TMeshRecord& mesh, int32_t x, int32_t y, float z, int32_t rotation,
                          uint8_t collides) {
    if (rotation < 0 || rotation > 3)
        throw ERangeError("Building rotation " + std::to_string(rotation) + " out of range 0..3");
    if (!TTextureGrid::InGrid(x, y))
        return;
    DestroyBoxes(); // a kept box would keep the old object's shape
    TMeshCell& corner = Building(x, y);
    corner.DisplayList = static_cast<int32_t>(mesh.List);
    corner.CellsX = RoundCells(mesh.Extent.x);
    corner.CellsY = RoundCells(mesh.Extent.y);
    corner.Size = mesh.Extent;
    corner.x = x;
    corner.y = y;
    corner.z = z;
    corner.Rotation = rotation;
    corner.Collides = collides;
    if (rotation % 2 == 1) {
        std::swap(corner.CellsX, corner.CellsY);
        std::swap(corner.Size.x, corner.Size.y);
    }
    corner.Radius =
        std::sqrt(float(corner.CellsX) * corner.CellsX / 4 + float(corner.CellsY) * corner.CellsY / 4);
    corner.Center = VectorMake(x + corner.CellsX / 2.0f, y + corner.CellsY / 2.0f, z + corner.Size.z / 2);
    ClaimCells(Buildings.get(), corner);
}

void TMeshGrid::PlaceBox(const dVector3& size, float fx, float fy) {
    if (!InGrid(fx, fy))
        return;
    DestroyBoxes();
    int32_t tx = static_cast<int32_t>(fx), ty = static_cast<int32_t>(fy);
    TMeshCell& corner = Block(tx, ty);
    // A block thinner than half a cell (a thin wall, a post) still covers the cell of its corner:
    // only cells that point at a block ever make its box.
    auto cells = [](float side) { return side > 0 ? std::max(RoundCells(side), 1) : RoundCells(side); };
    corner.CellsX = cells(size.x);
    corner.CellsY = cells(size.y);
    corner.Size = size;
    corner.x = tx;
    corner.y = ty;
    corner.z = 0;
    corner.Collides = 1;
    corner.Radius =
        std::sqrt(float(corner.CellsX) * corner.CellsX / 4 + float(corner.CellsY) * corner.CellsY / 4);
    corner.Center = VectorMake(fx + size.x / 2, fy + size.y / 2, size.z / 2);
    ClaimCells(Blocks.get(), corner);
}

void TMeshGrid::CollectVisible(std::vector<const TMeshCell*>& buildings,
                               std::vector<const TMeshCell*>& blocks) {
    buildings.clear();
    blocks.clear();
    TVisitRange range = VisitRangeAround(Camera);
    for (int32_t i = range.X0; i <= range.X1; ++i)
        for (int32_t j = range.Y0; j <= range.Y1; ++j) {
            BuildingDrawn[size_t(i) * GridSize + size_t(j)] = 0;
            BlockDrawn[size_t(i) * GridSize + size_t(j)] = 0;
        }
    auto visible = [this](const TMeshCell& o) {
        return Camera.SphereVisible(VectorMake(o.Center.x, o.Center.y, 0), o.Radius);
    };
    for (int32_t i = range.X0; i <= range.X1; ++i)
        for (int32_t j = range.Y0; j <= range.Y1; ++j) {
            size_t index = size_t(i) * GridSize + size_t(j);
            const TMeshCell* building = Buildings[index].Owner;
            if (!BuildingDrawn[index] && building && visible(*building)) {
                buildings.push_back(building);
                MarkDrawn(BuildingDrawn.get(), *building);
            }
            const TMeshCell* block = Blocks[index].Owner;
            if (!BlockDrawn[index] && block && visible(*block)) {
                blocks.push_back(block);
                MarkDrawn(BlockDrawn.get(), *block);
            }
        }
}

void TMeshGrid::DestroyBoxes() {
    for (const TKeptBox& kept : Kept)
        dGeomDestroy(kept.Box);
    Kept.clear();
    CollisionGeoms.clear();
}

void TMeshGrid::UpdateBox(const TMeshCell& object) {
    if (!Space)
        return;
    auto found =
        std::lower_bound(Kept.begin(), Kept.end(), &object, [](const TKeptBox& kept, const TMeshCell* o) {
            return std::less<const TMeshCell*>()(kept.Object, o);
        });
    dGeomID box;
    if (found != Kept.end() && found->Object == &object && found->Box) {
        // ODE's results depend on the order of the geoms in the space, and a new geom goes to the
        // front of its space's list, marked moved: taken out, put back and set where it stands, the
        // kept box is where and as a box made now would be (the space's collision pass expects
        // every moved geom at the front).
        box = std::exchange(found->Box, nullptr);
        dSpaceRemove(Space, box);
        dSpaceAdd(Space, box);
        dGeomSetPosition(box, object.Center.x, object.Center.y, object.Center.z);
    } else {
        dVector3 lengths = VectorMake(object.Size.x, object.Size.y, 4 * object.Size.z);
        box = CreateObstacleBox(Space, lengths, object.Center);
    }
    NextKept.push_back({&object, box});
    CollisionGeoms.push_back(box);
}

void TMeshGrid::Draw() {
    Prepare();
    DrawPrepared();
}

bool TMeshGrid::SightBlocked(float x0, float y0, float x1, float y1, float height) const {
    float length = std::hypot(x1 - x0, y1 - y0);
    int32_t steps = int32_t(length / 0.5f);
    for (int32_t k = 1; k < steps; ++k) {
        float t = float(k) / float(steps);
        float x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
        if (!InGrid(x, y))
            continue;
        const TMeshCell* owner = Building(int32_t(x), int32_t(y)).Owner;
        if (owner && owner->DisplayList >= 0 && owner->z + owner->Size.z >= height)
            return true;
    }
    return false;
}

void TMeshGrid::Prepare() {
    CollectVisible(BuildingScratch, BlockScratch);
}

void TMeshGrid::CollectNear(const std::vector<TGroundPoint>& points, float reach,
                            std::vector<const TMeshCell*>& buildings, std::vector<const TMeshCell*>& blocks) {
    buildings.clear();
    blocks.clear();
    // Whether the object's box (its centre and size on the ground) comes within reach of the point.
    auto near = [reach](const TMeshCell& o, const TGroundPoint& p) {
        float dx = std::max(std::fabs(p.X - o.Center.x) - o.Size.x / 2, 0.0f);
        float dy = std::max(std::fabs(p.Y - o.Center.y) - o.Size.y / 2, 0.0f);
        return dx * dx + dy * dy <= reach * reach;
    };
    for (const TGroundPoint& p : points) {
        // A cell more on each side: a box may reach up to a cell past its rounded footprint.
        int32_t x0 = std::max(int32_t(std::floor(p.X - reach)) - 1, 0);
        int32_t y0 = std::max(int32_t(std::floor(p.Y - reach)) - 1, 0);
        int32_t x1 = std::min(int32_t(std::floor(p.X + reach)) + 1, GridSize - 1);
        int32_t y1 = std::min(int32_t(std::floor(p.Y + reach)) + 1, GridSize - 1);
        // An object is taken at the first of its cells inside the square only.
        auto first = [x0, y0](const TMeshCell& o, int32_t i, int32_t j) {
            return i == std::max(o.x, x0) && j == std::max(o.y, y0);
        };
        for (int32_t i = x0; i <= x1; ++i)
            for (int32_t j = y0; j <= y1; ++j) {
                size_t index = size_t(i) * GridSize + size_t(j);
                const TMeshCell* building = Buildings[index].Owner;
                if (building && building->Collides && first(*building, i, j) && near(*building, p))
                    buildings.push_back(building);
                const TMeshCell* block = Blocks[index].Owner;
                if (block && first(*block, i, j) && near(*block, p))
                    blocks.push_back(block);
            }
    }
    // Corner order (the layers are laid out by corner cell), each object once for all points.
    for (auto* list : {&buildings, &blocks}) {
        std::sort(list->begin(), list->end(), std::less<const TMeshCell*>());
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
}

void TMeshGrid::UpdateObstacles(const std::vector<TGroundPoint>& points, float reach) {
    if (&points != &ObstaclePoints)
        ObstaclePoints = points;
    ObstaclePointsReach = reach;
    CollectNear(points, reach, NearBuildings, NearBlocks);
    NextKept.clear();
    CollisionGeoms.clear();
    for (const TMeshCell* building : NearBuildings)
        UpdateBox(*building);
    for (const TMeshCell* block : NearBlocks)
        UpdateBox(*block);
    for (const TKeptBox& gone : Kept)
        if (gone.Box)
            dGeomDestroy(gone.Box);
    Kept.swap(NextKept);
    std::sort(Kept.begin(), Kept.end(), [](const TKeptBox& a, const TKeptBox& b) {
        return std::less<const TMeshCell*>()(a.Object, b.Object);
    });
}

void TMeshGrid::DrawPrepared() {
    // Nearest first: the software rasteriser's depth test then turns away whole blocks of pixels
    // of what stands behind before shading them.
    DrawOrder.clear();
    for (const TMeshCell* building : BuildingScratch)
        DrawOrder.emplace_back(Camera.EyeDepth(building->Center), building);
    std::stable_sort(DrawOrder.begin(), DrawOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [depth, building] : DrawOrder)
        CallListAt(static_cast<uint32_t>(building->DisplayList), building->Center,
                   building->Rotation * -90.0f);
}
