#include "uRandom.h"
#include "uPlatform.h"
#include "uByteReader.h"
#include "uByteWriter.h"

#include <bit>
#include <random>
#include <type_traits>

namespace {

// Mersenne twister: its output sequence is fixed by the C++ standard, so a seed means the same
// numbers with every compiler. The mapping to ranges below is our own for the same reason (the
// standard distributions differ between libraries).
std::mt19937& Generator() {
    static std::mt19937 generator(0u);
    return generator;
}

std::mt19937& EffectGenerator() {
    static std::mt19937 generator(0u);
    return generator;
}

// Spreads the bits of a 64-bit value (SplitMix64 finaliser), so nearby clock values give unrelated seeds.
uint64_t Mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

bool SeededBySeed = false;
uint32_t LastSeed = 0;

// Both sequences from one seed; the effects' differs from the world's so that the two never draw
// the same numbers side by side.
void SeedBoth(uint32_t seed) {
    Generator().seed(seed);
    EffectGenerator().seed(static_cast<uint32_t>(Mix(seed ^ 0x5EEDEFFEC7ull)));
    LastSeed = seed;
}

int32_t Scaled(uint32_t bits, int32_t n) {
    if (n <= 0)
        return 0;
    // 32 random bits scaled to [0, n): never reaches n.
    return static_cast<int32_t>((uint64_t(bits) * uint64_t(n)) >> 32);
}

float Unit(uint32_t bits) {
    // 24 bits: every result is an exact float below 1.
    return float(bits >> 8) * (1.0f / 16777216.0f);
}

} // namespace

void SeedRandom(uint32_t seed) {
    SeedBoth(seed);
    SeededBySeed = true;
}

void Randomize() {
    SeedBoth(static_cast<uint32_t>(Mix(std::bit_cast<uint64_t>(GetTime()))));
    SeededBySeed = false;
}

void ReseedRandom(uint32_t seed) {
    SeedBoth(seed);
}

uint32_t DrawSeed() {
    return static_cast<uint32_t>(Generator()());
}

uint32_t RandomSeed() { return LastSeed; }

bool SeededByProgram() {
    return SeededBySeed;
}

int32_t Random(int32_t n) {
    return n <= 0 ? 0 : Scaled(Generator()(), n);
}

float RandomFloat() {
    return Unit(Generator()());
}

int32_t EffectRandom(int32_t n) {
    return n <= 0 ? 0 : Scaled(EffectGenerator()(), n);
}

float EffectRandomFloat() {
    return Unit(EffectGenerator()());
}

// The engine's state is its words and its place among them; libstdc++ keeps both as plain members.
static_assert(std::is_trivially_copyable_v<std::mt19937>);

void SaveRandom(TByteWriter& out) {
    out.Raw(&Generator(), sizeof(std::mt19937));
    out.U32(LastSeed);
}

void RestoreRandom(TByteReader& in) {
    in.Bytes(&Generator(), sizeof(std::mt19937), "the world's random generator");
    LastSeed = in.U32("the last seed");
}

void SaveEffectRandom(TByteWriter& out) { out.Raw(&EffectGenerator(), sizeof(std::mt19937)); }

void RestoreEffectRandom(TByteReader& in) {
    in.Bytes(&EffectGenerator(), sizeof(std::mt19937), "the effects' random generator");
}
