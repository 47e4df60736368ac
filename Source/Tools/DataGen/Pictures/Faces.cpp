// The 22 player and mission-giver portraits of the face table: cartoon heads and shoulders built
// from a few parameters per face, painted at 256 x 256 and scaled down to the game's 128 x 128
// (data/bitmaps) and the launcher's 100 x 100 (data/resources, faces 0-18).
#include "tables/FaceTable.h"
#include "PictureKit.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

enum class THair { None, Short, SidePart, Long, Bob, Curly, Bun, Spiky, Slick };
enum class THat { None, Helmet, TruckerCap, FlatCap, Bandana, Fedora };
enum class TClothes { Shirt, Suit, Jacket, Hoodie, Overall, Spacesuit };
enum class TAlien { None, Antennae, ThreeEyes, Classic };

struct TFaceLook {
    TColor Backdrop;
    TColor Skin;
    TColor Hair = Rgb(60, 40, 30);
    THair HairStyle = THair::Short;
    TColor Clothes = Rgb(60, 70, 120);
    TClothes ClothesStyle = TClothes::Shirt;
    TColor Iris = Rgb(90, 60, 40);
    THat Hat = THat::None;
    TColor HatColour = Palette::Accent;
    bool Glasses = false, Shades = false, Beard = false, Moustache = false, Earrings = false,
         Lipstick = false, Freckles = false, Stubble = false;
    float HeadWidth = 58, HeadHeight = 70;
    float Smile = 0.6f;    // -1 frown .. 1 grin
    float BrowTilt = 0.0f; // positive: angry, negative: worried
    TAlien Alien = TAlien::None;
};

TColor Darker(const TColor& c, float k) {
    return {c.R * k, c.G * k, c.B * k, c.A};
}
TColor Lighter(const TColor& c, float k) {
    return Mix(c, Palette::White, k);
}

constexpr float Cx = 128, HeadY = 116;

void PaintBackdrop(TCanvas& c, const TFaceLook& f, uint32_t seed) {
    c.Fill(
        0, 0, 256, 256, [](float, float) { return -10.0f; },
        Radial(128, 100, 200, Lighter(f.Backdrop, 0.25f), Darker(f.Backdrop, 0.35f)));
    // City lights out of focus behind the sitter.
    TArtRandom random(seed);
    for (int i = 0; i < 14; ++i) {
        float x = random.Range(0, 256), y = random.Range(0, 256), r = random.Range(8, 22);
        TColor light = random.Uniform() < 0.5f   ? Palette::Amber
                       : random.Uniform() < 0.5f ? Palette::Accent
                                                 : Palette::Cyan;
        c.FillCircle(x, y, r, Solid(WithAlpha(light, random.Range(0.06f, 0.16f))), 3);
    }
}

