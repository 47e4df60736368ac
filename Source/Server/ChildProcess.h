// A child process under limits: the thin layer between kalscores' verifier and the operating system.
// Runs a program with its own environment, its standard output kept (up to a bound), its processor
// time and memory capped by the kernel and its wall time by this side, and kills its whole process
// group when a limit or a stop request ends it.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

struct TProcessLimits {
    int CpuSeconds = 60;
    size_t MemoryBytes = size_t(2) << 30; // address space
    double WallSeconds = 120;
    size_t MaxOutputBytes = 64 * 1024; // more is cut off (and read on, so the child never blocks)
};

struct TProcessResult {
    std::string Output;  // standard output, at most MaxOutputBytes
    std::string Failure; // empty after a normal exit with status 0; else what went wrong, for people
};

// Runs `argv` (argv[0] a path) with exactly `environment` ("KEY=VALUE" entries), in `workDir`, its
// standard input empty and its standard error discarded. `stop` set from another thread kills it.
TProcessResult RunChildProcess(const std::vector<std::string>& argv,
                               const std::vector<std::string>& environment, const std::string& workDir,
                               const TProcessLimits& limits, const std::atomic<bool>& stop);
