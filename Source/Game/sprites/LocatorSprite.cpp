#include "sprites/LocatorSprite.h"
#include "Resources.h"

TLocatorSprite::TLocatorSprite() : TSprite(Resources().GetTexture("sipka_target"), 0, 0, 32, 32, 255) {}
