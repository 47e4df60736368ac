#include "Resources.h"
#include "uErrors.h"

namespace {

// Names longer than 255 characters are cut to 255 and compared exactly (case matters).
std::string Key(const std::string& name) { return name.size() > 255 ? name.substr(0, 255) : name; }

template <class Table> int IndexIn(const Table& table, const std::string& name) {
    std::string key = Key(name);
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].first == key)
            return static_cast<int>(i);
    return -1;
}

template <class Table, class H>
void AddTo(Table& table, const std::string& name, const H& handle, const char* duplicateMessage) {
    if (IndexIn(table, name) >= 0)
        throw Exception(FormatMessage(duplicateMessage, name));
    table.emplace_back(Key(name), handle);
}

template <class Table> const auto& GetFrom(const Table& table, const std::string& name, const char* missingMessage) {
    int i = IndexIn(table, name);
    if (i < 0)
        throw Exception(FormatMessage(missingMessage, name));
    return table[static_cast<size_t>(i)].second;
}

} // namespace

void TResources::AddTexture(const std::string& name, uint32_t id) {
    AddTo(Textures, name, id, "Texture %s already added.");
}

uint32_t TResources::GetTexture(const std::string& name) const {
    return GetFrom(Textures, name, "Texture %s not in resources.");
}

uint32_t TResources::RemoveTexture(const std::string& name) {
    int i = IndexIn(Textures, name);
    if (i < 0)
        throw Exception(FormatMessage("Texture %s not in resources.", name));
    uint32_t id = Textures[static_cast<size_t>(i)].second;
    Textures.erase(Textures.begin() + i);
    return id;
}

int TResources::IndexOfTexture(const std::string& name) const { return IndexIn(Textures, name); }

void TResources::AddMesh(const std::string& name, const TMeshRecord& record) {
    AddTo(Meshes, name, record, "Mesh %s already added.");
}

TMeshRecord TResources::GetMesh(const std::string& name) const {
    return GetFrom(Meshes, name, "Mesh %s not in resources.");
}

int TResources::IndexOfMesh(const std::string& name) const { return IndexIn(Meshes, name); }

void TResources::AddSample(const std::string& name, uint32_t handle) {
    AddTo(Samples, name, handle, "Sample %s already added.");
}

uint32_t TResources::GetSample(const std::string& name) const {
    return GetFrom(Samples, name, "Sample %s not in resources.");
}

int TResources::IndexOfSample(const std::string& name) const { return IndexIn(Samples, name); }

void TResources::AddModule(const std::string& name, uint32_t handle) {
    AddTo(Modules, name, handle, "Module %s already added.");
}

uint32_t TResources::GetModule(const std::string& name) const {
    return GetFrom(Modules, name, "Module %s not in resources.");
}

int TResources::IndexOfModule(const std::string& name) const { return IndexIn(Modules, name); }

void TResources::Clear() {
    Textures.clear();
    Meshes.clear();
    Samples.clear();
    Modules.clear();
}

TResources& Resources() {
    static TResources resources;
    return resources;
}
