// TSprite3D: a textured, tinted, translucent square in the world, lying flat on a horizontal plane or
// facing the camera (billboard). The engine's 3D sprite pass draws it after the opaque geometry.
#pragma once

#include "uVector.h"

#include <cstdint>

class TSprite3D {
  public:
    TSprite3D(uint32_t texture, const dVector3& position, float size, uint8_t alpha)
        : Texture(texture), Alpha(alpha), Position(position), Width(size), Height(size) {}
    virtual ~TSprite3D() = default;

    // Called once per frame in this order by the 3D sprite pass, before drawing.
    virtual void Update() {}
    virtual void Animate() {}

    void SetColor(uint8_t red, uint8_t green, uint8_t blue) {
        Red = red;
        Green = green;
        Blue = blue;
    }
    void SetPosition(float x, float y, float z) { Position = VectorMake(x, y, z); }

    uint32_t Texture;
    uint8_t Alpha;
    dVector3 Position;    // centre, metres
    float Width, Height;  // metres; the width is also the culling radius
    float Angle = 0.0f;   // degrees about Z, flat sprites only
    bool Alive = true;
    bool Visible = true;
    uint8_t Red = 255, Green = 255, Blue = 255;
    bool Billboard = false;
    bool StreetLamp = false; // a street-lamp glow: the engine's SetLamps sets its alpha and size
    // The picture is clear (alpha 0, filtering included) outside the circle inscribed in its square:
    // the sprite is drawn as the octagon around that circle, a sixth fewer pixels to blend.
    bool Round = false;
};
