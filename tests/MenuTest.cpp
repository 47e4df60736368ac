// The menu's layout table and value steps: wrapping tracks, the bounded car stepping of a mission,
// volumes and their percentages, station steps, the race winner, a run's place in the table and its name.
#include "tables/GameConsts.h"
#include "ui/MenuLayout.h"

#include <gtest/gtest.h>

TEST(TMenuLayout, TracksWrapAtBothEnds) {
    EXPECT_EQ(WrapStep(15, 1, 11, 15), 11);
    EXPECT_EQ(WrapStep(11, -1, 11, 15), 15);
    EXPECT_EQ(WrapStep(1, -1, 1, 10), 10);
    EXPECT_EQ(WrapStep(10, 1, 1, 10), 1);
    EXPECT_EQ(WrapStep(0, -1, 0, 4), 4) << "Up on the main menu's first item";
    EXPECT_EQ(WrapStep(4, 1, 0, 4), 0);
}

TEST(TMenuLayout, CarStepsSkipCarsTheMissionDoesNotOffer) {
    uint8_t aviaOrTransit = MissionTable[10].Cars;
    EXPECT_EQ(LowestAllowedCar(aviaOrTransit), 5);
    EXPECT_EQ(StepAllowedCar(5, 1, aviaOrTransit), 6);
    EXPECT_EQ(StepAllowedCar(6, 1, aviaOrTransit), 5);
    EXPECT_EQ(StepAllowedCar(5, -1, aviaOrTransit), 6);
    EXPECT_FALSE(SingleCarOffered(aviaOrTransit));
    // Every other mission offers all eight.
    EXPECT_EQ(LowestAllowedCar(MissionTable[3].Cars), 0);
    EXPECT_EQ(StepAllowedCar(7, 1, MissionTable[3].Cars), 0);
    EXPECT_FALSE(SingleCarOffered(0));
}

TEST(TMenuLayout, ASingleOfferedCarStaysChosen) {
    uint8_t skodaOnly = 1u << 7;
    EXPECT_TRUE(SingleCarOffered(skodaOnly));
    EXPECT_EQ(LowestAllowedCar(skodaOnly), 7);
    EXPECT_EQ(StepAllowedCar(7, 1, skodaOnly), 7) << "eight tries come back to the same car";
    EXPECT_EQ(StepAllowedCar(7, -1, skodaOnly), 7);
}

TEST(TMenuLayout, VolumesStopAtTheirEndsAndShowWholePercents) {
    int32_t volume = 200;
    for (int frame = 0; frame < 100; ++frame)
        volume = StepVolume(volume, 1);
    EXPECT_EQ(volume, 255);
    EXPECT_EQ(VolumePercent(volume), "100%");
    EXPECT_EQ(StepVolume(0, -1), 0);
    EXPECT_EQ(VolumePercent(0), "0%");
    EXPECT_EQ(VolumePercent(200), "78%");
    EXPECT_EQ(VolumePercent(128), "50%");
}

TEST(TMenuLayout, StationsFillAndRepairInSmallStepsUpToTheLimits) {
    EXPECT_FLOAT_EQ(Refuel(50), 50.05f);
    EXPECT_FLOAT_EQ(Refuel(99.98f), 100);
    EXPECT_FLOAT_EQ(Refuel(100), 100);
    EXPECT_FLOAT_EQ(Repair(10), 9.95f);
    EXPECT_FLOAT_EQ(Repair(0.01f), 0);
    EXPECT_FLOAT_EQ(Repair(0), 0);
}

TEST(TMenuLayout, PlayerTwoWinsADraw) {
    EXPECT_EQ(RaceWinner(3, 2), 1);
    EXPECT_EQ(RaceWinner(2, 2), 2);
    EXPECT_EQ(RaceWinner(0, 1), 2);
}

TEST(TMenuLayout, ARunEqualToAnEarlierOneTakesItsOwnPlace) {
    // The result screen names the rank the insertion gave: a run equal in every field to an earlier
    // one stands after it, not in its place.
    THighscores table;
    EXPECT_EQ(table.Insert(4, "Eva", 1, 900, 40.0f), 0);
    EXPECT_EQ(table.Insert(4, "Eva", 1, 900, 40.0f), 1);
    for (int i = 0; i < 8; ++i)
        table.Insert(4, "Fast", 0, 1000, 10.0f + float(i));
    EXPECT_EQ(table.Insert(4, "Eva", 1, 900, 40.0f), -1) << "slower than the ten in the table";
}

TEST(TMenuLayout, SlidingScreensEndWherePlacedAndStillOnesDoNotSlide) {
    for (uint8_t screen : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}) {
        const TMenuScreenSetup* setup = MenuScreenSetup(screen);
        ASSERT_NE(setup, nullptr) << int(screen);
        if (setup->Slide == 0)
            continue;
        EXPECT_EQ(setup->Slide % setup->SlideStep, 0) << int(screen);
        EXPECT_GE(setup->PanelY + setup->Slide, 0) << int(screen);
    }
    EXPECT_EQ(MenuScreenSetup(0), nullptr);
    EXPECT_EQ(MenuScreenSetup(18), nullptr);
    EXPECT_EQ(MenuScreenSetup(3)->LastItem, 6);
    EXPECT_EQ(MenuScreenSetup(5)->LastItem, 0);
}

TEST(TMenuLayout, PlacesAreNamedAsEachLanguageCountsThem) {
    const struct {
        int32_t Place;
        const char* English;
        const char* Czech;
    } cases[] = {{1, "1st", "1."},    {2, "2nd", "2."},    {3, "3rd", "3."},      {4, "4th", "4."},
                 {10, "10th", "10."}, {11, "11th", "11."}, {12, "12th", "12."},   {13, "13th", "13."},
                 {21, "21st", "21."}, {22, "22nd", "22."}, {112, "112th", "112."}};
    for (const auto& c : cases) {
        EXPECT_EQ(PlaceName(c.Place, 0), c.English);
        EXPECT_EQ(PlaceName(c.Place, 1), c.Czech);
    }
}
