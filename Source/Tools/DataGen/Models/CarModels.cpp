#include "CarModels.h"
#include "BMPWriter.h"
#include "Writer3ds.h"

#include <algorithm>
#include <stdexcept>

namespace models {

namespace {

// Atlas layout shared by every car (so a wheel can be drawn with any atlas of its model).
constexpr int AtlasSize = 512;
struct TRect {
    int X0, Y0, X1, Y1;
};
constexpr TRect SideRect{0, 0, 512, 160};
constexpr TRect TopRect{0, 160, 512, 352};
constexpr TRect FrontRect{0, 352, 128, 480};
constexpr TRect RearRect{128, 352, 256, 480};
constexpr TRect RimRect{256, 352, 384, 480};
constexpr TRect TreadRect{384, 352, 512, 416};
constexpr int SwatchX = 384, SwatchY = 416, SwatchCell = 16;

// Texture coordinate of (s, t) in 0..1 across an atlas area, kept 1.5 texels inside it so that
// linear filtering never reaches the neighbouring area.
UV AtRect(const TRect& r, float s, float t) {
    s = Clamp01(s);
    t = Clamp01(t);
    return {(float(r.X0) + 1.5f + s * float(r.X1 - r.X0 - 3)) / AtlasSize,
            (float(r.Y0) + 1.5f + t * float(r.Y1 - r.Y0 - 3)) / AtlasSize};
}

UV SwatchUV(int swatch) {
    int cx = SwatchX + (swatch % 8) * SwatchCell + SwatchCell / 2;
    int cy = SwatchY + (swatch / 8) * SwatchCell + SwatchCell / 2;
    return {float(cx) / AtlasSize, float(cy) / AtlasSize};
}

struct TRawTriangle {
    V3 P[3];
    int Swatch = -1;
};

float AreaOf(const TRawTriangle& t) { return 0.5f * Length(Cross(t.P[1] - t.P[0], t.P[2] - t.P[0])); }

// Everything the body builder and the painter derive from the design's curves.
class TBodyShape {
  public:
    explicit TBodyShape(const TCarDesign& d) : D(d) {
        std::vector<float> stations;
        for (const TCurve* curve : {&d.Bottom, &d.Belt, &d.Top, &d.HalfWidth, &d.TopHalfWidth})
            for (auto [x, y] : curve->Points)
                stations.push_back(x);
        stations.push_back(0);
        stations.push_back(d.Length);
        if (d.Arches)
            for (float axle : {d.FrontAxle, d.RearAxle}) {
                float reach = ArchRadius();
                for (int i = 0; i <= 8; ++i)
                    stations.push_back(axle - reach + reach * 2 * float(i) / 8);
            }
        if (d.BedFrom >= 0)
            for (float x : {d.BedFrom, d.BedFrom + 0.005f, d.BedTo, d.BedTo + 0.005f})
                stations.push_back(x);
        std::sort(stations.begin(), stations.end());
        for (float x : stations)
            if (x >= 0 && x <= d.Length && (Stations.empty() || x - Stations.back() > 0.0005f))
                Stations.push_back(x);
    }

    float ArchRadius() const { return D.WheelRadius + 0.05f; }
    float WellWidth() const { return D.WheelWidth + 0.12f; }

    float ArchTop(float d) const {
        float z = D.Bottom(d);
        if (!D.Arches)
            return z;
        for (float axle : {D.FrontAxle, D.RearAxle}) {
            float dx = d - axle, R = ArchRadius();
            if (std::fabs(dx) < R)
                z = std::max(z, D.WheelRadius + std::sqrt(R * R - dx * dx));
        }
        return std::min(z, D.Belt(d) - 0.12f);
    }

    bool InBed(float d) const { return D.BedFrom >= 0 && d > D.BedFrom + 0.001f && d < D.BedTo + 0.001f; }
    bool InCargo(float d) const { return D.CargoFrom >= 0 && d >= D.CargoFrom && d <= D.CargoTo; }
    bool Greenhouse(float d) const { return D.Top(d) - D.Belt(d) > 0.12f && !InCargo(d) && !InBed(d); }

    // Right half of the cross-section at d, counter-clockwise in (y, z) from the bottom centre
    // to the top centre; every section has the same number of points.
    std::vector<std::pair<float, float>> Section(float d) const {
        float zb = D.Bottom(d), za = ArchTop(d), belt = D.Belt(d), top = std::max(D.Top(d), belt + 0.01f);
        float hw = D.HalfWidth(d), ht = std::min(D.TopHalfWidth(d), hw - 0.02f);
        // Without arches the well points stay on the floor line, inside the rounded sill corner.
        float well = D.Arches ? std::min(WellWidth(), hw - 0.05f) : 0.06f;
        float g = Clamp01((top - belt - 0.02f) / 0.1f);
        float sideLow = std::min(za + 0.05f, belt - 0.07f);
        std::vector<std::pair<float, float>> s;
        s.emplace_back(0.0f, zb);
        s.emplace_back(hw - well - 0.001f, zb);
        s.emplace_back(hw - well, za);
        s.emplace_back(hw - 0.04f, za);
        s.emplace_back(hw, sideLow);
        s.emplace_back(hw, belt - 0.06f);
        s.emplace_back(hw - 0.03f, belt);
        float y7 = hw - 0.05f + (ht - (hw - 0.05f)) * g;
        float y8 = hw - 0.10f + (ht - 0.06f - (hw - 0.10f)) * g;
        s.emplace_back(y7, std::max(belt + 0.01f, top - 0.05f));
        if (InBed(d)) {
            float inner = hw - D.BedWall;
            s.emplace_back(inner, top);
            s.emplace_back(inner - 0.001f, D.BedFloor);
            s.emplace_back(0.0f, D.BedFloor);
        } else {
            s.emplace_back(y8, top);
            s.emplace_back(y8 * 0.5f, top + D.Crown * 0.75f);
            s.emplace_back(0.0f, top + D.Crown);
        }
        return s;
    }

