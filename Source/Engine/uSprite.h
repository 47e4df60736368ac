// TSprite: a textured, tinted, possibly rotated rectangle in layout pixels (640 x 480, origin
// bottom-left) that the engine's 2D pass draws while it is in the sprite list. Subclasses animate
// themselves frame by frame in Update and Animate.
#pragma once

#include <cstdint>

class TSprite {
  public:
    TSprite(uint32_t texture, int32_t x, int32_t y, uint32_t width, uint32_t height, uint8_t alpha)
        : Texture(texture), Alpha(alpha), X(x), Y(y), Width(width), Height(height) {}
    virtual ~TSprite() = default;

    // Called once per frame in this order by the 2D pass, before drawing.
    virtual void Update() {}
    virtual void Animate() {}

    void SetColor(uint8_t red, uint8_t green, uint8_t blue) {
        Red = red;
        Green = green;
        Blue = blue;
    }
    void SetPosition(int32_t x, int32_t y) {
        X = x;
        Y = y;
    }
    void SetCentre(int32_t x, int32_t y) {
        X = x - static_cast<int32_t>(Width / 2);
        Y = y - static_cast<int32_t>(Height / 2);
    }

    uint32_t Texture;
    uint8_t Alpha;
    float Angle = 0.0f; // degrees about the sprite's centre
    int32_t X, Y;       // bottom-left corner
    uint32_t Width, Height;
    bool Alive = true;
    uint8_t Red = 255, Green = 255, Blue = 255;
};
