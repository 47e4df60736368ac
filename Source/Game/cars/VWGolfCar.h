// TVWGolfCar: the VW Golf, a nimble hatchback (car type 1).
#pragma once

#include "cars/Car.h"

class TVWGolfCar : public TModelCar {
  public:
    TVWGolfCar(TEngine& engine, const TCellWords& cells, int playerNumber);
};
