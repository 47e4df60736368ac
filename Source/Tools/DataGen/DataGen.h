// The data set generator: every picture, mesh, sample, the music, the fonts, the city and the car
// configurations of the game are made here, deterministically, into the build's data tree.
// Each content area registers one generator function with KAL_GENERATOR; main runs them in name order.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct TGenContext {
    std::filesystem::path DataDir; // the "data" directory being written

    // Writes a file below DataDir (e.g. "bitmaps/lamp.bmp"), creating folders; throws on failure.
    void Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const;
};

using TGeneratorFunction = void (*)(const TGenContext&);

struct TGeneratorRegistration {
    TGeneratorRegistration(const char* name, TGeneratorFunction function);
};

struct TGenerator {
    std::string Name;
    TGeneratorFunction Function;
};
std::vector<TGenerator>& Generators();

#define KAL_GENERATOR(name, function) static TGeneratorRegistration kalGenerator_##function(name, function)
