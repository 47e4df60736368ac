#include "uTextureGrid.h"
#include "uErrors.h"
#include "uGLState.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>

namespace {

// Texture corners per rotation, in the corner order of TTileCell::TexCoords; each row turns the
// picture a quarter turn counter-clockwise from the one before.
const int32_t RotatedCorners[4][4][2] = {
    {{0, 0}, {0, 1}, {1, 1}, {1, 0}},
    {{0, 1}, {1, 1}, {1, 0}, {0, 0}},
    {{1, 1}, {1, 0}, {0, 0}, {0, 1}},
    {{1, 0}, {0, 0}, {0, 1}, {1, 1}},
};

void SwapPair(int32_t (&a)[2], int32_t (&b)[2]) {
    std::swap(a[0], b[0]);
    std::swap(a[1], b[1]);
}

} // namespace

TVisitRange VisitRangeAround(const TCamera& camera) {
    int32_t cx = static_cast<int32_t>(std::nearbyint(camera.TargetX));
    int32_t cy = static_cast<int32_t>(std::nearbyint(camera.TargetY));
    int32_t r = camera.ViewDistance;
    TVisitRange range{cx - r, cy - r, cx + r, cy + r};
    range.X0 = std::max(range.X0, 0);
    range.Y0 = std::max(range.Y0, 0);
    range.X1 = std::min(range.X1, GridSize - 1);
    range.Y1 = std::min(range.Y1, GridSize - 1);
    return range;
}

TTextureGrid::TTextureGrid(const TCamera& camera)
    : Camera(camera), Cells(new TTileCell[size_t(GridSize) * GridSize]),
      Drawn(new uint8_t[size_t(GridSize) * GridSize]()) {}

TTextureGrid::~TTextureGrid() { DropChunks(); }

void TTextureGrid::DropChunks() {
    for (uint32_t& list : ChunkLists) {
        if (list != 0 && GraphicsAvailable())
            glDeleteLists(list, 1);
        list = 0;
    }
    OwnersKnown = false;
}

void TTextureGrid::Clear() {
    DropChunks();
    for (size_t i = 0; i < size_t(GridSize) * GridSize; ++i)
        Cells[i] = TTileCell();
}

void TTextureGrid::SetTile(int32_t texture, int32_t x, int32_t y, int32_t size, int32_t rotation,
                           bool mirrorA, bool mirrorB) {
    if (rotation < 0 || rotation > 3)
        throw ERangeError("Tile rotation " + std::to_string(rotation) + " out of range 0..3");
    if (texture < -1)
        throw ERangeError("Tile texture " + std::to_string(texture) + " out of range");
    if (!InGrid(x, y))
        return;
    DropChunks();
    TTileCell& corner = Cell(x, y);
    corner.Texture = texture;
    corner.Size = size;
    corner.Owner = texture != -1 ? &corner : nullptr;
    for (int k = 0; k < 4; ++k) {
        corner.TexCoords[k][0] = RotatedCorners[rotation][k][0];
        corner.TexCoords[k][1] = RotatedCorners[rotation][k][1];
    }
    if (mirrorA) {
        SwapPair(corner.TexCoords[0], corner.TexCoords[3]);
        SwapPair(corner.TexCoords[1], corner.TexCoords[2]);
    }
    if (mirrorB) {
        SwapPair(corner.TexCoords[0], corner.TexCoords[1]);
        SwapPair(corner.TexCoords[2], corner.TexCoords[3]);
    }
    corner.x = x;
    corner.y = y;
    corner.Center = VectorMake(x + size / 2.0f, y + size / 2.0f, 0);
    corner.Radius = std::sqrt(float(size) * size + float(size) * size);
    // Only the part inside the grid is visited, so a huge side costs no more than the grid.
    int32_t xEnd = x + std::min(size, GridSize - x), yEnd = y + std::min(size, GridSize - y);
    for (int32_t i = x; i < xEnd; ++i)
        for (int32_t j = y; j < yEnd; ++j)
            Cell(i, j).Owner = &corner;
}

