// The generated samples and music of the data tree, read back the way the game reads them: every
// sample the game loads through the game's WAV parser (levels, clicks, loop seams), and the music
// module through libopenmpt (no load warnings, the pieces at their orders, each looping on itself,
// audible and in time).
#include "uByteReader.h"
#include "uWav.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

#ifdef KAL_RUN_DIR
std::string DataDir() {
    return std::string(KAL_RUN_DIR) + "/data/";
}
#else
std::string DataDir() {
    return "../run/data/";
} // the tests run in build/tests
#endif

// The data tree is made by the build's data step (see NO_DATA_TREE).
#define REQUIRE_AUDIO_DATA()                                                                                 \
    if (!std::filesystem::exists(DataDir() + "music/music.xm"))                                              \
    NO_DATA_TREE(DataDir())

const char* const CARS[] = {"avia", "skoda120", "transit", "vwgolf", "bmw", "liaz", "chevy", "mustang"};

// Every sample the game loads, plus the city map's.
std::vector<std::string> AllSamples() {
    std::vector<std::string> files = {
        "sound/menu_hover.wav", "sound/menu_enter.wav", "sound/menu_leave.wav",   "sound/checkpoint.wav",
        "sound/sfx_crash1.wav", "sound/sfx_crash2.wav", "sound/splash1.wav",      "sound/splash2.wav",
        "sound/scream1.wav",    "sound/scream2.wav",    "sound/skid.wav",         "sound/timer_tick.wav",
        "sound/timer_go.wav",   "sound/cargo_load.wav", "sound/cargo_unload.wav", "sound/city_map.wav"};
    for (const char* car : CARS) {
        files.push_back(std::string("cars/") + car + "/engine.wav");
        files.push_back(std::string("cars/") + car + "/horn.wav");
    }
    return files;
}

bool IsLoop(const std::string& file) {
    return file.find("/engine.wav") != std::string::npos || file == "sound/skid.wav";
}

TWave LoadWave(const std::string& relative) {
    std::vector<uint8_t> bytes;
    TWave wave;
    if (!ReadWholeFile(DataDir() + relative, bytes)) {
        ADD_FAILURE() << "cannot read " << relative;
        return wave;
    }
    EXPECT_NO_THROW(wave = ParseWAV(bytes, relative));
    return wave;
}

