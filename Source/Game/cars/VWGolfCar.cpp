#include "cars/VWGolfCar.h"

TVWGolfCar::TVWGolfCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, CarModelTable[1]) {}
