#include "uCarConfig.h"
#include "uByteReader.h"
#include "uErrors.h"

#include <cmath>
#include <cstring>

namespace {

// The record is 71 little-endian 32-bit slots, visited in file order by both directions.
template <class Slot> void VisitSlots(TCarConfig& c, Slot&& slot) {
    slot(&c.Mass);
    slot(&c.Reserved1);
    slot(&c.FrontAxle);
    slot(&c.RearAxle);
    slot(&c.HalfTrack);
    slot(&c.WheelRadius);
    slot(&c.FrontBrake);
    slot(&c.RearBrake);
    slot(&c.DriveType);
    slot(&c.SteerAmount);
    slot(&c.ForwardThrottle);
    slot(&c.ReverseThrottle);
    slot(&c.MaxSpeed);
    slot(&c.Reserved13);
    slot(&c.SteerLimit);
    slot(&c.Reserved15);
    slot(&c.SuspensionERP);
    slot(&c.SuspensionCFM);
    for (auto& lamp : c.FrontLamps)
        for (float& v : lamp)
            slot(&v);
    for (auto& lamp : c.RearLamps)
        for (float& v : lamp)
            slot(&v);
    slot(&c.EngineSound);
    for (TGear& gear : c.Gears) {
        slot(&gear.SpeedLow);
        slot(&gear.SpeedHigh);
        slot(&gear.VolumeLow);
        slot(&gear.VolumeHigh);
        slot(&gear.FrequencyLow);
        slot(&gear.FrequencyHigh);
    }
    for (float& v : c.AI)
        slot(&v);
}

// Collects the first field outside its range.
struct TRangeCheck {
    std::string Problem;

    void Range(float value, float low, float high, const std::string& field) {
        if (!Problem.empty())
            return;
        if (!std::isfinite(value))
            Problem = field + " is not a finite number";
        else if (value < low || value > high)
            Problem = field + " is " + std::to_string(value) + ", outside " + std::to_string(low) + " .. " +
                      std::to_string(high);
    }
    // Sizes and masses: at least `low`, far from zero, since the physics divides by them.
    void Positive(float value, float low, float high, const std::string& field) {
        Range(value, low, high, field);
    }
};

} // namespace

std::string WheelSpacingProblem(const TCarConfig& c, float length) {
    // Distance between the front and the rear wheel centres against a wheel's diameter.
    float spacing = (c.FrontAxle + c.RearAxle) * length;
    if (spacing >= 2 * c.WheelRadius)
        return "";
    return "FrontAxle " + std::to_string(c.FrontAxle) + " and RearAxle " + std::to_string(c.RearAxle) +
           " put the axles " + std::to_string(spacing) + " m apart under a body " + std::to_string(length) +
           " m long, less than a wheel's diameter (WheelRadius " + std::to_string(c.WheelRadius) +
           "): the front and rear wheels overlap";
}

