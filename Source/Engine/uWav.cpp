#include "uWav.h"

#include "uByteReader.h"
#include "uErrors.h"

namespace {

constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;
// Far above any real sample rate; guards the mixer's step arithmetic against absurd headers.
constexpr uint32_t MAX_RATE = 384000;

[[noreturn]] void Fail(const std::string& fileName, const std::string& what) {
    throw EFormatError(fileName + ": " + what);
}

bool IsTag(const uint8_t* p, const char* tag) {
    return p[0] == uint8_t(tag[0]) && p[1] == uint8_t(tag[1]) && p[2] == uint8_t(tag[2]) &&
           p[3] == uint8_t(tag[3]);
}

} // namespace

TWave ParseWAV(const std::vector<uint8_t>& bytes, const std::string& fileName) {
    if (bytes.size() < 12 || !IsTag(bytes.data(), "RIFF") || !IsTag(bytes.data() + 8, "WAVE"))
        Fail(fileName, "not a RIFF/WAVE file");

    bool haveFormat = false;
    uint16_t channels = 0, bits = 0, blockAlign = 0;
    uint32_t rate = 0;
    const uint8_t* data = nullptr;
    size_t dataSize = 0;
    try {
        TByteReader reader(bytes.data(), bytes.size(), fileName);
        reader.Seek(12, "first chunk");
        // Chunks in any order; unknown ones (LIST, fact, cue ...) are skipped. A chunk body is padded
        // to an even length.
        while (reader.Remaining() >= 8) {
            uint8_t tag[4];
            reader.Bytes(tag, 4, "chunk tag");
            uint32_t size = reader.U32("chunk size");
            size_t start = reader.Position();
            if (IsTag(tag, "fmt ")) {
                if (size < 16)
                    Fail(fileName, "fmt chunk too short (" + std::to_string(size) + " bytes)");
                if (size > reader.Remaining())
                    Fail(fileName, "fmt chunk runs past the end of the file");
                uint16_t format = reader.U16("format tag");
                channels = reader.U16("channel count");
                rate = reader.U32("sample rate");
                reader.U32("byte rate");
                blockAlign = reader.U16("block align");
                bits = reader.U16("bits per sample");
                if (format == WAVE_FORMAT_EXTENSIBLE) {
                    // The sub-format GUID starts with the plain format tag.
                    if (size < 40)
                        Fail(fileName, "extensible fmt chunk too short");
                    reader.Skip(8, "extension header");
                    format = reader.U16("sub-format");
                }
                if (format != WAVE_FORMAT_PCM)
                    Fail(fileName, "unsupported format " + std::to_string(format) + " (only PCM)");
                haveFormat = true;
            } else if (IsTag(tag, "data")) {
                if (data == nullptr) {
                    // A size past the end means the file was cut short.
                    if (size > reader.Remaining())
                        Fail(fileName, "data chunk of " + std::to_string(size) +
                                           " bytes runs past the end of the file (" +
                                           std::to_string(reader.Remaining()) + " bytes left)");
                    data = bytes.data() + start;
                    dataSize = size;
                }
            }
            size_t next = start + size_t(size) + (size & 1u);
            if (next > bytes.size())
                break; // last chunk without its pad byte, or an unknown chunk cut short
            reader.Seek(next, "next chunk");
        }
    } catch (const EReadError& e) {
        Fail(fileName, e.what());
    }

    if (!haveFormat)
        Fail(fileName, "no fmt chunk");
    if (data == nullptr)
        Fail(fileName, "no data chunk");
    if (channels != 1 && channels != 2)
        Fail(fileName, std::to_string(channels) + " channels (only mono and stereo)");
    if (bits != 8 && bits != 16)
        Fail(fileName, std::to_string(bits) + " bits per sample (only 8 and 16)");
    if (rate == 0 || rate > MAX_RATE)
        Fail(fileName, "sample rate " + std::to_string(rate) + " Hz out of range");
    size_t frameBytes = size_t(channels) * (bits / 8u);
    if (blockAlign != frameBytes)
        Fail(fileName, "block align " + std::to_string(blockAlign) + " does not match " +
                           std::to_string(channels) + " channels of " + std::to_string(bits) + " bits");

    // A trailing partial frame is dropped.
    size_t frames = dataSize / frameBytes;
    TWave wave;
    wave.Rate = int32_t(rate);
    wave.Channels = channels;
    wave.Samples.resize(frames * channels);
    if (bits == 8) {
        // 8-bit PCM is unsigned with its centre at 128.
        for (size_t i = 0; i < wave.Samples.size(); ++i)
            wave.Samples[i] = int16_t((int(data[i]) - 128) * 256);
    } else {
        for (size_t i = 0; i < wave.Samples.size(); ++i)
            wave.Samples[i] = int16_t(uint16_t(data[2 * i] | (data[2 * i + 1] << 8)));
    }
    return wave;
}
