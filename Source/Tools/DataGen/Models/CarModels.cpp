#include "BMPWriter.h"
#include "CarShape.h"
#include "Writer3ds.h"

#include <stdexcept>

namespace models {

namespace {

using namespace carbody;

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

std::string FileName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

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
        // The wall of the dish faces the axle: the rubber lies outside it, the air inside.
        V3 mid = (i0 + d1) * 0.5f;
        V3 beyond{mid.x * 2, mid.y, mid.z * 2};
        UV edge = disc(0.6f, i), edge1 = disc(0.6f, i + 1);
        b.TriangleAway(i0, i1, d1, edge, edge1, edge1, beyond);
        b.TriangleAway(i0, d1, d0, edge, edge1, edge, beyond);
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
    sink(design.Directory + "/" + design.MeshFile,
         Encode3DS(SingleMaterialModel("body", "paint", texture, body)));
    sink(design.Directory + "/" + design.WheelFile,
         Encode3DS(SingleMaterialModel("wheel", "tyre", texture, wheel)));
    for (const TCarPalette& palette : design.Palettes)
        sink(palette.Path, EncodeBMP(PaintCarAtlas(design, palette).Image()));
    return MeasureCar(design);
}

} // namespace models
