// Shared look of the game's pictures: the night-city palette, the DejaVu faces, glowing title text,
// night skies and skylines, icon finishing, and saving a canvas as a BMP of the data tree.
#pragma once

#include "DataGen.h"
#include "Raster.h"
#include "TextRaster.h"

#include <string>
#include <string_view>
#include <vector>

namespace Palette {
inline const TColor Accent = Rgb(231, 0, 75); // the game's magenta-red
inline const TColor AccentLight = Rgb(255, 92, 150);
inline const TColor Night = Rgb(8, 10, 24);
inline const TColor NightBlue = Rgb(20, 26, 58);
inline const TColor Dusk = Rgb(58, 24, 78);
inline const TColor Cyan = Rgb(0, 220, 255);
inline const TColor Amber = Rgb(255, 190, 60);
inline const TColor White = Rgb(245, 244, 250);
inline const TColor Ink = Rgb(12, 10, 20);
} // namespace Palette

const TFontFace& SansBold();
const TFontFace& Sans();
const TFontFace& SansCondensedBold();

// Writes the canvas under DataDir (e.g. "bitmaps/lamp.bmp") in the given BMP format.
void SavePicture(const TGenContext& context, const std::string& path, const TCanvas& canvas,
                 TBMPFormat format);

// A title line: gradient fill (top to bottom), dark outline, drop shadow and a coloured glow.
struct TTitleStyle {
    TColor Top = Palette::White;
    TColor Bottom = Palette::AccentLight;
    TColor Outline = Palette::Ink;
    float OutlineWidth = 2.0f;
    TColor Glow = Palette::Accent;
    float GlowRadius = 8.0f;
    float GlowStrength = 1.2f;
    float Tracking = 0;
};
void DrawTitle(TCanvas& canvas, const TFontFace& font, std::string_view text, float centreX, float baseline,
               float size, const TTitleStyle& style);

// Word-wrapped paragraph, left-aligned at x; returns the baseline after the last line.
float DrawParagraph(TCanvas& canvas, const TFontFace& font, std::string_view text, float x, float baseline,
                    float size, float maxWidth, float lineHeight, const TPaint& paint, bool centred = false);

// Night sky from the top of the canvas down to `horizon`, with stars.
void PaintNightSky(TCanvas& canvas, float horizon, uint32_t seed);
// A row of buildings standing on `ground` with lit windows; `depth` 0 (far, dim) to 1 (near, bright).
void PaintSkyline(TCanvas& canvas, float ground, float minHeight, float maxHeight, float depth, uint32_t seed,
                  float x0 = 0, float x1 = -1);

// Finishes a shape layer as a HUD icon: soft shadow and dark outline under the shape itself.
TCanvas FinishIcon(const TCanvas& shape, float outline = 1.4f);
