// The town's building meshes: textured boxes with facades of windows and flat or pitched roofs,
// the lamp post, trees and the small street furniture, each with its own facade pictures.
#include "CityMeshes.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace city {
namespace {

enum Style {
    House,
    Flats,
    Office,
    Mall,
    Station,
    Shop,
    Warehouse,
    Lamp,
    Tree,
    Kiosk,
    Fountain,
    Church,
    Canopy
};

struct TMeshRow {
    const char* Name;
    int W, D;
    float Height;
    int Style, Colour;
};

// Index 13 (id 14) is the lamp post; its light hangs 0.6 m out along the arm.
const TMeshRow MeshRows[] = {
    {"house_a", 6, 5, 5.5f, House, 0},       {"house_b", 5, 5, 5.0f, House, 1},
    {"house_c", 6, 6, 6.5f, House, 2},       {"house_d", 5, 6, 5.0f, House, 3},
    {"villa", 6, 6, 7.0f, House, 4},         {"flats_a", 6, 6, 12, Flats, 0},
    {"flats_b", 14, 6, 12, Flats, 1},        {"flats_c", 6, 14, 15, Flats, 2},
    {"flats_d", 14, 6, 9, Flats, 3},         {"tower_a", 6, 6, 18, Office, 0},
    {"tower_b", 6, 6, 26, Office, 1},        {"tower_c", 14, 6, 22, Office, 2},
    {"tower_d", 6, 14, 30, Office, 3},       {"lamppost", 1, 1, 1.45f, Lamp, 0},
    {"tree_round", 2, 2, 5, Tree, 0},        {"tree_cone", 2, 2, 6, Tree, 1},
    {"tree_small", 1, 1, 3.5f, Tree, 2},     {"tower_e", 14, 14, 36, Office, 4},
    {"tower_f", 14, 14, 48, Office, 5},      {"tower_g", 6, 6, 34, Office, 6},
    {"mall_a", 22, 22, 9, Mall, 0},          {"mall_b", 22, 22, 8, Mall, 1},
    {"mall_c", 22, 22, 10, Mall, 2},         {"station", 30, 6, 10, Station, 0},
    {"fuelshop", 5, 4, 3.5f, Shop, 0},       {"garage", 6, 5, 4.5f, Shop, 1},
    {"warehouse_a", 14, 6, 7, Warehouse, 0}, {"warehouse_b", 14, 14, 9, Warehouse, 1},
    {"warehouse_c", 6, 6, 6, Warehouse, 2},  {"shops_a", 6, 6, 8, Shop, 2},
    {"shops_b", 14, 6, 8, Shop, 3},          {"church", 14, 14, 14, Church, 0},
    {"kiosk", 2, 2, 2.6f, Kiosk, 0},         {"shelter", 3, 1, 2.5f, Kiosk, 1},
    {"fountain", 3, 3, 1.4f, Fountain, 0},   {"house_e", 6, 5, 6, House, 5},
    {"house_f", 5, 5, 5.5f, House, 6},       {"flats_e", 6, 6, 15, Flats, 4},
    {"office_h", 6, 14, 20, Office, 7},      {"warehouse_d", 14, 6, 8, Warehouse, 3},
    {"tree_big", 3, 3, 7, Tree, 3},          {"bench", 2, 1, 0.8f, Kiosk, 2},
    {"canopy", 30, 4, 4, Canopy, 0},         {"school", 14, 14, 10, Flats, 5},
    {"townhall", 14, 14, 16, Office, 8},
};

// Colours as 0..255 triples.
struct TRgb8 {
    uint8_t r, g, b;
};

const TRgb8 HouseWalls[] = {{226, 208, 170}, {200, 170, 140}, {236, 228, 214}, {190, 120, 95},
                            {215, 215, 200}, {170, 185, 160}, {228, 196, 150}};
const TRgb8 HouseRoofs[] = {{150, 60, 45}, {90, 70, 60},  {120, 50, 40}, {70, 75, 85},
                            {140, 80, 50}, {100, 60, 50}, {160, 90, 60}};
const TRgb8 FlatsWalls[] = {{210, 200, 185}, {180, 185, 195}, {225, 215, 190},
                            {190, 150, 130}, {200, 205, 210}, {215, 190, 160}};
const TRgb8 OfficeGlass[] = {{70, 100, 130}, {60, 80, 95},  {95, 120, 140},  {50, 70, 90},   {110, 130, 150},
                             {80, 90, 110},  {60, 95, 110}, {120, 110, 100}, {150, 140, 120}};

uint32_t Mix(uint32_t a, uint32_t b) {
    uint32_t h = a * 2654435761u ^ (b * 40503u + 0x9e3779b9u);
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    return h;
}

// A picture painted pixel by pixel; row 0 is the bottom (texture v = 0).
TBMPImage Paint(int w, int h, const std::function<TRgb8(int x, int y)>& colour) {
    TBMPImage image;
    image.Width = w;
    image.Height = h;
    image.Format = TBMPFormat::RGB;
    image.Pixels.resize(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            TRgb8 c = colour(x, y);
            uint8_t* p = &image.Pixels[(size_t(y) * size_t(w) + size_t(x)) * 3];
            p[0] = c.r, p[1] = c.g, p[2] = c.b;
        }
    return image;
}

TRgb8 Shade(TRgb8 c, float f) {
    auto s = [f](uint8_t v) { return uint8_t(std::clamp(v * f, 0.0f, 255.0f)); };
    return {s(c.r), s(c.g), s(c.b)};
}

float Grain(int x, int y, uint32_t seed) {
    return 0.92f + 0.16f * float(Mix(uint32_t(x) * 131u + uint32_t(y), seed) & 255) / 255.0f;
}

// One storey, 4 m wide and 3 m tall, with two windows, on 64 x 64 pixels (power-of-two sides for
// any GL).
TBMPImage Facade(TRgb8 wall, TRgb8 frame, TRgb8 glass, bool shopFront, uint32_t seed,
                 float windowWidth = 1.2f, float windowHeight = 1.5f) {
    return Paint(64, 64, [=](int x, int y) {
        float mx = (x + 0.5f) / 16, my = (y + 0.5f) * 3.0f / 64;
        float wx = std::fmod(mx, 2.0f);
        bool window = std::fabs(wx - 1.0f) < windowWidth / 2 && my > 0.9f && my < 0.9f + windowHeight;
        if (shopFront)
            window = std::fabs(wx - 1.0f) < 0.85f && my > 0.3f && my < 2.5f;
        bool edge = std::fabs(wx - 1.0f) < windowWidth / 2 + 0.08f && my > 0.82f && my < 0.98f + windowHeight;
        if (shopFront)
            edge = std::fabs(wx - 1.0f) < 0.93f && my > 0.22f && my < 2.58f;
        if (window) {
            bool lit = (Mix(uint32_t(mx / 2), seed) % 5) == 0;
            float sky = 0.75f + 0.35f * (my - 0.9f) / windowHeight;
            TRgb8 g = lit ? TRgb8{230, 210, 150} : Shade(glass, sky);
            if (std::fabs(wx - 1.0f) < 0.04f || std::fabs(my - (0.9f + windowHeight * 0.6f)) < 0.04f)
                return frame; // glazing bars
            return g;
        }
        if (edge)
            return frame;
        if (my > 2.85f)
            return Shade(wall, 0.85f); // storey band
        return Shade(wall, Grain(x, y, seed));
    });
}

// Curtain wall: one storey 4 m x 3.5 m of glass between mullions.
TBMPImage GlassFacade(TRgb8 glass, uint32_t seed) {
    return Paint(64, 64, [=](int x, int y) {
        float mx = (x + 0.5f) / 16, my = (y + 0.5f) * 3.5f / 64;
        if (std::fmod(mx, 1.33f) < 0.1f || my < 0.25f)
            return TRgb8{180, 185, 190};
        bool lit = (Mix(uint32_t(mx / 1.33f), seed) % 6) == 0;
        if (lit)
            return TRgb8{235, 220, 160};
        float f = 0.8f + 0.4f * my / 3.5f;
        return Shade(glass, f * Grain(x / 4, y / 4, seed));
    });
}

TBMPImage RoofTiles(TRgb8 colour) {
    return Paint(64, 64, [=](int x, int y) {
        bool course = (y % 8) < 1;
        bool joint = ((x + (y / 8) * 4) % 8) < 1;
        return Shade(colour, course || joint ? 0.7f : Grain(x, y, 3));
    });
}

TBMPImage FlatRoof(TRgb8 colour) {
    return Paint(64, 64, [=](int x, int y) {
        bool rim = x < 3 || y < 3 || x > 60 || y > 60;
        return rim ? Shade(colour, 1.15f) : Shade(colour, Grain(x, y, 5));
    });
}

TBMPImage Corrugated(TRgb8 colour) {
    return Paint(64, 64, [=](int x, int y) {
        float f = 0.85f + 0.15f * std::sin(float(x) * 0.8f);
        bool door = x > 16 && x < 48 && y < 53 && ((x / 4) % 2 == 0);
        return door ? Shade(colour, 0.6f * f) : Shade(colour, f);
    });
}

struct TMeshBuilder {
    T3dsModel Model;
    std::deque<T3dsObject> Objects; // references stay valid while objects are added

