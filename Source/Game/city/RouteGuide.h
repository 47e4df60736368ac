// TRouteGuide: the route shown to the player — the street route from the car to the target it has
// to reach next, found again only when the target changes or the car leaves the route, and the
// point some metres ahead along it that the guidance arrow points at. Presentation only: it is fed
// from the drawn frames and nothing of the world reads it. Owns the route finder.
#pragma once

#include "city/StreetRoute.h"

#include <cstdint>
#include <vector>

class TRouteGuide {
  public:
    // Metres off the route past which it is found again from where the car is.
    static constexpr float LeaveDistance = 2.5f;
    // Metres the car must move from where a search found nothing before it searches again.
    static constexpr float RetryDistance = 4.0f;

    void SetCity(const TCellWords& words, const std::vector<uint8_t>& blocked = {}) {
        Finder.SetCity(words, blocked);
        Forget();
    }
    // Drops the route (a new game, no target left).
    void Forget();
    // The car at world (carX, carY) heads for the target at (targetX, targetY).
    void Update(float carX, float carY, float targetX, float targetY);
    // The point `metres` ahead of the car along the route; false when there is no route.
    bool PointAhead(float metres, TRoutePoint& point) const;

    bool HasRoute() const { return !Finder.Points.empty(); }
    const std::vector<TRoutePoint>& Points() const { return Finder.Points; }

    int32_t Searches = 0; // routes searched for since the city was set (a search that found none too)

  private:
    TStreetRoute Finder;
    bool Tried = false;             // a search ran for this target
    float TargetX = 0, TargetY = 0; // the target of the last search
    float TriedX = 0, TriedY = 0;   // where the car stood at the last search
    size_t Segment = 0;             // the route's segment the car was last nearest to
    float Along = 0;                // and how far along it, metres
};
