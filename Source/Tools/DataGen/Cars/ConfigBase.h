// What the player cars' and the traffic's configurations share: the wheel layout and lamps taken
// from the generated model, the brakes and drive, and one stiff suspension.
#pragma once

#include "Models/CarCatalogue.h"
#include "uCarConfig.h"

// The drive motors spin the wheels up to Throttle * 20 pi radians a second.
constexpr float WheelSpinPerThrottle = 62.83185307179586f;

inline TCarConfig ConfigBase(const models::TCarGeometry& g, float mass, int32_t driveType, float frontBrake,
                             float rearBrake) {
    TCarConfig c;
    c.Mass = mass;
    c.FrontAxle = g.FrontAxle;
    c.RearAxle = g.RearAxle;
    c.HalfTrack = g.HalfTrack;
    c.WheelRadius = g.WheelRadius;
    c.FrontBrake = frontBrake;
    c.RearBrake = rearBrake;
    c.DriveType = driveType;
    // A stiff suspension (about 8 Hz, half damped, on the physics' 1/150 s substeps) whatever the
    // mass: spring k = ERP / (h CFM), damping c = (1 - ERP) / CFM, each wheel carrying a quarter.
    c.SuspensionERP = 0.251f;
    c.SuspensionCFM = 0.0596f / mass;
    for (int i = 0; i < 2; ++i) {
        float side = i == 0 ? 1.0f : -1.0f;
        c.FrontLamps[i][0] = g.FrontLamp.x;
        c.FrontLamps[i][1] = g.FrontLamp.y * side;
        c.FrontLamps[i][2] = g.FrontLamp.z;
        c.RearLamps[i][0] = g.RearLamp.x;
        c.RearLamps[i][1] = g.RearLamp.y * side;
        c.RearLamps[i][2] = g.RearLamp.z;
    }
    return c;
}
