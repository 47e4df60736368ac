// TMustangCar: the Mustang 69, a long fastback coupe with a V8 (car type 0).
#pragma once

#include "cars/Car.h"

class TMustangCar : public TModelCar {
  public:
    TMustangCar(TEngine& engine, const TCellWords& cells, int playerNumber);
};
