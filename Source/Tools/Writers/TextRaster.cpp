#include "TextRaster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <stdexcept>

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    size_t i = 0;
    while (i < text.size()) {
        uint8_t b = uint8_t(text[i]);
        int extra = b < 0x80             ? 0
                    : (b & 0xE0) == 0xC0 ? 1
                    : (b & 0xF0) == 0xE0 ? 2
                    : (b & 0xF8) == 0xF0 ? 3
                                         : -1;
        if (extra < 0 || i + size_t(extra) >= text.size() + (extra == 0 ? 1 : 0)) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        uint32_t cp = extra == 0 ? b : b & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            uint8_t c = uint8_t(text[i + size_t(k)]);
            if ((c & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        out.push_back(ok ? cp : 0xFFFD);
        i += ok ? size_t(extra) + 1 : 1;
    }
    return out;
}

struct TFontFace::TImpl {
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
    float Size = -1;

    void SetSize(float size) {
        if (size == Size)
            return;
        FT_Set_Char_Size(Face, 0, FT_F26Dot6(std::lround(size * 64.0f)), 72, 72);
        Size = size;
    }
};

TFontFace::TFontFace(const std::string& fileName) : FileName(fileName), Impl(std::make_unique<TImpl>()) {
    if (FT_Init_FreeType(&Impl->Library) != 0)
        throw std::runtime_error("cannot start FreeType for " + fileName);
    if (FT_New_Face(Impl->Library, fileName.c_str(), 0, &Impl->Face) != 0) {
        FT_Done_FreeType(Impl->Library);
        throw std::runtime_error("cannot open the font " + fileName);
    }
}

TFontFace::~TFontFace() {
    FT_Done_Face(Impl->Face);
    FT_Done_FreeType(Impl->Library);
}

bool TFontFace::HasGlyph(uint32_t codePoint) const {
    return FT_Get_Char_Index(Impl->Face, codePoint) != 0;
}

TGlyphBitmap TFontFace::Glyph(uint32_t codePoint, float size) const {
    Impl->SetSize(size);
    TGlyphBitmap glyph;
    if (FT_Load_Char(Impl->Face, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
        return glyph;
    FT_GlyphSlot slot = Impl->Face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.Width = int(bitmap.width);
    glyph.Height = int(bitmap.rows);
    glyph.Left = slot->bitmap_left;
    glyph.Top = slot->bitmap_top;
    glyph.Advance = float(slot->advance.x) / 64.0f;
    glyph.Coverage.resize(size_t(glyph.Width) * size_t(glyph.Height));
    for (int y = 0; y < glyph.Height; ++y)
        for (int x = 0; x < glyph.Width; ++x)
            glyph.Coverage[size_t(y) * size_t(glyph.Width) + size_t(x)] = bitmap.buffer[y * bitmap.pitch + x];
    return glyph;
}

float TFontFace::Ascender(float size) const {
    return float(Impl->Face->ascender) / float(Impl->Face->units_per_EM) * size;
}

float TFontFace::Descender(float size) const {
    return -float(Impl->Face->descender) / float(Impl->Face->units_per_EM) * size;
}

float TFontFace::TextWidth(std::string_view utf8, float size, float tracking) const {
    Impl->SetSize(size);
    float width = 0;
    for (char32_t cp : DecodeUtf8(utf8)) {
        if (FT_Load_Char(Impl->Face, cp, FT_LOAD_TARGET_LIGHT) == 0)
            width += float(Impl->Face->glyph->advance.x) / 64.0f + tracking;
    }
    return width;
}

float TFontFace::DrawText(TCanvas& canvas, std::string_view utf8, float x, float baseline, float size,
                          const TPaint& paint, float tracking) const {
    for (char32_t cp : DecodeUtf8(utf8)) {
        TGlyphBitmap g = Glyph(cp, size);
        int ox = int(std::lround(x)) + g.Left;
        int oy = int(std::lround(baseline)) - g.Top;
        for (int y = 0; y < g.Height; ++y)
            for (int gx = 0; gx < g.Width; ++gx) {
                uint8_t c = g.Coverage[size_t(y) * size_t(g.Width) + size_t(gx)];
                if (c)
                    canvas.Blend(ox + gx, oy + y, paint(ox + gx + 0.5f, oy + y + 0.5f), c / 255.0f);
            }
        x += g.Advance + tracking;
    }
    return x;
}

void TFontFace::DrawCentred(TCanvas& canvas, std::string_view utf8, float x, float baseline, float size,
                            const TPaint& paint, float tracking) const {
    DrawText(canvas, utf8, x - (TextWidth(utf8, size, tracking) - tracking) * 0.5f, baseline, size, paint,
             tracking);
}