void TTextureGrid::CollectVisible(std::vector<const TTileCell*>& tiles) {
    tiles.clear();
    TVisitRange range = VisitRangeAround(Camera);
    for (int32_t i = range.X0; i <= range.X1; ++i)
        for (int32_t j = range.Y0; j <= range.Y1; ++j)
            Drawn[size_t(i) * GridSize + size_t(j)] = 0;
    for (int32_t i = range.X0; i <= range.X1; ++i)
        for (int32_t j = range.Y0; j <= range.Y1; ++j) {
            const TTileCell* owner = Cell(i, j).Owner;
            if (Drawn[size_t(i) * GridSize + size_t(j)] || !owner ||
                !Camera.SphereVisible(owner->Center, owner->Radius))
                continue;
            tiles.push_back(owner);
            int32_t aEnd = owner->x + std::min(owner->Size, GridSize - owner->x);
            int32_t bEnd = owner->y + std::min(owner->Size, GridSize - owner->y);
            for (int32_t a = owner->x; a < aEnd; ++a)
                for (int32_t b = owner->y; b < bEnd; ++b)
                    Drawn[size_t(a) * GridSize + size_t(b)] = 1;
        }
}

void TTextureGrid::CollectOutside(std::vector<TTileCell>& tiles) {
    tiles.clear();
    int32_t cx = static_cast<int32_t>(std::nearbyint(Camera.TargetX));
    int32_t cy = static_cast<int32_t>(std::nearbyint(Camera.TargetY));
    int32_t r = Camera.ViewDistance;
    if (cx - r >= 0 && cy - r >= 0 && cx + r < GridSize && cy + r < GridSize)
        return;
    // Each outside cell names the copy of the edge tile that covers it: (corner x, corner y, tile).
    std::vector<std::tuple<int32_t, int32_t, const TTileCell*>> copies;
    auto carried = [](int32_t cell, int32_t corner, int32_t size) {
        int32_t offset = cell - corner;
        int32_t steps = offset >= 0 ? offset / size : -((-offset + size - 1) / size);
        return corner + steps * size;
    };
    for (int32_t i = cx - r; i <= cx + r; ++i)
        for (int32_t j = cy - r; j <= cy + r; ++j) {
            if (InGrid(i, j))
                continue;
            const TTileCell* owner =
                Cell(std::clamp(i, 0, GridSize - 1), std::clamp(j, 0, GridSize - 1)).Owner;
            if (!owner || owner->Size <= 0)
                continue;
            int32_t x = i < 0 || i >= GridSize ? carried(i, owner->x, owner->Size) : owner->x;
            int32_t y = j < 0 || j >= GridSize ? carried(j, owner->y, owner->Size) : owner->y;
            copies.emplace_back(x, y, owner);
        }
    std::sort(copies.begin(), copies.end());
    copies.erase(std::unique(copies.begin(), copies.end()), copies.end());
    for (const auto& [x, y, owner] : copies) {
        TTileCell copy = *owner;
        copy.x = x;
        copy.y = y;
        copy.Center = VectorMake(x + copy.Size / 2.0f, y + copy.Size / 2.0f, 0);
        if (Camera.SphereVisible(copy.Center, copy.Radius))
            tiles.push_back(copy);
    }
}

void TTextureGrid::Draw() {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    DrawTiles();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
}

void TTextureGrid::DrawWhereEmpty(float shade) {
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_VIEWPORT_BIT | GL_CURRENT_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glDepthRange(1, 1);
    // Lit, the white ground came out white whichever way it faced (the ambient terms alone reach
    // 1.2): unlit it is the same, and the shade scales it as an overlay of black would.
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor3f(shade, shade, shade);
    DrawTiles();
    glPopAttrib();
}

void TTextureGrid::CollectChunk(int32_t chunkX, int32_t chunkY, std::vector<const TTileCell*>& tiles) {
    FindOwners();
    tiles.clear();
    for (int32_t i = chunkX * ChunkCells; i < (chunkX + 1) * ChunkCells; ++i)
        for (int32_t j = chunkY * ChunkCells; j < (chunkY + 1) * ChunkCells; ++j)
            if (TileOwnsCell[size_t(i) * GridSize + size_t(j)] && Cell(i, j).Size <= ChunkCells)
                tiles.push_back(&Cell(i, j));
}

void TTextureGrid::FindOwners() {
    if (OwnersKnown)
        return;
    TileOwnsCell.assign(size_t(GridSize) * GridSize, 0);
    for (size_t i = 0; i < size_t(GridSize) * GridSize; ++i)
        if (const TTileCell* owner = Cells[i].Owner)
            TileOwnsCell[size_t(owner->x) * GridSize + size_t(owner->y)] = 1;
    BigTiles.clear();
    for (int32_t i = 0; i < GridSize; ++i)
        for (int32_t j = 0; j < GridSize; ++j)
            if (TileOwnsCell[size_t(i) * GridSize + size_t(j)] && Cell(i, j).Size > ChunkCells)
                BigTiles.push_back(&Cell(i, j));
    OwnersKnown = true;
}

