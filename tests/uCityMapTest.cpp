// The city map reader over hand-made files: every tag, the lamp posts, the progress calls, and the
// clear errors for truncated, unknown-id and hostile records.
#include "uCityMap.h"
#include "ByteWriter.h"
#include "Resources.h"
#include "uErrors.h"

#include <gtest/gtest.h>

namespace {

// Records every call the reader makes to the game.
class TRecordingHost : public ICityMapHost {
  public:
    uint32_t LoadTileTexture(const std::string& path) override {
        TexturePaths.push_back(path);
        return NextTexture++;
    }
    TMeshRecord LoadBuildingMesh(const std::string& path) override {
        MeshPaths.push_back(path);
        TMeshRecord record;
        record.List = 100 + uint32_t(MeshPaths.size());
        record.Extent = MeshExtent;
        return record;
    }
    void DrawProgress(int32_t done, int32_t total) override { Progress.push_back({done, total}); }
    void AddLamp(float x, float y, float z) override { Lamps.push_back(VectorMake(x, y, z)); }
    void SetCellWords(const uint8_t* block, size_t size) override { Words.assign(block, block + size); }

    uint32_t NextTexture = 1;
    dVector3 MeshExtent = VectorMake(2, 5, 3);
    std::vector<std::string> TexturePaths, MeshPaths;
    std::vector<std::pair<int32_t, int32_t>> Progress;
    std::vector<dVector3> Lamps;
    std::vector<uint8_t> Words;
};

void Name(TByteWriter& w, const std::string& s) {
    w.U8(uint8_t(s.size()));
    std::string field = s;
    field.resize(254, '\0');
    w.Raw(field.data(), field.size());
}

void Definition(TByteWriter& w, int32_t tag, int32_t id, const std::string& name) {
    w.I32(tag);
    w.I32(id);
    Name(w, name);
}

void Placement(TByteWriter& w, int32_t tag, int32_t id, float x, float y, float width, float h,
               int32_t rotation) {
    w.I32(tag);
    w.I32(id);
    w.F32(x);
    w.F32(y);
    w.F32(width);
    w.F32(h);
    w.I32(rotation);
}

class CityMapReader : public ::testing::Test {
  protected:
    void SetUp() override { Resources().Clear(); }
    void TearDown() override { Resources().Clear(); }
    int32_t Read(const TByteWriter& w, TCellWordsNeed need = TCellWordsNeed::Optional) {
        return ReadCityMapBytes(w.Bytes.data(), w.Bytes.size(), "city.tmf", host, tiles, meshes, need);
    }
    std::string ErrorOf(const TByteWriter& w, TCellWordsNeed need = TCellWordsNeed::Optional) {
        try {
            Read(w, need);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }

    TRecordingHost host;
    TCamera camera;
    TTextureGrid tiles{camera};
    TMeshGrid meshes{camera, nullptr};
};

} // namespace

TEST_F(CityMapReader, EmptyFileLeavesEverythingEmpty) {
    TByteWriter w;
    EXPECT_EQ(Read(w), 0);
    EXPECT_TRUE(host.Words.empty());
    EXPECT_TRUE(host.Progress.empty());
    EXPECT_EQ(tiles.Cell(0, 0).Owner, nullptr);
}

TEST_F(CityMapReader, DefinitionsRegisterAndReportProgress) {
    TByteWriter w;
    Definition(w, CityTagTexture, 3, "asphalt.bmp");
    Definition(w, CityTagMesh, 2, "house.3ds");
    EXPECT_EQ(w.Size(), 2u * 263);
    EXPECT_EQ(Read(w), 2);
    EXPECT_EQ(host.TexturePaths[0], ".\\data\\textures\\asphalt.bmp");
    EXPECT_EQ(host.MeshPaths[0], ".\\data\\meshes\\house.3ds");
    EXPECT_EQ(Resources().GetTexture("tile3"), 1u);
    EXPECT_EQ(Resources().GetMesh("building2").List, 101u);
    ASSERT_EQ(host.Progress.size(), 2u);
    EXPECT_EQ(host.Progress[0], std::make_pair(3, 74));
    EXPECT_EQ(host.Progress[1], std::make_pair(2, 45));
}

TEST_F(CityMapReader, TilePlacementFlipsTheRowAndUsesWidthAsSide) {
    TByteWriter w;
    Definition(w, CityTagTexture, 1, "grass.bmp");
    Placement(w, CityTagTile, 1, 16, 8, 8, 8, 1);
    Read(w);
    const TTileCell& c = tiles.Cell(16, 511 - 8 - 8);
    EXPECT_EQ(c.Texture, 1);
    EXPECT_EQ(c.Size, 8);
    EXPECT_EQ(tiles.Cell(23, 502).Owner, &c);
    EXPECT_EQ(c.TexCoords[0][1], 1); // rotation 1
}

TEST_F(CityMapReader, BuildingTurnsByTwoAndLampPostHangsItsLight) {
    TByteWriter w;
    Definition(w, CityTagMesh, 5, "block.3ds");
    Definition(w, CityTagMesh, LampPostId, "lamp.3ds");
    Placement(w, CityTagBuilding, 5, 100, 200, 2, 5, 1);
    w.I32(0x101); // only the low byte counts
    Placement(w, CityTagBuilding, LampPostId, 40.0f, 60.0f, 1, 1, 0);
    w.I32(0);
    Read(w);
    const TMeshCell& b = meshes.Building(100, 511 - 200 - 5);
    EXPECT_EQ(b.Rotation, 3);
    EXPECT_EQ(b.CellsX, 5);
    EXPECT_EQ(b.CellsY, 2);
    EXPECT_EQ(b.Collides, 1);
    ASSERT_EQ(host.Lamps.size(), 1u);
    // File rotation 0: q = 2, the light 1.1 to the east of the raw x.
    EXPECT_FLOAT_EQ(host.Lamps[0].x, 41.1f);
    EXPECT_FLOAT_EQ(host.Lamps[0].y, 511 - 60.5f);
    EXPECT_FLOAT_EQ(host.Lamps[0].z, 1.34f);
    EXPECT_EQ(meshes.Building(40, 511 - 60 - 1).Rotation, 0);
}

TEST_F(CityMapReader, LampPositionsFollowTheQuarterTurn) {
    dVector3 p = LampPosition(10, 20, 1, 0);
    EXPECT_FLOAT_EQ(p.x, 9.9f);
    EXPECT_FLOAT_EQ(p.y, 490.5f);
    p = LampPosition(10, 20, 1, 1);
    EXPECT_FLOAT_EQ(p.x, 10.5f);
    EXPECT_FLOAT_EQ(p.y, 511 - 19.9f);
    p = LampPosition(10, 20, 1, 3);
    EXPECT_FLOAT_EQ(p.y, 511 - 22.1f);
}

TEST_F(CityMapReader, BlocksCellWordsAndIgnoredRecords) {
    TByteWriter w;
    Placement(w, CityTagBlock, 0, 10.5f, 20.25f, 2, 3, 0);
    w.I32(CityTagCellWords);
    std::vector<uint8_t> block(CellWordBytes, 0);
    block[5] = 0x77;
    w.Raw(block.data(), block.size());
    w.I32(CityTagIgnored);
    w.I32(1);
    w.I32(2);
    EXPECT_EQ(Read(w), 3);
    EXPECT_EQ(meshes.Block(10, 487).Owner, &meshes.Block(10, 487));
    EXPECT_FLOAT_EQ(meshes.Block(10, 487).Center.y, 489.25f);
    ASSERT_EQ(host.Words.size(), CellWordBytes);
    EXPECT_EQ(host.Words[5], 0x77);
}

TEST_F(CityMapReader, ProgressEveryFiveHundredRecords) {
    TByteWriter w;
    for (int i = 0; i < 1001; ++i) {
        w.I32(CityTagIgnored);
        w.I32(0);
        w.I32(0);
    }
    EXPECT_EQ(Read(w), 1001);
    ASSERT_EQ(host.Progress.size(), 2u);
    EXPECT_EQ(host.Progress[0], std::make_pair(500, 15778));
    EXPECT_EQ(host.Progress[1], std::make_pair(1000, 15778));
}

TEST_F(CityMapReader, TruncatedRecordNamesFileRecordAndOffset) {
    TByteWriter w;
    w.I32(CityTagIgnored);
    w.I32(0);
    w.I32(0);
    Placement(w, CityTagTile, 1, 0, 0, 1, 1, 0);
    w.Bytes.resize(w.Bytes.size() - 2);
    std::string error = ErrorOf(w);
    EXPECT_NE(error.find("city.tmf: record 2 (tag 101) at offset 12"), std::string::npos) << error;
    EXPECT_NE(error.find("the file ends early"), std::string::npos) << error;

    TByteWriter words;
    words.I32(CityTagCellWords);
    words.I32(0);
    EXPECT_THROW(Read(words), EInOutError);
    EXPECT_TRUE(host.Words.empty());
}

TEST_F(CityMapReader, UndefinedAndDuplicateIdsAreNamed) {
    TByteWriter w;
    Placement(w, CityTagTile, 9, 0, 0, 1, 1, 0);
    EXPECT_NE(ErrorOf(w).find("Texture tile9 not in resources."), std::string::npos) << ErrorOf(w);
    TByteWriter b;
    Placement(b, CityTagBuilding, 4, 0, 0, 1, 1, 0);
    b.I32(1);
    EXPECT_NE(ErrorOf(b).find("Mesh building4 not in resources."), std::string::npos);
    TByteWriter d;
    Definition(d, CityTagTexture, 1, "a.bmp");
    Definition(d, CityTagTexture, 1, "b.bmp");
    std::string error = ErrorOf(d);
    EXPECT_NE(error.find("Texture tile1 already added."), std::string::npos) << error;
    EXPECT_NE(error.find("record 2"), std::string::npos) << error;
}

TEST_F(CityMapReader, OddValuesAreRangeErrors) {
    TByteWriter w;
    Definition(w, CityTagTexture, 1, "a.bmp");
    Placement(w, CityTagTile, 1, 0, 0, 1, 1, 4);
    EXPECT_THROW(Read(w), ERangeError);
    Resources().Clear();
    TByteWriter far;
    Definition(far, CityTagTexture, 1, "a.bmp");
    Placement(far, CityTagTile, 1, 0, -2147483520.0f, 1, 1, 0); // the row does not fit 32 bits
    EXPECT_THROW(Read(far), ERangeError);
    Resources().Clear();
    TByteWriter nan;
    Placement(nan, CityTagBlock, 0, std::nanf(""), 0, 1, 1, 0);
    EXPECT_THROW(Read(nan), ERangeError);
}

TEST_F(CityMapReader, FileNamesMayNotLeaveTheDataFolders) {
    TByteWriter w;
    Definition(w, CityTagTexture, 1, "..\\..\\secret.bmp");
    EXPECT_THROW(Read(w), ERangeError);
    EXPECT_TRUE(host.TexturePaths.empty());
}

TEST_F(CityMapReader, MissingFileIsAnInOutError) {
    EXPECT_THROW(ReadCityMap("/nonexistent/city.tmf", host, tiles, meshes), EInOutError);
}

TEST_F(CityMapReader, RandomBytesAreRefusedAtTheFirstUnknownTag) {
    TByteWriter w;
    w.I32(CityTagIgnored);
    w.I32(1);
    w.I32(2);
    w.I32(7);
    std::string error = ErrorOf(w);
    EXPECT_EQ(error, "city.tmf: record 2 (tag 7) at offset 12: unknown record tag 7");

    TByteWriter noise;
    uint32_t state = 12345;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        noise.U8(uint8_t(state >> 16));
    }
    EXPECT_THROW(Read(noise), Exception) << "random bytes never load as an empty city";
}

