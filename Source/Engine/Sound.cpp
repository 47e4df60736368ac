#include "Sound.h"

#include "uByteReader.h"
#include "uErrors.h"
#include "uPlatform.h"

#include <algorithm>

namespace {

// The mixer's rate while no device says otherwise (silent runs, loading only).
constexpr int SILENT_RATE = 48000;

TSound* InstalledSound = nullptr;

int32_t ClampVolume(int32_t volume) {
    return std::min(std::max(volume, 0), 255);
}

} // namespace

bool NoSoundRequested(const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size() && i < 2; ++i)
        if (args[i] == "-ns")
            return true;
    return false;
}

TSound::TSound(TSoundSettings* settings, std::unique_ptr<TAudioOutput> output)
    : Settings(settings), Output(std::move(output)), SoundMixer(std::make_unique<TMixer>(SILENT_RATE)) {
    Init();
}

TSound::~TSound() {
    if (CurrentSong != 0)
        SoundMixer->SetMusic(nullptr);
    if (OutputOpen)
        Output->Close();
}

bool TSound::Init() {
    if (Enabled)
        return true;
    int rate = Output ? Output->Open() : 0;
    Enabled = rate > 0;
    if (!Enabled)
        return false;
    OutputOpen = true;
    SoundMixer->SetRate(rate);
    // The mixer starts where the "last applied" volumes start, so a stored volume of 0 that the set
    // operations skip still means silence.
    SoundMixer->SetSFXMasterVolume(SFXVolume);
    SoundMixer->SetMusicMasterVolume(MusicVolume);
    if (Settings != nullptr) {
        SetSFXVolume(Settings->StoredSFXVolume());
        SetMusicVolume(Settings->StoredMusicVolume());
    }
    Output->Start(*SoundMixer);
    return true;
}

void TSound::SetSFXVolume(int32_t volume) {
    volume = ClampVolume(volume);
    if (volume == SFXVolume)
        return;
    SFXVolume = volume;
    SoundMixer->SetSFXMasterVolume(volume);
    if (Settings != nullptr)
        Settings->StoreSFXVolume(volume);
}

void TSound::SetMusicVolume(int32_t volume) {
    volume = ClampVolume(volume);
    if (volume == MusicVolume)
        return;
    MusicVolume = volume;
    // With no song yet this only records the value; PlaySong applies it when the first one starts.
    if (CurrentSong != 0)
        SoundMixer->SetMusicMasterVolume(volume);
    if (Settings != nullptr)
        Settings->StoreMusicVolume(volume);
}

void TSound::SetChannelVolume(int32_t volume, int32_t channel) {
    SoundMixer->SetVolume(channel, volume);
}

void TSound::SetChannelFrequency(int32_t frequency, int32_t channel) {
    SoundMixer->SetFrequency(channel, frequency);
}

uint32_t TSound::LoadSample(const std::string& fileName) {
    std::string path = NativePath(fileName);
    if (!FileExists(path))
        throw Exception(FormatMessage("Sample %s not found.", path));
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes))
        throw EInOutError(path + ": cannot be read");
    return uint32_t(SoundMixer->AddSample(ParseWAV(bytes, path))) + 1;
}

uint32_t TSound::LoadModule(const std::string& fileName) {
    std::string path = NativePath(fileName);
    if (!FileExists(path))
        throw Exception(FormatMessage("Module %s not found.", path));
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes))
        throw EInOutError(path + ": cannot be read");
    Modules.push_back(std::make_unique<TModule>(bytes, path));
    return uint32_t(Modules.size());
}

TModule* TSound::Module(uint32_t handle) const {
    return handle >= 1 && handle <= Modules.size() ? Modules[handle - 1].get() : nullptr;
}

void TSound::PlaySample(uint32_t sample, int32_t channel, bool loop) {
    if (!Enabled || sample == 0)
        return;
    int used = SoundMixer->Play(int(sample - 1), channel);
    if (loop && used >= 0)
        SoundMixer->SetLoop(used, true);
}

bool TSound::IsPlaying(int32_t channel) {
    return SoundMixer->IsPlaying(channel);
}

void TSound::StopSound(int32_t channel) {
    SoundMixer->Stop(channel);
}

void TSound::PlaySong(uint32_t module, int32_t order) {
    if (!Enabled)
        return;
    TModule* song = Module(module);
    if (song == nullptr)
        return;
    if (module != CurrentSong) {
        // One song plays at a time: the new one replaces the old. It is not yet on the device
        // thread, so it can be wound to its start and to the order before it is heard.
        song->SetOrder(0);
        song->SetOrder(order);
        song->SetLooping(true);
        CurrentSong = module;
        SoundMixer->SetMusicMasterVolume(MusicVolume);
        SoundMixer->SetMusic(song);
        return;
    }
    SoundMixer->WithMusic([&](TModule* playing) {
        if (playing != nullptr)
            playing->SetOrder(order);
    });
}

int32_t TSound::GetOrder() {
    int32_t order = 0;
    SoundMixer->WithMusic([&](TModule* playing) {
        if (playing != nullptr)
            order = playing->GetOrder();
    });
    return order;
}

int32_t TSound::GetRow() {
    int32_t row = 0;
    SoundMixer->WithMusic([&](TModule* playing) {
        if (playing != nullptr)
            row = playing->GetRow();
    });
    return row;
}

TSound& Sound() {
    static TSound silent(nullptr, nullptr);
    return InstalledSound != nullptr ? *InstalledSound : silent;
}

TSound* SetSound(TSound* sound) {
    TSound* previous = InstalledSound;
    InstalledSound = sound;
    return previous;
}
