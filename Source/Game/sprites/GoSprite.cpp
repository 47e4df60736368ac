#include "sprites/GoSprite.h"
#include "Resources.h"

namespace {

constexpr int32_t PhaseFrames = 127; // alpha 255 - 2 * count reaches 1 on the last frame

} // namespace

TGoSprite::TGoSprite(TSpriteHost& host)
    : TSprite(Resources().GetTexture("timer_one"), 256, 176, 128, 128, 255), Host(host) {
    Alive = false;
}

void TGoSprite::Start() {
    Texture = Resources().GetTexture("timer_one");
    Count = 0;
    SecondCount = 0;
    Phase = 1;
    SetColor(255, 255, 255);
    Host.PlaySample("timer_tick");
}

void TGoSprite::Update() {
    ++Count;
    ++SecondCount;
    Alpha = uint8_t(255 - 2 * Count);
}

void TGoSprite::Animate() {
    if (Count != PhaseFrames)
        return;
    Count = 0;
    int32_t ended = Phase++;
    switch (ended) {
    case 1:
        Texture = Resources().GetTexture("timer_two");
        Host.PlaySample("timer_tick");
        break;
    case 2:
        Texture = Resources().GetTexture("timer_three");
        Host.PlaySample("timer_tick");
        break;
    case 3:
        Texture = Resources().GetTexture("timer_go");
        SetColor(229, 138, 0);
        Host.PlaySample("timer_go");
        break;
    default:
        Alive = false;
        break;
    }
}
