// TMesh: a loaded model placed in the world and kept in the engine's mesh list; TTargetMesh (the
// spinning target gift) and TSymbolMesh (the spinning station symbol) animate themselves per frame.
#pragma once

#include "Resources.h"
#include "uVector.h"

#include <cstdint>

// Metres in front of the eye beyond which a mesh with a far model is drawn with it. A pedestrian
// there stands under 120 pixels tall in the 640 x 480 picture, its limbs a few pixels wide.
constexpr float FarMeshDepth = 9.0f;

class TMesh {
  public:
    TMesh(const TMeshRecord& record, float x, float y, float z);
    virtual ~TMesh() = default;

    // The two per-frame hooks of the engine's mesh walk, called in this order.
    virtual void Update() {}
    virtual void Animate() {}

    // Replaces list and extent; the bounding radius stays as it was.
    void SetMesh(const TMeshRecord& record);
    void SetPosition(float x, float y, float z);

    uint32_t List;
    uint32_t FarList; // drawn instead of List far away, 0 for none
    dVector3 Extent;
    bool Alive = true;
    bool Visible = true;
    dVector3 Position;
    float Heading = 0.0f; // degrees about Z
    float Radius;         // bounding sphere, metres
    // The pose at the start of the last tick: a drawn frame shows the mesh between the two.
    dVector3 PrevPosition;
    float PrevHeading = 0.0f;
};

// The target of a race: the registered mesh "arrow", turning 0.1 degree per frame.
class TTargetMesh : public TMesh {
  public:
    TTargetMesh(float x, float y, float z);
    void Update() override { Heading += 0.1f; }
    // Reached targets leave the engine at its next mesh walk.
    void SetReached() {
        Reached = true;
        Alive = false;
    }

    float BaseHeight;
    bool Reached = false;
};

// A station symbol cube, turning one degree per frame.
class TSymbolMesh : public TMesh {
  public:
    TSymbolMesh(const TMeshRecord& record, float x, float y, float z);
    void Update() override { Heading += 1.0f; }

    float BaseHeight;
};
