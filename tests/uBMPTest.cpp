#include "BMPWriter.h"
#include "TestSupport.h"
#include "uBMP.h"
#include "uErrors.h"

#include <gtest/gtest.h>

namespace {

TBMPImage Picture(int width, int height, TBMPFormat format) {
    TBMPImage image;
    image.Width = width;
    image.Height = height;
    image.Format = format;
    image.Pixels.resize(size_t(width) * size_t(height) * size_t(image.BytesPerPixel()));
    for (size_t i = 0; i < image.Pixels.size(); ++i)
        image.Pixels[i] = uint8_t(i * 7 + 3);
    return image;
}

void ExpectRoundTrip(int width, int height, TBMPFormat format) {
    TBMPImage in = Picture(width, height, format), out;
    ASSERT_NO_THROW(out = ParseBMP(EncodeBMP(in), "p.bmp"));
    EXPECT_EQ(out.Width, width);
    EXPECT_EQ(out.Height, height);
    EXPECT_EQ(out.Format, format);
    EXPECT_EQ(out.Pixels, in.Pixels);
}

std::string ParseError(const std::vector<uint8_t>& bytes) {
    return ReadError([&] { ParseBMP(bytes, "bad.bmp"); });
}

void PutI32(std::vector<uint8_t>& bytes, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
}

} // namespace

TEST(uBMP, EveryFormatRoundTrips) {
    ExpectRoundTrip(64, 32, TBMPFormat::Alpha);
    ExpectRoundTrip(16, 16, TBMPFormat::RGB);
    ExpectRoundTrip(8, 4, TBMPFormat::RGBA);
}

TEST(uBMP, PaddedRowsLoadStraight) {
    // Widths whose rows need padding to four bytes would load skewed if the padding were ignored.
    ExpectRoundTrip(5, 3, TBMPFormat::RGB);
    ExpectRoundTrip(7, 9, TBMPFormat::Alpha);
    ExpectRoundTrip(1, 1, TBMPFormat::RGB);
}

TEST(uBMP, ColoursComeOutInRGBOrder) {
    std::vector<uint8_t> file = EncodeBMP(Picture(4, 1, TBMPFormat::RGB));
    file[54] = 10; // blue of the first pixel as stored
    file[55] = 20;
    file[56] = 30; // red
    TBMPImage image;
    ASSERT_NO_THROW(image = ParseBMP(file, "c.bmp"));
    EXPECT_EQ(image.Pixels[0], 30);
    EXPECT_EQ(image.Pixels[1], 20);
    EXPECT_EQ(image.Pixels[2], 10);
}

TEST(uBMP, BadFilesGiveMessagesNotCrashes) {
    std::vector<uint8_t> good = EncodeBMP(Picture(8, 8, TBMPFormat::RGB));
    EXPECT_EQ(ParseError(std::vector<uint8_t>(good.begin(), good.begin() + 30)),
              "error reading image header from bad.bmp: the header needs 54 bytes, the file has 30");
    // What is short is said: the bytes the pixels need and the bytes there are.
    EXPECT_EQ(ParseError(std::vector<uint8_t>(good.begin(), good.end() - 1)),
              "error reading image data from bad.bmp: 8 x 8 pixels need 192 bytes after byte 54, the file has 191");

    std::vector<uint8_t> negative = good;
    PutI32(negative, 18, -8);
    EXPECT_EQ(ParseError(negative), "invalid image size -8 x 8 in bad.bmp");
    std::vector<uint8_t> huge = good;
    PutI32(huge, 22, 0x7fffffff);
    EXPECT_EQ(ParseError(huge), "invalid image size 8 x 2147483647 in bad.bmp");
    std::vector<uint8_t> big = good;
    PutI32(big, 18, 2048);
    PutI32(big, 22, 2048);
    EXPECT_EQ(ParseError(big), "image too large (2048 x 2048) in bad.bmp");
    std::vector<uint8_t> sixteen = good;
    sixteen[28] = 16;
    EXPECT_EQ(ParseError(sixteen), "unsupported bits per pixel (16) in bad.bmp");
}

TEST(uBMP, LargestPictureFits) {
    TBMPImage image = Picture(1024, 1024, TBMPFormat::RGB), out;
    EXPECT_NO_THROW(out = ParseBMP(EncodeBMP(image), "intro.bmp"));
}

TEST(uBMP, MissingFileIsAnInputOutputErrorNamingIt) {
    TMessageRecorder recorder;
    try {
        loadBMP("/nonexistent/x.bmp");
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "File not found - /nonexistent/x.bmp");
    }
    EXPECT_TRUE(recorder.Messages.empty()) << "a loader shows no message box";
}
