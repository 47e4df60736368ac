// 3DS output: exactly the chunk subset the game's loader reads (primary, version 3, editor data with
// the mesh version, materials with name, 24-bit diffuse colour and texture file, named objects with
// vertices, faces, one face material group and texture coordinates).
#pragma once

#include "u3ds.h"

#include <cstdint>
#include <vector>

// Objects take their material from `MaterialName`; normals and texture ids are not written.
// Throws std::length_error for an object past the format's 16-bit counts instead of writing a file
// that reads back wrong. Face corners are written as given (tests write bad ones on purpose).
std::vector<uint8_t> Encode3DS(const T3dsModel& model);
