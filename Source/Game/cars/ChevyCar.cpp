#include "cars/ChevyCar.h"

TChevyCar::TChevyCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, CarModelTable[4]) {}
