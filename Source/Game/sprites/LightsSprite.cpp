#include "sprites/LightsSprite.h"
#include "Resources.h"

TLightsSprite::TLightsSprite() : TSprite3D(Resources().GetTexture("cone"), dVector3{}, 3.2f, 92) {
    SetColor(255, 254, 198);
}
