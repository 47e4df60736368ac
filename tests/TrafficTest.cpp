// The track tracer over painted direction marks, and the ".cur" route reader.
#include "traffic/Traffic.h"
#include "TestSupport.h"
#include "uErrors.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

// The eight border cells of the 3 x 3 block (0,0)..(2,2), driven round clockwise on the map.
TCellWords SquareLoop() {
    TCellWords w;
    w.At(0, 0) = w.At(1, 0) = MarkEast;
    w.At(2, 0) = w.At(2, 1) = MarkSouth;
    w.At(2, 2) = w.At(1, 2) = MarkWest;
    w.At(0, 2) = w.At(0, 1) = MarkNorth;
    return w;
}

} // namespace

TEST(BuildTrack, SquareClosesAfterEightStepsWithPointsEveryFourth) {
    TCellWords w = SquareLoop();
    bool closed = false;
    auto cells = TraceTrack(0, 0, w, closed);
    EXPECT_TRUE(closed);
    EXPECT_EQ(cells.size(), 8u);
    auto curve = BuildTrack(0, 0, w);
    ASSERT_EQ(curve->Points.size(), 2u);
    EXPECT_EQ(curve->Points[0].x, 1.5f);
    EXPECT_EQ(curve->Points[0].y, 511 - 0.5f);
    EXPECT_EQ(curve->Points[0].t, 0);
    EXPECT_EQ(curve->Points[1].x, 1.5f);
    EXPECT_EQ(curve->Points[1].y, 511 - 2.5f);
    EXPECT_EQ(curve->Points[1].t, 4);
}

TEST(BuildTrack, FirstMarkWinsOverLaterOnes) {
    TCellWords w;
    w.At(5, 5) = MarkNorth | MarkEast;
    bool closed = true;
    auto cells = TraceTrack(5, 5, w, closed);
    EXPECT_FALSE(closed);
    ASSERT_EQ(cells.size(), 3u); // start, (5,4), then no move from the unmarked (5,4)
    EXPECT_EQ(cells[1], (std::array<int32_t, 2>{5, 4}));
}

TEST(BuildTrack, DiagonalFollowsOnlyThePaintedAxis) {
    TCellWords w;
    w.At(5, 5) = MarkNorthEast;
    w.At(5, 4) = MarkNorth; // the upper neighbour carries its straight mark, the right one does not
    bool closed;
    auto cells = TraceTrack(5, 5, w, closed);
    EXPECT_EQ(cells[1], (std::array<int32_t, 2>{5, 4}));

    TCellWords stuck;
    stuck.At(5, 5) = MarkNorthEast;
    cells = TraceTrack(5, 5, stuck, closed);
    EXPECT_FALSE(closed);
    EXPECT_EQ(cells.size(), 2u); // no move: the track ends on its start
}

TEST(BuildTrack, StraightLaneIntoUnmarkedCellEndsThere) {
    TCellWords w;
    for (int x = 10; x < 20; ++x)
        w.At(x, 30) = MarkEast;
    bool closed;
    auto cells = TraceTrack(10, 30, w, closed);
    EXPECT_FALSE(closed);
    EXPECT_EQ(cells.back(), (std::array<int32_t, 2>{20, 30}));
}

TEST(BuildTrack, UnmarkedStartNamesThePosition) {
    TCellWords w;
    w.At(5, 7) = GroundPedestrian;
    try {
        BuildTrack(5, 7, w);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "No direction mark at position 5, 7");
    }
}

