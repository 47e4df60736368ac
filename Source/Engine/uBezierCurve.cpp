#include "uBezierCurve.h"

#include <cmath>

void TBezierCurve::AddPoint(float x, float y, float t) {
    TCurvePoint point;
    point.x = x;
    point.y = y;
    point.t = t;
    Points.push_back(point);
    Start = Points.front().t;
    End = t;
}

void TBezierCurve::Prepare() {
    const size_t n = Points.size();
    if (n < 2)
        return;
    const float k = HandleFactor;
    for (size_t i = 0; i < n; ++i) {
        TCurvePoint& p = Points[i];
        if (i == 0) {
            p.InX = p.InY = 0;
            p.OutX = k * (Points[1].x - p.x);
            p.OutY = k * (Points[1].y - p.y);
            continue;
        }
        if (i == n - 1) {
            p.InX = k * (Points[n - 2].x - p.x);
            p.InY = k * (Points[n - 2].y - p.y);
            p.OutX = p.OutY = 0;
            continue;
        }
        const TCurvePoint& before = Points[i - 1];
        const TCurvePoint& after = Points[i + 1];
        float dx = after.x - before.x, dy = after.y - before.y;
        float length = std::sqrt(dx * dx + dy * dy);
        float a = k * std::hypot(p.x - before.x, p.y - before.y);
        float b = k * std::hypot(p.x - after.x, p.y - after.y);
        if (length == 0 || b == 0) {
            // Coinciding neighbours give no direction; a point equal to its successor gives no length.
            p.InX = p.InY = p.OutX = p.OutY = 0;
            continue;
        }
        float ux = dx / length, uy = dy / length;
        p.InX = -a * ux;
        p.InY = -a * uy;
        p.OutX = b * ux;
        p.OutY = b * uy;
    }
}

bool TBezierCurve::GetPoint(float t, float& x, float& y) const {
    if (Points.empty())
        return false;
    if (t <= Start || Points.size() == 1) {
        x = Points.front().x;
        y = Points.front().y;
        return true;
    }
    if (t < End) {
        size_t j = 0;
        while (j < Points.size() && t > Points[j].t)
            ++j;
        if (j == 0)
            j = 1;
        const TCurvePoint& p = Points[j - 1];
        const TCurvePoint& q = Points[j];
        float span = q.t - p.t;
        float s = span != 0 ? (t - p.t) / span : 1.0f;
        float r = 1 - s;
        float w0 = r * r * r, w1 = 3 * s * r * r, w2 = 3 * s * s * r, w3 = s * s * s;
        x = w0 * p.x + w1 * (p.x + p.OutX) + w2 * (q.x + q.InX) + w3 * q.x;
        y = w0 * p.y + w1 * (p.y + p.OutY) + w2 * (q.y + q.InY) + w3 * q.y;
        return true;
    }
    x = Points.back().x;
    y = Points.back().y;
    return true;
}
