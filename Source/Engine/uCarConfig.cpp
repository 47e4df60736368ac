#include "uCarConfig.h"
#include "uByteReader.h"

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

} // namespace

bool ParseCarConfig(const std::vector<uint8_t>& bytes, const std::string& fileName, TCarConfig& config,
                    std::string& error) {
    if (bytes.size() != CarConfigSize) {
        error = fileName + ": a car configuration has " + std::to_string(CarConfigSize) + " bytes, this file " +
                std::to_string(bytes.size());
        return false;
    }
    TByteReader reader(bytes.data(), bytes.size(), fileName);
    VisitSlots(config, [&](auto* field) {
        uint32_t bits = reader.U32("configuration slot");
        std::memcpy(field, &bits, 4);
    });
    return true;
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