void PaintBody(TCanvas& c, const TFaceLook& f) {
    TColor skinShade = Darker(f.Skin, 0.78f);
    // Neck.
    c.FillRoundRect(Cx - 22, HeadY + 40, Cx + 22, HeadY + 110, 10,
                    Linear(0, HeadY + 50, skinShade, 0, HeadY + 100, f.Skin));
    // Shoulders.
    TPaint cloth = Linear(0, 190, Lighter(f.Clothes, 0.15f), 0, 256, Darker(f.Clothes, 0.6f));
    c.FillEllipse(Cx, 262, 112, 76, cloth);
    switch (f.ClothesStyle) {
    case TClothes::Suit:
        c.FillPolygon({{Cx - 26, 190}, {Cx + 26, 190}, {Cx, 256}}, Solid(Rgb(240, 240, 245)));
        c.FillPolygon({{Cx - 7, 196}, {Cx + 7, 196}, {Cx + 10, 250}, {Cx, 258}, {Cx - 10, 250}},
                      Solid(Palette::Accent));
        c.FillPolygon({{Cx - 8, 190}, {Cx + 8, 190}, {Cx + 5, 200}, {Cx - 5, 200}},
                      Solid(Darker(Palette::Accent, 0.7f)));
        c.FillPolygon({{Cx - 30, 188}, {Cx - 4, 256}, {Cx - 46, 256}, {Cx - 62, 200}},
                      Solid(Darker(f.Clothes, 0.75f)));
        c.FillPolygon({{Cx + 30, 188}, {Cx + 4, 256}, {Cx + 46, 256}, {Cx + 62, 200}},
                      Solid(Darker(f.Clothes, 0.75f)));
        break;
    case TClothes::Jacket:
        c.FillPolygon({{Cx - 24, 190}, {Cx + 24, 190}, {Cx + 14, 256}, {Cx - 14, 256}},
                      Solid(Rgb(30, 30, 36)));
        c.Line(Cx - 34, 196, Cx - 12, 256, 5, Solid(Rgb(200, 200, 210)));
        c.Line(Cx + 34, 196, Cx + 12, 256, 5, Solid(Rgb(200, 200, 210)));
        break;
    case TClothes::Hoodie:
        c.Ring(Cx, 200, 40, 12, Solid(Darker(f.Clothes, 0.8f)));
        c.Line(Cx - 12, 214, Cx - 14, 250, 3, Solid(Palette::White));
        c.Line(Cx + 12, 214, Cx + 14, 250, 3, Solid(Palette::White));
        break;
    case TClothes::Overall:
        c.FillRoundRect(Cx - 40, 212, Cx + 40, 262, 8, Solid(Darker(f.Clothes, 0.7f)));
        c.Line(Cx - 36, 196, Cx - 30, 230, 8, Solid(Darker(f.Clothes, 0.7f)));
        c.Line(Cx + 36, 196, Cx + 30, 230, 8, Solid(Darker(f.Clothes, 0.7f)));
        c.FillCircle(Cx - 30, 226, 4, Solid(Palette::Amber));
        c.FillCircle(Cx + 30, 226, 4, Solid(Palette::Amber));
        break;
    case TClothes::Spacesuit:
        // Neck ring of the suit and a glowing badge.
        c.FillEllipse(Cx, 196, 44, 13, Linear(0, 183, Rgb(235, 240, 250), 0, 209, Rgb(140, 150, 175)));
        c.FillEllipse(Cx, 193, 32, 7, Solid(Rgb(70, 76, 96)));
        c.Line(Cx - 60, 236, Cx + 60, 236, 4, Solid(WithAlpha(Palette::Accent, 0.8f)));
        c.FillCircle(Cx + 50, 230, 9, Solid(Palette::Cyan));
        c.FillCircle(Cx + 50, 230, 4, Solid(Palette::White));
        break;
    case TClothes::Shirt:
        c.FillPolygon({{Cx - 24, 188}, {Cx + 24, 188}, {Cx, 214}}, Solid(f.Skin));
        c.Line(Cx - 24, 188, Cx, 214, 5, Solid(Lighter(f.Clothes, 0.35f)));
        c.Line(Cx + 24, 188, Cx, 214, 5, Solid(Lighter(f.Clothes, 0.35f)));
        break;
    }
}

// Hair that falls behind the head (long styles), drawn before the face.
void PaintHairBack(TCanvas& c, const TFaceLook& f) {
    TPaint hair = Linear(0, 40, Lighter(f.Hair, 0.15f), 0, 220, Darker(f.Hair, 0.7f));
    if (f.HairStyle == THair::Long)
        c.FillRoundRect(Cx - f.HeadWidth - 12, HeadY - 50, Cx + f.HeadWidth + 12, HeadY + 96, 40, hair);
    else if (f.HairStyle == THair::Bob)
        c.FillRoundRect(Cx - f.HeadWidth - 12, HeadY - 50, Cx + f.HeadWidth + 12, HeadY + 44, 34, hair);
    else if (f.HairStyle == THair::Bun)
        c.FillCircle(Cx, HeadY - f.HeadHeight - 6, 24, hair);
    else if (f.HairStyle == THair::Curly)
        for (int i = 0; i < 14; ++i) {
            float a = 3.14159f * (0.9f + 1.2f * i / 13.0f);
            c.FillCircle(Cx + std::cos(a) * (f.HeadWidth + 6), HeadY - 6 + std::sin(a) * (f.HeadHeight + 2),
                         20, hair);
        }
}

void PaintHead(TCanvas& c, const TFaceLook& f) {
    TColor shade = Darker(f.Skin, 0.72f);
    TPaint skin = Radial(Cx - 18, HeadY - 26, f.HeadHeight * 1.6f, Lighter(f.Skin, 0.12f), shade);
    if (f.Alien == TAlien::None) {
        c.FillEllipse(Cx - f.HeadWidth + 2, HeadY + 6, 10, 16, Solid(shade));
        c.FillEllipse(Cx + f.HeadWidth - 2, HeadY + 6, 10, 16, Solid(shade));
        c.FillEllipse(Cx, HeadY, f.HeadWidth, f.HeadHeight, skin);
        // Jaw: a softer, narrower lower half.
        c.FillEllipse(Cx, HeadY + 26, f.HeadWidth * 0.8f, f.HeadHeight * 0.62f, skin);
        return;
    }
    // Aliens: a big rounded skull over a small chin.
    std::vector<TPoint> skull;
    for (int i = 0; i < 48; ++i) {
        float a = 2 * 3.14159f * i / 48.0f;
        float s = std::sin(a);
        float w = f.HeadWidth * (s > 0 ? 1.0f - 0.55f * s : 1.15f);
        skull.push_back(
            {Cx + std::cos(a) * w, HeadY - 8 + s * (s > 0 ? f.HeadHeight * 1.05f : f.HeadHeight * 0.95f)});
    }
    c.FillPolygon(skull, skin);
}

