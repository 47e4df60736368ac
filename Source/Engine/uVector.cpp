#include "uVector.h"

#include <cmath>

dVector3 VectorMake(float x, float y, float z) {
    dVector3 v;
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}

dVector3 VectorAdd(const dVector3& a, const dVector3& b) { return VectorMake(a.x + b.x, a.y + b.y, a.z + b.z); }

dVector3 VectorSub(const dVector3& a, const dVector3& b) { return VectorMake(a.x - b.x, a.y - b.y, a.z - b.z); }

dVector3 VectorScale(const dVector3& v, float s) { return VectorMake(v.x * s, v.y * s, v.z * s); }

float VectorDot(const dVector3& a, const dVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

dVector3 MatrixMulVector(const dMatrix3& r, const dVector3& v) {
    return VectorMake(r[0] * v.x + r[1] * v.y + r[2] * v.z, r[4] * v.x + r[5] * v.y + r[6] * v.z,
                      r[8] * v.x + r[9] * v.y + r[10] * v.z);
}

void VectorNormalize(const dVector3& v, dVector3& out) {
    float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length != 0.0f)
        out = VectorScale(v, 1.0f / length);
}

dVector3 VectorRotateY(const dVector3& v, float theta) {
    float c = std::cos(theta), s = std::sin(theta);
    return VectorMake(v.x * c + v.z * s, v.y, v.z * c - v.x * s);
}

dMatrix3 MatrixRotationZ(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    dMatrix3 r;
    r[0] = c;
    r[1] = -s;
    r[4] = s;
    r[5] = c;
    return r;
}

bool PointInTriangle(const dVector3& p, const dVector3& a, const dVector3& b, const dVector3& c) {
    auto cross = [](float ax, float ay, float bx, float by) { return ax * by - ay * bx; };
    float orientation = (b.y - a.y) * (c.x - b.x) - (b.x - a.x) * (c.y - b.y);
    float eAB = cross(b.x - a.x, b.y - a.y, p.x - a.x, p.y - a.y);
    float eBC = cross(c.x - b.x, c.y - b.y, p.x - b.x, p.y - b.y);
    float eCA = cross(a.x - c.x, a.y - c.y, p.x - c.x, p.y - c.y);
    if (orientation >= 0.0f)
        return eAB <= 0.0f && eBC <= 0.0f && eCA <= 0.0f;
    return eAB > 0.0f && eBC > 0.0f && eCA > 0.0f;
}
