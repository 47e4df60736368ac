// TFontFace: one TrueType face opened with FreeType, rendering anti-aliased text into a TCanvas and
// single glyphs as coverage bitmaps (for the game's bitmap fonts). Sizes are in pixels per em.
#pragma once

#include "Raster.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// UTF-8 to code points; malformed bytes become U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

struct TGlyphBitmap {
    int Width = 0, Height = 0;
    int Left = 0; // pixels from the pen position to the first column
    int Top = 0;  // pixels from the baseline up to the first row
    float Advance = 0;
    std::vector<uint8_t> Coverage; // Width x Height, top row first
};

class TFontFace {
  public:
    // Throws std::runtime_error naming the file when it cannot be opened as a font.
    explicit TFontFace(const std::string& fileName);
    ~TFontFace();
    TFontFace(const TFontFace&) = delete;
    TFontFace& operator=(const TFontFace&) = delete;

    bool HasGlyph(uint32_t codePoint) const;
    TGlyphBitmap Glyph(uint32_t codePoint, float size) const;
    // Line metrics at a size: distance from the baseline up to the ascender and down to the descender.
    float Ascender(float size) const;
    float Descender(float size) const;

    // Advance width of a text, `tracking` pixels added after each character.
    float TextWidth(std::string_view utf8, float size, float tracking = 0) const;
    // Draws a text starting at pen position (x, baseline); returns the x after the last character.
    float DrawText(TCanvas& canvas, std::string_view utf8, float x, float baseline, float size,
                   const TPaint& paint, float tracking = 0) const;
    // Draws a text centred on x.
    void DrawCentred(TCanvas& canvas, std::string_view utf8, float x, float baseline, float size,
                     const TPaint& paint, float tracking = 0) const;

    std::string FileName;

  private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};
