#include "Sound.h"
#include "SoundTestData.h"
#include "TestSupport.h"
#include "uErrors.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

using namespace sounddata;

namespace {

// An output that opens at a fixed rate and never pulls: the test renders the mixer itself.
class TFakeOutput : public TAudioOutput {
  public:
    explicit TFakeOutput(int rate, int* closed = nullptr) : OpenRate(rate), Closed(closed) {}
    int Open() override { return OpenRate; }
    void Start(TAudioSource& source) override { Started = &source; }
    void Close() override {
        if (Closed)
            ++*Closed;
    }
    int OpenRate;
    int* Closed;
    TAudioSource* Started = nullptr;
};

struct TStoredVolumes : TSoundSettings {
    int32_t SFX = 255, Music = 255;
    int32_t StoredSFXVolume() const override { return SFX; }
    int32_t StoredMusicVolume() const override { return Music; }
    void StoreSFXVolume(int32_t volume) override { SFX = volume; }
    void StoreMusicVolume(int32_t volume) override { Music = volume; }
};

void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string Failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.what();
    }
    return "no error";
}

float RenderPeak(TSound& sound, size_t frames) {
    std::vector<float> out(frames * 2);
    sound.Mixer().Render(out.data(), frames);
    float peak = 0;
    for (float v : out)
        peak = std::max(peak, std::fabs(v));
    return peak;
}

class TSoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFile(Dir.File("beep.wav"), EncodeWAV(48000, 1, 16, Samples16(Sine(1000, 48000, 4800))));
        WriteFile(Dir.File("music.xm"), BuildXM());
        WriteFile(Dir.File("broken.wav"), {'R', 'I', 'F', 'F', 1, 2});
        WriteFile(Dir.File("broken.xm"), std::vector<uint8_t>(300, 0x17));
    }

    TSound MakeSound(int rate = 48000) { return TSound(&Volumes, std::make_unique<TFakeOutput>(rate)); }

    TTempDir Dir;
    TStoredVolumes Volumes;
};

} // namespace

TEST(NoSoundRequested, OnlyFirstOrSecondArgument) {
    EXPECT_TRUE(NoSoundRequested({"-ns"}));
    EXPECT_TRUE(NoSoundRequested({"-w", "-ns"}));
    EXPECT_FALSE(NoSoundRequested({"-w", "--frames", "-ns"}));
    EXPECT_FALSE(NoSoundRequested({}));
    EXPECT_FALSE(NoSoundRequested({"-NS"}));
}

TEST_F(TSoundTest, InitReservesChannelsAndAppliesStoredVolumes) {
    Volumes.SFX = 100;
    Volumes.Music = 30;
    auto output = std::make_unique<TFakeOutput>(44100);
    TFakeOutput* device = output.get();
    TSound sound(&Volumes, std::move(output));
    EXPECT_TRUE(sound.Enabled);
    EXPECT_EQ(device->Started, &sound.Mixer());
    EXPECT_EQ(sound.Mixer().Rate(), 44100) << "mixing runs at the device's rate";
    EXPECT_EQ(sound.SFXVolume, 100);
    EXPECT_EQ(sound.MusicVolume, 30);
    EXPECT_EQ(sound.Mixer().SFXMasterVolume(), 100);
    EXPECT_EQ(sound.Mixer().MusicMasterVolume(), 0) << "no song yet: the music volume is only recorded";
    uint32_t beep = sound.LoadSample(Dir.File("beep.wav"));
    sound.PlaySample(beep, FSOUND_FREE, false);
    EXPECT_TRUE(sound.IsPlaying(4));
    for (int c = 0; c < 4; ++c)
        EXPECT_FALSE(sound.IsPlaying(c));
}

TEST_F(TSoundTest, StoredVolumeZeroMeansSilence) {
    Volumes.SFX = 0;
    TSound sound = MakeSound();
    EXPECT_EQ(sound.SFXVolume, 0);
    sound.PlaySample(sound.LoadSample(Dir.File("beep.wav")), 0, false);
    EXPECT_EQ(RenderPeak(sound, 1000), 0.0f);
}

