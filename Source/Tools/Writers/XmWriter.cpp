#include "XmWriter.h"

#include "ByteWriter.h"

#include <cmath>
#include <stdexcept>

namespace {

void FixedString(TByteWriter& w, const std::string& s, size_t size) {
    for (size_t i = 0; i < size; ++i)
        w.U8(i < s.size() ? uint8_t(s[i]) : 0);
}

void Fail(const std::string& what) {
    throw std::invalid_argument("XM: " + what);
}

void WritePattern(TByteWriter& w, const TXmPattern& p, int index, int channels, size_t instruments) {
    const std::string name = "pattern " + std::to_string(index);
    if (p.Rows < 1 || p.Rows > 256)
        Fail(name + " has " + std::to_string(p.Rows) + " rows (1..256)");
    if (p.Channels != channels || p.Cells.size() != size_t(p.Rows) * size_t(channels))
        Fail(name + " does not have the module's channel count");
    TByteWriter data;
    for (const TXmCell& c : p.Cells) {
        if (c.Note > XM_KEY_OFF)
            Fail(name + " has note " + std::to_string(c.Note));
        if (c.Instrument > instruments)
            Fail(name + " uses instrument " + std::to_string(c.Instrument));
        // Packed form: a flag byte with bit 7 set says which of the five fields follow.
        uint8_t flags = 0x80;
        if (c.Note)
            flags |= 0x01;
        if (c.Instrument)
            flags |= 0x02;
        if (c.Volume)
            flags |= 0x04;
        if (c.Effect)
            flags |= 0x08;
        if (c.Param)
            flags |= 0x10;
        data.U8(flags);
        if (c.Note)
            data.U8(c.Note);
        if (c.Instrument)
            data.U8(c.Instrument);
        if (c.Volume)
            data.U8(c.Volume);
        if (c.Effect)
            data.U8(c.Effect);
        if (c.Param)
            data.U8(c.Param);
    }
    if (data.Size() > 0xFFFF)
        Fail(name + " packs to more than 65535 bytes");
    w.U32(9); // pattern header length
    w.U8(0);  // packing type
    w.U16(uint16_t(p.Rows));
    w.U16(uint16_t(data.Size()));
    w.Raw(data.Bytes.data(), data.Size());
}

void WriteEnvelopePoints(TByteWriter& w, const TXmEnvelope& e) {
    for (size_t i = 0; i < 12; ++i) {
        w.U16(i < e.Points.size() ? e.Points[i].Tick : 0);
        w.U16(i < e.Points.size() ? e.Points[i].Value : 0);
    }
}

void WriteInstrument(TByteWriter& w, const TXmInstrument& ins, int index) {
    const std::string name = "instrument " + std::to_string(index + 1);
    const TXmEnvelope& env = ins.VolumeEnvelope;
    const TXmSample& s = ins.Sample;
    if (env.Points.size() > 12)
        Fail(name + " has more than 12 envelope points");
    for (size_t i = 0; i < env.Points.size(); ++i) {
        if (env.Points[i].Value > 64)
            Fail(name + " has an envelope value above 64");
        if (i > 0 && env.Points[i].Tick <= env.Points[i - 1].Tick)
            Fail(name + " has envelope ticks that do not rise");
    }
    if (env.Sustain >= int(env.Points.size()))
        Fail(name + " has its sustain point outside the envelope");
    if (s.Volume > 64)
        Fail(name + " has a sample volume above 64");
    if (ins.Fadeout > 0xFFF)
        Fail(name + " has a fadeout above 4095");
    if (s.Loop != TXmLoop::None &&
        (s.LoopLength == 0 || uint64_t(s.LoopStart) + s.LoopLength > s.Data.size()))
        Fail(name + " has a loop outside its sample");
    if (s.Data.size() > 0x3FFFFFFF)
        Fail(name + " has too long a sample");
    const bool hasSample = !s.Data.empty();

    w.U32(hasSample ? 263 : 29); // instrument header size
    FixedString(w, ins.Name, 22);
    w.U8(0); // type
    w.U16(hasSample ? 1 : 0);
    if (!hasSample)
        return;
    w.U32(40);                   // sample header size
    for (int k = 0; k < 96; ++k) // every note plays sample 0
        w.U8(0);
    WriteEnvelopePoints(w, env);
    WriteEnvelopePoints(w, TXmEnvelope{}); // panning envelope unused
    w.U8(uint8_t(env.Points.size()));
    w.U8(0);
    w.U8(uint8_t(env.Sustain < 0 ? 0 : env.Sustain));
    w.U8(0); // volume loop start
    w.U8(0); // volume loop end
    w.U8(0); // panning sustain, loop start, loop end
    w.U8(0);
    w.U8(0);
    uint8_t volumeType = env.Points.empty() ? 0 : 1;
    if (!env.Points.empty() && env.Sustain >= 0)
        volumeType |= 2;
    w.U8(volumeType);
    w.U8(0); // panning type
    w.U8(0); // vibrato type, sweep, depth, rate
    w.U8(0);
    w.U8(0);
    w.U8(0);
    w.U16(ins.Fadeout);
    for (int k = 0; k < 22; ++k) // reserved
        w.U8(0);

    // Sample header: lengths in bytes (two per 16-bit frame).
    w.U32(uint32_t(s.Data.size() * 2));
    w.U32(s.Loop == TXmLoop::None ? 0 : s.LoopStart * 2);
    w.U32(s.Loop == TXmLoop::None ? 0 : s.LoopLength * 2);
    w.U8(s.Volume);
    w.U8(uint8_t(s.Finetune));
    w.U8(uint8_t(uint8_t(s.Loop) | 0x10)); // 0x10: 16-bit data
    w.U8(s.Panning);
    w.U8(uint8_t(s.RelativeNote));
    w.U8(0);
    FixedString(w, ins.Name, 22);
    // Sample data is stored as differences between neighbours (wrapping 16-bit arithmetic).
    int16_t previous = 0;
    for (int16_t v : s.Data) {
        w.U16(uint16_t(uint16_t(v) - uint16_t(previous)));
        previous = v;
    }
}

} // namespace

