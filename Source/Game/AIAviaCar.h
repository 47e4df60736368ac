// TAIAviaCar: the Avia lorry as a computer-driven car, always yellow.
#pragma once

#include "AICar.h"

class TAIAviaCar : public TAICar {
  public:
    TAIAviaCar(TEngine& engine, TTrafficEngine& traffic);
};
