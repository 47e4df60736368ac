#include "PictureKit.h"

#include "BMPWriter.h"

#include <algorithm>
#include <cmath>

namespace {

const TFontFace& Face(const char* file) {
    // One open face per file for the whole run; the generator is single-threaded.
    static std::vector<std::unique_ptr<TFontFace>> faces;
    std::string path = std::string(KAL_DEJAVU_DIR) + "/" + file;
    for (const auto& face : faces)
        if (face->FileName == path)
            return *face;
    faces.push_back(std::make_unique<TFontFace>(path));
    return *faces.back();
}

} // namespace

const TFontFace& SansBold() {
    return Face("DejaVuSans-Bold.ttf");
}
const TFontFace& Sans() {
    return Face("DejaVuSans.ttf");
}
const TFontFace& SansCondensedBold() {
    return Face("DejaVuSansCondensed-Bold.ttf");
}

void SavePicture(const TGenContext& context, const std::string& path, const TCanvas& canvas,
                 TBMPFormat format) {
    context.Write(path, EncodeBMP(canvas.ToBMP(format)));
}

void DrawTitle(TCanvas& canvas, const TFontFace& font, std::string_view text, float centreX, float baseline,
               float size, const TTitleStyle& style) {
    TCanvas mask(canvas.Width, canvas.Height);
    font.DrawCentred(mask, text, centreX, baseline, size, Solid(Palette::White), style.Tracking);

    if (style.GlowStrength > 0) {
        TCanvas glow = mask;
        glow.Blur(style.GlowRadius);
        canvas.DrawMask(glow, Solid(style.Glow), 0, 0, style.GlowStrength);
    }
    TCanvas outline = mask;
    outline.Blur(style.OutlineWidth);
    canvas.DrawMask(outline, Solid(WithAlpha(Palette::Ink, 0.6f)), 2, 3, 3.0f);
    canvas.DrawMask(outline, Solid(style.Outline), 0, 0, 4.0f);
    float top = baseline - size * 0.75f;
    canvas.DrawMask(mask, Linear(0, top, style.Top, 0, baseline, style.Bottom));
    // A thin highlight along the upper half of the letters.
    canvas.DrawMask(mask, [&](float, float y) {
        float t = (y - top) / (size * 0.75f);
        return WithAlpha(Palette::White, t < 0.35f ? 0.35f * (1.0f - t / 0.35f) : 0.0f);
    });
}

float DrawParagraph(TCanvas& canvas, const TFontFace& font, std::string_view text, float x, float baseline,
                    float size, float maxWidth, float lineHeight, const TPaint& paint, bool centred) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            words.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::string line;
    auto flush = [&]() {
        if (line.empty())
            return;
        if (centred)
            font.DrawCentred(canvas, line, x, baseline, size, paint);
        else
            font.DrawText(canvas, line, x, baseline, size, paint);
        baseline += lineHeight;
        line.clear();
    };
    for (const std::string& word : words) {
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && font.TextWidth(candidate, size) > maxWidth) {
            flush();
            line = word;
        } else {
            line = candidate;
        }
    }
    flush();
    return baseline;
}

void PaintNightSky(TCanvas& canvas, float horizon, uint32_t seed) {
    canvas.Fill(
        0, 0, float(canvas.Width), horizon, [](float, float) { return -10.0f; },
        [&](float x, float y) {
            float t = y / horizon;
            TColor c = t < 0.6f ? Mix(Palette::Night, Palette::NightBlue, t / 0.6f)
                                : Mix(Palette::NightBlue, Palette::Dusk, (t - 0.6f) / 0.4f);
            float haze = Fbm(x / 180.0f, y / 90.0f, seed, 4);
            return Mix(c, Rgb(70, 40, 100), std::max(0.0f, haze - 0.5f) * 0.5f * t);
        });
    TArtRandom random(seed);
    int count = int(float(canvas.Width) * horizon / 900.0f);
    for (int i = 0; i < count; ++i) {
        float x = random.Range(0, float(canvas.Width)), y = random.Range(0, horizon * 0.85f);
        float r = random.Uniform() < 0.08f ? 1.3f : 0.6f;
        float a = random.Range(0.3f, 1.0f) * (1.0f - y / horizon);
        canvas.FillCircle(x, y, r,
                          Solid(WithAlpha(Mix(Palette::White, Palette::Cyan, random.Uniform() * 0.3f), a)));
    }
}

