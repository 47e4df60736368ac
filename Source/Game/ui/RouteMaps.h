// The route on the maps: the mini map in the corner of the HUD — the city map picture around the
// car, north up, with the route, the next target and the car's arrow — and the route over the full
// city map of the map view. A few quads and one line strip each, cheap on the software renderer.
// Draws in the 640 x 480 overlay of the current GL state; owns nothing.
#pragma once

#include "city/StreetRoute.h"

#include <cstdint>
#include <vector>

// What the mini map shows; world metres and degrees.
struct TMiniMapView {
    uint32_t MapTexture = 0; // the city map picture (1024 x 512, see uMapCoords.h)
    float CarX = 0, CarY = 0;
    float CarHeading = 0; // as the car's Heading: the car drives towards Heading + 180
    bool HasTarget = false;
    float TargetX = 0, TargetY = 0;
    const std::vector<TRoutePoint>* Route = nullptr; // none or empty: no route line
};

// The mini map's square on the 640 x 480 overlay (origin bottom-left): bottom right, clear of the
// face (top left), the HUD symbols (top right) and the hint (bottom left).
constexpr float MiniMapLeft = 508, MiniMapBottom = 20, MiniMapSide = 112;
// Metres of the city from the mini map's centre to its edge.
constexpr float MiniMapReach = 56;

void DrawMiniMap(const TMiniMapView& view);
// The route over the full-screen city map of the map view, stopping short of the marks at its ends.
void DrawMapRoute(const std::vector<TRoutePoint>& route);

// Clips the segment a-b to the square [left, left + side] x [bottom, bottom + side]; false when none
// of it is inside.
bool ClipToSquare(TRoutePoint& a, TRoutePoint& b, float left, float bottom, float side);
