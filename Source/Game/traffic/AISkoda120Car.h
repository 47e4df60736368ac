// TAISkoda120Car: the Skoda 120 saloon as a computer-driven car, in one of its 4 colours.
#pragma once

#include "traffic/AICar.h"

class TAISkoda120Car : public TAICar {
  public:
    TAISkoda120Car(TEngine& engine, TTrafficEngine& traffic);
};
