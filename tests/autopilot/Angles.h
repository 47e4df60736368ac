// Angles in radians, counter-clockwise from east, as the driver and its planners count them.
#pragma once

inline constexpr float Pi = 3.14159265f;

// The same angle within (-Pi, Pi].
inline float Wrap(float angle) {
    while (angle > Pi)
        angle -= 2 * Pi;
    while (angle < -Pi)
        angle += 2 * Pi;
    return angle;
}
