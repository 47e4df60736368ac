#include "uAudioOutput.h"

#include "uMixer.h"

#include <SDL2/SDL.h>
#include <atomic>

namespace {

constexpr int PREFERRED_RATE = 48000;
// Frames per device buffer: about 21 ms at 48 kHz, short enough for engine sounds to follow the
// throttle, long enough not to starve on a busy machine.
constexpr Uint16 BUFFER_FRAMES = 1024;

class TSDLAudioOutput : public TAudioOutput {
  public:
    explicit TSDLAudioOutput(bool silent) : Silent(silent) {}
    ~TSDLAudioOutput() override { Close(); }

    int Open() override {
        if (Device != 0)
            return Rate;
        if (!Silent && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            Initialised = true;
            if (OpenDevice())
                return Rate;
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            Initialised = false;
        }
        // No usable sound card: the dummy driver keeps the mixer running silently, so channels end
        // and the music advances exactly as they would with sound.
        if (SDL_AudioInit("dummy") == 0) {
            DummyDriver = true;
            if (OpenDevice())
                return Rate;
            SDL_AudioQuit();
            DummyDriver = false;
        }
        return 0;
    }

    void Start(TAudioSource& source) override {
        Source.store(&source);
        if (Device != 0)
            SDL_PauseAudioDevice(Device, 0);
    }

    void Close() override {
        if (Device != 0) {
            SDL_CloseAudioDevice(Device); // waits for a running callback to return
            Device = 0;
        }
        Source.store(nullptr);
        if (DummyDriver)
            SDL_AudioQuit();
        if (Initialised)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        DummyDriver = Initialised = false;
    }

  private:
    bool OpenDevice() {
        SDL_AudioSpec wanted{};
        wanted.freq = PREFERRED_RATE;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = 2;
        wanted.samples = BUFFER_FRAMES;
        wanted.callback = &TSDLAudioOutput::Callback;
        wanted.userdata = this;
        SDL_AudioSpec got{};
        Device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &got, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (Device == 0)
            return false;
        Rate = got.freq;
        return true;
    }

    static void Callback(void* userdata, Uint8* stream, int length) {
        auto* self = static_cast<TSDLAudioOutput*>(userdata);
        auto* out = reinterpret_cast<float*>(stream);
        size_t frames = size_t(length) / (2 * sizeof(float));
        TAudioSource* source = self->Source.load();
        if (source != nullptr)
            source->Render(out, frames);
        else
            SDL_memset(stream, 0, size_t(length));
    }

    bool Silent;
    bool Initialised = false, DummyDriver = false;
    SDL_AudioDeviceID Device = 0;
    int Rate = 0;
    std::atomic<TAudioSource*> Source{nullptr};
};

} // namespace

std::unique_ptr<TAudioOutput> CreateSDLAudioOutput(bool silent) {
    return std::make_unique<TSDLAudioOutput>(silent);
}
