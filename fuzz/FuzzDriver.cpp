// A stand-in for libFuzzer where it is not available: feeds the target its seeds and a fixed number
// of deterministic mutations of them (bit flips, byte changes, cuts, splices of 32-bit values).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Each target provides its seeds.
std::vector<std::vector<uint8_t>> FuzzSeeds();

int main(int argc, char** argv) {
    long runs = argc > 1 ? std::atol(argv[1]) : 10000;
    std::vector<std::vector<uint8_t>> seeds = FuzzSeeds();
    std::mt19937 random(12345);
    for (const auto& seed : seeds)
        LLVMFuzzerTestOneInput(seed.data(), seed.size());
    const uint32_t interesting[] = {0, 1, 6, 0x7fffffff, 0x80000000, 0xffffffff, 0xffff, 65536, 1024};
    for (long run = 0; run < runs; ++run) {
        std::vector<uint8_t> input = seeds[random() % seeds.size()];
        int edits = 1 + int(random() % 4);
        for (int e = 0; e < edits && !input.empty(); ++e) {
            size_t at = random() % input.size();
            switch (random() % 4) {
            case 0:
                input[at] ^= uint8_t(1u << (random() % 8));
                break;
            case 1:
                input[at] = uint8_t(random());
                break;
            case 2:
                input.resize(at);
                break;
            default: {
                uint32_t v = interesting[random() % (sizeof interesting / sizeof *interesting)];
                for (int i = 0; i < 4 && at + size_t(i) < input.size(); ++i)
                    input[at + size_t(i)] = uint8_t(v >> (8 * i));
            }
            }
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%ld runs without a fault\n", runs);
    return 0;
}
