// The upload of a run to kalscores: the first look at a replay's bytes before they are kept (the
// layout, the mission, the length), and the digest that finds the same upload sent twice. Pure
// functions; what the run is worth only the verifier's own drive of it tells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

constexpr size_t MaxReplayBytes = 1 << 20;  // a replay of an hour's ticks is 13 MiB; no mission needs that
constexpr uint16_t DrivenReplayVersion = 5; // the replay layout the game this server runs drives

// Where that layout keeps what the first look reads: the magic "KALRPLAY", the layout version (16
// bits), mission and car (a byte each), the claimed score (int32), the number of ticks (32 bits), then
// the ticks' frames.
namespace ReplayLayout {
constexpr size_t MagicBytes = 8;
constexpr size_t VersionAt = 8, MissionAt = 22, CarAt = 23, ScoreAt = 72, FrameCountAt = 80, HeaderBytes = 84;
constexpr size_t FrameBytes = 37;
} // namespace ReplayLayout

// What the header of an upload says. Nothing in it is believed: it sizes the verifier's limits.
struct TReplayHeader {
    int Mission = 0;    // 1..10
    int CarType = 0;    // 0..7
    uint32_t Ticks = 0; // frames of the world, 10 ms each
};

// The header of a whole replay of the layout this server drives; nothing, with `reason` set to a
// sentence for the client, for an empty, foreign, cut-short, padded or other-version body.
std::optional<TReplayHeader> CheckReplayUpload(std::string_view body, std::string& reason);

// 64-bit FNV-1a of the bytes as 16 hex digits. Not a proof of sameness: a match is compared in full.
std::string UploadDigest(std::string_view body);
