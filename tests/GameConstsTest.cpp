#include "tables/GameConsts.h"
#include "uText1250.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

std::vector<TTextPair> EveryPair() {
    std::vector<TTextPair> pairs(std::begin(MenuTexts), std::end(MenuTexts));
    for (const TCarRow& car : CarTable) {
        pairs.push_back(car.Description);
        pairs.push_back({car.Name, car.Name});
    }
    for (const TMissionRow& mission : MissionTable) {
        pairs.push_back(mission.Name);
        pairs.push_back(mission.Goal);
        pairs.push_back(mission.Briefing);
    }
    for (const TTextPair* hint : {&HintFuelLow, &HintBadlyDamaged, &HintCargo, &HintCityMap,
                                  &HintBackOnWheels, &HintCargoLoaded, &HintCargoFull, &ExtraScoresText})
        pairs.push_back(*hint);
    return pairs;
}

bool Contains(const std::vector<TMapPoint>& route, float x, float y) {
    for (const TMapPoint& p : route)
        if (p.X == x && p.Y == y)
            return true;
    return false;
}

} // namespace

TEST(GameConsts, OnlyMissionTenLimitsTheCarsToAviaAndTransit) {
    EXPECT_EQ(CarTable[0].Cargo, 0); // the Mustang carries nothing
    EXPECT_EQ(MissionTable[10].Cars, (1u << 5) | (1u << 6));
    EXPECT_STREQ(CarTable[5].Name, "Avia");
    for (int n = 0; n < MissionCount; ++n) {
        if (n != 10) {
            EXPECT_EQ(MissionTable[n].Cars, 0) << "mission " << n;
        }
    }
}

TEST(GameConsts, RacesShareEnglishNamesButNotEveryCzechOne) {
    for (int n = 1; n <= 5; ++n)
        EXPECT_STREQ(MissionTable[n].Name.English, MissionTable[n + 10].Name.English);
    EXPECT_EQ(PickText(MissionTable[2].Name, 1), Utf8ToCp1250("Souboj ve středu"));
    EXPECT_EQ(PickText(MissionTable[12].Name, 1), Utf8ToCp1250("Střed města"));
}

TEST(GameConsts, MissionNumbersOfTheRacesRunFrom29) {
    for (int n = 0; n <= 10; ++n)
        EXPECT_EQ(MissionTable[n].Number, n);
    for (int n = 11; n <= 15; ++n)
        EXPECT_EQ(MissionTable[n].Number, n + 18);
}

TEST(GameConsts, EveryMissionIsBriefedWithinItsPanelAndNoRace) {
    for (int n = 0; n < MissionCount; ++n)
        for (int language = 0; language < LanguageCount; ++language) {
            // One Windows-1250 byte per character; the briefing's panel holds five lines, about 240.
            size_t goal = PickText(MissionTable[n].Goal, language).size();
            size_t briefing = PickText(MissionTable[n].Briefing, language).size();
            if (IsMission(n)) {
                EXPECT_GT(goal, 0u) << "mission " << n;
                EXPECT_GE(briefing, 120u) << "mission " << n;
                EXPECT_LE(briefing, 240u) << "mission " << n;
            } else {
                EXPECT_EQ(goal + briefing, 0u) << "game " << n;
            }
        }
}

TEST(GameConsts, EveryTextHasBothLanguagesInWindows1250) {
    for (const TTextPair& pair : EveryPair()) {
        ASSERT_NE(pair.English, nullptr);
        ASSERT_NE(pair.Czech, nullptr);
        std::array<std::string, 2> texts = PairText(pair);
        // A letter the code page lacks would turn into a question mark.
        EXPECT_EQ(std::count(texts[0].begin(), texts[0].end(), '?'), std::count(pair.English, pair.English + std::strlen(pair.English), '?')) << pair.English;
        EXPECT_EQ(std::count(texts[1].begin(), texts[1].end(), '?'), std::count(pair.Czech, pair.Czech + std::strlen(pair.Czech), '?')) << pair.Czech;
        EXPECT_EQ(std::strlen(pair.English) == 0, std::strlen(pair.Czech) == 0) << pair.English;
    }
    EXPECT_EQ(PickText(HintBadlyDamaged, 1), Utf8ToCp1250("Tvé auto je velmi poškozené!"));
    EXPECT_EQ(PickText(HintBadlyDamaged, 1)[2], '\xE9'); // é
}

