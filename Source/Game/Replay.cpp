#include "Replay.h"
#include "PlayerData.h"
#include "uAtomicFile.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uKeyboard.h"
#include "uPlatform.h"

#include <bit>
#include <cstdio>
#include <cstring>

namespace {

const char Magic[8] = {'K', 'A', 'L', 'R', 'P', 'L', 'A', 'Y'};
constexpr uint16_t Version = 1;
constexpr size_t NickField = 20;
constexpr size_t FrameSize = 6 + 7 * 4;
constexpr uint32_t MaxFrames = 360000; // an hour of passes; more is not a run of ours

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

} // namespace

const uint32_t ReplayMenuKeys[8] = {DIK_UP,     DIK_DOWN,   DIK_LEFT, DIK_RIGHT,
                                    DIK_RETURN, DIK_ESCAPE, DIK_TAB,  DIK_C};

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
    PutU16(out, Version);
    PutU8(out, replay.Mission);
    PutU8(out, replay.CarType);
    PutU32(out, replay.Seed);
    PutU8(out, replay.Seeded ? 1 : 0);
    std::string nick = replay.Nick.substr(0, NickField);
    PutU8(out, uint8_t(nick.size()));
    nick.resize(NickField, '\0');
    out.insert(out.end(), nick.begin(), nick.end());
    PutU32(out, uint32_t(replay.Score));
    PutF32(out, replay.Time);
    PutU32(out, uint32_t(replay.Frames.size()));
    for (const TReplayFrame& f : replay.Frames) {
        for (uint8_t b : {f.Controls, f.Keys, f.Throttle, f.Brake, f.SteerLeft, f.SteerRight})
            PutU8(out, b);
        for (float v : {f.X, f.Y, f.Z, f.Q[0], f.Q[1], f.Q[2], f.Q[3]})
            PutF32(out, v);
    }
    return out;
}

bool DecodeReplay(const std::vector<uint8_t>& bytes, const std::string& fileName, TReplay& replay,
                  std::string& error) {
    try {
        TByteReader in(bytes.data(), bytes.size(), fileName);
        char magic[sizeof Magic];
        in.Bytes(magic, sizeof magic, "magic");
        if (std::memcmp(magic, Magic, sizeof Magic) != 0) {
            error = "not a replay of this game";
            return false;
        }
        uint16_t version = in.U16("version");
        if (version != Version) {
            error = "replay version " + std::to_string(version) + " is not " + std::to_string(Version);
            return false;
        }
        TReplay read;
        read.Mission = in.U8("mission");
        read.CarType = in.U8("car type");
        if (read.Mission < 1 || read.Mission > 10 || read.CarType > 7) {
            error = "mission " + std::to_string(read.Mission) + " or car " + std::to_string(read.CarType) +
                    " out of range";
            return false;
        }
        read.Seed = in.U32("seed");
        read.Seeded = in.U8("seeded") != 0;
        read.Nick = in.ShortString("nick", NickField);
        read.Score = in.I32("score");
        read.Time = in.F32("time");
        uint32_t count = in.U32("frame count");
        if (count > MaxFrames || in.Remaining() != size_t(count) * FrameSize) {
            error = std::to_string(count) + " frames do not fill the " + std::to_string(in.Remaining()) +
                    " bytes after the header";
            return false;
        }
        read.Frames.resize(count);
        for (TReplayFrame& f : read.Frames) {
            for (uint8_t* b : {&f.Controls, &f.Keys, &f.Throttle, &f.Brake, &f.SteerLeft, &f.SteerRight})
                *b = in.U8("frame");
            for (float* v : {&f.X, &f.Y, &f.Z, &f.Q[0], &f.Q[1], &f.Q[2], &f.Q[3]})
                *v = in.F32("frame");
            // Poses outside the city or not numbers are damage; the ghost would draw them anywhere.
            if (!(f.X >= 0 && f.X <= 1000 && f.Y >= -1000 && f.Y <= 1000 && f.Z > -100 && f.Z < 100)) {
                error = "a frame's position lies outside the city";
                return false;
            }
        }
        replay = std::move(read);
        return true;
    } catch (const EReadError& e) {
        error = e.what();
        return false;
    }
}

std::string ReplayFileName(int mission) {
    std::string dir = PlayerDataDir();
    if (dir.empty())
        return "";
    char name[32];
    std::snprintf(name, sizeof name, "/replay_%02d.dat", mission);
    return dir + name;
}

bool LoadReplay(const std::string& fileName, TReplay& replay) {
    if (fileName.empty() || !FileExists(fileName))
        return false;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(fileName, bytes))
        error = "it cannot be read";
    else if (DecodeReplay(bytes, fileName, replay, error))
        return true;
    SetAsideDamagedFile(fileName, error);
    return false;
}

bool SaveReplay(const std::string& fileName, const TReplay& replay) {
    std::string error;
    if (WriteFileAtomic(fileName, EncodeReplay(replay), &error))
        return true;
    ShowMessageBox("The replay could not be saved. " + error, "Kalmirov");
    return false;
}

bool KeepBestReplay(const TReplay& run) {
    std::string fileName = ReplayFileName(run.Mission);
    if (fileName.empty())
        return false;
    TReplay kept;
    if (LoadReplay(fileName, kept) && !run.BeatsRecord(kept))
        return false;
    return SaveReplay(fileName, run);
}

void TReplayKeySource::Read(uint8_t state[256], uint64_t pass) {
    std::memset(state, 0, 256);
    if (pass >= Replay.Frames.size())
        return;
    for (int i = 0; i < 8; ++i)
        if (Replay.Frames[pass].Keys & (1u << i))
            state[ReplayMenuKeys[i]] = 0x80;
}
