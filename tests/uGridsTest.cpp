// The ground tile grid and the mesh grid: placement, clipping at the edge, the cells visited around
// the camera, each object drawn once, the obstacle boxes made in a real physics space, and the
// country round the town.
#include "uCamera.h"
#include "uCityEdge.h"
#include "uErrors.h"
#include "uMeshGrid.h"
#include "uPhysics.h"
#include "uTextureGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TMeshRecord Mesh(float x, float y, float z, uint32_t list = 7) {
    TMeshRecord record;
    record.List = list;
    record.Extent = VectorMake(x, y, z);
    return record;
}

} // namespace

class TTextureGridTest : public ::testing::Test {
  protected:
    TCamera camera; // all planes zero: everything counts as visible
    TTextureGrid grid{camera};
};

TEST_F(TTextureGridTest, SecondTileOnTheSameCornerWins) {
    grid.SetTile(5, 10, 10, 4, 0, false, false);
    grid.SetTile(6, 10, 10, 2, 1, false, false);
    const TTileCell& c = grid.Cell(10, 10);
    EXPECT_EQ(c.Texture, 6);
    EXPECT_EQ(c.Size, 2);
    EXPECT_EQ(c.TexCoords[0][0], 0);
    EXPECT_EQ(c.TexCoords[0][1], 1);
    EXPECT_FLOAT_EQ(c.Center.x, 11);
    EXPECT_FLOAT_EQ(c.Radius, std::sqrt(8.0f));
    EXPECT_EQ(grid.Cell(13, 13).Owner, &c); // cells of the first tile still point at the corner
}

TEST_F(TTextureGridTest, TileAtTheEdgeIsClipped) {
    grid.SetTile(3, 510, 0, 3, 0, false, false);
    EXPECT_EQ(grid.Cell(511, 2).Owner, &grid.Cell(510, 0));
    EXPECT_EQ(grid.Cell(509, 0).Owner, nullptr);
    grid.SetTile(3, 512, 0, 3, 0, false, false); // corner outside: ignored
    grid.SetTile(3, -1, 5, 3, 0, false, false);
    EXPECT_EQ(grid.Cell(0, 5).Owner, nullptr);
}

TEST_F(TTextureGridTest, RotationAndMirrorsPermuteTheCorners) {
    grid.SetTile(1, 0, 0, 1, 2, false, false);
    EXPECT_EQ(grid.Cell(0, 0).TexCoords[0][0], 1);
    EXPECT_EQ(grid.Cell(0, 0).TexCoords[0][1], 1);
    grid.SetTile(1, 0, 0, 1, 0, true, false);
    EXPECT_EQ(grid.Cell(0, 0).TexCoords[0][0], 1); // first and fourth swapped
    EXPECT_EQ(grid.Cell(0, 0).TexCoords[0][1], 0);
    grid.SetTile(1, 0, 0, 1, 0, false, true);
    EXPECT_EQ(grid.Cell(0, 0).TexCoords[0][1], 1); // first and second swapped
    EXPECT_THROW(grid.SetTile(1, 0, 0, 1, 4, false, false), ERangeError);
    EXPECT_THROW(grid.SetTile(-2, 0, 0, 1, 0, false, false), ERangeError);
}

TEST_F(TTextureGridTest, AChunkHoldsTheTilesCornerInItThatStillShow) {
    grid.SetTile(5, 0, 0, 40, 0, false, false);  // larger than a chunk: drawn on its own
    grid.SetTile(1, 16, 16, 4, 0, false, false); // chunk (1, 1)
    grid.SetTile(2, 20, 16, 2, 0, false, false);
    grid.SetTile(3, 24, 24, 2, 0, false, false);
    grid.SetTile(8, 27, 17, 1, 0, false, false); // wholly covered by the next: shows nowhere
    grid.SetTile(10, 26, 16, 2, 0, false, false);
    grid.SetTile(4, 30, 30, 4, 0, false, false); // reaches into chunk (2, 2), listed in (1, 1)
    grid.SetTile(6, 18, 18, 2, 0, false, false); // over the first tile's middle
    std::vector<const TTileCell*> tiles;
    grid.CollectChunk(1, 1, tiles);
    std::vector<int32_t> textures;
    for (const TTileCell* tile : tiles)
        textures.push_back(tile->Texture);
    EXPECT_EQ(textures, (std::vector<int32_t>{1, 6, 2, 3, 10, 4})) << "by corner X, then Y";
    grid.CollectChunk(2, 2, tiles);
    EXPECT_TRUE(tiles.empty());
    // A tile placed later is in the chunk the next time it is collected.
    grid.SetTile(7, 40, 40, 2, 0, false, false);
    grid.CollectChunk(2, 2, tiles);
    ASSERT_EQ(tiles.size(), 1u);
    EXPECT_EQ(tiles[0]->Texture, 7);
}

