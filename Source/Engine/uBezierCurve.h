// TBezierCurve: a smooth path on the ground plane through points tagged with a parameter t. Between
// neighbouring points it is a cubic Bezier segment whose inner control points come from automatic
// handles, so the path passes every point with a continuous direction. Owns its point list.
#pragma once

#include <vector>

struct TCurvePoint {
    float x = 0, y = 0;       // world X, Y
    float InX = 0, InY = 0;   // offset from the point to the control point before it
    float OutX = 0, OutY = 0; // offset from the point to the control point after it
    float t = 0;              // curve parameter at this point
};

class TBezierCurve {
  public:
    // Appends a point with zero handles; producers add points in ascending t.
    void AddPoint(float x, float y, float t);
    // Computes every point's handles; call once after the last AddPoint.
    void Prepare();
    // The position at t, clamped to the first and last point. False (x, y untouched) when empty.
    bool GetPoint(float t, float& x, float& y) const;

    float HandleFactor = 1.0f / 3.0f;
    float Start = 0; // t of the first point
    float End = 0;   // t of the last point
    std::vector<TCurvePoint> Points;
};
