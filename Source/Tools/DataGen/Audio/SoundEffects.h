// The game's samples, synthesised: the one-shot effects (menu, countdown, checkpoint, crashes,
// splashes, screams, cargo, city map), the looping skid and the per-car engine loops and horns.
// Every sound is made from seeded noise and oscillators, so the bytes repeat from run to run.
#pragma once

#include "Synth.h"

#include <string>
#include <vector>

constexpr int SFX_RATE = 22050; // frames per second of every generated sample

struct TGeneratedSound {
    std::string Path; // below data/, e.g. "sound/checkpoint.wav"
    TSignal Signal;   // mono, -1..1
    bool Loop;        // meant to be played looping: the last frame runs on into the first
};

// All samples, in a fixed order.
std::vector<TGeneratedSound> MakeSoundEffects();
std::vector<TGeneratedSound> MakeCarSounds();
