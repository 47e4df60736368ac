// Load3DS: the geometry subset of Autodesk 3DS files (objects with vertices, faces, texture
// coordinates and one material each) compiled into one OpenGL display list with smooth normals,
// centred on its bounding box and scaled. Parsing and preparing the model need no GL context.
#pragma once

#include "uVector.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct T3dsMaterial {
    std::string Name;
    std::string TextureFile; // empty when none
    uint8_t Color[3] = {255, 255, 255};
    int32_t Texture = -1; // texture id once loaded, -1 for none
};

struct T3dsObject {
    std::string Name;
    std::string MaterialName; // from the face material group; empty when none
    int Material = -1;        // index into the model's materials, -1 for none
    std::vector<dVector3> Vertices;
    std::vector<dVector3> Normals; // one per vertex
    std::vector<std::array<float, 2>> TexCoords;
    std::vector<std::array<uint32_t, 3>> Faces;
};

struct T3dsModel {
    std::vector<T3dsMaterial> Materials;
    std::vector<T3dsObject> Objects;
    uint32_t Version = 0;
};

// Reads the chunk tree. A damaged file raises EFormatError naming the file and what is wrong.
// Every chunk length is checked against its parent, every face index against the vertex count.
T3dsModel Parse3DS(const std::vector<uint8_t>& bytes, const std::string& fileName);

// Smooth vertex normals: the sum of the unnormalised normals of the faces using a vertex (so larger
// faces weigh more), normalised. A vertex no face uses points up.
void ComputeNormals(T3dsObject& object);

// Moves the model's bounding-box centre to the origin, scales it and returns its extent.
// False when the model has no vertex at all.
bool CentreAndScale(T3dsModel& model, float scale, dVector3& extent);

// Loads the materials' textures: each from the model file's folder, or `textureOverride` for every
// material when it is not empty. A picture that is missing or damaged is reported naming the model
// too, and its material is drawn in its colour.
void LoadModelTextures(T3dsModel& model, const std::string& fileName, const std::string& textureOverride);

// Compiles the prepared model (normals, textures resolved) into a new display list.
uint32_t Build3DSList(const T3dsModel& model);

// Calls a compiled model's list with its centre at `at`, turned `heading` degrees about Z
// (counter-clockwise).
void CallListAt(uint32_t list, const dVector3& at, float heading);

// Loads a 3DS file: textures from the file's directory, or `textureOverride` for every material when
// it is not empty. Returns the display list id and writes the extent. A file (or texture) that cannot
// be opened raises EInOutError, a malformed one or one without vertices EFormatError.
uint32_t Load3DS(const std::string& fileName, const std::string& textureOverride, float scale, dVector3& extent);
