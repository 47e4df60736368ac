// TResources: the program-wide name service of loaded assets. Level loading registers every texture,
// mesh, sample and module once under a short key ("lamp", "s120_wheel"); everything else asks for the
// handle by key. Owns only the name tables, never the assets.
#pragma once

#include "uVector.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What loading a 3DS model yields: its display list and its extent (metres along x, y, z, scaled).
struct TMeshRecord {
    uint32_t List = 0;
    // A lighter model drawn instead of List far from the eye, or 0 for none. Only the drawing reads
    // it: the extent is List's.
    uint32_t FarList = 0;
    dVector3 Extent;
};

class TResources {
  public:
    void AddTexture(const std::string& name, uint32_t id);
    uint32_t GetTexture(const std::string& name) const;
    uint32_t RemoveTexture(const std::string& name);
    int IndexOfTexture(const std::string& name) const;

    void AddMesh(const std::string& name, const TMeshRecord& record);
    TMeshRecord GetMesh(const std::string& name) const;
    int IndexOfMesh(const std::string& name) const;

    void AddSample(const std::string& name, uint32_t handle);
    uint32_t GetSample(const std::string& name) const;
    int IndexOfSample(const std::string& name) const;

    void AddModule(const std::string& name, uint32_t handle);
    uint32_t GetModule(const std::string& name) const;
    int IndexOfModule(const std::string& name) const;

    // Empties every table (for tests; the game keeps its entries until exit).
    void Clear();

  private:
    template <class H> using TTable = std::vector<std::pair<std::string, H>>;

    TTable<uint32_t> Textures;
    TTable<TMeshRecord> Meshes;
    TTable<uint32_t> Samples;
    TTable<uint32_t> Modules;
};

// The one registry of the program, alive from start-up to exit.
TResources& Resources();