TEST_F(CityMapReader, BlocksOfNegativeOrAbsurdSizeAreRefused) {
    for (auto [width, height] : {std::pair{-2.0f, 3.0f}, {2.0f, 0.0f}, {2.0f, 1e7f}, {600.0f, 1.0f}}) {
        TByteWriter w;
        Placement(w, CityTagBlock, 0, 10, 20, width, height, 0);
        std::string error = ErrorOf(w);
        EXPECT_NE(error.find("city.tmf: record 1 (tag 103) at offset 0: collision block of"), std::string::npos)
            << error;
        EXPECT_NE(error.find("its sides must lie in 0 .. 512"), std::string::npos) << error;
    }
}

TEST_F(CityMapReader, NameLengthLongerThanItsFieldIsRefused) {
    TByteWriter w;
    w.I32(CityTagTexture);
    w.I32(1);
    w.U8(255);
    std::string field(254, 'a');
    w.Raw(field.data(), field.size());
    std::string error = ErrorOf(w);
    EXPECT_NE(error.find("city.tmf: record 1 (tag 1) at offset 0"), std::string::npos) << error;
    EXPECT_NE(error.find("texture file name at byte 8 has the length 255, longer than its field of 254"),
              std::string::npos)
        << error;
    EXPECT_TRUE(host.TexturePaths.empty());
}

