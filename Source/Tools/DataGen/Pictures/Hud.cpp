// In-game pictures: HUD symbols (32 x 32), the count-down (128 x 128), map markers and frame, the
// hint and penalty badges, and the soft 8-bit alpha pictures that the game tints (lamp glow, shadow,
// headlight cone, brake glow, spark star, checkpoint ring).
#include "PictureKit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float Pi = 3.14159265f;

void SaveIcon(const TGenContext& context, const std::string& file, const TCanvas& shape,
              float outline = 1.2f) {
    SavePicture(context, "bitmaps/" + file, FinishIcon(shape, outline), TBMPFormat::RGBA);
}

TPaint Metal(float top, float bottom) {
    return Linear(0, top, Palette::White, 0, bottom, Rgb(190, 192, 215));
}

void PaintSymbols(const TGenContext& context) {
    { // Time: a stopwatch at ten to two.
        TCanvas s(32, 32);
        s.FillRoundRect(13, 2, 19, 6, 1, Metal(2, 6));
        s.Line(24, 7, 26.5f, 4.5f, 2.5f, Metal(4, 8));
        s.FillCircle(16, 18, 12, Metal(6, 30));
        s.FillCircle(16, 18, 9, Solid(Rgb(30, 26, 50)));
        for (int i = 0; i < 12; ++i) {
            float a = i * Pi / 6;
            s.Line(16 + 7.2f * std::sin(a), 18 - 7.2f * std::cos(a), 16 + 8.4f * std::sin(a),
                   18 - 8.4f * std::cos(a), 1, Solid(WithAlpha(Palette::White, 0.7f)));
        }
        s.Line(16, 18, 16, 11.5f, 1.8f, Solid(Palette::White));
        s.Line(16, 18, 20.5f, 15, 1.8f, Solid(Palette::Accent));
        s.FillCircle(16, 18, 1.6f, Solid(Palette::Accent));
        SaveIcon(context, "symbol_time.bmp", s);
    }
    { // Fuel: a pump with its hose and nozzle.
        TCanvas s(32, 32);
        s.FillRoundRect(5, 4, 19, 29, 2.5f, Metal(4, 29));
        s.FillRoundRect(8, 7, 16, 14, 1.5f, Solid(Rgb(30, 26, 50)));
        s.FillRoundRect(9, 8, 15, 11, 1, Solid(WithAlpha(Palette::Cyan, 0.8f)));
        s.FillRoundRect(5, 25.5f, 20, 29, 1.5f, Metal(25, 29));
        s.Line(19, 12, 24, 12, 2.2f, Solid(Palette::White));
        s.Line(24, 12, 26, 15, 2.2f, Solid(Palette::White));
        s.Line(26, 15, 26, 23, 2.2f, Solid(Palette::White));
        s.Line(26, 23, 22, 25, 2.2f, Solid(Palette::Accent));
        s.FillRoundRect(8, 17, 16, 22, 1.5f, Solid(Palette::Accent));
        SaveIcon(context, "symbol_fuel.bmp", s);
    }
    { // Damage: a spanner across a cracked plate.
        TCanvas s(32, 32);
        s.FillRoundRect(4, 6, 28, 26, 3, Solid(Palette::Accent));
        std::vector<TPoint> crack = {{15, 6},     {18, 12}, {14, 16}, {19, 21},    {16, 26},
                                     {14.5f, 26}, {17, 21}, {12, 16}, {16.5f, 12}, {13.5f, 6}};
        s.FillPolygon(crack, Solid(Rgb(30, 26, 50)));
        s.Line(9, 25, 22, 10, 4, Metal(8, 26));
        s.FillCircle(23.5f, 8.5f, 5, Metal(3, 14));
        s.FillPolygon({{23, 8}, {28, 3}, {30, 7}, {26, 10}}, Solid(Rgb(0, 0, 0, 0)), 1);
        s.FillCircle(26.5f, 5.5f, 2.6f, Solid(Palette::Accent));
        s.FillCircle(8, 26, 2.8f, Metal(23, 29));
        SaveIcon(context, "symbol_damage.bmp", s);
    }
    { // Load: a taped cardboard crate.
        TCanvas s(32, 32);
        s.FillPolygon({{4, 11}, {16, 5}, {28, 11}, {16, 17}}, Solid(Rgb(250, 236, 205)));
        s.FillPolygon({{4, 11}, {16, 17}, {16, 30}, {4, 24}}, Solid(Rgb(226, 196, 150)));
        s.FillPolygon({{28, 11}, {16, 17}, {16, 30}, {28, 24}}, Solid(Rgb(190, 150, 105)));
        s.Line(10, 8, 22, 14, 2.2f, Solid(Palette::Accent));
        s.Line(22, 14, 22, 27, 2.2f, Solid(Palette::Accent));
        SaveIcon(context, "symbol_load.bmp", s);
    }
    { // Fragile: the stemmed glass of shipping labels.
        TCanvas s(32, 32);
        std::vector<TPoint> bowl;
        for (int i = 0; i <= 12; ++i) {
            float a = Pi * i / 12.0f;
            bowl.push_back({16 + 8.5f * std::cos(a), 13 + 8.0f * std::sin(a)});
        }
        bowl.push_back({7.5f, 3});
        bowl.push_back({24.5f, 3});
        s.FillPolygon(bowl, Metal(3, 21));
        s.FillPolygon({{11, 3}, {14, 3}, {15, 8}, {12, 13}, {13, 7}}, Solid(Rgb(30, 26, 50)));
        s.Line(16, 20, 16, 27, 2.6f, Solid(Palette::White));
        s.FillRoundRect(9, 26, 23, 29.5f, 1.5f, Solid(Palette::White));
        s.FillRoundRect(8.5f, 5, 23.5f, 10, 1, Solid(WithAlpha(Palette::Accent, 0.9f)));
        SaveIcon(context, "symbol_fragile.bmp", s);
    }
    { // Targets: a checkpoint ring with a flag.
        TCanvas s(32, 32);
        s.Ring(14, 19, 10, 3.2f, Solid(Palette::White));
        s.Ring(14, 19, 4.5f, 2.6f, Solid(Palette::Accent));
        s.FillCircle(14, 19, 1.5f, Solid(Palette::White));
        s.Line(21, 17, 21, 4, 2, Solid(Palette::White));
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 4; ++col)
                s.FillRoundRect(22 + col * 1.75f, 4 + row * 2.5f, 23.75f + col * 1.75f, 6.5f + row * 2.5f,
                                0.2f, Solid((row + col) % 2 ? Palette::White : Palette::Accent));
        SaveIcon(context, "symbol_targets.bmp", s);
    }
}

