// Fuzz target: the player's own files — profiles, highscores, settings and replays — read as the game
// reads them. A damaged file is set aside with a message and the game goes on: the sound records are
// played with, a finished run is entered and the files are written back and read again unchanged.
#include "FuzzSeeds.h"
#include "player/Config.h"
#include "player/Highscores.h"
#include "player/PlayerData.h"
#include "player/Replay.h"
#include "uAtomicFile.h"
#include "uErrors.h"
#include "uPlatform.h"

#include <cmath>
#include <filesystem>
#include <unistd.h>

namespace {

std::string Folder() {
    static std::string folder = [] {
        std::string path = ScratchPath("player");
        std::filesystem::create_directories(path);
        SetMessageBoxHandler([](const std::string&, const std::string&) {});
        return path;
    }();
    return folder;
}

void Put(const std::string& file, const uint8_t* data, size_t size) {
    std::filesystem::remove(file + ".bad");
    if (!WriteFileAtomic(file, std::vector<uint8_t>(data, data + size)))
        __builtin_trap();
}

// What a damaged file would tell the player is no concern of the fuzzer.
void IgnoreNotice(const std::string&) {}

void Profiles(const uint8_t* data, size_t size) {
    std::string file = Folder() + "/profiles.dat";
    Put(file, data, size);
    TProfileList list;
    list.LoadProfiles(file, IgnoreNotice);
    if (list.Records.size() > size_t(MaxProfiles))
        __builtin_trap();
    for (const TProfileRecord& record : list.Records) {
        TPlayerData player(record);
        player.SetCarType(int32_t(size % 8));
        player.AddScore(1);
    }
    list.AddProfile("nick", file, IgnoreNotice);
    TProfileList again;
    again.LoadProfiles(file, IgnoreNotice);
    if (again.Records.size() != list.Records.size())
        __builtin_trap();
}

void Highscores(const uint8_t* data, size_t size) {
    std::string file = Folder() + "/highscore.dat";
    THighscores table;
    std::string error;
    DecodeHighscores(data, size, table, error);
    table.Insert(int(size % HighscoreTables), "run", uint8_t(size % 8), 100, 61.5f);
    std::array<uint8_t, HighscoreFileSize> bytes = EncodeHighscores(table);
    THighscores back;
    if (!DecodeHighscores(bytes.data(), bytes.size(), back, error) || EncodeHighscores(back) != bytes)
        __builtin_trap();
}

void Settings(const uint8_t* data, size_t size) {
    std::string file = Folder() + "/settings.ini";
    Put(file, data, size);
    TConfig config(file, IgnoreNotice);
    config.SamplesVolume = int32_t(size % 256);
    if (config.KeyOpen && !config.Save(IgnoreNotice))
        __builtin_trap();
    config.KeyOpen = false;
    TConfig again(file, IgnoreNotice);
    if (again.SamplesVolume != int32_t(size % 256))
        __builtin_trap();
    again.KeyOpen = false;
}

void Replays(const uint8_t* data, size_t size) {
    TReplay replay;
    try {
        replay = DecodeReplay(std::vector<uint8_t>(data, data + size), "replay.dat");
    } catch (const EFormatError& e) {
        if (*e.what() == '\0')
            __builtin_trap();
        return;
    }
    // What the ghost and the route on the map take from a replay, and the record kept on disk.
    for (size_t i : replay.WorldFrames())
        if (i >= replay.Frames.size())
            __builtin_trap();
    std::vector<uint8_t> bytes = EncodeReplay(replay);
    TReplay back;
    try {
        back = DecodeReplay(bytes, "replay.dat");
    } catch (const EFormatError&) {
        __builtin_trap();
    }
    if (EncodeReplay(back) != bytes || back.BeatsRecord(replay))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the file, so the four share their seeds' mutations.
    if (size == 0)
        return 0;
    switch (data[0] % 4) {
    case 0:
        Profiles(data + 1, size - 1);
        break;
    case 1:
        Highscores(data + 1, size - 1);
        break;
    case 2:
        Settings(data + 1, size - 1);
        break;
    default:
        Replays(data + 1, size - 1);
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    TProfileList list;
    for (int i = 0; i < 3; ++i) {
        TProfileRecord record;
        record.Index = i;
        record.Nick = "hráč" + std::to_string(i);
        record.Mission = uint8_t(i + 1);
        record.Score = 1000 * i;
        list.Records.push_back(record);
    }
    std::vector<uint8_t> profiles = {0};
    for (const TProfileRecord& record : list.Records) {
        auto bytes = EncodeProfile(record);
        profiles.insert(profiles.end(), bytes.begin(), bytes.end());
    }
    seeds.push_back(profiles);
    THighscores table;
    table.Insert(3, "speedy", 2, 5000, 75.25f);
    table.Insert(3, "slow", 7, 100, 300);
    auto scores = EncodeHighscores(table);
    std::vector<uint8_t> highscores = {1};
    highscores.insert(highscores.end(), scores.begin(), scores.end());
    seeds.push_back(highscores);
    std::string ini = "\x02# Kalmirov settings\nLanguage=1\nSamplesVolume=200\nModulesVolume=20\nWindowed=1\n"
                      "Carmageddon=0\nHighscoreServer=\"http://127.0.0.1:8080\"\n";
    seeds.emplace_back(ini.begin(), ini.end());
    TReplay run;
    run.Mission = 4;
    run.CarType = 2;
    run.Nick = "hráč";
    run.Score = 900;
    run.Time = 41.5f;
    for (int i = 0; i < 4; ++i) {
        TReplayFrame frame;
        frame.Controls = uint8_t(i > 0 ? REPLAY_WORLD_RAN | 1 : 0);
        frame.Throttle = 255;
        frame.X = 102.5f + float(i);
        frame.Y = 150.25f;
        run.Frames.push_back(frame);
    }
    std::vector<uint8_t> replay = {3};
    std::vector<uint8_t> encoded = EncodeReplay(run);
    replay.insert(replay.end(), encoded.begin(), encoded.end());
    seeds.push_back(replay);
    AddDamagedSeeds(seeds);

    // Records that hold no time or a nick no player could choose, and a table out of time order.
    auto tagged = [](uint8_t file, const auto& bytes) {
        std::vector<uint8_t> seed = {file};
        seed.insert(seed.end(), bytes.begin(), bytes.end());
        return seed;
    };
    for (const char* nick : {"", "  ", "a\tb"}) {
        TProfileRecord record = list.Records[0];
        record.Nick = nick;
        seeds.push_back(tagged(0, EncodeProfile(record)));
        TReplay named = run;
        named.Nick = nick;
        seeds.push_back(tagged(3, EncodeReplay(named)));
        THighscores table = {};
        table.Tables[3][0] = {nick, 2, 5000, 75250};
        seeds.push_back(tagged(1, EncodeHighscores(table)));
    }
    for (float time : {0.0f, -41.5f, std::nanf("")}) {
        TReplay timeless = run;
        timeless.Time = time;
        seeds.push_back(tagged(3, EncodeReplay(timeless)));
    }
    THighscores odd;
    odd.Tables[3][0] = {"slow", 7, 100, 300000};
    odd.Tables[3][1] = {"speedy", 2, 5000, 75250};
    odd.Tables[4][0] = {"back", 1, 10, -2000};
    seeds.push_back(tagged(1, EncodeHighscores(odd)));
    return seeds;
}
