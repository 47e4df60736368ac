#include "CarShape.h"

#include <stdexcept>
#include <string>

namespace models::carbody {

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

namespace {

float AreaOf(const TRawTriangle& t) {
    return 0.5f * Length(Cross(t.P[1] - t.P[0], t.P[2] - t.P[0]));
}

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
    const int quads[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                             {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
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

} // namespace

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

} // namespace models::carbody
