// TGLCallCounter: counts the GL calls and texture binds the game makes, for the benchmarks only.
// The benchmark binary is linked with the linker's --wrap for every GL entry point the game uses
// (bench/CMakeLists.txt lists them): each call lands on a two-instruction stub in GLCallCounter.cpp
// that bumps a counter and jumps on to the driver, so the game itself carries no counting at all.
#pragma once

#include <cstdint>

struct TGLCallCounts {
    uint64_t Calls = 0; // every GL call the game made (a display list or an array draw counts once)
    uint64_t Binds = 0; // glBindTexture calls among them
};

// The counts so far; subtract two readings to count a stretch of frames.
TGLCallCounts ReadGLCallCounts();
