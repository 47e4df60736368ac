// Degrees and radians. The cars, the pedestrians and the city's files keep headings in degrees;
// the trigonometry, ODE and the drawing want radians. The game converts with these alone.
#pragma once

constexpr float Pi = 3.14159265358979f;
constexpr float DegreesPerRadian = 57.295779513082320877f;

constexpr float Radians(float degrees) {
    return degrees / DegreesPerRadian;
}
constexpr double Radians(double degrees) {
    return degrees * 3.14159265358979323846 / 180.0;
}
constexpr float Degrees(float radians) {
    return radians * DegreesPerRadian;
}
