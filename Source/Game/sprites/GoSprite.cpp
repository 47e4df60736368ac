#include "sprites/GoSprite.h"
#include "Resources.h"

namespace {

constexpr int32_t PhaseTicks = 127; // alpha 255 - 2 * count reaches 1 on the last tick

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
    Alpha = 255;
    SetColor(255, 255, 255);
    Host.PlaySample("timer_tick");
}

void TGoSprite::Show(int32_t ticks) {
    int32_t phase = 1 + ticks / PhaseTicks;
    SecondCount = ticks;
    // The last tick of a picture still fades it, to alpha 1, while the next one is already up.
    Count = ticks - PhaseTicks * (phase - 1);
    if (Count == 0 && ticks > 0)
        Count = PhaseTicks;
    Alpha = uint8_t(255 - 2 * Count);
    if (phase == Phase)
        return;
    Phase = phase;
    switch (phase) {
    case 2:
        Texture = Resources().GetTexture("timer_two");
        Host.PlaySample("timer_tick");
        break;
    case 3:
        Texture = Resources().GetTexture("timer_three");
        Host.PlaySample("timer_tick");
        break;
    case 4:
        Texture = Resources().GetTexture("timer_go");
        SetColor(229, 138, 0);
        Host.PlaySample("timer_go");
        break;
    default:
        break;
    }
}
