// TAIFabiaCar: the Skoda Fabia hatchback, seen only in traffic as a computer-driven car, in one of its 5
// colours.
#pragma once

#include "traffic/AICar.h"

class TAIFabiaCar : public TAICar {
  public:
    TAIFabiaCar(TEngine& engine, TTrafficEngine& traffic);
};
