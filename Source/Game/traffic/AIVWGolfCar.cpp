#include "traffic/AIVWGolfCar.h"

TAIVWGolfCar::TAIVWGolfCar(TEngine& engine, TTrafficEngine& traffic)
    : TAICar(engine, traffic, ReadCarConfig(".\\data\\aicars\\vwgolf\\config.dat"),
             Resources().GetMesh("golf_wheel"),
             Resources().GetMesh(PickColour({"golf_black", "golf_dark", "golf_red"}))) {}
