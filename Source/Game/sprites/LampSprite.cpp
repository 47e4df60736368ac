#include "sprites/LampSprite.h"
#include "Resources.h"
#include "uRandom.h"

TLampSprite::TLampSprite(const dVector3& position)
    : TSprite3D(Resources().GetTexture("lamp"), position, 3.3f, 96), Flicker(EffectRandom(100) == 0) {
    Billboard = true;
    StreetLamp = true;
    Round = true; // the lamp glow is a disc; these are metres wide, the largest sprites at night
    SetColor(255, 254, 168);
}

void TLampSprite::Relight() {
    Count = 0;
    Flicker = EffectRandom(100) == 0;
}

void TLampSprite::Update() {
    ++Count;
}

void TLampSprite::Animate() {
    if (Flicker && Count % 6 == 0)
        Alpha = uint8_t(EffectRandom(64));
}
