// TMixer: the game's software mixer — 48 sample channels and one music module mixed into stereo
// float frames at the output rate. Owns the loaded samples; refers to the current module without
// owning it. Thread-safe: the output device pulls Render on its own thread while the game thread
// plays, stops and retunes channels.
#pragma once

#include "uWav.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <atomic>
#include <mutex>
#include <vector>

class TModule;

// What an output device pulls its frames from (on the device's thread).
class TAudioSource {
  public:
    virtual ~TAudioSource() = default;
    // Fills `frames` interleaved stereo frames, each value within -1..1.
    virtual void Render(float* out, size_t frames) = 0;
};

class TMixer : public TAudioSource {
  public:
    static constexpr int CHANNEL_COUNT = 48;
    // Channels below this number are only played by number, never picked as a free channel.
    static constexpr int RESERVED_CHANNELS = 4;
    static constexpr int FREE_CHANNEL = -1;
    static constexpr int MAX_FREQUENCY = 1000000; // Hz
    // Volume and master volume changes glide over this many milliseconds so they never click.
    static constexpr double RAMP_MS = 5.0;

    explicit TMixer(int outputRate);

    int Rate() const;
    // Follows the device's rate; playing channels keep their place and pitch.
    void SetRate(int outputRate);

    // Keeps the sample until the mixer is destroyed; returns its id (0, 1, 2 ...).
    int AddSample(TWave wave);
    int SampleCount() const;

    // Starts the sample from its beginning at volume 255, its own rate and without looping.
    // `channel` is a channel number or FREE_CHANNEL (the lowest idle channel from RESERVED_CHANNELS
    // up). Returns the channel used, or -1 when the sample or channel is unknown or every free
    // channel is busy.
    int Play(int sample, int channel);
    void Stop(int channel);
    bool IsPlaying(int channel) const;
    void SetLoop(int channel, bool loop);
    void SetVolume(int channel, int volume);       // 0..255, clamped
    void SetFrequency(int channel, int frequency); // Hz, clamped to 0..MAX_FREQUENCY
    int Volume(int channel) const;
    int Frequency(int channel) const;

    // Master volumes 0..255 (clamped). The effects master scales every sample channel; the music
    // master scales the module.
    void SetSFXMasterVolume(int volume);
    void SetMusicMasterVolume(int volume);
    int SFXMasterVolume() const;
    int MusicMasterVolume() const;

    // The module the mixer plays, or nullptr for none. The caller keeps it alive while it is set
    // and reaches it only through WithMusic while it is set.
    void SetMusic(TModule* module);
    // Runs `action` on the current module under the mixer's lock (the device thread renders it).
    template <class F> void WithMusic(F&& action) {
        std::lock_guard<std::mutex> lock(Mutex);
        action(Music);
    }

    void Render(float* out, size_t frames) override;
    // Share of one core the mixing took over its recent calls, in percent (for the debug overlay).
    float CpuUsage() const { return Usage.load(); }

  private:
    struct TChannel {
        const TWave* Wave = nullptr;
        uint64_t Position = 0; // frames into the wave, 32.32 fixed point
        int Volume = 255;
        int Frequency = 0;
        bool Loop = false;
        bool Playing = false;
        bool Fresh = false; // just started: takes its gain at once instead of gliding to it
        float Gain = 0;     // gain in effect now, including the 1/32768 sample scale; glides to its target
        float LastL = 0, LastR = 0; // last output, handed to the de-click tail when cut off
    };

    bool ValidChannel(int channel) const { return channel >= 0 && channel < CHANNEL_COUNT; }
    void Cut(TChannel& channel);
    void MixChannel(TChannel& channel, float* out, size_t frames);
    void RenderBlock(float* out, size_t frames);

    mutable std::mutex Mutex;
    int OutputRate = 1;
    int RampFrames = 1;
    std::vector<std::unique_ptr<TWave>> Samples;
    TChannel Channels[CHANNEL_COUNT];
    int SFXMaster = 255, MusicMaster = 255;
    float MusicGain = 1.0f;
    float DeclickL = 0, DeclickR = 0, DeclickDecay = 0;
    TModule* Music = nullptr;
    std::vector<float> MusicBuffer;
    std::atomic<float> Usage{0};
};