void PaintEyes(TCanvas& c, const TFaceLook& f) {
    if (f.Alien == TAlien::Classic || f.Alien == TAlien::Antennae) {
        for (int side = -1; side <= 1; side += 2) {
            float ex = Cx + side * 26;
            std::vector<TPoint> eye;
            for (int i = 0; i < 24; ++i) {
                float a = 2 * 3.14159f * i / 24.0f;
                float x = std::cos(a) * 20, y = std::sin(a) * 11;
                float tilt = side * 0.45f;
                eye.push_back({ex + x * std::cos(tilt) - y * std::sin(tilt),
                               HeadY + 6 + x * std::sin(tilt) + y * std::cos(tilt)});
            }
            c.FillPolygon(eye, Radial(ex, HeadY + 2, 22, Rgb(40, 30, 60), Rgb(5, 5, 10)));
            c.FillCircle(ex - side * 6, HeadY + 1, 4, Solid(WithAlpha(Palette::White, 0.9f)));
            c.FillCircle(ex + side * 4, HeadY + 9, 2, Solid(WithAlpha(Palette::Cyan, 0.7f)));
        }
        return;
    }
    if (f.Alien == TAlien::ThreeEyes) {
        float xs[3] = {Cx - 30, Cx, Cx + 30}, ys[3] = {HeadY + 4, HeadY - 16, HeadY + 4},
              rs[3] = {13, 16, 13};
        for (int i = 0; i < 3; ++i) {
            c.FillCircle(xs[i], ys[i], rs[i], Solid(Rgb(250, 250, 240)));
            c.FillCircle(xs[i] + 2, ys[i] + 2, rs[i] * 0.55f, Solid(f.Iris));
            c.FillCircle(xs[i] + 2, ys[i] + 2, rs[i] * 0.28f, Solid(Palette::Ink));
            c.FillCircle(xs[i] - 2, ys[i] - 2, rs[i] * 0.16f, Solid(Palette::White));
        }
        return;
    }
    for (int side = -1; side <= 1; side += 2) {
        float ex = Cx + side * 23, ey = HeadY + 4;
        c.FillEllipse(ex, ey, 12, 9, Solid(Rgb(250, 250, 246)));
        c.FillCircle(ex + 1, ey + 1, 6.5f, Radial(ex, ey, 8, Lighter(f.Iris, 0.3f), Darker(f.Iris, 0.6f)));
        c.FillCircle(ex + 1, ey + 1, 3.2f, Solid(Palette::Ink));
        c.FillCircle(ex - 1.5f, ey - 1.5f, 1.8f, Solid(Palette::White));
        // Upper lid.
        c.Fill(
            ex - 13, ey - 10, ex + 13, ey,
            [=](float x, float y) {
                return std::abs(SdEllipse(x, y, ex, ey + 1, 13, 10)) - 1.4f + (y > ey - 2 ? 10.0f : 0.0f);
            },
            Solid(Darker(f.Skin, 0.35f)));
        // Brow.
        float tilt = f.BrowTilt * 5 * side;
        c.Line(ex - 13, ey - 17 - tilt, ex + 12, ey - 17 + tilt, 4.5f, Solid(Darker(f.Hair, 0.9f)));
    }
}

