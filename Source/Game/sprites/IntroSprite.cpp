#include "sprites/IntroSprite.h"
#include "Resources.h"

#include <algorithm>

namespace {

constexpr int32_t SlideStart = 300; // frames before the picture starts to move
constexpr int32_t MenuFrame = 1000; // frame at which the main menu opens
constexpr int32_t RestY = -64;      // bottom edge once the picture has slid up

} // namespace

TIntroSprite::TIntroSprite(TSpriteHost& host)
    : TSprite(Resources().GetTexture("intro"), 0, -544, 1024, 1024, 1), Host(host) {}

void TIntroSprite::Update() {
    ++Count;
}

void TIntroSprite::Animate() {
    // 1, 3, ..., 255: fully opaque after 127 frames (an even start stops at 255 too).
    if (Alpha < 255)
        Alpha = uint8_t(std::min(255, Alpha + 2));
    if (Count > SlideStart) {
        if (Y < RestY)
            ++Y;
        if (Y >= RestY + 1)
            Y = RestY;
    }
    // Any open screen stays: the menus, and the briefing of a race chosen before the intro ended.
    if (Count == MenuFrame && Host.MenuScreen() == 0)
        Host.OpenMainMenu();
}

void TIntroSprite::Settle() {
    Alpha = 255;
    Y = RestY;
}
