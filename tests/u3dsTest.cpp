#include "TestSupport.h"
#include "Writer3ds.h"
#include "u3ds.h"
#include "uErrors.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// Two triangles sharing an edge: a small one and one a hundred times larger, folded at the edge.
T3dsModel FoldedSheet() {
    T3dsModel model;
    T3dsMaterial paint;
    paint.Name = "paint";
    paint.TextureFile = "paint.bmp";
    paint.Color[0] = 200;
    model.Materials.push_back(paint);
    T3dsObject sheet;
    sheet.Name = "sheet";
    sheet.MaterialName = "paint";
    sheet.Vertices = {VectorMake(0, 0, 0), VectorMake(1, 0, 0), VectorMake(0, 1, 0), VectorMake(0, 0, 10),
                      VectorMake(10, 0, 0)};
    sheet.Faces = {{0, 1, 2}, {0, 4, 3}};
    sheet.TexCoords = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0.5f, 0.5f}};
    model.Objects.push_back(sheet);
    return model;
}

std::string ParseError(const std::vector<uint8_t>& bytes) {
    return ReadError([&] { Parse3DS(bytes, "bad.3ds"); });
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[at + size_t(i)] = uint8_t(v >> (8 * i));
}

size_t FindChunk(const std::vector<uint8_t>& bytes, uint16_t id) {
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == (id & 0xff) && bytes[i + 1] == (id >> 8))
            return i;
    return std::string::npos;
}

} // namespace

TEST(u3ds, WrittenModelReadsBack) {
    T3dsModel model;
    ASSERT_NO_THROW(model = Parse3DS(Encode3DS(FoldedSheet()), "sheet.3ds"));
    EXPECT_EQ(model.Version, 3u);
    ASSERT_EQ(model.Materials.size(), 1u);
    EXPECT_EQ(model.Materials[0].Name, "paint");
    EXPECT_EQ(model.Materials[0].TextureFile, "paint.bmp");
    EXPECT_EQ(model.Materials[0].Color[0], 200);
    ASSERT_EQ(model.Objects.size(), 1u);
    const T3dsObject& sheet = model.Objects[0];
    EXPECT_EQ(sheet.Name, "sheet");
    EXPECT_EQ(sheet.Material, 0); // reached through the face material group inside the face list
    EXPECT_EQ(sheet.Vertices.size(), 5u);
    EXPECT_EQ(sheet.Faces.size(), 2u);
    EXPECT_FLOAT_EQ(sheet.TexCoords[4][0], 0.5f);
}

TEST(u3ds, LargerFaceDominatesTheSharedVertexNormal) {
    T3dsModel model = FoldedSheet();
    ComputeNormals(model.Objects[0]);
    const dVector3& shared = model.Objects[0].Normals[0];
    // The small face lies in z = 0 (normal along z), the large one in y = 0 (normal along y).
    EXPECT_NEAR(std::sqrt(VectorDot(shared, shared)), 1.0f, 1e-5);
    EXPECT_GT(std::fabs(shared.y), 0.99f);
    EXPECT_NEAR(std::fabs(model.Objects[0].Normals[1].z), 1.0f, 1e-5);
}

TEST(u3ds, UnusedVertexGetsADefinedNormal) {
    T3dsObject object;
    object.Vertices = {VectorMake(0, 0, 0), VectorMake(1, 0, 0), VectorMake(0, 1, 0), VectorMake(5, 5, 5)};
    object.Faces = {{0, 1, 2}};
    ComputeNormals(object);
    EXPECT_FLOAT_EQ(object.Normals[3].z, 1.0f);
    EXPECT_FALSE(std::isnan(object.Normals[3].x));
}