TEST_F(TTextureGridTest, VisitsOnlyTheSquareAroundTheTargetAndEachTileOnce) {
    camera.SetTarget(256, 256);
    camera.ViewDistance = 22;
    TVisitRange r = VisitRangeAround(camera);
    EXPECT_EQ(r.X0, 234);
    EXPECT_EQ(r.X1, 278);
    EXPECT_EQ(r.Y0, 234);
    EXPECT_EQ(r.Y1, 278);
    grid.SetTile(1, 240, 240, 8, 0, false, false);
    grid.SetTile(2, 230, 230, 6, 0, false, false); // reaches into the square
    grid.SetTile(3, 200, 200, 8, 0, false, false); // wholly outside
    std::vector<const TTileCell*> tiles;
    grid.CollectVisible(tiles);
    ASSERT_EQ(tiles.size(), 2u);
    EXPECT_EQ(tiles[0]->Texture, 2);
    EXPECT_EQ(tiles[1]->Texture, 1);
    camera.SetTarget(0.4f, 511.6f);
    r = VisitRangeAround(camera);
    EXPECT_EQ(r.X0, 0);
    EXPECT_EQ(r.Y1, 511);
}

class TMeshGridTest : public ::testing::Test {
  protected:
    TPhysicsWorld physics;
    TCamera camera;
    std::unique_ptr<TMeshGrid> grid = std::make_unique<TMeshGrid>(camera, nullptr);
};

TEST_F(TMeshGridTest, OddRotationTurnsTheFootprintAndTheBox) {
    grid = std::make_unique<TMeshGrid>(camera, physics.Space());
    grid->PlaceMesh(Mesh(2, 5, 3), 100, 100, 0, 3, 1);
    const TMeshCell& b = grid->Building(100, 100);
    EXPECT_EQ(b.CellsX, 5);
    EXPECT_EQ(b.CellsY, 2);
    EXPECT_EQ(grid->Building(104, 101).Owner, &b);
    EXPECT_EQ(grid->Building(100, 102).Owner, nullptr);
    EXPECT_FLOAT_EQ(b.Center.x, 102.5f);
    EXPECT_FLOAT_EQ(b.Center.z, 1.5f);
    camera.SetTarget(100, 100);
    std::vector<const TMeshCell*> buildings, blocks;
    grid->CollectVisible(buildings, blocks);
    ASSERT_EQ(buildings.size(), 1u);
    // The box the draw would make: lengths (5, 2, 12).
    dGeomID box = CreateObstacleBox(physics.Space(), VectorMake(b.Size.x, b.Size.y, 4 * b.Size.z), b.Center);
    odeVector3 lengths;
    dGeomBoxGetLengths(box, lengths);
    EXPECT_FLOAT_EQ(float(lengths[0]), 5);
    EXPECT_FLOAT_EQ(float(lengths[1]), 2);
    EXPECT_FLOAT_EQ(float(lengths[2]), 12);
    EXPECT_EQ(dGeomGetCategoryBits(box), CAT_OBSTACLE);
    EXPECT_EQ(dGeomGetCollideBits(box), 2u);
    dGeomDestroy(box);
}

TEST_F(TMeshGridTest, BlockKeepsItsUnroundedCorner) {
    grid->PlaceBox(VectorMake(2, 3, 10), 10.5f, 511 - 20.25f - 3);
    const TMeshCell& c = grid->Block(10, 487);
    EXPECT_EQ(c.x, 10);
    EXPECT_EQ(c.y, 487);
    EXPECT_EQ(grid->Block(11, 489).Owner, &c);
    EXPECT_EQ(grid->Block(12, 489).Owner, nullptr);
    EXPECT_EQ(grid->Block(11, 490).Owner, nullptr);
    EXPECT_FLOAT_EQ(c.Center.x, 11.5f);
    EXPECT_FLOAT_EQ(c.Center.y, 489.25f);
    EXPECT_FLOAT_EQ(c.Center.z, 5);
    grid->PlaceBox(VectorMake(2, 2, 10), 512, 5); // outside: ignored
    grid->PlaceBox(VectorMake(2, 2, 10), -0.5f, 5);
    EXPECT_EQ(grid->Block(0, 5).Owner, nullptr);
}

