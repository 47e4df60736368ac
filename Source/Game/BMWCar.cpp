#include "BMWCar.h"

namespace {

const TCarModel ModelRow = {"bmw", {"bmw", "bmw_khaki"}, "bmw_wheel", "bmw_engine", "bmw_horn"};

} // namespace

TBMWCar::TBMWCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, ModelRow) {}