double Rms(const std::vector<int16_t>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(s[i]) * s[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

} // namespace

TEST(DataSetAudio, EverySampleLoadsAsAudibleUnclippedMono) {
    REQUIRE_AUDIO_DATA();
    for (const std::string& file : AllSamples()) {
        SCOPED_TRACE(file);
        TWave wave = LoadWave(file);
        EXPECT_EQ(wave.Rate, 22050);
        EXPECT_EQ(wave.Channels, 1);
        const double seconds = double(wave.Frames()) / 22050;
        EXPECT_GE(seconds, 0.05);
        EXPECT_LE(seconds, 2.0);
        int peak = 0;
        size_t atFullScale = 0;
        for (int16_t v : wave.Samples) {
            peak = std::max(peak, std::abs(int(v)));
            atFullScale += (v >= 32767 || v <= -32767);
        }
        EXPECT_EQ(atFullScale, 0u) << "clipped";
        EXPECT_GT(peak, 32768 / 4) << "too quiet"; // above -12 dBFS
        EXPECT_LT(peak, 32768 * 95 / 100) << "no headroom";
    }
}

TEST(DataSetAudio, OneShotsStartAndEndWithoutAClick) {
    REQUIRE_AUDIO_DATA();
    for (const std::string& file : AllSamples()) {
        if (IsLoop(file))
            continue;
        SCOPED_TRACE(file);
        TWave wave = LoadWave(file);
        ASSERT_GT(wave.Samples.size(), 2u);
        EXPECT_LE(std::abs(int(wave.Samples.front())), 330); // 1 % of full scale
        EXPECT_LE(std::abs(int(wave.Samples.back())), 330);
    }
}

TEST(DataSetAudio, LoopsRunOnSeamlesslyAtASteadyLevel) {
    REQUIRE_AUDIO_DATA();
    for (const std::string& file : AllSamples()) {
        if (!IsLoop(file))
            continue;
        SCOPED_TRACE(file);
        TWave wave = LoadWave(file);
        const std::vector<int16_t>& s = wave.Samples;
        ASSERT_GT(s.size(), 22050u / 2);
        // The step from the last frame to the first is an ordinary step of the signal.
        std::vector<int> steps;
        for (size_t i = 1; i < s.size(); ++i)
            steps.push_back(std::abs(int(s[i]) - int(s[i - 1])));
        std::sort(steps.begin(), steps.end());
        const int seam = std::abs(int(s.front()) - int(s.back()));
        EXPECT_LE(seam, steps[steps.size() * 9 / 10]) << "seam step " << seam;
        // Steady: every tenth of a second is within 4 dB of the whole (the game shifts the
        // playback rate with speed, so a swell inside the loop would pump).
        const double whole = Rms(s, 0, s.size());
        const size_t window = 2205;
        for (size_t at = 0; at + window <= s.size(); at += window) {
            double part = Rms(s, at, at + window);
            EXPECT_NEAR(20 * std::log10(part / whole), 0.0, 4.0) << "at frame " << at;
        }
    }
}

TEST(DataSetAudio, EveryCarHasItsOwnEngineAndHorn) {
    REQUIRE_AUDIO_DATA();
    for (const char* kind : {"engine", "horn"}) {
        std::vector<std::vector<int16_t>> seen;
        for (const char* car : CARS) {
            TWave wave = LoadWave(std::string("cars/") + car + "/" + kind + ".wav");
            for (const auto& other : seen)
                EXPECT_NE(wave.Samples, other) << car << " " << kind << " repeats another car's";
            seen.push_back(wave.Samples);
        }
    }
}

namespace {

struct TMusic {
    std::unique_ptr<openmpt_module, void (*)(openmpt_module*)> Module{nullptr, openmpt_module_destroy};
    std::vector<std::string> Log;
};

void Collect(const char* message, void* user) {
    static_cast<TMusic*>(user)->Log.push_back(message);
}

std::unique_ptr<TMusic> LoadMusic() {
    auto music = std::make_unique<TMusic>();
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(DataDir() + "music/music.xm", bytes)) {
        ADD_FAILURE() << "cannot read music/music.xm";
        return music;
    }
    music->Module.reset(openmpt_module_create_from_memory2(bytes.data(), bytes.size(), Collect, music.get(),
                                                           nullptr, nullptr, nullptr, nullptr, nullptr));
    return music;
}

struct TPiece {
    int First; // first order
    int End;   // one past its last order
    bool Drums;
};
// Start, menu, three race themes, mission failed.
const TPiece PIECES[] = {{0, 1, true},   {1, 16, true},   {16, 38, true},
                         {38, 54, true}, {54, 178, true}, {178, 180, false}};

int Command(openmpt_module* mod, int pattern, int row, int channel, int command) {
    return openmpt_module_get_pattern_row_channel_command(mod, pattern, row, channel, command);
}

// The tempo a piece sets on its first row (an F effect of 32 or more); 0 when none.
int TempoAtStart(openmpt_module* mod, int order) {
    const int pattern = openmpt_module_get_order_pattern(mod, order);
    for (int ch = 0; ch < openmpt_module_get_num_channels(mod); ++ch) {
        const char* text = openmpt_module_format_pattern_row_channel_command(mod, pattern, 0, ch,
                                                                             OPENMPT_MODULE_COMMAND_EFFECT);
        bool speed = text && std::string(text) == "F";
        openmpt_free_string(text);
        int value = Command(mod, pattern, 0, ch, OPENMPT_MODULE_COMMAND_PARAMETER);
        if (speed && value >= 32)
            return value;
    }
    return 0;
}

bool IsOrderJump(openmpt_module* mod, int pattern, int row, int channel) {
    const char* text = openmpt_module_format_pattern_row_channel_command(mod, pattern, row, channel,
                                                                         OPENMPT_MODULE_COMMAND_EFFECT);
    bool jump = text && std::string(text) == "B";
    openmpt_free_string(text);
    return jump;
}

} // namespace

TEST(DataSetAudio, MusicLoadsWithoutWarningsAndHoldsEveryPiece) {
    REQUIRE_AUDIO_DATA();
    auto music = LoadMusic();
    openmpt_module* mod = music->Module.get();
    ASSERT_NE(mod, nullptr);
    EXPECT_TRUE(music->Log.empty()) << music->Log.front();
    const int orders = openmpt_module_get_num_orders(mod);
    EXPECT_GE(orders, 179);
    EXPECT_EQ(orders, PIECES[5].End);
    EXPECT_GE(openmpt_module_get_num_instruments(mod), 8);
}