    T3dsObject& Object(const std::string& name, const std::string& material) {
        for (T3dsObject& o : Objects)
            if (o.Name == name)
                return o;
        T3dsObject o;
        o.Name = name;
        o.MaterialName = material;
        Objects.push_back(o);
        return Objects.back();
    }

    T3dsModel Finish() {
        for (T3dsObject& o : Objects)
            Model.Objects.push_back(std::move(o));
        return std::move(Model);
    }

    void Material(const std::string& name, const std::string& texture, TRgb8 colour = {255, 255, 255}) {
        T3dsMaterial m;
        m.Name = name;
        m.TextureFile = texture;
        m.Color[0] = colour.r, m.Color[1] = colour.g, m.Color[2] = colour.b;
        Model.Materials.push_back(m);
    }

    // A quad a, b, c, d counter-clockwise seen from outside, with texture corners.
    void Quad(T3dsObject& o, dVector3 a, dVector3 b, dVector3 c, dVector3 d, float u0, float v0, float u1,
              float v1) {
        uint32_t base = uint32_t(o.Vertices.size());
        o.Vertices.insert(o.Vertices.end(), {a, b, c, d});
        o.TexCoords.insert(o.TexCoords.end(), {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}});
        o.Faces.push_back({base, base + 1, base + 2});
        o.Faces.push_back({base, base + 2, base + 3});
    }

