// The shared geometry types of the game (four-float vector, three-row rotation matrix) and the few
// vector operations everyone uses. The physics library's own vector types are kept apart (see uOde.h).
#pragma once

#include <cmath>

// x, y, z in metres (world frame, Z up); w carries no meaning.
struct dVector3 {
    float x = 0, y = 0, z = 0, w = 0;

    float& operator[](int i) { return (&x)[i]; }
    float operator[](int i) const { return (&x)[i]; }
};

// A rotation matrix of three rows of four floats, row-major; the fourth float of each row is unused.
struct dMatrix3 {
    float m[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};

    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
};

dVector3 VectorMake(float x, float y, float z);
dVector3 VectorAdd(const dVector3& a, const dVector3& b);
dVector3 VectorSub(const dVector3& a, const dVector3& b);
dVector3 VectorScale(const dVector3& v, float s);
float VectorDot(const dVector3& a, const dVector3& b);
dVector3 MatrixMulVector(const dMatrix3& r, const dVector3& v);
// Writes v / |v| to out; a zero vector leaves out as it was, so callers initialise it.
void VectorNormalize(const dVector3& v, dVector3& out);
// Rotation about the Y axis by theta radians.
dVector3 VectorRotateY(const dVector3& v, float theta);
// Rotation about the Z axis by angle radians, as the physics library builds it from an axis and angle.
dMatrix3 MatrixRotationZ(float angle);
// 2D test on x and y: clockwise (and degenerate) triangles include their edges, counter-clockwise
// ones exclude them.
bool PointInTriangle(const dVector3& p, const dVector3& a, const dVector3& b, const dVector3& c);

// The turn `f` (0..1) of the way from quaternion `a` to `b` (w, x, y, z), the short way round (q and
// -q are the same turn), normalised: for drawing a body between two poses a moment apart.
template <class T> void QuaternionBetween(const T a[4], const T b[4], float f, T out[4]) {
    T dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
    T sign = dot < 0 ? T(-1) : T(1), norm = 0;
    for (int i = 0; i < 4; ++i) {
        out[i] = a[i] * T(1 - f) + sign * b[i] * T(f);
        norm += out[i] * out[i];
    }
    norm = std::sqrt(norm);
    for (int i = 0; i < 4; ++i)
        out[i] /= norm;
}