TEST(DataSetAudio, EachPieceLoopsBackToItsOwnFirstOrder) {
    REQUIRE_AUDIO_DATA();
    auto music = LoadMusic();
    openmpt_module* mod = music->Module.get();
    ASSERT_NE(mod, nullptr);
    const int channels = openmpt_module_get_num_channels(mod);
    for (const TPiece& piece : PIECES) {
        SCOPED_TRACE("piece at order " + std::to_string(piece.First));
        int jumps = 0;
        for (int order = piece.First; order < piece.End; ++order) {
            const int pattern = openmpt_module_get_order_pattern(mod, order);
            const int rows = openmpt_module_get_pattern_num_rows(mod, pattern);
            for (int row = 0; row < rows; ++row)
                for (int ch = 0; ch < channels; ++ch) {
                    if (!IsOrderJump(mod, pattern, row, ch))
                        continue;
                    ++jumps;
                    // The only jump: at the very end of the piece, back to its first order.
                    EXPECT_EQ(order, piece.End - 1);
                    EXPECT_EQ(row, rows - 1);
                    EXPECT_EQ(Command(mod, pattern, row, ch, OPENMPT_MODULE_COMMAND_PARAMETER), piece.First);
                }
        }
        EXPECT_EQ(jumps, 1);
    }
}

TEST(DataSetAudio, EveryPieceIsAudibleSteadyAndInTime) {
    REQUIRE_AUDIO_DATA();
    auto music = LoadMusic();
    openmpt_module* mod = music->Module.get();
    ASSERT_NE(mod, nullptr);
    openmpt_module_set_repeat_count(mod, -1);
    const int rate = 11025;
    for (const TPiece& piece : PIECES) {
        SCOPED_TRACE("piece at order " + std::to_string(piece.First));
        openmpt_module_set_position_order_row(mod, piece.First, 0);
        std::vector<float> x(size_t(rate) * 10);
        ASSERT_EQ(openmpt_module_read_float_mono(mod, rate, x.size(), x.data()), x.size());
        EXPECT_GE(openmpt_module_get_current_order(mod), piece.First);
        EXPECT_LT(openmpt_module_get_current_order(mod), piece.End);

        float peak = 0;
        for (float v : x)
            peak = std::max(peak, std::fabs(v));
        EXPECT_GT(peak, 0.1f);
        EXPECT_LT(peak, 1.0f) << "clipping";
        // No silent second anywhere in the first ten.
        for (size_t s = 0; s < 10; ++s) {
            double sum = 0;
            for (size_t i = s * rate; i < (s + 1) * size_t(rate); ++i)
                sum += double(x[i]) * x[i];
            EXPECT_GT(10 * std::log10(sum / rate + 1e-12), -40.0) << "second " << s;
        }
        if (!piece.Drums)
            continue;
        // In time: the onsets (rises of loudness over 30 ms windows in 10 ms steps) repeat from
        // bar to bar at the tempo the piece sets on its first row, far more than at an arbitrary
        // lag, and they repeat best at a whole number of half beats.
        const int bpm = TempoAtStart(mod, piece.First);
        ASSERT_GT(bpm, 0);
        const size_t hop = rate / 100, window = 3 * hop;
        std::vector<double> onset;
        double previous = 0;
        for (size_t at = 0; at + window <= x.size(); at += hop) {
            double e = 0;
            for (size_t i = at; i < at + window; ++i)
                e += double(x[i]) * x[i];
            e = std::sqrt(e / double(window));
            onset.push_back(std::max(0.0, e - previous));
            previous = e;
        }
        auto correlation = [&](size_t lag) {
            double sum = 0;
            for (size_t i = 0; i + lag < onset.size(); ++i)
                sum += onset[i] * onset[i + lag];
            return sum / double(onset.size() - lag);
        };
        std::vector<double> all;
        size_t strongest = 0;
        double strongestValue = -1;
        for (size_t lag = 20; lag <= 300; ++lag) { // 0.2 .. 3 s
            all.push_back(correlation(lag));
            if (all.back() > strongestValue) {
                strongestValue = all.back();
                strongest = lag;
            }
        }
        std::sort(all.begin(), all.end());
        const double median = all[all.size() / 2];
        const double halfBeat = 30.0 / bpm * 100; // in 10 ms steps
        const double bar = 8 * halfBeat;
        const double atBar = std::max(correlation(size_t(bar)), correlation(size_t(bar) + 1));
        EXPECT_GT(atBar, 2 * median) << "bar " << bar * 10 << " ms at " << bpm << " BPM";
        const double halves = double(strongest) / halfBeat;
        EXPECT_NEAR(double(strongest), std::round(halves) * halfBeat, 1.5)
            << "strongest repeat " << strongest * 10 << " ms at " << bpm << " BPM";
    }
}
