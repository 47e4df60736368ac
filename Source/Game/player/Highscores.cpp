#include "player/Highscores.h"

#include "player/PlayerData.h"
#include "uAtomicFile.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uPlatform.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr size_t MaxNick = 128;
constexpr uint8_t MaxCarType = 7;

void PutI32(uint8_t* at, int32_t value) {
    uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

// One 140-byte entry; the reason it cannot be kept, or empty. An entry whose time is 0 is an empty
// slot whatever else it holds; a run's time is a positive number of milliseconds, and its nick one a
// player could have chosen.
std::string DecodeEntry(TByteReader& reader, THighscoreEntry& entry) {
    uint8_t nickLength = reader.U8("nick length");
    char nick[MaxNick];
    reader.Bytes(nick, MaxNick, "nick");
    uint8_t carType = reader.U8("car type");
    reader.Skip(2, "reserved bytes");
    int32_t score = reader.I32("score");
    int32_t timeMs = reader.I32("time");
    if (nickLength > MaxNick)
        return "its nick length " + std::to_string(nickLength) + " is above " + std::to_string(MaxNick);
    if (carType > MaxCarType)
        return "its car " + std::to_string(carType) + " is not a car type";
    entry.Nick.assign(nick, nickLength);
    entry.CarType = carType;
    entry.Score = score;
    entry.TimeMs = timeMs;
    if (entry.Empty())
        return "";
    if (timeMs < 0)
        return "its time " + std::to_string(timeMs) + " ms is not a time";
    if (!ValidStoredNick(entry.Nick))
        return "its nick is empty, blank or holds control bytes";
    return "";
}

} // namespace

std::array<uint8_t, HighscoreFileSize> EncodeHighscores(const THighscores& table) {
    std::array<uint8_t, HighscoreFileSize> bytes{};
    uint8_t* at = bytes.data();
    for (const auto& ranks : table.Tables)
        for (const THighscoreEntry& entry : ranks) {
            size_t length = std::min(entry.Nick.size(), MaxNick);
            at[0] = static_cast<uint8_t>(length);
            std::copy_n(entry.Nick.begin(), length, at + 1);
            at[129] = entry.CarType;
            PutI32(at + 132, entry.Score);
            PutI32(at + 136, entry.TimeMs);
            at += HighscoreEntrySize;
        }
    return bytes;
}

bool DecodeHighscores(const uint8_t* bytes, size_t size, THighscores& table, std::string& error) {
    table.Tables = {};
    if (size < size_t(HighscoreFileSize)) {
        error = std::to_string(size) + " bytes, not " + std::to_string(HighscoreFileSize);
        return false;
    }
    TByteReader reader(bytes, HighscoreFileSize, "highscores");
    error.clear();
    auto report = [&](const std::string& problem) {
        if (error.empty())
            error = problem;
    };
    for (int mission = 0; mission < HighscoreTables; ++mission) {
        // A bad entry is dropped and the sound ones close up, so each table stays in rank order.
        std::vector<THighscoreEntry> sound;
        for (int rank = 0; rank < HighscoreRanks; ++rank) {
            THighscoreEntry entry;
            std::string problem = DecodeEntry(reader, entry);
            if (problem.empty())
                sound.push_back(entry);
            else
                report("entry " + std::to_string(rank + 1) + " of mission " + std::to_string(mission) + ": " +
                       problem);
        }
        // Fastest first and the empty slots last, as Insert keeps them; runs of equal time keep their
        // order, the earlier one first.
        auto faster = [](const THighscoreEntry& a, const THighscoreEntry& b) {
            return !a.Empty() && (b.Empty() || a.TimeMs < b.TimeMs);
        };
        if (!std::is_sorted(sound.begin(), sound.end(), faster)) {
            report("the runs of mission " + std::to_string(mission) + " are out of time order");
            std::stable_sort(sound.begin(), sound.end(), faster);
        }
        std::copy(sound.begin(), sound.end(), table.Tables[size_t(mission)].begin());
    }
    return error.empty();
}

void THighscores::Load(const std::string& fileName, const TNotice& notice) {
    Tables = {};
    if (!FileExists(fileName))
        return;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes)) {
        notice("The highscore file " + fileName + " cannot be read.");
        return;
    }
    // A longer file is read only as far as the tables go.
    std::string error;
    if (!DecodeHighscores(bytes.data(), bytes.size(), *this, error))
        notice(SetAsideDamagedFile(fileName, error));
}

bool THighscores::Save(const std::string& fileName, const TNotice& notice) const {
    std::array<uint8_t, HighscoreFileSize> bytes = EncodeHighscores(*this);
    std::string error;
    if (WriteFileAtomic(fileName, std::vector<uint8_t>(bytes.begin(), bytes.end()), &error))
        return true;
    notice("The highscores could not be saved. " + error);
    return false;
}

int THighscores::Insert(int mission, const std::string& nick, uint8_t carType, int32_t score,
                        float timeSeconds) {
    if (mission < 0 || mission >= HighscoreTables)
        throw ERangeError("Highscore table " + std::to_string(mission) + " out of range");
    if (carType > MaxCarType)
        throw ERangeError("Car type " + std::to_string(carType) + " out of range");
    // A slot that holds no time could never be beaten again.
    if (!(std::isfinite(timeSeconds) && timeSeconds > 0))
        return -1;
    auto& ranks = Tables[size_t(mission)];
    // Milliseconds before truncation: a run only passes an entry that is truly slower.
    double ms = 1000.0 * double(timeSeconds);
    auto slower = std::find_if(ranks.begin(), ranks.end(),
                               [&](const THighscoreEntry& e) { return e.Empty() || double(e.TimeMs) > ms; });
    if (slower == ranks.end())
        return -1;
    std::move_backward(slower, ranks.end() - 1, ranks.end());
    slower->Nick = nick.substr(0, MaxNick);
    slower->CarType = carType;
    slower->Score = score;
    // 0 would mark the entry empty; no run is that fast or takes weeks.
    slower->TimeMs = int32_t(std::clamp(ms, 1.0, double(INT32_MAX)));
    return int(slower - ranks.begin());
}