    void Triangle(T3dsObject& o, dVector3 a, dVector3 b, dVector3 c) {
        uint32_t base = uint32_t(o.Vertices.size());
        o.Vertices.insert(o.Vertices.end(), {a, b, c});
        o.TexCoords.insert(o.TexCoords.end(), {{0, 0}, {1, 0}, {0.5f, 1}});
        o.Faces.push_back({base, base + 1, base + 2});
    }

    // The four walls of a box from z0 to z1; the texture repeats every `tileW` by `tileH` metres.
    void Walls(T3dsObject& o, float x0, float y0, float x1, float y1, float z0, float z1, float tileW,
               float tileH) {
        auto V = VectorMake;
        float h0 = z0 / tileH, h1 = z1 / tileH;
        Quad(o, V(x0, y0, z0), V(x1, y0, z0), V(x1, y0, z1), V(x0, y0, z1), 0, h0, (x1 - x0) / tileW, h1);
        Quad(o, V(x1, y0, z0), V(x1, y1, z0), V(x1, y1, z1), V(x1, y0, z1), 0, h0, (y1 - y0) / tileW, h1);
        Quad(o, V(x1, y1, z0), V(x0, y1, z0), V(x0, y1, z1), V(x1, y1, z1), 0, h0, (x1 - x0) / tileW, h1);
        Quad(o, V(x0, y1, z0), V(x0, y0, z0), V(x0, y0, z1), V(x0, y1, z1), 0, h0, (y1 - y0) / tileW, h1);
    }

