// BMP output in the form the game's loader reads: 54-byte headers, 8-bit alpha (with a grey
// palette), 24-bit RGB or 32-bit RGBA, bottom row first, rows padded to four bytes.
#pragma once

#include "uBMP.h"

#include <cstdint>
#include <vector>

// `image.Pixels` bottom row first, tightly packed, in RGB(A) order (as ParseBMP returns them).
std::vector<uint8_t> EncodeBMP(const TBMPImage& image);