TEST_F(TSoundTest, VolumesAreMirroredIntoTheSettingsAndEqualValuesSkipped) {
    TSound sound = MakeSound();
    sound.SetSFXVolume(80);
    sound.SetMusicVolume(90);
    EXPECT_EQ(Volumes.SFX, 80);
    EXPECT_EQ(Volumes.Music, 90);
    EXPECT_EQ(sound.Mixer().SFXMasterVolume(), 80);
    sound.Mixer().SetSFXMasterVolume(7);
    Volumes.SFX = 1;
    sound.SetSFXVolume(80);
    EXPECT_EQ(sound.Mixer().SFXMasterVolume(), 7) << "an unchanged volume is not applied again";
    EXPECT_EQ(Volumes.SFX, 1);
    sound.SetSFXVolume(400);
    EXPECT_EQ(sound.SFXVolume, 255);
}

TEST_F(TSoundTest, MissingAndDamagedFilesGiveTheirMessages) {
    TSound sound = MakeSound();
    EXPECT_EQ(Failure([&] { sound.LoadSample(".\\data\\sounds\\nothere.wav"); }),
              "Sample ./data/sounds/nothere.wav not found.");
    EXPECT_EQ(Failure([&] { sound.LoadModule(".\\data\\music\\nothere.xm"); }),
              "Module ./data/music/nothere.xm not found.");
    std::string wav = Failure([&] { sound.LoadSample(Dir.File("broken.wav")); });
    EXPECT_NE(wav.find("broken.wav: "), std::string::npos) << wav;
    std::string xm = Failure([&] { sound.LoadModule(Dir.File("broken.xm")); });
    EXPECT_NE(xm.find("broken.xm: "), std::string::npos) << xm;
}

TEST_F(TSoundTest, LoopedSampleKeepsPlayingAndStopEndsIt) {
    TSound sound = MakeSound();
    uint32_t beep = sound.LoadSample(Dir.File("beep.wav"));
    sound.PlaySample(beep, 0, true);
    sound.PlaySample(beep, 3, false);
    sound.SetChannelVolume(128, 0);
    sound.SetChannelFrequency(96000, 0);
    EXPECT_EQ(sound.Mixer().Volume(0), 128);
    EXPECT_EQ(sound.Mixer().Frequency(0), 96000);
    RenderPeak(sound, 4800 * 3);
    EXPECT_TRUE(sound.IsPlaying(0));
    EXPECT_FALSE(sound.IsPlaying(3));
    sound.StopSound(0);
    EXPECT_FALSE(sound.IsPlaying(0));
}

TEST_F(TSoundTest, WithoutADeviceTheGameRunsSilently) {
    int closed = 0;
    TSound sound(&Volumes, std::make_unique<TFakeOutput>(0, &closed));
    EXPECT_FALSE(sound.Enabled);
    uint32_t beep = sound.LoadSample(Dir.File("beep.wav"));
    uint32_t music = sound.LoadModule(Dir.File("music.xm"));
    EXPECT_NE(beep, 0u);
    EXPECT_NE(music, 0u);
    sound.PlaySample(beep, FSOUND_FREE, false);
    sound.PlaySong(music, 3);
    EXPECT_FALSE(sound.IsPlaying(4));
    EXPECT_EQ(sound.CurrentSong, 0u);
    EXPECT_EQ(sound.GetOrder(), 0);
    EXPECT_EQ(sound.SFXVolume, 0) << "nothing applied";
    TSound none(nullptr, nullptr);
    EXPECT_FALSE(none.Enabled);
}

TEST_F(TSoundTest, SongStartsAtTheRecordedVolumeAndPlaysAudibly) {
    TSound sound = MakeSound();
    sound.SetMusicVolume(200);
    EXPECT_EQ(sound.Mixer().MusicMasterVolume(), 0);
    uint32_t music = sound.LoadModule(Dir.File("music.xm"));
    sound.PlaySong(music, 0);
    EXPECT_EQ(sound.CurrentSong, music);
    EXPECT_EQ(sound.Mixer().MusicMasterVolume(), 200);
    EXPECT_GT(RenderPeak(sound, 4800), 0.05f) << "the module must be heard, not only loaded";
}

