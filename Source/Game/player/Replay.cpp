#include "player/Replay.h"
#include "uByteWriter.h"
#include "player/PlayerData.h"
#include "tables/GameConsts.h"
#include "uAtomicFile.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uKeyboard.h"
#include "uPlatform.h"
#include "uWorldClock.h"

#include <algorithm>
#include <bit>
#include <filesystem>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const char Magic[8] = {'K', 'A', 'L', 'R', 'P', 'L', 'A', 'Y'};
constexpr size_t NickField = 20;
constexpr size_t FrameSize = 1 + 4 + 4 + 7 * 4;
// Flags byte of the header.
constexpr uint8_t FlagGore = 1, FlagSecondCar = 2, FlagSecondCarLights = 4;
constexpr uint8_t KnownFlags = FlagGore | FlagSecondCar | FlagSecondCarLights;

bool InCity(float x, float y) {
    return x >= 0 && x <= 1000 && y >= -1000 && y <= 1000;
}
constexpr uint32_t MaxFrames = 360000; // an hour of ticks; more is not a run of ours

void PutU8(std::vector<uint8_t>& out, uint8_t v) {
    out.push_back(v);
}
void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}
void PutF32(std::vector<uint8_t>& out, float v) {
    PutU32(out, std::bit_cast<uint32_t>(v));
}

// The files a tick reads, as paths below the data folder: the city (streets, buildings and their
// collision cells, lamps) and the scripted cars' routes, then every car's physical configuration and
// every model whose extent becomes a body in the world (the cars' bodies, the pedestrians, the city's
// props). Pictures, sounds, music, the wheels' models and the pedestrians' far models (only drawn)
// never move the world and stay out; the missions' rules and targets are compiled in and follow
// SimulationVersion. About 2.4 MB, read once per session.
std::vector<std::string> DataSetFilesOfRuns(const std::filesystem::path& data) {
    std::vector<std::string> files = {"city/city.tmf", "city/boss.cur", "city/director.cur"};
    std::vector<std::string> found;
    std::error_code error;
    for (const char* folder : {"cars", "aicars", "meshes"}) {
        for (std::filesystem::recursive_directory_iterator it(data / folder, error), end; !error && it != end;
             it.increment(error)) {
            std::string name = it->path().filename().string();
            bool drawnOnly = name == "wheel.3ds" || name.ends_with("_far.3ds");
            bool model = it->path().extension() == ".3ds" && !drawnOnly;
            if (it->is_regular_file(error) && (model || name == "config.dat"))
                found.push_back(std::filesystem::relative(it->path(), data, error).generic_string());
        }
    }
    // The folders' own order is the file system's: sorted, the digest is the same everywhere.
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
    return files;
}

} // namespace

const uint32_t ReplayKeys[ReplayKeyCount] = {
    DIK_UP,       DIK_DOWN,   DIK_LEFT, DIK_RIGHT, DIK_RETURN, DIK_ESCAPE, DIK_TAB, DIK_C,
    DIK_RCONTROL, DIK_RSHIFT, DIK_BACK, DIK_1,     DIK_2,      DIK_3,      DIK_4,   DIK_5,
    DIK_6,        DIK_7,      DIK_8,    DIK_F1,    DIK_F2,     DIK_F3,     DIK_F4,  DIK_F5,
    DIK_F6,       DIK_F7,     DIK_F8,   DIK_F9,    DIK_F10};

uint32_t ReplayKeyBits(const uint8_t state[256], const TKeyBindings& keys) {
    uint8_t held[256];
    std::memcpy(held, state, sizeof held);
    held[DIK_TAB] = state[keys.Key(0, TKeyAction::Map)];
    held[DIK_C] = state[keys.Key(0, TKeyAction::Camera)];
    uint32_t bits = 0;
    for (int i = 0; i < ReplayKeyCount; ++i)
        if (held[ReplayKeys[i]] != 0)
            bits |= 1u << i;
    return bits;
}

void SetReplayKeys(uint32_t bits, uint8_t state[256]) {
    std::memset(state, 0, 256);
    for (int i = 0; i < ReplayKeyCount; ++i)
        if (bits & (1u << i))
            state[ReplayKeys[i]] = 0x80;
}

uint64_t DigestDataSet() {
    uint64_t hash = FnvOffsetBasis;
    std::vector<uint8_t> bytes;
    std::filesystem::path data = DataFolder();
    for (const std::string& file : DataSetFilesOfRuns(data)) {
        // The name goes in too, and a missing file counts as one of no bytes but a mark: two data
        // sets that differ only by a file missing differ.
        hash = Fnv1a(reinterpret_cast<const uint8_t*>(file.data()), file.size(), hash);
        bool read = ReadWholeFile((data / file).string(), bytes);
        uint8_t mark = read ? 1 : 0;
        hash = Fnv1a(&mark, 1, hash);
        if (read)
            hash = Fnv1a(bytes.data(), bytes.size(), hash);
    }
    return hash;
}

