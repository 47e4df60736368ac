// The picture painter of the data generator: shapes and their anti-aliased edges, compositing, blur,
// scaling, and BMP output read back with the game's own parser in each of its three formats;
// FreeType text and UTF-8 decoding.
#include "Raster.h"
#include "BMPWriter.h"
#include "TextRaster.h"
#include "uBMP.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const char* DejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

TBMPImage RoundTrip(const TCanvas& canvas, TBMPFormat format, bool topRowFirst = false) {
    TBMPImage image;
    EXPECT_NO_THROW(image = ParseBMP(EncodeBMP(canvas.ToBMP(format, topRowFirst)), "canvas.bmp"));
    return image;
}

TEST(TCanvas, FillCoversInsideAndHalfCoversTheEdge) {
    TCanvas c(20, 20);
    c.FillRoundRect(5, 5, 15, 15, 0, Solid(Rgb(255, 0, 0)));
    EXPECT_FLOAT_EQ(c.At(10, 10).A, 1.0f);
    EXPECT_FLOAT_EQ(c.At(2, 10).A, 0.0f);
    // A box edge on a pixel boundary: pixels whose centre is half a pixel inside are fully covered,
    // a circle edge through a pixel centre half covers it.
    EXPECT_FLOAT_EQ(c.At(5, 10).A, 1.0f);
    EXPECT_FLOAT_EQ(c.At(4, 10).A, 0.0f);
    TCanvas d(20, 20);
    d.FillCircle(10, 10.5f, 5.5f, Solid(Rgb(0, 0, 255)));
    EXPECT_NEAR(d.At(15, 10).A, 0.5f, 0.05f);
}

TEST(TCanvas, BlendingOverKeepsStraightColour) {
    TCanvas c(1, 1, Rgb(0, 0, 255));
    c.Blend(0, 0, Rgb(255, 0, 0, 0.5f), 1.0f);
    EXPECT_NEAR(c.At(0, 0).R, 0.5f, 1e-5f);
    EXPECT_NEAR(c.At(0, 0).B, 0.5f, 1e-5f);
    EXPECT_FLOAT_EQ(c.At(0, 0).A, 1.0f);
    // Half-transparent over transparent stays half-transparent with its own colour.
    TCanvas t(1, 1);
    t.Blend(0, 0, Rgb(0, 255, 0, 0.5f), 1.0f);
    EXPECT_FLOAT_EQ(t.At(0, 0).A, 0.5f);
    EXPECT_FLOAT_EQ(t.At(0, 0).G, 1.0f);
    // Drawing outside the canvas is ignored.
    t.Blend(-1, 0, Rgb(255, 0, 0), 1.0f);
    t.Blend(0, 1, Rgb(255, 0, 0), 1.0f);
}

