#include "cars/FordTransitCar.h"

TFordTransitCar::TFordTransitCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, CarModelTable[6]) {}
