// The far edge of the view fading into the sky instead of ending in a cut: a few translucent walls
// across the view at growing depths, each tinting what lies behind it towards the sky's colour, the
// last one at the far plane painting the sky where nothing was drawn. Drawing only; owns nothing.
#pragma once

#include "uCamera.h"

// Between `start` and the camera's far plane (metres in front of the eye) what is drawn goes over
// to `sky` (0..1 each) in even steps; beyond the far plane is all sky. Call after the opaque scene,
// with the camera's matrices loaded; leaves depth writes, blending and the matrices as it found
// them.
void DrawDistanceFade(const TCamera& camera, const float sky[3], float start);

// How many walls the fade is made of: each one a step of 1 / DistanceFadeSteps of the way.
constexpr int DistanceFadeSteps = 8;

// The eye-space height (y) of the ground seen at `depth` metres in front of the eye, straight ahead:
// the wall at that depth need only reach down to there.
float GroundHeightAtDepth(const TCamera& camera, float depth);
