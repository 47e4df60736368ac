#include "cars/PlayerCars.h"
#include "cars/AviaCar.h"
#include "cars/BMWCar.h"
#include "cars/ChevyCar.h"
#include "cars/FordTransitCar.h"
#include "cars/LiazCar.h"
#include "cars/MustangCar.h"
#include "cars/Skoda120Car.h"
#include "cars/VWGolfCar.h"

#include <string>

namespace {

void CheckType(int carType) {
    if (carType < 0 || carType >= CarTypeCount)
        throw ERangeError("Car type " + std::to_string(carType) + " out of range");
}

} // namespace

std::unique_ptr<TCar> CreatePlayerCar(int carType, TEngine& engine, const TCellWords& cells, int playerNumber) {
    CheckType(carType);
    switch (carType) {
    case 0:
        return std::make_unique<TMustangCar>(engine, cells, playerNumber);
    case 1:
        return std::make_unique<TVWGolfCar>(engine, cells, playerNumber);
    case 2:
        return std::make_unique<TBMWCar>(engine, cells, playerNumber);
    case 3:
        return std::make_unique<TLiazCar>(engine, cells, playerNumber);
    case 4:
        return std::make_unique<TChevyCar>(engine, cells, playerNumber);
    case 5:
        return std::make_unique<TAviaCar>(engine, cells, playerNumber);
    case 6:
        return std::make_unique<TFordTransitCar>(engine, cells, playerNumber);
    default:
        return std::make_unique<TSkoda120Car>(engine, cells, playerNumber);
    }
}

const char* CarDirectory(int carType) {
    CheckType(carType);
    return CarModelTable[carType].Directory;
}
