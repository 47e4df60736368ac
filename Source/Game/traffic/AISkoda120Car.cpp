#include "traffic/AISkoda120Car.h"

TAISkoda120Car::TAISkoda120Car(TEngine& engine, TTrafficEngine& traffic)
    : TAICar(engine, traffic, ReadCarConfig(".\\data\\aicars\\skoda120\\config.dat"),
             Resources().GetMesh("s120_wheel"),
             Resources().GetMesh(PickColour({"s120_darkblue", "s120_green", "s120_orange", "s120_yellow"}))) {
}
