#include "ChevyCar.h"

namespace {

const TCarModel ModelRow = {"chevy", {"chevy", "chevy_yellow"}, "chevy_wheel", "chevy_engine", "chevy_horn"};

} // namespace

TChevyCar::TChevyCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, ModelRow) {}
