// The street route finder over small painted towns, and the guide that keeps a route up to date.
#include "city/StreetRoute.h"
#include "city/RouteGuide.h"
#include "uMapCoords.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int32_t Origin = 100; // map cell of a plan's top-left character

// A plan row by row, top (map y - 1, world north) first: '#' a street, '>' '<' '^' 'v' a street
// with that lane mark, 'B' a street under a building, ',' a sidewalk, '"' a lawn, '~' water,
// anything else nothing.
struct TTown {
    TCellWords Words;
    std::vector<uint8_t> Blocked = std::vector<uint8_t>(size_t(MapCells) * MapCells, 0);
};

TTown Paint(const std::vector<std::string>& plan) {
    TTown town;
    for (size_t row = 0; row < plan.size(); ++row)
        for (size_t col = 0; col < plan[row].size(); ++col) {
            int32_t x = Origin + int32_t(col), y = Origin + int32_t(row);
            int32_t mark = std::string("^ > v < ").find(plan[row][col]);
            if (plan[row][col] == '#' || plan[row][col] == 'B' || mark % 2 == 0)
                town.Words.At(x, y) = GroundAsphalt | (mark % 2 == 0 ? MarkNorth << mark : 0);
            if (plan[row][col] == ',' || plan[row][col] == '"' || plan[row][col] == '~')
                town.Words.At(x, y) = plan[row][col] == ','   ? GroundPedestrian
                                      : plan[row][col] == '"' ? GroundGrass
                                                              : GroundWater;
            if (plan[row][col] == 'B')
                town.Blocked[size_t(x) * MapCells + size_t(y)] = 1;
        }
    return town;
}

// The world point at the centre of a plan's cell.
TRoutePoint At(int32_t col, int32_t row) {
    return {float(Origin + col) + 0.5f, WorldY(float(Origin + row) + 0.5f)};
}

struct TRouteCase {
    const char* Name;
    std::vector<std::string> Plan;
    std::array<int32_t, 2> From, To; // plan column, row
    int32_t Cells;                   // cells of the route; 0: no route
    std::array<int32_t, 2> First, Last;
};

const TRouteCase RouteCases[] = {
    {"WithTheLaneIsDirect", {">>>>v", "^...v", "^...v", "^<<<<"}, {1, 0}, {3, 0}, 3, {1, 0}, {3, 0}},
    {"AgainstTheLaneGoesRound", {">>>>v", "^...v", "^...v", "^<<<<"}, {2, 0}, {1, 0}, 14, {2, 0}, {1, 0}},
    {"RoundABuildingBlock", {"#######", "#BBBBB#", "#BBBBB#", "#######"}, {0, 2}, {6, 2}, 9, {0, 2}, {6, 2}},
    {"OffStreetEndsJoinTheNearestStreet",
     {"", "", "", "", "#####################"},
     {3, 0},
     {15, 8},
     13,
     {3, 4},
     {15, 4}},
    {"CrossesTheSidewalkIntoACarParkOnce",
     {"##########", ",,,,,,,,,,", "##########"},
     {0, 0},
     {5, 2},
     7,
     {0, 0},
     {5, 2}},
    {"RoundTheParkNotAcrossItsLawn",
     {"#######", "#\"\"\"\"\"#", "#\"\"\"\"\"#", "#######"},
     {0, 1},
     {6, 2},
     8,
     {0, 1},
     {6, 2}},
    {"ToTheParkLawnFromTheStreet",
     {"#######", "\"\"\"\"\"\"\"", "\"\"\"\"\"\"\""},
     {0, 0},
     {3, 2},
     6,
     {0, 0},
     {3, 2}},
    {"OneWayAwayFromTheTargetFindsNone", {">>>>>>"}, {4, 0}, {0, 0}, 0, {}, {}},
    {"SeparateStreetsFindNone", {"###~~~###"}, {0, 0}, {8, 0}, 0, {}, {}},
    {"TargetBeyondTheJoiningReachFindsNone", {"###"}, {0, 0}, {1, 50}, 0, {}, {}},
};

class StreetRouteCases : public testing::TestWithParam<TRouteCase> {};

TEST_P(StreetRouteCases, FindsTheShortestLawfulWay) {
    const TRouteCase& c = GetParam();
    TTown town = Paint(c.Plan);
    TStreetRoute route;
    route.SetCity(town.Words, town.Blocked);
    TRoutePoint from = At(c.From[0], c.From[1]), to = At(c.To[0], c.To[1]);
    bool found = route.Find(from.X, from.Y, to.X, to.Y);
    ASSERT_EQ(found, c.Cells > 0);
    if (!found) {
        EXPECT_TRUE(route.Cells.empty());
        EXPECT_TRUE(route.Points.empty());
        return;
    }
    ASSERT_EQ(int32_t(route.Cells.size()), c.Cells);
    EXPECT_EQ(route.Cells.front(), (std::array<int32_t, 2>{Origin + c.First[0], Origin + c.First[1]}));
    EXPECT_EQ(route.Cells.back(), (std::array<int32_t, 2>{Origin + c.Last[0], Origin + c.Last[1]}));
    // Every step goes to a neighbour the way the lanes allow, on the street.
    static const int32_t wayX[8] = {0, 1, 1, 1, 0, -1, -1, -1}, wayY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    for (size_t i = 1; i < route.Cells.size(); ++i) {
        auto [x, y] = route.Cells[i - 1];
        int32_t way = 0;
        while (way < 8 && (x + wayX[way] != route.Cells[i][0] || y + wayY[way] != route.Cells[i][1]))
            ++way;
        ASSERT_LT(way, 8) << "cell " << i << " is no neighbour of the one before";
        EXPECT_TRUE(route.CanMove(x, y, way)) << "step " << i;
        EXPECT_FALSE(town.Blocked[size_t(route.Cells[i][0]) * MapCells + size_t(route.Cells[i][1])]);
    }
    EXPECT_EQ(route.Points.front().X, from.X);
    EXPECT_EQ(route.Points.front().Y, from.Y);
    EXPECT_EQ(route.Points.back().X, to.X);
    EXPECT_EQ(route.Points.back().Y, to.Y);
}

