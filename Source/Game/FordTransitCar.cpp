#include "FordTransitCar.h"

namespace {

const TCarModel ModelRow = {"transit", {"transit", "transit_khaki"}, "transit_wheel", "transit_engine", "transit_horn"};

} // namespace

TFordTransitCar::TFordTransitCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, ModelRow) {}
