#include "cars/Car.h"
#include "TestCar.h"
#include "TestSupport.h"
#include "uCarConfig.h"

#include <fstream>
#include <gtest/gtest.h>

TEST(Car, SurfaceFactorTakesTheFirstGroundBitSet) {
    EXPECT_FLOAT_EQ(SurfaceFactor(0), 1.0f);
    EXPECT_FLOAT_EQ(SurfaceFactor(3), 0.5f);     // mud and water: the first row wins
    EXPECT_FLOAT_EQ(SurfaceFactor(0x40), 1.0f);  // asphalt
    EXPECT_FLOAT_EQ(SurfaceFactor(0x50), 0.9f);  // a zebra crossing: asphalt and pedestrian area
    EXPECT_FLOAT_EQ(SurfaceFactor(0x20), 0.7f);  // grass
    EXPECT_FLOAT_EQ(SurfaceFactor(0x1234), 0.9f); // direction marks above the ground bits are ignored
}

TEST(Car, DamageLowersTheTopSpeedJustAboveEachThreshold) {
    EXPECT_EQ(DamageSpeedFactor(0), 1.0f);
    EXPECT_EQ(DamageSpeedFactor(70), 1.0f) << "70 itself still runs at full speed";
    EXPECT_EQ(DamageSpeedFactor(70.01f), 0.9f);
    EXPECT_EQ(DamageSpeedFactor(80), 0.9f);
    EXPECT_EQ(DamageSpeedFactor(80.01f), 0.75f);
    EXPECT_EQ(DamageSpeedFactor(90), 0.75f);
    EXPECT_EQ(DamageSpeedFactor(90.01f), 0.4f);
    EXPECT_EQ(DamageSpeedFactor(100), 0.4f);
}

TEST(Car, ConfigurationRecordRoundTripsAndRejectsWrongSizes) {
    TCarConfig config = TestCarConfig();
    config.Mass = 30;
    config.DriveType = 2;
    config.SteerLimit = 0.35f;
    config.RearLamps[1][2] = -0.27f;
    config.EngineSound = 1;
    config.Gears[5].FrequencyHigh = 38000;
    config.AI[0] = 3;
    config.AI[1] = 15;
    config.AI[2] = 2;
    config.AI[3] = 7;
    std::vector<uint8_t> bytes = EncodeCarConfig(config);
    ASSERT_EQ(bytes.size(), 284u);
    EXPECT_EQ(bytes[8 * 4], 2); // DriveType is slot 8
    TCarConfig back;
    ASSERT_NO_THROW(back = ParseCarConfig(bytes, "config.dat"));
    EXPECT_EQ(back.Mass, 30);
    EXPECT_EQ(back.DriveType, 2);
    EXPECT_FLOAT_EQ(back.SteerLimit, 0.35f);
    EXPECT_FLOAT_EQ(back.RearLamps[1][2], -0.27f);
    EXPECT_FLOAT_EQ(back.Gears[5].FrequencyHigh, 38000);
    EXPECT_FLOAT_EQ(back.AI[3], 7);

    bytes.pop_back();
    try {
        ParseCarConfig(bytes, "short.dat");
        ADD_FAILURE() << "a short record was read";
    } catch (const EFormatError& e) {
        EXPECT_STREQ(e.what(), "short.dat: a car configuration has 284 bytes, this file 283");
    }
}

TEST(Car, MissingConfigurationIsAnInputOutputErrorAShortOneAFormatError) {
    TTempDir dir;
    EXPECT_THROW(ReadCarConfig(dir.File("none.dat")), EInOutError);
    std::ofstream(dir.File("short.dat")) << "too short";
    EXPECT_THROW(ReadCarConfig(dir.File("short.dat")), EFormatError);
}
