#include "uCamera.h"

#include <GL/gl.h>
#include <cmath>


namespace {

// As gluPerspective: vertical field of view in degrees.
void Perspective(float m[16], float fovY, float aspect, float zNear, float zFar) {
    float f = 1.0f / std::tan(fovY * 3.14159265f / 360.0f);
    for (int i = 0; i < 16; ++i)
        m[i] = 0.0f;
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1.0f;
    m[14] = 2.0f * zFar * zNear / (zNear - zFar);
}

dVector3 Cross(const dVector3& a, const dVector3& b) {
    return VectorMake(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// As gluLookAt.
void LookAtMatrix(float m[16], const dVector3& eye, const dVector3& target, const dVector3& up) {
    dVector3 f = VectorSub(target, eye), u = up, s;
    VectorNormalize(f, f);
    VectorNormalize(u, u);
    s = Cross(f, u);
    VectorNormalize(s, s);
    u = Cross(s, f);
    float r[16] = {s.x, u.x, -f.x, 0, s.y, u.y, -f.y, 0, s.z, u.z, -f.z, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i)
        m[i] = r[i];
    m[12] = -VectorDot(s, eye);
    m[13] = -VectorDot(u, eye);
    m[14] = VectorDot(f, eye);
}

// c = a * b for column-major 4 x 4 matrices.
void Multiply(const float a[16], const float b[16], float c[16]) {
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + row] * b[col * 4 + k];
            c[col * 4 + row] = sum;
        }
}

void SetPlane(float plane[4], float a, float b, float c, float d) {
    float length = std::sqrt(a * a + b * b + c * c);
    plane[0] = a / length;
    plane[1] = b / length;
    plane[2] = c / length;
    plane[3] = d / length;
}

float PlaneValue(const float plane[4], const dVector3& p) {
    return plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3];
}

} // namespace

void TCamera::SetHeading(float h) {
    Heading = h;
    Rotation = MatrixRotationZ(h);
}

void TCamera::UpdateMatrices() {
    Perspective(Projection, 45.0f, 4.0f / 3.0f, 0.1f, static_cast<float>(ViewDistance));
    dVector3 direction = VectorRotateY(VectorMake(1, 0, 0), -Pitch);
    dVector3 offset = VectorScale(MatrixMulVector(Rotation, direction), Distance);
    dVector3 target = VectorMake(TargetX, TargetY, 0);
    dVector3 eye = VectorAdd(target, offset);
    dVector3 up = MatrixMulVector(Rotation, VectorMake(-1, 0, 0));
    LookAtMatrix(ModelView, eye, target, up);
    LookAt = target;

    float clip[16];
    Multiply(Projection, ModelView, clip);
    SetPlane(Planes[0], clip[3] - clip[0], clip[7] - clip[4], clip[11] - clip[8], clip[15] - clip[12]);
    SetPlane(Planes[1], clip[3] + clip[0], clip[7] + clip[4], clip[11] + clip[8], clip[15] + clip[12]);
    SetPlane(Planes[2], clip[3] + clip[1], clip[7] + clip[5], clip[11] + clip[9], clip[15] + clip[13]);
    SetPlane(Planes[3], clip[3] - clip[1], clip[7] - clip[5], clip[11] - clip[9], clip[15] - clip[13]);
}

void TCamera::Apply() {
    UpdateMatrices();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(Projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(ModelView);
}

TScreenPoint TCamera::Project(float x, float y, float z) {
    UpdateMatrices();
    float clip[16];
    Multiply(Projection, ModelView, clip);
    float v[4];
    for (int row = 0; row < 4; ++row)
        v[row] = clip[row] * x + clip[4 + row] * y + clip[8 + row] * z + clip[12 + row];
    if (v[3] == 0.0f)
        return {0.0f, 0.0f};
    return {(v[0] / v[3] + 1.0f) * 0.5f * LayoutWidth, (v[1] / v[3] + 1.0f) * 0.5f * LayoutHeight};
}

bool TCamera::SphereVisible(const dVector3& centre, float radius) const {
    for (const auto& plane : Planes)
        if (PlaneValue(plane, centre) <= -radius)
            return false;
    return true;
}

bool TCamera::PointVisible(const dVector3& point) const {
    for (const auto& plane : Planes)
        if (PlaneValue(plane, point) <= 0.0f)
            return false;
    return true;
}
