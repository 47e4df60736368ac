#include "uMixer.h"
#include "SoundTestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace sounddata;

namespace {

constexpr int RATE = 48000;

TWave MonoWave(const std::vector<int16_t>& samples, int rate = RATE) {
    TWave wave;
    wave.Rate = rate;
    wave.Channels = 1;
    wave.Samples = samples;
    return wave;
}

// Left channel of `frames` rendered frames.
std::vector<float> RenderLeft(TMixer& mixer, size_t frames) {
    std::vector<float> out(frames * 2);
    mixer.Render(out.data(), frames);
    std::vector<float> left(frames);
    for (size_t i = 0; i < frames; ++i)
        left[i] = out[2 * i];
    return left;
}

float Peak(const std::vector<float>& v, size_t from = 0) {
    float peak = 0;
    for (size_t i = from; i < v.size(); ++i)
        peak = std::max(peak, std::fabs(v[i]));
    return peak;
}

float LargestStep(const std::vector<float>& v) {
    float step = 0;
    for (size_t i = 1; i < v.size(); ++i)
        step = std::max(step, std::fabs(v[i] - v[i - 1]));
    return step;
}

// Frequency from rising zero crossings, interpolated between frames.
double MeasureHz(const std::vector<float>& v, int rate) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < v.size(); ++i)
        if (v[i - 1] < 0 && v[i] >= 0) {
            double at = double(i - 1) + v[i - 1] / (v[i - 1] - v[i]);
            if (first < 0)
                first = at;
            else
                ++crossings;
            last = at;
        }
    return crossings > 0 ? crossings * rate / (last - first) : 0.0;
}

class TMixerTest : public ::testing::Test {
  protected:
    TMixer Mixer{RATE};
    // 1 kHz at the mixer's rate: exactly 48 frames per period, 4800 frames (0.1 s) long.
    int Tone = Mixer.AddSample(MonoWave(Sine(1000, RATE, 4800)));
    // A constant level, so gains can be read straight off the output.
    int Level = Mixer.AddSample(MonoWave(std::vector<int16_t>(4800, 16384)));
};

} // namespace

TEST_F(TMixerTest, FreeChannelsStartAboveTheReservedOnes) {
    EXPECT_EQ(Mixer.Play(Tone, TMixer::FREE_CHANNEL), 4);
    EXPECT_EQ(Mixer.Play(Tone, TMixer::FREE_CHANNEL), 5);
    Mixer.Stop(4);
    EXPECT_EQ(Mixer.Play(Tone, TMixer::FREE_CHANNEL), 4) << "the lowest idle channel is reused";
    for (int c = 6; c < TMixer::CHANNEL_COUNT; ++c)
        EXPECT_EQ(Mixer.Play(Tone, TMixer::FREE_CHANNEL), c);
    EXPECT_EQ(Mixer.Play(Tone, TMixer::FREE_CHANNEL), -1) << "all 44 free channels busy";
    for (int c = 0; c < TMixer::RESERVED_CHANNELS; ++c)
        EXPECT_FALSE(Mixer.IsPlaying(c));
    EXPECT_EQ(Mixer.Play(Tone, 2), 2) << "reserved channels play by number";
    EXPECT_TRUE(Mixer.IsPlaying(2));
}

TEST_F(TMixerTest, UnknownChannelsAndSamplesAreRefused) {
    EXPECT_EQ(Mixer.Play(Tone, TMixer::CHANNEL_COUNT), -1);
    EXPECT_EQ(Mixer.Play(Tone, -2), -1);
    EXPECT_EQ(Mixer.Play(99, 0), -1);
    EXPECT_EQ(Mixer.Play(-1, 0), -1);
    Mixer.Stop(500);
    Mixer.SetVolume(-7, 10);
    Mixer.SetFrequency(48, 10);
    EXPECT_FALSE(Mixer.IsPlaying(-1));
    EXPECT_FALSE(Mixer.IsPlaying(48));
    int empty = Mixer.AddSample(MonoWave({}));
    EXPECT_EQ(Mixer.Play(empty, 0), 0);
    EXPECT_FALSE(Mixer.IsPlaying(0));
    EXPECT_EQ(Peak(RenderLeft(Mixer, 256)), 0.0f);
}

