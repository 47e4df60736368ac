#include "cars/LiazCar.h"

TLiazCar::TLiazCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, CarModelTable[3]) {}
