#include "traffic/AIFabiaCar.h"

TAIFabiaCar::TAIFabiaCar(TEngine& engine, TTrafficEngine& traffic)
    : TAICar(engine, traffic, ReadCarConfig(".\\data\\aicars\\fabia\\config.dat"),
             Resources().GetMesh("fabia_wheel"),
             Resources().GetMesh(
                 PickColour({"fabia_blue", "fabia_brown", "fabia_metal", "fabia_orange", "fabia_white"}))) {}
