// TChevyCar: the Chevy, a four-wheel-driven pick-up (car type 4).
#pragma once

#include "cars/Car.h"

class TChevyCar : public TModelCar {
  public:
    TChevyCar(TEngine& engine, const TCellWords& cells, int playerNumber);
};
