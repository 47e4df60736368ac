// TModule: one tracker music module (XM and the other formats libopenmpt reads), rendered on
// request into stereo float frames. Owns its libopenmpt player. Not thread-safe: the mixer
// guards it while it plays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace openmpt {
class module;
}

class TModule {
  public:
    // Raises Exception naming the file when the bytes are not a module libopenmpt can read.
    TModule(const std::vector<uint8_t>& bytes, const std::string& fileName);
    ~TModule();
    TModule(const TModule&) = delete;
    TModule& operator=(const TModule&) = delete;

    // Loops for ever (true) or ends after one pass (false).
    void SetLooping(bool looping);
    // Jumps to the first row of a pattern order; an order outside the song is ignored.
    void SetOrder(int32_t order);
    int32_t GetOrder() const;
    int32_t GetRow() const;
    int32_t OrderCount() const;

    // Renders up to `frames` interleaved stereo frames at `rate` Hz; returns the frames written,
    // fewer only when a song that does not loop has ended.
    size_t Render(int rate, size_t frames, float* out);

    const std::string FileName;

  private:
    std::unique_ptr<openmpt::module> Player;
};
