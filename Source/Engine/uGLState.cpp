#include "uGLState.h"

#include <GL/gl.h>
#include <cmath>

void PushOrtho(float width, float height, float zNear, float zFar) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, zNear, zFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void PopOrtho() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void BillboardQuad(TQuadBatch& batch, const dVector3& p, const dVector3& right, const dVector3& up) {
    dVector3 r = VectorScale(right, 0.5f), u = VectorScale(up, 0.5f);
    dVector3 a = VectorAdd(VectorSub(p, r), u), b = VectorSub(VectorSub(p, r), u);
    dVector3 c = VectorSub(VectorAdd(p, r), u), d = VectorAdd(VectorAdd(p, r), u);
    batch.Vertex(0, 0, a.x, a.y, a.z);
    batch.Vertex(1, 0, b.x, b.y, b.z);
    batch.Vertex(1, 1, c.x, c.y, c.z);
    batch.Vertex(0, 1, d.x, d.y, d.z);
}

namespace {

// The octagon of the texture square [0, 1] x [0, 1] whose sides touch the inscribed circle, mapped
// to origin + s * alongS + t * alongT: a middle band and the two trapezoids above and below it.
void OctagonQuads(TQuadBatch& batch, const dVector3& origin, const dVector3& alongS, const dVector3& alongT) {
    constexpr float a = 0.29289322f; // (1 - tan(22.5 degrees)) / 2: where a side leaves the square
    const float cuts[4] = {0, a, 1 - a, 1};
    dVector3 points[4][4]; // [s][t] on the cut lines
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            points[i][j] =
                VectorAdd(origin, VectorAdd(VectorScale(alongS, cuts[i]), VectorScale(alongT, cuts[j])));
    auto vertex = [&](int i, int j) {
        batch.Vertex(cuts[i], cuts[j], points[i][j].x, points[i][j].y, points[i][j].z);
    };
    vertex(1, 0); // s from a to 1 - a along t = 0, widening to the full side at t = a
    vertex(2, 0);
    vertex(3, 1);
    vertex(0, 1);
    vertex(0, 1); // the full band a <= t <= 1 - a
    vertex(3, 1);
    vertex(3, 2);
    vertex(0, 2);
    vertex(0, 2); // narrowing again up to t = 1
    vertex(3, 2);
    vertex(2, 3);
    vertex(1, 3);
}

} // namespace

void BillboardOctagon(TQuadBatch& batch, const dVector3& p, const dVector3& right, const dVector3& up) {
    // The corners of BillboardQuad: (s, t) = (0, 0) at p - right/2 + up/2, s towards -up, t towards right.
    dVector3 origin = VectorAdd(VectorSub(p, VectorScale(right, 0.5f)), VectorScale(up, 0.5f));
    OctagonQuads(batch, origin, VectorScale(up, -1.0f), right);
}

void FlatOctagon(TQuadBatch& batch, const dVector3& p, float hw, float hh, float angle) {
    // The corners of FlatQuad: s along the local Y, t along the local X.
    float radians = angle * float(M_PI) / 180.0f;
    float c = std::cos(radians), s = std::sin(radians);
    dVector3 origin = VectorMake(p.x - hw * c + hh * s, p.y - hw * s - hh * c, p.z);
    OctagonQuads(batch, origin, VectorMake(-2 * hh * s, 2 * hh * c, 0),
                 VectorMake(2 * hw * c, 2 * hw * s, 0));
}

void FlatQuad(TQuadBatch& batch, const dVector3& p, float hw, float hh, float angle) {
    float radians = angle * float(M_PI) / 180.0f;
    float c = std::cos(radians), s = std::sin(radians);
    auto corner = [&](float x, float y, float u, float v) {
        batch.Vertex(u, v, p.x + x * c - y * s, p.y + x * s + y * c, p.z);
    };
    corner(-hw, -hh, 0, 0);
    corner(-hw, hh, 1, 0);
    corner(hw, hh, 1, 1);
    corner(hw, -hh, 0, 1);
}

namespace {

bool GraphicsOn = true;
uint32_t LastHeadlessId = 0;

} // namespace

bool GraphicsAvailable() { return GraphicsOn; }

void SetGraphicsAvailable(bool available) { GraphicsOn = available; }

uint32_t HeadlessObjectId() { return ++LastHeadlessId; }
