#include "ScoreRequest.h"

#include "uText1250.h"

#include <algorithm>
#include <map>

namespace {

const char* const Keys[] = {"action", "nick", "mission", "car", "score", "time"};

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Plain decimal digits (no sign, no blanks) whose value lies in [low, high].
std::optional<int32_t> ParseNumber(std::string_view text, int64_t low, int64_t high) {
    if (text.empty() || text.size() > 12)
        return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high)
        return std::nullopt;
    return int32_t(value);
}

// A key as it may be quoted back to the client: short, printable ASCII only.
std::string Shown(std::string_view key) {
    std::string shown;
    for (char c : key.substr(0, 32))
        shown.push_back(c >= 0x20 && c < 0x7F ? c : '?');
    return shown;
}

} // namespace

std::optional<std::string> DecodeNick(const std::string& bytes, std::string& reason) {
    if (bytes.empty() || bytes.size() > MaxNickBytes) {
        reason = "nick must be 1 to 128 characters";
        return std::nullopt;
    }
    for (char c : bytes) {
        uint8_t byte = static_cast<uint8_t>(c);
        if (byte < 0x20 || byte == 0x7F) {
            reason = "nick must not contain control characters";
            return std::nullopt;
        }
        if (Cp1250ToUnicode(byte) == 0) {
            reason = "nick has a byte that is not a Windows-1250 character";
            return std::nullopt;
        }
    }
    return Cp1250ToUtf8(bytes);
}

std::optional<std::string> PercentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            decoded.push_back(' ');
        } else if (text[i] == '%') {
            if (i + 2 >= text.size())
                return std::nullopt;
            int high = HexValue(text[i + 1]);
            int low = HexValue(text[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            decoded.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

std::optional<TRun> ParseInsertQuery(std::string_view query, std::string& reason) {
    std::map<std::string, std::string, std::less<>> values;
    while (!query.empty()) {
        size_t amp = query.find('&');
        std::string_view part = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        size_t equals = part.find('=');
        if (equals == std::string_view::npos) {
            reason = "parameter '" + Shown(part) + "' has no value";
            return std::nullopt;
        }
        std::string_view key = part.substr(0, equals);
        if (std::find(std::begin(Keys), std::end(Keys), key) == std::end(Keys)) {
            reason = "unknown parameter '" + Shown(key) + "'";
            return std::nullopt;
        }
        std::optional<std::string> value = PercentDecode(part.substr(equals + 1));
        if (!value) {
            reason = std::string(key) + " has a broken percent-encoding";
            return std::nullopt;
        }
        if (!values.emplace(key, *value).second) {
            reason = "parameter '" + std::string(key) + "' is repeated";
            return std::nullopt;
        }
    }
    for (const char* key : Keys)
        if (!values.contains(key)) {
            reason = std::string("missing parameter '") + key + "'";
            return std::nullopt;
        }

    if (values["action"] != "insert") {
        reason = "action must be insert";
        return std::nullopt;
    }
    TRun run;
    std::optional<std::string> nick = DecodeNick(values["nick"], reason);
    if (!nick)
        return std::nullopt;
    run.Nick = *nick;
    struct TField {
        const char* Key;
        int64_t Low, High;
        int32_t& Value;
    };
    const TField fields[] = {
        {"mission", FirstMission, LastMission, run.Mission},
        {"car", 0, LastCarType, run.CarType},
        {"score", 0, MaxScore, run.Score},
        {"time", 1, MaxTimeMs, run.TimeMs},
    };
    for (const TField& field : fields) {
        std::optional<int32_t> value = ParseNumber(values[field.Key], field.Low, field.High);
        if (!value) {
            reason = std::string(field.Key) + " must be a whole number from " + std::to_string(field.Low) +
                     " to " + std::to_string(field.High);
            return std::nullopt;
        }
        field.Value = *value;
    }
    return run;
}

std::optional<int> ParseMission(std::string_view text) {
    return ParseNumber(text, FirstMission, LastMission);
}
