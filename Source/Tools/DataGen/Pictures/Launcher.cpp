// The launcher window's pictures: the 402 x 402 background under its controls and the 401 x 33
// start banner. Stored as opaque 32-bit pictures so their rows need no padding. The launcher's
// 100 x 100 faces are written with the game's faces.
//
// Window layout the background is painted for (pixels, top-left origin): labels at (32, 144) and
// (32, 176), language list at (304, 140), player list (160, 176)-(393, 305), face picture
// (32, 204)-(132, 304), buttons on row 312..337, start banner at (1, 359).
#include "PictureKit.h"

#include <algorithm>
#include <cmath>

namespace {

void PaintBackground(const TGenContext& context) {
    TCanvas c(402, 402);
    PaintNightSky(c, 130, 51);
    PaintSkyline(c, 130, 20, 70, 0.2f, 52);
    PaintSkyline(c, 130, 10, 40, 0.8f, 53);
    // Body of the window: a dark panel with a faint diagonal texture.
    c.Fill(
        0, 130, 402, 402, [](float, float) { return -10.0f; },
        [](float x, float y) {
            TColor base = Mix(Rgb(40, 36, 62), Rgb(22, 20, 36), (y - 130) / 272.0f);
            return std::fmod(x + y, 10.0f) < 1.0f ? Mix(base, Palette::White, 0.03f) : base;
        });
    c.Fill(
        0, 128, 402, 132, [](float, float) { return -10.0f; },
        Linear(0, 0, Palette::Accent, 402, 0, Rgb(110, 0, 60)));
    TTitleStyle title;
    title.Tracking = 3;
    title.GlowRadius = 8;
    DrawTitle(c, SansBold(), "KALMIROV", 201, 74, 52, title);
    SansBold().DrawCentred(c, "CITY  DRIVING", 201, 100, 12, Solid(WithAlpha(Palette::White, 0.85f)), 4);
    // Frame for the face picture.
    c.FillRoundRect(27, 199, 137, 309, 6, Solid(Palette::Accent));
    c.FillRoundRect(30, 202, 134, 306, 4, Solid(Rgb(12, 10, 22)));
    // Thin rules under the language and player rows.
    c.Line(16, 164, 393, 164, 1, Solid(WithAlpha(Palette::White, 0.12f)));
    c.Line(16, 346, 393, 346, 1, Solid(WithAlpha(Palette::White, 0.12f)));
    SavePicture(context, "resources/background.bmp", c, TBMPFormat::RGBA);
}

void PaintStartBanner(const TGenContext& context) {
    TCanvas c(401, 33);
    c.Fill(
        0, 0, 401, 33, [](float, float) { return -10.0f; },
        Linear(0, 0, Rgb(150, 0, 50), 401, 0, Palette::Accent));
    c.Fill(
        0, 0, 401, 16, [](float, float) { return -10.0f; }, Solid(WithAlpha(Palette::White, 0.12f)));
    for (int i = 0; i < 3; ++i) {
        float x = 250 + i * 14.0f;
        c.FillPolygon({{x, 8}, {x + 9, 16.5f}, {x, 25}, {x + 4, 25}, {x + 13, 16.5f}, {x + 4, 8}},
                      Solid(WithAlpha(Palette::White, 0.5f + 0.25f * i)));
    }
    TCanvas text(401, 33);
    SansBold().DrawCentred(text, "START", 190, 24, 19, Solid(Palette::White), 6);
    TCanvas shadow = text;
    shadow.Blur(1.5f);
    c.DrawMask(shadow, Solid(WithAlpha(Palette::Ink, 0.7f)), 1, 1, 2.0f);
    c.Draw(text, 0, 0);
    SavePicture(context, "resources/start.bmp", c, TBMPFormat::RGBA);
}

void GenerateLauncher(const TGenContext& context) {
    PaintBackground(context);
    PaintStartBanner(context);
}

} // namespace

KAL_GENERATOR("launcher", GenerateLauncher);
