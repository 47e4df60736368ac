#include "uMixer.h"

#include <chrono>

#include "uMusic.h"

#include <algorithm>
#include <cmath>

namespace {

// Frames mixed per lock: short enough that the game thread never waits long for the device thread.
constexpr size_t BLOCK_FRAMES = 256;
// A channel cut off mid-wave leaves its last value behind, fading out over about this long.
constexpr double DECLICK_MS = 2.0;

int Clamp(int value, int low, int high) {
    return std::min(std::max(value, low), high);
}

} // namespace

TMixer::TMixer(int outputRate) : MusicBuffer(BLOCK_FRAMES * 2) { SetRate(outputRate); }

int TMixer::Rate() const {
    std::lock_guard<std::mutex> lock(Mutex);
    return OutputRate;
}

void TMixer::SetRate(int outputRate) {
    std::lock_guard<std::mutex> lock(Mutex);
    OutputRate = std::max(outputRate, 1);
    RampFrames = std::max(1, int(std::lround(OutputRate * RAMP_MS / 1000.0)));
    DeclickDecay = float(std::exp(-1.0 / std::max(1.0, OutputRate * DECLICK_MS / 1000.0)));
}

int TMixer::AddSample(TWave wave) {
    std::lock_guard<std::mutex> lock(Mutex);
    Samples.push_back(std::make_unique<TWave>(std::move(wave)));
    return int(Samples.size()) - 1;
}

int TMixer::SampleCount() const {
    std::lock_guard<std::mutex> lock(Mutex);
    return int(Samples.size());
}

void TMixer::Cut(TChannel& channel) {
    if (channel.Playing) {
        DeclickL += channel.LastL;
        DeclickR += channel.LastR;
    }
    channel.Playing = false;
    channel.LastL = channel.LastR = 0;
}

int TMixer::Play(int sample, int channel) {
    std::lock_guard<std::mutex> lock(Mutex);
    if (sample < 0 || sample >= int(Samples.size()))
        return -1;
    const TWave& wave = *Samples[size_t(sample)];
    if (channel == FREE_CHANNEL) {
        for (int c = RESERVED_CHANNELS; c < CHANNEL_COUNT && channel == FREE_CHANNEL; ++c)
            if (!Channels[c].Playing)
                channel = c;
        if (channel == FREE_CHANNEL)
            return -1;
    } else if (!ValidChannel(channel)) {
        return -1;
    }
    TChannel& c = Channels[channel];
    Cut(c);
    if (wave.Frames() == 0)
        return channel; // nothing to hear; the channel is idle at once
    c.Wave = &wave;
    c.Position = 0;
    c.Volume = 255;
    c.Frequency = wave.Rate;
    c.Loop = false;
    c.Playing = true;
    c.Fresh = true;
    return channel;
}

void TMixer::Stop(int channel) {
    std::lock_guard<std::mutex> lock(Mutex);
    if (ValidChannel(channel))
        Cut(Channels[channel]);
}

bool TMixer::IsPlaying(int channel) const {
    std::lock_guard<std::mutex> lock(Mutex);
    return ValidChannel(channel) && Channels[channel].Playing;
}

void TMixer::SetLoop(int channel, bool loop) {
    std::lock_guard<std::mutex> lock(Mutex);
    if (ValidChannel(channel))
        Channels[channel].Loop = loop;
}

void TMixer::SetVolume(int channel, int volume) {
    std::lock_guard<std::mutex> lock(Mutex);
    if (ValidChannel(channel))
        Channels[channel].Volume = Clamp(volume, 0, 255);
}

void TMixer::SetFrequency(int channel, int frequency) {
    std::lock_guard<std::mutex> lock(Mutex);
    if (ValidChannel(channel))
        Channels[channel].Frequency = Clamp(frequency, 0, MAX_FREQUENCY);
}

int TMixer::Volume(int channel) const {
    std::lock_guard<std::mutex> lock(Mutex);
    return ValidChannel(channel) ? Channels[channel].Volume : 0;
}

int TMixer::Frequency(int channel) const {
    std::lock_guard<std::mutex> lock(Mutex);
    return ValidChannel(channel) ? Channels[channel].Frequency : 0;
}

void TMixer::SetSFXMasterVolume(int volume) {
    std::lock_guard<std::mutex> lock(Mutex);
    SFXMaster = Clamp(volume, 0, 255);
}

void TMixer::SetMusicMasterVolume(int volume) {
    std::lock_guard<std::mutex> lock(Mutex);
    MusicMaster = Clamp(volume, 0, 255);
}

int TMixer::SFXMasterVolume() const {
    std::lock_guard<std::mutex> lock(Mutex);
    return SFXMaster;
}

int TMixer::MusicMasterVolume() const {
    std::lock_guard<std::mutex> lock(Mutex);
    return MusicMaster;
}

