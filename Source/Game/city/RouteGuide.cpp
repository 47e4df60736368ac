#include "city/RouteGuide.h"

#include <algorithm>
#include <cmath>

namespace {

// Segments of the route, from the one the car was nearest to, that are searched for where it is now;
// a route that passes the same corner twice does not make the car jump ahead.
constexpr size_t SegmentsLooked = 24;

float Length(TRoutePoint a, TRoutePoint b) {
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

} // namespace

void TRouteGuide::Forget() {
    Finder.Cells.clear();
    Finder.Points.clear();
    Tried = false;
    Segment = 0;
    Along = 0;
}

void TRouteGuide::Update(float carX, float carY, float targetX, float targetY) {
    bool newTarget = !Tried || targetX != TargetX || targetY != TargetY;
    const std::vector<TRoutePoint>& points = Finder.Points;
    float nearest = 1e30f;
    if (!newTarget && points.size() >= 2) {
        size_t first = Segment > 0 ? Segment - 1 : 0;
        size_t last = std::min(points.size() - 1, Segment + SegmentsLooked);
        for (size_t i = first; i < last; ++i) {
            TRoutePoint a = points[i], b = points[i + 1];
            float length = Length(a, b);
            float t = length > 0 ? ((carX - a.X) * (b.X - a.X) + (carY - a.Y) * (b.Y - a.Y)) / length : 0;
            t = std::clamp(t, 0.0f, length);
            float px = length > 0 ? a.X + (b.X - a.X) * t / length : a.X;
            float py = length > 0 ? a.Y + (b.Y - a.Y) * t / length : a.Y;
            float d = std::hypot(carX - px, carY - py);
            if (d < nearest) {
                nearest = d;
                Segment = i;
                Along = t;
            }
        }
        if (nearest <= LeaveDistance)
            return;
    }
    // No route for this target yet, or the car has left it; after a search that found none, the
    // car has to move on before the next one.
    if (!newTarget && points.empty() && std::hypot(carX - TriedX, carY - TriedY) < RetryDistance)
        return;
    Tried = true;
    TargetX = targetX;
    TargetY = targetY;
    TriedX = carX;
    TriedY = carY;
    Segment = 0;
    Along = 0;
    ++Searches;
    Finder.Find(carX, carY, targetX, targetY);
}

bool TRouteGuide::PointAhead(float metres, TRoutePoint& point) const {
    const std::vector<TRoutePoint>& points = Finder.Points;
    if (points.size() < 2)
        return false;
    float left = metres + Along;
    for (size_t i = Segment; i + 1 < points.size(); ++i) {
        float length = Length(points[i], points[i + 1]);
        if (left <= length && length > 0) {
            point = {points[i].X + (points[i + 1].X - points[i].X) * left / length,
                     points[i].Y + (points[i + 1].Y - points[i].Y) * left / length};
            return true;
        }
        left -= length;
    }
    point = points.back();
    return true;
}
