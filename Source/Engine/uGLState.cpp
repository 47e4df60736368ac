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

void BillboardQuad(const dVector3& p, const dVector3& right, const dVector3& up) {
    dVector3 r = VectorScale(right, 0.5f), u = VectorScale(up, 0.5f);
    dVector3 a = VectorAdd(VectorSub(p, r), u), b = VectorSub(VectorSub(p, r), u);
    dVector3 c = VectorSub(VectorAdd(p, r), u), d = VectorAdd(VectorAdd(p, r), u);
    glTexCoord2f(0, 0);
    glVertex3f(a.x, a.y, a.z);
    glTexCoord2f(1, 0);
    glVertex3f(b.x, b.y, b.z);
    glTexCoord2f(1, 1);
    glVertex3f(c.x, c.y, c.z);
    glTexCoord2f(0, 1);
    glVertex3f(d.x, d.y, d.z);
}

void FlatQuad(const dVector3& p, float hw, float hh, float angle) {
    float radians = angle * float(M_PI) / 180.0f;
    float c = std::cos(radians), s = std::sin(radians);
    auto corner = [&](float x, float y, float u, float v) {
        glTexCoord2f(u, v);
        glVertex3f(p.x + x * c - y * s, p.y + x * s + y * c, p.z);
    };
    corner(-hw, -hh, 0, 0);
    corner(-hw, hh, 1, 0);
    corner(hw, hh, 1, 1);
    corner(hw, -hh, 0, 1);
}
