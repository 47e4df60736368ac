#include "traffic/AIFordTransitCar.h"

TAIFordTransitCar::TAIFordTransitCar(TEngine& engine, TTrafficEngine& traffic)
    : TAICar(engine, traffic, ReadCarConfig(".\\data\\aicars\\transit\\config.dat"),
             Resources().GetMesh("transit_wheel"),
             Resources().GetMesh(PickColour({"transit_grey", "transit_khaki"}))) {}
