// Angles in radians, counter-clockwise from east, as the driver and its planners count them.
#pragma once

#include "uAngles.h"

// The same angle within (-Pi, Pi].
inline float Wrap(float angle) {
    while (angle > Pi)
        angle -= 2 * Pi;
    while (angle < -Pi)
        angle += 2 * Pi;
    return angle;
}