// Count-down pictures: "3", "2", "1" in the game's colours, "GO!" in pale grey that the game tints
// orange.
void PaintCountdown(const TGenContext& context) {
    auto number = [&](const std::string& file, const char* text, bool go) {
        TCanvas c(128, 128);
        TCanvas disc(128, 128);
        disc.FillCircle(64, 64, 52,
                        Radial(64, 50, 60, go ? Rgb(90, 90, 100, 0.7f) : Rgb(90, 10, 50, 0.75f),
                               go ? Rgb(30, 30, 40, 0.7f) : Rgb(30, 4, 24, 0.75f)));
        disc.Ring(64, 64, 52, 5, Solid(go ? Palette::White : Palette::Accent));
        disc.Ring(64, 64, 44, 1.5f, Solid(WithAlpha(Palette::White, 0.5f)));
        TCanvas glow = disc;
        glow.Blur(6);
        c.DrawMask(glow, Solid(go ? Palette::White : Palette::Accent), 0, 0, 0.8f);
        c.Draw(disc, 0, 0);
        TTitleStyle style;
        style.Top = Palette::White;
        style.Bottom = go ? Rgb(225, 225, 225) : Rgb(255, 170, 200);
        style.GlowRadius = 5;
        style.GlowStrength = go ? 0.0f : 0.8f;
        float size = go ? 46 : 78;
        DrawTitle(c, SansBold(), text, 64, go ? 81 : 92, size, style);
        SavePicture(context, "bitmaps/" + file, c, TBMPFormat::RGBA);
    };
    number("timer_one.bmp", "3", false);
    number("timer_two.bmp", "2", false);
    number("timer_three.bmp", "1", false);
    number("timer_go.bmp", "GO!", true);
}

