// TAviaCar: the Avia, a light truck (car type 5).
#pragma once

#include "cars/Car.h"

class TAviaCar : public TModelCar {
  public:
    TAviaCar(TEngine& engine, const TCellWords& cells, int playerNumber);
};
