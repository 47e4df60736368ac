// TBMWCar: the BMW, a powerful saloon (car type 2).
#pragma once

#include "cars/Car.h"

class TBMWCar : public TModelCar {
  public:
    TBMWCar(TEngine& engine, const TCellWords& cells, int playerNumber);
};
