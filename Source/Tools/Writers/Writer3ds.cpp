#include "Writer3ds.h"
#include "ByteWriter.h"

#include <stdexcept>
#include <string>

namespace {

// Opens a chunk and returns the position of its length field, patched by Close.
size_t Open(TByteWriter& out, uint16_t id) {
    out.U16(id);
    size_t at = out.Size();
    out.U32(0);
    return at;
}

void Close(TByteWriter& out, size_t lengthAt) {
    out.PatchU32(lengthAt, uint32_t(out.Size() - (lengthAt - 2)));
}

void WriteMaterial(TByteWriter& out, const T3dsMaterial& material) {
    size_t chunk = Open(out, 0xAFFF);
    size_t name = Open(out, 0xA000);
    out.ZString(material.Name);
    Close(out, name);
    size_t diffuse = Open(out, 0xA020);
    size_t colour = Open(out, 0x0011);
    out.Raw(material.Color, 3);
    Close(out, colour);
    Close(out, diffuse);
    if (!material.TextureFile.empty()) {
        size_t map = Open(out, 0xA200);
        size_t file = Open(out, 0xA300);
        out.ZString(material.TextureFile);
        Close(out, file);
        Close(out, map);
    }
    Close(out, chunk);
}

// The format counts vertices, faces and texture coordinates in 16 bits and indexes vertices in
// 16 bits: a larger object would be written with wrapped counts, a file that reads back as garbage.
void CheckCount(const T3dsObject& object, const char* what, size_t count) {
    if (count > 65535)
        throw std::length_error("3DS object " + object.Name + ": " + std::to_string(count) + " " + what +
                                ", the format holds at most 65535");
}

void WriteObject(TByteWriter& out, const T3dsObject& object) {
    CheckCount(object, "vertices", object.Vertices.size());
    CheckCount(object, "faces", object.Faces.size());
    CheckCount(object, "texture coordinates", object.TexCoords.size());
    size_t chunk = Open(out, 0x4000);
    out.ZString(object.Name);
    size_t mesh = Open(out, 0x4100);
    size_t vertices = Open(out, 0x4110);
    out.U16(uint16_t(object.Vertices.size()));
    for (const dVector3& v : object.Vertices) {
        out.F32(v.x);
        out.F32(v.y);
        out.F32(v.z);
    }
    Close(out, vertices);
    size_t faces = Open(out, 0x4120);
    out.U16(uint16_t(object.Faces.size()));
    for (const auto& face : object.Faces) {
        for (uint32_t index : face)
            out.U16(uint16_t(index));
        out.U16(0);
    }
    if (!object.MaterialName.empty()) {
        size_t group = Open(out, 0x4130);
        out.ZString(object.MaterialName);
        out.U16(uint16_t(object.Faces.size()));
        for (size_t i = 0; i < object.Faces.size(); ++i)
            out.U16(uint16_t(i));
        Close(out, group);
    }
    Close(out, faces);
    if (!object.TexCoords.empty()) {
        size_t uv = Open(out, 0x4140);
        out.U16(uint16_t(object.TexCoords.size()));
        for (const auto& t : object.TexCoords) {
            out.F32(t[0]);
            out.F32(t[1]);
        }
        Close(out, uv);
    }
    Close(out, mesh);
    Close(out, chunk);
}

} // namespace

std::vector<uint8_t> Encode3DS(const T3dsModel& model) {
    TByteWriter out;
    size_t primary = Open(out, 0x4D4D);
    size_t version = Open(out, 0x0002);
    out.U32(model.Version ? model.Version : 3);
    Close(out, version);
    size_t editor = Open(out, 0x3D3D);
    size_t meshVersion = Open(out, 0x3D3E);
    out.U32(3);
    Close(out, meshVersion);
    for (const T3dsMaterial& material : model.Materials)
        WriteMaterial(out, material);
    for (const T3dsObject& object : model.Objects)
        WriteObject(out, object);
    Close(out, editor);
    Close(out, primary);
    return out.Bytes;
}
