// TGLFont: proportional text in the 2D overlay from a 16 x 16 glyph sheet (one BMP texture) and a
// 256-byte table of advance widths. Texts are Windows-1250 bytes; each byte picks its glyph. A line
// goes to the driver as one vertex-array draw.
#pragma once

#include "uQuadBatch.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One glyph of a line, in units of the glyph height, origin at the line's bottom-left corner.
struct TGlyphQuad {
    float Left, Right;   // x of the left and right edges; Right - Left is the advance
    float S0, S1;        // texture s at the left and right edges
    float TTop, TBottom; // texture t at the glyph's top and bottom edges
};

class TGLFont {
  public:
    // Reads the width table and loads the glyph sheet; game paths (".\data\fonts\...") are accepted.
    // Throws EInOutError when the width file is missing or not 256 bytes, ERangeError when the picture cannot
    // be loaded (its loader has already shown the reason).
    TGLFont(const std::string& pictureFile, const std::string& widthFile, int32_t screenWidth,
            int32_t screenHeight);
    // A font from a texture already loaded and its width table.
    TGLFont(uint32_t texture, const std::array<uint8_t, 256>& widths, int32_t screenWidth,
            int32_t screenHeight);

    // The 256 advance widths of a width file (1/32 of the glyph height each).
    static std::array<uint8_t, 256> ReadWidths(const std::string& widthFile);

    // 0xRRGGBB; alpha unchanged.
    void SetColor(uint32_t rgb);
    void SetColor(uint8_t red, uint8_t green, uint8_t blue);

    // One line with its bottom-left corner at (x, y) in screen pixels (origin bottom-left), glyphs
    // `size` pixels high.
    void DrawText(std::string_view text, float x, float y, float size) const;
    // Word-wrapped lines from (x, y) downwards, each line size - 2 pixels below the previous one.
    // `maximum` is the line width in glyph heights past which the next space ends the line.
    void DrawTextWrapped(std::string_view text, float x, float y, float size, float maximum) const;
    // Width of the text in units of 16 glyph heights: w pixels at size s give w / (16 s).
    float TextWidth(std::string_view text) const;

    // The lines DrawTextWrapped draws, top first. A line ends at the first space at which the line,
    // that space included, is wider than `maximum`; the space itself is dropped. Words are never split.
    std::vector<std::string_view> WrapLines(std::string_view text, float maximum) const;
    // The quads DrawText draws for a line, in order.
    std::vector<TGlyphQuad> LayoutLine(std::string_view text) const;

    uint32_t Texture;
    std::array<uint8_t, 256> Widths;
    struct TGlyphOrigin {
        float S, T;
    };
    std::array<TGlyphOrigin, 256> Origins; // texture corner of each glyph cell
    int32_t ScreenWidth, ScreenHeight;     // of the orthographic projection
    uint8_t Red = 255, Green = 255, Blue = 255;
    uint8_t Alpha = 192;

  private:
    void ComputeOrigins();
    mutable TQuadBatch Batch; // a line's glyphs, reused from line to line
};
