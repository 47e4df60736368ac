// loadBMP: uncompressed Windows BMP pictures (8-bit alpha, 24-bit RGB, 32-bit RGBA) turned into one
// OpenGL texture each. Parsing is kept apart from the GL upload so it can be tested without a context.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TBMPFormat { Alpha, RGB, RGBA };

// Pixels bottom row first (OpenGL's origin), rows tightly packed, colours already in RGB(A) order.
struct TBMPImage {
    int32_t Width = 0;
    int32_t Height = 0;
    TBMPFormat Format = TBMPFormat::RGB;
    std::vector<uint8_t> Pixels;

    int BytesPerPixel() const { return Format == TBMPFormat::Alpha ? 1 : Format == TBMPFormat::RGB ? 3 : 4; }
};

// Largest pixel buffer a picture may need (1024 x 1024 at 24 bits).
constexpr size_t MaxBMPBytes = 3145728;

// Parses a BMP file held in memory. A damaged or unsupported one raises EFormatError with the message
// the player sees (naming `fileName`).
TBMPImage ParseBMP(const std::vector<uint8_t>& bytes, const std::string& fileName);

// Uploads a parsed picture as a new texture (linear filtering, repeat wrap, modulated by the colour);
// the texture stays bound.
uint32_t UploadTexture(const TBMPImage& image);

// Loads a BMP file into a new texture. A missing or unreadable file raises EInOutError, a damaged one
// EFormatError. `usedBy` names the file that asked for the picture (a model for its texture) in
// those messages; empty when none did.
uint32_t loadBMP(const std::string& fileName, const std::string& usedBy = "");