TEST(u3ds, CentresOnTheBoundingBoxAndScales) {
    T3dsModel model = FoldedSheet();
    dVector3 extent;
    ASSERT_TRUE(CentreAndScale(model, 0.5f, extent));
    EXPECT_FLOAT_EQ(extent.x, 5.0f);
    EXPECT_FLOAT_EQ(extent.y, 0.5f);
    EXPECT_FLOAT_EQ(extent.z, 5.0f);
    EXPECT_FLOAT_EQ(model.Objects[0].Vertices[0].x, -2.5f); // (0 - 5) * 0.5
    EXPECT_FLOAT_EQ(model.Objects[0].Vertices[3].z, 2.5f);
}

TEST(u3ds, ModelWithoutMaterialGroupHasNoMaterial) {
    T3dsModel in = FoldedSheet();
    in.Objects[0].MaterialName.clear();
    T3dsModel model;
    ASSERT_NO_THROW(model = Parse3DS(Encode3DS(in), "white.3ds"));
    EXPECT_EQ(model.Objects[0].Material, -1);
}

TEST(u3ds, UnknownMaterialNameLeavesNoMaterial) {
    T3dsModel in = FoldedSheet();
    in.Objects[0].MaterialName = "chrome";
    T3dsModel model;
    ASSERT_NO_THROW(model = Parse3DS(Encode3DS(in), "x.3ds"));
    EXPECT_EQ(model.Objects[0].Material, -1);
}

TEST(u3ds, TextureNameOutsideTheModelFolderIsRefused) {
    for (const char* name : {"../paint.bmp", "..\\..\\paint.bmp", "maps/../../paint.bmp", "..",
                             "/etc/paint.bmp", "\\paint.bmp"}) {
        T3dsModel model = FoldedSheet();
        model.Materials[0].TextureFile = name;
        std::string error = ParseError(Encode3DS(model));
        EXPECT_NE(error.find("outside the model's folder"), std::string::npos) << name << ": " << error;
    }
    for (const char* name : {"paint.bmp", "maps\\paint.bmp", "maps/paint..bmp", "...bmp"}) {
        T3dsModel model = FoldedSheet();
        model.Materials[0].TextureFile = name;
        EXPECT_EQ(ParseError(Encode3DS(model)), "parsed") << name;
    }
}

TEST(u3ds, MissingTextureCoordinatesReadAsZero) {
    T3dsModel in = FoldedSheet();
    in.Objects[0].TexCoords.resize(2);
    T3dsModel model;
    ASSERT_NO_THROW(model = Parse3DS(Encode3DS(in), "x.3ds"));
    ASSERT_EQ(model.Objects[0].TexCoords.size(), 5u);
    EXPECT_EQ(model.Objects[0].TexCoords[4][0], 0.0f);
}

TEST(u3ds, MalformedFilesAreRejectedWithAMessage) {
    std::vector<uint8_t> good = Encode3DS(FoldedSheet());
    EXPECT_EQ(ParseError({1, 2, 3}), "unable to load PRIMARY chunk from file bad.3ds");
    std::vector<uint8_t> notPrimary = good;
    notPrimary[0] = 0x3D;
    EXPECT_EQ(ParseError(notPrimary), "unable to load PRIMARY chunk from file bad.3ds");

    std::vector<uint8_t> truncated(good.begin(), good.end() - 10);
    EXPECT_NE(ParseError(truncated), "parsed");

    std::vector<uint8_t> overrun = good;
    size_t vertices = FindChunk(overrun, 0x4110);
    PutU32(overrun, vertices + 2, 100000);
    EXPECT_NE(ParseError(overrun).find("chunk 0x4110"), std::string::npos);
    EXPECT_NE(ParseError(overrun).find("overruns its parent"), std::string::npos);

    std::vector<uint8_t> tiny = good;
    PutU32(tiny, vertices + 2, 3);
    EXPECT_NE(ParseError(tiny).find("has length 3, shorter than its own 6-byte header"), std::string::npos)
        << ParseError(tiny);

    std::vector<uint8_t> countTooBig = good;
    countTooBig[vertices + 6] = 0xff; // 16-bit vertex count far beyond the chunk's data
    EXPECT_NE(ParseError(countTooBig).find("the vertex list at byte"), std::string::npos) << ParseError(countTooBig);
    EXPECT_NE(ParseError(countTooBig).find("255 entries, 3060 bytes, but its chunk holds only 60"),
              std::string::npos)
        << ParseError(countTooBig);

    T3dsModel badIndex = FoldedSheet();
    badIndex.Objects[0].Faces[1][2] = 5;
    EXPECT_EQ(ParseError(Encode3DS(badIndex)), "bad.3ds: object \"sheet\" has a face index 5 beyond its 5 vertices");
}

