// The players: the 52-byte profile records of the profile file with their list (load, save, add,
// remove), and TPlayerData, one player's run inside the game — mission reached, score, car, clock,
// race points and cargo. Owns the player's cargo record.
#pragma once

#include "uAtomicFile.h"
#include "uWorldClock.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TByteReader;
class TByteWriter;

constexpr int ProfileRecordSize = 52;
constexpr int MaxProfiles = 32;
constexpr int MaxNickLength = 20; // bytes of the nick field in the profile file
// The longest nick a player can choose, in the launcher and on the command line alike.
constexpr int MaxNickCharacters = 19;

// One record of profiles.dat, field by field; Nick holds Windows-1250 bytes.
struct TProfileRecord {
    uint8_t Selected = 0;     // offset 0: selected in the launcher when the file was written
    int32_t Index = 0;        // offset 4: position in the list
    int32_t Face = 0;         // offset 8: face number
    std::string Nick;         // offset 12: length byte 0..20, then 20 bytes
    uint8_t Mission = 1;      // offset 33: mission reached
    int32_t ScoreCounter = 0; // offset 36
    int32_t Score = 0;        // offset 40
    int32_t Reserved[2] = {}; // offsets 44 and 48
};

// The 52 bytes of a record (reserved bytes zero, nick bytes past its length zero).
std::array<uint8_t, ProfileRecordSize> EncodeProfile(const TProfileRecord& record);
// A record from 52 bytes. False, with `error` saying which field is wrong, for a nick length above
// 20, a face outside the face table or a mission outside 0..15.
bool DecodeProfile(const uint8_t* bytes, TProfileRecord& record, std::string& error);

// The folder of the player's own files: $XDG_DATA_HOME/kalmirov, or ~/.local/share/kalmirov.
// Empty when neither variable is set.
std::string PlayerDataDir();
std::string ProfilesFileName();  // <PlayerDataDir>/profiles.dat
std::string HighscoreFileName(); // <PlayerDataDir>/highscore.dat

// The launcher's list of up to 32 profiles and the file behind it.
class TProfileList {
  public:
    // A missing file leaves the list as it is. Otherwise the records are read in order (at most 32;
    // bytes past the 32nd are ignored). A file with a damaged record, or cut short inside one, is
    // set aside as "<file>.bad", `notice` is told which and why, and the list keeps the sound records
    // and what the cut one still holds (its nick and the fields before the cut).
    void LoadProfiles(const std::string& fileName, const TNotice& notice);
    // Writes records 0..count-1 atomically (temporary file, sync, rename). False, with `notice` told
    // the file and the cause, when it cannot be written; the old file is then untouched.
    bool SaveProfiles(const std::string& fileName, const TNotice& notice) const;
    // Appends a new player (face 0, mission 1, score 0; the nick in Windows-1250, cut to 20 bytes)
    // and saves the file at once; returns its index, or -1 (and the list unchanged) when the list is
    // full or the save failed.
    int AddProfile(const std::string& nick, const std::string& fileName, const TNotice& notice);
    // Removes record i, renumbers the rest and saves the file at once. False when i is not a record
    // or the save failed (the record is gone from the list either way).
    bool RemoveProfile(int i, const std::string& fileName, const TNotice& notice);
    // The index of the profile with this nick, -1 when there is none.
    int Find(const std::string& nick) const;

    std::vector<TProfileRecord> Records; // Records.size() is the count, at most 32
};

// A nick a player may choose: 1..19 characters, not all blanks, all in Windows-1250 (the nick is
// given in UTF-8); `cp1250` receives the stored bytes.
bool ValidNick(const std::string& utf8, std::string& cp1250);
// A nick as the player's files keep it (Windows-1250): one ValidNick lets through but for its length,
// which each file's field bounds — not empty, not all blanks, no control characters.
bool ValidStoredNick(std::string_view cp1250);

// Cargo: twelve counters of carried items and the car's capacity.
class TPlayerLoad {
  public:
    void Clear() { Items.fill(0); }
    // Sum of the twelve counters; ERangeError on overflow.
    int32_t Total() const;

    std::array<int32_t, 12> Items{};
    int32_t Capacity = 0;
};

// HUD symbol bits of HudSymbols.
enum : uint32_t {
    HudFuel = 1u << 0,
    HudDamage = 1u << 1,
    HudTime = 1u << 2,
    HudTargets = 1u << 3,
    HudLoad = 1u << 4,
    HudFragile = 1u << 5,
};

class TPlayerData {
  public:
    // Create: the run starts from a profile record.
    explicit TPlayerData(const TProfileRecord& record);

    // A new run: cargo emptied (capacity kept), clock, par time and ticks zeroed, status texts set
    // to "Better luck next time" / "Snad to příště vyjde!".
    void Reset();
    // One tick of the mission clock.
    void Tick() {
        Time += float(TWorldClock::TickSeconds);
        Ticks += 1;
    }
    // Sets the car type (0..7, ERangeError otherwise) and the cargo capacity from the car table.
    void SetCarType(int32_t type);
    // ERangeError on 32-bit overflow.
    void AddScore(int32_t n);
    void AddTime(float seconds) { Time += seconds; }
    // The run's fields (the profile's name, face and the mission reached stay as they are).
    void SaveRun(TByteWriter& out) const;
    void RestoreRun(TByteReader& in);

    int32_t ProfileIndex = 0;
    uint8_t Mission = 1;
    int32_t Score = 0;
    int32_t ScoreCounter = 0;
    int32_t ExtraPoints = 0;
    int32_t Face = 0;
    std::string Nick;    // Windows-1250
    uint8_t CarType = 0; // 0..7
    float Time = 0;      // mission clock, seconds
    float ParTime = 0;   // seconds
    TPlayerLoad Load;
    uint32_t HudSymbols = 0;                // HudFuel .. HudFragile
    std::array<std::string, 2> StatusTexts; // English, Czech (Windows-1250)
    int32_t Ticks = 0;
    int32_t Spare = 0; // zeroed by Reset, otherwise unused
};
