// TAIBMWCar: the BMW saloon as a computer-driven car, in one of its 2 colours.
#pragma once

#include "traffic/AICar.h"

class TAIBMWCar : public TAICar {
  public:
    TAIBMWCar(TEngine& engine, TTrafficEngine& traffic);
};