TEST(BuildTrack, MarkLeadingOffTheMapIsAnErrorNamingStartAndCell) {
    TCellWords w;
    for (int x = 500; x < MapCells; ++x)
        w.At(x, 9) = MarkEast;
    try {
        BuildTrack(500, 9, w);
        FAIL();
    } catch (const ERangeError& e) {
        EXPECT_NE(std::string(e.what()).find("500, 9"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("512, 9"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("the direction mark of cell 511, 9 points past the edge"),
                  std::string::npos)
            << e.what();
    }
    TCellWords corner;
    corner.At(0, 0) = MarkNorthWest;
    EXPECT_THROW(BuildTrack(0, 0, corner), ERangeError);
}

TEST(BuildTrack, EndlessWalkIsAnErrorNamingTheMapAndTheCause) {
    // Two cells pointing at each other with the start elsewhere: the walk never returns.
    TCellWords w;
    w.Source = "data/city/city.tmf";
    w.At(1, 1) = MarkEast;
    w.At(2, 1) = MarkEast;
    w.At(3, 1) = MarkWest;
    TMessageRecorder messages;
    try {
        BuildTrack(1, 1, w);
        FAIL() << "an endless track was taken";
    } catch (const ERangeError& e) {
        EXPECT_EQ(std::string(e.what()), "data/city/city.tmf: Track too long 1, 1: after 20000 steps its "
                                         "direction marks still have not led back to the start");
    }
    EXPECT_TRUE(messages.Messages.empty()) << "no box per track: one error ends the loading";
}

TEST(BuildTrack, MapWithManyBadTracksReportsTheFirstOnly) {
    // Every track start marked east into a wall of west marks: all 36 tracks are endless.
    TCellWords w;
    w.Source = "city.tmf";
    for (const auto& [x, y] : TrackStarts)
        if (x + 2 < MapCells) {
            w.At(x, y) = MarkEast;
            w.At(x + 1, y) = MarkEast;
            w.At(x + 2, y) = MarkWest;
        }
    TMessageRecorder messages;
    int errors = 0;
    std::string first;
    try {
        for (const auto& [x, y] : TrackStarts)
            BuildTrack(x, y, w);
    } catch (const Exception& e) {
        ++errors;
        first = e.what();
    }
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(first.rfind("city.tmf: ", 0), 0u) << first;
    EXPECT_TRUE(messages.Messages.empty());
}

TEST(CellWords, DecodeLittleEndianIndexedXMajor) {
    std::vector<uint8_t> block(size_t(MapCells) * MapCells * 4, 0);
    size_t i = (size_t(3) * MapCells + 7) * 4;
    block[i] = 0x10;
    block[i + 1] = 0x04;
    TCellWords w = TCellWords::FromBytes(block.data(), block.size());
    EXPECT_EQ(w.At(3, 7), 0x410);
    EXPECT_TRUE(IsPedestrianArea(w.At(3, 7)));
    EXPECT_THROW(TCellWords::FromBytes(block.data(), block.size() - 4), ERangeError);
}

TEST(Route, RecordsBecomeCellCentresAndOddSizeIsAnError) {
    TTempDir dir;
    std::vector<uint8_t> bytes;
    auto put = [&](int32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes.push_back(uint8_t(uint32_t(v) >> (8 * k)));
    };
    put(10), put(20), put(0), put(14), put(20), put(4);
    {
        std::ofstream f(dir.File("boss.cur"), std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    auto curve = LoadRoute(dir.File("boss.cur"));
    ASSERT_EQ(curve->Points.size(), 2u);
    EXPECT_EQ(curve->Points[0].x, 10.5f);
    EXPECT_EQ(curve->Points[0].y, 490.5f);
    EXPECT_EQ(curve->End, 4);
    EXPECT_NEAR(curve->Points[0].OutX, 4.0f / 3, 1e-5); // prepared

    bytes.pop_back();
    try {
        ParseRoute(bytes.data(), bytes.size(), "director.cur");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("director.cur"), std::string::npos);
    }
    EXPECT_THROW(LoadRoute(dir.File("missing.cur")), EInOutError);
}

TEST(Route, EmptyRouteAndRoutesThatGoNowhereAreRefused) {
    std::vector<uint8_t> bytes;
    auto put = [&](int32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes.push_back(uint8_t(uint32_t(v) >> (8 * k)));
    };
    auto error = [&] { return ReadError([&] { ParseRoute(bytes.data(), bytes.size(), "boss.cur"); }); };
    EXPECT_EQ(error(), "boss.cur: the route is empty; it needs at least two 12-byte records");
    put(10), put(20), put(0);
    EXPECT_EQ(error(), "boss.cur: the route has one record; it needs at least two");
    put(12), put(20), put(4), put(14), put(20), put(4);
    EXPECT_EQ(error(), "boss.cur: route record 2 has the curve parameter 4, not above the previous record's 4");
    bytes.resize(24);
    put(14), put(20), put(-8);
    EXPECT_NE(error().find("route record 2 has the curve parameter -8"), std::string::npos) << error();
    bytes.resize(24);
    put(14), put(-100000), put(8);
    EXPECT_EQ(error(), "boss.cur: route record 2 at cell 14, -100000 lies off the 512 x 512 map");
}