std::string ReplayWorldProblem(const TReplay& replay, uint64_t dataSet) {
    if (replay.Simulation != SimulationVersion)
        return "it was made by another version of the game (simulation " + std::to_string(replay.Simulation) +
               ", this game runs " + std::to_string(SimulationVersion) + ")";
    if (replay.DataSet != dataSet)
        return "it was played on another data set";
    return "";
}

uint32_t MissionTickLimit(int mission) {
    float par = IsMission(mission) ? MissionSetups[mission].ParTime : 0;
    return uint32_t((6 * par + 60) * TWorldClock::TicksPerSecond);
}

std::vector<size_t> TReplay::WorldFrames() const {
    std::vector<size_t> frames;
    for (size_t i = 0; i < Frames.size(); ++i)
        if (Frames[i].Controls & REPLAY_WORLD_RAN)
            frames.push_back(i);
    return frames;
}

bool TReplay::BeatsRecord(const TReplay& record) const {
    return Score > record.Score || (Score == record.Score && Time < record.Time);
}

std::vector<uint8_t> EncodeReplay(const TReplay& replay) {
    std::vector<uint8_t> out(Magic, Magic + sizeof Magic);
    PutU16(out, ReplayVersion);
    PutU32(out, replay.Simulation);
    PutU32(out, uint32_t(replay.DataSet));
    PutU32(out, uint32_t(replay.DataSet >> 32));
    PutU8(out, replay.Mission);
    PutU8(out, replay.CarType);
    PutU32(out, replay.Seed);
    const TReplayStandingCar& second = replay.SecondCar;
    PutU8(out, uint8_t((replay.Gore ? FlagGore : 0) | (second.Present ? FlagSecondCar : 0) |
                       (second.Lights ? FlagSecondCarLights : 0)));
    PutU8(out, replay.CameraMode);
    PutF32(out, replay.CameraDistance);
    PutU32(out, replay.KeysBefore);
    PutU8(out, second.CarType);
    for (float v : {second.X, second.Y, second.Heading})
        PutF32(out, v);
    std::string nick = replay.Nick.substr(0, NickField);
    PutU8(out, uint8_t(nick.size()));
    nick.resize(NickField, '\0');
    out.insert(out.end(), nick.begin(), nick.end());
    PutU32(out, uint32_t(replay.Score));
    PutF32(out, replay.Time);
    PutU32(out, uint32_t(replay.Frames.size()));
    for (const TReplayFrame& f : replay.Frames) {
        PutU8(out, f.Controls);
        PutU32(out, f.Keys);
        for (uint8_t b : {f.Throttle, f.Brake, f.SteerLeft, f.SteerRight})
            PutU8(out, b);
        for (float v : {f.X, f.Y, f.Z, f.Q[0], f.Q[1], f.Q[2], f.Q[3]})
            PutF32(out, v);
    }
    return out;
}

TReplay DecodeReplay(const std::vector<uint8_t>& bytes, const std::string& fileName) {
    try {
        TByteReader in(bytes.data(), bytes.size(), fileName);
        char magic[sizeof Magic];
        in.Bytes(magic, sizeof magic, "magic");
        if (std::memcmp(magic, Magic, sizeof Magic) != 0)
            throw EFormatError("not a replay of this game");
        uint16_t version = in.U16("version");
        if (version < ReplayVersion) {
            throw EFormatError("it was recorded by an older version of the game (replay version " +
                               std::to_string(version) + "; this game drives version " +
                               std::to_string(ReplayVersion) + ")");
        }
        if (version != ReplayVersion)
            throw EFormatError("replay version " + std::to_string(version) + " is not " +
                               std::to_string(ReplayVersion));
        TReplay read;
        read.Simulation = in.U32("simulation version");
        read.DataSet = in.U32("data set");
        read.DataSet |= uint64_t(in.U32("data set")) << 32;
        read.Mission = in.U8("mission");
        read.CarType = in.U8("car type");
        if (!IsMission(read.Mission) || read.CarType > 7)
            throw EFormatError("mission " + std::to_string(read.Mission) + " or car " +
                               std::to_string(read.CarType) + " out of range");
        read.Seed = in.U32("seed");
        uint8_t flags = in.U8("flags");
        read.Gore = (flags & FlagGore) != 0;
        read.CameraMode = in.U8("camera mode");
        read.CameraDistance = in.F32("camera distance");
        read.KeysBefore = in.U32("keys before");
        TReplayStandingCar& second = read.SecondCar;
        second.Present = (flags & FlagSecondCar) != 0;
        second.Lights = (flags & FlagSecondCarLights) != 0;
        second.CarType = in.U8("second car type");
        second.X = in.F32("second car");
        second.Y = in.F32("second car");
        second.Heading = in.F32("second car");
        if ((flags & ~KnownFlags) != 0 || read.CameraMode > 1 ||
            !(read.CameraDistance >= 0 && read.CameraDistance <= 1000) || second.CarType > 7 ||
            !InCity(second.X, second.Y) || !std::isfinite(second.Heading) ||
            (read.KeysBefore >> ReplayKeyCount) != 0)
            throw EFormatError("the start of the run (flags, camera, second car) is out of range");
        read.Nick = in.ShortString("nick", NickField);
        read.Score = in.I32("score");
        read.Time = in.F32("time");
        if (!ValidStoredNick(read.Nick))
            throw EFormatError("the nick is empty, blank or holds control bytes");
        // A best run without a time could never be beaten again.
        if (!(std::isfinite(read.Time) && read.Time > 0))
            throw EFormatError("the run's time " + std::to_string(read.Time) + " s is not a time");
        uint32_t count = in.U32("frame count");
        if (count > MaxFrames || in.Remaining() != size_t(count) * FrameSize)
            throw EFormatError(std::to_string(count) + " frames do not fill the " +
                               std::to_string(in.Remaining()) + " bytes after the header");
        read.Frames.resize(count);
        for (TReplayFrame& f : read.Frames) {
            f.Controls = in.U8("frame");
            f.Keys = in.U32("frame");
            for (uint8_t* b : {&f.Throttle, &f.Brake, &f.SteerLeft, &f.SteerRight})
                *b = in.U8("frame");
            for (float* v : {&f.X, &f.Y, &f.Z, &f.Q[0], &f.Q[1], &f.Q[2], &f.Q[3]})
                *v = in.F32("frame");
            // Poses outside the city or not numbers are damage; the ghost would draw them anywhere.
            if (!(InCity(f.X, f.Y) && f.Z > -100 && f.Z < 100))
                throw EFormatError("a frame's position lies outside the city");
            // The rotation is a unit quaternion as written; one far from it is no rotation at all.
            float norm = f.Q[0] * f.Q[0] + f.Q[1] * f.Q[1] + f.Q[2] * f.Q[2] + f.Q[3] * f.Q[3];
            if (!(norm > 0.5f && norm < 2.0f))
                throw EFormatError("a frame's rotation is not a rotation");
        }
        return read;
    } catch (const EFormatError&) {
        throw;
    } catch (const Exception& e) { // short reads and fields out of range alike
        throw EFormatError(e.what());
    }
}