void TMixer::SetMusic(TModule* module) {
    std::lock_guard<std::mutex> lock(Mutex);
    Music = module;
}

void TMixer::MixChannel(TChannel& channel, float* out, size_t frames) {
    const TWave& wave = *channel.Wave;
    const int16_t* samples = wave.Samples.data();
    const size_t length = wave.Frames();
    const uint64_t end = uint64_t(length) << 32;
    const bool stereo = wave.Channels == 2;
    // 32.32 step per output frame; the phase runs on across volume and frequency changes, so a new
    // pitch every frame bends the tone without a jump in the wave.
    const uint64_t step = (uint64_t(uint32_t(channel.Frequency)) << 32) / uint64_t(OutputRate);

    const float target = float(channel.Volume * SFXMaster) / (255.0f * 255.0f * 32768.0f);
    const float slew = 1.0f / (32768.0f * float(RampFrames)); // full scale glides in RampFrames
    if (channel.Fresh) {
        channel.Gain = target;
        channel.Fresh = false;
    }
    float gain = channel.Gain;
    size_t rampLeft = 0;
    float rampStep = 0;
    if (gain != target) {
        rampLeft = size_t(std::ceil(std::fabs(target - gain) / slew));
        rampStep = (target - gain) / float(rampLeft);
    }

    uint64_t position = channel.Position;
    float left = 0, right = 0;
    for (size_t i = 0; i < frames; ++i) {
        if (rampLeft > 0) {
            gain = --rampLeft == 0 ? target : gain + rampStep;
        }
        const size_t index = size_t(position >> 32);
        const float fraction = float(uint32_t(position)) * (1.0f / 4294967296.0f);
        const bool hasNext = index + 1 < length;
        const size_t next = hasNext ? index + 1 : 0;
        // Past the last frame a looping wave continues from its start; a one-shot wave fades to 0.
        const bool nextAudible = hasNext || channel.Loop;
        if (stereo) {
            float a = samples[2 * index], b = nextAudible ? samples[2 * next] : 0.0f;
            left = (a + (b - a) * fraction) * gain;
            a = samples[2 * index + 1];
            b = nextAudible ? samples[2 * next + 1] : 0.0f;
            right = (a + (b - a) * fraction) * gain;
        } else {
            float a = samples[index], b = nextAudible ? samples[next] : 0.0f;
            left = right = (a + (b - a) * fraction) * gain;
        }
        out[2 * i] += left;
        out[2 * i + 1] += right;
        position += step;
        if (position >= end) {
            if (!channel.Loop) {
                channel.Playing = false;
                left = right = 0;
                break;
            }
            position %= end;
        }
    }
    channel.Position = position;
    channel.Gain = gain;
    channel.LastL = left;
    channel.LastR = right;
}

void TMixer::RenderBlock(float* out, size_t frames) {
    std::fill(out, out + 2 * frames, 0.0f);
    for (TChannel& channel : Channels)
        if (channel.Playing)
            MixChannel(channel, out, frames);

    if (Music != nullptr) {
        size_t got = Music->Render(OutputRate, frames, MusicBuffer.data());
        const float target = float(MusicMaster) / 255.0f;
        const float slew = 1.0f / float(RampFrames);
        float gain = MusicGain;
        for (size_t i = 0; i < got; ++i) {
            gain += std::clamp(target - gain, -slew, slew);
            out[2 * i] += MusicBuffer[2 * i] * gain;
            out[2 * i + 1] += MusicBuffer[2 * i + 1] * gain;
        }
        MusicGain = got > 0 ? gain : target;
    } else {
        MusicGain = float(MusicMaster) / 255.0f;
    }

    for (size_t i = 0; i < frames; ++i) {
        out[2 * i] = std::clamp(out[2 * i] + DeclickL, -1.0f, 1.0f);
        out[2 * i + 1] = std::clamp(out[2 * i + 1] + DeclickR, -1.0f, 1.0f);
        DeclickL *= DeclickDecay;
        DeclickR *= DeclickDecay;
    }
    if (std::fabs(DeclickL) < 1e-9f && std::fabs(DeclickR) < 1e-9f)
        DeclickL = DeclickR = 0; // keep denormals out of the loop
}

void TMixer::Render(float* out, size_t frames) {
    auto start = std::chrono::steady_clock::now();
    double seconds = double(frames) / double(OutputRate);
    while (frames > 0) {
        size_t block = std::min(frames, BLOCK_FRAMES);
        {
            std::lock_guard<std::mutex> lock(Mutex);
            RenderBlock(out, block);
        }
        out += 2 * block;
        frames -= block;
    }
    if (seconds > 0) {
        double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Usage.store(float(0.9 * Usage.load() + 0.1 * 100.0 * spent / seconds));
    }
}
