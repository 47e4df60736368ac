#include "uGLFont.h"
#include "uGLState.h"
#include "uBMP.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uPlatform.h"

#include <GL/gl.h>

namespace {

constexpr float Cell = 0.0625f; // one of the sheet's 16 columns or rows, in texture units

} // namespace

TGLFont::TGLFont(const std::string& pictureFile, const std::string& widthFile, int32_t screenWidth,
                 int32_t screenHeight)
    : Texture(0), Widths(ReadWidths(widthFile)), ScreenWidth(screenWidth), ScreenHeight(screenHeight) {
    Texture = loadBMP(NativePath(pictureFile));
    ComputeOrigins();
}

TGLFont::TGLFont(uint32_t texture, const std::array<uint8_t, 256>& widths, int32_t screenWidth,
                 int32_t screenHeight)
    : Texture(texture), Widths(widths), ScreenWidth(screenWidth), ScreenHeight(screenHeight) {
    ComputeOrigins();
}

std::array<uint8_t, 256> TGLFont::ReadWidths(const std::string& widthFile) {
    std::string path = NativePath(widthFile);
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes))
        throw EInOutError(FormatMessage("Font width file %s cannot be read", path));
    if (bytes.size() != 256)
        throw EInOutError(path + ": a font width file holds 256 bytes, this one " +
                          std::to_string(bytes.size()));
    std::array<uint8_t, 256> widths;
    std::copy(bytes.begin(), bytes.end(), widths.begin());
    return widths;
}

void TGLFont::ComputeOrigins() {
    for (int c = 0; c < 256; ++c)
        Origins[size_t(c)] = {float(c % 16) * Cell, float(c / 16) * Cell};
}

void TGLFont::SetColor(uint32_t rgb) {
    SetColor(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
}

void TGLFont::SetColor(uint8_t red, uint8_t green, uint8_t blue) {
    Red = red;
    Green = green;
    Blue = blue;
}

std::vector<TGlyphQuad> TGLFont::LayoutLine(std::string_view text) const {
    std::vector<TGlyphQuad> quads;
    quads.reserve(text.size());
    float pen = 0;
    for (char ch : text) {
        uint8_t c = static_cast<uint8_t>(ch);
        const TGlyphOrigin& o = Origins[c];
        float a = float(Widths[c]) / 32.0f;
        // The glyph's top is at the cell's lower t edge: the sheet stores its rows upside down.
        quads.push_back({pen, pen + a, o.S, o.S + a * Cell, o.T, o.T + Cell});
        pen += a;
    }
    return quads;
}

void TGLFont::DrawText(std::string_view text, float x, float y, float size) const {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    PushOrtho(float(ScreenWidth), float(ScreenHeight), -1, 1);

    // The glyphs placed here as the translation to (x, y) and the scale by `size` would place them.
    Batch.Begin();
    Batch.SetTexture(Texture);
    Batch.SetColor(Red, Green, Blue, Alpha);
    for (const TGlyphQuad& q : LayoutLine(text)) {
        float left = size * q.Left + x, right = size * q.Right + x, top = size + y;
        Batch.Vertex(q.S0, q.TBottom, left, y);
        Batch.Vertex(q.S1, q.TBottom, right, y);
        Batch.Vertex(q.S1, q.TTop, right, top);
        Batch.Vertex(q.S0, q.TTop, left, top);
    }
    Batch.End();

    PopOrtho();
    glPopAttrib();
}

std::vector<std::string_view> TGLFont::WrapLines(std::string_view text, float maximum) const {
    std::vector<std::string_view> lines;
    size_t from = 0;
    float lineWidth = 0; // glyph heights
    for (size_t i = 0; i < text.size(); ++i) {
        lineWidth += float(Widths[static_cast<uint8_t>(text[i])]) / 32.0f;
        if (i + 1 == text.size()) {
            lines.push_back(text.substr(from));
        } else if (lineWidth > maximum && text[i] == ' ') {
            lines.push_back(text.substr(from, i - from));
            lineWidth = 0;
            from = i + 1;
        }
    }
    return lines;
}

void TGLFont::DrawTextWrapped(std::string_view text, float x, float y, float size, float maximum) const {
    for (std::string_view line : WrapLines(text, maximum)) {
        DrawText(line, x, y, size);
        y -= size - 2;
    }
}

float TGLFont::TextWidth(std::string_view text) const {
    float width = 0;
    for (char ch : text)
        width += float(Widths[static_cast<uint8_t>(ch)]) / 512.0f;
    return width;
}
