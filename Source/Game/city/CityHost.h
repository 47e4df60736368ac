// TCityHost: what the city map reader needs from the game while it reads — tile textures and
// building meshes loaded through the engine, the lamp posts' glows added to the 3D sprite list, the
// traffic cell words kept, and the progress frames passed on. Owns the lamps and the cell words.
#pragma once

#include "sprites/LampSprite.h"
#include "city/CellWords.h"
#include "uCityMap.h"
#include "uEngine.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCityHost : public ICityMapHost {
  public:
    explicit TCityHost(TEngine& engine) : Engine(engine) {}
    ~TCityHost() override;
    TCityHost(const TCityHost&) = delete;
    TCityHost& operator=(const TCityHost&) = delete;

    // Reads the city map file into the engine's grids.
    int32_t Read(const std::string& fileName);

    uint32_t LoadTileTexture(const std::string& path) override { return Engine.LoadTexture(path); }
    TMeshRecord LoadBuildingMesh(const std::string& path) override;
    void DrawProgress(int32_t done, int32_t total) override {
        if (Progress)
            Progress(done, total);
    }
    void AddLamp(float x, float y, float z) override;
    void SetCellWords(const uint8_t* block, size_t size) override { Cells = TCellWords::FromBytes(block, size); }

    TEngine& Engine;
    std::function<void(int32_t done, int32_t total)> Progress; // none: no loading bar
    TCellWords Cells;
    std::vector<std::unique_ptr<TLampSprite>> Lamps;
};