TEST_F(TMeshGridTest, OnlyObjectsInTheSquareAroundTheTargetAreVisited) {
    grid->PlaceMesh(Mesh(4, 4, 10), 250, 250, 0, 0, 1);
    grid->PlaceMesh(Mesh(1, 1, 2), 260, 260, 0, 0, 0); // no collision
    grid->PlaceBox(VectorMake(3, 1, 10), 255, 240);
    grid->PlaceMesh(Mesh(4, 4, 10), 100, 100, 0, 0, 1); // far away
    camera.SetTarget(256, 256);
    std::vector<const TMeshCell*> buildings, blocks;
    grid->CollectVisible(buildings, blocks);
    EXPECT_EQ(buildings.size(), 2u);
    EXPECT_EQ(blocks.size(), 1u);
    EXPECT_EQ(buildings[0]->Collides + buildings[1]->Collides, 1);
}

TEST(Physics, AWorldHasTheGroundPlaneAndBitsMustBeNonNegative) {
    auto first = std::make_unique<TPhysicsWorld>();
    TPhysicsWorld second; // a second engine's world leaves the first one's alone
    first.reset();
    ASSERT_NE(second.Space(), nullptr);
    EXPECT_EQ(dSpaceGetNumGeoms(second.Space()), 1);
    dGeomID plane = dSpaceGetGeom(second.Space(), 0);
    EXPECT_EQ(dGeomGetCategoryBits(plane), CAT_GROUND);
    EXPECT_EQ(dGeomGetCollideBits(plane), 7u);
    EXPECT_THROW(SetCollisionBits(plane, -1, 2), ERangeError);
    odeVector3 gravity;
    dWorldGetGravity(second.World(), gravity);
    EXPECT_FLOAT_EQ(float(gravity[2]), -9.81f);
}

TEST_F(TMeshGridTest, BoxesAreKeptWhileNearACarAndStandInTheSpaceAsIfMadeAnew) {
    // Blocks 3 x 1 at x = 240 (A), 250 (B), 262 (C), 270 (D). Within 15 metres of a car at x = 265:
    // B, C, D; of one at x = 248: A, B, C. The camera looks elsewhere all along.
    constexpr float Reach = 15;
    auto placeBlocks = [](TMeshGrid& g) {
        for (float x : {240.0f, 250.0f, 262.0f, 270.0f})
            g.PlaceBox(VectorMake(3, 1, 10), x, 250);
    };
    // The obstacle boxes' x in the order the space holds them (that order steers ODE's results).
    auto spaceOrder = [](dSpaceID space) {
        std::vector<float> xs;
        for (int i = 0; i < dSpaceGetNumGeoms(space); ++i)
            if (dGeomGetCategoryBits(dSpaceGetGeom(space, i)) == CAT_OBSTACLE)
                xs.push_back(float(dGeomGetPosition(dSpaceGetGeom(space, i))[0]));
        return xs;
    };
    camera.SetTarget(100, 100);
    grid = std::make_unique<TMeshGrid>(camera, physics.Space());
    placeBlocks(*grid);
    grid->UpdateObstacles({{265, 250.5f}}, Reach);
    ASSERT_EQ(grid->CollisionGeoms.size(), 3u);
    dGeomID b = grid->CollisionGeoms[0];
    grid->UpdateObstacles({{265, 250.5f}, {100, 100}}, Reach); // a second car far away adds nothing
    EXPECT_EQ(grid->CollisionGeoms.size(), 3u);
    EXPECT_EQ(grid->CollisionGeoms[0], b);
    EXPECT_EQ(dSpaceGetNumGeoms(physics.Space()), 4); // the ground plane and three boxes
    odeVector3 lengths;
    dGeomBoxGetLengths(b, lengths);
    EXPECT_FLOAT_EQ(float(lengths[2]), 40); // four times the block's height

    grid->UpdateObstacles({{248, 250.5f}}, Reach); // D goes, A comes in ahead of the kept B and C
    ASSERT_EQ(grid->CollisionGeoms.size(), 3u);
    EXPECT_EQ(grid->CollisionGeoms[1], b);
    TPhysicsWorld freshPhysics;
    TMeshGrid fresh(camera, freshPhysics.Space());
    placeBlocks(fresh);
    fresh.UpdateObstacles({{248, 250.5f}}, Reach);
    EXPECT_EQ(spaceOrder(physics.Space()), spaceOrder(freshPhysics.Space()));

    grid->UpdateObstacles({{265, 250.5f}, {248, 250.5f}}, Reach); // two cars: all four, each once
    EXPECT_EQ(grid->CollisionGeoms.size(), 4u);
    EXPECT_EQ(dSpaceGetNumGeoms(physics.Space()), 5);
    grid->UpdateObstacles({}, Reach); // no car: no box
    EXPECT_EQ(dSpaceGetNumGeoms(physics.Space()), 1);
}

