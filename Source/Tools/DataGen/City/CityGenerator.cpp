// The city generator: the map file, its tile pictures and building meshes, the two scripted route
// files and the city map picture, all from the plan.
#include "BMPWriter.h"
#include "ByteWriter.h"
#include "CityMeshes.h"
#include "CityPlan.h"
#include "DataGen.h"
#include "Writer3ds.h"
#include "uMapCoords.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace city {
namespace {

constexpr int TilePixels = 128; // 16 pixels per metre

uint32_t Mix(uint32_t a, uint32_t b) {
    uint32_t h = a * 2654435761u ^ (b * 40503u + 0x9e3779b9u);
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    return h;
}

float Noise(int x, int y, uint32_t seed) {
    return float(Mix(uint32_t(x) * 7919u + uint32_t(y), seed) & 1023) / 1023.0f;
}

// Smooth noise of period `period` pixels that wraps at the picture's edge.
float Smooth(int x, int y, int period, uint32_t seed) {
    int cells = TilePixels / period;
    float fx = float(x) / period, fy = float(y) / period;
    int ix = int(fx), iy = int(fy);
    float tx = fx - ix, ty = fy - iy;
    auto at = [&](int a, int b) { return Noise(a % cells, b % cells, seed); };
    float top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
    float bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

struct TRgbF {
    float r, g, b;
};

TRgbF Scale(TRgbF c, float f) {
    return {c.r * f, c.g * f, c.b * f};
}

TRgbF MaterialColour(TMaterial m, int x, int y, float metresX, float metresY, uint32_t seed) {
    float grain = 0.9f + 0.2f * Noise(x, y, seed);
    float blotch = 0.88f + 0.24f * Smooth(x, y, 32, seed + 1);
    auto joints = [&](float size) {
        float a = std::fmod(metresX, size), b = std::fmod(metresY, size);
        return a < 0.04f || b < 0.04f;
    };
    switch (m) {
    case TMaterial::Asphalt:
        return Scale({72, 74, 78}, grain * blotch);
    case TMaterial::LineWhite:
    case TMaterial::ParkingLine:
        return Scale({232, 232, 226}, 0.95f + 0.05f * grain);
    case TMaterial::Zebra:
        return Scale({238, 238, 232}, 0.95f + 0.05f * grain);
    case TMaterial::Kerb:
        return Scale({158, 156, 150}, grain);
    case TMaterial::Sidewalk:
        return joints(0.5f) ? TRgbF{120, 118, 112} : Scale({176, 170, 162}, grain);
    case TMaterial::Grass:
        return Scale({78, 136, 58}, grain * blotch);
    case TMaterial::Flowers: {
        // Single blossoms of two pixels scattered over the lawn.
        uint32_t k = Mix(uint32_t(x / 2), uint32_t(y / 2) + seed) % 16;
        if (k >= 3)
            return Scale({78, 136, 58}, grain * blotch);
        return k == 0 ? TRgbF{210, 80, 100} : k == 1 ? TRgbF{235, 215, 90} : TRgbF{225, 225, 235};
    }
    case TMaterial::Path:
        return Scale({196, 180, 142}, grain);
    case TMaterial::Water: {
        float ripple = 0.9f + 0.12f * std::sin(float(y) * 0.35f + 3 * Smooth(x, y, 16, seed));
        return Scale({46, 88, 128}, ripple * (0.95f + 0.1f * Noise(x, y, seed)));
    }
    case TMaterial::Quay:
        return joints(1.0f) ? TRgbF{100, 98, 92} : Scale({150, 144, 134}, grain);
    case TMaterial::Pavers:
        return joints(0.4f) ? TRgbF{130, 118, 104} : Scale({184, 166, 144}, grain);
    case TMaterial::Concrete:
        return joints(2.0f) ? TRgbF{120, 120, 116} : Scale({168, 168, 162}, grain * blotch);
    case TMaterial::Gravel:
        return Scale({128, 118, 106}, 0.8f + 0.4f * Noise(x, y, seed));
    case TMaterial::Rail:
        return {200, 200, 205};
    case TMaterial::Sleeper:
        return Scale({104, 80, 58}, grain);
    case TMaterial::Platform:
        return joints(0.6f) ? TRgbF{130, 126, 118} : Scale({190, 184, 172}, grain);
    case TMaterial::Cobbles: {
        float a = std::fmod(metresX, 0.3f), b = std::fmod(metresY + (int(metresX / 0.3f) % 2) * 0.15f, 0.3f);
        return (a < 0.04f || b < 0.04f) ? TRgbF{80, 76, 72} : Scale({140, 132, 124}, grain);
    }
    case TMaterial::Mud:
        return Scale({112, 86, 60}, grain * blotch);
    case TMaterial::Hedge:
        return Scale({46, 96, 44}, 0.8f + 0.4f * Noise(x, y, seed));
    case TMaterial::Railing:
        return {80, 80, 86};
    }
    return {255, 0, 255};
}

TBMPImage TilePicture(const TTileTexture& texture) {
    TBMPImage image;
    image.Width = image.Height = TilePixels;
    image.Format = TBMPFormat::RGB;
    image.Pixels.resize(size_t(TilePixels) * TilePixels * 3);
    for (int y = 0; y < TilePixels; ++y)
        for (int x = 0; x < TilePixels; ++x) {
            float u = (x + 0.5f) / TilePixels, v = (y + 0.5f) / TilePixels;
            TMaterial m = MaterialAt(texture.Kind, u, v, texture.Seed);
            TRgbF c = MaterialColour(m, x, y, u * texture.Size, v * texture.Size, texture.Seed);
            uint8_t* p = &image.Pixels[(size_t(y) * TilePixels + size_t(x)) * 3];
            p[0] = uint8_t(std::clamp(c.r, 0.0f, 255.0f));
            p[1] = uint8_t(std::clamp(c.g, 0.0f, 255.0f));
            p[2] = uint8_t(std::clamp(c.b, 0.0f, 255.0f));
        }
    return image;
}

void ShortString(TByteWriter& w, const std::string& s) {
    if (s.size() > 254)
        throw std::runtime_error("name too long for the city map: " + s);
    w.U8(uint8_t(s.size()));
    std::string field = s;
    field.resize(254, '\0');
    w.Raw(field.data(), field.size());
}

void PlacementRecord(TByteWriter& w, int32_t tag, int32_t id, float x, float y, float width, float h,
                     int32_t rotation) {
    w.I32(tag);
    w.I32(id);
    w.F32(x);
    w.F32(y);
    w.F32(width);
    w.F32(h);
    w.I32(rotation);
}

// The map file: definitions, ground tiles, buildings, walls, then the traffic cell words. File
// coordinates run y against world Y: a footprint with world corner row Y and height h is written
// at y = 511 - Y - h.
std::vector<uint8_t> MapFile(const TPlan& plan) {
    TByteWriter w;
    const auto& textures = TileTextures();
    for (size_t i = 0; i < textures.size(); ++i) {
        w.I32(1);
        w.I32(int32_t(i + 1));
        ShortString(w, textures[i].File);
    }
    const auto& meshes = BuildingMeshes();
    for (size_t i = 0; i < meshes.size(); ++i) {
        w.I32(2);
        w.I32(int32_t(i + 1));
        ShortString(w, meshes[i].File);
    }
    for (const TTilePlacement& t : plan.TilesPlaced)
        PlacementRecord(w, 101, t.Texture + 1, float(t.X), WorldY(float(t.Y + t.Size)), float(t.Size),
                        float(t.Size), t.Rotation);
    for (const TBuildingPlacement& b : plan.Buildings) {
        // The loader turns buildings by (file rotation + 2) mod 4, lamp posts by the file rotation.
        int32_t fileRotation = b.Mesh == LampMesh ? b.Rotation : (b.Rotation + 2) % 4;
        PlacementRecord(w, 102, b.Mesh + 1, float(b.X), WorldY(float(b.Y + b.H)), float(b.W), float(b.H),
                        fileRotation);
        w.I32(b.Collides ? 1 : 0);
    }
    for (const TWall& wall : plan.Walls)
        PlacementRecord(w, 103, 0, wall.X, WorldY(wall.Y) - wall.H, wall.W, wall.H, 0);
    w.I32(400);
    // Cell words in file coordinates: index x * 512 + y with y = 511 - world Y.
    for (int x = 0; x < Cells; ++x)
        for (int fy = 0; fy < Cells; ++fy)
            w.I32(plan.Words[size_t(x) * Cells + size_t(MapRow(float(fy)))]);
    return w.Bytes;
}

// A scripted route along a traffic lane loop: a record every fourth cell, t counting cells.
std::vector<uint8_t> RouteFile(const TRing& ring) {
    std::vector<std::pair<int, int>> cells;
    for (int y = ring.South; y < ring.North; ++y)
        cells.push_back({ring.West, y});
    for (int x = ring.West; x < ring.East; ++x)
        cells.push_back({x, ring.North});
    for (int y = ring.North; y > ring.South; --y)
        cells.push_back({ring.East, y});
    for (int x = ring.East; x >= ring.West; --x)
        cells.push_back({x, ring.South});
    TByteWriter w;
    for (size_t i = 0; i < cells.size(); i += 4) {
        w.I32(cells[i].first);
        w.I32(MapRow(float(cells[i].second)));
        w.I32(int32_t(i));
    }
    return w.Bytes;
}

struct TRgb8Map {
    uint8_t r, g, b;
};

// How the map shows a building: 0 not at all (lamp posts), 1 house, 2 tree, 3 large building.
uint8_t MapKind(int mesh) {
    if (mesh == LampMesh)
        return 0;
    if (mesh == TreeMesh || mesh == 15 || mesh == 16 || mesh == 40)
        return 2;
    const TBuildingMesh& shape = BuildingMeshes()[size_t(mesh)];
    return shape.W * shape.D >= 84 || shape.Height >= 15 ? 3 : 1;
}

// The colour of one cell of the city on the map.
TRgb8Map MapColour(int32_t word, uint8_t kind) {
    if (kind == 1)
        return {184, 120, 100}; // houses and their neighbours
    if (kind == 2)
        return {80, 140, 70}; // trees
    if (kind == 3)
        return {132, 136, 156}; // towers, malls, halls
    if (word & 0x02)
        return {70, 120, 180}; // water
    if (word & 0x40)
        return {86, 88, 94}; // carriageway
    if (word & 0x20)
        return {150, 196, 120}; // green
    if (word & 0x04)
        return {150, 130, 110}; // railway
    if (word & 0x80)
        return {178, 178, 172}; // concrete
    if (word & 0x01)
        return {150, 120, 90}; // mud
    return {200, 196, 186};    // paved
}

// The whole city on the 1024 x 512 picture at the scale and place uMapCoords gives, each pixel the
// average of the cells it covers; round it the countryside goes on to the picture's edges, the
// cells of the city's edge carried outwards, a little paler.
TBMPImage MapPicture(const TPlan& plan) {
    TBMPImage image;
    image.Width = 1024;
    image.Height = 512;
    image.Format = TBMPFormat::RGB;
    image.Pixels.assign(size_t(1024) * 512 * 3, 0);
    std::vector<uint8_t> building(size_t(Cells) * Cells, 0);
    for (const TBuildingPlacement& b : plan.Buildings)
        for (int x = b.X; x < b.X + b.W; ++x)
            for (int y = b.Y; y < b.Y + b.H; ++y)
                building[size_t(x) * Cells + size_t(y)] = MapKind(b.Mesh);
    // Outside the town the wood of its edge is not carried out: the meadow under it goes on.
    auto cell = [&](int x, int y, bool outside) {
        uint8_t kind = building[size_t(x) * Cells + size_t(y)];
        return MapColour(plan.Words[size_t(x) * Cells + size_t(y)], outside && kind == 2 ? 0 : kind);
    };
    for (int py = 0; py < 512; ++py)
        for (int px = 0; px < 1024; ++px) {
            // The world square under this pixel.
            float x0 = (px - MapPictureLeft) / MapPictureScale,
                  x1 = (px + 1 - MapPictureLeft) / MapPictureScale;
            float y0 = (py - MapPictureBottom) / MapPictureScale,
                  y1 = (py + 1 - MapPictureBottom) / MapPictureScale;
            bool outside = x1 <= 0 || y1 <= 0 || x0 >= Cells || y0 >= Cells;
            int cx0 = std::clamp(int(std::floor(x0)), 0, Cells - 1),
                cx1 = std::clamp(int(std::ceil(x1)) - 1, 0, Cells - 1);
            int cy0 = std::clamp(int(std::floor(y0)), 0, Cells - 1),
                cy1 = std::clamp(int(std::ceil(y1)) - 1, 0, Cells - 1);
            if (outside) {
                // Only the edge row or column is carried out, not the town behind it.
                if (x1 <= 0)
                    cx0 = cx1 = 0;
                if (x0 >= Cells)
                    cx0 = cx1 = Cells - 1;
                if (y1 <= 0)
                    cy0 = cy1 = 0;
                if (y0 >= Cells)
                    cy0 = cy1 = Cells - 1;
            }
            int r = 0, g = 0, b = 0, n = 0;
            for (int x = cx0; x <= cx1; ++x)
                for (int y = cy0; y <= cy1; ++y) {
                    TRgb8Map c = cell(x, y, outside);
                    r += c.r, g += c.g, b += c.b, ++n;
                }
            r /= n, g /= n, b /= n;
            if (outside)
                r = (r * 3 + 220) / 4, g = (g * 3 + 224) / 4, b = (b * 3 + 210) / 4;
            uint8_t* p = &image.Pixels[(size_t(py) * 1024 + size_t(px)) * 3];
            p[0] = uint8_t(r), p[1] = uint8_t(g), p[2] = uint8_t(b);
        }
    return image;
}

} // namespace

void GenerateCity(const TGenContext& context) {
    TPlan plan = BuildPlan();
    for (const TTileTexture& texture : TileTextures())
        context.Write("textures/" + texture.File, EncodeBMP(TilePicture(texture)));
    for (size_t i = 0; i < BuildingMeshes().size(); ++i) {
        TCityMesh mesh = BuildCityMesh(i);
        context.Write("meshes/" + BuildingMeshes()[i].File, Encode3DS(mesh.Model));
        for (const auto& [file, image] : mesh.Textures)
            context.Write("meshes/" + file, EncodeBMP(image));
    }
    TCityMesh edge = BuildEdgeMesh();
    context.Write("meshes/city_edge.3ds", Encode3DS(edge.Model));
    for (const auto& [file, image] : edge.Textures)
        context.Write("meshes/" + file, EncodeBMP(image));
    context.Write("city/city.tmf", MapFile(plan));
    context.Write("city/boss.cur", RouteFile(plan.Rings.at(0)));
    context.Write("city/director.cur", RouteFile(plan.Rings.at(5)));
    context.Write("bitmaps/map.bmp", EncodeBMP(MapPicture(plan)));
}

} // namespace city

namespace {
void GenerateCityData(const TGenContext& context) {
    city::GenerateCity(context);
}
} // namespace

KAL_GENERATOR("city", GenerateCityData);
