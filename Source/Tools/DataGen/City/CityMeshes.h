// The building meshes of the town and their pictures, made from the mesh table in CityPlan.h.
#pragma once

#include "CityPlan.h"
#include "u3ds.h"
#include "uBMP.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace city {

struct TCityMesh {
    T3dsModel Model;
    std::vector<std::pair<std::string, TBMPImage>> Textures; // file names beside the mesh
};

// The model of BuildingMeshes()[index], centred on nothing in particular (the loader centres it).
TCityMesh BuildCityMesh(size_t index);

} // namespace city
