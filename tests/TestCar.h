// A plain test car shared by the physics, vehicle and car tests and the physics benchmark: the
// numbers of a small front-driven hatchback on the game's suspension.
#pragma once

#include "Resources.h"
#include "uCarConfig.h"

inline TCarConfig TestCarConfig(int32_t driveType = 1) {
    TCarConfig c;
    c.Mass = 22;
    c.FrontAxle = 0.29f;
    c.RearAxle = 0.33f;
    c.HalfTrack = 0.72f;
    c.WheelRadius = 0.285f;
    c.FrontBrake = 140;
    c.RearBrake = 100;
    c.DriveType = driveType;
    c.SteerAmount = 0.36f;
    c.ForwardThrottle = 0.78f;
    c.ReverseThrottle = 0.3f;
    c.MaxSpeed = 14;
    c.SteerLimit = 0.4f;
    c.SuspensionERP = 0.251f;
    c.SuspensionCFM = 0.0596f / 22;
    return c;
}

// Mesh records of a 4 x 1.84 x 1.333 m body and its wheel (no display lists).
inline TMeshRecord TestChassis() {
    TMeshRecord body;
    body.Extent = VectorMake(4, 1.84f, 1.333f);
    return body;
}
inline TMeshRecord TestWheel() { return TMeshRecord{}; }
