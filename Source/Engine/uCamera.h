// TCamera: turns a ground target, heading, pitch and distance into the projection and model-view
// matrices, and keeps the four side planes of the view frustum for culling every drawing pass.
#pragma once

#include "uVector.h"

#include <cstdint>

// Far clipping distance in metres; the grids read it to limit how far they draw.
// The far clipping distance of a freshly started game, in metres.
constexpr int32_t DefaultViewDistance = 22;

// Every 2D element is laid out for this screen; Project maps into it.
constexpr int LayoutWidth = 640;
constexpr int LayoutHeight = 480;

struct TScreenPoint {
    float X, Y;
};

class TCamera {
  public:
    void SetDistance(float d) { Distance = d; }
    void SetPitch(float p) { Pitch = p; }
    void SetTarget(float x, float y) {
        TargetX = x;
        TargetY = y;
    }
    void SetHeading(float h);

    // Computes both matrices and the frustum planes, and loads the matrices into OpenGL.
    void Apply();
    // Computes both matrices and the planes without touching OpenGL.
    void UpdateMatrices();
    // A world point in 640 x 480 layout pixels, origin bottom-left (matrices recomputed first).
    TScreenPoint Project(float x, float y, float z);
    // False as soon as the sphere lies wholly outside one side plane.
    bool SphereVisible(const dVector3& centre, float radius) const;
    // True when the point lies strictly inside all four side planes.
    bool PointVisible(const dVector3& point) const;
    // Metres from the eye to the point along the view direction, as of the last UpdateMatrices:
    // the order in which the opaque scene is drawn, nearest first.
    float EyeDepth(const dVector3& point) const {
        return -(ModelView[2] * point.x + ModelView[6] * point.y + ModelView[10] * point.z + ModelView[14]);
    }

    int32_t ViewDistance = DefaultViewDistance; // metres the view reaches: the far plane, the grids' square
    float Distance = 10.0f;        // metres from the eye to the target
    float Pitch = 1.5324842f;      // radians above the horizon, seen from the target (87.8 degrees)
    float TargetX = 256.0f;        // target point on the ground
    float TargetY = 256.0f;
    dMatrix3 Rotation;             // rotation about Z by Heading
    dVector3 LookAt;               // target of the last Apply
    float Planes[4][4] = {};       // right, left, bottom, top: (a, b, c, d) with |(a, b, c)| = 1
    float Heading = 0.0f;          // radians about Z
    float Projection[16] = {};     // column-major, as OpenGL keeps them
    float ModelView[16] = {};
};
