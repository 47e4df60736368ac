#include "cars/BMWCar.h"

TBMWCar::TBMWCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, CarModelTable[2]) {}