void TTextureGrid::EmitTiles(const std::vector<const TTileCell*>& tiles) {
    const float down[3] = {0, 0, -1};
    // Neighbouring tiles mostly share a texture (whole streets of asphalt): each run of them goes
    // to the driver as one batch. The order stays as given, so overlapping tiles look the same.
    int32_t bound = -1;
    bool open = false;
    for (const TTileCell* tile : tiles) {
        if (!open || tile->Texture != bound) {
            if (open)
                glEnd();
            bound = tile->Texture;
            glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
            glBegin(GL_QUADS);
            glNormal3fv(down);
            open = true;
        }
        float x0 = float(tile->x), y0 = float(tile->y), x1 = x0 + tile->Size, y1 = y0 + tile->Size;
        glTexCoord2iv(tile->TexCoords[0]);
        glVertex2f(x0, y0);
        glTexCoord2iv(tile->TexCoords[3]);
        glVertex2f(x1, y0);
        glTexCoord2iv(tile->TexCoords[2]);
        glVertex2f(x1, y1);
        glTexCoord2iv(tile->TexCoords[1]);
        glVertex2f(x0, y1);
    }
    if (open)
        glEnd();
}

namespace {

// The sphere round the squares of `tiles`, which lie on the ground.
std::pair<dVector3, float> BoundingSphere(const std::vector<const TTileCell*>& tiles) {
    if (tiles.empty())
        return {VectorMake(0, 0, 0), 0};
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const TTileCell* tile : tiles) {
        x0 = std::min(x0, float(tile->x));
        y0 = std::min(y0, float(tile->y));
        x1 = std::max(x1, float(tile->x + tile->Size));
        y1 = std::max(y1, float(tile->y + tile->Size));
    }
    return {VectorMake((x0 + x1) / 2, (y0 + y1) / 2, 0), std::hypot(x1 - x0, y1 - y0) / 2};
}

} // namespace

void TTextureGrid::DrawTiles() {
    if (ChunkLists.empty()) {
        ChunkLists.assign(size_t(ChunksPerSide) * ChunksPerSide, 0);
        ChunkBounds.assign(ChunkLists.size(), {});
    }
    // The few tiles larger than a chunk first, those in view: the chunks' tiles lie over them.
    FindOwners();
    VisibleScratch.clear();
    for (const TTileCell* tile : BigTiles)
        if (Camera.SphereVisible(tile->Center, tile->Radius))
            VisibleScratch.push_back(tile);
    EmitTiles(VisibleScratch);
    TVisitRange range = VisitRangeAround(Camera);
    // A tile reaches into the chunks after its corner's: the chunks one before the range are drawn
    // too, their tiles clipped like any other.
    int32_t cx0 = std::max(range.X0 / ChunkCells - 1, 0), cy0 = std::max(range.Y0 / ChunkCells - 1, 0);
    int32_t cx1 = range.X1 / ChunkCells, cy1 = range.Y1 / ChunkCells;
    // Chunks two beyond the drawn ones are let go: a car driving to and fro keeps its neighbourhood.
    for (int32_t a = 0; a < ChunksPerSide; ++a)
        for (int32_t b = 0; b < ChunksPerSide; ++b) {
            uint32_t& list = ChunkLists[size_t(a) * ChunksPerSide + size_t(b)];
            if (list != 0 && (a < cx0 - 2 || a > cx1 + 2 || b < cy0 - 2 || b > cy1 + 2)) {
                glDeleteLists(list, 1);
                list = 0;
            }
        }
    for (int32_t a = cx0; a <= cx1; ++a)
        for (int32_t b = cy0; b <= cy1; ++b) {
            size_t chunk = size_t(a) * ChunksPerSide + size_t(b);
            uint32_t& list = ChunkLists[chunk];
            if (list == 0) {
                CollectChunk(a, b, VisibleScratch);
                ChunkBounds[chunk] = BoundingSphere(VisibleScratch);
                list = glGenLists(1);
                glNewList(list, GL_COMPILE);
                EmitTiles(VisibleScratch);
                glEndList();
            }
            if (Camera.SphereVisible(ChunkBounds[chunk].first, ChunkBounds[chunk].second))
                glCallList(list);
        }
    CollectOutside(OutsideScratch);
    VisibleScratch.clear();
    for (const TTileCell& tile : OutsideScratch)
        VisibleScratch.push_back(&tile);
    EmitTiles(VisibleScratch);
}
