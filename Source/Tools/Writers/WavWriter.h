// WAV output for the game's samples: a RIFF/WAVE file with one "fmt " chunk (16-bit PCM) and one
// "data" chunk, the plainest form every reader takes.
#pragma once

#include <cstdint>
#include <vector>

// `samples` are interleaved frames (left, right for stereo). Throws std::invalid_argument for a rate
// or channel count the format cannot hold, or a sample count that is not whole frames.
std::vector<uint8_t> EncodeWAV(int32_t rate, int32_t channels, const std::vector<int16_t>& samples);