    void Lid(T3dsObject& o, float x0, float y0, float x1, float y1, float z, float tile) {
        auto V = VectorMake;
        Quad(o, V(x0, y0, z), V(x1, y0, z), V(x1, y1, z), V(x0, y1, z), 0, 0, (x1 - x0) / tile,
             (y1 - y0) / tile);
    }

    void Box(T3dsObject& o, float x0, float y0, float x1, float y1, float z0, float z1) {
        Walls(o, x0, y0, x1, y1, z0, z1, 1, 1);
        Lid(o, x0, y0, x1, y1, z1, 1);
    }

    // A tree standing at (x, y): a trunk and an octagonal crown of radius r, a cone for the fir, a
    // double cone for the broadleaf trees.
    void TreeAt(T3dsObject& trunk, T3dsObject& crown, float x, float y, float h, float r, bool fir) {
        Box(trunk, x - 0.12f, y - 0.12f, x + 0.12f, y + 0.12f, 0, h * 0.4f);
        const int sides = 8;
        float zb = h * (fir ? 0.2f : 0.35f), zm = fir ? zb : h * 0.65f;
        for (int k = 0; k < sides; ++k) {
            float a0 = 2 * 3.14159265f * k / sides, a1 = 2 * 3.14159265f * (k + 1) / sides;
            dVector3 p0 = VectorMake(x + r * std::cos(a0), y + r * std::sin(a0), zm);
            dVector3 p1 = VectorMake(x + r * std::cos(a1), y + r * std::sin(a1), zm);
            Triangle(crown, p0, p1, VectorMake(x, y, h));
            Triangle(crown, p1, p0, VectorMake(x, y, zb));
        }
    }

    // A gable roof along X over the box [x0, x1] x [y0, y1] from height z to the ridge.
    void Gable(T3dsObject& roof, T3dsObject& gables, float x0, float y0, float x1, float y1, float z,
               float ridge) {
        auto V = VectorMake;
        float ym = (y0 + y1) / 2, o = 0.15f; // eaves overhang, small enough to keep the footprint
        float slope = std::hypot(ym - y0 + o, ridge - z) / 2;
        Quad(roof, V(x0 - o, y0 - o, z - 0.2f), V(x1 + o, y0 - o, z - 0.2f), V(x1 + o, ym, ridge),
             V(x0 - o, ym, ridge), 0, 0, (x1 - x0) / 2, slope);
        Quad(roof, V(x1 + o, y1 + o, z - 0.2f), V(x0 - o, y1 + o, z - 0.2f), V(x0 - o, ym, ridge),
             V(x1 + o, ym, ridge), 0, 0, (x1 - x0) / 2, slope);
        Triangle(gables, V(x1, y0, z), V(x1, y1, z), V(x1, ym, ridge));
        Triangle(gables, V(x0, y1, z), V(x0, y0, z), V(x0, ym, ridge));
    }
};

} // namespace

const std::vector<TBuildingMesh>& BuildingMeshes() {
    static const std::vector<TBuildingMesh> meshes = [] {
        std::vector<TBuildingMesh> list;
        for (const TMeshRow& row : MeshRows)
            list.push_back({std::string("city_") + row.Name + ".3ds", row.W, row.D, row.Height, row.Style});
        return list;
    }();
    return meshes;
}

