#include "AviaCar.h"

namespace {

const TCarModel ModelRow = {"avia", {"avia", "avia_yellow"}, "avia_wheel", "avia_engine", "avia_horn"};

} // namespace

TAviaCar::TAviaCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, ModelRow) {}
