#include "traffic/AIAviaCar.h"

TAIAviaCar::TAIAviaCar(TEngine& engine, TTrafficEngine& traffic)
    : TAICar(engine, traffic, ReadCarConfig(".\\data\\aicars\\avia\\config.dat"),
             Resources().GetMesh("avia_wheel"), Resources().GetMesh(PickColour({"avia_yellow"}))) {}
