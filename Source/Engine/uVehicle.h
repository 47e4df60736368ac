// TVehicle: a car the engine updates and draws each frame while it is in the vehicle list.
#pragma once

class TCamera;

class TVehicle {
  public:
    virtual ~TVehicle() = default;

    // Per-frame operations of the vehicle pass, in this order, before the physics step.
    virtual void Update(float dt) {}
    virtual void PostUpdate() {}
    virtual void OnCrash() {}
    // Whether the camera can see the vehicle, and drawing it.
    virtual bool IsVisible(const TCamera& camera) const { return true; }
    virtual void Draw() {}

    bool Active = true; // kept in the engine's vehicle list while set
};