TEST_F(CityMapReader, DamagedMapsAreRefusedSayingWhereAndWhy) {
    // A texture (263 bytes) and a tile of this side (28), maybe a start of cell words, cut by some bytes.
    const struct {
        float Side;
        bool CellWords;
        size_t Cut;
        const char* Error;
    } cases[] = {
        {0.4f, false, 0, "offset 263: tile of side 0.400000 (0 cells); its side must lie in 1 .. 512"},
        {-3, false, 0, "offset 263: tile of side -3.000000 (-3 cells)"},
        {2, false, 0,
         "city.tmf: the file ends early, after record 2 at byte 291, before the traffic cell words"},
        {2, false, 6, "city.tmf: record 2 (tag 101) at offset 263: the file ends early, inside this record"},
        {2, true, 0, "city.tmf: record 3 (tag 400) at offset 291: the file ends early, inside this record"},
    };
    for (const auto& bad : cases) {
        Resources().Clear();
        TByteWriter w;
        Definition(w, CityTagTexture, 1, "a.bmp");
        Placement(w, CityTagTile, 1, 5, 5, bad.Side, bad.Side, 0);
        for (int32_t word : {int32_t(CityTagCellWords), 0})
            if (bad.CellWords)
                w.I32(word);
        w.Bytes.resize(w.Bytes.size() - bad.Cut);
        std::string error = ErrorOf(w, TCellWordsNeed::Required);
        EXPECT_NE(error.find(bad.Error), std::string::npos) << error;
    }
}
