#include "Skoda120Car.h"
#include "Sound.h"

namespace {

const TCarModel ModelRow = {"skoda120", {"s120", "s120_green"}, "s120_wheel", "s120_engine", "s120_horn"};

} // namespace

TSkoda120Car::TSkoda120Car(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, ModelRow) {}

TSkoda120Car::~TSkoda120Car() { Sound().StopSound(SoundChannel); }
