// TAIAviaCar: the Avia lorry as a computer-driven car, always yellow.
#pragma once

#include "traffic/AICar.h"

class TAIAviaCar : public TAICar {
  public:
    TAIAviaCar(TEngine& engine, TTrafficEngine& traffic);
};