TEST_F(TMixerTest, PlayingResetsTheChannelAndValuesAreClamped) {
    Mixer.Play(Tone, 0);
    Mixer.SetVolume(0, 300);
    EXPECT_EQ(Mixer.Volume(0), 255);
    Mixer.SetVolume(0, -1);
    EXPECT_EQ(Mixer.Volume(0), 0);
    Mixer.SetFrequency(0, -5);
    EXPECT_EQ(Mixer.Frequency(0), 0);
    Mixer.SetFrequency(0, 5000000);
    EXPECT_EQ(Mixer.Frequency(0), TMixer::MAX_FREQUENCY);
    Mixer.SetLoop(0, true);
    Mixer.Play(Tone, 0);
    EXPECT_EQ(Mixer.Volume(0), 255);
    EXPECT_EQ(Mixer.Frequency(0), RATE);
    RenderLeft(Mixer, 4800);
    EXPECT_FALSE(Mixer.IsPlaying(0)) << "a restarted channel does not loop";
}

TEST_F(TMixerTest, AtItsOwnRateAWaveComesOutUnchanged) {
    Mixer.Play(Tone, 0);
    std::vector<float> left = RenderLeft(Mixer, 4800);
    std::vector<int16_t> tone = Sine(1000, RATE, 4800);
    for (size_t i = 0; i < tone.size(); ++i)
        ASSERT_FLOAT_EQ(left[i], tone[i] / 32768.0f) << "frame " << i;
}

TEST_F(TMixerTest, OneShotEndsAfterItsLastFrame) {
    Mixer.Play(Tone, 0);
    RenderLeft(Mixer, 4799);
    EXPECT_TRUE(Mixer.IsPlaying(0));
    RenderLeft(Mixer, 1);
    EXPECT_FALSE(Mixer.IsPlaying(0));
    EXPECT_EQ(Peak(RenderLeft(Mixer, 512)), 0.0f);
}

TEST_F(TMixerTest, DoubleFrequencyDoublesThePitch) {
    // A 1 kHz sample recorded at 22050 Hz, played at 44100 Hz, sounds at 2 kHz.
    int slow = Mixer.AddSample(MonoWave(Sine(1000, 22050, 22050), 22050));
    Mixer.Play(slow, 5);
    EXPECT_EQ(Mixer.Frequency(5), 22050);
    EXPECT_NEAR(MeasureHz(RenderLeft(Mixer, 4800), RATE), 1000.0, 1.0);
    Mixer.SetFrequency(5, 44100);
    EXPECT_NEAR(MeasureHz(RenderLeft(Mixer, 4800), RATE), 2000.0, 2.0);
    Mixer.SetFrequency(5, 0);
    std::vector<float> held = RenderLeft(Mixer, 100);
    EXPECT_EQ(LargestStep(held), 0.0f) << "frequency 0 holds the wave still";
    EXPECT_TRUE(Mixer.IsPlaying(5));
}

TEST_F(TMixerTest, LoopRunsOnWithoutAGap) {
    // 4800 frames hold exactly 100 periods, so a seamless loop continues the same sine.
    Mixer.Play(Tone, 1);
    Mixer.SetLoop(1, true);
    std::vector<float> left = RenderLeft(Mixer, 4800 * 3 + 17);
    EXPECT_TRUE(Mixer.IsPlaying(1));
    std::vector<int16_t> tone = Sine(1000, RATE, 4800);
    for (size_t i = 0; i < left.size(); ++i)
        ASSERT_FLOAT_EQ(left[i], tone[i % 4800] / 32768.0f) << "frame " << i;
    // The same across the wrap when the step is fractional: no frame falls silent.
    Mixer.SetFrequency(1, 44100);
    std::vector<float> resampled = RenderLeft(Mixer, 4800 * 2);
    EXPECT_NEAR(MeasureHz(resampled, RATE), 1000.0 * 44100 / RATE, 2.0);
    EXPECT_LT(LargestStep(resampled), 2 * M_PI * 1000 * 16000 / 32768.0 / RATE * 1.1);
}

TEST_F(TMixerTest, LoopSeamAtAChangedRateKeepsThePhase) {
    // Engine sounds always play pitched: across every seam the output must follow the looped wave
    // sampled at the changed step, its fraction carried over the wrap, interpolating from the last
    // frame into the first.
    // 20 whole periods riding on a constant, so the seam is not a quiet zero crossing.
    std::vector<int16_t> engine = Sine(200, 22050, 2205, 20000);
    for (int16_t& sample : engine)
        sample = int16_t(sample + 8000);
    int sample = Mixer.AddSample(MonoWave(engine, 22050));
    for (int frequency : {30000, 44100, 17000}) {
        Mixer.Play(sample, 0);
        Mixer.SetLoop(0, true);
        Mixer.SetFrequency(0, frequency);
        const size_t frames = RATE / 2; // half a second: several seams at every rate
        std::vector<float> left = RenderLeft(Mixer, frames);
        const uint64_t step = (uint64_t(frequency) << 32) / uint64_t(RATE);
        const uint64_t end = uint64_t(engine.size()) << 32;
        uint64_t position = 0;
        int seams = 0;
        for (size_t i = 0; i < frames; ++i) {
            size_t index = size_t(position >> 32);
            double fraction = double(uint32_t(position)) / 4294967296.0;
            double a = engine[index], b = engine[(index + 1) % engine.size()];
            double expected = (a + (b - a) * fraction) / 32768.0;
            ASSERT_NEAR(left[i], expected, 1e-4) << "frame " << i << " at " << frequency << " Hz, after "
                                                 << seams << " seams";
            position += step;
            if (position >= end) {
                position -= end;
                ++seams;
            }
        }
        EXPECT_GE(seams, 2);
        Mixer.Stop(0);
        RenderLeft(Mixer, 4800);
    }
}

