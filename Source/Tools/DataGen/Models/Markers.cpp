// The race target, a floating gift box with ribbon and bow that reads as a red square with a gold
// cross and rosette from the game's high camera, and the three station symbol cubes (fuel pump,
// spanner, cargo station) whose every face carries the symbol.
#include "BMPWriter.h"
#include "ModelSet.h"
#include "Writer3ds.h"

#include <algorithm>

namespace models {

namespace {

struct TArea {
    int X0, Y0, X1, Y1;
};
constexpr int GiftAtlas = 256;
constexpr TArea BoxSide{0, 0, 128, 128}, LidTop{128, 0, 256, 128}, LidSide{0, 128, 128, 192},
    Bow{128, 128, 256, 256}, Paper{0, 192, 128, 256};

UV AreaUV(const TArea& a, float s, float t, int size) {
    return {(float(a.X0) + Clamp01(s) * float(a.X1 - a.X0)) / float(size),
            (float(a.Y0) + Clamp01(t) * float(a.Y1 - a.Y0)) / float(size)};
}

const TRgb GiftRed = Rgb(196, 28, 40), Gold = Rgb(240, 196, 56);

// A box whose four sides map the whole of `side` (t up), the top `top` and the bottom `bottom`.
void TexturedBox(TMeshBuilder& b, V3 lo, V3 hi, const TArea& side, const TArea& top, const TArea& bottom,
                 int size) {
    V3 middle = (lo + hi) * 0.5f;
    V3 c[4] = {{lo.x, lo.y, 0}, {hi.x, lo.y, 0}, {hi.x, hi.y, 0}, {lo.x, hi.y, 0}};
    for (int i = 0; i < 4; ++i) {
        V3 p = c[i], q = c[(i + 1) % 4];
        V3 p0{p.x, p.y, lo.z}, q0{q.x, q.y, lo.z}, q1{q.x, q.y, hi.z}, p1{p.x, p.y, hi.z};
        UV a = AreaUV(side, 0, 0, size), bb = AreaUV(side, 1, 0, size), cc = AreaUV(side, 1, 1, size),
           d = AreaUV(side, 0, 1, size);
        b.TriangleAway(p0, q0, q1, a, bb, cc, middle);
        b.TriangleAway(p0, q1, p1, a, cc, d, middle);
    }
    for (int face = 0; face < 2; ++face) {
        float z = face ? hi.z : lo.z;
        const TArea& area = face ? top : bottom;
        V3 p[4] = {{lo.x, lo.y, z}, {hi.x, lo.y, z}, {hi.x, hi.y, z}, {lo.x, hi.y, z}};
        UV t[4] = {AreaUV(area, 0, 0, size), AreaUV(area, 1, 0, size), AreaUV(area, 1, 1, size),
                   AreaUV(area, 0, 1, size)};
        b.TriangleAway(p[0], p[1], p[2], t[0], t[1], t[2], middle);
        b.TriangleAway(p[0], p[2], p[3], t[0], t[2], t[3], middle);
    }
}

// One loop of the bow: a flat ribbon (with thickness) bent along an ellipse arc that leaves the knot
// at `base`, reaches out along `out` and up, and comes back.
void BowLoop(TMeshBuilder& b, V3 base, V3 out, float reach, float rise, float width) {
    const int segments = 10;
    V3 across = Cross(out, V3{0, 0, 1});
    std::vector<V3> centre;
    for (int i = 0; i <= segments; ++i) {
        float a = Pi * float(i) / segments;
        // Out along the lower side of the arc and back over the top: a teardrop loop.
        float along = reach * std::sin(a) * (0.55f + 0.45f * std::sin(a));
        float up = rise * (1 - std::cos(a)) * 0.5f + 0.02f * std::sin(a);
        centre.push_back(base + out * along + V3{0, 0, up});
    }
    const float thick = 0.025f;
    for (int i = 0; i < segments; ++i) {
        V3 a = centre[size_t(i)], c = centre[size_t(i) + 1];
        V3 dir = c - a;
        V3 normal = Cross(across, dir);
        normal = normal * (thick / 2 / std::max(1e-6f, Length(normal)));
        V3 w = across * (width / 2);
        V3 corners[2][4];
        for (int e = 0; e < 2; ++e) {
            V3 p = e ? c : a;
            corners[e][0] = p - w - normal;
            corners[e][1] = p + w - normal;
            corners[e][2] = p + w + normal;
            corners[e][3] = p - w + normal;
        }
        float s0 = float(i) / segments, s1 = float(i + 1) / segments;
        V3 inside = (a + c) * 0.5f;
        for (int k = 0; k < 4; ++k) {
            int k1 = (k + 1) % 4;
            float t0 = float(k) / 4, t1 = float(k + 1) / 4;
            UV u00 = AreaUV(Bow, s0, t0, GiftAtlas), u01 = AreaUV(Bow, s0, t1, GiftAtlas);
            UV u10 = AreaUV(Bow, s1, t0, GiftAtlas), u11 = AreaUV(Bow, s1, t1, GiftAtlas);
            b.TriangleAway(corners[0][k], corners[0][k1], corners[1][k1], u00, u01, u11, inside);
            b.TriangleAway(corners[0][k], corners[1][k1], corners[1][k], u00, u11, u10, inside);
        }
    }
}

void WriteGift(const TFileSink& sink) {
    TMeshBuilder b;
    TexturedBox(b, {-0.5f, -0.5f, 0}, {0.5f, 0.5f, 0.62f}, BoxSide, Paper, Paper, GiftAtlas);
    TexturedBox(b, {-0.54f, -0.54f, 0.60f}, {0.54f, 0.54f, 0.78f}, LidSide, LidTop, Paper, GiftAtlas);
    V3 knot{0, 0, 0.78f};
    const V3 directions[4] = {{0.8f, 0.6f, 0}, {-0.8f, -0.6f, 0}, {-0.6f, 0.8f, 0}, {0.6f, -0.8f, 0}};
    for (int i = 0; i < 4; ++i)
        BowLoop(b, knot, directions[i], i < 2 ? 0.36f : 0.30f, i < 2 ? 0.26f : 0.22f, 0.13f);
    TexturedBox(b, {-0.07f, -0.07f, 0.78f}, {0.07f, 0.07f, 0.86f}, Bow, Bow, Bow, GiftAtlas);

    TAtlas atlas(GiftAtlas, GiftAtlas);
    auto paper = [](float s, float t) {
        // Red paper with small gold dots in a staggered grid.
        float gx = s * 6 + (int(t * 6) % 2 ? 0.5f : 0.0f), gy = t * 6;
        float dx = gx - std::floor(gx) - 0.5f, dy = gy - std::floor(gy) - 0.5f;
        TRgb c = GiftRed;
        if (dx * dx + dy * dy < 0.02f)
            c = Mix(GiftRed, Gold, 0.8f);
        return c;
    };
    auto ribbon = [](float v, float shade) {
        TRgb c = Scale(Gold, shade);
        if (std::fabs(std::fabs(v) - 0.075f) < 0.01f)
            c = Scale(Gold, shade * 0.75f); // the ribbon's woven edge
        return c;
    };
    atlas.Paint(BoxSide.X0, BoxSide.Y0, BoxSide.X1, BoxSide.Y1, [&](float s, float t) {
        if (std::fabs(s - 0.5f) < 0.08f)
            return ribbon(s - 0.5f, 0.95f);
        return Scale(paper(s, t), 0.85f + 0.15f * t);
    });
    atlas.Paint(LidSide.X0, LidSide.Y0, LidSide.X1, LidSide.Y1, [&](float s, float t) {
        if (std::fabs(s - 0.5f) < 0.08f)
            return ribbon(s - 0.5f, 1.0f);
        return Scale(GiftRed, 0.9f + 0.1f * t);
    });
    atlas.Paint(LidTop.X0, LidTop.Y0, LidTop.X1, LidTop.Y1, [&](float s, float t) {
        if (std::fabs(s - 0.5f) < 0.08f)
            return ribbon(s - 0.5f, 1.05f);
        if (std::fabs(t - 0.5f) < 0.08f)
            return ribbon(t - 0.5f, 1.05f);
        float edge = std::max(std::fabs(s - 0.5f), std::fabs(t - 0.5f));
        return Scale(paper(s, t), 1.05f - 0.3f * edge);
    });
    atlas.Paint(Paper.X0, Paper.Y0, Paper.X1, Paper.Y1, paper);
    atlas.Paint(Bow.X0, Bow.Y0, Bow.X1, Bow.Y1, [&](float s, float t) {
        // Gold satin: a sheen across the ribbon and darker folds near the knot.
        float sheen = 0.8f + 0.3f * std::sin(t * Pi * 4) * std::sin(t * Pi * 4);
        float fold = 0.75f + 0.25f * SmoothStep(0.0f, 0.25f, std::min(s, 1 - s));
        return Scale(Gold, sheen * fold);
    });
    sink("meshes/prezent.bmp", EncodeBMP(atlas.Image()));
    sink("meshes/prezent.3ds", Encode3DS(SingleMaterialModel("gift", "gift", "prezent.bmp", b)));
}

// ---- station cubes ---------------------------------------------------------------------------

using TSymbol = std::function<bool(float x, float y)>; // x, y in -1..1, y up: inside the white symbol

bool FuelPump(float x, float y) {
    // Pump body, its display window cut out, a base, the hose and the nozzle hooked on the side.
    if (InRoundRect(x, y, -0.52f, -0.62f, 0.14f, 0.62f, 0.08f) &&
        !InRoundRect(x, y, -0.40f, 0.18f, 0.02f, 0.48f, 0.04f))
        return true;
    if (InRect(x, y, -0.62f, -0.72f, 0.24f, -0.60f))
        return true;
    if (SegmentDistance(x, y, 0.14f, 0.30f, 0.38f, 0.30f) < 0.055f ||
        SegmentDistance(x, y, 0.38f, 0.30f, 0.44f, -0.30f) < 0.055f ||
        SegmentDistance(x, y, 0.44f, -0.30f, 0.30f, -0.42f) < 0.045f)
        return true;
    return InRoundRect(x, y, 0.30f, 0.22f, 0.52f, 0.52f, 0.05f) && !InRect(x, y, 0.36f, 0.22f, 0.46f, 0.40f);
}

bool Spanner(float x, float y) {
    // A spanner across the face: a shaft with an open jaw at each end.
    float c = std::cos(Pi / 4), s = std::sin(Pi / 4);
    float u = x * c + y * s, v = -x * s + y * c; // along and across the shaft
    if (std::fabs(u) < 0.5f && std::fabs(v) < 0.09f)
        return true;
    for (float end : {-0.62f, 0.62f}) {
        float du = u - end, dv = v;
        float rr = du * du + dv * dv;
        bool ring = rr < 0.24f * 0.24f;
        float outward = end > 0 ? du : -du;
        bool jaw = std::fabs(dv) < 0.09f && outward > -0.06f;
        if (ring && !jaw)
            return true;
    }
    return false;
}

bool CargoStation(float x, float y) {
    // A depot: walls under a pitched roof with a big door, and a pennant on a mast.
    bool walls = InRect(x, y, -0.62f, -0.62f, 0.46f, 0.08f);
    bool roof = InPolygon(x, y, {{-0.74f, 0.06f}, {0.58f, 0.06f}, {-0.08f, 0.50f}});
    bool door =
        InRect(x, y, -0.36f, -0.62f, 0.12f, -0.14f) && std::fabs(std::fmod(y + 2.0f, 0.12f) - 0.06f) > 0.015f;
    if ((walls || roof) && !door)
        return true;
    if (InRect(x, y, 0.56f, -0.62f, 0.62f, 0.66f))
        return true; // mast
    return InPolygon(x, y, {{0.62f, 0.66f}, {0.62f, 0.40f}, {0.90f, 0.53f}});
}

void WriteCube(const TFileSink& sink, const std::string& name, TRgb background, const TSymbol& symbol) {
    // 8 units a side: the level loader scales the symbol cubes by 0.25 to 2 m.
    TMeshBuilder b;
    TArea whole{0, 0, 256, 256};
    TexturedBox(b, {-4, -4, -4}, {4, 4, 4}, whole, whole, whole, 256);
    TAtlas atlas(256, 256);
    atlas.Paint(0, 0, 256, 256, [&](float s, float t) {
        float x = s * 2 - 1, y = t * 2 - 1;
        float edge = std::max(std::fabs(x), std::fabs(y));
        if (edge > 0.93f)
            return Rgb(245, 245, 240); // white rim round every face
        if (edge > 0.88f)
            return Scale(background, 0.7f);
        TRgb c = Scale(background, 1.0f - 0.15f * edge);
        if (symbol(x, y))
            c = Rgb(250, 250, 246);
        return c;
    });
    sink("meshes/" + name + ".bmp", EncodeBMP(atlas.Image()));
    sink("meshes/" + name + ".3ds", Encode3DS(SingleMaterialModel("cube", "symbol", name + ".bmp", b)));
}

} // namespace

void WriteMarkers(const TFileSink& sink) {
    WriteGift(sink);
    WriteCube(sink, "cube_benzinka", Rgb(18, 132, 64), FuelPump);
    WriteCube(sink, "cube_service", Rgb(28, 74, 176), Spanner);
    WriteCube(sink, "cube_station", Rgb(196, 96, 20), CargoStation);
}

} // namespace models