std::string CheckCarConfig(const TCarConfig& c) {
    constexpr float HalfTurn = 1.5708f; // radians
    TRangeCheck check;
    check.Positive(c.Mass, 0.5f, 10000, "Mass");
    // Fractions of the body's length, from its centre.
    check.Range(c.FrontAxle, -1, 1, "FrontAxle");
    check.Range(c.RearAxle, -1, 1, "RearAxle");
    check.Positive(c.HalfTrack, 0.05f, 10, "HalfTrack");
    check.Positive(c.WheelRadius, 0.05f, 5, "WheelRadius");
    check.Range(c.FrontBrake, 0, 1e6f, "FrontBrake");
    check.Range(c.RearBrake, 0, 1e6f, "RearBrake");
    check.Range(c.SteerAmount, -HalfTurn, HalfTurn, "SteerAmount");
    check.Range(c.ForwardThrottle, 0, 1e4f, "ForwardThrottle");
    check.Range(c.ReverseThrottle, 0, 1e4f, "ReverseThrottle");
    check.Positive(c.MaxSpeed, 0.1f, 500, "MaxSpeed");
    check.Range(c.SteerLimit, 0, HalfTurn, "SteerLimit");
    check.Range(c.SuspensionERP, 0, 1, "SuspensionERP");
    check.Range(c.SuspensionCFM, 0, 1, "SuspensionCFM");
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < 3; ++k) {
            check.Range(c.FrontLamps[i][k], -100, 100, "FrontLamps[" + std::to_string(i) + "]");
            check.Range(c.RearLamps[i][k], -100, 100, "RearLamps[" + std::to_string(i) + "]");
        }
    for (int i = 0; i < 6; ++i) {
        const TGear& gear = c.Gears[i];
        std::string name = "Gears[" + std::to_string(i) + "].";
        check.Range(gear.SpeedLow, 0, 1000, name + "SpeedLow");
        check.Range(gear.SpeedHigh, 0, 1000, name + "SpeedHigh");
        check.Range(gear.VolumeLow, 0, 255, name + "VolumeLow");
        check.Range(gear.VolumeHigh, 0, 255, name + "VolumeHigh");
        check.Range(gear.FrequencyLow, 0, 1e6f, name + "FrequencyLow");
        check.Range(gear.FrequencyHigh, 0, 1e6f, name + "FrequencyHigh");
    }
    // Sphere wheels: the left and right ones stand 2 * HalfTrack apart and must not touch, and the
    // front axle must stand ahead of the rear one (how far apart needs the body's length; the car
    // checks that when it is built).
    if (check.Problem.empty() && c.HalfTrack < c.WheelRadius)
        check.Problem = "HalfTrack " + std::to_string(c.HalfTrack) + " is less than WheelRadius " +
                        std::to_string(c.WheelRadius) + ": the left and right wheels overlap";
    if (check.Problem.empty() && !(c.FrontAxle + c.RearAxle > 0))
        check.Problem = "FrontAxle " + std::to_string(c.FrontAxle) + " and RearAxle " +
                        std::to_string(c.RearAxle) +
                        " put the front wheels level with or behind the rear ones";
    // The driver's slots: all zero for a player car; a computer-driven car divides by the first and
    // steps along its track by the last, so neither may be zero.
    bool driven = c.AI[0] != 0 || c.AI[1] != 0 || c.AI[2] != 0 || c.AI[3] != 0;
    if (driven) {
        check.Positive(c.AI[0], 0.01f, 1000, "AI[0] (speed divisor)");
        check.Range(c.AI[1], 0, 180, "AI[1] (target turn)");
        check.Positive(c.AI[2], 0.01f, 1000, "AI[2] (target radius)");
        check.Positive(c.AI[3], 0.01f, 1000, "AI[3] (target step)");
    }
    return check.Problem;
}

TCarConfig ParseCarConfig(const std::vector<uint8_t>& bytes, const std::string& fileName) {
    if (bytes.size() != CarConfigSize)
        throw EFormatError(fileName + ": a car configuration has " + std::to_string(CarConfigSize) +
                           " bytes, this file " + std::to_string(bytes.size()));
    TCarConfig config;
    TByteReader reader(bytes.data(), bytes.size(), fileName);
    VisitSlots(config, [&](auto* field) {
        uint32_t bits = reader.U32("configuration slot");
        std::memcpy(field, &bits, 4);
    });
    config.Source = fileName;
    std::string problem = CheckCarConfig(config);
    if (!problem.empty())
        throw EFormatError(fileName + ": the car configuration's " + problem);
    return config;
}

std::vector<uint8_t> EncodeCarConfig(const TCarConfig& config) {
    std::vector<uint8_t> bytes;
    TCarConfig copy = config;
    VisitSlots(copy, [&](auto* field) {
        uint32_t bits;
        std::memcpy(&bits, field, 4);
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(bits >> (8 * i)));
    });
    return bytes;
}
