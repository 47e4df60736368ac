// The music's instruments, synthesised: a drum kit of one-shot samples and looped melodic voices
// (bass, supersaw lead, pluck, pad, bell), each tuned so that note C-4 sounds at 261.6 Hz.
#pragma once

#include "XmWriter.h"

#include <vector>

// 1-based instrument numbers as the patterns use them; the order of MakeInstruments().
enum TInstrument : uint8_t {
    INS_KICK = 1,
    INS_SNARE,
    INS_HAT,
    INS_OPEN_HAT,
    INS_CRASH,
    INS_TOM,
    INS_BASS,
    INS_LEAD,
    INS_PLUCK,
    INS_PAD,
    INS_BELL,
    INS_COUNT = INS_BELL
};

std::vector<TXmInstrument> MakeInstruments();

// Loop of whole cycles for every voice: `voiceCycles` are the cycles each detuned voice makes in
// the loop (so all of them meet again at its end), and the loop is about `baseCycles` cycles of
// `baseFreq` long; its length is nudged so that the instrument's C-4 rate falls on the tuning grid
// of the XM players (see XmTuning), so the voice plays in tune. Harmonic amplitudes come from
// `harmonic(h)`; harmonics above `maxFreq` are left out, which keeps transposed notes from aliasing.
std::vector<float> HarmonicLoop(int rate, double baseFreq, int baseCycles,
                                const std::vector<int>& voiceCycles, double (*harmonic)(int), double maxFreq,
                                uint64_t seed, bool zeroPhase, double& actualBaseFreq);