INSTANTIATE_TEST_SUITE_P(TStreetRoute, StreetRouteCases, testing::ValuesIn(RouteCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(TStreetRoute, ASearchReusesItsBuffersWithoutStaleCells) {
    TTown town = Paint({"#######", "#BBBBB#", "#BBBBB#", "#######"});
    TStreetRoute route;
    route.SetCity(town.Words, town.Blocked);
    TRoutePoint a = At(0, 2), b = At(6, 2), c = At(3, 0);
    ASSERT_TRUE(route.Find(a.X, a.Y, b.X, b.Y));
    ASSERT_TRUE(route.Find(a.X, a.Y, c.X, c.Y));
    EXPECT_EQ(route.Cells.size(), 6u); // up the west side and along the top
    ASSERT_TRUE(route.Find(a.X, a.Y, b.X, b.Y));
    EXPECT_EQ(route.Cells.size(), 9u);
}

// The landmarks only steer the search: over a random town of one-way lanes, sidewalks, lawns,
// water and buildings, every route costs what the search by the straight line alone finds.
TEST(TStreetRoute, LandmarksFindRoutesAsCheapAsTheStraightLineSearch) {
    uint32_t seed = 7;
    auto next = [&seed](uint32_t below) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % below;
    };
    std::vector<std::string> plan(64, std::string(64, '"'));
    for (size_t row = 0; row < plan.size(); ++row)
        for (size_t col = 0; col < plan.size(); ++col) {
            if (row % 9 < 3 || col % 11 < 3) // a grid of streets, some lanes one way
                plan[row][col] = "##########>v<^"[next(14)];
            else
                plan[row][col] = "\"\"\"\",,B~."[next(9)];
        }
    TTown town = Paint(plan);
    TStreetRoute steered, straight(0);
    steered.SetCity(town.Words, town.Blocked);
    straight.SetCity(town.Words, town.Blocked);
    int32_t found = 0;
    for (int pair = 0; pair < 60; ++pair) {
        TRoutePoint from = At(int32_t(next(64)), int32_t(next(64))),
                    to = At(int32_t(next(64)), int32_t(next(64)));
        bool expected = straight.Find(from.X, from.Y, to.X, to.Y);
        ASSERT_EQ(steered.Find(from.X, from.Y, to.X, to.Y), expected) << "pair " << pair;
        EXPECT_EQ(steered.RouteCost, straight.RouteCost) << "pair " << pair;
        found += expected;
    }
    EXPECT_GT(found, 30);
}

// The guide searches again only when the target changes or the car leaves the route.
TEST(TRouteGuide, SearchesAgainOnlyOffTheRouteOrForANewTarget) {
    TTown town = Paint({"", "", "#########################"});
    TRouteGuide guide;
    guide.SetCity(town.Words, town.Blocked);
    TRoutePoint start = At(0, 2), target = At(24, 2);
    guide.Update(start.X, start.Y, target.X, target.Y);
    ASSERT_TRUE(guide.HasRoute());
    for (float along = 0; along < 20; along += 0.5f)
        guide.Update(start.X + along, start.Y + 1.0f, target.X, target.Y);
    EXPECT_EQ(guide.Searches, 1);
    TRoutePoint ahead;
    ASSERT_TRUE(guide.PointAhead(3, ahead));
    EXPECT_NEAR(ahead.X, start.X + 19.5f + 3, 1e-3f);
    guide.Update(start.X + 20, start.Y + 2.0f, target.X, target.Y); // on a sidewalk, yet near
    EXPECT_EQ(guide.Searches, 1);
    guide.Update(start.X + 20, start.Y + 3.0f, target.X, target.Y);
    EXPECT_EQ(guide.Searches, 2);
    guide.Update(start.X + 20, start.Y + 3.0f, target.X - 5, target.Y);
    EXPECT_EQ(guide.Searches, 3);
}

// A search that finds nothing is not repeated until the car has moved on.
TEST(TRouteGuide, DoesNotRetryAFailedSearchOnTheSameSpot) {
    TTown town = Paint({">>>>>>"});
    TRouteGuide guide;
    guide.SetCity(town.Words, town.Blocked);
    TRoutePoint start = At(4, 0), target = At(0, 0);
    for (int frame = 0; frame < 10; ++frame)
        guide.Update(start.X + frame * 0.1f, start.Y, target.X, target.Y);
    EXPECT_FALSE(guide.HasRoute());
    EXPECT_EQ(guide.Searches, 1);
    guide.Update(start.X - 4.5f, start.Y, target.X, target.Y);
    EXPECT_EQ(guide.Searches, 2);
}

} // namespace