void PaintMapPictures(const TGenContext& context) {
    { // The inset frame: drawn over x 492..620, y 20..148 around a map window of 497..615, 25..143,
        // so the frame is 5 pixels wide and its middle stays clear.
        TCanvas c(128, 128);
        c.Fill(
            0, 0, 128, 128,
            [](float x, float y) {
                float outer = SdRoundRect(x, y, 0, 0, 128, 128, 8);
                float inner = SdRoundRect(x, y, 5, 5, 123, 123, 3);
                return std::max(outer, -inner);
            },
            Linear(0, 0, Rgb(70, 64, 110), 128, 128, Rgb(24, 20, 44)));
        c.Fill(
            0, 0, 128, 128,
            [](float x, float y) { return std::abs(SdRoundRect(x, y, 4, 4, 124, 124, 4)) - 0.7f; },
            Solid(Palette::Accent));
        c.Fill(
            0, 0, 128, 128,
            [](float x, float y) {
                return std::abs(SdRoundRect(x, y, 0.5f, 0.5f, 127.5f, 127.5f, 8)) - 0.5f;
            },
            Solid(WithAlpha(Palette::White, 0.5f)));
        // Compass tick at the top.
        c.FillPolygon({{60, 0}, {68, 0}, {64, 5}}, Solid(Palette::White));
        SavePicture(context, "bitmaps/map_outline.bmp", c, TBMPFormat::RGBA);
    }
    { // The car's position on the city map: a bright dot in a ring (the game grows and fades it).
        TCanvas c(64, 64);
        c.FillCircle(32, 32, 28, Solid(WithAlpha(Palette::Accent, 0.35f)), 8);
        c.Ring(32, 32, 26, 4, Solid(Palette::Accent));
        c.Ring(32, 32, 26, 1.2f, Solid(WithAlpha(Palette::White, 0.8f)));
        c.FillCircle(32, 32, 9, Solid(Palette::White));
        c.FillCircle(32, 32, 5, Solid(Palette::Accent));
        SavePicture(context, "bitmaps/map_arrow.bmp", c, TBMPFormat::RGBA);
    }
    { // A target on the city map: a four-pointed star (it turns slowly).
        TCanvas s(32, 32);
        std::vector<TPoint> star;
        for (int i = 0; i < 8; ++i) {
            float a = Pi * i / 4.0f, r = i % 2 ? 5.0f : 14.0f;
            star.push_back({16 + r * std::sin(a), 16 - r * std::cos(a)});
        }
        s.FillPolygon(star, Radial(16, 16, 14, Palette::White, Palette::AccentLight));
        s.FillCircle(16, 16, 3.5f, Solid(Palette::Accent));
        SaveIcon(context, "map_destination.bmp", s, 1.0f);
    }
    { // The arrow that points towards the next target: to the right at angle 0, as the target engine
      // turns it (90 - atan2(dx, dy) degrees, so a target straight above gets 90).
        TCanvas s(32, 32);
        s.FillPolygon({{30, 16}, {15, 29}, {15, 21}, {3, 21}, {3, 11}, {15, 11}, {15, 3}},
                      Linear(30, 0, Palette::AccentLight, 3, 0, Palette::Accent));
        s.FillPolygon({{26, 16}, {17, 9}, {20, 16}}, Solid(WithAlpha(Palette::White, 0.6f)));
        SaveIcon(context, "sipka_target.bmp", s);
    }
}

void PaintBadges(const TGenContext& context) {
    { // Hint: an exclamation mark in a road-sign circle.
        TCanvas s(32, 32);
        s.FillCircle(16, 16, 14, Solid(Palette::Accent));
        s.Ring(16, 16, 12, 1.2f, Solid(WithAlpha(Palette::White, 0.7f)));
        s.FillRoundRect(14, 6, 18, 19, 2, Solid(Palette::White));
        s.FillCircle(16, 23.5f, 2.4f, Solid(Palette::White));
        SaveIcon(context, "hint.bmp", s);
    }
    { // Penalty: "-25" on a red plate.
        TCanvas c(64, 32);
        c.FillRoundRect(3, 4, 61, 28, 6, Linear(0, 4, Palette::AccentLight, 0, 28, Palette::Accent));
        c.Fill(
            0, 0, 64, 32,
            [](float x, float y) { return std::abs(SdRoundRect(x, y, 3, 4, 61, 28, 6)) - 0.8f; },
            Solid(WithAlpha(Palette::White, 0.8f)));
        SansBold().DrawCentred(c, "−25", 32, 23, 19, Solid(Palette::White));
        SavePicture(context, "bitmaps/minus25.bmp", FinishIcon(c, 1.0f), TBMPFormat::RGBA);
    }
}

