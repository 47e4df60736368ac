#include "traffic/AIBMWCar.h"

TAIBMWCar::TAIBMWCar(TEngine& engine, TTrafficEngine& traffic)
    : TAICar(engine, traffic, ReadCarConfig(".\\data\\aicars\\bmw\\config.dat"),
             Resources().GetMesh("bmw_wheel"), Resources().GetMesh(PickColour({"bmw_blue", "bmw_khaki"}))) {}