void PaintMouthAndNose(TCanvas& c, const TFaceLook& f) {
    float my = HeadY + 44;
    if (f.Alien != TAlien::None) {
        c.Line(Cx - 8, my - 2, Cx + 8, my - 2 + f.Smile * -3, 2.5f, Solid(Darker(f.Skin, 0.4f)));
        return;
    }
    // Nose: a soft shade and a nostril line.
    c.FillEllipse(Cx + 3, HeadY + 24, 7, 9, Solid(WithAlpha(Darker(f.Skin, 0.7f), 0.6f)), 3);
    c.Line(Cx - 4, HeadY + 30, Cx + 5, HeadY + 30, 2.2f, Solid(Darker(f.Skin, 0.55f)));
    // Mouth: the area between two arcs, deeper with a bigger smile.
    float w = 17 + 4 * f.Smile, bend = 10 * f.Smile;
    TColor lips = f.Lipstick ? Palette::Accent : Darker(f.Skin, 0.5f);
    if (f.Smile > 0.3f) {
        c.Fill(
            Cx - w, my - 4, Cx + w, my + bend + 4,
            [=](float x, float y) {
                float t = (x - Cx) / w;
                float top = my - 1 + bend * 0.15f * (1 - t * t);
                float bottom = my + bend * (1 - t * t);
                return std::max(std::max(top - y, y - bottom), std::abs(x - Cx) - w);
            },
            Solid(Rgb(90, 20, 30)));
        c.Fill(
            Cx - w, my - 4, Cx + w, my + 6,
            [=](float x, float y) {
                float t = (x - Cx) / w;
                float top = my - 1 + bend * 0.15f * (1 - t * t);
                return std::max(std::max(top - y, y - (top + 4)), std::abs(x - Cx) - w * 0.8f);
            },
            Solid(Palette::White));
        if (f.Lipstick)
            c.Fill(
                Cx - w - 2, my - 6, Cx + w + 2, my + bend + 6,
                [=](float x, float y) {
                    float t = (x - Cx) / w;
                    float bottom = my + bend * (1 - t * t);
                    return std::abs(y - bottom - 1.5f) - 2.0f + (std::abs(t) > 1 ? 10.0f : 0.0f);
                },
                Solid(Palette::Accent));
    } else {
        // Closed mouth: one curved stroke.
        for (int i = 0; i < 10; ++i) {
            float t0 = -1 + i / 5.0f, t1 = -1 + (i + 1) / 5.0f;
            c.Line(Cx + t0 * w, my + bend * (1 - t0 * t0) * 0.5f, Cx + t1 * w,
                   my + bend * (1 - t1 * t1) * 0.5f, 3.5f, Solid(lips));
        }
    }
    // Cheeks.
    c.FillCircle(Cx - 36, HeadY + 30, 10, Solid(WithAlpha(Rgb(255, 110, 120), 0.18f)), 8);
    c.FillCircle(Cx + 36, HeadY + 30, 10, Solid(WithAlpha(Rgb(255, 110, 120), 0.18f)), 8);
}

void PaintFacialHair(TCanvas& c, const TFaceLook& f) {
    TColor hair = Darker(f.Hair, 0.95f);
    if (f.Stubble)
        c.FillEllipse(Cx, HeadY + 48, f.HeadWidth * 0.72f, 28, Solid(WithAlpha(hair, 0.22f)), 6);
    if (f.Beard) {
        c.Fill(
            Cx - 60, HeadY + 10, Cx + 60, HeadY + 110,
            [&](float x, float y) {
                float chin = SdEllipse(x, y, Cx, HeadY + 34, f.HeadWidth * 0.86f, f.HeadHeight * 0.72f);
                float mouthHole = -SdEllipse(x, y, Cx, HeadY + 46, 16, 8);
                return std::max(std::max(chin, HeadY + 22 - y), mouthHole);
            },
            Linear(0, HeadY + 20, hair, 0, HeadY + 100, Darker(hair, 0.7f)));
    }
    if (f.Moustache || f.Beard)
        c.FillPolygon({{Cx - 20, HeadY + 42},
                       {Cx - 4, HeadY + 34},
                       {Cx, HeadY + 36},
                       {Cx + 4, HeadY + 34},
                       {Cx + 20, HeadY + 42},
                       {Cx + 6, HeadY + 40},
                       {Cx, HeadY + 41},
                       {Cx - 6, HeadY + 40}},
                      Solid(hair));
    if (f.Freckles) {
        TArtRandom random(7);
        for (int i = 0; i < 16; ++i)
            c.FillCircle(Cx + (i % 2 ? 1 : -1) * random.Range(18, 40), HeadY + random.Range(16, 30), 1.4f,
                         Solid(WithAlpha(Darker(f.Skin, 0.55f), 0.7f)));
    }
}

