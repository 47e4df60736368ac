// Small sound files built in memory for the sound tests and benchmarks: PCM WAV files and a tiny
// but complete XM module (one looping square-wave instrument, a note at the start of every order).
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace sounddata {

inline void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void PutText(std::vector<uint8_t>& b, const std::string& text, size_t size) {
    for (size_t i = 0; i < size; ++i)
        b.push_back(i < text.size() ? uint8_t(text[i]) : 0);
}

// A PCM WAV file; `data` holds the raw sample bytes as they go into the data chunk.
inline std::vector<uint8_t> EncodeWAV(int rate, int channels, int bits, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> b;
    PutText(b, "RIFF", 4);
    Put32(b, uint32_t(36 + data.size() + (data.size() & 1)));
    PutText(b, "WAVE", 4);
    PutText(b, "fmt ", 4);
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, uint32_t(channels));
    Put32(b, uint32_t(rate));
    Put32(b, uint32_t(rate * channels * bits / 8));
    Put16(b, uint32_t(channels * bits / 8));
    Put16(b, uint32_t(bits));
    PutText(b, "data", 4);
    Put32(b, uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1)
        b.push_back(0);
    return b;
}

inline std::vector<uint8_t> Samples16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (int16_t s : samples)
        Put16(bytes, uint16_t(s));
    return bytes;
}

// `frames` frames of a sine wave, mono 16-bit, peak `amplitude`.
inline std::vector<int16_t> Sine(double hz, int rate, size_t frames, double amplitude = 16000.0) {
    std::vector<int16_t> out(frames);
    for (size_t i = 0; i < frames; ++i)
        out[i] = int16_t(std::lround(amplitude * std::sin(2.0 * M_PI * hz * double(i) / rate)));
    return out;
}

// An XM module with one pattern of `rows` rows played at every one of `orders` orders (at most
// 256), and one instrument: a looping 8-bit square wave. Every order starts with a C-4 on the first
// channel; with more channels, each channel plays its own note every fourth row.
inline std::vector<uint8_t> BuildXM(int orders = 180, int rows = 4, int channels = 1) {
    std::vector<uint8_t> b;
    PutText(b, "Extended Module: ", 17);
    PutText(b, "kalmirov test", 20);
    b.push_back(0x1A);
    PutText(b, "kalmirov tests", 20);
    Put16(b, 0x0104);
    Put32(b, 276); // header size from here: 20 bytes of fields and the order table
    Put16(b, uint32_t(orders));
    Put16(b, 0); // restart position
    Put16(b, uint32_t(channels));
    Put16(b, 1);   // patterns
    Put16(b, 1);   // instruments
    Put16(b, 1);   // linear frequency table
    Put16(b, 6);   // ticks per row
    Put16(b, 125); // BPM
    for (int i = 0; i < 256; ++i)
        b.push_back(0);

    // Pattern 0: a note with instrument 1 on row 0, empty rows after it (packed cells).
    std::vector<uint8_t> cells;
    for (int row = 0; row < rows; ++row)
        for (int channel = 0; channel < channels; ++channel)
            if ((row == 0 && channel == 0) || (channels > 1 && row % 4 == 0)) {
                cells.insert(cells.end(), {0x83, uint8_t(49 + 3 * channel), 1});
            } else {
                cells.push_back(0x80);
            }
    Put32(b, 9);
    b.push_back(0);
    Put16(b, uint32_t(rows));
    Put16(b, uint32_t(cells.size()));
    b.insert(b.end(), cells.begin(), cells.end());

    // Instrument 1 with one sample.
    const size_t instrumentStart = b.size();
    Put32(b, 263);
    PutText(b, "square", 22);
    b.push_back(0);
    Put16(b, 1);
    Put32(b, 40);                            // sample header size
    b.insert(b.end(), 96 + 48 + 48, 0);      // key map, volume and panning envelopes
    b.insert(b.end(), 2 + 3 + 3 + 2 + 4, 0); // envelope counts, sustain/loops, types, vibrato
    Put16(b, 0);                             // fadeout
    b.insert(b.end(), instrumentStart + 263 - b.size(), 0);

    const uint32_t length = 32;
    Put32(b, length);
    Put32(b, 0);      // loop start
    Put32(b, length); // loop length
    b.push_back(64);  // volume
    b.push_back(0);   // finetune
    b.push_back(1);   // forward loop, 8-bit
    b.push_back(128); // panning
    b.push_back(0);   // relative note
    b.push_back(0);
    PutText(b, "square", 22);
    // 8-bit samples are stored as deltas.
    int8_t previous = 0;
    for (uint32_t i = 0; i < length; ++i) {
        int8_t value = i < length / 2 ? 100 : -100;
        b.push_back(uint8_t(int8_t(value - previous)));
        previous = value;
    }
    return b;
}

} // namespace sounddata