    // Half width of the body at height z of station d; negative where the section does not reach.
    float HalfWidthAt(float d, float z) const {
        float zb = D.Bottom(d), belt = D.Belt(d), top = std::max(D.Top(d), belt + 0.01f) + D.Crown;
        if (z < zb || z > top)
            return -1;
        float hw = D.HalfWidth(d);
        if (z <= belt)
            return hw;
        float ht = std::min(D.TopHalfWidth(d), hw - 0.02f);
        return hw + (ht - hw) * Clamp01((z - belt) / std::max(0.01f, top - belt));
    }

    const TCarDesign& D;
    std::vector<float> Stations;
};

std::vector<TRawTriangle> BodyTriangles(const TCarDesign& design, const TBodyShape& shape) {
    std::vector<TRawTriangle> out;
    auto ring = [&](float d) {
        auto half = shape.Section(d);
        std::vector<V3> points;
        for (auto [y, z] : half)
            points.push_back({d, y, z});
        for (size_t i = half.size() - 2; i >= 1; --i)
            points.push_back({d, -half[i].first, half[i].second});
        return points;
    };
    auto add = [&](V3 a, V3 b, V3 c, int swatch) {
        TRawTriangle t{{a, b, c}, swatch};
        if (AreaOf(t) > 1e-6f)
            out.push_back(t);
    };
    std::vector<V3> previous = ring(shape.Stations.front());
    for (size_t i = 1; i < shape.Stations.size(); ++i) {
        std::vector<V3> current = ring(shape.Stations[i]);
        size_t n = current.size();
        for (size_t k = 0; k < n; ++k) {
            size_t k1 = (k + 1) % n;
            add(previous[k], previous[k1], current[k1], -1);
            add(previous[k], current[k1], current[k], -1);
        }
        previous = std::move(current);
    }
    // End caps: fans from the middle of the first and the last section.
    for (bool front : {true, false}) {
        std::vector<V3> points = ring(front ? shape.Stations.front() : shape.Stations.back());
        float lo = 1e9f, hi = -1e9f;
        for (const V3& p : points) {
            lo = std::min(lo, p.z);
            hi = std::max(hi, p.z);
        }
        V3 centre{points[0].x, 0, (lo + hi) / 2};
        for (size_t k = 0; k < points.size(); ++k) {
            const V3& a = points[k];
            const V3& b = points[(k + 1) % points.size()];
            if (front)
                add(centre, b, a, -1);
            else
                add(centre, a, b, -1);
        }
    }
    return out;
}

void BoxTriangles(std::vector<TRawTriangle>& out, V3 lo, V3 hi, int swatch) {
    V3 c[8];
    for (int i = 0; i < 8; ++i)
        c[i] = {(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
    const int quads[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
    V3 middle = (lo + hi) * 0.5f;
    for (const auto& q : quads)
        for (int tri = 0; tri < 2; ++tri) {
            V3 a = c[q[0]], b = c[q[tri + 1]], d = c[q[tri + 2]];
            V3 n = Cross(b - a, d - a);
            if (Dot(n, (a + b + d) * (1.0f / 3) - middle) < 0)
                std::swap(b, d);
            out.push_back({{a, b, d}, swatch});
        }
}

struct TBodyBuild {
    std::vector<TRawTriangle> Triangles;
    V3 Lo, Hi;
    float Clearance = 0;
};

TBodyBuild BuildRawBody(const TCarDesign& design) {
    TBodyShape shape(design);
    TBodyBuild build;
    build.Triangles = BodyTriangles(design, shape);
    for (const TBodyBox& box : design.Boxes) {
        BoxTriangles(build.Triangles, box.Lo, box.Hi, box.Swatch);
        if (box.Mirrored)
            BoxTriangles(build.Triangles, {box.Lo.x, -box.Hi.y, box.Lo.z}, {box.Hi.x, -box.Lo.y, box.Hi.z},
                         box.Swatch);
    }
    V3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    for (const TRawTriangle& t : build.Triangles)
        for (const V3& p : t.P) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
    // The vehicle hangs its wheels H - 2r below the body centre and draws the mesh r lower, so the
    // mesh's lowest point sits H/2 - 2r above the ground: with the roof at `top` that is
    // (top - 4r) / 3. A dark under-tray between the axles reaches down to exactly that height.
    float r = design.WheelRadius;
    float clearance = (hi.z - 4 * r) / 3;
    if (clearance > lo.z + 1e-4f)
        throw std::runtime_error(design.Name + ": the body reaches below the height its wheels give it (" +
                                 std::to_string(lo.z) + " m < " + std::to_string(clearance) + " m)");
    if (clearance < 0.04f)
        throw std::runtime_error(design.Name + ": wheels too large for the body height, clearance " +
                                 std::to_string(clearance) + " m");
    if (lo.z - clearance > 0.001f) {
        float inner = design.HalfWidth(design.Length / 2) - design.WheelWidth - 0.2f;
        BoxTriangles(build.Triangles, {design.FrontAxle + r + 0.08f, -inner, clearance},
                     {design.RearAxle - r - 0.08f, inner, lo.z + 0.02f}, swDarkGrey);
        lo.z = clearance;
    }
    if (lo.x < -1e-4f || hi.x > design.Length + 1e-4f)
        throw std::runtime_error(design.Name + ": parts stick out of the body length");
    build.Lo = lo;
    build.Hi = hi;
    build.Clearance = clearance;
    return build;
}

// ---- painting --------------------------------------------------------------------------------

const TRgb Black = Rgb(16, 16, 18);
const TRgb Chrome = Rgb(205, 208, 212);
const TRgb DarkGrey = Rgb(46, 46, 50);
const TRgb Amber = Rgb(240, 150, 30);
const TRgb LampRed = Rgb(200, 20, 20);
const TRgb White = Rgb(235, 235, 228);
const TRgb Rubber = Rgb(28, 28, 30);

TRgb SwatchColour(int swatch, const TCarPalette& p) {
    switch (swatch) {
    case swPaint:
        return p.Paint;
    case swBlack:
        return Black;
    case swChrome:
        return Chrome;
    case swDarkGrey:
        return DarkGrey;
    case swAmber:
        return Amber;
    case swRed:
        return LampRed;
    case swGlass:
        return Rgb(45, 60, 75);
    case swWhite:
        return White;
    case swCargo:
        return p.Cargo;
    case swRubber:
        return Rubber;
    default:
        return Rgb(255, 0, 255);
    }
}

class TCarPainter {
  public:
    TCarPainter(const TCarDesign& d, const TCarPalette& p, const TBodyBuild& b)
        : D(d), P(p), Shape(d), Top(b.Hi.z), HalfW(std::max(b.Hi.y, -b.Lo.y)) {}

    TRgb PaintAt(float shade, float sparkleX, float sparkleY) const {
        TRgb c = Scale(P.Paint, shade);
        if (P.Metallic) {
            float n = Hash2(int(sparkleX * 900), int(sparkleY * 900), 7) - 0.5f;
            c = Scale(c, 1.0f + n * 0.08f);
        }
        return c;
    }

    TRgb Glass(float a, float b) const {
        // A dark pane with a soft sky reflection and one diagonal streak.
        TRgb c = Mix(Rgb(32, 42, 54), Rgb(92, 112, 132), Clamp01(b));
        float streak = std::fabs(std::fmod(a * 3 + b * 1.2f + 10.0f, 1.0f) - 0.5f);
        if (streak < 0.06f)
            c = Mix(c, Rgb(170, 185, 200), 0.45f);
        return c;
    }

    TRgb Bumper(float s, float t) const {
        if (D.ChromeBumpers)
            return Mix(Rgb(150, 152, 158), Rgb(240, 242, 246), 0.5f + 0.5f * std::sin(t * 40));
        return Mix(Rgb(24, 24, 26), Rgb(52, 52, 56), t);
    }

    TRgb Plate(float s, float t) const {
        // s, t across the plate 0..1: a white plate with a dark border and blocky characters.
        if (s < 0.04f || s > 0.96f || t < 0.1f || t > 0.9f)
            return Rgb(30, 30, 30);
        if (s > 0.08f && s < 0.92f && t > 0.25f && t < 0.75f) {
            int ch = int((s - 0.08f) / 0.84f * 7);
            float cs = std::fmod((s - 0.08f) / 0.84f * 7, 1.0f);
            if (ch != 3 && cs > 0.15f && cs < 0.85f && Hash2(ch, int(t * 5), 11) > 0.35f)
                return Rgb(20, 20, 24);
        }
        return Rgb(238, 238, 232);
    }

    TRgb CargoSide(float d, float z) const {
        float rel = (d - D.CargoFrom) / (D.CargoTo - D.CargoFrom);
        TRgb c = P.Cargo;
        if (D.CargoTarp) {
            // Tarpaulin over hoops: vertical folds, a rope along the bottom, straps.
            c = Scale(c, 0.9f + 0.1f * std::sin(rel * 60));
            if (std::fabs(std::fmod(rel * 6 + 0.5f, 1.0f) - 0.5f) < 0.012f)
                c = Scale(c, 0.6f);
            if (z < D.CargoBottom + 0.25f)
                c = z < D.CargoBottom + 0.08f ? Rgb(70, 60, 45) : Scale(P.Cargo, 0.8f);
        } else {
            // Ribbed aluminium box.
            c = Scale(c, 0.92f + 0.08f * (std::sin(rel * 140) > 0 ? 1.0f : 0.0f));
            if (z < D.CargoBottom + 0.08f || z > Top - 0.06f)
                c = Rgb(120, 122, 126);
        }
        return c;
    }

    TRgb Side(float d, float z) const {
        float zb = D.Bottom(d);
        if (z < zb - 0.003f)
            return DarkGrey;
        if (D.Arches)
            for (float axle : {D.FrontAxle, D.RearAxle}) {
                float dx = d - axle, dz = z - D.WheelRadius, R = Shape.ArchRadius();
                if (dx * dx + dz * dz < R * R && z < Shape.ArchTop(d) + 0.001f)
                    return Rgb(14, 14, 16);
                // A dark lip around the arch.
                if (dx * dx + dz * dz < (R + 0.03f) * (R + 0.03f) && z > zb)
                    return Scale(P.Paint, 0.55f);
            }
        if (Shape.InCargo(d) && z >= D.CargoBottom - 0.01f)
            return CargoSide(d, z);
        float belt = D.Belt(d), top = D.Top(d);
        if (Shape.Greenhouse(d) && z > belt + 0.01f) {
            for (auto [from, to] : D.Windows) {
                float m = D.PillarMargin;
                bool inside = d > from && d < to && z > belt + 0.035f && z < top - 0.05f &&
                              D.Top(d - m) > z + 0.045f && D.Top(d + m) > z + 0.045f;
                if (inside)
                    return Glass((d - from) / (to - from) * 0.6f, (z - belt) / std::max(0.1f, top - belt));
            }
            // Window rubbers and the pillars between panes are dark; above and beside them, paint.
            for (auto [from, to] : D.Windows)
                if (d > from - 0.03f && d < to + 0.03f && z < top - 0.02f)
                    return Rgb(24, 24, 26);
            return PaintAt(0.95f, d, z);
        }
        float shade = 0.72f + 0.3f * SmoothStep(zb, belt, z);
        if (z > belt - 0.09f && z < belt - 0.06f)
            shade *= 1.12f; // the crease under the shoulder catches the light
        TRgb c = PaintAt(shade, d, z);
        if (P.Stripes && z > belt - 0.20f && z < belt - 0.14f)
            c = P.Accent;
        for (float line : D.DoorLines)
            if (std::fabs(d - line) < 0.007f && z > zb + 0.04f && z < top - 0.04f)
                c = Scale(c, 0.45f);
        for (size_t i = 0; i + 1 < D.DoorLines.size(); i += 2) {
            // A handle behind the leading edge of each door.
            float h0 = D.DoorLines[i + 1] - 0.30f;
            if (d > h0 && d < h0 + 0.14f && z > belt - 0.11f && z < belt - 0.08f)
                c = D.ChromeBumpers ? Chrome : Black;
        }
        if (z < zb + 0.06f)
            c = Scale(c, 0.65f);
        bool bumperZone = d < D.BumperDepth || d > D.Length - D.BumperDepth;
        if (bumperZone && z > D.BumperLo && z < D.BumperHi)
            c = Bumper(d, (z - D.BumperLo) / (D.BumperHi - D.BumperLo));
        // Side marker lamps at both ends, just above the bumper.
        if (z > D.BumperHi + 0.03f && z < D.BumperHi + 0.08f) {
            if (d > 0.08f && d < 0.2f && !Shape.InCargo(d))
                c = Amber;
            if (d > D.Length - 0.2f && d < D.Length - 0.08f && !Shape.InCargo(d))
                c = LampRed;
        }
        return c;
    }

    TRgb TopView(float d, float y) const {
        float ay = std::fabs(y), hw = D.HalfWidth(d);
        if (ay > hw + 0.004f)
            return Rgb(22, 22, 24); // mirrors and what else sticks out
        if (Shape.InCargo(d)) {
            float rel = (d - D.CargoFrom) / (D.CargoTo - D.CargoFrom);
            TRgb c = Scale(P.Cargo, 1.05f - 0.25f * (ay / hw) * (ay / hw));
            if (D.CargoTarp && std::fabs(std::fmod(rel * 6 + 0.5f, 1.0f) - 0.5f) < 0.015f)
                c = Scale(c, 0.6f);
            if (!D.CargoTarp && (ay > hw - 0.05f || std::fabs(std::fmod(rel * 8, 1.0f) - 0.5f) < 0.02f))
                c = Rgb(120, 122, 126);
            return c;
        }
        if (Shape.InBed(d) && ay < hw - D.BedWall) {
            bool rib = std::fabs(std::fmod(y * 6 + 20.0f, 1.0f) - 0.5f) < 0.12f;
            return rib ? Rgb(70, 70, 74) : Rgb(48, 48, 52);
        }
        float edge = (ay / hw) * (ay / hw);
        TRgb c = PaintAt(1.08f - 0.3f * edge, d, y);
        float ht = std::min(D.TopHalfWidth(d), hw - 0.02f);
        if (Shape.Greenhouse(d) && ay < ht) {
            float slope = std::fabs(D.Top.Slope(d));
            float m = 0.05f;
            bool steep = std::fabs(D.Top.Slope(d - m)) > D.GlassSlope && std::fabs(D.Top.Slope(d + m)) > D.GlassSlope;
            if (slope > D.GlassSlope && steep && ay < ht - 0.07f)
                return Glass(ay * 0.8f + d * 0.1f, 0.5f + 0.4f * y / ht);
            if (slope <= D.GlassSlope && D.RoofRack && ay < ht - 0.1f && std::fabs(std::fmod(d * 4, 1.0f) - 0.5f) < 0.06f)
                return Chrome;
            if (slope > D.GlassSlope)
                c = Scale(c, 0.8f);
        }
        if (P.Stripes && ay > 0.06f && ay < 0.19f)
            c = P.Accent;
        // Panel lines of the bonnet and boot lid.
        if (!Shape.Greenhouse(d) && std::fabs(ay - (hw - 0.09f)) < 0.006f && d > D.BumperDepth + 0.05f &&
            d < D.Length - D.BumperDepth - 0.05f)
            c = Scale(c, 0.5f);
        if (d < D.BumperDepth || d > D.Length - D.BumperDepth)
            c = Bumper(d, 0.5f);
        return c;
    }

    TRgb LampColour(const TLampSpot& lamp, float y, float z, TRgb glass, TRgb rim, bool& hit) const {
        float ly = lamp.Y, ay = lamp.Y == 0 ? y : std::fabs(y);
        bool in = lamp.Round ? InEllipse(ay, z, ly, lamp.Z, lamp.HalfW, lamp.HalfH)
                             : InRoundRect(ay, z, ly - lamp.HalfW, lamp.Z - lamp.HalfH, ly + lamp.HalfW,
                                           lamp.Z + lamp.HalfH, std::min(lamp.HalfW, lamp.HalfH) * 0.3f);
        hit = in;
        if (!in)
            return {};
        float ex = (ay - ly) / lamp.HalfW, ez = (z - lamp.Z) / lamp.HalfH;
        float rr = lamp.Round ? std::sqrt(ex * ex + ez * ez) : std::max(std::fabs(ex), std::fabs(ez));
        if (rr > 0.82f)
            return rim;
        return Mix(glass, White, Clamp01(0.6f - rr) * 0.8f);
    }

    // The frontmost (or rearmost) station whose section covers (y, z).
    float HitStation(float y, float z, bool front) const {
        const auto& s = Shape.Stations;
        for (size_t i = 0; i < s.size(); ++i) {
            float d = front ? s[i] : s[s.size() - 1 - i];
            float hw = Shape.HalfWidthAt(d, z);
            if (hw >= 0 && std::fabs(y) <= hw + 0.002f) {
                if (Shape.InBed(d) && std::fabs(y) < D.HalfWidth(d) - D.BedWall && z > D.BedFloor)
                    continue;
                return d;
            }
        }
        return front ? 0.0f : D.Length;
    }

    TRgb End(float y, float z, bool front) const {
        float d = HitStation(y, z, front);
        float ay = std::fabs(y);
        float belt = D.Belt(d), top = D.Top(d);
        // Plate, lamps and bumper first: on trucks they sit on boxes below the cab and the load.
        float plateZ = front ? D.PlateZ : D.RearPlateZ;
        if (ay < 0.26f && std::fabs(z - plateZ) < 0.06f)
            return Plate(front ? (0.26f - y) / 0.52f : (y + 0.26f) / 0.52f, (z - plateZ + 0.06f) / 0.12f);
        bool hit = false;
        for (const TLampSpot& lamp : front ? D.HeadLamps : D.TailLamps) {
            TRgb l = front ? LampColour(lamp, y, z, Rgb(205, 210, 200), Chrome, hit)
                           : LampColour(lamp, y, z, Rgb(190, 16, 16), Rgb(90, 10, 10), hit);
            if (hit) {
                // Tail lamps carry a white reversing segment on their inner end.
                if (!front && !lamp.Round && ay < lamp.Y - lamp.HalfW * 0.45f)
                    l = Rgb(225, 225, 220);
                return l;
            }
        }
        if (front)
            for (const TLampSpot& lamp : D.Indicators) {
                TRgb l = LampColour(lamp, y, z, Amber, Rgb(120, 70, 10), hit);
                if (hit)
                    return l;
            }
        if (z > D.BumperLo && z < D.BumperHi)
            return Bumper(y, (z - D.BumperLo) / (D.BumperHi - D.BumperLo));
        if (z < D.Bottom(d) - 0.003f)
            return DarkGrey;
        if (Shape.InCargo(d)) {
            TRgb c = P.Cargo;
            if (!front) {
                // Rear doors: a centre seam, hinges and lock bars.
                if (ay < 0.012f || std::fabs(ay - 0.45f * D.HalfWidth(d)) < 0.015f)
                    c = Scale(c, 0.55f);
                if (z < D.CargoBottom + 0.07f || z > Top - 0.07f || ay > D.HalfWidth(d) - 0.06f)
                    c = Rgb(110, 112, 116);
            } else if (z > Top - 0.08f && ay < 0.6f) {
                c = Amber; // clearance lamps over the cab
            }
            return c;
        }
        if (Shape.Greenhouse(d) && z > belt + 0.015f) {
            float hwz = Shape.HalfWidthAt(d, z);
            if (ay < hwz - 0.08f && z < top - 0.045f && z > belt + 0.05f)
                return Glass(y * 0.4f + (front ? 0.0f : 0.3f), (z - belt) / std::max(0.1f, top - belt));
            return Scale(PaintAt(0.95f, y, z), 0.85f);
        }
        TRgb c = PaintAt(0.92f + 0.1f * SmoothStep(D.Bottom(d), belt, z), y, z);
        if (P.Stripes && ay > 0.06f && ay < 0.19f && z > belt - 0.25f)
            c = P.Accent;
        if (front && D.Grille.HalfW > 0 &&
            InRoundRect(y, z, -D.Grille.HalfW, D.Grille.Z - D.Grille.HalfH, D.Grille.HalfW,
                        D.Grille.Z + D.Grille.HalfH, 0.02f)) {
            bool bar = std::fabs(std::fmod((z - D.Grille.Z) * 28 + 10.0f, 1.0f) - 0.5f) < 0.18f;
            c = D.GrilleChrome ? (bar ? Chrome : Rgb(20, 20, 22)) : (bar ? Rgb(55, 55, 60) : Rgb(14, 14, 16));
            if (std::fabs(ay - D.Grille.HalfW) < 0.02f || std::fabs(z - D.Grille.Z) > D.Grille.HalfH - 0.015f)
                c = D.GrilleChrome ? Chrome : Rgb(30, 30, 32);
        }
        return c;
    }

    TRgb Rim(float s, float t) const {
        float x = s * 2 - 1, y = t * 2 - 1, rr = std::sqrt(x * x + y * y);
        float rim = RimFraction;
        if (rr > 1.0f)
            return Rubber;
        if (rr > rim) {
            // Sidewall with a raised ring of lettering.
            TRgb c = Rgb(34, 34, 36);
            float a = std::atan2(y, x);
            if (rr > rim + (1 - rim) * 0.45f && rr < rim + (1 - rim) * 0.62f &&
                std::fabs(std::sin(a * 24)) > 0.7f && std::sin(a * 3) > 0.2f)
                c = Rgb(78, 78, 80);
            return c;
        }
        float a = std::atan2(y, x), q = rr / rim;
        TRgb metal = D.RimColour;
        switch (D.Rim) {
        case TRim::Steel: {
            TRgb c = Scale(metal, 0.9f + 0.1f * q);
            if (q > 0.55f && q < 0.72f && std::fabs(std::sin(a * 4)) > 0.85f)
                return Rgb(20, 20, 22); // ventilation holes
            if (q < 0.3f)
                c = Scale(metal, 1.1f);
            if (q > 0.92f)
                c = Scale(metal, 0.7f);
            return c;
        }
        case TRim::ChromeSpokes: {
            if (q > 0.9f || q < 0.28f)
                return Chrome;
            float spoke = std::fabs(std::sin(a * 2.5f));
            return spoke < 0.3f ? Chrome : Rgb(30, 30, 34);
        }
        case TRim::Alloy: {
            if (q > 0.9f)
                return Scale(metal, 0.85f);
            if (q < 0.25f)
                return Scale(metal, 1.05f);
            float spoke = std::fabs(std::sin(a * 5));
            return spoke < 0.45f ? Scale(metal, 1.0f + 0.1f * q) : Rgb(36, 36, 40);
        }
        case TRim::Hubcap: {
            TRgb c = Scale(Chrome, 0.85f + 0.15f * std::cos(q * 18));
            if (q > 0.95f)
                c = Rgb(40, 40, 44);
            return c;
        }
        case TRim::Truck: {
            TRgb c = Scale(metal, 0.85f + 0.15f * q);
            if (q < 0.42f)
                c = Rgb(60, 60, 62);
            for (int i = 0; i < 8; ++i) {
                float na = float(i) * 0.785398f;
                if (InEllipse(x / rim, y / rim, 0.3f * std::cos(na), 0.3f * std::sin(na), 0.05f, 0.05f))
                    return Chrome;
            }
            if (q > 0.62f && q < 0.78f && std::fabs(std::sin(a * 5)) > 0.8f)
                return Rgb(20, 20, 22);
            return c;
        }
        }
        return metal;
    }

    TRgb Tread(float s, float t) const {
        // s around the tyre, t across it: blocks with a centre groove, worn shoulders.
        TRgb c = Rgb(36, 36, 38);
        float across = std::fabs(t - 0.5f);
        if (across > 0.42f)
            return Rgb(30, 30, 32);
        bool groove = across < 0.03f || std::fabs(across - 0.22f) < 0.025f;
        bool sipe = std::fabs(std::fmod(s * 48 + (t > 0.5f ? 0.5f : 0.0f), 1.0f) - 0.5f) < 0.12f;
        if (groove || sipe)
            c = Rgb(14, 14, 15);
        return c;
    }

    const TCarDesign& D;
    const TCarPalette& P;
    TBodyShape Shape;
    float Top, HalfW;
    float RimFraction = 0.62f;
};

// Texture coordinates of one body triangle: the view its normal faces most.
void AddProjected(TMeshBuilder& builder, const TRawTriangle& t, const TCarDesign& design, float top,
                  float halfWidth) {
    if (t.Swatch >= 0) {
        UV uv = SwatchUV(t.Swatch);
        builder.Triangle(t.P[0], t.P[1], t.P[2], uv, uv, uv);
        return;
    }
    V3 n = Cross(t.P[1] - t.P[0], t.P[2] - t.P[0]);
    float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    V3 centre = (t.P[0] + t.P[1] + t.P[2]) * (1.0f / 3);
    UV uv[3];
    bool bed = design.BedFrom >= 0 && centre.x > design.BedFrom - 0.01f && centre.x < design.BedTo + 0.02f &&
               std::fabs(centre.y) < design.HalfWidth(centre.x) - design.BedWall + 0.003f &&
               centre.z < design.Top(centre.x) - 0.005f && centre.z > design.BedFloor - 0.01f;
    for (int i = 0; i < 3; ++i) {
        const V3& p = t.P[i];
        float s = p.x / design.Length;
        if (bed)
            uv[i] = SwatchUV(swDarkGrey);
        else if (n.z < 0 && az >= ax && az >= ay)
            uv[i] = SwatchUV(swDarkGrey);
        else if (az >= ax && az >= ay)
            uv[i] = AtRect(TopRect, s, (p.y + halfWidth) / (2 * halfWidth));
        else if (ay >= ax)
            uv[i] = AtRect(SideRect, s, p.z / top);
        else if (n.x < 0)
            uv[i] = AtRect(FrontRect, (halfWidth - p.y) / (2 * halfWidth), p.z / top);
        else
            uv[i] = AtRect(RearRect, (p.y + halfWidth) / (2 * halfWidth), p.z / top);
    }
    builder.Triangle(t.P[0], t.P[1], t.P[2], uv[0], uv[1], uv[2]);
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

} // namespace

TMeshBuilder BuildCarBody(const TCarDesign& design, float& clearance) {
    TBodyBuild build = BuildRawBody(design);
    float halfWidth = std::max(build.Hi.y, -build.Lo.y);
    TMeshBuilder builder;
    for (const TRawTriangle& t : build.Triangles)
        AddProjected(builder, t, design, build.Hi.z, halfWidth);
    clearance = build.Clearance;
    return builder;
}

TMeshBuilder BuildWheel(const TCarDesign& design) {
    // Axle along y, the outer face (rim) at -y: the vehicle draws the mesh unturned on its -y side
    // and turned half round about x on its +y side. Centred on the origin; radius = WheelRadius.
    const int segments = 16;
    
    float r = design.WheelRadius, w = design.WheelWidth;
    float shoulder = std::min(0.025f, r * 0.08f), rimR = r * 0.62f, dish = std::min(0.03f, w * 0.2f);
    TMeshBuilder b;
    V3 centre{0, 0, 0};
    auto at = [&](float radius, float y, int i) {
        float a = 2 * Pi * float(i % segments) / segments;
        return V3{radius * std::cos(a), y, radius * std::sin(a)};
    };
    auto disc = [&](float fraction, int i) {
        float a = 2 * Pi * float(i % segments) / segments;
        return AtRect(RimRect, 0.5f + 0.5f * fraction * std::cos(a), 0.5f + 0.5f * fraction * std::sin(a));
    };
    // Tread: three bands across the width (rounded shoulders), texture once around.
    const float ys[4] = {-w / 2, -w / 2 + shoulder, w / 2 - shoulder, w / 2};
    const float rs[4] = {r - shoulder, r, r, r - shoulder};
    for (int i = 0; i < segments; ++i)
        for (int band = 0; band < 3; ++band) {
            float s0 = float(i) / segments, s1 = float(i + 1) / segments;
            float t0 = (ys[band] + w / 2) / w, t1 = (ys[band + 1] + w / 2) / w;
            V3 a = at(rs[band], ys[band], i), bb = at(rs[band], ys[band], i + 1);
            V3 c = at(rs[band + 1], ys[band + 1], i + 1), d = at(rs[band + 1], ys[band + 1], i);
            UV ta = AtRect(TreadRect, s0, t0), tb = AtRect(TreadRect, s1, t0);
            UV tc = AtRect(TreadRect, s1, t1), td = AtRect(TreadRect, s0, t1);
            V3 axis{0, (ys[band] + ys[band + 1]) / 2, 0};
            b.TriangleAway(a, bb, c, ta, tb, tc, axis);
            b.TriangleAway(a, c, d, ta, tc, td, axis);
        }
    float outer = -w / 2, rimFace = -w / 2 + dish;
    float fr = (r - shoulder) / r;
    for (int i = 0; i < segments; ++i) {
        // Outer sidewall ring, the step down into the dish, the rim face and its hub.
        V3 o0 = at(r - shoulder, outer, i), o1 = at(r - shoulder, outer, i + 1);
        V3 i0 = at(rimR, outer, i), i1 = at(rimR, outer, i + 1);
        V3 outside{0, 10, 0};
        b.TriangleAway(o0, o1, i1, disc(fr, i), disc(fr, i + 1), disc(0.62f, i + 1), outside);
        b.TriangleAway(o0, i1, i0, disc(fr, i), disc(0.62f, i + 1), disc(0.62f, i), outside);
        V3 d0 = at(rimR, rimFace, i), d1 = at(rimR, rimFace, i + 1);
        V3 axis{0, 0, 0};
        UV edge = disc(0.6f, i), edge1 = disc(0.6f, i + 1);
        b.TriangleAway(i0, i1, d1, edge, edge1, edge1, axis);
        b.TriangleAway(i0, d1, d0, edge, edge1, edge, axis);
        V3 hub{0, rimFace, 0};
        b.TriangleAway(d0, d1, hub, disc(0.6f, i), disc(0.6f, i + 1), AtRect(RimRect, 0.5f, 0.5f), outside);
        // Inner face: plain dark.
        V3 n0 = at(r - shoulder, w / 2, i), n1 = at(r - shoulder, w / 2, i + 1);
        UV dark = SwatchUV(swRubber);
        b.TriangleAway(n0, n1, V3{0, w / 2, 0}, dark, dark, dark, V3{0, -10, 0});
    }
    (void)centre;
    return b;
}

TAtlas PaintCarAtlas(const TCarDesign& design, const TCarPalette& palette) {
    TBodyBuild build = BuildRawBody(design);
    TCarPainter painter(design, palette, build);
    float L = design.Length, T = painter.Top, W = painter.HalfW;
    TAtlas atlas(AtlasSize, AtlasSize);
    atlas.Paint(SideRect.X0, SideRect.Y0, SideRect.X1, SideRect.Y1,
                [&](float s, float t) { return painter.Side(s * L, t * T); });
    atlas.Paint(TopRect.X0, TopRect.Y0, TopRect.X1, TopRect.Y1,
                [&](float s, float t) { return painter.TopView(s * L, t * 2 * W - W); });
    atlas.Paint(FrontRect.X0, FrontRect.Y0, FrontRect.X1, FrontRect.Y1,
                [&](float s, float t) { return painter.End(W - s * 2 * W, t * T, true); });
    atlas.Paint(RearRect.X0, RearRect.Y0, RearRect.X1, RearRect.Y1,
                [&](float s, float t) { return painter.End(s * 2 * W - W, t * T, false); });
    atlas.Paint(RimRect.X0, RimRect.Y0, RimRect.X1, RimRect.Y1,
                [&](float s, float t) { return painter.Rim(s, t); });
    atlas.Paint(TreadRect.X0, TreadRect.Y0, TreadRect.X1, TreadRect.Y1,
                [&](float s, float t) { return painter.Tread(s, t); });
    atlas.Paint(SwatchX, SwatchY, AtlasSize, AtlasSize, [&](float s, float t) {
        int col = std::min(7, int(s * 8)), row = std::min(5, int(t * 6));
        return SwatchColour(row * 8 + col, palette);
    });
    atlas.Paint(0, 480, SwatchX, AtlasSize, [&](float, float) { return DarkGrey; });
    return atlas;
}

TCarGeometry MeasureCar(const TCarDesign& design) {
    TBodyBuild build = BuildRawBody(design);
    TCarGeometry g;
    g.Name = design.Name;
    g.Length = build.Hi.x - build.Lo.x;
    g.Width = build.Hi.y - build.Lo.y;
    g.Height = build.Hi.z - build.Lo.z;
    g.WheelRadius = design.WheelRadius;
    g.WheelWidth = design.WheelWidth;
    float centreX = (build.Hi.x + build.Lo.x) / 2, centreZ = (build.Hi.z + build.Lo.z) / 2;
    g.FrontAxle = (centreX - design.FrontAxle) / g.Length;
    g.RearAxle = (design.RearAxle - centreX) / g.Length;
    g.HalfTrack = std::min(design.HalfWidth(design.FrontAxle), design.HalfWidth(design.RearAxle)) -
                  design.TrackInset - design.WheelWidth / 2;
    g.Clearance = build.Clearance;
    // Body frame: origin at the chassis body, which sits r above the mesh centre.
    const TLampSpot& head = design.HeadLamps.front();
    const TLampSpot& tail = design.TailLamps.front();
    g.FrontLamp = {0.02f - centreX, head.Y, head.Z - centreZ - design.WheelRadius};
    g.RearLamp = {design.Length - 0.02f - centreX, tail.Y, tail.Z - centreZ - design.WheelRadius};
    float clearance = 0;
    g.BodyTriangles = BuildCarBody(design, clearance).TriangleCount();
    g.WheelTriangles = BuildWheel(design).TriangleCount();
    return g;
}

TCarGeometry WriteCar(const TCarDesign& design, const TFileSink& sink) {
    if (design.Palettes.empty())
        throw std::runtime_error(design.Name + ": no palette");
    float clearance = 0;
    TMeshBuilder body = BuildCarBody(design, clearance);
    TMeshBuilder wheel = BuildWheel(design);
    std::string texture = FileName(design.Palettes.front().Path);
    sink(design.Directory + "/" + design.MeshFile, Encode3DS(SingleMaterialModel("body", "paint", texture, body)));
    sink(design.Directory + "/" + design.WheelFile, Encode3DS(SingleMaterialModel("wheel", "tyre", texture, wheel)));
    for (const TCarPalette& palette : design.Palettes)
        sink(palette.Path, EncodeBMP(PaintCarAtlas(design, palette).Image()));
    return MeasureCar(design);
}

} // namespace models
