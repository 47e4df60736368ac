// TLiazCar: the Liaz, a heavy diesel truck (car type 3).
#pragma once

#include "cars/Car.h"

class TLiazCar : public TModelCar {
  public:
    TLiazCar(TEngine& engine, const TCellWords& cells, int playerNumber);
};
