// The car designs of the game: the eight player cars in car-type order (Mustang, VW Golf, BMW,
// Liaz, Chevy, Avia, Ford Transit, Skoda 120) and the traffic-only Fabia, each with its colours.
#pragma once

#include "CarModels.h"

#include <vector>

namespace models {

std::vector<TCarDesign> CarDesigns();

} // namespace models
