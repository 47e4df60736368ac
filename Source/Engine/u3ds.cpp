#include "u3ds.h"
#include "uBMP.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uGLState.h"
#include "uPlatform.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdio>

namespace {

enum : uint16_t {
    CHUNK_PRIMARY = 0x4D4D,
    CHUNK_VERSION = 0x0002,
    CHUNK_EDITOR = 0x3D3D,
    CHUNK_OBJECT = 0x4000,
    CHUNK_TRIMESH = 0x4100,
    CHUNK_VERTICES = 0x4110,
    CHUNK_FACES = 0x4120,
    CHUNK_FACE_MATERIAL = 0x4130,
    CHUNK_TEXCOORDS = 0x4140,
    CHUNK_MATERIAL = 0xAFFF,
    CHUNK_MATERIAL_NAME = 0xA000,
    CHUNK_DIFFUSE = 0xA020,
    CHUNK_TEXTURE_MAP = 0xA200,
    CHUNK_TEXTURE_FILE = 0xA300,
    CHUNK_COLOR_FLOAT = 0x0010,
    CHUNK_COLOR_24 = 0x0011,
};

std::string Hex(uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", id);
    return text;
}

// A texture is named relative to its model's folder. A name that starts at the root or climbs out
// with ".." would let a model file load any picture on the disk.
bool InsideModelFolder(const std::string& name) {
    if (!name.empty() && (name[0] == '/' || name[0] == '\\'))
        return false;
    for (size_t start = 0; start <= name.size();) {
        size_t end = std::min(name.find_first_of("/\\", start), name.size());
        if (end - start == 2 && name.compare(start, 2, "..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}

// Real models nest their chunks fewer than 10 levels deep; a deeper file is damaged, and walking it
// would only exhaust the stack.
constexpr int MaxChunkDepth = 32;

class TChunkParser {
  public:
    TChunkParser(TByteReader& reader, T3dsModel& model) : Reader(reader), Model(model) {}

    // Walks the chunks from the current position up to `end`, in the given context.
    enum class TContext { Top, Object, Material };

    void Walk(size_t end, TContext context) {
        if (++Depth > MaxChunkDepth)
            Fail("chunks nest deeper than " + std::to_string(MaxChunkDepth) + " levels at byte " +
                 std::to_string(Reader.Position()));
        while (Reader.Position() < end) {
            size_t start = Reader.Position();
            if (end - start < 6)
                Fail("a chunk header at byte " + std::to_string(start) + " is cut off");
            uint16_t id = Reader.U16("chunk id");
            uint32_t length = Reader.U32("chunk length");
            if (length < 6)
                Fail("chunk " + Hex(id) + " at byte " + std::to_string(start) + " has length " +
                     std::to_string(length) + ", shorter than its own 6-byte header");
            if (length > end - start)
                Fail("chunk " + Hex(id) + " at byte " + std::to_string(start) + " has length " +
                     std::to_string(length) + ", which overruns its parent by " +
                     std::to_string(length - (end - start)) + " bytes");
            size_t chunkEnd = start + length;
            Handle(id, chunkEnd, context);
            Reader.Seek(chunkEnd, "chunk end");
        }
        --Depth;
    }

    [[noreturn]] void Fail(const std::string& what) { throw EReadError(Reader.FileName() + ": " + what); }

  private:
    void Handle(uint16_t id, size_t end, TContext context) {
        switch (id) {
        case CHUNK_VERSION:
            Model.Version = Reader.U32("version");
            break;
        case CHUNK_EDITOR:
        case CHUNK_PRIMARY:
            Walk(end, TContext::Top);
            break;
        case CHUNK_OBJECT:
            Model.Objects.emplace_back();
            Model.Objects.back().Name = Reader.ZString("object name");
            Walk(end, TContext::Object);
            break;
        case CHUNK_TRIMESH:
            if (context == TContext::Object)
                Walk(end, TContext::Object);
            break;
        case CHUNK_VERTICES:
            if (context == TContext::Object)
                ReadVertices(end);
            break;
        case CHUNK_FACES:
            if (context == TContext::Object) {
                ReadFaces(end);
                Walk(end, TContext::Object); // the face material groups live inside the face list
            }
            break;
        case CHUNK_FACE_MATERIAL:
            if (context == TContext::Object)
                Model.Objects.back().MaterialName = Reader.ZString("face material name");
            break;
        case CHUNK_TEXCOORDS:
            if (context == TContext::Object)
                ReadTexCoords(end);
            break;
        case CHUNK_MATERIAL:
            Model.Materials.emplace_back();
            Walk(end, TContext::Material);
            break;
        case CHUNK_MATERIAL_NAME:
            if (context == TContext::Material)
                Model.Materials.back().Name = Reader.ZString("material name");
            break;
        case CHUNK_DIFFUSE:
            if (context == TContext::Material)
                ReadColor(end);
            break;
        case CHUNK_TEXTURE_MAP:
            if (context == TContext::Material)
                Walk(end, TContext::Material);
            break;
        case CHUNK_TEXTURE_FILE:
            if (context == TContext::Material)
                Model.Materials.back().TextureFile = Reader.ZString("texture file name");
            break;
        default:
            break; // keyframer data and everything else: skipped by its length
        }
    }

    // A list of `count` items of `itemSize` bytes must lie inside its chunk.
    void NeedList(size_t count, size_t itemSize, size_t end, const char* what) {
        size_t have = end > Reader.Position() ? end - Reader.Position() : 0;
        if (count * itemSize > have)
            Fail(std::string(what) + " at byte " + std::to_string(Reader.Position()) + " has " +
                 std::to_string(count) + " entries, " + std::to_string(count * itemSize) +
                 " bytes, but its chunk holds only " + std::to_string(have));
    }

    void ReadVertices(size_t end) {
        T3dsObject& object = Model.Objects.back();
        uint16_t count = Reader.U16("vertex count");
        NeedList(count, 12, end, "the vertex list");
        object.Vertices.resize(count);
        for (dVector3& v : object.Vertices) {
            v.x = Reader.F32("vertex");
            v.y = Reader.F32("vertex");
            v.z = Reader.F32("vertex");
        }
    }

    void ReadFaces(size_t end) {
        T3dsObject& object = Model.Objects.back();
        uint16_t count = Reader.U16("face count");
        NeedList(count, 8, end, "the face list");
        object.Faces.resize(count);
        for (auto& face : object.Faces) {
            for (uint32_t& index : face)
                index = Reader.U16("face index");
            Reader.U16("face flags");
        }
    }

    void ReadTexCoords(size_t end) {
        T3dsObject& object = Model.Objects.back();
        uint16_t count = Reader.U16("texture coordinate count");
        NeedList(count, 8, end, "the texture coordinate list");
        object.TexCoords.resize(count);
        for (auto& uv : object.TexCoords) {
            uv[0] = Reader.F32("texture coordinate");
            uv[1] = Reader.F32("texture coordinate");
        }
    }

    void ReadColor(size_t end) {
        T3dsMaterial& material = Model.Materials.back();
        if (end - Reader.Position() < 6)
            return;
        uint16_t id = Reader.U16("colour chunk id");
        Reader.U32("colour chunk length");
        if (id == CHUNK_COLOR_24) {
            Reader.Bytes(material.Color, 3, "colour");
        } else if (id == CHUNK_COLOR_FLOAT) {
            for (uint8_t& c : material.Color) {
                float f = Reader.F32("colour");
                // NaN fails every comparison; it must not reach the conversion to a byte.
                c = static_cast<uint8_t>(!(f > 0.0f) ? 0 : f >= 1.0f ? 255 : f * 255.0f + 0.5f);
            }
        }
    }

    TByteReader& Reader;
    T3dsModel& Model;
    int Depth = 0;
};

} // namespace

T3dsModel Parse3DS(const std::vector<uint8_t>& bytes, const std::string& fileName) {
    T3dsModel model;
    TByteReader reader(bytes.data(), bytes.size(), fileName);
    try {
        if (bytes.size() < 6 || reader.U16("primary chunk") != CHUNK_PRIMARY)
            throw EFormatError("unable to load PRIMARY chunk from file " + fileName);
        uint32_t length = reader.U32("primary chunk length");
        if (length < 6 || length > bytes.size())
            throw EReadError(fileName + ": primary chunk has length " + std::to_string(length) + ", but the file has " +
                             std::to_string(bytes.size()) + " bytes");
        TChunkParser parser(reader, model);
        parser.Walk(length, TChunkParser::TContext::Top);

        for (const T3dsMaterial& material : model.Materials)
            if (!InsideModelFolder(material.TextureFile))
                parser.Fail("material \"" + material.Name + "\" names the texture \"" + material.TextureFile +
                            "\", which lies outside the model's folder");
        for (T3dsObject& object : model.Objects) {
            size_t vertexCount = object.Vertices.size();
            for (const auto& face : object.Faces)
                for (uint32_t index : face)
                    if (index >= vertexCount)
                        parser.Fail("object \"" + object.Name + "\" has a face index " + std::to_string(index) +
                                    " beyond its " + std::to_string(vertexCount) + " vertices");
            // Missing texture coordinates read as (0, 0); extra ones are ignored.
            object.TexCoords.resize(vertexCount, {0.0f, 0.0f});
            for (size_t m = 0; m < model.Materials.size() && !object.MaterialName.empty(); ++m)
                if (model.Materials[m].Name == object.MaterialName) {
                    object.Material = static_cast<int>(m);
                    break;
                }
        }
    } catch (const EReadError& e) {
        throw EFormatError(e.what());
    }
    return model;
}

void ComputeNormals(T3dsObject& object) {
    std::vector<dVector3> sums(object.Vertices.size());
    std::vector<int> counts(object.Vertices.size(), 0);
    for (const auto& face : object.Faces) {
        const dVector3& p0 = object.Vertices[face[0]];
        const dVector3& p1 = object.Vertices[face[1]];
        const dVector3& p2 = object.Vertices[face[2]];
        dVector3 a = VectorSub(p0, p2), b = VectorSub(p2, p1);
        dVector3 n = VectorMake(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
        for (uint32_t index : face) {
            sums[index] = VectorAdd(sums[index], n);
            counts[index] += 1;
        }
    }
    object.Normals.assign(object.Vertices.size(), VectorMake(0, 0, 1));
    for (size_t i = 0; i < sums.size(); ++i)
        if (counts[i] > 0)
            VectorNormalize(VectorScale(sums[i], 1.0f / static_cast<float>(counts[i])), object.Normals[i]);
}

bool CentreAndScale(T3dsModel& model, float scale, dVector3& extent) {
    dVector3 lo = VectorMake(1000000.0f, 100000.0f, 1000000.0f);
    dVector3 hi = VectorMake(-1000000.0f, -100000.0f, -1000000.0f);
    bool any = false;
    for (const T3dsObject& object : model.Objects)
        for (const dVector3& v : object.Vertices) {
            any = true;
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], v[k]);
                hi[k] = std::max(hi[k], v[k]);
            }
        }
    if (!any)
        return false;
    dVector3 centre = VectorScale(VectorAdd(lo, hi), 0.5f);
    for (T3dsObject& object : model.Objects)
        for (dVector3& v : object.Vertices)
            v = VectorScale(VectorSub(v, centre), scale);
    extent = VectorScale(VectorSub(hi, lo), scale);
    return true;
}

void CallListAt(uint32_t list, const dVector3& at, float heading) {
    glPushMatrix();
    glTranslatef(at.x, at.y, at.z);
    glRotatef(heading, 0, 0, 1);
    glCallList(list);
    glPopMatrix();
}

uint32_t Build3DSList(const T3dsModel& model) {
    if (!GraphicsAvailable())
        return HeadlessObjectId();
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    // The colour an untextured part sets must not tint whatever is drawn after the model.
    glPushAttrib(GL_CURRENT_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    for (const T3dsObject& object : model.Objects) {
        if (object.Faces.empty())
            continue;
        if (object.Material < 0) {
            glColor3f(1, 1, 1);
            glBegin(GL_TRIANGLES);
            for (const auto& face : object.Faces)
                for (uint32_t index : face) {
                    glNormal3fv(&object.Normals[index].x);
                    glVertex3fv(&object.Vertices[index].x);
                }
            glEnd();
            continue;
        }
        const T3dsMaterial& material = model.Materials[static_cast<size_t>(object.Material)];
        bool textured = material.Texture >= 0;
        if (textured) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(material.Texture));
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, 0, object.TexCoords.data());
        } else {
            glColor3ubv(material.Color);
        }
        glVertexPointer(3, GL_FLOAT, sizeof(dVector3), object.Vertices.data());
        glNormalPointer(GL_FLOAT, sizeof(dVector3), object.Normals.data());
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(object.Faces.size() * 3), GL_UNSIGNED_INT,
                       object.Faces.data());
        if (textured) {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            glDisable(GL_TEXTURE_2D);
        }
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glPopAttrib();
    glEndList();
    return list;
}

void LoadModelTextures(T3dsModel& model, const std::string& fileName, const std::string& textureOverride) {
    std::string directory;
    if (std::string::size_type slash = fileName.find_last_of('/'); slash != std::string::npos)
        directory = fileName.substr(0, slash + 1);
    int32_t overrideTexture = -1;
    if (!textureOverride.empty())
        overrideTexture = int32_t(loadBMP(textureOverride, fileName));
    for (T3dsMaterial& material : model.Materials) {
        if (!textureOverride.empty())
            material.Texture = overrideTexture;
        else if (!material.TextureFile.empty())
            material.Texture = int32_t(loadBMP(directory + NativePath(material.TextureFile), fileName));
    }
}

uint32_t Load3DS(const std::string& fileName, const std::string& textureOverride, float scale, dVector3& extent) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes))
        throw EInOutError("Cannot open file " + fileName);
    T3dsModel model = Parse3DS(bytes, fileName);
    for (T3dsObject& object : model.Objects)
        ComputeNormals(object);

    LoadModelTextures(model, fileName, textureOverride);

    if (!CentreAndScale(model, scale, extent))
        throw EFormatError(fileName + ": the model has no vertices");
    return Build3DSList(model);
}
