#include "player/Replay.h"
#include "TestSupport.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uPlatform.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>

namespace {

TReplay SampleRun(int32_t score, float time) {
    TReplay run;
    run.Mission = 3;
    run.CarType = 5;
    run.Seed = 4242;
    run.Gore = true;
    run.CameraMode = 1;
    run.CameraDistance = 12.5f;
    run.KeysBefore = 0x10;
    run.SecondCar = {true, true, 6, 210.5f, 317.25f, 270.5f};
    run.DataSet = 0x0123456789abcdefull;
    run.Nick = "Anna";
    run.Score = score;
    run.Time = time;
    for (int i = 0; i < 3; ++i) {
        TReplayFrame f;
        f.Controls = uint8_t(i == 1 ? REPLAY_WORLD_RAN | 2 : 0);
        f.Keys = uint32_t(i) << 20;
        f.Throttle = 255;
        f.SteerLeft = uint8_t(64 * i);
        f.X = 100.5f + float(i);
        f.Y = 200.25f;
        f.Z = 0.1f;
        f.Q[1] = 0.5f;
        run.Frames.push_back(f);
    }
    return run;
}

// Why DecodeReplay refuses `bytes`; "parsed" when it takes them.
std::string DecodeError(const std::vector<uint8_t>& bytes) {
    return ReadError([&] { DecodeReplay(bytes, "r.dat"); });
}

void WriteBytes(const std::string& file, const std::vector<uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace

TEST(Replay, EncodedRunDecodesToTheSameRun) {
    TReplay run = SampleRun(120, 61.5f);
    std::vector<uint8_t> bytes = EncodeReplay(run);
    TReplay back;
    ASSERT_NO_THROW(back = DecodeReplay(bytes, "r.dat"));
    EXPECT_EQ(back.Simulation, SimulationVersion);
    EXPECT_EQ(back.DataSet, 0x0123456789abcdefull);
    EXPECT_EQ(back.Mission, 3);
    EXPECT_EQ(back.CarType, 5);
    EXPECT_EQ(back.Seed, 4242u);
    EXPECT_TRUE(back.Gore);
    EXPECT_EQ(back.CameraMode, 1);
    EXPECT_EQ(back.CameraDistance, 12.5f);
    EXPECT_EQ(back.KeysBefore, 0x10u);
    EXPECT_TRUE(back.SecondCar.Present);
    EXPECT_TRUE(back.SecondCar.Lights);
    EXPECT_EQ(back.SecondCar.CarType, 6);
    EXPECT_EQ(back.SecondCar.Y, 317.25f);
    EXPECT_EQ(back.SecondCar.Heading, 270.5f);
    EXPECT_EQ(back.Frames[2].Keys, 2u << 20);
    EXPECT_EQ(back.Nick, "Anna");
    EXPECT_EQ(back.Score, 120);
    EXPECT_EQ(back.Time, 61.5f);
    ASSERT_EQ(back.Frames.size(), 3u);
    EXPECT_EQ(back.Frames[2].SteerLeft, 128);
    EXPECT_EQ(back.Frames[2].X, 102.5f);
    EXPECT_EQ(back.Frames[1].Q[1], 0.5f);
    EXPECT_EQ(EncodeReplay(back), bytes);
    EXPECT_EQ(back.WorldFrames(), std::vector<size_t>{1});
}

TEST(Replay, DamagedOrForeignBytesAreRefusedWithAReason) {
    std::vector<uint8_t> good = EncodeReplay(SampleRun(1, 1));
    std::vector<uint8_t> cut(good.begin(), good.end() - 5);
    std::string error = DecodeError(cut);
    EXPECT_NE(error.find("frames"), std::string::npos) << error;

    std::vector<uint8_t> foreign = good;
    foreign[0] = 'P';
    EXPECT_NE(DecodeError(foreign).find("not a replay"), std::string::npos);

    std::vector<uint8_t> future = good;
    future[8] = 9;
    EXPECT_NE(DecodeError(future).find("version 9"), std::string::npos);

    std::vector<uint8_t> header(good.begin(), good.begin() + 12);
    error = DecodeError(header);
    EXPECT_NE(error.find("r.dat"), std::string::npos) << error;

    EXPECT_THROW(DecodeReplay({}, "r.dat"), EFormatError);
}

TEST(Replay, ADamagedFileIsSetAsideWithAMessage) {
    TTempDir dir;
    TMessageRecorder messages;
    std::string file = dir.File("replay_03.dat");
    WriteBytes(file, {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0});
    TReplay back;
    EXPECT_FALSE(LoadReplay(file, back, 0, TestNotice));
    EXPECT_FALSE(FileExists(file));
    EXPECT_TRUE(FileExists(file + ".bad"));
    ASSERT_EQ(messages.Messages.size(), 1u);
    EXPECT_NE(messages.Messages[0].Text.find("replay_03.dat is damaged"), std::string::npos);

    EXPECT_FALSE(LoadReplay(dir.File("none.dat"), back, 0, TestNotice));
    EXPECT_EQ(messages.Messages.size(), 1u) << "a missing replay is no damage";

    std::string profiles = dir.File("profiles.dat");
    WriteBytes(profiles, std::vector<uint8_t>(52, 0));
    EXPECT_THROW(ReadNamedReplay(profiles), EFormatError);
    EXPECT_TRUE(FileExists(profiles)) << "a file the player names stays where it is, whatever it holds";
    EXPECT_THROW(ReadNamedReplay(dir.Path.string()), EInOutError) << "a folder named by mistake";
}

TEST(Replay, OnlyABetterRunReplacesTheKeptOne) {
    TTempDir dir;
    TEnvironment data("XDG_DATA_HOME", dir.Path.c_str());
    TReplay kept;
    ASSERT_TRUE(KeepBestReplay(SampleRun(100, 50), TestNotice));
    EXPECT_FALSE(KeepBestReplay(SampleRun(90, 40), TestNotice)) << "a lower score";
    EXPECT_FALSE(KeepBestReplay(SampleRun(100, 55), TestNotice)) << "the same score in a longer time";
    ASSERT_TRUE(LoadReplay(ReplayFileName(3), kept, 0, TestNotice));
    EXPECT_EQ(kept.Score, 100);
    EXPECT_TRUE(KeepBestReplay(SampleRun(100, 45), TestNotice));
    ASSERT_TRUE(LoadReplay(ReplayFileName(3), kept, 0, TestNotice));
    EXPECT_EQ(kept.Time, 45.0f);
    EXPECT_EQ(ReplayFileName(3), dir.File("kalmirov/replay_03.dat"));
}

TEST(Replay, AReplayOfAnOlderVersionIsSetAsideAsOldWithAMessage) {
    TTempDir dir;
    TMessageRecorder messages;
    std::vector<uint8_t> older = EncodeReplay(SampleRun(1, 1));
    older[8] = uint8_t(ReplayVersion - 1);
    std::string error = DecodeError(older);
    EXPECT_NE(error.find("older version of the game"), std::string::npos) << error;

    std::string file = dir.File("replay_03.dat");
    WriteBytes(file, older);
    TReplay back;
    EXPECT_FALSE(LoadReplay(file, back, 0, TestNotice));
    EXPECT_FALSE(FileExists(file));
    EXPECT_TRUE(FileExists(file + ".old"));
    EXPECT_FALSE(FileExists(file + ".bad")) << "no damage";
    ASSERT_EQ(messages.Messages.size(), 1u);
    EXPECT_NE(messages.Messages[0].Text.find("recorded by an older version"), std::string::npos)
        << messages.Messages[0].Text;
}

TEST(Replay, AStartOutOfRangeIsRefused) {
    TReplay run = SampleRun(1, 1);
    run.CameraMode = 2; // the race camera never starts a one-player run
    std::string error = DecodeError(EncodeReplay(run));
    EXPECT_NE(error.find("out of range"), std::string::npos) << error;
    run = SampleRun(1, 1);
    run.SecondCar.X = -5;
    EXPECT_THROW(DecodeReplay(EncodeReplay(run), "r.dat"), EFormatError);
}

TEST(Replay, AFrameWhoseRotationIsNoneIsRefused) {
    for (float bad : {std::nanf(""), 0.0f, 1e20f}) {
        TReplay run = SampleRun(1, 1);
        run.Frames[1].Q[0] = bad;
        run.Frames[1].Q[1] = run.Frames[1].Q[2] = run.Frames[1].Q[3] = 0;
        std::string error = DecodeError(EncodeReplay(run));
        EXPECT_NE(error.find("rotation"), std::string::npos) << bad << ": " << error;
    }
}

TEST(Replay, ANickLongerThanItsFieldIsRefusedNotThrown) {
    std::vector<uint8_t> bytes = EncodeReplay(SampleRun(1, 1));
    size_t at = 0;
    while (at < bytes.size() && !(bytes[at] == 4 && bytes[at + 1] == 'A' && bytes[at + 2] == 'n'))
        ++at;
    ASSERT_LT(at, bytes.size()) << "the nick's length byte";
    bytes[at] = 255;
    std::string error = DecodeError(bytes);
    EXPECT_NE(error.find("longer than its field"), std::string::npos) << error;
}

TEST(Replay, ARunWithoutATimeOrWithANickNoPlayerCouldChooseIsRefused) {
    const struct {
        float Time;
        const char* Nick;
        const char* Error;
    } cases[] = {
        {std::nanf(""), "Anna", "s is not a time"},
        {-12.5f, "Anna", "the run's time -12.500000 s is not a time"},
        {61.5f, "", "the nick is empty, blank or holds control bytes"},
        {61.5f, "An\x1bna", "holds control bytes"},
    };
    for (const auto& bad : cases) {
        TReplay run = SampleRun(120, bad.Time);
        run.Nick = bad.Nick;
        std::string error = DecodeError(EncodeReplay(run));
        EXPECT_NE(error.find(bad.Error), std::string::npos) << error;
    }
}

TEST(Replay, ARunOfAnotherWorldIsNeverDrivenAndAKeptOneIsMovedAside) {
    TTempDir dir;
    TEnvironment data("XDG_DATA_HOME", dir.Path.c_str());
    TMessageRecorder messages;
    const uint64_t here = SampleRun(1, 1).DataSet;
    const struct {
        uint32_t Simulation;
        uint64_t DataSet;
        const char* Problem;
    } cases[] = {
        {SimulationVersion + 1, here, "made by another version of the game"},
        {SimulationVersion, here ^ 1, "played on another data set"},
    };
    for (const auto& c : cases) {
        TReplay other = SampleRun(500, 10);
        other.Simulation = c.Simulation;
        other.DataSet = c.DataSet;
        EXPECT_NE(ReplayWorldProblem(other, here).find(c.Problem), std::string::npos) << c.Problem;
        ASSERT_TRUE(SaveReplay(ReplayFileName(3), other, TestNotice));
        // A far better run of another world is no record to beat here: a worse run of this one replaces it.
        EXPECT_TRUE(KeepBestReplay(SampleRun(1, 99), TestNotice)) << c.Problem;
        TReplay kept;
        ASSERT_TRUE(LoadReplay(ReplayFileName(3), kept, here, TestNotice));
        EXPECT_EQ(kept.Score, 1);
        EXPECT_TRUE(FileExists(ReplayFileName(3) + ".old")) << "moved aside, not lost";
        std::filesystem::remove(ReplayFileName(3) + ".old");
    }
    EXPECT_EQ(ReplayWorldProblem(SampleRun(1, 1), here), "");
    EXPECT_EQ(messages.Messages.size(), 2u);
}

TEST(DigestDataSet, ChangesWithAFileThatDecidesARunButNotWithAPicture) {
    TTempDir dir;
    std::filesystem::create_directories(dir.Path / "city");
    std::filesystem::create_directories(dir.Path / "bitmaps");
    std::string previous = SetDataFolder(dir.Path.string());
    WriteBytes(dir.File("city/city.tmf"), {1, 2, 3});
    uint64_t first = DigestDataSet();
    EXPECT_EQ(DigestDataSet(), first);
    WriteBytes(dir.File("bitmaps/loader.bmp"), {9});
    std::filesystem::create_directories(dir.Path / "meshes");
    WriteBytes(dir.File("meshes/human1a_far.3ds"), {7});
    EXPECT_EQ(DigestDataSet(), first) << "pictures and models only drawn never move the world";
    WriteBytes(dir.File("city/city.tmf"), {1, 2, 4});
    EXPECT_NE(DigestDataSet(), first);
    std::filesystem::create_directories(dir.Path / "cars/bmw");
    uint64_t second = DigestDataSet();
    WriteBytes(dir.File("cars/bmw/config.dat"), {});
    EXPECT_NE(DigestDataSet(), second) << "a file appearing, even empty, is another data set";
    SetDataFolder(previous);
}