TCityMesh BuildCityMesh(size_t index) {
    const TMeshRow& row = MeshRows[index];
    TCityMesh out;
    TMeshBuilder b;
    std::string prefix = std::string("city_") + row.Name;
    // Footprints stay a little inside their cells so neighbours never touch.
    float x0 = -row.W / 2.0f + 0.02f, x1 = row.W / 2.0f - 0.02f, y0 = -row.D / 2.0f + 0.02f,
          y1 = row.D / 2.0f - 0.02f;
    float h = row.Height;
    uint32_t seed = uint32_t(index) * 17u + 3u;
    auto texture = [&](const std::string& suffix, TBMPImage image) {
        std::string file = prefix + "_" + suffix + ".bmp";
        out.Textures.push_back({file, std::move(image)});
        b.Material(prefix + "_" + suffix, file);
        return prefix + "_" + suffix;
    };
    // Plain colours are small pictures too: a display list then never changes the current colour,
    // so the meshes drawn after it keep the white the grid starts with.
    auto colour = [&](const std::string& name, TRgb8 c) {
        return texture(name,
                       Paint(16, 16, [c, seed](int x, int y) { return Shade(c, Grain(x, y, seed + 11)); }));
    };
    switch (row.Style) {
    case House: {
        TRgb8 wall = HouseWalls[row.Colour % 7];
        std::string facade =
            texture("wall", Facade(wall, {245, 245, 240}, {90, 110, 130}, false, seed, 1.0f, 1.3f));
        std::string roof = texture("roof", RoofTiles(HouseRoofs[row.Colour % 7]));
        float eaves = h * 0.55f;
        b.Walls(b.Object("walls", facade), x0, y0, x1, y1, 0, eaves, 4, 3);
        b.Gable(b.Object("roof", roof), b.Object("gables", facade), x0, y0, x1, y1, eaves, h);
        break;
    }
    case Flats:
    case Office:
    case Shop:
    case Station:
    case Church: {
        std::string facade;
        float storey = 3;
        if (row.Style == Office) {
            facade = texture("glass", GlassFacade(OfficeGlass[row.Colour % 9], seed));
            storey = 3.5f;
        } else if (row.Style == Shop) {
            facade = texture("wall", Facade({200, 190, 170}, {60, 60, 70}, {70, 90, 100}, true, seed));
        } else if (row.Style == Station) {
            facade = texture(
                "wall", Facade({190, 160, 120}, {230, 225, 210}, {60, 80, 100}, false, seed, 1.4f, 2.2f));
            storey = 5;
        } else if (row.Style == Church) {
            facade = texture(
                "wall", Facade({225, 220, 205}, {200, 195, 180}, {80, 70, 110}, false, seed, 0.8f, 2.2f));
            storey = 7;
        } else {
            facade = texture("wall",
                             Facade(FlatsWalls[row.Colour % 6], {240, 240, 235}, {80, 95, 115}, false, seed));
        }
        std::string roof =
            texture("roof", FlatRoof(row.Style == Office ? TRgb8{120, 125, 130} : TRgb8{105, 100, 95}));
        float bodyTop = row.Style == Church ? h * 0.6f : h;
        float bodyX1 = row.Style == Church ? x1 - 4 : x1;
        b.Walls(b.Object("walls", facade), x0, y0, bodyX1, y1, 0, bodyTop, 4, storey);
        b.Lid(b.Object("roof", roof), x0, y0, bodyX1, y1, bodyTop, 4);
        if (row.Style == Church) {
            // The bell tower at the east end.
            b.Walls(b.Object("walls", facade), x1 - 4, -2, x1, 2, 0, h, 4, storey);
            b.Gable(b.Object("spire", colour("spire", {70, 90, 80})), b.Object("walls", facade), x1 - 4, -2,
                    x1, 2, h, h + 3);
        }
        if (row.Style == Office && row.W >= 14)
            b.Box(b.Object("plant", colour("plant", {150, 150, 150})), -2, -2, 2, 2, h, h + 0.01f);
        break;
    }
    case Mall: {
        std::string facade =
            texture("wall", Facade({220, 215, 205}, {40, 50, 60}, {60, 110, 140}, true, seed));
        std::string roof = texture("roof", FlatRoof({140, 140, 135}));
        b.Walls(b.Object("walls", facade), x0, y0, x1, y1, 0, h, 4, 3);
        b.Lid(b.Object("roof", roof), x0, y0, x1, y1, h, 4);
        // The sign band over the entrances.
        b.Walls(b.Object("sign", colour("sign", row.Colour == 0   ? TRgb8{200, 40, 40}
                                                : row.Colour == 1 ? TRgb8{40, 90, 190}
                                                                  : TRgb8{230, 160, 30})),
                x0 - 0.01f, y0 - 0.01f, x1 + 0.01f, y1 + 0.01f, h - 1.2f, h - 0.3f, 1, 1);
        break;
    }
    case Warehouse: {
        std::string facade =
            texture("wall", Corrugated(row.Colour % 2 ? TRgb8{150, 160, 170} : TRgb8{170, 140, 110}));
        std::string roof = texture("roof", FlatRoof({110, 115, 120}));
        b.Walls(b.Object("walls", facade), x0, y0, x1, y1, 0, h, 4, 3);
        b.Lid(b.Object("roof", roof), x0, y0, x1, y1, h, 4);
        break;
    }
    case Lamp: {
        // Base plate under the post at local x -0.6, arm along +X, the light at +0.6 m.
        std::string metal = colour("metal", {60, 65, 70}), glow = colour("glow", {255, 240, 190});
        b.Box(b.Object("base", metal), -0.7f, -0.3f, -0.5f, 0.3f, 0, 0.05f);
        b.Box(b.Object("post", metal), -0.64f, -0.04f, -0.56f, 0.04f, 0, 1.45f);
        b.Box(b.Object("arm", metal), -0.6f, -0.03f, 0.7f, 0.03f, 1.4f, 1.45f);
        b.Box(b.Object("head", glow), 0.5f, -0.08f, 0.7f, 0.08f, 1.3f, 1.4f);
        break;
    }
    case Tree: {
        std::string bark = colour("bark", {95, 70, 50});
        TRgb8 leaf = row.Colour == 1   ? TRgb8{40, 90, 50}
                     : row.Colour == 3 ? TRgb8{70, 120, 50}
                                       : TRgb8{60, 130, 55};
        std::string crown = colour("leaves", leaf);
        b.TreeAt(b.Object("trunk", bark), b.Object("crown", crown), 0, 0, h, row.W / 2.0f - 0.05f,
                 row.Colour == 1);
        break;
    }
    case Kiosk: {
        std::string wall = colour("wall", row.Colour == 2 ? TRgb8{120, 80, 50} : TRgb8{40, 110, 70});
        std::string top = colour("top", {200, 60, 50});
        if (row.Colour == 2) {
            b.Box(b.Object("seat", wall), x0, -0.25f, x1, 0.25f, 0.4f, 0.5f);
            b.Box(b.Object("legs", wall), x0 + 0.1f, -0.2f, x0 + 0.2f, 0.2f, 0, 0.4f);
            b.Box(b.Object("legs", wall), x1 - 0.2f, -0.2f, x1 - 0.1f, 0.2f, 0, 0.4f);
            b.Box(b.Object("back", wall), x0, 0.2f, x1, 0.3f, 0.5f, h);
        } else {
            b.Walls(b.Object("walls", wall), x0 + 0.1f, y0 + 0.1f, x1 - 0.1f, y1 - 0.1f, 0, h - 0.3f, 1, 1);
            b.Box(b.Object("top", top), x0, y0, x1, y1, h - 0.3f, h);
        }
        break;
    }
    case Fountain: {
        std::string stone = colour("stone", {190, 185, 175}), water = colour("water", {70, 130, 190});
        b.Walls(b.Object("rim", stone), x0, y0, x1, y1, 0, 0.5f, 1, 1);
        b.Lid(b.Object("pool", water), x0, y0, x1, y1, 0.45f, 1);
        b.Box(b.Object("column", stone), -0.25f, -0.25f, 0.25f, 0.25f, 0, h);
        break;
    }
    case Canopy: {
        std::string steel = colour("steel", {90, 100, 110}), roof = colour("roof", {160, 170, 175});
        for (float x = x0 + 1; x < x1; x += 5)
            b.Box(b.Object("columns", steel), x - 0.1f, -0.1f, x + 0.1f, 0.1f, 0, h);
        b.Box(b.Object("roof", roof), x0, y0, x1, y1, h - 0.2f, h);
        break;
    }
    }
    out.Model = b.Finish();
    return out;
}

