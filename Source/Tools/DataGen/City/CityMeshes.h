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

// The stretch of country the game draws round the town, one piece every EdgeLength metres of the
// edge: the meadow (local Y from 0 at the edge to EdgeDepth outwards), a fence along the town side
// and a wood beyond. Every side of the piece reaches its bounding box, so the loader's centring is
// known: the edge sits half the depth from the centre.
constexpr float EdgeLength = 32, EdgeDepth = 32;
TCityMesh BuildEdgeMesh();

} // namespace city
