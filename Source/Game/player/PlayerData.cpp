#include "player/PlayerData.h"

#include "tables/FaceTable.h"
#include "tables/GameConsts.h"
#include "uAtomicFile.h"
#include "uByteReader.h"
#include "uByteWriter.h"
#include "uErrors.h"
#include "uPlatform.h"
#include "uText1250.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>

namespace {

void PutI32(uint8_t* at, int32_t value) {
    uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

// The next code point of strict UTF-8 (no overlong forms, surrogates or values past U+10FFFF);
// false at malformed input.
bool NextCodePoint(const std::string& text, size_t& i, uint32_t& code) {
    auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    uint8_t lead = byte(i);
    int extra = lead < 0x80                    ? 0
                : lead >= 0xC2 && lead <= 0xDF ? 1
                : (lead >> 4) == 0xE           ? 2
                : lead >= 0xF0 && lead <= 0xF4 ? 3
                                               : -1;
    if (extra < 0 || i + size_t(extra) >= text.size())
        return false;
    code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        uint8_t next = byte(i + size_t(k));
        if ((next & 0xC0) != 0x80)
            return false;
        code = (code << 6) | (next & 0x3F);
    }
    static const uint32_t smallest[4] = {0, 0x80, 0x800, 0x10000};
    if (code < smallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return false;
    i += size_t(extra) + 1;
    return true;
}

// What the first `size` bytes of a record cut short still hold: each field that is whole in them,
// the nick as far as it goes, and a new player's values for the rest. False when no nick is left to
// tell whose record it was, or what is left is damaged.
bool DecodeCutProfile(const uint8_t* piece, size_t size, TProfileRecord& record) {
    if (size <= 13)
        return false;
    std::array<uint8_t, ProfileRecordSize> bytes = EncodeProfile(TProfileRecord{});
    struct TField {
        size_t Offset, Size;
    };
    for (TField field : {TField{0, 1}, {4, 4}, {8, 4}, {33, 1}, {36, 4}, {40, 4}, {44, 4}, {48, 4}})
        if (field.Offset + field.Size <= size)
            std::copy_n(piece + field.Offset, field.Size, bytes.begin() + std::ptrdiff_t(field.Offset));
    size_t nickLength = std::min({size_t(piece[12]), size_t(MaxNickLength), size - 13});
    if (nickLength == 0)
        return false;
    bytes[12] = uint8_t(nickLength);
    std::copy_n(piece + 13, nickLength, bytes.begin() + 13);
    std::string error;
    return DecodeProfile(bytes.data(), record, error);
}

} // namespace

std::array<uint8_t, ProfileRecordSize> EncodeProfile(const TProfileRecord& record) {
    std::array<uint8_t, ProfileRecordSize> bytes{};
    bytes[0] = record.Selected;
    PutI32(&bytes[4], record.Index);
    PutI32(&bytes[8], record.Face);
    size_t length = std::min(record.Nick.size(), size_t(MaxNickLength));
    bytes[12] = static_cast<uint8_t>(length);
    std::copy_n(record.Nick.begin(), length, bytes.begin() + 13);
    bytes[33] = record.Mission;
    PutI32(&bytes[36], record.ScoreCounter);
    PutI32(&bytes[40], record.Score);
    PutI32(&bytes[44], record.Reserved[0]);
    PutI32(&bytes[48], record.Reserved[1]);
    return bytes;
}

bool DecodeProfile(const uint8_t* bytes, TProfileRecord& record, std::string& error) {
    TByteReader reader(bytes, ProfileRecordSize, "profile");
    TProfileRecord decoded;
    decoded.Selected = reader.U8("selection");
    reader.Skip(3, "reserved bytes");
    decoded.Index = reader.I32("index");
    decoded.Face = reader.I32("face");
    uint8_t nickLength = reader.U8("nick length");
    char nick[MaxNickLength];
    reader.Bytes(nick, MaxNickLength, "nick");
    decoded.Mission = reader.U8("mission");
    reader.Skip(2, "reserved bytes");
    decoded.ScoreCounter = reader.I32("score counter");
    decoded.Score = reader.I32("score");
    decoded.Reserved[0] = reader.I32("reserved");
    decoded.Reserved[1] = reader.I32("reserved");

    if (nickLength > MaxNickLength) {
        error = "nick length " + std::to_string(nickLength) + " is above " + std::to_string(MaxNickLength);
        return false;
    }
    if (decoded.Face < 0 || decoded.Face >= FaceCount) {
        error = "face " + std::to_string(decoded.Face) + " is not a face number";
        return false;
    }
    if (decoded.Mission >= MissionCount) {
        error = "mission " + std::to_string(decoded.Mission) + " is not a mission number";
        return false;
    }
    // Far beyond any score a player reaches, and far enough from the 32-bit limits that scoring on
    // from a damaged value cannot overflow.
    constexpr int32_t MaxProfileScore = 1'000'000'000;
    for (auto [name, value] : {std::pair{"score", decoded.Score}, {"score counter", decoded.ScoreCounter}})
        if (value < -MaxProfileScore || value > MaxProfileScore) {
            error = std::string(name) + " " + std::to_string(value) + " is outside -" +
                    std::to_string(MaxProfileScore) + " .. " + std::to_string(MaxProfileScore);
            return false;
        }
    decoded.Nick.assign(nick, nickLength);
    if (!ValidStoredNick(decoded.Nick)) {
        error = "the nick is empty, blank or holds control bytes";
        return false;
    }
    record = decoded;
    return true;
}

std::string PlayerDataDir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    // A relative XDG_DATA_HOME is invalid and ignored.
    if (xdg != nullptr && xdg[0] == '/')
        return (std::filesystem::path(xdg) / "kalmirov").string();
    if (home != nullptr && home[0] != '\0')
        return (std::filesystem::path(home) / ".local" / "share" / "kalmirov").string();
    return "";
}

