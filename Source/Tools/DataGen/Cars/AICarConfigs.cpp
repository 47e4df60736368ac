// The configurations of the computer-driven cars (data/aicars/<model>/config.dat). The wheel layout
// comes from the generated models, as for the player cars; the rest is tuned for town traffic: calm
// speeds, gentle corners, and the four slots of the driver.
#include "ConfigBase.h"
#include "DataGen.h"

#include <stdexcept>

namespace {

// A traffic car's character. Speeds are in metres per second of simulated time.
struct TTrafficTuning {
    const char* Design;    // name of the car design (the body the model wears)
    const char* Directory; // below data/aicars
    float Mass;            // chassis mass; each wheel weighs the same
    int32_t DriveType;     // 1 front, 2 rear, 3 all
    float SteerLimit;      // radians: the tightest turn, taken only when slow
    float TopSpeed;        // metres per second on a long straight
    float FrontBrake, RearBrake;
    float CornerAccel; // metres per second squared of sideways pull in a bend
};

// The motors aim a little above the speed limit, so a car reaches it briskly and then holds it.
constexpr float SpinReserve = 1.15f;

// The driver. A car steers for the point of its track LookAhead metres ahead plus the distance it
// covers in LookAheadTime seconds, takes a bend with at most CornerAccel metres per second squared
// of sideways pull (a lorry less) and plans to brake for bends and for what stands in its way with
// BrakeDecel. Tuned by driving mission 10's traffic round the small blocks by its start: a shorter
// look-ahead makes the cars weave on the straights, a longer one cuts the corners onto the sidewalk.
constexpr float LookAhead = 4.0f;
constexpr float LookAheadTime = 0.5f;
constexpr float BrakeDecel = 3.5f;

const TTrafficTuning Tunings[] = {
    {"golf", "vwgolf", 22, 1, 0.55f, 9.5f, 140, 100, 4.0f},
    {"transit", "transit", 28, 2, 0.55f, 8.5f, 150, 110, 3.5f},
    {"avia", "avia", 60, 2, 0.55f, 7.0f, 190, 160, 2.5f},
    {"s120", "skoda120", 22, 2, 0.55f, 8.5f, 130, 100, 4.0f},
    {"bmw", "bmw", 26, 2, 0.55f, 10.0f, 150, 100, 4.0f},
    {"fabia_white", "fabia", 22, 1, 0.55f, 9.0f, 140, 100, 4.0f},
};

TCarConfig Configure(const TTrafficTuning& t, const models::TCarGeometry& g) {
    TCarConfig c = ConfigBase(g, t.Mass, t.DriveType, t.FrontBrake, t.RearBrake);
    c.SteerAmount = t.SteerLimit / 2; // the driver sets it every frame
    c.ForwardThrottle = SpinReserve * t.TopSpeed / (WheelSpinPerThrottle * g.WheelRadius);
    c.ReverseThrottle = 0.4f * c.ForwardThrottle;
    c.MaxSpeed = t.TopSpeed;
    c.SteerLimit = t.SteerLimit;
    c.EngineSound = 0; // traffic is silent but for its crashes
    c.AI[0] = LookAhead;
    c.AI[1] = LookAheadTime;
    c.AI[2] = t.CornerAccel;
    c.AI[3] = BrakeDecel;
    return c;
}

void GenerateAICarConfigs(const TGenContext& context) {
    std::vector<models::TCarDesign> designs = models::CarDesigns();
    for (const TTrafficTuning& tuning : Tunings) {
        const models::TCarDesign* design = nullptr;
        for (const models::TCarDesign& d : designs)
            if (d.Name == tuning.Design)
                design = &d;
        if (!design)
            throw std::runtime_error(std::string("no car design named ") + tuning.Design);
        context.Write(std::string("aicars/") + tuning.Directory + "/config.dat",
                      EncodeCarConfig(Configure(tuning, models::MeasureCar(*design))));
    }
}

} // namespace

KAL_GENERATOR("aicars", GenerateAICarConfigs);
