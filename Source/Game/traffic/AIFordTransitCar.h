// TAIFordTransitCar: the Ford Transit van as a computer-driven car, in one of its 2 colours.
#pragma once

#include "traffic/AICar.h"

class TAIFordTransitCar : public TAICar {
  public:
    TAIFordTransitCar(TEngine& engine, TTrafficEngine& traffic);
};
