// The car configurations (data/cars/<model>/config.dat): the wheel layout comes from the generated
// models, so every body sits on its wheels; the rest is each car's character, tuned by driving.
#include "tables/CarModelTable.h"
#include "ConfigBase.h"
#include "DataGen.h"

#include <stdexcept>

namespace {

// A car's character. Speeds are in metres per second of simulated time.
struct TTuning {
    float Mass;        // chassis mass; each wheel weighs the same
    int32_t DriveType; // 1 front, 2 rear, 3 all
    float SteerAmount; // radians
    float TopSpeed;    // metres per second
    float FrontBrake, RearBrake;
};

// The forward throttle is chosen so that the drive motors reach the top speed just as the speed
// limit does, so the limit never switches the drive on and off (a jerky ride that can tip tall cars
// in a corner).
// The engine loops are generated at 22050 Hz, a steady idle.
constexpr float EngineRate = 22050;
// Upper ends of the six gears as fractions of the top speed.
constexpr float GearTops[6] = {0.2f, 0.38f, 0.55f, 0.72f, 0.88f, 1.2f};

// In car-type order.
const TTuning Tunings[CarTypeCount] = {
    // Heavy wheels (as heavy as the body) keep the cars low; the lighter the car, the quicker it
    // picks up speed. Steering is what a car can take at speed without tipping over.
    {30, 2, 0.32f, 18, 120, 150}, // Mustang: fast; brakes on the rear swing the tail out
    {22, 1, 0.36f, 14, 140, 100}, // VW Golf: nimble: light, front-driven, the sharpest steering
    {26, 2, 0.32f, 16, 150, 100}, // BMW: powerful and nervous: light for its speed, quick steering
    {75, 2, 0.42f, 8, 220, 200},  // Liaz: slow and heavy
    {40, 3, 0.26f, 12, 170, 130}, // Chevy: four-wheel drive, tall: gentle steering
    {60, 2, 0.36f, 9, 190, 160},  // Avia: slow and lazy
    {28, 2, 0.30f, 13, 150, 110}, // Transit: quick, light on its feet, jumps at the throttle
    {22, 2, 0.32f, 11, 130, 100}, // Skoda 120: easy: modest speed, forgiving steering
};

TCarConfig Configure(const TTuning& t, const models::TCarGeometry& g) {
    TCarConfig c = ConfigBase(g, t.Mass, t.DriveType, t.FrontBrake, t.RearBrake);
    c.SteerAmount = t.SteerAmount;
    c.ForwardThrottle = t.TopSpeed / (WheelSpinPerThrottle * g.WheelRadius);
    c.ReverseThrottle = 0.4f * c.ForwardThrottle;
    c.MaxSpeed = t.TopSpeed;
    // The stops leave a little room past the steering target and hold a wheel that the road kicks.
    c.SteerLimit = 1.1f * t.SteerAmount;
    // Each gear pitches the idle loop up from about its own rate to 1.6 times it, a little louder
    // with every gear.
    c.EngineSound = 1;
    float low = 0;
    for (int i = 0; i < 6; ++i) {
        TGear& gear = c.Gears[i];
        gear.SpeedLow = low;
        gear.SpeedHigh = GearTops[i] * t.TopSpeed;
        gear.VolumeLow = 150 + 8.0f * float(i);
        gear.VolumeHigh = 200 + 8.0f * float(i);
        gear.FrequencyLow = EngineRate * (i == 0 ? 0.85f : 1.05f + 0.04f * float(i));
        gear.FrequencyHigh = EngineRate * (1.6f + 0.05f * float(i));
        low = gear.SpeedHigh;
    }
    return c;
}

void GenerateCarConfigs(const TGenContext& context) {
    std::vector<models::TCarDesign> designs = models::CarDesigns();
    for (int carType = 0; carType < CarTypeCount; ++carType) {
        const char* name = CarModelTable[carType].Chassis[0]; // the mesh key of the design
        const models::TCarDesign* design = nullptr;
        for (const models::TCarDesign& d : designs)
            if (d.Name == name)
                design = &d;
        if (!design)
            throw std::runtime_error(std::string("no car design named ") + name);
        context.Write(design->Directory + "/config.dat",
                      EncodeCarConfig(Configure(Tunings[carType], models::MeasureCar(*design))));
    }
}

} // namespace

KAL_GENERATOR("cars", GenerateCarConfigs);
