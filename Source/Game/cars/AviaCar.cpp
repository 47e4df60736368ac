#include "cars/AviaCar.h"

TAviaCar::TAviaCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, CarModelTable[5]) {}
