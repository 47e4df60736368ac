// kalgen DATA_DIR [ONLY...]: writes the game's data tree into DATA_DIR (never touching DATA_DIR/player),
// running every registered generator, or only those named.
#include "DataGen.h"
#include "uAtomicFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>

void TGenContext::Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const {
    if (relativePath.rfind("player/", 0) == 0)
        throw std::runtime_error("the generator never writes player files: " + relativePath);
    std::string path = (DataDir / relativePath).string();
    if (!WriteFileAtomic(path, bytes))
        throw std::runtime_error("cannot write " + path);
}

std::vector<TGenerator>& Generators() {
    static std::vector<TGenerator> generators;
    return generators;
}

TGeneratorRegistration::TGeneratorRegistration(const char* name, TGeneratorFunction function) {
    Generators().push_back({name, function});
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kalgen DATA_DIR [GENERATOR...]\n");
        return 2;
    }
    TGenContext context;
    context.DataDir = argv[1];
    std::vector<std::string> only(argv + 2, argv + argc);
    std::vector<TGenerator> generators = Generators();
    std::sort(generators.begin(), generators.end(),
              [](const TGenerator& a, const TGenerator& b) { return a.Name < b.Name; });
    try {
        for (const TGenerator& generator : generators) {
            if (!only.empty() && std::find(only.begin(), only.end(), generator.Name) == only.end())
                continue;
            auto start = std::chrono::steady_clock::now();
            generator.Function(context);
            double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("kalgen: %-12s %6.2f s\n", generator.Name.c_str(), seconds);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
