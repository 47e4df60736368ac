// Small drawing helpers shared by the engine's passes, the fonts and the particles: the orthographic
// layout projection of the 2D passes and the camera-facing quad of billboards.
#pragma once

#include "uQuadBatch.h"
#include "uVector.h"

#include <cstdint>

// Pushes both matrices and sets an orthographic projection of width x height layout pixels (origin
// bottom-left) with an identity model-view; the model-view matrix stays current.
void PushOrtho(float width, float height, float zNear, float zFar);
// Restores both matrices pushed by PushOrtho.
void PopOrtho();
// One billboard quad (into the batch) centred on p, spanned by the camera's right and up
// axes scaled to its size: texture s runs down the screen, t to the right.
void BillboardQuad(TQuadBatch& batch, const dVector3& p, const dVector3& right, const dVector3& up);
// One flat quad (into the batch) lying at p, half-size hw x hh, turned by angle degrees
// about Z: texture s runs along its local Y, t along its local X.
void FlatQuad(TQuadBatch& batch, const dVector3& p, float hw, float hh, float angle);
// The same two sprites cut to the octagon around the circle inscribed in their square, as three
// quads (into the batch) with the same texture mapping: for a picture that is clear
// outside that circle they draw the same pixels, a sixth fewer of them.
void BillboardOctagon(TQuadBatch& batch, const dVector3& p, const dVector3& right, const dVector3& up);
void FlatOctagon(TQuadBatch& batch, const dVector3& p, float hw, float hh, float angle);

// Whether this process draws at all. A headless run has no GL context: textures and meshes are then
// read and checked as ever, but only given ids, and nothing is drawn.
bool GraphicsAvailable();
void SetGraphicsAvailable(bool available);
// The id a loader hands out in place of a GL object when there is no context: distinct, never 0.
uint32_t HeadlessObjectId();
