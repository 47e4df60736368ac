#include "ModelKit.h"

#include <algorithm>
#include <stdexcept>

namespace models {

float Clamp01(float v) {
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

float SmoothStep(float edge0, float edge1, float v) {
    float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

float Hash2(int x, int y, int seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return float(h & 0xffffff) / float(0x1000000);
}

float Noise2(float x, float y, int seed) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    float fx = x - float(ix), fy = y - float(iy);
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = Hash2(ix, iy, seed), b = Hash2(ix + 1, iy, seed);
    float c = Hash2(ix, iy + 1, seed), d = Hash2(ix + 1, iy + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

bool InRect(float x, float y, float x0, float y0, float x1, float y1) {
    return x >= std::min(x0, x1) && x <= std::max(x0, x1) && y >= std::min(y0, y1) && y <= std::max(y0, y1);
}

bool InRoundRect(float x, float y, float x0, float y0, float x1, float y1, float radius) {
    if (!InRect(x, y, x0, y0, x1, y1))
        return false;
    float lx = std::min(x0, x1) + radius, hx = std::max(x0, x1) - radius;
    float ly = std::min(y0, y1) + radius, hy = std::max(y0, y1) - radius;
    float dx = x < lx ? lx - x : x > hx ? x - hx : 0;
    float dy = y < ly ? ly - y : y > hy ? y - hy : 0;
    return dx * dx + dy * dy <= radius * radius;
}

bool InEllipse(float x, float y, float cx, float cy, float rx, float ry) {
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1;
}

float SegmentDistance(float x, float y, float ax, float ay, float bx, float by) {
    float vx = bx - ax, vy = by - ay;
    float len2 = vx * vx + vy * vy;
    float t = len2 > 0 ? Clamp01(((x - ax) * vx + (y - ay) * vy) / len2) : 0;
    float dx = ax + vx * t - x, dy = ay + vy * t - y;
    return std::sqrt(dx * dx + dy * dy);
}

bool InPolygon(float x, float y, const std::vector<std::pair<float, float>>& polygon) {
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        auto [xi, yi] = polygon[i];
        auto [xj, yj] = polygon[j];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
            inside = !inside;
    }
    return inside;
}

float TCurve::operator()(float x) const {
    if (Points.empty())
        return 0;
    if (x <= Points.front().first)
        return Points.front().second;
    for (size_t i = 1; i < Points.size(); ++i)
        if (x <= Points[i].first) {
            auto [x0, y0] = Points[i - 1];
            auto [x1, y1] = Points[i];
            return x1 > x0 ? y0 + (y1 - y0) * (x - x0) / (x1 - x0) : y1;
        }
    return Points.back().second;
}

float TCurve::Slope(float x) const {
    for (size_t i = 1; i < Points.size(); ++i)
        if (x < Points[i].first) {
            auto [x0, y0] = Points[i - 1];
            auto [x1, y1] = Points[i];
            return x >= x0 && x1 > x0 ? (y1 - y0) / (x1 - x0) : 0;
        }
    return 0;
}

TAtlas::TAtlas(int width, int height)
    : Width(width), Height(height), Pixels(size_t(width) * size_t(height)) {}

void TAtlas::Paint(int x0, int y0, int x1, int y1, const std::function<TRgb(float, float)>& colour) {
    if (x0 < 0 || y0 < 0 || x1 > Width || y1 > Height || x0 >= x1 || y0 >= y1)
        throw std::runtime_error("atlas rectangle outside the atlas");
    float w = float(x1 - x0), h = float(y1 - y0);
    static const float offsets[2] = {0.25f, 0.75f};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            TRgb sum;
            for (float oy : offsets)
                for (float ox : offsets) {
                    TRgb c = colour((float(x - x0) + ox) / w, (float(y - y0) + oy) / h);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            Pixels[size_t(y) * size_t(Width) + size_t(x)] = Scale(sum, 0.25f);
        }
}

TBMPImage TAtlas::Image() const {
    TBMPImage image;
    image.Width = Width;
    image.Height = Height;
    image.Format = TBMPFormat::RGB;
    image.Pixels.reserve(Pixels.size() * 3);
    for (const TRgb& c : Pixels)
        for (float v : {c.r, c.g, c.b})
            image.Pixels.push_back(uint8_t(std::lround(Clamp01(v) * 255.0f)));
    return image;
}

void TMeshBuilder::Triangle(V3 a, V3 b, V3 c, UV ta, UV tb, UV tc) {
    std::array<uint32_t, 3> face{};
    const V3 points[3] = {a, b, c};
    const UV coords[3] = {ta, tb, tc};
    for (int i = 0; i < 3; ++i) {
        auto key = std::make_tuple(points[i].x, points[i].y, points[i].z, coords[i].u, coords[i].v);
        auto found = Index.find(key);
        if (found == Index.end()) {
            if (Object.Vertices.size() >= 65535)
                throw std::runtime_error("3DS objects hold at most 65535 vertices: " + Object.Name);
            uint32_t index = uint32_t(Object.Vertices.size());
            Object.Vertices.push_back(VectorMake(points[i].x, points[i].y, points[i].z));
            Object.TexCoords.push_back({coords[i].u, coords[i].v});
            found = Index.emplace(key, index).first;
        }
        face[size_t(i)] = found->second;
    }
    Object.Faces.push_back(face);
}

void TMeshBuilder::TriangleAway(V3 a, V3 b, V3 c, UV ta, UV tb, UV tc, V3 inside) {
    V3 normal = Cross(b - a, c - a);
    V3 centre = (a + b + c) * (1.0f / 3.0f);
    if (Dot(normal, centre - inside) < 0)
        Triangle(a, c, b, ta, tc, tb);
    else
        Triangle(a, b, c, ta, tb, tc);
}

T3dsModel SingleMaterialModel(const std::string& objectName, const std::string& materialName,
                              const std::string& textureFile, TMeshBuilder& builder) {
    T3dsModel model;
    T3dsMaterial material;
    material.Name = materialName;
    material.TextureFile = textureFile;
    model.Materials.push_back(material);
    builder.Object.Name = objectName;
    builder.Object.MaterialName = materialName;
    model.Objects.push_back(builder.Object);
    return model;
}

} // namespace models
