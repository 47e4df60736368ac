// A stand-in for libFuzzer where it is not available: feeds the target its seeds and a fixed number
// of deterministic mutations of them (bit flips, byte changes, cuts, splices of 32-bit values).
// Usage: FuzzX RUNS [SEQUENCE] runs RUNS mutations; FuzzX FILE runs one input.
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Each target provides its seeds.
std::vector<std::vector<uint8_t>> FuzzSeeds();

namespace {

// The input being run, kept for the crash handler.
const std::vector<uint8_t>* Current = nullptr;

// On a crash the input that caused it is written to "fuzz-crash.bin" in the working folder, so that
// it can be run again on its own (the target's first argument then names it).
void KeepCrashInput(int signal) {
    if (Current != nullptr) {
        int fd = open("fuzz-crash.bin", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            [[maybe_unused]] ssize_t written = write(fd, Current->data(), Current->size());
            close(fd);
        }
        const char note[] = "the input is in fuzz-crash.bin\n";
        [[maybe_unused]] ssize_t written = write(2, note, sizeof note - 1);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

int main(int argc, char** argv) {
    for (int signal : {SIGABRT, SIGSEGV, SIGILL, SIGFPE, SIGBUS, SIGTRAP})
        std::signal(signal, KeepCrashInput);
    // A file name instead of a count runs that one input.
    if (argc > 1 && std::atol(argv[1]) == 0) {
        FILE* file = std::fopen(argv[1], "rb");
        if (file == nullptr)
            return 2;
        std::vector<uint8_t> input;
        for (int c; (c = std::fgetc(file)) != EOF;)
            input.push_back(uint8_t(c));
        std::fclose(file);
        LLVMFuzzerTestOneInput(input.data(), input.size());
        std::printf("%s ran without a fault\n", argv[1]);
        return 0;
    }
    long runs = argc > 1 ? std::atol(argv[1]) : 10000;
    std::vector<std::vector<uint8_t>> seeds = FuzzSeeds();
    // A second number picks another sequence of mutations, so that a long run can be shared out.
    unsigned sequence = argc > 2 ? unsigned(std::atol(argv[2])) : 0;
    std::mt19937 random(12345 + sequence);
    auto start = std::chrono::steady_clock::now();
    for (const auto& seed : seeds) {
        Current = &seed;
        LLVMFuzzerTestOneInput(seed.data(), seed.size());
    }
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
        Current = &input;
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%ld runs without a fault in %.1f s (%.0f runs a second)\n", runs, seconds,
                seconds > 0 ? double(runs) / seconds : 0.0);
    return 0;
}