// An 8-bit alpha picture from a function of the position relative to the centre (-1..1).
TCanvas AlphaPicture(int size, const std::function<float(float u, float v)>& alpha) {
    TCanvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size * 2 - 1, v = (y + 0.5f) / size * 2 - 1;
            c.At(x, y) = {1, 1, 1, std::clamp(alpha(u, v), 0.0f, 1.0f)};
        }
    return c;
}

float SmoothEdge(float edge0, float edge1, float x) {
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

void PaintSoftPictures(const TGenContext& context) {
    auto save = [&](const std::string& file, const TCanvas& c) {
        SavePicture(context, "bitmaps/" + file, c, TBMPFormat::Alpha);
    };
    // Lamp glow, also the shadow, tyre track and stain blob: a bright core fading to nothing at the edge.
    save("lamp.bmp", AlphaPicture(128, [](float u, float v) {
             float r = std::hypot(u, v);
             return (std::exp(-r * r * 4.0f) * 0.8f + 0.2f * (1 - r)) * (1 - SmoothEdge(0.85f, 1.0f, r));
         }));
    // Car shadow: a soft rounded rectangle.
    save("shadow.bmp", AlphaPicture(128, [](float u, float v) {
             float d = SdRoundRect(u, v, -0.75f, -0.6f, 0.75f, 0.6f, 0.3f);
             return 0.85f * (1 - SmoothEdge(-0.2f, 0.2f, d));
         }));
    // Headlight cone: apex at the picture's top edge (the lamps), widening and fading downwards.
    {
        TCanvas c = AlphaPicture(128, [](float u, float v) {
            float depth = (1 - v) * 0.5f; // 0 at the bottom edge, 1 at the top edge (t = 1)
            float along = 1 - depth;      // distance from the lamps, 0..1
            float halfWidth = 0.18f + 0.75f * along;
            float across = std::abs(u) / halfWidth;
            float beam = (1 - SmoothEdge(0.55f, 1.0f, across)) * (1 - SmoothEdge(0.55f, 1.0f, along));
            float hotspot = std::exp(-along * 3.0f) * 0.4f;
            return beam * (0.6f + hotspot) * SmoothEdge(0.015f, 0.08f, along);
        });
        save("cone.bmp", c);
    }
    // Brake light glow: a wide soft ellipse.
    save("brake.bmp", AlphaPicture(64, [](float u, float v) {
             float r = std::hypot(u / 1.0f, v / 0.6f);
             return std::exp(-r * r * 3.0f) *
                    (1 - SmoothEdge(0.8f, 1.0f, std::max(std::abs(u), std::abs(v) / 0.6f)));
         }));
    // Spark and snow flake: a four-pointed twinkle with a round core.
    save("particle_star.bmp", AlphaPicture(64, [](float u, float v) {
             float r = std::hypot(u, v);
             float core = std::exp(-r * r * 30.0f);
             float rays = std::exp(-std::abs(u) * 18.0f) * std::exp(-std::abs(v) * 2.5f) +
                          std::exp(-std::abs(v) * 18.0f) * std::exp(-std::abs(u) * 2.5f);
             float halo = std::exp(-r * r * 6.0f) * 0.35f;
             return (core + rays * 0.8f + halo) * (1 - SmoothEdge(0.85f, 1.0f, r));
         }));
    // Checkpoint ring lying on the road: a glowing ring with dashes and a faint centre.
    save("target.bmp", AlphaPicture(256, [](float u, float v) {
             float r = std::hypot(u, v);
             float a = std::atan2(v, u);
             float ring = std::exp(-std::pow((r - 0.82f) / 0.05f, 2.0f));
             float glow = std::exp(-std::pow((r - 0.82f) / 0.16f, 2.0f)) * 0.35f;
             float dashes = (std::fmod(a + Pi + 0.1f, Pi / 8) < Pi / 14 ? 1.0f : 0.0f) *
                            (1 - SmoothEdge(0.015f, 0.03f, std::abs(r - 0.62f)));
             float centre = 0.12f * (1 - SmoothEdge(0.0f, 0.6f, r));
             return (std::min(1.0f, ring + glow) + dashes * 0.8f + centre) * (1 - SmoothEdge(0.94f, 1.0f, r));
         }));
}

void GenerateHud(const TGenContext& context) {
    PaintSymbols(context);
    PaintCountdown(context);
    PaintMapPictures(context);
    PaintBadges(context);
    PaintSoftPictures(context);
}

} // namespace

KAL_GENERATOR("pictures_hud", GenerateHud);
