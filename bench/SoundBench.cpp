// The mixer's cost: CPU time per second of audio with every channel busy and the music playing.
// The counter "core%" is the share of one core the mixing takes in real time; it should stay
// under 2 %.
#include "../tests/SoundTestData.h"
#include "uMixer.h"
#include "uMusic.h"

#include <benchmark/benchmark.h>
#include <ctime>

namespace {

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

constexpr int RATE = 48000;
// What the SDL device asks for at a time.
constexpr size_t DEVICE_FRAMES = 1024;

// Every channel loops an engine-like wave at its own pitch, as in a busy race.
void FillChannels(TMixer& mixer) {
    TWave wave;
    wave.Rate = 22050;
    wave.Channels = 1;
    wave.Samples = sounddata::Sine(110, 22050, 22050, 8000);
    int sample = mixer.AddSample(wave);
    for (int c = 0; c < TMixer::CHANNEL_COUNT; ++c) {
        mixer.Play(sample, c);
        mixer.SetLoop(c, true);
        mixer.SetFrequency(c, 11025 + 997 * c);
        mixer.SetVolume(c, 40 + c);
    }
}

// One second of audio per iteration, pulled in device-sized buffers; every 10 ms the game retunes
// the two engine channels.
void RenderSecond(benchmark::State& state, TMixer& mixer) {
    std::vector<float> buffer(DEVICE_FRAMES * 2);
    double cpuSeconds = 0;
    for (auto _ : state) {
        double start = ThreadCpuSeconds();
        size_t done = 0;
        int frame = 0;
        while (done < size_t(RATE)) {
            mixer.SetFrequency(0, 20000 + 37 * (frame % 100));
            mixer.SetVolume(1, 100 + frame % 100);
            ++frame;
            mixer.Render(buffer.data(), DEVICE_FRAMES);
            done += DEVICE_FRAMES;
        }
        benchmark::DoNotOptimize(buffer.data());
        cpuSeconds += ThreadCpuSeconds() - start;
    }
    // Each iteration is one second of audio, so its CPU seconds x 100 is the share of a core.
    state.counters["core%"] = 100.0 * cpuSeconds / double(state.iterations());
}

void BM_Mixer48Channels(benchmark::State& state) {
    TMixer mixer(RATE);
    FillChannels(mixer);
    RenderSecond(state, mixer);
}
BENCHMARK(BM_Mixer48Channels)->Unit(benchmark::kMillisecond);

void BM_MixerMusicOnly(benchmark::State& state) {
    TModule music(sounddata::BuildXM(180, 64, 8), "bench.xm");
    TMixer mixer(RATE);
    mixer.SetMusic(&music);
    RenderSecond(state, mixer);
}
BENCHMARK(BM_MixerMusicOnly)->Unit(benchmark::kMillisecond);

void BM_Mixer48ChannelsAndMusic(benchmark::State& state) {
    TModule music(sounddata::BuildXM(180, 64, 8), "bench.xm");
    TMixer mixer(RATE);
    FillChannels(mixer);
    mixer.SetMusic(&music);
    RenderSecond(state, mixer);
}
BENCHMARK(BM_Mixer48ChannelsAndMusic)->Unit(benchmark::kMillisecond);

} // namespace
