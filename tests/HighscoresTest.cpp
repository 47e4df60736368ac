#include "player/Highscores.h"
#include "TestSupport.h"
#include "uByteReader.h"
#include "uErrors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

namespace {

void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<uint8_t> FileOf(const THighscores& table) {
    auto bytes = EncodeHighscores(table);
    return {bytes.begin(), bytes.end()};
}

// A table with runs of 10, 20 ... 100 seconds.
THighscores FullTable(int mission) {
    THighscores table;
    for (int i = 1; i <= HighscoreRanks; ++i)
        table.Insert(mission, "p" + std::to_string(i), 0, i, 10.0f * i);
    return table;
}

} // namespace

TEST(Highscores, RunsAreOrderedByTheirUntruncatedTime) {
    THighscores table;
    EXPECT_EQ(table.Insert(1, "first", 2, 100, 31.2345f), 0);
    EXPECT_EQ(table.Tables[1][0].TimeMs, 31234);
    // 31234.1 ms is not faster than the 31234 ms stored: it goes after.
    EXPECT_EQ(table.Insert(1, "second", 2, 100, 31.2341f), 1);
    // 31233.5 ms is faster, although it truncates to 31233 as well.
    EXPECT_EQ(table.Insert(1, "third", 2, 100, 31.2335f), 0);
    EXPECT_EQ(table.Tables[1][0].Nick, "third");
    EXPECT_EQ(table.Tables[1][0].TimeMs, 31233);
    EXPECT_EQ(table.Tables[1][2].Nick, "second");
    EXPECT_TRUE(table.Tables[1][3].Empty());
    EXPECT_TRUE(table.Tables[2][0].Empty());
}

TEST(Highscores, EqualTimesGoAfter) {
    THighscores table;
    table.Insert(3, "a", 0, 5, 40.0f);
    EXPECT_EQ(table.Insert(3, "b", 0, 900, 40.0f), 1);
    EXPECT_EQ(table.Tables[3][0].Nick, "a");
}

TEST(Highscores, AFullTableDropsItsSlowestRun) {
    THighscores table = FullTable(2);
    EXPECT_EQ(table.Insert(2, "slow", 0, 1, 101.0f), -1);
    EXPECT_EQ(table.Insert(2, "slow", 0, 1, 100.0f), -1);
    EXPECT_EQ(table.Tables[2][9].Nick, "p10");
    EXPECT_EQ(table.Insert(2, "quick", 7, 1, 15.0f), 1);
    EXPECT_EQ(table.Tables[2][1].CarType, 7);
    EXPECT_EQ(table.Tables[2][2].Nick, "p2");
    EXPECT_EQ(table.Tables[2][9].Nick, "p9");
}

TEST(Highscores, NickIsCutTo128BytesAndRangesAreChecked) {
    THighscores table;
    table.Insert(0, std::string(200, 'n'), 0, 1, 1.0f);
    EXPECT_EQ(table.Tables[0][0].Nick.size(), 128u);
    EXPECT_THROW(table.Insert(16, "x", 0, 1, 1.0f), ERangeError);
    EXPECT_THROW(table.Insert(1, "x", 8, 1, 1.0f), ERangeError);
    for (float noTime : {std::nanf(""), 0.0f, -5.0f, std::numeric_limits<float>::infinity()})
        EXPECT_EQ(table.Insert(1, "x", 0, 1, noTime), -1) << noTime;
    EXPECT_TRUE(table.Tables[1][0].Empty());
}

TEST(Highscores, FileLayout) {
    THighscores table;
    table.Insert(1, "Rychl\xE1 2", 5, -7, 12.5f);
    auto bytes = EncodeHighscores(table);
    const uint8_t* entry = &bytes[1 * HighscoreRanks * HighscoreEntrySize];
    EXPECT_EQ(entry[0], 8);
    EXPECT_EQ(entry[6], 0xE1);
    EXPECT_EQ(entry[129], 5);
    EXPECT_EQ(entry[132], 0xF9); // -7
    EXPECT_EQ(entry[135], 0xFF);
    EXPECT_EQ(entry[136] | entry[137] << 8, 12500);

    TTempDir dir;
    std::string name = dir.File("player/highscore.dat");
    ASSERT_TRUE(table.Save(name, TestNotice));
    EXPECT_EQ(std::filesystem::file_size(name), 22400u);
    THighscores back;
    back.Load(name, TestNotice);
    EXPECT_EQ(back.Tables[1][0].Nick, "Rychl\xE1 2");
    EXPECT_EQ(back.Tables[1][0].Score, -7);
    EXPECT_EQ(back.Tables[1][0].TimeMs, 12500);
}

