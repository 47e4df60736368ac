// Fuzz target: the WAV reader must reject any damaged file with a message, never crash, and what it
// accepts must play in the mixer.
#include "../tests/SoundTestData.h"
#include "uErrors.h"
#include "uMixer.h"
#include "uWav.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    TWave wave;
    try {
        wave = ParseWAV(bytes, "fuzz.wav");
    } catch (const EFormatError& e) {
        if (std::string(e.what()).rfind("fuzz.wav: ", 0) != 0)
            __builtin_trap();
        return 0;
    }
    if ((wave.Channels != 1 && wave.Channels != 2) || wave.Rate <= 0 ||
        wave.Samples.size() != wave.Frames() * size_t(wave.Channels))
        __builtin_trap();
    TMixer mixer(8000);
    int channel = mixer.Play(mixer.AddSample(std::move(wave)), 0);
    mixer.SetLoop(channel, size % 2 == 0);
    float out[2 * 64];
    mixer.Render(out, 64);
    for (float v : out)
        if (!(v >= -1.0f && v <= 1.0f))
            __builtin_trap();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    using namespace sounddata;
    return {
        EncodeWAV(22050, 1, 16, Samples16(Sine(440, 22050, 64))),
        EncodeWAV(8000, 2, 8, std::vector<uint8_t>(40, 200)),
        EncodeWAV(44100, 2, 16, Samples16({1, 2, 3, 4, 5, 6})),
    };
}
