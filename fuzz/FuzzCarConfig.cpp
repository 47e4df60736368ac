// Fuzz target: the car configuration reader must refuse any record the physics library would abort
// on; what it accepts is built into a car and driven a few steps.
#include "FuzzSeeds.h"
#include "uCarConfig.h"
#include "uErrors.h"
#include "uPhysics.h"
#include "uVehicle.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TPhysicsWorld physics;
    std::vector<uint8_t> bytes(data, data + size);
    TCarConfig config;
    try {
        config = ParseCarConfig(bytes, "fuzz.dat");
    } catch (const EFormatError& e) {
        if (std::string(e.what()).rfind("fuzz.dat: ", 0) != 0)
            __builtin_trap();
        return 0;
    }
    // A body of a common car: 4 x 1.8 x 1.4 metres.
    TMeshRecord chassis, wheel;
    chassis.Extent = VectorMake(4, 1.8f, 1.4f);
    try {
        TVehicle car(physics, config, wheel, chassis);
        car.SetPosition(100, 100);
        car.Throttle = config.ForwardThrottle;
        for (int i = 0; i < 5; ++i) {
            car.Update(0.01f);
            car.ApplyControls();
            physics.Step(0.01f);
        }
    } catch (const ERangeError&) {
        // wheels that do not fit under this body: refused before the physics saw them
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    for (const char* car : {"avia", "bmw", "chevy", "liaz", "mustang", "skoda120", "transit", "vwgolf"})
        AddDataSeeds(seeds, {std::string("cars/") + car + "/config.dat"});
    for (const char* car : {"avia", "bmw", "fabia", "skoda120", "transit", "vwgolf"})
        AddDataSeeds(seeds, {std::string("aicars/") + car + "/config.dat"});
    TCarConfig sane;
    sane.Mass = 22;
    sane.FrontAxle = sane.RearAxle = 0.3f;
    sane.HalfTrack = 0.72f;
    sane.WheelRadius = 0.285f;
    sane.FrontBrake = 140;
    sane.RearBrake = 100;
    sane.DriveType = 1;
    sane.SteerAmount = 0.36f;
    sane.ForwardThrottle = 0.78f;
    sane.MaxSpeed = 14;
    sane.SteerLimit = 0.4f;
    sane.SuspensionERP = 0.25f;
    sane.SuspensionCFM = 0.003f;
    seeds.push_back(EncodeCarConfig(sane));
    // Wheels that overlap: side to side, and front to back under the 4 m body.
    TCarConfig narrow = sane;
    narrow.HalfTrack = 0.1f;
    seeds.push_back(EncodeCarConfig(narrow));
    TCarConfig closeAxles = sane;
    closeAxles.FrontAxle = closeAxles.RearAxle = 0.03f;
    seeds.push_back(EncodeCarConfig(closeAxles));
    seeds.push_back(std::vector<uint8_t>(CarConfigSize, 0)); // the record of zeros
    seeds.push_back(std::vector<uint8_t>(CarConfigSize, 0xff)); // NaNs everywhere
    AddDamagedSeeds(seeds);
    return seeds;
}