TEST(u3ds, EveryTruncationFailsCleanly) {
    std::vector<uint8_t> good = Encode3DS(FoldedSheet());
    for (size_t length = 0; length < good.size(); ++length) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + long(length));
        // Must never crash; the primary chunk's own length makes every cut detectable.
        EXPECT_THROW(Parse3DS(cut, "cut.3ds"), EFormatError) << "length " << length;
    }
}

TEST(u3ds, MissingFileIsAnInputOutputError) {
    dVector3 extent;
    EXPECT_THROW(Load3DS("/nonexistent/model.3ds", "", 1.0f, extent), EInOutError);
}

TEST(u3ds, DeeplyNestedChunksAreRefusedWithoutExhaustingTheStack) {
    // Editor chunks inside editor chunks, 30,000 levels deep: each only a header and its child.
    const size_t levels = 30000;
    std::vector<uint8_t> bytes(6 * (levels + 1));
    auto header = [&](size_t at, uint16_t id) {
        bytes[at] = uint8_t(id & 0xff);
        bytes[at + 1] = uint8_t(id >> 8);
        PutU32(bytes, at + 2, uint32_t(bytes.size() - at));
    };
    header(0, 0x4D4D);
    for (size_t level = 1; level <= levels; ++level)
        header(6 * level, 0x3D3D);
    std::string error = ParseError(bytes);
    EXPECT_NE(error.find("bad.3ds: chunks nest deeper than 32 levels"), std::string::npos) << error;

    // Real models nest fewer than 10 levels; 20 still read.
    bytes.resize(6 * 21);
    header(0, 0x4D4D);
    for (size_t level = 1; level <= 20; ++level)
        header(6 * level, 0x3D3D);
    EXPECT_EQ(ParseError(bytes), "parsed");
}

TEST(u3ds, FloatColoursOutsideZeroToOneAndNaNAreClamped) {
    // primary { editor { material { diffuse { float colour: NaN, 2, 0.5 } } } }
    std::vector<uint8_t> bytes;
    auto chunk = [&](uint16_t id, uint32_t length) {
        bytes.push_back(uint8_t(id & 0xff));
        bytes.push_back(uint8_t(id >> 8));
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(length >> (8 * i)));
    };
    chunk(0x4D4D, 6 * 5 + 12);
    chunk(0x3D3D, 6 * 4 + 12);
    chunk(0xAFFF, 6 * 3 + 12);
    chunk(0xA020, 6 * 2 + 12);
    chunk(0x0010, 6 + 12);
    for (uint32_t bits : {0x7fc00000u, 0x40000000u, 0x3f000000u})
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(bits >> (8 * i)));
    T3dsModel model;
    ASSERT_NO_THROW(model = Parse3DS(bytes, "colour.3ds"));
    ASSERT_EQ(model.Materials.size(), 1u);
    EXPECT_EQ(model.Materials[0].Color[0], 0) << "NaN";
    EXPECT_EQ(model.Materials[0].Color[1], 255);
    EXPECT_EQ(model.Materials[0].Color[2], 128);
}

TEST(u3ds, MissingTextureIsReportedNamingTheModel) {
    TTempDir dir;
    T3dsModel model = FoldedSheet();
    try {
        LoadModelTextures(model, dir.File("sheet.3ds"), "");
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "File not found - " + dir.File("paint.bmp") + " (a texture of " + dir.File("sheet.3ds") + ")");
    }
}