TCityMesh BuildEdgeMesh() {
    TCityMesh out;
    TMeshBuilder b;
    auto colour = [&](const std::string& name, TBMPImage image) {
        std::string file = "city_edge_" + name + ".bmp";
        out.Textures.push_back({file, std::move(image)});
        b.Material("city_edge_" + name, file);
        return "city_edge_" + name;
    };
    auto plain = [&](const std::string& name, TRgb8 c, uint32_t seed) {
        return colour(name, Paint(16, 16, [c, seed](int x, int y) { return Shade(c, Grain(x, y, seed)); }));
    };
    // Meadow grass in tufts, 4 m to the picture.
    std::string meadow = colour("meadow", Paint(64, 64, [](int x, int y) {
                                    float tuft = float(Mix(uint32_t(x / 3) * 37u + uint32_t(y / 3), 41) & 255) / 255;
                                    TRgb8 grass = tuft > 0.85f ? TRgb8{120, 150, 70} : TRgb8{96, 142, 70};
                                    return Shade(grass, Grain(x, y, 43));
                                }));
    std::string wood = plain("wood", {140, 104, 70}, 45), bark = plain("bark", {95, 70, 50}, 47);
    std::string fir = plain("fir", {40, 90, 50}, 49), leaves = plain("leaves", {66, 126, 54}, 51);
    auto V = VectorMake;
    const float length = EdgeLength, depth = EdgeDepth;
    // The meadow, a hand above the ground it covers.
    b.Quad(b.Object("meadow", meadow), V(0, 0, 0), V(length, 0, 0), V(length, depth, 0), V(0, depth, 0), 0, 0,
           length / 4, depth / 4);
    // A post-and-rail fence along the town side, a post every 2 m.
    T3dsObject& fence = b.Object("fence", wood);
    for (float x = 0.1f; x < length; x += 2)
        b.Box(fence, x - 0.07f, 0.2f, x + 0.07f, 0.34f, 0, 1.3f);
    for (float z : {0.5f, 1.05f})
        b.Box(fence, 0, 0.15f, length, 0.2f, z, z + 0.12f);
    // A wood beyond it: trees on a jittered grid, thinning towards the fence.
    T3dsObject& trunks = b.Object("trunks", bark);
    T3dsObject& firs = b.Object("firs", fir);
    T3dsObject& broadleaf = b.Object("broadleaf", leaves);
    uint32_t k = 0;
    for (float y = 4; y < depth - 2; y += 3.2f)
        for (float x = 1.5f; x < length - 1; x += 3.2f, ++k) {
            uint32_t h = Mix(k, 53);
            if (y < 8 && h % 3 == 0)
                continue;
            float tx = x + float(h % 100) / 100 * 1.4f - 0.7f, ty = y + float((h >> 8) % 100) / 100 * 1.4f - 0.7f;
            bool isFir = (h >> 16) % 5 < 2;
            float height = 5.5f + float((h >> 20) % 100) / 100 * 4;
            b.TreeAt(trunks, isFir ? firs : broadleaf, tx, ty, height, isFir ? 1.3f : 1.7f, isFir);
        }
    out.Model = b.Finish();
    return out;
}

} // namespace city