namespace {

// `kind`_NN.dat of a mission in the player's folder; empty without one.
std::string MissionFileName(const char* kind, int mission) {
    std::string dir = PlayerDataDir();
    if (dir.empty())
        return "";
    char name[32];
    std::snprintf(name, sizeof name, "/%s_%02d.dat", kind, mission);
    return dir + name;
}

} // namespace

std::string ReplayFileName(int mission) { return MissionFileName("replay", mission); }

std::string RecordFileName(int mission) { return MissionFileName("record", mission); }

TReplay ReadNamedReplay(const std::string& fileName) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes))
        throw EInOutError("it cannot be read");
    return DecodeReplay(bytes, fileName);
}

bool LoadReplay(const std::string& fileName, TReplay& replay, uint64_t dataSet, const TNotice& notice) {
    if (fileName.empty() || !FileExists(fileName))
        return false;
    std::vector<uint8_t> bytes;
    std::string error;
    TReplay read;
    bool whole = false; // a whole replay of this layout, of another world
    if (!ReadWholeFile(fileName, bytes))
        error = "it cannot be read";
    else
        try {
            read = DecodeReplay(bytes, fileName);
            whole = true;
        } catch (const EFormatError& e) {
            error = e.what();
        }
    if (whole) {
        std::string world = dataSet != 0 ? ReplayWorldProblem(read, dataSet) : "";
        if (world.empty()) {
            replay = std::move(read);
            return true;
        }
        error = world;
    }
    // A run of an older game, or of another world, is no damage, only one this game cannot drive.
    bool older = bytes.size() >= sizeof Magic + 2 && std::memcmp(bytes.data(), Magic, sizeof Magic) == 0 &&
                 (bytes[8] | bytes[9] << 8) < ReplayVersion;
    if (!older && !whole) {
        notice(SetAsideDamagedFile(fileName, error));
        return false;
    }
    std::string text = "The replay " + fileName + " cannot be driven again: " +
                       (older ? std::string("it was recorded by an older version of the game") : error) + ".";
    std::string aside = SetFileAside(fileName, ".old");
    if (!aside.empty())
        text += " It was moved aside to " + aside + "; the next finished run is kept instead.";
    notice(text);
    return false;
}

bool SaveReplay(const std::string& fileName, const TReplay& replay, const TNotice& notice) {
    std::string error;
    if (WriteFileAtomic(fileName, EncodeReplay(replay), &error))
        return true;
    notice("The replay could not be saved. " + error);
    return false;
}

bool KeepBestReplay(const TReplay& run, const TNotice& notice) {
    std::string fileName = ReplayFileName(run.Mission);
    if (fileName.empty())
        return false;
    TReplay kept;
    if (LoadReplay(fileName, kept, run.DataSet, notice) && !run.BeatsRecord(kept))
        return false;
    return SaveReplay(fileName, run, notice);
}

void TReplayKeySource::Read(uint8_t state[256], uint64_t pass) {
    SetReplayKeys(pass < Replay.Frames.size() ? Replay.Frames[pass].Keys : 0, state);
}
