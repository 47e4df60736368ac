#include "MustangCar.h"

namespace {

const TCarModel ModelRow = {"mustang", {"mustang", "mustang_black"}, "mustang_wheel", "mustang_engine", "mustang_horn"};

} // namespace

TMustangCar::TMustangCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, ModelRow) {}