TEST_F(TSoundTest, SameSongOnlyJumpsToTheOrder) {
    TSound sound = MakeSound();
    uint32_t music = sound.LoadModule(Dir.File("music.xm"));
    sound.PlaySong(music, 2);
    RenderPeak(sound, 4800);
    sound.Mixer().SetMusicMasterVolume(10);
    sound.PlaySong(music, 5);
    EXPECT_EQ(sound.Mixer().MusicMasterVolume(), 10) << "the master volume is not re-applied";
    EXPECT_EQ(sound.GetOrder(), 5);
    EXPECT_EQ(sound.GetRow(), 0);
}

TEST_F(TSoundTest, HighOrdersAreReachableAndRowsAdvance) {
    TSound sound = MakeSound();
    uint32_t music = sound.LoadModule(Dir.File("music.xm"));
    sound.PlaySong(music, 178);
    EXPECT_EQ(sound.GetOrder(), 178);
    // One row is 6 ticks at 125 BPM: 0.12 s.
    EXPECT_GT(RenderPeak(sound, 48000 * 13 / 100), 0.05f);
    EXPECT_EQ(sound.GetOrder(), 178);
    EXPECT_EQ(sound.GetRow(), 1);
    sound.PlaySong(music, 999);
    EXPECT_EQ(sound.GetOrder(), 178) << "an order past the song is ignored";
}

TEST_F(TSoundTest, SongLoopsPastItsEnd) {
    TSound sound = MakeSound();
    uint32_t music = sound.LoadModule(Dir.File("music.xm"));
    sound.PlaySong(music, 179); // the last order: 4 rows, 0.48 s
    RenderPeak(sound, 48000);
    EXPECT_LT(sound.GetOrder(), 179);
    EXPECT_GT(RenderPeak(sound, 4800), 0.05f);
}

TEST(Sound, SilentFallbackUntilOneIsInstalled) {
    EXPECT_FALSE(Sound().Enabled);
    TStoredVolumes volumes;
    TSound installed(&volumes, std::make_unique<TFakeOutput>(48000));
    TSound* previous = SetSound(&installed);
    EXPECT_EQ(&Sound(), &installed);
    EXPECT_EQ(SetSound(previous), &installed);
    EXPECT_NE(&Sound(), &installed);
}

namespace {

// Counts the frames a device pulls.
struct TCountingSource : TAudioSource {
    std::atomic<size_t> Frames{0};
    void Render(float* out, size_t frames) override {
        std::fill(out, out + 2 * frames, 0.0f);
        Frames += frames;
    }
};

} // namespace

TEST(SDLAudioOutput, OpensARealOrDummyDeviceThatPullsInRealTime) {
    for (bool silent : {true, false}) {
        std::unique_ptr<TAudioOutput> output = CreateSDLAudioOutput(silent);
        int rate = output->Open();
        ASSERT_GT(rate, 0) << "silent " << silent;
        TCountingSource source;
        output->Start(source);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        output->Close();
        size_t pulled = source.Frames.load();
        // 0.3 s of audio plus a few buffers of lead; a driver that spins would pull far more.
        EXPECT_GT(pulled, 0u) << "silent " << silent;
        EXPECT_LT(pulled, size_t(rate)) << "silent " << silent;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(source.Frames.load(), pulled) << "nothing is pulled after Close";
    }
}

TEST_F(TSoundTest, MusicVolumeScalesOnlyTheMusic) {
    TSound sound = MakeSound();
    uint32_t music = sound.LoadModule(Dir.File("music.xm"));
    sound.PlaySong(music, 0);
    float full = RenderPeak(sound, 4800);
    sound.SetMusicVolume(51);
    RenderPeak(sound, 480); // the volume glides over a few milliseconds
    float fifth = RenderPeak(sound, 4800);
    EXPECT_NEAR(fifth / full, 0.2f, 0.03f);
    sound.SetSFXVolume(0);
    EXPECT_NEAR(RenderPeak(sound, 4800), fifth, 0.01f) << "the effects master leaves the music alone";
    sound.SetMusicVolume(0);
    RenderPeak(sound, 480);
    EXPECT_EQ(RenderPeak(sound, 4800), 0.0f);
}
