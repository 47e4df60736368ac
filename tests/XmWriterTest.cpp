// The XM writer, read back by libopenmpt (the player the game uses): header counts, cells, order
// jumps, sample data and tuning, and the format's limits.
#include "XmWriter.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct TLoaded {
    std::unique_ptr<openmpt_module, void (*)(openmpt_module*)> Module{nullptr, openmpt_module_destroy};
    std::vector<std::string> Log;
};

void Collect(const char* message, void* user) {
    static_cast<TLoaded*>(user)->Log.push_back(message);
}

std::unique_ptr<TLoaded> Load(const std::vector<uint8_t>& bytes) {
    auto loaded = std::make_unique<TLoaded>();
    loaded->Module.reset(openmpt_module_create_from_memory2(bytes.data(), bytes.size(), Collect, loaded.get(),
                                                            nullptr, nullptr, nullptr, nullptr, nullptr));
    return loaded;
}

constexpr double PI = 3.14159265358979323846;

// A sine of `cycles` whole cycles over `frames` frames: loops seamlessly.
TXmInstrument SineInstrument(int frames, int cycles) {
    TXmInstrument ins;
    ins.Name = "sine";
    for (int i = 0; i < frames; ++i)
        ins.Sample.Data.push_back(int16_t(std::lround(20000 * std::sin(2 * PI * cycles * i / frames))));
    ins.Sample.Loop = TXmLoop::Forward;
    ins.Sample.LoopLength = uint32_t(frames);
    return ins;
}

TXmModule OneNote(uint8_t note, TXmInstrument ins) {
    TXmModule m;
    m.Channels = 2;
    m.Orders = {0};
    m.Patterns.emplace_back(64, 2);
    m.Patterns[0].Cell(0, 0).Note = note;
    m.Patterns[0].Cell(0, 0).Instrument = 1;
    m.Instruments.push_back(std::move(ins));
    return m;
}

// Frequency of a steady tone by counting upward zero crossings.
double MeasuredFrequency(const std::vector<float>& x, int rate) {
    int first = -1, last = -1, crossings = 0;
    for (size_t i = 1; i < x.size(); ++i)
        if (x[i - 1] < 0 && x[i] >= 0) {
            if (first < 0)
                first = int(i);
            else
                ++crossings;
            last = int(i);
        }
    return crossings > 0 ? double(crossings) * rate / double(last - first) : 0;
}

std::vector<float> Render(openmpt_module* mod, int rate, double seconds) {
    std::vector<float> x(size_t(rate * seconds));
    size_t got = openmpt_module_read_float_mono(mod, rate, x.size(), x.data());
    x.resize(got);
    return x;
}

} // namespace

TEST(XmWriter, HeaderCountsAndCellsReadBack) {
    TXmModule m;
    m.Name = "test song";
    m.Channels = 4;
    m.Orders = {1, 0, 1};
    m.Patterns.emplace_back(16, 4);
    m.Patterns.emplace_back(32, 4);
    m.Instruments.push_back(SineInstrument(256, 1));
    m.Instruments.push_back(SineInstrument(256, 2));
    TXmCell& c = m.Patterns[1].Cell(5, 3);
    c.Note = 61; // C-5
    c.Instrument = 2;
    c.Volume = XmVolume(40);
    c.Effect = 0x0A; // Axy: volume slide, an effect whose parameter must survive
    c.Param = 0x37;
    m.Patterns[0].Cell(15, 0).Note = XM_KEY_OFF;

    auto loaded = Load(EncodeXM(m));
    openmpt_module* mod = loaded->Module.get();
    ASSERT_NE(mod, nullptr);
    EXPECT_TRUE(loaded->Log.empty()) << loaded->Log.front();
    EXPECT_EQ(openmpt_module_get_num_orders(mod), 3);
    EXPECT_EQ(openmpt_module_get_num_patterns(mod), 2);
    EXPECT_EQ(openmpt_module_get_num_instruments(mod), 2);
    EXPECT_EQ(openmpt_module_get_num_channels(mod), 4);
    EXPECT_EQ(openmpt_module_get_order_pattern(mod, 0), 1);
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(mod, 0), 16);
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(mod, 1), 32);

    auto at = [&](int pattern, int row, int channel, int command) {
        return int(openmpt_module_get_pattern_row_channel_command(mod, pattern, row, channel, command));
    };
    EXPECT_EQ(at(1, 5, 3, OPENMPT_MODULE_COMMAND_NOTE), 61 + 12); // libopenmpt counts an octave further
    EXPECT_EQ(at(1, 5, 3, OPENMPT_MODULE_COMMAND_INSTRUMENT), 2);
    EXPECT_EQ(at(1, 5, 3, OPENMPT_MODULE_COMMAND_VOLUME), 40);
    EXPECT_EQ(at(1, 5, 3, OPENMPT_MODULE_COMMAND_PARAMETER), 0x37);
    EXPECT_EQ(at(1, 5, 2, OPENMPT_MODULE_COMMAND_NOTE), 0); // packed empty neighbours stay empty
    EXPECT_EQ(at(1, 6, 3, OPENMPT_MODULE_COMMAND_NOTE), 0);
    EXPECT_NE(at(0, 15, 0, OPENMPT_MODULE_COMMAND_NOTE), 0); // key off is kept
}

