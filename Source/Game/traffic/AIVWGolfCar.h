// TAIVWGolfCar: the VW Golf hatchback as a computer-driven car, in one of its 3 colours.
#pragma once

#include "traffic/AICar.h"

class TAIVWGolfCar : public TAICar {
  public:
    TAIVWGolfCar(TEngine& engine, TTrafficEngine& traffic);
};