void PaintSkyline(TCanvas& canvas, float ground, float minHeight, float maxHeight, float depth, uint32_t seed,
                  float x0, float x1) {
    if (x1 < 0)
        x1 = float(canvas.Width);
    TArtRandom random(seed);
    TColor wall = Mix(Rgb(26, 24, 52), Rgb(14, 14, 26), depth);
    TColor edge = Mix(Rgb(40, 36, 80), Rgb(48, 30, 70), depth);
    float x = x0 - random.Range(0, 30);
    while (x < x1) {
        float w = random.Range(40, 110) * (0.6f + 0.6f * depth);
        float h = random.Range(minHeight, maxHeight);
        float top = ground - h;
        float left = x, right = x + w;
        canvas.Fill(
            left, top, right, ground,
            [=](float px, float py) {
                return std::max(std::max(left - px, px - right), std::max(top - py, py - ground));
            },
            Linear(left, 0, Mix(wall, edge, 0.6f), right, 0, wall));
        // Roof details: a step or an antenna with a red light.
        float roll = random.Uniform();
        if (roll < 0.35f) {
            float sw = w * random.Range(0.3f, 0.6f), sx = left + random.Range(0, w - sw),
                  sh = random.Range(8, 24);
            canvas.Fill(
                sx, top - sh, sx + sw, top,
                [=](float px, float py) {
                    return std::max(std::max(sx - px, px - sx - sw), std::max(top - sh - py, py - top));
                },
                Solid(wall));
        } else if (roll < 0.6f) {
            float ax = left + w * random.Range(0.3f, 0.7f), ah = random.Range(20, 45);
            canvas.Line(ax, top, ax, top - ah, 2.0f, Solid(wall));
            canvas.FillCircle(ax, top - ah, 6.0f, Solid(WithAlpha(Palette::Accent, 0.25f)), 6.0f);
            canvas.FillCircle(ax, top - ah, 1.8f, Solid(Rgb(255, 60, 90)));
        }
        // Windows: a grid, some lit in warm or cold light.
        float ww = 4.0f + 3.0f * depth, wh = 5.0f + 4.0f * depth;
        float gapX = ww + random.Range(4, 7), gapY = wh + random.Range(5, 8);
        float litShare = random.Range(0.15f, 0.5f);
        TColor warm = Mix(Palette::Amber, Rgb(255, 230, 160), random.Uniform());
        for (float wy = top + 8; wy + wh < ground - 6; wy += gapY)
            for (float wx = left + 6; wx + ww < right - 4; wx += gapX) {
                float r = random.Uniform();
                if (r < litShare) {
                    TColor c = random.Uniform() < 0.8f ? warm : Mix(Palette::Cyan, Palette::White, 0.4f);
                    float a = (0.55f + 0.45f * random.Uniform()) * (0.55f + 0.45f * depth);
                    canvas.FillRoundRect(wx, wy, wx + ww, wy + wh, 0.8f, Solid(WithAlpha(c, a)));
                } else {
                    canvas.FillRoundRect(wx, wy, wx + ww, wy + wh, 0.8f,
                                         Solid(WithAlpha(Rgb(40, 44, 80), 0.5f)));
                }
            }
        x = right + random.Range(-6, 10);
    }
}

TCanvas FinishIcon(const TCanvas& shape, float outline) {
    TCanvas out(shape.Width, shape.Height);
    TCanvas shadow = shape;
    shadow.Blur(2.0f);
    out.DrawMask(shadow, Solid(WithAlpha(Palette::Ink, 0.7f)), 1, 1, 2.0f);
    TCanvas ring = shape;
    ring.Blur(outline);
    out.DrawMask(ring, Solid(Palette::Ink), 0, 0, 4.0f);
    out.Draw(shape, 0, 0);
    return out;
}