TEST(XmWriter, OrderJumpGoesToTheNamedOrder) {
    // Orders 0, 1, 2; the end of order 2 jumps back to order 1, never to 0.
    TXmModule m;
    m.Channels = 2;
    m.Speed = 1;
    m.Bpm = 255;
    m.Orders = {0, 1, 2};
    for (int i = 0; i < 3; ++i)
        m.Patterns.emplace_back(8, 2);
    m.Patterns[2].Cell(7, 1).Effect = XM_FX_ORDER_JUMP;
    m.Patterns[2].Cell(7, 1).Param = 1;
    auto loaded = Load(EncodeXM(m));
    openmpt_module* mod = loaded->Module.get();
    ASSERT_NE(mod, nullptr);
    openmpt_module_set_repeat_count(mod, -1);
    std::vector<int> visited;
    std::vector<float> chunk(64);
    for (int i = 0; i < 400; ++i) {
        openmpt_module_read_float_mono(mod, 8000, chunk.size(), chunk.data());
        int order = openmpt_module_get_current_order(mod);
        if (visited.empty() || visited.back() != order)
            visited.push_back(order);
    }
    ASSERT_GE(visited.size(), 6u);
    EXPECT_EQ(visited[0], 0);
    for (size_t i = 1; i < visited.size(); ++i)
        EXPECT_NE(visited[i], 0) << "jumped back to order 0 at step " << i;
}

TEST(XmWriter, TuningPlaysTheSampleAtTheRateItReports) {
    // 64 frames per cycle, meant for about 22050 Hz: C-4 must sound at the reported rate / 64.
    TXmInstrument ins = SineInstrument(64 * 40, 40);
    const double rate = XmTuning(22050, ins.Sample.RelativeNote, ins.Sample.Finetune);
    EXPECT_NEAR(1200 * std::log2(rate / 22050), 0.0, 3.2); // within 1/32 semitone of the wish
    auto loaded = Load(EncodeXM(OneNote(49, ins)));
    ASSERT_NE(loaded->Module, nullptr);
    std::vector<float> x = Render(loaded->Module.get(), 48000, 1.0);
    EXPECT_NEAR(1200 * std::log2(MeasuredFrequency(x, 48000) / (rate / 64)), 0.0, 0.5); // cents

    // An octave up is twice the frequency.
    auto higher = Load(EncodeXM(OneNote(61, ins)));
    std::vector<float> y = Render(higher->Module.get(), 48000, 1.0);
    EXPECT_NEAR(1200 * std::log2(MeasuredFrequency(y, 48000) / (2 * rate / 64)), 0.0, 0.5);
}

