// libFuzzer builds only: with KAL_FUZZ_SEEDS=<folder>, a target first writes its seeds (the data set
// files and the hand-made damaged ones) into that folder, so that it can start from them:
//   KAL_FUZZ_SEEDS=corpus ./FuzzBMP corpus
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

std::vector<std::vector<uint8_t>> FuzzSeeds();

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = std::getenv("KAL_FUZZ_SEEDS");
    if (folder == nullptr)
        return 0;
    std::filesystem::create_directories(folder);
    std::vector<std::vector<uint8_t>> seeds = FuzzSeeds();
    for (size_t i = 0; i < seeds.size(); ++i) {
        std::ofstream file(std::string(folder) + "/seed" + std::to_string(i), std::ios::binary);
        file.write(reinterpret_cast<const char*>(seeds[i].data()), std::streamsize(seeds[i].size()));
    }
    return 0;
}
