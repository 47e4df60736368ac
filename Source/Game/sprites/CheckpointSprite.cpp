#include "sprites/CheckpointSprite.h"
#include "Resources.h"
#include "uErrors.h"

#include <cmath>
#include <string>

namespace {

uint8_t CheckedKind(uint8_t kind) {
    if (kind > 3)
        throw ERangeError("Checkpoint kind " + std::to_string(kind) + " out of range 0..3");
    return kind;
}

} // namespace

TCheckpointSprite::TCheckpointSprite(float x, float y, uint8_t kind)
    : TSprite3D(Resources().GetTexture("target"), VectorMake(x, y, 0), 1.0f, 112), Kind(CheckedKind(kind)) {
    static const uint8_t tints[4][3] = {{231, 0, 75}, {255, 0, 100}, {0, 220, 255}, {255, 190, 0}};
    SetColor(tints[kind][0], tints[kind][1], tints[kind][2]);
}

void TCheckpointSprite::Update() {
    ++Count;
    if (!Reached) {
        // 3.5 to 4.5 metres and back every 180 frames.
        float size = std::sin(float(2 * Count) * 3.14159265f / 180.0f) * 0.5f + 4.0f;
        Width = Height = size;
    }
}

void TCheckpointSprite::Animate() {
    if (!Reached)
        return;
    Alpha = Alpha > 2 ? uint8_t(Alpha - 2) : 0; // 112 / 2 = 56 frames
    Alive = Alpha != 0;
}