TEST(TCanvas, PolygonFollowsTheEvenOddRule) {
    EXPECT_LT(SdPolygon(5, 5, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 0);
    EXPECT_GT(SdPolygon(15, 5, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 0);
    EXPECT_NEAR(SdPolygon(15, 5, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 5.0f, 1e-5f);
}

TEST(TCanvas, BlurSpreadsButKeepsTheTotalAlpha) {
    TCanvas c(41, 41);
    c.FillRoundRect(15, 15, 26, 26, 0, Solid(Rgb(255, 255, 255)));
    float before = 0, after = 0;
    for (const TColor& p : c.Pixels)
        before += p.A;
    c.Blur(4);
    for (const TColor& p : c.Pixels)
        after += p.A;
    EXPECT_NEAR(after, before, before * 0.01f);
    EXPECT_GT(c.At(12, 20).A, 0.0f);
    EXPECT_LT(c.At(20, 20).A, 1.0f);
    EXPECT_FLOAT_EQ(c.At(12, 20).R, 1.0f) << "colour of a blurred white shape stays white";
}

TEST(TCanvas, ResizedAveragesWhenShrinking) {
    TCanvas c(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            c.At(x, y) = (x + y) % 2 ? Rgb(255, 255, 255) : Rgb(0, 0, 0);
    TCanvas half = c.Resized(2, 2);
    EXPECT_NEAR(half.At(0, 0).R, 0.5f, 1e-5f);
    EXPECT_NEAR(half.At(1, 1).G, 0.5f, 1e-5f);
    TCanvas grown = c.Resized(8, 8);
    EXPECT_EQ(grown.Width, 8);
}

TEST(TCanvasBMP, RGBPictureIsStoredBottomRowFirst) {
    TCanvas c(4, 2);
    c.At(0, 0) = Rgb(255, 0, 0); // top-left on the canvas
    c.At(3, 1) = Rgb(0, 0, 255); // bottom-right
    TBMPImage image = RoundTrip(c, TBMPFormat::RGB);
    ASSERT_EQ(image.Width, 4);
    ASSERT_EQ(image.Height, 2);
    // Parsed pixels start with the bottom row, as OpenGL's texture origin.
    EXPECT_EQ(image.Pixels[3 * 3 + 2], 255);       // bottom-right blue
    EXPECT_EQ(image.Pixels[(4 + 0) * 3 + 0], 255); // top-left red
    EXPECT_EQ(image.Pixels[0], 0);
}

TEST(TCanvasBMP, TopRowFirstStoresTheSheetUnflipped) {
    TCanvas c(4, 2);
    c.At(0, 0) = Rgb(255, 255, 255);
    TBMPImage image = RoundTrip(c, TBMPFormat::Alpha, true);
    EXPECT_EQ(image.Pixels[0], 255);
    EXPECT_EQ(image.Pixels[4], 0);
}

TEST(TCanvasBMP, AlphaPictureKeepsOnlyTheCoverage) {
    TCanvas c(4, 1);
    c.At(1, 0) = Rgb(10, 20, 30, 0.5f);
    TBMPImage image = RoundTrip(c, TBMPFormat::Alpha);
    ASSERT_EQ(int(image.Format), int(TBMPFormat::Alpha));
    EXPECT_EQ(image.Pixels[1], 128);
    EXPECT_EQ(image.Pixels[0], 0);
}

TEST(TCanvasBMP, RGBComposesOverBlackAndRGBAKeepsStraightColours) {
    TCanvas c(4, 1);
    c.At(0, 0) = Rgb(200, 100, 50, 0.5f);
    TBMPImage rgb = RoundTrip(c, TBMPFormat::RGB);
    EXPECT_EQ(rgb.Pixels[0], 100);
    TBMPImage rgba = RoundTrip(c, TBMPFormat::RGBA);
    EXPECT_EQ(rgba.Pixels[0], 200);
    EXPECT_EQ(rgba.Pixels[3], 128);
}

TEST(TCanvasBMP, TransparentPixelsTakeTheColourOfTheirVisibleNeighbours) {
    // Linear filtering mixes a sprite's edge with the transparent pixels next to it: they must
    // carry the edge colour, not black, or every icon gets a dark fringe.
    TCanvas c(8, 1);
    c.At(0, 0) = Rgb(255, 0, 0);
    TBMPImage image = RoundTrip(c, TBMPFormat::RGBA);
    EXPECT_EQ(image.Pixels[1 * 4 + 0], 255);
    EXPECT_EQ(image.Pixels[1 * 4 + 3], 0);
    EXPECT_EQ(image.Pixels[3 * 4 + 0], 255) << "spreads a few pixels";
}

TEST(DecodeUtf8, DecodesCzechAndReplacesBrokenBytes) {
    EXPECT_EQ(DecodeUtf8("Ž"), std::u32string(1, U'Ž'));
    EXPECT_EQ(DecodeUtf8("a€"), std::u32string(U"a€"));
    EXPECT_EQ(DecodeUtf8("\xC5"), std::u32string(1, 0xFFFD)) << "truncated sequence at the end";
    EXPECT_EQ(DecodeUtf8("\xC5x"), (std::u32string{0xFFFD, U'x'}));
    EXPECT_EQ(DecodeUtf8("\xFF"), std::u32string(1, 0xFFFD));
    EXPECT_EQ(DecodeUtf8(""), std::u32string());
}

TEST(TFontFace, MissingFontNamesTheFile) {
    try {
        TFontFace face("/nonexistent/font.ttf");
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/font.ttf"), std::string::npos);
    }
}

TEST(TFontFace, RendersGlyphsAndMeasuresText) {
    TFontFace face(DejaVuSans);
    ASSERT_TRUE(face.HasGlyph(U'Ř'));
    TGlyphBitmap g = face.Glyph(U'Ř', 32);
    EXPECT_GT(g.Width, 0);
    EXPECT_GT(g.Top, 20) << "capital with a caron reaches high above the baseline";
    EXPECT_GT(g.Advance, 10.0f);
    EXPECT_GT(face.TextWidth("WWW", 20), face.TextWidth("iii", 20));
    EXPECT_FLOAT_EQ(face.TextWidth("ab", 20, 3), face.TextWidth("ab", 20) + 6);

    TCanvas c(100, 40);
    float end = face.DrawText(c, "Hi", 5, 30, 24, Solid(Rgb(255, 255, 255)));
    EXPECT_NEAR(end, 5 + face.TextWidth("Hi", 24), 1.0f);
    float ink = 0;
    for (const TColor& p : c.Pixels)
        ink += p.A;
    EXPECT_GT(ink, 20.0f);
}

} // namespace
