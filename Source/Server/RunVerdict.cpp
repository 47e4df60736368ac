#include "RunVerdict.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

TVerdict Refused(std::string reason) {
    TVerdict verdict;
    verdict.Reason = std::move(reason);
    return verdict;
}

// The last "run KEY=VALUE ..." line of the game's report, or an empty map.
std::map<std::string, std::string, std::less<>> RunLine(std::string_view output) {
    std::map<std::string, std::string, std::less<>> fields;
    std::string_view line;
    for (size_t start = 0; start < output.size();) {
        size_t end = std::min(output.find('\n', start), output.size());
        if (output.substr(start, 4) == "run ")
            line = output.substr(start + 4, end - start - 4);
        start = end + 1;
    }
    while (!line.empty()) {
        size_t space = line.find(' ');
        std::string_view word = line.substr(0, space);
        line = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        size_t equals = word.find('=');
        if (equals != std::string_view::npos)
            fields.emplace(std::string(word.substr(0, equals)), std::string(word.substr(equals + 1)));
    }
    return fields;
}

bool Whole(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

bool Seconds(const std::string& text, float& value) {
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value) && value >= 0;
}

std::string NickBytes(const std::string& hex) {
    if (hex == "-")
        return "";
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(char(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

std::string ShownSeconds(float seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", double(seconds));
    return text;
}

} // namespace

TVerdict JudgeDrive(const TDriveReport& drive, const TReplayHeader& upload) {
    std::string_view output = drive.Output;
    if (output.substr(0, 6) == "error ") {
        std::string_view why = output.substr(6);
        return Refused("the game cannot drive this replay: " +
                       std::string(why.substr(0, std::min<size_t>(why.find('\n'), 300))));
    }
    auto fields = RunLine(output);
    if (fields.empty())
        return Refused(drive.Failure.empty()
                           ? "the game ended without a result"
                           : "the game did not finish driving the replay (" + drive.Failure + ")");
    int64_t mission, car, runMission, runCar, finished, score, claimedScore, timeMs, ticks;
    float time, claimedTime;
    if (!Whole(fields["mission"], 1, 10, mission) || !Whole(fields["car"], 0, 7, car) ||
        !Whole(fields["runMission"], 0, 15, runMission) || !Whole(fields["runCar"], 0, 7, runCar) ||
        !Whole(fields["finished"], 0, 1, finished) || !Whole(fields["score"], INT32_MIN, INT32_MAX, score) ||
        !Whole(fields["claimedScore"], INT32_MIN, INT32_MAX, claimedScore) ||
        !Whole(fields["timeMs"], 0, INT32_MAX, timeMs) || !Whole(fields["ticks"], 0, UINT32_MAX, ticks) ||
        !Seconds(fields["time"], time) || !Seconds(fields["claimedTime"], claimedTime))
        return Refused(drive.Failure.empty()
                           ? "the game's report on the run is garbled"
                           : "the game did not finish driving the replay (" + drive.Failure + ")");
    // The game read the same bytes the upload was checked on; anything else is no drive of this upload.
    if (mission != upload.Mission || car != upload.CarType || ticks != upload.Ticks)
        return Refused("the game drove another replay than the one uploaded");
    if (runMission != mission || runCar != car)
        return Refused("the game did not play the replay's mission with its car");
    // Older games do not say where they stopped: a missing limit is none.
    int64_t limit = 0;
    if (fields.contains("limit") && !Whole(fields["limit"], 0, UINT32_MAX, limit))
        return Refused("the game's report on the run is garbled");
    if (finished != 1 && limit > 0)
        return Refused("the replay's inputs do not finish mission " + std::to_string(mission) +
                       " within its limit of " + std::to_string(limit / 100) + " s");
    if (finished != 1)
        return Refused("the replay's inputs do not finish mission " + std::to_string(mission) + " in its " +
                       std::to_string(ticks) + " ticks");
    if (score != claimedScore)
        return Refused("the replay claims a score of " + std::to_string(claimedScore) +
                       ", but its run scored " + std::to_string(score));
    if (time != claimedTime)
        return Refused("the replay claims a time of " + ShownSeconds(claimedTime) + ", but its run took " +
                       ShownSeconds(time));
    if (score < 0 || score > MaxScore || timeMs < 1 || timeMs > MaxTimeMs)
        return Refused("the run's score or time lies outside the leaderboard's range");
    std::string reason;
    std::optional<std::string> nick = DecodeNick(NickBytes(fields["nick"]), reason);
    if (!nick)
        return Refused("the replay's " + reason);
    TVerdict verdict;
    verdict.State = TRunState::Accepted;
    verdict.Run = {*nick, int32_t(mission), int32_t(car), int32_t(score), int32_t(timeMs)};
    return verdict;
}

std::string_view RunStateName(TRunState state) {
    switch (state) {
    case TRunState::Waiting:
        return "waiting";
    case TRunState::Accepted:
        return "accepted";
    case TRunState::Refused:
        break;
    }
    return "refused";
}
