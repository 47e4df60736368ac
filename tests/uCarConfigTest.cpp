// The car configuration record's range checks: zeros, NaNs and huge values are refused with the
// file and the field named, for the player cars and the computer-driven ones alike, before the
// physics library ever sees them.
#include "TestCar.h"
#include "TestSupport.h"
#include "uCarConfig.h"
#include "uErrors.h"
#include "uPhysics.h"
#include "uVehicle.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace {

// The error of reading `bytes` as `fileName`, or "parsed".
std::string ParseError(const std::vector<uint8_t>& bytes, const std::string& fileName) {
    return ReadError([&] { ParseCarConfig(bytes, fileName); });
}

// The error of reading `config` as "car.dat", or "parsed".
std::string ErrorOf(const TCarConfig& config) {
    return ParseError(EncodeCarConfig(config), "car.dat");
}

TCarConfig DrivenConfig() {
    TCarConfig c = TestCarConfig();
    c.AI[0] = 3;
    c.AI[1] = 15;
    c.AI[2] = 2;
    c.AI[3] = 1;
    return c;
}

} // namespace

TEST(CarConfigRanges, SaneRecordsOfPlayerAndComputerCarsAreRead) {
    EXPECT_EQ(ErrorOf(TestCarConfig()), "parsed");
    EXPECT_EQ(ErrorOf(DrivenConfig()), "parsed");
}

TEST(CarConfigRanges, RecordOfZerosIsRefusedNamingTheFileAndTheMass) {
    std::vector<uint8_t> zeros(CarConfigSize, 0);
    std::string error = ParseError(zeros, "data/cars/zero/config.dat");
    EXPECT_NE(error.find("data/cars/zero/config.dat"), std::string::npos) << error;
    EXPECT_NE(error.find("Mass"), std::string::npos) << error;
}

TEST(CarConfigRanges, NotANumberInAnyFloatSlotIsRefusedByName) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Every float slot of the record but the driver's, by its byte offset and name.
    const std::pair<size_t, const char*> slots[] = {
        {0, "Mass"},          {8, "FrontAxle"},        {12, "RearAxle"},      {16, "HalfTrack"},
        {20, "WheelRadius"},  {24, "FrontBrake"},      {28, "RearBrake"},     {36, "SteerAmount"},
        {40, "ForwardThrottle"}, {44, "ReverseThrottle"}, {48, "MaxSpeed"},  {56, "SteerLimit"},
        {64, "SuspensionERP"}, {68, "SuspensionCFM"},  {72, "FrontLamps[0]"}, {96, "RearLamps[0]"},
        {124, "Gears[0].SpeedLow"}, {264, "Gears[5].FrequencyHigh"},
    };
    for (const auto& [offset, name] : slots) {
        std::vector<uint8_t> bytes = EncodeCarConfig(TestCarConfig());
        std::memcpy(&bytes[offset], &nan, 4);
        EXPECT_EQ(ParseError(bytes, "car.dat"),
                  std::string("car.dat: the car configuration's ") + name + " is not a finite number");
    }
}

TEST(CarConfigRanges, HugeNegativeZeroSizesAndOverlappingWheelsAreRefused) {
    auto with = [](auto change) {
        TCarConfig c = TestCarConfig();
        change(c);
        return ErrorOf(c);
    };
    EXPECT_NE(with([](TCarConfig& c) { c.Mass = 1e30f; }).find("Mass is"), std::string::npos);
    EXPECT_NE(with([](TCarConfig& c) { c.Mass = -5; }).find("Mass is"), std::string::npos);
    EXPECT_NE(with([](TCarConfig& c) { c.WheelRadius = 0; }).find("WheelRadius is 0"), std::string::npos);
    EXPECT_NE(with([](TCarConfig& c) { c.Mass = 1e-40f; }).find("Mass is"), std::string::npos)
        << "a tiny denormal mass makes the physics library abort";
    EXPECT_NE(with([](TCarConfig& c) { c.WheelRadius = 1e9f; }).find("WheelRadius"), std::string::npos);
    EXPECT_NE(with([](TCarConfig& c) { c.HalfTrack = -1; }).find("HalfTrack"), std::string::npos);
    EXPECT_NE(with([](TCarConfig& c) { c.MaxSpeed = 0; }).find("MaxSpeed"), std::string::npos);
    EXPECT_NE(with([](TCarConfig& c) { c.FrontBrake = 1e12f; }).find("FrontBrake"), std::string::npos);
    EXPECT_NE(with([](TCarConfig& c) { c.ForwardThrottle = -1; }).find("ForwardThrottle"), std::string::npos);
    EXPECT_NE(with([](TCarConfig& c) { c.SteerLimit = 7; }).find("SteerLimit"), std::string::npos);
    EXPECT_NE(with([](TCarConfig& c) { c.SuspensionERP = 2; }).find("SuspensionERP"), std::string::npos);
    EXPECT_NE(with([](TCarConfig& c) { c.Gears[2].VolumeHigh = 1000; }).find("Gears[2].VolumeHigh"),
              std::string::npos);
    // Sphere wheels closer than a wheel's width side to side, or the front axle not ahead of the rear.
    EXPECT_NE(
        with([](TCarConfig& c) { c.HalfTrack = 0.2f; }).find("HalfTrack 0.200000 is less than WheelRadius"),
        std::string::npos);
    EXPECT_NE(
        with([](TCarConfig& c) { c.FrontAxle = -0.33f; }).find("FrontAxle -0.330000 and RearAxle 0.330000"),
        std::string::npos);
}

TEST(CarConfigRanges, ComputerDriverWithoutSpeedDivisorOrStepIsRefused) {
    TCarConfig c = DrivenConfig();
    c.AI[0] = 0;
    EXPECT_NE(ErrorOf(c).find("AI[0] (speed divisor)"), std::string::npos) << ErrorOf(c);
    c = DrivenConfig();
    c.AI[3] = -1;
    EXPECT_NE(ErrorOf(c).find("AI[3] (target step)"), std::string::npos) << ErrorOf(c);
    c = DrivenConfig();
    c.AI[2] = std::numeric_limits<float>::infinity();
    EXPECT_NE(ErrorOf(c).find("AI[2] (target radius) is not a finite number"), std::string::npos);
}

TEST(CarConfigRanges, WheelsThatDoNotFitTheBodyAreRefusedBeforeThePhysics) {
    TPhysicsWorld physics;
    // 1.6 m of wheel under a 1.333 m body; axles 0.4 m apart under wheels 0.57 m across.
    for (auto [radius, axle] : {std::pair{0.8f, 0.3f}, {0.285f, 0.05f}}) {
        TCarConfig config = TestCarConfig();
        config.WheelRadius = radius;
        config.FrontAxle = config.RearAxle = axle;
        config.Source = "data/cars/odd/config.dat";
        try {
            TVehicle car(physics, config, TestWheel(), TestChassis());
            ADD_FAILURE() << "built a car whose wheels do not fit its body";
        } catch (const ERangeError& e) {
            std::string fields = radius > 0.5f ? "WheelRadius" : "FrontAxle 0.050000 and RearAxle 0.050000";
            EXPECT_NE(std::string(e.what()).find("data/cars/odd/config.dat"), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(fields), std::string::npos) << e.what();
        }
    }
}
