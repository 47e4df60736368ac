// The player's car of a car type (0 Mustang, 1 VW Golf, 2 BMW, 3 Liaz, 4 Chevy, 5 Avia,
// 6 Ford Transit, 7 Skoda 120), for player 1 or 2.
#pragma once

#include "cars/Car.h"

#include <memory>

// A type outside 0..7 is a range error.
std::unique_ptr<TCar> CreatePlayerCar(int carType, TEngine& engine, const TCellWords& cells, int playerNumber);
// The folder of a car type's files under data/cars.
const char* CarDirectory(int carType);
