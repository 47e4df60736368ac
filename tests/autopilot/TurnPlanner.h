// Turning a car round where the street is too narrow to drive round in one go: the fewest, shortest
// legs forwards and backwards with the wheel over, each long enough and no longer than the walls
// allow, that leave the car's nose pointing at a given point.
#pragma once

#include "Angles.h"
#include "CityGrid.h"

#include <vector>

// Metres per second each leg of turning round is driven at.
constexpr float TurnLegSpeed = 1.5f;

struct TCarBody {
    float HalfLength = 2, HalfWidth = 0.9f;
    float Curvature = 0.2f; // 1/m with the wheel over
};

// One leg: which way the car rolls, which way the wheel is over, and how far the nose turns on it.
struct TTurnLeg {
    bool Forwards = true;
    float Side = 1;   // 1 the wheel over to the left, -1 to the right
    float Turn = 0;   // radians the heading changes on the leg, never negative
    float Length = 0; // metres the leg is planned to roll
};

// The legs that turn the car standing at (x, y) with its nose towards `forward` (radians) until the
// nose points at `towards`, within half a radian; empty when three legs do not do it.
std::vector<TTurnLeg> PlanTurnRound(const TCityGrid& city, const TCarBody& body, float x, float y,
                                    float forward, TPoint towards);
