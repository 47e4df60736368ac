// What kalscores shows: the leaderboard as an HTML page and a mission's runs as JSON. Pure text
// building; the names of missions and cars come from the game's own tables.
#pragma once

#include "ScoreStore.h"

#include <string>
#include <string_view>
#include <vector>

// The runs shown for one mission, best first: those the server verified, and apart from them the
// unverified ones of the old insert request.
struct TMissionBoard {
    int Mission = 0;
    std::vector<TVerifiedRun> Verified;
    std::vector<TRun> Unverified;
};

// &, <, >, " and ' as character references.
std::string HtmlEscape(std::string_view text);
// The text as a JSON string, quotes included: '"', '\' and control characters escaped, UTF-8 kept.
std::string JsonString(std::string_view text);
// "31.234": milliseconds as seconds with three decimals.
std::string FormatSeconds(int32_t timeMs);

// The English name of a mission 1..10 and of a car type 0..7.
std::string MissionName(int mission);
std::string CarName(int carType);

// The whole page: what verification proves, a link to every mission, then each board's verified
// runs (each with a link to its replay) and its unverified runs in a table of their own.
std::string LeaderboardPage(const std::vector<TMissionBoard>& boards);
// [{"nick":..,"car":..,"carName":..,"score":..,"timeMs":..}, ...] in the runs' order.
std::string RunsJson(const std::vector<TRun>& runs);
// The same with "id", "verified":true and "replay" (the replay's download path) in each.
std::string VerifiedRunsJson(const std::vector<TVerifiedRun>& runs);
