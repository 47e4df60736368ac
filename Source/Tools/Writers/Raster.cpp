#include "Raster.h"

#include <algorithm>
#include <cmath>

TColor Rgb(int r, int g, int b, float a) {
    return {r / 255.0f, g / 255.0f, b / 255.0f, a};
}

TColor Mix(const TColor& a, const TColor& b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t, a.A + (b.A - a.A) * t};
}

TColor WithAlpha(const TColor& c, float a) {
    return {c.R, c.G, c.B, a};
}

TPaint Solid(const TColor& c) {
    return [c](float, float) { return c; };
}

TPaint Linear(float x0, float y0, const TColor& c0, float x1, float y1, const TColor& c1) {
    float dx = x1 - x0, dy = y1 - y0;
    float len2 = std::max(dx * dx + dy * dy, 1e-6f);
    return [=](float x, float y) { return Mix(c0, c1, ((x - x0) * dx + (y - y0) * dy) / len2); };
}

TPaint Radial(float cx, float cy, float radius, const TColor& inner, const TColor& outer) {
    return [=](float x, float y) { return Mix(inner, outer, std::hypot(x - cx, y - cy) / radius); };
}

float SdCircle(float x, float y, float cx, float cy, float r) {
    return std::hypot(x - cx, y - cy) - r;
}

float SdEllipse(float x, float y, float cx, float cy, float rx, float ry) {
    // Scaled circle distance, corrected by the gradient length: good enough for a one-pixel edge.
    float nx = (x - cx) / rx, ny = (y - cy) / ry;
    float k = std::hypot(nx, ny);
    float gradient = std::hypot(nx / rx, ny / ry);
    if (k < 1e-6f)
        return -std::min(rx, ry);
    return (k - 1.0f) * k / std::max(gradient, 1e-6f);
}

float SdRoundRect(float x, float y, float x0, float y0, float x1, float y1, float radius) {
    float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    float hx = (x1 - x0) * 0.5f - radius, hy = (y1 - y0) * 0.5f - radius;
    float qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float SdSegment(float x, float y, float ax, float ay, float bx, float by) {
    float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float h = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - dx * h, py - dy * h);
}

float SdPolygon(float x, float y, const std::vector<TPoint>& points) {
    // Distance to the nearest edge, negative inside by the even-odd rule.
    float best = 1e30f;
    bool inside = false;
    size_t n = points.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const TPoint& a = points[i];
        const TPoint& b = points[j];
        best = std::min(best, SdSegment(x, y, a.X, a.Y, b.X, b.Y));
        if ((a.Y > y) != (b.Y > y) && x < (b.X - a.X) * (y - a.Y) / (b.Y - a.Y) + a.X)
            inside = !inside;
    }
    return inside ? -best : best;
}

namespace {

uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 374761393u + uint32_t(x) * 668265263u + uint32_t(y) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

float Smooth(float t) {
    return t * t * (3.0f - 2.0f * t);
}

} // namespace

float Noise2(float x, float y, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int32_t ix = int32_t(fx), iy = int32_t(fy);
    float tx = Smooth(x - fx), ty = Smooth(y - fy);
    auto v = [&](int32_t dx, int32_t dy) { return float(Hash(ix + dx, iy + dy, seed) & 0xFFFF) / 65535.0f; };
    float a = v(0, 0) + (v(1, 0) - v(0, 0)) * tx;
    float b = v(0, 1) + (v(1, 1) - v(0, 1)) * tx;
    return a + (b - a) * ty;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, weight = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += Noise2(x, y, seed + uint32_t(i) * 101u) * weight;
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        weight *= 0.5f;
    }
    return sum / total;
}

uint32_t TArtRandom::Next() {
    // xorshift32: fixed, portable sequence.
    State ^= State << 13;
    State ^= State >> 17;
    State ^= State << 5;
    return State;
}

float TArtRandom::Uniform() {
    return float(Next() >> 8) / 16777216.0f;
}

TCanvas::TCanvas(int width, int height, const TColor& fill)
    : Width(width), Height(height), Pixels(size_t(width) * size_t(height), fill) {}

void TCanvas::Blend(int x, int y, const TColor& c, float coverage) {
    if (x < 0 || y < 0 || x >= Width || y >= Height)
        return;
    float a = std::clamp(c.A * coverage, 0.0f, 1.0f);
    if (a <= 0)
        return;
    TColor& d = At(x, y);
    float outA = a + d.A * (1.0f - a);
    if (outA <= 0) {
        d = {};
        return;
    }
    float keep = d.A * (1.0f - a);
    d.R = (c.R * a + d.R * keep) / outA;
    d.G = (c.G * a + d.G * keep) / outA;
    d.B = (c.B * a + d.B * keep) / outA;
    d.A = outA;
}