TEST(GameConsts, MenuTextsFollowTheirNames) {
    EXPECT_EQ(MenuText(mtLanguageName, 1), Utf8ToCp1250("Čeština"));
    EXPECT_EQ(MenuText(mtArrowKeys2, 0), "Arrow keys");
    EXPECT_EQ(MenuText(mtPlace1, 0), "1st place!");
    EXPECT_EQ(MenuText(mtSeeHighscoreAt, 0), "See actual highscore at ");
    EXPECT_EQ(MenuText(mtArrowsHintOptions, 0), "Use left/right arrow to change values ");
    EXPECT_EQ(MenuText(mtBetterLuck, 0), "Better luck next time");
    EXPECT_EQ(MenuText(mtPressEnter, 1), "Pro menu stiskni enter");
}

TEST(GameConsts, RouteLengths) {
    const size_t lengths[MissionCount] = {0, 24, 27, 45, 31, 22, 29, 45, 26, 37, 58, 23, 26, 43, 31, 22};
    for (int n = 0; n < MissionCount; ++n)
        EXPECT_EQ(MissionRoute(n).size(), lengths[n]) << "game " << n;
    EXPECT_TRUE(MissionRoute(-1).empty());
    EXPECT_TRUE(MissionRoute(16).empty());
}

TEST(GameConsts, RacesTakeTheRoutesOfTheFirstFiveMissions) {
    const std::vector<TMapPoint>& mission3 = MissionRoute(3);
    const std::vector<TMapPoint>& race13 = MissionRoute(13);
    EXPECT_TRUE(Contains(mission3, 306, 386));
    EXPECT_FALSE(Contains(race13, 306, 386));
    EXPECT_FALSE(Contains(race13, mission3[0].X, mission3[0].Y));
    EXPECT_EQ(race13.front().X, mission3[1].X);
    EXPECT_EQ(race13.back().Y, mission3.back().Y);
    EXPECT_EQ(MissionRoute(11).front().Y, MissionRoute(1)[1].Y);
    // Mission 7 runs along the river on fractional rows.
    EXPECT_FLOAT_EQ(MissionRoute(7)[0].Y, 485.3f);
}

TEST(GameConsts, RaceCarsStandSideBySide) {
    for (int n = 11; n <= 15; ++n) {
        const TMissionSetup& race = MissionSetups[n];
        float apart = std::hypot(race.Start[1].X - race.Start[0].X, race.Start[1].Y - race.Start[0].Y);
        EXPECT_NEAR(apart, 1.4f, 1e-4f) << "race " << n;
        EXPECT_EQ(race.ParTime, 0) << "race " << n;
        EXPECT_EQ(race.LightsOn, n >= 13) << "race " << n;
        EXPECT_TRUE(race.Snow);
    }
    EXPECT_EQ(MissionSetups[13].FinishPoints, 15);
    EXPECT_EQ(MissionSetups[10].TrafficCars, 4);
    EXPECT_EQ(MissionSetups[10].Pedestrians, 65);
    EXPECT_FALSE(MissionSetups[8].Snow);
}

TEST(GameConsts, EveryStationPlaceLiesInsideItsArea) {
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(PointInRect(GasStationPlaces[i].X, GasStationPlaces[i].Y, GasStationAreas[i])) << i;
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(PointInRect(ServicePlaces[i].X, ServicePlaces[i].Y, ServiceAreas[i])) << i;
    // Bounds are inclusive.
    EXPECT_TRUE(PointInRect(339, 143, GasStationAreas[0]));
    EXPECT_FALSE(PointInRect(338.99f, 142, GasStationAreas[0]));
}

TEST(GameConsts, ANumberTakesTheMarkedPlaceAndTheRestOfTheTextStaysAsWritten) {
    EXPECT_EQ(PlaceNumber(PickText(MenuTexts[mtMissionNumber], 0), "%d", "7"), "Mission 7");
    EXPECT_EQ(PlaceNumber(PickText(ParTimeText, 1), "%.2f", "12.50"), Utf8ToCp1250("Normový čas 12.50"));
    // Other directives in a text are its letters, never read as a format.
    EXPECT_EQ(PlaceNumber("%s %n 100% %d", "%d", "3"), "%s %n 100% 3");
    EXPECT_EQ(PlaceNumber("no number", "%d", "3"), "no number");
}