std::string ProfilesFileName() {
    std::string dir = PlayerDataDir();
    return dir.empty() ? "" : dir + "/profiles.dat";
}

std::string HighscoreFileName() {
    std::string dir = PlayerDataDir();
    return dir.empty() ? "" : dir + "/highscore.dat";
}

void TProfileList::LoadProfiles(const std::string& fileName, const TNotice& notice) {
    if (!FileExists(fileName))
        return;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes)) {
        notice("The player file " + fileName + " cannot be read.");
        return;
    }
    Records.clear();
    std::string firstProblem;
    size_t whole = bytes.size() / ProfileRecordSize;
    size_t count = std::min(whole, size_t(MaxProfiles));
    for (size_t i = 0; i < count; ++i) {
        TProfileRecord record;
        std::string error;
        if (DecodeProfile(&bytes[i * ProfileRecordSize], record, error))
            Records.push_back(record);
        else if (firstProblem.empty())
            firstProblem = "record " + std::to_string(i + 1) + ": " + error;
    }
    // A file cut short inside a record: the player keeps what the piece still holds.
    size_t piece = bytes.size() % ProfileRecordSize;
    if (whole < size_t(MaxProfiles) && piece > 0) {
        TProfileRecord record;
        if (DecodeCutProfile(&bytes[whole * ProfileRecordSize], piece, record))
            Records.push_back(record);
        if (firstProblem.empty())
            firstProblem = "record " + std::to_string(whole + 1) + " is cut short after " +
                           std::to_string(piece) + " of its " + std::to_string(ProfileRecordSize) + " bytes";
    }
    if (firstProblem.empty())
        return;
    // The records stand at new places once a damaged one is dropped.
    for (size_t i = 0; i < Records.size(); ++i)
        Records[i].Index = int32_t(i);
    notice(SetAsideDamagedFile(fileName, firstProblem));
}

