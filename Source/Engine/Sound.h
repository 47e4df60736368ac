// TSound: the program-wide sound wrapper — our mixer on the sound device, two master volumes kept
// in step with the settings, the loaded samples and music modules, and the one current song.
// Owns the mixer, the output device and every module it loaded.
#pragma once

#include "uAudioOutput.h"
#include "uMixer.h"
#include "uMusic.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// "Any free channel" for PlaySample: the lowest idle channel from 4 up.
constexpr int32_t FSOUND_FREE = TMixer::FREE_CHANNEL;

// Where the two master volumes live between runs; the game's settings implement it, so the engine
// never needs to know them.
class TSoundSettings {
  public:
    virtual ~TSoundSettings() = default;
    virtual int32_t StoredSFXVolume() const = 0;
    virtual int32_t StoredMusicVolume() const = 0;
    virtual void StoreSFXVolume(int32_t volume) = 0;
    virtual void StoreMusicVolume(int32_t volume) = 0;
};

// True when "-ns" (start without sound output) is the first or second program argument.
bool NoSoundRequested(const std::vector<std::string>& args);

class TSound {
  public:
    // Create: runs Init. Both may be null (no settings to mirror; no output at all: silent).
    TSound(TSoundSettings* settings, std::unique_ptr<TAudioOutput> output);
    // Destroy: stops the song and closes the output.
    ~TSound();
    TSound(const TSound&) = delete;
    TSound& operator=(const TSound&) = delete;

    // Opens the output; on success reserves channels 0..3 and applies the stored volumes.
    bool Init();

    void SetSFXVolume(int32_t volume);
    void SetMusicVolume(int32_t volume);
    void SetChannelVolume(int32_t volume, int32_t channel);
    void SetChannelFrequency(int32_t frequency, int32_t channel);

    // Loads a WAV file (a game path such as ".\data\sounds\horn.wav"); raises "Sample %s not found."
    // when it is missing and an error naming the file when it is damaged. Returns a handle, never 0.
    uint32_t LoadSample(const std::string& fileName);
    // Loads a music module the same way; raises "Module %s not found." when it is missing.
    uint32_t LoadModule(const std::string& fileName);

    // `channel` is 0..47 or FSOUND_FREE. Skipped while the sound is not enabled.
    void PlaySample(uint32_t sample, int32_t channel, bool loop);
    bool IsPlaying(int32_t channel);
    void StopSound(int32_t channel);
    // Starts `module` (looping, at the music master volume) unless it already is the current song,
    // then jumps to the pattern order.
    void PlaySong(uint32_t module, int32_t order);
    int32_t GetOrder();
    int32_t GetRow();

    bool Enabled = false;     // the output opened; every play operation is skipped while false
    uint32_t CurrentSong = 0; // module handle last started by PlaySong; 0 when none
    int32_t SFXVolume = 0;    // effects master volume last applied, 0..255
    int32_t MusicVolume = 0;  // music master volume last applied, 0..255

    // The mixer under the wrapper; tests render it by hand.
    TMixer& Mixer() { return *SoundMixer; }

  private:
    TModule* Module(uint32_t handle) const;

    TSoundSettings* Settings;
    std::unique_ptr<TAudioOutput> Output;
    std::unique_ptr<TMixer> SoundMixer;
    std::vector<std::unique_ptr<TModule>> Modules;
    bool OutputOpen = false;
};

// The program's sound wrapper: the one installed at start-up, or a silent one that still loads
// samples and modules (so game code and its tests run without a sound set-up).
TSound& Sound();
// Installs the program's sound wrapper (not owned) and returns the previous one; nullptr
// restores the silent one.
TSound* SetSound(TSound* sound);
