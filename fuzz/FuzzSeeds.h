// Seeds shared by the fuzz targets: files of the generated data tree, when the build made one, and
// the hand-made damaged variants every target adds to its own seeds.
#pragma once

#include "uByteReader.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

// A scratch path of this process in memory (/dev/shm) for targets whose reader takes a file name,
// removed with everything below it when the process ends.
inline std::string ScratchPath(const std::string& name) {
    static std::vector<std::string> paths;
    std::string path = "/dev/shm/kal-fuzz-" + name + "-" + std::to_string(getpid());
    if (paths.empty())
        std::atexit([] {
            for (const std::string& p : paths) {
                std::error_code ec;
                std::filesystem::remove_all(p, ec);
            }
        });
    paths.push_back(path);
    return path;
}

// Appends the data tree files `relative` (below run/data) that exist.
inline void AddDataSeeds(std::vector<std::vector<uint8_t>>& seeds, const std::vector<std::string>& relative) {
#ifdef KAL_RUN_DIR
    for (const std::string& name : relative) {
        std::vector<uint8_t> bytes;
        if (ReadWholeFile(std::string(KAL_RUN_DIR) + "/data/" + name, bytes))
            seeds.push_back(std::move(bytes));
    }
#endif
}

// The usual damage of a file: cut in half, cut to its first bytes, one byte flipped in the middle.
inline void AddDamagedSeeds(std::vector<std::vector<uint8_t>>& seeds) {
    size_t count = seeds.size();
    for (size_t i = 0; i < count; ++i) {
        std::vector<uint8_t> whole = seeds[i];
        seeds.emplace_back(whole.begin(), whole.begin() + std::ptrdiff_t(whole.size() / 2));
        seeds.emplace_back(whole.begin(), whole.begin() + std::ptrdiff_t(std::min<size_t>(whole.size(), 7)));
        if (!whole.empty()) {
            whole[whole.size() / 2] ^= 0xff;
            seeds.push_back(whole);
        }
    }
}
