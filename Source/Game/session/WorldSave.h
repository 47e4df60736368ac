// The world of a running game in sections, each with a digest of its own, so that two runs that part
// say where: the player cars, the traffic cars, the pedestrians, the rules (with the targets, the
// players' runs and the clocks), the random generators and the physics space.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

enum : uint8_t { wsCars, wsTraffic, wsPedestrians, wsRules, wsRandom, wsPhysics, WorldSectionCount };

inline constexpr const char* WorldSectionNames[WorldSectionCount] = {"cars",  "traffic", "pedestrians",
                                                                     "rules", "random",  "physics"};

// A 64-bit FNV-1a of each section's saved bytes.
using TWorldDigest = std::array<uint64_t, WorldSectionCount>;
// Where each section of a saved world begins, and where the last ends.
using TWorldBounds = std::array<size_t, WorldSectionCount + 1>;