std::vector<uint8_t> EncodeXM(const TXmModule& m) {
    if (m.Channels < 1 || m.Channels > 32)
        Fail("channel count " + std::to_string(m.Channels) + " (1..32)");
    if (m.Orders.empty() || m.Orders.size() > 256)
        Fail("order count " + std::to_string(m.Orders.size()) + " (1..256)");
    if (m.Patterns.empty() || m.Patterns.size() > 256)
        Fail("pattern count " + std::to_string(m.Patterns.size()) + " (1..256)");
    if (m.Instruments.size() > 128)
        Fail("instrument count " + std::to_string(m.Instruments.size()) + " (0..128)");
    if (m.RestartPosition >= m.Orders.size())
        Fail("restart position outside the order list");
    if (m.Speed < 1 || m.Speed > 31 || m.Bpm < 32 || m.Bpm > 255)
        Fail("initial speed or tempo out of range");
    for (size_t i = 0; i < m.Orders.size(); ++i)
        if (m.Orders[i] >= m.Patterns.size())
            Fail("order " + std::to_string(i) + " names missing pattern " + std::to_string(m.Orders[i]));

    TByteWriter w;
    w.Raw("Extended Module: ", 17);
    FixedString(w, m.Name, 20);
    w.U8(0x1A);
    FixedString(w, "Kalmirov kalgen", 20);
    w.U16(0x0104);
    w.U32(276); // header size, counted from this field
    w.U16(uint16_t(m.Orders.size()));
    w.U16(m.RestartPosition);
    w.U16(uint16_t(m.Channels));
    w.U16(uint16_t(m.Patterns.size()));
    w.U16(uint16_t(m.Instruments.size()));
    w.U16(1); // linear frequency table
    w.U16(m.Speed);
    w.U16(m.Bpm);
    for (size_t i = 0; i < 256; ++i)
        w.U8(i < m.Orders.size() ? m.Orders[i] : 0);
    for (size_t i = 0; i < m.Patterns.size(); ++i)
        WritePattern(w, m.Patterns[i], int(i), m.Channels, m.Instruments.size());
    for (size_t i = 0; i < m.Instruments.size(); ++i)
        WriteInstrument(w, m.Instruments[i], int(i));
    return std::move(w.Bytes);
}

double XmTuning(double rateForC4, int8_t& relativeNote, int8_t& finetune) {
    if (!(rateForC4 > 0))
        throw std::invalid_argument("XM: sample rate for C-4 must be positive");
    // On the linear table C-4 with relative note 0 and finetune 0 plays at 8363 Hz; one semitone
    // is 128 finetune steps, of which players use every eighth.
    const double semitones = 12.0 * std::log2(rateForC4 / 8363.0);
    long steps = 8 * std::lround(semitones * 16.0);
    long note = steps >= 0 ? (steps + 64) / 128 : -((-steps + 63) / 128); // nearest: finetune -64..64
    long fine = steps - note * 128;
    if (note < -96 || note > 95 || fine > 127)
        throw std::invalid_argument("XM: sample tuning out of range");
    relativeNote = int8_t(note);
    finetune = int8_t(fine);
    return 8363.0 * std::exp2(double(steps) / (12.0 * 128.0));
}

double XmTuningGridRate(double rateForC4) {
    int8_t note, fine;
    return XmTuning(rateForC4, note, fine);
}
