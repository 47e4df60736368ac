#include "city/CityHost.h"

TCityHost::~TCityHost() {
    for (auto& lamp : Lamps)
        Engine.RemoveSprite3D(lamp.get());
}

int32_t TCityHost::Read(const std::string& fileName) {
    int32_t records = ReadCityMap(fileName, *this, *Engine.TextureGrid, *Engine.MeshGrid);
    Cells.Source = fileName;
    return records;
}

TMeshRecord TCityHost::LoadBuildingMesh(const std::string& path) {
    TMeshRecord mesh;
    Engine.LoadMesh(path, "", 1.0f, mesh);
    return mesh;
}

void TCityHost::AddLamp(float x, float y, float z) {
    Lamps.push_back(std::make_unique<TLampSprite>(VectorMake(x, y, z)));
    Engine.AddSprite3D(Lamps.back().get());
}
