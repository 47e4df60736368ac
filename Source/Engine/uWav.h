// WAV reader for the game's samples: RIFF/WAVE files with 8- or 16-bit PCM, mono or stereo, any
// sample rate. Parses bytes already in memory; never touches the sound device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TWave {
    int32_t Rate = 0;     // frames per second
    int32_t Channels = 0; // 1 mono, 2 stereo
    // Interleaved frames (left, right for stereo); 8-bit input is converted to 16-bit.
    std::vector<int16_t> Samples;

    size_t Frames() const { return Channels > 0 ? Samples.size() / size_t(Channels) : 0; }
};

// Decodes a whole WAV file. A damaged or unsupported one raises EFormatError with a message that names
// the file and what is wrong with it.
TWave ParseWAV(const std::vector<uint8_t>& bytes, const std::string& fileName);