// Hair on top of the head: the part above a hairline curve, inside a slightly larger skull outline.
void PaintHairFront(TCanvas& c, const TFaceLook& f) {
    if (f.HairStyle == THair::None || f.Alien != TAlien::None)
        return;
    TPaint hair = Linear(0, HeadY - 80, Lighter(f.Hair, 0.2f), 0, HeadY, Darker(f.Hair, 0.8f));
    float w = f.HeadWidth + 5, h = f.HeadHeight + 6;
    auto cap = [&](float hairline, float sideDrop) {
        c.Fill(
            Cx - w, HeadY - h, Cx + w, HeadY + 40,
            [=](float x, float y) {
                float t = (x - Cx) / w;
                // A fringe of small locks along the hairline, so the hair never reads as a cap.
                float locks = 4.0f * std::abs(std::sin((x - Cx) * 0.22f)) * (1 - t * t);
                float line = HeadY - hairline + sideDrop * t * t + locks;
                return std::max(SdEllipse(x, y, Cx, HeadY - 4, w, h), y - line);
            },
            hair);
    };
    switch (f.HairStyle) {
    case THair::Short:
        cap(34, 30);
        break;
    case THair::SidePart:
        cap(32, 34);
        c.Line(Cx - 20, HeadY - h + 2, Cx - 14, HeadY - 40, 2, Solid(Darker(f.Hair, 0.6f)));
        c.FillEllipse(Cx + 12, HeadY - 44, 40, 14, hair);
        break;
    case THair::Long:
    case THair::Bob:
        cap(30, 60);
        c.FillEllipse(Cx - 24, HeadY - 38, 34, 14, hair);
        break;
    case THair::Bun:
        cap(36, 36);
        break;
    case THair::Curly:
        cap(36, 30);
        for (int i = 0; i < 9; ++i)
            c.FillCircle(Cx - 44 + i * 11, HeadY - 50 - 14 * std::sin(3.14159f * i / 8), 12, hair);
        break;
    case THair::Spiky:
        cap(36, 30);
        for (int i = 0; i < 7; ++i) {
            float x = Cx - 42 + i * 14;
            c.FillPolygon(
                {{x - 10, HeadY - 56}, {x + 4, HeadY - 96 + std::abs(i - 3) * 6}, {x + 10, HeadY - 54}},
                hair);
        }
        break;
    case THair::Slick:
        cap(40, 26);
        for (int i = 0; i < 5; ++i)
            c.Line(Cx - 30 + i * 14, HeadY - 58, Cx - 20 + i * 14, HeadY - 44, 1.5f,
                   Solid(Lighter(f.Hair, 0.4f)));
        break;
    default:
        break;
    }
}

void PaintAccessories(TCanvas& c, const TFaceLook& f) {
    if (f.Earrings) {
        c.FillCircle(Cx - f.HeadWidth + 2, HeadY + 24, 4, Solid(Palette::Amber));
        c.FillCircle(Cx + f.HeadWidth - 2, HeadY + 24, 4, Solid(Palette::Amber));
    }
    if (f.Glasses || f.Shades) {
        for (int side = -1; side <= 1; side += 2) {
            float ex = Cx + side * 23, ey = HeadY + 4;
            if (f.Shades)
                c.FillRoundRect(ex - 16, ey - 10, ex + 16, ey + 10, 7,
                                Linear(0, ey - 10, Rgb(60, 60, 90), 0, ey + 10, Rgb(10, 10, 20)));
            c.Fill(
                ex - 18, ey - 12, ex + 18, ey + 12,
                [=](float x, float y) {
                    return std::abs(SdRoundRect(x, y, ex - 16, ey - 10, ex + 16, ey + 10, 7)) - 1.6f;
                },
                Solid(f.Shades ? Rgb(20, 20, 26) : Rgb(40, 36, 50)));
            if (f.Shades)
                c.Line(ex - 9, ey - 5, ex - 3, ey - 7, 2, Solid(WithAlpha(Palette::White, 0.6f)));
        }
        c.Line(Cx - 7, HeadY + 1, Cx + 7, HeadY + 1, 2.5f, Solid(Rgb(40, 36, 50)));
        c.Line(Cx - 39, HeadY, Cx - f.HeadWidth, HeadY - 2, 2.5f, Solid(Rgb(40, 36, 50)));
        c.Line(Cx + 39, HeadY, Cx + f.HeadWidth, HeadY - 2, 2.5f, Solid(Rgb(40, 36, 50)));
    }
    if (f.Alien == TAlien::Antennae)
        for (int side = -1; side <= 1; side += 2) {
            c.Line(Cx + side * 20, HeadY - 66, Cx + side * 40, HeadY - 104, 4, Solid(Darker(f.Skin, 0.8f)));
            c.FillCircle(Cx + side * 40, HeadY - 106, 8,
                         Radial(Cx + side * 38, HeadY - 108, 10, Palette::White, Palette::Accent));
        }
}

