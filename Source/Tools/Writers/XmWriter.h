// XM (FastTracker II extended module) output: the one music format the game plays. A module is
// patterns of note cells, an order list that strings them together, and instruments of one sample
// each with an optional volume envelope. Samples are 16-bit; frequencies use the linear table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One cell of a pattern: zero fields are "nothing here".
struct TXmCell {
    uint8_t Note = 0;       // 1..96 (1 = C-0, 49 = C-4), 97 = key off
    uint8_t Instrument = 0; // 1-based
    uint8_t Volume = 0;     // volume column byte: 0x10..0x50 sets volume 0..64
    uint8_t Effect = 0;     // effect letter as number (0x0B order jump, 0x0F speed/tempo, ...)
    uint8_t Param = 0;
};

constexpr uint8_t XM_KEY_OFF = 97;
constexpr uint8_t XM_FX_ARPEGGIO = 0x00;
constexpr uint8_t XM_FX_PORTA_UP = 0x01;
constexpr uint8_t XM_FX_PORTA_DOWN = 0x02;
constexpr uint8_t XM_FX_VIBRATO = 0x04;
constexpr uint8_t XM_FX_ORDER_JUMP = 0x0B;
constexpr uint8_t XM_FX_SET_VOLUME = 0x0C;
constexpr uint8_t XM_FX_PATTERN_BREAK = 0x0D;
constexpr uint8_t XM_FX_SPEED = 0x0F; // below 32: ticks per row; 32 and above: BPM

// The volume column byte that sets a volume of 0..64.
inline uint8_t XmVolume(int volume) {
    return uint8_t(0x10 + (volume < 0 ? 0 : volume > 64 ? 64 : volume));
}

struct TXmPattern {
    TXmPattern(int rows, int channels)
        : Rows(rows), Channels(channels), Cells(size_t(rows) * size_t(channels)) {}
    TXmCell& Cell(int row, int channel) { return Cells.at(size_t(row) * size_t(Channels) + size_t(channel)); }
    const TXmCell& Cell(int row, int channel) const {
        return Cells.at(size_t(row) * size_t(Channels) + size_t(channel));
    }

    int Rows;
    int Channels;
    std::vector<TXmCell> Cells; // row by row
};

struct TXmEnvelope {
    struct TPoint {
        uint16_t Tick;  // ticks since the note started, rising
        uint16_t Value; // 0..64
    };
    std::vector<TPoint> Points; // at most 12; none means the envelope is off
    int Sustain = -1;           // point index held until key off, -1 for none
};

enum class TXmLoop : uint8_t { None = 0, Forward = 1, PingPong = 2 };

struct TXmSample {
    std::vector<int16_t> Data;
    TXmLoop Loop = TXmLoop::None;
    uint32_t LoopStart = 0;  // frames
    uint32_t LoopLength = 0; // frames
    uint8_t Volume = 64;     // 0..64
    uint8_t Panning = 128;   // 0 left .. 255 right
    int8_t RelativeNote = 0; // semitones added to the played note
    int8_t Finetune = 0;     // 1/128 semitone
};

struct TXmInstrument {
    std::string Name; // at most 22 characters are kept
    TXmSample Sample;
    TXmEnvelope VolumeEnvelope;
    uint16_t Fadeout = 0; // volume fade per tick after key off (0..4095)
};

struct TXmModule {
    std::string Name;   // at most 20 characters are kept
    int Channels = 8;   // 1..32
    uint16_t Speed = 6; // ticks per row at start
    uint16_t Bpm = 125; // tempo at start
    uint16_t RestartPosition = 0;
    std::vector<uint8_t> Orders; // pattern numbers, 1..256 entries
    std::vector<TXmPattern> Patterns;
    std::vector<TXmInstrument> Instruments;
};

// The whole file. Throws std::invalid_argument naming what breaks the format's limits (order or
// pattern count, a pattern of the wrong channel count, a note or instrument out of range, ...).
std::vector<uint8_t> EncodeXM(const TXmModule& module);

// Tuning of a sample whose natural pitch is reached at `rateForC4` frames per second, i.e. the
// rate at which note C-4 must play it: the sample's relative note and finetune on the linear table.
// Players honour finetune only in sixteenths of a semitone, so it is rounded to one; the result is
// the rate C-4 will really play at (within 1/32 semitone of the one asked for).
double XmTuning(double rateForC4, int8_t& relativeNote, int8_t& finetune);
// The nearest rate that XmTuning represents exactly.
double XmTuningGridRate(double rateForC4);