TEST(XmWriter, TuningBoundaries) {
    int8_t note, fine;
    EXPECT_DOUBLE_EQ(XmTuning(8363, note, fine), 8363);
    EXPECT_EQ(note, 0);
    EXPECT_EQ(fine, 0);
    XmTuning(16726, note, fine);
    EXPECT_EQ(note, 12);
    EXPECT_EQ(fine, 0);
    XmTuning(22050, note, fine); // 16.78 semitones: 17 less 3/16
    EXPECT_EQ(note, 17);
    EXPECT_EQ(fine, -24);
    XmTuning(8363 * std::exp2(0.5 / 12), note, fine); // a half semitone rounds up to the next note
    EXPECT_EQ(note, 1);
    EXPECT_EQ(fine, -64);
    XmTuning(8363 * std::exp2(-0.99 / 12), note, fine);
    EXPECT_EQ(note, -1);
    EXPECT_EQ(fine % 8, 0);
    EXPECT_THROW(XmTuning(0, note, fine), std::invalid_argument);
    EXPECT_THROW(XmTuning(1e12, note, fine), std::invalid_argument);
}

TEST(XmWriter, RefusesModulesBeyondTheFormat) {
    auto valid = [] {
        TXmModule m;
        m.Channels = 2;
        m.Orders = {0};
        m.Patterns.emplace_back(4, 2);
        m.Instruments.push_back(SineInstrument(64, 1));
        return m;
    };
    EXPECT_NO_THROW(EncodeXM(valid()));

    TXmModule m = valid();
    m.Orders.clear();
    EXPECT_THROW(EncodeXM(m), std::invalid_argument);
    m = valid();
    m.Orders.assign(257, 0);
    EXPECT_THROW(EncodeXM(m), std::invalid_argument);
    m = valid();
    m.Orders = {1};
    EXPECT_THROW(EncodeXM(m), std::invalid_argument); // names a missing pattern
    m = valid();
    m.Patterns[0].Cell(0, 0).Note = 98;
    EXPECT_THROW(EncodeXM(m), std::invalid_argument);
    m = valid();
    m.Patterns[0].Cell(0, 0).Instrument = 2;
    EXPECT_THROW(EncodeXM(m), std::invalid_argument);
    m = valid();
    m.Patterns.emplace_back(4, 3); // wrong channel count
    EXPECT_THROW(EncodeXM(m), std::invalid_argument);
    m = valid();
    m.Patterns[0] = TXmPattern(257, 2);
    EXPECT_THROW(EncodeXM(m), std::invalid_argument);
    m = valid();
    for (uint16_t i = 0; i < 13; ++i)
        m.Instruments[0].VolumeEnvelope.Points.push_back({i, 64});
    EXPECT_THROW(EncodeXM(m), std::invalid_argument);
    m = valid();
    m.Instruments[0].VolumeEnvelope.Points = {{0, 64}, {0, 32}}; // ticks must rise
    EXPECT_THROW(EncodeXM(m), std::invalid_argument);
    m = valid();
    m.Instruments[0].Sample.LoopStart = 10;
    m.Instruments[0].Sample.LoopLength = 60; // 70 > 64 frames
    EXPECT_THROW(EncodeXM(m), std::invalid_argument);
    m = valid();
    m.Channels = 33;
    EXPECT_THROW(EncodeXM(m), std::invalid_argument);
}

TEST(XmWriter, EnvelopeAndSilentInstrumentLoadCleanly) {
    TXmModule m = OneNote(49, SineInstrument(256, 4));
    m.Instruments[0].VolumeEnvelope = {{{0, 0}, {4, 64}, {20, 32}}, 2};
    m.Instruments[0].Fadeout = 512;
    m.Instruments.push_back(TXmInstrument{}); // no sample at all
    auto loaded = Load(EncodeXM(m));
    ASSERT_NE(loaded->Module, nullptr);
    EXPECT_TRUE(loaded->Log.empty()) << loaded->Log.front();
    EXPECT_EQ(openmpt_module_get_num_instruments(loaded->Module.get()), 2);
    std::vector<float> x = Render(loaded->Module.get(), 48000, 0.5);
    float peak = 0;
    for (float v : x)
        peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.05f);
}
