// TLightsSprite: the light cone of a car's headlights on the road, lying flat; the car places and
// turns it every frame.
#pragma once

#include "uSprite3d.h"

class TLightsSprite : public TSprite3D {
  public:
    TLightsSprite();
};
