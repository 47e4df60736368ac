// TFordTransitCar: the Ford Transit, a van (car type 6).
#pragma once

#include "cars/Car.h"

class TFordTransitCar : public TModelCar {
  public:
    TFordTransitCar(TEngine& engine, const TCellWords& cells, int playerNumber);
};