bool TProfileList::SaveProfiles(const std::string& fileName, const TNotice& notice) const {
    std::vector<uint8_t> bytes;
    size_t count = std::min(Records.size(), size_t(MaxProfiles));
    for (size_t i = 0; i < count; ++i) {
        std::array<uint8_t, ProfileRecordSize> record = EncodeProfile(Records[i]);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    std::string error;
    if (WriteFileAtomic(fileName, bytes, &error))
        return true;
    notice("The players could not be saved. " + error);
    return false;
}

int TProfileList::AddProfile(const std::string& nick, const std::string& fileName, const TNotice& notice) {
    if (Records.size() >= size_t(MaxProfiles))
        return -1;
    TProfileRecord record;
    record.Index = int32_t(Records.size());
    record.Nick = nick.substr(0, MaxNickLength);
    Records.push_back(record);
    if (!SaveProfiles(fileName, notice)) {
        Records.pop_back();
        return -1;
    }
    return record.Index;
}

bool TProfileList::RemoveProfile(int i, const std::string& fileName, const TNotice& notice) {
    if (i < 0 || size_t(i) >= Records.size())
        return false;
    Records.erase(Records.begin() + i);
    for (size_t k = 0; k < Records.size(); ++k)
        Records[k].Index = int32_t(k);
    return SaveProfiles(fileName, notice);
}

int TProfileList::Find(const std::string& nick) const {
    for (size_t i = 0; i < Records.size(); ++i)
        if (Records[i].Nick == nick)
            return int(i);
    return -1;
}

bool ValidNick(const std::string& utf8, std::string& cp1250) {
    cp1250.clear();
    std::string bytes;
    size_t i = 0;
    while (i < utf8.size()) {
        uint32_t code = 0;
        if (!NextCodePoint(utf8, i, code) || bytes.size() == size_t(MaxNickCharacters))
            return false;
        uint8_t byte = UnicodeToCp1250(code);
        if (byte == 0)
            return false;
        bytes.push_back(char(byte));
    }
    if (!ValidStoredNick(bytes))
        return false;
    cp1250 = bytes;
    return true;
}

bool ValidStoredNick(std::string_view cp1250) {
    bool onlyBlanks = true;
    for (char c : cp1250) {
        uint32_t code = Cp1250ToUnicode(uint8_t(c));
        if (code < 0x20 || code == 0x7F) // control characters, and the bytes the code page leaves out
            return false;
        onlyBlanks = onlyBlanks && (code == ' ' || code == 0xA0);
    }
    return !onlyBlanks;
}

int32_t TPlayerLoad::Total() const {
    int64_t total = 0;
    for (int32_t item : Items)
        total += item;
    if (total < std::numeric_limits<int32_t>::min() || total > std::numeric_limits<int32_t>::max())
        throw ERangeError("Cargo total out of range");
    return int32_t(total);
}

TPlayerData::TPlayerData(const TProfileRecord& record)
    : ProfileIndex(record.Index), Mission(record.Mission), Score(record.Score),
      ScoreCounter(record.ScoreCounter), Face(record.Face), Nick(record.Nick) {}

void TPlayerData::Reset() {
    Load.Clear();
    Time = 0;
    ParTime = 0;
    Ticks = 0;
    Spare = 0;
    StatusTexts = PairText(MenuTexts[mtBetterLuck]);
}

void TPlayerData::SetCarType(int32_t type) {
    if (type < 0 || type > 7)
        throw ERangeError("Car type " + std::to_string(type) + " out of range");
    CarType = uint8_t(type);
    Load.Capacity = CarTable[type].Cargo;
}

void TPlayerData::AddScore(int32_t n) {
    int64_t score = int64_t(Score) + n;
    if (score < std::numeric_limits<int32_t>::min() || score > std::numeric_limits<int32_t>::max())
        throw ERangeError("Score out of range");
    Score = int32_t(score);
}

void TPlayerData::SaveRun(TByteWriter& out) const {
    out.U8(CarType);
    for (int32_t value : {Score, ScoreCounter, ExtraPoints, Ticks, Spare, Load.Capacity})
        out.I32(value);
    for (int32_t item : Load.Items)
        out.I32(item);
    out.F32(Time);
    out.F32(ParTime);
    out.U32(HudSymbols);
    out.String(StatusTexts[0]);
    out.String(StatusTexts[1]);
}

void TPlayerData::RestoreRun(TByteReader& in) {
    CarType = in.U8("a player's car");
    if (CarType > 7)
        throw EReadError(in.FileName() + ": a player's car type " + std::to_string(CarType) + " out of range");
    for (int32_t* value : {&Score, &ScoreCounter, &ExtraPoints, &Ticks, &Spare, &Load.Capacity})
        *value = in.I32("a player's run");
    for (int32_t& item : Load.Items)
        item = in.I32("a player's load");
    Time = in.F32("a player's clock");
    ParTime = in.F32("a player's par time");
    HudSymbols = in.U32("a player's symbols");
    StatusTexts[0] = in.String("a player's status");
    StatusTexts[1] = in.String("a player's status");
}
