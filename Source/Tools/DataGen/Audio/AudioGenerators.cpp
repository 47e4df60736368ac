// Registers the sound and music generators: every sample as 16-bit mono WAV, the module as XM.
#include "DataGen.h"
#include "Music.h"
#include "SoundEffects.h"
#include "WavWriter.h"

namespace {

void GenerateSounds(const TGenContext& context) {
    for (auto* make : {&MakeSoundEffects, &MakeCarSounds})
        for (const TGeneratedSound& sound : make())
            context.Write(sound.Path, EncodeWAV(SFX_RATE, 1, ToPCM16(sound.Signal)));
}

void GenerateMusic(const TGenContext& context) {
    context.Write("music/music.xm", EncodeXM(MakeMusic()));
}

} // namespace

KAL_GENERATOR("sounds", GenerateSounds);
KAL_GENERATOR("music", GenerateMusic);
