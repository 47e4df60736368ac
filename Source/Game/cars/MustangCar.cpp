#include "cars/MustangCar.h"

TMustangCar::TMustangCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, CarModelTable[0]) {}
