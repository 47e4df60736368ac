// The modelling kit of the model generator: a triangle builder that becomes one 3DS object, a
// texture atlas painted pixel by pixel from a colour function, piecewise-linear profile curves and
// the 2D shape helpers the painters use. Everything is deterministic (no clocks, no global random).
#pragma once

#include "u3ds.h"
#include "uBMP.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace models {

constexpr float Pi = 3.14159265f;

struct V3 {
    float x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(V3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline V3 Cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(V3 a) {
    return std::sqrt(Dot(a, a));
}

struct UV {
    float u = 0, v = 0;
};

// Colour with components 0..1 (mixing and shading stay in floats until the atlas is encoded).
struct TRgb {
    float r = 0, g = 0, b = 0;
};
inline TRgb Rgb(int r, int g, int b) {
    return {r / 255.0f, g / 255.0f, b / 255.0f};
}
inline TRgb Mix(TRgb a, TRgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline TRgb Scale(TRgb a, float s) {
    return {a.r * s, a.g * s, a.b * s};
}

float Clamp01(float v);
float SmoothStep(float edge0, float edge1, float v);
// Cheap deterministic value noise in [0, 1) from integer lattice coordinates.
float Hash2(int x, int y, int seed);
// Smooth value noise in [0, 1) at a real point.
float Noise2(float x, float y, int seed);

// 2D shape coverage tests used by the painters (true inside).
bool InRect(float x, float y, float x0, float y0, float x1, float y1);
bool InRoundRect(float x, float y, float x0, float y0, float x1, float y1, float radius);
bool InEllipse(float x, float y, float cx, float cy, float rx, float ry);
// Distance from (x, y) to the segment (ax, ay)-(bx, by).
float SegmentDistance(float x, float y, float ax, float ay, float bx, float by);
bool InPolygon(float x, float y, const std::vector<std::pair<float, float>>& polygon);

// A function of one variable through (x, y) points, linear between them and flat beyond the ends.
struct TCurve {
    std::vector<std::pair<float, float>> Points;
    float operator()(float x) const;
    float Slope(float x) const;
};

// A 24-bit texture atlas, row 0 at texture coordinate v = 0 (the first row OpenGL receives).
class TAtlas {
  public:
    TAtlas(int width, int height);

    // Paints the pixel rectangle [x0, x1) x [y0, y1): `colour` receives the local coordinates
    // s, t in 0..1 across the rectangle; every pixel is the mean of 2 x 2 samples.
    void Paint(int x0, int y0, int x1, int y1, const std::function<TRgb(float s, float t)>& colour);
    TBMPImage Image() const;

    int Width, Height;

  private:
    std::vector<TRgb> Pixels;
};

// Collects triangles into one 3DS object; vertices with equal position and texture coordinate are
// shared. Triangles are counter-clockwise seen from outside (the side OpenGL draws).
class TMeshBuilder {
  public:
    void Triangle(V3 a, V3 b, V3 c, UV ta, UV tb, UV tc);
    // Adds the triangle turned so that its normal points away from `inside`.
    void TriangleAway(V3 a, V3 b, V3 c, UV ta, UV tb, UV tc, V3 inside);
    size_t TriangleCount() const { return Object.Faces.size(); }

    T3dsObject Object;

  private:
    std::map<std::tuple<float, float, float, float, float>, uint32_t> Index;
};

// One model with one textured material, as every model of the game is drawn (the texture
// override of the loader replaces every material's texture, so a model keeps to one atlas).
T3dsModel SingleMaterialModel(const std::string& objectName, const std::string& materialName,
                              const std::string& textureFile, TMeshBuilder& builder);

// Where generated files go: a path below the data directory ("cars/vwgolf/golf.3ds") and its bytes.
using TFileSink = std::function<void(const std::string& relativePath, const std::vector<uint8_t>& bytes)>;

} // namespace models
