#include "cars/Skoda120Car.h"
#include "Sound.h"

TSkoda120Car::TSkoda120Car(TEngine& engine, const TCellWords& cells, int playerNumber)
    : TModelCar(engine, cells, playerNumber, CarModelTable[7]) {}

TSkoda120Car::~TSkoda120Car() { Sound().StopSound(SoundChannel); }
