// The game's two bitmap fonts, menu_item (DejaVu Sans Condensed Bold) and menu_text (DejaVu Sans), covering
// every printable Windows-1250 character.
//
// Layout read by the game's font: fonts/<name>.bmp is an 8-bit alpha sheet of 16 x 16 cells of
// 32 x 32 pixels; code c sits in column c mod 16 and row c div 16 of an ordinary top-down glyph
// sheet, and the sheet is stored top row first (the font maps the cell's lower t edge to the top of
// the glyph). Each glyph is drawn at the left of its cell, no wider than its advance.
// fonts/<name>.dat holds 256 advance widths in 1/32 of the glyph height, that is in sheet pixels.
#include "BMPWriter.h"
#include "PictureKit.h"
#include "uText1250.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr int Cell = 32;
// Rows 0 and 31 of every cell stay empty so linear filtering never picks up the neighbouring cell.
constexpr int InkRows = Cell - 2;

bool Printable(int code) {
    return code >= 32 && code != 127 && Cp1250ToUnicode(uint8_t(code)) != 0;
}

bool HasInk(uint32_t codePoint) {
    return codePoint != 0x20 && codePoint != 0xA0;
}

void GenerateFont(const TGenContext& context, const TFontFace& face, const std::string& name, int tracking) {
    // The largest pixel size at which every printable glyph fits the cell's ink rows.
    float size = 0;
    int maxTop = 0;
    for (float candidate = 30; candidate >= 12; candidate -= 0.5f) {
        int top = -1000, bottom = 1000;
        for (int code = 0; code < 256; ++code) {
            uint32_t cp = Cp1250ToUnicode(uint8_t(code));
            if (!Printable(code) || !HasInk(cp))
                continue;
            TGlyphBitmap g = face.Glyph(cp, candidate);
            if (g.Height == 0)
                continue;
            top = std::max(top, g.Top);
            bottom = std::min(bottom, g.Top - g.Height);
        }
        if (top - bottom <= InkRows) {
            size = candidate;
            maxTop = top;
            break;
        }
    }
    if (size == 0)
        throw std::runtime_error("font " + face.FileName + ": glyphs do not fit a " + std::to_string(Cell) +
                                 "-pixel cell");
    int baseline = 1 + maxTop; // rows from the cell's top

    TCanvas sheet(16 * Cell, 16 * Cell);
    std::vector<uint8_t> widths(256, 0);
    for (int code = 0; code < 256; ++code) {
        if (!Printable(code))
            continue;
        uint32_t cp = Cp1250ToUnicode(uint8_t(code));
        if (!face.HasGlyph(cp))
            throw std::runtime_error("font " + face.FileName + " has no glyph for code " +
                                     std::to_string(code));
        float glyphSize = size;
        TGlyphBitmap g = face.Glyph(cp, glyphSize);
        int shift = std::max(0, -g.Left);
        int width =
            std::max(int(std::lround(g.Advance)) + tracking, shift + g.Left + g.Width + (HasInk(cp) ? 1 : 0));
        if (width > Cell) {
            // Too wide for its cell (per mille, em dash...): narrower at the same baseline.
            glyphSize = size * float(Cell - 1) / float(width);
            g = face.Glyph(cp, glyphSize);
            shift = std::max(0, -g.Left);
            width = std::min(Cell,
                             std::max(int(std::lround(g.Advance)) + tracking, shift + g.Left + g.Width + 1));
        }
        widths[size_t(code)] = uint8_t(std::max(width, 1));
        int cellX = (code % 16) * Cell, cellY = (code / 16) * Cell;
        for (int y = 0; y < g.Height; ++y)
            for (int x = 0; x < g.Width; ++x) {
                int px = shift + g.Left + x, py = baseline - g.Top + y;
                if (px < 0 || px >= width || py < 1 || py > InkRows)
                    continue;
                float a = g.Coverage[size_t(y) * size_t(g.Width) + size_t(x)] / 255.0f;
                TColor& pixel = sheet.At(cellX + px, cellY + py);
                pixel = {1, 1, 1, std::max(pixel.A, a)};
            }
    }
    context.Write("fonts/" + name + ".bmp", EncodeBMP(sheet.ToBMP(TBMPFormat::Alpha, true)));
    context.Write("fonts/" + name + ".dat", widths);
}

void GenerateFonts(const TGenContext& context) {
    // Condensed, so that the longest Czech menu items fit beside the menu's marker column.
    GenerateFont(context, SansCondensedBold(), "menu_item", 0);
    GenerateFont(context, Sans(), "menu_text", 0);
}

} // namespace

KAL_GENERATOR("fonts", GenerateFonts);
