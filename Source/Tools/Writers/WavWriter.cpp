#include "WavWriter.h"

#include "ByteWriter.h"

#include <limits>
#include <stdexcept>

std::vector<uint8_t> EncodeWAV(int32_t rate, int32_t channels, const std::vector<int16_t>& samples) {
    if (rate <= 0)
        throw std::invalid_argument("WAV sample rate must be positive");
    if (channels < 1 || channels > 2)
        throw std::invalid_argument("WAV channel count must be 1 or 2");
    if (samples.size() % size_t(channels) != 0)
        throw std::invalid_argument("WAV samples are not whole frames");
    // The RIFF size field is 32 bits and counts everything after it (36 header bytes + data).
    const uint64_t dataBytes = uint64_t(samples.size()) * 2;
    if (dataBytes + 36 > std::numeric_limits<uint32_t>::max())
        throw std::invalid_argument("WAV data too large for a RIFF file");

    const uint16_t blockAlign = uint16_t(channels * 2);
    TByteWriter w;
    w.Raw("RIFF", 4);
    w.U32(uint32_t(36 + dataBytes));
    w.Raw("WAVE", 4);
    w.Raw("fmt ", 4);
    w.U32(16);
    w.U16(1); // PCM
    w.U16(uint16_t(channels));
    w.U32(uint32_t(rate));
    w.U32(uint32_t(rate) * blockAlign); // bytes per second
    w.U16(blockAlign);
    w.U16(16); // bits per sample
    w.Raw("data", 4);
    w.U32(uint32_t(dataBytes));
    w.Bytes.reserve(w.Bytes.size() + size_t(dataBytes));
    for (int16_t s : samples)
        w.U16(static_cast<uint16_t>(s));
    return std::move(w.Bytes);
}
