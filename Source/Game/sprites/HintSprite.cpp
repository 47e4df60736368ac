#include "sprites/HintSprite.h"
#include "Resources.h"

namespace {

constexpr int32_t SlideFrames = 48; // frames 1 to 47 move one pixel each
constexpr int32_t OutStart = 400;   // the slide-out covers frames 401 to 447
constexpr int32_t Gone = 448;       // the sprite leaves after this frame

} // namespace

THintSprite::THintSprite(TSpriteHost& host)
    : TSprite(Resources().GetTexture("hint"), 0, 0, 32, 32, 255), Host(host) {
    Alive = false;
}

void THintSprite::Update() {
    ++Count;
}

void THintSprite::Animate() {
    if (Count > 0 && Count < SlideFrames)
        ++Y;
    if (Count > OutStart && Count < OutStart + SlideFrames)
        --Y;
    if (Count > Gone)
        Alive = false;
}

void THintSprite::Show(const std::string& english, const std::string& czech) {
    Text = {english, czech};
    Count = 0;
    X = 20;
    Y = -int32_t(Height);
}
