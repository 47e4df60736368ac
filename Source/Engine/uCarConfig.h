// TCarConfig: the 284-byte configuration record of a car model (config.dat): masses, wheel layout,
// brakes, drive type, steering, speed limit, suspension, lamp positions and the engine sound gears.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TGear {
    float SpeedLow, SpeedHigh;         // metres per second; the gear covers SpeedLow <= speed < SpeedHigh
    float VolumeLow, VolumeHigh;       // engine channel volume 0..255 across the gear
    float FrequencyLow, FrequencyHigh; // engine channel playback rate in Hz across the gear
};

struct TCarConfig {
    float Mass = 0;         // chassis mass, and the mass of each wheel
    uint32_t Reserved1 = 0;
    float FrontAxle = 0;    // front wheels at x = -FrontAxle * chassis length
    float RearAxle = 0;     // rear wheels at x = RearAxle * chassis length
    float HalfTrack = 0;    // wheels at y = +-HalfTrack, metres
    float WheelRadius = 0;  // metres
    float FrontBrake = 0;   // brake force on the front joints
    float RearBrake = 0;    // brake force on the rear joints
    int32_t DriveType = 0;  // 1 front, 2 rear, anything else all four
    float SteerAmount = 0;  // steering target of a steering key, radians, positive to the right
    float ForwardThrottle = 0;
    float ReverseThrottle = 0;
    float MaxSpeed = 0;     // metres per second, before the surface and damage factors
    uint32_t Reserved13 = 0;
    float SteerLimit = 0;   // steering stops, radians
    uint32_t Reserved15 = 0;
    float SuspensionERP = 0;
    float SuspensionCFM = 0;
    float FrontLamps[2][3] = {}; // body frame, front at -x
    float RearLamps[2][3] = {};
    uint32_t EngineSound = 0;    // 0: the engine sound is never adjusted
    TGear Gears[6] = {};
    float AI[4] = {};            // used by computer-driven cars only; all zero for a player car
    std::string Source;          // the file the record was read from, for messages; not in the record
};

constexpr size_t CarConfigSize = 284;

// Reads a record from exactly 284 bytes and checks every field against a sane range (finite, positive
// masses and sizes, forces and speeds within bounds), so that the physics library is never handed a
// car it aborts on; EFormatError with a message naming the file and the field otherwise.
TCarConfig ParseCarConfig(const std::vector<uint8_t>& bytes, const std::string& fileName);
// The first field of `config` outside its range, as "field: why"; empty when every field is sane.
std::string CheckCarConfig(const TCarConfig& config);
// Why the front and rear wheels of `config` overlap under a chassis `length` metres long (their
// centres closer than a wheel's diameter), naming the fields; empty when they stand apart.
std::string WheelSpacingProblem(const TCarConfig& config, float length);
// The record as its 284 bytes, little-endian (for the data generator and tests).
std::vector<uint8_t> EncodeCarConfig(const TCarConfig& config);
