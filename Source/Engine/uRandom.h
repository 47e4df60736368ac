// The game's two random generators. The world's (Random, RandomFloat) makes every choice the world
// depends on (traffic, pedestrians, the cars' spread), so a run seeded the same way repeats exactly
// (tests, key-script replays on the fixed clock, replays). The effects' (EffectRandom,
// EffectRandomFloat) serves what is only drawn (lamp flicker, stains, stars, snow, tyre marks): how
// often a frame draws them never moves the world's sequence. Every seeding below restarts both.
#pragma once

#include <cstdint>

class TByteReader;
class TByteWriter;

// Restarts the sequence from a seed. From then on the generator counts as seeded by the program
// (a --seed option, the fixed clock's seed, a test), and the game's own reseeds leave it alone.
void SeedRandom(uint32_t seed);
// Seeds from the game clock: a different sequence on every real run, the same one on the fixed clock.
// Clears the seeded-by-the-program flag.
void Randomize();
// Restarts the sequence from a seed the game chose itself (every game start does, so that a run
// depends on its own seed only); leaves the seeded-by-the-program flag as it is.
void ReseedRandom(uint32_t seed);
// 32 bits of the sequence, for a seed of its own: a seeded session draws the same seeds again.
uint32_t DrawSeed();
// The seed the sequence last restarted from (by SeedRandom, ReseedRandom or Randomize).
uint32_t RandomSeed();
// The last seed came from SeedRandom, not from the clock.
bool SeededByProgram();
// A whole number 0 to n - 1, every value equally likely; 0 when n <= 0.
int32_t Random(int32_t n);
// Uniform in [0, 1).
float RandomFloat();
// As Random and RandomFloat, from the effects' generator.
int32_t EffectRandom(int32_t n);
float EffectRandomFloat();
// The world's generator exactly as it stands (its whole state and the last seed), and back; and the
// effects' generator apart, which only what is drawn depends on.
void SaveRandom(TByteWriter& out);
void RestoreRandom(TByteReader& in);
void SaveEffectRandom(TByteWriter& out);
void RestoreEffectRandom(TByteReader& in);
