#include "VWGolfCar.h"

namespace {

const TCarModel ModelRow = {"vwgolf", {"golf", "golf_dark"}, "golf_wheel", "golf_engine", "golf_horn"};

} // namespace

TVWGolfCar::TVWGolfCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, ModelRow) {}