void TCanvas::Fill(float x0, float y0, float x1, float y1, const TShape& shape, const TPaint& paint,
                   float softness) {
    float pad = softness + 1.0f;
    int ix0 = std::max(0, int(std::floor(std::min(x0, x1) - pad)));
    int iy0 = std::max(0, int(std::floor(std::min(y0, y1) - pad)));
    int ix1 = std::min(Width - 1, int(std::ceil(std::max(x0, x1) + pad)));
    int iy1 = std::min(Height - 1, int(std::ceil(std::max(y0, y1) + pad)));
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float d = shape(px, py);
            float cover = std::clamp(0.5f - d / softness, 0.0f, 1.0f);
            if (cover > 0)
                Blend(x, y, paint(px, py), cover);
        }
}

void TCanvas::FillCircle(float cx, float cy, float r, const TPaint& paint, float softness) {
    Fill(
        cx - r, cy - r, cx + r, cy + r, [=](float x, float y) { return SdCircle(x, y, cx, cy, r); }, paint,
        softness);
}

void TCanvas::FillEllipse(float cx, float cy, float rx, float ry, const TPaint& paint, float softness) {
    Fill(
        cx - rx, cy - ry, cx + rx, cy + ry, [=](float x, float y) { return SdEllipse(x, y, cx, cy, rx, ry); },
        paint, softness);
}

void TCanvas::FillRoundRect(float x0, float y0, float x1, float y1, float radius, const TPaint& paint,
                            float softness) {
    Fill(
        x0, y0, x1, y1, [=](float x, float y) { return SdRoundRect(x, y, x0, y0, x1, y1, radius); }, paint,
        softness);
}

void TCanvas::FillPolygon(const std::vector<TPoint>& points, const TPaint& paint, float softness) {
    if (points.size() < 3)
        return;
    float x0 = points[0].X, x1 = x0, y0 = points[0].Y, y1 = y0;
    for (const TPoint& p : points) {
        x0 = std::min(x0, p.X);
        x1 = std::max(x1, p.X);
        y0 = std::min(y0, p.Y);
        y1 = std::max(y1, p.Y);
    }
    Fill(
        x0, y0, x1, y1, [&points](float x, float y) { return SdPolygon(x, y, points); }, paint, softness);
}

void TCanvas::Line(float ax, float ay, float bx, float by, float width, const TPaint& paint, float softness) {
    float h = width * 0.5f;
    Fill(
        std::min(ax, bx) - h, std::min(ay, by) - h, std::max(ax, bx) + h, std::max(ay, by) + h,
        [=](float x, float y) { return SdSegment(x, y, ax, ay, bx, by) - h; }, paint, softness);
}

void TCanvas::Ring(float cx, float cy, float r, float width, const TPaint& paint, float softness) {
    float o = r + width * 0.5f;
    Fill(
        cx - o, cy - o, cx + o, cy + o,
        [=](float x, float y) { return std::abs(SdCircle(x, y, cx, cy, r)) - width * 0.5f; }, paint,
        softness);
}

void TCanvas::Recolor(const TPaint& paint) {
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            TColor& p = At(x, y);
            TColor c = paint(x + 0.5f, y + 0.5f);
            p = {c.R, c.G, c.B, p.A * c.A};
        }
}

void TCanvas::Draw(const TCanvas& layer, int x, int y, float opacity) {
    for (int ly = 0; ly < layer.Height; ++ly)
        for (int lx = 0; lx < layer.Width; ++lx)
            Blend(x + lx, y + ly, layer.At(lx, ly), opacity);
}

void TCanvas::DrawMask(const TCanvas& mask, const TPaint& paint, int dx, int dy, float gain) {
    for (int my = 0; my < mask.Height; ++my)
        for (int mx = 0; mx < mask.Width; ++mx) {
            float a = std::min(1.0f, mask.At(mx, my).A * gain);
            if (a > 0)
                Blend(mx + dx, my + dy, paint(mx + dx + 0.5f, my + dy + 0.5f), a);
        }
}

namespace {

// One box pass of radius r along rows (stride 1) or columns, over premultiplied pixels.
void BoxPass(std::vector<TColor>& pixels, int width, int height, int r, bool alongRows) {
    int lines = alongRows ? height : width;
    int length = alongRows ? width : height;
    std::vector<TColor> line(static_cast<size_t>(length));
    float norm = 1.0f / float(2 * r + 1);
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> TColor& {
            i = std::clamp(i, 0, length - 1);
            return alongRows ? pixels[size_t(l) * size_t(width) + size_t(i)]
                             : pixels[size_t(i) * size_t(width) + size_t(l)];
        };
        TColor sum;
        for (int i = -r; i <= r; ++i) {
            const TColor& c = at(i);
            sum.R += c.R, sum.G += c.G, sum.B += c.B, sum.A += c.A;
        }
        for (int i = 0; i < length; ++i) {
            line[size_t(i)] = {sum.R * norm, sum.G * norm, sum.B * norm, sum.A * norm};
            const TColor& add = at(i + r + 1);
            const TColor& sub = at(i - r);
            sum.R += add.R - sub.R, sum.G += add.G - sub.G, sum.B += add.B - sub.B, sum.A += add.A - sub.A;
        }
        for (int i = 0; i < length; ++i)
            at(i) = line[size_t(i)];
    }
}

} // namespace

