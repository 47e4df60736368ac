// THighscores: the local table of the ten fastest runs of every mission (16 tables of 10 entries),
// its 22,400-byte file and the insertion of a finished run. Owns the table in memory.
#pragma once

#include "uAtomicFile.h"

#include <array>
#include <cstdint>
#include <string>

constexpr int HighscoreTables = 16;
constexpr int HighscoreRanks = 10;
constexpr int HighscoreEntrySize = 140;
constexpr int HighscoreFileSize = HighscoreTables * HighscoreRanks * HighscoreEntrySize; // 22,400

// One entry, as laid out in the file: nick length (0, 1), nick (1, 128), car type (129),
// reserved (130, 2), score (132, int32), time in ms (136, int32; 0 marks an empty entry).
struct THighscoreEntry {
    std::string Nick; // Windows-1250, at most 128 bytes
    uint8_t CarType = 0;
    int32_t Score = 0;
    int32_t TimeMs = 0;

    bool Empty() const { return TimeMs == 0; }
};

class THighscores {
  public:
    // A missing file gives an empty table. A file shorter than 22,400 bytes, with an entry out of
    // range (nick length above 128, car type above 7, a negative time, a nick no player could choose)
    // or with a table out of time order is renamed aside to "<file>.bad", `notice` is told so, and
    // the table keeps the sound entries in time order (an empty table for a short file).
    void Load(const std::string& fileName, const TNotice& notice);
    // Writes the 22,400 bytes atomically; false, with `notice` told the file and the cause, on failure.
    bool Save(const std::string& fileName, const TNotice& notice) const;
    // Enters a run of `timeSeconds` into table `mission` (0..15) before the first entry that is
    // slower (compared before truncation to milliseconds) or empty; an equal time goes after. The nick
    // is cut to 128 bytes. Returns the rank 0..9, or -1 when the run is slower than ten entries or its
    // time is no time (not a number, zero or negative).
    // ERangeError for a mission outside 0..15 or a car type above 7.
    int Insert(int mission, const std::string& nick, uint8_t carType, int32_t score, float timeSeconds);

    std::array<std::array<THighscoreEntry, HighscoreRanks>, HighscoreTables> Tables;
};

// The file's bytes of a table set, and back. Decode reads the first 22,400 bytes; it returns false
// with `error` naming the first bad entry or table (or the size of a short buffer, leaving every table
// empty). Bad entries are dropped and the sound ones of each table close up, fastest first.
std::array<uint8_t, HighscoreFileSize> EncodeHighscores(const THighscores& table);
bool DecodeHighscores(const uint8_t* bytes, size_t size, THighscores& table, std::string& error);
