#include "RunUpload.h"
#include "tables/GameConsts.h"

#include <cstdio>
#include <cstring>

namespace {

// The replay's header: magic, version, simulation version, data set digest, mission, car, seed, flags,
// camera mode and distance, keys before, the standing car, nick length and field, score, time, then the
// frame count. Which simulation and data set the run needs only the game knows: it refuses the others.
using namespace ReplayLayout;
constexpr uint32_t MaxTicks = 360000; // an hour, as the game reads it

uint32_t U32At(std::string_view body, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uint8_t(body[at + size_t(i)]);
    return value;
}

} // namespace

std::optional<TReplayHeader> CheckReplayUpload(std::string_view body, std::string& reason) {
    if (body.size() > MaxReplayBytes) {
        reason = "a replay is at most " + std::to_string(MaxReplayBytes) + " bytes";
        return std::nullopt;
    }
    if (body.size() < MagicBytes + 2 || std::memcmp(body.data(), "KALRPLAY", MagicBytes) != 0) {
        reason = "the body is not a Kalmirov replay";
        return std::nullopt;
    }
    int version = uint8_t(body[VersionAt]) | uint8_t(body[VersionAt + 1]) << 8;
    if (version != DrivenReplayVersion) {
        reason = "the replay is of version " + std::to_string(version) + "; this server drives version " +
                 std::to_string(DrivenReplayVersion) + " only";
        return std::nullopt;
    }
    if (body.size() < HeaderBytes) {
        reason = "the replay is cut short in its header";
        return std::nullopt;
    }
    TReplayHeader header;
    header.Mission = uint8_t(body[MissionAt]);
    header.CarType = uint8_t(body[CarAt]);
    header.Ticks = U32At(body, FrameCountAt);
    if (!IsMission(header.Mission) || header.CarType > 7) {
        reason = "mission " + std::to_string(header.Mission) + " or car " + std::to_string(header.CarType) +
                 " is not one of the game's";
        return std::nullopt;
    }
    if (header.Ticks == 0 || header.Ticks > MaxTicks ||
        body.size() - HeaderBytes != size_t(header.Ticks) * FrameBytes) {
        reason = "the replay's " + std::to_string(header.Ticks) + " ticks do not fill its " +
                 std::to_string(body.size()) + " bytes (cut short or padded)";
        return std::nullopt;
    }
    return header;
}

std::string UploadDigest(std::string_view body) {
    uint64_t hash = 14695981039346656037ull;
    for (char c : body) {
        hash ^= uint8_t(c);
        hash *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}