void PaintHat(TCanvas& c, const TFaceLook& f) {
    TColor hat = f.HatColour;
    TPaint shaded = Linear(0, HeadY - 90, Lighter(hat, 0.25f), 0, HeadY - 20, Darker(hat, 0.75f));
    switch (f.Hat) {
    case THat::Helmet: {
        // A racing helmet with the visor up: shell around the face, a dark visor above the eyes.
        c.Fill(
            Cx - 80, HeadY - 96, Cx + 80, HeadY + 90,
            [&](float x, float y) {
                float shell = SdEllipse(x, y, Cx, HeadY - 4, f.HeadWidth + 16, f.HeadHeight + 22);
                float opening = SdRoundRect(x, y, Cx - 44, HeadY - 14, Cx + 44, HeadY + 120, 26);
                return std::max(shell, -opening);
            },
            shaded);
        c.Fill(
            Cx - 80, HeadY - 96, Cx + 80, HeadY,
            [&](float x, float y) {
                float shell = SdEllipse(x, y, Cx, HeadY - 4, f.HeadWidth + 16, f.HeadHeight + 22);
                return std::max(shell, std::abs(x - Cx) - 9);
            },
            Solid(Palette::White));
        c.FillRoundRect(Cx - 50, HeadY - 36, Cx + 50, HeadY - 14, 10,
                        Linear(0, HeadY - 36, Rgb(90, 120, 170), 0, HeadY - 14, Rgb(20, 24, 40)));
        c.Line(Cx - 40, HeadY - 30, Cx - 10, HeadY - 30, 2.5f, Solid(WithAlpha(Palette::White, 0.6f)));
        break;
    }
    case THat::TruckerCap:
        c.Fill(
            Cx - 70, HeadY - 100, Cx + 70, HeadY - 30,
            [&](float x, float y) {
                return std::max(SdEllipse(x, y, Cx, HeadY - 36, f.HeadWidth + 4, 58), y - (HeadY - 34));
            },
            shaded);
        c.FillEllipse(Cx, HeadY - 66, 26, 18, Solid(Palette::White));
        c.FillEllipse(Cx, HeadY - 66, 14, 9, Solid(Palette::Accent));
        c.FillEllipse(Cx, HeadY - 32, f.HeadWidth + 14, 10,
                      Linear(0, HeadY - 42, Darker(hat, 0.6f), 0, HeadY - 22, Darker(hat, 0.4f)));
        break;
    case THat::FlatCap:
        c.Fill(
            Cx - 76, HeadY - 96, Cx + 76, HeadY - 30,
            [&](float x, float y) {
                return std::max(SdEllipse(x, y, Cx + 4, HeadY - 44, f.HeadWidth + 14, 42), y - (HeadY - 36));
            },
            [&](float x, float y) {
                bool check = (int(std::floor(x / 6)) + int(std::floor(y / 6))) % 2 == 0;
                return check ? Darker(hat, 0.85f) : hat;
            });
        c.FillEllipse(Cx, HeadY - 34, f.HeadWidth + 8, 8, Solid(Darker(hat, 0.5f)));
        c.FillRoundRect(Cx - 60, HeadY - 42, Cx + 60, HeadY - 36, 3, Solid(Palette::Amber));
        break;
    case THat::Bandana:
        c.Fill(
            Cx - 70, HeadY - 96, Cx + 70, HeadY - 20,
            [&](float x, float y) {
                return std::max(SdEllipse(x, y, Cx, HeadY - 6, f.HeadWidth + 4, f.HeadHeight + 6),
                                y - (HeadY - 32));
            },
            [&](float x, float y) {
                float dots = std::fmod(std::abs(x - 3), 14.0f) < 4 && std::fmod(std::abs(y - 5), 14.0f) < 4
                                 ? 1.0f
                                 : 0.0f;
                return Mix(hat, Palette::White, dots * 0.8f);
            });
        c.FillPolygon(
            {{Cx + 50, HeadY - 40}, {Cx + 78, HeadY - 30}, {Cx + 70, HeadY - 10}, {Cx + 56, HeadY - 26}},
            Solid(Darker(hat, 0.8f)));
        break;
    case THat::Fedora:
        c.FillEllipse(Cx, HeadY - 44, f.HeadWidth + 40, 14, Solid(Darker(hat, 0.7f)));
        c.Fill(
            Cx - 60, HeadY - 120, Cx + 60, HeadY - 44,
            [&](float x, float y) {
                return std::max(SdRoundRect(x, y, Cx - 50, HeadY - 110, Cx + 50, HeadY - 40, 24),
                                -SdEllipse(x, y, Cx, HeadY - 122, 18, 14));
            },
            shaded);
        c.FillRoundRect(Cx - 50, HeadY - 62, Cx + 50, HeadY - 50, 2, Solid(Palette::Accent));
        break;
    case THat::None:
        break;
    }
}

TCanvas PaintFace(const TFaceLook& f, uint32_t seed) {
    TCanvas c(256, 256);
    PaintBackdrop(c, f, seed);
    PaintHairBack(c, f);
    PaintBody(c, f);
    PaintHead(c, f);
    PaintFacialHair(c, f);
    PaintEyes(c, f);
    PaintMouthAndNose(c, f);
    PaintHairFront(c, f);
    PaintAccessories(c, f);
    PaintHat(c, f);
    // A thin frame in the accent colour keeps the portraits together as a set.
    c.Fill(
        0, 0, 256, 256,
        [](float x, float y) { return std::abs(SdRoundRect(x, y, 1, 1, 255, 255, 6)) - 2.0f; },
        Solid(WithAlpha(Palette::Accent, 0.7f)));
    return c;
}

