#include "uDistanceFade.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

float GroundHeightAtDepth(const TCamera& camera, float depth) {
    // A world point's height is row 2 of the model-view's inverse rotation applied to the eye point
    // less the translation: z = R02 (x - tx) + R12 (y - ty) + R22 (z - tz), with x = 0 and z = -depth.
    const float* m = camera.ModelView;
    if (std::fabs(m[9]) < 1e-6f)
        return -1e6f; // looking straight along the ground: no line to stop at
    return m[13] - (m[8] * (0.0f - m[12]) + m[10] * (-depth - m[14])) / m[9];
}

void DrawDistanceFade(const TCamera& camera, const float sky[3], float start) {
    const float far = float(camera.ViewDistance);
    if (start >= far)
        return;
    // The projection's half-extents at one metre of depth (45 degrees high, 4:3).
    const float halfHeight = std::tan(22.5f * 3.14159265f / 180.0f), halfWidth = halfHeight * 4.0f / 3.0f;
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    for (int k = 1; k <= DistanceFadeSteps; ++k) {
        // After k of n walls a pixel behind them all keeps (n - k) / n of its colour: wall k lets
        // through (n - k) / (n - k + 1) of what it covers. The last wall stands just short of the far
        // plane, so that it covers the empty sky too.
        float depth = start + (far - start) * float(k) / float(DistanceFadeSteps);
        depth = std::min(depth, far * 0.999f);
        float alpha = 1.0f / float(DistanceFadeSteps - k + 1);
        float top = halfHeight * depth, side = halfWidth * depth;
        float bottom = std::max(-top, std::min(top, GroundHeightAtDepth(camera, depth) - 0.05f * depth));
        glColor4f(sky[0], sky[1], sky[2], alpha);
        glVertex3f(-side, bottom, -depth);
        glVertex3f(side, bottom, -depth);
        glVertex3f(side, top, -depth);
        glVertex3f(-side, top, -depth);
    }
    glEnd();
    glPopMatrix();
    glPopAttrib();
}
