// The car configurations (data/cars/<model>/config.dat): the wheel layout comes from the generated
// models, so every body sits on its wheels; the rest is each car's character, tuned by driving.
#include "DataGen.h"
#include "Models/CarCatalogue.h"
#include "uCarConfig.h"

#include <stdexcept>

namespace {

// A car's character. Speeds are in metres per second of simulated time.
struct TTuning {
    const char* Name;    // mesh key of the design
    float Mass;          // chassis mass; each wheel weighs the same
    int32_t DriveType;   // 1 front, 2 rear, 3 all
    float SteerAmount;   // radians
    float SteerLimit;    // radians
    float Forward;       // throttle: target wheel spin in turns per 1/20 s ... times r gives speed
    float Reverse;
    float MaxSpeed;
    float FrontBrake, RearBrake;
    float EngineRate;    // playback rate of the engine loop at idle, Hz
    float GearTop[6];    // speed at the top of each gear
};

// The engine loops are generated at 22050 Hz, a steady idle; each gear pitches them up by half.
constexpr float EngineRate = 22050;

const TTuning Tunings[] = {
    // name      mass drive steer limit  fwd   rev  max   fbrake rbrake  rate        gears
    {"mustang", 30, 2, 0.30f, 0.45f, 1.50f, 0.5f, 26, 160, 70, EngineRate, {6, 12, 17, 22, 26, 40}},
    {"golf", 24, 1, 0.34f, 0.50f, 1.10f, 0.5f, 19, 140, 100, EngineRate, {5, 9, 13, 16, 19, 30}},
    {"bmw", 30, 2, 0.30f, 0.45f, 1.30f, 0.5f, 23, 160, 90, EngineRate, {6, 11, 15, 19, 23, 35}},
    {"liaz", 70, 2, 0.26f, 0.40f, 0.55f, 0.3f, 11, 220, 200, EngineRate, {3, 5, 7, 9, 11, 20}},
    {"chevy", 40, 3, 0.30f, 0.45f, 0.95f, 0.5f, 17, 170, 120, EngineRate, {5, 8, 11, 14, 17, 28}},
    {"avia", 55, 2, 0.28f, 0.42f, 0.65f, 0.4f, 12, 190, 160, EngineRate, {3, 6, 8, 10, 12, 22}},
    {"transit", 34, 2, 0.30f, 0.45f, 1.05f, 0.5f, 17, 150, 110, EngineRate, {5, 8, 11, 14, 17, 28}},
    {"s120", 22, 2, 0.34f, 0.50f, 0.90f, 0.5f, 15, 130, 100, EngineRate, {4, 7, 10, 13, 15, 25}},
};

TCarConfig Configure(const TTuning& t, const models::TCarGeometry& g) {
    TCarConfig c;
    c.Mass = t.Mass;
    c.FrontAxle = g.FrontAxle;
    c.RearAxle = g.RearAxle;
    c.HalfTrack = g.HalfTrack;
    c.WheelRadius = g.WheelRadius;
    c.FrontBrake = t.FrontBrake;
    c.RearBrake = t.RearBrake;
    c.DriveType = t.DriveType;
    c.SteerAmount = t.SteerAmount;
    c.ForwardThrottle = t.Forward;
    c.ReverseThrottle = t.Reverse;
    c.MaxSpeed = t.MaxSpeed;
    c.SteerLimit = t.SteerLimit;
    // Suspension of about 2 Hz, damped to half of critical, whatever the mass: with the step h,
    // spring k = ERP / (h CFM) and damping c = (1 - ERP) / CFM.
    c.SuspensionERP = 0.22f;
    c.SuspensionCFM = 0.22f / t.Mass;
    for (int i = 0; i < 2; ++i) {
        float side = i == 0 ? 1.0f : -1.0f;
        c.FrontLamps[i][0] = g.FrontLamp.x;
        c.FrontLamps[i][1] = g.FrontLamp.y * side;
        c.FrontLamps[i][2] = g.FrontLamp.z;
        c.RearLamps[i][0] = g.RearLamp.x;
        c.RearLamps[i][1] = g.RearLamp.y * side;
        c.RearLamps[i][2] = g.RearLamp.z;
    }
    c.EngineSound = 1;
    float low = 0;
    for (int i = 0; i < 6; ++i) {
        TGear& gear = c.Gears[i];
        gear.SpeedLow = low;
        gear.SpeedHigh = t.GearTop[i];
        gear.VolumeLow = 150 + 8.0f * float(i);
        gear.VolumeHigh = 200 + 8.0f * float(i);
        gear.FrequencyLow = t.EngineRate * (i == 0 ? 0.85f : 1.05f + 0.04f * float(i));
        gear.FrequencyHigh = t.EngineRate * (1.6f + 0.05f * float(i));
        low = t.GearTop[i];
    }
    return c;
}

void GenerateCarConfigs(const TGenContext& context) {
    std::vector<models::TCarDesign> designs = models::CarDesigns();
    for (const TTuning& tuning : Tunings) {
        const models::TCarDesign* design = nullptr;
        for (const models::TCarDesign& d : designs)
            if (d.Name == tuning.Name)
                design = &d;
        if (!design)
            throw std::runtime_error(std::string("no car design named ") + tuning.Name);
        context.Write(design->Directory + "/config.dat", EncodeCarConfig(Configure(tuning, models::MeasureCar(*design))));
    }
}

} // namespace

KAL_GENERATOR("cars", GenerateCarConfigs);
