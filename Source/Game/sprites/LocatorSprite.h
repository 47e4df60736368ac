// TLocatorSprite: the arrow at the screen edge that points towards a target out of view. The target
// engine places and turns it every frame.
#pragma once

#include "uSprite.h"

class TLocatorSprite : public TSprite {
  public:
    TLocatorSprite();
};
