#include "LiazCar.h"

namespace {

const TCarModel ModelRow = {"liaz", {"liaz", "liaz_green"}, "liaz_wheel", "liaz_engine", "liaz_horn"};

} // namespace

TLiazCar::TLiazCar(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, ModelRow) {}
