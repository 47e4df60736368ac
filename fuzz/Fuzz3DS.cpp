// Fuzz target: the 3DS parser and the model preparation must reject or handle any damaged file.
#include "Writer3ds.h"
#include "u3ds.h"
#include "uErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    T3dsModel model;
    try {
        model = Parse3DS(bytes, "fuzz.3ds");
    } catch (const EFormatError&) {
        return 0;
    }
    for (T3dsObject& object : model.Objects) {
        ComputeNormals(object);
        if (object.TexCoords.size() != object.Vertices.size())
            __builtin_trap();
    }
    dVector3 extent;
    CentreAndScale(model, 1.0f, extent);
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    T3dsModel model;
    T3dsMaterial material;
    material.Name = "m";
    material.TextureFile = "t.bmp";
    model.Materials.push_back(material);
    T3dsObject object;
    object.Name = "o";
    object.MaterialName = "m";
    object.Vertices = {VectorMake(0, 0, 0), VectorMake(1, 0, 0), VectorMake(0, 1, 0), VectorMake(1, 1, 1)};
    object.Faces = {{0, 1, 2}, {1, 3, 2}};
    object.TexCoords = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    model.Objects.push_back(object);
    model.Objects.push_back(object);
    return {Encode3DS(model)};
}
