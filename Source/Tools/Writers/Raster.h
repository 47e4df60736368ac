// TCanvas: a small software painter for the data set's pictures — anti-aliased shapes described by
// signed distance functions, gradients, blur and layer compositing, then BMP output in the loader's
// formats. Pixels are straight (not premultiplied) RGBA floats 0..1, top row first, y growing down.
#pragma once

#include "uBMP.h"

#include <cstdint>
#include <functional>
#include <vector>

struct TColor {
    float R = 0, G = 0, B = 0, A = 0;
};

// Colour from 0..255 bytes and an alpha 0..1.
TColor Rgb(int r, int g, int b, float a = 1.0f);
TColor Mix(const TColor& a, const TColor& b, float t);
TColor WithAlpha(const TColor& c, float a);

struct TPoint {
    float X = 0, Y = 0;
};

// Colour of a shape at a pixel centre.
using TPaint = std::function<TColor(float x, float y)>;
TPaint Solid(const TColor& c);
TPaint Linear(float x0, float y0, const TColor& c0, float x1, float y1, const TColor& c1);
TPaint Radial(float cx, float cy, float radius, const TColor& inner, const TColor& outer);

// Signed distances in pixels, negative inside.
using TShape = std::function<float(float x, float y)>;
float SdCircle(float x, float y, float cx, float cy, float r);
float SdEllipse(float x, float y, float cx, float cy, float rx, float ry);
float SdRoundRect(float x, float y, float x0, float y0, float x1, float y1, float radius);
float SdSegment(float x, float y, float ax, float ay, float bx, float by);
float SdPolygon(float x, float y, const std::vector<TPoint>& points);

// Deterministic value noise in 0..1 and its fractal sum (octaves of halving size).
float Noise2(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed, int octaves);
// A repeatable pseudo-random stream (the same numbers on every machine).
class TArtRandom {
  public:
    explicit TArtRandom(uint32_t seed) : State(seed * 2654435761u + 12345u) {}
    uint32_t Next();
    float Uniform(); // [0, 1)
    float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }

  private:
    uint32_t State;
};

class TCanvas {
  public:
    TCanvas(int width, int height, const TColor& fill = {});

    TColor& At(int x, int y) { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
    const TColor& At(int x, int y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
    // Source-over blend of `c` scaled by `coverage` (0..1).
    void Blend(int x, int y, const TColor& c, float coverage);

    // Fills where shape < 0 within the box (x0, y0)-(x1, y1); edges ramp over `softness` pixels.
    void Fill(float x0, float y0, float x1, float y1, const TShape& shape, const TPaint& paint,
              float softness = 1.0f);
    void FillCircle(float cx, float cy, float r, const TPaint& paint, float softness = 1.0f);
    void FillEllipse(float cx, float cy, float rx, float ry, const TPaint& paint, float softness = 1.0f);
    void FillRoundRect(float x0, float y0, float x1, float y1, float radius, const TPaint& paint,
                       float softness = 1.0f);
    void FillPolygon(const std::vector<TPoint>& points, const TPaint& paint, float softness = 1.0f);
    void Line(float ax, float ay, float bx, float by, float width, const TPaint& paint,
              float softness = 1.0f);
    void Ring(float cx, float cy, float r, float width, const TPaint& paint, float softness = 1.0f);
    // Repaints the colour of every pixel with the paint, keeping its alpha (colours a mask layer).
    void Recolor(const TPaint& paint);

    // Composites another canvas over this one at (x, y), its alpha scaled by `opacity`.
    void Draw(const TCanvas& layer, int x, int y, float opacity = 1.0f);
    // Uses a layer's alpha (times `gain`, capped at 1) as coverage for a paint, offset by (dx, dy).
    void DrawMask(const TCanvas& mask, const TPaint& paint, int dx = 0, int dy = 0, float gain = 1.0f);
    // Gaussian-like blur (three box passes) of all four channels, premultiplied while blurring.
    void Blur(float radius);
    // Multiplies every pixel's alpha (vignettes, fades).
    void ScaleAlpha(const std::function<float(float x, float y)>& factor);

    // A scaled copy (box filter when shrinking, bilinear when growing).
    TCanvas Resized(int width, int height) const;
    // Pixels for EncodeBMP: bottom row first as BMP stores them, unless `topRowFirst` (the font sheet
    // layout). Alpha pictures take the alpha channel; RGB pictures are composited over black.
    TBMPImage ToBMP(TBMPFormat format, bool topRowFirst = false) const;

    int Width, Height;
    std::vector<TColor> Pixels;
};