class THighscoreFileTest : public ::testing::Test {
  protected:
    std::string File() const { return Dir.File("highscore.dat"); }
    TTempDir Dir;
    TMessageRecorder Messages;
    THighscores Table = FullTable(4);
};

TEST_F(THighscoreFileTest, MissingFileGivesAnEmptyTable) {
    Table.Load(File(), TestNotice);
    EXPECT_TRUE(Table.Tables[4][0].Empty());
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(THighscoreFileTest, ShortFileIsMovedAsideAndGivesAnEmptyTable) {
    std::vector<uint8_t> bytes = FileOf(Table);
    bytes.resize(22399);
    WriteBytes(File(), bytes);
    Table.Load(File(), TestNotice);
    EXPECT_TRUE(Table.Tables[4][0].Empty());
    EXPECT_FALSE(std::filesystem::exists(File()));
    EXPECT_TRUE(std::filesystem::exists(File() + ".bad"));
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_NE(Messages.Messages[0].Text.find(File()), std::string::npos);
}

TEST_F(THighscoreFileTest, DamagedEntriesAreDroppedAndTheTableKeptInTimeOrder) {
    // One byte of mission 4's table of runs p1 .. p10 (10 .. 100 s) changed: the entry of rank
    // Rank, at Offset in the entry.
    const struct {
        size_t Rank, Offset;
        uint8_t Value;
        const char* Fastest; // the first three runs kept
        const char* Message;
    } cases[] = {
        {1, 129, 9, "p1 p3 p4", "entry 2 of mission 4: its car 9 is not a car type"},
        {1, 139, 0xFF, "p1 p3 p4", "entry 2 of mission 4: its time -16757216 ms is not a time"},
        {1, 2, '\n', "p1 p3 p4", "entry 2 of mission 4: its nick is empty, blank or holds control bytes"},
        {0, 138, 0x7F, "p2 p3 p4", "the runs of mission 4 are out of time order"},
    };
    for (const auto& bad : cases) {
        std::vector<uint8_t> bytes = FileOf(Table);
        bytes[(4 * HighscoreRanks + bad.Rank) * HighscoreEntrySize + bad.Offset] = bad.Value;
        WriteBytes(File(), bytes);
        Messages.Messages.clear();
        THighscores loaded;
        loaded.Load(File(), TestNotice);
        const auto& runs = loaded.Tables[4];
        EXPECT_EQ(runs[0].Nick + " " + runs[1].Nick + " " + runs[2].Nick, bad.Fastest) << bad.Message;
        EXPECT_EQ(runs[9].Empty(), bad.Rank == 1) << bad.Message;
        EXPECT_TRUE(std::filesystem::remove(File() + ".bad")) << bad.Message;
        ASSERT_EQ(Messages.Messages.size(), 1u);
        EXPECT_NE(Messages.Messages[0].Text.find(bad.Message), std::string::npos)
            << Messages.Messages[0].Text;
    }
}

TEST_F(THighscoreFileTest, LongerFileIsReadOnlyAsFarAsTheTables) {
    std::vector<uint8_t> bytes = FileOf(Table);
    bytes.resize(bytes.size() + 100, 0xFF);
    WriteBytes(File(), bytes);
    THighscores loaded;
    loaded.Load(File(), TestNotice);
    EXPECT_EQ(loaded.Tables[4][9].Nick, "p10");
    EXPECT_TRUE(Messages.Messages.empty());
    EXPECT_TRUE(std::filesystem::exists(File()));
}

TEST_F(THighscoreFileTest, FailedSaveSaysSo) {
    std::filesystem::create_directories(File() + "/inside");
    EXPECT_FALSE(Table.Save(File(), TestNotice));
    EXPECT_TRUE(std::filesystem::is_directory(File() + "/inside"));
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_NE(Messages.Messages[0].Text.find(File()), std::string::npos) << Messages.Messages[0].Text;
}
