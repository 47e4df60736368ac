// The insert request of kalscores: the query string the game sends for one highscore entry, decoded
// and checked field by field. Pure functions, no I/O.
#pragma once

#include "tables/GameConsts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

constexpr int FirstMission = 1; // the single races; the races for two have no highscores
constexpr int LastCarType = 7;
constexpr int32_t MaxScore = 10'000'000;
constexpr int32_t MaxTimeMs = 86'400'000; // a day
constexpr size_t MaxNickBytes = 128;      // Windows-1250 bytes, as the game's table holds them

// One finished run as the leaderboard keeps it.
struct TRun {
    std::string Nick; // UTF-8
    int32_t Mission = 0;
    int32_t CarType = 0;
    int32_t Score = 0;
    int32_t TimeMs = 0;

    bool operator==(const TRun&) const = default;
};

// Undoes the game's escaping: '+' is a blank, "%XX" the byte XX (either case of hex digit), any
// other byte itself. Nothing for a '%' without two hex digits after it.
std::optional<std::string> PercentDecode(std::string_view text);

// The nick's Windows-1250 bytes (1 to 128, no control characters) as UTF-8, or nothing with the reason.
std::optional<std::string> DecodeNick(const std::string& bytes, std::string& reason);

// Reads "action=insert&nick=..&mission=..&car=..&score=..&time=.." (the part after '?'). Every key
// must be there once and no other; the nick is Windows-1250 bytes, returned as UTF-8. Nothing, with
// `reason` set to a sentence for the client, when any part is wrong.
std::optional<TRun> ParseInsertQuery(std::string_view query, std::string& reason);

// A mission number of the leaderboard, 1..10, written as plain decimal digits.
std::optional<int> ParseMission(std::string_view text);
