// TAudioOutput: the seam between the mixer and the sound device. The game opens the SDL device;
// tests put in an output that opens nothing or fails, and render the mixer themselves.
#pragma once

#include <memory>

class TAudioSource;

class TAudioOutput {
  public:
    virtual ~TAudioOutput() = default;
    // Opens the device; returns its rate in Hz, or 0 when no device can be opened.
    virtual int Open() = 0;
    // Starts pulling frames from `source` (on the device's own thread) until Close.
    virtual void Start(TAudioSource& source) = 0;
    // Stops pulling; after it returns the source is never called again.
    virtual void Close() = 0;
};

// The SDL audio device, stereo float at the device's preferred rate. When no real device opens
// (no sound card, a server) or `silent` is asked for, it falls back to SDL's dummy driver, which pulls
// frames in real time and throws them away; Open fails only when even that cannot start.
std::unique_ptr<TAudioOutput> CreateSDLAudioOutput(bool silent);