TEST_F(TMixerTest, VolumeAndEffectsMasterScaleTheLevel) {
    Mixer.Play(Level, 0);
    Mixer.SetLoop(0, true);
    EXPECT_FLOAT_EQ(RenderLeft(Mixer, 10)[9], 0.5f);
    Mixer.SetVolume(0, 51);
    EXPECT_NEAR(RenderLeft(Mixer, 1000)[999], 0.1f, 1e-6) << "volume 51 of 255 is a fifth";
    Mixer.SetSFXMasterVolume(0);
    EXPECT_FLOAT_EQ(RenderLeft(Mixer, 1000)[999], 0.0f);
    Mixer.SetSFXMasterVolume(255);
    Mixer.SetMusicMasterVolume(0);
    EXPECT_NEAR(RenderLeft(Mixer, 1000)[999], 0.1f, 1e-6) << "the music master leaves samples alone";
}

TEST_F(TMixerTest, NewSoundTakesItsVolumeAtOnce) {
    Mixer.Play(Level, 0);
    Mixer.SetVolume(0, 51);
    EXPECT_NEAR(RenderLeft(Mixer, 1)[0], 0.1f, 1e-6);
}

TEST_F(TMixerTest, VolumeAndFrequencyChangingEveryFrameDoNotClick) {
    // An engine sound: the game sets volume and pitch every 10 ms frame.
    int engine = Mixer.AddSample(MonoWave(Sine(200, 22050, 22050, 30000), 22050));
    Mixer.Play(engine, 0);
    Mixer.SetLoop(0, true);
    std::vector<float> all;
    for (int frame = 0; frame < 100; ++frame) {
        Mixer.SetVolume(0, frame % 2 ? 255 : 20);
        Mixer.SetFrequency(0, frame % 2 ? 11000 : 44000); // phases at the changes vary
        std::vector<float> part = RenderLeft(Mixer, RATE / 100);
        all.insert(all.end(), part.begin(), part.end());
    }
    // Fastest honest change: a 400 Hz sine at full level, plus the volume glide.
    float smooth = float(2 * M_PI * 400 * 30000 / 32768.0 / RATE) + 30000 / 32768.0f / (RATE * 0.005f);
    EXPECT_LT(LargestStep(all), smooth * 1.2f);
    EXPECT_GT(Peak(all), 0.8f);
}

TEST_F(TMixerTest, StoppingMidWaveFadesInsteadOfJumping) {
    Mixer.Play(Level, 0);
    Mixer.SetLoop(0, true);
    std::vector<float> before = RenderLeft(Mixer, 100);
    Mixer.Stop(0);
    EXPECT_FALSE(Mixer.IsPlaying(0));
    std::vector<float> after = RenderLeft(Mixer, 2000);
    EXPECT_LT(std::fabs(after[0] - before.back()), 0.02f);
    EXPECT_LT(LargestStep(after), 0.02f);
    EXPECT_LT(std::fabs(after.back()), 1e-4f);
}

TEST_F(TMixerTest, StereoWavesKeepTheirSides) {
    TWave wave;
    wave.Rate = RATE;
    wave.Channels = 2;
    wave.Samples = {8192, -16384, 8192, -16384, 8192, -16384};
    Mixer.Play(Mixer.AddSample(wave), 7);
    std::vector<float> out(6);
    Mixer.Render(out.data(), 3);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_FLOAT_EQ(out[1], -0.5f);
}

TEST_F(TMixerTest, FullMixIsClippedNotWrapped) {
    for (int c = 0; c < TMixer::CHANNEL_COUNT; ++c)
        Mixer.Play(Level, c);
    std::vector<float> left = RenderLeft(Mixer, 100);
    EXPECT_FLOAT_EQ(Peak(left), 1.0f);
    EXPECT_FLOAT_EQ(left[50], 1.0f);
}
