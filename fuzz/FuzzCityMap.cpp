// Fuzz target: the city map reader and the route reader must reject any damaged file with a
// message, never crash or hang; placements never reach outside the grids.
#include "traffic/Traffic.h"
#include "uCityMap.h"

#include <cstring>
#include <memory>

namespace {

class TFuzzHost : public ICityMapHost {
  public:
    uint32_t LoadTileTexture(const std::string&) override { return 7; }
    TMeshRecord LoadBuildingMesh(const std::string& path) override {
        TMeshRecord record;
        record.List = 3;
        record.Extent = VectorMake(float(path.size() % 9), float(path.size() % 5), 4);
        return record;
    }
    void DrawProgress(int32_t, int32_t) override {}
    void AddLamp(float, float, float) override {}
    void SetCellWords(const uint8_t* block, size_t size) override {
        TCellWords words = TCellWords::FromBytes(block, size);
        for (const auto& [x, y] : TrackStarts)
            try {
                BuildTrack(x, y, words);
            } catch (const std::exception&) {
            }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TCamera camera;
    static auto tiles = std::make_unique<TTextureGrid>(camera);
    static auto meshes = std::make_unique<TMeshGrid>(camera, nullptr);
    TFuzzHost host;
    Resources().Clear();
    try {
        ReadCityMapBytes(data, size, "fuzz.tmf", host, *tiles, *meshes, TCellWordsNeed::Required);
    } catch (const std::exception&) {
    }
    try {
        ParseRoute(data, size, "fuzz.cur");
    } catch (const std::exception&) {
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    auto put = [](std::vector<uint8_t>& b, uint32_t v) {
        for (int k = 0; k < 4; ++k)
            b.push_back(uint8_t(v >> (8 * k)));
    };
    auto putFloat = [&](std::vector<uint8_t>& b, float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        put(b, v);
    };
    std::vector<uint8_t> seed;
    for (uint32_t tag : {1u, 2u}) {
        put(seed, tag);
        put(seed, 14);
        seed.push_back(5);
        std::string name = "a.bmp";
        name.resize(254, '\0');
        seed.insert(seed.end(), name.begin(), name.end());
    }
    for (uint32_t tag : {101u, 102u, 103u}) {
        put(seed, tag);
        put(seed, 14);
        for (float f : {500.0f, 3.0f, 8.0f, 8.0f})
            putFloat(seed, f);
        put(seed, 1);
        if (tag == 102)
            put(seed, 1);
    }
    put(seed, 501);
    put(seed, 1);
    put(seed, 2);
    put(seed, 7);
    // The definitions, then one placement of each kind that is damaged or odd: tiles of no and of
    // negative size, a wall and a post thinner than half a cell; the map ends before its cell words.
    std::vector<uint8_t> odd(seed.begin(), seed.begin() + 2 * 263);
    auto place = [&](uint32_t tag, float x, float y, float w, float h) {
        put(odd, tag);
        put(odd, 14);
        for (float f : {x, y, w, h})
            putFloat(odd, f);
        put(odd, 0);
    };
    place(101, 20, 20, 0.4f, 0.4f);
    place(101, 30, 30, -3, -3);
    place(103, 40.9f, 40, 0.2f, 6);
    place(103, 50, 50, 0.3f, 0.3f);
    // A map that ends inside its cell words.
    std::vector<uint8_t> cut = odd;
    put(cut, 400);
    cut.resize(cut.size() + 4096);
    return {seed, odd, cut};
}
