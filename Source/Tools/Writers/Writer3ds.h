// 3DS output: exactly the chunk subset the game's loader reads (primary, version 3, editor data with
// the mesh version, materials with name, 24-bit diffuse colour and texture file, named objects with
// vertices, faces, one face material group and texture coordinates).
#pragma once

#include "u3ds.h"

#include <cstdint>
#include <vector>

// Objects take their material from `MaterialName`; normals and texture ids are not written.
std::vector<uint8_t> Encode3DS(const T3dsModel& model);
