// The WAV writer, read back with the game's own WAV parser.
#include "WavWriter.h"
#include "uWav.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TWave RoundTrip(int32_t rate, int32_t channels, const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes = EncodeWAV(rate, channels, samples);
    TWave wave;
    EXPECT_NO_THROW(wave = ParseWAV(bytes, "test.wav"));
    return wave;
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

} // namespace

TEST(WavWriter, MonoSamplesComeBackExactlyIncludingTheExtremes) {
    std::vector<int16_t> samples = {0, 1, -1, 32767, -32768, 12345, -222};
    TWave wave = RoundTrip(22050, 1, samples);
    EXPECT_EQ(wave.Rate, 22050);
    EXPECT_EQ(wave.Channels, 1);
    EXPECT_EQ(wave.Samples, samples);
}

TEST(WavWriter, StereoKeepsFramesInterleaved) {
    std::vector<int16_t> samples = {100, -100, 200, -200, 300, -300};
    TWave wave = RoundTrip(44100, 2, samples);
    EXPECT_EQ(wave.Channels, 2);
    EXPECT_EQ(wave.Frames(), 3u);
    EXPECT_EQ(wave.Samples, samples);
}

TEST(WavWriter, SizeFieldsMatchTheFile) {
    // An odd number of frames: the data chunk is 2 * 3 bytes, the RIFF size the file less 8.
    std::vector<uint8_t> bytes = EncodeWAV(8000, 1, {1, 2, 3});
    ASSERT_EQ(bytes.size(), 44u + 6u);
    EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(U32At(bytes, 40), 6u);
    EXPECT_EQ(U32At(bytes, 28), 16000u); // bytes per second
}

TEST(WavWriter, EmptySampleIsAValidFile) {
    std::vector<uint8_t> bytes = EncodeWAV(22050, 1, {});
    EXPECT_EQ(bytes.size(), 44u);
}

TEST(WavWriter, RefusesWhatTheFormatCannotHold) {
    EXPECT_THROW(EncodeWAV(0, 1, {0}), std::invalid_argument);
    EXPECT_THROW(EncodeWAV(22050, 0, {0}), std::invalid_argument);
    EXPECT_THROW(EncodeWAV(22050, 3, {0, 0, 0}), std::invalid_argument);
    EXPECT_THROW(EncodeWAV(22050, 2, {0, 0, 0}), std::invalid_argument); // half a frame
}