// Skin tones, lightest to darkest.
const TColor SkinTones[] = {Rgb(255, 222, 196), Rgb(246, 204, 170), Rgb(226, 176, 136),
                            Rgb(190, 136, 96),  Rgb(140, 94, 64),   Rgb(96, 62, 44)};

TFaceLook Look(int face) {
    TFaceLook f;
    const TColor blue = Rgb(40, 60, 110), violet = Rgb(70, 40, 100), teal = Rgb(20, 80, 90),
                 wine = Rgb(100, 20, 50);
    switch (face) {
    case 0: // adam: short dark hair, friendly grin
        f = {blue, SkinTones[1], Rgb(50, 36, 28), THair::Short, Rgb(40, 90, 160)};
        f.Smile = 0.9f;
        break;
    case 1: // bara: long red hair, freckles
        f = {violet,          SkinTones[0],    Rgb(190, 70, 30), THair::Long, Rgb(30, 140, 110),
             TClothes::Shirt, Rgb(40, 120, 60)};
        f.Freckles = true;
        f.Lipstick = true;
        f.HeadWidth = 54;
        f.HeadHeight = 66;
        break;
    case 2: // cyril: glasses, side parting, calm
        f = {teal, SkinTones[2], Rgb(110, 80, 50), THair::SidePart, Rgb(140, 130, 110), TClothes::Jacket};
        f.Glasses = true;
        f.Smile = 0.2f;
        break;
    case 3: // dana: dark bob, earrings
        f = {wine,           SkinTones[3], Rgb(30, 22, 20), THair::Bob, Rgb(231, 0, 75), TClothes::Shirt,
             Rgb(60, 40, 30)};
        f.Earrings = true;
        f.Lipstick = true;
        f.HeadWidth = 54;
        f.HeadHeight = 66;
        f.Smile = 0.8f;
        break;
    case 4: // emil: bald with a grey beard
        f = {blue,
             SkinTones[1],
             Rgb(170, 170, 175),
             THair::None,
             Rgb(90, 60, 40),
             TClothes::Jacket,
             Rgb(80, 110, 140)};
        f.Beard = true;
        f.HeadWidth = 60;
        f.Smile = 0.5f;
        break;
    case 5: // filip: spiky blond, hoodie
        f = {violet,          SkinTones[0],     Rgb(235, 200, 110), THair::Spiky,
             Rgb(60, 60, 70), TClothes::Hoodie, Rgb(70, 130, 200)};
        f.Smile = 1.0f;
        break;
    case 6: // gita: curly black hair, big smile
        f = {teal,           SkinTones[5], Rgb(20, 16, 16), THair::Curly, Rgb(240, 180, 40), TClothes::Shirt,
             Rgb(50, 30, 20)};
        f.Earrings = true;
        f.Smile = 0.9f;
        f.HeadWidth = 54;
        break;
    case 7: // hugo: moustache, slicked hair, stern
        f = {wine, SkinTones[2], Rgb(40, 30, 26), THair::Slick, Rgb(60, 60, 80), TClothes::Suit};
        f.Moustache = true;
        f.Smile = -0.2f;
        f.BrowTilt = 0.6f;
        break;
    case 8: // ivana: blonde bun, glasses
        f = {blue,
             SkinTones[0],
             Rgb(240, 210, 140),
             THair::Bun,
             Rgb(120, 60, 140),
             TClothes::Shirt,
             Rgb(60, 110, 170)};
        f.Glasses = true;
        f.Lipstick = true;
        f.HeadWidth = 52;
        f.HeadHeight = 66;
        break;
    case 9: // jakub: dark skin, short hair, stubble
        f = {violet,           SkinTones[4],     Rgb(20, 16, 14), THair::Short,
             Rgb(200, 60, 40), TClothes::Hoodie, Rgb(40, 26, 20)};
        f.Stubble = true;
        f.Smile = 0.7f;
        break;
    case 10: // klara: long brown hair, calm smile
        f = {teal,
             SkinTones[2],
             Rgb(90, 50, 30),
             THair::Long,
             Rgb(60, 110, 200),
             TClothes::Shirt,
             Rgb(60, 100, 60)};
        f.HeadWidth = 52;
        f.HeadHeight = 66;
        f.Smile = 0.4f;
        break;
    case 11: // libor: ginger beard, curly hair
        f = {wine,
             SkinTones[1],
             Rgb(180, 90, 40),
             THair::Curly,
             Rgb(50, 110, 70),
             TClothes::Overall,
             Rgb(70, 120, 90)};
        f.Beard = true;
        f.Smile = 0.6f;
        break;
    case 12: // marta: grey bob, older lady with glasses
        f = {blue,
             SkinTones[1],
             Rgb(200, 200, 210),
             THair::Bob,
             Rgb(150, 40, 80),
             TClothes::Jacket,
             Rgb(90, 90, 130)};
        f.Glasses = true;
        f.Smile = 0.7f;
        f.HeadWidth = 56;
        break;
    case 13: // racer: helmet with the visor up
        f = {violet, SkinTones[2], Rgb(50, 36, 28), THair::None, Rgb(231, 0, 75), TClothes::Overall};
        f.Hat = THat::Helmet;
        f.HatColour = Palette::Accent;
        f.Smile = 0.9f;
        f.BrowTilt = 0.3f;
        break;
    case 14: // trucker: cap, moustache, checked overall
        f = {teal, SkinTones[3], Rgb(60, 40, 30), THair::Short, Rgb(40, 70, 130), TClothes::Overall};
        f.Hat = THat::TruckerCap;
        f.HatColour = Rgb(40, 60, 140);
        f.Moustache = true;
        f.Stubble = true;
        f.HeadWidth = 62;
        break;
    case 15: // cabbie: flat cap, shades of the night shift
        f = {wine, SkinTones[1], Rgb(80, 60, 50), THair::Short, Rgb(240, 190, 40), TClothes::Jacket};
        f.Hat = THat::FlatCap;
        f.HatColour = Rgb(240, 190, 40);
        f.Smile = 0.5f;
        break;
    case 16: // et_zyx: green, antennae
        f = {teal, Rgb(110, 200, 90), Rgb(0, 0, 0), THair::None, Rgb(180, 190, 210), TClothes::Spacesuit};
        f.Alien = TAlien::Antennae;
        f.HeadWidth = 60;
        f.HeadHeight = 66;
        f.Smile = 0.6f;
        break;
    case 17: // et_blop: purple, three eyes
        f = {violet,         Rgb(160, 100, 200), Rgb(0, 0, 0),
             THair::None,    Rgb(60, 200, 200),  TClothes::Spacesuit,
             Rgb(231, 0, 75)};
        f.Alien = TAlien::ThreeEyes;
        f.HeadWidth = 64;
        f.HeadHeight = 62;
        f.Smile = 0.9f;
        break;
    case 18: // et_quor: the classic grey visitor
        f = {blue, Rgb(170, 178, 190), Rgb(0, 0, 0), THair::None, Rgb(120, 130, 150), TClothes::Spacesuit};
        f.Alien = TAlien::Classic;
        f.HeadWidth = 62;
        f.HeadHeight = 70;
        f.Smile = 0.0f;
        break;
    case 19: // director: the mission giver — grey side parting, glasses, suit and tie
        f = {wine,           SkinTones[1],    Rgb(150, 150, 160), THair::SidePart, Rgb(40, 40, 60),
             TClothes::Suit, Rgb(60, 90, 120)};
        f.Glasses = true;
        f.Moustache = true;
        f.Smile = 0.5f;
        f.HeadWidth = 60;
        break;
    case 20: // boss: fedora, shades, no smile
        f = {violet, SkinTones[2], Rgb(30, 26, 24), THair::Slick, Rgb(30, 30, 36), TClothes::Suit};
        f.Hat = THat::Fedora;
        f.HatColour = Rgb(50, 46, 60);
        f.Shades = true;
        f.Stubble = true;
        f.Smile = -0.3f;
        f.BrowTilt = 0.8f;
        f.HeadWidth = 62;
        break;
    case 21: // biker: bandana, shades, big beard
        f = {teal, SkinTones[2], Rgb(70, 50, 40), THair::None, Rgb(30, 30, 34), TClothes::Jacket};
        f.Hat = THat::Bandana;
        f.HatColour = Palette::Accent;
        f.Shades = true;
        f.Beard = true;
        f.Smile = 0.4f;
        f.HeadWidth = 62;
        break;
    default:
        throw std::runtime_error("no look for face " + std::to_string(face));
    }
    return f;
}

void GenerateFaces(const TGenContext& context) {
    for (int face = 0; face < FaceCount; ++face) {
        TCanvas portrait = PaintFace(Look(face), uint32_t(100 + face));
        std::string file = std::string("face_") + FaceTable[face].Name + ".bmp";
        SavePicture(context, "bitmaps/" + file, portrait.Resized(128, 128), TBMPFormat::RGB);
        if (face < LauncherFaceCount)
            SavePicture(context, "resources/" + file, portrait.Resized(100, 100), TBMPFormat::RGB);
    }
}

} // namespace

KAL_GENERATOR("faces", GenerateFaces);