void TCanvas::Blur(float radius) {
    int r = std::max(1, int(std::lround(radius / 1.7f)));
    for (TColor& p : Pixels)
        p = {p.R * p.A, p.G * p.A, p.B * p.A, p.A};
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(Pixels, Width, Height, r, true);
        BoxPass(Pixels, Width, Height, r, false);
    }
    for (TColor& p : Pixels)
        if (p.A > 1e-6f)
            p = {p.R / p.A, p.G / p.A, p.B / p.A, p.A};
        else
            p = {};
}

void TCanvas::ScaleAlpha(const std::function<float(float x, float y)>& factor) {
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            At(x, y).A = std::clamp(At(x, y).A * factor(x + 0.5f, y + 0.5f), 0.0f, 1.0f);
}

TCanvas TCanvas::Resized(int width, int height) const {
    TCanvas out(width, height);
    float sx = float(Width) / float(width), sy = float(Height) / float(height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            TColor sum;
            if (sx >= 1.0f && sy >= 1.0f) {
                int x0 = int(x * sx), x1 = std::max(x0 + 1, int((x + 1) * sx));
                int y0 = int(y * sy), y1 = std::max(y0 + 1, int((y + 1) * sy));
                float n = 0;
                for (int yy = y0; yy < std::min(y1, Height); ++yy)
                    for (int xx = x0; xx < std::min(x1, Width); ++xx) {
                        const TColor& c = At(xx, yy);
                        sum.R += c.R * c.A, sum.G += c.G * c.A, sum.B += c.B * c.A, sum.A += c.A;
                        n += 1;
                    }
                if (sum.A > 0)
                    out.At(x, y) = {sum.R / sum.A, sum.G / sum.A, sum.B / sum.A, sum.A / n};
            } else {
                float fx = std::clamp((x + 0.5f) * sx - 0.5f, 0.0f, float(Width - 1));
                float fy = std::clamp((y + 0.5f) * sy - 0.5f, 0.0f, float(Height - 1));
                int ix = std::min(int(fx), Width - 2), iy = std::min(int(fy), Height - 2);
                float tx = fx - ix, ty = fy - iy;
                TColor top = Mix(At(ix, iy), At(ix + 1, iy), tx);
                TColor bottom = Mix(At(ix, iy + 1), At(ix + 1, iy + 1), tx);
                out.At(x, y) = Mix(top, bottom, ty);
            }
        }
    return out;
}

namespace {

// Transparent pixels take the colour of their visible neighbours, so that linear filtering at a
// picture's edges blends towards the edge colour instead of towards black.
std::vector<TColor> BleedColours(const TCanvas& canvas) {
    std::vector<TColor> pixels = canvas.Pixels;
    int w = canvas.Width, h = canvas.Height;
    for (int pass = 0; pass < 4; ++pass) {
        std::vector<TColor> next = pixels;
        bool changed = false;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (pixels[size_t(y) * size_t(w) + size_t(x)].A > 0.002f)
                    continue;
                TColor sum;
                float n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                            continue;
                        const TColor& c = pixels[size_t(ny) * size_t(w) + size_t(nx)];
                        if (c.A <= 0.002f && !(c.R > 0 || c.G > 0 || c.B > 0))
                            continue;
                        sum.R += c.R, sum.G += c.G, sum.B += c.B;
                        n += 1;
                    }
                if (n > 0) {
                    TColor& d = next[size_t(y) * size_t(w) + size_t(x)];
                    d = {sum.R / n, sum.G / n, sum.B / n, d.A};
                    changed = true;
                }
            }
        pixels.swap(next);
        if (!changed)
            break;
    }
    return pixels;
}

} // namespace

TBMPImage TCanvas::ToBMP(TBMPFormat format, bool topRowFirst) const {
    std::vector<TColor> bled;
    if (format == TBMPFormat::RGBA)
        bled = BleedColours(*this);
    TBMPImage image;
    image.Width = Width;
    image.Height = Height;
    image.Format = format;
    int bpp = image.BytesPerPixel();
    image.Pixels.resize(size_t(Width) * size_t(Height) * size_t(bpp));
    auto byte = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (int row = 0; row < Height; ++row) {
        int y = topRowFirst ? row : Height - 1 - row;
        uint8_t* dst = image.Pixels.data() + size_t(row) * size_t(Width) * size_t(bpp);
        for (int x = 0; x < Width; ++x, dst += bpp) {
            const TColor& c = bled.empty() ? At(x, y) : bled[size_t(y) * size_t(Width) + size_t(x)];
            if (format == TBMPFormat::Alpha) {
                dst[0] = byte(c.A);
            } else if (format == TBMPFormat::RGB) {
                dst[0] = byte(c.R * c.A);
                dst[1] = byte(c.G * c.A);
                dst[2] = byte(c.B * c.A);
            } else {
                dst[0] = byte(c.R);
                dst[1] = byte(c.G);
                dst[2] = byte(c.B);
                dst[3] = byte(c.A);
            }
        }
    }
    return image;
}