TEST_F(TTextureGridTest, HugeTileCostsNoMoreThanTheGrid) {
    grid.SetTile(4, 500, 505, INT32_MAX, 0, false, false);
    EXPECT_EQ(grid.Cell(511, 511).Owner, &grid.Cell(500, 505));
    camera.SetTarget(505, 505);
    std::vector<const TTileCell*> tiles;
    grid.CollectVisible(tiles);
    EXPECT_EQ(tiles.size(), 1u);
}

TEST_F(TMeshGridTest, HugeNegativeAndThinSizesStayInsideTheGridAndThinBlocksStillCollide) {
    grid->PlaceBox(VectorMake(1e30f, 3e9f, 10), 509.5f, 2);
    EXPECT_EQ(grid->Block(511, 2).Owner, &grid->Block(509, 2));
    grid->PlaceBox(VectorMake(-5, -5, 10), 20, 20);
    EXPECT_EQ(grid->Block(20, 20).CellsX, 0);
    EXPECT_EQ(grid->Block(21, 21).Owner, nullptr);
    // A wall and a post thinner than half a cell: rounded to no cells, they would never make a box.
    grid->PlaceBox(VectorMake(0.2f, 6, 10), 500.9f, 10);
    grid->PlaceBox(VectorMake(0.3f, 0.3f, 10), 503.1f, 3);
    EXPECT_EQ(grid->Block(500, 15).Owner, &grid->Block(500, 10));
    grid->PlaceMesh(Mesh(1e9f, 2, 3), 505, 0, 0, 1, 1);
    EXPECT_EQ(grid->Building(505, 511).Owner, &grid->Building(505, 0));
    camera.SetTarget(505, 5);
    std::vector<const TMeshCell*> buildings, blocks;
    grid->CollectVisible(buildings, blocks);
    EXPECT_EQ(buildings.size(), 1u);
    EXPECT_EQ(blocks.size(), 3u);
}

TEST(CityEdge, ThePiecesLieOutsideTheWallsOnEverySideWithTheirFenceOnTheTownSide) {
    TCamera camera; // all planes zero: everything counts as visible
    TCityEdge edge(camera, Mesh(32, 32, 9));
    std::vector<TCityEdge::TPiece> pieces;
    for (auto [x, y] :
         {std::pair{256.0f, 2.0f}, {510.0f, 256.0f}, {256.0f, 510.0f}, {2.0f, 256.0f}, {1.0f, 1.0f}}) {
        SCOPED_TRACE(testing::Message() << "camera at " << x << ", " << y);
        camera.SetTarget(x, y);
        edge.CollectVisible(pieces);
        ASSERT_FALSE(pieces.empty());
        for (const TCityEdge::TPiece& p : pieces) {
            // The piece's local low-Y side (its fence) and high-Y side (the far end of the wood).
            float a = p.Heading * 3.14159265f / 180;
            auto at = [&](float v) {
                return std::pair{p.Centre.x - v * std::sin(a), p.Centre.y + v * std::cos(a)};
            };
            auto [fx, fy] = at(-16);
            auto [wx, wy] = at(16);
            bool onInnerFace = std::fabs(fx - 1) < 1e-3f || std::fabs(fx - 511) < 1e-3f ||
                               std::fabs(fy - 1) < 1e-3f || std::fabs(fy - 511) < 1e-3f;
            EXPECT_TRUE(onInnerFace) << fx << ", " << fy;
            EXPECT_FALSE(TTextureGrid::InGrid(int(std::floor(wx)), int(std::floor(wy)))) << wx << ", " << wy;
            EXPECT_NEAR(p.Centre.z, 4.5f, 0.1f); // standing on the ground
        }
    }
}
