// The font's width table, glyph layout and line breaking, without a GL context: the font is built
// from a made-up texture id and width table.
#include "uGLFont.h"
#include "TestSupport.h"
#include "uErrors.h"
#include "uText1250.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

// Every glyph as wide as high, except for the few a test sets itself.
std::array<uint8_t, 256> SquareWidths() {
    std::array<uint8_t, 256> widths;
    widths.fill(32);
    return widths;
}

std::vector<std::string> Strings(const std::vector<std::string_view>& views) {
    return {views.begin(), views.end()};
}

void WriteBytes(const std::string& file, size_t count, uint8_t value) {
    std::ofstream out(file, std::ios::binary);
    std::string bytes(count, char(value));
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

} // namespace

TEST(TGLFont, GlyphCellsFollowTheSixteenBySixteenGrid) {
    TGLFont font(7, SquareWidths(), 640, 480);
    EXPECT_FLOAT_EQ(font.Origins[0].S, 0);
    EXPECT_FLOAT_EQ(font.Origins[0].T, 0);
    EXPECT_FLOAT_EQ(font.Origins['A'].S, 1 * 0.0625f); // 65 = row 4, column 1
    EXPECT_FLOAT_EQ(font.Origins['A'].T, 4 * 0.0625f);
    EXPECT_FLOAT_EQ(font.Origins[255].S, 15 * 0.0625f);
    EXPECT_FLOAT_EQ(font.Origins[255].T, 15 * 0.0625f);
    EXPECT_EQ(font.Alpha, 192);
    EXPECT_EQ(font.Red, 255);
}

TEST(TGLFont, LayoutAdvancesByWidthAndFlipsTheCell) {
    auto widths = SquareWidths();
    widths['i'] = 8;    // a quarter of the height
    widths['\x01'] = 0; // zero width: drawn, but the pen stays
    TGLFont font(7, widths, 640, 480);
    auto quads = font.LayoutLine("Mi\x01W");
    ASSERT_EQ(quads.size(), 4u);
    EXPECT_FLOAT_EQ(quads[0].Left, 0);
    EXPECT_FLOAT_EQ(quads[0].Right, 1);
    EXPECT_FLOAT_EQ(quads[1].Left, 1);
    EXPECT_FLOAT_EQ(quads[1].Right, 1.25f);
    EXPECT_FLOAT_EQ(quads[2].Left, 1.25f);
    EXPECT_FLOAT_EQ(quads[2].Right, 1.25f);
    EXPECT_FLOAT_EQ(quads[3].Left, 1.25f);
    // The glyph takes the left part of its cell, as wide as its advance.
    EXPECT_FLOAT_EQ(quads[1].S0, font.Origins['i'].S);
    EXPECT_FLOAT_EQ(quads[1].S1, font.Origins['i'].S + 0.25f * 0.0625f);
    // The top of the glyph is the cell's lower t edge (the sheet is stored upside down).
    EXPECT_FLOAT_EQ(quads[0].TTop, font.Origins['M'].T);
    EXPECT_FLOAT_EQ(quads[0].TBottom, font.Origins['M'].T + 0.0625f);
    EXPECT_TRUE(font.LayoutLine("").empty());
}

TEST(TGLFont, TextWidthIsInSixteenGlyphHeights) {
    auto widths = SquareWidths();
    widths[' '] = 16;
    TGLFont font(7, widths, 640, 480);
    // Size 16 with 32-wide glyphs: 16 pixels per character, so "ab" is 32 pixels = 32 / (16 * 16).
    EXPECT_FLOAT_EQ(font.TextWidth("ab"), 32.0f / 256.0f);
    EXPECT_FLOAT_EQ(font.TextWidth("a b"), 2.0f / 16.0f + 0.5f / 16.0f);
    EXPECT_FLOAT_EQ(font.TextWidth(""), 0);
    // Bytes above 127 index their own glyphs (Windows-1250 letters).
    widths[0xF8] = 0; // ř
    TGLFont narrow(7, widths, 640, 480);
    EXPECT_FLOAT_EQ(narrow.TextWidth(Utf8ToCp1250("ř")), 0);
}

TEST(TGLFont, WrapsAtTheFirstSpacePastTheMaximum) {
    TGLFont font(7, SquareWidths(), 640, 480);
    // Widths in glyph heights: "aaa" 3, the space 1. The line ends at the first space after the
    // running width exceeds 5 (the space counted), and the space is dropped.
    EXPECT_EQ(Strings(font.WrapLines("aaa bb cc dddd e", 5)),
              (std::vector<std::string>{"aaa bb", "cc dddd", "e"}));
    // A word wider than the maximum is never split.
    EXPECT_EQ(Strings(font.WrapLines("abcdefghij k", 3)), (std::vector<std::string>{"abcdefghij", "k"}));
    // Short text: one line, the last character included.
    EXPECT_EQ(Strings(font.WrapLines("ab c", 40)), (std::vector<std::string>{"ab c"}));
    EXPECT_TRUE(font.WrapLines("", 10).empty());
}

TEST(TGLFont, WrapWithZeroMaximumPutsEveryWordOnItsOwnLine) {
    TGLFont font(7, SquareWidths(), 640, 480);
    EXPECT_EQ(Strings(font.WrapLines("one two three", 0)), (std::vector<std::string>{"one", "two", "three"}));
    // A trailing space is the last character: it stays on the last line.
    EXPECT_EQ(Strings(font.WrapLines("one ", 0)), (std::vector<std::string>{"one "}));
    // Zero-width glyphs add nothing to the line: a line of them never exceeds 0, so it continues.
    auto widths = SquareWidths();
    widths['z'] = 0;
    widths[' '] = 0;
    TGLFont zero(7, widths, 640, 480);
    EXPECT_EQ(Strings(zero.WrapLines("zz zz a b", 0)), (std::vector<std::string>{"zz zz a", "b"}));
}

TEST(TGLFont, SetColorSplitsRgbAndKeepsAlpha) {
    TGLFont font(7, SquareWidths(), 640, 480);
    font.Alpha = 255;
    font.SetColor(0x12AB34u);
    EXPECT_EQ(font.Red, 0x12);
    EXPECT_EQ(font.Green, 0xAB);
    EXPECT_EQ(font.Blue, 0x34);
    EXPECT_EQ(font.Alpha, 255);
}

TEST(TGLFont, WidthFileMustHoldExactly256Bytes) {
    TTempDir dir;
    WriteBytes(dir.File("good.dat"), 256, 20);
    auto widths = TGLFont::ReadWidths(dir.File("good.dat"));
    EXPECT_EQ(widths[0], 20);
    EXPECT_EQ(widths[255], 20);

    WriteBytes(dir.File("short.dat"), 255, 20);
    WriteBytes(dir.File("long.dat"), 300, 20);
    for (const char* name : {"short.dat", "long.dat", "missing.dat"}) {
        try {
            TGLFont::ReadWidths(dir.File(name));
            ADD_FAILURE() << name << " accepted";
        } catch (const EInOutError& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
    }
}

TEST(TGLFont, MissingPictureIsAnInputOutputErrorNamingIt) {
    TTempDir dir;
    WriteBytes(dir.File("font.dat"), 256, 32);
    try {
        TGLFont(dir.File("font.bmp"), dir.File("font.dat"), 640, 480);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find("font.bmp"), std::string::npos) << e.what();
    }
}
