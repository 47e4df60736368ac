// Fuzz target: music modules through libopenmpt's loader, and what loads is played for a while,
// jumping between its orders as the game's menu does.
#include "FuzzSeeds.h"
#include "uErrors.h"
#include "uMusic.h"

#include <algorithm>
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    std::unique_ptr<TModule> module;
    try {
        module = std::make_unique<TModule>(bytes, "fuzz.xm");
    } catch (const Exception& e) {
        if (std::string(e.what()).rfind("fuzz.xm: ", 0) != 0)
            __builtin_trap();
        return 0;
    }
    module->SetLooping(size % 2 == 0);
    // A second at a low rate, in the mixer's blocks, with a jump to another order half way.
    std::vector<float> out(2 * 400);
    for (int block = 0; block < 20; ++block) {
        if (block == 10)
            module->SetOrder(int32_t(size % 7));
        size_t frames = module->Render(8000, 400, out.data());
        for (size_t i = 0; i < 2 * frames; ++i)
            if (!std::isfinite(out[i]))
                __builtin_trap();
        if (frames < 400)
            break;
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    AddDataSeeds(seeds, {"music/music.xm"});
    // The game's module is mostly sample data, slow to load a hundred thousand times; its header,
    // patterns and first instruments are what the loader's decisions depend on.
    // Its song is 180 orders long, and the loader plays the whole order list through to find its
    // length: a dozen orders give the same decisions at a tenth of the time.
    for (std::vector<uint8_t>& seed : seeds) {
        seed.resize(std::min<size_t>(seed.size(), 48 * 1024));
        if (seed.size() > 66 && seed[64] + 256 * seed[65] > 12) {
            seed[64] = 12;
            seed[65] = 0;
        }
    }
    // The smallest module libopenmpt takes: an XM header with no patterns and no instruments.
    std::vector<uint8_t> xm;
    auto text = [&](const std::string& s, size_t n) {
        for (size_t i = 0; i < n; ++i)
            xm.push_back(i < s.size() ? uint8_t(s[i]) : 0);
    };
    auto u16 = [&](uint16_t v) {
        xm.push_back(uint8_t(v));
        xm.push_back(uint8_t(v >> 8));
    };
    text("Extended Module: ", 17);
    text("fuzz", 20);
    xm.push_back(0x1a);
    text("kalmirov", 20);
    u16(0x0104);
    u16(276); // header size: 20 bytes and the order table, as 32 bits
    u16(0);
    for (uint16_t v : {1, 0, 4, 0, 0, 1, 6, 125}) // length, restart, channels, patterns, instruments,
        u16(v);                                    // flags, tempo, BPM
    text("", 256); // order table
    seeds.push_back(xm);
    AddDamagedSeeds(seeds);
    return seeds;
}
